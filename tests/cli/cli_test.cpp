// norvane-search from outside: its output bytes, messages and exit status.
#include "cli/run_command.h"
#include "core/reference_model.h"
#include "core/search/global_search.h"
#include "core/search/listing_format.h"
#include "core/temp_files.h"
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using testing_support::TempDir;

using cli_test::Result;
using cli_test::RunCommand;
using cli_test::Sj;

TEST(NorvaneSearch, WritesTheListingBytesAndExitsByWhatWasListed) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", Sj("吾輩は猫である。\r\n名前はまだ無い。\r\n"));
    const std::string b = dir.Write("b.txt", Sj("どこで生れたか\r\n　とんと見当がつかぬ。"));

    const Result hit = RunCommand({"名前", a, b});
    EXPECT_EQ(hit.status, 0);
    EXPECT_EQ(hit.err, "");
    EXPECT_EQ(hit.out, Sj("検索字句：　名前\r\n\r\n") + (a + " *01" + std::string(49, '*')).substr(0, 80) + "\r\n" +
                           Sj("00002: 名前はまだ無い。\r\n\r\n") + (b + " *02" + std::string(49, '*')).substr(0, 80) +
                           "\r\n\r\n");

    const Result none = RunCommand({"absent", a});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.out, "");

    // A phrase broken by the wrap, its second half after an indent.
    const Result wrapped = RunCommand({"れたかとんと", b});
    EXPECT_EQ(wrapped.status, 0);
    EXPECT_NE(wrapped.out.find(Sj("00001: どこで生れたか\r\n")), std::string::npos);
}

TEST(NorvaneSearch, SearchTextFromAFileIsTakenAsBytes) {
    TempDir dir;
    // A search text that is no valid character on its own: a trail-byte pair.
    const std::string target = dir.Write("t.txt", Sj("ああ") + "\r\n\xA0\x82x\r\n");
    const std::string sfile = dir.Write("s.txt", "\xA0\x82\r\nsecond line ignored");
    const Result r = RunCommand({"-f", sfile, target});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(r.out.size() - 14), "00002: \xA0\x82x\r\n\r\n");
    // From standard input.
    const Result piped = RunCommand({"-f", "-", target}, "\xA0\x82\r\n");
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out.substr(piped.out.size() - 14), "00002: \xA0\x82x\r\n\r\n");
}

// An empty search text is refused, as the windows refuse it: as TEXT, or as
// an SFILE that is empty, or whose first line is, up to a NUL byte.
TEST(NorvaneSearch, AnEmptySearchTextIsAUsageError) {
    TempDir dir;
    const std::string target = dir.Write("t.txt", "x\r\n\r\n");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"", target},
                                               {"-f", dir.Write("e.txt", ""), target},
                                               {"-f", dir.Write("l.txt", "\r\nx"), target},
                                               {"-f", dir.Write("n.txt", std::string("\0x", 2)), target},
                                               {"--local", "-f", dir.Path("e.txt"), target}}) {
        const Result r = RunCommand(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("norvane-search: the search text is empty"), std::string::npos) << r.err;
    }
    const Result piped = RunCommand({"-f", "-", target}, "\r\nx\r\n");
    EXPECT_EQ(piped.status, 2);

    // A first line of up to 1 MiB is a search text; a longer one is refused
    // without being read to its end.
    const std::string longest(1 << 20, 'x');
    EXPECT_EQ(RunCommand({"-f", dir.Write("max.txt", longest + "\r\n"), target}).status, 1);
    const Result tooLong = RunCommand({"-f", dir.Write("long.txt", longest + "x"), target});
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_EQ(tooLong.out, "");
    EXPECT_NE(tooLong.err.find("norvane-search: the search text is too long"), std::string::npos) << tooLong.err;
    EXPECT_NE(RunCommand({"--help"}).out.find("empty search text"), std::string::npos);
}

TEST(NorvaneSearch, TerminalOutputIsConvertedAndOptionsForceEither) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", Sj("猫\r\n"));
    const Result tty = RunCommand({"猫", a}, "", true);
    EXPECT_EQ(tty.status, 0);
    EXPECT_NE(tty.out.find("00001: 猫"), std::string::npos);
    const Result forcedBytes = RunCommand({"--output=cp932", "猫", a}, "", true);
    EXPECT_NE(forcedBytes.out.find(Sj("00001: 猫")), std::string::npos);
    const Result forcedUtf8 = RunCommand({"--output=utf-8", "猫", a});
    EXPECT_NE(forcedUtf8.out.find("検索字句：　猫\r\n"), std::string::npos);
}

TEST(NorvaneSearch, ErrorsGoToStandardErrorAfterWhatWasListed) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", "x");
    // The listing is written as it is made: the targets before the failing
    // one stay written, and the failing one adds nothing without a hit line.
    const Result missing = RunCommand({"x", a, dir.Path("gone.txt")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, RunCommand({"x", a}).out);
    EXPECT_EQ(missing.err,
              "norvane-search: " + dir.Path("gone.txt") + ": ﾌｧｲﾙが見つかりません (No such file or directory)\n");

    const Result folder = RunCommand({"x", dir.Root().string()});
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.err,
              "norvane-search: " + dir.Root().string() + ": Is a directory (give -r to search the files in it)\n");

    const Result missingSearchFile = RunCommand({"-f", dir.Path("none"), a});
    EXPECT_EQ(missingSearchFile.status, 2);
    EXPECT_EQ(missingSearchFile.out, "");

    // In a named encoding TEXT must fit it; found in each file, a file whose
    // encoding lacks a character of it simply holds no line with it.
    const Result euro = RunCommand({"--encoding=cp932", "€", a});
    EXPECT_EQ(euro.status, 2);
    EXPECT_NE(euro.err.find("U+20AC"), std::string::npos);
    EXPECT_EQ(euro.out, "");
    const Result euroFound = RunCommand({"€", a, dir.Write("euro.txt", "1 €\n")});
    EXPECT_EQ(euroFound.status, 0);
    EXPECT_EQ(euroFound.out, Sj("検索字句：　〓\r\n\r\n") + core::FileHeaderLine(a, 1) + "\r\n\r\n" +
                                 core::FileHeaderLine(dir.Path("euro.txt"), 2) + Sj("\r\n00001: 1 〓\r\n\r\n"));

    // A lone lead byte's private-use character, then a letter: the code page
    // holds each alone, but not the two together.
    const Result loneLead = RunCommand({"--encoding=cp932",
                                        "\xF3\xB0\x82\x81"
                                        "A",
                                        a});
    EXPECT_EQ(loneLead.status, 2);
    EXPECT_NE(loneLead.err.find("U+F0081"), std::string::npos);
    EXPECT_EQ(loneLead.out, "");

    const Result invalid = RunCommand({"\xFF", a});
    EXPECT_EQ(invalid.status, 2);

    // A name the code page can't write opens as the system gave it, and the
    // listing shows it with 〓 for what the code page lacks.
    dir.Write("€.txt", "x");
    const Result unwritable = RunCommand({"x", dir.Path("€.txt")});
    EXPECT_EQ(unwritable.status, 0);
    EXPECT_NE(unwritable.out.find(Sj("/〓.txt *01")), std::string::npos);
    // The x of "\x82x" is a trail byte: no match starts there.
    EXPECT_EQ(RunCommand({"x", dir.Write("t.txt", "\x82x")}).status, 1);
}

// Files of today, each found in its own bytes: one listing, as the windows
// make it, in code page 932 into a pipe and in UTF-8 when asked, whatever
// the files' encodings; and a search text from a file in any of them.
TEST(NorvaneSearch, EachFileIsReadInTheEncodingFoundInItAndTheListingIsOneEncoding) {
    TempDir dir;
    const std::string utf16 = std::string("\xFF\xFE") + "\x2F\x6E\x3A\x75\x6E\x30\x18\x67\x0A\x00";  // 港町の朝, LF
    const std::vector<std::string> files = {
        dir.Write("unix.txt", "一行目\n港町の朝です\n三行目\n"),
        dir.Write("euc.txt",
                  *platform::Utf8ToEncoding(platform::EucJp(), "あいうえお\r\nかきくけこ港町のさしすせそ\r\n")),
        dir.Write("utf16.txt", utf16), dir.Write("sjis.txt", Sj("　港町\r\n")),
        dir.Write("caf\xC3\xA9 한.txt", Sj("港町\r\n"))};
    std::vector<std::string> args = {"港町"};
    args.insert(args.end(), files.begin(), files.end());
    core::HitTable hits;
    const core::SearchText text = core::SearchText::Typed("港町");
    const core::TextForm found = core::TextForm::FoundInFile();
    const std::string windows = core::RunGlobalSearch(text, files, hits, nullptr, core::Readers::Auto, found).text;
    const Result piped = RunCommand(args);
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out, windows);
    for (int k = 1; k <= 5; ++k) EXPECT_NE(hits.Row(k)[0], 0) << k;
    EXPECT_NE(windows.find(Sj("caf〓 〓.txt *05")), std::string::npos);

    args.insert(args.begin(), "--output=utf-8");
    const Result utf8 = RunCommand(args);
    EXPECT_EQ(utf8.out,
              core::RunGlobalSearch(text, files, hits, nullptr, core::Readers::Auto, found, &platform::Utf8()).text);
    EXPECT_NE(utf8.out.find("caf\xC3\xA9 한.txt *05"), std::string::npos);
    EXPECT_NE(utf8.out.find("00002: 港町の朝です\r\n"), std::string::npos);

    // The search text from a file in UTF-8 with a byte order mark, and from
    // one in UTF-16: the same listing.
    for (const std::string& sfile : {std::string("\xEF\xBB\xBF港町\n"), std::string("\xFF\xFE\x2F\x6E\x3A\x75")}) {
        std::vector<std::string> fromFile = {"-f", dir.Write("s", sfile)};
        fromFile.insert(fromFile.end(), files.begin(), files.end());
        EXPECT_EQ(RunCommand(fromFile).out, windows);
    }

    // A named encoding holds for every file, as before.
    const Result home = RunCommand({"--encoding=cp932", "港町", files[0]});
    EXPECT_EQ(home.status, 1);
}

TEST(NorvaneSearch, UsageErrorsAndHelp) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", "x");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"x"}, {"--bogus", "x", a}, {"-f"}, {"x", ""}, {"--local", "x", a, a}}) {
        const Result r = RunCommand(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("norvane-search: "), std::string::npos);
    }
    // The windows' limit of 20 files is not the command's: past 99 the
    // number takes all its digits.
    std::vector<std::string> many = {"x"};
    for (int i = 0; i < 101; ++i) many.push_back(a);
    const Result lots = RunCommand(many);
    EXPECT_EQ(lots.status, 0);
    EXPECT_EQ(lots.err, "");
    EXPECT_NE(lots.out.find("\r\n" + core::FileHeaderLine(a, 21) + "\r\n00001: x\r\n"), std::string::npos);
    EXPECT_NE(lots.out.find("\r\n" + a + " *101***"), std::string::npos);

    const Result help = RunCommand({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: norvane-search"), std::string::npos);

    // "--" lets a search text start with a dash.
    const std::string dashed = dir.Write("d.txt", "a -x b");
    EXPECT_EQ(RunCommand({"--", "-x", dashed}).status, 0);
}

TEST(NorvaneSearch, LocalListingOfOneFile) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", Sj("　key\r\nke\r\ny\r\n"));
    const Result r = RunCommand({"--local", "key", a});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "00001: " + Sj("　key") + "\r\n00002: ke\r\n\r\n");
    const Result none = RunCommand({"--local", "zzz", a});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "\r\n");
    EXPECT_EQ(RunCommand({"--local", "-f", dir.Write("s.txt", "ey"), a}).out,
              "00001: " + Sj("　key") + "\r\n00002: ke\r\n\r\n");
    EXPECT_EQ(RunCommand({"--local", "x", dir.Path("gone")}).status, 2);
}

TEST(NorvaneSearch, AnyBytesGiveTheReferenceListing) {
    TempDir dir;
    std::mt19937 rng(7);
    const char alphabet[] = {'a', 'b', '\x81', '\x40', '\x82', '\xA0', '\0', '\r', '\n', '\x1A', '\xFF'};
    auto randomBytes = [&](std::size_t maxLength) {
        std::string s(rng() % (maxLength + 1), ' ');
        for (auto& ch : s) ch = alphabet[rng() % sizeof alphabet];
        return s;
    };
    int listed = 0;
    for (int round = 0; round < 60; ++round) {
        // The search text file's first line is the search text.
        const std::string sfile = randomBytes(6);
        const std::string s = reference::Lines(sfile).front();
        std::vector<std::string> paths, contents;
        for (int k = 0; k < 3; ++k) {
            contents.push_back(randomBytes(60));
            paths.push_back(dir.Write("f" + std::to_string(k), contents.back()));
        }
        const Result r = RunCommand({"--encoding=cp932", "-f", dir.Write("s", sfile), paths[0], paths[1], paths[2]});
        if (reference::CutAtNul(s).empty()) {
            ASSERT_EQ(r.status, 2);  // refused
            ASSERT_EQ(r.out, "");
            continue;
        }
        const std::string expected = reference::GlobalListing(s, paths, contents);
        ASSERT_EQ(r.out, expected);
        const bool anyHit = expected.find("\r\n00") != std::string::npos;
        ASSERT_EQ(r.status, anyHit ? 0 : 1);
        listed += anyHit;
        ASSERT_EQ(RunCommand({"--encoding=cp932", "--local", "-f", dir.Path("s"), paths[0]}).out,
                  reference::LocalListing(s, contents[0]));
    }
    EXPECT_GT(listed, 5);  // the rounds are not vacuous
}
