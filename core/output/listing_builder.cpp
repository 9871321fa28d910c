#include "core/output/listing_builder.h"

#include "platform/large_pages.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace core {

namespace {
// A listing of every line of its input adds a label to each and may turn a
// lone LF into CR LF: a quarter more holds the listings of lines of 32 bytes
// and more; shorter ones are grown into.
constexpr std::uint64_t kRoomBeyondInput = 4;
constexpr std::uint64_t kLeastRoom = 64 * 1024;
}  // namespace

void ListingBuilder::Expect(std::uint64_t inputBytes) {
    const std::uint64_t room = inputBytes + inputBytes / kRoomBeyondInput + kLeastRoom;
    if (room > bytes_.max_size()) return;
    if (room > bytes_.capacity()) Reserve(static_cast<std::size_t>(room));
}

void ListingBuilder::Reserve(std::size_t bytes) {
    bytes_.reserve(bytes);
    platform::PreferLargePages(bytes_.data() + bytes_.size(), bytes_.capacity() - bytes_.size());
}

void ListingBuilder::Write(std::string block) {
    if (block.empty()) return;
    // Grown as a vector is, so that a listing past what was expected is
    // copied a few times only.
    if (bytes_.size() + block.size() > bytes_.capacity()) {
        Reserve(std::max(bytes_.capacity() * 2, bytes_.size() + block.size()));
    }
    const std::size_t from = bytes_.size();
    bytes_.append(block);
    // Every LF after a CR ends a line; the CR may end the block before.
    const char* const begin = bytes_.data();
    const char* const end = begin + bytes_.size();
    for (const char* p = begin + from; p < end;) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (lf == nullptr) break;
        if (lf != begin && lf[-1] == '\r') starts_.push_back(static_cast<std::uint64_t>(lf + 1 - begin));
        p = lf + 1;
    }
}

ListingLines ListingBuilder::Take() {
    // A listing much smaller than the room expected gives the rest back.
    if (bytes_.size() < bytes_.capacity() / 2) bytes_.shrink_to_fit();
    ListingLines listing(std::exchange(bytes_, std::string()), std::exchange(starts_, {0}));
    return listing;
}

void ExpectingProgress::SetTotal(std::uint64_t bytes) {
    builder_.Expect(bytes);
    progress_.SetTotal(bytes);
}

}  // namespace core
