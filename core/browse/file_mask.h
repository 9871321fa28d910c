// The file list's mask: patterns separated by ";", each with the wildcards
// "*" (any run of characters) and "?" (one character), matched without regard
// to letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// The mask's patterns in their order, blanks around each trimmed, empty ones dropped.
std::vector<std::string> MaskPatterns(std::string_view mask);

// Whether the name matches the pattern. As on the home platform, a pattern
// ending in ".*" also matches a name without that dot ("*.*" matches every name).
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The names matching the mask, pattern by pattern: first every name that
// matches the first pattern, in the order given, then those matching the
// second, and so on. A name that matches two patterns is listed twice.
std::vector<std::string> NamesMatching(const std::vector<std::string>& names, std::string_view mask);

}  // namespace core
