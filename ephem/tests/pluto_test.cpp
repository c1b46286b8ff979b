// Tests of Pluto's series: the walker on small hand-made descriptions
// (polynomials, harmonic signs, consumption checks) and the packaged series
// against Meeus' worked example.
#include "ephem/pluto.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "ephem/planetseries.h"
#include "ephem/tests/ephemfixture.h"
#include "core/mathutil.h"

namespace {

using namespace ephemtest;

const double kAs = kPi / 648000.0;

PlutoSeries Describe(const signed char *args, int nargs, const double *l, const double *b,
                     const double *r, int ncoef) {
    PlutoSeries s = {{0, 0, 0, 0, 2, 2, 9, 13, 13}, 7, args, l, b, r, 39.54, nargs, ncoef};
    return s;
}

TEST(PlutoWalker, PolynomialAtJ2000GivesItsLastCoefficient) {
    const signed char args[] = {0, 2, -1};
    const double l[] = {5.0, 7.0, 1296000.0 + 100.0};  // reduced into [0, 1296000)
    const double b[] = {1.0, 2.0, 3.0};
    const double r[] = {0.0, 0.0, 1000.0};
    PlutoSeries s = Describe(args, 3, l, b, r, 3);
    double L, B, R;
    ASSERT_EQ(EvaluatePlutoSeriesWith(&s, 2451545.0, &L, &B, &R), 1);
    EXPECT_NEAR(L, 100.0 * kAs, 1e-15);
    EXPECT_NEAR(B, 3.0 * kAs, 1e-15);
    EXPECT_NEAR(R, 39.54 * (1.0 + 1000.0 * kAs), 1e-12);
    // Horner's rule away from J2000: T = 0.01 (100 years).
    ASSERT_EQ(EvaluatePlutoSeriesWith(&s, 2451545.0 + 36525.0, &L, &B, &R), 1);
    EXPECT_NEAR(B, (1.0 * 1e-4 + 2.0 * 0.01 + 3.0) * kAs, 1e-15);
}

TEST(PlutoWalker, NegativeHarmonicFlipsTheSine) {
    // At J2000, Uranus' mean longitude is its phase 1130598.018396".
    const double x = 1130598.018396 * kAs;
    const double l[] = {2.0, 5.0};  // cosine 2, sine 5
    const double z[] = {0.0, 0.0};
    for (int h : {3, -3}) {
        const signed char args[] = {1, static_cast<signed char>(h), 7, 0, -1};
        PlutoSeries s = Describe(args, 5, l, z, z, 2);
        double L, B, R;
        ASSERT_EQ(EvaluatePlutoSeriesWith(&s, 2451545.0, &L, &B, &R), 1);
        double expected = 2.0 * std::cos(3 * x) + 5.0 * (h < 0 ? -1 : 1) * std::sin(3 * x);
        EXPECT_NEAR(L / kAs, expected, 1e-9) << h;
    }
    // Two arguments: 2 x Saturn - 1 x Pluto.
    const double xs = 180278.79948 * kAs, xp = 860492.1546 * kAs;
    const signed char args[] = {2, 2, 6, -1, 9, 0, -1};
    PlutoSeries s = Describe(args, 7, l, z, z, 2);
    double L, B, R;
    ASSERT_EQ(EvaluatePlutoSeriesWith(&s, 2451545.0, &L, &B, &R), 1);
    EXPECT_NEAR(L / kAs, 2.0 * std::cos(2 * xs - xp) + 5.0 * std::sin(2 * xs - xp), 1e-9);
}

TEST(PlutoWalker, RefusesDescriptionsOutOfStep) {
    const double c[] = {1.0, 2.0, 3.0, 4.0};
    struct Case {
        const char *what;
        signed char args[8];
        int nargs, ncoef;
    } cases[] = {
        {"coefficients left over", {0, 0, -1}, 3, 4},
        {"too few coefficients", {1, 1, 9, 1, -1}, 5, 3},
        {"no end mark", {0, 0}, 2, 1},
        {"planet out of range", {1, 1, 10, 0, -1}, 5, 2},
        {"harmonic above the planet's highest", {1, 3, 5, 0, -1}, 5, 2},
        {"pairs run past the bytes", {3, 1, 9}, 3, 4},
    };
    for (const Case &k : cases) {
        PlutoSeries s = Describe(k.args, k.nargs, c, c, c, k.ncoef);
        double L = 1, B = 1, R = 1;
        EXPECT_EQ(EvaluatePlutoSeriesWith(&s, 2451545.0, &L, &B, &R), 0) << k.what;
        EXPECT_EQ(L, 0.0);
        EXPECT_EQ(R, 0.0);
    }
    EXPECT_EQ(EvaluatePlutoSeriesWith(nullptr, 2451545.0, nullptr, nullptr, nullptr), 0);
}

TEST(PlutoSeriesData, IsConsumedExactly) {
    double L, B, R;
    EXPECT_EQ(EvaluatePlutoSeriesWith(&kPlutoSeries, 2451545.0, &L, &B, &R), 1);
    EXPECT_EQ(EvaluatePlutoSeriesWith(&kPlutoSeries, 2415020.0, &L, &B, &R), 1);
}

// Meeus, Astronomical Algorithms, example 37.a: 1992 Oct 13.0 TD:
// l = 232.74071 deg, b = 14.58782 deg, r = 29.711111 AU (the series summed
// directly gives 232.740750 deg: the example's last digit is rounded).
TEST(PlutoSeriesData, MeeusExample) {
    HeliocentricPlace p;
    ComputePlutoHeliocentric((2448908.5 - 2451545.0) / 36525.0, &p);
    EXPECT_NEAR(DegreesDiff(p.longitude, 232.74071 * kDegree), 0.0, 5e-5);
    EXPECT_NEAR(p.latitude / kDegree, 14.58782, 2e-5);
    EXPECT_NEAR(p.radius, 29.711111, 2e-6);
    HeliocentricPlace q;
    ComputeHeliocentricPlanet(kBodyPluto, (2448908.5 - 2451545.0) / 36525.0, &q);
    EXPECT_EQ(+q.longitude, +p.longitude);
}

// The series holds from 1885 to 2099; Standish's Keplerian elements (JPL,
// table 2a, fitted to DE406) take over to 3000 BC and AD 3000; beyond them
// there is no place. Within the series' range the elements agree with it
// (an independent fit, to DE200) within Standish's stated 400"; at the
// hand-over the place steps by arcminutes, not degrees.
TEST(PlutoRanges, TheoryByDateAndHandOver) {
    struct Case {
        double year;
        int theory;
    } cases[] = {{-3500, kPlutoNoTheory}, {-2998.9, kPlutoElementsTheory}, {1500, kPlutoElementsTheory},
                 {1884.99, kPlutoElementsTheory}, {1885.01, kPlutoSeriesTheory}, {2099.99, kPlutoSeriesTheory},
                 {2100.01, kPlutoElementsTheory}, {3000.9, kPlutoElementsTheory}, {3001.1, kPlutoNoTheory},
                 {9000, kPlutoNoTheory}};
    for (const Case &c : cases) {
        const double t = (c.year - 2000.0) * 365.25 / 36525.0;
        HeliocentricPlace p;
        EXPECT_EQ(ComputePlutoHeliocentric(t, &p), c.theory) << c.year;
        EXPECT_EQ(GetPlutoTheory(t), c.theory) << c.year;
        if (c.theory == kPlutoNoTheory) {
            EXPECT_EQ(p.radius, 0.0) << c.year;
        }
        if (c.theory == kPlutoElementsTheory) {
            double l, b, r;
            EvaluatePlutoElements(t * 36525.0 + 2451545.0, &l, &b, &r);
            EXPECT_EQ(+p.longitude, l) << c.year;
        }
    }
    double worst = 0.0;
    for (double year = 1885.0; year < 2100.0; year += 0.25) {
        const double jd = 2451545.0 + (year - 2000.0) * 365.25;
        double l1, b1, r1, l2, b2, r2;
        EvaluatePlutoSeries(jd, &l1, &b1, &r1);
        EvaluatePlutoElements(jd, &l2, &b2, &r2);
        worst = std::fmax(worst, AngularSeparation(l1, b1, l2, b2) / kAs);
        EXPECT_NEAR(r1, r2, 0.05) << year;
    }
    EXPECT_LT(worst, 400.0);
    for (double edge : {kPlutoSeriesFirstJd, kPlutoSeriesLastJd}) {
        HeliocentricPlace before, after;
        ComputePlutoHeliocentric((edge - 0.01 - 2451545.0) / 36525.0, &before);
        ComputePlutoHeliocentric((edge + 0.01 - 2451545.0) / 36525.0, &after);
        EXPECT_LT(AngularSeparation(before.longitude, before.latitude, after.longitude, after.latitude) / kAs, 400.0);
    }
}

class PlutoPlace : public GeneratedTables {};

TEST_F(PlutoPlace, NoPlaceOutsideEveryTheory) {
    LocationRecord site = GeocentreSite();
    BodyRecord pluto;
    std::memset(&pluto, 0, sizeof pluto);
    pluto.type = kBodyPluto;
    DateRecord far = DateAtTT(JulianDateFromCalendar(1, 1, 3500, 0.0), 0.0, &site);
    EXPECT_EQ(ComputeBodyPosition(&far, ComputeEarthHeliocentric(&far), &pluto), 0);
    DateRecord old = DateAtTT(JulianDateFromCalendar(1, 1, 1700, 0.0), 0.0, &site);
    EXPECT_EQ(ComputeBodyPosition(&old, ComputeEarthHeliocentric(&old), &pluto), 1);
    EXPECT_GT(+pluto.geocentricDistance, 25.0);  // a field of a packed record
}

// Example 37.a continued: geometric geocentric J2000 place 15h31m43.7s,
// -4 27' 29" (Meeus' rounding): the place before it is carried to the date.
TEST_F(PlutoPlace, GeocentricPlaceOfMeeusExample) {
    LocationRecord site = GeocentreSite();
    DateRecord date = DateAtTT(2448908.5, 59.0, &site);
    BodyRecord pluto;
    std::memset(&pluto, 0, sizeof pluto);
    pluto.type = kBodyPluto;
    ASSERT_EQ(ComputeBodyPosition(&date, ComputeEarthHeliocentric(&date), &pluto), 1);
    EXPECT_STREQ(pluto.name, "Pluto");
    // The J2000 ecliptic place turned to the J2000 equator.
    double ra, dec;
    RotateEclipticToEquatorial(0.40909280420293637, pluto.geocentricLongitude,
                               pluto.geocentricLatitude, &ra, &dec);
    double raExpected = (15.0 + 31.0 / 60.0 + 43.7 / 3600.0) * 15.0;
    double decExpected = -(4.0 + 27.0 / 60.0 + 29.0 / 3600.0);
    EXPECT_NEAR(DegreesDiff(ra, raExpected * kDegree) * 3600, 0.0, 2.0);
    EXPECT_NEAR((dec / kDegree - decExpected) * 3600, 0.0, 2.0);
    // The date's record is left as it was.
    DateRecord again = DateAtTT(2448908.5, 59.0, &site);
    EXPECT_EQ(std::memcmp(&again, &date, sizeof date), 0);
}

}  // namespace
