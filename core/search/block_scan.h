// The line scan over whole blocks of a file or stream. Every hit holds the
// phrase's anchor (byte_search.h), in its own line or, when the phrase runs
// on, in the next one; so the anchor is searched for in a block at once,
// only the line of each anchor and the line before it are tested (hit_rule.h),
// and the lines between are only counted, with vector compares. A line longer
// than the block scan holds is handed to the long-line scan, so that memory
// stays bounded whatever the lines' lengths.
#pragma once

#include "core/search/hit_rule.h"
#include "core/search/line_reader.h"
#include "core/search/long_line_scan.h"
#include "platform/cpu_features.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace core {

class BlockScan {
public:
    // Unconsumed bytes beyond which a line with no hit found yet is cut:
    // only what the hit rule can still need of it is kept.
    static constexpr std::size_t kLongLine = std::size_t{1} << 20;
    // The most of a text's first bytes whose pairs are counted to choose
    // the phrase's anchor.
    static constexpr std::size_t kAnchorSample = 64 * 1024;
    // Fewer first bytes than this keep the model's anchor: counting costs
    // more than it saves on so little.
    static constexpr std::size_t kAnchorSampleLeast = 16 * 1024;

    // The reader must be open; its next line is line 1. s is cut at its
    // first NUL. A line longer than longLine bytes (or four times s) is
    // held only while it may be a hit: a line without one costs bounded
    // memory whatever its length, and a hit line whose start was dropped is
    // read again a piece at a time as it is listed (see HitText).
    BlockScan(LineReader& reader, std::string_view s, LineCleaning cleaning, std::size_t longLine = kLongLine);
    BlockScan(const BlockScan&) = delete;
    BlockScan& operator=(const BlockScan&) = delete;

    // Scans on as far as the bytes read allow. Hits() then holds the new hit
    // lines in order; their texts view the reader's buffer until the next
    // call, and a dropped start is read through ReadDropped until then. False when the scan is over: the reader
    // is at the Ctrl-Z that ends the text, or a read failed and its code is
    // pending.
    bool Next();
    const std::vector<HitLine>& Hits() const noexcept { return at_.hits; }
    // Replaces out with size bytes, from at on, of the dropped part of a
    // hit line of Hits() (see HitText). False when reading failed: the code
    // is then pending.
    bool ReadDropped(const HitLine& hit, std::uint64_t at, std::size_t size, std::string& out) {
        return longLines_.ReadDropped(hit, at, size, out);
    }

private:
    void TextEnds(const char* w, const char* textEnd);
    bool WholeLines(const char* w, const char* e);
    bool WholeLinesThenLook(const char* w, const char* e);
    const char* WholeLinesEnd(const char* w, const char* e);
    void Consume(const char* w, const char* to);
    const char* Lines(const char* from, const char* to, const char* limit);
    void LastLine(const char* from, const char* to);
    // The bytes moved on: what was known of them is gone.
    void Forget() noexcept {
        zScanned_ = crScanned_ = 0;
        lastCr_ = -1;
    }

    LineReader& reader_;
    HitRule rule_;
    std::size_t longLine_;
    ScanPosition at_;
    bool done_ = false;
    bool anchorAdapted_ = false;
    // What is known of the unconsumed bytes, by offset: [0, zScanned_) hold
    // no Ctrl-Z; [0, crScanned_) hold no CR but the one at lastCr_ (or none).
    std::size_t zScanned_ = 0;
    std::size_t crScanned_ = 0;
    std::ptrdiff_t lastCr_ = -1;
    // Whether the lines are taken one at a time by the long-line scan.
    bool slow_ = false;
    LongLineScan longLines_;
    platform::Vectors vectors_;
};

}  // namespace core
