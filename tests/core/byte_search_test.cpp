// The phrase finder and the walk over every CR against plain loops, on short
// random texts and on long phrases in periodic text, where nearly every
// position starts a near-match.
#include "core/search/byte_search.h"
#include "platform/cpu_features.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace core;

TEST(ByteSearch, FinderAndLineEndsAgreeWithPlainLoops) {
    std::mt19937 rng(11);
    for (int round = 0; round < 20000; ++round) {
        std::string text(rng() % 120, ' ');
        for (auto& ch : text) ch = "ab\r\x82"[rng() % 4];
        std::string phrase(1 + rng() % 20, ' ');
        for (auto& ch : phrase) ch = "ab\x82"[rng() % 3];
        if (rng() % 2 && text.size() >= phrase.size()) text.replace(rng() % (text.size() - phrase.size() + 1), phrase.size(), phrase);
        const std::size_t from = text.empty() ? 0 : rng() % text.size();
        const std::size_t to = from + rng() % (text.size() - from + 1);

        const PhraseFinder finder(phrase);
        const std::string_view window(text.data() + from, to - from);
        const std::size_t want = window.find(phrase);
        const char* got = finder.Find(text.data() + from, text.data() + to);
        ASSERT_EQ(got, want == std::string_view::npos ? text.data() + to : text.data() + from + want)
            << testing::PrintToString(phrase) << " in " << testing::PrintToString(std::string(window));

        std::vector<const char*> crs, plain;
        ForEachByte(text.data() + from, text.data() + to, '\r', [&](const char* p) { crs.push_back(p); });
        for (std::size_t i = from; i < to; ++i) {
            if (text[i] == '\r') plain.push_back(text.data() + i);
        }
        ASSERT_EQ(crs, plain);
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

// The sieve of the block scan never misses a member, whatever the set, on
// the vector paths and the baseline ones, and is exact for the few-byte sets
// it compares byte by byte. Its walk over chunks passes only chunks where no
// CR follows a member, counting their CRs exactly.
TEST(ByteSet, MaskAndWalkNeverMissAMemberOnEveryProcessorPath) {
    struct Restore {
        ~Restore() { platform::PretendBaselineProcessor(false); }
    } restore;
    std::mt19937 rng(77);
    for (int round = 0; round < 4000; ++round) {
        platform::PretendBaselineProcessor(round % 2 == 1);
        std::string members;
        for (std::size_t n = rng() % 20; n > 0; --n) members += static_cast<char>(rng() % 256);
        const core::ByteSet set(members);
        std::string text(1 + rng() % 400, '\0');
        // Members and CRs as dense or as sparse as the round has them.
        const unsigned memberShare = rng() % 6, crShare = memberShare + 1 + rng() % 4;
        for (char& c : text) {
            const unsigned r = rng() % 16;
            c = r < memberShare && !members.empty() ? members[rng() % members.size()]
                : r < crShare                       ? '\r'
                                                    : static_cast<char>(rng() % 256);
        }
        std::string distinct;
        for (const char c : members) {
            if (distinct.find(c) == std::string::npos) distinct += c;
        }
        std::uint64_t exact = 0;
        for (std::size_t i = 0; i < 64 && i < text.size(); ++i) {
            ASSERT_EQ(set.Contains(text[i]), members.find(text[i]) != std::string::npos);
            if (set.Contains(text[i])) exact |= std::uint64_t{1} << i;
        }
        if (text.size() >= 64) {
            const std::uint64_t mask = set.Mask64(text.data());
            ASSERT_EQ(mask & exact, exact) << "round " << round;
            if (distinct.size() <= 4) {
                ASSERT_EQ(mask, exact) << "round " << round;
            }
        }

        const std::size_t from = rng() % text.size();
        const bool before = from > 0 && rng() % 4 != 0;
        const core::ByteSet::Run run =
            set.SkipWhileNoneFollows(text.data() + from, text.data() + text.size(), '\r', before);
        const auto stop = static_cast<std::size_t>(run.stop - text.data());
        ASSERT_EQ((stop - from) % 64, 0u);
        ASSERT_LE(stop, text.size());
        std::int64_t count = 0;
        const char* last = nullptr;
        for (std::size_t i = from; i < stop; ++i) {
            if (text[i] != '\r') continue;
            ASSERT_FALSE((i > from || before) && set.Contains(text[i - 1])) << "round " << round << " at " << i;
            ++count;
            last = text.data() + i;
        }
        ASSERT_EQ(run.count, count) << "round " << round;
        ASSERT_EQ(run.last, last) << "round " << round;
        if (stop + 64 <= text.size()) {
            // It stopped at a chunk where a CR follows what may be a member:
            // one that shares a member's low half and the low three bits of
            // its high half, or, on the baseline path, any byte of a set of
            // more than four.
            const bool many = distinct.size() > 4;
            const auto mayBe = [&](char c) {
                const auto b = static_cast<unsigned char>(c);
                if (round % 2 == 1) return many || distinct.find(c) != std::string::npos;
                for (const char m : distinct) {
                    const auto u = static_cast<unsigned char>(m);
                    if ((u & 0xF) == (b & 0xF) && (u >> 4 & 7) == (b >> 4 & 7)) return true;
                }
                return false;
            };
            bool must = false;
            for (std::size_t i = stop; i < stop + 64; ++i) {
                if (text[i] == '\r' && (i > from || before))
                    must = must || (i == stop ? set.Contains(text[i - 1]) : mayBe(text[i - 1]));
            }
            ASSERT_TRUE(must) << "round " << round << " stopped at " << stop;
        }
    }
}
