#include "core/errors.h"
#include "core/search/global_search.h"
#include "core/search/local_search.h"
#include "core/search/range_view.h"
#include "platform/code_page.h"
#include "temp_files.h"

#include <gtest/gtest.h>

using namespace core;
using testing_support::TempDir;

namespace {

std::string Sj(std::string_view utf8) { return platform::FixedText(utf8); }

std::string NumberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
}

std::size_t CountLines(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++n;
    return n;
}

}  // namespace

TEST(RangeView, RendersLabelledLinesInsideTheRange) {
    TempDir dir;
    const std::string path = dir.Write("a.txt", NumberedLines(300));
    HitTable hits;
    const auto all = RenderRange(path, 1, hits, 1, 500);
    EXPECT_EQ(CountLines(all.text), 300u);
    EXPECT_EQ(all.text.substr(0, 15), "00001: line 1\r\n");
    EXPECT_EQ(all.text.substr(all.text.size() - 17), "00300: line 300\r\n");

    const auto middle = RenderRange(path, 1, hits, 100, 102);
    EXPECT_EQ(middle.text, "00100: line 100\r\n00101: line 101\r\n00102: line 102\r\n");
    EXPECT_EQ(RenderRange(path, 1, hits, 1001, 2050).text, "");

    // No cleaning: indents stay, and a lone LF stays inside its line.
    const std::string raw = dir.Write("b.txt", Sj("　a") + "\r\nb\nc\r\n");
    EXPECT_EQ(RenderRange(raw, 1, hits, 1, 500).text, "00001: " + Sj("　a") + "\r\n00002: b\nc\r\n");
    EXPECT_EQ(ViewerCaption("/x/a.txt"), Sj("全文表示 ⇒　") + "/x/a.txt");
}

TEST(RangeView, KeepsOnlyTheFirstBytesAskedFor) {
    TempDir dir;
    const std::string path = dir.Write("a.txt", NumberedLines(300));
    HitTable hits;
    const std::string whole = RenderRange(path, 1, hits, 100, 102).text;
    for (std::size_t limit : {std::size_t(0), std::size_t(3), std::size_t(17), std::size_t(18), std::size_t(40),
                              whole.size(), whole.size() + 1}) {
        EXPECT_EQ(RenderRange(path, 1, hits, 100, 102, limit).text, whole.substr(0, limit)) << limit;
    }
    // A huge line is cut while it is added, and the hit lines stay.
    const std::string huge = dir.Write("b.txt", "x\r\n" + std::string(1 << 20, 'y') + "\r\nz\r\n");
    hits.Row(1)[0] = 3;
    const auto cut = RenderRange(huge, 1, hits, 1, 3, 100);
    EXPECT_EQ(cut.text, "00001: x\r\n00002: " + std::string(100 - 17, 'y'));
    EXPECT_EQ(cut.hitDisplayLines, std::vector<std::int64_t>{2});
}

TEST(RangeView, ColoursTheHitsInsideTheRangeOnly) {
    TempDir dir;
    std::string text = NumberedLines(2100);
    const std::string path = dir.Write("a.txt", text.replace(text.find("line 1040\r"), 9, "line HIT!"));
    const std::string other = dir.Write("b.txt", "nothing");
    HitTable hits;
    const std::vector<std::string> targets = {other, path};
    RunGlobalSearch("HIT!", targets, hits);
    using V = std::vector<std::int64_t>;
    EXPECT_EQ(RenderRange(path, 2, hits, 1, 1050).hitDisplayLines, V{1039});
    EXPECT_EQ(RenderRange(path, 2, hits, 1001, 2050).hitDisplayLines, V{39});
    EXPECT_EQ(RenderRange(path, 2, hits, 1, 500).hitDisplayLines, V{});
    EXPECT_EQ(RenderRange(other, 1, hits, 1, 500).hitDisplayLines, V{});
    EXPECT_EQ(HitDisplayLines(hits, 0, 1, 5000), V{});
    EXPECT_EQ(HitDisplayLines(hits, 21, 1, 5000), V{});
    EXPECT_EQ(HitDisplayLines(hits, 99, 1, 5000), V{});
}

TEST(RangeView, AFullRowIsWalkedToItsEndMark) {
    HitTable hits;
    auto row = hits.Row(3);
    for (std::size_t j = 0; j + 1 < row.size(); ++j) row[j] = static_cast<std::int64_t>(j + 1);
    const auto lines = HitDisplayLines(hits, 3, 200, 300);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines.front(), 0);
    EXPECT_EQ(lines.back(), 49);
}

TEST(RangeView, LabelsWrapAtOneHundredThousand) {
    TempDir dir;
    std::string text;
    for (int i = 1; i <= 100001; ++i) text += "\r\n";
    const std::string path = dir.Write("a.txt", text);
    HitTable hits;
    EXPECT_EQ(RenderRange(path, 1, hits, 99999, 100001).text, "99999: \r\n00000: \r\n00001: \r\n");
}

TEST(RangeView, AMissingFileRaisesTheFileError) {
    TempDir dir;
    HitTable hits;
    EXPECT_THROW(RenderRange(dir.Path("gone.txt"), 1, hits, 1, 500), EInOutError);
}

TEST(LocalSearch, ListsHitLinesUncleanedThenOneMoreLineEnd) {
    TempDir dir;
    const std::string path = dir.Write("a.txt", Sj("　　key") + "\r\nke\r\ny\r\nnone");
    const auto listing = RunLocalSearch(path, "key");
    EXPECT_EQ(listing.text, "00001: " + Sj("　　key") + "\r\n00002: ke\r\n\r\n");
    EXPECT_EQ(listing.hitLines, 2u);
    EXPECT_EQ(RunLocalSearch(path, "key").text, listing.text);  // nothing accumulates
    EXPECT_EQ(RunLocalSearch(path, "").text, "\r\n");
    EXPECT_EQ(RunLocalSearch(path, "absent").text, "\r\n");
    EXPECT_THROW(RunLocalSearch(dir.Path("gone.txt"), "key"), EInOutError);
}
