#include "core/search/range_view.h"

#include "core/General1.h"
#include "core/search/line_reader.h"
#include "core/search/listing_format.h"
#include "core/texts.h"

namespace core {

std::string ViewerCaption(std::string_view path) {
    std::string caption = texts::ViewerCaptionPrefix();
    caption += path;
    return caption;
}

std::vector<std::int64_t> HitDisplayLines(const HitTable& hits, int index, std::int64_t first, std::int64_t last) {
    std::vector<std::int64_t> lines;
    if (index < 1 || index > HitTable::kTargets) return lines;
    const auto row = hits.Row(index);
    // Slot 1 is looked at even when it holds the end mark; 0 is in no range.
    for (std::size_t j = 0; j < row.size(); ++j) {
        const std::int64_t a = row[j];
        if (first <= a && a <= last) lines.push_back(a - first);
        if (j + 1 >= row.size() || row[j + 1] == 0) break;
    }
    return lines;
}

RangeView RenderRange(std::string_view path, int index, const HitTable& hits, std::int64_t first, std::int64_t last,
                      std::size_t maxTextBytes, RunProgress* progress, const TextForm& form) {
    RangeView view;
    LineReader reader;
    reader.SetForm(form);
    WithTextFile(reader, path, [&](LineReader& r) {
        WatchReading(r, path, progress);
        view.encoding = r.Form().encoding;
        std::string_view line;  // viewed, not copied: most lines are only passed over
        char label[5];
        for (std::int64_t i = 1; !r.AtEnd() && i <= last; ++i) {
            // Only what the text can still take of a line is held.
            const bool shown = i >= first && view.text.size() < maxTextBytes;
            r.ReadLineView(line, shown ? maxTextBytes - view.text.size() : 0);
            if (shown) {
                WriteLineLabel(i, label);
                // The label, ": " and CR LF add to the line, so a line cut here
                // still fills the text past the limit and is then cut exactly.
                AppendLabelledLine(view.text, std::string_view(label, 5),
                                   line.substr(0, maxTextBytes - view.text.size()));
                if (view.text.size() > maxTextBytes) view.text.resize(maxTextBytes);
            }
        }
    });
    view.hitDisplayLines = HitDisplayLines(hits, index, first, last);
    return view;
}

}  // namespace core
