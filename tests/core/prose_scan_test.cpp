// The block scan on long prose-like text against the reference, on the
// processor's vector paths and on the baseline ones: most 64-byte stretches
// hold line ends but no hit, and the rest end lines in bytes of the phrase,
// split it across a line end or hold it whole.
#include "expect_reference.h"
#include "temp_files.h"
#include "vector_paths.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

TEST(BlockScan, ProseMatchesTheReferenceOnEveryProcessorPath) {
    const testing_support::VectorPaths paths;
    testing_support::TempDir dir;
    std::mt19937 rng(1207);
    // Kana and kanji (several share a lead or a trail byte), an indent, ASCII.
    static const char* const pieces[] = {"\x82\xA0", "\x82\xA2", "\x82\xCC", "\x8D\x60", "\x92\xAC",
                                         "\x95\xE9", "\x97\x5B", "\x82\xBD", "\x81\x40", "a"};
    const auto piece = [&] { return std::string(pieces[rng() % std::size(pieces)]); };
    for (int round = 0; round < 240; ++round) {
        // One or two characters, a few (at most four distinct bytes or more),
        // or a long phrase past the finder's short limit.
        std::string s;
        const std::size_t length = std::array<std::size_t, 3>{1 + rng() % 2, 2 + rng() % 4, 8 + rng() % 14}[round % 3];
        while (s.size() < 2 * length) s += piece();
        s.resize(round % 5 == 0 ? s.size() - 1 : s.size());  // a phrase that ends in a lead byte

        std::string text;
        const std::size_t size = 1000 + rng() % 12000;
        while (text.size() < size) {
            for (std::size_t n = 5 + rng() % 40; n > 0; --n) text += piece();
            const std::size_t split = rng() % (s.size() + 1);
            switch (rng() % 30) {
            case 0: text += s; break;
            case 1: text += s.substr(0, split) + "\r\n" + (rng() % 2 ? "\x81\x40" : "") + s.substr(split); break;
            case 2: text += s.substr(0, split); break;  // the next line does not go on with it
            default: break;
            }
            text += rng() % 8 ? "\r\n" : "\r";
        }
        const std::string path = dir.Write("prose.txt", text);
        const bool clean = rng() % 2 == 0;
        const testing_support::HitLines expected = testing_support::ReferenceHits(text, s, clean);
        for (const platform::Vectors vectors : testing_support::VectorPaths::kAll) {
            paths.Use(vectors);
            ASSERT_EQ(testing_support::ScanHits(path, s, clean), expected)
                << "round " << round << " vectors " << static_cast<int>(vectors) << " search "
                << testing::PrintToString(s);
        }
    }
}
