#include "core/search/hit_rule.h"

namespace core {

std::string_view UpToNul(std::string_view s) noexcept {
    const auto nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

}  // namespace core
