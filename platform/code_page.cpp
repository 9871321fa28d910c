// The codec of code page 932 and of UTF-8: every conversion is a flat-table
// lookup in the tables of code_page_tables.h.
#include "platform/code_page.h"
#include "platform/code_page_tables.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace platform {
namespace {

using namespace code_page_tables;

// 〓, the customary mark for a character that can't be written.
constexpr std::uint16_t kGeta = 0x81AC;

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

// Appends the bytes of text to out, in one pass. The strict form (no mark)
// stops at the first character without a form where it stands and returns
// its index; the lossy form writes the mark's code there instead. npos when
// every character has a form.
std::size_t EncodeInto(std::u32string_view text, std::string& out, std::uint16_t mark) {
    const Tables& t = GetTables();
    out.reserve(out.size() + text.size() * 2);
    // A lone lead byte followed by a trail byte would read back as a pair,
    // so in that place the lone lead byte has no form.
    bool lone_lead_last = false;
    const auto put = [&](std::uint16_t code) {
        if (code >= 0x100) {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
            lone_lead_last = false;
        } else {
            out.push_back(static_cast<char>(code));
            lone_lead_last = IsLeadByte(static_cast<unsigned char>(code));
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint16_t code = CodeOf(t, text[i]);
        if (code == kNoCode) {
            if (mark == kNoCode) return i;
            code = mark;
        }
        const auto first = static_cast<unsigned char>(code >= 0x100 ? code >> 8 : code);
        if (lone_lead_last && IsTrailByte(first)) {
            if (mark == kNoCode) return i - 1;
            out.pop_back();
            put(mark);
        }
        put(code);
    }
    return std::u32string_view::npos;
}

// Decodes the well-formed UTF-8 sequence at utf8[i]; its length, or 0 if the
// bytes there are malformed.
}  // namespace

std::size_t DecodeUtf8Character(std::string_view utf8, std::size_t i, char32_t& out) noexcept {
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

namespace {

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

bool IsLeadByte(unsigned char b) noexcept { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

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
    const std::size_t stop = EncodeInto(text, bytes, kNoCode);
    if (unheld != nullptr) *unheld = stop;
    if (stop != std::u32string_view::npos) return std::nullopt;
    return bytes;
}

std::string EncodeCodePageLossy(std::u32string_view text) {
    std::string bytes;
    EncodeInto(text, bytes, '?');
    return bytes;
}

std::string EncodeCodePageMarked(std::u32string_view text) {
    std::string bytes;
    EncodeInto(text, bytes, kGeta);
    return bytes;
}

std::optional<std::u32string> DecodeUtf8(std::string_view utf8) {
    std::u32string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c;
        const std::size_t length = DecodeUtf8Character(utf8, i, c);
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
        const std::size_t length = DecodeUtf8Character(utf8, i, c);
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
