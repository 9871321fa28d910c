#include "platform/cpu_features.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<bool> pretendBaseline{false};
}  // namespace

bool HasAvx2() noexcept {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    return has && !pretendBaseline.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

void PretendBaselineProcessor(bool baseline) noexcept {
    pretendBaseline.store(baseline, std::memory_order_relaxed);
}

}  // namespace platform
