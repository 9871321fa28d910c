// The scan of long lines: taken one at a time, each cut to what the pair
// test can still need of it while it is not known to be a hit.
#include "core/search/block_scan.h"
#include "core/search/block_scan_line.h"

#include <algorithm>
#include <cstring>

namespace core {

using namespace block_scan;

// One step of the scan of long lines, over the unconsumed bytes [w, e) and
// the text's end when it is there: Progress when bytes were consumed or a hit
// found, NeedMore when more bytes must be read first.
BlockScan::Step BlockScan::SlowStep(const char* w, const char* e, const char* textEnd) {
    const char* const limit = textEnd != nullptr ? textEnd : e;
    return runOn_.active ? RunOnOfDropped(w, limit, textEnd) : FirstLine(w, e, limit, textEnd);
}

// Whether the dropped line runs on into the first line of the unconsumed
// bytes, told once that line's start is here; until then its indent, which
// the test skips, is dropped as it comes.
BlockScan::Step BlockScan::RunOnOfDropped(const char* w, const char* limit, const char* textEnd) {
    const char* const next = clean_ ? platform::SkipIdeographicSpaces(encoding_, w, limit) : w;
    if (!NextLineKnown(next, limit, textEnd)) {
        if (next == w) return Step::NeedMore;
        reader_.Consume(static_cast<std::size_t>(next - w));
        return Step::Progress;
    }
    Line tail{runOn_.tail.data(), runOn_.tail.data() + runOn_.tail.size(), nullptr};
    runOn_.active = false;
    if (Spans(tail, next, limit) && !ListDropped(runOn_.number, runOn_.textOffset, runOn_.textSize, {})) {
        return Step::Failed;
    }
    dropped_.Forget();
    return Step::Progress;
}

// The first line of the unconsumed bytes, looked at alone: listed (when a
// hit) and consumed once it ends here and its run-on can be told; when it
// goes on and is long, cut to what the pair test can still need of it.
BlockScan::Step BlockScan::FirstLine(const char* w, const char* e, const char* limit, const char* textEnd) {
    // Its end: a CR whose next byte is here (for an LF after it), or the text's.
    const char* const crLimit = textEnd != nullptr ? textEnd : e - 1;
    const void* crFound = crLimit > w ? std::memchr(w, kCR, static_cast<std::size_t>(crLimit - w)) : nullptr;
    const auto* const cr = static_cast<const char*>(crFound);
    const char* const end = cr != nullptr ? cr : limit;
    Line line{w, end, Cleaner(!cut_.active && !firstLine_)};
    const bool ends = cr != nullptr || textEnd != nullptr;
    if (!ends && line.clean && static_cast<std::size_t>(e - line.Start()) < encoding_.ideographicSpace.size()) {
        // Nothing but indent so far, and it may go on: no text holds it.
        if (line.Start() == w) return Step::NeedMore;
        reader_.Consume(static_cast<std::size_t>(line.Start() - w));
        return Step::Progress;
    }
    const auto offsetOf = [&](const char* p) { return reader_.UnconsumedOffset() + static_cast<std::uint64_t>(p - w); };
    const std::uint64_t textOffset = cut_.active ? cut_.textOffset : offsetOf(line.Start());

    Found found = cut_.found;
    if (found == Found::Nothing) {
        PhraseFinder::Cursor cursor(finder_);
        const char* candidate = cursor.Next(line.Start(), end);
        if (FirstCounting(line, cursor, candidate, end) != nullptr) {
            found = Found::Hit;
        } else if (line.FirstNul() < end) {
            found = Found::NoHit;  // the joined text ends at the NUL: no run-on either
        }
    }

    if (ends) {
        bool hit = found == Found::Hit;
        if (found == Found::Nothing && cr != nullptr && line.Start() < cr) {
            const char* const next = NextText(cr, limit);
            if (!NextLineKnown(next, limit, textEnd)) {
                if (!cut_.active && static_cast<std::size_t>(e - w) < longLine_) return Step::NeedMore;
                // Keep what the run-on test needs of the line, and drop it.
                const char* from = std::max(line.Start(), cr - (s_.size() - 1));
                from = CharacterStart(line, from);
                runOn_.active = true;
                runOn_.number = n_;
                runOn_.textOffset = textOffset;
                runOn_.textSize = offsetOf(cr) - textOffset;
                runOn_.tail.assign(from, cr);
                if (!Drop(w, next, line.Start(), cr)) return Step::Failed;
                cut_ = {};
                ++n_;
                firstLine_ = false;
                return Step::Progress;
            }
            hit = Spans(line, next, limit);
        }
        if (hit) {
            if (cut_.active) {
                if (!ListDropped(n_, textOffset, offsetOf(w) - textOffset, {w, static_cast<std::size_t>(end - w)})) {
                    return Step::Failed;
                }
            } else {
                hits_.push_back({n_, {line.Start(), static_cast<std::size_t>(end - line.Start())}});
            }
        }
        const char* after = end;
        if (cr != nullptr) {
            after = cr + 1;
            if (after < limit && *after == kLF) ++after;
        }
        reader_.Consume(static_cast<std::size_t>(after - w));
        cut_ = {};
        dropped_.Forget();
        ++n_;
        firstLine_ = false;
        return Step::Progress;
    }

    // The line goes on: when long, keep only the bytes a match may still
    // start in (none once it is known to be a hit or not), from a character
    // start; the text dropped is kept to be listed should it be a hit.
    if (!cut_.active && static_cast<std::size_t>(e - w) < longLine_) return Step::NeedMore;
    // A CR as the last byte may end the line: it stays until its next byte comes.
    const char* keepFrom = e > w && e[-1] == kCR ? e - 1 : e;
    if (found == Found::Nothing) {
        keepFrom = std::max(line.Start(), keepFrom - std::min(s_.size() - 1, static_cast<std::size_t>(keepFrom - line.Start())));
        keepFrom = CharacterStart(line, keepFrom);
    }
    if (keepFrom == w) return Step::NeedMore;
    cut_.active = true;
    cut_.found = found;
    cut_.textOffset = textOffset;
    if (found == Found::NoHit) {
        dropped_.Forget();
        reader_.Consume(static_cast<std::size_t>(keepFrom - w));
    } else if (!Drop(w, keepFrom, line.Start(), keepFrom)) {
        return Step::Failed;
    }
    return Step::Progress;
}

// Whether the next line is here as far as the run-on test reads it, from
// next (past its indent): s.size() - 1 bytes of it, or a byte that no match
// runs on across (a line end or a NUL), or the text's end.
bool BlockScan::NextLineKnown(const char* next, const char* limit, const char* textEnd) const noexcept {
    if (textEnd != nullptr) return true;
    const auto room = static_cast<std::size_t>(limit - next);
    // The indent may go on past what is here.
    const std::string_view space = encoding_.ideographicSpace;
    if (clean_ && room < space.size() && std::memcmp(next, space.data(), room) == 0) return false;
    return room + 1 >= s_.size() || std::memchr(next, kCR, room) != nullptr || std::memchr(next, 0, room) != nullptr;
}

// Consumes [w, to), keeping the text among them, [keepFrom, keepTo), to
// list it should the line turn out to be a hit. False when keeping failed.
bool BlockScan::Drop(const char* w, const char* to, const char* keepFrom, const char* keepTo) {
    keepFrom = std::max(keepFrom, w);
    keepTo = std::min(keepTo, to);
    if (keepFrom < keepTo) {
        const std::uint64_t offset = reader_.UnconsumedOffset() + static_cast<std::uint64_t>(keepFrom - w);
        if (!dropped_.Keep(offset, {keepFrom, static_cast<std::size_t>(keepTo - keepFrom)})) return false;
    }
    reader_.Consume(static_cast<std::size_t>(to - w));
    return true;
}

// Lists line number, whose text at offset was dropped before: read again,
// with rest (its bytes still here) after it. False when the reading failed.
bool BlockScan::ListDropped(std::int64_t number, std::uint64_t offset, std::uint64_t size, std::string_view rest) {
    if (!dropped_.Read(offset, static_cast<std::size_t>(size), droppedHit_)) return false;
    droppedHit_.append(rest);
    hits_.push_back({number, droppedHit_});
    return true;
}

}  // namespace core
