#include "ui/listing_box/shown_line_cache.h"

namespace ui {

std::shared_ptr<const ShownLine> ShownLineCache::Find(std::size_t line) {
    const auto hit = lines_.find(line);
    if (hit == lines_.end()) return nullptr;
    recent_.splice(recent_.begin(), recent_, hit->second.second);
    return hit->second.first;
}

std::shared_ptr<const ShownLine> ShownLineCache::Add(std::size_t line, std::unique_ptr<ShownLine> laidOut) {
    std::shared_ptr<const ShownLine> shown = std::move(laidOut);
    units_ += static_cast<std::size_t>(shown->text.size());
    recent_.push_front(line);
    lines_.emplace(line, std::make_pair(shown, recent_.begin()));
    while (recent_.size() > 1 && (recent_.size() > maxLines_ || units_ > maxUnits_)) {
        const auto old = lines_.find(recent_.back());
        units_ -= static_cast<std::size_t>(old->second.first->text.size());
        lines_.erase(old);
        recent_.pop_back();
    }
    return shown;
}

void ShownLineCache::Clear() {
    lines_.clear();
    recent_.clear();
    units_ = 0;
}

}  // namespace ui
