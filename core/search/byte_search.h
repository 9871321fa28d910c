// Byte searches for the block scan: the phrase over a whole block, and the
// CR line ends in order. SSE2 (every x86-64 has it), and AVX2 or AVX-512
// where the processor has them (byte_search_x86.cpp); plain loops
// elsewhere. The answers are the same.
#pragma once

#include "platform/cpu_features.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace core {

// A phrase compiled once, searched many times. Two of its bytes (the first
// and the last) are compared at 16 positions at once (32 with AVX2, 64 with
// AVX-512, when the processor has them); a short phrase is compared in full
// only where both agree. A long phrase is matched from there byte by byte
// with its prefix automaton (Knuth-Morris-Pratt), so that no byte is
// compared more than a few times whatever the text: time stays linear in
// the text for phrases of any length.
class PhraseFinder {
public:
    explicit PhraseFinder(std::string_view phrase);

    // The first position in [from, to) where the whole phrase lies inside
    // [from, to), or to when there is none. An empty phrase is never found.
    const char* Find(const char* from, const char* to) const noexcept;

    std::size_t size() const noexcept { return phrase_.size(); }

    // The prefix automaton: given that the last matched bytes read were the
    // phrase's first matched ones, how many are after reading c (size() when
    // the phrase has just been read whole).
    std::size_t Step(std::size_t matched, char c) const noexcept;

    // Finds the occurrences in one text in turn. Asked again from just past
    // a found position, it goes on from where it stopped instead of reading
    // the phrase's bytes again, so all the occurrences of a text cost time
    // linear in the text. Valid while the text does not move.
    class Cursor {
    public:
        explicit Cursor(const PhraseFinder& finder) noexcept : finder_(finder) {}
        // As Find(from, to).
        const char* Next(const char* from, const char* to) noexcept;

    private:
        const PhraseFinder& finder_;
        const char* at_ = nullptr;  // the long phrase's automaton has read up to here,
        std::size_t matched_ = 0;   // with this many of its bytes matched before it
    };

private:
    // Phrases up to this long are compared in full at each candidate.
    static constexpr std::size_t kShort = 32;

    // The long phrase's search from the automaton state (at, matched): the
    // next occurrence inside [.., to), or to; at and matched move on.
    const char* FindLong(const char*& at, std::size_t& matched, const char* to) const noexcept;

    std::string phrase_;
    // For each k, the length of the longest proper prefix of phrase_[0, k)
    // that is also its suffix.
    std::vector<std::uint32_t> border_;
    platform::Vectors vectors_;
};

// Bit i set when p[i] == b, for the 64 bytes at p.
inline std::uint64_t ByteMask64(const char* p, char b) noexcept {
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi8(b);
    const auto mask16 = [&](const char* q) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, v))));
    };
    return mask16(p) | mask16(p + 16) << 16 | mask16(p + 32) << 32 | mask16(p + 48) << 48;
#else
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) mask |= static_cast<std::uint64_t>(p[i] == b) << i;
    return mask;
#endif
}

// The same for the size (at most 64) bytes at p.
inline std::uint64_t ByteMask(const char* p, std::size_t size, char b) noexcept {
    if (size == 64) return ByteMask64(p, b);
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < size; ++i) mask |= static_cast<std::uint64_t>(p[i] == b) << i;
    return mask;
}

// Calls body(p) for every byte p in [from, to) equal to b, in order. The body
// is inlined into the loop that finds the bytes, so a line end costs a few
// instructions.
template <class Body>
inline void ForEachByte(const char* from, const char* to, char b, Body&& body) {
    for (const char* p = from; p < to; p += 64) {
        std::uint64_t mask = ByteMask(p, static_cast<std::size_t>(std::min<std::ptrdiff_t>(64, to - p)), b);
        while (mask != 0) {
            body(p + std::countr_zero(mask));
            mask &= mask - 1;
        }
    }
}

}  // namespace core
