#include "core/output/header_selection.h"
#include "core/errors.h"
#include "core/search/listing_format.h"
#include "core/search/named_file.h"
#include "core/search/target_paths.h"
#include "core/str_to_int.h"
#include "error_code_of.h"
#include "platform/code_page.h"

#include <gtest/gtest.h>

using namespace core;

namespace {

std::string Sj(std::string_view utf8) { return platform::FixedText(utf8); }

// The message of the conversion error for s, or "" when s converts.
std::string ConvertMessage(std::string_view s) {
    try {
        StrToInt(s);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "";
}

}  // namespace

TEST(StrToInt, AcceptsDecimalAndHexWithSignAndLeadingSpaces) {
    EXPECT_EQ(StrToInt("01"), 1);
    EXPECT_EQ(StrToInt("20"), 20);
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("+5"), 5);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("  3"), 3);
    EXPECT_EQ(StrToInt("$A"), 10);
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("$80000000"), INT32_MIN);
}

TEST(StrToInt, RejectsEverythingElseWithTheWholeInputInTheMessage) {
    const std::string suffix = Sj("' は整数ではありません");
    for (std::string_view bad : {"", " ", "+", "-", "$", "-$", "3 ", "1*", "**", "x1", "0x1", "1.0", "2147483648",
                                 "-2147483649", "$100000000", "$G", "１"}) {
        EXPECT_EQ(ConvertMessage(bad), "'" + std::string(bad) + suffix) << bad;
    }
    // Bytes of any kind go into the message as they are: half a double-byte
    // character, a NUL.
    const std::string halfChar = Sj("漢").substr(0, 1) + "1";
    EXPECT_EQ(ConvertMessage(halfChar), "'" + halfChar + suffix);
    const std::string withNul("1\0", 2);
    EXPECT_EQ(ConvertMessage(withNul), "'" + withNul + suffix);
}

TEST(HeaderSelection, TakesThePathBeforeTheFirstMarkAndTwoBytesAfterIt) {
    const std::string path = Sj("/資料/港町.txt");
    const std::string header = FileHeaderLine(path, 3);

    auto whole = SplitHeaderSelection(header);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->path, path);
    EXPECT_EQ(whole->indexText, "03");

    auto upToDigits = SplitHeaderSelection(path + " *12");
    ASSERT_TRUE(upToDigits);
    EXPECT_EQ(upToDigits->indexText, "12");

    // Several lines: parsed from the start, up to the first mark.
    auto lines = SplitHeaderSelection(header + "\r\n00001: a *b\r\n\r\n" + FileHeaderLine("/x", 4));
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->path, path);
    EXPECT_EQ(lines->indexText, "03");

    // Fewer than two bytes after the mark.
    EXPECT_EQ(SplitHeaderSelection("a *1")->indexText, "1");
    EXPECT_EQ(SplitHeaderSelection("a *")->indexText, "");
    EXPECT_EQ(SplitHeaderSelection(" *05")->path, "");

    EXPECT_FALSE(SplitHeaderSelection(""));
    EXPECT_FALSE(SplitHeaderSelection(path));
    EXPECT_FALSE(SplitHeaderSelection("a*01* "));
    EXPECT_FALSE(SplitHeaderSelection("a\r\n*01"));
}

TEST(HeaderSelection, AHeaderLineCutShortGivesNoNumber) {
    // 80 bytes at most: a 78-byte path keeps " *" but not a digit, a 77-byte
    // path one digit, a 79-byte path no mark at all.
    const std::string p78(78, 'p');
    const auto cut = SplitHeaderSelection(FileHeaderLine(p78, 7));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->path, p78);
    EXPECT_EQ(ConvertMessage(cut->indexText), "''" + Sj(" は整数ではありません"));
    EXPECT_EQ(StrToInt(SplitHeaderSelection(FileHeaderLine(std::string(77, 'p'), 7))->indexText), 0);
    EXPECT_FALSE(SplitHeaderSelection(FileHeaderLine(std::string(79, 'p'), 7)));

    // A selection that starts inside a hit line holding " *".
    const auto inHitLine = SplitHeaderSelection("00012: x *ab\r\n");
    ASSERT_TRUE(inHitLine);
    EXPECT_EQ(ConvertMessage(inHitLine->indexText), "'ab" + Sj("' は整数ではありません"));
}

TEST(NamedFile, AnEmptyPathIsAFileErrorNeverStandardInput) {
    EXPECT_EQ(RequireNamedFile("/x/a.txt"), "/x/a.txt");
    std::string message;
    EXPECT_EQ(testing_support::ErrorCodeOf([] { RequireNamedFile(""); }, &message), 3);
    EXPECT_EQ(message, Sj("不正なﾌｧｲﾙ名です"));
}

// The file behind a shown name: through the number where the shown form is
// the listed target's (exact or not), else the selected bytes read back; a
// name the code page writes exactly never needs the number.
TEST(TargetPaths, AShownNameLeadsToTheFileTheSystemNamesAsItDoes) {
    const std::vector<std::string> listed = {"/d/caf\xC3\xA9.txt", "/d/港町.txt", "/d/\xFF.txt"};
    const std::string cafe = platform::FixedText("/d/caf〓.txt");
    EXPECT_EQ(core::SelectedFile(listed, 1, cafe), listed[0]);
    EXPECT_EQ(core::SelectedFile(listed, 3, platform::FixedText("/d/〓.txt")), listed[2]);
    EXPECT_EQ(core::SelectedFile(listed, 2, platform::FixedText("/d/港町.txt")), listed[1]);
    // Another number, or none in the list: the selected path itself.
    EXPECT_EQ(core::SelectedFile(listed, 2, cafe), "/d/caf〓.txt");
    EXPECT_EQ(core::SelectedFile(listed, 0, platform::FixedText("/d/港町.txt")), "/d/港町.txt");
    EXPECT_EQ(core::SelectedFile(listed, 4, cafe), "/d/caf〓.txt");
    EXPECT_EQ(core::SelectedFile({}, 1, ""), "");

    // The search state's targets: each native path where it is the one its
    // shown form stands for, up to the first empty one and at most 20.
    std::vector<std::string> shown = {
        cafe, platform::FixedText("/d/港町.txt"), platform::FixedText("/d/〓.txt"), "/e/x.txt", "", "/f/y.txt"};
    EXPECT_EQ(core::TargetFiles(shown, listed),
              (std::vector<std::string>{listed[0], listed[1], listed[2], "/e/x.txt"}));
    shown.assign(25, "/g/z.txt");
    EXPECT_EQ(core::TargetFiles(shown, {}).size(), 20u);
}
