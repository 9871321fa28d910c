#include "core/byte_search.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define NORVANE_HAVE_AVX2_PATH 1
#endif

namespace core {

namespace {

// The scalar tail (and the whole search where there are no vectors): both
// anchor bytes first, then the rest.
const char* FindPlain(const char* p, const char* last, const char* s, std::size_t m) noexcept {
    for (; p <= last; ++p) {
        if (p[0] == s[0] && p[m - 1] == s[m - 1] && std::memcmp(p + 1, s + 1, m - 2) == 0) return p;
    }
    return nullptr;
}

// Sixteen starts at a time while their sixteen last bytes lie inside: both
// anchors compared at once, the rest only where both agree. Returns the hit,
// or nullptr with p moved on to where the vectors stopped.
const char* FindSse2(const char*& p, const char* last, const char* s, std::size_t m) noexcept {
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(s[0]);
    const __m128i lastByte = _mm_set1_epi8(s[m - 1]);
    for (; last - p >= 15; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + m - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, lastByte))));
        for (; mask != 0; mask &= mask - 1) {
            const char* at = p + __builtin_ctz(mask);
            if (std::memcmp(at + 1, s + 1, m - 2) == 0) return at;
        }
    }
#else
    (void)last, (void)s, (void)m;
#endif
    return nullptr;
}

#if defined(NORVANE_HAVE_AVX2_PATH)
// The same, thirty-two starts at a time, on processors that have AVX2.
__attribute__((target("avx2"))) const char* FindAvx2(const char*& p, const char* last, const char* s,
                                                      std::size_t m) noexcept {
    const __m256i first = _mm256_set1_epi8(s[0]);
    const __m256i lastByte = _mm256_set1_epi8(s[m - 1]);
    for (; last - p >= 31; p += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + m - 1));
        auto mask = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, lastByte))));
        for (; mask != 0; mask &= mask - 1) {
            const char* at = p + __builtin_ctz(mask);
            if (std::memcmp(at + 1, s + 1, m - 2) == 0) return at;
        }
    }
    return nullptr;
}

bool HasAvx2() noexcept {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

}  // namespace

PhraseFinder::PhraseFinder(std::string_view phrase) : phrase_(phrase) {
#if defined(NORVANE_HAVE_AVX2_PATH)
    avx2_ = HasAvx2();
#endif
}

const char* PhraseFinder::Find(const char* from, const char* to) const noexcept {
    const std::size_t m = phrase_.size();
    if (m == 0 || to - from < static_cast<std::ptrdiff_t>(m)) return to;
    const char* const s = phrase_.data();
    if (m == 1) {
        const void* hit = std::memchr(from, s[0], static_cast<std::size_t>(to - from));
        return hit != nullptr ? static_cast<const char*>(hit) : to;
    }
    const char* p = from;
    // The last start position at which the phrase still fits.
    const char* const last = to - m;
    const char* hit = nullptr;
#if defined(NORVANE_HAVE_AVX2_PATH)
    if (avx2_) hit = FindAvx2(p, last, s, m);
#endif
    if (hit == nullptr) hit = FindSse2(p, last, s, m);
    if (hit == nullptr) hit = FindPlain(p, last, s, m);
    return hit != nullptr ? hit : to;
}

}  // namespace core
