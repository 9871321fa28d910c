#include "core/output/listing_builder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace core {

namespace {
// A listing of every line of its input adds a label to each and may turn a
// lone LF into CR LF: a quarter more holds the listings of lines of 32 bytes
// and more; shorter ones are grown into.
constexpr std::uint64_t kRoomBeyondInput = 4;
// Lines of 32 bytes and more, too, for the room of the line index.
constexpr std::uint64_t kLeastLine = 32;
constexpr std::uint64_t kLeastRoom = 64 * 1024;
constexpr std::uint64_t kMostRoom = std::uint64_t{1} << 30;
}  // namespace

void ListingBuilder::Expect(std::uint64_t inputBytes) {
    // Only a hint: a system that won't promise that much address space at
    // once (input larger than its memory) gets the listing grown as it comes.
    const std::uint64_t room = std::min(inputBytes + inputBytes / kRoomBeyondInput + kLeastRoom, kMostRoom);
    if (room <= bytes_.capacity()) return;
    try {
        Reserve(static_cast<std::size_t>(room));
        // The index too: grown by doubling, it would be copied each time
        // into memory never touched before. Room not written costs address
        // space only, so it is kept.
        starts_.reserve(static_cast<std::size_t>(room / kLeastLine));
    } catch (const std::bad_alloc&) {}
}

void ListingBuilder::Reserve(std::size_t size) {
    // The bytes may move: the pages ahead stop first.
    ahead_.reset();
    bytes_.reserve(size);
    // The string's closing NUL is in use too.
    ahead_.emplace(bytes_.data(), bytes_.capacity() + 1);
    ahead_->Written(bytes_.size() + 1);
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
    if (ahead_) ahead_->Written(bytes_.size() + 1);
    IndexLineEnds(from);
}

void ListingBuilder::IndexLineEnds(std::size_t from) {
    // Every LF after a CR ends a line; the CR may end the block before.
    const char* const begin = bytes_.data();
    const std::size_t size = bytes_.size();
    const auto found = [&](std::size_t lf) {
        if (lf > 0 && begin[lf - 1] == '\r') starts_.push_back(lf + 1);
    };
    std::size_t at = from;
#if defined(__SSE2__)
    // Sixteen bytes at a time: hit lines are short, and a call of memchr
    // for each would cost more than its search.
    const __m128i lf = _mm_set1_epi8('\n');
    for (; at + 16 <= size; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin + at));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf))); mask != 0;
             mask &= mask - 1) {
            found(at + static_cast<std::size_t>(std::countr_zero(mask)));
        }
    }
#endif
    for (; at < size; ++at) {
        if (begin[at] == '\n') found(at);
    }
}

ListingLines ListingBuilder::Take() {
    ahead_.reset();
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
