// Tab-separated cells of Table titles and rows.
#include "ui/tablecells.h"

#include <gtest/gtest.h>

namespace {

using Cells = std::vector<std::string>;

TEST(TableCells, RunsOfTabsAreOneSeparator) {
    struct Case { const char *text; Cells cells; } cases[] = {
        {"a\t\tb", {"a", "b"}},
        {"Name\tType\tMag", {"Name", "Type", "Mag"}},
        {"\tlead", {"lead"}},
        {"trail\t\t", {"trail"}},
        {"\t\t\t", {}},
        {"", {}},
        {"one", {"one"}},
        {"x y\t z ", {"x y", " z "}},
    };
    for (const Case &c : cases) EXPECT_EQ(SplitTableCells(c.text), c.cells) << c.text;
}

TEST(TableCells, LongRowsKeepEveryCell) {
    // 543 characters of one-letter cells: 272 cells, far more than 64 columns.
    std::string row;
    while (row.size() + 2 <= 543) row += "c\t";
    row += "z";
    Cells cells = SplitTableCells(row);
    ASSERT_EQ(cells.size(), 272u);
    EXPECT_EQ(cells.back(), "z");
}

}  // namespace
