#include "core/browse/file_mask.h"

#include "core/browse/name_case.h"

#include <algorithm>

namespace core {

namespace {

// Wildcard match over characters; a "*" backtracks to the last one seen only,
// which is enough for a pattern without character classes.
bool Matches(std::u32string_view name, std::u32string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t starP = std::u32string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u32string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

}  // namespace

std::vector<std::string> MaskPatterns(std::string_view mask) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    // ';' and ' ' are never the second byte of a double-byte character.
    while (start <= mask.size()) {
        const auto end = std::min(mask.find(';', start), mask.size());
        std::string_view pattern = mask.substr(start, end - start);
        while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
        while (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
        if (!pattern.empty()) patterns.emplace_back(pattern);
        start = end + 1;
    }
    return patterns;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    const std::u32string n = FoldedName(name);
    const std::u32string folded = FoldedName(pattern);
    const std::u32string_view p = folded;
    if (Matches(n, p)) return true;
    return p.size() >= 2 && p.substr(p.size() - 2) == U".*" && Matches(n, p.substr(0, p.size() - 2));
}

std::vector<std::string> NamesMatching(const std::vector<std::string>& names, std::string_view mask) {
    std::vector<std::string> matching;
    for (const std::string& pattern : MaskPatterns(mask)) {
        for (const std::string& name : names) {
            if (MatchesPattern(name, pattern)) matching.push_back(name);
        }
    }
    return matching;
}

}  // namespace core
