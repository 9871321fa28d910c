// The processor time the calling thread has used: what its work cost,
// whatever the other threads and programs were doing meanwhile.
#pragma once

#include <cstdint>

namespace platform {

// Nanoseconds of processor time, in the program and in the system on its
// behalf, that the calling thread has used since it started; 0 where the
// system can't tell.
std::uint64_t ThreadProcessorNanoseconds() noexcept;

}  // namespace platform
