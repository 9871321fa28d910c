// A listing box drawn from the listing's bytes. The bytes are held once, with
// an index of line starts; only the lines on screen are laid out and drawn,
// so a listing of millions of lines shows as fast as a short one. Lines wrap
// at the box's width; the text is selected by mouse and keyboard and read
// back from the original bytes. An editable box is edited in place: its
// edited lines are kept beside the bytes (EditedLines), so the first key
// costs no more than the next.
#pragma once

#include "core/output/listing_lines.h"
#include "ui/listing_box/edited_lines.h"
#include "ui/listing_box/shown_line_cache.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QRect>
#include <QString>

#include <compare>
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

// Line bytes laid out as a listing box lays them out, in font, wrapped at
// width: what the box draws and what printing takes. Needs no widget, so it
// may run on any thread.
std::unique_ptr<ShownLine> LayOutListingLine(std::string_view bytes, const QFont& font, qreal width);

class ListingView : public QAbstractScrollArea {
public:
    // A place in the text: a line, and a UTF-16 position in what it shows.
    struct Position {
        std::size_t line = 0;
        int unit = 0;
        friend auto operator<=>(const Position&, const Position&) = default;
    };

    explicit ListingView(QWidget* parent = nullptr);

    // Shows listing from its first line, with the caret there, unedited.
    void SetListing(core::ListingLines listing);
    // The listing as it was filled in, whatever was edited since.
    const core::ListingLines& Listing() const noexcept { return listing_; }
    // The number of lines shown, edited ones included.
    std::size_t LineCount() const noexcept { return edits_ ? edits_->Count() : listing_.Count(); }

    // What line i shows: as edited, or else as core::ListingBoxText gives it
    // (NUL as ␀, a lone CR or LF as a break inside the line, a very long line
    // cut with a mark).
    QString LineText(std::size_t line) const;
    // Every line as shown, joined by '\n'.
    QString ToPlainText() const;
    // Line i laid out as the box lays it out now: what printing takes.
    std::unique_ptr<ShownLine> LayOutLine(std::size_t line) const;
    // The width the lines wrap at now.
    qreal WrapWidth() const { return TextWidth(); }

    Position Anchor() const noexcept { return anchor_; }
    Position Caret() const noexcept { return caret_; }
    bool HasSelection() const noexcept { return anchor_ != caret_; }
    // Selects from anchor to caret (each kept inside the text) and scrolls
    // the caret into view.
    void SetSelection(Position anchor, Position caret);
    // Selects the whole text where the view stands.
    void SelectAll();
    // The bytes under the selection, as the box was filled with them (empty
    // once the box is edited).
    std::string_view SelectedBytes() const;
    // The selection as shown; breaks become '\n'.
    QString SelectedText() const;
    void Copy() const;

    // The first line drawn at the top.
    std::size_t TopLine() const noexcept { return top_.line; }
    // The place under a point of the viewport, as a click there takes it.
    Position PositionAt(QPoint point) const;

    // Lets keys, the input method, paste and cut change the text, with undo.
    void SetEditable(bool editable);
    bool IsEdited() const noexcept { return edits_.has_value(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // A display line: a line and the index of one of the lines it wraps into.
    struct DisplayPos {
        std::size_t line = 0;
        int sub = 0;
        friend auto operator<=>(const DisplayPos&, const DisplayPos&) = default;
    };

    std::shared_ptr<const ShownLine> Shown(std::size_t line) const;
    // After the text, the font or the size changed; layouts are made anew
    // when they changed or the width did.
    void Relayout(bool layoutsChanged);
    qreal TextWidth() const;
    // Where the text starts across the viewport.
    static qreal TextLeft();

    // Display lines and scrolling (listing_view_scrolling.cpp).
    int WrapCount(std::size_t line) const;
    qreal HeightOf(DisplayPos p) const;
    bool Next(DisplayPos& p) const;
    bool Previous(DisplayPos& p) const;
    DisplayPos DisplayOf(Position p) const;
    // The top that shows p as the last display line within room pixels.
    DisplayPos TopShowingAtBottom(DisplayPos p, qreal room) const;
    DisplayPos MaxTop() const;
    // After the lines' heights changed.
    void ForgetHeights();
    // After removed lines from first were replaced by added others.
    void LinesReplaced(std::size_t first, std::size_t removed, std::size_t added);
    void SetTop(DisplayPos top);
    // Scrolls up to count display lines and tells how many it scrolled.
    int ScrollDisplayLines(int count);
    // Where the top display line's top is drawn: below the margin only at the
    // start of the text, as a plain text box draws it.
    qreal TopY() const;
    // Where the top of display line p is drawn; beyond a page off the screen,
    // some place off it.
    qreal YOf(DisplayPos p) const;
    std::optional<DisplayPos> PageBelow() const;
    DisplayPos PageAbove() const;
    bool CountsDisplayLines() const;
    // Where each line's display lines start, counted from the first.
    const std::vector<std::size_t>& DisplayStarts() const;
    std::size_t DisplayIndex(DisplayPos p) const;
    DisplayPos AtDisplayIndex(std::size_t index) const;
    void SyncScrollBar();
    void ScrollBarAction(int action);
    void EnsureCaretVisible();

    // Caret and selection (listing_view_selection.cpp).
    Position Clamped(Position p) const;
    std::size_t ByteOffset(Position p) const;
    Position LineEnd(std::size_t line) const;
    Position DocumentEnd() const;
    void MoveCaret(Position to, bool select);
    void SelectWordAt(Position p);
    void SelectLineAt(Position p);
    void ExtendByWords(Position p, qreal x);
    void ExtendByLines(Position p);

    // Keys and mouse (listing_view_input.cpp).
    bool Navigate(QKeyEvent* event);
    Position Vertical(Position from, int displayLines);
    Position PageCaret(bool down);
    void RestartBlink();
    // Where the caret is drawn, in the viewport.
    QRect CaretRect() const;
    // The caret's place in its line's layout, after what is composed.
    int CaretUnit() const;
    void AutoScroll();
    // Where a drag has come to, in the viewport.
    void DragTo(QPoint point);
    bool IsTyping(const QKeyEvent* event) const;

    // Editing (listing_view_editing.cpp).
    struct Edit {
        Position from;
        QString removed, inserted;
        Position anchorBefore, caretBefore;
    };
    bool EditByKey(QKeyEvent* event);
    // The text from one place to another as shown, lines joined by '\n'.
    QString TextBetween(Position from, Position to) const;
    static Position EndOf(Position from, const QString& text);
    // Puts text in place of from..to and tells where it ends; no undo.
    Position ReplaceText(Position from, Position to, const QString& text);
    // Puts text in place of from..to as one step of undo, the caret after it.
    void EditText(Position from, Position to, const QString& text, bool typing = false);
    // After the text changed: the caret's column forgotten, the bar and the
    // view brought to the text, the caret shown.
    void ShowEdited();
    void ReplaceSelection(const QString& text, bool typing = false);
    void Undo();
    void Redo();
    void Paste();
    void Cut();

    core::ListingLines listing_;
    DisplayPos top_;
    mutable std::optional<DisplayPos> maxTop_;
    mutable std::optional<std::vector<std::size_t>> displayStarts_;
    // Up to this many lines, all are laid out to count their display lines.
    static constexpr std::size_t kCountedLines = 5000;
    Position anchor_, caret_;
    qreal desiredX_ = -1;         // the x that up and down keep to
    std::optional<qreal> pageY_;  // the y that page up and down keep to
    bool syncingBar_ = false;

    // The lines laid out lately, for Shown.
    mutable ShownLineCache shownLines_;
    qreal laidOutWidth_ = 0;

    bool editable_ = false;
    std::optional<EditedLines> edits_;
    std::vector<Edit> undo_, redo_;
    bool typingUndo_ = false;  // the last step of undo is typing, and grows
    // What the input method is composing at the caret, not yet text.
    QString preedit_;
    int preeditCursor_ = 0;

    bool dragging_ = false;
    // The word a double-click took, or the line a triple-click took, which a
    // drag that follows extends from.
    std::optional<std::pair<Position, Position>> wordDragged_, lineDragged_;
    QPoint dragPoint_;
    QBasicTimer autoScroll_;
    QBasicTimer tripleClick_;
    QPoint tripleClickPoint_;
    QBasicTimer blink_;
    bool caretShown_ = true;
    int wheelRest_ = 0;
};

}  // namespace ui
