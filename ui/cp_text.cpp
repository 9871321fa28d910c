#include "ui/cp_text.h"

#include "platform/code_page.h"

#include <QList>

#include <algorithm>

namespace ui {

QString ToQString(std::string_view codePageBytes) {
    const std::u32string text = platform::DecodeCodePage(codePageBytes);
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> ToCodePage(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    return platform::EncodeCodePage(std::u32string(ucs4.begin(), ucs4.end()));
}

CodePageText::CodePageText(std::string bytes) : bytes_(std::move(bytes)) {
    const auto decoded = platform::DecodeCodePageWithOffsets(bytes_);
    text_ = QString::fromUcs4(decoded.text.data(), static_cast<qsizetype>(decoded.text.size()));
    byteAt_.reserve(static_cast<std::size_t>(text_.size()) + 1);
    for (std::size_t i = 0; i < decoded.text.size(); ++i) {
        byteAt_.push_back(decoded.offsets[i]);
        if (decoded.text[i] > 0xFFFF) byteAt_.push_back(decoded.offsets[i]);  // the low surrogate
    }
    byteAt_.push_back(bytes_.size());
}

CodePageText::CodePageText(std::string bytes, core::BoxText shown)
    : bytes_(std::move(bytes)),
      text_(QString::fromUtf16(shown.text.data(), static_cast<qsizetype>(shown.text.size()))),
      byteAt_(std::move(shown.byteAt)) {}

CodePageText CodePageText::ListingBox(std::string bytes) {
    core::BoxText shown = core::ListingBoxText(bytes);
    return CodePageText(std::move(bytes), std::move(shown));
}

std::size_t CodePageText::ByteOffset(int pos) const noexcept {
    if (pos < 0 || byteAt_.empty()) return 0;
    const auto index = std::min(static_cast<std::size_t>(pos), byteAt_.size() - 1);
    return byteAt_[index];
}

std::string_view CodePageText::BytesBetween(int from, int to) const noexcept {
    const std::size_t a = ByteOffset(from), b = ByteOffset(to);
    return b > a ? std::string_view(bytes_).substr(a, b - a) : std::string_view();
}

}  // namespace ui
