#include "platform/mapped_file.h"

#include "platform/memory_pages.h"
#include "platform/planned_reads.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cerrno>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace platform {

namespace {

// The mappings a bus error may come from: a file that shrinks under its
// mapping makes every read of a page past its new end fault. The handler
// reads these without a lock, so a slot is claimed, then its end set, then
// its start; and cleared start first.
struct Slot {
    std::atomic<bool> taken{false};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> shrunk{false};
};
std::array<Slot, 64> slots;
std::size_t pageSize = 4096;
struct sigaction previousHandler {};

void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : slots) {
        const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        if (begin == 0 || at < begin || at >= slot.end.load(std::memory_order_relaxed)) continue;
        // The lost page reads as zeros from now on, and the reader is told.
        // The system call itself: nothing that a library may have wrapped.
        const std::uintptr_t page = at & ~(std::uintptr_t{pageSize} - 1);
        if (::syscall(SYS_mmap, page, pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
                      0) == static_cast<long>(page)) {
            slot.shrunk.store(true, std::memory_order_relaxed);
            return;
        }
    }
    // Not one of ours: as if this handler were not there.
    if ((previousHandler.sa_flags & SA_SIGINFO) != 0 && previousHandler.sa_sigaction != nullptr) {
        previousHandler.sa_sigaction(signal, info, context);
    } else if (previousHandler.sa_handler != SIG_DFL && previousHandler.sa_handler != SIG_IGN) {
        previousHandler.sa_handler(signal);
    } else {
        // The faulting access runs again and ends the process as it would have.
        ::signal(SIGBUS, SIG_DFL);
    }
}

bool InstallHandler() {
    static const bool installed = [] {
        pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, &previousHandler) == 0;
    }();
    return installed;
}

int TakeSlot(std::uintptr_t begin, std::uintptr_t end) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
        bool free = false;
        if (!slots[i].taken.compare_exchange_strong(free, true)) continue;
        slots[i].shrunk.store(false, std::memory_order_relaxed);
        slots[i].end.store(end, std::memory_order_relaxed);
        slots[i].begin.store(begin, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void FreeSlot(int i) {
    slots[i].begin.store(0, std::memory_order_release);
    slots[i].end.store(0, std::memory_order_relaxed);
    slots[i].taken.store(false, std::memory_order_release);
}

std::uint64_t PageFloor(std::uint64_t n) { return n & ~std::uint64_t{pageSize - 1}; }
std::uint64_t PageCeil(std::uint64_t n) { return PageFloor(n + pageSize - 1); }

}  // namespace

bool MappedFile::Map(const File& file, std::uint64_t size) {
    Unmap();
    if (!file.IsRegularFile() || size == 0 || ReadsCapped() || !InstallHandler()) return false;
    // The file's pages, then a page of memory for the byte after them when
    // the file ends on a page's end; private, so that byte may be written.
    const std::size_t filePages = PageCeil(size);
    const std::size_t reserved = filePages + pageSize;
    void* const base = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return false;
    const int slot =
        TakeSlot(reinterpret_cast<std::uintptr_t>(base), reinterpret_cast<std::uintptr_t>(base) + filePages);
    if (slot < 0 ||
        ::mmap(base, filePages, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, file.fd_, 0) == MAP_FAILED) {
        if (slot >= 0) FreeSlot(slot);
        ::munmap(base, reserved);
        return false;
    }
#if defined(__SANITIZE_ADDRESS__)
    // The address sanitizer may still hold the place for memory of its own
    // that was there before.
    __asan_unpoison_memory_region(base, reserved);
#endif
    bytes_ = static_cast<char*>(base);
    size_ = size;
    mapped_ = reserved;
    reached_ = 0;
    shrunk_ = false;
    slot_ = slot;
    fd_ = file.fd_;
    return true;
}

void MappedFile::Unmap() noexcept {
    if (bytes_ == nullptr) return;
    FreeSlot(slot_);
    ::munmap(bytes_, mapped_);
    bytes_ = nullptr;
    size_ = reached_ = 0;
    mapped_ = 0;
    slot_ = -1;
    fd_ = -1;
}

std::int32_t MappedFile::Reach(std::uint64_t upTo) noexcept {
    if (PlannedFailure()) return ErrorCodeFromErrno(errno);
    const std::uint64_t from = PageFloor(reached_), to = PageCeil(std::min(upTo, size_));
    bool lost = slots[slot_].shrunk.load(std::memory_order_relaxed);
    if (to > from) {
        // One call brings the pages in where faults would take one at a
        // time; a page past the file's end fails it instead of faulting.
        // Systems without it fault the pages in as they are read.
        if (::madvise(bytes_ + from, to - from, MADV_POPULATE_READ) != 0) {
            if (errno == EIO) return err::kIoDevice;
            lost = lost || errno == EFAULT;
        }
        reached_ = std::max(reached_, upTo);
    }
    if (lost && !shrunk_) {
        // A page that can't be had is the file's end having moved, or the
        // device failing to give it: only the size tells them apart.
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || static_cast<std::uint64_t>(st.st_size) >= std::min(reached_, size_)) {
            return err::kIoDevice;
        }
        shrunk_ = true;
    }
    return 0;
}

void MappedFile::Release(std::uint64_t from, std::uint64_t to) noexcept {
    to = std::min(to, size_);
    if (to > from) ReturnPages(bytes_ + from, to - from);
}

}  // namespace platform
