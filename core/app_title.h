// The application's title, made from the executable's file name.
#pragma once

#include <string>
#include <string_view>

namespace core {

// From a module path in code-page bytes: at most its first 255 bytes, the part
// after the last separator ('\' or '/', never a trail byte), cut at its first
// '.', with every ASCII letter after the first byte in lower case (double-byte
// characters are left alone). "C:\APP\NORVANE.EXE" gives "Norvane".
std::string ApplicationTitle(std::string_view modulePath);

}  // namespace core
