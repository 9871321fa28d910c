// The encoding rule on real text: pieces of the Japanese man pages (UTF-8),
// EDICT (EUC-JP) and the samples (932), each written in every encoding with
// iconv, held against the truth and against nkf --guess on the same bytes;
// 932 text of one kind of character, which must stay 932; and the byte cases
// that no corpus shows.
#include "platform/encoding_detection.h"
#include "platform/code_page.h"
#include "platform/converter.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr const char* kManPages = "/usr/share/man/ja";
constexpr const char* kEdict = "/usr/share/edict/edict";
constexpr std::size_t kPieces = 2400;

std::string Utf32(std::u32string_view text) {
    std::string bytes;
    for (const char32_t c : text) {
        for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(c >> shift & 0xFF);
    }
    return bytes;
}

// The text of the bytes, as far as they convert.
std::u32string FromEncoding(const char* encoding, std::string_view bytes) {
    std::string utf32;
    Converter("UTF-32LE", {encoding}).Convert(bytes, utf32);
    std::u32string text(utf32.size() / 4, U'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (int k = 0; k < 4; ++k)
            text[i] |= static_cast<char32_t>(static_cast<unsigned char>(utf32[4 * i + k])) << 8 * k;
    }
    return text;
}

// The text in the encoding, cut before the first character it lacks; and how
// many characters that kept.
std::pair<std::string, std::size_t> ToEncoding(const char* encoding, std::u32string_view text) {
    std::string out;
    const std::size_t taken = Converter(encoding, {"UTF-32LE"}).Convert(Utf32(text), out);
    return {out, taken / 4};
}

std::string Run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Corpus {
    std::vector<std::u32string> texts[3];  // man pages, EDICT, samples
};

// The three corpora, read once; a missing one fails the test that asks.
const Corpus& LoadCorpus() {
    static const Corpus corpus = [] {
        Corpus c;
        std::mt19937 rng(932);
        std::vector<fs::path> pages;
        if (fs::is_directory(kManPages)) {
            for (const auto& e : fs::recursive_directory_iterator(kManPages)) {
                if (e.is_regular_file() && e.path().extension() == ".gz") pages.push_back(e.path());
            }
        }
        std::sort(pages.begin(), pages.end());
        std::shuffle(pages.begin(), pages.end(), rng);
        for (std::size_t i = 0; i < std::min<std::size_t>(pages.size(), 120); ++i) {
            if (pages[i].string().find('\'') != std::string::npos) continue;
            if (auto text = DecodeUtf8(Run("gzip -dc -- '" + pages[i].string() + "'")); text && !text->empty())
                c.texts[0].push_back(*text);
        }
        if (std::ifstream edict{kEdict, std::ios::binary}) {
            const auto size = static_cast<std::size_t>(fs::file_size(kEdict));
            for (int i = 0; i < 40 && size > 20000; ++i) {
                std::string chunk(12000, '\0');
                edict.seekg(static_cast<std::streamoff>(rng() % (size - chunk.size())));
                edict.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
                // Whole lines only: a line end never stands inside an EUC-JP character.
                chunk = chunk.substr(chunk.find('\n') + 1);
                c.texts[1].push_back(FromEncoding("EUC-JP", chunk.substr(0, chunk.rfind('\n') + 1)));
            }
        }
        for (const auto& e : fs::directory_iterator(NORVANE_SAMPLES_DIR)) {
            if (e.path().extension() == ".txt") c.texts[2].push_back(FromEncoding("CP932", ReadFile(e.path())));
        }
        return c;
    }();
    return corpus;
}

// Each corpus is there, and nkf: the packages of scripts/packages-test.txt,
// which make test installs.
testing::AssertionResult CorpusIsThere(const Corpus& corpus) {
    if (corpus.texts[0].empty())
        return testing::AssertionFailure() << "no Japanese man pages under " << kManPages
                                           << ": install manpages-ja (with no dpkg path-exclude for /usr/share/man)";
    if (corpus.texts[1].empty()) return testing::AssertionFailure() << "no " << kEdict << ": install edict";
    if (corpus.texts[2].empty()) return testing::AssertionFailure() << "no samples in " << NORVANE_SAMPLES_DIR;
    if (std::system("command -v nkf >/dev/null") != 0) return testing::AssertionFailure() << "no nkf: install nkf";
    return testing::AssertionSuccess();
}

// Pieces of 8 to 2,048 characters, their lengths spread evenly on a log scale.
std::vector<std::u32string> Pieces(const Corpus& corpus) {
    std::mt19937 rng(2048);
    std::uniform_real_distribution<double> logLength(std::log(8.0), std::log(2048.0));
    std::vector<std::u32string> pieces;
    while (pieces.size() < kPieces) {
        const auto& texts = corpus.texts[std::array{0, 0, 1, 1, 2}[rng() % 5]];
        const std::u32string& text = texts[rng() % texts.size()];
        const auto length = static_cast<std::size_t>(std::lround(std::exp(logLength(rng))));
        const std::size_t from = text.size() > length ? rng() % (text.size() - length) : 0;
        pieces.push_back(text.substr(from, length));
    }
    return pieces;
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

// Bytes that are also 932 text of ASCII and half-width katakana alone, as
// ﾃｽﾄｱ is, which must stay 932: which encoding wrote them, the bytes can't
// tell.
bool Also932HalfWidth(std::string_view bytes) {
    std::string utf32;
    if (Converter("UTF-32LE", {"CP932"}).Convert(bytes, utf32) != bytes.size() || IsAscii(bytes)) return false;
    const std::u32string text = FromEncoding("CP932", bytes);
    return std::all_of(text.begin(), text.end(), [](char32_t c) { return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F); });
}

// nkf --guess on every file, many to a call: its answer by file name.
std::map<std::string, std::string> NkfGuesses(const testing_support::TempDir& dir, std::size_t files) {
    std::map<std::string, std::string> guesses;
    for (std::size_t first = 0; first < files; first += 1000) {
        std::string command = "cd '" + dir.Root().string() + "' && nkf --guess";
        for (std::size_t i = first; i < std::min(files, first + 1000); ++i) command += " " + std::to_string(i);
        std::istringstream lines(Run(command));
        for (std::string line; std::getline(lines, line);) {
            const std::size_t colon = line.find(": ");
            if (colon != std::string::npos) guesses[line.substr(0, colon)] = line.substr(colon + 2);
        }
    }
    return guesses;
}

std::optional<SourceEncoding> FromNkf(std::string_view guess) {
    const std::pair<std::string_view, SourceEncoding> names[] = {
        {"UTF-16 LE", SourceEncoding::Utf16Le}, {"UTF-16 BE", SourceEncoding::Utf16Be},
        {"UTF-8", SourceEncoding::Utf8},        {"EUC-JP", SourceEncoding::EucJp},
        {"EUCJP-MS", SourceEncoding::EucJp},    {"CP51932", SourceEncoding::EucJp},
        {"Shift_JIS", SourceEncoding::Cp932},   {"CP932", SourceEncoding::Cp932},
        {"Windows-31J", SourceEncoding::Cp932},
    };
    for (const auto& [name, encoding] : names) {
        if (guess.substr(0, name.size()) == name) return encoding;
    }
    return std::nullopt;  // ASCII, BINARY, ISO-2022-JP...
}

struct Written {
    std::string bytes;
    SourceEncoding truth;
    std::u32string_view text;  // what the bytes hold
};

const char* IconvName(SourceEncoding encoding) {
    switch (encoding) {
    case SourceEncoding::Cp932: return "CP932";
    case SourceEncoding::EucJp: return "EUC-JP";
    case SourceEncoding::Utf8: return "UTF-8";
    case SourceEncoding::Utf16Le: return "UTF-16LE";
    case SourceEncoding::Utf16Be: return "UTF-16BE";
    }
    return "";
}

std::vector<Written> WriteEveryWay(const std::vector<std::u32string>& pieces) {
    using enum SourceEncoding;
    std::vector<Written> written;
    for (const std::u32string& piece : pieces) {
        for (const SourceEncoding encoding : {Cp932, EucJp, Utf8, Utf16Le, Utf16Be}) {
            auto [bytes, characters] = ToEncoding(IconvName(encoding), piece);
            if (characters < 8) continue;  // cut before a character it lacks
            if (encoding == SourceEncoding::Utf16Le) bytes.insert(0, "\xFF\xFE");
            if (encoding == SourceEncoding::Utf16Be) bytes.insert(0, "\xFE\xFF");
            written.push_back({bytes, encoding, std::u32string_view(piece).substr(0, characters)});
        }
    }
    return written;
}

TEST(EncodingDetection, RealTextInEveryEncodingIsToldAtLeastAsWellAsNkfTellsIt) {
    const Corpus& corpus = LoadCorpus();
    ASSERT_TRUE(CorpusIsThere(corpus));
    const std::vector<std::u32string> pieces = Pieces(corpus);
    const std::vector<Written> written = WriteEveryWay(pieces);
    testing_support::TempDir dir;
    for (std::size_t i = 0; i < written.size(); ++i) dir.Write(std::to_string(i), written[i].bytes);
    const std::map<std::string, std::string> nkf = NkfGuesses(dir, written.size());
    ASSERT_EQ(nkf.size(), written.size()) << "nkf --guess left files unanswered";

    // By encoding and length (under 32 characters, 32 and more): pieces (and
    // how many are ASCII, right either way), our right answers, those read as the 932 half-width katakana they also are
    // (and how many of those nkf told right), nkf's right answers; and nkf's
    // wrong answers, with a few of each.
    struct Tally {
        int pieces = 0, ascii = 0, ours = 0, halfWidth = 0, halfWidthNkfRight = 0, nkf = 0;
    };
    std::map<std::pair<std::string_view, bool>, Tally> tally;
    std::map<std::string, std::vector<std::string>> nkfMisses;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const Written& w = written[i];
        const bool ascii = IsAscii(w.bytes), longPiece = w.text.size() >= 32;
        const bool utf16 = w.truth == SourceEncoding::Utf16Le || w.truth == SourceEncoding::Utf16Be;
        const auto rightFor = [&](std::optional<SourceEncoding> e) { return ascii || e == w.truth; };
        const bool halfWidth = w.truth != SourceEncoding::Cp932 && Also932HalfWidth(w.bytes);
        const std::string guess = nkf.at(std::to_string(i));
        const bool nkfRight = rightFor(FromNkf(guess));

        const DetectedEncoding ours = DetectEncoding(w.bytes, true);
        const bool right = rightFor(ours.encoding) && ours.bomBytes == (utf16 ? 2u : 0u);
        const bool excused = !right && halfWidth && ours == DetectedEncoding{SourceEncoding::Cp932, 0};
        const std::string what = std::string(SourceEncodingName(w.truth)) + " piece of " +
                                 std::to_string(w.text.size()) + " characters read as " +
                                 std::string(SourceEncodingName(ours.encoding)) + ": " +
                                 EncodeUtf8(w.text.substr(0, 60));
        EXPECT_TRUE(right || w.truth != SourceEncoding::Cp932) << "932 taken for another: " << what;
        EXPECT_TRUE(right || excused || !longPiece) << what;
        EXPECT_TRUE(right || excused || !nkfRight) << "nkf is right (" << guess << "): " << what;
        Tally& t = tally[{SourceEncodingName(w.truth), longPiece}];
        ++t.pieces;
        t.ascii += ascii;
        t.ours += right;
        t.halfWidth += excused;
        t.halfWidthNkfRight += excused && nkfRight;
        t.nkf += nkfRight;
        if (!nkfRight) {
            nkfMisses[std::string(SourceEncodingName(w.truth)) + " as " + guess.substr(0, guess.find(" ("))].push_back(
                EncodeUtf8(w.text.substr(0, 40)));
        }

        // As the start of a longer file, cut within its last character: that
        // character counts for nothing, neither for nor against.
        if (!utf16 && !IsAscii(w.bytes.substr(w.bytes.size() - 1))) {
            const std::string before = std::get<0>(ToEncoding(IconvName(w.truth), w.text.substr(0, w.text.size() - 1)));
            EXPECT_EQ(DetectEncoding(std::string_view(w.bytes).substr(0, w.bytes.size() - 1), false),
                      DetectEncoding(before, true))
                << "cut: " << what;
        }
    }

    std::printf("encoding  length  pieces (ASCII)  ours right    ours 932 half-width (nkf right)  nkf right\n");
    for (const auto& [key, t] : tally) {
        std::printf("%-9s %-6s %7d (%5d) %7d %5.1f%% %9d %5.1f%% (%4d) %15d %5.1f%%\n", std::string(key.first).c_str(),
                    key.second ? "32+" : "8-31", t.pieces, t.ascii, t.ours, 100.0 * t.ours / t.pieces, t.halfWidth,
                    100.0 * t.halfWidth / t.pieces, t.halfWidthNkfRight, t.nkf, 100.0 * t.nkf / t.pieces);
    }
    for (const auto& [miss, texts] : nkfMisses) {
        std::printf("nkf took %s: %zu, such as\n", miss.c_str(), texts.size());
        for (std::size_t k = 0; k < std::min<std::size_t>(texts.size(), 3); ++k) {
            std::string text = texts[k];
            std::replace_if(
                text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
            std::printf("    %s\n", text.c_str());
        }
    }
}

// The half-width forms of the katakana and of the marks 、。「」・, as nkf -Z4
// writes them; the few without one are left out.
std::map<char32_t, std::u32string> HalfWidthForms() {
    std::u32string fullWidth = U"ー、。「」・";
    for (char32_t c = U'ァ'; c <= U'ヶ'; ++c) fullWidth += c;
    std::string lines;
    for (const char32_t c : fullWidth) lines += EncodeUtf8(std::u32string(1, c)) + "\n";
    const testing_support::TempDir dir;
    std::istringstream out(Run("nkf -W -w -Z4 '" + dir.Write("katakana", lines) + "'"));
    std::map<char32_t, std::u32string> forms;
    std::string line;
    for (const char32_t c : fullWidth) {
        if (!std::getline(out, line)) break;
        const std::u32string form = DecodeUtf8Lossy(line);
        if (form != std::u32string(1, c)) forms[c] = form;
    }
    return forms;
}

// 932 text of one kind of character, cut from the same pieces: kanji alone,
// katakana alone, half-width katakana alone (with its marks), half-width
// katakana words between half-width marks; and half-width katakana with
// kanji. Such bytes often read as EUC-JP or even UTF-8 too, and must stay 932,
// whole and cut.
TEST(EncodingDetection, Only932KanjiKatakanaOrHalfWidthKatakanaStays932) {
    const Corpus& corpus = LoadCorpus();
    ASSERT_TRUE(CorpusIsThere(corpus));
    const std::map<char32_t, std::u32string> halfWidth = HalfWidthForms();
    ASSERT_EQ(halfWidth.size(), 87u) << "nkf -Z4 gave other half-width forms";
    const std::u32string separators[] = {U"､", U"･", U" ", U"｡", U"､ ", U"\r\n", U"｣｢", U""};
    std::mt19937 rng(31);
    int tried = 0;
    for (const std::u32string& piece : Pieces(corpus)) {
        std::u32string kanji, katakana, half, words, mixed;
        bool inWord = false;
        for (const char32_t c : piece) {
            const bool ascii = c < 0x80, isKanji = (c >= 0x4E00 && c <= 0x9FFF) || c == U'々';
            const auto form = halfWidth.find(c);
            const bool hasForm = form != halfWidth.end(), isKatakana = hasForm && c >= U'ァ';
            if (ascii || isKanji) kanji += c;
            if (ascii || (c >= U'ァ' && c <= U'ヶ') || c == U'ー') katakana += c;
            if (ascii || hasForm) half += hasForm ? form->second : std::u32string(1, c);
            if (ascii || isKanji || isKatakana) mixed += isKatakana ? form->second : std::u32string(1, c);
            if (isKatakana || c == U'ー')
                words += form->second;
            else if (inWord)
                words += separators[rng() % std::size(separators)];
            inWord = isKatakana || c == U'ー';
        }
        for (const std::u32string* text : {&kanji, &katakana, &half, &words, &mixed}) {
            const std::string bytes = ToEncoding("CP932", *text).first;
            if (IsAscii(bytes)) continue;
            ++tried;
            EXPECT_EQ(DetectEncoding(bytes, true).encoding, SourceEncoding::Cp932) << EncodeUtf8(*text);
            EXPECT_EQ(DetectEncoding(std::string_view(bytes).substr(0, bytes.size() - 1), false).encoding,
                      SourceEncoding::Cp932)
                << "cut: " << EncodeUtf8(*text);
        }
    }
    EXPECT_GT(tried, 4000);
}

std::string Euc(std::string_view utf8) { return *Utf8ToEncoding(EucJp(), utf8); }
std::string Sjis(std::string_view utf8) { return *Utf8ToCodePage(utf8); }

TEST(EncodingDetection, ByteCasesTheCorpusCannotShow) {
    using enum SourceEncoding;
    const auto detect = [](std::string_view sample, bool whole = true) { return DetectEncoding(sample, whole); };
    const std::string japanese = "日本語の文です。";

    // Nothing, or nothing but ASCII: 932, as before.
    for (const bool whole : {true, false}) {
        EXPECT_EQ(detect("", whole), (DetectedEncoding{Cp932, 0}));
        EXPECT_EQ(detect("plain\r\n", whole), (DetectedEncoding{Cp932, 0}));
    }
    // A byte order mark decides, alone or before bytes it doesn't fit.
    EXPECT_EQ(detect("\xEF\xBB\xBF"), (DetectedEncoding{Utf8, 3}));
    EXPECT_EQ(detect("\xFF\xFE"), (DetectedEncoding{Utf16Le, 2}));
    EXPECT_EQ(detect("\xFE\xFF", false), (DetectedEncoding{Utf16Be, 2}));
    EXPECT_EQ(detect("\xFF\xFE" + Sjis(japanese)), (DetectedEncoding{Utf16Le, 2}));
    EXPECT_EQ(detect("\xEF\xBB\xBF" + Euc(japanese)), (DetectedEncoding{Utf8, 3}));

    // UTF-8 cut within its last character is UTF-8 when the file goes on,
    // not when it ends there.
    for (const std::size_t cut : {1, 2}) {
        const std::string sample = japanese.substr(0, japanese.size() - cut);
        EXPECT_EQ(detect(sample, false), (DetectedEncoding{Utf8, 0})) << cut;
        EXPECT_NE(detect(sample, true).encoding, Utf8) << cut;
    }
    EXPECT_EQ(detect(japanese + "\xF0\x9F\x98", false).encoding, Utf8);
    EXPECT_NE(detect(japanese + "\xE0\x80", false).encoding, Utf8);  // an overlong form even cut
    // Strict: no overlong forms, no surrogates, nothing past U+10FFFF, no byte
    // that starts nothing; the edges themselves are fine.
    for (const std::string bad : {"\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
                                  "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\x80"}) {
        EXPECT_NE(detect(japanese + bad + japanese).encoding, Utf8) << EncodeUtf8(DecodeUtf8Lossy(bad));
    }
    for (const std::string edge :
         {"\xC2\x80", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_EQ(detect(japanese + edge + japanese).encoding, Utf8);
    }

    // 932 that is valid UTF-8 or EUC-JP too stays 932: half-width katakana
    // (ﾃｽﾄｱ is C3 BD C4 B1, two kanji in EUC-JP), half-width marks (､｡ is
    // EUC-JP ぁ), kanji that chain into UTF-8 (豈図 is E6 AF 90 7D, U+6BD0 and
    // "}"), a kanji led by 0x8E (自 is EUC-JP's half-width ｩ).
    for (const std::string_view text : {"ﾃｽﾄｱ", "ﾃｽﾄｱ ﾃｽﾄｱ ﾃｽﾄｱ\r\n", "､｡､｡､｡､｡", "豈図", "自", "ﾃﾞｰﾀ､ﾃｽﾄ､ｱ"}) {
        for (const bool whole : {true, false})
            EXPECT_EQ(detect(Sjis(text), whole), (DetectedEncoding{Cp932, 0})) << text;
    }
    // Kana in the EUC-JP reading count only well beyond the kanji there:
    // half-width katakana after a comma reads as hiragana (､ｱ is さ).
    EXPECT_EQ(detect(Sjis("､ｱ")).encoding, Cp932);
    EXPECT_EQ(detect(Sjis("､ｱ､ｲｳｴｵｶ")).encoding, Cp932);  // two kana, two kanji
    EXPECT_EQ(detect(Euc("前かな")).encoding, EucJp);     // two kana, one kanji
    // 932 of another vendor (row 0x85, unassigned in 932) among katakana is
    // no EUC-JP, though glibc's EUC-JP takes 0x83 and 0x85 as controls.
    EXPECT_EQ(detect(Sjis("カタカナ") + "\x85\x40" + Sjis("カナ")).encoding, Cp932);
    // UTF-8 that 932 can't read (0xA0 and 0x80 are no text there, emoji read
    // as user-defined characters) is UTF-8 without three-byte Japanese.
    for (const std::string_view text : {"voil\xC3\xA0", "\xC3\x80 la carte", "\xF0\x9F\x8C\x80\xF0\x9F\x8C\x83\n"})
        EXPECT_EQ(detect(text), (DetectedEncoding{Utf8, 0})) << text;

    // Unassigned is invalid: "тест" is UTF-8 as 932 has no 81D1 (and, whole,
    // ends in a lead byte), "襦襤" EUC-JP as it has no EBA1, and an EUC-JP row
    // 9 pair is none.
    for (const bool whole : {true, false}) EXPECT_EQ(detect("тест", whole), (DetectedEncoding{Utf8, 0}));
    EXPECT_EQ(detect(Euc("襦襤")).encoding, EucJp);
    EXPECT_NE(detect(Euc("これはひらがなです") + "\xA9\xA1").encoding, EucJp);

    // EUC-JP of hiragana, whole and cut within a JIS X 0212 character.
    EXPECT_EQ(detect(Euc("これはひらがなです")).encoding, EucJp);
    const std::string withX0212 = Euc("ここにあるのは") + "\x8F\xB0\xA1";
    EXPECT_EQ(detect(withX0212).encoding, EucJp);
    EXPECT_EQ(detect(withX0212.substr(0, withX0212.size() - 1), false).encoding, EucJp);
    EXPECT_NE(detect(withX0212.substr(0, withX0212.size() - 1), true).encoding, EucJp);
}

}  // namespace
}  // namespace platform
