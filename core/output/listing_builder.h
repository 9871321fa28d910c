// A listing made as a search hands it over, a block at a time: each block is
// appended where the listing will stay and its lines indexed at once, while
// the block is still in the cache, so nothing is left to do when the search
// ends and the listing is never copied whole.
#pragma once

#include "core/output/listing_lines.h"
#include "core/output/pages_ahead.h"
#include "core/run_progress.h"
#include "core/search/listing_sink.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class ListingBuilder final : public ListingSink {
public:
    // Room for about what a search of inputBytes lists when every line is a
    // hit; the room not written costs address space, not memory. More is
    // taken as needed.
    void Expect(std::uint64_t inputBytes);
    // Appends the block and records where each line after one of its CR LFs
    // starts (a CR LF may be split between two blocks).
    void Write(std::string block) override;
    // The listing so far, indexed exactly as ListingLines(bytes) indexes it;
    // the builder is left empty.
    ListingLines Take();

private:
    // Records the line starts after the CR LFs that end at or past from.
    void IndexLineEnds(std::size_t from);
    // Makes room for at least size bytes; the pages ahead follow the bytes.
    void Reserve(std::size_t size);

    std::string bytes_;
    std::vector<std::uint64_t> starts_{0};
    // After bytes_: it stops before they go.
    std::optional<PagesAhead> ahead_;
};

// Passes a run's progress on, and tells a builder the bytes the run expects
// to read before it writes any of the listing.
class ExpectingProgress final : public RunProgress {
public:
    ExpectingProgress(RunProgress& progress, ListingBuilder& builder) noexcept
        : progress_(progress), builder_(builder) {}
    void SetTotal(std::uint64_t bytes) override;
    void StartFile(std::string_view path) override { progress_.StartFile(path); }
    bool Read(std::uint64_t bytes) override { return progress_.Read(bytes); }

private:
    RunProgress& progress_;
    ListingBuilder& builder_;
};

}  // namespace core
