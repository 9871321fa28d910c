// The hit rule as the scans test it, one line at a time: a line is a hit
// when the phrase starts in it at a character start before its first NUL,
// also when the phrase runs on past its end into the next line (past that
// line's indent when lines are cleaned); the last line of a text only by
// what it holds. The phrase is compiled once, and a line is looked at only
// as far as the answer needs. Both scans, the block scan and the long-line
// scan, test lines here.
#pragma once

#include "core/search/byte_search.h"
#include "core/search/text_bytes.h"
#include "platform/code_page.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace core {

enum class LineCleaning { None, StripIdeographicSpaces };

struct HitLine {
    std::int64_t number;    // 1 for the line the scan started at
    std::string_view text;  // the line as tested (cleaned), without its end
    // A long line's first bytes, which its scan dropped before the line
    // turned out to be a hit: they come before text, and are read again
    // through the scan (see HitText) a piece at a time.
    std::uint64_t droppedOffset = 0;
    std::uint64_t dropped = 0;
};

class HitRule {
public:
    // One line [begin, end) and what has been worked out about it so far;
    // each fact is found at most once, and only for lines where a hit is
    // possible.
    struct Line {
        const char* begin;
        const char* end;
        const platform::Encoding* clean;  // when given, its ideographic spaces lead no text
        const char* start = nullptr;      // after the stripped spaces
        const char* sync = nullptr;       // a known character start, start <= sync
        const char* nul = nullptr;        // the first NUL, or end
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

    // s is cut at its first NUL; lines are written in encoding.
    HitRule(std::string_view s, const platform::Encoding& encoding, LineCleaning cleaning);
    HitRule(const HitRule&) = delete;
    HitRule& operator=(const HitRule&) = delete;

    // False when no line can hold s: it is empty, or holds a CR or a Ctrl-Z.
    bool Searchable() const noexcept { return searchable_; }
    std::size_t Size() const noexcept { return s_.size(); }
    // The pair of s that every hit holds (see AnchorFinder).
    const AnchorFinder& Anchor() const noexcept { return anchor_; }
    // Takes the anchor that turns up least in the text's first bytes: to be
    // called before the rule tests any line.
    void AdaptAnchor(std::string_view sample) { anchor_ = AnchorFinder(s_, encoding_, sample); }
    const platform::Encoding& Encoding() const noexcept { return encoding_; }
    bool Cleans() const noexcept { return clean_; }

    // The line [begin, end), to be cleaned when cleaned and the rule cleans.
    Line MakeLine(const char* begin, const char* end, bool cleaned) const noexcept {
        return Line{begin, end, clean_ && cleaned ? &encoding_ : nullptr};
    }

    // Whether a line ended by a CR, whose first anchor is at x, is a hit:
    // the phrase inside it, then the phrase running on into the next line.
    // Bytes up to limit are readable, and the next line is whole there.
    bool LineHit(Line& line, const char* x, const char* limit) const noexcept {
        const char* const hit = s_.size() <= PhraseFinder::kShort ? FirstAtAnchors(line, x) : FirstCounting(line);
        return hit != nullptr || RunsOn(line, limit);
    }
    // Whether the phrase starts in the line, ended by a CR, and runs on
    // into the next one. Inline, as most lines are told at their last byte.
    bool RunsOn(Line& line, const char* limit) const noexcept {
        if (s_.size() < 2 || line.end == line.begin) return false;
        // Most lines end in no byte that a first part of s ends in.
        if (s_.size() - 1 <= 64 && splitsEndingIn_[Byte(line.end[-1])] == 0) return false;
        return Spans(line, NextText(line.end, limit), limit);
    }
    // The first place in the line where s lies whole and counts, or nullptr.
    const char* FirstCounting(Line& line) const noexcept;
    // Where the line after the one that cr ends starts as the run-on test
    // reads it: past the LF of a CR LF and, when cleaning, past its indent.
    const char* NextText(const char* cr, const char* limit) const noexcept {
        const char* next = cr + 1;
        if (next < limit && *next == kLF) ++next;
        return clean_ ? platform::SkipIdeographicSpaces(encoding_, next, limit) : next;
    }
    // Whether s starts in the line, which is not empty, and runs on into the
    // next one, whose cleaned text starts at next.
    bool Spans(Line& line, const char* next, const char* limit) const noexcept;
    // The start of the character of the cleaned line that holds at.
    const char* CharacterStart(Line& line, const char* at) const noexcept;
    bool StartsCharacter(Line& line, const char* at) const noexcept { return CharacterStart(line, at) == at; }

private:
    const char* FirstAtAnchors(Line& line, const char* x) const noexcept;
    // s lies at at, which starts no character: the last place of the run of
    // s's repeats from at that is sure to start none either, or at.
    const char* LastInsideRun(Line& line, const char* at) const noexcept;

    std::string s_;
    const platform::Encoding& encoding_;
    bool searchable_;
    bool clean_;
    std::size_t period_;
    PhraseFinder finder_;
    // For each byte b, bit i-1 set when s[i-1] == b (i <= 64): the splits of
    // s across a line end after a line ending in b.
    std::array<std::uint64_t, 256> splitsEndingIn_{};
    AnchorFinder anchor_;
};

}  // namespace core
