// File and folder names from the native form (UTF-8 here) into code-page bytes,
// as the folder and file lists and the drive selector show them.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The name in code-page bytes. A character that the code page can't write back
// exactly (and every malformed UTF-8 byte) becomes '?', as the platform shows
// such a name; the file layer refuses '?', so the name fails to open and never
// opens a different file.
std::string NameToCodePage(std::string_view nativeName);

}  // namespace platform
