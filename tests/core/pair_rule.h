// The line-pair rule on one pair of lines at a time, over the core's phrase
// finder and the code page's character walk: the tests' second opinion on
// both, beside the whole-file scan that the program runs.
#pragma once

#include "core/search/byte_search.h"
#include "core/search/text_bytes.h"
#include "platform/code_page.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace core {

namespace pair_rule {
// Whether index starts a character of t.
inline bool StartsCharacter(std::string_view t, std::size_t index) {
    const char* const at = t.data() + index;
    return platform::CharacterStart(platform::Cp932(), t.data(), at, t.data() + t.size()) == at;
}

inline std::size_t FirstCountingPos(const PhraseFinder& finder, std::string_view t) {
    PhraseFinder::Cursor found(finder);
    const char* const end = t.data() + t.size();
    for (const char* at = found.Next(t.data(), end); at < end; at = found.Next(at + 1, end)) {
        const auto index = static_cast<std::size_t>(at - t.data());
        if (StartsCharacter(t, index)) return index + 1;
    }
    return 0;
}
}  // namespace pair_rule

// 1-based byte position of the first occurrence of s in t that starts on a
// character, or 0. Both strings are cut at their first NUL.
inline std::size_t SubstringPos(std::string_view s, std::string_view t) {
    s = UpToNul(s);
    t = UpToNul(t);
    if (s.empty() || t.empty()) return 0;
    return pair_rule::FirstCountingPos(PhraseFinder(s), t);
}

// Whether prev is a hit: s occurs in prev + cur at a character start that
// lies inside prev. The joined string is never built.
inline bool PairHit(std::string_view s, std::string_view prev, std::string_view cur) {
    s = UpToNul(s);
    if (s.empty() || prev.empty()) return false;
    const PhraseFinder finder(s);
    if (pair_rule::FirstCountingPos(finder, UpToNul(prev)) > 0) return true;
    // The joined string ends inside prev at a NUL: nothing runs on.
    if (prev.find('\0') != std::string_view::npos) return false;
    // A match that starts in the last bytes of prev and runs on into cur.
    cur = UpToNul(cur);
    const std::size_t m = s.size();
    std::size_t matched = 0;
    for (std::size_t i = prev.size() - std::min(prev.size(), m - 1); i < prev.size(); ++i) {
        matched = finder.Step(matched, prev[i]);
    }
    for (std::size_t h = 0; h + 1 < m && h < cur.size() && matched > h; ++h) {
        matched = finder.Step(matched, cur[h]);
        if (matched == m && pair_rule::StartsCharacter(prev, prev.size() - (m - h - 1))) return true;
    }
    return false;
}

// Whether the last line of a file is a hit: s occurs in it.
inline bool LastLineHit(std::string_view s, std::string_view last) { return SubstringPos(s, last) > 0; }

// Removes every leading ideographic space of a line.
inline void StripLeadingIdeographicSpaces(std::string& line) {
    const char* const begin = line.data();
    line.erase(0, static_cast<std::size_t>(
                      platform::SkipIdeographicSpaces(platform::Cp932(), begin, begin + line.size()) - begin));
}

}  // namespace core
