#include "ui/listing_box/edited_lines.h"

#include <algorithm>
#include <iterator>

namespace ui {

EditedLines::EditedLines(std::size_t count) : lines_(count) {
    for (std::size_t i = 0; i < count; ++i) lines_[i].source = i;
}

std::optional<std::size_t> EditedLines::Source(std::size_t i) const {
    if (lines_[i].source == kEdited) return std::nullopt;
    return lines_[i].source;
}

void EditedLines::Replace(std::size_t first, std::size_t count, std::vector<QString> texts) {
    const auto at = lines_.begin() + static_cast<std::ptrdiff_t>(first);
    const std::size_t kept = std::min(count, texts.size());
    for (std::size_t k = 0; k < kept; ++k) at[static_cast<std::ptrdiff_t>(k)] = Line{kEdited, std::move(texts[k])};
    if (count > kept) {
        lines_.erase(at + static_cast<std::ptrdiff_t>(kept), at + static_cast<std::ptrdiff_t>(count));
    } else if (texts.size() > kept) {
        std::vector<Line> added;
        added.reserve(texts.size() - kept);
        for (std::size_t k = kept; k < texts.size(); ++k) added.push_back(Line{kEdited, std::move(texts[k])});
        lines_.insert(at + static_cast<std::ptrdiff_t>(kept), std::make_move_iterator(added.begin()),
                      std::make_move_iterator(added.end()));
    }
}

}  // namespace ui
