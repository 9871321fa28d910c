#include "core/search/global_search.h"
#include "core/errors.h"
#include "core/search/listing_format.h"
#include "error_code_of.h"
#include "memory_budget.h"
#include "platform/code_page.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace core;
using testing_support::TempDir;

namespace {

std::string Sj(std::string_view utf8) { return platform::FixedText(utf8); }
const std::string kHeading = Sj("検索字句：　");

std::string Header(const std::string& path, const std::string& index) {
    return (path + " *" + index + std::string(49, '*')).substr(0, 80) + "\r\n";
}

}  // namespace

TEST(GlobalSearch, ListsEveryTargetWithItsHitsAndRecordsThem) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", "one\r\nfind me\r\nthree\r\nfi\r\nnd\r\nlast find");
    const std::string b = dir.Write("b.txt", "nothing here\r\n");
    const std::vector<std::string> targets = {a, b, "", dir.Path("never-opened.txt")};
    HitTable hits;
    hits.Row(5)[0] = 99;  // stale values of an earlier run
    const auto listing = RunGlobalSearch("find", targets, hits);

    EXPECT_EQ(listing.text, kHeading + "find\r\n\r\n" + Header(a, "01") + "00002: find me\r\n" + "00004: fi\r\n" +
                                "00006: last find\r\n\r\n" + Header(b, "02") + "\r\n");
    EXPECT_EQ(listing.hitLines, 3u);
    EXPECT_EQ(hits.Row(1)[0], 2);
    EXPECT_EQ(hits.Row(1)[1], 4);
    EXPECT_EQ(hits.Row(1)[2], 6);
    EXPECT_EQ(hits.Row(1)[3], 0);
    EXPECT_EQ(hits.Row(2)[0], 0);
    EXPECT_EQ(hits.Row(5)[0], 0);
}

TEST(GlobalSearch, HeaderLineIsCutTo80BytesAndIndexedInTwoDigits) {
    EXPECT_EQ(FileHeaderLine("C:\\MEMO\\A.TXT", 1), "C:\\MEMO\\A.TXT *01" + std::string(49, '*'));
    EXPECT_EQ(FileHeaderLine("x", 9).substr(0, 5), "x *09");
    EXPECT_EQ(FileHeaderLine("x", 10).substr(0, 5), "x *10");
    EXPECT_EQ(FileHeaderLine(std::string(28, 'p'), 1).size(), 80u);
    EXPECT_EQ(FileHeaderLine(std::string(90, 'p'), 1), std::string(80, 'p'));
    EXPECT_EQ(FileHeaderLine(std::string(77, 'p'), 1), std::string(77, 'p') + " *0");
    // A double-byte character may be cut in half.
    const std::string path = std::string(79, 'p') + "\x82\xA0";
    EXPECT_EQ(FileHeaderLine(path, 1), std::string(79, 'p') + "\x82");
}

TEST(GlobalSearch, TwentyTargetsAndManyHits) {
    TempDir dir;
    std::string many;
    for (int i = 0; i < 300; ++i) many += "hit\r\n";
    std::vector<std::string> targets;
    for (int k = 1; k <= 21; ++k) targets.push_back(dir.Write("t" + std::to_string(k) + ".txt", many));
    HitTable hits;
    const auto listing = RunGlobalSearch("hit", targets, hits);
    EXPECT_EQ(listing.hitLines, 20u * 300u);  // the 21st entry is never read
    EXPECT_NE(listing.text.find(Header(targets[19], "20")), std::string::npos);
    EXPECT_EQ(listing.text.find(targets[20]), std::string::npos);
    EXPECT_NE(listing.text.find("00300: hit\r\n\r\n"), std::string::npos);
    // The table keeps the first 249 and its end mark.
    for (int k = 1; k <= 20; ++k) {
        EXPECT_EQ(hits.Row(k)[248], 249);
        EXPECT_EQ(hits.Row(k)[249], 0);
    }
}

TEST(GlobalSearch, EmptyFirstTargetListsOnlyTheHeading) {
    HitTable hits;
    const std::vector<std::string> targets = {"", "/etc/hostname"};
    EXPECT_EQ(RunGlobalSearch("x", targets, hits).text, kHeading + "x\r\n\r\n");
}

TEST(GlobalSearch, LaterLinesAreListedCleanedLineOneAsRead) {
    TempDir dir;
    const std::string indent = Sj("　　");
    const std::string a = dir.Write("a.txt", indent + "key\r\n" + indent + "key\r\n");
    HitTable hits;
    const std::vector<std::string> targets = {a};
    EXPECT_EQ(RunGlobalSearch("key", targets, hits).text,
              kHeading + "key\r\n\r\n" + Header(a, "01") + "00001: " + indent + "key\r\n00002: key\r\n\r\n");
}

TEST(GlobalSearch, AFileErrorEndsTheRunKeepingWhatWasRecorded) {
    TempDir dir;
    const std::string a = dir.Write("a.txt", "x\r\nx");
    const std::vector<std::string> targets = {a, dir.Path("gone.txt"), a};
    HitTable hits;
    std::string message;
    EXPECT_EQ(testing_support::ErrorCodeOf([&] { RunGlobalSearch("x", targets, hits); }, &message), 2);
    EXPECT_EQ(message, Sj("ﾌｧｲﾙが見つかりません"));
    EXPECT_EQ(hits.Row(1)[0], 1);
    EXPECT_EQ(hits.Row(1)[1], 2);
    EXPECT_EQ(hits.Row(3)[0], 0);
}

// The listing holds what the targets gave and reserves nothing from their
// sizes: a small target with many hits before a huge one without any.
TEST(GlobalSearch, ATargetsSizeReservesNoListing) {
    TempDir dir;
    std::string xs;
    for (int i = 0; i < 300; ++i) xs += "x\r\n";
    // A Ctrl-Z ends the huge one's text at once; the rest is a hole, no disk.
    const std::string huge = dir.Write("huge.txt", "\x1A");
    std::filesystem::resize_file(huge, std::uintmax_t{8} << 30);
    const std::vector<std::string> targets = {dir.Write("xs.txt", xs), huge};
    const auto search = [&] {
        HitTable hits;
        return RunGlobalSearch("x", targets, hits).hitLines == 300;
    };
    EXPECT_EXIT(testing_support::RunOnABudget(std::size_t{256} << 20, search), testing::ExitedWithCode(0), "");
}

// A file's name goes into the listing in the listing's encoding, whatever
// the names hold: what that encoding can't write becomes its 〓, never bytes
// of another encoding.
TEST(GlobalSearch, HeaderLinesAreWrittenInTheListingsEncoding) {
    TempDir dir;
    const std::string path = dir.Write("①é.txt", "NEEDLE\r\n");
    const std::u32string folder = platform::DecodeUtf8Lossy(dir.Path(""));
    const struct {
        const platform::Encoding& encoding;
        std::u32string name;
    } listings[] = {{platform::Cp932(), U"①〓.txt"}, {platform::EucJp(), U"〓é.txt"}, {platform::Utf8(), U"①é.txt"}};
    for (const auto& listing : listings) {
        HitTable hits;
        const TextForm form{&listing.encoding, LineEnds::CrLf};
        const std::string text =
            RunGlobalSearch("NEEDLE", {&path, 1}, hits, nullptr, Readers::Auto, form, &listing.encoding).text;
        const std::optional<std::u32string> decoded = platform::DecodeStrict(listing.encoding, text);
        ASSERT_TRUE(decoded.has_value()) << listing.encoding.name;
        EXPECT_NE(decoded->find(folder + listing.name + U" *01"), std::u32string::npos) << listing.encoding.name;
    }
}
