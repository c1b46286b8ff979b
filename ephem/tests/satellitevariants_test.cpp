// Tests of the alternative satellite routines: sine and cosine in degrees,
// the transformation onto Saturn's equator against a rotation of the same
// point, and that each variant fills its slot with sound values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "core/mathutil.h"
#include "ephem/orbit.h"
#include "ephem/satellites.h"
#include "ephem/satellitevariants.h"

namespace {

const double kDegree = kPi / 180.0;

double Q(const BodyRecord &body, int quantity, int slot) { return body.satellites[quantity][slot]; }

TEST(SatelliteVariants, SineAndCosineOfDegrees) {
    struct Case {
        double degrees, sine, cosine;
    } cases[] = {{0, 0, 1}, {30, 0.5, std::sqrt(3.0) / 2}, {90, 1, 0}, {-150, -0.5, -std::sqrt(3.0) / 2},
                 {405, std::sqrt(0.5), std::sqrt(0.5)}};
    for (const Case &c : cases) {
        EXPECT_NEAR(SineOfDegrees(c.degrees), c.sine, 1e-15) << c.degrees;
        EXPECT_NEAR(CosineOfDegrees(c.degrees), c.cosine, 1e-15) << c.degrees;
    }
}

// The point of an orbit given on the ecliptic and the same point from the
// elements carried onto Saturn's equator of 1950 agree once the ecliptic
// vector is turned into that equator's frame.
TEST(SatelliteVariants, TransformOntoSaturnsEquatorKeepsThePoint) {
    struct Case {
        double e, i, node, m, peri;
    } cases[] = {{0.0, 10.0, 40.0, 30.0, 100.0},
                 {0.16, 173.9, 246.0, 200.0, 280.0},
                 {0.05, 60.0, 168.8112, 90.0, 10.0}};
    for (const Case &c : cases) {
        double lon, incl, r, node;
        TransformOrbitToSaturnEquator(10.0, c.e, c.i, c.node, c.m, c.peri, &lon, &incl, &r, &node);
        double x, y, z;
        ComputeOrbitRectangularKm(lon, incl, node, r, &x, &y, &z);
        // The same point on the ecliptic: true anomaly by Kepler's equation.
        const double ecc = SolveKepler(c.m * kDegree, c.e);
        const double v = TrueAnomalyFromEccentricAnomaly(ecc, std::sqrt((1 + c.e) / (1 - c.e)));
        const double u = (c.peri - c.node) * kDegree + v;
        const double radius = 10.0 * (1 - c.e * std::cos(ecc)) * 60330.0;
        EXPECT_NEAR(r * 60330.0, radius, 1e-3 * radius) << c.i;
        const double n = c.node * kDegree, i = c.i * kDegree;
        double p[3] = {radius * (std::cos(u) * std::cos(n) - std::sin(u) * std::sin(n) * std::cos(i)),
                       radius * (std::cos(u) * std::sin(n) + std::sin(u) * std::cos(n) * std::cos(i)),
                       radius * std::sin(u) * std::sin(i)};
        // Into the frame of Saturn's equator: x toward its ascending node on
        // the ecliptic, z toward its pole.
        double q[3], rotated[3];
        RotateVectorAboutZAxis(p, std::cos(-168.8112 * kDegree), std::sin(-168.8112 * kDegree), q);
        RotateVectorAboutXAxis(q, std::cos(-28.0817 * kDegree), std::sin(-28.0817 * kDegree), rotated);
        const double ours[3] = {x, y, z};
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(ours[k], rotated[k], 2e-3 * radius) << c.i << " " << k;
    }
}

TEST(SatelliteVariants, EveryVariantFillsItsSlot) {
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = 2460561.5;
    date.deltaT = 69.0 / 86400.0;
    date.centuries = (date.julianDate - 2451545.0) / 36525.0;
    date.centuriesTT = date.centuries;
    date.meanObliquity = 0.40909280420293637;
    BodyRecord pluto;
    std::memset(&pluto, 0, sizeof pluto);
    pluto.type = kBodyPluto;
    pluto.geocentricRightAscension = 5.28;
    pluto.geocentricDeclination = -0.4;
    pluto.geocentricDistance = 34.5;
    pluto.heliocentric = {5.3, 0.0, 34.9};
    void (*charon[3])(const DateRecord *, BodyRecord *) = {
        ComputeCharonFromElementsA, ComputeCharonFromElementsB, ComputeCharonFromElementsC};
    for (auto fill : charon) {
        BodyRecord body = pluto;
        fill(&date, &body);
        EXPECT_EQ(+body.satelliteCount, 1);
        EXPECT_STREQ(body.satelliteNames[0], "Charon");
        for (int k = 0; k < kSatelliteQuantities; ++k) EXPECT_TRUE(std::isfinite(Q(body, k, 0))) << k;
        EXPECT_LE(Q(body, kSatSeparation, 0), 0.000132 / 34.5);
    }
    BodyRecord saturn;
    std::memset(&saturn, 0, sizeof saturn);
    saturn.type = kBodySaturn;
    saturn.geocentricRightAscension = 6.07;
    saturn.geocentricDeclination = -0.14;
    saturn.geocentricDistance = 8.72;
    saturn.heliocentric = {6.1, -0.03, 9.7};
    ComputePhoebeFromMeanElements(&date, &saturn);
    EXPECT_STREQ(saturn.satelliteNames[8], "Phoebe");
    for (int k = 0; k < kSatelliteQuantities; ++k) EXPECT_TRUE(std::isfinite(Q(saturn, k, 8))) << k;
    EXPECT_LE(Q(saturn, kSatSeparation, 8), 0.0866 * 1.17 / 8.72);
    EXPECT_GT(Q(saturn, kSatSeparation, 8), 0.0866 * 0.8 * 0.1 / 8.72);
    double x, y, z;
    ComputePhoebeTestPosition(2433282.5, &x, &y, &z);
    const double r = std::sqrt(x * x + y * y + z * z);
    EXPECT_GT(r, 12951465.514824 * (1 - 0.17));
    EXPECT_LT(r, 12951465.514824 * (1 + 0.17));
    EXPECT_EQ(GetTestPeriodConstant(), 548.212279);
}

// A satellite from an orbit record: half a period later (a nearly circular
// orbit) it stands on the other side of the planet at the same separation;
// the offsets agree with the separation and position angle.
TEST(SatelliteVariants, SatelliteFromAnOrbitRecord) {
    OrbitRecord orbit;
    std::memset(&orbit, 0, sizeof orbit);
    const double a = 0.002;  // AU
    ASSERT_EQ(InitOrbitRecord(&orbit, 0.0, 0.0, 10.0, a, 0.0, 0.001, 30.0, 40.0, 20.0, 0.0, 0, 0, 0), 1);
    const double periodDays = 2 * kPi / orbit.n;
    BodyRecord planet;
    std::memset(&planet, 0, sizeof planet);
    planet.geocentricDistance = 4.2;
    planet.heliocentric = {1.0, 0.0, 5.2};
    planet.axisPositionAngle = 0.3;
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.centuriesTT = 0.1;
    BodyRecord first = planet, later = planet;
    ComputeSatelliteFromOrbitRecord(&date, &first, &orbit, 4, 5.0, "Test moon");
    date.centuriesTT += periodDays / 2 / 36525.0;
    ComputeSatelliteFromOrbitRecord(&date, &later, &orbit, 4, 5.0, "Test moon");
    for (const BodyRecord *b : {&first, &later}) {
        EXPECT_STREQ(b->satelliteNames[4], "Test moon");
        const double sep = Q(*b, kSatSeparation, 4), pa = Q(*b, kSatPositionAngle, 4);
        EXPECT_GT(sep, 0.0);
        EXPECT_LE(sep, a * 1.0011 / 4.2);
        EXPECT_NEAR(Q(*b, kSatOffsetX, 4), -sep * std::sin(pa), 1e-15);
        EXPECT_NEAR(Q(*b, kSatOffsetY, 4), sep * std::cos(pa), 1e-15);
        EXPECT_NEAR(Q(*b, kSatMagnitude, 4), 5 * std::log10(5.2 * 4.2) + 5.0, 1e-12);
    }
    EXPECT_NEAR(Q(later, kSatSeparation, 4), Q(first, kSatSeparation, 4), 0.01 * Q(first, kSatSeparation, 4));
    double turn = std::fmod(Q(later, kSatPositionAngle, 4) - Q(first, kSatPositionAngle, 4) + 4 * kPi, 2 * kPi);
    EXPECT_NEAR(turn, kPi, 0.01);
    turn = std::fmod(Q(later, kSatOrbitalAngle, 4) - Q(first, kSatOrbitalAngle, 4) + 4 * kPi, 2 * kPi);
    EXPECT_NEAR(turn, kPi, 0.01);
    BodyRecord untouched = planet;
    untouched.geocentricDistance = 0.0;
    ComputeSatelliteFromOrbitRecord(&date, &untouched, &orbit, 4, 5.0, "Test moon");
    const char *noName = untouched.satelliteNames[4];
    EXPECT_EQ(noName, nullptr);
    ComputeSatelliteFromOrbitRecord(&date, &untouched, &orbit, kMaxSatellites, 5.0, "Test moon");
}

}  // namespace
