#include "core/hit_rule.h"

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

const char* Find(std::string_view s, const char* from, const char* end) noexcept {
    return static_cast<const char*>(::memmem(from, static_cast<std::size_t>(end - from), s.data(), s.size()));
}

}  // namespace

std::size_t SubstringPos(std::string_view s, std::string_view t) noexcept {
    s = UpToNul(s);
    t = UpToNul(t);
    if (s.empty() || t.empty()) return 0;
    CharacterCursor cursor(t);
    const char* const end = t.data() + t.size();
    for (const char* from = t.data(); from < end;) {
        const char* hit = Find(s, from, end);
        if (hit == nullptr) return 0;
        const auto index = static_cast<std::size_t>(hit - t.data());
        if (cursor.StartsCharacter(index)) return index + 1;
        from = hit + 1;  // a trail byte: look one byte further on
    }
    return 0;
}

bool PairHit(std::string_view s, std::string_view prev, std::string_view cur) noexcept {
    s = UpToNul(s);
    if (s.empty() || prev.empty()) return false;
    if (prev.find('\0') != std::string_view::npos) {
        // The joined string ends inside prev: only prev itself is searched.
        return SubstringPos(s, prev) > 0;
    }
    if (SubstringPos(s, prev) > 0) return true;

    // A match that starts in the last bytes of prev and runs on into cur.
    cur = UpToNul(cur);
    const std::size_t first = prev.size() >= s.size() ? prev.size() - s.size() + 1 : 0;
    CharacterCursor cursor(prev);
    for (std::size_t i = first; i < prev.size(); ++i) {
        const std::size_t inPrev = prev.size() - i;
        const std::size_t inCur = s.size() - inPrev;
        if (inCur > cur.size()) continue;
        if (std::memcmp(prev.data() + i, s.data(), inPrev) != 0) continue;
        if (std::memcmp(cur.data(), s.data() + inPrev, inCur) != 0) continue;
        if (cursor.StartsCharacter(i)) return true;
    }
    return false;
}

bool LastLineHit(std::string_view s, std::string_view last) noexcept { return SubstringPos(s, last) > 0; }

void StripLeadingIdeographicSpaces(std::string& line) {
    std::size_t n = 0;
    while (n + 1 < line.size() && line[n] == '\x81' && line[n + 1] == '\x40') n += 2;
    line.erase(0, n);
}

}  // namespace core
