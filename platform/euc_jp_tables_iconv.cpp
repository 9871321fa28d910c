// The EUC-JP tables, read once from the C library's iconv "EUC-JP": a
// sequence is a character when the converter takes all of it and gives one.
#include "platform/euc_jp_tables.h"

#include "platform/converter.h"

#include <memory>
#include <vector>

namespace platform::euc_jp_tables {
namespace {

std::unique_ptr<const Tables> BuildTables() {
    auto t = std::make_unique<Tables>();
    Converter converter("UTF-32LE", {"EUC-JP"});
    // Each plane a row at a time, in runs: 0x8E and every byte; then the
    // pairs of each row, alone and after 0x8F.
    std::vector<unsigned char> sequences;
    for (unsigned b = 0; b < 0x100; ++b) sequences.insert(sequences.end(), {0x8E, static_cast<unsigned char>(b)});
    converter.Each(sequences.data(), 2, 256, t->halfWidth.data(), 0);
    for (unsigned first = 0xA1; first <= 0xFE; ++first) {
        sequences.clear();
        for (unsigned second = 0xA1; second <= 0xFE; ++second) {
            sequences.insert(sequences.end(), {static_cast<unsigned char>(first), static_cast<unsigned char>(second)});
        }
        converter.Each(sequences.data(), 2, 94, &t->jisX0208[Cell(first, 0xA1)], 0);
        sequences.clear();
        for (unsigned second = 0xA1; second <= 0xFE; ++second) {
            sequences.insert(sequences.end(),
                             {0x8F, static_cast<unsigned char>(first), static_cast<unsigned char>(second)});
        }
        converter.Each(sequences.data(), 3, 94, &t->jisX0212[Cell(first, 0xA1)], 0);
    }
    return t;
}

}  // namespace

const Tables& GetTables() {
    static const std::unique_ptr<const Tables> tables = BuildTables();
    return *tables;
}

}  // namespace platform::euc_jp_tables
