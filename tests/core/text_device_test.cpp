#include "core/output/text_device.h"
#include "core/output/dialog_units.h"
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using core::TextDevice;

namespace {

// A surface with simple metrics that records what is drawn: 'i' is 1 pixel
// wide, a double-byte character 20, any other byte 10; 'T' is 20 high, the
// rest 10; the font is 15 high with an average width of 10 (tab stops 80).
class RecordingSurface : public core::TextSurface {
public:
    RecordingSurface(int width, int height) : width_(width), height_(height) {}

    struct Event {
        int x, y;
        std::string text;  // "<page>" for a new page
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;
    std::vector<std::size_t> measured;  // lengths of the runs measured

    int PrintableWidth() const override { return width_; }
    int PrintableHeight() const override { return height_; }
    int AverageCharWidth() const override { return 10; }
    int FontHeight() const override { return 15; }

    Extent Measure(std::string_view run) override {
        measured.push_back(run.size());
        Extent e{0, 0};
        for (std::size_t i = 0; i < run.size(); ++i) {
            const auto b = static_cast<unsigned char>(run[i]);
            if (platform::IsLeadByte(b) && i + 1 < run.size()) {
                e.width += 20;
                ++i;
            } else {
                e.width += b == 'i' ? 1 : 10;
            }
            e.height = std::max(e.height, b == 'T' ? 20 : 10);
        }
        return e;
    }
    void Draw(int x, int y, std::string_view run) override { events.push_back({x, y, std::string(run)}); }
    void NewPage() override { events.push_back({0, 0, "<page>"}); }

private:
    int width_, height_;
};

using Events = std::vector<RecordingSurface::Event>;

Events Print(RecordingSurface& surface, const std::vector<std::string>& lines) {
    TextDevice device(surface);
    for (const auto& line : lines) device.WriteLine(line);
    device.Close();
    return surface.events;
}

Events Print(int width, int height, const std::vector<std::string>& lines) {
    RecordingSurface surface(width, height);
    return Print(surface, lines);
}

const std::string A = platform::FixedText("あ");  // 82 A0: a double-byte character
const std::string I = platform::FixedText("い");

}  // namespace

TEST(TextDevice, LinesMoveDownByTheirHeightOrTheFontHeightWhenEmpty) {
    // A printed line is its text's height + 2; an empty one the font's height.
    EXPECT_EQ(Print(1000, 1000, {"abc", "", "x", "y"}), (Events{{0, 0, "abc"}, {0, 27, "x"}, {0, 39, "y"}}));
    // A taller run raises the line height; a lower one later does not lower it.
    EXPECT_EQ(Print(1000, 1000, {"a\rT", "b", "T\ra", "c"}),
              (Events{{0, 0, "a"}, {10, 0, "T"}, {0, 22, "b"}, {0, 34, "T"}, {10, 34, "a"}, {0, 56, "c"}}));
}

TEST(TextDevice, ControlBytes) {
    // CR only hands on what is collected; the text goes on where it was.
    EXPECT_EQ(Print(1000, 1000, {"ab\rcd"}), (Events{{0, 0, "ab"}, {20, 0, "cd"}}));
    // LF inside a line starts a new line.
    EXPECT_EQ(Print(1000, 1000, {"ab\ncd"}), (Events{{0, 0, "ab"}, {0, 12, "cd"}}));
    // FF starts a new page at its top left.
    EXPECT_EQ(Print(1000, 1000, {"ab\fcd", "e"}), (Events{{0, 0, "ab"}, {0, 0, "<page>"}, {0, 0, "cd"}, {0, 12, "e"}}));
    // Two form feeds leave a blank page between; a break nothing follows is dropped.
    EXPECT_EQ(Print(1000, 1000, {"a\f\fb", "\f"}),
              (Events{{0, 0, "a"}, {0, 0, "<page>"}, {0, 0, "<page>"}, {0, 0, "b"}}));
}

TEST(TextDevice, TabStopsFollowTheFormula) {
    // W = 80: X + W - ((X + W + 1) mod W) + 1.
    EXPECT_EQ(Print(1000, 1000, {"\tx"}), (Events{{80, 0, "x"}}));                    // 0 -> 80
    EXPECT_EQ(Print(1000, 1000, {"abc\tx"}), (Events{{0, 0, "abc"}, {80, 0, "x"}}));  // 30 -> 80
    EXPECT_EQ(Print(1000, 1000, {"abcdefgh\tx"}),                                     // 80 -> 160
              (Events{{0, 0, "abcdefgh"}, {160, 0, "x"}}));
    // 79 is one short of a stop and skips it: 79 -> 160.
    EXPECT_EQ(Print(1000, 1000, {"abcdefgiiiiiiiii\tx"}), (Events{{0, 0, "abcdefgiiiiiiiii"}, {160, 0, "x"}}));
    // 78 -> 80.
    EXPECT_EQ(Print(1000, 1000, {"abcdefgiiiiiiii\tx"}), (Events{{0, 0, "abcdefgiiiiiiii"}, {80, 0, "x"}}));
    // A stop past the right edge starts a new line.
    EXPECT_EQ(Print(100, 1000, {"\t\tx"}), (Events{{0, 15, "x"}}));
    EXPECT_EQ(Print(100, 1000, {"ab\t\tx"}), (Events{{0, 0, "ab"}, {0, 12, "x"}}));
}

TEST(TextDevice, ARunTooWideIsShortenedOneCharacterAtATime) {
    // Exactly the width fits; the rest goes on the next line.
    EXPECT_EQ(Print(100, 1000, {"abcdefghijkl"}), (Events{{0, 0, "abcdefghij"}, {0, 12, "kl"}}));
    // A double-byte character counts as one and is never cut.
    RecordingSurface surface(100, 1000);
    const std::string run = "a" + A + I + A + I + A + I;  // 10 + 6 * 20 = 130 pixels
    EXPECT_EQ(Print(surface, {run}), (Events{{0, 0, "a" + A + I + A + I}, {0, 12, A + I}}));
    EXPECT_EQ(surface.measured, (std::vector<std::size_t>{13, 11, 9, 4}));
    // After text on the line, a run whose first character does not fit starts a new line.
    EXPECT_EQ(Print(25, 1000, {"a\r" + A}), (Events{{0, 0, "a"}, {0, 12, A}}));
    // A character wider than the whole line is printed alone, and the print moves on.
    EXPECT_EQ(Print(15, 1000, {A + I}), (Events{{0, 0, A}, {0, 12, I}}));
}

TEST(TextDevice, OutputIsHandedOnIn128BytePieces) {
    const std::string line(200, 'a');
    EXPECT_EQ(Print(100000, 1000, {line}), (Events{{0, 0, std::string(128, 'a')}, {1280, 0, std::string(72, 'a')}}));
    // A piece never ends between the two bytes of a character.
    const std::string split = std::string(127, 'a') + A + "b";
    EXPECT_EQ(Print(100000, 1000, {split}), (Events{{0, 0, std::string(127, 'a')}, {1270, 0, A + "b"}}));
    // A trail byte that looks like a lead byte is still a trail byte (0x82 0x82 then a lead).
    const std::string trail = std::string(126, 'a') + "\x82\x82" + A;
    EXPECT_EQ(Print(100000, 1000, {trail}), (Events{{0, 0, std::string(126, 'a') + "\x82\x82"}, {1280, 0, A}}));
    // The pieces of a long line each fit the page by themselves.
    EXPECT_EQ(Print(1000, 1000, {line}),
              (Events{{0, 0, std::string(100, 'a')}, {0, 12, std::string(28, 'a')}, {280, 12, std::string(72, 'a')}}));
}

TEST(TextDevice, ANewPageStartsWhenTheNextLineWouldPassTheBottom) {
    // Height 100, lines of 12: a new page once Y > 100 - 24 = 76.
    const Events events = Print(1000, 100, std::vector<std::string>(9, "x"));
    Events expected;
    for (int y = 0; y <= 72; y += 12) expected.push_back({0, y, "x"});
    expected.push_back({0, 0, "<page>"});
    expected.push_back({0, 0, "x"});
    expected.push_back({0, 12, "x"});
    EXPECT_EQ(events, expected);
    // Exactly seven lines fill the page: the break after the last is not printed.
    EXPECT_EQ(Print(1000, 100, std::vector<std::string>(7, "x")).size(), 7u);
    // Empty lines move by the font's height, 15: a new page once Y > 70.
    std::vector<std::string> lines(5, "");
    lines.push_back("x");
    EXPECT_EQ(Print(1000, 100, lines), (Events{{0, 0, "<page>"}, {0, 0, "x"}}));
    lines.erase(lines.begin());
    EXPECT_EQ(Print(1000, 100, lines), (Events{{0, 60, "x"}}));
}

TEST(TextDevice, ADisplayLineIsCutAt4096BytesWithoutSplittingACharacter) {
    EXPECT_EQ(core::LimitDisplayLine(std::string(4096, 'a')).size(), 4096u);
    EXPECT_EQ(core::LimitDisplayLine(std::string(4097, 'a')).size(), 4096u);
    EXPECT_EQ(core::LimitDisplayLine(std::string(4095, 'a') + A).size(), 4095u);
    EXPECT_EQ(core::LimitDisplayLine(std::string(4094, 'a') + A + "b").size(), 4096u);
    EXPECT_EQ(core::LimitDisplayLine(std::string(4093, 'a') + "\x82\x82" + A).size(), 4095u);
}

TEST(DialogUnits, QuarterAverageLetterWidthAndEighthHeightRounded) {
    const core::DialogUnits du(6.5 * 52, 13);  // letters average 6.5, height 13
    EXPECT_EQ(du.X(4), 7);                     // 6.5 rounds up
    EXPECT_EQ(du.X(180), 293);                 // 292.5
    EXPECT_EQ(du.Y(63), 102);                  // 102.375
    EXPECT_EQ(du.Y(14), 23);                   // 22.75
}
