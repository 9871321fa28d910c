// The line shapes that the listings and the viewer share.
#pragma once

#include <string>
#include <string_view>

namespace core {

inline constexpr std::string_view kCRLF = "\r\n";

// Appends "LLLLL: text" and CR LF: a hit line of a listing, or a display
// line of the viewer.
inline void AppendLabelledLine(std::string& out, std::string_view label, std::string_view text) {
    out += label;
    out += ": ";
    out += text;
    out += kCRLF;
}

// The file header line of target k: the path, " *", the two-digit index and
// 49 asterisks, cut to 80 bytes.
std::string FileHeaderLine(std::string_view path, int k);

}  // namespace core
