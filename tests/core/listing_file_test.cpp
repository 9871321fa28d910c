#include "core/listing_file.h"
#include "core/errors.h"
#include "platform/code_page.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
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

}  // namespace

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

    // A code-page name becomes the native (UTF-8) name.
    core::SaveListingFile(dir.Path("") + platform::FixedText("結果.txt"), "x");
    EXPECT_EQ(ReadAll(dir.Root() / "結果.txt"), "x");

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
    EXPECT_EQ(CreateFailure(dir.Path("a*.txt")), CreateMessage(dir.Path("a*.txt")));
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
