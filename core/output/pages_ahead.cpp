#include "core/output/pages_ahead.h"

#include "platform/memory_pages.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <system_error>

namespace core {

namespace {
constexpr std::size_t kStopped = std::numeric_limits<std::size_t>::max();
// The thread is woken each time the writer has gone this far.
constexpr std::size_t kStep = std::size_t{256} << 10;
}  // namespace

PagesAhead::~PagesAhead() {
    if (!thread_.joinable()) return;
    const std::size_t written = written_.exchange(kStopped, std::memory_order_release);
    written_.notify_one();
    thread_.join();
    // What was supplied and never written is given back: a listing ends
    // short of its room, and its peak memory should be what it takes.
    const std::size_t supplied = Supplied();
    if (supplied > written) platform::ReturnPages(begin_ + written, supplied - written);
}

void PagesAhead::Written(std::size_t bytes) {
    const std::size_t before = written_.exchange(bytes, std::memory_order_release);
    if (!started_) {
        if (bytes < kStart) return;
        started_ = true;
        try {
            thread_ = std::thread([this] { Run(); });
        } catch (const std::system_error&) {}  // no thread: the writer supplies its own pages, as before
        return;
    }
    // The thread waits for the writer to come within reach of the supplied
    // pages; a wake for each step is plenty.
    if (before / kStep != bytes / kStep) written_.notify_one();
}

void PagesAhead::Run() noexcept {
    std::size_t supplied = 0;
    for (;;) {
        const std::size_t written = written_.load(std::memory_order_acquire);
        if (written == kStopped || supplied >= size_) return;
        const std::size_t wanted = std::min(size_, written + kAhead);
        if (supplied >= wanted) {
            written_.wait(written, std::memory_order_acquire);
            continue;
        }
        // Pages the writer has reached already are its own.
        supplied = std::max(supplied, written);
        if (!platform::SupplyPages(begin_ + supplied, wanted - supplied)) return;
        supplied = wanted;
        supplied_.store(supplied, std::memory_order_release);
    }
}

}  // namespace core
