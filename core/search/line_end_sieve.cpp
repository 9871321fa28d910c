#include "core/search/line_end_sieve.h"
#include "core/search/byte_search.h"
#include "core/search/byte_search_x86.h"

#include <bit>

namespace core {

LineEndSieve::LineEndSieve(std::string_view s)
    : pairs_(65536 / 64),
      tables_{s.size() >= 2, s.empty() ? '\0' : s[0], pairs_.data(), lowHalves_.data(), highHalves_.data()},
      vectors_(platform::WidestVectors()) {
    // The pairs whose second byte is not s's last: a line ending in one
    // holds a first part of s shorter than s.
    for (std::size_t j = 0; j + 2 < s.size(); ++j) {
        const unsigned pair = static_cast<unsigned char>(s[j]) << 8 | static_cast<unsigned char>(s[j + 1]);
        pairs_[pair / 64] |= std::uint64_t{1} << (pair % 64);
    }
    for (std::size_t j = 0; j + 1 < s.size(); ++j) {
        const unsigned byte = static_cast<unsigned char>(s[j]), high = byte >> 4, low = byte & 0xF;
        const auto bucket = static_cast<std::uint8_t>(1u << (high % 8));
        // Every 16-byte lane of a register looks up the same table.
        for (std::size_t lane = 0; lane < 64; lane += 16) {
            lowHalves_[lane + low] |= bucket;
            highHalves_[lane + high] |= bucket;
        }
    }
}

LineEndSieve::Run LineEndSieve::Skip(const char* p, const char* end, const char* floor) const noexcept {
#if defined(NORVANE_X86_VECTORS)
    if (vectors_ == platform::Vectors::Avx512) return x86::SkipAvx512(p, end, floor, tables_);
    if (vectors_ == platform::Vectors::Avx2) return x86::SkipAvx2(p, end, floor, tables_);
#endif
    Run run{p, 0, nullptr};
    for (; end - p >= 64; p += 64) {
        const std::uint64_t crs = ByteMask64(p, '\r');
        for (std::uint64_t rest = crs; rest != 0; rest &= rest - 1) {
            if (MayEndInPhrase(floor, p + std::countr_zero(rest))) {
                run.stop = p;
                return run;
            }
        }
        if (crs != 0) {
            run.count += std::popcount(crs);
            run.last = p + 63 - std::countl_zero(crs);
        }
    }
    run.stop = p;
    return run;
}

}  // namespace core
