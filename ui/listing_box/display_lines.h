// The display lines of a listing box: its lines as the box wraps them.
#pragma once

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

}  // namespace ui
