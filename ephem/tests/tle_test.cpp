// Tests of the element-line reader: check digits, the result codes of a
// pair, exponent and decimal fields, the epoch, catalogue numbers, the model
// switch and the perigee and apogee heights.
#include "ephem/tle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/mathutil.h"

namespace {

// The Spacetrack Report No. 3 SGP4 case as the verification file of
// "Revisiting Spacetrack Report #3" (SGP4-VER.TLE) gives it, with check digits.
const char *kLine1 = "1 88888U          80275.98708465  .00073094  13844-3  66816-4 0    87";
const char *kLine2 = "2 88888  72.8435 115.9689 0086731  52.6988 110.5714 16.05824518  1058";
// ISS (ZARYA), a current-form element set with a negative exponent field.
const char *kIss1 = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
const char *kIss2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";

const double kDeg = 0.017453292519943295;

// The line with column `column` (1-based) replaced.
std::string WithColumn(const char *line, int column, char c) {
    std::string s(line);
    s[column - 1] = c;
    return s;
}

TEST(TwoLineChecksum, TableOfLines) {
    struct Case {
        std::string line;
        int expected;
    } cases[] = {
        {kLine1, 0},
        {kLine2, 0},
        {kIss1, 0},
        {kIss2, 0},
        {std::string(kLine1) + "\r\n", 0},          // CR LF after column 69
        {std::string(kLine1) + "\n", 0},
        {std::string(kLine1) + "           ", 0},  // blank padding to 80 columns
        {std::string(kLine1) + "X", kTleTextAfterCheck},
        {WithColumn(kLine1, 69, '8'), 9},          // check digit one too high
        {WithColumn(kLine1, 69, '6'), 1},
        {WithColumn(kLine1, 1, '3'), kTleNoLineNumber},
        {WithColumn(kLine1, 2, 'x'), kTleNoLineNumber},
        {WithColumn(kLine1, 30, '\t'), kTleBadCharacter},
        {WithColumn(kLine1, 30, '~'), kTleBadCharacter},
        {WithColumn(kLine1, 69, 'A'), kTleBadCharacter},
        {std::string(kLine1).substr(0, 60), kTleBadCharacter},  // short line
        {"", kTleNoLineNumber},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CheckTwoLineChecksum(c.line.c_str()), c.expected) << "[" << c.line << "]";
    }
    EXPECT_EQ(CheckTwoLineChecksum(nullptr), kTleNoLineNumber);
}

TEST(TwoLineChecksum, MinusCountsOneAndPlusCountsZero) {
    // Column 10 is blank in kLine1: a "-" there raises the sum by 1, a "+" not.
    std::string minus = WithColumn(kLine1, 10, '-');
    std::string plus = WithColumn(kLine1, 10, '+');
    EXPECT_EQ(CheckTwoLineChecksum(minus.c_str()), 1);
    EXPECT_EQ(CheckTwoLineChecksum(plus.c_str()), 0);
}

TEST(ParseTwoLineElements, ResultCodes) {
    TwoLineElementSet e;
    std::string bad1 = WithColumn(kLine1, 69, '0');
    std::string bad2 = WithColumn(kLine2, 69, '0');
    std::string control1 = WithColumn(kLine1, 20, '\x01');
    std::string tail1 = std::string(kLine1) + "Z";
    std::string tail2 = std::string(kLine2) + "Z";
    std::string noSpace2 = WithColumn(kLine2, 2, '0');
    struct Case {
        const char *l1;
        const char *l2;
        int expected;
    } cases[] = {
        {kLine1, kLine2, kTleGood},
        {bad1.c_str(), kLine2, kTleBadLine1Check},
        {kLine1, bad2.c_str(), kTleBadLine2Check},
        {bad1.c_str(), bad2.c_str(), kTleBadLine1Check + kTleBadLine2Check},
        {kLine2, kLine1, kTleWrongLineNumbers},
        {kLine1, kLine1, kTleWrongLineNumbers},
        {control1.c_str(), kLine2, -102},
        {tail1.c_str(), kLine2, -103},
        {kLine1, tail2.c_str(), kTleTextAfterCheck},
        {kLine1, noSpace2.c_str(), kTleNoLineNumber},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ParseTwoLineElements(c.l1, c.l2, &e), c.expected) << c.l1 << "\n" << c.l2;
    }
    // Elements are filled even when a check digit disagrees.
    ASSERT_EQ(ParseTwoLineElements(bad1.c_str(), kLine2, &e), kTleBadLine1Check);
    EXPECT_NEAR(e.inclination, 72.8435 * kDeg, 1e-15);
}

TEST(ParseTwoLineElements, FieldsAndUnits) {
    TwoLineElementSet e;
    ASSERT_EQ(ParseTwoLineElements(kLine1, kLine2, &e), kTleGood);
    // 1980 day 275.98708465: JD 2444239.5 + 275.98708465 (2444239.5 = 1980 Jan 0.0).
    EXPECT_NEAR(e.epoch, 2444514.48708465, 1e-8);
    EXPECT_NEAR(e.meanMotionRateHalf, 0.00073094 * 2.0 * kPi / (1440.0 * 1440.0), 1e-20);
    EXPECT_NEAR(e.meanMotionSecond, 0.13844e-3 * 2.0 * kPi / (1440.0 * 1440.0 * 1440.0), 1e-22);
    EXPECT_NEAR(e.bstar, 0.66816e-4, 1e-18);
    EXPECT_NEAR(e.inclination, 72.8435 * kDeg, 1e-15);
    EXPECT_NEAR(e.ascendingNode, 115.9689 * kDeg, 1e-15);
    EXPECT_NEAR(e.eccentricity, 0.0086731, 1e-15);
    EXPECT_NEAR(e.argumentOfPerigee, 52.6988 * kDeg, 1e-15);
    EXPECT_NEAR(e.meanAnomaly, 110.5714 * kDeg, 1e-15);
    // The mean motion field ends at column 63: the revolution number that
    // abuts it is not read into it.
    EXPECT_NEAR(e.meanMotion, 16.05824518 * 2.0 * kPi / 1440.0, 1e-15);

    ASSERT_EQ(ParseTwoLineElements(kIss1, kIss2, &e), kTleGood);
    EXPECT_NEAR(e.bstar, -0.11606e-4, 1e-18);
    EXPECT_NEAR(e.meanMotionRateHalf, -0.00002182 * 2.0 * kPi / (1440.0 * 1440.0), 1e-20);
    EXPECT_EQ(e.meanMotionSecond, 0.0);
}

TEST(ParseTwoLineElements, FieldWithoutNumberIsRefused) {
    TwoLineElementSet e;
    // The inclination field made unreadable, with the check digit mended
    // ("X" counts 0 where "7" counted 7: 8 - 7 = 1).
    std::string line2 = WithColumn(kLine2, 10, 'X');
    line2 = WithColumn(line2.c_str(), 69, '1');
    EXPECT_EQ(ParseTwoLineElements(kLine1, line2.c_str(), &e), kTleBadField);
    // A zero mean motion describes no orbit.
    std::string zero = std::string(kLine2).replace(52, 11, " 0.00000000");
    int sum = CheckTwoLineChecksum(zero.c_str());
    zero[68] = static_cast<char>('0' + (zero[68] - '0' + sum) % 10);
    ASSERT_EQ(CheckTwoLineChecksum(zero.c_str()), 0);
    EXPECT_EQ(ParseTwoLineElements(kLine1, zero.c_str(), &e), kTleBadField);
}

TEST(ParseTwoLineExponentField, Forms) {
    EXPECT_DOUBLE_EQ(ParseTwoLineExponentField("-11606-4"), -0.11606e-4);
    EXPECT_DOUBLE_EQ(ParseTwoLineExponentField(" 66816-4"), 0.66816e-4);
    EXPECT_DOUBLE_EQ(ParseTwoLineExponentField("+12345+3"), 0.12345e3);
    EXPECT_DOUBLE_EQ(ParseTwoLineExponentField("-12345-3"), -0.12345e-3);
    EXPECT_EQ(ParseTwoLineExponentField(" 00000-0"), 0.0);
    EXPECT_EQ(ParseTwoLineExponentField("        "), 0.0);
    EXPECT_EQ(ParseTwoLineExponentField(""), 0.0);
}

TEST(ParseTwoLineElements, EpochCentury) {
    TwoLineElementSet e;
    struct Case {
        const char *yearDay;  // columns 19-32
        double jd;
    } cases[] = {
        {"00001.50000000", 2451545.0},           // 2000 January 1.5 = J2000
        {"56001.00000000", 2471998.5},           // 2056 January 1.0
        {"57001.00000000", 2435839.5},           // 1957 January 1.0
        {"99365.00000000", 2451543.5},           // 1999 December 31.0
    };
    for (const Case &c : cases) {
        std::string line = std::string(kLine1).replace(18, 14, c.yearDay);
        int sum = CheckTwoLineChecksum(line.c_str());
        line[68] = static_cast<char>('0' + (line[68] - '0' + sum) % 10);
        ASSERT_EQ(ParseTwoLineElements(line.c_str(), kLine2, &e), kTleGood) << line;
        EXPECT_NEAR(e.epoch, c.jd, 1e-9) << c.yearDay;
    }
}

TEST(ParseSatelliteNumber, FiveDigitsAndAlpha5) {
    EXPECT_EQ(ParseSatelliteNumber(kLine1), 88888);
    EXPECT_EQ(ParseSatelliteNumber("1 00005U"), 5);
    EXPECT_EQ(ParseSatelliteNumber("1 A0000U"), 100000);
    EXPECT_EQ(ParseSatelliteNumber("1 H9999U"), 179999);
    EXPECT_EQ(ParseSatelliteNumber("1 J0001U"), 180001);  // I is skipped
    EXPECT_EQ(ParseSatelliteNumber("1 Z9999U"), 339999);
    EXPECT_EQ(ParseSatelliteNumber("1 I0001U"), -1);
    EXPECT_EQ(ParseSatelliteNumber("1 12a45U"), -1);
    EXPECT_EQ(ParseSatelliteNumber("1 "), -1);
}

TEST(IsDeepSpaceOrbit, SwitchAt225Minutes) {
    TwoLineElementSet e = {};
    e.inclination = 0.9;
    e.eccentricity = 0.001;
    e.meanMotion = 1.0027 * 2.0 * kPi / 1440.0;
    EXPECT_EQ(IsDeepSpaceOrbit(&e), 1);
    e.meanMotion = 15.5 * 2.0 * kPi / 1440.0;
    EXPECT_EQ(IsDeepSpaceOrbit(&e), 0);
    // The switch falls on the corrected period: find the raw mean motion
    // whose corrected period is 225 minutes and test both sides of it.
    double n = 6.4 * 2.0 * kPi / 1440.0;
    for (int i = 0; i < 60; ++i) {
        e.meanMotion = n;
        double a, corrected;
        RecoverMeanMotion(&e, &a, &corrected);
        n *= (2.0 * kPi / 225.0) / corrected;
    }
    e.meanMotion = n * (1.0 + 1e-9);
    EXPECT_EQ(IsDeepSpaceOrbit(&e), 0);
    e.meanMotion = n * (1.0 - 1e-9);
    EXPECT_EQ(IsDeepSpaceOrbit(&e), 1);
    // The corrected period differs from the raw one here.
    EXPECT_GT(std::fabs(2.0 * kPi / n - 225.0), 1e-3);
}

TEST(PerigeeAndApogee, HeightsOfTheTestCase) {
    TwoLineElementSet e;
    ASSERT_EQ(ParseTwoLineElements(kLine1, kLine2, &e), kTleGood);
    // Independent: Kepler's third law with the WGS-72 GM (398600.8 km^3/s^2)
    // gives a = 6641.4 km for 16.05824518 rev/day; the J2 recovery moves it
    // by well under 10 km.
    double n = 16.05824518 * 2.0 * kPi / 86400.0;
    double a = std::cbrt(398600.8 / (n * n));
    EXPECT_NEAR(ComputePerigeeHeight(&e), a * (1.0 - 0.0086731) - 6378.135, 10.0);
    EXPECT_NEAR(ComputeApogeeHeight(&e), a * (1.0 + 0.0086731) - 6378.135, 10.0);
    EXPECT_NEAR(ComputeApogeeHeight(&e) - ComputePerigeeHeight(&e),
                2.0 * 0.0086731 * (ComputeApogeeHeight(&e) + ComputePerigeeHeight(&e) + 2 * 6378.135) / 2.0,
                1e-9);
}

TEST(WrapTwoPi, Range) {
    EXPECT_DOUBLE_EQ(WrapTwoPi(-0.5), 2.0 * kPi - 0.5);
    EXPECT_DOUBLE_EQ(WrapTwoPi(7.0), 7.0 - 2.0 * kPi);
    EXPECT_EQ(WrapTwoPi(0.0), 0.0);
    EXPECT_LT(WrapTwoPi(2.0 * kPi), 2.0 * kPi);
}

}  // namespace
