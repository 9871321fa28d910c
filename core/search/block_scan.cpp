#include "core/search/block_scan.h"
#include "core/search/block_scan_line.h"

#include "platform/code_page.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace core {

using namespace block_scan;

BlockScan::BlockScan(LineReader& reader, std::string_view s, LineCleaning cleaning, std::size_t longLine)
    : reader_(reader),
      s_(s.substr(0, s.find('\0'))),
      finder_(s_),
      searchable_(!s_.empty() && s_.find(kCR) == std::string::npos && s_.find(kCtrlZ) == std::string::npos),
      clean_(cleaning == LineCleaning::StripIdeographicSpaces),
      // Cut no line shorter than a few times s: each cut costs a look at s's length.
      longLine_(std::max(longLine, 4 * s_.size())),
      anchors_(s_),
      dropped_(reader),
      encoding_(*reader.Form().encoding) {
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

// The lines that start in [from, to), each ended by a CR before to; bytes
// up to limit are readable, and the line after each of them is whole there
// (it ends at a CR, or at limit). Only the line of each anchor and the line
// before it can be hits; the lines between them are counted, not looked at.
void BlockScan::Lines(const char* from, const char* to, const char* limit) {
    // The anchors in the line after the last one count too: the phrase may
    // run on into it. The anchor search reads the byte at anchorsEnd: that
    // line's CR, or at the text's end the Ctrl-Z at limit.
    const auto* const nextCr = static_cast<const char*>(std::memchr(to, kCR, static_cast<std::size_t>(limit - to)));
    const char* const anchorsEnd = nextCr != nullptr ? nextCr : limit;
    std::int64_t n = n_;
    const char* lineStart = from;  // of line n; the CRs before it are counted
    const auto line = [&](const char* cr) {
        return Line{lineStart, cr, Cleaner(!firstLine_ || lineStart != from)};
    };
    const auto pass = [&](const char* cr) {
        ++n;
        lineStart = cr + 1;
        if (lineStart < limit && *lineStart == kLF) ++lineStart;
    };
    const auto list = [&](Line& hit) {
        hits_.push_back({n, {hit.Start(), static_cast<std::size_t>(hit.end - hit.Start())}});
    };
    for (;;) {
        AnchorFinder::Passed passed;
        const char* const x = anchors_.Find(lineStart, anchorsEnd, passed);
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
            if (x - NextText(last, limit) >= static_cast<std::ptrdiff_t>(anchors_.Offset())) {
                n += crs - 1;
            } else {
                if (crs >= 2) {
                    n += crs - 2;
                    pass(LastCR(lineStart, last));
                }
                if (Line previous = line(last); RunsOn(previous, limit)) list(previous);
            }
            pass(last);
        }
        const auto* const cr =
            passed.nextCr != nullptr
                ? passed.nextCr
                : static_cast<const char*>(std::memchr(x, kCR, static_cast<std::size_t>(anchorsEnd - x)));
        if (cr == nullptr) break;  // the anchor lies in the line after the last one
        if (Line own = line(cr); LineHit(own, x, limit)) list(own);
        pass(cr);
    }
    if (n != n_) firstLine_ = false;
    n_ = n;
}

// The close look at a line ended by a CR, whose first anchor is at x: the
// phrase inside it, then the phrase running on into the next line.
bool BlockScan::LineHit(Line& line, const char* x, const char* limit) const noexcept {
    const char* hit = nullptr;
    if (s_.size() <= PhraseFinder::kShort) {
        hit = FirstAtAnchors(line, x);
    } else {
        PhraseFinder::Cursor cursor(finder_);
        const char* candidate = cursor.Next(line.Start(), line.end);
        hit = FirstCounting(line, cursor, candidate, line.end);
    }
    return hit != nullptr || RunsOn(line, limit);
}

// The first place in the line, from its anchor at x on, where s lies whole
// and counts, or nullptr. Each such place holds an anchor Offset() bytes in,
// so a short s is compared whole only there.
const char* BlockScan::FirstAtAnchors(Line& line, const char* x) const noexcept {
    const auto offset = static_cast<std::ptrdiff_t>(anchors_.Offset());
    const auto m = static_cast<std::ptrdiff_t>(s_.size());
    AnchorFinder::Passed passed;
    for (; x != line.end && line.end - x >= m - offset; x = anchors_.Find(x + 1, line.end, passed)) {
        if (x - line.Start() < offset) continue;
        const char* const at = x - offset;
        if (std::memcmp(at, s_.data(), s_.size()) != 0) continue;
        if (at >= line.FirstNul()) return nullptr;
        if (StartsCharacter(line, at)) return at;
    }
    return nullptr;
}

// Whether the phrase starts in the line, ended by a CR, and runs on into
// the next one.
bool BlockScan::RunsOn(Line& line, const char* limit) const noexcept {
    if (s_.size() < 2 || line.end == line.begin) return false;
    // Most lines end in no byte that a first part of s ends in.
    if (s_.size() - 1 <= 64 && splitsEndingIn_[Byte(line.end[-1])] == 0) return false;
    return Spans(line, NextText(line.end, limit), limit);
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
    // The first bytes of both parts first: most splits fail there.
    const auto splitsAt = [&](std::size_t i) {
        return room >= m - i && *next == s_[i] && cr[-static_cast<std::ptrdiff_t>(i)] == s_[0] &&
               std::memcmp(cr - i, s_.data(), i) == 0 && std::memcmp(next, s_.data() + i, m - i) == 0;
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
