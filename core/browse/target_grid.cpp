#include "core/browse/target_grid.h"

#include <algorithm>

namespace core {

namespace {
const std::string kNone;
}

const std::string& TargetGrid::Row(int row) const noexcept {
    if (row < kFirstRow || row >= kRowCount) return kNone;
    return rows_[static_cast<std::size_t>(row)];
}

void TargetGrid::SetCurrentRow(int row) noexcept { current_ = std::clamp(row, kFirstRow, kRowCount - 1); }

bool TargetGrid::Add(std::string path) {
    if (current_ >= kFullRow) return false;
    rows_[static_cast<std::size_t>(current_)] = std::move(path);
    ++current_;
    return true;
}

void TargetGrid::RemoveCurrent() {
    int r = current_;
    for (;;) {
        std::string next = r + 1 < kRowCount ? rows_[static_cast<std::size_t>(r + 1)] : std::string();
        const bool moved = !next.empty();
        rows_[static_cast<std::size_t>(r)] = std::move(next);
        if (!moved) break;
        ++r;
    }
    current_ = r;
}

void TargetGrid::Clear() {
    for (int r = kFirstRow; r <= kLastTargetRow; ++r) rows_[static_cast<std::size_t>(r)].clear();
    current_ = kFirstRow;
}

std::vector<std::string> TargetGrid::Targets() const {
    std::vector<std::string> targets;
    for (int r = kFirstRow; r <= kLastTargetRow && !rows_[static_cast<std::size_t>(r)].empty(); ++r) {
        targets.push_back(rows_[static_cast<std::size_t>(r)]);
    }
    return targets;
}

}  // namespace core
