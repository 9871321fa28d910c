#pragma once

// What the processor offers beyond the build's baseline, asked once. One
// implementation per processor family (cpu_features_x86.cpp); elsewhere a
// port says the baseline.

namespace platform {

// The widest vector instructions the processor runs, of those the byte
// searches use: AVX2 (with POPCNT), or AVX-512 with its byte instructions
// (BW) on top of that, on a processor that runs it at full speed.
enum class Vectors { Baseline, Avx2, Avx512 };
Vectors WidestVectors() noexcept;

// For tests: from now on the answer is at most `most`, so that every path
// can be checked on a processor that has the widest. It counts for what is
// set up after the call.
void PretendVectorsAtMost(Vectors most) noexcept;

}  // namespace platform
