// The local search: the lines of one file in which a second search text
// begins, listed without cleaning and without touching the hit table.
#pragma once

#include "core/run_progress.h"
#include "core/search/listing_sink.h"
#include "core/search/search_text.h"
#include "core/search/text_form.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

struct LocalListing {
    std::string text;  // one line per hit, then one more CR LF
    std::size_t hitLines = 0;
};

// Scans the file at path (native) for the text's form in the file's
// encoding. A file error raises EInOutError. Reading is reported to
// progress, when given; when it asks to stop, the search raises EAbort. The
// file is written in form, and the listing in listing, hit lines of another
// encoding converted as the global search converts them (without one, in
// the form's encoding, or code page 932 for a form found in the file).
LocalListing RunLocalSearch(std::string_view path, const SearchText& text, RunProgress* progress = nullptr,
                            const TextForm& form = {}, const platform::Encoding* listing = nullptr);
// The same for a search text given as bytes of the form's encoding.
LocalListing RunLocalSearch(std::string_view path, std::string_view searchText, RunProgress* progress = nullptr,
                            const TextForm& form = {}, const platform::Encoding* listing = nullptr);

// The same, writing the listing to sink as it is made and returning the hit
// lines; on an error, the lines found before it stay written.
std::size_t StreamLocalSearch(std::string_view path, const SearchText& text, ListingSink& sink,
                              RunProgress* progress = nullptr, const TextForm& form = {},
                              const platform::Encoding* listing = nullptr);

}  // namespace core
