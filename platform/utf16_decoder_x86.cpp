#include "platform/utf16_decoder_x86.h"

#if defined(NORVANE_X86_UTF16)

#include <emmintrin.h>
#include <immintrin.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace platform::x86 {

namespace {

// Every loop forms the UTF-8 of a unit u that is not a surrogate from three
// bytes, whichever its length:
//   lead   = 0xE0 | u >> 12                 (first of three)
//   middle = 0x80 | (u >> 6 & 0x3F)         (second of three), or with 0x40
//            set for a unit of two bytes, where it is their first
//   last   = 0x80 | (u & 0x3F), or u itself for ASCII
// and keeps the last one, two or three of them. In 16-bit lanes, front holds
// lead and middle (in that order in memory), last its byte and a zero.

// For four units in 32-bit slots [lead, middle, last, 0], by their two bits
// of length each (past ASCII, past two bytes), the shuffle that lines up
// their bytes of UTF-8; the bytes after them are zero. The group's length
// is 4 + the bits set.
struct GroupShuffles {
    alignas(16) std::array<std::array<std::uint8_t, 16>, 256> at;
};

constexpr GroupShuffles MakeGroupShuffles() {
    GroupShuffles s{};
    for (unsigned index = 0; index < 256; ++index) {
        unsigned n = 0;
        for (unsigned j = 0; j < 4; ++j) {
            const unsigned bits = index >> 2 * j & 3;
            for (unsigned b = bits == 3 ? 0 : bits == 1 ? 1 : 2; b < 3; ++b) {
                s.at[index][n++] = static_cast<std::uint8_t>(4 * j + b);
            }
        }
        while (n < 16) s.at[index][n++] = 0x80;
    }
    return s;
}

constexpr GroupShuffles kGroupShuffles = MakeGroupShuffles();

// For the AVX-512 loop: the bytes of front and last (as one table of 128) to
// take into the 32-bit slots [lead, middle, last, 0] of units 0-15, and of
// 16-31.
struct SlotIndexes {
    alignas(64) std::array<std::uint8_t, 64> low, high;
};

constexpr SlotIndexes MakeSlotIndexes() {
    SlotIndexes s{};
    for (unsigned i = 0; i < 16; ++i) {
        for (unsigned half = 0; half < 2; ++half) {
            auto& slots = half == 0 ? s.low : s.high;
            const unsigned unit = 2 * (16 * half + i);
            slots[4 * i] = static_cast<std::uint8_t>(unit);
            slots[4 * i + 1] = static_cast<std::uint8_t>(unit + 1);
            slots[4 * i + 2] = static_cast<std::uint8_t>(64 + unit);
            slots[4 * i + 3] = static_cast<std::uint8_t>(64 + unit + 1);
        }
    }
    return s;
}

constexpr SlotIndexes kSlotIndexes = MakeSlotIndexes();

__m128i Load16(const char* p) noexcept { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store16(char* o, __m128i x) noexcept { _mm_storeu_si128(reinterpret_cast<__m128i*>(o), x); }

// The units of big-endian input turned little-endian, without SSSE3.
template <bool kBig>
__m128i Units8(const char* p) noexcept {
    const __m128i x = Load16(p);
    if constexpr (kBig) return _mm_or_si128(_mm_slli_epi16(x, 8), _mm_srli_epi16(x, 8));
    return x;
}

__attribute__((target("avx2"))) __m256i Load32(const char* p) noexcept {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// A group of four units whose slots are in x and lengths in index, at o.
__attribute__((target("popcnt"))) char* PutGroup(char* o, __m128i x, unsigned index) noexcept {
    Store16(o, x);
    return o + 4 + std::popcount(index);
}

__attribute__((target("avx2"))) __m256i GroupShufflesOf(std::uint32_t codes, int low, int high) noexcept {
    const auto at = [&](int group) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(kGroupShuffles.at[codes >> 8 * group & 0xFF].data()));
    };
    return _mm256_inserti128_si256(_mm256_castsi128_si256(at(low)), at(high), 1);
}

template <bool kBig>
inline void Sse2Loop(const char*& p, const char* end, char*& o) noexcept {
    // Without byte shuffles, the slots of eight units go through memory: each
    // unit's bytes are copied out as four, from where its UTF-8 starts in its
    // slot, and the next unit's copy overwrites the bytes past them. A step
    // writes 25 bytes, the room of 9 units.
    const __m128i zero = _mm_setzero_si128();
    alignas(16) char slots[2 * 16 + 4] = {};
    while (end - p >= 2 * 9) {
        const __m128i u = Units8<kBig>(p);
        const __m128i top = _mm_and_si128(u, _mm_set1_epi16(static_cast<short>(0xF800)));
        const __m128i surrogate = _mm_cmpeq_epi16(top, _mm_set1_epi16(static_cast<short>(0xD800)));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(u, _mm_set1_epi16(static_cast<short>(0xFF80))), zero);
        const __m128i short2 = _mm_cmpeq_epi16(top, zero);
        if (_mm_movemask_epi8(surrogate) != 0) return;
        const __m128i lead = _mm_or_si128(_mm_srli_epi16(u, 12), _mm_set1_epi16(0xE0));
        __m128i middle = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(u, 6), _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
        middle = _mm_or_si128(middle, _mm_and_si128(_mm_andnot_si128(ascii, short2), _mm_set1_epi16(0x40)));
        const __m128i continuation = _mm_or_si128(_mm_and_si128(u, _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
        const __m128i last = _mm_or_si128(_mm_and_si128(ascii, u), _mm_andnot_si128(ascii, continuation));
        const __m128i front = _mm_or_si128(lead, _mm_slli_epi16(middle, 8));
        _mm_store_si128(reinterpret_cast<__m128i*>(slots), _mm_unpacklo_epi16(front, last));
        _mm_store_si128(reinterpret_cast<__m128i*>(slots + 16), _mm_unpackhi_epi16(front, last));
        // The lengths, a byte each: 3, less one below 0x800 and one more for ASCII.
        const __m128i lengths = _mm_add_epi16(_mm_add_epi16(_mm_set1_epi16(3), ascii), short2);
        auto l = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(lengths, lengths)));
        for (int i = 0; i < 8; ++i, l >>= 8) {
            const unsigned n = l & 0xFF;
            std::memcpy(o, slots + 4 * i + 3 - n, 4);
            o += n;
        }
        p += 16;
    }
}

template <bool kBig>
__attribute__((target("avx2,popcnt"), always_inline)) inline void Avx2Loop(const char*& p, const char* end,
                                                                           char*& o) noexcept {
    // A step of 16 units writes its last group of 16 bytes at most 36 bytes
    // on: 52 bytes, the room of 18 units.
    const __m256i swap = _mm256_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14, 1, 0, 3, 2, 5, 4, 7, 6,
                                          9, 8, 11, 10, 13, 12, 15, 14);
    const __m256i zero = _mm256_setzero_si256();
    while (end - p >= 2 * 18) {
        __m256i u = Load32(p);
        if constexpr (kBig) u = _mm256_shuffle_epi8(u, swap);
        const __m256i ascii =
            _mm256_cmpeq_epi16(_mm256_and_si256(u, _mm256_set1_epi16(static_cast<short>(0xFF80))), zero);
        if (_mm256_movemask_epi8(ascii) == -1) {
            // Lane by lane packs, their halves put in order.
            Store16(o, _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi16(u, u), 0b1000)));
            p += 32;
            o += 16;
            continue;
        }
        const __m256i top = _mm256_and_si256(u, _mm256_set1_epi16(static_cast<short>(0xF800)));
        const auto surrogates = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi16(top, _mm256_set1_epi16(static_cast<short>(0xD800)))));
        const __m256i short2 = _mm256_cmpeq_epi16(top, zero);
        const __m256i lead = _mm256_or_si256(_mm256_srli_epi16(u, 12), _mm256_set1_epi16(0xE0));
        __m256i middle = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi16(u, 6), _mm256_set1_epi16(0x3F)),
                                         _mm256_set1_epi16(0x80));
        middle = _mm256_or_si256(middle, _mm256_and_si256(_mm256_andnot_si256(ascii, short2), _mm256_set1_epi16(0x40)));
        const __m256i last = _mm256_blendv_epi8(
            _mm256_or_si256(_mm256_and_si256(u, _mm256_set1_epi16(0x3F)), _mm256_set1_epi16(0x80)), u, ascii);
        const __m256i front = _mm256_or_si256(lead, _mm256_slli_epi16(middle, 8));
        // Units 0-3 and 8-11, then 4-7 and 12-15.
        const __m256i slotsA = _mm256_unpacklo_epi16(front, last);
        const __m256i slotsB = _mm256_unpackhi_epi16(front, last);
        // Two bits a unit: bit 2i past ASCII, bit 2i + 1 past two bytes.
        const auto codes = static_cast<std::uint32_t>(_mm256_movemask_epi8(
            _mm256_or_si256(_mm256_andnot_si256(ascii, _mm256_set1_epi16(0x0080)),
                            _mm256_andnot_si256(short2, _mm256_set1_epi16(static_cast<short>(0x8000))))));
        const __m256i a = _mm256_shuffle_epi8(slotsA, GroupShufflesOf(codes, 0, 2));
        const __m256i b = _mm256_shuffle_epi8(slotsB, GroupShufflesOf(codes, 1, 3));
        const __m128i groups[4] = {_mm256_castsi256_si128(a), _mm256_castsi256_si128(b), _mm256_extracti128_si256(a, 1),
                                   _mm256_extracti128_si256(b, 1)};
        if (surrogates == 0) {
            for (int g = 0; g < 4; ++g) o = PutGroup(o, groups[g], codes >> 8 * g & 0xFF);
            p += 32;
            continue;
        }
        // Only the groups before the first surrogate's.
        const int whole = std::countr_zero(surrogates) / 8;
        for (int g = 0; g < whole; ++g) o = PutGroup(o, groups[g], codes >> 8 * g & 0xFF);
        p += 8 * whole;
        return;
    }
}

template <bool kBig>
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi2,popcnt"), always_inline)) inline void Avx512Loop(
    const char*& p, const char* end, char*& o) noexcept {
    // A step of 32 units writes its second 64 bytes at most 48 bytes on: 112
    // bytes, the room of 38 units.
    const __m512i swap = _mm512_set4_epi32(0x0E0F0C0D, 0x0A0B0809, 0x06070405, 0x02030001);
    const __m512i lowSlots = _mm512_load_si512(kSlotIndexes.low.data());
    const __m512i highSlots = _mm512_load_si512(kSlotIndexes.high.data());
    // Bit 4i + b of a compress mask keeps byte b of unit i's slot.
    constexpr std::uint64_t kLeads = 0x1111111111111111, kMiddles = kLeads << 1, kLasts = kLeads << 2;
    while (end - p >= 2 * 38) {
        __m512i u = _mm512_loadu_si512(p);
        if constexpr (kBig) u = _mm512_shuffle_epi8(u, swap);
        const __mmask32 wide = _mm512_test_epi16_mask(u, _mm512_set1_epi16(static_cast<short>(0xFF80)));
        if (wide == 0) {
            // The zeroing form: the plain one leaves GCC warning of its undefined half.
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), _mm512_maskz_cvtepi16_epi8(~__mmask32{0}, u));
            p += 64;
            o += 32;
            continue;
        }
        const __m512i top = _mm512_and_si512(u, _mm512_set1_epi16(static_cast<short>(0xF800)));
        const __mmask32 threes = _mm512_test_epi16_mask(top, top);
        const std::uint32_t surrogates = _mm512_cmpeq_epi16_mask(top, _mm512_set1_epi16(static_cast<short>(0xD800)));
        // The units this step decodes: those before the first surrogate.
        const std::uint32_t units =
            surrogates == 0 ? ~std::uint32_t{0} : (std::uint32_t{1} << std::countr_zero(surrogates)) - 1;
        const __m512i lead = _mm512_or_si512(_mm512_srli_epi16(u, 12), _mm512_set1_epi16(0xE0));
        __m512i middle = _mm512_or_si512(_mm512_and_si512(_mm512_srli_epi16(u, 6), _mm512_set1_epi16(0x3F)),
                                         _mm512_set1_epi16(0x80));
        middle = _mm512_mask_blend_epi16(wide & ~threes, middle, _mm512_or_si512(middle, _mm512_set1_epi16(0x40)));
        const __m512i last = _mm512_mask_blend_epi16(
            wide, u, _mm512_or_si512(_mm512_and_si512(u, _mm512_set1_epi16(0x3F)), _mm512_set1_epi16(0x80)));
        const __m512i front = _mm512_or_si512(lead, _mm512_slli_epi16(middle, 8));
        for (int half = 0; half < 2; ++half) {
            const __m512i slots = _mm512_permutex2var_epi8(front, half == 0 ? lowSlots : highSlots, last);
            const std::uint32_t take = units >> 16 * half & 0xFFFF;
            const std::uint64_t keep = _pdep_u64(threes >> 16 * half & take, kLeads) |
                                       _pdep_u64(wide >> 16 * half & take, kMiddles) | _pdep_u64(take, kLasts);
            _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(keep, slots));
            o += std::popcount(keep);
        }
        if (surrogates != 0) {
            p += 2 * std::countr_zero(surrogates);
            return;
        }
        p += 64;
    }
}

}  // namespace

void DecodeUtf16Sse2(const char*& p, const char* end, char*& o, bool bigEndian) noexcept {
    bigEndian ? Sse2Loop<true>(p, end, o) : Sse2Loop<false>(p, end, o);
}

__attribute__((target("avx2,popcnt"))) void DecodeUtf16Avx2(const char*& p, const char* end, char*& o,
                                                            bool bigEndian) noexcept {
    bigEndian ? Avx2Loop<true>(p, end, o) : Avx2Loop<false>(p, end, o);
}

__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi2,popcnt"))) void DecodeUtf16Avx512(
    const char*& p, const char* end, char*& o, bool bigEndian) noexcept {
    bigEndian ? Avx512Loop<true>(p, end, o) : Avx512Loop<false>(p, end, o);
}

bool HasByteCompress() noexcept {
    static const bool has = __builtin_cpu_supports("avx512vbmi2");
    return has;
}

}  // namespace platform::x86

#endif
