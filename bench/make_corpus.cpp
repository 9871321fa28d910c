// Writes the benchmark corpus of prose.h's Shift-JIS prose; the same
// arguments always give the same bytes.
//
//   norvane_make_corpus DIR FILES BYTES_PER_FILE [few-words]
//
// Writes DIR/prose01.txt ... and the four phrases the comparison searches
// for, each in its own file of Shift-JIS bytes without a line end (so that
// both `grep -F -f` and `norvane-search -f` read exactly the phrase):
//   DIR/phrase-rare.txt      planted a few dozen times in the whole corpus
//   DIR/phrase-frequent.txt  a word found in a few lines in a hundred
//   DIR/phrase-wrapped.txt   a long phrase that the wrap often breaks, the
//                            next line often indented
//   DIR/phrase-first.txt     a phrase whose first character is in most lines
// few-words: the prose is made of seven nouns, so that the first character
// of phrase-first.txt (猫です, planted as rarely as the rare phrase) is in
// more than one line in five.
#include "prose.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>

using namespace bench;

int main(int argc, char** argv) {
    const bool fewWords = argc == 5 && std::string_view(argv[4]) == "few-words";
    if (argc != 4 && !fewWords) {
        std::fprintf(stderr, "usage: %s DIR FILES BYTES_PER_FILE [few-words]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const int files = std::atoi(argv[2]);
    const std::size_t bytesPerFile = std::strtoull(argv[3], nullptr, 10);
    const Vocabulary v = MakeVocabulary(fewWords);

    for (int k = 1; k <= files; ++k) {
        Writer w(v, 0x4E6F7276616E65ULL + static_cast<std::uint64_t>(k));
        const unsigned width = 30 + static_cast<unsigned>(k % 11);
        char name[32];
        std::snprintf(name, sizeof name, "/prose%02d.txt", k);
        std::ofstream out(dir + name, std::ios::binary | std::ios::trunc);
        std::string chunk;
        std::size_t written = 0;
        while (written < bytesPerFile) {
            chunk.clear();
            while (chunk.size() < (1u << 20)) AppendParagraph(w, width, chunk);
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            written += chunk.size();
        }
        if (!out) {
            std::fprintf(stderr, "cannot write %s%s\n", dir.c_str(), name);
            return 1;
        }
    }
    const std::string_view first = fewWords ? kFirstEverywhereFewWords : kFirstEverywhere;
    for (const auto& [name, phrase] :
         {std::pair{"rare", kRare}, {"frequent", kFrequent}, {"wrapped", kWrapped}, {"first", first}}) {
        std::ofstream(dir + "/phrase-" + name + ".txt", std::ios::binary | std::ios::trunc) << Sj(phrase);
    }
    return 0;
}
