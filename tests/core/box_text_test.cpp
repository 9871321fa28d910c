#include "core/output/box_text.h"
#include "core/output/listing_lines.h"
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace core;

namespace {

std::string Sj(std::string_view utf8) { return platform::FixedText(utf8); }

std::u16string U(std::string_view utf8) {
    std::u16string out;
    for (const char32_t c : platform::DecodeUtf8Lossy(utf8)) {
        if (c > 0xFFFF) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

// The bytes behind the shown range [from, to).
std::string Between(const BoxText& box, std::string_view bytes, std::size_t from, std::size_t to) {
    return std::string(bytes.substr(box.byteAt[from], box.byteAt[to] - box.byteAt[from]));
}

}  // namespace

TEST(ListingBoxText, OneParagraphPerLineAndTheWayBackToTheBytes) {
    // CR LF ends a line; a lone LF or CR stays inside it; NUL shows.
    const std::string bytes = Sj("港町") + "\r\na\nb\rc" + std::string(1, '\0') + "\r\r\n\r\n";
    const BoxText box = ListingBoxText(bytes);
    EXPECT_EQ(box.text, U("港町\na\u2028b\u2028c\u2400\u2028\n\n"));
    ASSERT_EQ(box.byteAt.size(), box.text.size() + 1);
    EXPECT_EQ(box.byteAt.back(), bytes.size());
    using Spans = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(box.lines, (Spans{{0, 2}, {3, 10}, {11, 11}}));
    EXPECT_EQ(Between(box, bytes, 0, 2), Sj("港町"));
    EXPECT_EQ(Between(box, bytes, 1, 4), Sj("町") + "\r\na");  // across the line end
    EXPECT_EQ(Between(box, bytes, 3, 8), "a\nb\rc");
    EXPECT_EQ(Between(box, bytes, 8, 9), std::string(1, '\0'));

    // Pairs that decode alike come back as the very bytes that were shown.
    const std::string nec = "\xED\x40 \xFA\x5C";
    const BoxText twins = ListingBoxText(nec);
    EXPECT_EQ(twins.text[0], twins.text[2]);
    EXPECT_EQ(Between(twins, nec, 0, 1), "\xED\x40");
    EXPECT_EQ(Between(twins, nec, 2, 3), "\xFA\x5C");

    // A lone lead byte is two UTF-16 units over one byte.
    const std::string lone = "a\x81 b";
    const BoxText loneBox = ListingBoxText(lone);
    ASSERT_EQ(loneBox.text.size(), 5u);
    EXPECT_EQ(Between(loneBox, lone, 1, 3), "\x81");

    EXPECT_TRUE(ListingBoxText("").text.empty());
    EXPECT_EQ(ListingBoxText("").byteAt, std::vector<std::size_t>{0});
}

TEST(ListingBoxText, ALongLineIsCutWithAMarkThatStandsForTheHiddenBytes) {
    const std::u16string mark = U("…(以下省略)");
    const std::string bytes = "abcdefghij\r\nxy";
    const BoxText box = ListingBoxText(bytes, 4);
    EXPECT_EQ(box.text, u"abcd" + mark + u"\nxy");
    const std::size_t markEnd = 4 + mark.size();
    using Spans = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(box.lines, (Spans{{0, markEnd}, {markEnd + 1, markEnd + 3}}));
    EXPECT_EQ(Between(box, bytes, 0, markEnd), "abcdefghij");  // the whole mark: the hidden bytes too
    EXPECT_EQ(Between(box, bytes, 0, markEnd - 1), "abcd");
    EXPECT_EQ(Between(box, bytes, 2, markEnd + 2), "cdefghij\r\nx");
    EXPECT_EQ(Between(box, bytes, markEnd + 1, box.text.size()), "xy");

    // Exactly the limit: no mark. One more unit: the mark.
    EXPECT_EQ(ListingBoxText("abcd", 4).text, u"abcd");
    EXPECT_EQ(ListingBoxText("abcde", 4).text, u"abcd" + mark);

    // Double-byte characters count one unit; a character is never split,
    // also where the bytes taken for decoding end.
    const std::string kanji = Sj("漢字漢字");
    const BoxText k3 = ListingBoxText(kanji, 3);
    EXPECT_EQ(k3.text, U("漢字漢") + mark);
    EXPECT_EQ(k3.byteAt[3], 6u);
    EXPECT_EQ(ListingBoxText("a" + kanji, 3).text, U("a漢字") + mark);
    EXPECT_EQ(ListingBoxText("aaaaaaa" + Sj("漢"), 8).text, U("aaaaaaa漢"));
    // A two-unit character that does not fit is left out whole.
    EXPECT_EQ(ListingBoxText("ab\x81 cd", 3).text, u"ab" + mark);

    // A line of a megabyte shows the limit and the mark, and the bytes after
    // it still map.
    const std::string huge = std::string(1 << 20, 'z') + "\r\n" + Sj("港");
    const BoxText big = ListingBoxText(huge);
    EXPECT_EQ(big.text.size(), kListingLineUnits + mark.size() + 2);
    EXPECT_EQ(Between(big, huge, big.text.size() - 1, big.text.size()), Sj("港"));
}

TEST(ViewerBoxText, BreaksAtEveryLoneLineFeedAndCutsTheWholeTextAtTheLimit) {
    using Spans = std::vector<std::pair<std::size_t, std::size_t>>;
    // A lone LF breaks the paragraph, but the line goes on.
    const std::string bytes = "ab\r\ncd\ne\r\n";
    const BoxText all = ViewerBoxText(bytes);
    EXPECT_EQ(all.text, u"ab\ncd\ne\n");
    EXPECT_EQ(all.lines, (Spans{{0, 2}, {3, 7}}));
    EXPECT_EQ(Between(all, bytes, 3, 7), "cd\ne");
    EXPECT_EQ(ViewerBoxText("a\rb\n").text, u"a\nb\n");
    EXPECT_EQ(ViewerBoxText("a\rb\n").lines, (Spans{{0, 4}}));

    const BoxText three = ViewerBoxText(bytes, 3);
    EXPECT_EQ(three.text, u"ab\n");
    EXPECT_EQ(three.byteAt.back(), 4u);
    EXPECT_EQ(three.lines, (Spans{{0, 2}}));
    const BoxText two = ViewerBoxText(bytes, 2);
    EXPECT_EQ(two.text, u"ab");
    EXPECT_EQ(two.byteAt.back(), 2u);
    const BoxText four = ViewerBoxText(bytes, 4);
    EXPECT_EQ(four.text, u"ab\nc");
    EXPECT_EQ(four.byteAt.back(), 5u);
    EXPECT_EQ(four.lines, (Spans{{0, 2}, {3, 4}}));

    const std::string one(300000, 'q');
    EXPECT_EQ(ViewerBoxText(one).text.size(), kViewerTextLimit);
    EXPECT_EQ(ViewerBoxText(Sj("漢") + "\x81 ", 2).text, U("漢"));
}

// The viewer is handed only the bytes it can show; the box must not change.
TEST(ViewerBoxText, LooksAtNoMoreBytesThanItSaysItNeeds) {
    std::mt19937 random(7);
    // Line ends, lone CR and LF, lead bytes, trail-only bytes, NUL and ASCII.
    const std::string alphabet = std::string("\r\n\r\n\x81\x82\x40\xA0\xFD", 9) + std::string(1, '\0') + "ab";
    for (int round = 0; round < 20000; ++round) {
        const std::size_t maxUnits = 1 + random() % 12;
        std::string bytes(random() % 48, ' ');
        for (char& c : bytes) c = alphabet[random() % alphabet.size()];
        const std::size_t need = ViewerBytesNeeded(maxUnits);
        const BoxText whole = ViewerBoxText(bytes, maxUnits);
        const BoxText prefix = ViewerBoxText(std::string_view(bytes).substr(0, need), maxUnits);
        ASSERT_EQ(prefix.text, whole.text) << round;
        ASSERT_EQ(prefix.byteAt, whole.byteAt) << round;
        ASSERT_EQ(prefix.lines, whole.lines) << round;
    }
}

TEST(UnitsWithinBytes, CountsWholeCharactersUpToTheByteLimit) {
    const std::string line = "00001: " + Sj("漢字かな");  // 7 + 8 bytes
    const BoxText box = ViewerBoxText(line + "\r\nnext");
    const std::size_t end = 11;  // the paragraph end
    EXPECT_EQ(UnitsWithinBytes(box, 0, end, 4096), 11u);
    EXPECT_EQ(UnitsWithinBytes(box, 0, end, 15), 11u);
    EXPECT_EQ(UnitsWithinBytes(box, 0, end, 14), 10u);  // half a character is left out
    EXPECT_EQ(UnitsWithinBytes(box, 0, end, 13), 10u);
    EXPECT_EQ(UnitsWithinBytes(box, 0, end, 0), 0u);
    EXPECT_EQ(UnitsWithinBytes(box, 12, box.text.size(), 4096), 4u);

    // A two-unit character is kept or left out whole.
    const BoxText lone = ViewerBoxText("ab\x81 c");
    EXPECT_EQ(UnitsWithinBytes(lone, 0, lone.text.size(), 2), 2u);
    EXPECT_EQ(UnitsWithinBytes(lone, 0, lone.text.size(), 3), 4u);

    // 4096 bytes of a long line, NUL marks counting one byte each.
    const std::string longLine = std::string(5000, '\0');
    const BoxText zeros = ViewerBoxText(longLine);
    EXPECT_EQ(UnitsWithinBytes(zeros, 0, zeros.text.size(), kHitColourBytes), 4096u);
}

// The line index of a listing against a plain split at every CR LF, over
// strings made of the bytes that matter to it.
TEST(ListingLines, IndexesTheLinesAPlainSplitFinds) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', '\r', '\n', '\0'};
    for (int round = 0; round < 5000; ++round) {
        std::string bytes(random() % 24, 'a');
        for (char& c : bytes) c = alphabet[random() % 4];
        std::vector<std::string> expected;
        for (std::size_t from = 0;;) {
            const std::size_t crlf = bytes.find("\r\n", from);
            expected.push_back(bytes.substr(from, crlf == std::string::npos ? std::string::npos : crlf - from));
            if (crlf == std::string::npos) break;
            from = crlf + 2;
        }
        const core::ListingLines lines(bytes);
        ASSERT_EQ(lines.Count(), expected.size()) << testing::PrintToString(bytes);
        std::string joined;
        for (std::size_t i = 0; i < lines.Count(); ++i) {
            ASSERT_EQ(lines.Line(i), expected[i]) << testing::PrintToString(bytes) << " line " << i;
            ASSERT_EQ(lines.End(i) - lines.Start(i), expected[i].size());
            joined += std::string(lines.Line(i)) + (i + 1 < lines.Count() ? "\r\n" : "");
        }
        ASSERT_EQ(joined, bytes);
    }
}
