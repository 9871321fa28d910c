// Files that change or hold anything while they are searched.
#include "core/errors.h"
#include "core/search/global_search.h"
#include "core/search/line_reader.h"
#include "core/search/local_search.h"
#include "error_code_of.h"
#include "memory_budget.h"
#include "platform/code_page.h"
#include "platform/file_access.h"
#include "reference_model.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string_view>
#include <vector>

using namespace core;
using testing_support::TempDir;

namespace {
std::string ManyLines(int count, char fill) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::string(70, fill) + "\r\n";
    return text;
}
}  // namespace

TEST(HostileFiles, BinaryAndNulOnlyFilesAreSearchedAsBytes) {
    TempDir dir;
    std::mt19937 rng(3);
    std::string binary(1 << 20, '\0');
    for (auto& b : binary) b = static_cast<char>(rng() % 256);
    binary[0] = 'k';  // no Ctrl-Z before a known hit
    binary[1] = 'e';
    binary[2] = 'y';
    binary[3] = '\r';
    const std::string bin = dir.Write("a.bin", binary);
    const std::string nul = dir.Write("nul.bin", std::string(1 << 16, '\0'));
    HitTable hits;
    const std::vector<std::string> targets = {bin, nul};
    const auto listing = RunGlobalSearch("key", targets, hits);
    EXPECT_NE(listing.text.find("00001: key\r\n"), std::string::npos);
    EXPECT_EQ(hits.Row(1)[0], 1);
    EXPECT_EQ(hits.Row(2)[0], 0);
    // Only NULs: one line that the substring test never sees into.
    EXPECT_EQ(RunLocalSearch(nul, std::string(1, '\0')).text, "\r\n");
}

TEST(HostileFiles, AFileThatShrinksOrGrowsWhileReadEndsCleanly) {
    TempDir dir;
    const std::string path = dir.Write("a.txt", ManyLines(100000, 'a'));
    // The lines read to the end, or to most, when change acts on the file after line 1.
    const auto linesRead = [&](auto change, std::size_t most) {
        LineReader reader;
        reader.Open(path);
        std::string line;
        reader.ReadLine(line);
        change();
        std::size_t lines = 1;
        while (!reader.AtEnd() && lines < most) {
            reader.ReadLine(line);
            ++lines;
        }
        reader.Close();
        return lines;
    };
    EXPECT_LT(linesRead([&] { std::filesystem::resize_file(path, 100); }, 1000000), 1000000u);
    dir.Write("a.txt", ManyLines(10, 'b'));
    const std::size_t grown =
        linesRead([&] { std::ofstream(path, std::ios::binary | std::ios::app) << ManyLines(10, 'c'); }, 1000);
    EXPECT_GE(grown, 10u);
    EXPECT_LE(grown, 20u);
}

// A line without a hit costs bounded memory whatever its length: lines of
// 48 MB and of 256 MB (NULs, a hole in the file) are searched in an address
// space 24 MB larger than the process had, and the hit lines around them are
// listed whole.
TEST(HostileFiles, HugeLinesWithoutAHitCostBoundedMemory) {
    TempDir dir;
    const std::string path = dir.Write("huge.txt", "key\r\n" + std::string(48 << 20, 'x') + "\r\nkey\r\n");
    std::filesystem::resize_file(path, std::filesystem::file_size(path) + (std::uintmax_t{256} << 20));
    const std::vector<std::string> targets = {path};
    const auto search = [&] {
        HitTable hits;
        const GlobalListing global = RunGlobalSearch("key", targets, hits);
        return global.hitLines == 2 && hits.Row(1)[0] == 1 && hits.Row(1)[1] == 3 &&
               RunLocalSearch(path, "key").text == "00001: key\r\n00003: key\r\n\r\n";
    };
    EXPECT_EXIT(testing_support::RunOnABudget(std::size_t{24} << 20, search), testing::ExitedWithCode(0), "");
}

TEST(HostileFiles, ATargetThatChangedKindOrVanishedIsAFileError) {
    TempDir dir;
    const std::string path = dir.Write("a.txt", "x");
    const std::vector<std::string> targets = {path};
    HitTable hits;
    // The message the error display shows for the search, or "" when it ran.
    auto messageOf = [&] {
        std::string message;
        testing_support::ErrorCodeOf([&] { RunGlobalSearch("x", targets, hits); }, &message);
        return message;
    };
    const std::string notFound = platform::FixedText("ﾌｧｲﾙが見つかりません");
    const std::string denied = platform::FixedText("ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    EXPECT_EQ(messageOf(), "");
    std::filesystem::remove(path);
    EXPECT_EQ(messageOf(), notFound);
    std::filesystem::create_directory(path);
    EXPECT_EQ(messageOf(), denied);
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(messageOf(), denied);  // refused at once, never waiting for a writer
    std::filesystem::remove(path);
    std::filesystem::create_symlink("/dev/zero", path);
    EXPECT_EQ(messageOf(), denied);
    std::filesystem::remove(path);
    if (::geteuid() != 0) {  // root reads whatever the permission bits say
        dir.Write("a.txt", "x");
        std::filesystem::permissions(path, std::filesystem::perms::none);
        EXPECT_EQ(messageOf(), denied);
    }
}

// A read that fails part-way through a target ends the search with its
// error; the hit table keeps every hit recorded before it, and the listing
// written keeps the hit lines found before it: from a file, read in large
// blocks, and from standard input, read in small ones.
TEST(HostileFiles, AReadErrorPartWayKeepsTheHitsRecordedBeforeIt) {
    TempDir dir;
    constexpr std::size_t kLine = 100;  // bytes a line, CR LF included
    const auto text = [](int lines) {
        std::string t;
        for (int i = 0; i < lines; ++i) t += (i % 40 == 7 ? "key" : "abc") + std::string(kLine - 5, '.') + "\r\n";
        return t;
    };
    const auto linesOf = [](std::string_view listing) {
        std::vector<std::string_view> lines;
        for (std::size_t at = 0, end; (end = listing.find("\r\n", at)) != std::string_view::npos; at = end + 2) {
            lines.push_back(listing.substr(at, end - at));
        }
        return lines;
    };
    // The hit lines of the whole listing, read without an error.
    const std::string big = text(12000);
    HitTable hits;
    const std::string whole = RunGlobalSearch("key", std::vector<std::string>{dir.Write("whole.txt", big)}, hits).text;
    const std::vector<std::string_view> wholeLines = linesOf(whole);

    // Fails the nth read of target, read through to readBytes before it.
    const auto check = [&](const std::string& target, const std::string& content, std::uint64_t nth,
                           std::size_t readBytes) {
        const auto expected = reference::Scan(content, "key", true);
        const std::vector<std::string> targets = {target};
        CollectingSink sink;
        platform::PlanReadFailure(nth, EIO);
        EXPECT_EQ(testing_support::ErrorCodeOf([&] { StreamGlobalSearch("key", targets, hits, sink); }),
                  platform::err::kIoDevice);
        platform::PlanReadFailure(0, 0);
        // A hit is recorded once the line after it is read whole.
        std::size_t surely = 0, atMost = 0;
        for (const auto& hit : expected) {
            surely += (static_cast<std::size_t>(hit.number) + 2) * kLine <= readBytes;
            atMost += static_cast<std::size_t>(hit.number) * kLine <= readBytes;
        }
        std::size_t recorded = 0;
        while (recorded < 249 && hits.Row(1)[recorded] != 0) {
            EXPECT_EQ(hits.Row(1)[recorded], expected[recorded].number) << recorded;
            ++recorded;
        }
        EXPECT_GE(recorded, std::max<std::size_t>(surely, 1));
        EXPECT_LE(recorded, atMost);
        // The heading, the header line and the hit lines recorded, as the
        // whole listing has them.
        const std::string written = sink.Take();
        const std::vector<std::string_view> lines = linesOf(written);
        ASSERT_EQ(lines.size(), 3 + recorded) << written.substr(0, 200);
        EXPECT_TRUE(std::equal(lines.begin(), lines.begin() + 2, wholeLines.begin()));
        EXPECT_TRUE(std::equal(lines.begin() + 3, lines.end(), wholeLines.begin() + 3));
    };
    check(dir.Write("hits.txt", big), big, 3, 2 * LineReader::kFileBlock);

    const std::string piped = text(600);  // fits a pipe's buffer
    const testing_support::PipeToStdin in(piped);
    check(std::string("\0in", 3), piped, 300, 299 * LineReader::kStreamBlock);
}
