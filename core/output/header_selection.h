// Reading a target out of text selected in the result listing: a file header
// line is the path, " *", the two-digit target number and asterisks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core {

struct HeaderSelection {
    std::string path;       // the bytes before the first " *"
    std::string indexText;  // at most two bytes after it, for StrToInt
};

// Splits at the first " *" (a plain byte search: neither byte can be the
// second byte of a character). nullopt when there is none, or nothing was
// selected. The selection may hold anything, several lines included.
std::optional<HeaderSelection> SplitHeaderSelection(std::string_view selection);

}  // namespace core
