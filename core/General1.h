// Small byte-string helpers shared by every search: Left, Right and the labels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// The first n bytes of s, or all of s when it is shorter. May cut a
// double-byte character.
std::string_view Left(std::string_view s, std::size_t n) noexcept;

// The last n bytes of s; n must not exceed s.size().
std::string_view Right(std::string_view s, std::size_t n) noexcept;

// Writes a line number as five digits with leading zeros into out[0..4]; only
// the last five digits of a larger number are kept (100000 gives 00000).
void WriteLineLabel(std::int64_t lineNumber, char* out) noexcept;

// A target number 1 to 20 as two digits (01 to 20); the command line's
// targets from 100 on as all their digits.
std::string FileIndexLabel(int index);

}  // namespace core
