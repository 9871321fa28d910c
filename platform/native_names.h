// File and folder names between the native form (the bytes the system gives,
// UTF-8 here) and code-page bytes: the form a listing shows, and the form a
// path takes when it comes back from code-page text.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The name in code-page bytes, as a listing shows it. A character that the
// code page can't write back exactly (and every malformed UTF-8 byte)
// becomes 〓, the customary mark: the shown form is then not exact, and the
// file is opened by its native name, never by this form.
std::string NameToCodePage(std::string_view nativeName);

// The native form of a name written in code-page bytes (as read back from a
// listing): exact for every name that NameToCodePage wrote without a mark.
std::string NameFromCodePage(std::string_view codePageName);

}  // namespace platform
