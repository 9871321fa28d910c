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
        // CR. The search may pass over the places where it lies but where
        // no hit's phrase can hold it; the byte at to is read too. Half the
        // texts hold the phrase across a line end, perhaps with an LF and an
        // indent of ideographic spaces.
        const AnchorFinder anchor(phrase, platform::Cp932());
        const std::size_t offset = anchor.Offset();
        const std::size_t m = phrase.size();
        ASSERT_LT(offset + (m > 1 ? 1 : 0), m);
        std::string padded = text + "a\r"[rng() % 2];
        if (m >= 2 && rng() % 2) {
            const std::size_t i = 1 + rng() % (m - 1);
            std::string broken = phrase.substr(0, i) + (rng() % 2 ? "\r\n" : "\r");
            for (std::size_t k = rng() % 3; k > 0; --k) broken += "\x81\x40";
            broken += phrase.substr(i);
            if (broken.size() <= text.size()) {
                padded.replace(rng() % (text.size() - broken.size() + 1), broken.size(), broken);
            }
        }
        const auto anchorAt = [&](std::size_t x) {
            const char next = padded[x + 1];
            return padded[x] == phrase[offset] && (m == 1 || next == phrase[offset + 1] || next == '\r');
        };
        const auto bytesAt = [&](std::size_t at, std::size_t k, std::size_t n) {
            return at + n <= padded.size() && padded.compare(at, n, phrase, k, n) == 0;
        };
        // Whether phrase[k, m) starts the line after the CR at cr, as is
        // or past an indent.
        const auto startsNext = [&](std::size_t cr, std::size_t k) {
            std::size_t at = cr + 1;
            if (at < padded.size() && padded[at] == '\n') ++at;
            if (bytesAt(at, k, m - k)) return true;
            while (padded.compare(at, 2, "\x81\x40") == 0) at += 2;
            return bytesAt(at, k, m - k);
        };
        // Whether a hit's phrase can hold the anchor at x: whole, or split
        // at i with the anchor's first byte in either part.
        const auto hitAt = [&](std::size_t x) {
            if (x >= offset && bytesAt(x - offset, 0, m)) return true;
            for (std::size_t i = 1; i < m; ++i) {
                if (offset < i) {
                    const std::size_t start = x - offset;
                    if (x >= offset && bytesAt(start, 0, i) && padded[start + i] == '\r' && startsNext(start + i, i))
                        return true;
                } else if (x >= offset - i && bytesAt(x - (offset - i), i, m - i)) {
                    // Back from the second part's start over an indent and
                    // an LF to the CR that ends the first part.
                    for (std::size_t at = x - (offset - i);; at -= 2) {
                        for (const std::size_t lf : {0, 1}) {
                            if (at >= i + 1 + lf && (lf == 0 || padded[at - 1] == '\n') &&
                                padded[at - 1 - lf] == '\r' && bytesAt(at - 1 - lf - i, 0, i))
                                return true;
                        }
                        if (at < 2 || padded.compare(at - 2, 2, "\x81\x40") != 0) break;
                    }
                }
            }
            return false;
        };
        AnchorFinder::Passed passed{-1, nullptr, nullptr};
        const auto x =
            static_cast<std::size_t>(anchor.Find(padded.data() + from, padded.data() + to, passed) - padded.data());
        ASSERT_TRUE(from <= x && x <= to && (x == to || anchorAt(x)));
        for (std::size_t y = from; y < x; ++y) {
            ASSERT_FALSE(anchorAt(y) && hitAt(y))
                << "passed over " << y << " for " << x << ": " << testing::PrintToString(phrase) << " in "
                << testing::PrintToString(padded.substr(from, to - from));
        }
        // What the search passed: the CRs before the anchor, and when it
        // tells them, the last one before it and the first one after it.
        const auto crs = std::count(padded.begin() + static_cast<std::ptrdiff_t>(from),
                                    padded.begin() + static_cast<std::ptrdiff_t>(x), '\r');
        const auto lastCr = x > from ? padded.rfind('\r', x - 1) : std::string::npos;
        const auto nextCr = padded.find('\r', x);
        ASSERT_EQ(passed.crs, crs);
        if (passed.lastCr != nullptr) {
            ASSERT_TRUE(lastCr != std::string::npos && lastCr >= from);
            ASSERT_EQ(passed.lastCr, padded.data() + lastCr);
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

// Given a sample of the text, the anchor is the phrase's pair whose places
// there (where it lies, or its first byte before a CR) cost the search
// least: each the same when it stops at them all, or less for those that
// it looks around and passes over, and more for those where the phrase
// around it agrees with the sample, where it then stops.
TEST(ByteSearch, TheAnchorIsThePairWhoseStopsInTheTextCostLeast) {
    std::mt19937 rng(27);
    static const char bytes[] = {'a', 'b', 'c', '\x94', '\x4C', '\x82', '\xC5', '\r'};
    const auto cost = [](std::string_view sample, std::string_view phrase, std::size_t k) {
        const AnchorRest rest{phrase.substr(0, k), phrase.substr(k), platform::Cp932().ideographicSpace};
        std::uint64_t places = 0, agreeing = 0;
        for (std::size_t i = 0; i + 1 < sample.size(); ++i) {
            if (sample[i] != phrase[k] || (sample[i + 1] != phrase[k + 1] && sample[i + 1] != '\r')) continue;
            ++places;
            agreeing += AnchorAgrees(sample.data() + i, sample.data(), &sample.back(), rest);
        }
        // Without the look around each place, and with it.
        return std::min(AnchorFinder::kStopCost * places, places + (AnchorFinder::kLookedStopCost - 1) * agreeing);
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
        const std::uint64_t least = cost(sample, phrase, j);
        for (std::size_t k = 0; k + 1 < phrase.size(); ++k) {
            ASSERT_LE(least, cost(sample, phrase, k))
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
