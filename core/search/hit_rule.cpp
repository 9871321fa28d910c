#include "core/search/hit_rule.h"

#include <algorithm>
#include <bit>

namespace core {

HitRule::HitRule(std::string_view s, const platform::Encoding& encoding, LineCleaning cleaning)
    : s_(UpToNul(s)),
      encoding_(encoding),
      searchable_(!s_.empty() && s_.find(kCR) == std::string::npos && s_.find(kCtrlZ) == std::string::npos),
      clean_(cleaning == LineCleaning::StripIdeographicSpaces),
      finder_(s_),
      anchor_(s_, encoding) {
    for (std::size_t i = 1; i < s_.size() && i <= 64; ++i)
        splitsEndingIn_[Byte(s_[i - 1])] |= std::uint64_t{1} << (i - 1);
}

// The first place in the line, from its anchor at x on, where s lies whole
// and counts, or nullptr. Each such place holds an anchor Offset() bytes in,
// so a short s is compared whole only there.
const char* HitRule::FirstAtAnchors(Line& line, const char* x) const noexcept {
    const auto offset = static_cast<std::ptrdiff_t>(anchor_.Offset());
    const auto m = static_cast<std::ptrdiff_t>(s_.size());
    AnchorFinder::Passed passed;
    for (; x != line.end && line.end - x >= m - offset; x = anchor_.Find(x + 1, line.end, passed)) {
        if (x - line.Start() < offset) continue;
        const char* const at = x - offset;
        if (std::memcmp(at, s_.data(), s_.size()) != 0) continue;
        if (at >= line.FirstNul()) return nullptr;
        if (StartsCharacter(line, at)) return at;
    }
    return nullptr;
}

// Only candidates at the cleaned start or after it and before the first NUL
// count; each is looked at once.
const char* HitRule::FirstCounting(Line& line) const noexcept {
    PhraseFinder::Cursor cursor(finder_);
    for (const char* candidate = cursor.Next(line.Start(), line.end); candidate < line.end;
         candidate = cursor.Next(candidate + 1, line.end)) {
        if (candidate >= line.FirstNul()) return nullptr;
        if (StartsCharacter(line, candidate)) return candidate;
    }
    return nullptr;
}

// The line ends in s[0, i) and the next one starts with s[i, m), for some i.
bool HitRule::Spans(Line& line, const char* next, const char* limit) const noexcept {
    const char* const start = line.Start();
    const char* const cr = line.end;
    const std::size_t m = s_.size();
    const auto room = static_cast<std::size_t>(limit - next);
    const std::size_t most = std::min(m - 1, static_cast<std::size_t>(cr - start));
    // Whether s[0, i) ends the line and s[i, m) starts the next one there.
    // The first bytes of both parts first: most splits fail there.
    const auto splitsAt = [&](std::size_t i) {
        return room >= m - i && *next == s_[i] && cr[-static_cast<std::ptrdiff_t>(i)] == s_[0] &&
               std::memcmp(cr - i, s_.data(), i) == 0 && std::memcmp(next, s_.data() + i, m - i) == 0;
    };
    const auto counts = [&](std::size_t i) {
        // A NUL anywhere in the line ends the joined text inside the line.
        return line.FirstNul() == line.end && StartsCharacter(line, cr - i);
    };
    if (m - 1 <= 64) {
        // Only the splits whose part in the line ends in the line's last byte.
        std::uint64_t splits = splitsEndingIn_[Byte(cr[-1])];
        if (most < 64) splits &= (std::uint64_t{1} << most) - 1;
        for (; splits != 0; splits &= splits - 1) {
            const std::size_t i = static_cast<std::size_t>(std::countr_zero(splits)) + 1;
            if (splitsAt(i) && counts(i)) return true;
        }
        return false;
    }
    // A long phrase: its automaton reads the line's last bytes, then the next
    // line's first ones, until what it has matched starts in the next line.
    std::size_t matched = 0;
    for (const char* p = cr - most; p < cr; ++p) matched = finder_.Step(matched, *p);
    for (std::size_t h = 0; h + 1 < m && h < room && matched > h; ++h) {
        matched = finder_.Step(matched, next[h]);
        if (matched == m && counts(m - h - 1)) return true;
    }
    return false;
}

// Walked from the line's last known character start, which moves on, so
// that a line is walked about once.
const char* HitRule::CharacterStart(Line& line, const char* at) const noexcept {
    const char* const from = line.sync <= at ? line.sync : line.Start();
    const char* const start = platform::CharacterStart(encoding_, from, at, line.end);
    if (at >= line.sync) line.sync = start;
    return start;
}

}  // namespace core
