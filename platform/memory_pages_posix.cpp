#include "platform/memory_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

namespace {
std::uintptr_t Down(std::uintptr_t at, std::uintptr_t unit) { return at / unit * unit; }
std::uintptr_t PageSize() { return static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE)); }
}  // namespace

bool SupplyPages([[maybe_unused]] void* begin, [[maybe_unused]] std::size_t bytes) noexcept {
#if defined(MADV_POPULATE_WRITE)
    // madvise wants a page-aligned start; the page that holds begin is
    // supplied whole, as a write to begin would.
    const auto page = PageSize();
    const auto at = reinterpret_cast<std::uintptr_t>(begin);
    const auto from = Down(at, page);
    return bytes == 0 || ::madvise(reinterpret_cast<void*>(from), at + bytes - from, MADV_POPULATE_WRITE) == 0;
#else
    return false;
#endif
}

void ReturnPages(void* begin, std::size_t bytes) noexcept {
    const auto page = PageSize();
    const auto from = Down(reinterpret_cast<std::uintptr_t>(begin) + page - 1, page);
    const auto to = Down(reinterpret_cast<std::uintptr_t>(begin) + bytes, page);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

}  // namespace platform
