// Chart projections: a rotation of the sphere that brings the chart's
// reference point to the projection's pole, one of nine map projections, a
// shift and a rotation of the window about its centre. Angles are radians;
// longitudes 0..2 pi, latitudes -pi/2..pi/2; pixels are integers with y
// growing downwards (before the chart's mirroring). Formulas: Snyder, "Map
// Projections: A Working Manual", USGS Professional Paper 1395 (1987).
#pragma once
#include <cstdint>

// Projection kinds.
const int kProjectionRectangular = 1;   // equidistant cylindrical
const int kProjectionGnomonic = 2;      // tangent at longitude 0, latitude 0
const int kProjectionStereographic = 3; // polar, about the pole
const int kProjectionOrthographic = 4;  // polar, one hemisphere
const int kProjectionHammerAitoff = 5;
const int kProjectionMercator = 6;
const int kProjectionConic = 7;         // Lambert conformal conic
const int kProjectionSinusoidal = 8;
const int kProjectionMercatorKept = 9;  // Mercator with the latitude limit kept; becomes 6

struct ChartProjection;
typedef int (*ProjectionForward)(ChartProjection *p, double longitude, double latitude, int *x,
                                 int *y, double *exactX, double *exactY);
typedef int (*ProjectionInverse)(ChartProjection *p, double x, double y, double *longitude,
                                 double *latitude);

struct ChartProjection {
    int32_t kind;
    double windowAngle;
    int32_t windowCentreX, windowCentreY;
    int32_t windowWidth, windowHeight;
    double sinAngle, cosAngle, sinNegAngle, cosNegAngle;
    int32_t mapWidth, mapHeight;   // W, H
    int32_t mapCentreX, mapCentreY; // x0 = W / 2, y0 = H / 2
    int32_t north;                 // 1 latitude as given; 0 negated (south at the top)
    double parameter;              // P, per kind
    double derivedParameter;       // conic: phi1; Mercator: the ordinate of P (Mlim)
    double secondParameter;        // conic: phi2; gnomonic: the longitude limit
    double coneConstant;           // n
    double coneFactor;             // F
    double poleLongitude, poleLatitude;
    int32_t shiftX, shiftY;
    double scale;                  // s, pixels per unit of the projection plane
    ProjectionForward forward;
    ProjectionInverse inverse;
    // cos and sin of -(pi/2 - pole latitude), cos and sin of the pole longitude.
    double rotation[4];
    int32_t inside;                // set when the last point lay in the valid area
};

// Sets up the projection. The latitude band (upper - lower) is the field the
// window's width (sizeFromWidth 1) or height (0) must show. Returns 1, or 0
// for no record, a kind outside 1-9, or a set-up that has no map: an empty or
// non-finite band or window, a gnomonic band of pi or more, a stereographic
// cap outside (0, pi], a Mercator limit outside (0, pi/2), conic standard
// parallels whose cone constant is 0 (phi1 = -phi2) or which lie at a pole,
// or a map too large to address in pixels. Equal conic parallels give the
// tangent cone (n = sin phi1). Nothing is usable after a 0.
int InitChartProjection(ChartProjection *p, int windowWidth, int windowHeight,
                        double lowerLatitude, double upperLatitude, double poleLongitude,
                        double poleLatitude, double parameter, double secondParameter, int north,
                        int shiftX, int shiftY, int windowOffsetX, int windowOffsetY,
                        double windowAngle, int sizeFromWidth, int kind);

// Sky -> pixel. Non-zero when the point lies in the valid area. Kinds 2 and 6
// write the pixel also when they return 0 beyond their longitude or latitude
// limit; the other kinds write nothing then. exactX/exactY (optional) get
// the same point before truncation.
int ProjectToChart(ChartProjection *p, double longitude, double latitude, int *x, int *y,
                   double *exactX = nullptr, double *exactY = nullptr);
// Pixel -> sky (the pixel's centre). 1 when the pixel maps to the sky.
int UnprojectFromChart(ChartProjection *p, int x, int y, double *longitude, double *latitude);

// The part of the sky a window of that size at the projection's window
// offset shows. A maximum longitude below the minimum is raised by 2 pi.
void GetProjectionExtent(ChartProjection *p, int windowWidth, int windowHeight,
                         double *longitudeMin, double *longitudeMax, double *latitudeMin,
                         double *latitudeMax);

// The sphere rotation alone: sky -> the pole's frame and back.
void RotateToProjectionPole(const ChartProjection *p, double *longitude, double *latitude);
void RotateFromProjectionPole(const ChartProjection *p, double *longitude, double *latitude);

// W from the scale when W is 0; H from W when H is 0 (W / 2 for kinds 1, 5
// and 8, else W), then y0; pixels per radian at the map's reference point
// (0 when W is 0).
void SetProjectionMapWidth(ChartProjection *p);
void SetProjectionMapHeight(ChartProjection *p);
double GetProjectionMapScale(const ChartProjection *p);
