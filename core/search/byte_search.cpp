#include "core/search/byte_search.h"

#include "platform/cpu_features.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define NORVANE_HAVE_AVX2_PATH 1
#endif

namespace core {

namespace {

// Sixteen starts at a time while their sixteen last bytes lie inside: both
// anchors compared at once, and where both agree, verify(at) decides.
// Returns the first start verify accepts, or nullptr with p moved on to
// where the vectors stopped.
template <class Verify>
const char* FindSse2(const char*& p, const char* last, const char* s, std::size_t m, Verify&& verify) noexcept {
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(s[0]);
    const __m128i lastByte = _mm_set1_epi8(s[m - 1]);
    for (; last - p >= 15; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + m - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, lastByte))));
        for (; mask != 0; mask &= mask - 1) {
            const char* at = p + std::countr_zero(mask);
            if (verify(at)) return at;
        }
    }
#else
    (void)last, (void)s, (void)m, (void)verify;
#endif
    return nullptr;
}

#if defined(NORVANE_HAVE_AVX2_PATH)
// The same, thirty-two starts at a time, on processors that have AVX2.
template <class Verify>
__attribute__((target("avx2"))) const char* FindAvx2(const char*& p, const char* last, const char* s, std::size_t m,
                                                      Verify&& verify) noexcept {
    const __m256i first = _mm256_set1_epi8(s[0]);
    const __m256i lastByte = _mm256_set1_epi8(s[m - 1]);
    for (; last - p >= 31; p += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + m - 1));
        auto mask = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, lastByte))));
        for (; mask != 0; mask &= mask - 1) {
            const char* at = p + std::countr_zero(mask);
            if (verify(at)) return at;
        }
    }
    return nullptr;
}

#endif

// The first start in [p, last] whose both anchors agree and that verify
// accepts, or nullptr: the vectors first, the scalar tail after them.
template <class Verify>
const char* FindAnchored(const char* p, const char* last, const char* s, std::size_t m, [[maybe_unused]] bool avx2,
                         Verify&& verify) noexcept {
    const char* hit = nullptr;
#if defined(NORVANE_HAVE_AVX2_PATH)
    if (avx2) hit = FindAvx2(p, last, s, m, verify);
#endif
    if (hit == nullptr) hit = FindSse2(p, last, s, m, verify);
    for (; hit == nullptr && p <= last; ++p) {
        if (p[0] == s[0] && p[m - 1] == s[m - 1] && verify(p)) hit = p;
    }
    return hit;
}

}  // namespace

ByteSet::ByteSet(std::string_view bytes) {
    for (const char b : bytes) {
        if (member_[static_cast<unsigned char>(b)]) continue;
        member_[static_cast<unsigned char>(b)] = true;
        few_.push_back(b);
    }
#if defined(NORVANE_HAVE_AVX2_PATH)
    avx2_ = platform::HasAvx2();
#endif
    // The nibble tables hold every set: the walk over chunks uses them for a
    // few members too, Mask64 only for many.
    for (const char b : few_) {
        const unsigned byte = static_cast<unsigned char>(b), high = byte >> 4, low = byte & 0xF;
        const auto bucket = static_cast<std::uint8_t>(1u << (high % 8));
        // Both 16-byte lanes of a 32-byte register look up the same table.
        lowHalves_[low] |= bucket;
        lowHalves_[low + 16] |= bucket;
        highHalves_[high] |= bucket;
        highHalves_[high + 16] |= bucket;
    }
    if (few_.size() <= 4) return;
    few_.clear();
    many_ = true;
}

#if defined(NORVANE_HAVE_AVX2_PATH)
namespace {

// The nibble tables of a set, in registers: which of 32 bytes may be members.
struct Nibbles {
    __m256i lows, highs;

    __attribute__((target("avx2"))) static Nibbles Load(const std::uint8_t* lowHalves,
                                                        const std::uint8_t* highHalves) noexcept {
        return {_mm256_load_si256(reinterpret_cast<const __m256i*>(lowHalves)),
                _mm256_load_si256(reinterpret_cast<const __m256i*>(highHalves))};
    }
    __attribute__((target("avx2"), always_inline)) std::uint32_t Members(__m256i x) const noexcept {
        const __m256i halfMask = _mm256_set1_epi8(0x0F);
        const __m256i low = _mm256_shuffle_epi8(lows, _mm256_and_si256(x, halfMask));
        const __m256i high = _mm256_shuffle_epi8(highs, _mm256_and_si256(_mm256_srli_epi16(x, 4), halfMask));
        const __m256i none = _mm256_cmpeq_epi8(_mm256_and_si256(low, high), _mm256_setzero_si256());
        return ~static_cast<std::uint32_t>(_mm256_movemask_epi8(none));
    }
};

__attribute__((target("avx2"), always_inline)) inline __m256i Load32(const char* p) noexcept {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) std::uint64_t NibbleMask64(const char* p, const std::uint8_t* lowHalves,
                                                           const std::uint8_t* highHalves) noexcept {
    const Nibbles set = Nibbles::Load(lowHalves, highHalves);
    return set.Members(Load32(p)) | static_cast<std::uint64_t>(set.Members(Load32(p + 32))) << 32;
}

// SkipWhileNoneFollows with AVX2: a chunk without b costs two compares, and
// only a chunk with one looks its members up.
__attribute__((target("avx2,popcnt"))) ByteSet::Run SkipAvx2(const char* p, const char* end, char b, bool before,
                                                             const std::array<bool, 256>& member,
                                                             const std::uint8_t* lowHalves,
                                                             const std::uint8_t* highHalves) noexcept {
    const Nibbles set = Nibbles::Load(lowHalves, highHalves);
    const __m256i bs = _mm256_set1_epi8(b);
    const char* const start = p;
    ByteSet::Run run{p, 0, nullptr};
    for (; end - p >= 64; p += 64) {
        const __m256i x0 = Load32(p), x1 = Load32(p + 32);
        const std::uint64_t found =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x0, bs))) |
            static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x1, bs))))
                << 32;
        if (found == 0) continue;
        const bool afterMember = (p > start || before) && member[static_cast<unsigned char>(p[-1])];
        const std::uint64_t members = set.Members(x0) | static_cast<std::uint64_t>(set.Members(x1)) << 32;
        if ((found & (members << 1 | static_cast<std::uint64_t>(afterMember))) != 0) break;
        run.count += std::popcount(found);
        run.last = p + 63 - std::countl_zero(found);
    }
    run.stop = p;
    return run;
}

}  // namespace
#endif

std::uint64_t ByteSet::Mask64(const char* p) const noexcept {
    if (!many_) {
        std::uint64_t mask = 0;
        for (const char b : few_) mask |= ByteMask64(p, b);
        return mask;
    }
#if defined(NORVANE_HAVE_AVX2_PATH)
    if (avx2_) return NibbleMask64(p, lowHalves_.data(), highHalves_.data());
#endif
    return ~std::uint64_t{0};
}

ByteSet::Run ByteSet::SkipWhileNoneFollows(const char* p, const char* end, char b, bool before) const noexcept {
#if defined(NORVANE_HAVE_AVX2_PATH)
    if (avx2_) return SkipAvx2(p, end, b, before, member_, lowHalves_.data(), highHalves_.data());
#endif
    const char* const start = p;
    Run run{p, 0, nullptr};
    for (; end - p >= 64; p += 64) {
        const std::uint64_t found = ByteMask64(p, b);
        if (found == 0) continue;
        const bool afterMember = (p > start || before) && Contains(p[-1]);
        if ((found & (Mask64(p) << 1 | static_cast<std::uint64_t>(afterMember))) != 0) break;
        run.count += std::popcount(found);
        run.last = p + 63 - std::countl_zero(found);
    }
    run.stop = p;
    return run;
}

PhraseFinder::PhraseFinder(std::string_view phrase) : phrase_(phrase), border_(phrase.size() + 1, 0) {
#if defined(NORVANE_HAVE_AVX2_PATH)
    avx2_ = platform::HasAvx2();
#endif
    for (std::size_t k = 2; k <= phrase_.size(); ++k) {
        std::size_t b = border_[k - 1];
        while (b > 0 && phrase_[b] != phrase_[k - 1]) b = border_[b];
        border_[k] = static_cast<std::uint32_t>(phrase_[b] == phrase_[k - 1] ? b + 1 : 0);
    }
}

std::size_t PhraseFinder::Step(std::size_t matched, char c) const noexcept {
    if (matched == phrase_.size()) matched = border_[matched];
    while (matched > 0 && phrase_[matched] != c) matched = border_[matched];
    return phrase_[matched] == c ? matched + 1 : 0;
}

const char* PhraseFinder::FindLong(const char*& at, std::size_t& matched, const char* to) const noexcept {
    const std::size_t m = phrase_.size();
    const char* const s = phrase_.data();
    while (at < to) {
        if (matched == 0) {
            // Nothing begun: skip to where both anchors agree, as a whole
            // occurrence must start there.
            if (to - at < static_cast<std::ptrdiff_t>(m)) return to;
            const char* start = FindAnchored(at, to - m, s, m, avx2_, [](const char*) { return true; });
            if (start == nullptr) return to;
            at = start;
        }
        matched = Step(matched, *at++);
        if (matched == m) return at - m;
    }
    return to;
}

const char* PhraseFinder::Find(const char* from, const char* to) const noexcept {
    const std::size_t m = phrase_.size();
    if (m == 0 || to - from < static_cast<std::ptrdiff_t>(m)) return to;
    const char* const s = phrase_.data();
    if (m == 1) {
        const void* hit = std::memchr(from, s[0], static_cast<std::size_t>(to - from));
        return hit != nullptr ? static_cast<const char*>(hit) : to;
    }
    if (m > kShort) {
        std::size_t matched = 0;
        return FindLong(from, matched, to);
    }
    // to - m: the last start at which the phrase still fits.
    const char* hit = FindAnchored(from, to - m, s, m, avx2_,
                                   [&](const char* at) { return std::memcmp(at + 1, s + 1, m - 2) == 0; });
    return hit != nullptr ? hit : to;
}

const char* PhraseFinder::Cursor::Next(const char* from, const char* to) noexcept {
    const PhraseFinder& f = finder_;
    if (f.phrase_.size() <= kShort) return f.Find(from, to);
    if (at_ == nullptr || from > at_ || at_ > to) {
        at_ = from;
        matched_ = 0;
    }
    // Keep only the part of what was matched that starts at from or later.
    while (matched_ > 0 && static_cast<std::size_t>(at_ - from) < matched_) matched_ = f.border_[matched_];
    return f.FindLong(at_, matched_, to);
}

}  // namespace core
