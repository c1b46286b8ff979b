// Tests of the satellite day tables (Phoebe, Himalia), the natural spline
// that interpolates them, and the mean-element satellites.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/mathutil.h"
#include "ephem/daytables.h"
#include "ephem/naturalspline.h"
#include "ephem/satellitemeanelements.h"
#include "ephem/satellites.h"
#include "ephem/tests/ephemfixture.h"
#include "testutil/testutil.h"

namespace {

using ephemtest::kArcsecond;

// One quantity of a satellite slot, by value (the record is packed).
double Q(const BodyRecord &body, int quantity, int slot) { return body.satellites[quantity][slot]; }

// ---- natural spline ---------------------------------------------------------

// The natural spline through (0,0), (1,1), (2,0) has the second derivative
// -3 at x = 1 (4 M1 = 6 (-1 - 1)); on [1, 2] it is
// S(x) = -3 (2 - x)^3 / 6 + 1.5 (2 - x).
double NaturalOnLastInterval(double x) { return -0.5 * std::pow(2.0 - x, 3) + 1.5 * (2.0 - x); }

TEST(NaturalSpline, PassesThroughTheKnotsAndIsNaturalOnTheLastInterval) {
    const SplinePoint points[3] = {{0.0, 0.0}, {1.0, 1.0}, {2.0, 0.0}};
    SplineState state;
    ASSERT_EQ(SetUpNaturalSpline(&state, points, 3, 0.25), 1);
    double y = -1.0;
    for (const SplinePoint &p : points) {
        ASSERT_EQ(EvaluateSplineNearKnot(&state, points, p.x, &y), 1);
        EXPECT_NEAR(y, p.y, 1e-12) << "at x = " << p.x;
    }
    FreeSpline(&state);
    EXPECT_EQ(state.z, nullptr);
    // Evaluated on the last interval straight after set-up, the cubic is the
    // natural spline's.
    for (double x : {1.6, 1.9, 2.0}) {
        ASSERT_EQ(SetUpNaturalSpline(&state, points, 3, 0.25), 1);
        EvaluateSplineNearKnot(&state, points, x, &y);
        EXPECT_NEAR(y, NaturalOnLastInterval(x), 1e-12) << x;
        FreeSpline(&state);
    }
}

// Away from the last interval the evaluation takes the next knot's c as 0
// (the state's value after set-up), so it is not the natural spline there:
// on [0, 1] of the same points it gives the chord (0.4 at x = 0.4) where the
// natural spline has -0.5 x^3 + 1.5 x = 0.568. The knots are still met.
TEST(NaturalSpline, InnerIntervalsUseTheStatesNextKnotCurvature) {
    const SplinePoint points[3] = {{0.0, 0.0}, {1.0, 1.0}, {2.0, 0.0}};
    SplineState state;
    ASSERT_EQ(SetUpNaturalSpline(&state, points, 3, 0.25), 1);
    double y = -1.0;
    EvaluateSplineNearKnot(&state, points, 0.4, &y);
    EXPECT_NEAR(y, 0.4, 1e-12);
    FreeSpline(&state);
}

TEST(NaturalSpline, HalfwayUsesTheEarlierKnotsInterval) {
    const SplinePoint points[4] = {{0.0, 1.0}, {1.0, 3.0}, {2.0, 2.0}, {3.0, 5.0}};
    SplineState state;
    ASSERT_EQ(SetUpNaturalSpline(&state, points, 4, 0.1), 1);
    double y;
    EvaluateSplineNearKnot(&state, points, 1.5, &y);
    EXPECT_EQ(state.current, 1);
    EvaluateSplineNearKnot(&state, points, 1.51, &y);
    EXPECT_EQ(state.current, 2);
    EvaluateSplineNearKnot(&state, points, 0.5, &y);
    EXPECT_EQ(state.current, 0);
    FreeSpline(&state);
}

TEST(NaturalSpline, StepsBackwardFromTheLastKnotToTheFirst) {
    const SplinePoint points[3] = {{0.0, 0.0}, {1.0, 1.0}, {2.0, 0.0}};
    SplineState state;
    ASSERT_EQ(SetUpNaturalSpline(&state, points, 3, 0.25), 1);
    std::vector<SplinePoint> samples;
    SplinePoint sample = {0.0, 0.0};
    for (int guard = 0; guard < 100 && StepSplineBackward(&state, points, &sample); ++guard)
        samples.push_back(sample);
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.front().x, 2.0);
    EXPECT_EQ(samples.front().y, 0.0);
    EXPECT_EQ(samples.back().x, 0.0);
    EXPECT_EQ(samples.back().y, 0.0);
    EXPECT_EQ(state.done, 1);
    // 2, 1.75, 1.5, 1.25, 1 (knot), 0.75, 0.5, 0.25, 0 (first point).
    ASSERT_EQ(samples.size(), 9u);
    EXPECT_NEAR(samples[1].y, NaturalOnLastInterval(1.75), 1e-12);
    EXPECT_EQ(samples[4].x, 1.0);
    EXPECT_EQ(samples[4].y, 1.0);
    EXPECT_EQ(StepSplineBackward(&state, points, &sample), 0);
    FreeSpline(&state);
}

TEST(NaturalSpline, RefusesFewerThanTwoPoints) {
    const SplinePoint one[1] = {{0.0, 1.0}};
    SplineState state;
    EXPECT_EQ(SetUpNaturalSpline(&state, one, 1, 0.1), 0);
    double y = 7.0;
    EXPECT_EQ(EvaluateSplineNearKnot(&state, one, 0.0, &y), 0);
    EXPECT_EQ(y, 7.0);
    FreeSpline(&state);
}

// ---- day tables ---------------------------------------------------------------

// A day table whose record k holds X = k * sx, Y = k * sy arcseconds: every
// spline through it is the straight line, so the interpolated offsets are
// known exactly at any date.
std::string LinearTable(long records, double sx, double sy) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(records) * 8);
    for (long k = 0; k < records; ++k) {
        const float v[2] = {static_cast<float>(k * sx), static_cast<float>(k * sy)};
        for (float f : v) {
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
        }
    }
    return bytes;
}

BodyRecord PlanetAt(int type) {
    BodyRecord body;
    std::memset(&body, 0, sizeof body);
    body.type = type;
    body.geocentricRightAscension = 1.2;
    body.geocentricDeclination = 0.35;
    body.geocentricDistance = 9.0;
    body.heliocentric.radius = 9.8;
    return body;
}

DateRecord DateAtJulian(double jd) {
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = jd;
    date.centuriesTT = (jd - 2451545.0) / 36525.0;
    date.centuries = date.centuriesTT;
    date.meanObliquity = 0.40909280420293637;
    return date;
}

class DayTables : public ::testing::Test {
protected:
    void SetUp() override { ClearDayTableFolders(); }
    void TearDown() override { ClearDayTableFolders(); }
    testutil::TempDir dir;
};

TEST_F(DayTables, PhoebeOffsetsSignsAndScaling) {
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Phoebe.bin"), LinearTable(40, 3.0, -2.0)));
    SetPhoebeFolder((dir.path() + "/").c_str());
    BodyRecord saturn = PlanetAt(kBodySaturn);
    DateRecord date = DateAtJulian(kDayTableFirstJulianDate + 10.3);
    ASSERT_EQ(ComputePhoebe(&date, &saturn), 1);
    const double east = 30.9, north = -20.6;  // arcsec, the straight line at 10.3 days
    // x is positive toward the west, y toward the north.
    EXPECT_NEAR(Q(saturn, kSatOffsetX, 8) / kArcsecond, -east, 1e-4);
    EXPECT_NEAR(Q(saturn, kSatOffsetY, 8) / kArcsecond, north, 1e-4);
    EXPECT_NEAR(Q(saturn, kSatSeparation, 8) / kArcsecond, std::hypot(east, north), 1e-4);
    // The east offset is divided by cos(Dec) for the right ascension, so the
    // position angle is that of the offsets on the sky.
    EXPECT_NEAR(Q(saturn, kSatPositionAngle, 8),
                ReduceModuloPositive(std::atan2(east, north), 2.0 * kPi), 1e-4);
    EXPECT_STREQ(saturn.satelliteNames[8], "Phoebe");
    EXPECT_NEAR(Q(saturn, kSatMagnitude, 8), 5.0 * std::log10(9.8 * 9.0) + 6.89, 1e-12);
    EXPECT_EQ(Q(saturn, kSatUmbraFactor, 8), 0.0);
    EXPECT_EQ(+saturn.satelliteCount, 0);  // the count is the caller's
}

TEST_F(DayTables, ResultCodesAndNothingWrittenUnlessFilled) {
    BodyRecord saturn = PlanetAt(kBodySaturn);
    for (int i = 0; i < kMaxSatellites; ++i) saturn.satellites[kSatSeparation][i] = 123.0;
    const BodyRecord before = saturn;
    DateRecord date = DateAtJulian(kDayTableFirstJulianDate + 5.0);
    EXPECT_EQ(ComputePhoebe(&date, &saturn), -1) << "no folder";
    SetPhoebeFolder((dir.path() + "/").c_str());
    EXPECT_EQ(ComputePhoebe(&date, &saturn), -1) << "no file";
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Phoebe.bin"), LinearTable(3, 1.0, 1.0)));
    date = DateAtJulian(kDayTableFirstJulianDate - 0.1);
    EXPECT_EQ(ComputePhoebe(&date, &saturn), 0) << "before the table";
    date = DateAtJulian(kDayTableFirstJulianDate + 2.1);
    EXPECT_EQ(ComputePhoebe(&date, &saturn), 0) << "after the last record";
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Phoebe.bin"), std::string(7, '\0')));
    date = DateAtJulian(kDayTableFirstJulianDate);
    EXPECT_EQ(ComputePhoebe(&date, &saturn), -1) << "no whole record";
    EXPECT_EQ(std::memcmp(&before, &saturn, sizeof saturn), 0);
}

TEST_F(DayTables, RecordWindowsAtTheEndsOfTheTables) {
    // Phoebe's stated table: records 0 .. 25536 (JD 2458818.5).
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Phoebe.bin"), LinearTable(25537, 1.0, 0.5)));
    SetPhoebeFolder(dir.path().c_str());
    BodyRecord saturn = PlanetAt(kBodySaturn);
    struct Case {
        double jd;
        int result;
        double x;  // arcsec
    } cases[] = {{2433282.5, 1, 0.0},          // records 0..2
                 {2433282.75, 1, 0.25},
                 {2458818.5, 1, 25536.0},      // records 25534..25536
                 {2458818.6, 0, 0.0}};
    for (const Case &c : cases) {
        DateRecord date = DateAtJulian(c.jd);
        ASSERT_EQ(ComputePhoebe(&date, &saturn), c.result) << std::fixed << c.jd;
        if (c.result == 1) {
            EXPECT_NEAR(-Q(saturn, kSatOffsetX, 8) / kArcsecond, c.x, 2e-3) << c.jd;
        }
    }
    // A longer table serves later dates: the last record comes from the
    // file's size, not from a fixed index.
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Phoebe.bin"), LinearTable(25600, 1.0, 0.5)));
    DateRecord later = DateAtJulian(2458818.6);
    ASSERT_EQ(ComputePhoebe(&later, &saturn), 1);
    EXPECT_NEAR(-Q(saturn, kSatOffsetX, 8) / kArcsecond, 25536.1, 5e-3);
}

TEST_F(DayTables, HimaliaHalfDayRecords) {
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("Himalia.bin"), LinearTable(5, 2.0, 4.0)));
    SetHimaliaFolder(dir.path().c_str());
    BodyRecord jupiter = PlanetAt(kBodyJupiter);
    // 1.7 days: records 0..4 (knots 0, 0.5, .. 2 days); 0.7 days: records 0..2.
    for (double days : {1.7, 0.7, 2.0}) {
        DateRecord date = DateAtJulian(kDayTableFirstJulianDate + days);
        ASSERT_EQ(ComputeHimalia(&date, &jupiter), 1) << days;
        const double records = days / 0.5;
        EXPECT_NEAR(-Q(jupiter, kSatOffsetX, 5) / kArcsecond, 2.0 * records, 1e-4);
        EXPECT_NEAR(Q(jupiter, kSatOffsetY, 5) / kArcsecond, 4.0 * records, 1e-4);
        EXPECT_STREQ(jupiter.satelliteNames[5], "Himalia");
    }
    DateRecord past = DateAtJulian(kDayTableFirstJulianDate + 2.01);
    EXPECT_EQ(ComputeHimalia(&past, &jupiter), 0);
}

// ---- mean elements ----------------------------------------------------------------

TEST(SatelliteMeanElements, AmaltheaAtItsEpoch) {
    double position[3], v = -1.0, incl = -1.0, node = -1.0, a = -1.0;
    ASSERT_EQ(ComputeSatelliteFromMeanElements(2443937.5, 505, position, &v, &incl, &node, &a), 1);
    // At the epoch: e and the perihelion from h and k, the true longitude
    // from the mean longitude 3.3647068010154606 by the equation of centre.
    const double h = 0.001605053686034257, k = 0.001534237220548455;
    const double e = std::hypot(h, k), w = std::atan2(h, k), lambda = 3.3647068010154606;
    EXPECT_NEAR(v, lambda + 2 * e * std::sin(lambda - w) + 1.25 * e * e * std::sin(2 * (lambda - w)),
                1e-12);
    EXPECT_NEAR(a, 181365.574 * 6.684587153547039e-9, 1e-15);
    EXPECT_NEAR(incl, kPi / 2 - 1.1256401167169985, 1e-15);
    EXPECT_NEAR(node, 4.678500636530468 + kPi / 2, 1e-15);
    const double r = std::sqrt(position[0] * position[0] + position[1] * position[1] +
                               position[2] * position[2]);
    EXPECT_NEAR(r, 181365.574 * (1 - e * e) / (1 + e * std::cos(v - w)), 1e-6);
    // The orbit lies close to the reference plane: nearly perpendicular to its pole.
    const double pole[3] = {std::cos(4.678500636530468) * std::cos(1.1256401167169985),
                            std::sin(4.678500636530468) * std::cos(1.1256401167169985),
                            std::sin(1.1256401167169985)};
    EXPECT_LT(std::fabs(position[0] * pole[0] + position[1] * pole[1] + position[2] * pole[2]) / r,
              0.01);
}

TEST(SatelliteMeanElements, UnknownIdLeavesTheOutputs) {
    double position[3] = {1, 2, 3}, v = 4.0;
    EXPECT_EQ(ComputeSatelliteFromMeanElements(2443937.5, 999, position, &v, nullptr, nullptr,
                                               nullptr),
              0);
    EXPECT_EQ(position[0], 1.0);
    EXPECT_EQ(v, 4.0);
}

}  // namespace
