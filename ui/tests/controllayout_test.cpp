// The re-layout rule against hand-worked placements: a 50 x 15 control at
// (10, 20) of a 200 x 100 parent (right gap 140), grown and shrunk.
#include "ui/controllayout.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char *what;
    int refW, refH, stretchW, stretchH;
    uint32_t flags;
    int newW, newH;
    int x, y, w, h;
};

TEST(ControlLayout, PlacementTable) {
    const Case cases[] = {
        {"proportional", 200, 100, 0, 0, 0, 400, 100, 20, 20, 50, 15},
        {"width follows", 200, 100, 1, 0, 0, 400, 100, 20, 20, 100, 15},
        {"right gap kept", 200, 100, 0, 0, 0x1, 400, 100, 210, 20, 50, 15},
        {"right gap, stretching", 200, 100, 1, 0, 0x1, 400, 100, 20, 20, 240, 15},
        {"left kept, stretching", 200, 100, 1, 0, 0x2, 400, 100, 10, 20, 110, 15},
        {"shifted by a 30-pixel area", 200, 100, 30, 0, 0x4, 400, 100, 40, 20, 50, 15},
        {"no reference width", 0, 100, 1, 0, 0, 400, 100, 10, 20, 50, 15},
        {"no reference height", 200, 0, 0, 1, 0, 400, 300, 20, 20, 50, 15},
        // 0x10 makes the width follow where stretch 0 would keep it.
        {"width forced to follow", 200, 100, 0, 0, 0x10, 400, 100, 20, 20, 100, 15},
        {"shift + forced width", 200, 100, 30, 0, 0x14, 400, 100, 40, 20, 100, 15},
        // Vertical: proportional, kept top with the bottom edge scaled.
        {"height follows", 200, 100, 0, 1, 0, 200, 300, 10, 60, 50, 45},
        {"top kept, height follows", 200, 100, 0, 1, 0x8, 200, 300, 10, 20, 50, 45 + 60 - 20},
        {"top kept, height kept", 200, 100, 0, 0, 0x8, 200, 300, 10, 20, 50, 15},
        // Shrinking to 100 x 50: halves round away from zero (7.5 -> 8).
        {"shrunk proportional", 200, 100, 1, 1, 0, 100, 50, 5, 10, 25, 8},
        {"shrunk, right gap kept", 200, 100, 0, 0, 0x1, 100, 50, -90, 10, 50, 15},
        // 100 - 5 - 140 is negative: the width stops at 0.
        {"shrunk, right gap stretching", 200, 100, 1, 0, 0x1, 100, 50, 5, 10, 0, 15},
        {"shrunk, left kept", 200, 100, 1, 0, 0x2, 100, 50, 10, 10, 25 + 5 - 10, 15},
        // A factor that an integer division would make 1: 300 / 200 = 1.5.
        {"factor 1.5", 200, 100, 1, 0, 0, 300, 100, 15, 20, 75, 15},
    };
    for (const Case &c : cases) {
        LayoutGeometry g;
        SetLayoutGeometry(&g, 10, 20, 50, 15, c.refW, c.refH, c.stretchW, c.stretchH, c.flags);
        int x = -1, y = -1, w = -1, h = -1;
        ComputeLayoutPlacement(&g, c.newW, c.newH, &x, &y, &w, &h);
        EXPECT_EQ(x, c.x) << c.what;
        EXPECT_EQ(y, c.y) << c.what;
        EXPECT_EQ(w, c.w) << c.what;
        EXPECT_EQ(h, c.h) << c.what;
    }
}

TEST(ControlLayout, RightGapIsFromReferenceWidth) {
    LayoutGeometry g;
    SetLayoutGeometry(&g, 10, 20, 50, 15, 200, 100, 0, 0, 0);
    EXPECT_EQ(g.rightGap, 140);
}

}  // namespace
