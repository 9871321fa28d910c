#include "ui/listing_box/display_lines.h"

#include "core/output/text_device.h"
#include "ui/listing_box/listing_view.h"
#include "ui/text/code_page_text.h"

#include <algorithm>

namespace ui {

namespace {

// Where the units that stand for no bytes of their own begin: the box's mark
// after a cut line, which runs to the end of the line.
int FirstUnitWithoutBytes(const ShownLine& shown) {
    const int end = static_cast<int>(shown.text.size());
    for (int p = 0; p < end; ++p) {
        if (!shown.text[p].isHighSurrogate() && shown.byteAt[p] == shown.byteAt[p + 1]) return p;
    }
    return end;
}

}  // namespace

std::vector<std::string> DisplayLines(const ListingView& box) {
    return DisplayLines(box.Listing(), box.font(), box.WrapWidth());
}

std::vector<std::string> DisplayLines(const core::ListingLines& listing, const QFont& font, qreal width,
                                      const std::function<void()>& eachLine) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < listing.Count(); ++i) {
        if (eachLine) eachLine();
        const std::string_view bytes = listing.Line(i);
        if (i + 1 == listing.Count() && bytes.empty()) break;  // after the final line end
        const std::unique_ptr<ShownLine> shown = LayOutListingLine(bytes, font, width);
        const int markAt = FirstUnitWithoutBytes(*shown);
        const QTextLayout& layout = shown->layout;
        for (int k = 0; k < std::max(layout.lineCount(), 1); ++k) {
            int from = 0, to = static_cast<int>(shown->text.size());
            if (layout.lineCount() > 0) {
                from = layout.lineAt(k).textStart();
                to = from + layout.lineAt(k).textLength();
            }
            if (to > from && shown->text.at(to - 1) == QChar::LineSeparator) --to;
            const int split = std::clamp(markAt, from, to);
            std::string line(bytes.substr(shown->byteAt[from], shown->byteAt[split] - shown->byteAt[from]));
            if (split < to) line += ToCodePageLossy(shown->text.mid(split, to - split));
            lines.emplace_back(core::LimitDisplayLine(line));
        }
    }
    return lines;
}

}  // namespace ui
