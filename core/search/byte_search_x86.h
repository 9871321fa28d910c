// The byte searches' kernels for x86-64 processors with AVX2 or AVX-512
// (byte_search_x86.cpp), each compiled for its instructions alone and called
// only when the processor has them. Internal to the phrase finder and the
// line-end sieve.
#pragma once

#include "core/search/line_end_tables.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define NORVANE_X86_VECTORS 1

namespace core::x86 {

// The first start in [p, last] where s's first and last bytes (of m) agree,
// and when whole, the bytes between them too. nullptr when there is none
// among the starts the vectors reach; p is then where they stopped.
const char* FindAvx2(const char*& p, const char* last, const char* s, std::size_t m, bool whole) noexcept;
const char* FindAvx512(const char*& p, const char* last, const char* s, std::size_t m, bool whole) noexcept;

// LineEndSieve::Skip, for its vectors.
LineEndRun SkipAvx2(const char* p, const char* end, const char* floor, const LineEndTables& t) noexcept;
LineEndRun SkipAvx512(const char* p, const char* end, const char* floor,
                             const LineEndTables& t) noexcept;

}  // namespace core::x86

#endif
