// The encodings as data, and the walks over characters that every scan asks.
#include "platform/code_page.h"
#include "platform/prose_frequency.h"

#include <algorithm>

namespace platform {
namespace {

unsigned Byte(char c) noexcept { return static_cast<unsigned char>(c); }

struct Range {
    unsigned from, to, length;
};

// An encoding from its first-byte lengths (bytes not named are single) and
// the range of bytes that may follow the first.
Encoding MakeEncoding(std::string_view name, std::initializer_list<Range> leads, unsigned followFrom, unsigned followTo,
                      std::string_view ideographicSpace, const prose_frequency::Model& frequency) {
    Encoding e{name, {}, {}, ideographicSpace, {}, frequency};
    e.length.fill(1);
    for (const Range& r : leads) {
        for (unsigned b = r.from; b <= r.to; ++b) e.length[b] = static_cast<std::uint8_t>(r.length);
    }
    for (unsigned b = 0; b < 256; ++b) e.follows[b] = b >= followFrom && b <= followTo;
    const unsigned longest = *std::max_element(e.length.begin(), e.length.end());
    // A byte that may not follow starts a character; a single byte ends one
    // when nothing may follow it, or when it can only be the last of two.
    for (unsigned b = 0; b < 256; ++b) {
        if (e.length[b] == 1 && (!e.follows[b] || longest == 2)) {
            e.boundary[b] = Encoding::kEndsCharacter;
        } else if (!e.follows[b]) {
            e.boundary[b] = Encoding::kStartsCharacter;
        } else {
            e.boundary[b] = Encoding::kInside;
        }
    }
    return e;
}

}  // namespace

const Encoding& Cp932() noexcept {
    // Any byte after a lead byte is its second one, whatever its value.
    static const Encoding e = MakeEncoding("cp932", {{0x81, 0x9F, 2}, {0xE0, 0xFC, 2}}, 0x00, 0xFF,
                                           std::string_view("\x81\x40", 2), prose_frequency::Cp932());
    return e;
}

const Encoding& EucJp() noexcept {
    static const Encoding e = MakeEncoding("euc-jp", {{0x8E, 0x8E, 2}, {0x8F, 0x8F, 3}, {0xA1, 0xFE, 2}}, 0xA1, 0xFE,
                                           std::string_view("\xA1\xA1", 2), prose_frequency::EucJp());
    return e;
}

const Encoding& Utf8() noexcept {
    static const Encoding e = MakeEncoding("utf-8", {{0xC2, 0xDF, 2}, {0xE0, 0xEF, 3}, {0xF0, 0xF4, 4}}, 0x80, 0xBF,
                                           std::string_view("\xE3\x80\x80", 3), prose_frequency::Utf8());
    return e;
}

const Encoding* EncodingNamed(std::string_view name) noexcept {
    for (const Encoding* e : {&Cp932(), &EucJp(), &Utf8()}) {
        if (e->name == name) return e;
    }
    return nullptr;
}

std::size_t CharacterLength(const Encoding& encoding, const char* p, const char* end) noexcept {
    const char* const full = p + std::min<std::ptrdiff_t>(encoding.length[Byte(*p)], end - p);
    const char* q = p + 1;
    while (q < full && encoding.follows[Byte(*q)]) ++q;
    return static_cast<std::size_t>(q - p);
}

}  // namespace platform
