#include "ui/frame/window_fonts.h"

#include "ui/text/code_page_text.h"

#include <QStringList>

namespace ui {

namespace {
QFont JapaneseFont(const char* family, const char* ipaFamily, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({FromUtf8(family), FromUtf8(ipaFamily), FromUtf8("Noto Sans CJK JP"), FromUtf8("sans-serif")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
}  // namespace

QFont GothicFont(int pixelSize, bool bold) { return JapaneseFont("ＭＳ ゴシック", "IPAGothic", pixelSize, bold); }

QFont ProportionalGothicFont(int pixelSize, bool bold) {
    return JapaneseFont("ＭＳ Ｐゴシック", "IPAPGothic", pixelSize, bold);
}

}  // namespace ui
