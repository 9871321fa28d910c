// Which byte sequences glibc's iconv "EUC-JP" takes as characters, built once
// from the C library's converter (euc_jp_tables_iconv.cpp). Internal to the
// encoding detection, which needs to know valid EUC-JP when it sees it.
#pragma once

#include <bitset>
#include <cstddef>

namespace platform::euc_jp_tables {

// A cell of a 94 x 94 plane, both bytes 0xA1-0xFE.
constexpr std::size_t Cell(unsigned first, unsigned second) noexcept {
    return (first - 0xA1) * 94 + (second - 0xA1);
}

struct Tables {
    std::bitset<256> halfWidth;        // the bytes that may follow 0x8E
    std::bitset<94 * 94> jisX0208;     // the pairs of 0xA1-0xFE bytes
    std::bitset<94 * 94> jisX0212;     // the two bytes after 0x8F
};

// The tables, built on first use; throws std::runtime_error when the C
// library has no EUC-JP converter.
const Tables& GetTables();

}  // namespace platform::euc_jp_tables
