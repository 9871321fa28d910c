// Every rule about characters: how an encoding forms characters of bytes (as
// data, with code page 932 the program's own), where the character holding a
// byte starts, the ideographic space, and the codecs between the encodings
// and Unicode. Nothing else in the program walks characters or converts text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// How an encoding forms characters: a character is its first byte and up to
// length - 1 more bytes, as long as each may follow (a byte that may not ends
// the character early and starts the next one).
struct Encoding {
    std::string_view name;                 // as --encoding names it
    std::array<std::uint8_t, 256> length;  // by first byte, 1 to 4
    std::array<bool, 256> follows;         // may stand inside a character
    std::string_view ideographicSpace;     // U+3000 in this encoding
    // Derived from the two tables: what a byte tells of the character
    // boundaries around it, for walking back (see CharacterStart).
    enum Boundary : std::uint8_t { kInside, kEndsCharacter, kStartsCharacter };
    std::array<Boundary, 256> boundary;
    // How often each byte turns up in Japanese prose written in this
    // encoding, per thousand characters, roughly: as a byte that more of its
    // character follows (leads), and as the last byte of a character, a line
    // end or ASCII (ends). Only the order it gives counts: the scans rank a
    // phrase's byte pairs by it, to search for the rarest.
    struct Frequency {
        double leads = 0;
        double ends = 0;
    };
    std::array<Frequency, 256> frequency;
};

// Code page 932 (Shift-JIS in its Microsoft form): a lead byte (0x81-0x9F,
// 0xE0-0xFC) and whatever byte follows it are one character. The windows'
// encoding and the default everywhere.
const Encoding& Cp932() noexcept;
// EUC-JP: 0xA1-0xFE pairs, 0x8E (half-width kana) and 0x8F (three bytes).
const Encoding& EucJp() noexcept;
// UTF-8: a lead byte and its continuation bytes; a stray byte stands alone.
const Encoding& Utf8() noexcept;
// The encoding of that name (cp932, euc-jp, utf-8), or nullptr.
const Encoding* EncodingNamed(std::string_view name) noexcept;

// True for the lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
bool IsLeadByte(unsigned char b) noexcept;

// The bytes of the character that starts at p, p < end; a character cut by
// end is shorter.
std::size_t CharacterLength(const Encoding& encoding, const char* p, const char* end) noexcept;

// The start of the character that holds the byte at, as grep's mb_goback
// finds it: bytes are walked back from at only until one tells a boundary,
// or to from, a known character start, then forward by characters. The
// bytes [from, end) are readable and from <= at <= end; at end, whose byte is
// unknown, the start of the character that may still run on there.
// Inline: the scans ask it for every candidate.
inline const char* CharacterStart(const Encoding& encoding, const char* from, const char* at,
                                  const char* end) noexcept {
    const char* q = at;
    while (q > from) {
        const Encoding::Boundary boundary = encoding.boundary[static_cast<unsigned char>(q[-1])];
        if (boundary == Encoding::kEndsCharacter) break;
        --q;
        if (boundary == Encoding::kStartsCharacter) break;
    }
    // q starts a character: walk on by characters to the one holding at.
    while (q < at) {
        const char* const full = q + encoding.length[static_cast<unsigned char>(*q)];
        const char* p = q + 1;
        while (p < full && p < end && encoding.follows[static_cast<unsigned char>(*p)]) ++p;
        if (p > at || (p == end && p < full)) return q;
        q = p;
    }
    return q;
}

// Past every ideographic space at the start of [p, end). Inline, as the
// scan asks it at every line it looks at closely.
inline const char* SkipIdeographicSpaces(const Encoding& encoding, const char* p, const char* end) noexcept {
    const std::string_view space = encoding.ideographicSpace;
    // The first byte alone tells most lines' starts apart.
    while (static_cast<std::size_t>(end - p) >= space.size() && *p == space.front() &&
           space.substr(1) == std::string_view(p + 1, space.size() - 1)) {
        p += space.size();
    }
    return p;
}

// Decoding is total: bytes that form no character (a lone lead byte, an
// unassigned pair, 0x80/0xA0/0xFD-0xFF aside, which the Microsoft form maps)
// become private-use code points that encode back to the very same bytes.
std::u32string DecodeCodePage(std::string_view bytes);

// The same, also giving for every decoded character the byte offset where it
// starts; offsets has one extra entry, bytes.size(), so that a character range
// [i, j) maps back to the bytes [offsets[i], offsets[j]).
struct DecodedText {
    std::u32string text;
    std::vector<std::size_t> offsets;
};
DecodedText DecodeCodePageWithOffsets(std::string_view bytes);

// Encodes Unicode into code-page bytes, in one pass; nullopt when a character
// has no form in the code page where it stands (text typed by a user is never
// searched as something else). unheld, when given, receives the index of that
// character, or npos when the whole text has a form. A lone lead byte (a
// private-use character of the codec) has none right before a character that
// starts with a trail byte, as the two would read back as one pair.
std::optional<std::string> EncodeCodePage(std::u32string_view text, std::size_t* unheld = nullptr);

// Encodes, writing '?' for each character the code page cannot hold.
std::string EncodeCodePageLossy(std::u32string_view text);
// Encodes, writing 〓 (0x81AC, the customary mark) for each character the
// code page cannot hold: how a name or a line of another encoding is shown.
std::string EncodeCodePageMarked(std::u32string_view text);

// The well-formed UTF-8 sequence at utf8[i] into out; its length, or 0 when
// the bytes there are malformed (or cut by the end).
std::size_t DecodeUtf8Character(std::string_view utf8, std::size_t i, char32_t& out) noexcept;

// UTF-8 <-> UTF-32. Strict decoding gives nullopt on malformed UTF-8; the lossy
// form turns every malformed byte into U+FFFD.
std::optional<std::u32string> DecodeUtf8(std::string_view utf8);
std::u32string DecodeUtf8Lossy(std::string_view utf8);
std::string EncodeUtf8(std::u32string_view text);

// Shorthands over the two codecs.
std::string CodePageToUtf8(std::string_view bytes);
std::optional<std::string> Utf8ToCodePage(std::string_view utf8);

// A fixed text written in the source as UTF-8, in code-page bytes. Only for
// texts known to fit the code page; anything else is a programming error.
std::string FixedText(std::string_view utf8);

// The codecs of any encoding: text typed in UTF-8 into the encoding's bytes
// (nullopt, with unheld as for EncodeCodePage, when a character has no form
// there), and the encoding's bytes into UTF-8 for a terminal, each byte
// that forms no character shown as U+FFFD.
std::optional<std::string> Utf8ToEncoding(const Encoding& encoding, std::string_view utf8,
                                          std::size_t* unheld = nullptr);
std::string EncodingToUtf8(const Encoding& encoding, std::string_view bytes);

// Any encoding decoded, for showing: as DecodeCodePageWithOffsets for code
// page 932; in the others a byte that forms no character is U+FFFD.
DecodedText DecodeWithOffsets(const Encoding& encoding, std::string_view bytes);
// The bytes decoded, or nothing when a byte forms no character.
std::optional<std::u32string> DecodeStrict(const Encoding& encoding, std::string_view bytes);
// Text typed by a user, in the encoding; nullopt (with unheld as for
// EncodeCodePage) when a character has no form there. In code page 932
// and EUC-JP a character is the one code page 932 takes it for: the JIS
// and the Microsoft forms of the wave dash and its like are one character
// there. UTF-8 is as typed.
std::optional<std::string> EncodeTyped(const Encoding& encoding, std::u32string_view text,
                                       std::size_t* unheld = nullptr);
// The text in the encoding, each character it cannot hold written as 〓.
std::string EncodeMarked(const Encoding& encoding, std::u32string_view text);
// Bytes of one encoding in another, each character the other cannot hold
// written as 〓 (into UTF-8 as EncodingToUtf8 writes them).
std::string Recode(const Encoding& from, const Encoding& to, std::string_view bytes);

}  // namespace platform
