// The line reader over a regular file: every line, copied or viewed.
#include "bench_files.h"
#include "core/search/line_reader.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ReadLine(benchmark::State& state) {
    const std::string& path = bench::ProseFile().Path();
    std::string line;
    for (auto _ : state) {
        core::LineReader reader;
        core::WithTextFile(reader, path, [&](core::LineReader& r) {
            do {
                r.ReadLine(line);
                benchmark::DoNotOptimize(line.data());
            } while (!r.AtEnd());
        });
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bench::ProseText().size()));
}
BENCHMARK(BM_ReadLine);

void BM_ReadLineView(benchmark::State& state) {
    const std::string& path = bench::ProseFile().Path();
    std::string_view line;
    for (auto _ : state) {
        core::LineReader reader;
        core::WithTextFile(reader, path, [&](core::LineReader& r) {
            do {
                r.ReadLineView(line);
                benchmark::DoNotOptimize(line.data());
            } while (!r.AtEnd());
        });
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bench::ProseText().size()));
}
BENCHMARK(BM_ReadLineView);

}  // namespace
