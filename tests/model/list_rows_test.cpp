#include "model/list_rows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A table of `n` rows "r<i>" with a second cell "c<i>".
void Fill(CListRows& rows, int n) {
    for (int i = 0; i < n; ++i) {
        const int row = rows.Append("r" + std::to_string(i));
        ASSERT_TRUE(rows.SetText(row, 1, "c" + std::to_string(i)));
    }
}

// A snapshot and the cells a row stored stay as they were while the table changes: a cell set again, a cell
// added, a long cell, rows added by the thousand (new blocks), a new order, and finally the table emptied.
TEST(ListRows, SnapshotsAndStoredCellsStayAsTaken) {
    CListRows rows;
    Fill(rows, 3);
    const CListRows::Snapshot snapshot = rows.TakeSnapshot();
    const CPackedCells stored = rows.GetCellsById(1);

    EXPECT_TRUE(rows.SetText(1, 0, "changed"));
    EXPECT_TRUE(rows.SetText(1, 3, std::string(70000, 'x')));
    Fill(rows, 50000);
    EXPECT_TRUE(rows.SetOrder({2, 1, 0}) == false); // not a permutation of 50003 rows
    EXPECT_EQ(rows.GetText(1, 0), "changed");
    EXPECT_EQ(rows.GetText(1, 2), "");
    EXPECT_EQ(rows.GetText(1, 3).size(), 70000u);

    ASSERT_EQ(snapshot.GetCount(), 3);
    EXPECT_EQ(snapshot.GetText(1, 0), "r1");
    EXPECT_EQ(snapshot.GetText(1, 1), "c1");
    EXPECT_EQ(snapshot.GetText(1, 3), "");
    EXPECT_EQ(stored.CellCount(), 2);
    EXPECT_EQ(stored.Cell(0), "r1");

    rows.Clear();
    EXPECT_EQ(rows.GetCount(), 0);
    EXPECT_EQ(snapshot.GetText(2, 1), "c2");
}

// A text taken from the same table may be passed back in, whether the row grows in place, moves to a new
// block, or is rebuilt; lengths on both sides of the one-byte length limit and beyond a block.
TEST(ListRows, TextFromTheSameTableMayBeSetAgain) {
    for (std::size_t length : {std::size_t{0}, std::size_t{254}, std::size_t{255}, std::size_t{3} << 20}) {
        SCOPED_TRACE(length);
        CListRows rows;
        Fill(rows, 2);
        ASSERT_TRUE(rows.SetText(1, 2, std::string(length, 'L')));
        // Row 1 is last in the store: it grows in place with a cell of itself, then of row 0.
        ASSERT_TRUE(rows.SetText(1, 3, rows.GetText(1, 2)));
        ASSERT_TRUE(rows.SetText(1, 4, rows.GetText(0, 0)));
        // Row 0 is not last: it moves, and is rebuilt, with texts of row 1 and of itself.
        ASSERT_TRUE(rows.SetText(0, 2, rows.GetText(1, 3)));
        ASSERT_TRUE(rows.SetText(0, 0, rows.GetText(0, 2)));
        ASSERT_TRUE(rows.SetText(0, 1, rows.GetText(0, 1)));
        EXPECT_EQ(rows.GetText(1, 3), std::string(length, 'L'));
        EXPECT_EQ(rows.GetText(1, 4), "r0");
        EXPECT_EQ(rows.GetText(0, 0), std::string(length, 'L'));
        EXPECT_EQ(rows.GetText(0, 1), "c0");
        EXPECT_EQ(rows.GetText(0, 2), std::string(length, 'L'));
    }
}

} // namespace
