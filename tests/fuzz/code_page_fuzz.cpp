// The code page codec: decoding is total and re-encodes to bytes of the same
// length and text; the offsets map characters back to their bytes; and the
// UTF-8 shorthands agree with the two codecs. The input is used both as
// code-page bytes and as UTF-8.
#include "fuzz_support.h"
#include "platform/code_page.h"

#include <map>
#include <string>

namespace {

// How many codes (single bytes and pairs) decode to each character; the
// characters with more than one are the NEC and IBM duplicates, which come
// back as the preferred code only.
const std::map<char32_t, int>& CodesPerCharacter() {
    static const std::map<char32_t, int> counts = [] {
        std::map<char32_t, int> c;
        for (unsigned code = 0; code < 0x10000; ++code) {
            const std::string bytes = code < 0x100 ? std::string(1, static_cast<char>(code))
                                                   : std::string{static_cast<char>(code >> 8), static_cast<char>(code)};
            const std::u32string text = platform::DecodeCodePage(bytes);
            if (text.size() == 1) ++c[text[0]];
        }
        return c;
    }();
    return counts;
}

bool Shared(char32_t c) {
    const auto it = CodesPerCharacter().find(c);
    return it != CodesPerCharacter().end() && it->second > 1;
}

std::string Hex(std::u32string_view text) {
    std::string out;
    char code[16];
    for (const char32_t c : text) {
        std::snprintf(code, sizeof code, " U+%04X", static_cast<unsigned>(c));
        out += code;
    }
    return out;
}

void CheckCodePageBytes(const std::string& bytes) {
    // The decoders see the bytes in a block of their own size.
    const fuzz::ExactBytes exact(bytes);
    const std::u32string text = platform::DecodeCodePage(exact.View());
    const auto details = [&] { return "bytes " + fuzz::Escaped(bytes) + " decode to" + Hex(text); };

    // Offsets: one per character and one more; each character is one byte or
    // a pair, starting on a lead byte, and decodes alone to itself.
    const platform::DecodedText decoded = platform::DecodeCodePageWithOffsets(exact.View());
    FUZZ_CHECK(decoded.text == text, details());
    FUZZ_CHECK(decoded.offsets.size() == text.size() + 1, details());
    FUZZ_CHECK(decoded.offsets.front() == 0 && decoded.offsets.back() == bytes.size(), details());
    std::string perCharacter;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t at = decoded.offsets[i], length = decoded.offsets[i + 1] - at;
        FUZZ_CHECK(length == 1 || length == 2, details() + ", character " + std::to_string(i));
        const std::string own = bytes.substr(at, length);
        FUZZ_CHECK(length == 1 || platform::IsLeadByte(static_cast<unsigned char>(own[0])), details());
        FUZZ_CHECK(platform::DecodeCodePage(own) == text.substr(i, 1), details() + ", character " + std::to_string(i));
        // A lead byte standing alone had no pair to make with the next byte.
        if (length == 1 && at + 1 < bytes.size() && platform::IsLeadByte(static_cast<unsigned char>(own[0])))
            FUZZ_CHECK(platform::DecodeCodePage(bytes.substr(at, 2)).size() == 2, details());

        const std::optional<std::string> alone = platform::EncodeCodePage(text.substr(i, 1));
        FUZZ_CHECK(alone.has_value(), details() + ", character " + std::to_string(i));
        if (Shared(text[i])) {
            FUZZ_CHECK(alone->size() == length && platform::DecodeCodePage(*alone) == text.substr(i, 1), details());
        } else {
            FUZZ_CHECK(*alone == own, details() + ", character " + std::to_string(i));
        }
        perCharacter += *alone;
    }

    // The round trip: always possible, same length and text; the very same
    // bytes unless they hold a lead byte of a non-preferred duplicate.
    const std::optional<std::string> back = platform::EncodeCodePage(text);
    FUZZ_CHECK(back.has_value(), details());
    FUZZ_CHECK(*back == perCharacter, details() + ", back " + fuzz::Escaped(*back));
    FUZZ_CHECK(back->size() == bytes.size() && platform::DecodeCodePage(*back) == text,
               details() + ", back " + fuzz::Escaped(*back));
    if (bytes.find_first_of("\x87\xED\xEE\xFA") == std::string::npos)
        FUZZ_CHECK(*back == bytes, details() + ", back " + fuzz::Escaped(*back));
    FUZZ_CHECK(platform::EncodeCodePageLossy(text) == *back, details());

    const std::string utf8 = platform::CodePageToUtf8(exact.View());
    FUZZ_CHECK(utf8 == platform::EncodeUtf8(text), details());
    FUZZ_CHECK(platform::DecodeUtf8(utf8) == text, details() + ", UTF-8 " + fuzz::Escaped(utf8));
    FUZZ_CHECK(platform::Utf8ToCodePage(utf8) == back, details() + ", UTF-8 " + fuzz::Escaped(utf8));
}

// The character that code page 932 holds a JIS form that input methods
// type as; any other character is itself.
char32_t HeldForm(char32_t c) {
    switch (c) {
    case U'\u301C': return U'\uFF5E';
    case U'\u2016': return U'\u2225';
    case U'\u2212': return U'\uFF0D';
    case U'\u2014': return U'\u2015';
    case U'\u00A2': return U'\uFFE0';
    case U'\u00A3': return U'\uFFE1';
    case U'\u00AC': return U'\uFFE2';
    default: return c;
    }
}

void CheckUtf8(const std::string& utf8) {
    const auto details = [&] { return "UTF-8 " + fuzz::Escaped(utf8); };
    const fuzz::ExactBytes exact(utf8);
    const std::optional<std::u32string> text = platform::DecodeUtf8(exact.View());
    const std::u32string lossy = platform::DecodeUtf8Lossy(exact.View());
    if (text) {
        FUZZ_CHECK(platform::EncodeUtf8(*text) == utf8, details());
        FUZZ_CHECK(lossy == *text, details());
    } else {
        FUZZ_CHECK(lossy.find(U'\uFFFD') != std::u32string::npos, details());
    }
    // Whatever the lossy form holds is well-formed UTF-8 once written.
    FUZZ_CHECK(platform::DecodeUtf8(platform::EncodeUtf8(lossy)) == lossy, details());

    // Text that encodes comes back unchanged: encoding picks a code that
    // decodes to the very character, but for the JIS forms that input
    // methods type, which come back as the character the code holds.
    const std::optional<std::string> bytes = platform::Utf8ToCodePage(exact.View());
    FUZZ_CHECK(!bytes || text, details());
    if (bytes) {
        std::u32string held = *text;
        for (char32_t& c : held) c = HeldForm(c);
        FUZZ_CHECK(platform::CodePageToUtf8(*bytes) == platform::EncodeUtf8(held),
                   details() + ", bytes " + fuzz::Escaped(*bytes));
        FUZZ_CHECK(platform::EncodeCodePageLossy(*text) == *bytes, details());
    } else if (text) {
        // The lossy form writes '?' where a character has no form.
        const std::string lossyBytes = platform::EncodeCodePageLossy(*text);
        FUZZ_CHECK(lossyBytes.find('?') != std::string::npos, details() + ", lossy " + fuzz::Escaped(lossyBytes));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckCodePageBytes(bytes);
    CheckUtf8(bytes);
    return 0;
}
