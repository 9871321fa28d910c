// What the two halves of the block scan share (block_scan.cpp, the scan of
// whole blocks; block_scan_long_lines.cpp, the lines taken one at a time):
// the bytes that end lines and text, and one line as the scan sees it.
// Internal to the block scan.
#pragma once

#include "core/search/block_scan.h"
#include "platform/code_page.h"

#include <cstring>

namespace core {

namespace block_scan {
constexpr char kCR = 0x0D;
constexpr char kLF = 0x0A;
constexpr char kCtrlZ = 0x1A;

inline unsigned Byte(char c) noexcept { return static_cast<unsigned char>(c); }
}  // namespace block_scan

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

}  // namespace core
