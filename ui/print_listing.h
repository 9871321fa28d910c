// The print command of the result window: the listing box's display lines on
// the default printer, placed by the text device's rules.
#pragma once

#include "ui/cp_text.h"

#include <QFont>

class QPlainTextEdit;

namespace ui {

// The box's font at its point size, for the printer.
QFont PrintFont(const QPlainTextEdit& box);

// Prints every display line of box (filled with shown) as one printed line.
// Pending window messages are handled after each page. Throws core::Exception
// with "印刷中" while a print is running, "ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません"
// without a default printer, "選択したﾌﾟﾘﾝﾀは有効ではありません" when the
// printer can't be drawn on; an error after the job has started cancels it.
void PrintListing(const QPlainTextEdit& box, const CodePageText& shown);

}  // namespace ui
