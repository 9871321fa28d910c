// A listing built block by block, cut anywhere, is the listing indexed whole.
#include "core/output/listing_builder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace core;

namespace {

void ExpectSameListing(const ListingLines& built, const ListingLines& whole, const std::string& what) {
    ASSERT_EQ(built.Bytes(), whole.Bytes()) << what;
    ASSERT_EQ(built.Count(), whole.Count()) << what;
    for (std::size_t i = 0; i < whole.Count(); ++i) {
        ASSERT_EQ(built.Start(i), whole.Start(i)) << what << ", line " << i;
        ASSERT_EQ(built.End(i), whole.End(i)) << what << ", line " << i;
    }
}

class CountingProgress final : public RunProgress {
public:
    void SetTotal(std::uint64_t bytes) override { total = bytes; }
    void StartFile(std::string_view path) override { file = path; }
    bool Read(std::uint64_t bytes) override { return (read += bytes) < 100; }
    std::uint64_t total = 0, read = 0;
    std::string file;
};

}  // namespace

// Texts of CR, LF, NUL and other bytes, lone and in runs ("\r\r\n", "\n\r",
// a CR last), cut into blocks at random places, among them between a CR and
// its LF and into empty blocks; with room expected for none, too little and
// plenty, so that the bytes are grown into as well as written in place.
TEST(ListingBuilder, BlocksCutAnywhereIndexAsTheWholeListing) {
    std::mt19937 random(27);
    const char alphabet[] = {'\r', '\n', 'a', '\0', '\x82', '\r', '\n'};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const std::size_t length = round < 20 ? static_cast<std::size_t>(round) : random() % 3000;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % sizeof alphabet];
        if (round % 3 == 0) text += "\r\n";

        ListingBuilder builder;
        CountingProgress progress;
        ExpectingProgress expecting(progress, builder);
        const std::uint64_t expected[] = {0, text.size() / 8, text.size() * 2};
        if (round % 3 != 0) expecting.SetTotal(expected[round % 3]);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t cut = random() % 5 == 0 ? 0 : 1 + random() % 200;
            builder.Write(text.substr(at, cut));
            at += cut;
        }
        const std::string what = "round " + std::to_string(round);
        ExpectSameListing(builder.Take(), ListingLines(text), what);
        if (round % 3 != 0) {
            EXPECT_EQ(progress.total, expected[round % 3]) << what;
        }
        // Taken, the builder starts over empty.
        builder.Write("x\r");
        builder.Write("\ny");
        ExpectSameListing(builder.Take(), ListingLines("x\r\ny"), what + ", again");
    }
}

// The progress passed through answers as the run's own: the stop request
// comes back, and the file reported reaches it.
TEST(ListingBuilder, ExpectingProgressPassesTheRunsProgressOn) {
    ListingBuilder builder;
    CountingProgress progress;
    ExpectingProgress expecting(progress, builder);
    expecting.SetTotal(1 << 20);
    expecting.StartFile("a.txt");
    EXPECT_TRUE(expecting.Read(60));
    EXPECT_FALSE(expecting.Read(60));
    EXPECT_EQ(progress.file, "a.txt");
    EXPECT_EQ(progress.read, 120u);
    // Room expected and never written is given back with the listing.
    builder.Write("a\r\n");
    const ListingLines listing = builder.Take();
    EXPECT_LT(listing.Bytes().capacity(), 1024u);
    ExpectSameListing(listing, ListingLines("a\r\n"), "small listing");
    // Input larger than any memory is a hint like any other, never a failure.
    expecting.SetTotal(std::uint64_t{1} << 50);
    builder.Write("b\r\n");
    ExpectSameListing(builder.Take(), ListingLines("b\r\n"), "vast input");
}
