#include "core/browse/target_grid.h"

#include <gtest/gtest.h>

using core::TargetGrid;

namespace {
TargetGrid WithRows(std::initializer_list<const char*> paths) {
    TargetGrid grid;
    for (const char* p : paths) EXPECT_TRUE(grid.Add(p));
    return grid;
}
}  // namespace

TEST(TargetGrid, AddsAtTheCurrentRowUntilRow21) {
    TargetGrid grid;
    EXPECT_EQ(grid.CurrentRow(), 1);
    for (int i = 1; i <= 20; ++i) ASSERT_TRUE(grid.Add("f" + std::to_string(i)));
    EXPECT_EQ(grid.Row(20), "f20");
    EXPECT_EQ(grid.CurrentRow(), 21);
    EXPECT_FALSE(grid.Add("f21"));
    EXPECT_EQ(grid.Row(21), "");
    EXPECT_EQ(grid.Targets().size(), 20u);
    // Header and rows outside the grid read empty.
    EXPECT_EQ(grid.Row(0), "");
    EXPECT_EQ(grid.Row(22), "");
    EXPECT_EQ(grid.Row(-1), "");
    // The header can't be made current.
    grid.SetCurrentRow(0);
    EXPECT_EQ(grid.CurrentRow(), 1);
}

TEST(TargetGrid, RemovingMovesTheRowsBelowUp) {
    TargetGrid grid = WithRows({"A", "B", "C"});
    grid.SetCurrentRow(2);
    grid.RemoveCurrent();
    EXPECT_EQ(grid.Row(1), "A");
    EXPECT_EQ(grid.Row(2), "C");
    EXPECT_EQ(grid.Row(3), "");
    EXPECT_EQ(grid.CurrentRow(), 3);

    // On an empty row nothing filled is emptied; that row stays current.
    grid.SetCurrentRow(6);
    grid.RemoveCurrent();
    EXPECT_EQ(grid.CurrentRow(), 6);
    EXPECT_EQ(grid.Targets(), (std::vector<std::string>{"A", "C"}));

    // A row added past a gap is kept but ends no list: the targets stop at the gap.
    EXPECT_TRUE(grid.Add("F"));
    EXPECT_EQ(grid.Row(6), "F");
    EXPECT_EQ(grid.Targets(), (std::vector<std::string>{"A", "C"}));
    // Removing row 1 moves only the block above the gap.
    grid.SetCurrentRow(1);
    grid.RemoveCurrent();
    EXPECT_EQ(grid.Row(1), "C");
    EXPECT_EQ(grid.Row(2), "");
    EXPECT_EQ(grid.Row(6), "F");
    EXPECT_EQ(grid.CurrentRow(), 2);
}

TEST(TargetGrid, RemovingTheLastRowsAndClearing) {
    TargetGrid grid;
    for (int i = 1; i <= 20; ++i) grid.Add("f" + std::to_string(i));
    grid.SetCurrentRow(20);
    grid.RemoveCurrent();  // the row past the grid counts as empty
    EXPECT_EQ(grid.Row(20), "");
    EXPECT_EQ(grid.CurrentRow(), 20);
    grid.SetCurrentRow(1);
    grid.RemoveCurrent();
    EXPECT_EQ(grid.Row(18), "f19");
    EXPECT_EQ(grid.CurrentRow(), 19);
    grid.SetCurrentRow(21);
    grid.RemoveCurrent();
    EXPECT_EQ(grid.CurrentRow(), 21);

    grid.Clear();
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_TRUE(grid.Targets().empty());
    for (int r = 0; r < TargetGrid::kRowCount; ++r) EXPECT_EQ(grid.Row(r), "");
}
