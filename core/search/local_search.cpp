#include "core/search/local_search.h"

#include "core/search/line_reader.h"
#include "core/search/listing_format.h"
#include "core/search/listing_sink.h"
#include "core/search/scan_lines.h"

namespace core {

std::size_t StreamLocalSearch(std::string_view path, const SearchText& text, ListingSink& sink, RunProgress* progress,
                              const TextForm& form, const platform::Encoding* listing) {
    const platform::Encoding& to = ListingEncoding(form, listing);
    std::size_t hitLines = 0;
    ListingPart part(sink);
    LineReader reader;
    reader.SetForm(form);
    try {
        WithTextFile(reader, path, [&](LineReader& r) {
            WatchReading(r, path, progress);
            const platform::Encoding& from = *r.Form().encoding;
            const std::string* phrase = text.In(from);
            ScanLines(r, phrase != nullptr ? std::string_view(*phrase) : std::string_view(), LineCleaning::None,
                      [&](std::int64_t, std::string_view label, const HitText& line) {
                          part.AppendLabelled(label, line, from, to);
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

LocalListing RunLocalSearch(std::string_view path, const SearchText& text, RunProgress* progress, const TextForm& form,
                            const platform::Encoding* listing) {
    CollectingSink sink;
    LocalListing result;
    result.hitLines = StreamLocalSearch(path, text, sink, progress, form, listing);
    result.text = sink.Take();
    return result;
}

LocalListing RunLocalSearch(std::string_view path, std::string_view searchText, RunProgress* progress,
                            const TextForm& form, const platform::Encoding* listing) {
    return RunLocalSearch(path, SearchTextOfBytes(searchText, form), progress, form, listing);
}

}  // namespace core
