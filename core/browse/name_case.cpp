#include "core/browse/name_case.h"

#include "platform/code_page.h"

namespace core {

namespace {

char32_t Fold(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;                 // full-width Latin
    if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) return c + 0x20;  // Greek
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20;                 // Cyrillic
    if (c == 0x0401) return 0x0451;                                  // Cyrillic Yo
    if (c >= 0x2160 && c <= 0x216F) return c + 0x10;                 // Roman numerals
    return c;
}

}  // namespace

std::u32string FoldedName(std::string_view nativeName) {
    std::u32string text = platform::DecodeUtf8Lossy(nativeName);
    for (char32_t& c : text) c = Fold(c);
    return text;
}

bool NameLessNoCase(std::string_view a, std::string_view b) {
    const std::u32string fa = FoldedName(a), fb = FoldedName(b);
    if (fa != fb) return fa < fb;
    return a < b;
}

}  // namespace core
