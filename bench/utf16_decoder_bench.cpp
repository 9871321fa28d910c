// The UTF-16 decoder on Japanese prose, a reader's block at a time, on each
// processor path and in either byte order: bytes/s counts the UTF-16 read,
// utf8 the UTF-8 written.
#include "platform/code_page.h"
#include "platform/cpu_features.h"
#include "platform/utf16_decoder.h"
#include "prose.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

// About 16 MB of UTF-16: the prose of bench/prose.h through the code page's
// codec, in that byte order.
const std::string& Utf16Prose(bool big) {
    static const std::u32string text = platform::DecodeCodePage(bench::Prose(16u << 20, 3, 35));
    static std::string bytes[2];
    std::string& out = bytes[big];
    if (out.empty()) {
        const auto put = [&](char32_t u) {
            const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u);
            out += big ? hi : lo;
            out += big ? lo : hi;
        };
        for (const char32_t c : text) {
            if (c < 0x10000) {
                put(c);
            } else {
                put(0xD800 + ((c - 0x10000) >> 10));
                put(0xDC00 + ((c - 0x10000) & 0x3FF));
            }
        }
    }
    return out;
}

void BM_DecodeUtf16(benchmark::State& state) {
    const auto vectors = static_cast<platform::Vectors>(state.range(0));
    const bool big = state.range(1) != 0;
    if (platform::WidestVectors() < vectors) {
        state.SkipWithError("the processor lacks these vectors");
        return;
    }
    platform::PretendVectorsAtMost(vectors);
    platform::Utf16Decoder decoder(big);
    platform::PretendVectorsAtMost(platform::Vectors::Avx512);

    const std::string& text = Utf16Prose(big);
    constexpr std::size_t kBlock = 256 * 1024;  // the line reader's block of a file
    std::vector<char> out(platform::Utf16Decoder::MaxOutput(kBlock));
    std::size_t written = 0;
    for (auto _ : state) {
        written = 0;
        for (std::size_t at = 0; at < text.size(); at += kBlock) {
            written += decoder.Decode(text.data() + at, std::min(kBlock, text.size() - at), out.data());
            benchmark::DoNotOptimize(out.data());
        }
        written += decoder.Finish(out.data());
    }
    const auto iterations = static_cast<std::int64_t>(state.iterations());
    state.SetBytesProcessed(iterations * static_cast<std::int64_t>(text.size()));
    state.counters["utf8"] = benchmark::Counter(static_cast<double>(iterations) * static_cast<double>(written),
                                                benchmark::Counter::kIsRate, benchmark::Counter::kIs1024);
}
// 0 baseline (SSE2 on x86-64), 1 AVX2, 2 AVX-512; then little- or big-endian.
BENCHMARK(BM_DecodeUtf16)->ArgNames({"vectors", "big"})->ArgsProduct({{0, 1, 2}, {0, 1}});

}  // namespace
