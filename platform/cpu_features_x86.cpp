#include "platform/cpu_features.h"

#include <algorithm>
#include <atomic>

namespace platform {

namespace {
std::atomic<Vectors> pretendAtMost{Vectors::Avx512};

Vectors Detect() noexcept {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("popcnt")) return Vectors::Baseline;
    // AVX-512 only from the processors that also have VBMI (Ice Lake, Zen 4
    // and later): the first ones to have AVX-512 slow the whole core down
    // while they run it, which costs more than the wider vectors gain.
    if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512bw") ||
        !__builtin_cpu_supports("avx512vbmi")) {
        return Vectors::Avx2;
    }
    return Vectors::Avx512;
#else
    return Vectors::Baseline;
#endif
}
}  // namespace

Vectors WidestVectors() noexcept {
    static const Vectors has = Detect();
    return std::min(has, pretendAtMost.load(std::memory_order_relaxed));
}

void PretendVectorsAtMost(Vectors most) noexcept { pretendAtMost.store(most, std::memory_order_relaxed); }

}  // namespace platform
