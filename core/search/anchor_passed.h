// What a search for a phrase's anchor passed on its way (AnchorFinder::Find
// and its vector kernels): the CRs before the anchor, as the lines are
// counted in the same pass, and where the search saw them beside it, the
// last CR before it and the first one after it; nullptr when it did not,
// and then the caller looks for them.
#pragma once

#include <cstdint>

namespace core {

struct AnchorPassed {
    std::int64_t crs = 0;
    const char* lastCr = nullptr;
    const char* nextCr = nullptr;
};

}  // namespace core
