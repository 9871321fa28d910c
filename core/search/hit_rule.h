// When a line is a hit: the substring test, the line-pair rule and the scan
// that walks a file with them.
//
// A line is a hit when the search text begins in it, also when the text runs
// on past its end into the next line (Japanese prose is hard-wrapped).
#pragma once

#include "core/General1.h"
#include "core/search/block_scan.h"
#include "core/io_check.h"
#include "core/search/line_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// The text up to its first NUL byte: the substring test sees no further.
std::string_view UpToNul(std::string_view s) noexcept;

// 1-based byte position of the first occurrence of s in t that starts on a
// character (not on a trail byte), or 0. Both strings are cut at their first
// NUL; an empty s or t gives 0. Exact bytes: no case or width folding. Time
// linear in the lengths of s and t.
std::size_t SubstringPos(std::string_view s, std::string_view t);

// Whether prev is a hit: s occurs in prev + cur at a character start that
// lies inside prev. The joined string is never built. Time linear in the
// lengths of s, prev and cur.
bool PairHit(std::string_view s, std::string_view prev, std::string_view cur);

// Whether the last line of a file is a hit: s occurs in it.
bool LastLineHit(std::string_view s, std::string_view last);

// Removes every leading ideographic space (0x81 0x40) of a line.
void StripLeadingIdeographicSpaces(std::string& line);

// Walks an open reader and calls sink(lineNumber, label, text) once per hit
// line, in line order. The cleaner, when asked for, runs on every line but
// line 1 before it is tested and reported. Read errors propagate. A file or
// stream is scanned block by block (see BlockScan).
template <class Sink>
void ScanLines(LineReader& reader, std::string_view s, LineCleaning cleaning, Sink&& sink) {
    BlockScan scan(reader, s, cleaning);
    char label[5];
    for (bool more = true; more;) {
        more = scan.Next();
        for (const HitLine& hit : scan.Hits()) {
            WriteLineLabel(hit.number, label);
            sink(hit.number, std::string_view(label, 5), hit.text);
        }
    }
    CheckIO();
}

}  // namespace core
