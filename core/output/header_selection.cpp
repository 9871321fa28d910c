#include "core/output/header_selection.h"

#include "core/General1.h"

namespace core {

std::optional<HeaderSelection> SplitHeaderSelection(std::string_view selection) {
    const std::size_t mark = selection.find(" *");
    if (mark == std::string_view::npos) return std::nullopt;
    return HeaderSelection{std::string(selection.substr(0, mark)), std::string(Left(selection.substr(mark + 2), 2))};
}

}  // namespace core
