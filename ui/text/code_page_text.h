// Moving code-page bytes into widgets and back, through the one codec.
#pragma once

#include "core/output/box_text.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace ui {

// Bytes shown as text; bytes that form no character still show (as
// private-use characters) and map back to themselves.
QString ToQString(std::string_view codePageBytes);

// A fixed text of the program, written in the source as UTF-8, as a QString
// (converted only: the program has one language).
inline QString FromUtf8(const char* utf8) { return QString::fromUtf8(utf8); }

// Typed text in the code page, encoded once (platform::EncodeCodePage); when
// a character has no form there, bytes is empty and unheld is that character.
struct TypedText {
    std::optional<std::string> bytes;
    QString unheld;
};
TypedText EncodeTyped(const QString& text);


// Text in the code page with '?' for each character it can't hold, as the
// platform shows a name it can't write (platform::EncodeCodePageLossy).
std::string ToCodePageLossy(const QString& text);

// What a box shows for code-page bytes (core::BoxText), as a QString.
QString ShownText(const core::BoxText& box);

}  // namespace ui
