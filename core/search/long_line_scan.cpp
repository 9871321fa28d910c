#include "core/search/long_line_scan.h"

#include "core/search/text_bytes.h"

#include <algorithm>
#include <cstring>

namespace core {

LongLineScan::Step LongLineScan::Next(const char* w, const char* e, const char* textEnd) {
    if (listedDropped_) {
        listedDropped_ = false;
        dropped_.Forget();
    }
    const Bytes b{w, e, textEnd, textEnd != nullptr ? textEnd : e};
    return runOn_.active ? RunOnOfDropped(b) : FirstLine(b);
}

// Whether the dropped line runs on into the first line of the unconsumed
// bytes, told once that line's start is here; until then its indent, which
// the test skips, is dropped as it comes.
LongLineScan::Step LongLineScan::RunOnOfDropped(const Bytes& b) {
    const char* const next = rule_.Cleans() ? platform::SkipIdeographicSpaces(rule_.Encoding(), b.w, b.limit) : b.w;
    if (!NextLineKnown(next, b.limit, b.textEnd)) {
        if (next == b.w) return Step::NeedMore;
        reader_.Consume(static_cast<std::size_t>(next - b.w));
        return Step::Progress;
    }
    HitRule::Line tail = rule_.MakeLine(runOn_.tail.data(), runOn_.tail.data() + runOn_.tail.size(), false);
    runOn_.active = false;
    if (rule_.Spans(tail, next, b.limit)) ListDropped(runOn_.number, runOn_.textOffset, runOn_.textSize, {});
    ForgetDropped();
    return Step::Progress;
}

// The first line of the unconsumed bytes, looked at alone: listed (when a
// hit) and consumed once it ends here and its run-on can be told; when it
// goes on and is long, cut to what the run-on test can still need of it.
LongLineScan::Step LongLineScan::FirstLine(const Bytes& b) {
    // Its end: a CR whose next byte is here (for an LF after it), or the text's.
    const char* const crLimit = b.textEnd != nullptr ? b.textEnd : b.e - 1;
    const void* crFound = crLimit > b.w ? std::memchr(b.w, kCR, static_cast<std::size_t>(crLimit - b.w)) : nullptr;
    const auto* const cr = static_cast<const char*>(crFound);
    HitRule::Line line = rule_.MakeLine(b.w, cr != nullptr ? cr : b.limit, !cut_.active && !at_.first);
    const bool ends = cr != nullptr || b.textEnd != nullptr;
    if (!ends && line.clean &&
        static_cast<std::size_t>(b.e - line.Start()) < rule_.Encoding().ideographicSpace.size()) {
        // Nothing but indent so far, and it may go on: no text holds it.
        if (line.Start() == b.w) return Step::NeedMore;
        reader_.Consume(static_cast<std::size_t>(line.Start() - b.w));
        return Step::Progress;
    }
    const std::uint64_t textOffset = cut_.active ? cut_.textOffset : OffsetOf(b.w, line.Start());
    const Found found = cut_.found != Found::Nothing ? cut_.found : FoundIn(line);
    return ends ? LineEnded(b, line, found, cr, textOffset) : CutLine(b, line, found, textOffset);
}

// What the bytes of the line here tell by themselves.
LongLineScan::Found LongLineScan::FoundIn(HitRule::Line& line) const noexcept {
    if (rule_.FirstCounting(line) != nullptr) return Found::Hit;
    // The joined text ends at a NUL: no run-on either.
    return line.FirstNul() < line.end ? Found::NoHit : Found::Nothing;
}

// The line ends here, at cr or at the text's end: listed when a hit, once
// its run-on can be told, and consumed.
LongLineScan::Step LongLineScan::LineEnded(const Bytes& b, HitRule::Line& line, Found found, const char* cr,
                                           std::uint64_t textOffset) {
    bool hit = found == Found::Hit;
    if (found == Found::Nothing && cr != nullptr && line.Start() < cr) {
        const char* const next = rule_.NextText(cr, b.limit);
        if (!NextLineKnown(next, b.limit, b.textEnd)) {
            if (!cut_.active && static_cast<std::size_t>(b.e - b.w) < longLine_) return Step::NeedMore;
            return DropBeforeRunOn(b, line, cr, next, textOffset);
        }
        hit = rule_.Spans(line, next, b.limit);
    }
    if (hit) {
        if (cut_.active) {
            const std::uint64_t dropped = OffsetOf(b.w, b.w) - textOffset;
            ListDropped(at_.line, textOffset, dropped, {b.w, static_cast<std::size_t>(line.end - b.w)});
        } else {
            at_.hits.push_back({at_.line, {line.Start(), static_cast<std::size_t>(line.end - line.Start())}});
        }
    }
    const char* after = line.end;
    if (cr != nullptr) {
        after = cr + 1;
        if (after < b.limit && *after == kLF) ++after;
    }
    Done(b, after);
    return Step::Progress;
}

// The line ends at cr, but the next line's start that tells its run-on is
// not here yet and the bytes are many: keep what the run-on test needs of
// the line, and drop it.
LongLineScan::Step LongLineScan::DropBeforeRunOn(const Bytes& b, HitRule::Line& line, const char* cr, const char* next,
                                                 std::uint64_t textOffset) {
    const char* from = std::max(line.Start(), cr - (rule_.Size() - 1));
    from = rule_.CharacterStart(line, from);
    runOn_.active = true;
    runOn_.number = at_.line;
    runOn_.textOffset = textOffset;
    runOn_.textSize = OffsetOf(b.w, cr) - textOffset;
    runOn_.tail.assign(from, cr);
    if (!Drop(b.w, next, line.Start(), cr)) return Step::Failed;
    cut_ = {};
    at_.Pass();
    return Step::Progress;
}

// The line goes on: when long, keep only the bytes a match may still start
// in (none once it is known to be a hit or not), from a character start;
// the text dropped is kept to be listed should it be a hit.
LongLineScan::Step LongLineScan::CutLine(const Bytes& b, HitRule::Line& line, Found found, std::uint64_t textOffset) {
    if (!cut_.active && static_cast<std::size_t>(b.e - b.w) < longLine_) return Step::NeedMore;
    // A CR as the last byte may end the line: it stays until its next byte comes.
    const char* keepFrom = b.e > b.w && b.e[-1] == kCR ? b.e - 1 : b.e;
    if (found == Found::Nothing) {
        const auto back = std::min(rule_.Size() - 1, static_cast<std::size_t>(keepFrom - line.Start()));
        keepFrom = rule_.CharacterStart(line, std::max(line.Start(), keepFrom - back));
    }
    if (keepFrom == b.w) return Step::NeedMore;
    cut_.active = true;
    cut_.found = found;
    cut_.textOffset = textOffset;
    if (found == Found::NoHit) {
        dropped_.Forget();
        reader_.Consume(static_cast<std::size_t>(keepFrom - b.w));
    } else if (!Drop(b.w, keepFrom, line.Start(), keepFrom)) {
        return Step::Failed;
    }
    return Step::Progress;
}

// The first line is done: consumed up to after, and the next one is first.
void LongLineScan::Done(const Bytes& b, const char* after) {
    reader_.Consume(static_cast<std::size_t>(after - b.w));
    cut_ = {};
    ForgetDropped();
    at_.Pass();
}

// Whether the next line is here as far as the run-on test reads it, from
// next (past its indent): s.size() - 1 bytes of it, or a byte that no match
// runs on across (a line end or a NUL), or the text's end.
bool LongLineScan::NextLineKnown(const char* next, const char* limit, const char* textEnd) const noexcept {
    if (textEnd != nullptr) return true;
    const auto room = static_cast<std::size_t>(limit - next);
    // The indent may go on past what is here.
    const std::string_view space = rule_.Encoding().ideographicSpace;
    if (rule_.Cleans() && room < space.size() && std::memcmp(next, space.data(), room) == 0) return false;
    return room + 1 >= rule_.Size() || std::memchr(next, kCR, room) != nullptr || std::memchr(next, 0, room) != nullptr;
}

// Consumes [w, to), keeping the text among them, [keepFrom, keepTo), to
// list it should the line turn out to be a hit. False when keeping failed.
bool LongLineScan::Drop(const char* w, const char* to, const char* keepFrom, const char* keepTo) {
    keepFrom = std::max(keepFrom, w);
    keepTo = std::min(keepTo, to);
    if (keepFrom < keepTo &&
        !dropped_.Keep(OffsetOf(w, keepFrom), {keepFrom, static_cast<std::size_t>(keepTo - keepFrom)})) {
        return false;
    }
    reader_.Consume(static_cast<std::size_t>(to - w));
    return true;
}

// Lists line number, whose size bytes of text at offset were dropped
// before, with rest (its bytes still here) after them. The dropped bytes are
// read again only as the line is taken, so that no line is held whole.
void LongLineScan::ListDropped(std::int64_t number, std::uint64_t offset, std::uint64_t size, std::string_view rest) {
    at_.hits.push_back({number, rest, offset, size});
    listedDropped_ = true;
}

}  // namespace core
