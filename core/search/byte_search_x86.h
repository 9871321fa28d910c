// The byte searches' kernels for x86-64: SSE2, which every such processor
// has, and AVX2 and AVX-512, each compiled for its instructions alone and
// called only when the processor has them (byte_search_x86.cpp). Every kernel
// keeps one contract: it looks at the starts its vectors reach from p on,
// and returns the first that it finds there, or nullptr when there is none
// among them; p is then where it stopped, and the dispatch in
// byte_search.cpp goes on from there with narrower vectors, then bytes.
// Internal to byte_search.cpp.
#pragma once

#include "core/search/anchor_passed.h"
#include "core/search/anchor_rest.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define NORVANE_X86_VECTORS 1

namespace core::x86 {

// The first start in [p, last] where the first and last bytes of s (of m)
// agree, and when whole, the bytes between them too.
const char* FindSse2(const char*& p, const char* last, const char* s, std::size_t m, bool whole) noexcept;
const char* FindAvx2(const char*& p, const char* last, const char* s, std::size_t m, bool whole) noexcept;
const char* FindAvx512(const char*& p, const char* last, const char* s, std::size_t m, bool whole) noexcept;

// The first x in [p, end) where byte x is a and byte x + 1 is b or a CR, or
// when single, anything (byte end is readable); passed tells what lies
// before x, its CRs counted on from passed.crs. When there is none, the CRs
// of the bytes passed are counted all the same. AVX-512 reaches every start
// before end. AVX2 also passes over most of the x that fail AnchorAgrees
// with rest, from where p was, unless rest.after is empty: those can be no
// hit's anchor.
const char* FindPairSse2(const char*& p, const char* end, char a, char b, bool single, AnchorPassed& passed) noexcept;
const char* FindPairAvx2(const char*& p, const char* end, char a, char b, bool single, const AnchorRest& rest,
                         AnchorPassed& passed) noexcept;
const char* FindPairAvx512(const char*& p, const char* end, char a, char b, bool single, AnchorPassed& passed) noexcept;

// The first byte c at or after p, among the whole 256-byte runs before end.
const char* FindByteAvx512(const char*& p, const char* end, char c) noexcept;

// Counts the x in [p, end - 1) where byte x is a and byte x + 1 b or a CR,
// and when rest.after is not empty, those of them that agree with rest
// (AnchorAgrees over [from, last]); p is then where the count stopped, and
// the caller counts the rest.
void CountPairsAvx2(const char*& p, const char* end, char a, char b, const AnchorRest& rest, const char* from,
                    const char* last, AnchorPlaces& count) noexcept;
void CountPairsAvx512(const char*& p, const char* end, char a, char b, const AnchorRest& rest, const char* from,
                      const char* last, AnchorPlaces& count) noexcept;

}  // namespace core::x86

#endif
