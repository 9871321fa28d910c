#include "core/search/hit_rule.h"

#include "core/search/byte_search.h"
#include "platform/code_page.h"

#include <algorithm>
#include <cstring>

namespace core {

std::string_view UpToNul(std::string_view s) noexcept {
    const auto nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

namespace {

// Walks the characters of a string from its start, once, so that each
// candidate position is classified without rescanning from the beginning.
class CharacterCursor {
public:
    explicit CharacterCursor(std::string_view t) noexcept : t_(t) {}
    // True when index starts a character; indexes must not decrease.
    bool StartsCharacter(std::size_t index) noexcept {
        while (next_ < index) next_ += platform::IsLeadByte(static_cast<unsigned char>(t_[next_])) ? 2 : 1;
        return next_ == index;
    }

private:
    std::string_view t_;
    std::size_t next_ = 0;
};

// SubstringPos with the phrase compiled.
std::size_t FirstCountingPos(const PhraseFinder& finder, std::string_view t) noexcept {
    PhraseFinder::Cursor found(finder);
    CharacterCursor cursor(t);
    const char* const end = t.data() + t.size();
    for (const char* at = found.Next(t.data(), end); at < end; at = found.Next(at + 1, end)) {
        const auto index = static_cast<std::size_t>(at - t.data());
        if (cursor.StartsCharacter(index)) return index + 1;
    }
    return 0;
}

}  // namespace

std::size_t SubstringPos(std::string_view s, std::string_view t) {
    s = UpToNul(s);
    t = UpToNul(t);
    if (s.empty() || t.empty()) return 0;
    return FirstCountingPos(PhraseFinder(s), t);
}

bool PairHit(std::string_view s, std::string_view prev, std::string_view cur) {
    s = UpToNul(s);
    if (s.empty() || prev.empty()) return false;
    const PhraseFinder finder(s);
    if (FirstCountingPos(finder, UpToNul(prev)) > 0) return true;
    // The joined string ends inside prev at a NUL: nothing runs on.
    if (prev.find('\0') != std::string_view::npos) return false;

    // A match that starts in the last bytes of prev and runs on into cur:
    // the phrase's automaton reads them, then cur's first bytes, and stops
    // once what it has matched starts in cur.
    cur = UpToNul(cur);
    const std::size_t m = s.size();
    std::size_t matched = 0;
    for (std::size_t i = prev.size() - std::min(prev.size(), m - 1); i < prev.size(); ++i) {
        matched = finder.Step(matched, prev[i]);
    }
    CharacterCursor cursor(prev);
    for (std::size_t h = 0; h + 1 < m && h < cur.size() && matched > h; ++h) {
        matched = finder.Step(matched, cur[h]);
        if (matched == m && cursor.StartsCharacter(prev.size() - (m - h - 1))) return true;
    }
    return false;
}

bool LastLineHit(std::string_view s, std::string_view last) { return SubstringPos(s, last) > 0; }

void StripLeadingIdeographicSpaces(std::string& line) {
    std::size_t n = 0;
    while (n + 1 < line.size() && line[n] == '\x81' && line[n + 1] == '\x40') n += 2;
    line.erase(0, n);
}

}  // namespace core
