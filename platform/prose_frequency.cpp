// The byte-frequency models of the encodings. Prose is taken as some 450
// hiragana, 300 kanji (from about forty rows or leading bytes), 100 marks of
// punctuation and 60 katakana in a thousand characters, in lines of some 35
// characters; each character's bytes are shared out over the values they
// can take. Rough, as only the order of the pairs it ranks counts.
#include "platform/prose_frequency.h"

namespace platform::prose_frequency {

namespace {

constexpr double kHiragana = 450;
constexpr double kKanji = 300;
constexpr double kPunctuation = 100;
constexpr double kKatakana = 60;

// What every encoding shares: a line end in every line, and ASCII here and there.
Model Shared(Model m) {
    m['\r'].ends += 30;
    m['\n'].ends += 30;
    for (unsigned b = 0x20; b <= 0x7E; ++b) m[b].ends += 2;
    return m;
}

void AddEnds(Model& m, unsigned from, unsigned to, double perByte) {
    for (unsigned b = from; b <= to; ++b) m[b].ends += perByte;
}

}  // namespace

Model Cp932() {
    Model m{};
    m[0x82].leads = kHiragana;
    m[0x81].leads = kPunctuation;  // the ideographic space among them
    m[0x83].leads = kKatakana;
    for (unsigned b = 0x88; b <= 0x9F; ++b) m[b].leads = kKanji / 40;
    for (unsigned b = 0xE0; b <= 0xEA; ++b) m[b].leads = kKanji / 40;
    // Every trail byte may end a kanji; the others by their rows' ranges.
    AddEnds(m, 0x40, 0x7E, kKanji / 188);
    AddEnds(m, 0x80, 0xFC, kKanji / 188);
    AddEnds(m, 0x40, 0x7E, kKatakana / 86);
    AddEnds(m, 0x80, 0x96, kKatakana / 86);
    AddEnds(m, 0x9F, 0xF1, kHiragana / 83);
    // The marks most used, and the long vowel mark.
    for (unsigned b = 0x40; b <= 0x7A; ++b) {
        if (b <= 0x4A || b == 0x5B || b == 0x69 || b == 0x6A || b >= 0x75) m[b].ends += kPunctuation / 16;
    }
    return Shared(m);
}

Model EucJp() {
    Model m{};
    m[0xA4].leads = kHiragana;
    m[0xA1].leads = kPunctuation;
    m[0xA5].leads = kKatakana;
    for (unsigned b = 0xB0; b <= 0xD7; ++b) m[b].leads = kKanji / 40;
    AddEnds(m, 0xA1, 0xFE, kKanji / 94);
    AddEnds(m, 0xA1, 0xF6, kKatakana / 86);
    AddEnds(m, 0xA1, 0xF3, kHiragana / 83);
    for (const unsigned b :
         {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA9, 0xAA, 0xBC, 0xC6, 0xC7, 0xCA, 0xCB, 0xD6, 0xD7, 0xDD}) {
        m[b].ends += kPunctuation / 16;
    }
    return Shared(m);
}

Model Utf8() {
    Model m{};
    // Three bytes a character: kana and the marks start with E3, then
    // 80-83; kanji with E4-E9, then any continuation byte.
    m[0xE3].leads = kHiragana + kKatakana + kPunctuation;
    m[0x80].leads += kPunctuation;
    m[0x81].leads += kHiragana * 63 / 83;
    m[0x82].leads += kHiragana * 20 / 83 + kKatakana * 30 / 86;
    m[0x83].leads += kKatakana * 56 / 86;
    for (unsigned b = 0xE4; b <= 0xE9; ++b) m[b].leads = kKanji / 6;
    for (unsigned b = 0x80; b <= 0xBF; ++b) m[b].leads += kKanji / 64;
    AddEnds(m, 0x80, 0xBF, (kHiragana + kKatakana + kKanji) / 64);
    for (const unsigned b : {0x80, 0x81, 0x82, 0x8C, 0x8D, 0xBB, 0xBC}) m[b].ends += kPunctuation / 7;
    return Shared(m);
}

}  // namespace platform::prose_frequency
