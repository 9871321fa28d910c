// The listing box: its text, each line laid out at the box's width, drawing
// what is on screen and finding the place under a point of it. Scrolling,
// selection and input have files of their own (listing_view_*.cpp).
#include "ui/listing_box/listing_view.h"

#include "core/output/box_text.h"
#include "ui/text/code_page_text.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace ui {

namespace {

// The margin around the text, as a plain text box keeps it.
constexpr int kMargin = 4;
// A tab advances to the next multiple of this many pixels, as in a plain text box.
constexpr qreal kTabStop = 80;

}  // namespace

ListingView::ListingView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    // Word wrap leaves nothing to scroll sideways; the bar stays, idle.
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setSingleStep(1);
}

void ListingView::SetListing(core::ListingLines listing) {
    listing_ = std::move(listing);
    anchor_ = caret_ = {};
    top_ = {};
    Relayout(true);
}

void ListingView::SetEditHandler(std::function<void(QEvent*)> edit) {
    edit_ = std::move(edit);
    setAttribute(Qt::WA_InputMethodEnabled, static_cast<bool>(edit_));
}

QString ListingView::LineText(std::size_t line) const { return ShownText(core::ListingBoxText(listing_.Line(line))); }

QString ListingView::ToPlainText() const {
    QString text;
    for (std::size_t i = 0; i < listing_.Count(); ++i) {
        if (i > 0) text += QLatin1Char('\n');
        text += LineText(i);
    }
    return text;
}

std::unique_ptr<ShownLine> LayOutListingLine(std::string_view bytes, const QFont& font, qreal width) {
    auto shown = std::make_unique<ShownLine>();
    core::BoxText box = core::ListingBoxText(bytes);
    shown->text = ShownText(box);
    shown->byteAt = std::move(box.byteAt);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(kTabStop);
    QTextLayout& layout = shown->layout;
    layout.setText(shown->text);
    layout.setFont(font);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
        l.setLineWidth(width);
        l.setPosition(QPointF(0, y));
        y += l.height();
    }
    layout.endLayout();
    shown->height = y;
    return shown;
}

std::unique_ptr<ShownLine> ListingView::LayOutLine(std::size_t line) const {
    return LayOutListingLine(listing_.Line(line), font(), TextWidth());
}

std::shared_ptr<const ShownLine> ListingView::Shown(std::size_t line) const {
    if (auto kept = shownLines_.Find(line)) return kept;
    return shownLines_.Add(line, LayOutLine(line));
}

void ListingView::Relayout(bool layoutsChanged) {
    if (layoutsChanged || laidOutWidth_ != TextWidth()) {
        shownLines_.Clear();
        laidOutWidth_ = TextWidth();
    }
    maxTop_.reset();
    desiredX_ = -1;
    top_.line = std::min(top_.line, listing_.Count() - 1);
    top_.sub = std::min(top_.sub, WrapCount(top_.line) - 1);
    top_ = std::min(top_, MaxTop());
    SyncScrollBar();
    viewport()->update();
}

qreal ListingView::TextWidth() const { return std::max(1, viewport()->width() - 2 * kMargin); }

qreal ListingView::TextHeight() const { return std::max(1, viewport()->height() - 2 * kMargin); }

void ListingView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    painter.fillRect(viewport()->rect(), colours.base());
    painter.setPen(colours.text().color());

    const Position from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
    QTextCharFormat selected;
    selected.setBackground(colours.highlight());
    selected.setForeground(colours.highlightedText());
    const qreal bottom = viewport()->height();
    const qreal spaceWidth = fontMetrics().horizontalAdvance(QLatin1Char(' '));

    qreal y = kMargin;
    for (std::size_t line = top_.line; line < listing_.Count() && y < bottom; ++line) {
        const auto shown = Shown(line);
        const QTextLayout& layout = shown->layout;
        if (line == top_.line && top_.sub < layout.lineCount()) y -= layout.lineAt(top_.sub).y();
        const QPointF origin(kMargin, y);

        QList<QTextLayout::FormatRange> selections;
        if (from.line <= line && line <= to.line) {
            const int start = line == from.line ? from.unit : 0;
            const int end = line == to.line ? to.unit : static_cast<int>(shown->text.size());
            if (end > start) selections.append({start, end - start, selected});
        }
        layout.draw(&painter, origin, selections);
        // A selection that runs on past the end of the line shows its line end.
        if (from.line <= line && line < to.line && layout.lineCount() > 0) {
            const QTextLine last = layout.lineAt(layout.lineCount() - 1);
            painter.fillRect(QRectF(origin.x() + last.naturalTextWidth(), y + last.y(), spaceWidth, last.height()),
                             colours.highlight());
        }
        if (line == caret_.line && hasFocus() && caretShown_) layout.drawCursor(&painter, origin, caret_.unit);
        y += shown->height;
    }
}

void ListingView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout(false);
}

void ListingView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) Relayout(true);
}

ListingView::Position ListingView::PositionAt(QPoint point) const {
    qreal y = kMargin;
    for (std::size_t line = top_.line; line < listing_.Count(); ++line) {
        const auto shown = Shown(line);
        const QTextLayout& layout = shown->layout;
        if (line == top_.line && top_.sub < layout.lineCount()) y -= layout.lineAt(top_.sub).y();
        const bool last = line + 1 == listing_.Count();
        if (point.y() < y + shown->height || last || y + shown->height >= viewport()->height()) {
            const qreal inside = point.y() - y;
            int sub = line == top_.line ? top_.sub : 0;
            while (sub + 1 < layout.lineCount() && inside >= layout.lineAt(sub).y() + layout.lineAt(sub).height())
                ++sub;
            if (layout.lineCount() == 0) return {line, 0};
            return {line, layout.lineAt(sub).xToCursor(point.x() - kMargin)};
        }
        y += shown->height;
    }
    return DocumentEnd();
}

}  // namespace ui
