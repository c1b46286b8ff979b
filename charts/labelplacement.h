// The label placer: finds a free place for a label of a given size near a
// symbol, so that labels neither leave the chart window nor overlap one
// another or anything marked as occupied. The occupied places are closed
// boxes (a box that only touches one overlaps it). Screen pixels, y down.
#pragma once
#include <cstdint>

struct OccupiedSpan {
    int32_t x1, x2, y1, y2;  // y1 <= y2 (the set orders them); x1 <= x2 is the caller's
};

struct OccupiedSpanSet {
    uint16_t count;
    uint16_t capacity;
    int32_t left, top, right, bottom;  // the window every label stays inside
    OccupiedSpan *spans;
};

// Two leader lines (start x, start y, end x, end y); four zeros: no line.
struct LeaderLines {
    int32_t first[4];
    int32_t second[4];
};

const int kSpanGrowth = 300;
const int kSpanCeiling = 65400;

// Placement flags.
const int kPlaceRing = 0x1;          // kind 0 ring around a point, kind 1 two-sided
const int kPlaceOneSide = 0x4;
const int kPlaceCorner = 0x8;
const int kPlaceNarrowDiagonals = 0x10;
const int kPlaceCentred = 0x20;
const int kPlaceAlongHalf = 0x40;     // direction placement, half a height out
const int kPlaceAlong = 0x80;         // direction placement, a height out
const int kPlaceWide = 0x1000;
const int kPlaceNoLeader = 0x2000;

// Results of the side placement for vertical texts.
const int kPlacedUpwards = -1;
const int kPlacedDownwards = -2;

int InitOccupiedSpans(OccupiedSpanSet *set, int left, int top, int right, int bottom);
void SetOccupiedWindow(OccupiedSpanSet *set, int left, int top, int right, int bottom);
void FreeOccupiedSpans(OccupiedSpanSet *set);
// 0 for no set, else 1 (also when the span was dropped for want of room:
// a set holds at most 65,400 spans).
int AddOccupiedSpan(OccupiedSpanSet *set, int x1, int x2, int y1, int y2);
int AppendOccupiedSpan(OccupiedSpanSet *set, const OccupiedSpan *span);
// Copies the source's spans to the end of the destination while it has room;
// never grows it. 0 as soon as it is full (or no sets), 1 when all went.
int MergeOccupiedSpans(OccupiedSpanSet *destination, const OccupiedSpanSet *source);
int SpansOverlap(int x1, int x2, int y1, int y2, int X1, int X2, int Y1, int Y2);

// 0 when no free place was found (the set unchanged); else the label's
// top-left (or anchor) in x, y, its box added to the set, and 1, or -1/-2
// for the upward/downward vertical texts of the side placement. gap in
// pixels; (sx, sy) the symbol's centre, r its radius; w, h the label's size;
// direction in tenths of a degree (direction placement).
int PlaceChartLabel(OccupiedSpanSet *set, double gap, int sx, int sy, int r, int w, int h, int *x,
                    int *y, LeaderLines *lines, int flags, int kind, int direction, int *flipped);

// The rotated label box of the direction placement: the corners (0,0),
// (w,0), (w,H), (0,H) with H = h, or -h when flipped, turned by angle about
// (x, y), each truncated towards zero.
void BuildRotatedLabelBox(int x, int y, int w, int h, double angle, int flipped, int cornersX[4],
                          int cornersY[4]);
// Covers a rotated box with upright strips: one when the box is upright
// within 0.05 of a right angle (as a fraction of it), else four vertical
// strips, each reaching over the whole of the box within its x range.
// Returns the number of strips (1 or 4).
int SplitRotatedBoxIntoStrips(const int cornersX[4], const int cornersY[4], OccupiedSpan strips[4]);
