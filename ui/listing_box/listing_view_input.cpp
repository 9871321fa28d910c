// The listing box's keys, mouse, wheel, menu and caret blink.
#include "ui/listing_box/listing_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>

namespace ui {

namespace {

constexpr int kAutoScrollMilliseconds = 50;

}  // namespace

// count display lines down (up when negative), keeping to the x the caret
// had when it last moved sideways.
ListingView::Position ListingView::Vertical(Position from, int count) {
    DisplayPos at = DisplayOf(from);
    if (const auto shown = Shown(from.line); desiredX_ < 0 && at.sub < shown->layout.lineCount()) {
        desiredX_ = shown->layout.lineAt(at.sub).cursorToX(from.unit);
    }
    for (; count > 0 && Next(at); --count) {}
    for (; count < 0 && Previous(at); ++count) {}
    const auto shown = Shown(at.line);
    if (shown->layout.lineCount() == 0) return {at.line, 0};
    return {at.line, shown->layout.lineAt(at.sub).xToCursor(std::max<qreal>(desiredX_, 0))};
}

// A page up or down, as a plain text box pages: the view moves a page and the
// caret keeps its place on screen; at the end (or the start) of the text it
// goes to the last (or the first) line.
ListingView::Position ListingView::PageCaret(bool down) {
    EnsureCaretVisible();
    const bool atStart = top_ == DisplayPos{};
    // Pages in a row keep to the row the caret had on screen before the first.
    if (!pageY_) pageY_ = YOf(DisplayOf(caret_));
    qreal y = *pageY_;
    if (down) {
        if (const auto below = PageBelow()) {
            SetTop(*below);
        } else {
            y = viewport()->height();
        }
    } else {
        SetTop(PageAbove());
        if (atStart) y = 0;
    }
    Position to = caret_;
    for (;;) {
        const Position next = Vertical(to, down ? 1 : -1);
        if (next == to) break;
        to = next;
        const qreal at = YOf(DisplayOf(to));
        if (down ? at >= y : at <= y) break;
    }
    return to;
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
        to = caret_.unit < shown->text.size() ? Position{caret_.line, layout.nextCursorPosition(caret_.unit)}
             : caret_.line + 1 < LineCount()  ? Position{caret_.line + 1, 0}
                                              : caret_;
    } else if (matches(QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, extend)) {
        to = caret_.unit > 0   ? Position{caret_.line, layout.previousCursorPosition(caret_.unit)}
             : caret_.line > 0 ? LineEnd(caret_.line - 1)
                               : caret_;
    } else if (matches(QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, extend)) {
        to = caret_.unit < shown->text.size()
                 ? Position{caret_.line, layout.nextCursorPosition(caret_.unit, QTextLayout::SkipWords)}
             : caret_.line + 1 < LineCount() ? Position{caret_.line + 1, 0}
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
        to = PageCaret(true);
        keepX = true;
    } else if (matches(QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, extend)) {
        to = PageCaret(false);
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
    const std::optional<qreal> pageY = pageY_;
    MoveCaret(to, extend);
    if (event->matches(QKeySequence::MoveToNextPage) || event->matches(QKeySequence::SelectNextPage) ||
        event->matches(QKeySequence::MoveToPreviousPage) || event->matches(QKeySequence::SelectPreviousPage)) {
        pageY_ = pageY;
    }
    if (keepX)
        desiredX_ = x;
    else
        desiredX_ = -1;
    return true;
}

// An editable box takes Tab as text, as a plain text editor does, instead of
// passing the focus on.
bool ListingView::event(QEvent* event) {
    if (editable_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ListingView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (Navigate(event)) {
    } else if (!editable_ || !EditByKey(event)) {
        event->ignore();
        return;
    }
    event->accept();
}

// As a plain text editor takes it: what is committed replaces the selection
// and goes in at the caret; what is still composed shows there, underlined.
void ListingView::inputMethodEvent(QInputMethodEvent* event) {
    if (!editable_) return event->ignore();
    const bool input =
        !event->commitString().isEmpty() || event->preeditString() != preedit_ || event->replacementLength() > 0;
    preedit_.clear();
    if (input && HasSelection()) ReplaceSelection(QString());
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        const int line = static_cast<int>(Shown(caret_.line)->text.size());
        const Position from{caret_.line, std::clamp(caret_.unit + event->replacementStart(), 0, line)};
        const Position to{caret_.line, std::clamp(from.unit + event->replacementLength(), from.unit, line)};
        EditText(from, to, event->commitString(), true);
    }
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& a : event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor)
            preeditCursor_ = std::clamp(a.start, 0, static_cast<int>(preedit_.size()));
    }
    shownLines_.Clear();  // the caret's line is laid out with what is composed
    LinesReplaced(caret_.line, 1, 1);
    EnsureCaretVisible();
    viewport()->update();
    event->accept();
}

QVariant ListingView::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled: return editable_;
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImFont: return font();
    case Qt::ImCursorRectangle: return CaretRect().translated(viewport()->pos());
    case Qt::ImCursorPosition: return caret_.unit;
    case Qt::ImAnchorPosition: return anchor_.line == caret_.line ? anchor_.unit : caret_.unit;
    case Qt::ImSurroundingText: return LineText(caret_.line);
    case Qt::ImCurrentSelection: return anchor_.line == caret_.line ? SelectedText() : QString();
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void ListingView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    // A click ends what the input method composes, as it ends in any box.
    if (!preedit_.isEmpty()) QGuiApplication::inputMethod()->commit();
    const QPoint at = event->position().toPoint();
    const Position p = PositionAt(at);
    wordDragged_.reset();
    lineDragged_.reset();
    dragging_ = true;
    dragPoint_ = at;
    if (tripleClick_.isActive() && (at - tripleClickPoint_).manhattanLength() < QApplication::startDragDistance()) {
        tripleClick_.stop();
        SelectLineAt(p);
        return;
    }
    MoveCaret(p, (event->modifiers() & Qt::ShiftModifier) != 0);
    desiredX_ = -1;
}

void ListingView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return QAbstractScrollArea::mouseMoveEvent(event);
    dragPoint_ = event->position().toPoint();
    if (viewport()->rect().contains(QPoint(viewport()->width() / 2, dragPoint_.y()))) {
        autoScroll_.stop();
        DragTo(dragPoint_);
    } else if (!autoScroll_.isActive()) {
        autoScroll_.start(kAutoScrollMilliseconds, this);
        AutoScroll();
    }
}

void ListingView::AutoScroll() {
    ScrollDisplayLines(dragPoint_.y() < 0 ? -1 : 1);
    DragTo(QPoint(dragPoint_.x(), std::clamp(dragPoint_.y(), 0, viewport()->height() - 1)));
}

void ListingView::DragTo(QPoint point) {
    const Position p = PositionAt(point);
    if (wordDragged_) {
        ExtendByWords(p, point.x());
    } else if (lineDragged_) {
        ExtendByLines(p);
    } else {
        caret_ = p;
    }
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
    dragging_ = true;
    dragPoint_ = at;
    tripleClickPoint_ = at;
    tripleClick_.start(QApplication::doubleClickInterval(), this);
}

void ListingView::wheelEvent(QWheelEvent* event) {
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    // A fast spin scrolls at most a page at a time, as a scroll bar takes it.
    const int page = verticalScrollBar()->pageStep();
    ScrollDisplayLines(std::clamp(-notches * QApplication::wheelScrollLines(), -page, page));
    event->accept();
}

void ListingView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    if (editable_) {
        menu.addAction(QString::fromUtf8("元に戻す(&U)"), this, [this] { Undo(); })->setEnabled(!undo_.empty());
        menu.addSeparator();
        menu.addAction(QString::fromUtf8("切り取り(&T)"), this, [this] { Cut(); })->setEnabled(HasSelection());
    }
    QAction* copy = menu.addAction(QString::fromUtf8("コピー(&C)"), this, [this] { Copy(); });
    copy->setEnabled(HasSelection());
    if (editable_) {
        menu.addAction(QString::fromUtf8("貼り付け(&P)"), this, [this] { Paste(); })
            ->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    }
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
