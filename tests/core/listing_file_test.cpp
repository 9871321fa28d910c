#include "core/output/listing_file.h"
#include "core/errors.h"
#include "platform/code_page.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string AllByteValues() {
    std::string bytes;
    for (int round = 0; round < 3; ++round) {
        for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

std::string CreateMessage(const std::string& path) {
    return platform::FixedText("ﾌｧｲﾙ ") + path + platform::FixedText(" を作成できません");
}

// The EFCreateError message of saving to path, or "" when it saved.
std::string CreateFailure(const std::string& path, const std::string& bytes = "new") {
    try {
        core::SaveListingFile(path, bytes);
    } catch (const core::EFCreateError& e) {
        return e.Message();
    }
    return "";
}

// Runs body in a child process and returns its exit status (or -1).
template <class Body>
int InChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The permission bits of the save's new file, seen from inside the SIGXFSZ
// handler while the save is filling it (plus 010000 once seen). Only system
// calls there: the handler interrupts a write.
int watchedFolder = -1;
volatile mode_t newFileMode = 0;

void SeeNewFile(int) {
    alignas(dirent64) char entries[4096];
    ::lseek(watchedFolder, 0, SEEK_SET);
    const long size = ::syscall(SYS_getdents64, watchedFolder, entries, sizeof entries);
    for (long at = 0; at < size;) {
        const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
        struct stat st {};
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0 &&
            std::strcmp(entry->d_name, "IFOUND.TXT") != 0 &&
            ::fstatat(watchedFolder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            newFileMode = (st.st_mode & 07777) | 010000;
        }
        at += entry->d_reclen;
    }
}

}  // namespace

// A listing may replace a private file: its new file is private from the
// start, with nothing taken away by the umask, and gets its final mode only
// when every byte is in.
TEST(SaveListingFile, TheNewFileIsPrivateWhileItIsFilled) {
    TempDir dir;
    const std::string path = dir.Write("IFOUND.TXT", "private");
    ::chmod(path.c_str(), 0600);
    const int status = InChild([&] {
        ::umask(0);
        watchedFolder = ::open(dir.Root().c_str(), O_RDONLY | O_DIRECTORY);
        struct sigaction see {};
        see.sa_handler = SeeNewFile;
        // A file size limit stops the write part-way, with the handler called there.
        const rlimit limit{100, 100};
        if (watchedFolder < 0 || ::sigaction(SIGXFSZ, &see, nullptr) != 0 || ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        try {
            core::SaveListingFile(path, std::string(5000, 'x'));
        } catch (const core::EInOutError&) {}
        return newFileMode == (010000 | 0600) ? 0 : 11;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadAll(path), "private");

    // Once saved: a replaced file keeps its mode, a new one has the umask's.
    core::SaveListingFile(path, "new");
    EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0600));
    const mode_t mask = ::umask(027);
    core::SaveListingFile(dir.Path("fresh.txt"), "new");
    ::umask(mask);
    EXPECT_EQ(fs::status(dir.Path("fresh.txt")).permissions(), static_cast<fs::perms>(0640));
}

// A link to a file that is not there yet makes the file where the link
// points, also through a chain of relative links, and the links stay.
TEST(SaveListingFile, ADanglingLinkGetsItsFileAndStays) {
    TempDir dir;
    fs::create_directories(dir.Root() / "sub");
    fs::create_directories(dir.Root() / "far");
    fs::create_symlink("sub/new.txt", dir.Root() / "link.txt");
    core::SaveListingFile(dir.Path("link.txt"), "one");
    EXPECT_TRUE(fs::is_symlink(dir.Path("link.txt")));
    EXPECT_EQ(ReadAll(dir.Root() / "sub" / "new.txt"), "one");

    // Each relative link counts from its own folder.
    fs::create_symlink("sub/hop", dir.Root() / "chain.txt");
    fs::create_symlink("../far/end.txt", dir.Root() / "sub" / "hop");
    core::SaveListingFile(dir.Path("chain.txt"), "two");
    EXPECT_TRUE(fs::is_symlink(dir.Path("chain.txt")) && fs::is_symlink(dir.Root() / "sub" / "hop"));
    EXPECT_EQ(ReadAll(dir.Root() / "far" / "end.txt"), "two");
    core::SaveListingFile(dir.Path("chain.txt"), "three");  // now through to a file
    EXPECT_EQ(ReadAll(dir.Root() / "far" / "end.txt"), "three");

    // A link into a missing folder, and links in a loop, make nothing.
    fs::create_symlink("gone/x.txt", dir.Root() / "nowhere.txt");
    EXPECT_EQ(CreateFailure(dir.Path("nowhere.txt")), CreateMessage(dir.Path("nowhere.txt")));
    fs::create_symlink("loop2", dir.Root() / "loop1");
    fs::create_symlink("loop1", dir.Root() / "loop2");
    EXPECT_EQ(CreateFailure(dir.Path("loop1")), CreateMessage(dir.Path("loop1")));
    EXPECT_TRUE(fs::is_symlink(dir.Path("nowhere.txt")) && fs::is_symlink(dir.Path("loop1")));
    EXPECT_EQ(Names(dir.Root() / "sub"), (std::vector<std::string>{"hop", "new.txt"}));
}

// The save replaces the file whole, so another hard link to it keeps the
// earlier bytes, as the help's save section says.
TEST(SaveListingFile, AHardLinkedFileIsReplacedAndTheOtherNameKeepsItsBytes) {
    TempDir dir;
    const std::string path = dir.Write("IFOUND.TXT", "earlier");
    fs::create_hard_link(path, dir.Path("other.txt"));
    core::SaveListingFile(path, "new");
    EXPECT_EQ(ReadAll(path), "new");
    EXPECT_EQ(ReadAll(dir.Path("other.txt")), "earlier");
    EXPECT_EQ(fs::hard_link_count(path), 1u);

    const std::string help = ReadAll(NORVANE_HELP_FILE);
    const std::size_t save = help.find("<h2 id=\"output\">");
    ASSERT_NE(save, std::string::npos);
    const std::string section = help.substr(save, help.find("<h2", save + 1) - save);
    EXPECT_NE(section.find("ハードリンクのあるファイルでは、ほかの名前は前の内容のままです"), std::string::npos);
}

TEST(SaveListingFile, WritesEveryByteAndReplacesAnEarlierFileKeepingItsMode) {
    TempDir dir;
    const std::string path = dir.Path("IFOUND.TXT");
    const std::string listing = AllByteValues();  // NUL bytes included
    core::SaveListingFile(path, listing);
    EXPECT_EQ(ReadAll(path), listing);

    ::chmod(path.c_str(), 0640);
    core::SaveListingFile(path, "Memo1");
    EXPECT_EQ(ReadAll(path), "Memo1");
    EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0640));
    if (::geteuid() == 0) {  // only root can hand a file to another owner
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        core::SaveListingFile(path, "owned");
        struct stat st {};
        ::stat(path.c_str(), &st);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
    core::SaveListingFile(path, "");
    EXPECT_EQ(ReadAll(path), "");
    EXPECT_EQ(Names(dir.Root()), std::vector<std::string>{"IFOUND.TXT"});

    // Any name the system allows, also one the code page lacks characters of.
    core::SaveListingFile(dir.Path("結果 café 한국.txt"), "x");
    EXPECT_EQ(ReadAll(dir.Root() / "結果 café 한국.txt"), "x");
    std::filesystem::remove(dir.Root() / "結果 café 한국.txt");

    // A link is followed: the file it leads to is replaced, the link stays.
    const std::string target = dir.Write("target.txt", "old");
    fs::create_symlink(target, dir.Path("link.txt"));
    core::SaveListingFile(dir.Path("link.txt"), "via link");
    EXPECT_TRUE(fs::is_symlink(dir.Path("link.txt")));
    EXPECT_EQ(ReadAll(target), "via link");
}

TEST(SaveListingFile, ARelativePathStartsAtTheCurrentFolder) {
    TempDir dir;
    fs::create_directory(dir.Root() / "sub");
    const fs::path before = fs::current_path();
    fs::current_path(dir.Root());
    core::SaveListingFile("rel.txt", "one");
    core::SaveListingFile("sub/rel.txt", "two");
    fs::current_path(before);
    EXPECT_EQ(ReadAll(dir.Root() / "rel.txt"), "one");
    EXPECT_EQ(ReadAll(dir.Root() / "sub" / "rel.txt"), "two");
}

TEST(SaveListingFile, APathThatCannotBeCreatedRaisesEFCreateErrorAndLeavesNothing) {
    TempDir dir;
    const std::string missing = dir.Path("no-such-folder/IFOUND.TXT");
    EXPECT_EQ(CreateFailure(missing), CreateMessage(missing));
    EXPECT_EQ(CreateFailure(""), CreateMessage(""));
    // The message names the path in the code page, with 〓 for what it lacks.
    EXPECT_EQ(CreateFailure(dir.Path("no-such/café.txt")),
              CreateMessage(dir.Path("no-such/caf") + platform::FixedText("〓.txt")));
    const std::string notAFolder = dir.Write("plain", "plain");
    EXPECT_EQ(CreateFailure(notAFolder + "/x.txt"), CreateMessage(notAFolder + "/x.txt"));
    EXPECT_EQ(CreateFailure(dir.Path("trailing/")), CreateMessage(dir.Path("trailing/")));
    const std::string overLong = dir.Path(std::string(300, 'n') + ".txt");  // past the name length limit
    EXPECT_EQ(CreateFailure(overLong), CreateMessage(overLong));

    // A folder, a FIFO and a read-only file are never exchanged for a new file.
    fs::create_directory(dir.Root() / "folder");
    EXPECT_NE(CreateFailure(dir.Path("folder")), "");
    EXPECT_TRUE(fs::is_directory(dir.Root() / "folder"));
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0666), 0);
    EXPECT_NE(CreateFailure(dir.Path("fifo")), "");
    EXPECT_TRUE(fs::is_fifo(dir.Path("fifo")));
    const std::string readOnly = dir.Write("readonly.txt", "keep me");
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_EQ(CreateFailure(readOnly), CreateMessage(readOnly));
    EXPECT_EQ(ReadAll(readOnly), "keep me");

    EXPECT_EQ(Names(dir.Root()), (std::vector<std::string>{"fifo", "folder", "plain", "readonly.txt"}));
}

TEST(SaveListingFile, AWriteThatFailsLeavesTheEarlierFileWhole) {
    TempDir dir;
    const std::string path = dir.Write("IFOUND.TXT", "the earlier listing");
    // A file size limit makes the write store fewer bytes than it was given.
    const int status = InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
        try {
            core::SaveListingFile(path, std::string(5000, 'x'));
        } catch (const core::EInOutError& e) {
            return e.Message() == platform::FixedText("ｽﾄﾘｰﾑへの書き込みｴﾗｰ") && e.ErrorCode() == 112 ? 0 : 11;
        } catch (...) {
            return 12;
        }
        return 13;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadAll(path), "the earlier listing");
    EXPECT_EQ(Names(dir.Root()), std::vector<std::string>{"IFOUND.TXT"});
}

TEST(SaveListingFile, AReadOnlyFolderRaisesEFCreateErrorAndKeepsTheEarlierFile) {
    TempDir dir;
    fs::permissions(dir.Root(), static_cast<fs::perms>(0755));
    const fs::path folder = dir.Root() / "ro";
    fs::create_directory(folder);
    const std::string earlier = (folder / "IFOUND.TXT").string();
    { std::ofstream(earlier) << "earlier"; }
    ::chmod(earlier.c_str(), 0666);
    fs::permissions(folder, static_cast<fs::perms>(0555));
    // Permission bits do not stop root: the save runs as nobody then.
    const int status = InChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 10;
        const std::string fresh = (folder / "new.txt").string();
        if (CreateFailure(fresh) != CreateMessage(fresh)) return 11;
        if (CreateFailure(earlier) != CreateMessage(earlier)) return 12;
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadAll(earlier), "earlier");
    EXPECT_EQ(Names(folder), std::vector<std::string>{"IFOUND.TXT"});
}

// Every name that reaches a target's bytes is one of the targets; a copy, a
// file of the same name elsewhere or a missing file is not.
TEST(NamesOneOf, ANameReachingATargetsFileIsOneOfThem) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", "a"), b = dir.Write("b.txt", "b");
    fs::create_directory(dir.Root() / "sub");
    const std::string sameNameElsewhere = dir.Write("sub/a.txt", "a");
    const std::string copy = dir.Write("copy.txt", "a");
    fs::create_symlink(a, dir.Path("soft.txt"));
    fs::create_hard_link(b, dir.Path("hard.txt"));
    const std::vector<std::string> targets{a, b, ""};

    const fs::path before = fs::current_path();
    fs::current_path(dir.Root() / "sub");
    for (const std::string& path : {a, b, dir.Path("sub/../a.txt"), dir.Path("./b.txt"), std::string("../a.txt"),
                                    dir.Path("soft.txt"), dir.Path("hard.txt"), dir.Path("sub") + "/../b.txt"}) {
        EXPECT_TRUE(core::NamesOneOf(path, targets)) << path;
    }
    for (const std::string& path : {sameNameElsewhere, std::string("a.txt"), copy, dir.Path("missing.txt"),
                                    std::string(), dir.Path("sub"), dir.Path("a.txt/")}) {
        EXPECT_FALSE(core::NamesOneOf(path, targets)) << path;
    }
    fs::current_path(before);
    // A target that has gone names nothing, not even under its own name.
    fs::remove(b);
    EXPECT_FALSE(core::NamesOneOf(b, targets));
    EXPECT_TRUE(core::NamesOneOf(dir.Path("hard.txt"), {{dir.Path("hard.txt")}}));
    EXPECT_EQ(core::TargetNotReplacedMessage("C:\\A.TXT"),
              platform::FixedText("ﾌｧｲﾙ C:\\A.TXT は検索対象なので出力先にできません"));
}
