// The ANSI code page (932, Shift-JIS in its Microsoft form) and the one codec
// between code-page bytes and Unicode. Nothing else in the program converts text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// True for the lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
bool IsLeadByte(unsigned char b) noexcept;

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

// Encodes, writing '?' for each character the code page cannot hold, as the
// platform shows a file name it cannot write.
std::string EncodeCodePageLossy(std::u32string_view text);

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

}  // namespace platform
