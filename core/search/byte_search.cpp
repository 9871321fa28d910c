#include "core/search/byte_search.h"
#include "core/search/byte_search_x86.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace core {

namespace {

// The first start in [p, last] where the first and last bytes of s (of m)
// agree, and when whole, the bytes between them too; nullptr when there is
// none. The widest vectors first, then bytes.
const char* FindFirstAndLast(const char* p, const char* last, const char* s, std::size_t m,
                             [[maybe_unused]] platform::Vectors vectors, bool whole) noexcept {
    const char* hit = nullptr;
#if defined(NORVANE_X86_VECTORS)
    if (vectors == platform::Vectors::Avx512) hit = x86::FindAvx512(p, last, s, m, whole);
    if (hit == nullptr && vectors >= platform::Vectors::Avx2) hit = x86::FindAvx2(p, last, s, m, whole);
    if (hit == nullptr) hit = x86::FindSse2(p, last, s, m, whole);
#endif
    for (; hit == nullptr && p <= last; ++p) {
        if (p[0] == s[0] && p[m - 1] == s[m - 1] && (!whole || std::memcmp(p + 1, s + 1, m - 2) == 0)) hit = p;
    }
    return hit;
}

// The first x in [p, end) where byte x is a and byte x + 1 is b or a CR
// (byte end is readable), or when single, anything, and that agrees with
// rest (AnchorAgrees) when the kernel looks; end when there is none. passed
// tells what lies before the answer, as AnchorFinder::Find. The widest
// vectors first, then bytes.
const char* FindPair(const char* p, const char* end, char a, char b, bool single,
                     [[maybe_unused]] const AnchorRest& rest, AnchorFinder::Passed& passed,
                     [[maybe_unused]] platform::Vectors vectors) noexcept {
    const char* hit = nullptr;
#if defined(NORVANE_X86_VECTORS)
    if (vectors == platform::Vectors::Avx512) hit = x86::FindPairAvx512(p, end, a, b, single, passed);
    if (hit == nullptr && vectors >= platform::Vectors::Avx2)
        hit = x86::FindPairAvx2(p, end, a, b, single, rest, passed);
    if (hit == nullptr) hit = x86::FindPairSse2(p, end, a, b, single, passed);
    // Only the AVX2 kernel looks for a Ctrl-Z; what it saw is known clean
    // only when it began at the start.
    if (vectors != platform::Vectors::Avx2) passed.clean = nullptr;
#endif
    for (; hit == nullptr && p < end; ++p) {
        if (p[0] == a && (single || p[1] == b || p[1] == '\r')) {
            hit = p;
        } else {
            passed.crs += p[0] == '\r';
        }
    }
    return hit != nullptr ? hit : end;
}

// Adds to count the x in [p, end - 1) where byte x is a and byte x + 1 is
// b or a CR, and when rest.after is not empty, of them those that agree
// with rest (AnchorAgrees over [from, last]). The widest vectors first,
// then bytes.
void CountPairs(const char* p, const char* end, char a, char b, const AnchorRest& rest, const char* from,
                const char* last, AnchorPlaces& count, [[maybe_unused]] platform::Vectors vectors) noexcept {
#if defined(NORVANE_X86_VECTORS)
    if (vectors == platform::Vectors::Avx512) x86::CountPairsAvx512(p, end, a, b, rest, from, last, count);
    if (vectors >= platform::Vectors::Avx2) x86::CountPairsAvx2(p, end, a, b, rest, from, last, count);
#endif
    for (; end - p > 1; ++p) {
        if (p[0] == a && (p[1] == b || p[1] == '\r')) {
            ++count.places;
            count.agreeing += !rest.after.empty() && AnchorAgrees(p, from, last, rest);
        }
    }
}

// The phrase around the anchor at j, as far as the search compares it.
AnchorRest RestOf(std::string_view phrase, std::size_t j, const platform::Encoding& encoding) noexcept {
    const std::size_t before = std::min(j, AnchorFinder::kRest);
    return {phrase.substr(j - before, before), phrase.substr(j, AnchorFinder::kRest), encoding.ideographicSpace};
}

// How often the anchor a, b turns up in the encoding's prose, per thousand
// characters: the pair, and a before a line end.
double AnchorFrequency(const platform::Encoding& encoding, unsigned char a, unsigned char b) noexcept {
    const platform::Encoding::Frequency first = encoding.frequency[a], second = encoding.frequency[b];
    return (first.leads + first.ends) * (second.leads + second.ends) / 1000 + first.ends / 35;
}

}  // namespace

const char* FindByte(const char* from, const char* to, char c, [[maybe_unused]] platform::Vectors vectors) noexcept {
#if defined(NORVANE_X86_VECTORS)
    if (vectors == platform::Vectors::Avx512) {
        if (const char* at = x86::FindByteAvx512(from, to, c)) return at;
    }
#endif
    const void* at = std::memchr(from, c, static_cast<std::size_t>(to - from));
    return at != nullptr ? static_cast<const char*>(at) : to;
}

AnchorFinder::AnchorFinder(std::string_view phrase, const platform::Encoding& encoding)
    : AnchorFinder(phrase, encoding, {}) {}

AnchorFinder::AnchorFinder(std::string_view phrase, const platform::Encoding& encoding, std::string_view sample)
    : empty_(phrase.empty()), vectors_(platform::WidestVectors()) {
    if (phrase.empty()) return;
    first_ = phrase[0];
    pair_ = phrase.size() >= 2;
    if (!pair_) return;
    // What each pair of the phrase would cost the search in the sample: the
    // places where it lies, or its first byte before a CR, and of those the
    // ones where the phrase around it agrees with the sample. A long phrase
    // looks at less of the sample, so that its many pairs cost no more than
    // a short phrase's few. A pair is counted a piece at a time and no
    // further once it costs more than the cheapest so far, which it then
    // can't be.
    constexpr std::size_t kCountedBytes = 512 << 10;
    constexpr std::size_t kPiece = 16 * 1024;
    const std::string_view part = sample.substr(0, std::max<std::size_t>(kCountedBytes / phrase.size(), 4096));
    // The cheaper of with and without the look around each place.
    struct Cost {
        std::uint64_t units;
        bool looked;
    };
    const auto costOf = [](const AnchorPlaces& count) {
        const std::uint64_t unlooked = kStopCost * count.places;
        const std::uint64_t looked = count.places + (kLookedStopCost - 1) * count.agreeing;
        return looked < unlooked ? Cost{looked, true} : Cost{unlooked, false};
    };
    const auto cost = [&](std::size_t j, std::uint64_t most) -> Cost {
        if (part.size() < 2) return {0, true};
        const AnchorRest rest = RestOf(phrase, j, encoding);
        AnchorPlaces count;
        for (std::size_t at = 0; at + 1 < part.size() && costOf(count).units <= most; at += kPiece) {
            const char* const from = part.data() + at;
            CountPairs(from, from + std::min(kPiece + 1, part.size() - at), phrase[j], phrase[j + 1], rest, part.data(),
                       &part.back(), count, vectors_);
        }
        return costOf(count);
    };
    Cost cheapest{0, true};
    double rarest = 0;
    for (std::size_t j = 0; j + 1 < phrase.size(); ++j) {
        const auto a = static_cast<unsigned char>(phrase[j]), b = static_cast<unsigned char>(phrase[j + 1]);
        const Cost here = cost(j, j == 0 ? UINT64_MAX : cheapest.units);
        const double frequency = AnchorFrequency(encoding, a, b);
        if (j == 0 || here.units < cheapest.units || (here.units == cheapest.units && frequency < rarest)) {
            cheapest = here;
            rarest = frequency;
            offset_ = j;
        }
    }
    first_ = phrase[offset_];
    second_ = phrase[offset_ + 1];
    if (cheapest.looked) {
        const AnchorRest rest = RestOf(phrase, offset_, encoding);
        before_ = rest.before;
        after_ = rest.after;
        space_ = rest.space;
    }
}

const char* AnchorFinder::Find(const char* from, const char* to, Passed& passed) const noexcept {
    passed = Passed{};
    if (from >= to) return to;
    if (empty_) {
        passed.crs = std::count(from, to, '\r');
        return to;
    }
    return FindPair(from, to, first_, second_, !pair_, {before_, after_, space_}, passed, vectors_);
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
            // Nothing begun: skip to where the first and last bytes agree,
            // as a whole occurrence must start there.
            if (to - at < static_cast<std::ptrdiff_t>(m)) return to;
            const char* start = FindFirstAndLast(at, to - m, s, m, vectors_, false);
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
    const char* hit = FindFirstAndLast(from, to - m, s, m, vectors_, true);
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
