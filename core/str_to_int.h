// Text to Integer, as the system has always converted it.
#pragma once

#include <cstdint>
#include <string_view>

namespace core {

// Converts s to a 32-bit Integer. Accepted: leading spaces, an optional '+'
// or '-', then either decimal digits or '$' and hexadecimal digits (up to
// $FFFFFFFF, taken as the 32-bit pattern), and nothing after them. Anything
// else, a decimal value outside the Integer range included, raises
// EConvertError with "'s' は整数ではありません" (s as given, byte for byte).
std::int32_t StrToInt(std::string_view s);

}  // namespace core
