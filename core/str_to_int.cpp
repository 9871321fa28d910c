#include "core/str_to_int.h"

#include "core/errors.h"
#include "platform/code_page.h"

#include <cstddef>
#include <limits>

namespace core {

namespace {

[[noreturn]] void NotAnInteger(std::string_view s) {
    static const std::string suffix = platform::FixedText("' は整数ではありません");
    std::string message = "'";
    message += s;
    message += suffix;
    throw EConvertError(std::move(message));
}

int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::int32_t StrToInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const bool hex = i < s.size() && s[i] == '$';
    if (hex) ++i;
    if (i == s.size()) NotAnInteger(s);

    // Accumulated as a magnitude; the limits keep it within 32 bits.
    const std::uint64_t limit =
        hex ? 0xFFFFFFFFu : static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) + negative;
    std::uint64_t value = 0;
    for (; i < s.size(); ++i) {
        const int digit = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (digit < 0) NotAnInteger(s);
        value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (value > limit) NotAnInteger(s);
    }
    auto bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

}  // namespace core
