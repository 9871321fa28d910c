// The block scan against the slow reference, on inputs made to land on its
// edges: the reader's block boundaries, lines longer than a block, long
// indents and lead-byte runs, and search texts with line-end bytes.
#include "core/search/line_reader.h"
#include "core/search/local_search.h"
#include "edge_bytes.h"
#include "expect_reference.h"
#include "platform/file_access.h"
#include "reference_model.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace core;
using testing_support::EdgeBytes;
using testing_support::ExpectMatchesReference;
using testing_support::TempDir;

namespace {

std::string RandomSearchText(std::mt19937& rng, bool noSpaceTrail) {
    static const char bytes[] = {'a', 'b', '\x81', '\x40', '\x82', '\xA0', '\xE0', '\n'};
    std::string s(1 + rng() % 4, ' ');
    for (auto& ch : s) {
        do ch = bytes[rng() % sizeof bytes];
        while (noSpaceTrail && ch == '\x40');
    }
    if (rng() % 20 == 0) s.insert(rng() % s.size(), 1, rng() % 2 ? '\r' : '\x1A');  // no line can hold it
    return s;
}

// Long stretches that end just before a block boundary, so that the edge
// bytes after them straddle it.
std::string Filler(std::mt19937& rng, int kind, std::size_t length) {
    switch (kind) {
    case 0: {  // lines of prose length, CR LF and lone CR
        std::string f;
        while (f.size() < length) f += std::string(rng() % 100, 'z') + (rng() % 3 ? "\r\n" : "\r");
        f.resize(length);
        return f;
    }
    case 1: return std::string(length, 'z');                  // one line longer than a block
    case 2: return "\r\n" + std::string(length - 2, '\xE0');  // lead bytes decide the parity
    default: {                                                // short lines, then a line indented by its last 200 bytes
        std::string f = Filler(rng, 0, length - 200) + "\r\n";
        while (f.size() + 2 <= length) f += "\x81\x40";
        return f;
    }
    }
}

}  // namespace

TEST(BlockScan, ListingsMatchTheReferenceAcrossBlockBoundaries) {
    TempDir dir;
    std::mt19937 rng(2024);
    for (int round = 0; round < 40; ++round) {
        const int kind = round % 4;
        const std::string head = EdgeBytes(rng, rng() % 60);
        const std::string tail = EdgeBytes(rng, 1 + rng() % 80);
        // The boundary falls inside the tail (inside the indent of kind 3):
        // after one block, or after two when the filler is one long line.
        const std::size_t blocks = kind == 1 ? 2 : 1;
        const std::size_t fill = blocks * LineReader::kFileBlock - head.size() + (kind == 3 ? rng() % 150 : 0) -
                                 (kind == 3 ? 0 : rng() % tail.size());
        const std::string content = head + Filler(rng, kind, fill) + tail;
        const std::string s = RandomSearchText(rng, kind == 3);
        const std::string small = EdgeBytes(rng, rng() % 50);

        const std::vector<std::string> paths = {dir.Write("big.txt", content), dir.Write("small.txt", small)};
        ASSERT_NO_FATAL_FAILURE(ExpectMatchesReference(
            s, paths, {content, small}, {},
            "round " + std::to_string(round) + " search " + testing::PrintToString(s) + " head " +
                testing::PrintToString(head) + " tail " + testing::PrintToString(tail)));
    }
}

// Indents next to the phrase: a phrase that starts inside the stripped
// spaces, lines that are nothing but spaces, a lone 0x81 after them.
TEST(BlockScan, TheCleanerDecidesWhereALineStarts) {
    TempDir dir;
    std::mt19937 rng(5);
    static const char* const pieces[] = {"\x81\x40", "\x81\x40\x81\x40", "a", "\x81", "\x40", "\r\n", "\r", "\n", "\0"};
    static const char searchBytes[] = {'\x81', '\x40', 'a', '\n', '\r'};
    for (int round = 0; round < 3000; ++round) {
        std::string content;
        for (std::size_t n = rng() % 16; n > 0; --n) content += pieces[rng() % std::size(pieces)];
        std::string s(1 + rng() % 4, ' ');
        for (auto& ch : s) ch = searchBytes[rng() % sizeof searchBytes];
        ASSERT_NO_FATAL_FAILURE(
            ExpectMatchesReference(s, {dir.Write("t.txt", content)}, {content}, {},
                                   testing::PrintToString(s) + " in " + testing::PrintToString(content)));
    }
}

// A phrase of lead bytes that fits a line end in more than one way: only the
// ways whose start is a character start count, whichever comes first.
TEST(BlockScan, EverySplitOfAPhraseAcrossALineEndIsTried) {
    TempDir dir;
    std::mt19937 rng(17);
    static const char* const pieces[] = {"\x81", "\x81", "a", "\r\n", "\r"};
    for (int round = 0; round < 2000; ++round) {
        std::string content;
        for (std::size_t n = rng() % 14; n > 0; --n) content += pieces[rng() % std::size(pieces)];
        std::string s(2 + rng() % 4, '\x81');
        if (rng() % 2) s[rng() % s.size()] = 'a';
        const std::vector<std::string> paths = {dir.Write("t.txt", content)};
        ASSERT_EQ(RunLocalSearch(paths[0], s).text, reference::LocalListing(s, content))
            << testing::PrintToString(s) << " in " << testing::PrintToString(content);
    }
}

// Phrases long enough for the finder's automaton and for the line-end check
// of long phrases, in lines built from one repeated unit: phrases run on
// across line ends and indents at many splits, most of them near misses.
TEST(BlockScan, LongPhrasesAcrossLineEndsMatchTheReference) {
    TempDir dir;
    std::mt19937 rng(41);
    static const char* const ends[] = {"\r\n", "\r", "\r\n\x81\x40", "\r\x81\x40\x81\x40", "\n"};
    for (int round = 0; round < 400; ++round) {
        std::string unit(1 + rng() % 3, ' ');
        for (auto& ch : unit) ch = "aab\x82"[rng() % 4];
        std::string s;
        while (s.size() < 33 + rng() % 110) s += unit;
        std::string content;
        while (content.size() < rng() % 1500) {
            std::string run;
            while (run.size() < rng() % 200) run += unit;
            content += run + ends[rng() % std::size(ends)];
        }
        if (rng() % 3 == 0 && !content.empty()) content[rng() % content.size()] = 'b';
        ASSERT_NO_FATAL_FAILURE(
            ExpectMatchesReference(s, {dir.Write("t.txt", content)}, {content}, {},
                                   testing::PrintToString(s) + " in " + testing::PrintToString(content)));
    }
}

// Text made of one unit repeated, searched for a run of the same unit that
// starts inside it: every place that holds the phrase may lie inside a
// character, or start one after a flaw moves the characters by a byte, in
// each encoding, inside lines and across line ends, whole or cut.
TEST(BlockScan, RepeatsOfThePhraseSetOffTheCharactersMatchTheReference) {
    TempDir dir;
    std::mt19937 rng(66);
    struct Bytes {
        const char* encoding;
        std::string pool;
    };
    static const Bytes encodings[] = {{"cp932", std::string("\x81\x82\xE0\x40"
                                                            "a",
                                                            5)},
                                      {"euc-jp", std::string("\xA1\xA4\x8E\x8F"
                                                             "a",
                                                             5)},
                                      {"utf-8", std::string("\xE3\x81\x82\xF0\x80"
                                                            "a",
                                                            6)}};
    static const char* const ends[] = {"\r\n", "\r", "\r\n\x81\x40", "\n"};
    for (int round = 0; round < 1500; ++round) {
        const Bytes& bytes = encodings[round % std::size(encodings)];
        const auto pick = [&] { return bytes.pool[rng() % bytes.pool.size()]; };
        std::string unit(1 + rng() % 4, ' ');
        for (auto& ch : unit) ch = pick();
        std::string run;
        while (run.size() < 400) run += unit;
        const std::string s = run.substr(rng() % unit.size(), 2 + rng() % 70);
        std::string content;
        for (std::size_t lines = 1 + rng() % 5; lines > 0; --lines) {
            std::string line(rng() % 3, ' ');
            for (auto& ch : line) ch = pick();
            line += run.substr(0, rng() % run.size());
            for (std::size_t flaws = rng() % 3; flaws > 0 && !line.empty(); --flaws)
                line.insert(rng() % line.size(), 1, pick());
            content += line + ends[rng() % std::size(ends)];
        }
        const reference::Form form{bytes.encoding, rng() % 2 == 0};
        const std::size_t longLine = rng() % 2 ? BlockScan::kLongLine : 1 + rng() % 100;
        const bool clean = rng() % 2;
        ASSERT_EQ(testing_support::ScanHits(dir.Write("t.txt", content), s, clean, form, longLine),
                  testing_support::ReferenceHits(content, s, clean, form))
            << "round " << round << " " << bytes.encoding << " cut after " << longLine << ": "
            << testing::PrintToString(s) << " in " << testing::PrintToString(content);
    }
}

// Lines far longer than the scan holds: cut after a few bytes and read a few
// bytes at a time, every way a line is cut (inside its indent, in a run of
// lead bytes, after a NUL, after a match, before its run-on into an indented
// line is known) gives the reference's hits, from a file and from a stream.
TEST(BlockScan, LinesLongerThanItHoldsGiveTheSameHits) {
    TempDir dir;
    std::mt19937 rng(9);
    static const char* const fillers[] = {"a", "y", "\x81", "\x82", "\x81\x40", "\n", "\0"};
    static const char* const ends[] = {"\r\n", "\r"};
    static const std::string searches[] = {"key",
                                           "ke",
                                           "y",
                                           "\x81\x40k",
                                           "\x81"
                                           "a",
                                           "aaaa",
                                           "\x81\x81",
                                           "y\na",
                                           "a\x81"
                                           "a"};
    struct ShortReads {
        ~ShortReads() { platform::PlanShortReads(0); }
    } shortReads;
    for (int round = 0; round < 1200; ++round) {
        const std::string s = rng() % 4 == 0 ? RandomSearchText(rng, false) : searches[rng() % std::size(searches)];
        // Long runs of filler, line ends, the phrase, and the phrase split
        // across a line end with an indent of any length after it.
        std::string content;
        for (std::size_t n = rng() % 16; n > 0; --n) {
            switch (rng() % 4) {
            case 0:
                for (std::size_t r = 1 + rng() % 50; r > 0; --r) content += fillers[rng() % 5];
                break;
            case 1: content += ends[rng() % 2]; break;
            case 2: content += rng() % 3 == 0 ? fillers[5 + rng() % 2] : s; break;
            default: {
                const std::size_t split = rng() % (s.size() + 1);
                content += s.substr(0, split) + ends[rng() % 2];
                for (std::size_t r = rng() % 30; r > 0; --r) content += "\x81\x40";
                content += s.substr(split);
            }
            }
        }
        const std::size_t longLine = 1 + rng() % 40;
        const bool stream = round % 3 == 0;
        platform::PlanShortReads(1 + rng() % 16);
        for (const bool clean : {false, true}) {
            std::string path = dir.Write("t.txt", content);
            std::optional<testing_support::PipeToStdin> in;
            if (stream) {
                in.emplace(content);
                path.clear();
            }
            ASSERT_EQ(testing_support::ScanHits(path, s, clean, {}, longLine),
                      testing_support::ReferenceHits(content, s, clean))
                << "round " << round << (stream ? " stream" : " file") << " cut after " << longLine << ": "
                << testing::PrintToString(s) << " in " << testing::PrintToString(content);
        }
    }
}

TEST(BlockScan, ViewsAndCopiesOfLinesLongerThanTheBufferAgree) {
    TempDir dir;
    const std::size_t block = LineReader::kFileBlock;
    const std::string content = "a\r\n" + std::string(3 * block + 7, 'x') + "\r" + std::string(block - 1, 'y') +
                                "\r\n\r\n" + std::string(2 * block, 'w') + "\r";
    const std::string path = dir.Write("long.txt", content);
    const auto expected = reference::Lines(content);
    LineReader reader;
    reader.Open(path);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (i % 2 == 0) {
            std::string line;
            reader.ReadLine(line);
            EXPECT_EQ(line, expected[i]) << i;
        } else {
            std::string_view line;
            reader.ReadLineView(line);
            EXPECT_EQ(line, expected[i]) << i;
        }
    }
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Unconsumed().substr(0, 1), "\x1A");  // the end mark, never consumed
    reader.Close();
}

// A large file is read where it lies rather than copied: its hits and its
// lines are those of the reference wherever the blocks, the pages and a
// line's kept bytes fall, and whether the file ends on a page's end (the end
// mark then lies past the file's pages) or inside a page.
TEST(BlockScan, AFileReadInPlaceReadsAsTheReference) {
    TempDir dir;
    std::mt19937 rng(41);
    static const std::string s = "\x8C\xA9\x93\x96";  // 見当
    static const char* const pieces[] = {"\x82\xA0", "a", "\r\n", "\r", "\n", "\x81\x40", "\x8C\xA9", "\x93\x96"};
    for (int round = 0; round < 12; ++round) {
        std::string content;
        const std::size_t size = LineReader::kFileBlock + rng() % (3 * LineReader::kFileBlock);
        while (content.size() < size) {
            const std::size_t run = rng() % 8 == 0 ? rng() % 300000 : rng() % 200;
            const char* piece = pieces[rng() % std::size(pieces)];
            for (std::size_t r = 0; r < run && content.size() < size; ++r) content += piece;
            if (rng() % 3 == 0) content += s.substr(0, 2) + (rng() % 2 ? "\r\n" : "") + s.substr(2);
        }
        if (round % 2 == 0) content.resize(content.size() / 4096 * 4096 + 4096, 'a');
        const std::string path = dir.Write("big.txt", content);
        const std::size_t longLine = round % 3 == 0 ? 1 + rng() % 4000 : BlockScan::kLongLine;
        ASSERT_EQ(testing_support::ScanHits(path, s, round % 4 == 1, {}, longLine),
                  testing_support::ReferenceHits(content, s, round % 4 == 1))
            << "round " << round << ", " << content.size() << " bytes";
        const auto expected = reference::Lines(content);
        LineReader reader;
        reader.Open(path);
        const std::size_t most = 1 + rng() % 70000;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            std::string_view line;
            reader.ReadLineView(line, most);
            ASSERT_EQ(line, std::string_view(expected[i]).substr(0, most)) << "round " << round << ", line " << i;
        }
        EXPECT_TRUE(reader.AtEnd());
        reader.Close();
    }
}
