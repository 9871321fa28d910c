#include "core/global_search.h"

#include "core/hit_rule.h"
#include "core/line_reader.h"
#include "core/listing_format.h"
#include "core/texts.h"

#include <algorithm>

namespace core {

GlobalListing RunGlobalSearch(std::string_view searchText, std::span<const std::string> targets, HitTable& hits) {
    hits.Clear();
    GlobalListing listing;
    std::string& out = listing.text;
    out += texts::ListingHeading();
    out += searchText;
    out += kCRLF;
    out += kCRLF;

    LineReader reader;
    const std::size_t count = std::min(targets.size(), kMaxTargets);
    for (std::size_t i = 0; i < count && !targets[i].empty(); ++i) {
        const int k = static_cast<int>(i) + 1;
        out += FileHeaderLine(targets[i], k);
        out += kCRLF;
        auto row = hits.Row(k);
        std::size_t slot = 0;
        WithTextFile(reader, targets[i], [&](LineReader& r) {
            ScanLines(r, searchText, LineCleaning::StripIdeographicSpaces,
                      [&](std::int64_t n, std::string_view label, std::string_view text) {
                          AppendLabelledLine(out, label, text);
                          ++listing.hitLines;
                          if (slot + 1 < row.size()) row[slot++] = n;
                      });
        });
        out += kCRLF;
    }
    return listing;
}

}  // namespace core
