#include "core/search/listing_sink.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace core {

namespace {

// Where bytes of from may be cut so that, converted, the part before and
// the part after give what the whole would: at a character start that the
// bytes past it can't move (a character is at most 4 bytes).
std::size_t RecodeCut(const platform::Encoding& from, std::string_view bytes) {
    constexpr std::size_t kLongestCharacter = 4;
    if (bytes.size() <= 2 * kLongestCharacter) return 0;
    const std::vector<std::size_t> offsets = platform::DecodeWithOffsets(from, bytes).offsets;
    return *std::prev(std::upper_bound(offsets.begin(), offsets.end(), bytes.size() - kLongestCharacter));
}

}  // namespace

void ListingPart::AppendInPieces(std::string_view label, const HitText& text, const platform::Encoding& from,
                                 const platform::Encoding& to) {
    Append(label, kLabelEnd);
    std::string carried;  // the bytes of a piece that its next one may still change
    text.Pieces([&](std::string_view piece) {
        if (&from == &to) {
            Append(piece);
            return;
        }
        carried.append(piece);
        const std::size_t cut = RecodeCut(from, carried);
        Append(platform::Recode(from, to, std::string_view(carried).substr(0, cut)));
        carried.erase(0, cut);
    });
    if (!carried.empty()) Append(platform::Recode(from, to, carried));
    Append(kCRLF);
}

void CollectingSink::Write(std::string block) {
    size_ += block.size();
    blocks_.push_back(std::move(block));
}

std::string CollectingSink::Take() {
    std::string text;
    text.reserve(size_);
    for (std::string& block : blocks_) {
        text += block;
        std::string().swap(block);  // freed on the way, so the peak stays near one listing
    }
    blocks_.clear();
    size_ = 0;
    return text;
}

}  // namespace core
