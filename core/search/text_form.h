// How a file's text is written: its encoding and what ends its lines.
#pragma once

#include "platform/code_page.h"

namespace core {

// CrLf: CR LF or a lone CR ends a line and an LF elsewhere is data, as in
// the files of the home platform. Any: a lone LF ends a line too, as in
// files from Unix.
enum class LineEnds { CrLf, Any };

struct TextForm {
    const platform::Encoding* encoding = &platform::Cp932();
    LineEnds lineEnds = LineEnds::CrLf;
};

}  // namespace core
