// The phrase finder, and whole scans of a file for a rare, a frequent and a
// wrapped phrase.
#include "bench_files.h"
#include "core/search/byte_search.h"
#include "core/search/scan_lines.h"

#include <benchmark/benchmark.h>

namespace {

const std::string& Phrase(int which) {
    static const std::string phrases[] = {bench::Sj("存在しない"), bench::Sj(bench::kFrequent),
                                          bench::Sj(bench::kWrapped)};
    return phrases[which];
}

void BM_PhraseFinder(benchmark::State& state) {
    const std::string& text = bench::ProseText();
    const core::PhraseFinder finder(Phrase(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        std::size_t found = 0;
        const char* end = text.data() + text.size();
        for (const char* p = finder.Find(text.data(), end); p < end; p = finder.Find(p + 1, end)) ++found;
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_PhraseFinder)->ArgName("phrase")->DenseRange(0, 2);

// The hit lines of the file at path, scanned as the global search scans it.
std::size_t HitLinesOf(const std::string& path, std::string_view s) {
    std::size_t hits = 0;
    core::LineReader reader;
    core::WithTextFile(reader, path, [&](core::LineReader& r) {
        core::ScanLines(r, s, core::LineCleaning::StripIdeographicSpaces,
                        [&](std::int64_t, std::string_view, const core::HitText&) { ++hits; });
    });
    return hits;
}

// ScanLines over a regular file, as the global search runs it.
void BM_ScanLines(benchmark::State& state) {
    const std::string& path = bench::ProseFile().Path();
    const std::string& s = Phrase(static_cast<int>(state.range(0)));
    std::size_t hits = 0;
    for (auto _ : state) hits = HitLinesOf(path, s);
    state.counters["hits"] = static_cast<double>(hits);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bench::ProseText().size()));
}
BENCHMARK(BM_ScanLines)->ArgName("phrase")->DenseRange(0, 2);

// A long phrase that nearly matches at every position of a file of one
// byte: a^2047 b a^2048 in 4 MB of 'a', as one line (0) or as lines of
// 100 KB (1), whose ends the phrase could run on across.
void BM_ScanLongPhrase(benchmark::State& state) {
    const std::string s = std::string(2047, 'a') + "b" + std::string(2048, 'a');
    std::string text;
    while (text.size() < (4u << 20)) text += std::string(100000, 'a') + (state.range(0) == 1 ? "\r\n" : "");
    const bench::TempFile file(text);
    for (auto _ : state) benchmark::DoNotOptimize(HitLinesOf(file.Path(), s));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ScanLongPhrase)->ArgName("lines")->DenseRange(0, 1);

// Lines of one two-byte character repeated, searched for a phrase that lies
// one byte off the characters at every other byte of them (0): every place
// holds the phrase and none counts. Against the same bytes with no place
// that holds it (1), which the anchor skips.
void BM_ScanPhraseOffTheCharacters(benchmark::State& state) {
    const std::string unit = state.range(0) == 0 ? "\x82\x81" : "\x82\x82";
    std::string line;
    while (line.size() < 90000) line += unit;
    std::string text;
    for (int i = 0; i < 100; ++i) text += line + "\r\n";
    const bench::TempFile file(text);
    std::string s;
    for (int i = 0; i < 32; ++i) s += "\x81\x82";
    for (auto _ : state) benchmark::DoNotOptimize(HitLinesOf(file.Path(), s));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ScanPhraseOffTheCharacters)->ArgName("plain")->DenseRange(0, 1);

}  // namespace
