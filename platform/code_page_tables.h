// The tables behind the code page 932 codec, built once from the C
// library's converter (code_page_tables_iconv.cpp). Internal to the
// code-page module.
#pragma once

#include <array>
#include <cstdint>

namespace platform::code_page_tables {

constexpr char32_t kNoChar = 0xFFFFFFFF;
// 0xFF is no lead byte, so no pair has this code.
constexpr std::uint16_t kNoCode = 0xFFFF;
constexpr char32_t kReplacement = 0xFFFD;

// Private-use forms of bytes that make no character, so that they survive a
// trip through Unicode: a lone byte, and an unassigned pair kept as one
// character so that character boundaries follow the lead-byte rule.
constexpr char32_t kLoneByteBase = 0xF0000;
constexpr char32_t kRawPairBase = 0x100000;

// The bytes that complete a pair of the code page after a lead byte.
inline bool IsTrailByte(unsigned char b) noexcept { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

struct Tables {
    // What a byte decodes to on its own.
    std::array<char32_t, 0x100> single;
    // Indexed by lead << 8 | trail; kNoChar when the second byte is no trail
    // byte, so the lead stands alone.
    std::array<char32_t, 0x10000> pair;
    // BMP code point -> preferred code; a code below 0x100 is one byte.
    std::array<std::uint16_t, 0x10000> bmp;
};

// The tables, built on first use; throws std::runtime_error when the C
// library has no converter of the Microsoft form.
const Tables& GetTables();

}  // namespace platform::code_page_tables
