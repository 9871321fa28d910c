// The display lines of a listing box: its lines as the box wraps them.
#pragma once

#include "core/output/listing_lines.h"

#include <QFont>

#include <functional>
#include <string>
#include <vector>

namespace ui {

class ListingView;

// The bytes of every display line of box, first to last, taken from the
// listing the box shows. Each is at most core::kMaxDisplayLine bytes; a break
// inside a line ends its display line and is not part of it; an empty line
// after the final line end is not counted. Text the box shows with no bytes
// behind it (the mark of a cut line) is given in the code page as shown.
std::vector<std::string> DisplayLines(const ListingView& box);
// The same for a listing laid out in font at width, as a box with them shows
// it; needs no widget, so it may run on any thread. eachLine, when given,
// runs before each listing line is laid out (what it throws ends the work).
std::vector<std::string> DisplayLines(const core::ListingLines& listing, const QFont& font, qreal width,
                                      const std::function<void()>& eachLine = {});

}  // namespace ui
