// The global search with its targets read side by side: the listing and the
// hits in the targets' order, the error of the first failing target, and
// standard input read in its turn.
#include "core/errors.h"
#include "core/search/global_search.h"
#include "core/search/line_reader.h"
#include "core/search/local_search.h"
#include "edge_bytes.h"
#include "error_code_of.h"
#include "expect_reference.h"
#include "reference_model.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <random>

using namespace core;
using testing_support::EdgeBytes;
using testing_support::ErrorCodeOf;
using testing_support::PipeToStdin;
using testing_support::TempDir;

TEST(GlobalSearch, TwentyTargetsSearchedSideBySideKeepTheirOrder) {
    TempDir dir;
    std::mt19937 rng(7);
    std::vector<std::string> paths, contents;
    for (int k = 0; k < 20; ++k) {
        // Sizes from empty to several blocks, so the two threads finish out of order.
        std::string text;
        const std::size_t lines = k % 5 == 0 ? 60000 : rng() % 50;
        for (std::size_t i = 0; i < lines; ++i) text += EdgeBytes(rng, rng() % 12) + "\r\n";
        contents.push_back(text);
        paths.push_back(dir.Write("t" + std::to_string(k) + ".txt", text));
    }
    for (const std::string s : {"a", "ab", "\x82\xA0", "b\x81"}) {
        ASSERT_NO_FATAL_FAILURE(testing_support::ExpectMatchesReference(
            s, paths, contents, {.rows = true, .local = false}, testing::PrintToString(s)));
    }
}

TEST(GlobalSearch, TheFirstFailingTargetInOrderIsRaised) {
    TempDir dir;
    // Big enough for the targets to be searched side by side.
    const std::string a = dir.Write("a.txt", "x\r\nyx\r\n" + std::string(2 * LineReader::kFileBlock, 'y'));
    std::filesystem::create_directory(dir.Path("folder"));
    // A folder (5) comes before a missing file (2); an unreadable regular
    // file gives the platform's I/O code (1117) when read, not when opened.
    const std::vector<std::string> targets = {a, a, dir.Path("folder"), a, dir.Path("gone.txt"), a};
    HitTable hits;
    EXPECT_EQ(ErrorCodeOf([&] { RunGlobalSearch("x", targets, hits); }), 5);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(hits.Row(k)[0], 1);
        EXPECT_EQ(hits.Row(k)[1], 2);
    }
    for (int k = 3; k <= 20; ++k) EXPECT_EQ(hits.Row(k)[0], 0) << k;

    const std::vector<std::string> unreadable = {a, "/proc/self/mem", a};
    EXPECT_EQ(ErrorCodeOf([&] { RunGlobalSearch("x", unreadable, hits); }), 1117);
    EXPECT_EQ(hits.Row(1)[0], 1);
    EXPECT_EQ(hits.Row(3)[0], 0);
    EXPECT_THROW(RunLocalSearch("/proc/self/mem", "x"), EInOutError);
}

TEST(GlobalSearch, StandardInputAmongTheTargetsIsReadInTurn) {
    TempDir dir;
    // Big enough to be worth two threads, were it not for standard input.
    const std::string bigText = "key\r\n" + std::string(2 * LineReader::kFileBlock, 'y');
    const std::string big = dir.Write("big.txt", bigText);
    const std::string piped = "none\r\n" + std::string(300, 'k') + "ey\r\nkey";

    // A path that is empty up to its NUL names standard input, and what
    // follows the NUL names it in the listing.
    const PipeToStdin in(piped);
    const std::vector<std::string> targets = {big, std::string("\0in", 3), big};
    HitTable hits;
    EXPECT_EQ(RunGlobalSearch("key", targets, hits).text,
              reference::GlobalListing("key", {big, "in", big}, {bigText, piped, bigText}));
    EXPECT_EQ(hits.Row(2)[0], 2);
    EXPECT_EQ(hits.Row(2)[1], 3);

    // After a failing target nothing further is opened: standard input is left unread.
    std::filesystem::create_directory(dir.Path("folder"));
    const PipeToStdin next("key\r\n");
    // (While the first, biggest target is read, a second thread would have
    // time to get through the next ones.)
    const std::string huge = dir.Write("huge.txt", std::string(16 * LineReader::kFileBlock, 'y'));
    const std::string tiny = dir.Write("tiny.txt", "key");
    const std::vector<std::string> failing = {huge, tiny, dir.Path("folder"), std::string("\0in", 3), big};
    EXPECT_THROW(RunGlobalSearch("key", failing, hits), EInOutError);
    char left[16];
    EXPECT_EQ(::read(STDIN_FILENO, left, sizeof left), 5);
}
