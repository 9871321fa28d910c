// The target grid without the window: 22 rows, row 0 the fixed header, rows
// 1 to 20 for full paths (native), row 21 never filled so that the
// current row can stand one past row 20. The current row is where the next
// chosen file goes; it is never the header.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace core {

class TargetGrid {
public:
    static constexpr int kRowCount = 22;
    static constexpr int kFirstRow = 1;
    static constexpr int kLastTargetRow = 20;
    static constexpr int kFullRow = 21;

    // The row's bytes; empty for the header and for a row outside the grid.
    const std::string& Row(int row) const noexcept;

    int CurrentRow() const noexcept { return current_; }
    // Moves the current row, kept within rows 1 to 21.
    void SetCurrentRow(int row) noexcept;

    // Writes the path into the current row and makes the next row current.
    // False, with nothing changed, when the current row is 21: the grid is full.
    bool Add(std::string path);

    // Removes the entry in the current row: each row below moves up by one
    // (a row past the grid counts as empty) until an empty row has moved, and
    // the row that received it becomes current. On an empty row this changes
    // nothing but leaves that row current.
    void RemoveCurrent();

    // Empties rows 1 to 20 and makes row 1 current.
    void Clear();

    // Rows 1, 2, ... up to the row before the first empty one.
    std::vector<std::string> Targets() const;

private:
    std::array<std::string, kRowCount> rows_;
    int current_ = kFirstRow;
};

}  // namespace core
