// The bytes that shape a text whatever its encoding: the CR that ends a line
// (the reader turns every other line end it honours into one), the LF of a
// CR LF, the Ctrl-Z that ends the text, and the NUL past which neither a
// search text nor a line is looked at. Every reader and scan asks them here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace core {

inline constexpr char kCR = 0x0D;
inline constexpr char kLF = 0x0A;
inline constexpr char kCtrlZ = 0x1A;
inline constexpr std::string_view kCRLF = "\r\n";

inline unsigned Byte(char c) noexcept { return static_cast<unsigned char>(c); }

// The text up to its first NUL byte.
inline std::string_view UpToNul(std::string_view s) noexcept { return s.substr(0, s.find('\0')); }

// The last CR in [p, end), or nullptr. Eight bytes at a time: the scans ask
// it from an anchor or a block's end back to the line end before it.
inline const char* LastCR(const char* p, const char* end) noexcept {
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, end - 8, 8);
        // A byte of word is a CR exactly when that byte of x is zero.
        const std::uint64_t x = word ^ (kOnes * static_cast<std::uint8_t>(kCR));
        if (((x - kOnes) & ~x & kHighs) != 0) break;
        end -= 8;
    }
    while (end > p) {
        if (*--end == kCR) return end;
    }
    return nullptr;
}

}  // namespace core
