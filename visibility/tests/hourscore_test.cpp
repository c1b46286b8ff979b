// Tests of the hour score, the darkness profile of a night and the
// brightness weights of the event finders.
#include "visibility/hourscore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "objects/objectrecord.h"

namespace {

const double kDeg = kPi / 180.0;

LocationRecord Site(double elevation = 0.0) {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, 40 * kDeg, elevation, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
    return site;
}

DateRecord Date(const LocationRecord &site, int month, int day, int year, double hours) {
    DateRecord d;
    SetDateRecord(&d, &site, month, day, year, hours, kLocalTime);
    ComputeDeltaTAndNutation(&d, 0.0);
    ComputeSiderealTimes(&site, &d);
    return d;
}

TEST(HourScore, AltitudeScore) {
    const LocationRecord site = Site(1500.0);
    ASSERT_LT(site.horizonDip, 0.0);
    const DateRecord d = Date(site, 1, 11, 2024, 0.0);
    double darkness = 0, fraction = 0;
    auto score = [&](double altitude) {
        return ComputeHourScore(&site, &d, -60 * kDeg, 90 * kDeg, -60 * kDeg, 0.0, 90 * kDeg, altitude, &darkness,
                                &fraction);
    };
    EXPECT_EQ(score(kPi / 2.0) & 0xFF, 255);
    EXPECT_NEAR(fraction, 1.0, 1e-12);
    EXPECT_EQ(score(site.horizonDip) & 0xFF, 0);
    EXPECT_EQ(fraction, -1.0);
    EXPECT_EQ(score(-0.5) & 0xFF, 0);
    EXPECT_EQ(fraction, -1.0);
    // Halfway from the dip to the zenith: 128.
    EXPECT_EQ(score((site.horizonDip + kPi / 2.0) / 2.0) & 0xFF, 128);
    // Past the zenith (a folded altitude above pi/2) the fraction falls again.
    score(kPi / 2.0 + 0.1);
    EXPECT_NEAR(fraction, (kPi / 2.0 - 0.1) / (kPi / 2.0 - site.horizonDip), 1e-12);
    // The darkness byte: daylight 0, a moonless night at a dark site near 255.
    const uint16_t night = score(1.0);
    EXPECT_GT(night >> 8, 200);
    EXPECT_EQ((int)(night >> 8), (int)std::round(darkness * 255.0));
    const uint16_t day = ComputeHourScore(&site, &d, 30 * kDeg, 60 * kDeg, -60 * kDeg, 0.0, 90 * kDeg, 1.0,
                                          &darkness, nullptr);
    EXPECT_LT(day >> 8, 20);  // daylight: about 4 mag/arcsec^2, darkness under 0.08
}

TEST(NightProfile, ComputedAndInterpolatedSlots) {
    // The night of 2024 January 10/11 (new Moon on the 11th) at latitude 40.
    const LocationRecord site = Site();
    const DateRecord date = Date(site, 1, 11, 2024, 0.0);
    uint8_t table[25];
    std::memset(table, 0xEE, sizeof table);
    SunMoonCache cache;
    ASSERT_EQ(BuildNightProfile(&site, &date, table, 25, &cache), 1);
    FreeSunMoonCache(&cache);
    // Noon at both ends is daylight, midnight fully dark.
    EXPECT_LT(table[0], 20);
    EXPECT_LT(table[24], 20);
    EXPECT_GT(table[12], 200);
    // The computed slots 0, 8, 16, 24 are the zenith's darkness at 12, 20, 4, 12 h.
    const DateRecord start = Date(site, 1, 10, 2024, 12.0);
    for (int q : {8, 16}) {
        const double jd = start.julianDate + q / 24.0;
        DateRecord d = start;
        d.julianDate = jd;
        SetDateRecordFromJulianDate(&site, &d);
        SunMoonState s = {};
        ComputeSunMoonState(&site, jd, 0.0, kNoTarget, &s, 0);
        const uint16_t word = ComputeHourScore(&site, &d, s.sunAltitude, s.sunTargetSeparation, s.moonAltitude,
                                               s.moonIlluminatedFraction, s.moonTargetSeparation, kPi / 2.0,
                                               nullptr, nullptr);
        EXPECT_NEAR(table[q], word >> 8, 1) << q;
    }
    // Slots between are on the straight line between their computed neighbours.
    for (int i = 1; i < 8; ++i) {
        EXPECT_EQ(table[i], (uint8_t)std::round(table[0] + i * (table[8] - table[0]) / 8.0)) << i;
        EXPECT_EQ(table[16 + i], (uint8_t)std::round(table[16] + i * (table[24] - table[16]) / 8.0)) << i;
    }
    // Without a cache the same profile; a shortened last stride (n = 21).
    uint8_t again[25];
    ASSERT_EQ(BuildNightProfile(&site, &date, again, 25, nullptr), 1);
    for (int i = 0; i < 25; ++i) EXPECT_NEAR(again[i], table[i], 1) << i;
    uint8_t shorter[21];
    ASSERT_EQ(BuildNightProfile(&site, &date, shorter, 21, nullptr), 1);
    EXPECT_LT(shorter[20], 20);
    EXPECT_GT(shorter[10], 200);
    // Too short a table, or none: 0 and nothing written.
    uint8_t one[1] = {0x77};
    EXPECT_EQ(BuildNightProfile(&site, &date, one, 1, nullptr), 0);
    EXPECT_EQ(one[0], 0x77);
    EXPECT_EQ(BuildNightProfile(&site, &date, nullptr, 25, nullptr), 0);
}

TEST(BrightnessWeights, ClassesBlendsAndWeights) {
    struct Case {
        int objectClass;
        double magnitude;
        int expected;
    } cases[] = {
        {kClassSolarSystem, 8.0, 4}, {kClassSolarSystem, -7.0, 8}, {kClassStar, -4.0, 7},
        {kClassStar, 1.0, 6},        {kClassStar, 5.9, 5},          {kClassStar, 12.0, 3},
        {kClassGlobularCluster, 12.0, 3}, {kClassOpenCluster, 13.0, 2}, {kClassOpenCluster, 9.0, 4},
        {kClassSkyMark, 50.0, 8},    {kClassReferencePoint, 0.0, 8}, {kClassNone, 3.0, -1},
        {kClassEarthSatellite, 3.0, -1}, {23, 3.0, -1}, {kClassConstellation, 0.0, 4},
        {kClassGalaxy, 10.0, 2},     {kClassGalaxy, 9.9, 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ClassifyBrightness(c.objectClass, c.magnitude), c.expected) << c.objectClass << " " << c.magnitude;
    EXPECT_EQ(BlendByBrightnessClass(0.8, 0.0, 0.0, 0.0, 4), 0.0);  // b at its lower limit
    EXPECT_EQ(BlendByBrightnessClass(-0.1, 0.5, 0.0, 0.0, 4), 0.0);
    EXPECT_DOUBLE_EQ(BlendByBrightnessClass(0.8, 0.4, 0.0, 0.0, 4), 0.6);
    EXPECT_DOUBLE_EQ(BlendByBrightnessClass(0.8, 0.4, 0.0, 0.0, 8), 0.4);
    EXPECT_DOUBLE_EQ(BlendByBrightnessClass(0.8, 0.4, 0.0, 0.0, 0), 0.8);
    double a = 0, b = 0;
    ComputeMagnitudeWeights(8.0, &a, &b);
    EXPECT_DOUBLE_EQ(b, 0.000436 * std::pow(18.0, 2.5));
    EXPECT_DOUBLE_EQ(a, 10.0 / 90.0);
    ComputeMagnitudeWeights(8.01, &a, &b);
    EXPECT_EQ(b, 0.6);
    ComputeMagnitudeWeights(-11.0, &a, &b);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(a, 0.0);
    ComputeMagnitudeWeights(0.0, &a, &b);
    EXPECT_DOUBLE_EQ(a, 3.5 / 90.0);
    EXPECT_DOUBLE_EQ(AdjustForExperience(0.0, 1.0, 0), 0.4);
    EXPECT_DOUBLE_EQ(AdjustForExperience(0.0, 0.0, 0), 0.15);
    EXPECT_DOUBLE_EQ(AdjustForExperience(0.0, 0.0, 1), -0.15);
}

}  // namespace
