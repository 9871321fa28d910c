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

ListingView::DisplayPos ListingView::TopShowingAtBottom(DisplayPos p, qreal room) const {
    qreal height = HeightOf(p);
    for (DisplayPos above = p; Previous(above);) {
        height += HeightOf(above);
        if (height > room) break;
        p = above;
    }
    return p;
}

// As a plain text box ends: the last line shows above the bottom margin.
ListingView::DisplayPos ListingView::MaxTop() const {
    if (!maxTop_) {
        const std::size_t last = LineCount() - 1;
        maxTop_ = TopShowingAtBottom({last, WrapCount(last) - 1}, viewport()->height() - 2 * TextLeft() - 1);
    }
    return *maxTop_;
}

void ListingView::ForgetHeights() {
    maxTop_.reset();
    displayStarts_.reset();
}

void ListingView::SetTop(DisplayPos top) {
    top = std::min(top, MaxTop());
    if (top == top_) return;
    top_ = top;
    SyncScrollBar();
    viewport()->update();
}

int ListingView::ScrollDisplayLines(int count) {
    const DisplayPos from = top_;
    DisplayPos top = top_;
    int moved = 0;
    for (; count > 0 && top < MaxTop() && Next(top); --count) ++moved;
    for (; count < 0 && Previous(top); ++count) ++moved;
    SetTop(top);
    return from == top_ ? 0 : moved;
}

qreal ListingView::TopY() const { return top_ == DisplayPos{} ? TextLeft() : 0; }

qreal ListingView::YOf(DisplayPos p) const {
    // Beyond a page from the top, only that it is off the screen matters.
    const qreal far = viewport()->height() + 1;
    qreal y = TopY();
    DisplayPos at = top_;
    while (at < p && y < far) {
        y += HeightOf(at);
        if (!Next(at)) break;
    }
    while (p < at && y > -far && Previous(at)) y -= HeightOf(at);
    return y;
}

// A page down, as a plain text box pages: the first display line that does
// not show whole comes to the top; none when the end shows already.
std::optional<ListingView::DisplayPos> ListingView::PageBelow() const {
    qreal y = TopY();
    DisplayPos p = top_;
    const qreal bottom = viewport()->height();
    for (;;) {
        const bool last = p.line + 1 == LineCount() && p.sub + 1 == WrapCount(p.line);
        y += HeightOf(p);
        if (y + (last ? TextLeft() : 0) > bottom) return std::min(p, MaxTop());
        if (last || !Next(p)) return std::nullopt;
    }
}

// A page up: the display lines above that fit in the box's height.
ListingView::DisplayPos ListingView::PageAbove() const {
    DisplayPos p = top_;
    qreal height = 0;
    for (DisplayPos above = p; Previous(above);) {
        height += HeightOf(above);
        if (height > viewport()->height()) break;
        p = above;
    }
    return p;
}

void ListingView::LinesReplaced(std::size_t first, std::size_t removed, std::size_t added) {
    maxTop_.reset();
    if (!displayStarts_) return;
    if (!CountsDisplayLines()) return displayStarts_.reset();
    // Only the lines replaced are laid out again to count them.
    std::vector<std::size_t>& starts = *displayStarts_;
    std::vector<std::size_t> after;
    for (std::size_t i = first + removed; i + 1 < starts.size(); ++i) after.push_back(starts[i + 1] - starts[i]);
    starts.resize(first + 1);
    for (std::size_t k = 0; k < added; ++k)
        starts.push_back(starts.back() + static_cast<std::size_t>(WrapCount(first + k)));
    for (const std::size_t count : after) starts.push_back(starts.back() + count);
}

bool ListingView::CountsDisplayLines() const { return LineCount() <= kCountedLines; }

const std::vector<std::size_t>& ListingView::DisplayStarts() const {
    if (!displayStarts_) {
        std::vector<std::size_t> starts(LineCount() + 1);
        for (std::size_t i = 0; i < LineCount(); ++i)
            starts[i + 1] = starts[i] + static_cast<std::size_t>(WrapCount(i));
        displayStarts_ = std::move(starts);
    }
    return *displayStarts_;
}

std::size_t ListingView::DisplayIndex(DisplayPos p) const {
    return DisplayStarts()[p.line] + static_cast<std::size_t>(p.sub);
}

ListingView::DisplayPos ListingView::AtDisplayIndex(std::size_t index) const {
    const std::vector<std::size_t>& starts = DisplayStarts();
    const auto after = std::upper_bound(starts.begin(), starts.end() - 1, index);
    const auto line = static_cast<std::size_t>(after - starts.begin()) - 1;
    return {line, static_cast<int>(std::min<std::size_t>(index - starts[line], WrapCount(line) - 1))};
}

// A listing of a few thousand lines is laid out whole, so the bar counts its
// display lines as a plain text box's bar does. A longer one can't be laid
// out at every resize: its bar counts lines, whose share of the bar is too
// small to matter; clicks in the groove and the arrows still go by display
// lines. The bar's end is the top that shows the last line.
void ListingView::SyncScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    syncingBar_ = true;
    if (CountsDisplayLines()) {
        const std::size_t end = DisplayStarts().back();
        const std::size_t maximum = DisplayIndex(MaxTop());
        bar->setRange(0, static_cast<int>(maximum));
        bar->setPageStep(static_cast<int>(std::max<std::size_t>(1, end - maximum)));
        bar->setValue(static_cast<int>(DisplayIndex(top_)));
    } else {
        bar->setRange(0, static_cast<int>(std::min<std::size_t>(MaxTop().line, INT_MAX)));
        bar->setPageStep(std::max(1, static_cast<int>(viewport()->height() / std::max(1, fontMetrics().height()))));
        bar->setValue(static_cast<int>(std::min<std::size_t>(top_.line, INT_MAX)));
    }
    syncingBar_ = false;
}

void ListingView::scrollContentsBy(int, int) {
    if (syncingBar_) return;
    const QScrollBar* bar = verticalScrollBar();
    const auto value = static_cast<std::size_t>(bar->value());
    DisplayPos top;
    if (CountsDisplayLines()) {
        top = std::min(AtDisplayIndex(value), MaxTop());
    } else {
        top = bar->value() >= bar->maximum() ? MaxTop() : DisplayPos{value, 0};
    }
    if (top == top_) return;
    top_ = top;
    viewport()->update();
}

// Clicks in the groove page as the page keys do; the arrows go by one
// display line.
void ListingView::ScrollBarAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderPageStepAdd:
        if (const auto below = PageBelow()) SetTop(*below);
        break;
    case QAbstractSlider::SliderPageStepSub: SetTop(PageAbove()); break;
    case QAbstractSlider::SliderSingleStepAdd: ScrollDisplayLines(1); break;
    case QAbstractSlider::SliderSingleStepSub: ScrollDisplayLines(-1); break;
    default: return;
    }
    verticalScrollBar()->setSliderPosition(verticalScrollBar()->value());
}

void ListingView::EnsureCaretVisible() {
    const DisplayPos caret = DisplayOf(caret_);
    if (caret < top_) {
        SetTop(caret);
        return;
    }
    // As a plain text box does: scrolled when the caret's line reaches the
    // bottom, until it shows last.
    if (YOf(caret) + HeightOf(caret) >= viewport()->height()) {
        SetTop(TopShowingAtBottom(caret, viewport()->height()));
    }
}

}  // namespace ui
