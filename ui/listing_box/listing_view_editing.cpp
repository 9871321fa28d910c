// Editing an editable listing box in place, as a plain text editor edits:
// typing, the input method, Backspace and Delete, Return, paste and cut, with
// undo and redo. Only the lines edited become text of their own.
#include "ui/listing_box/listing_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

namespace ui {

namespace {

// Text from outside holds line ends of any kind; the box's lines end at '\n'.
QString WithLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

}  // namespace

ListingView::Position ListingView::EndOf(Position from, const QString& text) {
    const auto breaks = static_cast<std::size_t>(text.count(QLatin1Char('\n')));
    if (breaks == 0) return {from.line, from.unit + static_cast<int>(text.size())};
    return {from.line + breaks, static_cast<int>(text.size() - text.lastIndexOf(QLatin1Char('\n')) - 1)};
}

ListingView::Position ListingView::ReplaceText(Position from, Position to, const QString& text) {
    if (!edits_) edits_.emplace(listing_.Count());
    const QStringList parts = text.split(QLatin1Char('\n'));
    std::vector<QString> lines(parts.begin(), parts.end());
    const Position end = EndOf(from, text);
    lines.front().prepend(LineText(from.line).left(from.unit));
    lines.back().append(LineText(to.line).mid(to.unit));
    const std::size_t added = lines.size();
    edits_->Replace(from.line, to.line - from.line + 1, std::move(lines));
    // Lines below may have moved; the few on screen are laid out again.
    shownLines_.Clear();
    LinesReplaced(from.line, to.line - from.line + 1, added);
    return end;
}

void ListingView::EditText(Position from, Position to, const QString& text, bool typing) {
    if (from == to && text.isEmpty()) return;
    const QString removed = TextBetween(from, to);
    // Typing on where the last typing ended is one step of undo, as in a
    // plain text editor.
    if (typing && typingUndo_ && removed.isEmpty() && !undo_.empty() &&
        EndOf(undo_.back().from, undo_.back().inserted) == from) {
        undo_.back().inserted += text;
    } else {
        undo_.push_back({from, removed, text, anchor_, caret_});
    }
    typingUndo_ = typing && removed.isEmpty();
    redo_.clear();
    anchor_ = caret_ = ReplaceText(from, to, text);
    pageY_.reset();
    RestartBlink();
    ShowEdited();
}

void ListingView::ShowEdited() {
    desiredX_ = -1;
    SyncScrollBar();
    EnsureCaretVisible();
    viewport()->update();
}

void ListingView::ReplaceSelection(const QString& text, bool typing) {
    EditText(std::min(anchor_, caret_), std::max(anchor_, caret_), text, typing);
}

void ListingView::Undo() {
    if (undo_.empty()) return;
    Edit step = std::move(undo_.back());
    undo_.pop_back();
    ReplaceText(step.from, EndOf(step.from, step.inserted), step.removed);
    anchor_ = Clamped(step.anchorBefore);
    caret_ = Clamped(step.caretBefore);
    redo_.push_back(std::move(step));
    typingUndo_ = false;
    ShowEdited();
}

void ListingView::Redo() {
    if (redo_.empty()) return;
    Edit step = std::move(redo_.back());
    redo_.pop_back();
    anchor_ = caret_ = ReplaceText(step.from, EndOf(step.from, step.removed), step.inserted);
    undo_.push_back(std::move(step));
    typingUndo_ = false;
    ShowEdited();
}

void ListingView::Paste() {
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty()) ReplaceSelection(WithLineFeeds(text));
}

void ListingView::Cut() {
    if (!HasSelection()) return;
    Copy();
    ReplaceSelection(QString());
}

bool ListingView::IsTyping(const QKeyEvent* event) const {
    // A letter with Ctrl, Alt or Meta is a command or a menu's, never text.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = event->text();
    return !text.isEmpty() && (text.at(0).isPrint() || text.at(0) == QLatin1Char('\t'));
}

bool ListingView::EditByKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) {
        Undo();
    } else if (event->matches(QKeySequence::Redo)) {
        Redo();
    } else if (event->matches(QKeySequence::Cut)) {
        Cut();
    } else if (event->matches(QKeySequence::Paste)) {
        Paste();
    } else if (event->matches(QKeySequence::InsertParagraphSeparator)) {
        ReplaceSelection(QStringLiteral("\n"));
    } else if (event->matches(QKeySequence::InsertLineSeparator)) {
        ReplaceSelection(QString(QChar::LineSeparator));
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        if (HasSelection()) {
            ReplaceSelection(QString());
        } else if (caret_.unit > 0) {
            // One character back, a pair of surrogates as one.
            const QString& text = Shown(caret_.line)->text;
            int from = caret_.unit - 1;
            if (from > 0 && text.at(from).isLowSurrogate() && text.at(from - 1).isHighSurrogate()) --from;
            EditText({caret_.line, from}, caret_, QString());
        } else if (caret_.line > 0) {
            EditText(LineEnd(caret_.line - 1), caret_, QString());
        }
    } else if (event->matches(QKeySequence::Delete)) {
        if (HasSelection()) {
            ReplaceSelection(QString());
        } else if (caret_.unit < Shown(caret_.line)->text.size()) {
            EditText(caret_, {caret_.line, Shown(caret_.line)->layout.nextCursorPosition(caret_.unit)}, QString());
        } else if (caret_.line + 1 < LineCount()) {
            EditText(caret_, {caret_.line + 1, 0}, QString());
        }
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        if (!HasSelection() && caret_.unit > 0) {
            anchor_ = {caret_.line,
                       Shown(caret_.line)->layout.previousCursorPosition(caret_.unit, QTextLayout::SkipWords)};
        }
        ReplaceSelection(QString());
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        if (!HasSelection() && caret_.unit < Shown(caret_.line)->text.size()) {
            anchor_ = {caret_.line, Shown(caret_.line)->layout.nextCursorPosition(caret_.unit, QTextLayout::SkipWords)};
        }
        ReplaceSelection(QString());
    } else if (IsTyping(event)) {
        ReplaceSelection(event->text(), true);
    } else {
        return false;
    }
    return true;
}

}  // namespace ui
