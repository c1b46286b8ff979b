// Tests of the reference points and the solar-system colours: names and
// abbreviations, the J2000 places of the celestial poles of date, the zenith,
// the galactic poles and the galactic centre against ERFA, the refusal of a
// place without the date or site it needs, and the colour table's fallbacks.
#include "objects/refpoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/nutation.h"
#include "astro/sidereal.h"
#include "objects/categories.h"
#include "objects/solarcolours.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kDeg = kPi / 180.0;
const double kArcsec = kDeg / 3600.0;

LocationRecord Site(double latitudeDeg, double longitudeWestDeg) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    InitLocationRecord(&r, longitudeWestDeg * kDeg, latitudeDeg * kDeg, 0.0, 6.5, 0.0, 10.0, 50.0,
                       2, 0.0, 0.0, "Test Site");
    return r;
}

DateRecord UtDate(const LocationRecord &site, int month, int day, int year, double hours) {
    DateRecord d;
    std::memset(&d, 0, sizeof d);
    SetDateRecord(&d, &site, month, day, year, hours, kUniversalTime);
    ComputeDeltaTAndNutation(&d, 0.0);
    ComputeSiderealTimes(&site, &d);
    return d;
}

// Angle between two directions (radians); the ERFA comparisons use it.
[[maybe_unused]] double Separation(double ra1, double dec1, double ra2, double dec2) {
    double c = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::acos(c > 1 ? 1 : (c < -1 ? -1 : c));
}

TEST(ReferencePoints, NamesAndAbbreviations) {
    struct { const char *text; int number; } cases[] = {
        {"zenith", 3}, {"z", 3}, {"ZENITH", 3}, {"galactic center", 6}, {"NCP", 1},
        {"south celestial pole", 2}, {"ngp", 4}, {"SGP", 5}, {"Galactic Centre", 0},
        {"Zenith ", 0}, {"", 0}, {"N", 0}};
    for (const auto &c : cases) EXPECT_EQ(FindReferencePoint(c.text), c.number) << c.text;
    char name[21];
    EXPECT_EQ(ReferencePointName(0, name), 1);
    EXPECT_STREQ(name, "North Celestial Pole");
    EXPECT_EQ(ReferencePointName(5, name), 1);
    EXPECT_STREQ(name, "Galactic Center");
    EXPECT_EQ(ReferencePointName(6, name), 0);
    EXPECT_EQ(ReferencePointName(-1, name), 0);
    char abbreviation[4];
    EXPECT_EQ(ReferencePointInfo(nullptr, nullptr, 3, name, abbreviation, nullptr, nullptr), 1);
    EXPECT_STREQ(name, "Zenith");
    EXPECT_STREQ(abbreviation, "Z");
}

TEST(ReferencePoints, PlacesNeedTheirDateAndSite) {
    LocationRecord site = Site(45.0, -10.0);
    DateRecord date = UtDate(site, 1, 1, 2024, 3.0);
    double ra = 7, dec = 7;
    EXPECT_EQ(ReferencePointInfo(nullptr, nullptr, 2, nullptr, nullptr, &ra, &dec), 0);
    EXPECT_EQ(ReferencePointInfo(nullptr, &date, 3, nullptr, nullptr, &ra, &dec), 0);
    EXPECT_EQ(ReferencePointInfo(&site, nullptr, 3, nullptr, nullptr, &ra, &dec), 0);
    EXPECT_EQ(ra, 7.0);
    // Only one place output: the names still come, no place is computed.
    EXPECT_EQ(ReferencePointInfo(nullptr, nullptr, 1, nullptr, nullptr, &ra, nullptr), 1);
    EXPECT_EQ(ra, 7.0);
    // The galactic poles and centre need neither.
    EXPECT_EQ(ReferencePointInfo(nullptr, nullptr, 5, nullptr, nullptr, &ra, &dec), 1);
}

// The galactic centre comes from its stated texts, its right ascension inside [0, 2 pi).
TEST(ReferencePoints, GalacticCentreFromItsTexts) {
    double ra = 0, dec = 0;
    ASSERT_EQ(ReferencePointInfo(nullptr, nullptr, 6, nullptr, nullptr, &ra, &dec), 1);
    EXPECT_NEAR(ra, (17 + 45 / 60.0 + 40.04 / 3600) * 15 * kDeg, 1e-12);
    EXPECT_NEAR(dec, -(29 + 0 / 60.0 + 28.1 / 3600) * kDeg, 1e-12);
}

#ifdef GLEANER_HAVE_ERFA
TEST(ReferencePoints, PlacesAgainstErfa) {
    // The nutation series, as the program loads it at start-up.
    testutil::TempDir nutation;
    std::string command = "python3 \"" + testutil::SourceDir() + "/tools/gen_nutcon.py\" --out \"" +
                          nutation.path() + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_EQ(LoadNutationTable((nutation.path() + "/").c_str()), 1);
    // 2024 January 1, 3h UT, when UT1 - UTC was about 0.01 s.
    LocationRecord site = Site(45.0, -10.0);  // 10 degrees east
    DateRecord date = UtDate(site, 1, 1, 2024, 3.0);
    const double jdUtc = 2460310.5 + 3.0 / 24.0;
    double tt1 = 0, tt2 = 0, tai1 = 0, tai2 = 0;
    eraUtctai(jdUtc, 0.0, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);

    // Poles of date: the place that appears at the celestial intermediate
    // pole, aberration included, in the J2000 frame.
    for (int number : {1, 2}) {
        double ra = 0, dec = 0, eo = 0;
        ASSERT_EQ(ReferencePointInfo(nullptr, &date, number, nullptr, nullptr, &ra, &dec), 1);
        double rc = 0, dc = 0;
        eraAtic13(0.0, number == 1 ? kPi / 2 : -kPi / 2, tt1, tt2, &rc, &dc, &eo);
        EXPECT_LT(Separation(ra, dec, rc, dc), 1.5 * kArcsec) << number;
        EXPECT_GE(ra, 0.0);
        EXPECT_LT(ra, 2 * kPi);
        // and not the J2000 pole itself (24 years of precession, about 8').
        EXPECT_GT(Separation(ra, dec, 0.0, number == 1 ? kPi / 2 : -kPi / 2), 300 * kArcsec);
    }

    // Zenith: the observed place at zenith distance 0 without refraction.
    {
        double ra = 0, dec = 0;
        ASSERT_EQ(ReferencePointInfo(&site, &date, 3, nullptr, nullptr, &ra, &dec), 1);
        double ri = 0, di = 0, rc = 0, dc = 0, eo = 0;
        ASSERT_EQ(eraAtoi13("A", 0.0, 0.0, jdUtc, 0.0, 0.0, 10.0 * kDeg, 45.0 * kDeg, 0.0, 0.0,
                            0.0, 0.0, 0.0, 0.0, 0.0, &ri, &di),
                  0);
        eraAtic13(ri, di, tt1, tt2, &rc, &dc, &eo);
        EXPECT_LT(Separation(ra, dec, rc, dc), 3 * kArcsec);
        EXPECT_GE(ra, 0.0);
        EXPECT_LT(ra, 2 * kPi);
    }

    // Galactic poles.
    for (int number : {4, 5}) {
        double ra = 0, dec = 0, rc = 0, dc = 0;
        ASSERT_EQ(ReferencePointInfo(nullptr, nullptr, number, nullptr, nullptr, &ra, &dec), 1);
        eraG2icrs(0.0, number == 4 ? kPi / 2 : -kPi / 2, &rc, &dc);
        EXPECT_LT(Separation(ra, dec, rc, dc), 0.5 * kArcsec) << number;
        EXPECT_GE(ra, 0.0);
        EXPECT_LT(ra, 2 * kPi);
    }
    // The galactic centre is Sgr A*, at galactic l = 359.94423, b = -0.04616
    // degrees (Reid & Brunthaler 2004), some arcminutes from (0, 0).
    double ra = 0, dec = 0, rc = 0, dc = 0;
    ASSERT_EQ(ReferencePointInfo(nullptr, nullptr, 6, nullptr, nullptr, &ra, &dec), 1);
    eraG2icrs(359.94423 * kDeg, -0.04616 * kDeg, &rc, &dc);
    EXPECT_LT(Separation(ra, dec, rc, dc), 1 * kArcsec);
}
#endif

TEST(SolarSystemColours, TableAndFallbacks) {
    struct { int body, satellite; double value; } cases[] = {
        {0, 0, 0.62}, {3, 0, 99.9}, {4, 2, 0.65}, {4, 3, 1.36}, {5, 0, 0.83}, {5, 1, 1.17},
        {5, 5, 1.50}, {5, 7, 0.83}, {6, 6, 1.26}, {6, 9, 0.70}, {6, 12, 1.04}, {7, 4, 0.68},
        {8, 1, 0.72}, {8, 2, 0.41}, {9, 0, 0.80}, {9, 1, 0.80}, {10, 0, 0.92}, {11, 0, 99.9},
        {12, 0, 99.9}, {-1, 0, 99.9}, {6, -1, 1.04}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(SolarSystemColorIndex(c.body, c.satellite), c.value)
            << c.body << " " << c.satellite;
    for (int cls = 0; cls < 24; ++cls)
        EXPECT_EQ(IsSolarSystemClass(cls), cls == 2 || cls == 3 || cls == 4 || cls == 13 || cls == 14)
            << cls;
}

}  // namespace
