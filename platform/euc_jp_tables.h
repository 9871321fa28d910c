// What glibc's iconv "EUC-JP" makes of each byte sequence, built once from
// the C library's converter (euc_jp_tables_iconv.cpp): the character, or 0
// for a sequence that is none. Internal to the code-page module: the
// encoding detection knows valid EUC-JP by it, the viewer decodes with it,
// and the code page 932 tables take the JIS forms of characters from it.
#pragma once

#include <array>
#include <cstddef>

namespace platform::euc_jp_tables {

// A cell of a 94 x 94 plane, both bytes 0xA1-0xFE.
constexpr std::size_t Cell(unsigned first, unsigned second) noexcept { return (first - 0xA1) * 94 + (second - 0xA1); }

struct Tables {
    std::array<char32_t, 256> halfWidth;     // by the byte after 0x8E
    std::array<char32_t, 94 * 94> jisX0208;  // the pairs of 0xA1-0xFE bytes
    std::array<char32_t, 94 * 94> jisX0212;  // the two bytes after 0x8F
};

// The tables, built on first use; throws std::runtime_error when the C
// library has no EUC-JP converter.
const Tables& GetTables();

}  // namespace platform::euc_jp_tables
