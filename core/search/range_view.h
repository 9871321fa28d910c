// A range of lines of one file, labelled for the viewer, and the display
// lines that the last global search marks as hits.
#pragma once

#include "core/run_progress.h"
#include "core/search/hit_table.h"
#include "core/search/text_form.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The viewer's caption for a file: "全文表示 ⇒　" and the path.
std::string ViewerCaption(std::string_view path);

struct RangeView {
    // Lines first..last as "LLLLL: line" with CR LF each, uncleaned, in the
    // file's own encoding (UTF-8 for UTF-16); empty when the file ends
    // before first.
    std::string text;
    const platform::Encoding* encoding = &platform::Cp932();
    // Display line numbers (0 = line first) to colour, in hit table order.
    std::vector<std::int64_t> hitDisplayLines;
};

// The display lines of the hits of target index inside first..last. An index
// outside 1 to 20 has no row and colours nothing.
std::vector<std::int64_t> HitDisplayLines(const HitTable& hits, int index, std::int64_t first, std::int64_t last);

// Reads lines 1..last of the file at path (stopping early at its end), keeps
// first..last and names the hit lines among them. A file error raises
// EInOutError; the file is closed on every way out. The text keeps only its
// first maxTextBytes bytes, and the reader holds no more of a line than the
// text can take, so a huge line costs memory only as far as it is shown; the
// lines after them are still read to last.
// Reading is reported to progress, when given; when it asks to stop, the
// rendering raises EAbort. The file (native path) is written in form.
RangeView RenderRange(std::string_view path, int index, const HitTable& hits, std::int64_t first, std::int64_t last,
                      std::size_t maxTextBytes = std::string::npos, RunProgress* progress = nullptr,
                      const TextForm& form = {});

}  // namespace core
