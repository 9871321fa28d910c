// One text written in each encoding that a file's own bytes tell: read with
// the form found in it, every one gives the listing, hit table, local
// listing and viewer text of that text in code page 932, byte for byte,
// also across block ends, in long lines and from a pipe. And what input
// methods type searches as the code page 932 character it stands for.
#include "core/output/box_text.h"
#include "core/search/global_search.h"
#include "core/search/local_search.h"
#include "core/search/range_view.h"
#include "platform/code_page.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace core;

namespace {

std::string Utf16(std::u32string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const auto unit = [&](char32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    };
    for (const char32_t c : text) {
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// A line end as each encoding's files write it: CR LF in code page 932, LF
// alone (as on Unix) in the others.
constexpr char32_t kLineEnd = U'\u2028';

// Prose of characters that every encoding holds: mostly hiragana, as in
// Japanese text, with kanji, katakana, marks and ASCII; lines end in the
// encoding's line end or a lone CR, and some start with ideographic spaces
// or hold a NUL.
std::u32string Prose(std::mt19937& rng, std::size_t characters) {
    static const std::u32string kana =
        U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんがぎぐげござじず"
        U"ぜぞ";
    static const std::u32string other = U"港町海春夏秋冬人見当古宿主漁師カタナドア、。「」ー・abcXYZ 0129";
    std::u32string text;
    while (text.size() < characters) {
        const unsigned pick = rng() % 100;
        if (pick < 62) {
            text += kana[rng() % kana.size()];
        } else if (pick < 88) {
            text += other[rng() % other.size()];
        } else if (pick < 97) {
            // A lone CR right before an LF would make one CR LF of the two.
            if (!text.empty() && text.back() == U'\r') text += U'x';
            text += rng() % 4 ? kLineEnd : U'\r';
            if (rng() % 3 == 0) text.append(1 + rng() % 2, U'\u3000');
        } else if (pick < 98) {
            text += U'\0';
        } else {
            text += U"港町";
        }
    }
    return text;
}

struct Written {
    std::string name;
    std::string bytes;
};

// The text in every encoding the rule tells apart, code page 932 first.
std::vector<Written> InEveryEncoding(std::u32string text) {
    std::u32string crlf;
    for (const char32_t c : text) c == kLineEnd ? crlf += U"\r\n" : crlf += c;
    std::replace(text.begin(), text.end(), kLineEnd, U'\n');
    const std::string utf8 = platform::EncodeUtf8(text);
    return {{"cp932", *platform::EncodeCodePage(crlf)},
            {"euc-jp", *platform::Utf8ToEncoding(platform::EucJp(), utf8)},
            {"utf-8", utf8},
            {"utf-8 with a mark", "\xEF\xBB\xBF" + utf8},
            {"utf-16le", Utf16(text, false)},
            {"utf-16be", Utf16(text, true)}};
}

// The listing without its file's header line, which names the file.
std::string WithoutHeader(const std::string& listing) {
    const std::size_t header = listing.find("\r\n\r\n") + 4;
    const std::size_t end = listing.find("\r\n", header);
    return listing.substr(0, header) + listing.substr(end == std::string::npos ? listing.size() : end);
}

}  // namespace

TEST(FoundEncodings, EveryEncodingOfATextGivesItsCodePageListingTableViewAndLocalListing) {
    testing_support::TempDir dir;
    std::mt19937 rng(23);
    const TextForm found = TextForm::FoundInFile();
    for (int round = 0; round < 60; ++round) {
        // Now and then past a block end of the reader, or one line past the
        // long-line scan's limit (the hit at its end).
        std::u32string text = Prose(rng, round % 10 == 0 ? 200000 + rng() % 150000 : 50 + rng() % 3000);
        if (round % 20 == 7) text += std::u32string(600000, U'あ') + U"港町の灯\u2028終わり";
        const std::size_t at = rng() % text.size();
        std::u32string s = text.substr(at, 1 + rng() % 6);
        if (s.find_first_of(U"\r\0\u2028", 0, 3) != std::u32string::npos) s = U"港町";
        const SearchText typed = SearchText::Typed(platform::EncodeUtf8(s));
        const std::string details = "round " + std::to_string(round) + ", text " + platform::EncodeUtf8(s);

        HitTable expectedHits;
        std::string expected, expectedLocal;
        std::u16string expectedView;
        for (const Written& w : InEveryEncoding(text)) {
            const std::string path = dir.Write("t.txt", w.bytes);
            HitTable hits;
            const std::string listing =
                WithoutHeader(RunGlobalSearch(typed, {&path, 1}, hits, nullptr, Readers::Auto, found).text);
            const std::string local = RunLocalSearch(path, typed, nullptr, found).text;
            const RangeView view = RenderRange(path, 1, hits, 1, 500, ViewerBytesNeeded(2000), nullptr, found);
            const std::u16string shown = ViewerBoxText(view.text, 2000, *view.encoding).text;
            if (w.name == "cp932") {
                // Code page 932 found in its own bytes reads exactly as it always did.
                HitTable home;
                ASSERT_EQ(listing, WithoutHeader(RunGlobalSearch(*typed.In(platform::Cp932()), {&path, 1}, home).text))
                    << details;
                ASSERT_EQ(home.Row(1)[0], hits.Row(1)[0]) << details;
                expected = listing, expectedLocal = local, expectedView = shown, expectedHits = hits;
                continue;
            }
            ASSERT_EQ(listing, expected) << w.name << ", " << details;
            ASSERT_EQ(local, expectedLocal) << w.name << ", " << details;
            ASSERT_EQ(shown, expectedView) << w.name << ", " << details;
            for (std::size_t slot = 0; slot < HitTable::kSlots; ++slot) {
                ASSERT_EQ(hits.Row(1)[slot], expectedHits.Row(1)[slot]) << w.name << ", " << details;
            }
            // The same from a pipe, which can't be read twice.
            if (w.bytes.size() < 60000 && round % 3 == 0) {
                testing_support::PipeToStdin in(w.bytes);
                const std::string standardInput(1, '\0');  // empty up to its NUL: standard input
                HitTable piped;
                ASSERT_EQ(WithoutHeader(
                              RunGlobalSearch(typed, {&standardInput, 1}, piped, nullptr, Readers::Auto, found).text),
                          expected)
                    << w.name << " from a pipe, " << details;
            }
        }
    }
}

TEST(FoundEncodings, WhatInputMethodsTypeIsTheCharacterItStandsFor) {
    // The JIS forms, and the code page 932 character each stands for; decoding
    // gives the Microsoft form as before.
    const std::vector<std::pair<char32_t, std::string>> forms = {
        {U'\u301C', "\x81\x60"}, {U'\u2016', "\x81\x61"}, {U'\u2212', "\x81\x7C"}, {U'\u2014', "\x81\x5C"},
        {U'\u00A2', "\x81\x91"}, {U'\u00A3', "\x81\x92"}, {U'\u00AC', "\x81\xCA"}};
    for (const auto& [typed, code] : forms) {
        EXPECT_EQ(platform::EncodeCodePage(std::u32string(1, typed)), code);
        EXPECT_NE(platform::DecodeCodePage(code), std::u32string(1, typed));
        EXPECT_EQ(platform::EncodeCodePage(platform::DecodeCodePage(code)), code);
    }
    // Typed once, searched in each encoding as that encoding writes it; in
    // EUC-JP either form is the character code page 932 takes it for (the
    // C library reads U+FF5E as the tilde of JIS X 0212, which Japanese
    // text hardly uses), also a form the C library lacks (U+2225).
    const SearchText wave = SearchText::Typed("港〜町");
    EXPECT_EQ(*wave.In(platform::Cp932()), platform::FixedText("港～町"));
    EXPECT_EQ(*wave.In(platform::EucJp()), "\xB9\xC1\xA1\xC1\xC4\xAE");
    EXPECT_EQ(*wave.In(platform::Utf8()), "港〜町");
    EXPECT_EQ(*SearchText::Typed("港～町").In(platform::EucJp()), "\xB9\xC1\xA1\xC1\xC4\xAE");
    EXPECT_EQ(*SearchText::Typed("港∥町").In(platform::EucJp()), "\xB9\xC1\xA1\xC2\xC4\xAE");
    EXPECT_EQ(*SearchText::Typed("aｶ").In(platform::EucJp()), "a\x8E\xB6");
    // A character an encoding lacks: no line written in it holds the text.
    const SearchText euro = SearchText::Typed("€5");
    EXPECT_EQ(euro.In(platform::Cp932()), nullptr);
    EXPECT_EQ(euro.In(platform::EucJp()), nullptr);
    EXPECT_EQ(euro.Shown(platform::Cp932()), platform::FixedText("〓5"));
    // Bytes read in one encoding are converted for the others, unless a byte
    // forms no character there.
    const SearchText read = SearchText::Bytes(platform::FixedText("港町"), platform::Cp932());
    EXPECT_EQ(*read.In(platform::Utf8()), "港町");
    EXPECT_EQ(SearchText::Bytes("\x81", platform::Cp932()).In(platform::Utf8()), nullptr);
    EXPECT_EQ(*SearchText::Bytes("\x81", platform::Cp932()).In(platform::Cp932()), "\x81");
}
