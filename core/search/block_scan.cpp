#include "core/search/block_scan.h"

#include "core/search/byte_search.h"
#include "core/search/text_bytes.h"

#include <algorithm>
#include <cstring>

namespace core {

BlockScan::BlockScan(LineReader& reader, std::string_view s, LineCleaning cleaning, std::size_t longLine)
    : reader_(reader),
      rule_(s, *reader.Form().encoding, cleaning),
      // Cut no line shorter than a few times s: each cut costs a look at s's length.
      longLine_(std::max(longLine, 4 * rule_.Size())),
      longLines_(reader, rule_, at_, longLine_),
      vectors_(platform::WidestVectors()) {}

bool BlockScan::Next() {
    at_.hits.clear();
    if (done_) return false;
    for (;;) {
        const std::string_view bytes = reader_.Unconsumed();
        const char* const w = bytes.data();
        const char* const e = w + bytes.size();
        if (!anchorAdapted_ && !bytes.empty()) {
            // The text's first block tells which of the phrase's pairs is rare
            // in it; a text too short for the anchor to matter keeps the model's.
            if (bytes.size() >= kAnchorSampleLeast) {
                rule_.AdaptAnchor(bytes.substr(0, std::min(bytes.size(), kAnchorSample)));
            }
            anchorAdapted_ = true;
        }
        // Most blocks hold no Ctrl-Z: their lines are scanned before the look
        // for one, which then reads them from the cache instead of memory. The
        // block that ends the text (its last byte is the reader's end mark)
        // is looked at first.
        if (rule_.Searchable() && !slow_ && !longLines_.Busy() && !bytes.empty() && e[-1] != kCtrlZ &&
            WholeLinesThenLook(w, e)) {
            return true;
        }
        // The Ctrl-Z that ends the text, when it is here.
        const char* textEnd = FindByte(w + zScanned_, e, kCtrlZ, vectors_);
        if (textEnd == e) {
            textEnd = nullptr;
            zScanned_ = bytes.size();
        }

        if (rule_.Searchable() && (slow_ || longLines_.Busy())) {
            const LongLineScan::Step step = longLines_.Next(w, e, textEnd);
            if (step == LongLineScan::Step::Failed) {
                done_ = true;
                return false;
            }
            if (step == LongLineScan::Step::Progress) {
                Forget();
                slow_ = false;
                if (!at_.hits.empty()) return true;
                continue;
            }
        } else if (textEnd != nullptr) {
            TextEnds(w, textEnd);
            done_ = true;
            return false;
        } else if (!rule_.Searchable()) {
            // Nothing can be a hit: only read on to the end.
            reader_.Consume(bytes.size());
            zScanned_ = 0;
        } else if (!bytes.empty()) {
            if (WholeLines(w, e)) return true;
            // A long line holds up the block scan: take the lines one at a time.
            if (bytes.size() >= longLine_) {
                slow_ = true;
                continue;
            }
        }
        if (!reader_.ReadMore()) {
            done_ = true;
            return false;
        }
    }
}

// The text ends in the unconsumed bytes from w, at textEnd: the lines before
// it are scanned, the last one only by what it holds, and it is consumed up
// to the Ctrl-Z.
void BlockScan::TextEnds(const char* w, const char* textEnd) {
    if (rule_.Searchable()) {
        const char* rest = w;
        if (const char* const cr = LastCR(w, textEnd)) {
            rest = cr + 1;
            if (rest < textEnd && *rest == kLF) ++rest;
            Lines(w, rest, textEnd);
        }
        if (rest < textEnd) LastLine(rest, textEnd);
    }
    reader_.Consume(static_cast<std::size_t>(textEnd - w));
}

// Scans and consumes the lines of the unconsumed bytes [w, e) before the
// last two CRs whose next byte is here (so that an LF after one is seen):
// each of them then has its next line whole, as the run-on test needs.
// False when there are no such lines yet.
bool BlockScan::WholeLines(const char* w, const char* e) {
    const char* const to = WholeLinesEnd(w, e);
    if (to == nullptr) return false;
    Lines(w, to, e);
    Consume(w, to);
    return true;
}

// WholeLines on bytes not yet looked at for a Ctrl-Z: the look follows the
// scan, and a Ctrl-Z found undoes it (false; nothing is consumed).
bool BlockScan::WholeLinesThenLook(const char* w, const char* e) {
    const char* const to = WholeLinesEnd(w, e);
    if (to == nullptr) return false;
    const std::size_t hits = at_.hits.size();
    const std::int64_t line = at_.line;
    const bool first = at_.first;
    const char* const clean = Lines(w, to, e);
    if (FindByte(std::max(w + zScanned_, clean), e, kCtrlZ, vectors_) != e) {
        at_.hits.resize(hits);
        at_.line = line;
        at_.first = first;
        return false;
    }
    zScanned_ = static_cast<std::size_t>(e - w);
    Consume(w, to);
    return true;
}

// Where the lines that WholeLines scans end in [w, e), or nullptr when there
// are none yet.
const char* BlockScan::WholeLinesEnd(const char* w, const char* e) {
    const auto searchEnd = static_cast<std::size_t>(e - w) - 1;
    std::ptrdiff_t c2 = lastCr_, c1 = -1;
    if (crScanned_ < searchEnd) {
        if (const char* const cr = LastCR(w + crScanned_, w + searchEnd)) {
            c2 = cr - w;
            const char* const before = LastCR(w + crScanned_, cr);
            c1 = before != nullptr ? before - w : lastCr_;
        }
        crScanned_ = searchEnd;
    }
    lastCr_ = c2;
    if (c1 < 0) return nullptr;
    const char* to = w + c1 + 1;
    if (*to == kLF) ++to;
    return to;
}

void BlockScan::Consume(const char* w, const char* to) {
    const auto used = static_cast<std::size_t>(to - w);
    reader_.Consume(used);
    zScanned_ -= used;
    crScanned_ -= used;
    lastCr_ -= static_cast<std::ptrdiff_t>(used);
}

// The lines that start in [from, to), each ended by a CR before to; bytes
// up to limit are readable, and the line after each of them is whole there
// (it ends at a CR, or at limit). Only the line of each anchor and the line
// before it can be hits; the lines between them are counted, not looked at.
// Returns how far from from on the bytes are known to hold no Ctrl-Z, as
// the anchor search saw them on its way and the look at what it passed over.
const char* BlockScan::Lines(const char* from, const char* to, const char* limit) {
    const AnchorFinder& anchor = rule_.Anchor();
    // The anchors in the line after the last one count too: the phrase may
    // run on into it. The anchor search reads the byte at anchorsEnd: that
    // line's CR, or at the text's end the Ctrl-Z at limit.
    const auto* const nextCr = static_cast<const char*>(std::memchr(to, kCR, static_cast<std::size_t>(limit - to)));
    const char* const anchorsEnd = nextCr != nullptr ? nextCr : limit;
    std::int64_t n = at_.line;
    const char* lineStart = from;  // of line n; the CRs before it are counted
    const auto line = [&](const char* cr) { return rule_.MakeLine(lineStart, cr, !at_.first || lineStart != from); };
    const auto pass = [&](const char* cr) {
        ++n;
        lineStart = cr + 1;
        if (lineStart < limit && *lineStart == kLF) ++lineStart;
    };
    const auto list = [&](HitRule::Line& hit) {
        at_.hits.push_back({n, {hit.Start(), static_cast<std::size_t>(hit.end - hit.Start())}});
    };
    // [from, clean) holds no Ctrl-Z; once a look fails, clean stays.
    const char* clean = from;
    bool looking = true;
    const auto seen = [&](const char* start, const char* upTo) {
        if (!looking) return;
        // Between the two: the rest of a hit line, which the search passed.
        looking = upTo != nullptr &&
                  (start <= clean || std::memchr(clean, kCtrlZ, static_cast<std::size_t>(start - clean)) == nullptr);
        if (looking) clean = std::max(clean, upTo);
    };
    for (;;) {
        AnchorFinder::Passed passed;
        const char* const x = anchor.Find(lineStart, anchorsEnd, passed);
        seen(lineStart, passed.clean);
        const std::int64_t crs = passed.crs;  // in [lineStart, x)
        if (x == anchorsEnd) {
            n += crs;  // none lie in [to, anchorsEnd)
            break;
        }
        if (crs != 0) {
            // The anchor lies in a later line than line n. Of the lines
            // before its own, only the last may be a hit: by running on into
            // the anchor's line, which then holds the anchor in its first
            // Offset() bytes after the indent.
            const char* const last = passed.lastCr != nullptr ? passed.lastCr : LastCR(lineStart, x);
            if (x - rule_.NextText(last, limit) >= static_cast<std::ptrdiff_t>(anchor.Offset())) {
                n += crs - 1;
            } else {
                if (crs >= 2) {
                    n += crs - 2;
                    pass(LastCR(lineStart, last));
                }
                if (HitRule::Line previous = line(last); rule_.RunsOn(previous, limit)) list(previous);
            }
            pass(last);
        }
        const auto* const cr =
            passed.nextCr != nullptr
                ? passed.nextCr
                : static_cast<const char*>(std::memchr(x, kCR, static_cast<std::size_t>(anchorsEnd - x)));
        if (cr == nullptr) break;  // the anchor lies in the line after the last one
        if (HitRule::Line own = line(cr); rule_.LineHit(own, x, limit)) list(own);
        pass(cr);
    }
    at_.Pass(n - at_.line);
    return clean;
}

// The last line of the text, [from, to): only the phrase inside it counts.
void BlockScan::LastLine(const char* from, const char* to) {
    HitRule::Line line = rule_.MakeLine(from, to, !at_.first);
    if (rule_.FirstCounting(line) != nullptr) {
        at_.hits.push_back({at_.line, {line.Start(), static_cast<std::size_t>(to - line.Start())}});
    }
    at_.Pass();
}

}  // namespace core
