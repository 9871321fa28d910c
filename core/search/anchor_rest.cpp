#include "core/search/anchor_rest.h"

#include "core/search/text_bytes.h"

namespace core {

namespace {

// Whether rest starts the line after the CR at p, or that line starts with
// an indent, which the hit rule may strip.
bool NextLineAgrees(const char* p, const char* end, std::string_view rest, std::string_view space) noexcept {
    ++p;
    if (p <= end && *p == kLF) ++p;
    if (p <= end && !space.empty() && *p == space[0]) return true;
    for (std::size_t t = 0; t < rest.size(); ++t, ++p) {
        if (p > end) return true;
        if (*p != rest[t]) return false;
    }
    return true;
}

}  // namespace

bool AnchorAgrees(const char* x, const char* from, const char* end, const AnchorRest& rest) noexcept {
    const char* p = x + 1;
    for (std::size_t t = 1; t < rest.after.size(); ++t, ++p) {
        if (p > end) break;
        if (*p == kCR) {
            if (!NextLineAgrees(p, end, rest.after.substr(t), rest.space)) return false;
            break;
        }
        if (*p != rest.after[t]) return false;
    }
    const std::size_t n = rest.before.size();
    for (std::size_t t = 1; t <= n && x - from >= static_cast<std::ptrdiff_t>(t); ++t) {
        const char c = x[-static_cast<std::ptrdiff_t>(t)];
        if (c != rest.before[n - t]) return c == kCR || c == kLF || rest.space.find(c) != std::string_view::npos;
    }
    return true;
}

}  // namespace core
