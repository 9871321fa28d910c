// The command's forms of output besides the listing, as grep writes them:
// "path:line:text" lines, the names of the files with a hit line, counts,
// or nothing at all.
#pragma once

#include "cli/options.h"
#include "core/search/command_search.h"

#include <memory>

namespace cli {

// Raised by the quiet form at the first hit line: the search ends there.
struct LineFound {};

// The form of output that report asks for; nullptr for the listing, which
// the core writes. names: whether counts go after their file's name.
std::unique_ptr<core::TargetOutput> OutputFor(Report report, bool names);

// A hit line's text for an editor: in UTF-8, and an LF inside it (a line
// of a file whose lone LFs end no line) as U+240A, so that it stays one line.
std::string EditorText(std::string_view text, const platform::Encoding& encoding);

}  // namespace cli
