// The label placer: the candidate order of each placement (positions worked
// out by hand from the placement tables), leader lines, the window, the span
// set's growth and ceiling, and a dense chart on which no placed label ever
// overlaps another or leaves the window.
#include "charts/labelplacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/mathutil.h"

namespace {

struct Set {
    OccupiedSpanSet s;
    Set(int left, int top, int right, int bottom) { InitOccupiedSpans(&s, left, top, right, bottom); }
    ~Set() { FreeOccupiedSpans(&s); }
};

bool Zero(const int32_t l[4]) { return !l[0] && !l[1] && !l[2] && !l[3]; }

TEST(LabelPlacement, TouchingSpansOverlap) {
    struct Case {
        int x1, x2, y1, y2, X1, X2, Y1, Y2, expect;
    } cases[] = {
        {0, 10, 0, 10, 10, 20, 0, 10, 1},   // shared edge in x
        {0, 10, 0, 10, 0, 10, 10, 20, 1},   // shared edge in y
        {0, 10, 10, 0, 0, 10, 20, 10, 1},   // y pairs given the other way round
        {0, 10, 0, 10, 11, 20, 0, 10, 0},
        {0, 10, 0, 10, 0, 10, 11, 20, 0},
        {5, 6, 5, 6, 0, 10, 0, 10, 1},      // inside
    };
    for (const Case &c : cases)
        EXPECT_EQ(SpansOverlap(c.x1, c.x2, c.y1, c.y2, c.X1, c.X2, c.Y1, c.Y2), c.expect)
            << c.x1 << " " << c.X1 << " " << c.Y1;
}

// Symbol at (500, 500), r 2, label 40 x 10, gap 2: G 2, G3 6; ring 0 has
// U 5, D 13, D0 8, Dd 9, Dd0 5, and the gap applies (r < 4).
TEST(LabelPlacement, RingCandidatesInOrder) {
    struct Case {
        int right, top, x, y;
        int leader[4];
    } cases[] = {
        {1000, 0, 511, 486, {505, 495, 509, 491}},    // 0: up and right
        {1000, 490, 515, 495, {508, 500, 513, 500}},  // 1: right (0 leaves the top)
        {505, 0, 462, 481, {500, 492, 500, 487}},     // 5: above, to the left
        {505, 490, 458, 508, {500, 508, 500, 513}},   // 6: below, to the left
    };
    for (const Case &c : cases) {
        Set set(0, c.top, c.right, 1000);
        int x, y, flipped;
        LeaderLines lines;
        ASSERT_EQ(PlaceChartLabel(&set.s, 2.0, 500, 500, 2, 40, 10, &x, &y, &lines, kPlaceRing, 0, 0,
                                  &flipped), 1);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        for (int i = 0; i < 4; i++) EXPECT_EQ(lines.first[i], c.leader[i]) << i;
        EXPECT_TRUE(Zero(lines.second));
        ASSERT_EQ(set.s.count, 1);
        EXPECT_EQ(set.s.spans[0].x1, c.x);
        EXPECT_EQ(set.s.spans[0].x2, c.x + 40);
        EXPECT_EQ(set.s.spans[0].y2, c.y + 10);
    }
}

// A large symbol (r 8 > 3, G3 6 < r): ring 0 sits at r + G3 with no leader;
// labels pushed to later rings get a leader from r + G3 (or its 5/7 on the
// diagonals).
TEST(LabelPlacement, RingLeadersStartAtTheSymbolEdgePlusThreeGaps) {
    Set set(0, 0, 1000, 1000);
    int rings0 = 0, later = 0;
    for (int i = 0; i < 200; i++) {
        int x, y, flipped;
        LeaderLines lines;
        int r = PlaceChartLabel(&set.s, 2.0, 500, 500, 8, 40, 10, &x, &y, &lines, kPlaceRing, 0, 0,
                                &flipped);
        if (r == 0) break;  // all twelve rings taken
        ASSERT_EQ(r, 1);
        if (Zero(lines.first)) {
            rings0++;
            continue;
        }
        later++;
        int dx = std::abs(lines.first[0] - 500), dy = std::abs(lines.first[1] - 500);
        bool axis = (dx == 14 && dy == 0) || (dx == 0 && dy == 14);
        bool diagonal = dx == 10 && dy == 10;
        EXPECT_TRUE(axis || diagonal) << dx << "," << dy;
        // and the line ends farther out than ring 0's distance
        EXPECT_GT(std::abs(lines.first[2] - 500) + std::abs(lines.first[3] - 500), 14);
    }
    EXPECT_GT(rings0, 0);
    EXPECT_GT(later, 10);
    // With "no leader" every line is cleared.
    Set quiet(0, 0, 1000, 1000);
    for (int i = 0; i < 20; i++) {
        int x, y, flipped;
        LeaderLines lines;
        ASSERT_EQ(PlaceChartLabel(&quiet.s, 2.0, 500, 500, 8, 40, 10, &x, &y, &lines,
                                  kPlaceRing | kPlaceNoLeader, 0, 0, &flipped), 1);
        EXPECT_TRUE(Zero(lines.first));
    }
}

// Symbol (500, 500), r 5, label 40 x 10, no gap: K 5. Side 0 (upwards)
// 495..505 x 455..495, side 1 505..545 x 495..505, side 2 (downwards)
// 506..516 x 505..545, side 3 455..495 x 495..505.
TEST(LabelPlacement, SideKindsAndSingleSides) {
    struct Case {
        const char *what;
        int flags, kind;
        std::vector<OccupiedSpan> blocked;
        int result, x, y;
    } cases[] = {
        {"kind 0 takes side 0", 0, 0, {}, kPlacedUpwards, 495, 495},
        {"kind 0 never tries side 2", 0, 0,
         {{495, 505, 450, 460}, {540, 545, 495, 505}, {455, 460, 495, 505}}, 0, 0, 0},
        {"kind 4 starts with side 2", 0, 4, {}, kPlacedDownwards, 506, 505},
        {"kind 2 starts right", 0, 2, {}, 1, 505, 495},
        {"kind 5 skips 0 and 1: left", 0, 5, {}, 1, 455, 495},
        {"one side: kind 2 is side 1 only", kPlaceOneSide, 2, {{540, 545, 495, 505}}, 0, 0, 0},
        {"one side: kind 6 is side 3", kPlaceOneSide, 6, {}, 1, 455, 495},
        {"one side: odd kinds place nothing", kPlaceOneSide, 1, {}, 0, 0, 0},
        {"kind 9 places nothing", 0, 9, {}, 0, 0, 0},
    };
    for (const Case &c : cases) {
        Set set(0, 0, 1000, 1000);
        for (const OccupiedSpan &b : c.blocked) AddOccupiedSpan(&set.s, b.x1, b.x2, b.y1, b.y2);
        int before = set.s.count;
        int x = 0, y = 0, flipped;
        LeaderLines lines;
        int r = PlaceChartLabel(&set.s, 0, 500, 500, 5, 40, 10, &x, &y, &lines, c.flags, c.kind, 0,
                                &flipped);
        EXPECT_EQ(r, c.result) << c.what;
        if (c.result) {
            EXPECT_EQ(x, c.x) << c.what;
            EXPECT_EQ(y, c.y) << c.what;
            EXPECT_TRUE(Zero(lines.first)) << c.what;  // ring 0: no leader
            EXPECT_EQ(set.s.count, before + 1) << c.what;
        } else {
            EXPECT_EQ(set.s.count, before) << c.what;
        }
    }
}

// An upward text near the window's top must not stick out above it: its far
// end is tested too, so the label goes to the next side.
TEST(LabelPlacement, UpwardTextStaysBelowTheWindowTop) {
    Set set(0, 0, 1000, 1000);
    int x, y, flipped;
    LeaderLines lines;
    int r = PlaceChartLabel(&set.s, 0, 500, 30, 5, 40, 10, &x, &y, &lines, 0, 0, 0, &flipped);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(x, 505);  // side 1
    for (int i = 0; i < set.s.count; i++) EXPECT_GE(set.s.spans[i].y1, 0);
}

TEST(LabelPlacement, CentredPlacementKeepsToAnOffsetWindow) {
    {
        // A window placed at (200, 100) on the drawing surface: a label that
        // would start left of it is moved to its left edge, not to x = sx.
        Set set(200, 100, 800, 600);
        int x, y, flipped;
        LeaderLines lines;
        ASSERT_EQ(PlaceChartLabel(&set.s, 0, 210, 300, 0, 40, 10, &x, &y, &lines, kPlaceCentred, 0,
                                  0, &flipped), 1);
        EXPECT_EQ(x, 200);
        EXPECT_EQ(y, 295);
        ASSERT_EQ(PlaceChartLabel(&set.s, 0, 210, 300, 0, 40, 10, &x, &y, &lines, kPlaceCentred, 0,
                                  0, &flipped), 1);
        EXPECT_EQ(y, 300 - 20 - 5);  // two heights above
    }
}

TEST(LabelPlacement, CornerPlacementFourDistinctCorners) {
    // A label narrower than the box: the four corners do not overlap.
    Set set(0, 0, 1000, 1000);
    int x, y, flipped;
    LeaderLines lines;
    const int expect[4][2] = {{480, 470}, {510, 470}, {480, 520}, {510, 520}};
    for (const auto &e : expect) {
        ASSERT_EQ(PlaceChartLabel(&set.s, 0, 500, 500, 20, 10, 10, &x, &y, &lines, kPlaceCorner, 0,
                                  0, &flipped), 1);
        EXPECT_EQ(x, e[0]);
        EXPECT_EQ(y, e[1]);
    }
    EXPECT_EQ(PlaceChartLabel(&set.s, 0, 500, 500, 20, 10, 10, &x, &y, &lines, kPlaceCorner, 0, 0,
                              &flipped), 0);
}

TEST(LabelPlacement, DirectionPlacementFlipsAndTriesTheOppositeDirection) {
    // Label 60 x 12 a height from (500, 500): direction 0 reads rightwards
    // from (500, 488), box 500..560; direction 1800 (flipped) leftwards from
    // the same anchor, box 440..500. A window edge shuts out the first try.
    struct Case {
        int direction, left, right;
        int flipped;
    } cases[] = {
        {1800, 0, 1000, 1}, {1800, 460, 1000, 0}, {2700, 0, 1000, 1}, {2701, 0, 1000, 0},
        {900, 0, 1000, 0},  {901, 0, 1000, 1},    {0, 0, 540, 1},
    };
    for (const Case &c : cases) {
        Set set(c.left, 0, c.right, 1000);
        int x, y, flipped = -1;
        LeaderLines lines;
        ASSERT_EQ(PlaceChartLabel(&set.s, 0, 500, 500, 0, 60, 12, &x, &y, &lines, kPlaceAlong, 0,
                                  c.direction, &flipped), 1)
            << c.direction;
        EXPECT_EQ(flipped, c.flipped) << c.direction << " window " << c.left << ".." << c.right;
    }
    // Direction 0, a height out: the anchor lies straight above the symbol.
    Set set(0, 0, 1000, 1000);
    int x, y, flipped;
    LeaderLines lines;
    ASSERT_EQ(PlaceChartLabel(&set.s, 0, 500, 500, 0, 60, 12, &x, &y, &lines, kPlaceAlong, 0, 0,
                              &flipped), 1);
    EXPECT_EQ(x, 500);
    EXPECT_EQ(y, 488);
    // Direction 45 degrees, half a height (6) out: anchor 500 - round(6 cos 45) each way.
    Set other(0, 0, 1000, 1000);
    ASSERT_EQ(PlaceChartLabel(&other.s, 0, 500, 500, 0, 60, 12, &x, &y, &lines, kPlaceAlongHalf, 0,
                              450, &flipped), 1);
    EXPECT_EQ(x, 496);
    EXPECT_EQ(y, 496);
    EXPECT_EQ(flipped, 0);
    EXPECT_EQ(other.s.count, 4);  // a turned box: four strips
    EXPECT_TRUE(Zero(lines.first));
}

// The strips of a box turned by 45 degrees cover every point of the box
// (within the pixel its corners were truncated to).
TEST(LabelPlacement, StripsCoverARotatedBox) {
    for (double angle : {kPi / 4, 0.3, 2.0, -0.7}) {
        int cx[4], cy[4];
        BuildRotatedLabelBox(300, 300, 80, 14, angle, 0, cx, cy);
        OccupiedSpan strips[4];
        ASSERT_EQ(SplitRotatedBoxIntoStrips(cx, cy, strips), 4) << angle;
        for (double u = 0; u <= 80; u += 0.5) {
            for (double v = 0; v <= 14; v += 0.5) {
                double px = 300 + u * std::cos(angle) - v * std::sin(angle);
                double py = 300 + u * std::sin(angle) + v * std::cos(angle);
                bool covered = false;
                for (const OccupiedSpan &s : strips)
                    if (px >= s.x1 - 1 && px <= s.x2 + 1 && py >= s.y1 - 1 && py <= s.y2 + 1)
                        covered = true;
                EXPECT_TRUE(covered) << angle << " " << u << "," << v;
            }
        }
    }
    // Upright (within 0.05 of a right angle either side): one box.
    int cx[4], cy[4];
    OccupiedSpan strips[4];
    BuildRotatedLabelBox(300, 300, 80, 14, 0, 0, cx, cy);
    EXPECT_EQ(SplitRotatedBoxIntoStrips(cx, cy, strips), 1);
    EXPECT_EQ(strips[0].x1, 300);
    EXPECT_EQ(strips[0].x2, 380);
    EXPECT_EQ(strips[0].y1, 300);
    EXPECT_EQ(strips[0].y2, 314);
    BuildRotatedLabelBox(300, 300, 80, 14, kPi / 2, 0, cx, cy);
    EXPECT_EQ(SplitRotatedBoxIntoStrips(cx, cy, strips), 1);
}

TEST(LabelPlacement, SpanSetGrowsBy300UpToItsCeiling) {
    Set set(0, 0, 10, 10);
    for (int i = 0; i < 301; i++) ASSERT_EQ(AddOccupiedSpan(&set.s, i, i, 5, 1), 1);
    EXPECT_EQ(set.s.count, 301);
    EXPECT_EQ(set.s.capacity, 600);
    EXPECT_EQ(set.s.spans[300].y1, 1);
    EXPECT_EQ(set.s.spans[300].y2, 5);
    for (int i = 301; i < kSpanCeiling; i++) AddOccupiedSpan(&set.s, i, i, 0, 0);
    EXPECT_EQ(set.s.count, kSpanCeiling);
    EXPECT_EQ(set.s.capacity, kSpanCeiling);
    // The next span is dropped; the array never wraps round to a smaller one.
    EXPECT_EQ(AddOccupiedSpan(&set.s, 1, 2, 3, 4), 1);
    EXPECT_EQ(set.s.count, kSpanCeiling);
    EXPECT_EQ(set.s.capacity, kSpanCeiling);
    EXPECT_EQ(set.s.spans[kSpanCeiling - 1].x1, kSpanCeiling - 1);
    EXPECT_EQ(AddOccupiedSpan(nullptr, 1, 2, 3, 4), 0);
}

TEST(LabelPlacement, MergeNeverGrowsTheDestination) {
    Set src(0, 0, 10, 10), fresh(0, 0, 10, 10), roomy(0, 0, 10, 10);
    for (int i = 0; i < 5; i++) AddOccupiedSpan(&src.s, i, i + 1, 0, 1);
    EXPECT_EQ(MergeOccupiedSpans(&fresh.s, &src.s), 0);  // capacity 0: nothing copied
    EXPECT_EQ(fresh.s.count, 0);
    AddOccupiedSpan(&roomy.s, 100, 101, 0, 0);
    EXPECT_EQ(MergeOccupiedSpans(&roomy.s, &src.s), 1);
    ASSERT_EQ(roomy.s.count, 6);
    EXPECT_EQ(roomy.s.spans[5].x1, 4);
}

// A dense chart: hundreds of symbols with every kind of placement. Every
// box a placement adds is inside the window and overlaps nothing that was
// there before it; every call ends.
TEST(LabelPlacement, DenseChartNeverOverlapsOrLeavesTheWindow) {
    std::mt19937 rng(12345);
    Set set(20, 10, 820, 610);
    const int flagSets[][2] = {{kPlaceRing, 0},        {kPlaceRing, 1},    {kPlaceCorner, 0},
                               {kPlaceCentred, 0},     {kPlaceAlong, 0},   {kPlaceAlongHalf, 0},
                               {0, 3},                 {kPlaceWide, 6},    {kPlaceRing | kPlaceWide, 0},
                               {kPlaceOneSide, 4},     {kPlaceRing | kPlaceNarrowDiagonals, 0}};
    int placed = 0;
    for (int i = 0; i < 600; i++) {
        int sx = 20 + (int)(rng() % 800), sy = 10 + (int)(rng() % 600);
        int r = (int)(rng() % 9), w = 10 + (int)(rng() % 70), h = 6 + (int)(rng() % 10);
        const int *f = flagSets[rng() % (sizeof flagSets / sizeof flagSets[0])];
        int before = set.s.count;
        std::vector<OccupiedSpan> old(set.s.spans, set.s.spans + before);
        int x, y, flipped;
        LeaderLines lines;
        int result = PlaceChartLabel(&set.s, 1.5, sx, sy, r, w, h, &x, &y, &lines, f[0], f[1],
                                     (int)(rng() % 3600), &flipped);
        if (!result) {
            EXPECT_EQ(set.s.count, before);
            continue;
        }
        placed++;
        ASSERT_GT(set.s.count, before);
        for (int k = before; k < set.s.count; k++) {
            const OccupiedSpan &n = set.s.spans[k];
            EXPECT_GE(n.x1, 20);
            EXPECT_LT(n.x2, 820);
            EXPECT_GE(n.y1, 10);
            EXPECT_LT(n.y2, 610);
            for (const OccupiedSpan &o : old) {
                bool apart = n.x2 < o.x1 || o.x2 < n.x1 || n.y2 < o.y1 || o.y2 < n.y1;
                EXPECT_TRUE(apart) << "label " << i;
            }
        }
    }
    EXPECT_GT(placed, 100);
}

}  // namespace
