// What the line-end sieve knows of the phrase, as both the sieve
// (line_end_sieve.h) and its vector walks (byte_search_x86.cpp) read it,
// and the rule they apply: a line can end in the first part of the phrase
// only if its last byte is the phrase's first, or its last two are two
// adjacent bytes of it.
#pragma once

#include <cstdint>

namespace core {

struct LineEndTables {
    bool twoOrMore;  // a phrase of one byte runs on across no line end
    char first;
    const std::uint64_t* pairs;      // the pairs of adjacent bytes of the phrase but its last, 65536 bits
    const std::uint8_t* lowHalves;   // the nibble tables of the bytes of the phrase but its last,
    const std::uint8_t* highHalves;  // 64 bytes each: the same 16 four times
};

// Where a walk over chunks stopped, and the line ends it passed.
struct LineEndRun {
    const char* stop;
    std::int64_t count;  // the CRs in the chunks passed
    const char* last;    // the last of them, or nullptr
};

// Whether the line [lineStart, cr) may end in the first part of the phrase.
inline bool MayEndInPhrase(const LineEndTables& t, const char* lineStart, const char* cr) noexcept {
    if (!t.twoOrMore || cr == lineStart) return false;
    if (cr[-1] == t.first) return true;
    if (cr - lineStart < 2) return false;
    const unsigned pair = static_cast<unsigned char>(cr[-2]) << 8 | static_cast<unsigned char>(cr[-1]);
    return (t.pairs[pair / 64] >> (pair % 64) & 1) != 0;
}

}  // namespace core
