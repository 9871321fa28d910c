#include "ui/listing_view.h"

#include "core/output/box_text.h"
#include "ui/cp_text.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBoundaryFinder>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace ui {

namespace {

// The margin around the text, as a plain text box keeps it.
constexpr int kMargin = 4;
// A tab advances to the next multiple of this many pixels, as in a plain text box.
constexpr qreal kTabStop = 80;
// The laid-out lines kept: far more than a screen holds, far less than a
// listing can have.
constexpr std::size_t kCachedLines = 1024;
constexpr std::size_t kCachedUnits = 1 << 20;
constexpr int kAutoScrollMilliseconds = 50;

// A break inside a line (U+2028) and the end of a line both copy as '\n'.
QString CopiedText(QString text) { return text.replace(QChar::LineSeparator, QLatin1Char('\n')); }

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

QString ListingView::LineText(std::size_t line) const {
    return ShownText(core::ListingBoxText(listing_.Line(line)));
}

QString ListingView::ToPlainText() const {
    QString text;
    for (std::size_t i = 0; i < listing_.Count(); ++i) {
        if (i > 0) text += QLatin1Char('\n');
        text += LineText(i);
    }
    return text;
}

std::unique_ptr<ShownLine> ListingView::LayOutLine(std::size_t line) const {
    auto shown = std::make_unique<ShownLine>();
    core::BoxText box = core::ListingBoxText(listing_.Line(line));
    shown->text = ShownText(box);
    shown->byteAt = std::move(box.byteAt);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(kTabStop);
    QTextLayout& layout = shown->layout;
    layout.setText(shown->text);
    layout.setFont(font());
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    const qreal width = TextWidth();
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

std::shared_ptr<const ShownLine> ListingView::Shown(std::size_t line) const {
    if (const auto hit = cache_.find(line); hit != cache_.end()) {
        recent_.splice(recent_.begin(), recent_, hit->second.second);
        return hit->second.first;
    }
    std::shared_ptr<const ShownLine> shown = LayOutLine(line);
    cachedUnits_ += static_cast<std::size_t>(shown->text.size());
    recent_.push_front(line);
    cache_.emplace(line, std::make_pair(shown, recent_.begin()));
    while (recent_.size() > 1 && (recent_.size() > kCachedLines || cachedUnits_ > kCachedUnits)) {
        const auto old = cache_.find(recent_.back());
        cachedUnits_ -= static_cast<std::size_t>(old->second.first->text.size());
        cache_.erase(old);
        recent_.pop_back();
    }
    return shown;
}

void ListingView::Relayout(bool layoutsChanged) {
    if (layoutsChanged || laidOutWidth_ != TextWidth()) {
        cache_.clear();
        recent_.clear();
        cachedUnits_ = 0;
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

int ListingView::WrapCount(std::size_t line) const { return std::max(1, Shown(line)->layout.lineCount()); }

qreal ListingView::HeightOf(DisplayPos p) const {
    const auto shown = Shown(p.line);
    return p.sub < shown->layout.lineCount() ? shown->layout.lineAt(p.sub).height() : shown->height;
}

bool ListingView::Next(DisplayPos& p) const {
    if (p.sub + 1 < WrapCount(p.line)) {
        ++p.sub;
    } else if (p.line + 1 < listing_.Count()) {
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
        const std::size_t last = listing_.Count() - 1;
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
    for (; count > 0 && top < MaxTop() && Next(top); --count) {
    }
    for (; count < 0 && Previous(top); ++count) {
    }
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

ListingView::Position ListingView::Clamped(Position p) const {
    p.line = std::min(p.line, listing_.Count() - 1);
    p.unit = std::clamp(p.unit, 0, static_cast<int>(Shown(p.line)->text.size()));
    return p;
}

ListingView::Position ListingView::LineEnd(std::size_t line) const {
    return {line, static_cast<int>(Shown(line)->text.size())};
}

ListingView::Position ListingView::DocumentEnd() const { return LineEnd(listing_.Count() - 1); }

void ListingView::SetSelection(Position anchor, Position caret) {
    anchor_ = Clamped(anchor);
    caret_ = Clamped(caret);
    desiredX_ = -1;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

void ListingView::SelectAll() { SetSelection({}, DocumentEnd()); }

std::size_t ListingView::ByteOffset(Position p) const {
    const std::vector<std::size_t>& byteAt = Shown(p.line)->byteAt;
    return listing_.Start(p.line) + byteAt[std::min(static_cast<std::size_t>(p.unit), byteAt.size() - 1)];
}

std::string_view ListingView::SelectedBytes() const {
    const std::size_t a = ByteOffset(std::min(anchor_, caret_)), b = ByteOffset(std::max(anchor_, caret_));
    return std::string_view(listing_.Bytes()).substr(a, b - a);
}

QString ListingView::SelectedText() const {
    const Position from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
    QString text;
    for (std::size_t line = from.line; line <= to.line; ++line) {
        const QString shown = LineText(line);
        const int start = line == from.line ? from.unit : 0;
        const int end = line == to.line ? to.unit : static_cast<int>(shown.size());
        text += shown.mid(start, end - start);
        if (line < to.line) text += QLatin1Char('\n');
    }
    return CopiedText(std::move(text));
}

void ListingView::Copy() const {
    if (HasSelection()) QGuiApplication::clipboard()->setText(SelectedText());
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
            while (sub + 1 < layout.lineCount() && inside >= layout.lineAt(sub).y() + layout.lineAt(sub).height()) ++sub;
            if (layout.lineCount() == 0) return {line, 0};
            return {line, layout.lineAt(sub).xToCursor(point.x() - kMargin)};
        }
        y += shown->height;
    }
    return DocumentEnd();
}

void ListingView::MoveCaret(Position to, bool select) {
    caret_ = Clamped(to);
    if (!select) anchor_ = caret_;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

// count display lines down (up when negative), keeping to the x the caret
// had when it last moved sideways.
ListingView::Position ListingView::Vertical(Position from, int count) {
    DisplayPos at = DisplayOf(from);
    if (const auto shown = Shown(from.line); desiredX_ < 0 && at.sub < shown->layout.lineCount()) {
        desiredX_ = shown->layout.lineAt(at.sub).cursorToX(from.unit);
    }
    for (; count > 0 && Next(at); --count) {
    }
    for (; count < 0 && Previous(at); ++count) {
    }
    const auto shown = Shown(at.line);
    if (shown->layout.lineCount() == 0) return {at.line, 0};
    return {at.line, shown->layout.lineAt(at.sub).xToCursor(std::max<qreal>(desiredX_, 0))};
}

bool ListingView::Navigate(QKeyEvent* event) {
    const auto matches = [&](QKeySequence::StandardKey move, QKeySequence::StandardKey select, bool& extend) {
        if (event->matches(move)) {
            extend = false;
            return true;
        }
        if (event->matches(select)) {
            extend = true;
            return true;
        }
        return false;
    };
    const auto shown = Shown(caret_.line);
    const QTextLayout& layout = shown->layout;
    const DisplayPos display = DisplayOf(caret_);
    bool extend = false;
    Position to = caret_;
    bool keepX = false;

    if (matches(QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, extend)) {
        to = caret_.unit < shown->text.size()   ? Position{caret_.line, layout.nextCursorPosition(caret_.unit)}
             : caret_.line + 1 < listing_.Count() ? Position{caret_.line + 1, 0}
                                                  : caret_;
    } else if (matches(QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, extend)) {
        to = caret_.unit > 0       ? Position{caret_.line, layout.previousCursorPosition(caret_.unit)}
             : caret_.line > 0     ? LineEnd(caret_.line - 1)
                                   : caret_;
    } else if (matches(QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, extend)) {
        to = caret_.unit < shown->text.size()
                 ? Position{caret_.line, layout.nextCursorPosition(caret_.unit, QTextLayout::SkipWords)}
             : caret_.line + 1 < listing_.Count() ? Position{caret_.line + 1, 0}
                                                  : caret_;
    } else if (matches(QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, extend)) {
        to = caret_.unit > 0 ? Position{caret_.line, layout.previousCursorPosition(caret_.unit, QTextLayout::SkipWords)}
             : caret_.line > 0 ? LineEnd(caret_.line - 1)
                               : caret_;
    } else if (matches(QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, extend)) {
        to = Vertical(caret_, 1);
        keepX = true;
    } else if (matches(QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, extend)) {
        to = Vertical(caret_, -1);
        keepX = true;
    } else if (matches(QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, extend)) {
        const int page = VisibleDisplayLines();
        to = Vertical(caret_, page);
        ScrollDisplayLines(page);
        keepX = true;
    } else if (matches(QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, extend)) {
        const int page = VisibleDisplayLines();
        to = Vertical(caret_, -page);
        ScrollDisplayLines(-page);
        keepX = true;
    } else if (matches(QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, extend)) {
        to = {caret_.line, layout.lineCount() > 0 ? layout.lineAt(display.sub).textStart() : 0};
    } else if (matches(QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, extend)) {
        to = LineEnd(caret_.line);
        if (display.sub + 1 < layout.lineCount()) {
            // As a plain text box does: the end of a wrapped display line is
            // before the space it wrapped at.
            const QTextLine line = layout.lineAt(display.sub);
            to.unit = line.textStart() + line.textLength();
            if (to.unit > 0 && shown->text.at(to.unit - 1).isSpace()) --to.unit;
        }
    } else if (matches(QKeySequence::MoveToStartOfBlock, QKeySequence::SelectStartOfBlock, extend)) {
        to = {caret_.line, 0};
    } else if (matches(QKeySequence::MoveToEndOfBlock, QKeySequence::SelectEndOfBlock, extend)) {
        to = LineEnd(caret_.line);
    } else if (matches(QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, extend)) {
        to = {};
    } else if (matches(QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, extend)) {
        to = DocumentEnd();
    } else {
        return false;
    }
    const qreal x = desiredX_;
    MoveCaret(to, extend);
    if (keepX) desiredX_ = x;
    else desiredX_ = -1;
    return true;
}

bool ListingView::IsEditingKey(const QKeyEvent* event) const {
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfWord)) {
        return true;
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        return (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    default:
        break;
    }
    // A letter with Alt is a menu's, never text.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

void ListingView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (Navigate(event)) {
    } else if (edit_ && IsEditingKey(event)) {
        edit_(event);
    } else {
        event->ignore();
        return;
    }
    event->accept();
}

void ListingView::inputMethodEvent(QInputMethodEvent* event) {
    if (edit_ && (!event->commitString().isEmpty() || !event->preeditString().isEmpty())) {
        edit_(event);
        return;
    }
    event->ignore();
}

QVariant ListingView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled) return static_cast<bool>(edit_);
    return QAbstractScrollArea::inputMethodQuery(query);
}

void ListingView::SelectWordAt(Position p) {
    const QString text = Shown(p.line)->text;
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
    words.setPosition(p.unit);
    int start = p.unit, end = p.unit;
    if (!words.isAtBoundary() || (words.boundaryReasons() & QTextBoundaryFinder::StartOfItem)) {
        if (!words.isAtBoundary()) start = static_cast<int>(words.toPreviousBoundary());
        words.setPosition(p.unit);
        end = static_cast<int>(words.toNextBoundary());
    }
    if (start < 0) start = 0;
    if (end < start) end = static_cast<int>(text.size());
    anchor_ = {p.line, start};
    caret_ = {p.line, end};
    viewport()->update();
}

// The whole line with its line end, as a triple-click takes it.
void ListingView::SelectLineAt(Position p) {
    anchor_ = {p.line, 0};
    caret_ = p.line + 1 < listing_.Count() ? Position{p.line + 1, 0} : LineEnd(p.line);
    viewport()->update();
}

void ListingView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    const Position p = PositionAt(at);
    if (tripleClick_.isActive() && (at - tripleClickPoint_).manhattanLength() < QApplication::startDragDistance()) {
        tripleClick_.stop();
        SelectLineAt(p);
        return;
    }
    MoveCaret(p, (event->modifiers() & Qt::ShiftModifier) != 0);
    desiredX_ = -1;
    dragging_ = true;
    dragPoint_ = at;
}

void ListingView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return QAbstractScrollArea::mouseMoveEvent(event);
    dragPoint_ = event->position().toPoint();
    if (viewport()->rect().contains(QPoint(viewport()->width() / 2, dragPoint_.y()))) {
        autoScroll_.stop();
        caret_ = PositionAt(dragPoint_);
        viewport()->update();
    } else if (!autoScroll_.isActive()) {
        autoScroll_.start(kAutoScrollMilliseconds, this);
        AutoScroll();
    }
}

void ListingView::AutoScroll() {
    ScrollDisplayLines(dragPoint_.y() < 0 ? -1 : 1);
    const int y = std::clamp(dragPoint_.y(), 0, viewport()->height() - 1);
    caret_ = PositionAt(QPoint(dragPoint_.x(), y));
    viewport()->update();
}

void ListingView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(event);
    dragging_ = false;
    autoScroll_.stop();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (HasSelection() && clipboard->supportsSelection()) clipboard->setText(SelectedText(), QClipboard::Selection);
}

void ListingView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseDoubleClickEvent(event);
    const QPoint at = event->position().toPoint();
    SelectWordAt(PositionAt(at));
    tripleClickPoint_ = at;
    tripleClick_.start(QApplication::doubleClickInterval(), this);
}

void ListingView::wheelEvent(QWheelEvent* event) {
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    ScrollDisplayLines(-notches * QApplication::wheelScrollLines());
    event->accept();
}

void ListingView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QString::fromUtf8("コピー(&C)"), this, [this] { Copy(); });
    copy->setEnabled(HasSelection());
    menu.addAction(QString::fromUtf8("すべて選択(&A)"), this, [this] { SelectAll(); });
    menu.exec(event->globalPos());
}

void ListingView::RestartBlink() {
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0) {
        blink_.start(flash / 2, this);
    } else {
        blink_.stop();
    }
}

void ListingView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
    viewport()->update();
}

void ListingView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    viewport()->update();
}

void ListingView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == blink_.timerId()) {
        caretShown_ = !caretShown_;
        viewport()->update();
    } else if (event->timerId() == autoScroll_.timerId()) {
        AutoScroll();
    } else if (event->timerId() == tripleClick_.timerId()) {
        tripleClick_.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

}  // namespace ui
