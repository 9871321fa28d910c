#include "core/search/listing_sink.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace core {

// At a character start that the bytes past it can't move: a character is
// at most 4 bytes.
std::size_t ListingPart::ConvertibleCut(const platform::Encoding& from, std::string_view bytes) {
    constexpr std::size_t kLongestCharacter = 4;
    if (bytes.size() <= 2 * kLongestCharacter) return 0;
    const std::vector<std::size_t> offsets = platform::DecodeWithOffsets(from, bytes).offsets;
    return *std::prev(std::upper_bound(offsets.begin(), offsets.end(), bytes.size() - kLongestCharacter));
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
