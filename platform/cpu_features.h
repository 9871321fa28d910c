#pragma once

// What the processor offers beyond the build's baseline, asked once. One
// implementation per processor family (cpu_features_x86.cpp); elsewhere a
// port says no to every feature.

namespace platform {

// True when the processor runs AVX2 instructions, and the POPCNT that every
// such processor has.
bool HasAvx2() noexcept;

// For tests: while baseline is true, every feature is said to be missing,
// so that the baseline paths can be checked on any processor. It counts for
// what is set up after the call.
void PretendBaselineProcessor(bool baseline) noexcept;

}  // namespace platform
