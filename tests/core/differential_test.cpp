// The fast core against the slow reference on random files and texts.
#include "expect_reference.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string RandomBytes(std::mt19937& rng, std::size_t maxLength, bool lineEnds) {
    static const char text[] = {'a', 'b', '\x81', '\x40', '\x82', '\xA0', '\0', '\xE0'};
    static const char ends[] = {'\r', '\n', '\x1A'};
    std::string s(rng() % (maxLength + 1), ' ');
    for (auto& ch : s) {
        const unsigned r = rng() % 100;
        ch = lineEnds && r < 12 ? ends[r % (r < 11 ? 2 : 3)] : text[rng() % sizeof text];
    }
    return s;
}

}  // namespace

TEST(Differential, GlobalAndLocalListingsMatchTheReference) {
    testing_support::TempDir dir;
    std::mt19937 rng(42);
    for (int round = 0; round < 3000; ++round) {
        const std::string s = RandomBytes(rng, 3, false);
        const std::size_t files = 1 + rng() % 3;
        std::vector<std::string> paths, contents;
        for (std::size_t k = 0; k < files; ++k) {
            contents.push_back(RandomBytes(rng, 40, true));
            paths.push_back(dir.Write("f" + std::to_string(k), contents.back()));
        }
        ASSERT_NO_FATAL_FAILURE(testing_support::ExpectMatchesReference(
            s, paths, contents, {}, "search " + testing::PrintToString(s) + " in " + testing::PrintToString(contents)));
    }
}
