// The search of one target of the global search, as both of its ways of
// reading (one target after another, or two readers at once) run it.
// Internal to the global search.
#pragma once

#include "core/run_progress.h"
#include "core/search/global_search.h"
#include "core/search/hit_table.h"
#include "core/search/listing_sink.h"
#include "core/search/search_text.h"
#include "core/search/text_form.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class TargetOutput;
class TargetFailures;
class ReadWays;

// What the search of one target gave besides its lines: the line numbers
// its row of the hit table keeps, and the error that ended it.
struct TargetResult {
    std::vector<std::int64_t> row;
    std::size_t hitLines = 0;
    std::exception_ptr error;
};

// What the search of every target of one global search shares: the text,
// how the targets are read and which way the large ones are, and the
// encoding the listing is written in. The command line may ask for another
// form of output than the listing, and for a failing target to be reported
// while the others are searched.
struct TargetSearch {
    const SearchText& text;
    TextForm form;
    const platform::Encoding& listing;
    TargetOutput* output = nullptr;
    TargetFailures* failures = nullptr;
    ReadWays* ways = nullptr;  // how large targets are read (none: in place)
};

// A target's name in the output: its path, or for standard input (a path
// empty up to its NUL) what follows the NUL.
std::string_view TargetName(std::string_view path) noexcept;

// Searches target k at path (native) and hands its header line, its hit
// lines and its closing empty line to out, or what the search's other form
// of output makes of them. Never throws: the error is kept in the result,
// after the lines found before it were handed on (none when there were no
// hit lines yet, unless part of a long one went out).
void SearchTarget(const TargetSearch& search, const std::string& path, int k, ListingSink& out, TargetResult& result,
                  RunProgress* progress) noexcept;

// Settles target k at path once its lines are written: records its row of
// the hit table (for k up to 20), raises its error or hands it to the
// search's failures, and returns its hit lines.
std::size_t Settle(const TargetSearch& search, const std::string& path, const TargetResult& result, int k,
                   HitTable& hits);

// Searches the targets, numbered from first, and writes their lines to sink
// in order, as the global search does after its heading: with two readers
// when it pays (see Readers), else one target after another. Reading is
// reported to progress, when given. Returns the hit lines; raises the first
// target's error unless the search hands it to its failures.
std::size_t StreamTargets(const TargetSearch& search, std::span<const std::string> targets, int first, HitTable& hits,
                          ListingSink& sink, RunProgress* progress, Readers readers);

}  // namespace core
