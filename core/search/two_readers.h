// The global search with two readers at once, each taking the next target,
// while the calling thread writes the listing in target order as its blocks
// come. Internal to the global search.
#pragma once

#include "core/run_progress.h"
#include "core/search/hit_table.h"
#include "core/search/listing_sink.h"
#include "core/search/target_search.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace core {

// Searches the targets (numbered from first) as the one-at-a-time search
// does, with the same listing, table and first error (or every error, handed
// to the search's failures). takeTurns makes the readers take the
// targets in turn from the first, so that both are at work. A reader holds
// no more than a few megabytes of a target's lines ahead of the writer.
// Returns the hit lines, or nothing when no reader thread could be started
// (nothing has been read then). Raises the first target's error once the
// targets before it are written; the other reader stops at its next block.
std::optional<std::size_t> SearchWithTwoReaders(const TargetSearch& search, std::span<const std::string> targets,
                                                int first, RunProgress* progress, bool takeTurns, ListingSink& sink,
                                                HitTable& hits);

// For tests: from now on hook is called whenever a reader finds no room for
// its target's next block and is about to wait, with the target's index and
// the bytes its queue holds. It runs under the readers' lock, so the writer
// takes no block before the reader waits; it must not wait on the search.
// Empty calls nothing. Set it while no search runs.
void SetRoomWaitHookForTests(std::function<void(std::size_t target, std::size_t queued)> hook);

}  // namespace core
