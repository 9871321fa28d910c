#include "core/search/hit_rule.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace core {

namespace {

// The smallest p > 0 with s[i] == s[i + p] wherever both lie in s: the
// shortest step at which two places can both hold s.
std::size_t PeriodOf(std::string_view s) {
    std::vector<std::size_t> border(s.size() + 1, 0);
    for (std::size_t i = 1, k = 0; i < s.size(); ++i) {
        while (k > 0 && s[i] != s[k]) k = border[k];
        if (s[i] == s[k]) ++k;
        border[i + 1] = k;
    }
    return s.size() - border[s.size()];
}

}  // namespace

HitRule::HitRule(std::string_view s, const platform::Encoding& encoding, LineCleaning cleaning)
    : s_(UpToNul(s)),
      encoding_(encoding),
      searchable_(!s_.empty() && s_.find(kCR) == std::string::npos && s_.find(kCtrlZ) == std::string::npos),
      clean_(cleaning == LineCleaning::StripIdeographicSpaces),
      period_(PeriodOf(s_)),
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
        x = LastInsideRun(line, at) + offset;
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
        candidate = LastInsideRun(line, candidate);
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
        // Only the splits whose part in the line ends in the line's last byte,
        // the longest first: the places tested then only move on, so the
        // character starts are walked to once, not once per split.
        std::uint64_t splits = splitsEndingIn_[Byte(cr[-1])];
        if (most < 64) splits &= (std::uint64_t{1} << most) - 1;
        while (splits != 0) {
            const int bit = 63 - std::countl_zero(splits);
            splits &= ~(std::uint64_t{1} << bit);
            const std::size_t i = static_cast<std::size_t>(bit) + 1;
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

// The text from at on repeats s's period p up to e. When the place of the
// characters repeats with it, with at inside one and at + p inside one just
// as far from its end, then so is every later place in the run that holds s
// whole: their test follows the same bytes. Stepping over them keeps a text
// of s's bytes set one byte off the characters from costing a test at each.
const char* HitRule::LastInsideRun(Line& line, const char* at) const noexcept {
    const std::size_t m = s_.size();
    const std::size_t p = period_;
    // The most bytes a character test reads past the place it is asked of.
    constexpr std::size_t kReadsAhead = 3;
    if (p >= m || static_cast<std::size_t>(line.end - at) < m + p + kReadsAhead) return at;
    const auto toEnd = [&](const char* x, const char* start) {
        return static_cast<std::size_t>(start + platform::CharacterLength(encoding_, start, line.end) - x);
    };
    const std::size_t r = toEnd(at, CharacterStart(line, at));
    if (r > p) return at;
    const char* const next = at + p;
    const char* const nextStart = CharacterStart(line, next);
    if (nextStart == next || toEnd(next, nextStart) != r) return at;
    const char* e = at + m;
    const auto back = static_cast<std::ptrdiff_t>(p);
    // A run may fill the line: compared a stretch at a time, then by bytes.
    constexpr std::ptrdiff_t kStretch = 64;
    while (line.end - e >= kStretch && std::memcmp(e, e - back, kStretch) == 0) e += kStretch;
    while (e < line.end && *e == e[-back]) ++e;
    const auto span = static_cast<std::size_t>(e - at);
    if (span < m + p + kReadsAhead) return at;
    const char* const last = at + (span - m - kReadsAhead) / p * p;
    // A character starts r bytes past every place of the run.
    line.sync = last - p + r;
    return last;
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
