#include "core/search/byte_search_x86.h"

#if defined(NORVANE_X86_VECTORS)

#include <immintrin.h>

#include <bit>
#include <cstring>

namespace core::x86 {

namespace {

// The two kernels' shared end: the candidates of a mask, in order, against
// the bytes between the anchors.
inline const char* FirstWhole(std::uint64_t mask, const char* p, const char* s, std::size_t m, bool whole) noexcept {
    for (; mask != 0; mask &= mask - 1) {
        const char* at = p + std::countr_zero(mask);
        if (!whole || std::memcmp(at + 1, s + 1, m - 2) == 0) return at;
    }
    return nullptr;
}

// Whether one of the CRs at the bits of crs, in the chunk at p, may end a
// line in the first part of the phrase.
inline bool AnyMayEnd(std::uint64_t crs, const char* p, const char* floor, const LineEndTables& t) noexcept {
    for (; crs != 0; crs &= crs - 1) {
        if (MayEndInPhrase(t, floor, p + std::countr_zero(crs))) return true;
    }
    return false;
}

__attribute__((target("avx2"), always_inline)) inline __m256i Load32(const char* p) noexcept {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"), always_inline)) inline std::uint64_t Equal64(const char* p, __m256i b) noexcept {
    const auto low = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(Load32(p), b)));
    const auto high = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(Load32(p + 32), b)));
    return low | static_cast<std::uint64_t>(high) << 32;
}

__attribute__((target("avx2"), always_inline)) inline std::uint32_t Members32(__m256i x, __m256i lows,
                                                                              __m256i highs) noexcept {
    const __m256i halfMask = _mm256_set1_epi8(0x0F);
    const __m256i low = _mm256_shuffle_epi8(lows, _mm256_and_si256(x, halfMask));
    const __m256i high = _mm256_shuffle_epi8(highs, _mm256_and_si256(_mm256_srli_epi16(x, 4), halfMask));
    const __m256i none = _mm256_cmpeq_epi8(_mm256_and_si256(low, high), _mm256_setzero_si256());
    return ~static_cast<std::uint32_t>(_mm256_movemask_epi8(none));
}

// The step both walks end a chunk with, given its CRs and the bytes in it
// that may be the phrase's: false when one of the CRs may end a line in the
// first part of the phrase, else the CRs are counted. Inlined into each walk,
// so that it is compiled for the walk's instructions.
__attribute__((always_inline)) inline bool Passes(const char* p, std::uint64_t crs, std::uint64_t after,
                                                  const char* floor, const LineEndTables& t,
                                                  LineEndRun& run) noexcept {
    const std::uint64_t close = crs & (after << 1 | 1);
    if (close != 0 && AnyMayEnd(close, p, floor, t)) return false;
    run.count += std::popcount(crs);
    const char* const last = p + 63 - std::countl_zero(crs | 1);
    run.last = crs != 0 ? last : run.last;
    return true;
}

}  // namespace

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

// The walks test the byte before each CR against the nibble tables, 64 at a
// time: bit i of the result is set when byte i of x may be a byte of the
// phrase but its last (it shares the low half and the low three bits of the
// high half of one). Only a CR after such a byte, or at the chunk's start,
// is looked at closely. Whether a chunk holds a CR at all is as good as
// random in prose, so the walks do not branch on it.
__attribute__((target("avx2,popcnt"))) LineEndRun SkipAvx2(const char* p, const char* end, const char* floor,
                                                                   const LineEndTables& t) noexcept {
    const __m256i lows = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.lowHalves));
    const __m256i highs = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.highHalves));
    const __m256i crByte = _mm256_set1_epi8('\r');
    LineEndRun run{p, 0, nullptr};
    for (; end - p >= 64; p += 64) {
        const std::uint64_t crs = Equal64(p, crByte);
        const std::uint64_t after = static_cast<std::uint64_t>(Members32(Load32(p), lows, highs)) |
                                    static_cast<std::uint64_t>(Members32(Load32(p + 32), lows, highs)) << 32;
        if (!Passes(p, crs, after, floor, t, run)) break;
    }
    run.stop = p;
    return run;
}

__attribute__((target("avx512f,avx512bw,popcnt"))) LineEndRun SkipAvx512(const char* p, const char* end,
                                                                                 const char* floor,
                                                                                 const LineEndTables& t) noexcept {
    const __m512i lows = _mm512_load_si512(t.lowHalves);
    const __m512i highs = _mm512_load_si512(t.highHalves);
    const __m512i halfMask = _mm512_set1_epi8(0x0F);
    const __m512i crByte = _mm512_set1_epi8('\r');
    LineEndRun run{p, 0, nullptr};
    for (; end - p >= 64; p += 64) {
        const __m512i x = _mm512_loadu_si512(p);
        const std::uint64_t crs = _mm512_cmpeq_epi8_mask(x, crByte);
        const __m512i low = _mm512_shuffle_epi8(lows, _mm512_and_si512(x, halfMask));
        const __m512i high = _mm512_shuffle_epi8(highs, _mm512_and_si512(_mm512_srli_epi16(x, 4), halfMask));
        const std::uint64_t after = _mm512_test_epi8_mask(low, high);
        if (!Passes(p, crs, after, floor, t, run)) break;
    }
    run.stop = p;
    return run;
}

}  // namespace core::x86

#endif
