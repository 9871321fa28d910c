#include "core/search/read_ways.h"

#include <algorithm>

namespace core {

ReadWays::Way ReadWays::Next() {
    const std::lock_guard<std::mutex> hold(lock_);
    Tally& inPlace = tallies_[static_cast<int>(Way::InPlace)];
    Tally& copied = tallies_[static_cast<int>(Way::Copied)];
    if (inPlace.timed >= kTrials && copied.timed >= kTrials) {
        // Nanoseconds per byte, compared without a division.
        const double inPlaceCost = static_cast<double>(inPlace.nanoseconds) * static_cast<double>(copied.bytes);
        const double copiedCost = static_cast<double>(copied.nanoseconds) * static_cast<double>(inPlace.bytes);
        return inPlaceCost < kInPlaceShare * copiedCost ? Way::InPlace : Way::Copied;
    }
    // In turn while timing, on each thread: threads don't cost alike per
    // byte, so each times both ways. A thread's first file goes the way
    // fewer files were begun.
    const std::thread::id thread = std::this_thread::get_id();
    auto last =
        std::find_if(lastWays_.begin(), lastWays_.end(), [&](const auto& seen) { return seen.first == thread; });
    if (last == lastWays_.end()) {
        last =
            lastWays_.insert(lastWays_.end(), {thread, copied.started < inPlace.started ? Way::Copied : Way::InPlace});
    } else {
        last->second = last->second == Way::Copied ? Way::InPlace : Way::Copied;
    }
    ++tallies_[static_cast<int>(last->second)].started;
    return last->second;
}

void ReadWays::Record(Way way, std::uint64_t bytes, std::uint64_t nanoseconds) {
    if (bytes < kLeastTimed || nanoseconds == 0) return;
    const std::lock_guard<std::mutex> hold(lock_);
    Tally& tally = tallies_[static_cast<int>(way)];
    ++tally.timed;
    tally.bytes += bytes;
    tally.nanoseconds += nanoseconds;
}

int ReadWays::Timed(Way way) {
    const std::lock_guard<std::mutex> hold(lock_);
    return tallies_[static_cast<int>(way)].timed;
}

}  // namespace core
