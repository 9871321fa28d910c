// The listing box's caret and selection, and what the selection reads back:
// the listing's own bytes or the text as shown.
#include "ui/listing_box/listing_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextBoundaryFinder>

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
    anchor_ = Clamped(anchor);
    caret_ = Clamped(caret);
    desiredX_ = -1;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

void ListingView::SelectAll() { SetSelection({}, DocumentEnd()); }

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
    caret_ = Clamped(to);
    if (!select) anchor_ = caret_;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
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
    caret_ = p.line + 1 < LineCount() ? Position{p.line + 1, 0} : LineEnd(p.line);
    viewport()->update();
}

}  // namespace ui
