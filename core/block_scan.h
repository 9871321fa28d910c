// The line scan over whole blocks of a regular file: the phrase is searched
// for in a block at once, line ends are found with vector compares, and a
// line is looked at closely only where the phrase, or the start of it at a
// line end, turns up. It finds exactly the hits of the line-by-line scan.
#pragma once

#include "core/byte_search.h"
#include "core/line_reader.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

enum class LineCleaning { None, StripIdeographicSpaces };

struct HitLine {
    std::int64_t number;    // 1 for the line the scan started at
    std::string_view text;  // the line as tested (cleaned), without its end
};

class BlockScan {
public:
    // The reader must be block-readable (an open regular file); its next
    // line is line 1. s is cut at its first NUL.
    BlockScan(LineReader& reader, std::string_view s, LineCleaning cleaning);
    BlockScan(const BlockScan&) = delete;
    BlockScan& operator=(const BlockScan&) = delete;

    // Scans on as far as the bytes read allow. Hits() then holds the new hit
    // lines in order; their texts view the reader's buffer until the next
    // call. False when the scan is over: the reader is at the Ctrl-Z that
    // ends the text, or a read failed and its code is pending.
    bool Next();
    const std::vector<HitLine>& Hits() const noexcept { return hits_; }

private:
    struct Line;

    void Lines(const char* from, const char* to, const char* limit);
    void LastLine(const char* from, const char* to);
    bool LineHit(Line& line, const char* limit, const char* to, bool maySpan, PhraseFinder::Cursor& cursor,
                 const char*& candidate) const noexcept;
    const char* FirstCounting(Line& line, PhraseFinder::Cursor& cursor, const char*& candidate,
                              const char* to) const noexcept;
    bool Spans(Line& line, const char* cr, const char* limit) const noexcept;
    bool StartsCharacter(Line& line, const char* at) const noexcept;

    LineReader& reader_;
    std::string s_;
    PhraseFinder finder_;
    bool searchable_;  // false when no line can hold s
    bool clean_;
    std::array<bool, 256> lead_{};
    // The pairs of adjacent bytes of s, as a 64K-bit set: a line can end in
    // the first part of s only if its last two bytes are one of them.
    std::vector<std::uint64_t> pairs_;
    // For each byte b, bit i-1 set when s[i-1] == b (i <= 64): the splits of
    // s across a line end after a line ending in b.
    std::array<std::uint64_t, 256> splitsEndingIn_{};

    std::int64_t n_ = 1;  // the number of the line the unconsumed bytes start with
    bool firstLine_ = true;
    bool done_ = false;
    // What is known of the unconsumed bytes, by offset: [0, zScanned_) hold
    // no Ctrl-Z; [0, crScanned_) hold no CR but the one at lastCr_ (or none).
    std::size_t zScanned_ = 0;
    std::size_t crScanned_ = 0;
    std::ptrdiff_t lastCr_ = -1;
    std::vector<HitLine> hits_;
};

}  // namespace core
