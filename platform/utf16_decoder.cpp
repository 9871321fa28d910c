#include "platform/utf16_decoder.h"

#include "platform/cpu_features.h"
#include "platform/utf16_decoder_x86.h"

#include <utility>

namespace platform {

namespace {

using Kernel = void (*)(const char*& p, const char* end, char*& o, bool bigEndian) noexcept;

// Units decoded a byte at a time between two runs of a vector loop: enough
// to pass the surrogate that stopped it, which lies less than a step of
// eight units (SSE2) ahead.
constexpr std::ptrdiff_t kBytesBetweenVectors = 2 * 16;

template <bool kBig>
unsigned UnitAt(const char* p) noexcept {
    const auto a = static_cast<unsigned char>(p[0]);
    const auto b = static_cast<unsigned char>(p[1]);
    return kBig ? a << 8 | b : b << 8 | a;
}

bool IsHigh(unsigned u) noexcept { return (u & 0xFC00) == 0xD800; }
bool IsLow(unsigned u) noexcept { return (u & 0xFC00) == 0xDC00; }

char* PutReplacement(char* o) noexcept {
    o[0] = '\xEF';
    o[1] = '\xBF';
    o[2] = '\xBD';
    return o + 3;
}

// One unit that is not a surrogate.
char* PutUnit(char* o, unsigned u) noexcept {
    if (u < 0x80) {
        *o = static_cast<char>(u);
        return o + 1;
    }
    if (u < 0x800) {
        o[0] = static_cast<char>(0xC0 | u >> 6);
        o[1] = static_cast<char>(0x80 | (u & 0x3F));
        return o + 2;
    }
    o[0] = static_cast<char>(0xE0 | u >> 12);
    o[1] = static_cast<char>(0x80 | (u >> 6 & 0x3F));
    o[2] = static_cast<char>(0x80 | (u & 0x3F));
    return o + 3;
}

char* PutPair(char* o, unsigned high, unsigned low) noexcept {
    const unsigned c = 0x10000 + ((high & 0x3FF) << 10 | (low & 0x3FF));
    o[0] = static_cast<char>(0xF0 | c >> 18);
    o[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    o[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    o[3] = static_cast<char>(0x80 | (c & 0x3F));
    return o + 4;
}

// One unit, any unit, after the high surrogate that waits in high (0: none).
char* PutCarried(char* o, unsigned u, char16_t& high) noexcept {
    if (high != 0) {
        const unsigned waiting = std::exchange(high, 0);
        if (IsLow(u)) return PutPair(o, waiting, u);
        o = PutReplacement(o);
    }
    if (IsHigh(u)) {
        high = static_cast<char16_t>(u);
        return o;
    }
    return IsLow(u) ? PutReplacement(o) : PutUnit(o, u);
}

// The whole units of [p, end) (an even count of bytes) after the carried
// ones: a high surrogate at the very end is left in high, to pair with the
// next block's first unit.
template <bool kBig>
char* DecodeUnits(const char* p, const char* end, char* o, Kernel kernel, char16_t& high) noexcept {
    while (p < end) {
        const char* stop = end;
        if (kernel != nullptr) {
            // Through copies: p and o stay in registers in the loop below.
            const char* vp = p;
            char* vo = o;
            kernel(vp, end, vo, kBig);
            p = vp;
            o = vo;
            if (end - p > kBytesBetweenVectors) stop = p + kBytesBetweenVectors;
        }
        // A pair may run one unit past stop, never past end.
        while (p < stop) {
            const unsigned u = UnitAt<kBig>(p);
            p += 2;
            if ((u & 0xF800) != 0xD800) {
                o = PutUnit(o, u);
            } else if (!IsHigh(u)) {
                o = PutReplacement(o);
            } else if (p == end) {
                high = static_cast<char16_t>(u);
            } else if (const unsigned low = UnitAt<kBig>(p); IsLow(low)) {
                o = PutPair(o, u, low);
                p += 2;
            } else {
                o = PutReplacement(o);
            }
        }
    }
    return o;
}

Kernel KernelFor([[maybe_unused]] Vectors vectors) noexcept {
#if defined(NORVANE_X86_UTF16)
    if (vectors == Vectors::Avx512 && x86::HasByteCompress()) return x86::DecodeUtf16Avx512;
    if (vectors >= Vectors::Avx2) return x86::DecodeUtf16Avx2;
    return x86::DecodeUtf16Sse2;
#else
    return nullptr;
#endif
}

}  // namespace

Utf16Decoder::Utf16Decoder(bool bigEndian) noexcept : kernel_(KernelFor(WidestVectors())), bigEndian_(bigEndian) {}

std::size_t Utf16Decoder::Decode(const char* in, std::size_t n, char* out) noexcept {
    const char* p = in;
    const char* const end = in + n;
    char* o = out;
    // The unit that a carried byte begins, then the partner of a carried
    // high surrogate, which may be one itself and wait in turn.
    while (hasOdd_ ? p < end : high_ != 0 && end - p >= 2) {
        unsigned u;
        if (hasOdd_) {
            const char unit[2] = {odd_, *p++};
            u = bigEndian_ ? UnitAt<true>(unit) : UnitAt<false>(unit);
            hasOdd_ = false;
        } else {
            u = bigEndian_ ? UnitAt<true>(p) : UnitAt<false>(p);
            p += 2;
        }
        o = PutCarried(o, u, high_);
    }
    if (high_ == 0) {
        const char* const whole = p + ((end - p) & ~std::ptrdiff_t{1});
        o = bigEndian_ ? DecodeUnits<true>(p, whole, o, kernel_, high_)
                       : DecodeUnits<false>(p, whole, o, kernel_, high_);
        p = whole;
    }
    if (p != end) {
        hasOdd_ = true;
        odd_ = *p;
    }
    return static_cast<std::size_t>(o - out);
}

std::size_t Utf16Decoder::Finish(char* out) noexcept {
    char* o = out;
    if (high_ != 0) o = PutReplacement(o);
    if (hasOdd_) o = PutReplacement(o);
    high_ = 0;
    hasOdd_ = false;
    return static_cast<std::size_t>(o - out);
}

}  // namespace platform
