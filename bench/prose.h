// Shift-JIS prose for the benchmarks: hard-wrapped at 30 to 40 characters a
// line, paragraphs indented with an ideographic space, some set in as
// quotations with every line indented, CR LF. A seed always gives the same
// bytes (a fixed-seed mt19937_64 with plain modulo, which no library changes).
#pragma once

#include "platform/code_page.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

inline constexpr std::string_view kRare = "翡翠色の羅針盤";
inline constexpr std::string_view kFrequent = "港町";
inline constexpr std::string_view kWrapped = "夕暮れの海を眺めていた";
// Rare, but its first character is in most lines: naturally in the prose,
// planted in the text of few words.
inline constexpr std::string_view kFirstEverywhere = "の港町";
inline constexpr std::string_view kFirstEverywhereFewWords = "猫です";

// The word lists stay as written.
// clang-format off
inline const char* const kNouns[] = {
    "私", "彼", "彼女", "主人", "漁師", "旅人", "少年", "老人", "母", "友人", "駅", "宿", "坂道", "灯台", "岬",
    "浜辺", "桟橋", "市場", "寺", "神社", "路地", "石段", "窓", "机", "手紙", "地図", "切符", "鞄", "傘",
    "帽子", "潮風", "波", "船", "汽笛", "霧", "雨", "雪", "月", "星", "空", "雲", "山", "川", "森", "畑",
    "花", "桜", "柿", "魚", "猫", "犬", "鴎", "茶", "酒", "味噌汁", "握り飯", "昔話", "思い出", "約束", "季節",
    "春", "夏", "秋", "冬", "朝", "昼", "夕方", "夜", "今日", "明日", "昨日", "一九二三年", "三月", "十時",
    "2階", "第3章", "ランプ", "ラジオ", "ガラス", "ノート", "ペン", "ｶﾒﾗ", "ＡＢＣ", "Ｘ線",
};
inline const char* const kParticles[] = {"は", "が", "を", "に", "で", "と", "の", "へ", "から", "まで", "も"};
inline const char* const kEndings[] = {
    "歩いた", "見えた", "聞こえた", "思い出した", "書いた", "読んだ", "話した", "笑った", "黙っていた",
    "待っていた", "眠った", "食べた", "飲んだ", "買った", "忘れていた", "置いてあった", "光っていた",
    "揺れていた", "続いていた", "消えていった", "静かだった", "美しかった", "寒かった", "懐かしかった",
    "遠かった", "あるのだ", "いなかった", "知らなかった", "ありがとうございました", "そうである",
};
// A text of few words, in which the first character of a phrase is in
// most lines.
inline const char* const kFewNouns[] = {"猫", "犬", "鳥", "空", "雨", "窓", "花"};
// clang-format on

inline std::string Sj(std::string_view utf8) { return platform::FixedText(utf8); }

struct Vocabulary {
    std::vector<std::string> nouns, particles, endings;
    std::string rare, frequent, wrapped, indent, period, comma, open, close;
    std::string planted;  // a phrase planted as rarely as rare, when not empty
};

// The prose's words, or (fewWords) a handful of nouns in which 猫です is
// planted.
inline Vocabulary MakeVocabulary(bool fewWords = false) {
    Vocabulary v;
    if (fewWords) {
        for (const char* w : kFewNouns) v.nouns.push_back(Sj(w));
        v.planted = Sj(kFirstEverywhereFewWords);
    } else {
        for (const char* w : kNouns) v.nouns.push_back(Sj(w));
    }
    for (const char* w : kParticles) v.particles.push_back(Sj(w));
    for (const char* w : kEndings) v.endings.push_back(Sj(w));
    v.rare = Sj(kRare);
    v.frequent = Sj(kFrequent);
    v.wrapped = Sj(kWrapped);
    v.indent = Sj("　");
    v.period = Sj("。");
    v.comma = Sj("、");
    v.open = Sj("「");
    v.close = Sj("」");
    return v;
}

class Writer {
public:
    Writer(const Vocabulary& v, std::uint64_t seed) : v_(v), rng_(seed) {}

    // One paragraph, unwrapped.
    std::string Paragraph() {
        std::string p;
        const bool dialogue = Pick(6) == 0;
        if (dialogue) p += v_.open;
        for (std::uint64_t n = 2 + Pick(6); n > 0; --n) Sentence(p);
        if (dialogue) p += v_.close;
        return p;
    }

    // Wraps a paragraph at width characters: the first line indented by one
    // ideographic space, the rest by `indent` of them.
    void Wrap(const std::string& p, unsigned width, unsigned indent, std::string& out) {
        std::size_t i = 0;
        bool first = true;
        while (i < p.size()) {
            const unsigned pad = first ? 1 : indent;
            for (unsigned k = 0; k < pad; ++k) out += v_.indent;
            for (unsigned chars = pad; chars < width && i < p.size(); ++chars) {
                const bool lead = platform::IsLeadByte(static_cast<unsigned char>(p[i]));
                const std::size_t n = lead && i + 1 < p.size() ? 2 : 1;
                out.append(p, i, n);
                i += n;
            }
            out += "\r\n";
            first = false;
        }
    }

    std::uint64_t Pick(std::uint64_t n) { return rng_() % n; }

private:
    const std::string& Noun() {
        const std::uint64_t r = Pick(2'000'000);
        if (r == 0) return v_.rare;
        if (r == 1 && !v_.planted.empty()) return v_.planted;
        if (r < 13'000) return v_.frequent;
        return v_.nouns[Pick(v_.nouns.size())];
    }

    void Sentence(std::string& p) {
        for (std::uint64_t n = 1 + Pick(4); n > 0; --n) {
            p += Noun();
            p += v_.particles[Pick(std::size(kParticles))];
            if (Pick(5) == 0) p += v_.comma;
        }
        p += Pick(30) == 0 ? v_.wrapped : v_.endings[Pick(std::size(kEndings))];
        p += v_.period;
    }

    const Vocabulary& v_;
    std::mt19937_64 rng_;
};

// Appends one wrapped paragraph. Most paragraphs indent only their first
// line; some are set in as quotations, every line indented.
inline void AppendParagraph(Writer& w, unsigned width, std::string& out) {
    const std::uint64_t r = w.Pick(10);
    w.Wrap(w.Paragraph(), width, r < 7 ? 0 : r < 9 ? 1 : 2, out);
}

// About `bytes` bytes (whole paragraphs) of prose wrapped at `width`.
inline std::string Prose(std::size_t bytes, std::uint64_t seed, unsigned width) {
    static const Vocabulary v = MakeVocabulary();
    Writer w(v, seed);
    std::string text;
    while (text.size() < bytes) AppendParagraph(w, width, text);
    return text;
}

}  // namespace bench
