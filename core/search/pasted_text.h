// Text pasted into a one-line search box, made one line the way the global
// search joins a line to the next.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core {

// The pasted text (UTF-8) as one line: each line end (CR LF, a lone CR or
// LF, U+0085, U+2028, U+2029) is dropped with the ideographic spaces that open
// the line after it, as the global search drops a line's indent before it
// joins the line to the one before. So a phrase copied across a line end of
// a hard-wrapped text finds the place it was copied from. The first line
// keeps its own indent, as line 1 of a file does. nullopt when the text holds
// a NUL: a search text never holds one.
std::optional<std::string> JoinPastedLines(std::string_view utf8);

}  // namespace core
