// The streaming UTF-16 decoder against a plain decoder of the whole stream
// (and, where the input is valid UTF-16, against iconv): random streams in
// either byte order, rich in what breaks decoders (surrogates paired and
// unpaired, the bounds of each length of UTF-8, NUL and line ends, runs long
// enough for every vector path), cut into blocks anywhere, on every
// processor path.
#include "platform/utf16_decoder.h"
#include "platform/code_page.h"
#include "vector_paths.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

bool IsHigh(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The whole stream at once, unit by unit.
std::string Reference(const std::string& bytes, bool big) {
    std::vector<unsigned> units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(big ? a * 256u + b : b * 256u + a);
    }
    std::u32string text;
    for (std::size_t k = 0; k < units.size(); ++k) {
        if (IsHigh(units[k]) && k + 1 < units.size() && IsLow(units[k + 1])) {
            text += static_cast<char32_t>(0x10000 + (units[k] - 0xD800) * 0x400 + (units[k + 1] - 0xDC00));
            ++k;
        } else if (IsHigh(units[k]) || IsLow(units[k])) {
            text += U'\uFFFD';
        } else {
            text += static_cast<char32_t>(units[k]);
        }
    }
    if (bytes.size() % 2 != 0) text += U'\uFFFD';
    return platform::EncodeUtf8(text);
}

std::string Iconv(const std::string& bytes, bool big) {
    const iconv_t cd = iconv_open("UTF-8", big ? "UTF-16BE" : "UTF-16LE");
    std::string out(bytes.size() * 2, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    EXPECT_NE(done, static_cast<std::size_t>(-1));
    out.resize(out.size() - outLeft);
    return out;
}

// Units in runs of one kind, as text has them; valid tells whether the
// stream came out valid UTF-16.
std::vector<unsigned> RandomUnits(std::mt19937& rng, bool& valid) {
    const auto any = [&](unsigned from, unsigned to) { return from + static_cast<unsigned>(rng() % (to - from + 1)); };
    const auto pick = [&](std::initializer_list<unsigned> some) { return *(some.begin() + rng() % some.size()); };
    std::vector<unsigned> units;
    valid = true;
    const std::size_t size = rng() % 4 == 0 ? rng() % 40 : rng() % 1500;
    while (units.size() < size) {
        const unsigned kind = static_cast<unsigned>(rng() % 12);
        const std::size_t run = 1 + rng() % (rng() % 3 == 0 ? 90 : 6);
        for (std::size_t k = 0; k < run; ++k) {
            switch (kind) {
            case 0: units.push_back(rng() % 2 ? pick({0, '\r', '\n', 0x7F, 0x1A}) : any(0x20, 0x7E)); break;
            case 1: units.push_back(rng() % 2 ? pick({0x80, 0xFF, 0x7FF}) : any(0x80, 0x7FF)); break;
            case 2:
            case 3:
            case 4:
                units.push_back(rng() % 8 ? any(0x3000, 0x9FFF)
                                          : pick({0x800, 0xFFF, 0x1000, 0xD7FF, 0xE000, 0xFEFF, 0xFFFD, 0xFFFF}));
                break;
            case 5:
            case 6:
                // A Japanese line: ideographs, then CR LF.
                for (std::size_t n = 20 + rng() % 20; n > 0; --n) units.push_back(any(0x3000, 0x9FFF));
                units.push_back('\r');
                units.push_back('\n');
                break;
            case 7:
                units.push_back(rng() % 2 ? pick({0xD800, 0xDBFF}) : any(0xD800, 0xDBFF));
                units.push_back(rng() % 2 ? pick({0xDC00, 0xDFFF}) : any(0xDC00, 0xDFFF));
                break;
            default:
                if (rng() % 3 != 0) {
                    units.push_back(any(0x3000, 0x9FFF));
                } else {
                    // One half of a pair, alone: at a run's end its partner may still come by chance.
                    units.push_back(rng() % 2 ? pick({0xD800, 0xDBFF, 0xDC00, 0xDFFF}) : any(0xD800, 0xDFFF));
                    valid = false;
                }
            }
        }
    }
    return units;
}

std::string Bytes(const std::vector<unsigned>& units, bool big) {
    std::string bytes;
    for (const unsigned u : units) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        bytes += big ? hi : lo;
        bytes += big ? lo : hi;
    }
    return bytes;
}

// The stream decoded a block at a time, each block's size asked of
// nextSize, each block in a heap block of its own and each output in exactly
// MaxOutput, so that the sanitizers of the test build see a read past a
// block or a write past its room.
template <class NextSize>
std::string Streamed(platform::Utf16Decoder& decoder, const std::string& bytes, NextSize&& nextSize) {
    std::string out;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t n = std::min<std::size_t>(nextSize(), bytes.size() - at);
        const auto in = std::make_unique<char[]>(n);
        std::copy_n(bytes.data() + at, n, in.get());
        const auto buffer = std::make_unique<char[]>(platform::Utf16Decoder::MaxOutput(n));
        out.append(buffer.get(), decoder.Decode(in.get(), n, buffer.get()));
        at += n;
    }
    const auto buffer = std::make_unique<char[]>(platform::Utf16Decoder::MaxOutput(0));
    out.append(buffer.get(), decoder.Finish(buffer.get()));
    return out;
}

}  // namespace

TEST(Utf16Decoder, StreamedAsTheWholeOnEveryPathInEveryCut) {
    const testing_support::VectorPaths paths;
    std::mt19937 rng(16);
    for (const platform::Vectors vectors : testing_support::VectorPaths::kAll) {
        paths.Use(vectors);
        // One decoder of each order for all streams: Finish must leave it as new.
        platform::Utf16Decoder le(false), be(true);
        for (int round = 0; round < 1500; ++round) {
            const bool big = round % 2 != 0;
            bool valid = true;
            std::string bytes = Bytes(RandomUnits(rng, valid), big);
            if (round % 10 == 0) {
                // Any bytes at all.
                for (char& c : bytes) c = static_cast<char>(rng());
                valid = false;
            }
            if (rng() % 4 == 0) {
                bytes += static_cast<char>(rng());
                valid = false;
            }
            const std::string want = Reference(bytes, big);
            const unsigned cuts = static_cast<unsigned>(rng() % 4);
            const std::string got = Streamed(big ? be : le, bytes, [&]() -> std::size_t {
                return cuts == 0 ? rng() % 4 : cuts == 1 ? rng() % 80 : cuts == 2 ? rng() % 700 : bytes.size();
            });
            ASSERT_EQ(got, want) << "path " << static_cast<int>(vectors) << ", round " << round
                                 << (big ? ", big-endian" : ", little-endian");
            if (valid) {
                ASSERT_EQ(want, Iconv(bytes, big)) << "round " << round;
            }
        }
    }
}

// The room is at its tightest when a carried high surrogate and a carried
// odd byte become two characters at the start of a block that holds only
// three-byte units: every path must stay inside MaxOutput then too, however
// far its last step reaches.
TEST(Utf16Decoder, StaysInItsRoomWhenTheCarriesTakeAllTheSpare) {
    const testing_support::VectorPaths paths;
    for (const platform::Vectors vectors : testing_support::VectorPaths::kAll) {
        paths.Use(vectors);
        platform::Utf16Decoder decoder(false);
        for (std::size_t units = 0; units < 200; ++units) {
            // U+D800, then U+3042 cut after its first byte, then the units.
            const std::string bytes =
                Bytes(std::vector<unsigned>(units + 2, 0x3042), false).replace(0, 2, "\x00\xD8", 2);
            std::size_t cut = 0;
            const std::string got = Streamed(decoder, bytes, [&] { return ++cut == 1 ? 3 : bytes.size(); });
            ASSERT_EQ(got, Reference(bytes, false))
                << "path " << static_cast<int>(vectors) << ", " << units << " units";
        }
    }
}
