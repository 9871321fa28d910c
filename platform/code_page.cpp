// Code page 932 tables are read once from the C library's iconv "CP932"
// converter, which holds the Microsoft form but for five single bytes that are
// added here. After that, every conversion is a flat-table lookup.
#include "platform/code_page.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

namespace platform {
namespace {

constexpr char32_t kNoChar = 0xFFFFFFFF;
// 0xFF is no lead byte, so no pair has this code.
constexpr std::uint16_t kNoCode = 0xFFFF;
constexpr char32_t kReplacement = 0xFFFD;

// Private-use forms of bytes that make no character, so that they survive a
// trip through Unicode: a lone byte, and an unassigned pair kept as one
// character so that character boundaries follow the lead-byte rule.
constexpr char32_t kLoneByteBase = 0xF0000;
constexpr char32_t kRawPairBase = 0x100000;

bool IsTrailByte(unsigned char b) noexcept {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

struct Tables {
    // What a byte decodes to on its own.
    std::array<char32_t, 0x100> single;
    // Indexed by lead << 8 | trail; kNoChar when the second byte is no trail
    // byte, so the lead stands alone.
    std::array<char32_t, 0x10000> pair;
    // BMP code point -> preferred code; a code below 0x100 is one byte.
    std::array<std::uint16_t, 0x10000> bmp;
};

class Cp932Converter {
public:
    Cp932Converter() {
        // glibc knows the code page under both names; other C libraries may
        // know only one.
        for (const char* name : {"CP932", "WINDOWS-31J"}) {
            cd_ = iconv_open("UTF-32LE", name);
            if (cd_ != Invalid()) return;
        }
        throw std::runtime_error("code page 932: the C library has no CP932 converter");
    }
    ~Cp932Converter() { iconv_close(cd_); }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    // The one character the bytes form as a whole, or kNoChar.
    char32_t Convert(const unsigned char* bytes, std::size_t size) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char in[2];
        std::memcpy(in, bytes, size);
        char* in_ptr = in;
        std::size_t in_left = size;
        unsigned char out[8];
        char* out_ptr = reinterpret_cast<char*>(out);
        std::size_t out_left = sizeof out;
        if (iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
            in_left != 0 || sizeof out - out_left != 4) {
            return kNoChar;
        }
        return static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
               static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
    }

private:
    static iconv_t Invalid() { return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }
    iconv_t cd_;
};

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
    if (c != kNoChar && c >= 0x10000)
        throw std::runtime_error("code page 932: converter maps outside the BMP");
}

std::unique_ptr<const Tables> BuildTables() {
    auto t = std::make_unique<Tables>();
    Cp932Converter converter;

    for (unsigned b = 0; b < 0x100; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const char32_t c = IsLeadByte(byte) ? kNoChar : converter.Convert(&byte, 1);
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
        if (ascii || kana)
            throw std::runtime_error("code page 932: converter is not the Microsoft form");
    }

    t->pair.fill(kNoChar);
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
            const unsigned code = lead << 8 | trail;
            const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)};
            const char32_t c = converter.Convert(bytes, 2);
            CheckFromConverter(c);
            t->pair[code] = c != kNoChar ? c : kRawPairBase + code;
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
    return t;
}

const Tables& GetTables() {
    static const std::unique_ptr<const Tables> tables = BuildTables();
    return *tables;
}

// Calls sink(character, byte offset) for every character of the bytes.
template <typename Sink>
void DecodeEach(std::string_view bytes, Sink&& sink) {
    const Tables& t = GetTables();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsLeadByte(b) && i + 1 < size) {
            const char32_t c = t.pair[b << 8 | static_cast<unsigned char>(bytes[i + 1])];
            if (c != kNoChar) {
                sink(c, i);
                i += 2;
                continue;
            }
        }
        sink(t.single[b], i);
        ++i;
    }
}

// The code of one character, or kNoCode. A reserved private-use character has
// a code only if decoding can give it, so that no two texts encode alike.
std::uint16_t CodeOf(const Tables& t, char32_t c) {
    if (c < 0x10000) return t.bmp[c];
    if (c >= kLoneByteBase && c < kLoneByteBase + 0x100) {
        const auto b = static_cast<std::uint16_t>(c - kLoneByteBase);
        return t.single[b] == c ? b : kNoCode;
    }
    if (c >= kRawPairBase && c < kRawPairBase + 0x10000) {
        const auto code = static_cast<std::uint16_t>(c - kRawPairBase);
        return t.pair[code] == c ? code : kNoCode;
    }
    return kNoCode;
}

// Appends the bytes of text to out, in one pass. The strict form stops at
// the first character without a form where it stands and returns its index;
// npos when every character has one.
std::size_t EncodeInto(std::u32string_view text, std::string& out, bool lossy) {
    const Tables& t = GetTables();
    out.reserve(out.size() + text.size() * 2);
    // A lone lead byte followed by a trail byte would read back as a pair,
    // so in that place the lone lead byte has no form.
    bool lone_lead_last = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint16_t code = CodeOf(t, text[i]);
        if (code == kNoCode) {
            if (!lossy) return i;
            code = '?';
        }
        const bool two_bytes = code >= 0x100;
        const auto first = static_cast<unsigned char>(two_bytes ? code >> 8 : code);
        if (lone_lead_last && IsTrailByte(first)) {
            if (!lossy) return i - 1;
            out.back() = '?';
        }
        if (two_bytes) {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
            lone_lead_last = false;
        } else {
            out.push_back(static_cast<char>(code));
            lone_lead_last = IsLeadByte(first);
        }
    }
    return std::u32string_view::npos;
}

// Decodes the well-formed UTF-8 sequence at utf8[i]; its length, or 0 if the
// bytes there are malformed.
std::size_t DecodeUtf8Char(std::string_view utf8, std::size_t i, char32_t& out) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    std::size_t length;
    char32_t c;
    char32_t lowest;  // anything below is overlong
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, lowest = 0x10000;
    } else {
        return 0;
    }
    if (utf8.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(utf8[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        c = c << 6 | (b & 0x3F);
    }
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    out = c;
    return length;
}

// Surrogates and values past U+10FFFF have no UTF-8 form; they become U+FFFD
// so that the output is always well-formed.
void AppendUtf8(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

bool IsLeadByte(unsigned char b) noexcept {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::u32string DecodeCodePage(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    DecodeEach(bytes, [&](char32_t c, std::size_t) { text.push_back(c); });
    return text;
}

DecodedText DecodeCodePageWithOffsets(std::string_view bytes) {
    DecodedText decoded;
    decoded.text.reserve(bytes.size());
    decoded.offsets.reserve(bytes.size() + 1);
    DecodeEach(bytes, [&](char32_t c, std::size_t offset) {
        decoded.text.push_back(c);
        decoded.offsets.push_back(offset);
    });
    decoded.offsets.push_back(bytes.size());
    return decoded;
}

std::optional<std::string> EncodeCodePage(std::u32string_view text, std::size_t* unheld) {
    std::string bytes;
    const std::size_t stop = EncodeInto(text, bytes, false);
    if (unheld != nullptr) *unheld = stop;
    if (stop != std::u32string_view::npos) return std::nullopt;
    return bytes;
}

std::string EncodeCodePageLossy(std::u32string_view text) {
    std::string bytes;
    EncodeInto(text, bytes, true);
    return bytes;
}

std::optional<std::u32string> DecodeUtf8(std::string_view utf8) {
    std::u32string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c;
        const std::size_t length = DecodeUtf8Char(utf8, i, c);
        if (length == 0) return std::nullopt;
        text.push_back(c);
        i += length;
    }
    return text;
}

std::u32string DecodeUtf8Lossy(std::string_view utf8) {
    std::u32string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c;
        const std::size_t length = DecodeUtf8Char(utf8, i, c);
        text.push_back(length != 0 ? c : kReplacement);
        i += length != 0 ? length : 1;
    }
    return text;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string utf8;
    utf8.reserve(text.size() * 3);
    for (const char32_t c : text) AppendUtf8(utf8, c);
    return utf8;
}

std::string CodePageToUtf8(std::string_view bytes) {
    // Straight through, without the UTF-32 text in between: listings are long.
    std::string utf8;
    utf8.reserve(bytes.size() + bytes.size() / 2);
    DecodeEach(bytes, [&](char32_t c, std::size_t) { AppendUtf8(utf8, c); });
    return utf8;
}

std::optional<std::string> Utf8ToCodePage(std::string_view utf8) {
    const std::optional<std::u32string> text = DecodeUtf8(utf8);
    if (!text) return std::nullopt;
    return EncodeCodePage(*text);
}

std::string FixedText(std::string_view utf8) {
    std::optional<std::string> bytes = Utf8ToCodePage(utf8);
    if (!bytes) throw std::logic_error("fixed text has no code-page form: " + std::string(utf8));
    return *std::move(bytes);
}

}  // namespace platform
