#include "platform/processor_time.h"

#include <time.h>

namespace platform {

std::uint64_t ThreadProcessorNanoseconds() noexcept {
    timespec now{};
    if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return 0;
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

}  // namespace platform
