// The UTF-16 decoder's vector loops for x86-64: SSE2, which every such
// processor has, AVX2, and AVX-512 with its byte compress (VBMI2), each
// compiled for its instructions alone and called only when the processor has
// them (utf16_decoder_x86.cpp). Every loop keeps one contract: it decodes
// whole units of UTF-16 (big-endian when bigEndian) from p on while they hold no
// surrogate, in steps of its vectors, and stops before a surrogate or where a
// step would run past end; p and o are then moved past what it decoded, and
// utf16_decoder.cpp goes on with bytes. out has room for 3 bytes a unit of
// [p, end): a loop writes scratch bytes past o, but only within that room.
// Internal to utf16_decoder.cpp.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define NORVANE_X86_UTF16 1

namespace platform::x86 {

void DecodeUtf16Sse2(const char*& p, const char* end, char*& o, bool bigEndian) noexcept;
void DecodeUtf16Avx2(const char*& p, const char* end, char*& o, bool bigEndian) noexcept;
void DecodeUtf16Avx512(const char*& p, const char* end, char*& o, bool bigEndian) noexcept;

// Whether the processor has the byte compress that the AVX-512 loop needs,
// beyond what platform::Vectors::Avx512 promises (every processor that has
// it so far has both).
bool HasByteCompress() noexcept;

}  // namespace platform::x86

#endif
