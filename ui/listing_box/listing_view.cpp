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
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { ScrollBarAction(action); });
}

void ListingView::SetListing(core::ListingLines listing) {
    listing_ = std::move(listing);
    edits_.reset();
    undo_.clear();
    redo_.clear();
    typingUndo_ = false;
    preedit_.clear();
    anchor_ = caret_ = {};
    top_ = {};
    Relayout(true);
}

void ListingView::SetEditable(bool editable) {
    editable_ = editable;
    // From the start, so that the input method's first keystroke comes here.
    setAttribute(Qt::WA_InputMethodEnabled, editable);
}

QString ListingView::LineText(std::size_t line) const {
    if (edits_) {
        if (const auto source = edits_->Source(line)) return ShownText(core::ListingBoxText(listing_.Line(*source)));
        return edits_->Text(line);
    }
    return ShownText(core::ListingBoxText(listing_.Line(line)));
}

QString ListingView::ToPlainText() const {
    QString text;
    for (std::size_t i = 0; i < LineCount(); ++i) {
        if (i > 0) text += QLatin1Char('\n');
        text += LineText(i);
    }
    return text;
}

namespace {

// A listing line's bytes as the box shows them, not yet laid out.
std::unique_ptr<ShownLine> ShownOfBytes(std::string_view bytes) {
    auto shown = std::make_unique<ShownLine>();
    core::BoxText box = core::ListingBoxText(bytes);
    shown->text = ShownText(box);
    shown->byteAt = std::move(box.byteAt);
    return shown;
}

// Lays out a shown line at width, wrapped; what an input method composes,
// when given, shows underlined at unit preeditAt.
void LayOut(ShownLine& shown, const QFont& font, qreal width, int preeditAt = -1, const QString& preedit = {}) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(kTabStop);
    QTextLayout& layout = shown.layout;
    layout.setText(shown.text);
    layout.setFont(font);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    if (preeditAt >= 0 && !preedit.isEmpty()) {
        layout.setPreeditArea(preeditAt, preedit);
        QTextCharFormat composing;
        composing.setFontUnderline(true);
        layout.setFormats({{preeditAt, static_cast<int>(preedit.size()), composing}});
    }
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
        l.setLineWidth(width);
        l.setPosition(QPointF(0, y));
        y += l.height();
    }
    layout.endLayout();
    shown.height = y;
}

}  // namespace

std::unique_ptr<ShownLine> LayOutListingLine(std::string_view bytes, const QFont& font, qreal width) {
    std::unique_ptr<ShownLine> shown = ShownOfBytes(bytes);
    LayOut(*shown, font, width);
    return shown;
}

std::unique_ptr<ShownLine> ListingView::LayOutLine(std::size_t line) const {
    const std::optional<std::size_t> source = edits_ ? edits_->Source(line) : line;
    std::unique_ptr<ShownLine> shown;
    if (source) {
        shown = ShownOfBytes(listing_.Line(*source));
    } else {
        // Typed text has no bytes behind it; each unit stands for itself.
        shown = std::make_unique<ShownLine>();
        shown->text = edits_->Text(line);
        shown->byteAt.resize(static_cast<std::size_t>(shown->text.size()) + 1);
        for (std::size_t k = 0; k < shown->byteAt.size(); ++k) shown->byteAt[k] = k;
    }
    LayOut(*shown, font(), TextWidth(), line == caret_.line ? caret_.unit : -1, preedit_);
    return shown;
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
    ForgetHeights();
    desiredX_ = -1;
    top_.line = std::min(top_.line, LineCount() - 1);
    top_.sub = std::min(top_.sub, WrapCount(top_.line) - 1);
    top_ = std::min(top_, MaxTop());
    SyncScrollBar();
    viewport()->update();
}

qreal ListingView::TextWidth() const { return std::max(1, viewport()->width() - 2 * kMargin); }

qreal ListingView::TextLeft() { return kMargin; }

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

    qreal y = TopY();
    for (std::size_t line = top_.line; line < LineCount() && y < bottom; ++line) {
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
        if (line == caret_.line && hasFocus() && caretShown_) layout.drawCursor(&painter, origin, CaretUnit());
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

int ListingView::CaretUnit() const { return caret_.unit + (preedit_.isEmpty() ? 0 : preeditCursor_); }

QRect ListingView::CaretRect() const {
    qreal y = TopY();
    for (std::size_t line = top_.line; line < LineCount() && y < viewport()->height(); ++line) {
        const auto shown = Shown(line);
        const QTextLayout& layout = shown->layout;
        if (line == top_.line && top_.sub < layout.lineCount()) y -= layout.lineAt(top_.sub).y();
        if (line == caret_.line) {
            const QTextLine at = layout.lineForTextPosition(CaretUnit());
            if (!at.isValid()) break;
            return QRectF(kMargin + at.cursorToX(CaretUnit()), y + at.y(), 1, at.height()).toAlignedRect();
        }
        y += shown->height;
    }
    return QRect(kMargin, kMargin, 1, fontMetrics().height());
}

ListingView::Position ListingView::PositionAt(QPoint point) const {
    qreal y = TopY();
    for (std::size_t line = top_.line; line < LineCount(); ++line) {
        const auto shown = Shown(line);
        const QTextLayout& layout = shown->layout;
        if (line == top_.line && top_.sub < layout.lineCount()) y -= layout.lineAt(top_.sub).y();
        const bool last = line + 1 == LineCount();
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
