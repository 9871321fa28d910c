// The EUC-JP tables, read once from the C library's iconv "EUC-JP": a
// sequence is a character when the converter takes all of it and gives one.
#include "platform/euc_jp_tables.h"

#include <iconv.h>

#include <cstdint>
#include <memory>
#include <stdexcept>

namespace platform::euc_jp_tables {
namespace {

class EucJpConverter {
public:
    EucJpConverter() : cd_(iconv_open("UTF-32LE", "EUC-JP")) {
        if (cd_ == Invalid()) throw std::runtime_error("EUC-JP: the C library has no EUC-JP converter");
    }
    ~EucJpConverter() { iconv_close(cd_); }
    EucJpConverter(const EucJpConverter&) = delete;
    EucJpConverter& operator=(const EucJpConverter&) = delete;

    // The one character that the bytes make, or 0.
    char32_t Character(unsigned b0, unsigned b1, unsigned b2 = 0x100) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char in[3] = {static_cast<char>(b0), static_cast<char>(b1), static_cast<char>(b2)};
        char* inPtr = in;
        std::size_t inLeft = b2 < 0x100 ? 3 : 2;
        char out[8];
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
            sizeof out - outLeft != 4) {
            return 0;
        }
        const auto byte = [&](int i) { return static_cast<char32_t>(static_cast<unsigned char>(out[i])); };
        return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    }

private:
    static iconv_t Invalid() { return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }
    iconv_t cd_;
};

std::unique_ptr<const Tables> BuildTables() {
    auto t = std::make_unique<Tables>();
    EucJpConverter converter;
    for (unsigned b = 0; b < 0x100; ++b) t->halfWidth[b] = converter.Character(0x8E, b);
    for (unsigned first = 0xA1; first <= 0xFE; ++first) {
        for (unsigned second = 0xA1; second <= 0xFE; ++second) {
            t->jisX0208[Cell(first, second)] = converter.Character(first, second);
            t->jisX0212[Cell(first, second)] = converter.Character(0x8F, first, second);
        }
    }
    return t;
}

}  // namespace

const Tables& GetTables() {
    static const std::unique_ptr<const Tables> tables = BuildTables();
    return *tables;
}

}  // namespace platform::euc_jp_tables
