// The listing box's caret and selection, and what the selection reads back:
// the listing's own bytes or the text as shown.
#include "ui/listing_box/listing_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace ui {

namespace {

// A break inside a line (U+2028) and the end of a line both copy as '\n'.
QString CopiedText(QString text) { return text.replace(QChar::LineSeparator, QLatin1Char('\n')); }

}  // namespace

ListingView::Position ListingView::Clamped(Position p) const {
    p.line = std::min(p.line, LineCount() - 1);
    p.unit = std::clamp(p.unit, 0, static_cast<int>(Shown(p.line)->text.size()));
    return p;
}

ListingView::Position ListingView::LineEnd(std::size_t line) const {
    return {line, static_cast<int>(Shown(line)->text.size())};
}

ListingView::Position ListingView::DocumentEnd() const { return LineEnd(LineCount() - 1); }

void ListingView::SetSelection(Position anchor, Position caret) {
    pageY_.reset();
    anchor_ = Clamped(anchor);
    caret_ = Clamped(caret);
    desiredX_ = -1;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

// As a plain text box selects all: the view stays where it is.
void ListingView::SelectAll() {
    pageY_.reset();
    anchor_ = {};
    caret_ = DocumentEnd();
    desiredX_ = -1;
    RestartBlink();
    viewport()->update();
}

std::size_t ListingView::ByteOffset(Position p) const {
    if (edits_) return 0;
    const std::vector<std::size_t>& byteAt = Shown(p.line)->byteAt;
    return listing_.Start(p.line) + byteAt[std::min(static_cast<std::size_t>(p.unit), byteAt.size() - 1)];
}

std::string_view ListingView::SelectedBytes() const {
    const std::size_t a = ByteOffset(std::min(anchor_, caret_)), b = ByteOffset(std::max(anchor_, caret_));
    return std::string_view(listing_.Bytes()).substr(a, b - a);
}

QString ListingView::TextBetween(Position from, Position to) const {
    QString text;
    for (std::size_t line = from.line; line <= to.line; ++line) {
        const QString shown = LineText(line);
        const int start = line == from.line ? from.unit : 0;
        const int end = line == to.line ? to.unit : static_cast<int>(shown.size());
        text += shown.mid(start, end - start);
        if (line < to.line) text += QLatin1Char('\n');
    }
    return text;
}

QString ListingView::SelectedText() const {
    return CopiedText(TextBetween(std::min(anchor_, caret_), std::max(anchor_, caret_)));
}

void ListingView::Copy() const {
    if (HasSelection()) QGuiApplication::clipboard()->setText(SelectedText());
}

void ListingView::MoveCaret(Position to, bool select) {
    pageY_.reset();
    caret_ = Clamped(to);
    if (!select) anchor_ = caret_;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

// A word as a plain text editor finds it (QTextCursor's StartOfWord and
// EndOfWord over the line): letters up to a space or a punctuation mark, so
// a run of kanji and kana is a word, as a run of katakana or ASCII letters is.
void ListingView::SelectWordAt(Position p) {
    QTextDocument line(Shown(p.line)->text);
    QTextCursor word(&line);
    word.setPosition(std::clamp(p.unit, 0, static_cast<int>(line.characterCount()) - 1));
    word.select(QTextCursor::WordUnderCursor);
    anchor_ = {p.line, word.selectionStart()};
    caret_ = {p.line, word.selectionEnd()};
    wordDragged_ = {anchor_, caret_};
    RestartBlink();
    viewport()->update();
}

// As a plain text editor extends a selection begun by a double-click: inside
// the first word it stays that word; elsewhere it runs to the nearer edge of
// the word under the mouse.
void ListingView::ExtendByWords(Position p, qreal x) {
    const auto [first, last] = *wordDragged_;
    if (first <= p && p <= last) {
        anchor_ = first;
        caret_ = last;
        return;
    }
    const auto shown = Shown(p.line);
    QTextDocument line(shown->text);
    QTextCursor word(&line);
    word.setPosition(std::clamp(p.unit, 0, static_cast<int>(line.characterCount()) - 1));
    if (!word.movePosition(QTextCursor::StartOfWord)) return;
    const int start = word.position();
    if (!word.movePosition(QTextCursor::EndOfWord)) return;
    const int end = word.position();
    const DisplayPos startAt = DisplayOf({p.line, start});
    if (DisplayOf({p.line, end}) != startAt || end == start || shown->layout.lineCount() == 0) return;
    const QTextLine row = shown->layout.lineAt(startAt.sub);
    const qreal startX = row.cursorToX(start) + TextLeft(), endX = row.cursorToX(end) + TextLeft();
    anchor_ = p < first ? last : first;
    caret_ = {p.line, x - startX < endX - x ? start : end};
}

// As a drag begun by a triple-click goes: by whole lines with their ends.
void ListingView::ExtendByLines(Position p) {
    const auto [first, last] = *lineDragged_;
    if (first <= p && p <= last) {
        anchor_ = first;
        caret_ = last;
    } else if (p < first) {
        anchor_ = last;
        caret_ = {p.line, 0};
    } else {
        anchor_ = first;
        caret_ = p.line + 1 < LineCount() ? Position{p.line + 1, 0} : LineEnd(p.line);
    }
}

// The whole line with its line end, as a triple-click takes it.
void ListingView::SelectLineAt(Position p) {
    anchor_ = {p.line, 0};
    caret_ = p.line + 1 < LineCount() ? Position{p.line + 1, 0} : LineEnd(p.line);
    lineDragged_ = {anchor_, caret_};
    viewport()->update();
}

}  // namespace ui
