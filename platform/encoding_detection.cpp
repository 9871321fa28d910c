// The encoding rule: each candidate encoding reads the sample on its own
// terms, and the readings are weighed against each other. Validity is what
// glibc's iconv takes for "CP932" and "EUC-JP", less the control bytes that
// no text holds.
#include "platform/encoding_detection.h"

#include "platform/code_page.h"
#include "platform/code_page_tables.h"
#include "platform/euc_jp_tables.h"

namespace platform {
namespace {

unsigned ByteAt(std::string_view s, std::size_t i) noexcept { return static_cast<unsigned char>(s[i]); }

// The sample as UTF-8, strictly: no overlong forms, no surrogates, nothing
// past U+10FFFF. A sequence cut by the end is valid when the end is not the
// file's.
struct Utf8Reading {
    bool valid = true;
    bool multiByte = false;
    // A character of three or four bytes that 932 holds as well, outside its
    // private-use area: Japanese text, not 932 pairs that chain into UTF-8 by
    // chance (932 "豈図" is E6 AF 90 7D, which is U+6BD0 and "}").
    bool heldBy932 = false;
};

Utf8Reading ReadUtf8(std::string_view s, bool whole) {
    Utf8Reading r;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned b = ByteAt(s, i);
        if (b < 0x80) {
            ++i;
            continue;
        }
        // The second byte's range is what rules out the overlong forms, the
        // surrogates and what lies past U+10FFFF.
        std::size_t length = 0;
        unsigned low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            r.valid = false;
            return r;
        }
        char32_t c = b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k == s.size()) {
                r.valid = !whole;
                r.multiByte = true;
                return r;
            }
            const unsigned next = ByteAt(s, i + k);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                r.valid = false;
                return r;
            }
            c = c << 6 | (next & 0x3F);
        }
        r.multiByte = true;
        if (!r.heldBy932 && length >= 3 && c < 0x10000 && (c < 0xE000 || c > 0xF8FF) &&
            code_page_tables::GetTables().bmp[c] != code_page_tables::kNoCode) {
            r.heldBy932 = true;
        }
        i += length;
    }
    return r;
}

// The sample as code page 932: single bytes 0x00-0x7F and 0xA1-0xDF, and
// the assigned pairs (0x80, 0xA0 and 0xFD-0xFF, which the Microsoft form
// maps to controls and private use, are in no text).
struct Cp932Reading {
    bool valid = true;
    std::size_t halfWidthKana = 0;
    std::size_t userDefined = 0;  // F040-F9FC, kept for a company's own characters
    // Pairs led by 0xE0-0xFC, and by 0x8F: where the bytes 0xE0 and up of
    // EUC-JP and UTF-8, and the 0x8F of EUC-JP's JIS X 0212, land when read
    // as 932, while their bytes 0xA1-0xDF read as half-width katakana.
    std::size_t pairsLedHigh = 0;
    std::size_t pairsLed8F = 0;

    // Nothing a writer of 932 makes: characters of the user-defined area, or
    // half-width katakana beside pairs led high. Text that writes its kana
    // half-width writes its kanji mostly in level 1, led by 0x88-0x9F, which
    // EUC-JP and UTF-8 can't hold in that place.
    bool Implausible() const noexcept { return userDefined > 0 || (halfWidthKana > 0 && pairsLedHigh > 0); }
    // The same, for bytes that are valid EUC-JP as well: there half-width
    // katakana beside a pair led by 0x8F (level-1 kanji such as 場, 8FEA)
    // gives way too, as a 932 text of both seldom holds nothing else that
    // EUC-JP can't read.
    bool ImplausibleBesideEucJp() const noexcept { return Implausible() || (halfWidthKana > 0 && pairsLed8F > 0); }
};

Cp932Reading ReadCp932(std::string_view s, bool whole) {
    const code_page_tables::Tables& t = code_page_tables::GetTables();
    Cp932Reading r;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned b = ByteAt(s, i);
        if (!IsLeadByte(static_cast<unsigned char>(b))) {
            if (b >= 0xA1 && b <= 0xDF) {
                ++r.halfWidthKana;
            } else if (b >= 0x80) {
                r.valid = false;
                return r;
            }
            ++i;
            continue;
        }
        if (i + 1 == s.size()) {
            r.valid = !whole;
            return r;
        }
        const char32_t c = t.pair[b << 8 | ByteAt(s, i + 1)];
        if (c >= code_page_tables::kRawPairBase) {  // unassigned, or no trail byte
            r.valid = false;
            return r;
        }
        if (c >= 0xE000 && c <= 0xF8FF) ++r.userDefined;
        if (b >= 0xE0) ++r.pairsLedHigh;
        if (b == 0x8F) ++r.pairsLed8F;
        i += 2;
    }
    return r;
}

// The sample as EUC-JP: ASCII, 0x8E and a half-width katakana, 0x8F and a
// JIS X 0212 pair, a JIS X 0208 pair. glibc also passes the C1 controls
// 0x80-0x8D and 0x90-0x9F; here they are invalid, as no text holds them and
// they are the lead bytes of 932, whose hiragana would otherwise pass.
struct EucJpReading {
    bool valid = true;
    std::size_t kana = 0;   // hiragana and katakana, rows 4 and 5
    std::size_t kanji = 0;  // rows 16-84
    // A kana whose second byte is past 0xA5: in 932 the pair reads as a
    // half-width comma or middle dot before a letter, not before another mark
    // ("､｡" is EUC-JP "ぁ").
    bool kanaPastMarks = false;

    // Kana, as EUC-JP prose is rich in hiragana, clearly beyond what
    // half-width katakana read as EUC-JP passes for: there a kana stands
    // only where a comma or a middle dot (0xA4, 0xA5) happens to start a
    // pair, and the letters between them pair up into kanji, so kana never
    // come near twice the kanji.
    bool RichInKana() const noexcept { return kana >= 2 && kana >= 2 * kanji && kanaPastMarks; }
};

EucJpReading ReadEucJp(std::string_view s, bool whole) {
    using euc_jp_tables::Cell;
    const euc_jp_tables::Tables& t = euc_jp_tables::GetTables();
    const auto inRow = [](unsigned b) { return b >= 0xA1 && b <= 0xFE; };
    EucJpReading r;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned b = ByteAt(s, i);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = b == 0x8F ? 3 : 2;
        if (b != 0x8E && b != 0x8F && !inRow(b)) {
            r.valid = false;
            return r;
        }
        if (s.size() - i < length) {  // cut by the end: what is there must fit
            r.valid = !whole && (length == 2 || s.size() - i == 1 || inRow(ByteAt(s, i + 1)));
            return r;
        }
        const unsigned second = ByteAt(s, i + 1);
        bool character = false;
        if (b == 0x8E) {
            character = t.halfWidth[second] != 0;
        } else if (b == 0x8F) {
            const unsigned third = ByteAt(s, i + 2);
            character = inRow(second) && inRow(third) && t.jisX0212[Cell(second, third)] != 0;
        } else if (inRow(second) && t.jisX0208[Cell(b, second)] != 0) {
            character = true;
            if (b == 0xA4 || b == 0xA5) {
                ++r.kana;
                if (second > 0xA5) r.kanaPastMarks = true;
            } else if (b >= 0xB0) {
                ++r.kanji;
            }
        }
        if (!character) {
            r.valid = false;
            return r;
        }
        i += length;
    }
    return r;
}

bool StartsWith(std::string_view s, std::string_view prefix) noexcept { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

DetectedEncoding DetectEncoding(std::string_view sample, bool whole) {
    if (StartsWith(sample, "\xEF\xBB\xBF")) return {SourceEncoding::Utf8, 3};
    if (StartsWith(sample, "\xFF\xFE")) return {SourceEncoding::Utf16Le, 2};
    if (StartsWith(sample, "\xFE\xFF")) return {SourceEncoding::Utf16Be, 2};

    // Japanese in UTF-8, and ASCII, settle it in one reading.
    const Utf8Reading utf8 = ReadUtf8(sample, whole);
    if (utf8.valid && utf8.heldBy932) return {SourceEncoding::Utf8, 0};
    if (utf8.valid && !utf8.multiByte) return {SourceEncoding::Cp932, 0};
    const bool maybeUtf8 = utf8.valid;
    // 932 text fails both other readings within its first few characters.
    const EucJpReading euc = ReadEucJp(sample, whole);
    if (!maybeUtf8 && !euc.valid) return {SourceEncoding::Cp932, 0};

    const Cp932Reading cp932 = ReadCp932(sample, whole);
    // UTF-8 of two-byte sequences only is also what 932's half-width
    // katakana can be (ﾃｽﾄｱ is C3 BD C4 B1): UTF-8 only where 932 fails.
    if (maybeUtf8 && (!cp932.valid || cp932.Implausible())) return {SourceEncoding::Utf8, 0};
    if (euc.valid && (!cp932.valid || euc.RichInKana() || cp932.ImplausibleBesideEucJp()))
        return {SourceEncoding::EucJp, 0};
    return {SourceEncoding::Cp932, 0};
}

std::string_view SourceEncodingName(SourceEncoding encoding) noexcept {
    switch (encoding) {
    case SourceEncoding::Cp932: return "cp932";
    case SourceEncoding::EucJp: return "euc-jp";
    case SourceEncoding::Utf8: return "utf-8";
    case SourceEncoding::Utf16Le: return "utf-16le";
    case SourceEncoding::Utf16Be: return "utf-16be";
    }
    return "cp932";
}

const Encoding& ScanEncoding(SourceEncoding encoding) noexcept {
    switch (encoding) {
    case SourceEncoding::Cp932: return Cp932();
    case SourceEncoding::EucJp: return EucJp();
    case SourceEncoding::Utf8:
    case SourceEncoding::Utf16Le:
    case SourceEncoding::Utf16Be: return Utf8();
    }
    return Cp932();
}

}  // namespace platform
