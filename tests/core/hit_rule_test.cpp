#include "core/search/scan_lines.h"
#include "pair_rule.h"
#include "platform/code_page.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <random>

using namespace core;

namespace {

std::string Sj(std::string_view utf8) { return platform::FixedText(utf8); }

// The rules written out the slow, obvious way: classify each candidate by
// walking from the first byte, and join the pair.
std::size_t ModelPos(std::string s, std::string t) {
    s = s.substr(0, s.find('\0'));
    t = t.substr(0, t.find('\0'));
    if (s.empty() || t.empty()) return 0;
    for (std::size_t at = 0; at + s.size() <= t.size(); ++at) {
        if (t.compare(at, s.size(), s) != 0) continue;
        bool trail = false;
        for (std::size_t i = 0; i < at; ++i) {
            trail = !trail && platform::IsLeadByte(static_cast<unsigned char>(t[i]));
        }
        if (!trail) return at + 1;
    }
    return 0;
}

bool ModelPair(const std::string& s, const std::string& p, const std::string& c) {
    const std::size_t pos = ModelPos(s, p + c);
    return pos > 0 && pos <= p.size();
}

// A periodic run of a short random unit with a few flaws: long phrases meet
// near-matches at almost every position in such text, and line ends in it.
std::string Periodic(std::mt19937& rng, const std::string& unit, std::size_t length) {
    static const char flaws[] = {'b', '\x82', '\0', '\x81'};
    std::string s;
    while (s.size() < length) s += unit;
    s.resize(length);
    for (std::size_t n = rng() % 3; n > 0 && !s.empty(); --n) s[rng() % s.size()] = flaws[rng() % sizeof flaws];
    return s;
}

std::string RandomBytes(std::mt19937& rng, std::size_t maxLength) {
    // Few values, so that matches, lead bytes and NULs meet often.
    static const char alphabet[] = {'a', 'b', '\x81', '\x40', '\x82', '\xA0', '\xE0', '\0'};
    std::string s(rng() % (maxLength + 1), ' ');
    for (auto& ch : s) ch = alphabet[rng() % sizeof alphabet];
    return s;
}

}  // namespace

TEST(SubstringPos, FindsTheFirstOccurrenceThatStartsACharacter) {
    EXPECT_EQ(SubstringPos("b", "abcb"), 2u);
    EXPECT_EQ(SubstringPos("", "abc"), 0u);
    EXPECT_EQ(SubstringPos("a", ""), 0u);
    EXPECT_EQ(SubstringPos("abcd", "abc"), 0u);
    EXPECT_EQ(SubstringPos("B", "abc"), 0u);  // case-sensitive
    EXPECT_EQ(SubstringPos(std::string("\0a", 2), "a"), 0u);
    EXPECT_EQ(SubstringPos("c", std::string("ab\0c", 4)), 0u);  // nothing after a NUL matches

    // ア is 83 41: searching "A" (41) must not hit its trail byte.
    EXPECT_EQ(SubstringPos("A", Sj("ア")), 0u);
    EXPECT_EQ(SubstringPos("A", Sj("アA")), 3u);
    // A character whose trail byte equals the lead of another: 82 A0 (あ)
    // then 82 A0; "A0 82" starts on a trail byte and never counts.
    EXPECT_EQ(SubstringPos("\xA0\x82", Sj("ああ")), 0u);
    // After a run of lead-valued bytes, parity decides.
    EXPECT_EQ(SubstringPos("\x81", "\x81\x81\x81"), 1u);
    EXPECT_EQ(SubstringPos("\x81x", "\x81\x81\x81x"), 3u);
    EXPECT_EQ(SubstringPos("\x81x", "\x81\x81x"), 0u);
}

TEST(PairHit, AMatchThatStartsInTheLineCountsForIt) {
    EXPECT_TRUE(PairHit("ab", "xxa", "byy"));
    EXPECT_FALSE(PairHit("ab", "xx", "aby"));
    EXPECT_TRUE(PairHit("ab", "ab", ""));
    EXPECT_FALSE(PairHit("ab", "", "ab"));
    EXPECT_FALSE(PairHit("", "ab", "ab"));
    EXPECT_TRUE(PairHit("abc", "a", "bc"));
    EXPECT_FALSE(PairHit("abc", "a", "b"));
    // A NUL in the previous line ends the joined text there.
    EXPECT_FALSE(PairHit("ab", std::string("a\0", 2), "b"));
    EXPECT_FALSE(PairHit("ab", "a", std::string("\0b", 2)));
    EXPECT_TRUE(PairHit("ab", "xa", std::string("b\0", 2)));
    // A phrase broken by the wrap, in Japanese.
    EXPECT_TRUE(PairHit(Sj("吾輩は猫"), Sj("そして吾輩"), Sj("は猫である")));
    // The start must not be a trail byte of the previous line's last character.
    EXPECT_FALSE(PairHit("\xA0\x82", Sj("あ"), Sj("あ")));
}

TEST(PairHit, AgreesWithTheJoinedStringModelOnRandomInput) {
    std::mt19937 rng(20261207);
    for (int i = 0; i < 200000; ++i) {
        const std::string s = RandomBytes(rng, 4);
        const std::string p = RandomBytes(rng, 9);
        const std::string c = RandomBytes(rng, 9);
        ASSERT_EQ(PairHit(s, p, c), ModelPair(s, p, c))
            << testing::PrintToString(s) << " " << testing::PrintToString(p) << " " << testing::PrintToString(c);
        ASSERT_EQ(SubstringPos(s, p), ModelPos(s, p));
    }
}

// Phrases far longer than the finder's short form, in text where every
// position nearly matches: the same answers as the model.
TEST(PairHit, LongPhrasesAgreeWithTheModel) {
    std::mt19937 rng(32);
    static const char unitBytes[] = {'a', 'a', 'b', '\x82', '\x81'};
    for (int i = 0; i < 3000; ++i) {
        std::string unit(1 + rng() % 3, ' ');
        for (auto& ch : unit) ch = unitBytes[rng() % sizeof unitBytes];
        const std::string s = Periodic(rng, unit, 33 + rng() % 100);
        const std::string p = Periodic(rng, unit, rng() % 200);
        const std::string c = Periodic(rng, unit, rng() % 200);
        ASSERT_EQ(PairHit(s, p, c), ModelPair(s, p, c))
            << testing::PrintToString(s) << " " << testing::PrintToString(p) << " " << testing::PrintToString(c);
        ASSERT_EQ(SubstringPos(s, p + c), ModelPos(s, p + c));
    }
}

TEST(LineCleaner, StripsOnlyLeadingIdeographicSpaces) {
    auto clean = [](std::string s) {
        StripLeadingIdeographicSpaces(s);
        return s;
    };
    EXPECT_EQ(clean(Sj("　　abc")), "abc");
    EXPECT_EQ(clean(Sj("　")), "");
    EXPECT_EQ(clean(Sj("a　b")), Sj("a　b"));
    EXPECT_EQ(clean(" \t" + Sj("　")), " \t" + Sj("　"));
    EXPECT_EQ(clean("\x81"), "\x81");
    EXPECT_EQ(clean(Sj("　") + "\x81"), "\x81");
}

TEST(ScanLines, ReportsEachHitOnceWithItsOwnNumber) {
    testing_support::TempDir dir;
    auto scan = [&](const std::string& bytes, const std::string& s, LineCleaning cleaning) {
        LineReader reader;
        std::vector<std::string> found;
        WithTextFile(reader, dir.Write("t.txt", bytes), [&](LineReader& r) {
            ScanLines(r, s, cleaning, [&](std::int64_t n, std::string_view label, const HitText& text) {
                found.push_back(std::to_string(n) + "|" + std::string(label) + "|" + text.Joined());
            });
        });
        return found;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(scan("", "a", LineCleaning::None), V{});
    EXPECT_EQ(scan("xay", "a", LineCleaning::None), V{"1|00001|xay"});
    EXPECT_EQ(scan("x\r\ny\r\nza", "a", LineCleaning::None), V{"3|00003|za"});
    EXPECT_EQ(scan("xa\r\nbx\r\n", "ab", LineCleaning::None), V{"1|00001|xa"});
    EXPECT_EQ(scan("a\r\na\r\na", "a", LineCleaning::None), (V{"1|00001|a", "2|00002|a", "3|00003|a"}));

    // The cleaner spares line 1, and lets a phrase join across indented lines.
    const std::string indented = Sj("　　ab") + "\r\n" + Sj("x　") + "\r\n" + Sj("　　ab");
    EXPECT_EQ(scan(indented, "ab", LineCleaning::StripIdeographicSpaces), (V{"1|00001|" + Sj("　　ab"), "3|00003|ab"}));
    EXPECT_EQ(scan(indented, "ab", LineCleaning::None), (V{"1|00001|" + Sj("　　ab"), "3|00003|" + Sj("　　ab")}));
    const std::string split = Sj("吾輩は") + "\r\n" + Sj("　猫である");
    EXPECT_EQ(scan(split, Sj("は猫"), LineCleaning::StripIdeographicSpaces), V{"1|00001|" + Sj("吾輩は")});
    EXPECT_EQ(scan(split, Sj("は猫"), LineCleaning::None), V{});
}
