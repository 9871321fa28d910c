// Which line ends the phrase may run on across, for the block scan: a line
// can end in the first part of s only if its last byte is s[0] or its last
// two are two adjacent bytes of s. Most lines of prose fail that at once, so
// a run of whole 64-byte chunks whose CRs all fail it costs only a count of
// its lines.
#pragma once

#include "platform/cpu_features.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace core {

class LineEndSieve {
public:
    // s is the phrase, cut at its first NUL.
    explicit LineEndSieve(std::string_view s);
    // The tables point into the sieve.
    LineEndSieve(const LineEndSieve&) = delete;
    LineEndSieve& operator=(const LineEndSieve&) = delete;

    // What the test of a line end reads; the vector walks read it too.
    struct Tables {
        bool twoOrMore;  // a phrase of one byte runs on across no line end
        char first;
        const std::uint64_t* pairs;      // the pairs of adjacent bytes of s but its last, 65536 bits
        const std::uint8_t* lowHalves;   // the nibble tables of the bytes of s but its last,
        const std::uint8_t* highHalves;  // 64 bytes each: the same 16 four times
    };

    // Whether the line [lineStart, cr) may end in the first part of s.
    static bool MayEndInPhrase(const Tables& t, const char* lineStart, const char* cr) noexcept {
        if (!t.twoOrMore || cr == lineStart) return false;
        if (cr[-1] == t.first) return true;
        if (cr - lineStart < 2) return false;
        const unsigned pair = static_cast<unsigned char>(cr[-2]) << 8 | static_cast<unsigned char>(cr[-1]);
        return (t.pairs[pair / 64] >> (pair % 64) & 1) != 0;
    }
    bool MayEndInPhrase(const char* lineStart, const char* cr) const noexcept {
        return MayEndInPhrase(tables_, lineStart, cr);
    }

    // Where a walk over chunks stopped, and the line ends it passed.
    struct Run {
        const char* stop;
        std::int64_t count;  // the CRs in the chunks passed
        const char* last;    // the last of them, or nullptr
    };
    // Passes the 64-byte chunks from p that lie wholly before end as long as
    // no CR in them may end a line in the first part of s, as
    // MayEndInPhrase(floor, cr) says; the bytes from floor on are readable.
    Run Skip(const char* p, const char* end, const char* floor) const noexcept;

private:
    std::vector<std::uint64_t> pairs_;
    // For a byte with high half h and low half l: bit h % 8 of both
    // lowHalves_[l] and highHalves_[h] when a byte of s but its last has
    // them. A byte that ends no first part of s mostly fails this, 64 bytes
    // at a time.
    alignas(64) std::array<std::uint8_t, 64> lowHalves_{};
    alignas(64) std::array<std::uint8_t, 64> highHalves_{};
    Tables tables_;
    platform::Vectors vectors_;
};

}  // namespace core
