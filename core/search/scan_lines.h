// The one scanning loop that every search runs: the hit lines of a text, in
// order, each with its line label.
#pragma once

#include "core/General1.h"
#include "core/io_check.h"
#include "core/search/block_scan.h"
#include "core/search/hit_text.h"
#include "core/search/line_reader.h"

#include <cstdint>
#include <string_view>

namespace core {

// Walks an open reader and calls sink(lineNumber, label, text) once per hit
// line, in line order; text is a HitText. The cleaner, when asked for, runs on every line but
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
            sink(hit.number, std::string_view(label, 5), HitText(scan, hit));
        }
    }
    CheckIO();
}

}  // namespace core
