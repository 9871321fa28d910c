#include "platform/large_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

void PreferLargePages(void* begin, std::size_t bytes) noexcept {
    // Transparent huge pages come in 2 MB; only whole ones can be advised.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    const auto from = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (from + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (from + bytes) & ~(kLargePage - 1);
    if (last <= first) return;
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace platform
