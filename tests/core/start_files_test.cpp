#include "core/browse/start_files.h"

#include "platform/file_access.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>

using namespace core;
namespace fs = std::filesystem;
namespace err = platform::err;

namespace {

StartArguments Read(std::initializer_list<std::string> arguments) {
    const std::vector<std::string> list(arguments);
    return ReadStartArguments(list);
}

std::vector<std::pair<std::string, std::int32_t>> Refusals(const StartFiles& start) {
    std::vector<std::pair<std::string, std::int32_t>> refusals;
    for (const RefusedFile& file : start.refused) refusals.emplace_back(file.named, file.code);
    return refusals;
}

}  // namespace

TEST(StartArguments, OptionsEndAtTwoDashesAndALoneDashIsAFile) {
    StartArguments read = Read({"a.txt", "--check-help", "-", "--", "--help", "-x.txt"});
    EXPECT_EQ(read.files, (std::vector<std::string>{"a.txt", "-", "--help", "-x.txt"}));
    EXPECT_TRUE(read.checkHelp);
    EXPECT_FALSE(read.help);
    EXPECT_EQ(read.unknownOption, "");

    read = Read({"--help", "-v", "--verbose", "b.txt"});
    EXPECT_TRUE(read.help);
    EXPECT_EQ(read.unknownOption, "-v");  // the first one is named
    EXPECT_EQ(read.files, std::vector<std::string>{"b.txt"});
    EXPECT_TRUE(Read({}).files.empty());
}

// What the grid takes, and what it refuses with which code: each reason once,
// named absolutely and relatively, through links and "..".
TEST(StartFiles, TakesRegularFilesAsFullPathsAndRefusesTheRestWithTheirCode) {
    testing_support::TempDir dir;
    const std::string root = fs::canonical(dir.Root()).string();
    fs::create_directories(dir.Root() / "docs" / "sub");
    fs::create_directories(dir.Root() / "other");
    dir.Write("docs/a.txt", "a");
    dir.Write("other/b.txt", "b");
    dir.Write("docs/caf\xC3\xA9.txt", "c");  // é: not in the code page
    dir.Write("docs/\xFF.txt", "d");         // no UTF-8 at all
    dir.Write("docs/st*r.txt", "e");
    fs::create_symlink(dir.Root() / "other", dir.Root() / "docs" / "link");
    fs::create_symlink(dir.Root() / "docs" / "a.txt", dir.Root() / "docs" / "alias.txt");
    ASSERT_EQ(::mkfifo((root + "/docs/fifo").c_str(), 0600), 0);

    const std::string docs = root + "/docs";
    const std::vector<std::string> named = {
        "missing.txt",           // 2
        "a.txt",                 // relative to the current folder
        "sub/../a.txt",          // ".." as the system walks it
        "link/b.txt",            // a folder link resolved: other/b.txt
        "alias.txt",             // a file link keeps its own name
        root + "/other//b.txt",  // another folder, absolute
        "nowhere/a.txt",         // 3: a folder on the way is missing
        "sub",                   // 5: a folder
        "sub/",                  // 5: a folder, named as one
        "..",                    // 5
        "fifo",                  // 5, not waited on
        "st*r.txt",              // 3: its header line could not be read back
        "",                      // 3
        "a.txt/",                // a file named as a folder
        "caf\xC3\xA9.txt",
        "\xFF.txt",
        "a.txt",  // twice: taken twice
    };
    const StartFiles start = ChooseStartFiles(named, docs);
    EXPECT_EQ(start.targets,
              (std::vector<std::string>{docs + "/a.txt", docs + "/a.txt", root + "/other/b.txt", docs + "/alias.txt",
                                        root + "/other/b.txt", docs + "/caf\xC3\xA9.txt", docs + "/\xFF.txt",
                                        docs + "/a.txt"}));
    EXPECT_EQ(start.folder, docs);
    EXPECT_EQ(Refusals(start), (std::vector<std::pair<std::string, std::int32_t>>{
                                   {"missing.txt", err::kFileNotFound},
                                   {"nowhere/a.txt", err::kPathNotFound},
                                   {"sub", err::kAccessDenied},
                                   {"sub/", err::kAccessDenied},
                                   {"..", err::kAccessDenied},
                                   {"fifo", err::kAccessDenied},
                                   {"st*r.txt", err::kPathNotFound},
                                   {"", err::kPathNotFound},
                                   {"a.txt/", err::kPathNotFound},
                               }));
    EXPECT_EQ(start.moreRefused, 0u);
    EXPECT_EQ(start.leftOver, 0u);

    // Nothing taken: no folder to open.
    const StartFiles none = ChooseStartFiles(std::vector<std::string>{"missing.txt"}, docs);
    EXPECT_TRUE(none.targets.empty());
    EXPECT_EQ(none.folder, "");
}

// Twenty fill the grid; what is named after the 20th is only counted, and
// one message lists at most ten refusals.
TEST(StartFiles, TwentyAtMostAndTenRefusalsListed) {
    testing_support::TempDir dir;
    const std::string root = fs::canonical(dir.Root()).string();
    std::vector<std::string> named;
    for (int i = 1; i <= 12; ++i) named.push_back("gone" + std::to_string(i) + ".txt");
    for (int i = 1; i <= 21; ++i) named.push_back(dir.Write("f" + std::to_string(i) + ".txt", "x"));
    named.push_back("gone-after.txt");

    const StartFiles start = ChooseStartFiles(named, root);
    ASSERT_EQ(start.targets.size(), 20u);
    EXPECT_EQ(start.targets.front(), root + "/f1.txt");
    EXPECT_EQ(start.targets.back(), root + "/f20.txt");
    EXPECT_EQ(start.refused.size(), StartFiles::kRefusalsListed);
    EXPECT_EQ(start.refused.back().named, "gone10.txt");
    EXPECT_EQ(start.moreRefused, 2u);
    EXPECT_EQ(start.leftOver, 2u);  // f21 and gone-after, neither looked at
}
