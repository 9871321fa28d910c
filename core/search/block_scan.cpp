#include "core/search/block_scan.h"

#include "platform/code_page.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace core {

namespace {
constexpr char kCR = 0x0D;
constexpr char kLF = 0x0A;
constexpr char kCtrlZ = 0x1A;

unsigned Byte(char c) noexcept { return static_cast<unsigned char>(c); }
}  // namespace

// One line [begin, end) and what has been worked out about it so far; each
// fact is found at most once, and only for lines where a hit is possible.
struct BlockScan::Line {
    const char* begin;
    const char* end;
    const platform::Encoding* clean;  // when given, its ideographic spaces lead no text
    const char* start = nullptr;  // after the stripped spaces
    const char* sync = nullptr;   // a known character start, start <= sync
    const char* nul = nullptr;    // the first NUL, or end
    bool nulKnown = false;

    const char* Start() noexcept {
        if (start == nullptr) {
            start = clean != nullptr ? platform::SkipIdeographicSpaces(*clean, begin, end) : begin;
            sync = start;
        }
        return start;
    }
    const char* FirstNul() noexcept {
        if (!nulKnown) {
            const void* z = std::memchr(begin, 0, static_cast<std::size_t>(end - begin));
            nul = z != nullptr ? static_cast<const char*>(z) : end;
            nulKnown = true;
        }
        return nul;
    }
};

BlockScan::BlockScan(LineReader& reader, std::string_view s, LineCleaning cleaning, std::size_t longLine)
    : reader_(reader),
      s_(s.substr(0, s.find('\0'))),
      finder_(s_),
      searchable_(!s_.empty() && s_.find(kCR) == std::string::npos && s_.find(kCtrlZ) == std::string::npos),
      clean_(cleaning == LineCleaning::StripIdeographicSpaces),
      // Cut no line shorter than a few times s: each cut costs a look at s's length.
      longLine_(std::max(longLine, 4 * s_.size())),
      pairs_(65536 / 64),
      dropped_(reader),
      encoding_(*reader.Form().encoding) {
    for (std::size_t j = 0; j + 2 < s_.size(); ++j) {
        const unsigned pair = Byte(s_[j]) << 8 | Byte(s_[j + 1]);
        pairs_[pair / 64] |= std::uint64_t{1} << (pair % 64);
    }
    for (std::size_t i = 1; i < s_.size() && i <= 64; ++i) splitsEndingIn_[Byte(s_[i - 1])] |= std::uint64_t{1} << (i - 1);
}

bool BlockScan::Next() {
    hits_.clear();
    if (done_) return false;
    for (;;) {
        const std::string_view bytes = reader_.Unconsumed();
        const char* const w = bytes.data();
        const char* const e = w + bytes.size();
        // The Ctrl-Z that ends the text, when it is here.
        const auto* const textEnd = static_cast<const char*>(std::memchr(w + zScanned_, kCtrlZ, bytes.size() - zScanned_));
        if (textEnd == nullptr) zScanned_ = bytes.size();

        if (searchable_ && (slow_ || cut_.active || runOn_.active)) {
            const Step step = SlowStep(w, e, textEnd);
            if (step == Step::Failed) {
                done_ = true;
                return false;
            }
            if (step == Step::Progress) {
                // The bytes moved on: what the block scan knew of them is gone.
                zScanned_ = crScanned_ = 0;
                lastCr_ = -1;
                slow_ = false;
                if (!hits_.empty()) return true;
                continue;
            }
        } else if (textEnd != nullptr) {
            // The text ends in these bytes: scan the rest, stop at the Ctrl-Z.
            if (searchable_) {
                const void* cr = ::memrchr(w, kCR, static_cast<std::size_t>(textEnd - w));
                const char* rest = w;
                if (cr != nullptr) {
                    rest = static_cast<const char*>(cr) + 1;
                    if (rest < textEnd && *rest == kLF) ++rest;
                    Lines(w, rest, textEnd);
                }
                if (rest < textEnd) LastLine(rest, textEnd);
            }
            reader_.Consume(static_cast<std::size_t>(textEnd - w));
            done_ = true;
            return false;
        } else if (!searchable_) {
            // Nothing can be a hit: only read on to the end.
            reader_.Consume(bytes.size());
            zScanned_ = 0;
        } else if (!bytes.empty()) {
            // The last two CRs whose next byte is here (so that an LF after
            // one is seen): the lines before the last one have their next
            // line whole, as the pair test needs.
            const std::size_t searchEnd = bytes.size() - 1;
            std::ptrdiff_t c2 = lastCr_, c1 = -1;
            if (crScanned_ < searchEnd) {
                if (const void* cr = ::memrchr(w + crScanned_, kCR, searchEnd - crScanned_)) {
                    c2 = static_cast<const char*>(cr) - w;
                    const void* before = ::memrchr(w + crScanned_, kCR, static_cast<std::size_t>(c2) - crScanned_);
                    c1 = before != nullptr ? static_cast<const char*>(before) - w : lastCr_;
                }
                crScanned_ = searchEnd;
            }
            lastCr_ = c2;
            if (c1 >= 0) {
                const char* to = w + c1 + 1;
                if (*to == kLF) ++to;
                Lines(w, to, e);
                const auto used = static_cast<std::size_t>(to - w);
                reader_.Consume(used);
                zScanned_ -= used;
                crScanned_ -= used;
                lastCr_ -= static_cast<std::ptrdiff_t>(used);
                return true;
            }
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

// The lines that start in [from, to), each ended by a CR before to; bytes
// up to limit are readable, and the line after each of them is whole there.
// Most lines cost only a look at their last two bytes; the state lives in
// locals so that the loop keeps it in registers.
void BlockScan::Lines(const char* from, const char* to, const char* limit) {
    const char* lineStart = from;
    PhraseFinder::Cursor cursor(finder_);
    const char* candidate = cursor.Next(from, to);
    const char first = s_[0];
    const std::uint64_t* const pairs = s_.size() >= 2 ? pairs_.data() : nullptr;
    std::int64_t n = n_;
    bool clean = clean_ && !firstLine_;
    ForEachByte(from, to, kCR, [&](const char* cr) {
        bool maySpan = false;
        if (pairs != nullptr && cr != lineStart) {
            // Can the line end in the first part of s? Its last byte is s[0],
            // or its last two are two adjacent bytes of s.
            const unsigned pair = (cr - lineStart >= 2 ? Byte(cr[-2]) << 8 : 0) | Byte(cr[-1]);
            maySpan = cr[-1] == first || (cr - lineStart >= 2 && (pairs[pair / 64] >> (pair % 64) & 1) != 0);
        }
        if (candidate < cr || maySpan) [[unlikely]] {
            Line line{lineStart, cr, Cleaner(clean)};
            if (LineHit(line, limit, to, maySpan, cursor, candidate)) {
                hits_.push_back({n, {line.Start(), static_cast<std::size_t>(cr - line.Start())}});
            }
        }
        ++n;
        clean = clean_;
        lineStart = cr + 1;
        if (lineStart < limit && *lineStart == kLF) ++lineStart;
    });
    if (n != n_) firstLine_ = false;
    n_ = n;
}

// The close look at a line where a hit is possible: the candidates inside
// it (moving candidate past the line), then the phrase running on.
bool BlockScan::LineHit(Line& line, const char* limit, const char* to, bool maySpan, PhraseFinder::Cursor& cursor,
                        const char*& candidate) const noexcept {
    const char* const cr = line.end;
    const char* const hit = FirstCounting(line, cursor, candidate, to);
    if (candidate < cr) candidate = cursor.Next(cr + 1, to);
    return hit != nullptr || (maySpan && Spans(line, NextText(cr, limit), limit));
}

// The first candidate from candidate on that counts for the line, or
// nullptr; candidate is left at the first candidate not looked at. Only
// candidates at the cleaned start or after it and before the first NUL are
// looked at, each once.
const char* BlockScan::FirstCounting(Line& line, PhraseFinder::Cursor& cursor, const char*& candidate,
                                     const char* to) const noexcept {
    while (candidate < line.end) {
        if (candidate < line.Start()) {
            candidate = cursor.Next(line.Start(), to);
        } else if (candidate >= line.FirstNul()) {
            return nullptr;
        } else if (StartsCharacter(line, candidate)) {
            return candidate;
        } else {
            candidate = cursor.Next(candidate + 1, to);
        }
    }
    return nullptr;
}

// The last line of the text, [from, to): only the phrase inside it counts.
void BlockScan::LastLine(const char* from, const char* to) {
    Line line{from, to, Cleaner(!firstLine_)};
    PhraseFinder::Cursor cursor(finder_);
    const char* candidate = cursor.Next(from, to);
    if (FirstCounting(line, cursor, candidate, to) != nullptr) {
        hits_.push_back({n_, {line.Start(), static_cast<std::size_t>(to - line.Start())}});
    }
    ++n_;
    firstLine_ = false;
}

// Where the line after the one that cr ends starts as the pair test reads
// it: past the LF of a CR LF and, when cleaning, past its indent.
const char* BlockScan::NextText(const char* cr, const char* limit) const noexcept {
    const char* next = cr + 1;
    if (next < limit && *next == kLF) ++next;
    return clean_ ? platform::SkipIdeographicSpaces(encoding_, next, limit) : next;
}

// Whether s starts in the line, which is not empty, and runs on into the
// next one, whose cleaned text starts at next: the line ends in s[0, i) and
// the next one starts with s[i, m).
bool BlockScan::Spans(Line& line, const char* next, const char* limit) const noexcept {
    const char* const start = line.Start();
    const char* const cr = line.end;
    const std::size_t m = s_.size();
    const auto room = static_cast<std::size_t>(limit - next);
    const std::size_t most = std::min(m - 1, static_cast<std::size_t>(cr - start));
    // Whether s[0, i) ends the line and s[i, m) starts the next one there.
    const auto splitsAt = [&](std::size_t i) {
        return room >= m - i && *next == s_[i] && std::memcmp(cr - i, s_.data(), i) == 0 &&
               std::memcmp(next, s_.data() + i, m - i) == 0;
    };
    const auto counts = [&](std::size_t i) {
        // A NUL anywhere in the line ends the joined text inside the line.
        return line.FirstNul() == line.end && StartsCharacter(line, cr - i);
    };
    if (m - 1 <= 64) {
        // Only the splits whose part in the line ends in the line's last byte.
        std::uint64_t splits = splitsEndingIn_[Byte(cr[-1])];
        if (most < 64) splits &= (std::uint64_t{1} << most) - 1;
        for (; splits != 0; splits &= splits - 1) {
            const std::size_t i = static_cast<std::size_t>(std::countr_zero(splits)) + 1;
            if (splitsAt(i) && counts(i)) return true;
        }
        return false;
    }
    // A long phrase: its automaton reads the line's last bytes, then the next
    // line's first ones, until what it has matched starts in the next line.
    std::size_t matched = 0;
    for (const char* p = cr - most; p < cr; ++p) matched = finder_.Step(matched, *p);
    for (std::size_t h = 0; h + 1 < m && h < room && matched > h; ++h) {
        matched = finder_.Step(matched, next[h]);
        if (matched == m && counts(m - h - 1)) return true;
    }
    return false;
}

// The start of the character of the cleaned line that holds at, as the
// code page walks it from the line's last known character start, which moves
// on, so that a line is walked about once.
const char* BlockScan::CharacterStart(Line& line, const char* at) const noexcept {
    const char* const from = line.sync <= at ? line.sync : line.Start();
    const char* const start = platform::CharacterStart(encoding_, from, at, line.end);
    if (at >= line.sync) line.sync = start;
    return start;
}

bool BlockScan::StartsCharacter(Line& line, const char* at) const noexcept { return CharacterStart(line, at) == at; }

}  // namespace core
