#include "ui/text/code_page_text.h"

#include "platform/code_page.h"

#include <QList>

namespace ui {

namespace {
std::u32string Characters(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}
}  // namespace

QString ToQString(std::string_view codePageBytes) {
    const std::u32string text = platform::DecodeCodePage(codePageBytes);
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

TypedText EncodeTyped(const QString& text) {
    const std::u32string chars = Characters(text);
    TypedText typed;
    std::size_t unheld = 0;
    typed.bytes = platform::EncodeCodePage(chars, &unheld);
    if (!typed.bytes) typed.unheld = QString::fromUcs4(&chars[unheld], 1);
    return typed;
}

std::string ToCodePageLossy(const QString& text) { return platform::EncodeCodePageLossy(Characters(text)); }

QString ShownText(const core::BoxText& box) {
    return QString::fromUtf16(box.text.data(), static_cast<qsizetype>(box.text.size()));
}

}  // namespace ui
