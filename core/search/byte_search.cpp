#include "core/search/byte_search.h"
#include "core/search/byte_search_x86.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

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
// (byte end is readable), or when single, anything; end when there is none.
// passed tells what lies before the answer, as AnchorFinder::Find. The
// widest vectors first, then bytes.
const char* FindPair(const char* p, const char* end, char a, char b, bool single, AnchorFinder::Passed& passed,
                     [[maybe_unused]] platform::Vectors vectors) noexcept {
    const char* hit = nullptr;
#if defined(NORVANE_X86_VECTORS)
    if (vectors == platform::Vectors::Avx512) hit = x86::FindPairAvx512(p, end, a, b, single, passed);
    if (hit == nullptr && vectors >= platform::Vectors::Avx2) hit = x86::FindPairAvx2(p, end, a, b, single, passed);
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

// How many x in [p, end - 1) have byte x a and byte x + 1 b or a CR. The
// widest vectors first, then bytes.
std::size_t CountPairs(const char* p, const char* end, char a, char b,
                       [[maybe_unused]] platform::Vectors vectors) noexcept {
    std::size_t count = 0;
#if defined(NORVANE_X86_VECTORS)
    if (vectors == platform::Vectors::Avx512) count += x86::CountPairsAvx512(p, end, a, b);
    if (vectors >= platform::Vectors::Avx2) count += x86::CountPairsAvx2(p, end, a, b);
#endif
    for (; end - p > 1; ++p) count += p[0] == a && (p[1] == b || p[1] == '\r');
    return count;
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
    // How often each pair of the phrase turns up in the sample, the pair or
    // its first byte before a CR; a long phrase looks at less of the sample,
    // so that its many pairs cost no more than a short phrase's few. A pair
    // is counted a piece at a time and no further once it has turned up more
    // often than the rarest so far, which it then can't be.
    constexpr std::size_t kCountedBytes = 4 << 20;
    constexpr std::size_t kPiece = 16 * 1024;
    const std::string_view part = sample.substr(0, std::max<std::size_t>(kCountedBytes / phrase.size(), 4096));
    std::vector<std::pair<std::uint16_t, std::uint64_t>> counted;
    const auto seen = [&](char a, char b, std::uint64_t most) -> std::uint64_t {
        const auto pair =
            static_cast<std::uint16_t>(static_cast<unsigned char>(a) << 8 | static_cast<unsigned char>(b));
        for (const auto& [known, times] : counted) {
            if (known == pair) return times;
        }
        std::uint64_t times = 0;
        for (std::size_t at = 0; at + 1 < part.size() && times <= most; at += kPiece) {
            const char* const from = part.data() + at;
            times += CountPairs(from, from + std::min(kPiece + 1, part.size() - at), a, b, vectors_);
        }
        counted.emplace_back(pair, times);
        return times;
    };
    std::uint64_t fewest = 0;
    double rarest = 0;
    for (std::size_t j = 0; j + 1 < phrase.size(); ++j) {
        const auto a = static_cast<unsigned char>(phrase[j]), b = static_cast<unsigned char>(phrase[j + 1]);
        const std::uint64_t times = seen(phrase[j], phrase[j + 1], j == 0 ? UINT64_MAX : fewest);
        const double frequency = AnchorFrequency(encoding, a, b);
        if (j == 0 || times < fewest || (times == fewest && frequency < rarest)) {
            fewest = times;
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
