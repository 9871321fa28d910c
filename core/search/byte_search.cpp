#include "core/search/byte_search.h"
#include "core/search/byte_search_x86.h"

#include "platform/cpu_features.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace core {

namespace {

// Sixteen starts at a time while their sixteen last bytes lie inside: both
// anchors compared at once, and where both agree (and, when whole, the bytes
// between them), that start is returned. nullptr when there is none among
// the starts the vectors reach; p is then where they stopped.
const char* FindSse2(const char*& p, const char* last, const char* s, std::size_t m, bool whole) noexcept {
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
            if (!whole || std::memcmp(at + 1, s + 1, m - 2) == 0) return at;
        }
    }
#else
    (void)last, (void)s, (void)m, (void)whole;
#endif
    return nullptr;
}

// The first start in [p, last] as FindSse2 takes it, or nullptr: the widest
// vectors first, the scalar tail after them.
const char* FindAnchored(const char* p, const char* last, const char* s, std::size_t m,
                         [[maybe_unused]] platform::Vectors vectors, bool whole) noexcept {
    const char* hit = nullptr;
#if defined(NORVANE_X86_VECTORS)
    if (vectors == platform::Vectors::Avx512) hit = x86::FindAvx512(p, last, s, m, whole);
    if (hit == nullptr && vectors >= platform::Vectors::Avx2) hit = x86::FindAvx2(p, last, s, m, whole);
#endif
    if (hit == nullptr) hit = FindSse2(p, last, s, m, whole);
    for (; hit == nullptr && p <= last; ++p) {
        if (p[0] == s[0] && p[m - 1] == s[m - 1] && (!whole || std::memcmp(p + 1, s + 1, m - 2) == 0)) hit = p;
    }
    return hit;
}

// How often a byte turns up in Japanese prose in Shift-JIS, per thousand
// characters, roughly, from the parts it can play: the lead byte of
// hiragana, punctuation, katakana or one of some forty rows of kanji; the
// byte that ends a character (a trail byte, or a byte of its own: a line
// end, ASCII). Only the order of the anchors it ranks counts.
struct Frequency {
    double leads = 0;
    double ends = 0;
};

Frequency FrequencyOf(unsigned char b) noexcept {
    Frequency f;
    if (b == 0x82) f.leads = 450;  // hiragana
    if (b == 0x81) f.leads = 100;  // punctuation, the ideographic space
    if (b == 0x83) f.leads = 60;   // katakana
    if ((b >= 0x88 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA)) f.leads = 300.0 / 40;
    if ((b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC)) {
        f.ends += 300.0 / 188;                            // of kanji
        if (b <= 0x96) f.ends += 60.0 / 86;               // of katakana
        if (b >= 0x9F && b <= 0xF1) f.ends += 450.0 / 83;  // of hiragana
        if (b <= 0x4A || b == 0x5B || b == 0x69 || b == 0x6A || (b >= 0x75 && b <= 0x7A)) {
            f.ends += 100.0 / 16;  // of punctuation and the long vowel mark
        }
    }
    if (b == '\r' || b == '\n') f.ends += 30;  // a line of some 35 characters
    if (b >= 0x20 && b <= 0x7E) f.ends += 2;
    return f;
}

// How often the anchor a, b turns up, per thousand characters: the pair, and
// a before a line end.
double AnchorFrequency(unsigned char a, unsigned char b) noexcept {
    const Frequency first = FrequencyOf(a), second = FrequencyOf(b);
    return (first.leads + first.ends) * (second.leads + second.ends) / 1000 + first.ends / 35;
}

// The first x in [p, end) where byte x is a and byte x + 1 is b or a CR
// (byte end is readable), or when single, anything; end when there is none.
// passed tells what lies before the answer, as AnchorFinder::Find.
const char* FindPair(const char* p, const char* end, char a, char b, bool single, AnchorFinder::Passed& passed,
                     [[maybe_unused]] platform::Vectors vectors) noexcept {
    const char* hit = nullptr;
#if defined(NORVANE_X86_VECTORS)
    if (vectors == platform::Vectors::Avx512) return x86::FindPairAvx512(p, end, a, b, single, passed);
    if (vectors == platform::Vectors::Avx2) hit = x86::FindPairAvx2(p, end, a, b, single, passed);
#endif
    std::int64_t& crs = passed.crs;
#if defined(__SSE2__)
    // The CRs are counted in byte lanes, summed before a lane can overflow:
    // a popcount is a library call on the baseline.
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i anySecond = _mm_set1_epi8(single ? -1 : 0);
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes = zero, sums = zero;
    for (int rounds = 0; hit == nullptr && end - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        const __m128i lineEnds = _mm_cmpeq_epi8(x, cr);
        const __m128i seconds =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(next, second), _mm_cmpeq_epi8(next, cr)), anySecond);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, first), seconds)));
        if (mask != 0) {
            const int at = std::countr_zero(mask);
            crs += std::popcount(static_cast<unsigned>(_mm_movemask_epi8(lineEnds)) & ((1u << at) - 1));
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
    crs += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
#endif
    for (; hit == nullptr && p < end; ++p) {
        if (p[0] == a && (single || p[1] == b || p[1] == '\r')) {
            hit = p;
        } else {
            crs += p[0] == '\r';
        }
    }
    return hit != nullptr ? hit : end;
}

}  // namespace

AnchorFinder::AnchorFinder(std::string_view phrase) : empty_(phrase.empty()), vectors_(platform::WidestVectors()) {
    if (phrase.empty()) return;
    first_ = phrase[0];
    pair_ = phrase.size() >= 2;
    double rarest = 0;
    for (std::size_t j = 0; j + 1 < phrase.size(); ++j) {
        const double frequency =
            AnchorFrequency(static_cast<unsigned char>(phrase[j]), static_cast<unsigned char>(phrase[j + 1]));
        if (j == 0 || frequency < rarest) {
            rarest = frequency;
            offset_ = j;
            first_ = phrase[j];
            second_ = phrase[j + 1];
        }
    }
}

const char* AnchorFinder::Find(const char* from, const char* to, Passed& passed) const noexcept {
    passed = Passed{};
    if (from >= to) return to;
    if (empty_) {
        passed.crs = std::count(from, to, '\r');
        return to;
    }
    return FindPair(from, to, first_, second_, !pair_, passed, vectors_);
}

PhraseFinder::PhraseFinder(std::string_view phrase)
    : phrase_(phrase), border_(phrase.size() + 1, 0), vectors_(platform::WidestVectors()) {
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
            const char* start = FindAnchored(at, to - m, s, m, vectors_, false);
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
    const char* hit = FindAnchored(from, to - m, s, m, vectors_, true);
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
