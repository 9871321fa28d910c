#include "core/search/local_search.h"

#include "core/search/hit_rule.h"
#include "core/search/line_reader.h"
#include "core/search/listing_format.h"

namespace core {

LocalListing RunLocalSearch(std::string_view path, std::string_view searchText, RunProgress* progress,
                            const TextForm& form) {
    LocalListing listing;
    LineReader reader;
    reader.SetForm(form);
    WithTextFile(reader, path, [&](LineReader& r) {
        WatchReading(r, path, progress);
        ScanLines(r, searchText, LineCleaning::None, [&](std::int64_t, std::string_view label, std::string_view text) {
            AppendLabelledLine(listing.text, label, text);
            ++listing.hitLines;
        });
    });
    listing.text += kCRLF;
    return listing;
}

}  // namespace core
