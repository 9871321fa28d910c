// The phrase finder and the anchor finder (with its count of CRs) against
// plain loops: on short random texts on every processor path, and on long
// phrases in periodic text, where nearly every position starts a
// near-match; and the CR counts where every line is one length.
#include "core/search/byte_search.h"
#include "vector_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace core;

TEST(ByteSearch, FinderAndAnchorAgreeWithPlainLoops) {
    const testing_support::VectorPaths paths;
    std::mt19937 rng(11);
    for (int round = 0; round < 30000; ++round) {
        // Every processor path, on texts long enough for the widest vectors;
        // three in a hundred (one per path) long ones with no anchor and many
        // CRs, so that the counts run long.
        paths.Use(testing_support::VectorPaths::kAll[round % 3]);
        const bool sparse = round % 100 < 3;
        std::string text(sparse ? 4000 + rng() % 9000 : rng() % 300, ' ');
        for (auto& ch : text) ch = sparse ? "cd\r"[rng() % 3] : "ab\r\x82"[rng() % 4];
        // Now and then a Ctrl-Z, which the search may look for on its way.
        if (!text.empty() && rng() % 4 == 0) text[rng() % text.size()] = '\x1a';
        std::string phrase(1 + rng() % 20, ' ');
        for (auto& ch : phrase) ch = "ab\x82"[rng() % 3];
        if (rng() % 2 && text.size() >= phrase.size())
            text.replace(rng() % (text.size() - phrase.size() + 1), phrase.size(), phrase);
        const std::size_t from = text.empty() ? 0 : rng() % text.size();
        const std::size_t to = from + rng() % (text.size() - from + 1);

        const PhraseFinder finder(phrase);
        const std::string_view window(text.data() + from, to - from);
        const std::size_t want = window.find(phrase);
        const char* got = finder.Find(text.data() + from, text.data() + to);
        ASSERT_EQ(got, want == std::string_view::npos ? text.data() + to : text.data() + from + want)
            << testing::PrintToString(phrase) << " in " << testing::PrintToString(std::string(window));

        // The anchor is two adjacent bytes of the phrase (one, for a phrase
        // of one byte); it lies where they do, or its first byte before a
        // CR. The byte at to is read too.
        const AnchorFinder anchor(phrase, platform::Cp932());
        const std::size_t offset = anchor.Offset();
        ASSERT_LT(offset + (phrase.size() > 1 ? 1 : 0), phrase.size());
        // What the search passed: the CRs before the anchor, and when it
        // tells them, the last one before it and the first one after it.
        const std::string padded = text + "a\r"[rng() % 2];
        std::size_t x = from;
        std::int64_t crs = 0;
        const char* lastCr = nullptr;
        for (; x < to; ++x) {
            const char next = padded[x + 1];
            const bool pairs = phrase.size() == 1 || next == phrase[offset + 1] || next == '\r';
            if (padded[x] == phrase[offset] && pairs) break;
            if (padded[x] == '\r') {
                ++crs;
                lastCr = padded.data() + x;
            }
        }
        const auto nextCr = padded.find('\r', x);
        AnchorFinder::Passed passed{-1, nullptr, nullptr};
        ASSERT_EQ(anchor.Find(padded.data() + from, padded.data() + to, passed), padded.data() + x)
            << testing::PrintToString(phrase) << " in " << testing::PrintToString(std::string(window));
        ASSERT_EQ(passed.crs, crs);
        if (passed.lastCr != nullptr) {
            ASSERT_EQ(passed.lastCr, lastCr);
        }
        if (passed.nextCr != nullptr) {
            ASSERT_EQ(passed.nextCr, nextCr < to ? padded.data() + nextCr : nullptr);
        }
        // Bytes said to be clean of a Ctrl-Z are, and lie in the window.
        if (passed.clean != nullptr) {
            const std::size_t clean = static_cast<std::size_t>(passed.clean - padded.data());
            ASSERT_GE(clean, from);
            ASSERT_LE(clean, to);
            ASSERT_FALSE(padded.find('\x1a', from) < clean) << "a Ctrl-Z before " << clean;
        }
    }
    const std::string abc = "abc";
    EXPECT_EQ(PhraseFinder("").Find(abc.data(), abc.data() + 3), abc.data() + 3);
}

// Long phrases in periodic text, where nearly every position starts a
// near-match: each occurrence in a window, and each in turn as the scan asks
// for them (from just past the last one, or further on), as a plain search
// finds them.
TEST(ByteSearch, LongPhrasesAreFoundInTurnAsThePlainSearchFindsThem) {
    std::mt19937 rng(12);
    for (int round = 0; round < 2000; ++round) {
        std::string unit(1 + rng() % 3, ' ');
        for (auto& ch : unit) ch = "aab\x82"[rng() % 4];
        std::string phrase, text;
        while (phrase.size() < 33 + rng() % 120) phrase += unit;
        while (text.size() < rng() % 700) text += unit;
        for (std::size_t n = rng() % 3; n > 0; --n) {
            std::string& flawed = rng() % 2 ? phrase : text;
            if (!flawed.empty()) flawed[rng() % flawed.size()] = 'b';
        }
        const PhraseFinder finder(phrase);
        const std::string_view plain(text);
        const char* const begin = text.data();
        const char* const end = begin + text.size();
        const std::size_t from = text.empty() ? 0 : rng() % text.size();
        const std::size_t want = plain.find(phrase, from);
        ASSERT_EQ(finder.Find(begin + from, end), want == std::string_view::npos ? end : begin + want)
            << testing::PrintToString(phrase) << " in " << testing::PrintToString(text);

        PhraseFinder::Cursor cursor(finder);
        std::size_t at = 0;
        while (at <= text.size()) {
            const std::size_t expected = plain.find(phrase, at);
            const char* got = cursor.Next(begin + at, end);
            ASSERT_EQ(got, expected == std::string_view::npos ? end : begin + expected)
                << "from " << at << ": " << testing::PrintToString(phrase) << " in " << testing::PrintToString(text);
            if (got == end) break;
            at = static_cast<std::size_t>(got - begin) + (rng() % 4 == 0 ? 1 + rng() % 40 : 1);
        }
    }
}

// Given a sample of the text, the anchor is the phrase's pair that the
// sample holds least, counting the places where its first byte ends a line,
// which the anchor stops at too.
TEST(ByteSearch, TheAnchorIsThePairTheTextHoldsLeast) {
    std::mt19937 rng(27);
    static const char bytes[] = {'a', 'b', 'c', '\x94', '\x4C', '\x82', '\xC5', '\r'};
    const auto times = [](std::string_view sample, char a, char b) {
        std::size_t n = 0;
        for (std::size_t i = 0; i + 1 < sample.size(); ++i)
            n += sample[i] == a && (sample[i + 1] == b || sample[i + 1] == '\r');
        return n;
    };
    const testing_support::VectorPaths paths;
    for (int round = 0; round < 3000; ++round) {
        paths.Use(testing_support::VectorPaths::kAll[round % 3]);
        std::string phrase(2 + rng() % 6, ' ');
        for (auto& ch : phrase) ch = bytes[rng() % (sizeof bytes - 1)];
        // Long samples are counted a piece at a time.
        std::string sample(round % 10 == 0 ? rng() % 60000 : rng() % 400, ' ');
        for (auto& ch : sample) ch = bytes[rng() % sizeof bytes];
        const AnchorFinder anchor(phrase, platform::Cp932(), sample);
        const std::size_t j = anchor.Offset();
        ASSERT_LT(j + 1, phrase.size());
        for (std::size_t k = 0; k + 1 < phrase.size(); ++k) {
            ASSERT_LE(times(sample, phrase[j], phrase[j + 1]), times(sample, phrase[k], phrase[k + 1]))
                << testing::PrintToString(phrase) << " in " << testing::PrintToString(sample);
        }
    }
}

// Lines all of one length put a CR in the same byte lane round after round:
// a lane that counts one more round than it can hold wraps, and the lines
// are miscounted. Every length up to four vectors wide, every processor
// path, on texts long enough for several hundred rounds, with the anchor at
// the end and with none at all.
TEST(ByteSearch, CrCountsHoldWhereEveryLineIsOneLength) {
    const testing_support::VectorPaths paths;
    for (const platform::Vectors most : testing_support::VectorPaths::kAll) {
        paths.Use(most);
        const AnchorFinder anchor("ab", platform::Cp932());
        for (std::size_t length = 1; length <= 4 * 64 + 1; ++length) {
            for (const std::string_view end : {std::string_view("\r\n"), std::string_view("\r")}) {
                if (length < end.size()) continue;
                const std::string line = std::string(length - end.size(), '.') + std::string(end);
                const std::size_t lines = std::max<std::size_t>(300, 20000 / length);
                std::string text;
                for (std::size_t i = 0; i < lines; ++i) text += line;
                const std::size_t before = text.size();
                text += "ab";
                const auto crs = static_cast<std::int64_t>(lines);
                const std::string details = "line of " + std::to_string(length) + " ending " +
                                            testing::PrintToString(std::string(end)) + ", path " +
                                            std::to_string(static_cast<int>(most));

                AnchorFinder::Passed passed;
                ASSERT_EQ(anchor.Find(text.data(), text.data() + text.size(), passed), text.data() + before) << details;
                ASSERT_EQ(passed.crs, crs) << details;
                ASSERT_EQ(anchor.Find(text.data(), text.data() + before, passed), text.data() + before) << details;
                ASSERT_EQ(passed.crs, crs) << details;
            }
        }
    }
}
