#include "platform/processor_time.h"

#include <sys/resource.h>

namespace platform {

std::uint64_t ThreadProcessorNanoseconds() noexcept {
    // The calling thread's own user and system time, to the microsecond.
    rusage used{};
    if (::getrusage(RUSAGE_THREAD, &used) != 0) return 0;
    const auto micros = [](const timeval& t) {
        return static_cast<std::uint64_t>(t.tv_sec) * 1000000u + static_cast<std::uint64_t>(t.tv_usec);
    };
    return (micros(used.ru_utime) + micros(used.ru_stime)) * 1000u;
}

}  // namespace platform
