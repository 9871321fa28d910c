// Micro-benchmarks of the search core: the hit rule and a whole scan.
#include "core/errors.h"
#include "core/hit_rule.h"
#include "core/local_search.h"
#include "platform/code_page.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace {

// Hard-wrapped Japanese-like prose: double-byte characters, CR LF, 38 bytes a line.
std::string Prose(std::size_t lines) {
    const std::string kana = platform::FixedText("あいうえおかきくけこさしすせそたちつてとなにぬねの吾輩は猫である");
    std::mt19937 rng(7);
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        for (int c = 0; c < 19; ++c) {
            const std::size_t at = (rng() % (kana.size() / 2)) * 2;
            text.append(kana, at, 2);
        }
        text += "\r\n";
    }
    return text;
}

void BM_PairHit(benchmark::State& state) {
    const std::string s = platform::FixedText("存在しない");
    const std::string prose = Prose(2);
    const std::string_view prev(prose.data(), 38), cur(prose.data() + 40, 38);
    for (auto _ : state) benchmark::DoNotOptimize(core::PairHit(s, prev, cur));
}
BENCHMARK(BM_PairHit);

void BM_LocalSearchScan(benchmark::State& state) {
    const std::string path = "/tmp/norvane_micro_bench.txt";
    std::ofstream(path, std::ios::binary) << Prose(static_cast<std::size_t>(state.range(0)));
    const std::string s = platform::FixedText("吾輩");
    for (auto _ : state) benchmark::DoNotOptimize(core::RunLocalSearch(path, s));
    state.SetBytesProcessed(state.iterations() * state.range(0) * 40);
    std::remove(path.c_str());
}
BENCHMARK(BM_LocalSearchScan)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
