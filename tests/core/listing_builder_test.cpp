// A listing built block by block, cut anywhere, is the listing indexed whole.
#include "core/output/listing_builder.h"
#include "platform/memory_pages.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>
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

namespace {

// Whether each page of [begin, begin + bytes) is in memory.
std::vector<bool> InMemory(const char* begin, std::size_t bytes) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> pages((bytes + page - 1) / page);
    if (::mincore(const_cast<char*>(begin), bytes, pages.data()) != 0) return {};
    std::vector<bool> in;
    for (const unsigned char p : pages) in.push_back((p & 1) != 0);
    return in;
}

// Waits up to ten seconds for done().
template <class Done>
bool Eventually(Done done) {
    for (int i = 0; i < 1000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

}  // namespace

// A buffer never touched: once the writer is past the start, its pages are
// supplied as far ahead as promised and no further (a listing that stops
// short must not leave its whole room in memory), they are really in memory,
// and the rest follows the writer to the end. Stopped while the writer is
// short of the end, what was supplied past the writer is given back.
TEST(ListingBuilder, PagesAreSuppliedABoundedWayAheadOfTheWriter) {
    constexpr std::size_t kSize = 32 << 20;
    void* mapped = ::mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    const std::unique_ptr<void, std::function<void(void*)>> unmap(mapped, [](void* at) { ::munmap(at, kSize); });
    char* const buffer = static_cast<char*>(mapped);
    // The same start as a listing's bytes have: just past a page's.
    char* const begin = buffer + 16;
    const std::size_t size = kSize - 16;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const auto inMemory = [&](std::size_t at) -> bool { return InMemory(buffer, kSize).at((at + 16) / page); };
    const std::size_t written = PagesAhead::kStart + 100;
    const std::size_t promised = written + PagesAhead::kAhead;
    {
        PagesAhead ahead(begin, size);
        ahead.Written(PagesAhead::kStart - 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(ahead.Supplied(), 0u);

        ahead.Written(written);
        ASSERT_TRUE(Eventually([&] { return ahead.Supplied() == promised; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(ahead.Supplied(), promised);
        for (std::size_t at = written; at < promised; at += page) ASSERT_TRUE(inMemory(at)) << "byte " << at;
        EXPECT_FALSE(inMemory(promised + page));
        EXPECT_FALSE(inMemory(size - 1));

        ahead.Written(size - 1);
        ASSERT_TRUE(Eventually([&] { return ahead.Supplied() == size; }));
        EXPECT_TRUE(inMemory(size - 1));
    }
    platform::ReturnPages(buffer, kSize);
    EXPECT_FALSE(inMemory(written));
    // The bytes written stay, also those that share a page with what is
    // given back.
    std::memset(begin, 'x', written);
    {
        PagesAhead stopped(begin, size);
        stopped.Written(written);
        ASSERT_TRUE(Eventually([&] { return stopped.Supplied() == promised; }));
        EXPECT_TRUE(inMemory(promised - page));
    }
    EXPECT_FALSE(inMemory(promised - page));
    EXPECT_FALSE(inMemory(written + page));
    EXPECT_EQ(std::string_view(begin, written).find_first_not_of('x'), std::string_view::npos);
}
