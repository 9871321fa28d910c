// The search of one target of the global search, as both of its ways of
// reading (one target after another, or two readers at once) run it, and
// the blocks that a listing is handed on in. Internal to the searches.
#pragma once

#include "core/run_progress.h"
#include "core/search/listing_sink.h"
#include "core/search/text_form.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A target's part of the listing, handed on a block of whole lines at a time.
class ListingPart {
public:
    // Lines are gathered up to this many bytes before they are handed on.
    static constexpr std::size_t kBlock = 256 * 1024;

    explicit ListingPart(ListingSink& out) noexcept : out_(out) {}
    // Appends one line (or the heading) in pieces; a line is never split
    // between blocks.
    void Append(std::string_view a, std::string_view b = {}, std::string_view c = {}, std::string_view d = {}) {
        const std::size_t n = a.size() + b.size() + c.size() + d.size();
        if (!block_.empty() && block_.size() + n > kBlock) Flush();
        // Whole from the start: no copies while it fills, and its memory is
        // about its size.
        if (block_.empty()) block_.reserve(std::max(kBlock, n));
        block_.append(a).append(b).append(c).append(d);
    }
    void Flush() {
        if (block_.empty()) return;
        if (block_.size() < block_.capacity() / 2) block_.shrink_to_fit();  // a target's last lines
        out_.Write(std::move(block_));
        block_ = std::string();
    }

private:
    ListingSink& out_;
    std::string block_;
};

// What the search of one target gave besides its lines: the line numbers
// its row of the hit table keeps, and the error that ended it.
struct TargetResult {
    std::vector<std::int64_t> row;
    std::size_t hitLines = 0;
    std::exception_ptr error;
};

// Searches target k (1 to 20) at path and hands its header line, its hit
// lines and its closing empty line to out. Never throws: the error is kept
// in the result, after the lines found before it were handed on (none when
// there were no hit lines yet).
void SearchTarget(std::string_view searchText, const TextForm& form, const std::string& path, int k, ListingSink& out,
                  TargetResult& result, RunProgress* progress) noexcept;

}  // namespace core
