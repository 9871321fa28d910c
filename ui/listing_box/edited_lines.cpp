#include "ui/listing_box/edited_lines.h"

#include <algorithm>
#include <iterator>

namespace ui {

std::optional<std::size_t> EditedLines::Source(std::size_t i) const {
    if (!listed_) return typedOver_.contains(i) ? std::nullopt : std::optional<std::size_t>(i);
    if (lines_[i].source == kEdited) return std::nullopt;
    return lines_[i].source;
}

const QString& EditedLines::Text(std::size_t i) const { return listed_ ? lines_[i].text : typedOver_.at(i); }

void EditedLines::List() {
    lines_.resize(count_);
    for (std::size_t i = 0; i < count_; ++i) lines_[i].source = i;
    for (auto& [i, text] : typedOver_) lines_[i] = Line{kEdited, std::move(text)};
    typedOver_.clear();
    listed_ = true;
}

void EditedLines::Replace(std::size_t first, std::size_t count, std::vector<QString> texts) {
    if (!listed_ && count == texts.size()) {
        for (std::size_t k = 0; k < count; ++k) typedOver_[first + k] = std::move(texts[k]);
        return;
    }
    if (!listed_) List();
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
