// The printer's text device: lines of code-page bytes placed on pages by the
// rules of a plain text printer, over any surface that can measure and draw.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

// What the device prints on, in device pixels of the printable area.
class TextSurface {
public:
    struct Extent {
        int width = 0;
        int height = 0;
    };

    virtual ~TextSurface() = default;

    virtual int PrintableWidth() const = 0;
    virtual int PrintableHeight() const = 0;
    virtual int AverageCharWidth() const = 0;
    virtual int FontHeight() const = 0;

    // The size of a run of text bytes (no control bytes among them).
    virtual Extent Measure(std::string_view run) = 0;
    // Draws a run with its top left corner at x, y.
    virtual void Draw(int x, int y, std::string_view run) = 0;
    // Ends the current page and starts the next.
    virtual void NewPage() = 0;
};

// Places text on a surface. Output is collected in pieces of at most
// kPieceSize bytes and handed on when a piece is full and at every line end.
// A tab moves to the next tab stop, LF starts a new line, FF a new page, CR
// only hands on what was collected; every other byte is text. A run of text
// too wide for the rest of the line is shortened one character at a time and
// the rest goes on the next line.
//
// Two things differ from a device that draws whatever it is handed: a piece
// never ends in the middle of a double-byte character (the lead byte waits for
// the next piece, so no character is printed in halves), and a page break that
// nothing is printed after is dropped, so the print never ends on a blank
// sheet. Exceptions from the surface pass through.
class TextDevice {
public:
    static constexpr std::size_t kPieceSize = 128;

    explicit TextDevice(TextSurface& surface);

    // Collects bytes.
    void Write(std::string_view bytes);
    // Collects bytes and a line end (CR LF), and hands on the piece.
    void WriteLine(std::string_view bytes);
    // Hands on what is left. The surface's last page is then complete.
    void Close();

    int X() const noexcept { return x_; }
    int Y() const noexcept { return y_; }
    int LineHeight() const noexcept { return lineHeight_; }

private:
    void Collect(char byte);
    void HandOn(std::size_t length);
    void Process(std::string_view piece);
    void PrintRun(std::string_view run);
    void Tab();
    void NewLine();
    void NewPage();

    TextSurface& surface_;
    std::string piece_;
    bool nextIsTrail_ = false;  // the last collected byte opened a double-byte character
    int x_ = 0;
    int y_ = 0;
    int lineHeight_ = 0;
    int pendingPages_ = 0;  // page breaks not yet passed to the surface
};

// The bytes of one display line as the printer is given them: at most
// kMaxDisplayLine bytes, cut before a double-byte character that would not
// fit whole.
inline constexpr std::size_t kMaxDisplayLine = 4096;
std::string_view LimitDisplayLine(std::string_view line) noexcept;

}  // namespace core
