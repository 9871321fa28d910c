#include "core/browse/folder_contents.h"
#include "core/browse/folder_path.h"
#include "core/errors.h"
#include "error_code_of.h"
#include "platform/code_page.h"
#include "platform/file_access.h"
#include "platform/folder_access.h"
#include "platform/native_names.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

using namespace core;
namespace fs = std::filesystem;

namespace {

std::string sj(const char* utf8) { return platform::FixedText(utf8); }

// The code the folder read fails with; 0 when it succeeds.
std::int32_t ReadCode(const std::string& folder) {
    try {
        ReadFolderContents(folder);
        return 0;
    } catch (const EInOutError& e) {
        EXPECT_FALSE(e.Message().empty());
        return e.ErrorCode();
    }
}

// Restores the process's current folder when the test ends.
class KeepCurrentFolder {
public:
    KeepCurrentFolder() : saved_(fs::current_path()) {}
    ~KeepCurrentFolder() { fs::current_path(saved_); }
    KeepCurrentFolder(const KeepCurrentFolder&) = delete;
    KeepCurrentFolder& operator=(const KeepCurrentFolder&) = delete;

private:
    fs::path saved_;
};

}  // namespace

TEST(FolderPath, JoinsWithOneSeparator) {
    EXPECT_EQ(JoinPath("/", "a.txt"), "/a.txt");
    EXPECT_EQ(JoinPath("/home/u", "a.txt"), "/home/u/a.txt");
    EXPECT_EQ(JoinPath("/media/usb/", "a.txt"), "/media/usb/a.txt");
    // 0x5C as a trail byte ends no folder name here: "表" is 95 5C.
    EXPECT_EQ(JoinPath("/" + sj("表"), "a"), "/" + sj("表") + "/a");

    EXPECT_TRUE(PathIsWithin("/a/b", "/a"));
    EXPECT_TRUE(PathIsWithin("/a", "/a"));
    EXPECT_TRUE(PathIsWithin("/a", "/"));
    EXPECT_FALSE(PathIsWithin("/ab", "/a"));
    EXPECT_FALSE(PathIsWithin("/", "/a"));
}

TEST(FolderPath, LevelsRunFromTheRootDown) {
    const auto levels = FolderLevels("/", "/work/main/samples");
    ASSERT_EQ(levels.size(), 4u);
    EXPECT_EQ(levels[0].path, "/");
    EXPECT_EQ(levels[0].name, "/");
    EXPECT_EQ(levels[1].path, "/work");
    EXPECT_EQ(levels[3].path, "/work/main/samples");
    EXPECT_EQ(levels[3].name, "samples");

    const auto onVolume = FolderLevels("/media/usb", "/media/usb/docs");
    ASSERT_EQ(onVolume.size(), 2u);
    EXPECT_EQ(onVolume[0].name, "/media/usb");
    EXPECT_EQ(onVolume[1].path, "/media/usb/docs");
    EXPECT_EQ(FolderLevels("/media/usb", "/media/usb").size(), 1u);
    // A folder outside the root shows just the root.
    EXPECT_EQ(FolderLevels("/media/usb", "/media/usb2/x").size(), 1u);
}

TEST(FolderContents, RegularVisibleEntriesSortedWithoutRegardToCase) {
    testing_support::TempDir dir;
    // A name holding "*" can't be searched: its header line would be read
    // back as a shorter path.
    for (const char* name : {"b.txt", "A.txt", "C.TXT", ".hidden.txt", "a *05.txt", "star*.txt"}) dir.Write(name, "x");
    for (const char* name : {"zeta", "Alpha", "beta", ".git", "d *02"}) fs::create_directory(dir.Root() / name);
    fs::create_symlink(dir.Path("b.txt"), dir.Root() / "link.txt");
    fs::create_symlink(dir.Root() / "zeta", dir.Root() / "linkdir");
    fs::create_symlink(dir.Root() / "missing", dir.Root() / "broken.txt");
    ASSERT_EQ(::mkfifo(dir.Path("pipe.txt").c_str(), 0600), 0);

    // A FIFO is left out and never opened (a read would wait for a writer).
    const FolderContents contents = ReadFolderContents(dir.Root().string());
    EXPECT_EQ(contents.files, (std::vector<std::string>{"A.txt", "b.txt", "C.TXT", "link.txt"}));
    EXPECT_EQ(contents.folders, (std::vector<std::string>{"Alpha", "beta", "linkdir", "zeta"}));

    // The root lists fine and holds no "." or "..".
    const FolderContents root = ReadFolderContents("/");
    for (const auto& f : root.folders) EXPECT_NE(f.front(), '.');
}

TEST(FolderContents, NamesAreNativeOpenAsTheyAreAndShowMarkedWhereTheCodePageLacksACharacter) {
    testing_support::TempDir dir;
    dir.Write("港町.txt", "x");         // native names are UTF-8
    dir.Write("caf\xC3\xA9.txt", "x");  // é has no form in the code page
    dir.Write("bad\xFF.txt", "x");      // not UTF-8 at all
    dir.Write("what?.txt", "x");        // a wildcard is a character like any other
    const FolderContents contents = ReadFolderContents(dir.Root().string());
    EXPECT_EQ(contents.files, (std::vector<std::string>{"bad\xFF.txt", "caf\xC3\xA9.txt", "what?.txt", "港町.txt"}));
    platform::File file;
    for (const std::string& name : contents.files) {
        EXPECT_EQ(file.OpenExisting(JoinPath(dir.Root().string(), name)), 0) << name;
        EXPECT_EQ(file.Close(), 0);
    }

    // The code-page form marks what it can't write exactly with 〓, and reads
    // back as the very name where it is exact.
    EXPECT_EQ(platform::NameToCodePage("港町.txt"), sj("港町.txt"));
    EXPECT_EQ(platform::NameToCodePage("caf\xC3\xA9.txt"), sj("caf〓.txt"));
    EXPECT_EQ(platform::NameToCodePage("bad\xFF.txt"), sj("bad〓.txt"));
    EXPECT_EQ(platform::NameToCodePage("\xEF\xBD\x9E"), sj("～"));  // U+FF5E reads back as itself
    EXPECT_EQ(platform::NameToCodePage("\xE3\x80\x9C"), sj("〓"));  // U+301C would read back as U+FF5E
    EXPECT_EQ(platform::NameToCodePage("a\xF3\xB0\x82\x81"
                                       "b"),
              sj("a〓b"));  // a private-use lone lead byte
    EXPECT_EQ(platform::NameFromCodePage(platform::NameToCodePage("港町 ①.txt")), "港町 ①.txt");
}

TEST(FolderContents, FoldersThatCantBeReadRaiseTheFileError) {
    testing_support::TempDir dir;
    dir.Write("plain.txt", "x");
    EXPECT_EQ(ReadCode(dir.Path("missing")), platform::err::kFileNotFound);
    EXPECT_EQ(ReadCode(dir.Path("missing/deeper")), platform::err::kPathNotFound);
    EXPECT_EQ(ReadCode(dir.Path("plain.txt")), platform::err::kPathNotFound);
    EXPECT_EQ(ReadCode(""), platform::err::kPathNotFound);
    EXPECT_EQ(ReadCode(dir.Root().string() + "/wild?"), platform::err::kFileNotFound);
    std::string message;
    testing_support::ErrorCodeOf([&] { ReadFolderContents(dir.Path("missing")); }, &message);
    EXPECT_EQ(message, sj("ﾌｧｲﾙが見つかりません"));

    if (::geteuid() != 0) {
        // Listable but not enterable: the file list could not make it current.
        const auto locked = dir.Root() / "locked";
        fs::create_directory(locked);
        fs::permissions(locked, fs::perms::owner_read);
        EXPECT_EQ(ReadCode(locked.string()), platform::err::kAccessDenied);
        fs::permissions(locked, fs::perms::owner_all);
    }
}

TEST(FolderContents, ChangingTheCurrentFolder) {
    KeepCurrentFolder keep;
    testing_support::TempDir dir;
    const std::string native = "資料";
    fs::create_directory(dir.Root() / native);
    const std::string folder = JoinPath(dir.Root().string(), native);

    ChangeCurrentFolder(folder);
    EXPECT_EQ(fs::current_path(), dir.Root() / native);
    EXPECT_EQ(platform::CurrentFolder(), folder);

    EXPECT_EQ(testing_support::ErrorCodeOf([&] { ChangeCurrentFolder(dir.Path("missing")); }),
              platform::err::kFileNotFound);
    EXPECT_EQ(fs::current_path(), dir.Root() / native);

    // A removed current folder reads as the root.
    const auto doomed = dir.Root() / "doomed";
    fs::create_directory(doomed);
    fs::current_path(doomed);
    fs::remove(doomed);
    EXPECT_EQ(platform::CurrentFolder(), "/");
}
