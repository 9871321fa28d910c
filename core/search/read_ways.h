// Which of the two ways of reading a large file costs less: where it lies
// (mapped) or copied into a buffer block by block. The bytes are the same;
// the cost is not, and which is cheaper differs from machine to machine:
// mapping costs the system a page table entry per page, copying costs a
// copy; on some machines the one is dearer by a third, on others the other.
// So the first large files of a search are read each way in turn on each
// thread, each timed in its thread's processor time, and then the way that
// cost less per byte is kept; reading in place only when it costs clearly
// less (see kInPlaceShare). Shared by the readers of one search;
// thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace core {

class ReadWays {
public:
    enum class Way { InPlace, Copied };

    // The way to read the next large file.
    Way Next();
    // A file read one way took nanoseconds of its thread's processor time
    // for bytes bytes, from opening it to closing it.
    void Record(Way way, std::uint64_t bytes, std::uint64_t nanoseconds);
    // How many files read that way were timed.
    int Timed(Way way);

    // Files timed each way before one is kept, and the least a file must
    // hold to be timed: a smaller one costs too little to tell.
    static constexpr int kTrials = 2;
    static constexpr std::uint64_t kLeastTimed = std::uint64_t{1} << 20;
    // Reading in place is kept only when it costs less than this share of
    // copying per byte. The trials time a few files as the search starts,
    // and there reading in place came out up to a fifth ahead on a machine
    // where copying made every whole search faster: a near tie is no reason
    // to read in place.
    static constexpr double kInPlaceShare = 0.75;

private:
    struct Tally {
        int started = 0;
        int timed = 0;
        std::uint64_t bytes = 0;
        std::uint64_t nanoseconds = 0;
    };
    std::mutex lock_;
    std::array<Tally, 2> tallies_;
    // The way each thread took last while timing.
    std::vector<std::pair<std::thread::id, Way>> lastWays_;
};

}  // namespace core
