#include "core/search/read_ways.h"

namespace core {

ReadWays::Way ReadWays::Next() {
    const std::lock_guard<std::mutex> hold(lock_);
    Tally& inPlace = tallies_[static_cast<int>(Way::InPlace)];
    Tally& copied = tallies_[static_cast<int>(Way::Copied)];
    if (inPlace.timed >= kTrials && copied.timed >= kTrials) {
        // Nanoseconds per byte, compared without a division.
        const double inPlaceCost = static_cast<double>(inPlace.nanoseconds) * static_cast<double>(copied.bytes);
        const double copiedCost = static_cast<double>(copied.nanoseconds) * static_cast<double>(inPlace.bytes);
        return copiedCost < inPlaceCost ? Way::Copied : Way::InPlace;
    }
    // In turn while timing, counting the files begun: two readers may each
    // be reading one.
    Tally& next = copied.started < inPlace.started ? copied : inPlace;
    ++next.started;
    return &next == &copied ? Way::Copied : Way::InPlace;
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
