// The message and notification numbers of the custom controls are part of
// every dialog procedure that talks to them: check each against its number.
#include "ui/controlmsgs.h"
#include "ui/controlpictures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ControlMessages, NumbersAreTheSuitesOwn) {
    struct Case { unsigned value, expected; const char *what; } cases[] = {
        {kProgressStep, 200, "progress step"},
        {kProgressEmpty, 201, "progress empty"},
        {kProgressFull, 202, "progress full"},
        {kHeaderButtonSetBitmap, 1524, "header button bitmap"},
        {kHeaderButtonSetPalette, 1525, "header button palette"},
        {kHeaderButtonSetBitmapSize, 1526, "header button bitmap size"},
        {kSetBackgroundColour, 1527, "background colour"},
        {kHyperTextPointerEntered, 1528, "pointer entered"},
        {kHyperTextPointerLeft, 1529, "pointer left"},
        {kPicturePainted, 1530, "picture painted"},
        {kCalDateSetDate, 1531, "calendar date"},
        {kCalDateDoubleClick, 1532, "calendar double click"},
        {kTableRowDoubleClick, 1533, "table double click"},
        {kTableRowRightClick, 1534, "table right click"},
        {kTableSetColumnWidths, 1539, "table widths"},
        {kTableGetChecks, 1540, "table checks"},
        {kTableSetChecks, 1541, "table set checks"},
        {kTableGetCheckRows, 1542, "table check rows"},
        {kTableGetColumnWidths, 1543, "table get widths"},
        {kTableGetColumnCount, 1544, "table columns"},
        {kTableSetSort, 1545, "table sort"},
        {kTableCheckToggled, 1577, "table check toggled"},
        {kHyperTextRightClick, 1578, "right click"},
        {kValueStored, 1724, "value stored"},
        {kClickNotification, 0, "click"},
    };
    for (const Case &c : cases) EXPECT_EQ(c.value, c.expected) << c.what;
    EXPECT_EQ(kProgressStepCount, 20);
}

TEST(ControlPictures, ArrowAndCheckMark) {
    const ControlPicture *arrow = FindControlPicture(IDB_LINK_ARROW);
    const ControlPicture *check = FindControlPicture(IDB_TABLE_CHECK);
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(FindControlPicture(513), nullptr);
    EXPECT_EQ(arrow->width, 12);
    EXPECT_EQ(arrow->height, 15);
    EXPECT_EQ(check->width, 10);
    EXPECT_EQ(check->height, 15);
    // Every row is exactly as wide as the picture.
    for (const ControlPicture *p : {arrow, check})
        for (int y = 0; y < p->height; ++y) EXPECT_EQ(std::strlen(p->rows[y]), size_t(p->width));
    // A black downward triangle on white: its widest row above its tip.
    EXPECT_EQ(ControlPicturePixel(*arrow, 5, 5), 0x000000u);
    EXPECT_EQ(ControlPicturePixel(*arrow, 5, 9), 0x000000u);
    EXPECT_EQ(ControlPicturePixel(*arrow, 4, 9), 0xFFFFFFu);
    EXPECT_EQ(ControlPicturePixel(*arrow, 0, 0), 0xFFFFFFu);
    // A red mark on pure green (the transparent key).
    EXPECT_EQ(ControlPicturePixel(*check, 9, 3), 0x0000FFu);
    EXPECT_EQ(ControlPicturePixel(*check, 0, 0), 0x00FF00u);
    EXPECT_EQ(ControlPicturePixel(*check, 50, 50), 0x00FF00u);
}

}  // namespace
