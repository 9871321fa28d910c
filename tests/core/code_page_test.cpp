#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <stdexcept>

namespace platform {
namespace {

std::string Pair(unsigned code) { return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }

TEST(CodePage, LeadBytes) {
    for (unsigned b : {0x81u, 0x9Fu, 0xE0u, 0xFCu}) EXPECT_TRUE(IsLeadByte(b)) << b;
    for (unsigned b : {0x00u, 0x80u, 0xA0u, 0xDFu, 0xFDu, 0xFFu}) EXPECT_FALSE(IsLeadByte(b)) << b;
}

TEST(CodePage, KnownMappingsBothWays) {
    const std::pair<std::string, char32_t> known[] = {
        {"\x5C", U'\\'},       {"\x7E", U'~'},         {"\x1A", 0x1A},         {"\x7F", 0x7F},
        {"\xA1", 0xFF61},      {"\xCC", U'ﾌ'},         {"\xDF", 0xFF9F},       {"\x80", 0x0080},
        {"\xA0", 0xF8F0},      {"\xFD", 0xF8F1},       {"\xFE", 0xF8F2},       {"\xFF", 0xF8F3},
        {Pair(0x82A0), U'あ'}, {Pair(0x8ABF), U'漢'},  {Pair(0x8140), 0x3000}, {Pair(0x8146), U'：'},
        {Pair(0x81CB), U'⇒'},  {Pair(0x815F), 0xFF3C}, {Pair(0x8160), 0xFF5E}, {Pair(0x817C), 0xFF0D},
        {Pair(0x8198), 0xA7},  {Pair(0xF040), 0xE000}, {Pair(0xF9FC), 0xE757}, {Pair(0xFC4B), 0x9ED1},
    };
    for (const auto& [bytes, c] : known) {
        EXPECT_EQ(DecodeCodePage(bytes), std::u32string(1, c)) << std::hex << unsigned(c);
        EXPECT_EQ(EncodeCodePage(std::u32string(1, c)), bytes) << std::hex << unsigned(c);
    }
    for (unsigned b = 0; b < 0x80; ++b) EXPECT_EQ(DecodeCodePage(std::string(1, char(b))), std::u32string(1, b));
}

TEST(CodePage, DuplicatesEncodeAsMicrosoftDoes) {
    EXPECT_EQ(DecodeCodePage(Pair(0xED40)), U"纊");
    EXPECT_EQ(DecodeCodePage(Pair(0xFA5C)), U"纊");
    const std::pair<char32_t, unsigned> preferred[] = {
        {0x2160, 0x8754}, {0x2170, 0xFA40}, {0xFFE2, 0x81CA}, {0x2235, 0x81E6}, {0x7E8A, 0xFA5C}, {0x2252, 0x81E0},
    };
    for (const auto& [c, code] : preferred)
        EXPECT_EQ(EncodeCodePage(std::u32string(1, c)), Pair(code)) << std::hex << unsigned(c);
}

TEST(CodePage, EverySingleAndPairRoundTrips) {
    // Codes sharing one character cannot all come back; every other code must.
    std::map<char32_t, int> codes_per_char;
    std::vector<std::string> all;
    for (unsigned b = 0; b < 0x100; ++b) all.push_back(std::string(1, char(b)));
    for (unsigned code = 0; code < 0x10000; ++code) all.push_back(Pair(code));
    for (const std::string& bytes : all) {
        const std::u32string text = DecodeCodePage(bytes);
        if (text.size() == 1) ++codes_per_char[text[0]];
    }
    int shared = 0;
    for (const std::string& bytes : all) {
        const std::u32string text = DecodeCodePage(bytes);
        const std::optional<std::string> back = EncodeCodePage(text);
        ASSERT_TRUE(back) << std::hex << unsigned(text[0]);
        if (text.size() == 1 && codes_per_char[text[0]] > 1) {
            ++shared;
            EXPECT_EQ(DecodeCodePage(*back), text);
        } else {
            EXPECT_EQ(*back, bytes) << std::hex << unsigned(text[0]);
        }
    }
    EXPECT_EQ(shared, 794);  // NEC and IBM rows; a change means a different converter
}

TEST(CodePage, RandomBytesRoundTrip) {
    std::mt19937 random(932);
    for (int round = 0; round < 20000; ++round) {
        // Half the strings avoid the leads of all non-preferred duplicates
        // (0x87, 0xED, 0xEE, 0xFA) and must come back byte for byte.
        const bool exact = round % 2 == 0;
        std::string bytes(random() % 40, '\0');
        for (char& b : bytes) {
            do
                b = static_cast<char>(random() % 3 == 0 ? "\x81\x9F\xE0\xFC\r\n\0\x40\x7F"[random() % 9]
                                                        : random() % 256);
            while (exact && (b == '\x87' || b == '\xED' || b == '\xEE' || b == '\xFA'));
        }
        const std::u32string text = DecodeCodePage(bytes);
        const std::optional<std::string> back = EncodeCodePage(text);
        ASSERT_TRUE(back);
        if (exact) {
            ASSERT_EQ(*back, bytes);
        }
        ASSERT_EQ(back->size(), bytes.size());
        ASSERT_EQ(DecodeCodePage(*back), text);
        ASSERT_EQ(DecodeUtf8(CodePageToUtf8(bytes)), text);
    }
}

TEST(CodePage, BytesThatFormNoCharacter) {
    EXPECT_EQ(DecodeCodePage("a\x82"), U"a\U000F0082");
    EXPECT_EQ(DecodeCodePage("\x82\r\n"), U"\U000F0082\r\n");
    EXPECT_EQ(DecodeCodePage(std::string("\x82\0", 2)), std::u32string(U"\U000F0082\0", 2));
    EXPECT_EQ(DecodeCodePage("\x82\x7F\x82\xFD"), U"\U000F0082\x7F\U000F0082\uF8F1");
    EXPECT_EQ(DecodeCodePage("\x85\x40\xEF\xFC"), U"\U00108540\U0010EFFC");
    EXPECT_EQ(DecodeCodePage("\x81\x81"), U"＝");  // a lead byte is also a trail byte

    // Reserved forms that decoding never gives have no form.
    EXPECT_EQ(EncodeCodePage(U"\U000F0041"), std::nullopt);
    EXPECT_EQ(EncodeCodePage(U"\U001082A0"), std::nullopt);
    EXPECT_EQ(EncodeCodePage(U"\U00108100"), std::nullopt);
    // A lone lead byte before a trail byte would read back as a pair.
    EXPECT_EQ(EncodeCodePage(U"\U000F0082A"), std::nullopt);
    EXPECT_EQ(EncodeCodePage(U"\U000F0082\U000F0082"), std::nullopt);
    EXPECT_EQ(EncodeCodePageLossy(U"\U000F0082A\U000F0082"), "?A\x82");
    EXPECT_EQ(EncodeCodePageLossy(std::u32string{U'x', U'€', U'😀', 0x110000, U'y'}), "x???y");
    EXPECT_EQ(EncodeCodePage(U"x€"), std::nullopt);
}

// The one check of typed text: where the code page stops holding it, found
// in one pass even for a long pasted text.
TEST(CodePage, TheFirstCharacterWithoutAFormIsNamed) {
    constexpr std::size_t kWhole = std::u32string_view::npos;
    std::size_t at = 0;
    EXPECT_EQ(DecodeCodePage(EncodeCodePage(U"港町", &at).value()), U"港町");
    EXPECT_EQ(at, kWhole);
    EXPECT_EQ(EncodeCodePage(U"x€y😀", &at), std::nullopt);
    EXPECT_EQ(at, 1u);
    // The lone lead byte has no form before a trail byte; the letter after it has.
    EXPECT_EQ(EncodeCodePage(U"ab\U000F0081A", &at), std::nullopt);
    EXPECT_EQ(at, 2u);
    EXPECT_EQ(EncodeCodePage(U"\U000F0081\U000F0081", &at), std::nullopt);
    EXPECT_EQ(at, 0u);
    EXPECT_EQ(EncodeCodePage(U"\U000F0081\r", &at), "\x81\r");
    EXPECT_EQ(at, kWhole);
    // The most a search box takes, pasted: only its last character fails.
    std::u32string pasted(32766, U'あ');
    EXPECT_EQ(EncodeCodePage(pasted + U'€', &at), std::nullopt);
    EXPECT_EQ(at, 32766u);
    EXPECT_EQ(EncodeCodePage(pasted.substr(1) + U"\U000F0081A", &at), std::nullopt);
    EXPECT_EQ(at, 32765u);
}

TEST(CodePage, Offsets) {
    const DecodedText decoded = DecodeCodePageWithOffsets("a\x82\xA0\x82\r\xCC\x85\x40\xE0");
    EXPECT_EQ(decoded.text, U"aあ\U000F0082\rﾌ\U00108540\U000F00E0");
    EXPECT_EQ(decoded.offsets, (std::vector<std::size_t>{0, 1, 3, 4, 5, 6, 8, 9}));
    EXPECT_EQ(DecodeCodePageWithOffsets("").offsets, std::vector<std::size_t>{0});
}

TEST(CodePage, Utf8) {
    for (const char* good : {"\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
                             "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        const std::optional<std::u32string> text = DecodeUtf8(good);
        ASSERT_TRUE(text) << good;
        EXPECT_EQ(EncodeUtf8(*text), good);
    }
    for (const char* bad :
         {"\x80", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xE3\x81", "a\xF0\x9F\x98", "\xE3\x41\x82"})
        EXPECT_EQ(DecodeUtf8(bad), std::nullopt) << bad;
    EXPECT_EQ(DecodeUtf8Lossy("a\xE3\x81"
                              "b\xC0\xAF\xE3\x81\x82"),
              U"a\uFFFD\uFFFDb\uFFFD\uFFFDあ");
    EXPECT_EQ(EncodeUtf8(U"\U000F0082\U0010FFFF"), "\xF3\xB0\x82\x82\xF4\x8F\xBF\xBF");
    EXPECT_EQ(EncodeUtf8(std::u32string{0xD800, 0x110000}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(CodePage, Shorthands) {
    EXPECT_EQ(CodePageToUtf8("\x82\xA0\x5C\x82"), "あ\\\xF3\xB0\x82\x82");
    EXPECT_EQ(Utf8ToCodePage("あ\\\xF3\xB0\x82\x82"), "\x82\xA0\x5C\x82");
    EXPECT_EQ(Utf8ToCodePage("€"), std::nullopt);
    EXPECT_EQ(Utf8ToCodePage("\xC0\xAF"), std::nullopt);
    EXPECT_EQ(FixedText("検索 ﾌ"), "\x8C\x9F\x8D\xF5 \xCC");
    EXPECT_THROW(FixedText("€"), std::logic_error);
    EXPECT_THROW(FixedText("😀"), std::logic_error);
    EXPECT_THROW(FixedText("\xE3\x81"), std::logic_error);
}

}  // namespace
}  // namespace platform
