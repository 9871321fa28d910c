#include "core/search/pasted_text.h"
#include "core/search/global_search.h"
#include "platform/code_page.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using core::JoinPastedLines;
using testing_support::TempDir;

TEST(JoinPastedLines, EachLineEndGoesWithTheIndentAfterIt) {
    const struct {
        std::string_view pasted;
        std::string_view joined;
    } cases[] = {
        {"見当が\r\n　　つかぬ", "見当がつかぬ"},
        {"a\rb\nc\r\nd", "abcd"},
        {"a\n\r\n　b\n", "ab"},      // an empty line between, a line end at the end
        {"a\n 　b", "a 　b"},        // an ordinary space ends the indent
        {"　a　\n\tb", "　a　\tb"},  // the first line's indent and inner spaces stay
        {"a\xC2\x85　b\xE2\x80\xA8　c\xE2\x80\xA9"
         "d",
         "abcd"},  // NEL, line and paragraph separators
        {"a\n　", "a"},
        {"\r\n", ""},
        {"", ""},
        {"\xE3\x80", "\xE3\x80"},  // half an ideographic space is text
    };
    for (const auto& c : cases) EXPECT_EQ(JoinPastedLines(c.pasted), std::string(c.joined)) << c.pasted;
    for (const std::string_view nul :
         {std::string_view("見\0当", 7), std::string_view("\0", 1), std::string_view("a\r\n\0", 4)}) {
        EXPECT_EQ(JoinPastedLines(nul), std::nullopt);
    }
}

// A phrase copied out of a hard-wrapped text, across a line end and into
// the indent or the text of the next line, with whatever line ends the
// copying program gives, finds the line it was copied from once joined.
TEST(JoinPastedLines, APhraseCopiedAcrossALineEndFindsItsPlace) {
    const std::vector<std::string> pool = {"見", "当", "が", "つ", "か", "ぬ", "薄", "暗", "い",
                                           "ニ", "ャ", "ー", "、", "。", "a",  "b",  " ",  "x"};
    const std::vector<std::string> editorEnds = {"\r\n", "\n", "\r", "\xE2\x80\xA9"};
    std::mt19937 random(30);
    TempDir dir;
    for (int text = 0; text < 12; ++text) {
        // Lines as characters, UTF-8; the file is written in code page 932.
        std::vector<std::vector<std::string>> lines(30);
        std::string file;
        for (auto& line : lines) {
            for (int s = random() % 3; s > 0; --s) line.push_back("　");
            for (int n = 1 + random() % 9; n > 0; --n) line.push_back(pool[random() % pool.size()]);
            for (const std::string& c : line) file += c;
            file += "\r\n";
        }
        const std::string path = dir.Write("wrapped.txt", platform::FixedText(file));
        for (int copy = 0; copy < 25; ++copy) {
            const std::size_t k = random() % (lines.size() - 1);
            const auto& line = lines[k];
            const auto& next = lines[k + 1];
            // Line 1 is searched as it is; a later line without its indent.
            std::size_t indent = 0;
            while (k > 0 && indent < line.size() && line[indent] == "　") ++indent;
            if (indent == line.size()) continue;
            const std::size_t from = indent + random() % (line.size() - indent);
            const std::size_t to = random() % (next.size() + 1);
            std::string pasted;
            for (std::size_t i = from; i < line.size(); ++i) pasted += line[i];
            pasted += editorEnds[random() % editorEnds.size()];
            for (std::size_t i = 0; i < to; ++i) pasted += next[i];

            const auto joined = JoinPastedLines(pasted);
            ASSERT_TRUE(joined);
            EXPECT_EQ(joined->find_first_of("\r\n"), std::string::npos);
            core::HitTable hits;
            core::RunGlobalSearch(platform::FixedText(*joined), std::vector<std::string>{path}, hits);
            const auto row = hits.Row(1);
            EXPECT_NE(std::find(row.begin(), row.end(), static_cast<std::int64_t>(k + 1)), row.end())
                << "line " << k + 1 << ", pasted " << pasted;
        }
    }
}
