// The window fonts, requested by their names with the closest installed forms
// as fallbacks.
#pragma once

#include <QFont>

namespace ui {

QFont GothicFont(int pixelSize, bool bold = false);              // ＭＳ ゴシック
QFont ProportionalGothicFont(int pixelSize, bool bold = false);  // ＭＳ Ｐゴシック

}  // namespace ui
