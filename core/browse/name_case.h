// Names compared as the file system of the home platform compares them:
// without regard to letter case, character by character (a double-byte
// character is one character, so its trail byte is never taken for a letter).
#pragma once

#include <string>
#include <string_view>

namespace core {

// The native name decoded (a malformed byte as U+FFFD), with every letter
// that has a case in the code page (Latin, full-width Latin, Greek, Cyrillic,
// Roman numerals) in lower case.
std::u32string FoldedName(std::string_view nativeName);

// Order without regard to case; names equal that way are ordered by their bytes,
// so that a sort gives the same order every time.
bool NameLessNoCase(std::string_view a, std::string_view b);

}  // namespace core
