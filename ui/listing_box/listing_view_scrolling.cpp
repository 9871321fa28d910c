// The listing box's display lines (the lines a line wraps into), which of
// them is at the top, and the scroll bar that follows it.
#include "ui/listing_box/listing_view.h"

#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace ui {

int ListingView::WrapCount(std::size_t line) const { return std::max(1, Shown(line)->layout.lineCount()); }

qreal ListingView::HeightOf(DisplayPos p) const {
    const auto shown = Shown(p.line);
    return p.sub < shown->layout.lineCount() ? shown->layout.lineAt(p.sub).height() : shown->height;
}

bool ListingView::Next(DisplayPos& p) const {
    if (p.sub + 1 < WrapCount(p.line)) {
        ++p.sub;
    } else if (p.line + 1 < LineCount()) {
        ++p.line;
        p.sub = 0;
    } else {
        return false;
    }
    return true;
}

bool ListingView::Previous(DisplayPos& p) const {
    if (p.sub > 0) {
        --p.sub;
    } else if (p.line > 0) {
        --p.line;
        p.sub = WrapCount(p.line) - 1;
    } else {
        return false;
    }
    return true;
}

ListingView::DisplayPos ListingView::DisplayOf(Position p) const {
    const auto shown = Shown(p.line);
    const QTextLayout& layout = shown->layout;
    int sub = 0;
    // A place where a line wraps shows at the start of the next display line.
    while (sub + 1 < layout.lineCount() && p.unit >= layout.lineAt(sub + 1).textStart()) ++sub;
    return {p.line, sub};
}

ListingView::DisplayPos ListingView::TopShowingAtBottom(DisplayPos p) const {
    qreal height = HeightOf(p);
    for (DisplayPos above = p; Previous(above);) {
        height += HeightOf(above);
        if (height > TextHeight()) break;
        p = above;
    }
    return p;
}

ListingView::DisplayPos ListingView::MaxTop() const {
    if (!maxTop_) {
        const std::size_t last = LineCount() - 1;
        maxTop_ = TopShowingAtBottom({last, WrapCount(last) - 1});
    }
    return *maxTop_;
}

void ListingView::SetTop(DisplayPos top) {
    top = std::min(top, MaxTop());
    if (top == top_) return;
    top_ = top;
    SyncScrollBar();
    viewport()->update();
}

void ListingView::ScrollDisplayLines(int count) {
    DisplayPos top = top_;
    for (; count > 0 && top < MaxTop() && Next(top); --count) {}
    for (; count < 0 && Previous(top); ++count) {}
    SetTop(top);
}

// The bar counts lines, not display lines: a listing's lines can't all be laid
// out to count what they wrap into. Its end is the top that shows the last line.
void ListingView::SyncScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    syncingBar_ = true;
    bar->setRange(0, static_cast<int>(std::min<std::size_t>(MaxTop().line, INT_MAX)));
    bar->setPageStep(std::max(1, VisibleDisplayLines()));
    bar->setValue(static_cast<int>(std::min<std::size_t>(top_.line, INT_MAX)));
    syncingBar_ = false;
}

void ListingView::scrollContentsBy(int, int) {
    if (syncingBar_) return;
    const QScrollBar* bar = verticalScrollBar();
    const auto value = static_cast<std::size_t>(bar->value());
    const DisplayPos top = bar->value() >= bar->maximum() ? MaxTop() : DisplayPos{value, 0};
    if (top == top_) return;
    top_ = top;
    viewport()->update();
}

int ListingView::VisibleDisplayLines() const {
    return std::max(1, static_cast<int>(TextHeight() / std::max(1, fontMetrics().height())));
}

void ListingView::EnsureCaretVisible() {
    const DisplayPos caret = DisplayOf(caret_);
    if (caret < top_) {
        SetTop(caret);
        return;
    }
    const DisplayPos lowest = TopShowingAtBottom(caret);
    if (top_ < lowest) SetTop(lowest);
}

}  // namespace ui
