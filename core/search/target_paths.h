// The native paths behind the code-page names that the windows' search
// state and listing show: a name the code page can't write exactly shows
// with 〓, and the file is still opened by the name the system gave it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

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
