// norvane-search as users of grep expect it: messages that name the file,
// a failing file that stops nothing, standard input, option forms, many
// files and folders, and the output forms besides the listing.
#include "cli/run_command.h"
#include "core/search/global_search.h"
#include "core/search/listing_format.h"
#include "core/temp_files.h"
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using cli_test::Result;
using cli_test::RunCommand;
using cli_test::Sj;
using testing_support::TempDir;

namespace {

// Target k's part of a listing: its header line, then the hit lines that
// the search of the file alone lists, then the empty line.
std::string PartOf(const std::string& path, int k, std::string_view text) {
    core::HitTable hits;
    const std::string alone = core::RunGlobalSearch(core::SearchText::Typed(text), std::vector<std::string>{path}, hits,
                                                    nullptr, core::Readers::Auto, core::TextForm::FoundInFile())
                                  .text;
    const std::size_t header = alone.find("\r\n\r\n") + 4;
    return core::FileHeaderLine(path, k) + alone.substr(alone.find("\r\n", header));
}

// The lines of text, each ended by end.
std::vector<std::string> Lines(const std::string& text, std::string_view end = "\n") {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t next = text.find(end, at);
        lines.push_back(text.substr(at, next - at));
        at = next == std::string::npos ? text.size() : next + end.size();
    }
    return lines;
}

}  // namespace

// Every kind of failing file among good ones, in any order, with one reader
// and with two (a big file makes the search take two): each good file gets
// the part it gets alone, under its own number; each failing one adds
// nothing to the listing and one message naming it and its reason; the exit
// status is 2.
TEST(GrepHabits, FailingFilesAreReportedByNameAndTheOthersAreSearched) {
    TempDir dir;
    const std::string big = dir.Write("big.txt", std::string(1 << 20, 'y') + Sj("\r\n港町\r\n"));
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Target {
        std::string path;
        std::string reason;  // empty for a good file
    };
    std::vector<Target> pool = {
        {dir.Write("a.txt", Sj("港町\r\n　港町\r\n")), ""},
        {dir.Write("b.txt", "none\r\n"), ""},
        {big, ""},
        {dir.Path("gone.txt"), "ﾌｧｲﾙが見つかりません (No such file or directory)"},
        {dir.Path("nofolder/x.txt"), "不正なﾌｧｲﾙ名です (No such file or directory)"},
        {dir.Root().string(), "Is a directory (give -r to search the files in it)"},
        {fifo, "a FIFO, not read: only regular files and standard input (-) are searched"},
        {"/dev/null", "a device, not read: only regular files and standard input (-) are searched"},
    };
    if (::geteuid() != 0) {
        const std::string locked = dir.Write("locked.txt", Sj("港町\r\n"));
        ::chmod(locked.c_str(), 0);
        pool.push_back({locked, "ﾌｧｲﾙへのｱｸｾｽが拒否されました (Permission denied)"});
    }
    // A file the kernel answers with a read error, where there is one.
    const std::string eio = "/proc/sys/net/ipv6/conf/all/stable_secret";
    if (const int fd = ::open(eio.c_str(), O_RDONLY); fd >= 0) {
        char byte;
        if (::read(fd, &byte, 1) < 0 && errno == EIO) pool.push_back({eio, "I/O ｴﾗｰ (1117) (Input/output error)"});
        ::close(fd);
    }
    std::mt19937 rng(25);
    for (int round = 0; round < 8; ++round) {
        std::shuffle(pool.begin(), pool.end(), rng);
        const std::size_t count = 3 + rng() % (pool.size() - 2);
        std::vector<std::string> args = {"港町"};
        std::string out = Sj("検索字句：　港町\r\n\r\n"), err;
        for (std::size_t i = 0; i < count; ++i) {
            args.push_back(pool[i].path);
            if (pool[i].reason.empty()) {
                out += PartOf(pool[i].path, static_cast<int>(i) + 1, "港町");
            } else {
                err += "norvane-search: " + pool[i].path + ": " + pool[i].reason + "\n";
            }
        }
        const Result r = RunCommand(args);
        ASSERT_EQ(r.out, out) << testing::PrintToString(args);
        ASSERT_EQ(r.err, err);
        ASSERT_EQ(r.status, err.empty() ? 0 : 2);
    }
    EXPECT_NE(RunCommand({"--help"}).out.find("does not stop the others"), std::string::npos);
}

// "-" reads standard input, as a target (named "(standard input)") and as
// -f -: never taken for an option.
TEST(GrepHabits, DashIsStandardInput) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", Sj("猫\r\n"));
    const Result piped = RunCommand({"猫", a, "-"}, Sj("犬\r\n猫だ\r\n"));
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "");
    EXPECT_EQ(piped.out, Sj("検索字句：　猫\r\n\r\n") + PartOf(a, 1, "猫") +
                             core::FileHeaderLine("(standard input)", 2) + Sj("\r\n00002: 猫だ\r\n\r\n"));
    const Result grep = RunCommand({"--format=grep", "猫", "-"}, "x\n猫\n");
    EXPECT_EQ(grep.out, "(standard input):2:猫\n");
    const Result searchText = RunCommand({"-f", "-", "-c", a}, "猫\n");
    EXPECT_EQ(searchText.out, "1\n");
    const Result both = RunCommand({"-f", "-", "-"}, "猫\n");
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.err.find("norvane-search: standard input (-) can't give both"), std::string::npos);
}

// Every spelling that getopt_long takes gives the same output as the plain
// one; every encoding name without regard to case, "-" or "_".
TEST(GrepHabits, OptionsTakeTheFormsOfGnuPrograms) {
    TempDir dir;
    const std::string sj = dir.Write("sj.txt", Sj("一\r\n港町\r\n"));
    const std::string euc = dir.Write("euc.txt", *platform::Utf8ToEncoding(platform::EucJp(), "一\n港町\n"));
    const std::string utf8 = dir.Write("u8.txt", "一\n港町\n");
    const std::string sfile = dir.Write("s.txt", "港町\n");
    const std::string dashed = dir.Write("d.txt", "a -x b");
    const std::vector<std::vector<std::vector<std::string>>> same = {
        {{"--output=utf-8", "港町", sj},
         {"--output", "utf-8", "港町", sj},
         {"港町", sj, "--output", "UTF8"},
         {"--out=Utf_8", "港町", sj}},
        {{"-f", sfile, sj}, {"-f" + sfile, sj}, {"--file=" + sfile, sj}, {"--file", sfile, sj}, {sj, "-f", sfile}},
        {{"-c", "-l", "港町", sj, utf8}, {"-cl", "港町", sj, utf8}, {"-lc", "港町", sj, utf8}},
        {{"-c", "--", "-x", dashed}, {"--count", "--", "-x", dashed}},
    };
    for (const auto& spellings : same) {
        const Result first = RunCommand(spellings.front());
        EXPECT_EQ(first.err, "");
        EXPECT_LE(first.status, 1);
        for (const auto& args : spellings) EXPECT_EQ(RunCommand(args).out, first.out) << testing::PrintToString(args);
    }
    const std::vector<std::pair<std::string, std::vector<std::string>>> names = {
        {sj, {"cp932", "CP932", "sjis", "SJIS", "shift_jis", "Shift_JIS", "shift-jis", "windows-31j", "Windows_31J"}},
        {euc, {"euc-jp", "eucjp", "EUC_JP", "EUC-JP"}},
        {utf8, {"utf-8", "utf8", "UTF-8", "Utf_8"}},
    };
    for (const auto& [file, spellings] : names) {
        for (const std::string& name : spellings) {
            const Result r = RunCommand({"--format=grep", "--encoding", name, "港町", file});
            EXPECT_EQ(r.out, file + ":2:港町\n") << name;
            EXPECT_EQ(r.status, 0) << name;
        }
    }
    const Result version = RunCommand({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "norvane-search (Norvane) 0.1\n");
    for (const auto& args : std::vector<std::vector<std::string>>{{"--encoding=latin1", "x", sj},
                                                                  {"--output=euc-jp", "x", sj},
                                                                  {"-f"},
                                                                  {"--format=xml", "x", sj},
                                                                  {"-Z", "x", sj},
                                                                  {"--local", "-l", "x", sj},
                                                                  {"--format=grep", "--output=cp932", "x", sj}}) {
        const Result r = RunCommand(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, 16), "norvane-search: ") << r.err;
        EXPECT_NE(r.err.find("Try 'norvane-search --help'"), std::string::npos);
    }
}

// -r walks a folder in name order: files in links to folders too, no
// folder twice (a link back up makes no loop), --include on the names,
// FIFOs passed over, an unreadable folder reported and the rest searched.
TEST(GrepHabits, RecursiveSearchWalksFoldersInNameOrder) {
    TempDir dir;
    namespace fs = std::filesystem;
    const fs::path root = dir.Root() / "tree";
    for (const char* folder : {"tree", "tree/b", "tree/b/deep", "tree/a", "tree/c"})
        fs::create_directory(dir.Root() / folder);
    const std::string hit = Sj("港町\r\n");
    for (const char* file : {"tree/z.txt", "tree/b/deep/y.txt", "tree/b/x.md", "tree/a/w.txt", "tree/B.txt"}) {
        dir.Write(file, hit);
    }
    dir.Write("tree/a/miss.txt", "none");
    fs::create_directory_symlink("../b", root / "c" / "to-b");       // b again
    fs::create_directory_symlink("..", root / "b" / "deep" / "up");  // a loop
    ASSERT_EQ(::mkfifo((root / "a" / "pipe.txt").c_str(), 0600), 0);
    const std::string t = root.string();
    const Result names = RunCommand({"-r", "-l", "港町", t});
    EXPECT_EQ(names.out, t + "/B.txt\n" + t + "/a/w.txt\n" + t + "/b/deep/y.txt\n" + t + "/b/x.md\n" + t + "/z.txt\n");
    EXPECT_EQ(names.err, "");
    EXPECT_EQ(names.status, 0);
    const Result txt = RunCommand({"-rc", "--include=*.txt", "港町", t + "/"});
    EXPECT_EQ(txt.out, t + "/B.txt:1\n" + t + "/a/miss.txt:0\n" + t + "/a/w.txt:1\n" + t + "/b/deep/y.txt:1\n" + t +
                           "/z.txt:1\n");
    // The listing numbers the files found as it numbers files named.
    const Result listing = RunCommand({"-r", "--include=*.md", "--include=z*", "港町", t});
    EXPECT_EQ(listing.out,
              Sj("検索字句：　港町\r\n\r\n") + PartOf(t + "/b/x.md", 1, "港町") + PartOf(t + "/z.txt", 2, "港町"));
    EXPECT_EQ(RunCommand({"-rl", "港町", "--include=w.txt", t + "/a"}).out, t + "/a/w.txt\n");
    // Without a FILE: the working folder, its files named without "./".
    const fs::path before = fs::current_path();
    fs::current_path(root / "a");
    const Result here = RunCommand({"-rl", "港町"});
    fs::current_path(before);
    EXPECT_EQ(here.out, "w.txt\n");
    EXPECT_EQ(here.status, 0);
    // The local listing of one file takes no --include, which it would not heed.
    EXPECT_EQ(RunCommand({"--local", "--include=*.md", "港町", t + "/z.txt"}).status, 2);
    if (::geteuid() != 0) {
        ::chmod((root / "b" / "deep").c_str(), 0);
        const Result locked = RunCommand({"-r", "-l", "港町", t});
        ::chmod((root / "b" / "deep").c_str(), 0700);
        EXPECT_EQ(locked.status, 2);
        EXPECT_EQ(locked.out, t + "/B.txt\n" + t + "/a/w.txt\n" + t + "/b/x.md\n" + t + "/z.txt\n");
        EXPECT_EQ(locked.err, "norvane-search: " + t + "/b/deep: ﾌｧｲﾙへのｱｸｾｽが拒否されました (Permission denied)\n");
    }
}

// The forms besides the listing, over random bytes in every encoding: the
// grep form has a line for each hit line of the listing, with the full
// number whose last five digits are its label and the text in UTF-8; -c
// counts them, -l names the files that have any, -q's status is the
// listing's.
TEST(GrepHabits, TheOtherFormsAgreeWithTheListing) {
    TempDir dir;
    std::mt19937 rng(28);
    const std::vector<std::string> pieces = {"a",  "ab", Sj("港"), Sj("町"), "\x82", "\xA0",  "\r\n",
                                             "\n", "\r", "\0",     "b",      "x",    Sj("　")};
    auto randomText = [&](std::size_t most) {
        std::string s;
        for (std::size_t n = rng() % most; n > 0; --n) s += pieces[rng() % pieces.size()];
        return s;
    };
    for (int round = 0; round < 12; ++round) {
        std::vector<std::string> files;
        for (int k = 0; k < 3; ++k) {
            std::string bytes = randomText(60);
            if (k == 1) bytes = *platform::Utf8ToEncoding(platform::Utf8(), platform::CodePageToUtf8(bytes));
            files.push_back(dir.Write("f" + std::to_string(k) + ".txt", bytes));
        }
        const std::string text = round % 2 ? "a" : "港";
        std::vector<std::string> args = {"--output=utf-8", text};
        args.insert(args.end(), files.begin(), files.end());
        const Result listing = RunCommand(args);
        args[0] = "--format=grep";
        const Result grep = RunCommand(args);
        args[0] = "-c";
        const Result counts = RunCommand(args);
        args[0] = "-l";
        const Result names = RunCommand(args);
        args[0] = "-q";
        const Result quiet = RunCommand(args);

        // The listing's hit lines, file by file, each "LLLLL: text".
        std::vector<std::vector<std::string>> hits(files.size());
        int current = -1;
        for (const std::string& line : Lines(listing.out, "\r\n")) {
            for (std::size_t k = 0; k < files.size(); ++k) {
                if (line.rfind(files[k] + " *0", 0) == 0) current = static_cast<int>(k);
            }
            if (line.size() >= 7 && line[5] == ':' && current >= 0) hits[current].push_back(line);
        }
        std::string expectedCounts, expectedNames;
        std::size_t g = 0;
        const std::vector<std::string> grepLines = Lines(grep.out);
        for (std::size_t k = 0; k < files.size(); ++k) {
            expectedCounts += files[k] + ":" + std::to_string(hits[k].size()) + "\n";
            if (!hits[k].empty()) expectedNames += files[k] + "\n";
            for (const std::string& hitLine : hits[k]) {
                ASSERT_LT(g, grepLines.size());
                const std::string& line = grepLines[g++];
                ASSERT_EQ(line.rfind(files[k] + ":", 0), 0u) << line;
                const std::size_t colon = line.find(':', files[k].size() + 1);
                const std::string number = line.substr(files[k].size() + 1, colon - files[k].size() - 1);
                ASSERT_EQ(std::string(5 - std::min<std::size_t>(5, number.size()), '0') +
                              number.substr(number.size() - std::min<std::size_t>(5, number.size())),
                          hitLine.substr(0, 5));
                std::string shown = line.substr(colon + 1);
                for (std::size_t at; (at = shown.find("\xE2\x90\x8A")) != std::string::npos;)
                    shown.replace(at, 3, "\n");
                ASSERT_EQ(shown, hitLine.substr(7)) << line;
            }
        }
        ASSERT_EQ(g, grepLines.size());
        ASSERT_EQ(counts.out, expectedCounts);
        ASSERT_EQ(names.out, expectedNames);
        ASSERT_EQ(quiet.out, "");
        for (const Result* r : {&grep, &counts, &names, &quiet}) ASSERT_EQ(r->status, listing.status);
    }
}

// The grep form gives every line its full number, past the listing's five
// digits; -c of one file is the count alone; -q is 0 at a hit line after an
// error, as in grep.
TEST(GrepHabits, GrepFormNumbersLinesInFull) {
    TempDir dir;
    std::string lines;
    for (int n = 1; n < 100001; ++n) lines += "l\r\n";
    const std::string file = dir.Write("long.txt", lines + Sj("港町\r\n"));
    const Result grep = RunCommand({"--format=grep", "港町", file});
    EXPECT_EQ(grep.out, file + ":100001:港町\n");
    EXPECT_NE(RunCommand({"港町", file}).out.find(Sj("00001: 港町")), std::string::npos);
    EXPECT_EQ(RunCommand({"-c", "港町", file}).out, "1\n");
    const Result quiet = RunCommand({"-q", "港町", dir.Path("gone"), file});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_NE(quiet.err.find("gone: "), std::string::npos);
    EXPECT_EQ(RunCommand({"-q", "zzz", dir.Path("gone"), file}).status, 2);
}

// A file that is the output itself is refused, as grep refuses it, and the
// others are searched: appending the listing to one of its targets ends.
TEST(GrepHabits, TheOutputIsNotSearched) {
    TempDir dir;
    const std::string other = dir.Write("other.txt", Sj("港町\r\n"));
    const std::string own = dir.Write("own.txt", Sj("港町\r\n"));
    const Result r = RunCommand({"港町", own, other}, "", false, own);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "norvane-search: " + own + ": input file is also the output\n");
    std::ifstream in(own, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, Sj("港町\r\n検索字句：　港町\r\n\r\n") + PartOf(other, 2, "港町"));
    // Counts don't grow with what they read, so -c may count its own file.
    EXPECT_EQ(RunCommand({"-c", "港町", own}, "", false, own).status, 0);
}

// Output that can't be written is an error, whatever the form: its message,
// status 2, and no search goes on to write more.
TEST(GrepHabits, AFailedWriteIsAnError) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", Sj("港町\r\n"));
    const std::string b = dir.Write("b.txt", Sj("港町\r\n"));
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"港町", a, b}, {"-l", "港町", a, b}, {"--format=grep", "港町", a}, {"--local", "港町", a}}) {
        const Result r = RunCommand(args, "", false, "/dev/full");
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.err, "norvane-search: cannot write the listing: No space left on device\n");
    }
    for (const char* option : {"--help", "--version"}) {
        const Result r = RunCommand({option}, "", false, "/dev/full");
        EXPECT_EQ(r.status, 2) << option;
        EXPECT_EQ(r.err, "norvane-search: write error: No space left on device\n");
    }
}

// A search text holding what ends a line or the text can never be found:
// a usage error, as an empty one is. An LF is one only where a lone LF ends
// a line; in code page 932 files it is part of the line, and found there.
TEST(GrepHabits, ASearchTextThatCouldNeverBeFoundIsAUsageError) {
    TempDir dir;
    const std::string sj = dir.Write("sj.txt", "xa\nby\x1A\r\n");
    for (const auto& args : std::vector<std::vector<std::string>>{{"a\rb", sj},
                                                                  {"a\x1A", sj},
                                                                  {"--newline=any", "a\nb", sj},
                                                                  {"--encoding=utf-8", "a\nb", sj},
                                                                  {"--local", "\r", sj},
                                                                  {"-l", "b\r", sj}}) {
        const Result r = RunCommand(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("it could never be found"), std::string::npos) << r.err;
    }
    EXPECT_EQ(RunCommand({"--format=grep", "a\nb", sj}).out, sj + ":1:xa\xE2\x90\x8A"
                                                                  "by\n");
    EXPECT_EQ(RunCommand({"--encoding=cp932", "-c", "a\nb", sj}).out, "1\n");
    EXPECT_NE(RunCommand({"--help"}).out.find("Ctrl-Z"), std::string::npos);
}

// A hit line far longer than a block of the listing goes out in pieces: in
// UTF-8 from a file of each encoding, named or found, globally and locally,
// it is the line converted whole, no character cut where pieces meet.
TEST(GrepHabits, ALongLineIsConvertedWholeIntoUtf8) {
    TempDir dir;
    std::string line = "a検索";
    while (line.size() < 3'000'000) line += "あい漢字ｱー";
    for (const char* encoding : {"cp932", "euc-jp", "utf-8"}) {
        const std::string path = dir.Write(
            std::string("long-") + encoding + ".txt",
            platform::EncodeMarked(*platform::EncodingNamed(encoding), platform::DecodeUtf8Lossy(line)) + "\r\n");
        for (const std::vector<std::string>& options :
             {std::vector<std::string>{"--encoding", encoding}, {}, {"--local", "--encoding", encoding}}) {
            const std::string out = dir.Write("out.txt", "");
            std::vector<std::string> args = options;
            args.insert(args.end(), {"--output=utf-8", "検索", path});
            const Result r = RunCommand(args, "", false, out);
            ASSERT_EQ(r.status, 0) << r.err;
            std::ifstream in(out, std::ios::binary);
            const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_NE(written.find("00001: " + line + "\r\n"), std::string::npos)
                << encoding << " " << testing::PrintToString(options);
        }
    }
}
