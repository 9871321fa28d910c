#pragma once

// What the processor offers beyond the build's baseline, asked once. One
// implementation per processor family (cpu_features_x86.cpp); elsewhere a
// port says no to every feature.

namespace platform {

// True when the processor runs AVX2 instructions.
bool HasAvx2() noexcept;

}  // namespace platform
