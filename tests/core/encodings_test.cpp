// The scan in every encoding and with either line-end rule, against the
// reference model written out by hand, on random text built of each
// encoding's characters, stray bytes, line ends of every kind and phrases
// split across them.
#include "core/search/text_form.h"
#include "expect_reference.h"
#include "platform/code_page.h"
#include "platform/file_access.h"
#include "reference_model.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <random>

using namespace core;

namespace {

struct Case {
    const char* encoding;
    LineEnds lineEnds;
    // Characters of one, two, three and four bytes, and bytes that make none
    // where they stand (a lead byte alone, a stray byte that only follows).
    std::vector<std::string> pieces;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"cp932", LineEnds::CrLf, {"a", "b", "\x81\x40", "\x82\xA0", "\x81", "\xE0", "\x40", "\x88\x9F"}},
        {"cp932", LineEnds::Any, {"a", "\x81\x40", "\x82\xA0", "\x81", "\x82", "\x0A"}},
        {"euc-jp",
         LineEnds::Any,
         {"a", "b", "\xA1\xA1", "\xA4\xA2", "\xA2", "\x8E\xB1", "\x8F\xB0\xA1", "\x8F", "\xB0"}},
        {"euc-jp", LineEnds::CrLf, {"a", "\xA1\xA1", "\xA4\xA2", "\x8F\xA2\xA2", "\xA4"}},
        {"utf-8",
         LineEnds::Any,
         {"a", "b", "\xE3\x80\x80", "\xE3\x81\x82", "\xC3\xA9", "\xF0\x9F\x98\x80", "\x80", "\xE3", "\xE3\x81"}},
        {"utf-8", LineEnds::CrLf, {"a", "\xE3\x80\x80", "\xE3\x81\x82", "\x81", "\xF0\x9F"}},
    };
    return cases;
}

std::string Pick(std::mt19937& rng, const std::vector<std::string>& from) { return from[rng() % from.size()]; }

// Text of pieces, line ends (CR LF, lone CR, lone LF), NULs, ideographic
// spaces after line ends, and the phrase, whole or split by a line end.
std::string RandomText(std::mt19937& rng, const Case& c, const std::string& space, const std::string& s) {
    static const char* const ends[] = {"\r\n", "\r", "\n", "\n\n", "\r\r\n"};
    std::string text;
    for (std::size_t n = rng() % 24; n > 0; --n) {
        switch (rng() % 6) {
        case 0:
        case 1:
            for (std::size_t r = 1 + rng() % 12; r > 0; --r) text += Pick(rng, c.pieces);
            break;
        case 2: text += ends[rng() % std::size(ends)]; break;
        case 3: text += rng() % 8 == 0 ? std::string(1, '\0') : s; break;
        default: {
            const std::size_t split = rng() % (s.size() + 1);
            text += s.substr(0, split) + ends[rng() % std::size(ends)];
            for (std::size_t r = rng() % 3; r > 0; --r) text += space;
            text += s.substr(split);
        }
        }
    }
    return text;
}

}  // namespace

TEST(Encodings, ScansAndListingsMatchTheReferenceInEveryEncoding) {
    testing_support::TempDir dir;
    struct ShortReads {
        ~ShortReads() { platform::PlanShortReads(0); }
    } shortReads;
    std::mt19937 rng(314);
    for (const Case& c : Cases()) {
        const reference::Form form{c.encoding, c.lineEnds == LineEnds::Any};
        const std::string space(platform::EncodingNamed(c.encoding)->ideographicSpace);
        for (int round = 0; round < 700; ++round) {
            std::string s;
            for (std::size_t r = 1 + rng() % 3; r > 0; --r) s += rng() % 5 == 0 ? space : Pick(rng, c.pieces);
            const std::string text = RandomText(rng, c, space, s);
            const std::string path = dir.Write("t.txt", text);
            const std::string context = std::string(c.encoding) + " round " + std::to_string(round) + ": " +
                                        testing::PrintToString(s) + " in " + testing::PrintToString(text);

            // The block scan, cutting long lines early and reading a few bytes at a time.
            platform::PlanShortReads(1 + rng() % 16);
            for (const bool clean : {false, true}) {
                ASSERT_EQ(testing_support::ScanHits(path, s, clean, form, 1 + rng() % 24),
                          testing_support::ReferenceHits(text, s, clean, form))
                    << context << (clean ? " cleaned" : "");
            }
            platform::PlanShortReads(0);

            if (round % 7 == 0) {
                ASSERT_NO_FATAL_FAILURE(
                    testing_support::ExpectMatchesReference(s, {path}, {text}, {.form = form}, context));
            }
        }
    }
}

// The rules that the scans ask of the code page, where the encodings differ.
TEST(Encodings, CharacterStartsAndLengthsFollowEachEncodingsTable) {
    const auto startOf = [](const platform::Encoding& e, std::string_view t, std::size_t at) {
        return static_cast<std::size_t>(platform::CharacterStart(e, t.data(), t.data() + at, t.data() + t.size()) -
                                        t.data());
    };
    // Code page 932: any byte after a lead byte is its second one.
    EXPECT_EQ(startOf(platform::Cp932(), "\x81\x81\x81x", 3), 2u);
    EXPECT_EQ(startOf(platform::Cp932(), "\x81\x81x", 1), 0u);
    EXPECT_EQ(startOf(platform::Cp932(), "\x81\x0A", 1), 0u);
    // EUC-JP: three bytes after 0x8F; a byte that may not follow ends a character early.
    EXPECT_EQ(startOf(platform::EucJp(), "\xA4\xA2\x8F\xB0\xA1", 4), 2u);
    EXPECT_EQ(startOf(platform::EucJp(), "\xA4\xA2\xA4\xA2", 3), 2u);
    EXPECT_EQ(startOf(platform::EucJp(),
                      "\xA4"
                      "a\xA4\xA2",
                      1),
              1u);
    // UTF-8: continuation bytes belong to the lead before them; a stray one stands alone.
    EXPECT_EQ(startOf(platform::Utf8(), "a\xF0\x9F\x98\x80", 4), 1u);
    EXPECT_EQ(startOf(platform::Utf8(), "a\x80\x80", 2), 2u);
    EXPECT_EQ(startOf(platform::Utf8(),
                      "\xE3\x81"
                      "a",
                      2),
              2u);
    // At the end of what is readable, a character that may still run on.
    EXPECT_EQ(startOf(platform::Utf8(), "a\xE3\x81", 3), 1u);
    EXPECT_EQ(startOf(platform::Cp932(), "a\x81", 2), 1u);
    EXPECT_EQ(startOf(platform::Cp932(), "a\x82\xA0", 3), 3u);

    // The codecs: typed text in each encoding, and back for a terminal.
    std::size_t unheld = 0;
    EXPECT_EQ(platform::Utf8ToEncoding(platform::EucJp(), "吾輩は", &unheld), "\xB8\xE3\xC7\xDA\xA4\xCF");
    EXPECT_EQ(platform::Utf8ToEncoding(platform::EucJp(), "猫😀", &unheld), std::nullopt);
    EXPECT_EQ(unheld, 1u);
    EXPECT_EQ(platform::EncodingToUtf8(platform::EucJp(),
                                       "\xB8\xE3\xFF"
                                       "a\xA4"),
              "吾\xEF\xBF\xBD"
              "a\xEF\xBF\xBD");
    EXPECT_EQ(platform::EncodingToUtf8(platform::Utf8(), "a\xE3\x81"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
}
