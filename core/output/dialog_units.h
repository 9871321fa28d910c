// Dialog units: a dialog's sizes counted in its font's character cells, so
// that the dialog grows with its font.
#pragma once

namespace core {

class DialogUnits {
public:
    // lettersWidth: the width of the 52 letters A-Z a-z set in the dialog's
    // font; charHeight: the font's character height; both in pixels.
    DialogUnits(double lettersWidth, int charHeight) noexcept;

    // A horizontal unit is a quarter of the average letter width, a vertical
    // unit an eighth of the character height; rounded to the nearest pixel.
    int X(int units) const noexcept;
    int Y(int units) const noexcept;

private:
    double averageWidth_;
    int charHeight_;
};

}  // namespace core
