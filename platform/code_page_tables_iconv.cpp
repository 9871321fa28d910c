// Code page 932 tables are read once from the C library's iconv "CP932"
// converter, which holds the Microsoft form but for five single bytes that are
// added here.
#include "platform/code_page.h"
#include "platform/code_page_tables.h"
#include "platform/euc_jp_tables.h"

#include "platform/converter.h"

#include <memory>
#include <stdexcept>
#include <vector>

namespace platform::code_page_tables {
namespace {

// Microsoft's choice among codes sharing a character: single bytes, then JIS
// and NEC rows (leads up to 0xEC), then the IBM rows (0xEF up), and last the
// NEC-selected IBM rows (0xED, 0xEE); the lowest code within a group.
int PreferenceGroup(std::uint16_t code) {
    if (code < 0x100) return 0;
    const unsigned lead = code >> 8;
    if (lead <= 0xEC) return 1;
    if (lead >= 0xEF) return 2;
    return 3;
}

bool Prefer(std::uint16_t code, std::uint16_t over) {
    const int group = PreferenceGroup(code), over_group = PreferenceGroup(over);
    return group != over_group ? group < over_group : code < over;
}

void CheckFromConverter(char32_t c) {
    // Characters outside the BMP would need a table the encoder does not
    // have, and would collide with the reserved planes.
    if (c != kNoChar && c >= 0x10000) throw std::runtime_error("code page 932: converter maps outside the BMP");
}

// The code of JIS X 0208 row and cell (1 to 94 each) in code page 932.
std::uint16_t CodeOfCell(unsigned row, unsigned cell) {
    const unsigned j1 = row + 0x20, j2 = cell + 0x20;
    const unsigned lead = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
    unsigned trail = j2 + 0x7E;
    if (j1 % 2 == 1) trail = j2 + (j2 >= 0x60 ? 0x20 : 0x1F);
    return static_cast<std::uint16_t>(lead << 8 | trail);
}

// What input methods and the JIS mapping of other converters give for some
// characters that the Microsoft form holds under other code points: WAVE
// DASH U+301C for 0x8160, where 932 reads U+FF5E, DOUBLE VERTICAL LINE,
// MINUS SIGN, the cent, pound and not signs; and EM DASH for the bar at
// 0x815C. They encode to that code; decoding stays as it is.
void AddJisForms(Tables& t) {
    const euc_jp_tables::Tables& jis = euc_jp_tables::GetTables();
    for (unsigned row = 1; row <= 94; ++row) {
        for (unsigned cell = 1; cell <= 94; ++cell) {
            const char32_t c = jis.jisX0208[euc_jp_tables::Cell(0xA0 + row, 0xA0 + cell)];
            const std::uint16_t code = CodeOfCell(row, cell);
            if (c == 0 || c >= 0x10000 || t.bmp[c] != kNoCode || t.pair[code] >= kLoneByteBase) continue;
            t.bmp[c] = code;
        }
    }
    if (t.bmp[0x2014] == kNoCode) t.bmp[0x2014] = 0x815C;
}

std::unique_ptr<const Tables> BuildTables() {
    auto t = std::make_unique<Tables>();
    // glibc knows the code page under both names; other C libraries may
    // know only one.
    Converter converter("UTF-32LE", {"CP932", "WINDOWS-31J"});

    for (unsigned b = 0; b < 0x100; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const char32_t c = IsLeadByte(byte) ? kNoChar : converter.One(&byte, 1, kNoChar);
        CheckFromConverter(c);
        t->single[b] = c != kNoChar ? c : kLoneByteBase + b;
    }
    // The Microsoft form maps these; glibc rejects them.
    t->single[0x80] = 0x0080;
    t->single[0xA0] = 0xF8F0;
    t->single[0xFD] = 0xF8F1;
    t->single[0xFE] = 0xF8F2;
    t->single[0xFF] = 0xF8F3;
    // A converter that maps ASCII or the half-width katakana elsewhere (the
    // JIS yen sign for 0x5C, say) is some other code page.
    for (unsigned b = 0; b < 0x100; ++b) {
        const bool ascii = b < 0x80 && t->single[b] != b;
        const bool kana = b >= 0xA1 && b <= 0xDF && t->single[b] != 0xFF61 + (b - 0xA1);
        if (ascii || kana) throw std::runtime_error("code page 932: converter is not the Microsoft form");
    }

    t->pair.fill(kNoChar);
    // A lead byte with each trail byte, in one run.
    std::vector<unsigned char> pairs;
    std::vector<unsigned> codes;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (IsTrailByte(static_cast<unsigned char>(trail))) codes.push_back(trail);
    }
    std::vector<char32_t> converted(codes.size());
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        pairs.clear();
        for (const unsigned trail : codes)
            pairs.insert(pairs.end(), {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)});
        converter.Each(pairs.data(), 2, codes.size(), converted.data(), kNoChar);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const unsigned code = lead << 8 | codes[i];
            CheckFromConverter(converted[i]);
            t->pair[code] = converted[i] != kNoChar ? converted[i] : kRawPairBase + code;
        }
    }

    t->bmp.fill(kNoCode);
    const auto offer = [&](char32_t c, std::uint16_t code) {
        if (c >= 0x10000) return;  // the reserved planes are looked up apart
        std::uint16_t& best = t->bmp[c];
        if (best == kNoCode || Prefer(code, best)) best = code;
    };
    for (unsigned b = 0; b < 0x100; ++b) offer(t->single[b], static_cast<std::uint16_t>(b));
    for (unsigned code = 0; code < 0x10000; ++code) {
        if (t->pair[code] != kNoChar) offer(t->pair[code], static_cast<std::uint16_t>(code));
    }
    AddJisForms(*t);
    return t;
}

}  // namespace

const Tables& GetTables() {
    static const std::unique_ptr<const Tables> tables = BuildTables();
    return *tables;
}

}  // namespace platform::code_page_tables
