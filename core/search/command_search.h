// The command line's search: the global search's reading (two readers when
// it pays), over any number of targets taken a batch at a time, with a
// failing target reported and the others searched, and with forms of output
// other than the listing.
#pragma once

#include "core/search/hit_table.h"
#include "core/search/listing_sink.h"
#include "core/search/read_ways.h"
#include "core/search/search_text.h"
#include "core/search/target_search.h"
#include "core/search/text_form.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>

namespace core {

// A form of a target's part of the output other than the listing's: the
// command's lines of file names, counts or "path:line:text". Called on the
// thread that reads the target; what it appends to part is written out in
// target order.
class TargetOutput {
public:
    virtual ~TargetOutput() = default;
    // One hit line: its number, and its text as the listing shows it, in
    // encoding. False when the target's further lines are not needed: its
    // reading stops there, as at its end. May raise; the target then fails
    // with that error.
    virtual bool Hit(ListingPart& part, std::string_view name, std::int64_t number, const HitText& text,
                     const platform::Encoding& encoding) = 0;
    // The target was read to its end, or as far as Hit wanted.
    virtual void End(ListingPart& part, std::string_view name, std::size_t hitLines) = 0;
};

// Where the error of a target goes while the others are searched. What
// Failed raises ends the search.
class TargetFailures {
public:
    virtual ~TargetFailures() = default;
    // target is as given to Search; error is the target's.
    virtual void Failed(const std::string& target, const std::exception_ptr& error) = 0;
};

// The target that reads standard input, named name in the output.
std::string StandardInputTarget(std::string_view name);

class CommandSearch {
public:
    // The listing (with its heading written by WriteHeading) when output is
    // null, else output's form. The targets are written in form and the
    // listing in listing, as in the global search.
    CommandSearch(const SearchText& text, const TextForm& form, const platform::Encoding* listing, TargetOutput* output,
                  TargetFailures& failures);

    // The listing's heading.
    void WriteHeading(ListingSink& sink) const;

    // Searches targets (native paths, or standard input's), numbered on from
    // the last one searched before, and writes their output to sink in
    // order. A failing target is handed to failures after the targets before
    // it are written, and the next one is searched. Returns their hit lines.
    std::size_t Search(std::span<const std::string> targets, ListingSink& sink);

    // A target refused before its search keeps its number, as a failing one does.
    void PassOver() noexcept { ++searched_; }

private:
    ReadWays ways_;  // before search_, which points to it
    TargetSearch search_;
    HitTable hits_;  // the first 20 targets' rows, unused by the command
    int searched_ = 0;
};

}  // namespace core
