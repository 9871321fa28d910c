// Text that crosses from one encoding into another: a line of a file shown
// in the viewer or in a listing written in another encoding.
#include "platform/code_page.h"
#include "platform/code_page_tables.h"
#include "platform/converter.h"
#include "platform/euc_jp_tables.h"

#include <optional>

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// EUC-JP through the converter's own tables: ASCII, 0x8E and a half-width
// katakana, 0x8F and two bytes of JIS X 0212, or two bytes of JIS X 0208.
// A byte that starts none of them stands alone, as U+FFFD.
template <typename Sink>
void DecodeEucJp(std::string_view bytes, Sink&& sink) {
    const euc_jp_tables::Tables& t = euc_jp_tables::GetTables();
    const auto at = [&](std::size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    const auto inRow = [](unsigned b) { return b >= 0xA1 && b <= 0xFE; };
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned b = at(i);
        char32_t c = 0;
        std::size_t length = 1;
        if (b < 0x80) {
            c = b;
        } else if (b == 0x8E) {
            c = t.halfWidth[at(i + 1)];
            length = 2;
        } else if (b == 0x8F && inRow(at(i + 1)) && inRow(at(i + 2))) {
            c = t.jisX0212[euc_jp_tables::Cell(at(i + 1), at(i + 2))];
            length = 3;
        } else if (inRow(b) && inRow(at(i + 1))) {
            c = t.jisX0208[euc_jp_tables::Cell(b, at(i + 1))];
            length = 2;
        }
        if (c == 0 && b != 0) {
            c = kReplacement;
            length = 1;
        }
        sink(c, i);
        i += length;
    }
}

// The JIS X 0208 cell of a code page 932 pair, as EUC-JP writes it; nothing
// for a pair outside the 94 x 94 rows (the vendors' rows past 0xEF).
std::optional<std::string> EucJpOfCode(const std::string& cp932) {
    if (cp932.size() != 2) return std::nullopt;
    unsigned s1 = static_cast<unsigned char>(cp932[0]), s2 = static_cast<unsigned char>(cp932[1]);
    if (s1 > 0xEF) return std::nullopt;
    unsigned j1 = (s1 - (s1 <= 0x9F ? 0x70 : 0xB0)) * 2;
    unsigned j2 = 0;
    if (s2 >= 0x9F) {
        j2 = s2 - 0x7E;
    } else {
        --j1;
        j2 = s2 - (s2 >= 0x80 ? 0x20 : 0x1F);
    }
    if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) return std::nullopt;
    if (euc_jp_tables::GetTables().jisX0208[euc_jp_tables::Cell(j1 + 0x80, j2 + 0x80)] == 0) return std::nullopt;
    return std::string{static_cast<char>(j1 + 0x80), static_cast<char>(j2 + 0x80)};
}

// EUC-JP's form of one character, or nothing. As code page 932 takes it:
// the JIS cell of the 932 character it stands for, so that the wave dash is
// A1C1 whether typed as U+301C or U+FF5E (which the C library reads as the
// rarely used tilde of JIS X 0212); the rest (ASCII, half-width katakana,
// JIS X 0212), or every character when not, as the C library converts it.
std::optional<std::string> EucJpOf(char32_t c, Converter& converter, bool asCodePageTakesIt) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    if (asCodePageTakesIt) {
        if (const auto code = EncodeCodePage(std::u32string_view(&c, 1))) {
            if (auto cell = EucJpOfCode(*code)) return cell;
        }
    }
    const char utf32[4] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF),
                           static_cast<char>(c >> 16 & 0xFF), static_cast<char>(c >> 24 & 0xFF)};
    std::string out;
    if (converter.Convert(std::string_view(utf32, 4), out) != 4) return std::nullopt;
    return out;
}

std::u32string Decode(const Encoding& encoding, std::string_view bytes) {
    if (&encoding == &Cp932()) return DecodeCodePage(bytes);
    if (&encoding == &Utf8()) return DecodeUtf8Lossy(bytes);
    std::u32string text;
    text.reserve(bytes.size());
    DecodeEucJp(bytes, [&](char32_t c, std::size_t) { text.push_back(c); });
    return text;
}

}  // namespace

DecodedText DecodeWithOffsets(const Encoding& encoding, std::string_view bytes) {
    if (&encoding == &Cp932()) return DecodeCodePageWithOffsets(bytes);
    DecodedText decoded;
    decoded.text.reserve(bytes.size());
    decoded.offsets.reserve(bytes.size() + 1);
    const auto sink = [&](char32_t c, std::size_t offset) {
        decoded.text.push_back(c);
        decoded.offsets.push_back(offset);
    };
    if (&encoding == &Utf8()) {
        for (std::size_t i = 0; i < bytes.size();) {
            char32_t c = kReplacement;
            const std::size_t length = DecodeUtf8Character(bytes, i, c);
            sink(length != 0 ? c : kReplacement, i);
            i += length != 0 ? length : 1;
        }
    } else {
        DecodeEucJp(bytes, sink);
    }
    decoded.offsets.push_back(bytes.size());
    return decoded;
}

std::string EncodeMarked(const Encoding& encoding, std::u32string_view text) {
    if (&encoding == &Cp932()) return EncodeCodePageMarked(text);
    if (&encoding == &Utf8()) return EncodeUtf8(text);
    // One character at a time, so that each one EUC-JP lacks is marked.
    Converter converter("EUC-JP", {"UTF-32LE"});
    std::string out;
    for (const char32_t c : text) out += EucJpOf(c, converter, false).value_or("\xA2\xAE");  // 〓
    return out;
}

std::optional<std::u32string> DecodeStrict(const Encoding& encoding, std::string_view bytes) {
    if (&encoding == &Utf8()) return DecodeUtf8(bytes);
    if (&encoding == &Cp932()) {
        std::u32string text = DecodeCodePage(bytes);
        // The private-use forms of bytes that make no character.
        for (const char32_t c : text) {
            if (c >= code_page_tables::kLoneByteBase) return std::nullopt;
        }
        return text;
    }
    // EUC-JP maps no sequence to U+FFFD: where it stands, a byte formed none.
    std::u32string text = Decode(encoding, bytes);
    if (text.find(kReplacement) != std::u32string::npos) return std::nullopt;
    return text;
}

std::optional<std::string> EncodeTyped(const Encoding& encoding, std::u32string_view text, std::size_t* unheld) {
    if (unheld != nullptr) *unheld = std::u32string_view::npos;
    if (&encoding == &Cp932()) return EncodeCodePage(text, unheld);
    if (&encoding == &Utf8()) return EncodeUtf8(text);
    Converter converter("EUC-JP", {"UTF-32LE"});
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::optional<std::string> bytes = EucJpOf(text[i], converter, true);
        if (!bytes) {
            if (unheld != nullptr) *unheld = i;
            return std::nullopt;
        }
        out += *bytes;
    }
    return out;
}

std::string Recode(const Encoding& from, const Encoding& to, std::string_view bytes) {
    if (&from == &to) return std::string(bytes);
    if (&to == &Utf8()) return EncodingToUtf8(from, bytes);
    return EncodeMarked(to, Decode(from, bytes));
}

}  // namespace platform
