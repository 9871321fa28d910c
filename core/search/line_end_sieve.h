// Which line ends the phrase may run on across, for the block scan, by the
// rule of line_end_tables.h. Most lines of prose fail it at once, so a run
// of whole 64-byte chunks whose CRs all fail it costs only a count of its
// lines.
#pragma once

#include "core/search/line_end_tables.h"
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

    using Tables = LineEndTables;
    using Run = LineEndRun;

    // Whether the line [lineStart, cr) may end in the first part of s.
    bool MayEndInPhrase(const char* lineStart, const char* cr) const noexcept {
        return core::MayEndInPhrase(tables_, lineStart, cr);
    }

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
