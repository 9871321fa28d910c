// Moving code-page bytes into widgets and back, through the one codec.
#pragma once

#include "core/box_text.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Bytes shown as text; bytes that form no character still show (as
// private-use characters) and map back to themselves.
QString ToQString(std::string_view codePageBytes);

// A fixed text of the program, written in the source as UTF-8.
inline QString Tr(const char* utf8) { return QString::fromUtf8(utf8); }

// Typed text in the code page; nullopt when a character has no form there.
std::optional<std::string> ToCodePage(const QString& text);

// Code-page bytes as a widget holds them, with the way back from a position in
// the widget's text (UTF-16 units) to the byte it came from, so that a
// selection is read from the original bytes and never re-encoded.
class CodePageText {
public:
    CodePageText() = default;
    explicit CodePageText(std::string bytes);
    // The bytes as a listing box shows them (core::ListingBoxText): one
    // paragraph per line, long lines cut with a mark, NUL made visible.
    static CodePageText ListingBox(std::string bytes);

    const std::string& Bytes() const noexcept { return bytes_; }
    const QString& Text() const noexcept { return text_; }
    // The byte offset where the character at UTF-16 position pos starts;
    // Bytes().size() at or past the end.
    std::size_t ByteOffset(int pos) const noexcept;
    // The bytes under the UTF-16 range [from, to).
    std::string_view BytesBetween(int from, int to) const noexcept;

private:
    CodePageText(std::string bytes, core::BoxText shown);

    std::string bytes_;
    QString text_;
    std::vector<std::size_t> byteAt_;  // per UTF-16 unit, plus one at the end
};

}  // namespace ui
