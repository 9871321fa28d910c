// The line scan over whole blocks of a file or stream. Every hit holds the
// phrase's anchor (byte_search.h), in its own line or, when the phrase runs
// on, in the next one; so the anchor is searched for in a block at once,
// only the line of each anchor and the line before it are looked at closely,
// and the lines between are only counted, with vector compares. A line is a
// hit when the phrase starts in it at a character start, also when it runs
// on into the next line; the last line only by what it holds. Memory stays
// bounded whatever the lines' lengths.
#pragma once

#include "core/search/byte_search.h"
#include "core/search/dropped_text.h"
#include "core/search/line_reader.h"
#include "platform/code_page.h"

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
    // Unconsumed bytes beyond which a line with no hit found yet is cut:
    // only what the pair test can still need of it is kept.
    static constexpr std::size_t kLongLine = std::size_t{1} << 20;

    // The reader must be open; its next line is line 1. s is cut at its
    // first NUL. A line longer than longLine bytes (or four times s) is
    // held only while it may be a hit: a line without one costs bounded
    // memory whatever its length, and a hit line is read again whole (from
    // the file, or from a scratch file for a stream) to be listed.
    BlockScan(LineReader& reader, std::string_view s, LineCleaning cleaning, std::size_t longLine = kLongLine);
    BlockScan(const BlockScan&) = delete;
    BlockScan& operator=(const BlockScan&) = delete;

    // Scans on as far as the bytes read allow. Hits() then holds the new hit
    // lines in order; their texts view the reader's buffer (or the scan's
    // own copy) until the next call. False when the scan is over: the reader
    // is at the Ctrl-Z that ends the text, or a read failed and its code is
    // pending.
    bool Next();
    const std::vector<HitLine>& Hits() const noexcept { return hits_; }

private:
    struct Line;
    enum class Step { Progress, NeedMore, Failed };
    // What the close look at a line so far has found.
    enum class Found { Nothing, Hit, NoHit };

    void Lines(const char* from, const char* to, const char* limit);
    void LastLine(const char* from, const char* to);
    bool LineHit(Line& line, const char* x, const char* limit) const noexcept;
    const char* FirstAtAnchors(Line& line, const char* x) const noexcept;
    bool RunsOn(Line& line, const char* limit) const noexcept;
    const char* FirstCounting(Line& line, PhraseFinder::Cursor& cursor, const char*& candidate,
                              const char* to) const noexcept;
    const char* NextText(const char* cr, const char* limit) const noexcept;
    bool Spans(Line& line, const char* next, const char* limit) const noexcept;
    const char* CharacterStart(Line& line, const char* at) const noexcept;
    bool StartsCharacter(Line& line, const char* at) const noexcept;
    // What cleans a line's start, when clean_ and the line is to be cleaned.
    const platform::Encoding* Cleaner(bool cleaned) const noexcept { return clean_ && cleaned ? &encoding_ : nullptr; }

    // The one-line-at-a-time scan of long lines.
    Step SlowStep(const char* w, const char* e, const char* textEnd);
    Step RunOnOfDropped(const char* w, const char* limit, const char* textEnd);
    Step FirstLine(const char* w, const char* e, const char* limit, const char* textEnd);
    bool NextLineKnown(const char* next, const char* limit, const char* textEnd) const noexcept;
    bool Drop(const char* w, const char* to, const char* keepFrom, const char* keepTo);
    bool ListDropped(std::int64_t number, std::uint64_t offset, std::uint64_t size, std::string_view rest);

    LineReader& reader_;
    std::string s_;
    PhraseFinder finder_;
    bool searchable_;  // false when no line can hold s
    bool clean_;
    std::size_t longLine_;
    // For each byte b, bit i-1 set when s[i-1] == b (i <= 64): the splits of
    // s across a line end after a line ending in b.
    std::array<std::uint64_t, 256> splitsEndingIn_{};
    // Where a hit may be, line by line.
    AnchorFinder anchors_;

    std::int64_t n_ = 1;  // the number of the line the unconsumed bytes start with
    bool firstLine_ = true;
    bool done_ = false;
    // What is known of the unconsumed bytes, by offset: [0, zScanned_) hold
    // no Ctrl-Z; [0, crScanned_) hold no CR but the one at lastCr_ (or none).
    std::size_t zScanned_ = 0;
    std::size_t crScanned_ = 0;
    std::ptrdiff_t lastCr_ = -1;
    std::vector<HitLine> hits_;

    // The long-line state. slow_: the lines are taken one at a time.
    bool slow_ = false;
    // The first line of the unconsumed bytes after its first bytes were
    // dropped: the bytes then start inside it, at a character start past its
    // indent, and what was found in the dropped part is kept.
    struct {
        bool active = false;
        Found found = Found::Nothing;
        std::uint64_t textOffset = 0;  // where its cleaned text starts
    } cut_;
    // The line before the first one, dropped before the next line's start
    // could tell whether the phrase runs on into it: its last bytes (from a
    // character start) and where its text lies, to read it again if so.
    struct {
        bool active = false;
        std::int64_t number = 0;
        std::uint64_t textOffset = 0;
        std::uint64_t textSize = 0;
        std::string tail;
    } runOn_;
    DroppedText dropped_;
    std::string droppedHit_;  // the text of a hit line read again
    const platform::Encoding& encoding_;
};

}  // namespace core
