// The full-text viewer: one range of lines of the current file, hit lines in red.
#pragma once

#include "core/output/box_text.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <vector>

class QAction;
class QMenu;
class QTextCursor;
class QTextEdit;

namespace ui {

class TTextViewForm : public QMainWindow {
public:
    TTextViewForm();

    QTextEdit* RichEdit1;

    QMenu* N1;                            // 表示範囲(行)(&R), holding RangeItems
    std::array<QAction*, 20> RangeItems;  // N11 to N30: the ranges
    QAction* N3;                          // spacer
    QAction* N2;                          // クリップ(&C)
    QAction* N4;                          // spacer
    QAction* N5;                          // 消去(&D)
    QAction* N6;                          // spacer
    QAction* N7;                          // spacer
    QMenu* N8;                            // spacer, with one blank item
    QAction* N10;                         // ローカル検索(&L)

    // Renders lines first to last of the current file.
    void TextRangeView(std::int64_t first, std::int64_t last);

    void TextViewFormShow();
    void N2Click();
    void N5Click();
    void N10Click();

    // The lines that range item k (1 to 20) shows.
    static std::int64_t RangeFirst(int k) { return k == 1 ? 1 : 1000LL * (k - 1) + 1; }
    static std::int64_t RangeLast(int k) { return 1000LL * k + 50; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void TextViewFormCreate();
    // Colours each display line red over its first bytes, through cursor.
    void ColourHitLines(QTextCursor& cursor, const std::vector<std::int64_t>& displayLines);

    // What RichEdit1 holds, with the bytes behind each position.
    core::BoxText shown_;
};

extern TTextViewForm* TextViewForm;

}  // namespace ui
