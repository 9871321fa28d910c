// Range rendering for the viewer: the first lines of a file, and a range far
// into it (every line before it is read too).
#include "bench_files.h"
#include "core/search/range_view.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RenderRange(benchmark::State& state) {
    const std::string& path = bench::ProseFile().Path();
    const std::int64_t first = state.range(0);
    core::HitTable hits;
    for (std::size_t j = 0; j + 1 < hits.Row(1).size(); ++j) hits.Row(1)[j] = static_cast<std::int64_t>(j * 400 + 1);
    for (auto _ : state) benchmark::DoNotOptimize(core::RenderRange(path, 1, hits, first, first + 499));
}
BENCHMARK(BM_RenderRange)->ArgName("first")->Arg(1)->Arg(100001);

}  // namespace
