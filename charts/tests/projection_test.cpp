// Chart projections: every kind maps forward and back over a grid of points,
// agrees with Snyder's general (oblique) formulas and worked examples
// ("Map Projections: A Working Manual", USGS 1987), shows the sky the same
// way up, and refuses set-ups that have no map.
#include "charts/projection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/mathutil.h"

namespace {

const double kDeg = kPi / 180;

struct KindCase {
    int kind;
    double centreLon, centreLat;  // where the chart looks
    double field;                 // radians
    double parameter, second;
};

// Sets a projection up the way a chart does: the pole half a turn above the
// centre for the cylindrical, gnomonic and Hammer kinds, on the centre for
// the polar kinds; shifted so the centre lands in the window's middle.
int SetUpChart(ChartProjection *p, const KindCase &c, int north, double angle, int w = 640,
          int h = 480) {
    bool above = c.kind == 1 || c.kind == 2 || c.kind == 5 || c.kind == 6 || c.kind == 9 ||
                 c.kind == 8;
    double poleLon = c.centreLon, poleLat = c.centreLat + (above ? kPi / 2 : 0);
    if (c.kind == 7) {
        poleLon = 0;
        poleLat = kPi / 2;
    } else if (!north && (c.kind == 3 || c.kind == 4)) {
        // South up: the polar kinds centre on their frame's south pole.
        poleLon = c.centreLon + kPi;
        poleLat = -c.centreLat;
    }
    double lower = std::fabs(c.centreLat) - c.field / 2, upper = lower + c.field;
    if (!InitChartProjection(p, w, h, lower, upper, poleLon, poleLat, c.parameter, c.second, north,
                             0, 0, 0, 0, 0, 1, c.kind))
        return 0;
    int cx, cy;
    if (!ProjectToChart(p, c.centreLon, c.centreLat, &cx, &cy)) return 0;
    return InitChartProjection(p, w, h, lower, upper, poleLon, poleLat, c.parameter, c.second,
                               north, cx - (w - 1) / 2, cy - (h - 1) / 2, 0, 0, angle, 1, c.kind);
}

const KindCase kKinds[] = {
    {1, 1.0, 0.3, 40 * kDeg, 0, 0},
    {2, 2.0, 0.5, 0.5 * kDeg, 0, 0},
    {3, 4.0, -0.6, 30 * kDeg, kPi / 2, 0},
    {4, 5.0, 0.9, 90 * kDeg, 0, 0},
    {5, 3.0, 0.0, 2 * kPi, 0, 0},
    {6, 0.5, 0.2, 50 * kDeg, kPi / 2, 0},
    {7, 0.0, 0.0, 40 * kDeg, 20 * kDeg, 60 * kDeg},
    {8, 6.0, 0.0, 2 * kPi, 0, 0},
    {9, 1.5, -0.1, 50 * kDeg, 75 * kDeg, 0},
};

TEST(Projection, EveryKindRoundTripsWithinAPixel) {
    for (const KindCase &c : kKinds) {
        for (int north = 0; north <= 1; north++) {
            for (double angle : {0.0, 0.4}) {
                ChartProjection p;
                // The conic's cone is fixed to its parallels: a south-up
                // chart uses the negated parallels.
                KindCase k = c;
                if (c.kind == 7 && !north) k.centreLat = -0.6;
                ASSERT_EQ(SetUpChart(&p, k, north, angle), 1) << "kind " << c.kind;
                int tried = 0;
                for (int x = 5; x < 640; x += 37) {
                    for (int y = 3; y < 480; y += 29) {
                        double lon, lat;
                        if (!UnprojectFromChart(&p, x, y, &lon, &lat)) continue;
                        int px, py;
                        double ex, ey;
                        ASSERT_NE(ProjectToChart(&p, lon, lat, &px, &py, &ex, &ey), 0)
                            << "kind " << c.kind << " north " << north << " at " << x << "," << y;
                        EXPECT_LE(std::fabs(px - x), 1) << "kind " << c.kind << " n" << north << " a" << angle << " " << x << "," << y;
                        EXPECT_LE(std::fabs(py - y), 1) << "kind " << c.kind << " n" << north << " a" << angle << " " << x << "," << y;
                        // and back once more: the sky point is stable
                        double lon2, lat2;
                        ASSERT_EQ(UnprojectFromChart(&p, px, py, &lon2, &lat2), 1);
                        tried++;
                    }
                }
                EXPECT_GT(tried, 100) << "kind " << c.kind << " north " << north;
            }
        }
    }
}

// Snyder's general formulas for an aspect centred on (lon0, lat0), unit sphere.
void SnyderGnomonic(double lat1, double lon0, double lat, double lon, double *x, double *y) {
    double cosc = std::sin(lat1) * std::sin(lat) + std::cos(lat1) * std::cos(lat) * std::cos(lon - lon0);
    *x = std::cos(lat) * std::sin(lon - lon0) / cosc;
    *y = (std::cos(lat1) * std::sin(lat) - std::sin(lat1) * std::cos(lat) * std::cos(lon - lon0)) / cosc;
}
void SnyderStereographic(double lat1, double lon0, double lat, double lon, double *x, double *y) {
    double k = 2 / (1 + std::sin(lat1) * std::sin(lat) +
                    std::cos(lat1) * std::cos(lat) * std::cos(lon - lon0));
    *x = k * std::cos(lat) * std::sin(lon - lon0);
    *y = k * (std::cos(lat1) * std::sin(lat) - std::sin(lat1) * std::cos(lat) * std::cos(lon - lon0));
}
void SnyderOrthographic(double lat1, double lon0, double lat, double lon, double *x, double *y) {
    *x = std::cos(lat) * std::sin(lon - lon0);
    *y = std::cos(lat1) * std::sin(lat) - std::sin(lat1) * std::cos(lat) * std::cos(lon - lon0);
}
void SnyderHammer(double lon0, double lat, double lon, double *x, double *y) {
    double d = lon - lon0;
    while (d > kPi) d -= 2 * kPi;
    while (d < -kPi) d += 2 * kPi;
    double k = std::sqrt(1 + std::cos(lat) * std::cos(d / 2));
    *x = 2 * std::sqrt(2.0) * std::cos(lat) * std::sin(d / 2) / k;
    *y = std::sqrt(2.0) * std::sin(lat) / k;
}

// Before the chart's mirroring every kind draws east to the left (smaller x)
// and north downwards (larger y); so the pixel offset from the chart centre
// is (-x, +y) of Snyder's plane times the kind's pixels per unit.
TEST(Projection, ObliqueAspectsAgreeWithSnydersFormulas) {
    struct Case {
        int kind;
        double lon0, lat0, field, parameter;
        void (*formula)(double, double, double, double, double *, double *);
        double unitsPerPlane;  // pixels per unit of Snyder's plane, from the set-up
    } cases[] = {
        {2, 1.2, 0.7, 20 * kDeg, 0, SnyderGnomonic, 0},
        {3, 4.0, -0.4, 50 * kDeg, kPi / 2, SnyderStereographic, 0},
        {4, 2.5, 0.3, 120 * kDeg, 0, SnyderOrthographic, 0},
    };
    for (const Case &c : cases) {
        ChartProjection p;
        KindCase k{c.kind, c.lon0, c.lat0, c.field, c.parameter, 0};
        ASSERT_EQ(SetUpChart(&p, k, 1, 0, 1000, 1000), 1);
        double units;
        if (c.kind == 2) units = p.scale;
        else if (c.kind == 3) units = p.mapWidth / 2.0 * p.scale / 2;
        else units = p.mapWidth / 2.0;
        double cx, cy;
        int ix, iy;
        ASSERT_EQ(ProjectToChart(&p, c.lon0, c.lat0, &ix, &iy, &cx, &cy), 1);
        for (double dlon = -0.15; dlon <= 0.15; dlon += 0.05) {
            for (double dlat = -0.15; dlat <= 0.15; dlat += 0.05) {
                double lon = c.lon0 + dlon / std::cos(c.lat0), lat = c.lat0 + dlat;
                double ex, ey, sx, sy;
                ASSERT_EQ(ProjectToChart(&p, lon, lat, &ix, &iy, &ex, &ey), 1);
                c.formula(c.lat0, c.lon0, lat, lon, &sx, &sy);
                EXPECT_NEAR(ex - cx, -units * sx, 1e-6 * units) << "kind " << c.kind;
                EXPECT_NEAR(ey - cy, units * sy, 1e-6 * units) << "kind " << c.kind;
            }
        }
    }
}

TEST(Projection, HammerAitoffAgreesWithSnyderAndRefusesPixelsOutsideTheEllipse) {
    ChartProjection p;
    ASSERT_EQ(InitChartProjection(&p, 800, 400, -kPi, kPi, 0, kPi / 2, 0, 0, 1, 0, 0, 0, 0, 0, 1,
                                  kProjectionHammerAitoff),
              1);
    for (double lon : {0.3, 1.7, 3.0, 4.5, 6.0}) {
        for (double lat : {-1.2, -0.4, 0.0, 0.8, 1.4}) {
            int x, y;
            double ex, ey, sx, sy;
            ASSERT_EQ(ProjectToChart(&p, lon, lat, &x, &y, &ex, &ey), 1);
            SnyderHammer(0, lat, lon, &sx, &sy);
            EXPECT_NEAR(ex - p.mapCentreX, -p.scale * sx, 1e-6 * p.scale);
            EXPECT_NEAR(ey - p.mapCentreY, p.scale * sy, 1e-6 * p.scale);
        }
    }
    // The rim lies at u = sqrt 2 on the equator (u = dx / 2s); a pixel at
    // u = 1.5 is outside the map and is no sky point.
    int x = p.mapCentreX + (int)(1.5 * 2 * p.scale);
    double lon, lat;
    EXPECT_EQ(UnprojectFromChart(&p, x, p.mapCentreY, &lon, &lat), 0);
    x = p.mapCentreX + (int)(1.3 * 2 * p.scale);
    EXPECT_EQ(UnprojectFromChart(&p, x, p.mapCentreY, &lon, &lat), 1);
}

// Snyder's worked examples (sphere, R = 1): Mercator p. 266 (lat 35 deg,
// lon 75 W, central meridian 180: x = 1.8325957, y = 0.6528366) and the
// Lambert conformal conic p. 296 (parallels 33 and 45 deg: n = 0.6304777,
// F = 1.9550002; origin 23 N 96 W, point 35 N 75 W: rho = 1.2953636,
// x = 0.2966785, y = 0.2462112).
TEST(Projection, MercatorAndConicMatchSnydersWorkedExamples) {
    ChartProjection m;
    ASSERT_EQ(InitChartProjection(&m, 1000, 1000, -0.5, 0.5, 0, kPi / 2, 80 * kDeg, 0, 1, 0, 0, 0,
                                  0, 0, 1, kProjectionMercatorKept),
              1);
    EXPECT_EQ(m.kind, kProjectionMercator);
    double perRadian = m.mapWidth / (2 * kPi);
    int x, y;
    double ex, ey;
    // Longitude offset 105 deg east of the central meridian (75 W - 180).
    ASSERT_EQ(ProjectToChart(&m, 105 * kDeg, 35 * kDeg, &x, &y, &ex, &ey), 1);
    EXPECT_NEAR((m.mapWidth / 2.0 - ex) / perRadian, 1.8325957, 1e-6);
    EXPECT_NEAR((ey - m.mapHeight / 2.0) / perRadian, 0.6528366, 1e-3 * 1.0);

    ChartProjection c;
    ASSERT_EQ(InitChartProjection(&c, 1000, 1000, 0.2, 0.9, 0, kPi / 2, 33 * kDeg, 45 * kDeg, 1, 0,
                                  0, 0, 0, 0, 1, kProjectionConic),
              1);
    EXPECT_NEAR(c.coneConstant, 0.6304777, 1e-7);
    EXPECT_NEAR(c.coneFactor, 1.9550002, 1e-7);
    double ax, ay, px, py;
    // Plane units: the apex is the map centre, W / 2 pixels per unit of rho / F.
    double unit = c.mapWidth / 2.0 / c.coneFactor;
    ASSERT_EQ(ProjectToChart(&c, 21 * kDeg, 35 * kDeg, &x, &y, &px, &py), 1);
    ASSERT_EQ(ProjectToChart(&c, 0, 23 * kDeg, &x, &y, &ax, &ay), 1);
    double rho = std::hypot(px - c.mapWidth / 2.0, py - c.mapWidth / 2.0) / unit;
    EXPECT_NEAR(rho, 1.2953636, 1e-6);
    EXPECT_NEAR(-(px - ax) / unit, 0.2966785, 1e-6);
    EXPECT_NEAR((py - ay) / unit, 0.2462112, 1e-6);
    // The map scale at the first parallel: W pi / (n 2 pi tan(pi/4 + phi1/2)^n).
    EXPECT_NEAR(GetProjectionMapScale(&c),
                c.mapWidth * kPi / (0.6304777 * 2 * kPi * std::pow(std::tan(kPi / 4 + 16.5 * kDeg), 0.6304777)),
                1e-3);
}

TEST(Projection, KindEdgeCases) {
    ChartProjection p;
    // Kind 6 with a limit of exactly 90 degrees shows up to 60; kind 9 keeps its limit.
    ASSERT_EQ(InitChartProjection(&p, 400, 400, -0.3, 0.3, 0, kPi / 2, kPi / 2, 0, 1, 0, 0, 0, 0,
                                  0, 1, kProjectionMercator), 1);
    EXPECT_DOUBLE_EQ(p.parameter, 60 * kDeg);
    int x, y;
    EXPECT_EQ(ProjectToChart(&p, 0, 61 * kDeg, &x, &y), 0);
    EXPECT_EQ(ProjectToChart(&p, 0, 59 * kDeg, &x, &y), 1);
    ASSERT_EQ(InitChartProjection(&p, 400, 400, -0.3, 0.3, 0, kPi / 2, 80 * kDeg, 0, 1, 0, 0, 0, 0,
                                  0, 1, kProjectionMercatorKept), 1);
    EXPECT_DOUBLE_EQ(p.parameter, 80 * kDeg);
    EXPECT_EQ(ProjectToChart(&p, 0, 79 * kDeg, &x, &y), 1);

    // Kind 3: the cap edge (latitude P) lies on the rim of the W-pixel disc.
    ASSERT_EQ(InitChartProjection(&p, 400, 400, 0, 1.0, 0, kPi / 2, 0.5, 0, 1, 0, 0, 0, 0, 0, 1,
                                  kProjectionStereographic), 1);
    double ex, ey;
    ASSERT_EQ(ProjectToChart(&p, 0.7, kPi / 2 - 0.5, &x, &y, &ex, &ey), 1);
    EXPECT_NEAR(std::hypot(ex - p.mapWidth / 2.0, ey - p.mapWidth / 2.0), p.mapWidth / 2.0, 1e-6);
    EXPECT_EQ(ProjectToChart(&p, 0.7, kPi / 2 - 0.51, &x, &y), 0);
    ASSERT_EQ(ProjectToChart(&p, kPi / 2, kPi / 2 - 0.5, &x, &y), 1);  // on the rim, x = W
    EXPECT_LE(x, p.mapWidth - 1);
    EXPECT_GE(x, 0);

    // Kind 2: nothing more than 135 degrees from the tangent point, and
    // nothing behind the tangent plane, though the pixel is still written.
    ASSERT_EQ(InitChartProjection(&p, 400, 400, -0.2, 0.2, 0, kPi / 2, 0, 0, 1, 0, 0, 0, 0, 0, 1,
                                  kProjectionGnomonic), 1);
    EXPECT_EQ(ProjectToChart(&p, 0.3, 0.1, &x, &y), 1);
    x = y = 12345;
    EXPECT_EQ(ProjectToChart(&p, 140 * kDeg, 0.1, &x, &y), 0);
    EXPECT_NE(x, 12345);
    EXPECT_EQ(ProjectToChart(&p, 100 * kDeg, 0.1, &x, &y), 0);

    // N = 0 centres the polar kinds on the south pole.
    ASSERT_EQ(InitChartProjection(&p, 400, 400, 0, 1.0, 0, kPi / 2, 0.5, 0, 0, 0, 0, 0, 0, 0, 1,
                                  kProjectionStereographic), 1);
    ASSERT_EQ(ProjectToChart(&p, 1.0, -kPi / 2 + 1e-9, &x, &y, &ex, &ey), 1);
    EXPECT_NEAR(ex, p.mapWidth / 2.0, 1e-3);
    EXPECT_EQ(ProjectToChart(&p, 1.0, kPi / 2 - 0.1, &x, &y), 0);
}

// With the default mirroring (y -> top + bottom - y) north must be up and
// east to the same side for every kind: before the mirroring a point north
// of the centre has the larger y, one east of it the smaller x.
TEST(Projection, EveryKindShowsTheSkyTheSameWayUp) {
    for (const KindCase &c : kKinds) {
        ChartProjection p;
        ASSERT_EQ(SetUpChart(&p, c, 1, 0), 1);
        int x0, y0, xn, yn, xe, ye;
        double lat = c.kind == 7 ? 40 * kDeg : c.centreLat;
        ASSERT_NE(ProjectToChart(&p, c.centreLon, lat, &x0, &y0), 0) << c.kind;
        ASSERT_NE(ProjectToChart(&p, c.centreLon, lat + 0.02, &xn, &yn), 0) << c.kind;
        ASSERT_NE(ProjectToChart(&p, c.centreLon + 0.02, lat, &xe, &ye), 0) << c.kind;
        EXPECT_GT(yn, y0) << "north, kind " << c.kind;
        EXPECT_LT(xe, x0) << "east, kind " << c.kind;
    }
}

TEST(Projection, WindowAngleRotatesAboutTheWindowCentre) {
    ChartProjection a, b;
    KindCase c{kProjectionRectangular, 1.0, 0.0, 40 * kDeg, 0, 0};
    ASSERT_EQ(SetUpChart(&a, c, 1, 0), 1);
    ASSERT_EQ(SetUpChart(&b, c, 1, kPi / 2), 1);
    int x, y, rx, ry;
    ASSERT_EQ(ProjectToChart(&a, 1.1, 0.05, &x, &y), 1);
    ASSERT_EQ(ProjectToChart(&b, 1.1, 0.05, &rx, &ry), 1);
    // A quarter turn: (dx, dy) -> (dy, -dx) about (320, 240).
    double dx = x - 320 + 0.5, dy = y - 240 + 0.5;
    EXPECT_NEAR(rx, dy + 320, 1);
    EXPECT_NEAR(ry, -dx + 240, 1);
}

TEST(Projection, SetUpsWithoutAMapAreRefused) {
    struct Case {
        const char *what;
        int w;
        double lower, upper, parameter, second;
        int kind;
    } cases[] = {
        {"kind 0", 400, -0.1, 0.1, 0, 0, 0},
        {"kind 10", 400, -0.1, 0.1, 0, 0, 10},
        {"zero field", 400, 0.3, 0.3, 0, 0, kProjectionRectangular},
        {"negative field", 400, 0.3, 0.2, 0, 0, kProjectionHammerAitoff},
        {"NaN field", 400, std::nan(""), 0.2, 0, 0, kProjectionSinusoidal},
        {"empty window", 0, -0.1, 0.1, 0, 0, kProjectionRectangular},
        {"gnomonic half sky", 400, -1.6, 1.6, 0, 0, kProjectionGnomonic},
        {"stereographic cap 0", 400, -0.1, 0.1, 0, 0, kProjectionStereographic},
        {"stereographic cap beyond pi", 400, -0.1, 0.1, 3.3, 0, kProjectionStereographic},
        {"Mercator limit at the pole", 400, -0.1, 0.1, kPi / 2, 0, kProjectionMercatorKept},
        {"Mercator limit 0", 400, -0.1, 0.1, 0, 0, kProjectionMercator},
        {"conic opposite parallels", 400, -0.1, 0.1, 0.5, -0.5, kProjectionConic},
        {"conic equator tangent", 400, -0.1, 0.1, 0, 0, kProjectionConic},
        {"conic parallel at a pole", 400, -0.1, 0.1, kPi / 2, 0.5, kProjectionConic},
        {"map too large", 400, 0, 1e-12, 0, 0, kProjectionRectangular},
    };
    for (const Case &c : cases) {
        ChartProjection p;
        EXPECT_EQ(InitChartProjection(&p, c.w, 300, c.lower, c.upper, 0, kPi / 2, c.parameter,
                                      c.second, 1, 0, 0, 0, 0, 0, 1, c.kind),
                  0)
            << c.what;
    }
    EXPECT_EQ(InitChartProjection(nullptr, 400, 300, -0.1, 0.1, 0, kPi / 2, 0, 0, 1, 0, 0, 0, 0, 0,
                                  1, 1),
              0);
    // Equal parallels make the tangent cone, n = sin phi1.
    ChartProjection p;
    ASSERT_EQ(InitChartProjection(&p, 400, 300, 0.3, 0.7, 0, kPi / 2, 0.5, 0.5, 1, 0, 0, 0, 0, 0, 1,
                                  kProjectionConic), 1);
    EXPECT_NEAR(p.coneConstant, std::sin(0.5), 1e-12);
    // A Mercator band that reaches past the pole is cut short of it.
    ASSERT_EQ(InitChartProjection(&p, 400, 300, 1.0, 2.0, 0, kPi / 2, 70 * kDeg, 0, 1, 0, 0, 0, 0,
                                  0, 1, kProjectionMercatorKept), 1);
    EXPECT_GT(p.mapHeight, 0);
}

TEST(Projection, SphereRotationPlacesThePole) {
    ChartProjection p;
    // The pole a quarter turn above (2.0, 0.3): that point goes to (0, 0).
    ASSERT_EQ(InitChartProjection(&p, 400, 300, -0.1, 0.1, 2.0, 0.3 + kPi / 2, 0, 0, 1, 0, 0, 0, 0,
                                  0, 1, kProjectionRectangular), 1);
    double lon = 2.0, lat = 0.3;
    RotateToProjectionPole(&p, &lon, &lat);
    EXPECT_NEAR(std::fmod(lon + kPi, 2 * kPi) - kPi, 0, 1e-12);
    EXPECT_NEAR(lat, 0, 1e-12);
    // East stays towards larger longitudes.
    lon = 2.01;
    lat = 0.3;
    RotateToProjectionPole(&p, &lon, &lat);
    EXPECT_GT(lon, 0);
    EXPECT_LT(lon, 0.1);
    // The pole on a point: the celestial north pole goes to longitude pi.
    ASSERT_EQ(InitChartProjection(&p, 400, 300, -0.1, 0.1, 2.0, 0.3, kPi / 2, 0, 1, 0, 0, 0, 0, 0,
                                  1, kProjectionStereographic), 1);
    lon = 1.0;
    lat = kPi / 2;
    RotateToProjectionPole(&p, &lon, &lat);
    EXPECT_NEAR(lon, kPi, 1e-9);
    EXPECT_NEAR(lat, 0.3, 1e-9);
    // Forward and back over the sphere, near the poles too.
    for (double lo = 0.1; lo < 6.2; lo += 0.7) {
        for (double la : {-1.5707, -1.2, -0.3, 0.0, 0.9, 1.5707}) {
            double a = lo, b = la;
            RotateToProjectionPole(&p, &a, &b);
            RotateFromProjectionPole(&p, &a, &b);
            EXPECT_LT(AngularSeparation(a, b, lo, la), 1e-9);
        }
    }
}

TEST(Projection, ExtentOfASmallWindowAndOfOneHoldingThePole) {
    ChartProjection p;
    KindCase c{kProjectionStereographic, 1.0, 0.4, 10 * kDeg, kPi / 2, 0};
    ASSERT_EQ(SetUpChart(&p, c, 1, 0), 1);
    double lonMin, lonMax, latMin, latMax;
    GetProjectionExtent(&p, 640, 480, &lonMin, &lonMax, &latMin, &latMax);
    EXPECT_LT(lonMin, 1.0);
    EXPECT_GT(lonMax, 1.0);
    EXPECT_LT(latMin, 0.4);
    EXPECT_GT(latMax, 0.4);
    EXPECT_GT(lonMin, 0.85);  // about 5 deg / cos(0.4) on either side
    EXPECT_LT(lonMax, 1.15);
    EXPECT_GT(latMin, 0.4 - 0.08);
    EXPECT_LT(latMax, 0.4 + 0.08);

    KindCase polar{kProjectionStereographic, 1.0, 1.45, 20 * kDeg, kPi / 2, 0};
    ASSERT_EQ(SetUpChart(&p, polar, 1, 0), 1);
    GetProjectionExtent(&p, 640, 480, &lonMin, &lonMax, &latMin, &latMax);
    EXPECT_EQ(lonMin, 0);
    EXPECT_EQ(lonMax, 2 * kPi);
    EXPECT_EQ(latMax, kPi / 2);
    EXPECT_GT(latMin, 1.45 - 0.2);

    // A window straddling longitude 0 ends above 2 pi.
    KindCase wrap{kProjectionRectangular, 0.02, 0.0, 20 * kDeg, 0, 0};
    ASSERT_EQ(SetUpChart(&p, wrap, 1, 0), 1);
    GetProjectionExtent(&p, 640, 480, &lonMin, &lonMax, &latMin, &latMax);
    EXPECT_GT(lonMin, 6.0);
    EXPECT_GT(lonMax, 2 * kPi);
    EXPECT_NEAR(lonMax - lonMin, 20 * kDeg, 0.01);
}

TEST(Projection, MapSizeHelpers) {
    ChartProjection p;
    ASSERT_EQ(InitChartProjection(&p, 400, 300, -0.2, 0.2, 0, kPi / 2, 0, 0, 1, 0, 0, 0, 0, 0, 1,
                                  kProjectionRectangular), 1);
    int w = p.mapWidth, h = p.mapHeight;
    p.mapWidth = p.mapHeight = 0;
    EXPECT_EQ(GetProjectionMapScale(&p), 0);
    SetProjectionMapWidth(&p);
    SetProjectionMapHeight(&p);
    EXPECT_EQ(p.mapWidth, w);
    EXPECT_EQ(p.mapHeight, h);
    EXPECT_EQ(p.mapCentreY, h / 2);
    EXPECT_NEAR(GetProjectionMapScale(&p), 400 / 0.4, 1);
}

}  // namespace
