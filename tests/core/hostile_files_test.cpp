// Files that change or hold anything while they are searched.
#include "core/errors.h"
#include "core/global_search.h"
#include "core/line_reader.h"
#include "core/local_search.h"
#include "platform/code_page.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

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
    {
        LineReader reader;
        Reset(reader, path);
        std::string line;
        ReadLn(reader, line);
        std::filesystem::resize_file(path, 100);  // shrinks under the reader
        std::size_t lines = 1;
        while (!Eof(reader) && lines < 1000000) {
            ReadLn(reader, line);
            ++lines;
        }
        EXPECT_LT(lines, 1000000u);
        CloseFile(reader);
    }
    dir.Write("a.txt", ManyLines(10, 'b'));
    {
        LineReader reader;
        Reset(reader, path);
        std::string line;
        ReadLn(reader, line);
        {
            std::ofstream grow(path, std::ios::binary | std::ios::app);
            grow << ManyLines(10, 'c');
        }
        std::size_t lines = 1;
        while (!Eof(reader) && lines < 1000) {
            ReadLn(reader, line);
            ++lines;
        }
        EXPECT_GE(lines, 10u);
        EXPECT_LE(lines, 20u);
        CloseFile(reader);
    }
}

TEST(HostileFiles, ATargetThatChangedKindOrVanishedIsAFileError) {
    TempDir dir;
    const std::string path = dir.Write("a.txt", "x");
    const std::vector<std::string> targets = {path};
    HitTable hits;
    // The message the error display shows for the search, or "" when it ran.
    auto messageOf = [&] {
        try {
            RunGlobalSearch("x", targets, hits);
        } catch (const EInOutError& e) {
            return e.Message();
        }
        return std::string();
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
