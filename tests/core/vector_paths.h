// For the tests that run every processor path of the byte searches on this
// processor: the paths, and the pretence undone when the test ends.
#pragma once

#include "platform/cpu_features.h"

#include <array>

namespace testing_support {

class VectorPaths {
public:
    static constexpr std::array<platform::Vectors, 3> kAll = {platform::Vectors::Baseline, platform::Vectors::Avx2,
                                                              platform::Vectors::Avx512};

    VectorPaths() = default;
    VectorPaths(const VectorPaths&) = delete;
    VectorPaths& operator=(const VectorPaths&) = delete;
    ~VectorPaths() { platform::PretendVectorsAtMost(platform::Vectors::Avx512); }

    // What is set up from now on takes at most these vectors.
    void Use(platform::Vectors most) const noexcept { platform::PretendVectorsAtMost(most); }
};

}  // namespace testing_support
