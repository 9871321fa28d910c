#include "core/General1.h"
#include "core/app_title.h"
#include "core/error_text.h"
#include "core/io_check.h"
#include "platform/code_page.h"

#include <gtest/gtest.h>

using namespace core;

namespace {
std::string LineLabel(std::int64_t lineNumber) {
    std::string label(5, '?');
    WriteLineLabel(lineNumber, label.data());
    return label;
}
}  // namespace

TEST(General1, LeftRightAndLabels) {
    EXPECT_EQ(Left("abc", 2), "ab");
    EXPECT_EQ(Left("abc", 9), "abc");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Right("abc", 0), "");
    EXPECT_EQ(LineLabel(1), "00001");
    EXPECT_EQ(LineLabel(12), "00012");
    EXPECT_EQ(LineLabel(12345), "12345");
    EXPECT_EQ(LineLabel(99999), "99999");
    EXPECT_EQ(LineLabel(100000), "00000");
    EXPECT_EQ(LineLabel(123456), "23456");
    EXPECT_EQ(LineLabel(3000000001LL), "00001");
    EXPECT_EQ(FileIndexLabel(1), "01");
    EXPECT_EQ(FileIndexLabel(9), "09");
    EXPECT_EQ(FileIndexLabel(20), "20");
}

TEST(InOutErrorMessage, TableRowsAndTheGenericRow) {
    auto sj = [](const char* s) { return platform::FixedText(s); };
    EXPECT_EQ(InOutErrorMessage(2), sj("ﾌｧｲﾙが見つかりません"));
    EXPECT_EQ(InOutErrorMessage(3), sj("不正なﾌｧｲﾙ名です"));
    EXPECT_EQ(InOutErrorMessage(4), sj("ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"));
    EXPECT_EQ(InOutErrorMessage(5), sj("ﾌｧｲﾙへのｱｸｾｽが拒否されました"));
    EXPECT_EQ(InOutErrorMessage(100), sj("ﾌｧｲﾙの末尾以降を読み込みました"));
    EXPECT_EQ(InOutErrorMessage(101), sj("ﾃﾞｨｽｸがいっぱいです"));
    EXPECT_EQ(InOutErrorMessage(106), sj("入力値が数値ではありません"));
    EXPECT_EQ(InOutErrorMessage(32), sj("I/O ｴﾗｰ (32)"));
    EXPECT_EQ(InOutErrorMessage(-7), sj("I/O ｴﾗｰ (-7)"));
}

TEST(WithClosingPeriod, LooksAtTheFirstByteOfTheLastCharacter) {
    auto sj = [](const char* s) { return platform::FixedText(s); };
    EXPECT_EQ(WithClosingPeriod(""), "");
    EXPECT_EQ(WithClosingPeriod("done."), "done.");
    EXPECT_EQ(WithClosingPeriod("stop!"), "stop!");
    EXPECT_EQ(WithClosingPeriod("end "), "end ");
    EXPECT_EQ(WithClosingPeriod("(32)"), "(32)");
    EXPECT_EQ(WithClosingPeriod("a/"), "a/.");  // 0x2F
    EXPECT_EQ(WithClosingPeriod("a-"), "a-");   // 0x2D
    EXPECT_EQ(WithClosingPeriod("x1"), "x1.");
    EXPECT_EQ(WithClosingPeriod(sj("ﾌｧｲﾙが見つかりません")), sj("ﾌｧｲﾙが見つかりません") + ".");
    EXPECT_EQ(WithClosingPeriod(sj("ｱ")), sj("ｱ") + ".");  // half-width katakana
    // A double-byte character is judged by its lead byte.
    EXPECT_EQ(WithClosingPeriod(sj("a　")), sj("a　") + ".");
    // A run of lead-valued bytes: parity decides where the last character starts.
    EXPECT_EQ(WithClosingPeriod("\x81\x81\x81!"), "\x81\x81\x81!.");
    EXPECT_EQ(WithClosingPeriod("\x81\x81!"), "\x81\x81!");
}

TEST(ApplicationTitle, FileNameWithoutFolderOrExtensionLoweredAfterTheFirstLetter) {
    EXPECT_EQ(ApplicationTitle("C:\\APPS\\NORVANE.EXE"), "Norvane");
    EXPECT_EQ(ApplicationTitle("/usr/local/bin/Norvane"), "Norvane");
    EXPECT_EQ(ApplicationTitle("/opt/x.y/norvane.bin.old"), "norvane");
    EXPECT_EQ(ApplicationTitle("Norvane"), "Norvane");
    EXPECT_EQ(ApplicationTitle(""), "");
    // 0x5C as the trail byte of a double-byte character is no separator, and
    // a trail byte in the letter range is not lowered.
    EXPECT_EQ(ApplicationTitle("C:\\\x95\\A\\AB.EXE"), "Ab");
    EXPECT_EQ(ApplicationTitle("C:\\X\x83\x41Z.EXE"), "X\x83\x41z");
    // Only the first 255 bytes of the path count.
    EXPECT_EQ(ApplicationTitle(std::string(250, 'd') + "/ABCDEFGH"), "Abcd");
}
