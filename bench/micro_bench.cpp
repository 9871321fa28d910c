// Micro-benchmarks of the search core (see also line_reader_bench.cpp,
// hit_rule_bench.cpp, range_bench.cpp): whole searches of prose files.
#include "bench_files.h"
#include "core/search/global_search.h"
#include "core/search/local_search.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

void BM_LocalSearch(benchmark::State& state) {
    const std::string& path = bench::ProseFile().Path();
    const std::string s = bench::Sj(bench::kFrequent);
    for (auto _ : state) benchmark::DoNotOptimize(core::RunLocalSearch(path, s));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bench::ProseText().size()));
}
BENCHMARK(BM_LocalSearch);

// Four files of different prose, searched side by side when there are cores.
void BM_GlobalSearch(benchmark::State& state) {
    std::vector<std::unique_ptr<bench::TempFile>> files;
    std::vector<std::string> paths;
    std::int64_t bytes = 0;
    for (unsigned k = 0; k < 4; ++k) {
        const std::string text = bench::Prose(4u << 20, 10 + k, 30 + 3 * k);
        bytes += static_cast<std::int64_t>(text.size());
        files.push_back(std::make_unique<bench::TempFile>(text));
        paths.push_back(files.back()->Path());
    }
    const std::string s = bench::Sj(bench::kWrapped);
    core::HitTable hits;
    for (auto _ : state) benchmark::DoNotOptimize(core::RunGlobalSearch(s, paths, hits));
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_GlobalSearch)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
