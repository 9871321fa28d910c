// The search of one target of the global search, as both of its ways of
// reading (one target after another, or two readers at once) run it.
// Internal to the global search.
#pragma once

#include "core/run_progress.h"
#include "core/search/hit_table.h"
#include "core/search/listing_sink.h"
#include "core/search/search_text.h"
#include "core/search/text_form.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// What the search of one target gave besides its lines: the line numbers
// its row of the hit table keeps, and the error that ended it.
struct TargetResult {
    std::vector<std::int64_t> row;
    std::size_t hitLines = 0;
    std::exception_ptr error;
};

// What the search of every target of one global search shares: the text,
// how the targets are read, and the encoding the listing is written in.
struct TargetSearch {
    const SearchText& text;
    TextForm form;
    const platform::Encoding& listing;
};

// Searches target k (1 to 20) at path (native) and hands its header line,
// its hit lines and its closing empty line to out. Never throws: the error
// is kept in the result, after the lines found before it were handed on
// (none when there were no hit lines yet).
void SearchTarget(const TargetSearch& search, const std::string& path, int k, ListingSink& out, TargetResult& result,
                  RunProgress* progress) noexcept;

// Settles target k once its lines are written: records its row of the hit
// table, raises its error, and returns its hit lines.
std::size_t Settle(const TargetResult& result, int k, HitTable& hits);

}  // namespace core
