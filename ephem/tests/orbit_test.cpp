// Tests of the orbit record and the minor-body ephemeris: the element
// decisions of InitOrbitRecord, every conic solver against closed forms and
// the forward anomaly equations, Meeus' worked example of comet Encke, the
// orbit classes and names, and the B1950 reductions and state vectors.
#include "ephem/orbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ephem/tests/ephemfixture.h"

namespace {

using namespace ephemtest;

const double kK = 0.01720209895;

OrbitRecord Built(double T, double epoch, double M, double a, double q, double e, double n) {
    OrbitRecord o;
    std::memset(&o, 0x5a, sizeof o);
    EXPECT_EQ(InitOrbitRecord(&o, T, epoch, M, a, q, e, 10.0, 20.0, 30.0, n, 5.0, 0.15, 2), 1);
    return o;
}

TEST(InitOrbitRecord, DecisionTable) {
    OrbitRecord o;
    EXPECT_EQ(InitOrbitRecord(nullptr, 0.1, 0, 0, 2.5, 0, 0.1, 0, 0, 0, 0, 0, 0, 2), 0);
    // No T, n, a or q.
    EXPECT_EQ(InitOrbitRecord(&o, 0, 0.2, 10, 0, 0, 0.1, 0, 0, 0, 0, 0, 0, 2), 0);
    // A parabola without T: no motion, so no T can be formed.
    EXPECT_EQ(InitOrbitRecord(&o, 0, 0.2, 10, 0, 1.2, 1.0, 0, 0, 0, 0, 0, 0, 1), 0);
    // T of 0 means absent; with nothing to form T from the record is refused.
    EXPECT_EQ(InitOrbitRecord(&o, 0, 0, 0, 0, 1.2, 1.0, 0, 0, 0, 0, 0, 0, 1), 0);
    // An open orbit needs a positive q.
    EXPECT_EQ(InitOrbitRecord(&o, 0.1, 0, 0, 0, 0, 1.3, 0, 0, 0, 0, 0, 0, 1), 0);
    // NaN counts as missing.
    EXPECT_EQ(InitOrbitRecord(&o, NAN, 0, 0, NAN, NAN, 0.1, 0, 0, 0, NAN, 0, 0, 2), 0);
    EXPECT_EQ(InitOrbitRecord(&o, 0.1, 0, 0, 2.0, 0, -0.1, 0, 0, 0, 0, 0, 0, 2), 0);

    // Epoch, M = 370 deg and n: M is reduced first.
    const double n = 0.2;  // deg/day
    OrbitRecord m = Built(0, 0.23, 370.0, 0, 0, 0.1, n);
    EXPECT_NEAR(m.T, 0.23 - 10.0 / (n * 36525.0), 1e-15);
    EXPECT_NEAR(m.n, n * kPi / 180.0, 1e-18);
    EXPECT_NEAR(m.a, std::pow(kK / m.n, 2.0 / 3.0), 1e-12);
    EXPECT_EQ(m.q, 0.0);
    EXPECT_NEAR(m.peri, 10.0 * kDegree, 1e-15);
    EXPECT_NEAR(m.incl, 30.0 * kDegree, 1e-15);

    // An ellipse from T and q: a = q / (1 - e), n = k a^-1.5, q stored as 0.
    OrbitRecord e = Built(0.05, 0, 0, 0, 1.5, 0.4, 0);
    EXPECT_NEAR(e.a, 2.5, 1e-14);
    EXPECT_NEAR(e.n, kK / std::pow(2.5, 1.5), 1e-18);
    EXPECT_EQ(e.q, 0.0);

    // An open orbit keeps q and gets no mean motion, also in a record that
    // held an ellipse before (a stale n would pass period filters).
    OrbitRecord h = e;
    ASSERT_EQ(InitOrbitRecord(&h, 0.05, 0, 0, 0, 1.2, 1.0, 1, 2, 3, 0, 5, 4, 1), 1);
    EXPECT_EQ(h.q, 1.2);
    EXPECT_EQ(h.n, 0.0);
    EXPECT_EQ(h.a, 0.0);
    ASSERT_EQ(InitOrbitRecord(&h, 0.05, 0, 0, -4.0, 0, 1.5, 1, 2, 3, 0, 5, 4, 1), 1);
    EXPECT_NEAR(h.q, 2.0, 1e-15);  // (1 - e) a
    EXPECT_EQ(h.n, 0.0);
}

// The true anomaly at dt from the forward equations of each conic (Meeus
// ch. 30, 34; Danby 6.9), the independent side of the solver tests.
double DaysFromTrueAnomaly(double v, double q, double e) {
    if (e == 1.0) {
        double s = std::tan(v / 2.0);
        return (s + s * s * s / 3.0) * std::sqrt(2.0) * q * std::sqrt(q) / kK;
    }
    if (e > 1.0) {
        double a = q / (e - 1.0);
        double H = 2.0 * std::atanh(std::sqrt((e - 1.0) / (e + 1.0)) * std::tan(v / 2.0));
        return (e * std::sinh(H) - H) * a * std::sqrt(a) / kK;
    }
    double a = q / (1.0 - e);
    double E = 2.0 * std::atan(std::sqrt((1.0 - e) / (1.0 + e)) * std::tan(v / 2.0));
    return (E - e * std::sin(E)) * a * std::sqrt(a) / kK;
}

TEST(OrbitSolvers, ParabolaAgainstCardano) {
    for (double days : {-3000.0, -40.0, -0.5, 0.0, 0.25, 12.0, 365.0, 1e5}) {
        for (double q : {0.05, 1.0, 4.0}) {
            double W = 0.03649116245 * days / (q * std::sqrt(q));
            double root = std::sqrt(W * W / 4.0 + 1.0);
            double s = std::cbrt(W / 2.0 + root) + std::cbrt(W / 2.0 - root);
            double v = SolveParabolicOrbit(days / 36525.0, q);
            EXPECT_NEAR(v, 2.0 * std::atan(s), 1e-9 * (1 + std::fabs(v))) << days << " " << q;
        }
    }
}

TEST(OrbitSolvers, ParabolaTerminatesOnExtremeInput) {
    // Corrupt elements: a tiny q and a large time give an enormous W; the
    // answer approaches +-180 degrees and the solver returns.
    EXPECT_NEAR(SolveParabolicOrbit(50.0, 1e-9), kPi, 1e-3);
    EXPECT_NEAR(SolveParabolicOrbit(-50.0, 1e-12), -kPi, 1e-3);
    EXPECT_TRUE(std::isnan(SolveParabolicOrbit(NAN, 1.0)));
}

TEST(OrbitSolvers, EveryConicAgainstItsForwardEquation) {
    struct Case { double q, e, vDeg; };
    const Case cases[] = {
        {1.0, 1.0000001, 60.0}, {0.3, 1.0000001, -150.0}, {1.0, 1.001, 120.0},
        {2.0, 1.2, 80.0},       {2.0, 1.2, 140.0},        {0.5, 1.9, 100.0},
        {0.5, 3.0, -105.0},     {1.5, 1.05, 150.0},
    };
    for (const Case &c : cases) {
        double dt = DaysFromTrueAnomaly(c.vDeg * kDegree, c.q, c.e) / 36525.0;
        EXPECT_NEAR(SolveNearParabolicOrbit(dt, c.q, c.e) / kDegree, c.vDeg, 1e-6)
            << c.q << " " << c.e << " " << c.vDeg;
        EXPECT_NEAR(SolveHyperbolicOrbit(dt, c.q, c.e) / kDegree, c.vDeg, 1e-6)
            << c.q << " " << c.e << " " << c.vDeg;
    }
}

// Places of one q, T and orientation for several eccentricities.
void PlaceFor(double e, double days, double out[3]) {
    OrbitRecord o;
    ASSERT_EQ(InitOrbitRecord(&o, 0.1, 0, 0, 0, 0.8, e, 120, 40, 70, 0, 5, 4, 1), 1);
    ComputeOrbitVectors(&o);
    ComputeOrbitPosition(0.1 + days / 36525.0, &o, out);
}

TEST(OrbitSolvers, BranchesMeetAtTheParabola) {
    // e = 0.9999999 (Kepler), 1 (Barker), 1.0000001 (series) give the same
    // place within the difference of their orbits.
    for (double days : {-200.0, -5.0, 0.0, 3.0, 90.0}) {
        double p[3], b[3], h[3];
        PlaceFor(0.9999999, days, p);
        PlaceFor(1.0, days, b);
        PlaceFor(1.0000001, days, h);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(p[i], b[i], 1e-6) << days;
            EXPECT_NEAR(h[i], b[i], 1e-6) << days;
        }
        // At perihelion the body lies at q from the Sun.
        if (days == 0.0) {
            EXPECT_NEAR(std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]), 0.8, 1e-9);
        }
    }
    // A strongly open orbit far from perihelion: the distance follows the
    // hyperbola's r = a (e cosh H - 1) at the anomaly of the forward equation.
    double v = 105.0 * kDegree, e = 2.5, q = 0.8;  // asymptote at 113.6 deg
    double days = DaysFromTrueAnomaly(v, q, e);
    double x[3];
    PlaceFor(e, days, x);
    EXPECT_NEAR(std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]),
                (1 + e) * q / (1 + e * std::cos(v)), 1e-9 * 8.0);
}

class EnckeExample : public GeneratedTables {};

TEST_F(EnckeExample, MeeusExample33a) {
    // Meeus, Astronomical Algorithms, example 33.a: comet Encke on 1990
    // October 6.0 TD; a = 2.2091404, e = 0.8502196, J2000 elements; the
    // astrometric J2000 place is RA 158.558965 deg, Dec +19.158496 deg.
    double T = (2448193.04502 - 2451545.0) / 36525.0;
    OrbitRecord o;
    ASSERT_EQ(InitOrbitRecord(&o, T, 0, 0, 2.2091404, 0, 0.8502196, 186.23352, 334.75006,
                              11.94524, 0, 0, 0, 1), 1);
    ComputeOrbitVectors(&o);
    DateRecord date = DateAtTT(2448170.5, 57.0);
    double ra, dec, r, delta, phase, elong, mag;
    ComputeMinorBodyPosition(&date, &o, &ra, &dec, &r, &delta, &phase, &elong, &mag);
    EXPECT_NEAR(ra / kDegree, 158.558965, 1.0 / 3600.0);
    EXPECT_NEAR(dec / kDegree, 19.158496, 1.0 / 3600.0);
    EXPECT_NEAR(delta, 0.82442, 2e-4);  // Meeus: Delta = 0.82442 AU (before light time)
    // The triangle Sun-Earth-comet: phase and elongation close with the
    // Sun's distance by the cosine rule.
    double R = std::sqrt(r * r + delta * delta - 2 * r * delta * std::cos(phase));
    EXPECT_NEAR(std::cos(elong), (R * R + delta * delta - r * r) / (2 * R * delta), 1e-9);
    EXPECT_NEAR(R, 0.9994, 0.002);  // the Sun's distance in early October
    // Comet law with H = K = 0: 5 log Delta.
    EXPECT_NEAR(mag, 5 * std::log10(delta), 1e-9);
}

TEST(ClassifyOrbit, RulesAndBoundaries) {
    struct Case { double a, e, i, H; int code; };
    const Case cases[] = {
        {2.77, 0.0785, 0.18, 3.3, 10},  // Ceres
        {1.458, 0.2229, 0.19, 11.2, 5}, // Eros
        {39.5, 0.25, 0.3, -0.7, 18},    // Pluto-like
        {5.0, 0.5, 0.1, 10.0, 0},
        {0.3, 0.1, 0.1, 15, 1},
        {0.6, 0.1, 0.1, 15, 3},
        {1.5, 0.4, 0.1, 15, 4},
        {0.9, 0.2, 0.1, 15, 6},
        {0.85, 0.1, 0.1, 15, 7},
        {2.1, 0.25, 0.1, 15, 8},
        {1.9, 0.05, 0.1, 15, 9},
        {3.5, 0.1, 0.1, 10, 11},
        {5.2, 0.1, 0.3, 10, 12},
        {12.0, 0.7, 0.3, 10, 13},
        {10.0, 0.1, 0.1, 10, 14},
        {60.0, 0.4, 0.1, 6, 15},
        {44.0, 0.05, 0.05, 6, 17},
        {60000.0, 0.9, 0.1, 6, 19},
        // Strict boundaries fall through to the next rules.
        {2.0, 0.1, 0.1, 15, 0},
        {3.2, 0.1, 0.1, 15, 0},
        // Open orbits have no class (not Vulcanoids).
        {-3.0, 1.5, 0.1, 10, 0},
        {0.0, 1.0, 0.1, 10, 0},
    };
    for (const Case &c : cases) EXPECT_EQ(ClassifyOrbit(c.a, c.e, c.i, c.H), c.code) << c.a;
}

TEST(OrbitClassNames, PlainAndGrouped) {
    char b[kOrbitClassNameSize];
    EXPECT_STREQ(GetOrbitClassName(b, 6, 1), "Near Earth Object");
    EXPECT_STREQ(GetOrbitClassName(b, 6, 0), "Aten");
    EXPECT_STREQ(GetOrbitClassName(b, 16, 1), "Trans-Neptunian Object");
    EXPECT_STREQ(GetOrbitClassName(b, 20, 1), "Near Earth Object");
    EXPECT_STREQ(GetOrbitClassName(b, 11, 0), "Outer Main Belt Object");
    EXPECT_STREQ(GetOrbitClassName(b, 0, 0), "");
    std::strcpy(b, "junk");
    EXPECT_EQ(GetOrbitClassName(b, 21, 0), nullptr);
    EXPECT_STREQ(b, "");
    EXPECT_EQ(GetOrbitClassName(b, -1, 1), nullptr);
    EXPECT_EQ(IsDwarfPlanetNumber(134340), 1);
    EXPECT_EQ(IsDwarfPlanetNumber(1), 1);
    EXPECT_EQ(IsDwarfPlanetNumber(2), 0);
}

TEST(B1950Reductions, EnckeAndRetrograde) {
    // Meeus, example 24.a: comet Encke's B1950 elements.
    OrbitRecord o;
    std::memset(&o, 0, sizeof o);
    o.incl = 11.93911 * kDegree;
    o.node = 334.04096 * kDegree;
    o.peri = 186.24444 * kDegree;
    OrbitRecord p = o;
    ConvertOrbitElementsFk4ToFk5(&o);
    EXPECT_NEAR(o.incl / kDegree, 11.94524, 1e-5);
    EXPECT_NEAR(o.node / kDegree, 334.75006, 1e-5);
    EXPECT_NEAR(o.peri / kDegree, 186.23352, 1e-5);
    PrecessOrbitElementsB1950ToJ2000(&p);
    EXPECT_NEAR(p.incl / kDegree, 11.94524, 2e-4);
    EXPECT_NEAR(DegreesDiff(p.node, 334.75006 * kDegree), 0.0, 2e-3);

    // A retrograde orbit stays retrograde in both reductions, and the two agree.
    OrbitRecord r;
    std::memset(&r, 0, sizeof r);
    r.incl = 162.0 * kDegree;
    r.node = 58.0 * kDegree;
    r.peri = 111.0 * kDegree;
    OrbitRecord s = r;
    ConvertOrbitElementsFk4ToFk5(&r);
    PrecessOrbitElementsB1950ToJ2000(&s);
    EXPECT_NEAR(r.incl / kDegree, 162.0, 0.02);
    // The node moves by the small turn between the frames (as for the
    // prograde twin at 18 degrees), not by half a turn.
    OrbitRecord twin;
    std::memset(&twin, 0, sizeof twin);
    twin.incl = 18.0 * kDegree;
    twin.node = 58.0 * kDegree;
    ConvertOrbitElementsFk4ToFk5(&twin);
    EXPECT_NEAR(DegreesDiff(r.node, 58.0 * kDegree), 0.0, 1.0);
    EXPECT_NEAR(DegreesDiff(r.node, twin.node), 0.0, 0.05);
    EXPECT_NEAR(s.incl / kDegree, r.incl / kDegree, 2e-3);
    EXPECT_NEAR(DegreesDiff(s.node, r.node), 0.0, 5e-3);
}

TEST(StateVectors, RoundTripAndDerivative) {
    struct Case { double e, peri, node, incl; };
    const Case cases[] = {{0.2, 73.5, 80.3, 10.6}, {0.967, 111.3, 58.4, 162.3},
                          {0.6, 200.0, 300.0, 95.0}};
    for (const Case &c : cases) {
        OrbitRecord o;
        ASSERT_EQ(InitOrbitRecord(&o, 0.02, 0, 0, 2.7, 0, c.e, c.peri, c.node, c.incl, 0, 0, 0, 2),
                  1);
        double pos[3], vel[3];
        const double t = 0.031;
        ComputeOrbitStateVector(&o, t, pos, vel);
        // The velocity against a five-point derivative of the positions.
        double samples[5][3];
        const double h = 0.5;  // days
        for (int i = 0; i < 5; ++i)
            ComputeOrbitPosition(t + (i - 2) * h / 36525.0, &o, samples[i]);
        double d[3];
        ComputeFivePointDerivative(samples, h, d);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(vel[i], d[i], 1e-9) << c.incl;
        OrbitRecord back;
        std::memset(&back, 0, sizeof back);
        ComputeOrbitFromStateVector(t, pos, vel, &back);
        EXPECT_NEAR(back.a, 2.7, 1e-8);
        EXPECT_NEAR(back.e, c.e, 1e-9);
        EXPECT_NEAR(back.incl / kDegree, c.incl, 1e-7);
        EXPECT_NEAR(DegreesDiff(back.node, c.node * kDegree), 0.0, 1e-7);
        EXPECT_NEAR(DegreesDiff(back.peri, c.peri * kDegree), 0.0, 1e-7);
        EXPECT_NEAR(back.T, 0.02, 1e-11);
    }
}

}  // namespace
