#include "core/browse/file_mask.h"
#include "core/browse/name_case.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace core;

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
    // Full-width and Greek letters fold too; names are native (UTF-8).
    EXPECT_TRUE(MatchesPattern("ＡＢＣ.txt", "ａｂｃ.TXT"));
    EXPECT_TRUE(MatchesPattern("Σ.txt", "σ.txt"));
    // "?" is one character, a multi-byte one too, and so is a malformed byte.
    EXPECT_TRUE(MatchesPattern("港.txt", "?.txt"));
    EXPECT_FALSE(MatchesPattern("港.txt", "??.txt"));
    EXPECT_TRUE(MatchesPattern("\xFF.txt", "?.txt"));
    EXPECT_FALSE(MatchesPattern("ア.txt", "*a.txt"));
    EXPECT_TRUE(MatchesPattern("ア.txt", "ア.TXT"));
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
    std::vector<std::string> names{"b", "B", "a", "C", "ｂ", "Ａ"};
    std::sort(names.begin(), names.end(), NameLessNoCase);
    // Equal apart from case: the byte order decides, the same every time.
    EXPECT_EQ(names, (std::vector<std::string>{"a", "B", "b", "C", "Ａ", "ｂ"}));
    EXPECT_EQ(FoldedName("ⅣＸ"), FoldedName("ⅳｘ"));
}
