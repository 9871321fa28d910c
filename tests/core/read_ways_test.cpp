// The choice between reading large files in place and copying them: each
// way timed in turn, then the cheaper per byte kept (in place only when
// clearly so); and the reader, which reads a file the same either way and
// times only what both ways read alike.
#include "core/search/read_ways.h"
#include "core/search/line_reader.h"
#include "platform/processor_time.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

using namespace core;
using testing_support::TempDir;
using Way = ReadWays::Way;

namespace {

// The ways Next gives for count more files, none of them timed.
std::vector<Way> NextWays(ReadWays& ways, int count) {
    std::vector<Way> given;
    for (int i = 0; i < count; ++i) given.push_back(ways.Next());
    return given;
}

}  // namespace

TEST(ReadWays, EachWayIsTimedInTurnThenInPlaceIsKeptOnlyWhenClearlyCheaper) {
    std::mt19937 rng(5);
    for (int round = 0; round < 500; ++round) {
        // Nanoseconds per byte of each way, and files of every size; some
        // too small to be timed, and some begun before the last one ends.
        const double cost[2] = {0.05 + rng() % 100 / 100.0, 0.05 + rng() % 100 / 100.0};
        ReadWays ways;
        int begun[2] = {0, 0}, timed[2] = {0, 0};
        std::vector<Way> open;
        for (int file = 0; file < 20; ++file) {
            const Way way = ways.Next();
            const int w = static_cast<int>(way);
            if (timed[0] >= ReadWays::kTrials && timed[1] >= ReadWays::kTrials) {
                // In place only when clearly the cheaper; not asked right
                // at the line, where rounding may go either way.
                const double share = cost[0] / cost[1];
                if (std::abs(share - ReadWays::kInPlaceShare) > 1e-9) {
                    ASSERT_EQ(way, share < ReadWays::kInPlaceShare ? Way::InPlace : Way::Copied) << round;
                }
            } else {
                // In turn, counting the files begun, the first in place.
                ASSERT_EQ(w, begun[0] > begun[1] ? 1 : 0) << round << " file " << file;
                ++begun[w];
            }
            open.push_back(way);
            if (rng() % 3 == 0 && open.size() < 2) continue;  // a second reader begins one too
            for (const Way done : open) {
                const std::uint64_t bytes = rng() % 2 ? ReadWays::kLeastTimed + rng() % (8 << 20) : rng() % (1 << 20);
                ways.Record(done, bytes, static_cast<std::uint64_t>(bytes * cost[static_cast<int>(done)]));
                if (bytes >= ReadWays::kLeastTimed) ++timed[static_cast<int>(done)];
            }
            open.clear();
        }
    }
}

TEST(ReadWays, AReaderReadsBothWaysAlikeAndTimesOnlyLargeFilesOfLinesEndedAtCr) {
    TempDir dir;
    std::string text;
    for (int i = 0; text.size() < (std::size_t{3} << 20); ++i) text += "line " + std::to_string(i) + "\r\n";
    const std::string path = dir.Write("large.txt", text);
    const std::string part = text.substr(0, text.find("\r\n", 600000) + 2);  // whole lines, under 1 MB
    const std::string small = dir.Write("small.txt", part);
    // UTF-8 with LF ends is read copied whatever the ways say, turning its
    // line ends as it goes: that costs more, so it is not timed.
    std::string lf;
    for (int i = 0; lf.size() < (std::size_t{3} << 20); ++i) lf += "行 " + std::to_string(i) + "\n";
    const std::string utf8 = dir.Write("utf8.txt", lf);

    // Reads the file at path with ways, as form says; every line as it is in the file.
    const auto readAll = [](ReadWays& ways, const std::string& file, const TextForm& form, char end) {
        LineReader reader;
        reader.SetForm(form);
        reader.SetWays(&ways);
        reader.Open(file);
        std::string line, lines;
        while (!reader.AtEnd()) {
            reader.ReadLine(line);
            lines += line + (end == '\n' ? "\n" : "\r\n");
        }
        reader.Close();
        return lines;
    };
    {
        ReadWays ways;
        for (int i = 0; i < 2 * ReadWays::kTrials; ++i) ASSERT_TRUE(readAll(ways, path, {}, '\r') == text) << i;
        // Both ways timed: one is kept.
        EXPECT_EQ(ways.Timed(Way::InPlace), ReadWays::kTrials);
        EXPECT_EQ(ways.Timed(Way::Copied), ReadWays::kTrials);
        const std::vector<Way> kept = NextWays(ways, 3);
        EXPECT_EQ(kept, std::vector<Way>(3, kept[0]));
    }
    for (const auto& [file, form, end] :
         {std::tuple{small, TextForm{}, '\r'}, std::tuple{utf8, TextForm::FoundInFile(), '\n'}}) {
        ReadWays ways;
        for (int i = 0; i < 2 * ReadWays::kTrials; ++i) {
            ASSERT_TRUE(readAll(ways, file, form, end) == (file == small ? part : lf)) << file;
        }
        // None timed: still in turn.
        EXPECT_EQ(ways.Timed(Way::InPlace) + ways.Timed(Way::Copied), 0) << file;
        EXPECT_EQ(NextWays(ways, 2), (std::vector<Way>{Way::InPlace, Way::Copied})) << file;
    }
}

// The threads of a search cost differently (one may write the listing as
// well), and the one that finishes first begins the next file: were the
// ways handed out in turn across threads, the cheaper thread could time the
// one way and the dearer thread the other. Each thread takes them in turn
// instead, in whatever order the threads ask.
TEST(ReadWays, EachThreadTakesTheWaysInTurnWhileTiming) {
    const std::string order = "ABAABBBAAB";
    ReadWays ways;
    std::atomic<std::size_t> turn{0};
    std::vector<Way> taken[2];
    const auto reader = [&](char name) {
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (order[i] != name) continue;
            while (turn.load() != i) std::this_thread::yield();
            taken[name - 'A'].push_back(ways.Next());
            turn.store(i + 1);
        }
    };
    std::thread a(reader, 'A'), b(reader, 'B');
    a.join();
    b.join();
    for (const auto& ofOne : taken) {
        for (std::size_t i = 1; i < ofOne.size(); ++i) EXPECT_NE(ofOne[i], ofOne[i - 1]) << "file " << i;
    }
    ASSERT_FALSE(taken[0].empty() || taken[1].empty());
    EXPECT_NE(taken[0][0], taken[1][0]) << "the threads' first files go different ways";
}

// A file of a few megabytes takes a few milliseconds: the thread's clock must
// move in steps far finer than that, or the ways are compared on noise. (A
// clock that counts only up to the scheduler's last tick moves a tick at a
// time, a millisecond or more.) Only the thread's own running counts, so
// other programs on the machine don't make the steps longer.
TEST(ReadWays, TheThreadsClockMovesInStepsFarFinerThanAFileTakes) {
    std::vector<std::uint64_t> steps;
    std::uint64_t last = platform::ThreadProcessorNanoseconds();
    ASSERT_NE(last, 0u);
    while (steps.size() < 200) {
        const std::uint64_t now = platform::ThreadProcessorNanoseconds();
        ASSERT_GE(now, last);
        if (now != last) steps.push_back(now - last);
        last = now;
    }
    std::nth_element(steps.begin(), steps.begin() + 100, steps.end());
    EXPECT_LT(steps[100], 100'000u) << "the median step, in nanoseconds";
}
