// The scan of long lines, which the block scan hands over to while a line
// outgrows what it holds: the lines are taken one at a time, and a line is
// cut to what the hit rule can still need of it while it is not known to be
// a hit, so that its memory stays bounded whatever its length. A hit line
// whose start was dropped is read again a piece at a time as it is listed
// (from the file, or from a scratch file for a stream; see HitText).
// Internal to the block scan.
#pragma once

#include "core/search/dropped_text.h"
#include "core/search/hit_rule.h"
#include "core/search/line_reader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace core {

// Where a scan of a reader's text stands: the number of the line that the
// unconsumed bytes start with, whether that is the text's first line, and
// the hit lines found since the scan's last step was asked for.
struct ScanPosition {
    std::int64_t line = 1;
    bool first = true;
    std::vector<HitLine> hits;

    void Pass(std::int64_t lines = 1) noexcept {
        line += lines;
        if (lines != 0) first = false;
    }
};

class LongLineScan {
public:
    enum class Step { Progress, NeedMore, Failed };

    LongLineScan(LineReader& reader, const HitRule& rule, ScanPosition& at, std::size_t longLine)
        : reader_(reader), rule_(rule), at_(at), longLine_(longLine), dropped_(reader) {}
    LongLineScan(const LongLineScan&) = delete;
    LongLineScan& operator=(const LongLineScan&) = delete;

    // Whether a line has been cut or dropped part-way: until it is done, the
    // steps must be this scan's.
    bool Busy() const noexcept { return cut_.active || runOn_.active; }

    // One step over the unconsumed bytes [w, e), and the text's end when it
    // is there: Progress when bytes were consumed or a hit found, NeedMore
    // when more bytes must be read first, Failed when a read failed (its
    // code is then pending).
    Step Next(const char* w, const char* e, const char* textEnd);

    // Replaces out with size bytes, from at on, of the dropped part of the
    // hit line the last step listed. False when reading failed: the code is
    // then pending.
    bool ReadDropped(const HitLine& hit, std::uint64_t at, std::size_t size, std::string& out) {
        return dropped_.Read(hit.droppedOffset + at, size, out);
    }

private:
    // What the look at a line so far has found.
    enum class Found { Nothing, Hit, NoHit };

    // The unconsumed bytes [w, e); the text ends at textEnd when it is
    // among them (else nullptr), and limit is where the readable text ends.
    struct Bytes {
        const char* w;
        const char* e;
        const char* textEnd;
        const char* limit;
    };

    Step RunOnOfDropped(const Bytes& b);
    Step FirstLine(const Bytes& b);
    Found FoundIn(HitRule::Line& line) const noexcept;
    Step LineEnded(const Bytes& b, HitRule::Line& line, Found found, const char* cr, std::uint64_t textOffset);
    Step DropBeforeRunOn(const Bytes& b, HitRule::Line& line, const char* cr, const char* next,
                         std::uint64_t textOffset);
    Step CutLine(const Bytes& b, HitRule::Line& line, Found found, std::uint64_t textOffset);
    void Done(const Bytes& b, const char* after);
    bool NextLineKnown(const char* next, const char* limit, const char* textEnd) const noexcept;
    bool Drop(const char* w, const char* to, const char* keepFrom, const char* keepTo);
    void ListDropped(std::int64_t number, std::uint64_t offset, std::uint64_t size, std::string_view rest);
    // Nothing kept of dropped text is needed any more, unless a hit line
    // that needs it was just listed: it is then forgotten once the line has
    // been taken, at the next step.
    void ForgetDropped() noexcept {
        if (!listedDropped_) dropped_.Forget();
    }
    // Where p, among the unconsumed bytes that start at w, lies in the text.
    std::uint64_t OffsetOf(const char* w, const char* p) const noexcept {
        return reader_.UnconsumedOffset() + static_cast<std::uint64_t>(p - w);
    }

    LineReader& reader_;
    const HitRule& rule_;
    ScanPosition& at_;
    std::size_t longLine_;
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
    bool listedDropped_ = false;
};

}  // namespace core
