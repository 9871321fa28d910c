#include "core/browse/file_mask.h"
#include "core/browse/name_case.h"
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace core;

namespace {
std::string sj(const char* utf8) { return platform::FixedText(utf8); }
}  // namespace

TEST(FileMask, PatternsSplitAtSemicolonsTrimmedAndWithoutEmptyOnes) {
    EXPECT_EQ(MaskPatterns("*.TXT;*.LOG;*.DOC"), (std::vector<std::string>{"*.TXT", "*.LOG", "*.DOC"}));
    EXPECT_EQ(MaskPatterns(" *.txt ; *.log;;"), (std::vector<std::string>{"*.txt", "*.log"}));
    EXPECT_TRUE(MaskPatterns("").empty());
    EXPECT_TRUE(MaskPatterns(";").empty());
}

TEST(FileMask, WildcardsMatchWholeCharactersWithoutRegardToCase) {
    EXPECT_TRUE(MatchesPattern("A.TXT", "*.txt"));
    EXPECT_TRUE(MatchesPattern("notes.Txt", "*.TXT"));
    EXPECT_FALSE(MatchesPattern("a.txt.bak", "*.txt"));
    EXPECT_FALSE(MatchesPattern("a.tx", "*.txt"));
    EXPECT_TRUE(MatchesPattern("a.b.txt", "*.txt"));
    EXPECT_TRUE(MatchesPattern("ab", "a?"));
    EXPECT_FALSE(MatchesPattern("a", "a?"));
    EXPECT_TRUE(MatchesPattern("abcabd", "*ab?"));
    // "*.*" matches every name, also one without a dot; so does "a.*" for "a".
    EXPECT_TRUE(MatchesPattern("README", "*.*"));
    EXPECT_TRUE(MatchesPattern("a", "a.*"));
    EXPECT_FALSE(MatchesPattern("b", "a.*"));
    // Full-width and Greek letters fold too.
    EXPECT_TRUE(MatchesPattern(sj("ＡＢＣ.txt"), sj("ａｂｃ.TXT")));
    EXPECT_TRUE(MatchesPattern(sj("Σ.txt"), sj("σ.txt")));
    // "?" is one character, a double-byte one too.
    EXPECT_TRUE(MatchesPattern(sj("港.txt"), "?.txt"));
    EXPECT_FALSE(MatchesPattern(sj("港.txt"), "??.txt"));
    // A trail byte that looks like a letter is no letter: "ア" is 83 41, and
    // neither folds to 83 61 nor lets "*a" end on its second byte.
    EXPECT_FALSE(MatchesPattern(sj("ア.txt"), "*a.txt"));
    EXPECT_FALSE(MatchesPattern(sj("ア"), "\x83\x61"));
    EXPECT_TRUE(MatchesPattern(sj("ア.txt"), sj("ア.TXT")));
}

TEST(FileMask, NamesAreListedPatternByPatternWithDuplicates) {
    const std::vector<std::string> names{"A.TXT", "b.log", "c.doc", "d.txt", "e.exe"};
    EXPECT_EQ(NamesMatching(names, "*.TXT;*.LOG;*.DOC"),
              (std::vector<std::string>{"A.TXT", "d.txt", "b.log", "c.doc"}));
    // A file matching two patterns is listed twice.
    EXPECT_EQ(NamesMatching(names, "*.TXT;*.*"),
              (std::vector<std::string>{"A.TXT", "d.txt", "A.TXT", "b.log", "c.doc", "d.txt", "e.exe"}));
    EXPECT_TRUE(NamesMatching(names, "").empty());
}

TEST(NameCase, SortsWithoutRegardToCaseAndStably) {
    std::vector<std::string> names{"b", "B", "a", "C", sj("ｂ"), sj("Ａ")};
    std::sort(names.begin(), names.end(), NameLessNoCase);
    // Equal apart from case: the byte order decides, the same every time.
    EXPECT_EQ(names, (std::vector<std::string>{"a", "B", "b", "C", sj("Ａ"), sj("ｂ")}));
    EXPECT_EQ(FoldedName(sj("ⅣＸ")), FoldedName(sj("ⅳｘ")));
}
