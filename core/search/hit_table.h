// The hit line numbers of the last global search, per target.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace core {

// For each target 1 to 20, 250 slots: the hit line numbers in ascending
// order, ended by a 0. A target keeps room for 249 numbers; its further hits
// are listed but not recorded, so the end mark always stays.
class HitTable {
public:
    static constexpr int kTargets = 20;
    static constexpr int kSlots = 250;

    void Clear() noexcept { rows_ = {}; }
    // The slots of target k (1 to 20).
    std::span<std::int64_t, kSlots> Row(int k) noexcept { return rows_[k - 1]; }
    std::span<const std::int64_t, kSlots> Row(int k) const noexcept { return rows_[k - 1]; }

private:
    std::array<std::array<std::int64_t, kSlots>, kTargets> rows_{};
};

}  // namespace core
