// The chart context: chart time against ERFA's sidereal times, the frames
// against ERFA's apparent places, horizon and ecliptic, pixels and sky both
// ways in every frame and mirroring, the centre set-up's refusals, and the
// shared geometry (ranges, great circles, symbols).
#include "charts/chartcontext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "astro/nutation.h"
#include "charts/chartgeometry.h"
#include "charts/charttime.h"
#include "charts/deepskyitem.h"
#include "charts/starreader.h"
#include "core/mathutil.h"
#include "testutil/testutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kDeg = kPi / 180;
const double kArcsec = kDeg / 3600;

class Chart : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
#ifdef GLEANER_HAVE_ERFA
        // The nutation series, as the program loads it at start-up (made by
        // the generator in tools/, which runs where ERFA does: natively).
        nutation = new testutil::TempDir;
        std::string command = "python3 \"" + testutil::SourceDir() + "/tools/gen_nutcon.py\" --out \"" +
                              nutation->path() + "\" > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        ASSERT_EQ(LoadNutationTable((nutation->path() + "/").c_str()), 1);
#endif
    }
    static void TearDownTestSuite() {
        FreeNutationTable();
        delete nutation;
        nutation = nullptr;
    }
    void SetUp() override {
        c.reset(new ChartContext);
        std::memset(c.get(), 0, sizeof *c);
        ASSERT_EQ(ClearStarReader(c.get()), 1);
        // 40 N, 75 W (longitude positive west), 100 m, 10 C, 50 %, zone -5.
        ASSERT_EQ(SetChartSite(c.get(), 75 * kDeg, 40 * kDeg, 100, 6.5, 0, 10, 50, 2, 0, -5), 1);
        ASSERT_EQ(SetStarSearchLimits(c.get(), 6.5, 1, 1, 100, 1, 0, 1, 1, 1), 1);
    }
    // A chart of the given frame and kind looking at (ra, dec).
    int Look(int frame, int kind, double ra, double dec, double field, int mirrorY = 1,
             int mirrorX = 1) {
        c->frameMode = (uint8_t)frame;
        c->field = field;
        c->windowWidth = 800;
        c->windowHeight = 600;
        c->windowOffsetX = 0;
        c->windowOffsetY = 0;
        c->centring = 1;
        c->mirrorY = (uint8_t)mirrorY;
        c->mirrorX = (uint8_t)mirrorX;
        ChooseProjectionKind(c.get(), kind, frame, field);
        return SetChartCentre(c.get(), ra, dec, 0, 0, 0, 0, 0);
    }
    static testutil::TempDir *nutation;
    std::unique_ptr<ChartContext> c;
};
testutil::TempDir *Chart::nutation = nullptr;

TEST_F(Chart, TimeAtJ2000HoldsBothDatesCompletedForTheSite) {
    ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
    EXPECT_EQ(std::memcmp(&c->currentDate, &c->savedDate, sizeof c->savedDate), 0);
    EXPECT_DOUBLE_EQ(+c->savedDate.julianDate, 2451545.0);
    EXPECT_EQ(+c->savedDate.year, 2000);
    EXPECT_EQ(+c->savedDate.month, 1);
    EXPECT_EQ(+c->savedDate.day, 1);
    EXPECT_NEAR(+c->savedDate.localHours, 7.0, 1e-4);  // 12 h UT at zone -5
    EXPECT_GT(c->extinctionCoefficient, 0.05);
    EXPECT_LT(c->extinctionCoefficient, 1.0);
#ifdef GLEANER_HAVE_ERFA
    double tt = 2451545.0 - 2451545.0 + c->savedDate.deltaT;
    double gmst = eraGmst82(2451545.0, 0.0);
    double gast = eraGst06a(2451545.0, 0.0, 2451545.0, tt);
    EXPECT_NEAR(std::remainder(c->savedDate.greenwichMeanSidereal - gmst, 2 * kPi), 0, 0.01 * kArcsec * 15);
    EXPECT_NEAR(std::remainder(c->savedDate.localApparentSidereal - (gast - 75 * kDeg), 2 * kPi), 0,
                0.1 * kArcsec * 15);
#endif
}

TEST_F(Chart, AdvancesAreUndoneExactlyByRestore) {
    ASSERT_EQ(SetChartDate(c.get(), 3, 20, 2024, 4.5), 1);
    DateRecord set = c->savedDate;
    double k = c->extinctionCoefficient;
    ASSERT_EQ(AdvanceChartTime(c.get(), 0), 1);
    EXPECT_EQ(std::memcmp(&c->currentDate, &set, sizeof set), 0);
    for (double days : {0.25, 40.0, -3.0}) ASSERT_EQ(AdvanceChartTime(c.get(), days), 1);
    EXPECT_NEAR(+c->currentDate.julianDate, set.julianDate + 37.25, 1e-9);
    EXPECT_EQ(+c->currentDate.month, 4);                      // into April ...
    EXPECT_NE(c->extinctionCoefficient, k);                  // ... with April's extinction
    EXPECT_EQ(std::memcmp(&c->savedDate, &set, sizeof set), 0);  // the chart time stays
    ASSERT_EQ(RestoreChartTime(c.get()), 1);
    EXPECT_EQ(std::memcmp(&c->currentDate, &set, sizeof set), 0);
    EXPECT_EQ(c->extinctionCoefficient, k);
    EXPECT_EQ(SetChartTime(nullptr, 1), 0);
    EXPECT_EQ(AdvanceChartTime(nullptr, 1), 0);
    EXPECT_EQ(RestoreChartTime(nullptr), 0);
}

TEST_F(Chart, LocalDateTakesTheZoneEastPositive) {
    // 22 h local at zone -5 (five hours west) is 3 h UT the next day.
    ASSERT_EQ(SetChartLocalDate(c.get(), 6, 30, 2025, 22.0), 1);
    EXPECT_NEAR(+c->savedDate.julianDate, 2460857.5 + 3.0 / 24, 1e-9);  // 2025-07-01 03h UT
    ASSERT_EQ(SetChartSite(c.get(), -135 * kDeg, 35 * kDeg, 0, 6.5, 0, 10, 50, 2, 0, 9), 1);
    ASSERT_EQ(SetChartLocalDate(c.get(), 1, 1, 2025, 6.0), 1);  // zone +9
    EXPECT_NEAR(+c->savedDate.julianDate, 2460676.5 - 3.0 / 24, 1e-9);  // 2024-12-31 21h UT
    EXPECT_STREQ(c->site.name, "name here");
}

#ifdef GLEANER_HAVE_ERFA
// Frames 1, 2, 3 and 5 of a star with proper motion against ERFA at a few
// dates: apparent place (eraAtci13 with the equation of the origins), the
// horizon from the apparent sidereal time (eraHd2ae), the ecliptic of date
// (true obliquity: eraObl80 + the nutation in obliquity).
TEST_F(Chart, FramesAgreeWithErfa) {
    const double ra0 = 101.287 * kDeg, dec0 = -16.716 * kDeg;  // a Sirius-like star
    const double pmRa = -0.546 * kArcsec, pmDec = -1.223 * kArcsec;  // per year
    int horizonChecked = 0;
    for (double jd : {2451545.0, 2455000.3, 2460600.8, 2460700.65}) {
        ASSERT_EQ(SetChartTime(c.get(), jd), 1);
        double tt2 = jd - 2451545.0 + c->savedDate.deltaT;
        double ri, di, eo;
        eraAtci13(ra0, dec0, pmRa / std::cos(dec0), pmDec, 0, 0, 2451545.0, tt2, &ri, &di, &eo);
        double raApp = eraAnp(ri - eo);

        c->frameMode = kFrameApparent;
        double a = ra0, d = dec0;
        ASSERT_EQ(ConvertToChartFrame(c.get(), &a, &d, pmRa, pmDec), 1);
        EXPECT_LT(eraSeps(a, d, raApp, di), 1.0 * kArcsec) << jd;

        c->frameMode = kFrameJ2000;
        a = ra0, d = dec0;
        ASSERT_EQ(ConvertToChartFrame(c.get(), &a, &d, pmRa, pmDec), 1);
        double years = (jd - 2451545.0) / 365.25;
        EXPECT_NEAR(d, dec0 + pmDec * years, 0.01 * kArcsec) << jd;

        double gast = eraGst06a(2451545.0, jd - 2451545.0, 2451545.0, tt2);
        double ha = gast - 75 * kDeg - raApp, az, el;
        eraHd2ae(ha, di, 40 * kDeg, &az, &el);
        c->frameMode = kFrameHorizon;
        a = ra0, d = dec0;
        int r = ConvertToChartFrame(c.get(), &a, &d, pmRa, pmDec);
        EXPECT_EQ(r, el >= c->site.horizonDip ? 1 : 0) << jd;
        double chartAz = eraAnp(2 * kPi - (az - kPi));  // 2 pi - azimuth from the south (westwards)
        EXPECT_LT(eraSeps(a, d, chartAz, el), 2.0 * kArcsec) << jd;

        double eps = eraObl80(2451545.0, tt2), dpsi, deps;
        eraNut80(2451545.0, tt2, &dpsi, &deps);
        eps += deps;
        double x = std::cos(di) * std::cos(raApp), y = std::cos(di) * std::sin(raApp), z = std::sin(di);
        double ye = y * std::cos(eps) + z * std::sin(eps), ze = -y * std::sin(eps) + z * std::cos(eps);
        c->frameMode = kFrameEcliptic;
        a = ra0, d = dec0;
        ASSERT_EQ(ConvertToChartFrame(c.get(), &a, &d, pmRa, pmDec), 1);
        EXPECT_LT(eraSeps(a, d, std::atan2(ye, x), std::asin(ze)), 1.0 * kArcsec) << jd;

        // Galactic: the chart's IAU 1958 (B1950) route against ERFA's ICRS
        // one, which differ by the old definitions' level (under 1").
        c->frameMode = kFrameGalactic;
        a = ra0, d = dec0;
        ASSERT_EQ(ConvertToChartFrame(c.get(), &a, &d, pmRa, pmDec), 1);
        double gl, gb;
        eraIcrs2g(ra0, dec0, &gl, &gb);
        EXPECT_LT(eraSeps(a, d, gl, gb), 1.0 * kArcsec) << jd;

        // Apparent horizon: ERFA's altitude with the refraction of the
        // site's air (eraRefco at 100 m, 10 C, 50 %) added, above 20 deg
        // where the refraction formulas agree to a few arcseconds. The
        // magnitude gains the extinction.
        if (el > 20 * kDeg) {
            horizonChecked++;
            double refa, refb;
            eraRefco(1013.25 * std::exp(-100 / 8150.0), 10.0, 0.5, 0.55, &refa, &refb);
            double z = kPi / 2 - el, tz = std::tan(z);
            double observed = el + refa * tz + refb * tz * tz * tz;
            c->frameMode = kFrameApparentHorizon;
            a = ra0, d = dec0;
            double magnitude = -1.46;
            ASSERT_EQ(ConvertToChartFrame(c.get(), &a, &d, pmRa, pmDec, &magnitude), 1);
            EXPECT_NEAR(d, observed, 15 * kArcsec) << jd;
            EXPECT_NEAR(std::remainder(a - chartAz, 2 * kPi), 0, 2 * kArcsec / std::cos(el)) << jd;
            EXPECT_GT(magnitude, -1.46) << jd;
        }

        // and back to the catalogue place in every frame
        for (int frame = 1; frame <= 6; frame++) {
            c->frameMode = (uint8_t)frame;
            a = ra0, d = dec0;
            if (ConvertToChartFrame(c.get(), &a, &d, pmRa, pmDec) != 1) continue;
            ASSERT_EQ(ConvertFromChartFrame(c.get(), &a, &d, frame == 6 ? 0 : pmRa, frame == 6 ? 0 : pmDec), 1);
            // Frame 4 goes through refraction and back: the two refraction
            // formulas agree to a few arcseconds.
            EXPECT_LT(eraSeps(a, d, ra0, dec0), (frame == 4 ? 5 : 0.05) * kArcsec)
                << "frame " << frame << " " << jd;
        }
    }
    EXPECT_GT(horizonChecked, 0);
}
#endif

TEST_F(Chart, HorizonFramesRefuseWhatIsBelowTheHorizon) {
    ASSERT_EQ(SetChartTime(c.get(), 2460600.8), 1);
    // The celestial pole as seen from 40 N stands at altitude 40; its
    // opposite never rises.
    for (int frame : {kFrameHorizon, kFrameApparentHorizon}) {
        EXPECT_EQ(Look(frame, 0, 0.0, 89.9 * kDeg, 30 * kDeg), 1) << frame;
        int x, y;
        EXPECT_EQ(SkyToScreen(c.get(), 1.0, -80 * kDeg, 0, 0, &x, &y), 0) << frame;
        EXPECT_EQ(Look(frame, 0, 0.0, -80 * kDeg, 30 * kDeg), 0) << frame;
    }
    double az = 0, alt = 0;
    double ra = 0.3, dec = -80 * kDeg;
    EXPECT_EQ(ConvertCatalogueToHorizontal(c.get(), &ra, &dec, 1), 0);
    ra = 0.3;
    dec = 60 * kDeg;
    ASSERT_EQ(ConvertCatalogueToHorizontal(c.get(), &ra, &dec, 1), 1);
    az = ra;
    alt = dec;
    ASSERT_EQ(ConvertHorizontalToCatalogue(c.get(), &az, &alt), 1);
    EXPECT_LT(AngularSeparation(az, alt, 0.3, 60 * kDeg), 0.1 * kArcsec);
}

// Every frame, both mirror settings, several kinds: a pixel goes to the sky
// and back within a pixel.
TEST_F(Chart, PixelsAndSkyRoundTripInEveryFrameAndMirroring) {
    ASSERT_EQ(SetChartTime(c.get(), 2460600.8), 1);
    for (int frame = 1; frame <= 6; frame++) {
        for (int mirror = 0; mirror < 4; mirror++) {
            for (double field : {0.5 * kDeg, 20 * kDeg, 90 * kDeg}) {
                SCOPED_TRACE("frame " + std::to_string(frame) + " mirror " + std::to_string(mirror) +
                             " field " + std::to_string(field));
                // Look at something above the horizon in the horizon frames.
                ASSERT_EQ(Look(frame, 0, 0.2, 70 * kDeg, field, mirror & 1, mirror >> 1), 1);
                int tried = 0;
                for (int x = 10; x < 800; x += 97)
                    for (int y = 7; y < 600; y += 83) {
                        double ra, dec;
                        if (!ScreenToSky(c.get(), x, y, &ra, &dec)) continue;
                        int px, py;
                        if (!SkyToScreen(c.get(), ra, dec, 0, 0, &px, &py)) continue;
                        EXPECT_LE(std::abs(px - x), 1) << x << "," << y;
                        EXPECT_LE(std::abs(py - y), 1) << x << "," << y;
                        tried++;
                    }
                EXPECT_GT(tried, 30);
                // The centre lands in the middle of the window.
                int cx, cy;
                ASSERT_NE(SkyToScreen(c.get(), 0.2, 70 * kDeg, 0, 0, &cx, &cy), 0);
                EXPECT_LE(std::abs(cx - 399), 1);
                EXPECT_LE(std::abs(cy - 299), 1);
                // Places of date go both ways too.
                double pr, pd;
                ASSERT_EQ(ScreenToPlaceOfDate(c.get(), 200, 150, &pr, &pd), 1);
                int qx, qy;
                ASSERT_NE(PlaceOfDateToScreen(c.get(), pr, pd, &qx, &qy), 0);
                EXPECT_LE(std::abs(qx - 200), 1);
                EXPECT_LE(std::abs(qy - 150), 1);
            }
        }
    }
}

TEST_F(Chart, MirrorFlagsFlipAboutTheWindow) {
    ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
    c->windowOffsetX = 30;
    c->windowOffsetY = -20;
    int x1, y1, x0, y0;
    auto look = [&](int my, int mx) {
        c->frameMode = kFrameApparent;
        c->field = 10 * kDeg;
        c->windowWidth = 800;
        c->windowHeight = 600;
        c->centring = 1;
        c->mirrorY = (uint8_t)my;
        c->mirrorX = (uint8_t)mx;
        ChooseProjectionKind(c.get(), 0, kFrameApparent, c->field);
        return SetChartCentre(c.get(), 1.0, 0.3, 0, 0, 0, 0, 0);
    };
    ASSERT_EQ(look(1, 1), 1);
    ASSERT_NE(SkyToScreen(c.get(), 1.03, 0.33, 0, 0, &x1, &y1), 0);
    ASSERT_EQ(look(0, 0), 1);
    ASSERT_NE(SkyToScreen(c.get(), 1.03, 0.33, 0, 0, &x0, &y0), 0);
    EXPECT_EQ(c->visibleLeft, 30);
    EXPECT_EQ(c->visibleRight, 829);
    EXPECT_EQ(c->visibleTop, 20);
    EXPECT_EQ(c->visibleBottom, 619);
    EXPECT_EQ(y0, 20 + 619 - y1);
    EXPECT_EQ(x0, 30 + 829 - x1);
    // Both flipped, north is up and east to the right; with x kept, east is
    // to the left (as the sky looks overhead).
    int cx, cy;
    ASSERT_NE(SkyToScreen(c.get(), 1.0, 0.3, 0, 0, &cx, &cy), 0);
    EXPECT_LT(y0, cy);
    EXPECT_GT(x0, cx);
    ASSERT_EQ(look(0, 1), 1);
    ASSERT_NE(SkyToScreen(c.get(), 1.03, 0.33, 0, 0, &x0, &y0), 0);
    ASSERT_NE(SkyToScreen(c.get(), 1.0, 0.3, 0, 0, &cx, &cy), 0);
    EXPECT_LT(y0, cy);
    EXPECT_LT(x0, cx);
}

TEST_F(Chart, CentreRefusesAChartWithoutAField) {
    ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
    EXPECT_EQ(Look(kFrameApparent, 1, 1.0, 0.2, 0.0), 0);
    EXPECT_EQ(Look(kFrameApparent, 1, 1.0, 0.2, -1.0), 0);
    EXPECT_EQ(Look(kFrameApparent, 10, 1.0, 0.2, 1.0), 0);  // no kind 10
    EXPECT_EQ(SetChartCentre(nullptr, 1, 1, 0, 0, 0, 0, 0), 0);
    int x, y;
    double ra, dec;
    EXPECT_EQ(SkyToScreen(nullptr, 1, 1, 0, 0, &x, &y), 0);
    EXPECT_EQ(ScreenToSky(nullptr, 1, 1, &ra, &dec), 0);
}

TEST_F(Chart, ProjectionKindBoundaries) {
    struct Case {
        int kind, frame;
        double fieldDeg;
        int expect;
    } cases[] = {
        {0, 1, 0.99, 2},  {0, 1, 1.0, 3},   {0, 1, 59.9, 3}, {0, 1, 60.0, 1}, {0, 1, 359.0, 1},
        {0, 1, 360.0, 5}, {0, 4, 360.0, 1}, {0, 3, 400.0, 5}, {7, 1, 0.5, 7},
    };
    for (const Case &k : cases)
        EXPECT_EQ(ChooseProjectionKind(c.get(), k.kind, k.frame, k.fieldDeg * kDeg), k.expect)
            << k.fieldDeg << " frame " << k.frame;
}

TEST(ChartGeometry, RangesOverlapAcrossZero) {
    struct Case {
        double a1, a2, c1, c2;
        int expect;
    } cases[] = {
        {350, 10, 5, 20, 1},    // through 0 against one just after it
        {5, 20, 350, 10, 1},    // the other way round
        {350, 10, 340, 355, 1},
        {350, 10, 20, 30, 0},
        {100, 120, 350, 15, 0},
        {10, 20, 20, 30, 1},    // ends included
        {10, 20, 21, 30, 0},
        {-10, 10, 355, 358, 1}, // negative ends
    };
    for (const Case &k : cases)
        EXPECT_EQ(RangesOverlap(k.a1 * kDeg, k.a2 * kDeg, 0, 0.1, k.c1 * kDeg, k.c2 * kDeg, 0.05, 0.2),
                  k.expect)
            << k.a1 << "-" << k.a2 << " vs " << k.c1 << "-" << k.c2;
    // disjoint latitudes never overlap
    EXPECT_EQ(RangesOverlap(0, 1, 0, 0.1, 0, 1, 0.11, 0.2), 0);
    EXPECT_EQ(RangesOverlap(0, 1, 0, 0.1, 0, 1, 0.1, 0.2), 1);
    EXPECT_EQ(RectanglesOverlap(0, 10, 0, 10, 10, 20, 10, 20), 1);
    EXPECT_EQ(RectanglesOverlap(0, 10, 0, 10, 11, 20, 0, 10), 0);
}

// Points along the arc against the normalised interpolation of the two unit
// vectors (slerp), which needs no course or direction.
void Slerp(double ra1, double d1, double ra2, double d2, double f, double *ra, double *dec) {
    double p[3] = {std::cos(d1) * std::cos(ra1), std::cos(d1) * std::sin(ra1), std::sin(d1)};
    double q[3] = {std::cos(d2) * std::cos(ra2), std::cos(d2) * std::sin(ra2), std::sin(d2)};
    double g = std::acos(std::fmin(1, p[0] * q[0] + p[1] * q[1] + p[2] * q[2]));
    double a = std::sin((1 - f) * g) / std::sin(g), b = std::sin(f * g) / std::sin(g);
    double v[3] = {a * p[0] + b * q[0], a * p[1] + b * q[1], a * p[2] + b * q[2]};
    *ra = std::atan2(v[1], v[0]);
    if (*ra < 0) *ra += 2 * kPi;
    *dec = std::asin(v[2] / std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
}

TEST(ChartGeometry, GreatCircleStepsLieOnTheArc) {
    struct Case {
        double ra1, d1, ra2, d2;
    } cases[] = {
        {0.3, 0.2, 1.4, 0.9}, {6.0, -0.5, 0.4, 0.3}, {2.0, 0.1, 1.2, -1.2}, {1.0, 1.0, 4.0, 0.8},
    };
    for (const Case &k : cases) {
        GreatCircleSteps s;
        ASSERT_EQ(BeginGreatCircleSteps(&s, k.ra1, k.d1, k.ra2, k.d2, 2), 1);
        double ra, dec;
        GetGreatCircleStep(&s, 0, &ra, &dec);
        EXPECT_EQ(ra, k.ra1);
        EXPECT_EQ(dec, k.d1);
        GetGreatCircleStep(&s, 1, &ra, &dec);
        EXPECT_LT(AngularSeparation(ra, dec, k.ra2, k.d2), 1e-9);
        ASSERT_EQ(BeginGreatCircleSteps(&s, k.ra1, k.d1, k.ra2, k.d2, 9), 1);
        for (int i = 0; i < 9; i++) {
            double er, ed;
            GetGreatCircleStep(&s, i, &ra, &dec);
            Slerp(k.ra1, k.d1, k.ra2, k.d2, i / 8.0, &er, &ed);
            EXPECT_LT(AngularSeparation(ra, dec, er, ed), 1e-9) << i;
        }
    }
    // Degenerate arcs give numbers, never NaN.
    GreatCircleSteps s;
    double ra, dec;
    ASSERT_EQ(BeginGreatCircleSteps(&s, 1.0, 0.5, 1.0, 0.5, 5), 1);  // start = end
    for (int i = 0; i < 5; i++) {
        GetGreatCircleStep(&s, i, &ra, &dec);
        EXPECT_LT(AngularSeparation(ra, dec, 1.0, 0.5), 1e-9);
    }
    ASSERT_EQ(BeginGreatCircleSteps(&s, 0.0, kPi / 2, 2.0, 0.2, 5), 1);  // from the pole
    for (int i = 0; i < 5; i++) {
        GetGreatCircleStep(&s, i, &ra, &dec);
        double er, ed;
        Slerp(0.0, kPi / 2, 2.0, 0.2, i / 4.0, &er, &ed);
        EXPECT_LT(AngularSeparation(ra, dec, er, ed), 1e-9) << i;
    }
    EXPECT_EQ(BeginGreatCircleSteps(&s, 0.1, 0.1, 0.2, 0.2, 1), 0);  // one point: no step
    GetGreatCircleStep(&s, 3, &ra, &dec);
    EXPECT_EQ(ra, 0.1);
    EXPECT_EQ(dec, 0.1);
    ASSERT_EQ(BeginGreatCircleSteps(&s, 0.5, 0.3, 0.5 + kPi, -0.3, 3), 1);  // antipodes
    GetGreatCircleStep(&s, 1, &ra, &dec);
    EXPECT_FALSE(std::isnan(ra) || std::isnan(dec));
}

TEST(ChartGeometry, StarShadeAndRadius) {
    std::unique_ptr<ChartContext> c(new ChartContext);
    std::memset(c.get(), 0, sizeof *c);
    ClearStarReader(c.get());
    // limit 6.5: span 8, so magnitude 2.5 is half way (25)
    SetStarSearchLimits(c.get(), 6.5, 1, 0, 100, 1, 0, 1, 1, 1);
    EXPECT_EQ(GetStarShade(c.get(), 2.5), 25);
    EXPECT_EQ(GetStarShade(c.get(), 6.5), 0);
    EXPECT_EQ(GetStarShade(c.get(), 9.0), 0);
    EXPECT_EQ(GetStarShade(c.get(), -5.0), 50);
    c->limitingMagnitude = 12;  // span 10
    EXPECT_EQ(GetStarShade(c.get(), 7), 25);
    c->limitingMagnitude = -2;  // no span left
    EXPECT_EQ(GetStarShade(c.get(), -3), 50);
    // linear law: radius = trunc((6.5 - m) x 1) + 0; never negative
    SetStarSearchLimits(c.get(), 6.5, 2, 0, 100, 1, 0, 1, 1, 1);
    EXPECT_EQ(GetStarSymbolRadius(c.get(), 2.5), 8);  // (4 x 2 zoom) = 8
    EXPECT_EQ(GetStarSymbolRadius(c.get(), 9.0), 0);
    // brightness law: (10^((6.5 - 0.75) / 11.5) - 1) x 3.2 = 6.919...; + (3 - 1)
    SetStarSearchLimits(c.get(), 6.5, 1, 1, 100, 3, 0, 1, 1, 1);
    EXPECT_EQ(GetStarSymbolRadius(c.get(), 0.75), 6 + 2);
    EXPECT_EQ(GetStarSymbolRadius(c.get(), 30), 0);
    // a size factor below 1 scales by 1 - (1 - f) / 4
    SetStarSearchLimits(c.get(), 6.5, 1, 0, 100, 1, 0, 1, 1, 0.6);
    EXPECT_DOUBLE_EQ(c->sizeScale, 0.9);
}

TEST_F(Chart, SymbolSizesAndLocalScale) {
    ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
    ASSERT_EQ(Look(kFrameJ2000, 0, 1.0, 0.3, 2 * kDeg), 1);  // stereographic
    double ppr = c->pixelsPerRadian;
    EXPECT_NEAR(GetLocalPixelScale(c.get(), 1.0, 0.3, 20), ppr, ppr * 0.01);
    EXPECT_EQ(GetLocalPixelScale(c.get(), 1.0, 0.3, 0), 0);
    DeepSkyPlotItem item{};
    item.angle = 0.7;
    ComputeObjectSymbolSize(c.get(), 1.0, 0.3, 0.1 * kDeg, 0.1 * kDeg, &item);
    EXPECT_EQ(item.majorSize, (int)std::floor(0.1 * kDeg * ppr + 0.5));
    EXPECT_EQ(item.minorSize, item.majorSize);
    EXPECT_EQ(item.angle, 0);
    // A galaxy 0.2 x 0.1 deg at position angle 90 (east): drawn along x.
    item = DeepSkyPlotItem{};
    item.angle = kPi / 2;
    ComputeObjectSymbolSize(c.get(), 1.0, 0.3, 0.2 * kDeg, 0.1 * kDeg, &item);
    EXPECT_NEAR(item.majorSize, 0.2 * kDeg * ppr, 1.5);
    EXPECT_NEAR(item.minorSize, item.majorSize / 2.0, 1);
    EXPECT_NEAR(std::fabs(std::sin(item.angle)), 0, 0.02);
    item = DeepSkyPlotItem{};
    ComputeObjectSymbolSize(c.get(), 1.0, 0.3, 0, 0, &item);
    EXPECT_EQ(item.majorSize, 0);
    // Position angles: unchanged in frame 1; in the galactic frame the
    // north of the equator is turned by the angle between the two poles' great circles.
    EXPECT_EQ(AdjustPositionAngleToChart(c.get(), 1.0, 0.3, 0.5), 0.5);
    c->frameMode = kFrameGalactic;
    double turned = AdjustPositionAngleToChart(c.get(), 1.0, 0.3, 0.0);
    EXPECT_GT(std::fabs(std::remainder(turned, 2 * kPi)), 0.1);
}

TEST_F(Chart, FiltersSelectionsAndDisplayBlock) {
    ASSERT_EQ(SetChartTime(c.get(), 2460600.8), 1);
    c->centreRightAscension = 1.0;
    c->centreDeclination = 0.5;
    SetChartImagingFilter(c.get(), nullptr, 2, 1, 0, 600, 1);
    EXPECT_EQ(c->imagingFilterOn, 1);
    EXPECT_EQ(c->camera, 2);
    EXPECT_FALSE(IsEstimatedSunMoonState(&c->sunMoon));
    SetChartImagingFilter(c.get(), nullptr, -1, 1, 0, 600, 0);
    EXPECT_EQ(c->imagingFilterOn, 0);
    EXPECT_TRUE(IsEstimatedSunMoonState(&c->sunMoon));
    SetChartImagingFilter(c.get(), nullptr, 0, 1, 0, 600, 0);
    EXPECT_EQ(c->imagingFilterOn, 1);
    SetChartVisualFilter(c.get(), nullptr, nullptr, 21.5);
    EXPECT_EQ(c->imagingFilterOn, 0);
    EXPECT_EQ(c->filterMagnitude, 21.5);
    std::unique_ptr<uint8_t[]> block(new uint8_t[kDisplayBlockSize]);
    for (int i = 0; i < kDisplayBlockSize; i++) block[i] = (uint8_t)(i * 7);
    c->displayBlockFlag = 1;
    EXPECT_EQ(SetChartDisplayBlock(c.get(), block.get(), 12, -3), 1);
    EXPECT_EQ(c->displayBlockFlag, 0);
    EXPECT_EQ(std::memcmp(c->displayBlock, block.get(), kDisplayBlockSize), 0);
    EXPECT_EQ(c->displayValues[1], -3);
    EXPECT_EQ(SetChartDisplayBlock(nullptr, block.get(), 0, 0), 0);
    c->selectedObjectType = 4;
    ClearStarReader(c.get());
    EXPECT_EQ(c->selectedObjectType, 0);
    EXPECT_EQ(c->limitingMagnitude, 6.5);
    EXPECT_EQ(c->projection.kind, 1);
}

}  // namespace
