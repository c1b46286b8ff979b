// The occupied-span set and the label placer: ring, two-sided, corner,
// centred, direction (rotated text) and side placements.
#include "charts/labelplacement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/mathutil.h"

namespace {

int RoundAway(double v) { return (int)(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5)); }

// Truncation towards zero of a corner that the rotation left a rounding
// error short of a whole pixel (80 x cos 0 can come out 79.99999999 in the
// x87 unit) is taken at that pixel, so an upright box stays upright.
int TruncSnapped(double v) {
    double r = std::round(v);
    return (int)(std::fabs(v - r) < 1e-9 ? r : v);
}

bool Overlaps(const OccupiedSpanSet *set, int x1, int x2, int y1, int y2) {
    for (int i = 0; i < set->count; i++) {
        const OccupiedSpan &s = set->spans[i];
        if (SpansOverlap(x1, x2, y1, y2, s.x1, s.x2, s.y1, s.y2)) return true;
    }
    return false;
}

// Inside the window and free. Both ends of each pair are tested, whichever
// way round they come (an upward vertical text's far end lies above it).
bool Accept(const OccupiedSpanSet *set, int x, int farX, int y, int farY) {
    int x1 = std::min(x, farX), x2 = std::max(x, farX);
    int y1 = std::min(y, farY), y2 = std::max(y, farY);
    if (x1 < set->left || x2 >= set->right || y1 < set->top || y2 >= set->bottom) return false;
    return !Overlaps(set, x1, x2, y1, y2);
}

void SetLine(int32_t line[4], int a, int b, int c, int d) {
    line[0] = a;
    line[1] = b;
    line[2] = c;
    line[3] = d;
}

int PlaceRing(OccupiedSpanSet *set, int G, int G3, int sx, int sy, int r, int w, int h, int *outX,
              int *outY, LeaderLines *lines, int flags) {
    for (int ring = 0; ring < 12; ring++) {
        int U = (ring == 0 && G3 < r && !(flags & kPlaceWide)) ? 0 : ((ring + 1) * h) / 2;
        int D = r + G3 + U, D0 = r + G3;
        int Dd = (5 * D) / 7, Dd0 = (5 * D0) / 7;
        if (flags & kPlaceNarrowDiagonals) {
            Dd = (5 * Dd) / 7;
            Dd0 = (5 * Dd0) / 7;
        }
        int g = (ring > 0 || r < 4 || (flags & kPlaceWide)) ? G : 0;
        struct Candidate {
            int ax, ay, lx, ly, dy, dx;
        } c[10] = {
            {sx + Dd, sy - Dd, sx + Dd0, sy - Dd0, h / 2, g},
            {sx + D, sy, sx + D0, sy, h / 2, g},
            {sx + Dd, sy + Dd, sx + Dd0, sy + Dd0, h / 2, g},
            {sx, sy - D, sx, sy - D0, (2 * h) / 3, g},
            {sx, sy + D, sx, sy + D0, h / 2, g},
            {sx, sy - D, sx, sy - D0, (2 * h) / 3, -w + g},
            {sx, sy + D, sx, sy + D0, h / 2, -w - g},
            {sx - Dd, sy - Dd, sx - Dd0, sy - Dd0, h / 2, -w - g},
            {sx - D, sy, sx - D0, sy, h / 2, -w - g},
            {sx - Dd, sy + Dd, sx - Dd0, sy + Dd0, h / 2, -w - g},
        };
        for (const Candidate &k : c) {
            int x = k.ax + k.dx, y = k.ay - k.dy;
            if (!Accept(set, x, x + w, y, y + h)) continue;
            AddOccupiedSpan(set, x, x + w, y, y + h);
            *outX = x;
            *outY = y;
            if (!((flags & kPlaceNoLeader) || (ring == 0 && r > 3)))
                SetLine(lines->first, k.lx, k.ly, k.ax, k.ay);
            return 1;
        }
    }
    return 0;
}

int PlaceTwoSided(OccupiedSpanSet *set, int G, int G3, int sx, int sy, int r, int w, int h,
                  int *outX, int *outY, LeaderLines *lines, int flags) {
    for (int ring = 0; ring < 4; ring++) {
        int U = (2 * (ring + 1) * h) / 3;
        int D = r + G3 + U, D0 = r + G3, Dd = (5 * D) / 7, Dd0 = (5 * D0) / 7;
        int up = ring == 0 ? h : (2 * h) / 3;
        struct Candidate {
            int ax, ay, l1x, l1y, l2sx, l2sy, l2ex, l2ey, dy, dx;
        } c[10] = {
            {sx + D, sy, sx + D0, sy, sx - D0, sy, sx - D, sy, h / 2, G},
            {sx - D, sy, sx - D0, sy, sx + D0, sy, sx + D, sy, h / 2, -(w + G)},
            {sx + Dd, sy - Dd, sx + Dd0, sy - Dd0, sx - Dd0, sy + Dd0, sx - Dd, sy + Dd, h / 2, G},
            {sx + Dd, sy + Dd, sx + Dd0, sy + Dd0, sx - Dd0, sy - Dd0, sx - Dd, sy - Dd, h / 2, G},
            {sx, sy - D, sx, sy - D0, sx, sy + D0, sx, sy + D, up, G},
            {sx, sy + D, sx, sy + D0, sx, sy - D0, sx, sy - D, h / 4, G},
            {sx, sy - D, sx, sy - D0, sx, sy + D0, sx, sy + D, up, -(w + G)},
            {sx, sy + D, sx, sy + D0, sx, sy - D0, sx, sy - D, h / 4, G - w},
            {sx - Dd, sy - Dd, sx - Dd0, sy - Dd0, sx + Dd0, sy + Dd0, sx + Dd, sy + Dd, h / 2, -(w + G)},
            {sx - Dd, sy + Dd, sx - Dd0, sy + Dd0, sx + Dd0, sy - Dd0, sx + Dd, sy - Dd, h / 2, -(w + G)},
        };
        for (const Candidate &k : c) {
            int x = k.ax + k.dx, y = k.ay - k.dy;
            if (!Accept(set, x, x + w, y, y + h)) continue;
            AddOccupiedSpan(set, x, x + w, y, y + h);
            *outX = x;
            *outY = y;
            if (!(flags & kPlaceNoLeader)) SetLine(lines->first, k.l1x, k.l1y, k.ax, k.ay);
            SetLine(lines->second, k.l2sx, k.l2sy, k.l2ex, k.l2ey);
            return 1;
        }
    }
    return 0;
}

int PlaceCorner(OccupiedSpanSet *set, int sx, int sy, int r, int w, int h, int *outX, int *outY) {
    const int c[4][2] = {{sx - r, sy - r - h}, {sx + r - w, sy - r - h}, {sx - r, sy + r},
                         {sx + r - w, sy + r}};
    for (const auto &k : c) {
        if (!Accept(set, k[0], k[0] + w, k[1], k[1] + h)) continue;
        AddOccupiedSpan(set, k[0], k[0] + w, k[1], k[1] + h);
        *outX = k[0];
        *outY = k[1];
        return 1;
    }
    return 0;
}

// A label that would start left of or above the window is moved to the
// window's edge (the window may be offset on the drawing surface).
int PlaceCentred(OccupiedSpanSet *set, int sx, int sy, int w, int h, int *outX, int *outY) {
    const int ys[3] = {sy - h / 2, sy - 2 * h - h / 2, sy + 2 * h - h / 2};
    for (int y0 : ys) {
        int x = sx - w / 2, y = y0;
        if (x < set->left) x = set->left;
        if (y < set->top) y = set->top;
        if (x > set->right) x = set->right - w;
        if (y > set->bottom) y = set->bottom - h;
        if (!Accept(set, x, x + w, y, y + h)) continue;
        AddOccupiedSpan(set, x, x + w, y, y + h);
        *outX = x;
        *outY = y;
        return 1;
    }
    return 0;
}

int PlaceAlongDirection(OccupiedSpanSet *set, int sx, int sy, int w, int h, int *outX, int *outY,
                        int flags, int direction, int *flipped) {
    int tries[2] = {direction, direction + 1800 > 3600 ? direction - 1800 : direction + 1800};
    for (int dir : tries) {
        int flip = (dir > 900 && dir <= 2700) ? 1 : 0;
        *flipped = flip;
        double theta = kPi / 2 - dir * 0.1 * kPi / 180;
        double Z = (flags & kPlaceAlong) ? (double)h : h / 2.0;
        int zx = RoundAway(Z * std::cos(theta)), zy = RoundAway(Z * std::sin(theta));
        int x = flip ? sx + zx : sx - zx, y = flip ? sy + zy : sy - zy;
        int cx[4], cy[4];
        BuildRotatedLabelBox(x, y, w, h, theta - kPi / 2, flip, cx, cy);
        OccupiedSpan strips[4];
        int n = SplitRotatedBoxIntoStrips(cx, cy, strips);
        bool ok = true;
        for (int i = 0; i < n && ok; i++) {
            const OccupiedSpan &s = strips[i];
            if (s.x1 < set->left || s.x2 >= set->right || s.y1 < set->top || s.y2 >= set->bottom ||
                Overlaps(set, s.x1, s.x2, s.y1, s.y2))
                ok = false;
        }
        if (!ok) continue;
        for (int i = 0; i < n; i++)
            AddOccupiedSpan(set, strips[i].x1, strips[i].x2, strips[i].y1, strips[i].y2);
        *outX = x;
        *outY = y;
        return 1;
    }
    return 0;
}

int PlaceSide(OccupiedSpanSet *set, int G3, int sx, int sy, int r, int w, int h, int *outX,
              int *outY, LeaderLines *lines, int flags, int kind) {
    static const int kOrder[8][4] = {{0, 1, 2, 3}, {0, 1, 2, 3}, {1, 2, 3, 0}, {1, 2, 3, 0},
                                     {2, 3, 0, 1}, {3, 0, 1, 2}, {3, 0, 1, 2}, {3, 0, 1, 2}};
    // Bit s: side s is skipped in rings 0 and 1.
    static const int kSkipped[8] = {1 << 2, (1 << 2) | (1 << 3), 1 << 3, (1 << 0) | (1 << 3),
                                    1 << 0, (1 << 0) | (1 << 1), 1 << 1, (1 << 1) | (1 << 2)};
    int sides[4], sideCount, skipped = 0;
    if (flags & kPlaceOneSide) {
        if (kind != 0 && kind != 2 && kind != 4 && kind != 6) return 0;
        sides[0] = kind / 2;
        sideCount = 1;
    } else {
        if (kind < 0 || kind > 7) return 0;
        std::memcpy(sides, kOrder[kind], sizeof sides);
        sideCount = 4;
        skipped = kSkipped[kind];
    }
    int rings = (flags & kPlaceWide) ? 5 : 1;
    int E = (flags & kPlaceWide) ? h / 2 : 0;
    int D0 = r + G3;
    for (int ring = 0; ring < rings; ring++) {
        int K = ring * h + r + E;
        for (int i = 0; i < sideCount; i++) {
            int side = sides[i];
            if (ring <= 1 && (skipped & (1 << side))) continue;
            int x, farX, y, farY, lx, ly, result;
            switch (side) {
            case 0: x = sx - h / 2; farX = x + h; y = sy - K; farY = y - w; lx = sx; ly = sy - D0; result = kPlacedUpwards; break;
            case 1: x = sx + K; farX = x + w; y = sy - h / 2; farY = y + h; lx = sx + D0; ly = sy; result = 1; break;
            case 2: x = sx + (2 * h) / 3; farX = x + h; y = sy + K; farY = y + w; lx = sx; ly = sy + D0; result = kPlacedDownwards; break;
            default: farX = sx - K; x = farX - w; y = sy - h / 2; farY = y + h; lx = sx - D0; ly = sy; result = 1; break;
            }
            if (!Accept(set, x, farX, y, farY)) continue;
            AddOccupiedSpan(set, x, farX, y, farY);
            *outX = x;
            *outY = y;
            if (ring != 0 && !(flags & kPlaceNoLeader)) SetLine(lines->first, lx, ly, x, y);
            return result;
        }
    }
    return 0;
}

}  // namespace

int InitOccupiedSpans(OccupiedSpanSet *set, int left, int top, int right, int bottom) {
    if (!set) return 0;
    set->count = 0;
    set->capacity = 0;
    set->spans = nullptr;
    SetOccupiedWindow(set, left, top, right, bottom);
    return 0;
}

void SetOccupiedWindow(OccupiedSpanSet *set, int left, int top, int right, int bottom) {
    if (!set) return;
    set->left = left;
    set->top = top;
    set->right = right;
    set->bottom = bottom;
}

void FreeOccupiedSpans(OccupiedSpanSet *set) {
    if (!set) return;
    std::free(set->spans);
    set->spans = nullptr;
    set->count = 0;
    set->capacity = 0;
}

int AppendOccupiedSpan(OccupiedSpanSet *set, const OccupiedSpan *span) {
    if (!set || !span) return 0;
    if (set->count >= set->capacity) {
        // The new capacity is worked out in int: in 16 bits 65,400 + 300
        // would wrap round and shrink the array under its spans.
        int grown = (int)set->capacity + kSpanGrowth;
        if (grown > kSpanCeiling) return 0;
        void *p = std::realloc(set->spans, (size_t)grown * sizeof(OccupiedSpan));
        if (!p) return 0;
        set->spans = (OccupiedSpan *)p;
        set->capacity = (uint16_t)grown;
    }
    set->spans[set->count++] = *span;
    return 1;
}

int AddOccupiedSpan(OccupiedSpanSet *set, int x1, int x2, int y1, int y2) {
    if (!set) return 0;
    OccupiedSpan s{x1, x2, std::min(y1, y2), std::max(y1, y2)};
    AppendOccupiedSpan(set, &s);
    return 1;
}

int MergeOccupiedSpans(OccupiedSpanSet *destination, const OccupiedSpanSet *source) {
    if (!destination || !source) return 0;
    for (int i = 0; i < source->count; i++) {
        if (destination->count >= destination->capacity) return 0;
        destination->spans[destination->count++] = source->spans[i];
    }
    return 1;
}

int SpansOverlap(int x1, int x2, int y1, int y2, int X1, int X2, int Y1, int Y2) {
    if (x2 < X1 || X2 < x1) return 0;
    if (std::max(y1, y2) < std::min(Y1, Y2) || std::max(Y1, Y2) < std::min(y1, y2)) return 0;
    return 1;
}

void BuildRotatedLabelBox(int x, int y, int w, int h, double angle, int flipped, int cornersX[4],
                          int cornersY[4]) {
    int H = flipped ? -h : h;
    const int u[4] = {0, w, w, 0}, v[4] = {0, 0, H, H};
    for (int i = 0; i < 4; i++) {
        double d = std::sqrt((double)u[i] * u[i] + (double)v[i] * v[i]);
        double a = ComputeQuadrantArcTangent(v[i], u[i]);
        cornersX[i] = TruncSnapped(x + d * std::cos(a + angle));
        cornersY[i] = TruncSnapped(y + d * std::sin(a + angle));
    }
}

int SplitRotatedBoxIntoStrips(const int cornersX[4], const int cornersY[4], OccupiedSpan strips[4]) {
    int order[4] = {0, 1, 2, 3};
    // Corners of equal x come out top first, so that an upright box's first
    // and third corners lie on one horizontal edge.
    std::sort(order, order + 4, [&](int a, int b) {
        return cornersX[a] != cornersX[b] ? cornersX[a] < cornersX[b] : cornersY[a] < cornersY[b];
    });
    int ymin = *std::min_element(cornersY, cornersY + 4);
    int ymax = *std::max_element(cornersY, cornersY + 4);
    int x1 = cornersX[order[0]], x4 = cornersX[order[3]];
    double e = ComputeQuadrantArcTangent(cornersY[order[2]] - cornersY[order[0]],
                                         cornersX[order[2]] - cornersX[order[0]]);
    double frac = GetFractionalPart(std::fabs(e) * 2 / kPi);
    if (frac < 0.05 || frac > 0.95) {
        strips[0] = OccupiedSpan{x1, x4, ymin, ymax};
        return 1;
    }
    // Each strip reaches over the box wherever it lies within the strip's x
    // range: the edges' heights at both ends of the strip and any corner
    // inside it bound the (convex) box there.
    double f = (x4 - x1) / 4.0;
    for (int i = 0; i < 4; i++) {
        int xs = x1 + RoundAway(i * f), xe = x1 + RoundAway((i + 1) * f);
        double lo = ymax, hi = ymin;
        for (int k = 0; k < 4; k++) {
            int a = k, b = (k + 1) % 4;
            double ax = cornersX[a], ay = cornersY[a], bx = cornersX[b], by = cornersY[b];
            if (ax >= xs && ax <= xe) {
                lo = std::min(lo, ay);
                hi = std::max(hi, ay);
            }
            for (int X : {xs, xe}) {
                if (X < std::min(ax, bx) || X > std::max(ax, bx) || ax == bx) continue;
                double yv = ay + (by - ay) * (X - ax) / (bx - ax);
                lo = std::min(lo, yv);
                hi = std::max(hi, yv);
            }
        }
        int y1 = std::max(ymin, (int)std::floor(lo)), y2 = std::min(ymax, (int)std::ceil(hi));
        if (y1 > y2) std::swap(y1, y2);
        strips[i] = OccupiedSpan{xs, xe, y1, y2};
    }
    return 4;
}

int PlaceChartLabel(OccupiedSpanSet *set, double gap, int sx, int sy, int r, int w, int h, int *x,
                    int *y, LeaderLines *lines, int flags, int kind, int direction, int *flipped) {
    LeaderLines none;
    std::memset(&none, 0, sizeof none);
    if (lines) *lines = none;
    if (flipped) *flipped = 0;
    if (!set || !x || !y || !lines || !flipped) return 0;
    int G = RoundAway(gap), G3 = RoundAway(3 * gap);
    if ((flags & kPlaceRing) && kind == 0)
        return PlaceRing(set, G, G3, sx, sy, r, w, h, x, y, lines, flags);
    if ((flags & kPlaceRing) && kind == 1)
        return PlaceTwoSided(set, G, G3, sx, sy, r, w, h, x, y, lines, flags);
    if (flags & kPlaceCorner) return PlaceCorner(set, sx, sy, r, w, h, x, y);
    if (flags & kPlaceCentred) return PlaceCentred(set, sx, sy, w, h, x, y);
    if (flags & (kPlaceAlong | kPlaceAlongHalf))
        return PlaceAlongDirection(set, sx, sy, w, h, x, y, flags, direction, flipped);
    return PlaceSide(set, G3, sx, sy, r, w, h, x, y, lines, flags, kind);
}
