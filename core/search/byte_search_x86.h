// The byte searches' kernels for x86-64 processors with AVX2 or AVX-512
// (byte_search_x86.cpp), each compiled for its instructions alone and called
// only when the processor has them. Internal to byte_search.cpp.
#pragma once

#include "core/search/byte_search.h"

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

// The first x from p on where byte x is a and byte x + 1 is b or a CR, or
// when single, anything (byte end is readable); passed tells what lies
// before x, its CRs counted from passed.crs on. With AVX2: as far as whole vectors reach before end, nullptr
// when there is none among them, and p is then where they stopped. With
// AVX-512: in [p, end), or end.
const char* FindPairAvx2(const char*& p, const char* end, char a, char b, bool single,
                         AnchorFinder::Passed& passed) noexcept;
const char* FindPairAvx512(const char* p, const char* end, char a, char b, bool single,
                         AnchorFinder::Passed& passed) noexcept;

}  // namespace core::x86

#endif
