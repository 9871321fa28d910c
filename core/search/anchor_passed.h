// What a search for a phrase's anchor passed on its way (AnchorFinder::Find
// and its vector kernels): the CRs before the anchor, as the lines are
// counted in the same pass, and where the search saw them beside it, the
// last CR before it and the first one after it; nullptr when it did not,
// and then the caller looks for them. The search may also look for the
// Ctrl-Z that ends a text, in the same pass: then clean is where the bytes
// from its start on stop being known to hold none (nullptr: not looked).
#pragma once

#include <cstdint>

namespace core {

struct AnchorPassed {
    std::int64_t crs = 0;
    const char* lastCr = nullptr;
    const char* nextCr = nullptr;
    const char* clean = nullptr;
};

}  // namespace core
