#include "core/search/local_search.h"

#include "core/search/line_reader.h"
#include "core/search/listing_format.h"
#include "core/search/listing_sink.h"
#include "core/search/scan_lines.h"

namespace core {

std::size_t StreamLocalSearch(std::string_view path, std::string_view searchText, ListingSink& sink,
                              RunProgress* progress, const TextForm& form) {
    std::size_t hitLines = 0;
    ListingPart part(sink);
    LineReader reader;
    reader.SetForm(form);
    try {
        WithTextFile(reader, path, [&](LineReader& r) {
            WatchReading(r, path, progress);
            ScanLines(r, searchText, LineCleaning::None,
                      [&](std::int64_t, std::string_view label, std::string_view text) {
                          part.AppendLabelled(label, text);
                          ++hitLines;
                      });
        });
    } catch (...) {
        // The lines found before the error are written, as the global search does.
        if (hitLines > 0) part.Flush();
        throw;
    }
    part.Append(kCRLF);
    part.Flush();
    return hitLines;
}

LocalListing RunLocalSearch(std::string_view path, std::string_view searchText, RunProgress* progress,
                            const TextForm& form) {
    CollectingSink sink;
    LocalListing listing;
    listing.hitLines = StreamLocalSearch(path, searchText, sink, progress, form);
    listing.text = sink.Take();
    return listing;
}

}  // namespace core
