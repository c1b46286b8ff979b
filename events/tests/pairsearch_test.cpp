// Tests of the two-body search: its step, the first step, the overlap rule,
// the reciprocal measure, and minima found against independent predictions
// (python3-ephem 4.1.4 with a golden-section search over its places).
#include "events/pairsearch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/sidereal.h"
#include "ephem/tests/ephemfixture.h"
#include "events/eventdates.h"

namespace {

using ephemtest::kArcsecond;
using ephemtest::kDegree;

const double kMinute = 1.0 / 1440.0;

DateRecord DateAt(double jd, const LocationRecord *site = nullptr) {
    DateRecord d;
    SetCompletedDate(site, jd, &d);
    return d;
}

LocationRecord Dallas() {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    // 96.80 W, 32.78 N, 140 m; UT - 6 h.
    InitLocationRecord(&site, 96.80 * kDegree, 32.78 * kDegree, 140.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -6.0, "Dallas");
    return site;
}

TEST(PairSearchSetUp, StepProgressAndFirstStep) {
    LocationRecord site = ephemtest::GeocentreSite();
    DateRecord start = DateAt(2460000.5);
    struct Case {
        double span, step;
    } cases[] = {{10.0, 0.2}, {5.0, 0.1}, {10.5, 1.0}, {20.0, 1.0}};
    for (const Case &c : cases) {
        PairSearch s;
        ASSERT_EQ(BeginPairSearch(&s, &site, &start, c.span, kOneSecondDays, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1.0, 0.2,
                                  nullptr),
                  1);
        EXPECT_DOUBLE_EQ(s.step, c.step) << c.span;
        EXPECT_NEAR(s.end - start.centuriesTT, c.span / 36525.0, 1e-15);
        EndPairSearch(&s);
    }
    // Missing search or date.
    PairSearch s;
    EXPECT_EQ(BeginPairSearch(nullptr, &site, &start, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, nullptr), 0);
    EXPECT_EQ(BeginPairSearch(&s, &site, nullptr, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, nullptr), 0);
}

TEST(PairSearchMeasure, ModesOnKnownPlaces) {
    SearchBody a, b;
    std::memset(&a, 0, sizeof a);
    std::memset(&b, 0, sizeof b);
    a.ra = 1.0;
    a.dec = 0.0;
    b.ra = 1.0 + 0.01;
    b.dec = 0.0;
    a.diameter1 = 0.004;
    b.diameter1 = 0.002;
    a.diameter2 = 0.006;
    b.diameter2 = 0.010;
    EXPECT_NEAR(PairMeasure(kMeasureSeparation, &a, &b), 0.01, 1e-12);
    EXPECT_NEAR(PairMeasure(kMeasureOuterContact, &a, &b), 0.01 - 0.003, 1e-12);
    EXPECT_NEAR(PairMeasure(kMeasureInnerContact, &a, &b), 0.01 - 0.001, 1e-12);
    EXPECT_NEAR(PairMeasure(kMeasurePenumbralContact, &a, &b), 0.01 - 0.008, 1e-12);
    EXPECT_NEAR(PairMeasure(kMeasurePenumbraVisible, &a, &b), 0.01 - 0.016 * 0.825 * 0.5, 1e-12);
    EXPECT_NEAR(PairMeasure(kMeasureReciprocal, &a, &b), 100.0, 1e-6);
    // Longitudes folded into 0..pi across 0.
    a.ra = 0.1;
    b.ra = 2 * kPi - 0.1;
    EXPECT_NEAR(PairMeasure(kMeasureLongitude, &a, &b), 0.2, 1e-12);
    // Coincident places: the reciprocal stays finite and large.
    b = a;
    const double r = PairMeasure(kMeasureReciprocal, &a, &b);
    EXPECT_TRUE(std::isfinite(r));
    EXPECT_GT(r, 1e9);
}

class PairSearchEphemeris : public ephemtest::GeneratedTables {};

// A fixed point where the Sun stood half a day before the start: the
// separation only grows from the start, and a search that compared the first
// step with 0 would call the start a minimum.
TEST_F(PairSearchEphemeris, FirstStepNeverReports) {
    LocationRecord site = ephemtest::GeocentreSite();
    DateRecord before = DateAt(2460400.0);
    DateRecord start = DateAt(2460400.5);
    PairSearch probe;
    ASSERT_EQ(BeginPairSearch(&probe, &site, &before, 5, kOneSecondDays, 0, 2, 0, 0, 2, 0, 0, 1, 0, 0, 0, nullptr), 1);
    double ra[2], dec[2];
    ASSERT_EQ(ComputePairPlaces(&probe, &site, ra, dec, nullptr, nullptr), 1);
    EndPairSearch(&probe);
    PairSearch s;
    ASSERT_EQ(BeginPairSearch(&s, &site, &start, 5, kOneSecondDays, 0, 0, 0, 0, 2, 0, 0, 1, 0, ra[0], dec[0], nullptr),
              1);
    double t, m;
    int result, minima = 0, calls = 0;
    while ((result = NextPairEvent(&s, &site, &t, &m, nullptr)) != kPairEnd && calls++ < 1000)
        if (result > 0) ++minima;
    EndPairSearch(&s);
    EXPECT_EQ(minima, 0);
}

// Minima against python3-ephem: the geocentric separation of Jupiter and
// Saturn (J2000 places), conjunctions and oppositions in ecliptic longitude
// of date and greatest elongations (reciprocal separation).
TEST_F(PairSearchEphemeris, PlanetMinimaMatchIndependentPredictions) {
    LocationRecord site = ephemtest::GeocentreSite();
    struct Case {
        const char *what;
        int index1, index2, measure;
        double from, expected, toleranceMinutes;
        int result;
    } cases[] = {
        // 2020 Dec 21 18:21 UT, 6.1' apart.
        {"Jupiter and Saturn", 5, 6, kMeasureSeparation, 2459200.5, 2459205.26463, 3, kPairBody1Front},
        // Venus at inferior conjunction 2025 Mar 23 01:07 UT: Venus in front.
        {"Venus inferior conjunction", 2, 0, kMeasureLongitude, 2460750.5, 2460757.54652, 10, kPairBody1Front},
        // Jupiter in conjunction with the Sun 2025 Jun 24 15:17 UT: the Sun in front.
        {"Jupiter conjunction", 5, 0, kMeasureLongitude, 2460845.5, 2460851.13692, 10, kPairBody2Front},
        // Mars at opposition 2025 Jan 16 02:38 UT (the Earth's shadow marks the
        // antisolar point). The reference compares apparent longitudes, the
        // search geometric ones: the aberration of the two (some 20") at a
        // relative motion near 0.9 degree a day moves the time by about 10 min.
        {"Mars opposition", 4, 11, kMeasureLongitude, 2460685.5, 2460691.60994, 15, 0},
        // Venus at greatest eastern elongation 2025 Jan 10 05:01 UT (47.2 degrees): the Sun west.
        {"Venus eastern elongation", 2, 0, kMeasureReciprocal, 2460675.5, 2460685.70931, 60, kPairBody1Front},
        // Mercury at greatest western elongation 2025 Apr 21 18:49 UT: the Sun east.
        {"Mercury western elongation", 1, 0, kMeasureReciprocal, 2460780.5, 2460787.28408, 60, kPairBody2Front},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DateRecord start = DateAt(c.from);
        PairSearch s;
        ASSERT_EQ(BeginPairSearch(&s, &site, &start, 20, kOneSecondDays, 0, 2, c.index1, 0, 2, c.index2, 0,
                                  kCoordinatesGeocentricJ2000, c.measure, 0, 0, nullptr),
                  1);
        double t = 0, m = 0, best = 0;
        int result, found = 0, calls = 0;
        while ((result = NextPairEvent(&s, &site, &t, &m, nullptr)) != kPairEnd && calls++ < 1000) {
            if (result <= 0) continue;
            ++found;
            if (std::fabs(t - c.expected) < 1.0) {
                best = t;
                if (c.result) {
                    EXPECT_EQ(result, c.result);
                }
            }
        }
        EndPairSearch(&s);
        EXPECT_EQ(found, 1);
        EXPECT_NEAR(best, c.expected, c.toleranceMinutes * kMinute);
    }
}

// The total solar eclipse of 2024 Apr 8 seen from Dallas: the topocentric
// separation is least at 18:42:35 UT (python3-ephem, 26" apart), the Moon in
// front and the larger disc: an occultation of the Sun.
TEST_F(PairSearchEphemeris, SolarEclipseMaximumWithinAMinute) {
    LocationRecord site = Dallas();
    DateRecord start = DateAt(2460408.5, &site);
    PairSearch s;
    ASSERT_EQ(BeginPairSearch(&s, &site, &start, 3, kOneSecondDays, 0, 2, 0, 0, 2, 10, 0, kCoordinatesTopocentricOfDate,
                              kMeasureEclipse, 0, 0, nullptr),
              1);
    double t = 0, m = 0, mags[2] = {0, 0};
    int result, calls = 0;
    while ((result = NextPairEvent(&s, &site, &t, &m, mags)) == kPairProgress && calls++ < 1000) {
    }
    EndPairSearch(&s);
    EXPECT_EQ(result, kPairOccultation + kPairBody2Offset);
    EXPECT_NEAR(t, 2460409.279569, kMinute);
    EXPECT_LT(m, 60 * kArcsecond);
    EXPECT_LT(mags[0], -26.0);  // the Sun's magnitude came back
}

TEST_F(PairSearchEphemeris, StopFlagEndsTheSearch) {
    LocationRecord site = ephemtest::GeocentreSite();
    DateRecord start = DateAt(2459200.5);
    int stop = 0;
    PairSearch s;
    ASSERT_EQ(BeginPairSearch(&s, &site, &start, 100, kOneSecondDays, 0, 2, 5, 0, 2, 6, 0, 1, 0, 0, 0, &stop), 1);
    double t, m;
    EXPECT_EQ(NextPairEvent(&s, &site, &t, &m, nullptr), kPairProgress);
    stop = 1;
    EXPECT_EQ(NextPairEvent(&s, &site, &t, &m, nullptr), kPairEnd);
    EndPairSearch(&s);
    EndPairSearch(&s);  // twice is harmless
}

}  // namespace

namespace {

TEST(PairSearchOverlap, FrontBodySizeAndTheShadowFactor) {
    auto body = [](int cls, int index, double d1, double d2, double distance) {
        SearchBody b;
        std::memset(&b, 0, sizeof b);
        b.objectClass = cls;
        b.index = index;
        b.diameter1 = d1;
        b.diameter2 = d2;
        b.distance = distance;
        return b;
    };
    const SearchBody sun = body(2, 0, 0.0093, 0.0093, 1.0);
    const SearchBody moon = body(2, 10, 0.0095, 0.0095, 0.0025);
    const SearchBody smallMoon = body(2, 10, 0.0090, 0.0090, 0.0025);
    const SearchBody venus = body(2, 2, 0.0003, 0.0003, 0.3);
    const SearchBody moonTwin = body(2, 10, 0.0093, 0.0093, 0.0025);
    // Earth's shadow: umbra 0.012, penumbra 0.022 rad: counts as 0.022 x 0.825.
    const SearchBody shadow = body(2, 11, 0.012, 0.022, 0.0026);
    const SearchBody moonFar = body(2, 10, 0.0090, 0.0090, 0.0027);
    struct Case {
        const char *what;
        const SearchBody *a, *b;
        int mode;
        double measure;
        int expected;
    } cases[] = {
        {"Moon larger than the Sun: occultation by body 2", &sun, &moon, kMeasureEclipse, 0.001,
         kPairOccultation + kPairBody2Offset},
        {"Moon smaller than the Sun (annular): transit by body 2", &sun, &smallMoon, kMeasureEclipse, 0.001,
         kPairTransit + kPairBody2Offset},
        {"equal discs: always an occultation", &sun, &moonTwin, kMeasureEclipse, 0.001,
         kPairOccultation + kPairBody2Offset},
        {"Venus before the Sun: transit", &sun, &venus, kMeasureEclipse, 0.001, kPairTransit + kPairBody2Offset},
        {"Venus before the Sun, body 1", &venus, &sun, kMeasureEclipse, 0.001, kPairTransit},
        {"no overlap: body 2 in front", &sun, &moon, kMeasureEclipse, 0.02, kPairBody2Front},
        {"shadow inside 0.825 of the penumbra", &moonFar, &shadow, kMeasureEclipse, 0.0135,
         kPairOccultation + kPairBody2Offset},
        // (0.009 + 0.022 x 0.825) / 2 = 0.013575: just outside.
        {"shadow outside 0.825 of the penumbra", &moonFar, &shadow, kMeasureEclipse, 0.0137, kPairBody2Front},
        {"separation mode: no overlap test", &sun, &moon, kMeasureSeparation, 0.0001, kPairBody2Front},
        {"longitude mode: no overlap test", &sun, &moon, kMeasureLongitude, 0.0001, kPairBody2Front},
    };
    for (const Case &c : cases) EXPECT_EQ(ClassifyPairMinimum(c.mode, c.a, c.b, c.measure, 0), c.expected) << c.what;
    // Reciprocal mode: by the side body 2 lies on.
    EXPECT_EQ(ClassifyPairMinimum(kMeasureReciprocal, &venus, &sun, 10, 0.5), kPairBody2Front);
    EXPECT_EQ(ClassifyPairMinimum(kMeasureReciprocal, &venus, &sun, 10, -0.5), kPairBody1Front);
}

}  // namespace

#include "minorbodies/tests/mbfixture.h"

namespace {

class PairSearchMinorPlanets : public mbtest::PackagedDatabase {};

// A minor planet's ephemeris opened for body 1 is closed again when body 2
// cannot be set up (the leak checker of the native build sees any left), and
// a minor planet is placed step by step like a planet.
TEST_F(PairSearchMinorPlanets, FailedSetUpClosesTheFirstBodyAndMinorPlanetsArePlaced) {
    LocationRecord site = ephemtest::GeocentreSite();
    DateRecord start = DateAt(2460676.5);
    PairSearch s;
    EXPECT_EQ(BeginPairSearch(&s, &site, &start, 30, kOneSecondDays, 0, 4, 1, 0, 13, 1, 0, 2, 0, 0, 0, nullptr), 0);
    EXPECT_EQ(s.body[0].ephemeris, nullptr);
    EndPairSearch(&s);  // harmless after a failed set-up
    // Ceres against the point where it stands 10 days into the span: the
    // separation falls to a minimum there.
    PairSearch probe;
    DateRecord at = DateAt(2460686.5);
    ASSERT_EQ(BeginPairSearch(&probe, &site, &at, 1, kOneSecondDays, 0, 4, 1, 0, 2, 0, 0, 1, 0, 0, 0, nullptr), 1);
    double ra[2], dec[2];
    ASSERT_EQ(ComputePairPlaces(&probe, &site, ra, dec, nullptr, nullptr), 1);
    EndPairSearch(&probe);
    ASSERT_EQ(BeginPairSearch(&s, &site, &start, 30, kOneSecondDays, 0, 4, 1, 0, 0, 0, 0, 1, 0, ra[0], dec[0], nullptr),
              1);
    double t = 0, m = 0;
    int r, found = 0, guard = 0;
    while ((r = NextPairEvent(&s, &site, &t, &m, nullptr)) != kPairEnd && guard++ < 1000) {
        if (r <= 0) continue;
        ++found;
        EXPECT_NEAR(t, 2460686.5, 2 * kMinute);
        EXPECT_LT(m, kArcsecond);
    }
    EndPairSearch(&s);
    EXPECT_EQ(s.body[0].ephemeris, nullptr);
    EXPECT_EQ(found, 1);
}

}  // namespace
