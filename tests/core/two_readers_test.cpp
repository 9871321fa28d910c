// The global search with both readers at work from the first target (the
// Readers::Two seam) against the one-at-a-time reference: targets of every
// size, failing ones among them. Also built alone under ThreadSanitizer,
// which `make test` runs, for races in the merge.
#include "core/search/command_search.h"
#include "core/search/global_search.h"
#include "core/search/line_reader.h"
#include "core/search/listing_format.h"
#include "core/search/target_search.h"
#include "error_code_of.h"
#include "expect_reference.h"
#include "reference_model.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <random>
#include <span>
#include <thread>

using namespace core;
using testing_support::ErrorCodeOf;
using testing_support::TempDir;

namespace {

// Lines that hold the phrase, start it at their end, or are indented before it.
std::string Text(std::mt19937& rng, std::size_t size) {
    static const char* const pieces[] = {"key", "ke", "y", "\x81\x40", "\x82", "abc", "\r\n", "\r\n", "\r"};
    std::string text;
    while (text.size() < size) {
        text += rng() % 4 == 0 ? pieces[rng() % std::size(pieces)] : std::string(rng() % 60, '.') + "\r\n";
    }
    return text;
}

class CountingProgress : public RunProgress {
public:
    void SetTotal(std::uint64_t) override {}
    void StartFile(std::string_view) override {}
    bool Read(std::uint64_t bytes) override {
        // The first block read holds its reader a while, so that the other
        // one has surely failed by the next block however busy the machine.
        if (read.fetch_add(bytes) == 0 && holdFirstBlock) std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return true;
    }
    std::atomic<std::uint64_t> read{0};
    bool holdFirstBlock = false;
};

}  // namespace

TEST(TwoReaders, ListingsTablesAndErrorsAreThoseOfOneReader) {
    TempDir dir;
    std::mt19937 rng(16);
    for (int round = 0; round < 16; ++round) {
        const std::size_t count = 2 + rng() % 19;
        std::vector<std::string> targets, contents;
        std::optional<std::size_t> failing;
        for (std::size_t k = 0; k < count; ++k) {
            const std::string name = "r" + std::to_string(round) + "t" + std::to_string(k);
            if (round % 2 == 1 && !failing && rng() % 4 == 0) {
                failing = k;
                targets.push_back(dir.Path(name + "-gone.txt"));
                contents.emplace_back();
                continue;
            }
            // Most small; some over a block of the reader, so both are at work at once.
            const std::size_t size = rng() % 6 == 0 ? rng() % (3 * LineReader::kFileBlock) : rng() % 3000;
            contents.push_back(Text(rng, size));
            targets.push_back(dir.Write(name + ".txt", contents.back()));
        }
        const std::string s = std::vector<std::string>{"key", "y", "\x81\x40k", "yk"}[rng() % 4];
        const std::string details = "round " + std::to_string(round) + ", search " + testing::PrintToString(s);

        if (!failing) {
            ASSERT_NO_FATAL_FAILURE(testing_support::ExpectMatchesReference(
                s, targets, contents, {.readers = Readers::Two, .rows = true, .local = false}, details));
            continue;
        }
        HitTable hits;
        ASSERT_EQ(ErrorCodeOf([&] { RunGlobalSearch(s, targets, hits, nullptr, Readers::Two); }), 2) << details;
        // The rows before the failing target are the reference's; from it on, empty.
        ASSERT_NO_FATAL_FAILURE(
            testing_support::ExpectRowsMatchReference(hits, s, std::span(contents).first(*failing), {}, details));
    }
}

// A target that fails is raised as soon as the targets before it are
// searched: the other reader stops reading a later one at its next block.
TEST(TwoReaders, AnErrorStopsTheOtherReaderAtOnce) {
    TempDir dir;
    const std::string big = dir.Write("big.txt", std::string(64 * LineReader::kFileBlock, 'y'));
    const std::vector<std::string> targets = {dir.Path("missing.txt"), big};
    CountingProgress progress;
    progress.holdFirstBlock = true;
    HitTable hits;
    EXPECT_EQ(ErrorCodeOf([&] { RunGlobalSearch("zzz", targets, hits, &progress, Readers::Two); }), 2);
    EXPECT_LT(progress.read.load(), 4 * LineReader::kFileBlock);
}

// The command line's search: a failing target is handed on, in target order,
// and both readers go on with the later ones, each listed under its own
// number as it is when searched alone.
TEST(TwoReaders, ReportedFailuresLetTheLaterTargetsBeRead) {
    TempDir dir;
    std::mt19937 rng(26);
    struct Failures final : TargetFailures {
        void Failed(const std::string& target, const std::exception_ptr&) override { failed.push_back(target); }
        std::vector<std::string> failed;
    };
    for (int round = 0; round < 8; ++round) {
        std::vector<std::string> targets, missing;
        std::string expected;
        const int first = 1 + static_cast<int>(rng() % 120);
        for (int k = 0; k < 2 + static_cast<int>(rng() % 8); ++k) {
            const std::string name = "r" + std::to_string(round) + "t" + std::to_string(k);
            if (rng() % 3 == 0) {
                targets.push_back(dir.Path(name + "-gone.txt"));
                missing.push_back(targets.back());
                continue;
            }
            const std::size_t size = rng() % 4 == 0 ? rng() % (3 * LineReader::kFileBlock) : rng() % 3000;
            const std::string content = Text(rng, size);
            targets.push_back(dir.Write(name + ".txt", content));
            const std::string alone = reference::GlobalListing("key", {targets.back()}, {content});
            const std::size_t header = alone.find("\r\n\r\n") + 4;
            expected += FileHeaderLine(targets.back(), first + k) + alone.substr(alone.find("\r\n", header));
        }
        const SearchText text = SearchText::Bytes("key", platform::Cp932());
        Failures failures;
        const TargetSearch search{text, TextForm{}, platform::Cp932(), nullptr, &failures};
        CollectingSink sink;
        HitTable hits;
        StreamTargets(search, targets, first, hits, sink, nullptr, Readers::Two);
        ASSERT_EQ(sink.Take(), expected) << "round " << round;
        ASSERT_EQ(failures.failed, missing) << "round " << round;
    }
}
