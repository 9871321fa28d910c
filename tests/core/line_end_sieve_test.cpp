// The line-end sieve against the rule written out by hand, on every
// processor path: its walk passes exactly the chunks in which no CR may end
// a line in the first part of the phrase, counting their CRs.
#include "core/search/line_end_sieve.h"
#include "vector_paths.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(LineEndSieve, WalksExactlyToTheFirstChunkWhereALineMayEndInThePhrase) {
    const testing_support::VectorPaths paths;
    std::mt19937 rng(77);
    for (int round = 0; round < 6000; ++round) {
        const platform::Vectors vectors = testing_support::VectorPaths::kAll[round % 3];
        paths.Use(vectors);
        // Bytes of the phrase (which may hold an LF), CRs and any bytes, as
        // dense or as sparse as the round has them.
        std::string s;
        for (std::size_t n = 1 + rng() % 12; n > 0; --n) s += static_cast<char>(rng() % 8 == 0 ? '\n' : rng() % 256);
        std::erase(s, '\r');
        const core::LineEndSieve sieve(s);
        std::string text(1 + rng() % 600, '\0');
        const unsigned phraseShare = rng() % 6, crShare = phraseShare + 1 + rng() % 4;
        for (char& c : text) {
            const unsigned r = rng() % 16;
            c = r < phraseShare && !s.empty() ? s[rng() % s.size()]
                : r < crShare                 ? '\r'
                                              : static_cast<char>(rng() % 256);
        }

        // The rule by hand: the line from floor to a CR ends in s[0], or in
        // two adjacent bytes of s that are not its last.
        const std::size_t floor = rng() % text.size();
        const auto mayEnd = [&](std::size_t cr) {
            if (s.size() < 2 || cr == floor) return false;
            if (text[cr - 1] == s[0]) return true;
            if (cr - floor < 2) return false;
            for (std::size_t j = 0; j + 2 < s.size(); ++j) {
                if (text[cr - 2] == s[j] && text[cr - 1] == s[j + 1]) return true;
            }
            return false;
        };
        for (std::size_t cr = floor; cr < text.size(); ++cr) {
            if (text[cr] != '\r') continue;
            ASSERT_EQ(sieve.MayEndInPhrase(text.data() + floor, text.data() + cr), mayEnd(cr)) << "round " << round;
        }

        const std::size_t from = floor + rng() % (text.size() - floor);
        const core::LineEndSieve::Run run =
            sieve.Skip(text.data() + from, text.data() + text.size(), text.data() + floor);
        std::size_t stop = from;
        for (bool may = false; !may && stop + 64 <= text.size(); stop += may ? 0 : 64) {
            for (std::size_t i = stop; i < stop + 64; ++i) may = may || (text[i] == '\r' && mayEnd(i));
        }
        std::int64_t count = 0;
        const char* last = nullptr;
        for (std::size_t i = from; i < stop; ++i) {
            if (text[i] != '\r') continue;
            ++count;
            last = text.data() + i;
        }
        ASSERT_EQ(run.stop, text.data() + stop) << "round " << round << " vectors " << static_cast<int>(vectors);
        ASSERT_EQ(run.count, count) << "round " << round;
        ASSERT_EQ(run.last, last) << "round " << round;
    }
}
