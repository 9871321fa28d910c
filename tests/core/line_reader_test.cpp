#include "core/search/line_reader.h"
#include "core/io_check.h"
#include "error_code_of.h"
#include "platform/file_access.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace core;
using testing_support::ErrorCodeOf;
using testing_support::PipeToStdin;
using testing_support::TempDir;

namespace {

// Reads a file the way the scan does: line 1 at once, then the end test
// after every further line.
std::vector<std::string> ReadAllLines(const std::string& path) {
    LineReader reader;
    return WithTextFile(reader, path, [](LineReader& r) {
        std::vector<std::string> lines;
        std::string line;
        do {
            r.ReadLine(line);
            lines.push_back(line);
        } while (!r.AtEnd());
        return lines;
    });
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(LineReader, LineEndsAreCrLfOrLoneCrAndLfIsData) {
    TempDir dir;
    struct Case {
        std::string bytes;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {"", {""}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a\nb\n"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a\n", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\r", {"a"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {std::string("a\0b\r\nc", 6), {std::string("a\0b", 3), "c"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadAllLines(dir.Write("t.txt", c.bytes)), c.lines) << "bytes: " << testing::PrintToString(c.bytes);
    }
}

TEST(LineReader, CtrlZEndsTheTextAndIsNeverConsumed) {
    TempDir dir;
    EXPECT_EQ(ReadAllLines(dir.Write("a.txt",
                                     "ab\x1A"
                                     "c\r\nd")),
              Lines{"ab"});
    EXPECT_EQ(ReadAllLines(dir.Write("b.txt",
                                     "\x1A"
                                     "abc")),
              Lines{""});
    EXPECT_EQ(ReadAllLines(dir.Write("c.txt", "a\r\n\x1A")), Lines{"a"});
    EXPECT_EQ(ReadAllLines(dir.Write("d.txt", "a\r\x1A")), Lines{"a"});

    // Past the end, every read gives an empty line and no error.
    LineReader reader;
    reader.Open(dir.Path("a.txt"));
    std::string line;
    reader.ReadLine(line);
    EXPECT_TRUE(reader.AtEnd());
    for (int i = 0; i < 3; ++i) {
        reader.ReadLine(line);
        EXPECT_EQ(line, "");
        EXPECT_TRUE(reader.AtEnd());
    }
    reader.Close();
}

TEST(LineReader, LongLinesAndBlockBoundariesComeBackWhole) {
    TempDir dir;
    for (std::size_t length : {254u, 255u, 256u, 510u, 1000u}) {
        const std::string line(length, 'x');
        EXPECT_EQ(ReadAllLines(dir.Write("t.txt", line + "\r\n")), Lines{line}) << length;
    }
    // CR LF split across the large block boundary, and a CR as its last byte.
    for (std::size_t at : {LineReader::kFileBlock - 1, LineReader::kFileBlock, LineReader::kFileBlock + 1}) {
        const std::string first(at, 'y');
        EXPECT_EQ(ReadAllLines(dir.Write("t.txt", first + "\r\nz")), (Lines{first, "z"})) << at;
        EXPECT_EQ(ReadAllLines(dir.Write("t.txt", first + "\r\n")), (Lines{first})) << at;
    }

    // A line of many blocks grows the buffer; the same reader opened on the
    // next file starts small again and reads it right.
    std::string huge(5 * LineReader::kFileBlock + 3, 'h');
    for (std::size_t i = 0; i < huge.size(); i += 4099) huge[i] = static_cast<char>('a' + i % 26);
    const std::string big = dir.Write("big.txt", huge + "\r\ntail");
    const std::string small = dir.Write("small.txt", "one\r\ntwo");
    LineReader reader;
    std::string line;
    reader.Open(big);
    reader.ReadLine(line);
    EXPECT_EQ(line, huge);
    reader.ReadLine(line);
    EXPECT_EQ(line, "tail");
    reader.Open(small);
    reader.ReadLine(line);
    EXPECT_EQ(line, "one");
    reader.ReadLine(line);
    EXPECT_EQ(line, "two");
    EXPECT_TRUE(reader.AtEnd());
    reader.Close();
}

TEST(LineReader, OperationsOnAClosedReaderRaiseTheirCodes) {
    LineReader reader;
    std::string line = "old";
    EXPECT_EQ(ErrorCodeOf([&] { reader.ReadLine(line); }), 104);
    EXPECT_EQ(line, "old");
    EXPECT_EQ(ErrorCodeOf([&] { reader.AtEnd(); }), 104);
    EXPECT_EQ(ErrorCodeOf([&] { reader.Close(); }), 103);
    EXPECT_NO_THROW(CheckIO());  // nothing left pending
}

TEST(LineReader, OpenFailuresCarryThePlatformCodes) {
    TempDir dir;
    auto codeOf = [](const std::string& path) {
        LineReader reader;
        const std::int32_t code = ErrorCodeOf([&] { reader.Open(path); });
        if (code != 0) {
            EXPECT_FALSE(reader.IsReading());
        }
        return code;
    };
    EXPECT_EQ(codeOf(dir.Path("missing.txt")), 2);
    EXPECT_EQ(codeOf(dir.Path("no-folder/missing.txt")), 3);
    EXPECT_EQ(codeOf(dir.Root().string()), 5);    // a folder
    EXPECT_EQ(codeOf("/dev/null"), 5);            // a device
    EXPECT_EQ(codeOf(dir.Path("what?.txt")), 2);  // a wildcard is a character like any other
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(codeOf(fifo), 5);  // refused, not waited on
    if (::geteuid() != 0) {
        const std::string locked = dir.Write("locked.txt", "x");
        ::chmod(locked.c_str(), 0);
        EXPECT_EQ(codeOf(locked), 5);
    }
}

// A path ends at its NUL and is otherwise opened whole, however long: a
// shortened one could name another file.
TEST(LineReader, PathIsCutAtNulButNeverShortened) {
    TempDir dir;
    const std::string path = dir.Write("a.txt", "hello");
    EXPECT_EQ(ReadAllLines(path + std::string("\0ignored", 8)), Lines{"hello"});

    // A file named by the first 259 bytes of a longer path is not opened.
    const std::string base = dir.Root().string() + "/";
    const std::string name(259 - base.size(), 'n');
    dir.Write(name, "another file");
    const auto codeOf = [](const std::string& p) { return ErrorCodeOf([&] { LineReader().Open(p); }); };
    EXPECT_EQ(codeOf(base + name + std::string(41, 'z')), platform::err::kFilenameTooLong);  // a name over 255 bytes
    EXPECT_EQ(codeOf(base + name + "/" + std::string(5000, 'z')), platform::err::kFilenameTooLong);

    // A deep file whose path is longer than 259 bytes opens as itself.
    std::filesystem::path deep = dir.Root();
    for (int i = 0; i < 40; ++i) deep /= "folder" + std::to_string(i);
    std::filesystem::create_directories(deep);
    const std::string deepFile = (deep / "deep.txt").string();
    ASSERT_GT(deepFile.size(), 300u);
    { std::ofstream(deepFile, std::ios::binary) << "deep\r\nfile"; }
    EXPECT_EQ(ReadAllLines(deepFile), (Lines{"deep", "file"}));
}

// A regular file whose read would wait (as /proc/kmsg's does) fails at once;
// standard input waits for its data, as a pipe should.
TEST(LineReader, AReadThatWouldWaitFailsOnAFileButWaitsOnStandardInput) {
    TempDir dir;
    const std::string path = dir.Write("a.txt", "key\r\n");
    LineReader reader;
    std::string line;
    reader.Open(path);
    platform::PlanReadFailure(1, EAGAIN);
    EXPECT_EQ(ErrorCodeOf([&] { reader.ReadLine(line); }), platform::err::kLockViolation) << "read " << line;
    reader.Close();

    const PipeToStdin in("key\r\n");
    reader.Open("");
    platform::PlanReadFailure(1, EAGAIN);
    reader.ReadLine(line);
    EXPECT_EQ(line, "key");
    reader.Close();
}

TEST(LineReader, PipesAreReadOneSmallBlockAhead) {
    PipeToStdin in("", PipeToStdin::Then::StayOpen);
    const std::string first = "first\r\n";
    const std::string rest = std::string(1000, 'r') + "\r\nlast";
    std::thread writer([&] {
        ASSERT_EQ(::write(in.WriteEnd(), first.data(), first.size()), static_cast<ssize_t>(first.size()));
        ASSERT_EQ(::write(in.WriteEnd(), rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
        in.CloseWriteEnd();
    });
    LineReader reader;
    reader.Open("");
    std::string line;
    reader.ReadLine(line);
    EXPECT_EQ(line, "first");
    reader.ReadLine(line);
    EXPECT_EQ(line, std::string(1000, 'r'));
    reader.ReadLine(line);
    EXPECT_EQ(line, "last");
    EXPECT_TRUE(reader.AtEnd());
    reader.Close();
    writer.join();
    // Standard input is not closed by the reader.
    EXPECT_NE(::fcntl(STDIN_FILENO, F_GETFD), -1);
}

TEST(LineReader, ReadAheadOnAPipeStopsAtOneBlock) {
    const std::string data = "a\r\n" + std::string(400, 'b');
    PipeToStdin in(data, PipeToStdin::Then::StayOpen);
    {
        LineReader reader;
        reader.Open("");
        std::string line;
        reader.ReadLine(line);
        EXPECT_EQ(line, "a");
        EXPECT_FALSE(reader.AtEnd());
        reader.Close();
    }
    // What the reader did not need is still in the pipe.
    in.CloseWriteEnd();
    std::string left(1000, '\0');
    const ssize_t n = ::read(STDIN_FILENO, left.data(), left.size());
    EXPECT_EQ(n, static_cast<ssize_t>(data.size() - LineReader::kStreamBlock));
}
