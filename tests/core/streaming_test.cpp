// The listing written as it is made: the same bytes as the listing in one
// piece, in blocks of whole lines (a long hit line in pieces), and what was
// written before an error stays written, whoever reads the targets.
#include "core/errors.h"
#include "core/search/global_search.h"
#include "core/search/local_search.h"
#include "platform/file_access.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace core;

namespace {

class RecordingSink final : public ListingSink {
public:
    explicit RecordingSink(std::size_t failAt = 0) : failAt_(failAt) {}
    void Write(std::string block) override {
        if (++blocks == failAt_) {
            // A slow disk first: the readers fill all the room they have.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            throw std::runtime_error("the disk is full");
        }
        EXPECT_TRUE(block.ends_with("\r\n")) << "block " << blocks << " ends inside a line";
        EXPECT_LE(block.size(), 300u * 1024) << "block " << blocks;
        written += block;
    }
    std::string written;
    std::size_t blocks = 0;

private:
    std::size_t failAt_;
};

}  // namespace

TEST(StreamGlobalSearch, WritesTheSameListingInBlocksAndKeepsWhatWasWrittenOnAnError) {
    testing_support::TempDir dir;
    // Three targets of more listing each than a reader may hold ahead of the
    // writer, so that their lines go out in many blocks and the readers wait.
    const std::string hitLine = "x" + std::string(70, 'z') + "\r\n";
    std::string text;
    for (int i = 0; i < 200000; ++i) text += i % 3 == 0 ? hitLine : "y\r\n";
    const std::vector<std::string> targets = {dir.Write("a.txt", text), dir.Write("b.txt", text),
                                              dir.Write("c.txt", text)};
    HitTable hits;
    const std::string whole = RunGlobalSearch("x", targets, hits, nullptr, Readers::Two).text;
    const std::string one = RunGlobalSearch("x", std::span(targets).first(1), hits).text;

    for (const Readers readers : {Readers::Auto, Readers::Two}) {
        for (const std::size_t count : {std::size_t{1}, std::size_t{3}}) {
            const auto chosen = std::span(targets).first(count);
            const std::string& expected = count == 1 ? one : whole;
            RecordingSink sink;
            EXPECT_EQ(StreamGlobalSearch("x", chosen, hits, sink, nullptr, readers), 66667 * count);
            EXPECT_EQ(sink.written, expected);
            EXPECT_GT(sink.blocks, 16 * count);

            // A read fails part-way: what was written is the start of the
            // listing, and the error comes out.
            platform::PlanReadFailure(count == 1 ? 3 : 9, EIO);
            RecordingSink cut;
            EXPECT_THROW(StreamGlobalSearch("x", chosen, hits, cut, nullptr, readers), EInOutError);
            platform::PlanReadFailure(0, 0);
            EXPECT_LT(cut.written.size(), expected.size());
            EXPECT_EQ(expected.compare(0, cut.written.size(), cut.written), 0);

            // The sink fails (a full disk): the search stops with its error
            // and leaves no reader waiting for room.
            RecordingSink full(3);
            EXPECT_THROW(StreamGlobalSearch("x", chosen, hits, full, nullptr, readers), std::runtime_error);
            EXPECT_EQ(expected.compare(0, full.written.size(), full.written), 0);
        }
    }
}

// A hit line of several pieces of the long-line scan goes out in blocks of
// bounded size that join to the whole line, converted as a whole: in each
// encoding of the file and of the listing, with characters and malformed
// bytes of every length across the places where the pieces meet.
TEST(StreamLocalSearch, AHitLineOfAnyLengthGoesOutInPiecesThatJoinToTheLine) {
    struct BoundedSink final : public ListingSink {
        void Write(std::string block) override {
            // A piece grows up to three times when converted into UTF-8.
            EXPECT_LE(block.size(), ListingPart::kBlock + 3 * HitText::kPiece);
            written += block;
        }
        std::string written;
    };
    testing_support::TempDir dir;
    std::mt19937 rng(512);
    const std::u32string characters = U"見当漢字あアｱ〜①a \u00e9";
    struct Malformed {
        const platform::Encoding& encoding;
        std::vector<std::string> bytes;
    };
    const Malformed files[] = {{platform::Cp932(), {"\x81", "\xFD", "\x81\x7F", "\xA0"}},
                               {platform::EucJp(), {"\xA1", "\x8F\xA1", "\x8E", "\xFF"}},
                               {platform::Utf8(), {"\xE3\x81", "\x80", "\xFF", "\xF0\x9F\x98"}}};
    for (const Malformed& file : files) {
        const std::string phrase = platform::EncodeMarked(file.encoding, U"見当");
        std::vector<std::string> pieces(file.bytes);
        for (const char32_t c : characters) pieces.push_back(platform::EncodeMarked(file.encoding, {&c, 1}));
        for (int round = 0; round < 2; ++round) {
            std::string line;
            // Longer than the scan holds with a block read ahead: its start is dropped.
            while (line.size() < 2 * BlockScan::kLongLine + 3 * HitText::kPiece) line += pieces[rng() % pieces.size()];
            // Found in its first bytes, or only at its end, after all was dropped.
            line = round == 0 ? phrase + line : line + "a" + phrase;
            const std::string path = dir.Write("long.txt", "x\r\n" + line + "\r\ny\r\n");
            const TextForm form{&file.encoding, LineEnds::CrLf};
            for (const platform::Encoding* listing : {&platform::Cp932(), &platform::Utf8()}) {
                BoundedSink sink;
                EXPECT_EQ(StreamLocalSearch(path, SearchTextOfBytes(phrase, form), sink, nullptr, form, listing), 1u);
                ASSERT_TRUE(sink.written == "00002: " + platform::Recode(file.encoding, *listing, line) + "\r\n\r\n")
                    << file.encoding.name << " into " << listing->name << ", round " << round;
            }
        }
    }
}

// A read that fails anywhere in a search whose hit line is long, also while
// the line is read again to be listed: what went out is the listing's start,
// line by line, the last line perhaps cut short but ended.
TEST(StreamGlobalSearch, AReadFailingInALongHitLineLeavesWholeLines) {
    struct Collecting final : public ListingSink {
        void Write(std::string block) override { written += block; }
        std::string written;
    };
    testing_support::TempDir dir;
    std::string line = "NEEDLE";
    while (line.size() < 2 * BlockScan::kLongLine + 5 * HitText::kPiece) line += "yz";
    const std::vector<std::string> targets = {dir.Write("a.txt", "x\r\n" + line + "\r\nNEEDLE\r\n"),
                                              dir.Write("b.txt", "NEEDLE\r\n")};
    HitTable hits;
    const std::string whole = RunGlobalSearch("NEEDLE", targets, hits).text;
    const auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            out.push_back(text.substr(at, end - at));
        return out;
    };
    const std::vector<std::string> expected = lines(whole);
    bool failed = true;
    for (std::uint64_t n = 1; failed; ++n) {
        Collecting sink;
        platform::PlanReadFailure(n, EIO);
        try {
            StreamGlobalSearch("NEEDLE", targets, hits, sink);
            failed = false;
        } catch (const EInOutError&) {}
        platform::PlanReadFailure(0, 0);
        const std::string details = "read " + std::to_string(n) + " failing";
        if (!failed) {
            EXPECT_EQ(sink.written, whole) << details;
            break;
        }
        ASSERT_TRUE(sink.written.empty() || sink.written.ends_with("\r\n")) << details;
        const std::vector<std::string> got = lines(sink.written);
        ASSERT_LE(got.size(), expected.size()) << details;
        for (std::size_t i = 0; i < got.size(); ++i) {
            if (i + 1 < got.size()) {
                ASSERT_EQ(got[i], expected[i]) << details << ", line " << i;
            } else {
                ASSERT_TRUE(expected[i].starts_with(got[i])) << details << ", last line " << i;
            }
        }
    }
}
