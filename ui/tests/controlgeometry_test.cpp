// Size and position rules of the custom controls, against hand-worked values.
#include "ui/controlgeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(ControlGeometry, ProgressBarPixels) {
    struct Case { int width, steps, px; } cases[] = {
        {101, 3, 15},    // 3 x 5.05 = 15.15
        {100, 20, 100},  // full bar
        {100, 25, 100},  // more than 20 steps clamps to full
        {10, 1, 1},      // 0.5 rounds away from zero
        {30, 1, 2},      // 1.5 -> 2
        {50, 1, 3},      // 2.5 -> 3
        {101, 0, 0},
        {0, 7, 0},
        {90, 7, 32},     // 7 x 4.5 = 31.5 -> 32
    };
    for (const Case &c : cases)
        EXPECT_EQ(ProgressBarPixels(c.width, c.steps), c.px) << c.width << " " << c.steps;
}

TEST(ControlGeometry, HyperTextLabelWidth) {
    struct Case { int text, arrow, max, width; } cases[] = {
        {48, 0, 100, 48}, {48, 1, 100, 63}, {140, 0, 100, 100}, {90, 1, 100, 100}, {85, 1, 100, 100},
        {84, 1, 100, 99},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HyperTextLabelWidth(c.text, c.arrow, c.max), c.width);
}

TEST(ControlGeometry, HeaderButtonBitmapOrigin) {
    struct Case { int w, h, bw, bh, pressed, x, y; } cases[] = {
        {40, 20, 16, 16, 0, 12, 2},
        {40, 20, 16, 16, 1, 13, 3},
        {41, 21, 15, 15, 0, 13, 3},   // 20 - 7, 10 - 7
        {10, 10, 16, 16, 0, -3, -3},  // larger than the button: truncation towards zero
    };
    for (const Case &c : cases) {
        int x = 0, y = 0;
        HeaderButtonBitmapOrigin(c.w, c.h, c.bw, c.bh, c.pressed, &x, &y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

TEST(ControlGeometry, TableHeaderAndRowHeights) {
    // 1.4 x 13 = 18.2 -> 18, even -> 17; 1.4 x 16 = 22.4 -> 22 -> 21;
    // 1.4 x 15 = 21 stays; 1.4 x 10 = 14 -> 13; 1.4 x 11 = 15.4 -> 15.
    struct Case { int text, header; } headers[] = {{13, 17}, {16, 21}, {15, 21}, {10, 13}, {11, 15}};
    for (const Case &c : headers) EXPECT_EQ(TableHeaderHeight(c.text), c.header) << c.text;
    // 0.91 x 13 = 11.83 -> 12; 0.91 x 16 = 14.56 -> 15; 0.91 x 50 = 45.5 -> 46.
    EXPECT_EQ(TableItemHeight(13), 12);
    EXPECT_EQ(TableItemHeight(16), 15);
    EXPECT_EQ(TableItemHeight(50), 46);
}

TEST(ControlGeometry, TableTitleColumnWidth) {
    EXPECT_EQ(TableTitleColumnWidth(300, 3, 0), 100);
    EXPECT_EQ(TableTitleColumnWidth(300, 3, 1), 95);  // (300 - 15) / 3
    EXPECT_EQ(TableTitleColumnWidth(301, 2, 0), 150);
    EXPECT_EQ(TableTitleColumnWidth(300, 0, 0), 32);
    EXPECT_EQ(TableTitleColumnWidth(10, 3, 1), 1);
}

TEST(ControlGeometry, TableCellLefts) {
    const uint16_t widths[4] = {15, 60, 70, 80};
    int lefts[8] = {};
    // With checks: the first title column is column 1, after the check column.
    ASSERT_EQ(TableCellLefts(0, widths, 4, 1, 3, lefts), 3);
    EXPECT_EQ(lefts[0], 19);
    EXPECT_EQ(lefts[1], 79);
    EXPECT_EQ(lefts[2], 149);
    // Without checks: column 0 is a title column.
    ASSERT_EQ(TableCellLefts(10, widths, 4, 0, 4, lefts), 4);
    EXPECT_EQ(lefts[0], 14);
    EXPECT_EQ(lefts[1], 29);
    EXPECT_EQ(lefts[3], 159);
    // More cells than columns: the surplus is not placed.
    EXPECT_EQ(TableCellLefts(0, widths, 4, 1, 8, lefts), 3);
    EXPECT_EQ(TableCellLefts(0, widths, 4, 0, 8, lefts), 4);
}

TEST(ControlGeometry, TableCellLeftsNeverReadsPastSixtyFourColumns) {
    uint16_t widths[kTableMaxColumns];
    for (auto &w : widths) w = 10;
    int lefts[300];
    EXPECT_EQ(TableCellLefts(0, widths, 200, 1, 300, lefts), kTableMaxColumns - 1);
    EXPECT_EQ(TableCellLefts(0, widths, 200, 0, 300, lefts), kTableMaxColumns);
}

TEST(ControlGeometry, TableRowAtPoint) {
    EXPECT_EQ(TableRowAtPoint(0, 0, 12, 5), 0);
    EXPECT_EQ(TableRowAtPoint(0, 35, 12, 5), 2);
    EXPECT_EQ(TableRowAtPoint(3, 11, 12, 5), 3);
    EXPECT_EQ(TableRowAtPoint(0, 60, 12, 5), -1);  // below the last row
    EXPECT_EQ(TableRowAtPoint(0, -1, 12, 5), -1);
    EXPECT_EQ(TableRowAtPoint(0, 5, 0, 5), -1);
    EXPECT_EQ(TableRowAtPoint(0, 5, 12, 0), -1);
}

}  // namespace
