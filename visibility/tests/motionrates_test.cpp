// Tests of motion rates (the Moon against ERFA's Moon98), their texts and the
// choice of a double star's component pair.
#include "visibility/motionrates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/mathutil.h"
#include "ephem/tests/ephemfixture.h"
#include "objects/buildrecord.h"
#include "objects/ccdmcomponent.h"
#include "objects/objectrecord.h"
#include "visibility/doublestarpair.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kArcsecToRadian = kPi / 648000.0;

TEST(MotionRateText, UnitsAndDigits) {
    char ra[kRateTextSize], dec[kRateTextSize];
    // 2.5"/min and 0.7"/min: both per minute, two decimals.
    FormatMotionRates(ra, dec, 2.5 / 60.0 * kArcsecToRadian, 0.7 / 60.0 * kArcsecToRadian);
    EXPECT_STREQ(ra, "2.50 \"/min");
    EXPECT_STREQ(dec, "0.70 \"/min");
    // The larger rate decides, whatever its sign.
    FormatMotionRates(ra, dec, 0.2 / 60.0 * kArcsecToRadian, -30.0 * kArcsecToRadian);
    EXPECT_STREQ(dec, "-30.0 \"/sec");
    EXPECT_STREQ(ra, "0.00 \"/sec");
    struct Case {
        double arcsecPerSecond;
        const char *text;
    } cases[] = {
        {12.0, "12.0 \"/sec"},
        {0.5, "30.0 \"/min"},
        {1.0 / 60.0, "60.0 \"/hr"},      // exactly 1"/min is not above 1: per hour
        {1.0 / 3600.0, "1.00 \"/hr"},
        {1.0 / 86400.0, "1.00 \"/day"},
        {0.1 / 86400.0, "36.5 \"/yr"},
    };
    char text[kRateTextSize];
    for (const Case &c : cases) {
        FormatMotionRate(text, c.arcsecPerSecond * kArcsecToRadian);
        EXPECT_STREQ(text, c.text) << c.arcsecPerSecond;
    }
    FormatRateValue(text, "\"/sec", 9.999);
    EXPECT_STREQ(text, "10.00 \"/sec");
}

class MotionRates : public ephemtest::GeneratedTables {};

TEST_F(MotionRates, MoonAgainstMoon98) {
#ifndef GLEANER_HAVE_ERFA
    GTEST_SKIP() << "ERFA not available";
#else
    const double jde = 2448724.5;  // 1992 April 12, 0h TD (Meeus, example 47.a)
    DateRecord date = ephemtest::DateAtTT(jde, 59.0);
    ObjectRecord out[3];
    ASSERT_EQ(BuildObjectRecord(kClassSolarSystem, 0, 0, 0, "Moon", 0.0, nullptr, &date, 0.2, out), 1);
    double raRate = 0, decRate = 0, total = 0;
    ASSERT_EQ(ComputeMotionRates(nullptr, &date, &out[0], &raRate, &decRate, &total), 1);
    // ERFA: the geocentric Moon at +-30 s, rotated to the true equator of date.
    double rnpb[3][3];
    eraPnm06a(jde, 0.0, rnpb);
    double ra[2], dec[2];
    for (int i = 0; i < 2; ++i) {
        double pv[2][3], p[3];
        eraMoon98(jde, (i ? 30.0 : -30.0) / 86400.0, pv);
        eraRxp(rnpb, pv[0], p);
        eraC2s(p, &ra[i], &dec[i]);
    }
    const double expectedRa = eraAnpm(ra[1] - ra[0]) / 60.0, expectedDec = (dec[1] - dec[0]) / 60.0;
    EXPECT_NEAR(raRate, expectedRa, 0.01 * std::fabs(expectedRa));
    EXPECT_NEAR(decRate, expectedDec, 0.02 * std::fabs(expectedRa));
    EXPECT_NEAR(total, std::hypot(expectedRa * std::cos(dec[0]), expectedDec), 0.01 * std::fabs(expectedRa));
    // The item is left at the later place.
    EXPECT_NEAR(out[0].raOfDate, ra[1], 20 * kArcsecToRadian);
#endif
}

TEST(MotionRatesNoPlace, NothingToPlace) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = kClassSolarSystem;
    r.index = 13;  // no such body
    DateRecord date = ephemtest::DateAtTT(2448724.5, 59.0);
    double ra = 5, dec = 5;
    EXPECT_EQ(ComputeMotionRates(nullptr, &date, &r, &ra, &dec, nullptr), 0);
    EXPECT_EQ(ra, 5.0);
    EXPECT_EQ(ComputeMotionRates(nullptr, nullptr, &r, &ra, &dec, nullptr), 0);
}

CcdmComponent Row(char reference, char letter, double separation, double magnitude) {
    CcdmComponent r;
    std::memset(&r, 0, sizeof r);
    r.referenceLetter = reference;
    r.letter = letter;
    r.separation = separation;
    r.magnitude = magnitude;
    r.positionAngle = 90;
    return r;
}

TEST(DoubleStarPair, ChoiceOverComponentRows) {
    EXPECT_EQ(ChooseDoubleStarComponent(5, 1, nullptr, 0), -1);
    const CcdmComponent one[] = {Row('A', 'B', 0.2, 6)};
    EXPECT_EQ(ChooseDoubleStarComponent(5, 1, one, 1), 0);
    // AB 0.5" under a 1" limit: the wider pair nearest the primary's magnitude.
    const CcdmComponent close[] = {Row('A', 'B', 0.5, 5.5), Row('A', 'C', 8, 11), Row('A', 'D', 20, 7),
                                   Row('A', 'E', 0.9, 5.1)};
    EXPECT_EQ(ChooseDoubleStarComponent(5, 1, close, 4), 2);
    const CcdmComponent noneWider[] = {Row('A', 'B', 0.5, 5.5), Row('A', 'C', 0.8, 6)};
    EXPECT_EQ(ChooseDoubleStarComponent(5, 1, noneWider, 2), 0);
    // The first pair split and within 3 magnitudes: it stays.
    const CcdmComponent near[] = {Row('A', 'B', 3, 7.9), Row('A', 'C', 5, 5.2)};
    EXPECT_EQ(ChooseDoubleStarComponent(5, 1, near, 2), 0);
    // A faint first companion: a nearer-magnitude pair under 110", not from
    // 'A', not a close 'a'/'b' pair, at least the limit apart.
    struct Case {
        CcdmComponent second;
        int expected;
    } cases[] = {
        {Row('B', 'C', 5, 7), 1},
        {Row('A', 'C', 5, 7), 0},     // measured from A
        {Row('B', 'a', 5, 7), 0},     // close sub-pair
        {Row('B', 'b', 5, 7), 0},
        {Row('B', 'C', 110, 7), 0},   // too wide
        {Row('B', 'C', 0.5, 7), 0},   // not split
        {Row('B', 'C', 5, 13), 0},    // no nearer in magnitude than AB
    };
    for (const Case &c : cases) {
        const CcdmComponent rows[] = {Row('A', 'B', 4, 12), c.second};
        EXPECT_EQ(ChooseDoubleStarComponent(5, 1, rows, 2), c.expected)
            << c.second.referenceLetter << c.second.letter << " " << c.second.separation;
    }
    // Among several, the nearest in magnitude.
    const CcdmComponent several[] = {Row('A', 'B', 4, 12), Row('B', 'C', 5, 8), Row('C', 'D', 9, 6)};
    EXPECT_EQ(ChooseDoubleStarComponent(5, 1, several, 3), 2);
}

}  // namespace
