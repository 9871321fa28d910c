// The text that the error display shows for an error message.
#pragma once

#include <string>
#include <string_view>

namespace core {

// The message with "." appended when the first byte of its last character
// (a double-byte character counts as one) is above 0x2E; a text ending in
// ".", a space, ")" or "!" stays as it is.
std::string WithClosingPeriod(std::string_view message);

// Whether the byte at index is the trail byte of a double-byte character:
// an odd number of lead bytes stands directly before it.
bool IsTrailByteAt(std::string_view s, std::size_t index) noexcept;

}  // namespace core
