// The small geometry routines the chart layers share: range overlap with the
// 2 pi wrap, great-circle stepping, position angles turned into the chart,
// object symbol sizes, the local pixel scale, and the star symbol radius and
// shade. Angles are radians.
#pragma once
#include <cstdint>

struct ChartContext;
struct DeepSkyPlotItem;

// 1 when the sky boxes (longitudes a1..a2 and c1..c2, latitudes b1..b2 and
// d1..d2) overlap; ends count, and a longitude range may run through 0.
int RangesOverlap(double a1, double a2, double b1, double b2, double c1, double c2, double d1,
                  double d2);
// 1 when both the x and the y ranges overlap (ends included).
int RectanglesOverlap(int x1, int x2, int y1, int y2, int X1, int X2, int Y1, int Y2);

struct GreatCircleSteps {
    double startRightAscension, startDeclination;
    double endRightAscension, endDeclination;
    int32_t east;       // 1: the end lies east of the start by less than pi
    double arc;         // g, the arc length
    double course;      // A, the initial course from the north
    double step;        // g / (n - 1)
};
// n points from start (i = 0) to end (i = n - 1) along the great circle.
// 0 (every step then gives the start) for no record or n below 2.
int BeginGreatCircleSteps(GreatCircleSteps *record, double startRightAscension,
                          double startDeclination, double endRightAscension, double endDeclination,
                          int n);
void GetGreatCircleStep(const GreatCircleSteps *record, int i, double *rightAscension,
                        double *declination);

// The position angle turned into the chart frame; unchanged in frame 1 or
// when a conversion fails.
double AdjustPositionAngleToChart(ChartContext *chart, double rightAscension, double declination,
                                  double positionAngle);
// Fills the item's sizes in pixels and drawing angle (item->angle holds the
// position angle on entry). Sizes 0 on a failed conversion or projection.
void ComputeObjectSymbolSize(ChartContext *chart, double rightAscension, double declination,
                             double majorAxis, double minorAxis, DeepSkyPlotItem *item);
// Pixels per radian at the point, measured over n pixels in x; 0 when n is 0
// or on a failure.
double GetLocalPixelScale(ChartContext *chart, double rightAscension, double declination, int n);
// Pixels, never negative.
double GetStarSymbolRadius(const ChartContext *chart, double magnitude);
// 0 (faint) to 50 (bright).
int GetStarShade(const ChartContext *chart, double magnitude);
