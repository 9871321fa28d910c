// Reading a target out of text selected in the result listing: a file header
// line is the path, " *", the two-digit target number and asterisks.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

struct HeaderSelection {
    std::string path;       // the bytes before the first " *"
    std::string indexText;  // at most two bytes after it, for StrToInt
};

// Splits at the first " *" (a plain byte search: neither byte can be the
// second byte of a character). nullopt when there is none, or nothing was
// selected. The selection may hold anything, several lines included.
std::optional<HeaderSelection> SplitHeaderSelection(std::string_view selection);

// The native path that a code-page path stands for: native when the code
// page writes it as path (a form that may hold 〓 where the code page lacks
// a character), else path itself read back.
std::string NativeFor(std::string_view path, std::string_view native);

// The file that a header selection names, as the system names it: the listed
// target of that number (listed: the native paths of the targets, target 1
// first) when the selected path is its name as the listing shows it; else
// the selected path itself.
std::string SelectedFile(std::span<const std::string> listed, int index, std::string_view path);

// The native paths of the targets of the search state (shown: their
// code-page forms, ending at the first empty one or after 20), each the
// native path beside it when that is the one it shows.
std::vector<std::string> TargetFiles(std::span<const std::string> shown, std::span<const std::string> natives);

}  // namespace core
