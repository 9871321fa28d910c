// The print command of the result window: the listing box's display lines on
// the default printer, placed by the text device's rules.
#pragma once

#include <QFont>

class QWidget;

namespace ui {

class ListingView;

// The box's font at its point size, for the printer.
QFont PrintFont(const ListingView& box);

// Prints every display line of box as one printed line. The job runs off the
// thread that draws, with the same progress window and cancel as a search
// (over over): pages printed of pages, キャンセル and Esc end it, and a job
// ended before it is complete is dropped with its spool file, nothing of it
// sent to the printer. Cancel throws core::EAbort. Throws core::Exception
// with "印刷中" while a print is running, "ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません"
// without a default printer, "選択したﾌﾟﾘﾝﾀは有効ではありません" when the
// printer can't be drawn on; an error after the job has started cancels it.
void PrintListing(const ListingView& box, QWidget* over = nullptr);

}  // namespace ui
