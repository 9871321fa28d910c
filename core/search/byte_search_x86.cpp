#include "core/search/byte_search_x86.h"

#if defined(NORVANE_X86_VECTORS)

#include <emmintrin.h>
#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace core::x86 {

namespace {

// The kernels' shared end: the candidates of a mask, in order, against the
// bytes between the phrase's first and last ones.
inline const char* FirstWhole(std::uint64_t mask, const char* p, const char* s, std::size_t m, bool whole) noexcept {
    for (; mask != 0; mask &= mask - 1) {
        const char* at = p + std::countr_zero(mask);
        if (!whole || std::memcmp(at + 1, s + 1, m - 2) == 0) return at;
    }
    return nullptr;
}

__attribute__((target("avx2"), always_inline)) inline __m256i Load32(const char* p) noexcept {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// The anchor walk is often the first to read a block from memory: the
// processor fetches a page's lines on its own only once it has seen a few of
// them, so they are asked for a page ahead. A prefetch never faults, past the
// bytes' end either.
__attribute__((always_inline)) inline void Ahead(const char* p) noexcept { _mm_prefetch(p + 4096, _MM_HINT_T0); }

// The AVX-512 walk reads whole aligned 64-byte chunks, so that no load
// straddles two cache lines; the bytes of a first or last chunk outside the
// range are masked off (a masked load reads none of them).
__attribute__((always_inline)) inline const char* ChunkOf(const char* p) noexcept {
    return p - (reinterpret_cast<std::uintptr_t>(p) % 64);
}

// The bits of the bytes from the first n of a chunk on.
inline std::uint64_t From(std::ptrdiff_t n) noexcept { return ~std::uint64_t{0} << n; }
// The bits of the first n bytes of a chunk.
inline std::uint64_t Below(std::ptrdiff_t n) noexcept {
    return n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
}

// What one chunk holds: bit i of pairs set when byte i is a and byte i + 1
// is b or a CR (or anything, for a one-byte anchor), bit i of crs when byte
// i is a CR.
struct Chunk {
    std::uint64_t pairs, crs;
};

// The anchor a, b as the AVX-512 walk compares it.
struct Pairs {
    __m512i first, second, cr;
    std::uint64_t anySecond;

    // The chunk at q, of which only the bytes of load are read; next tells
    // whether byte 64 is b or a CR.
    __attribute__((target("avx512f,avx512bw"), always_inline)) Chunk At(const char* q, std::uint64_t load,
                                                                        bool next) const noexcept {
        const __m512i x = _mm512_maskz_loadu_epi8(load, q);
        const std::uint64_t crs = _mm512_cmpeq_epi8_mask(x, cr);
        const std::uint64_t seconds = _mm512_cmpeq_epi8_mask(x, second) | crs;
        return {_mm512_cmpeq_epi8_mask(x, first) & (seconds >> 1 | static_cast<std::uint64_t>(next) << 63 | anySecond),
                crs};
    }
};

// The anchor at bit at of the chunk at q, which holds the CRs of crs, after
// count CRs before the chunk: what the walk passed, and where it lies.
__attribute__((target("popcnt"), always_inline)) inline const char* Arrive(const char* q, int at, std::uint64_t crs,
                                                                           std::int64_t count,
                                                                           AnchorPassed& passed) noexcept {
    const std::uint64_t before = crs & Below(at);
    const std::uint64_t after = crs & ~Below(at);
    passed.crs += count + std::popcount(before);
    passed.lastCr = before != 0 ? q + 63 - std::countl_zero(before) : nullptr;
    passed.nextCr = after != 0 ? q + std::countr_zero(after) : nullptr;
    return q + at;
}

// The first pair of the chunk at q among the bits of wanted, as Arrive
// tells it, or nullptr; count grows by the CRs of wanted when there is none.
__attribute__((target("popcnt"), always_inline)) inline const char* Take(const char* q, Chunk chunk,
                                                                         std::uint64_t wanted, std::int64_t& count,
                                                                         AnchorPassed& passed) noexcept {
    if (const std::uint64_t mask = chunk.pairs & wanted; mask != 0) {
        return Arrive(q, std::countr_zero(mask), chunk.crs & wanted, count, passed);
    }
    count += std::popcount(chunk.crs & wanted);
    return nullptr;
}

}  // namespace

const char* FindSse2(const char*& p, const char* last, const char* s, std::size_t m, bool whole) noexcept {
    const __m128i first = _mm_set1_epi8(s[0]);
    const __m128i lastByte = _mm_set1_epi8(s[m - 1]);
    for (; last - p >= 15; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + m - 1));
        const auto mask = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, lastByte))));
        if (mask != 0) {
            if (const char* at = FirstWhole(mask, p, s, m, whole)) return at;
        }
    }
    return nullptr;
}

__attribute__((target("avx2"))) const char* FindAvx2(const char*& p, const char* last, const char* s, std::size_t m,
                                                     bool whole) noexcept {
    const __m256i first = _mm256_set1_epi8(s[0]);
    const __m256i lastByte = _mm256_set1_epi8(s[m - 1]);
    for (; last - p >= 31; p += 32) {
        const __m256i a = Load32(p);
        const __m256i b = Load32(p + m - 1);
        const auto mask = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, lastByte))));
        if (mask != 0) {
            if (const char* at = FirstWhole(mask, p, s, m, whole)) return at;
        }
    }
    return nullptr;
}

__attribute__((target("avx512f,avx512bw"))) const char* FindAvx512(const char*& p, const char* last, const char* s,
                                                                   std::size_t m, bool whole) noexcept {
    const __m512i first = _mm512_set1_epi8(s[0]);
    const __m512i lastByte = _mm512_set1_epi8(s[m - 1]);
    for (; last - p >= 63; p += 64) {
        const std::uint64_t mask = _mm512_mask_cmpeq_epi8_mask(_mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p), first),
                                                               _mm512_loadu_si512(p + m - 1), lastByte);
        if (mask != 0) {
            if (const char* at = FirstWhole(mask, p, s, m, whole)) return at;
        }
    }
    return nullptr;
}

const char* FindPairSse2(const char*& p, const char* end, char a, char b, bool single, AnchorPassed& passed) noexcept {
    // The CRs are counted in byte lanes, summed before a lane can overflow:
    // a popcount is a library call on the baseline.
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i anySecond = _mm_set1_epi8(single ? -1 : 0);
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes = zero, sums = zero;
    const char* hit = nullptr;
    for (int rounds = 0; end - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        const __m128i lineEnds = _mm_cmpeq_epi8(x, cr);
        const __m128i seconds =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(next, second), _mm_cmpeq_epi8(next, cr)), anySecond);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, first), seconds)));
        if (mask != 0) {
            const int at = std::countr_zero(mask);
            passed.crs += std::popcount(static_cast<unsigned>(_mm_movemask_epi8(lineEnds)) & ((1u << at) - 1));
            hit = p + at;
            break;
        }
        lanes = _mm_sub_epi8(lanes, lineEnds);
        if (++rounds == 255) {
            sums = _mm_add_epi64(sums, _mm_sad_epu8(lanes, zero));
            lanes = zero;
            rounds = 0;
        }
    }
    sums = _mm_add_epi64(sums, _mm_sad_epu8(lanes, zero));
    passed.crs += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
    return hit;
}

// Bit i set when byte i of x is a and the byte after it (byte i of next) is
// b or a CR, or anything when anySecond is all ones.
__attribute__((target("avx2"), always_inline)) inline __m256i PairsOf(__m256i x, __m256i next, __m256i first,
                                                                      __m256i second, __m256i cr,
                                                                      __m256i anySecond) noexcept {
    return _mm256_and_si256(
        _mm256_cmpeq_epi8(x, first),
        _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(next, second), _mm256_cmpeq_epi8(next, cr)), anySecond));
}

// The top bits of the 32 bytes, as the low bits of a 64-bit mask.
__attribute__((target("avx2"), always_inline)) inline std::uint64_t Bits(__m256i bytes) noexcept {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
}

// Whether some anchor of mask, the pairs of the 64 bytes at q, agrees with
// rest as AnchorAgrees tells.
inline bool AnyAgrees(const char* q, std::uint64_t mask, const char* from, const char* end,
                      const AnchorRest& rest) noexcept {
    for (; mask != 0; mask &= mask - 1) {
        if (AnchorAgrees(q + std::countr_zero(mask), from, end, rest)) return true;
    }
    return false;
}

__attribute__((target("avx2,popcnt"))) const char* FindPairAvx2(const char*& p, const char* end, char a, char b,
                                                                bool single, const AnchorRest& rest,
                                                                AnchorPassed& passed) noexcept {
    const __m256i first = _mm256_set1_epi8(a);
    const __m256i second = _mm256_set1_epi8(b);
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i anySecond = _mm256_set1_epi8(single ? -1 : 0);
    const __m256i textEnd = _mm256_set1_epi8(0x1A);  // Ctrl-Z
    const __m256i zero = _mm256_setzero_si256();
    const char* const from = p;
    const char* q = p;       // in a register, not through p
    std::int64_t count = 0;  // and so is this, not through passed
    // Two vectors a round with one test: the CRs are summed in byte lanes,
    // at most two a round, and the lanes added up every 127 rounds, before
    // one can overflow. A round with an anchor or a Ctrl-Z stops the loop.
    // When there is a rest and its anchors all disagree with it, they can't
    // be a hit's, and the loop goes on past it; else it is left to the loop
    // after. (Asked inside the loop, the call would cost the loop its vector
    // registers.)
    while (end - q >= 64) {
        const char* const stop = q + std::min<std::ptrdiff_t>((end - q) / 64, 127) * 64;
        __m256i lanes = zero;
        for (; q < stop; q += 64) {
            Ahead(q);
            const __m256i x = Load32(q), y = Load32(q + 32);
            const __m256i stops =
                _mm256_or_si256(_mm256_or_si256(PairsOf(x, Load32(q + 1), first, second, cr, anySecond),
                                                PairsOf(y, Load32(q + 33), first, second, cr, anySecond)),
                                _mm256_or_si256(_mm256_cmpeq_epi8(x, textEnd), _mm256_cmpeq_epi8(y, textEnd)));
            if (!_mm256_testz_si256(stops, stops)) break;
            lanes = _mm256_sub_epi8(lanes, _mm256_add_epi8(_mm256_cmpeq_epi8(x, cr), _mm256_cmpeq_epi8(y, cr)));
        }
        const __m256i sums = _mm256_sad_epu8(lanes, zero);
        count += _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) + _mm256_extract_epi64(sums, 2) +
                 _mm256_extract_epi64(sums, 3);
        if (q == stop) continue;
        if (rest.after.empty()) break;
        const __m256i x = Load32(q), y = Load32(q + 32);
        const __m256i ends = _mm256_or_si256(_mm256_cmpeq_epi8(x, textEnd), _mm256_cmpeq_epi8(y, textEnd));
        const std::uint64_t pairs = Bits(PairsOf(x, Load32(q + 1), first, second, cr, anySecond)) |
                                    Bits(PairsOf(y, Load32(q + 33), first, second, cr, anySecond)) << 32;
        if (!_mm256_testz_si256(ends, ends) || AnyAgrees(q, pairs, from, end, rest)) break;
        count += std::popcount(Bits(_mm256_cmpeq_epi8(x, cr)) | Bits(_mm256_cmpeq_epi8(y, cr)) << 32);
        q += 64;
    }
    // Nothing from the first Ctrl-Z's chunk on is known to be clean.
    const char* ctrlZ = nullptr;
    for (; end - q >= 32; q += 32) {
        const __m256i x = Load32(q);
        const __m256i ends = _mm256_cmpeq_epi8(x, textEnd);
        if (ctrlZ == nullptr && !_mm256_testz_si256(ends, ends)) ctrlZ = q;
        const auto lineEnds = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, cr)));
        const auto mask =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(PairsOf(x, Load32(q + 1), first, second, cr, anySecond)));
        if (mask != 0) {
            passed.clean = ctrlZ != nullptr ? ctrlZ : q + 32;
            return Arrive(q, std::countr_zero(mask), lineEnds, count, passed);
        }
        count += std::popcount(lineEnds);
    }
    passed.clean = ctrlZ != nullptr ? ctrlZ : q;
    p = q;
    passed.crs += count;
    return nullptr;
}

__attribute__((target("avx512f,avx512bw,popcnt"))) const char* FindPairAvx512(const char*& p, const char* end, char a,
                                                                              char b, bool single,
                                                                              AnchorPassed& passed) noexcept {
    const Pairs pairs{_mm512_set1_epi8(a), _mm512_set1_epi8(b), _mm512_set1_epi8('\r'), single ? ~std::uint64_t{0} : 0};
    std::int64_t count = 0;  // in a register, not through passed
    // The chunk that p lies in; then whole chunks, two loads each (the
    // second for the bytes after the first ones); then the bytes before end.
    const char* q = ChunkOf(p);
    std::uint64_t wanted = From(p - q);
    if (end - q >= 64) {
        if (const char* at = Take(q, pairs.At(q, wanted, q[64] == b || q[64] == '\r'), wanted, count, passed)) {
            return at;
        }
        for (q += 64; end - q >= 64; q += 64) {
            Ahead(q);
            const __m512i x = _mm512_load_si512(q);
            const __m512i next = _mm512_loadu_si512(q + 1);
            const std::uint64_t firsts = _mm512_cmpeq_epi8_mask(x, pairs.first);
            const std::uint64_t mask = firsts & (_mm512_cmpeq_epi8_mask(next, pairs.second) |
                                                 _mm512_cmpeq_epi8_mask(next, pairs.cr) | pairs.anySecond);
            const std::uint64_t lineEnds = _mm512_cmpeq_epi8_mask(x, pairs.cr);
            if (mask != 0) return Arrive(q, std::countr_zero(mask), lineEnds, count, passed);
            count += std::popcount(lineEnds);
        }
        wanted = ~std::uint64_t{0};
    }
    // The last chunk, fewer than 64 bytes before end; byte end is readable.
    if (const char* at = Take(q, pairs.At(q, Below(end - q + 1), false), wanted & Below(end - q), count, passed)) {
        return at;
    }
    passed.crs += count;
    p = end;
    return nullptr;
}

__attribute__((target("avx512f,avx512bw"))) const char* FindByteAvx512(const char*& p, const char* end,
                                                                       char c) noexcept {
    // Four vectors a round, so that four cache lines are asked for at once;
    // a byte is c where its xor with c is zero, the least of the four.
    const __m512i wanted = _mm512_set1_epi8(c);
    for (; end - p >= 256; p += 256) {
        const __m512i a = _mm512_xor_si512(_mm512_loadu_si512(p), wanted);
        const __m512i b = _mm512_xor_si512(_mm512_loadu_si512(p + 64), wanted);
        const __m512i x = _mm512_xor_si512(_mm512_loadu_si512(p + 128), wanted);
        const __m512i y = _mm512_xor_si512(_mm512_loadu_si512(p + 192), wanted);
        const __m512i least = _mm512_min_epu8(_mm512_min_epu8(a, b), _mm512_min_epu8(x, y));
        if (_mm512_test_epi8_mask(least, least) != ~std::uint64_t{0}) {
            for (int k = 0; k < 4; ++k) {
                if (const std::uint64_t m = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p + 64 * k), wanted)) {
                    return p + 64 * k + std::countr_zero(m);
                }
            }
        }
    }
    return nullptr;
}

// Adds the places of mask, the pairs of the bytes at q, to count.
__attribute__((target("popcnt"))) inline void CountPlaces(const char* q, std::uint64_t mask, const char* from,
                                                          const char* last, const AnchorRest& rest,
                                                          AnchorPlaces& count) noexcept {
    count.places += static_cast<std::uint64_t>(std::popcount(mask));
    if (rest.after.empty()) return;
    for (; mask != 0; mask &= mask - 1) count.agreeing += AnchorAgrees(q + std::countr_zero(mask), from, last, rest);
}

__attribute__((target("avx2,popcnt"))) void CountPairsAvx2(const char*& p, const char* end, char a, char b,
                                                           const AnchorRest& rest, const char* from, const char* last,
                                                           AnchorPlaces& count) noexcept {
    const __m256i first = _mm256_set1_epi8(a), second = _mm256_set1_epi8(b), cr = _mm256_set1_epi8('\r');
    const __m256i none = _mm256_setzero_si256();
    for (; end - p > 32; p += 32) {
        const __m256i pairs = PairsOf(Load32(p), Load32(p + 1), first, second, cr, none);
        if (!_mm256_testz_si256(pairs, pairs)) CountPlaces(p, Bits(pairs), from, last, rest, count);
    }
}

__attribute__((target("avx512f,avx512bw,popcnt"))) void CountPairsAvx512(const char*& p, const char* end, char a,
                                                                         char b, const AnchorRest& rest,
                                                                         const char* from, const char* last,
                                                                         AnchorPlaces& count) noexcept {
    const __m512i first = _mm512_set1_epi8(a), second = _mm512_set1_epi8(b), cr = _mm512_set1_epi8('\r');
    for (; end - p > 64; p += 64) {
        const __m512i next = _mm512_loadu_si512(p + 1);
        const std::uint64_t pairs = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p), first) &
                                    (_mm512_cmpeq_epi8_mask(next, second) | _mm512_cmpeq_epi8_mask(next, cr));
        if (pairs != 0) CountPlaces(p, pairs, from, last, rest, count);
    }
}

}  // namespace core::x86

#endif
