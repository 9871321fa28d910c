#include "ui/cp_text.h"

#include "platform/code_page.h"

#include <QList>

namespace ui {

QString ToQString(std::string_view codePageBytes) {
    const std::u32string text = platform::DecodeCodePage(codePageBytes);
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> ToCodePage(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    return platform::EncodeCodePage(std::u32string(ucs4.begin(), ucs4.end()));
}

QString ShownText(const core::BoxText& box) {
    return QString::fromUtf16(box.text.data(), static_cast<qsizetype>(box.text.size()));
}

}  // namespace ui
