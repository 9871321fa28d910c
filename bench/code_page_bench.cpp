// The code page: encoding a long typed text, as the search boxes check it.
#include "platform/code_page.h"

#include <benchmark/benchmark.h>

namespace {

// The most a search box takes, pasted, with the one character that the code
// page lacks at the very end.
void BM_EncodeTypedText(benchmark::State& state) {
    std::u32string typed(32766, U'港');
    typed += U'€';
    std::size_t unheld = 0;
    for (auto _ : state) benchmark::DoNotOptimize(platform::EncodeCodePage(typed, &unheld));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(typed.size()));
}
BENCHMARK(BM_EncodeTypedText);

}  // namespace
