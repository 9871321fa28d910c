// The display lines of a listing box: its paragraphs as the box wraps them.
#pragma once

#include "ui/cp_text.h"

#include <string>
#include <vector>

class QPlainTextEdit;

namespace ui {

// The bytes of every display line of box, first to last, taken from shown
// (what box was filled with). Each is at most core::kMaxDisplayLine bytes; a
// break inside a paragraph ends its line and is not part of it; an empty line
// after the final line end is not counted. Text the box shows with no bytes
// behind it (the mark of a cut line) is given in the code page as shown.
std::vector<std::string> DisplayLines(const QPlainTextEdit& box, const CodePageText& shown);

}  // namespace ui
