#include "core/output/dialog_units.h"

#include <cmath>

namespace core {

DialogUnits::DialogUnits(double lettersWidth, int charHeight) noexcept
    : averageWidth_(lettersWidth / 52.0), charHeight_(charHeight) {}

int DialogUnits::X(int units) const noexcept { return static_cast<int>(std::lround(units * averageWidth_ / 4.0)); }

int DialogUnits::Y(int units) const noexcept { return static_cast<int>(std::lround(units * charHeight_ / 8.0)); }

}  // namespace core
