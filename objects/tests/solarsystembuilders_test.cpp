// Tests of the class-2 builder: which designations select a body (numbers,
// whole names, never the Earth), the places and values a body puts into its
// record against Meeus's worked examples, the record without a site, and the
// diurnal parallax carried into the J2000 place at the date with one.
#include "objects/solarsystembuilders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "ephem/tests/ephemfixture.h"
#include "objects/buildrecord.h"
#include "objects/objectrecord.h"

namespace {

using ephemtest::kArcsecond;
using ephemtest::kDegree;

double Separation(double ra1, double dec1, double ra2, double dec2) {
    double c = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::acos(c > 1 ? 1 : (c < -1 ? -1 : c));
}

class SolarSystemBuild : public ephemtest::GeneratedTables {};

TEST_F(SolarSystemBuild, DesignationsSelectBodies) {
    DateRecord date = ephemtest::DateAtTT(2448908.5, 59.0);
    struct { int number; const char *text; int index; } cases[] = {
        {0, "Moon", 10}, {0, "moon", 10}, {0, "JUPITER", 5}, {0, "Sun", 0},
        {0, "Earth Shadow", 11}, {0, "Earth", -1}, {0, "Mars ", -1}, {0, "Mar", -1},
        {0, "", -1}, {6, nullptr, 5}, {1, nullptr, 0}, {12, nullptr, 11}, {13, nullptr, -1}};
    for (const auto &c : cases) {
        ObjectRecord out[3];
        int n = BuildObjectRecord(2, 0, 0, c.number, c.text, 0.0, nullptr, &date, 0.2, out);
        if (c.index < 0) {
            EXPECT_EQ(n, 0) << (c.text ? c.text : "") << c.number;
        } else {
            ASSERT_EQ(n, 1) << (c.text ? c.text : "") << c.number;
            EXPECT_EQ(+out[0].index, c.index) << (c.text ? c.text : "") << c.number;
            EXPECT_EQ(+out[0].kind, 0);
        }
    }
    // Nothing without a date.
    ObjectRecord out[3];
    EXPECT_EQ(BuildObjectRecord(2, 0, 0, 0, "Moon", 0.0, nullptr, nullptr, 0.2, out), 0);
    // A refresh keeps the body of the stored index.
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = 2;
    r.index = 4;
    ASSERT_EQ(RefreshObjectRecord(&r, 0.0, nullptr, &date, 0.2), 1);
    EXPECT_EQ(+r.index, 4);
    EXPECT_FLOAT_EQ(+r.colourIndex, 1.36f);
}

// A satellite by name: Titan is Saturn's sixth; its record lies at the
// satellite's separation from Saturn's and keeps its own magnitude and size.
TEST_F(SolarSystemBuild, SatellitesByNameAndRefresh) {
    DateRecord date = ephemtest::DateAtTT(2460561.5, 69.2);
    ObjectRecord planet[3], titan[3];
    ASSERT_EQ(BuildObjectRecord(2, 0, 0, 7, nullptr, 0.0, nullptr, &date, 0.2, planet), 1);
    ASSERT_EQ(BuildObjectRecord(2, 0, 0, 0, "titan", 0.0, nullptr, &date, 0.2, titan), 1);
    const ObjectRecord &r = titan[0];
    EXPECT_EQ(+r.index, 6);
    EXPECT_EQ(+r.kind, 6);
    // About 141" west and 20" north of Saturn that night (PyEphem).
    const double separation = Separation(+r.raCatalogue, +r.decCatalogue, +planet[0].raCatalogue,
                                         +planet[0].decCatalogue);
    EXPECT_NEAR(separation / kArcsecond, std::hypot(140.89, 19.78), 6.0);
    EXPECT_LT(+r.raCatalogue, +planet[0].raCatalogue);
    EXPECT_GT(+r.decCatalogue, +planet[0].decCatalogue);
    EXPECT_GT(+r.magnitude, 7.5f);   // Titan near opposition: about 8.1
    EXPECT_LT(+r.magnitude, 9.0f);
    EXPECT_NEAR(+r.sizeMajor, 2 * 3.55 * kArcsecond / 8.72, 0.05 * kArcsecond);
    EXPECT_FLOAT_EQ(+r.magnitude2, 99.9f);
    EXPECT_EQ(+r.eclipticLongitude, -1.0);
    // The J2000 place at the date is carried back to J2000: precession since
    // 2000 moves it by about 0.3 degree from the place of date.
    EXPECT_GT(Separation(+r.raJ2000AtDate, +r.decJ2000AtDate, +r.raCatalogue, +r.decCatalogue),
              0.1 * kDegree);

    // A refresh of a satellite stored as kind + 100 keeps it a satellite.
    ObjectRecord stored = r;
    stored.kind = 106;
    ASSERT_EQ(RefreshObjectRecord(&stored, 0.0, nullptr, &date, 0.2), 1);
    EXPECT_EQ(+stored.kind, 106);
    EXPECT_LT(Separation(+stored.raCatalogue, +stored.decCatalogue, +r.raCatalogue,
                         +r.decCatalogue), 1e-9);
    // A number names no satellite, and a satellite the planet lacks is nothing.
    ObjectRecord none[3];
    ClearObjectRecord(&stored);
    stored.objectClass = 2;
    stored.index = 8;
    stored.kind = 2;
    EXPECT_EQ(RefreshObjectRecord(&stored, 0.0, nullptr, &date, 0.2), 0);
    EXPECT_EQ(BuildObjectRecord(2, 0, 0, 0, "Nereid", 0.0, nullptr, &date, 0.2, none), 0);
}

// Venus, 1992 December 20.0 TD: apparent 21h04m41.454s, -18 53' 16.84",
// distance 0.910947 AU (Meeus, Astronomical Algorithms, example 33.a, with
// the full VSOP87).
TEST_F(SolarSystemBuild, VenusWithoutSite) {
    DateRecord date = ephemtest::DateAtTT(2448976.5, 59.0);
    ObjectRecord out[3];
    ASSERT_EQ(BuildObjectRecord(2, 0, 0, 3, nullptr, 0.0, nullptr, &date, 0.2, out), 1);
    const ObjectRecord &r = out[0];
    const double ra = (21 + 4 / 60.0 + 41.454 / 3600) * 15 * kDegree;
    const double dec = -(18 + 53 / 60.0 + 16.84 / 3600) * kDegree;
    EXPECT_LT(Separation(+r.raCatalogue, +r.decCatalogue, ra, dec), 3 * kArcsecond);
    // Without a site the place of date is the geocentric apparent place.
    EXPECT_EQ(+r.raOfDate, +r.raCatalogue);
    EXPECT_EQ(+r.decOfDate, +r.decCatalogue);
    EXPECT_NEAR(+r.distanceLightYears, 0.910947 / 63241.08, 1e-6 * 0.910947 / 63241.08);
    EXPECT_FLOAT_EQ(+r.colourIndex, 0.82f);
    EXPECT_FLOAT_EQ(+r.magnitude2, 99.9f);
    EXPECT_LT(+r.magnitude, -3.0f);
    EXPECT_GT(+r.sizeMajor, 10 * kArcsecond);  // about 18.6" at 0.91 AU
    EXPECT_LT(+r.sizeMajor, 25 * kArcsecond);
    EXPECT_FLOAT_EQ(+r.extent, +r.sizeMajor);
    // The horizon, ecliptic and galactic doubles are not computed without a site.
    EXPECT_EQ(+r.altitude, -1.0);
    EXPECT_EQ(+r.eclipticLongitude, -1.0);
    EXPECT_EQ(+r.galacticLatitude, -1.0);
    // The J2000 place: no parallax, about 0.1 degree of precession from 1993.0.
    double shift = Separation(+r.raJ2000AtDate, +r.decJ2000AtDate, +r.raCatalogue, +r.decCatalogue);
    EXPECT_GT(shift, 0.05 * kDegree);
    EXPECT_LT(shift, 0.2 * kDegree);
}

// The Moon, 1992 April 12.0 TD: apparent RA 134.688470, Dec 13.768368
// degrees, distance 368409.7 km (Meeus, example 47.a).
TEST_F(SolarSystemBuild, MoonWithAndWithoutSite) {
    DateRecord date = ephemtest::DateAtTT(2448724.5, 58.0);
    ObjectRecord geo[3];
    ASSERT_EQ(BuildObjectRecord(2, 0, 0, 0, "Moon", 0.0, nullptr, &date, 0.2, geo), 1);
    EXPECT_LT(Separation(+geo[0].raCatalogue, +geo[0].decCatalogue, 134.688470 * kDegree,
                         13.768368 * kDegree),
              5 * kArcsecond);
    EXPECT_NEAR(+geo[0].distanceLightYears, 368409.7 / 9460730472580.8, 1e-4 * 368409.7 / 9460730472580.8);
    EXPECT_FLOAT_EQ(+geo[0].colourIndex, 0.92f);

    // From a site at latitude 50 the parallax moves the place of date by up
    // to a degree, and the J2000 place at the date moves with it.
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, -10 * kDegree, 50 * kDegree, 0.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0,
                       0.0, "Site");
    DateRecord local = ephemtest::DateAtTT(2448724.5, 58.0, &site);
    ObjectRecord topo[3];
    ASSERT_EQ(BuildObjectRecord(2, 0, 0, 0, "Moon", 0.0, &site, &local, 0.2, topo), 1);
    EXPECT_EQ(+topo[0].raCatalogue, +geo[0].raCatalogue);
    double parallax = Separation(+topo[0].raOfDate, +topo[0].decOfDate, +topo[0].raCatalogue,
                                 +topo[0].decCatalogue);
    EXPECT_GT(parallax, 0.05 * kDegree);
    EXPECT_LT(parallax, 1.0 * kDegree);
    double moved = Separation(+topo[0].raJ2000AtDate, +topo[0].decJ2000AtDate,
                              +geo[0].raJ2000AtDate, +geo[0].decJ2000AtDate);
    EXPECT_NEAR(moved, parallax, 2 * kArcsecond);
    // With a site the horizon and ecliptic places are there.
    EXPECT_NE(+topo[0].eclipticLongitude, -1.0);
    EXPECT_GE(+topo[0].azimuth, 0.0);
    EXPECT_GE(+topo[0].raJ2000AtDate, 0.0);
    EXPECT_LT(+topo[0].raJ2000AtDate, 2 * kPi);
}

}  // namespace

namespace {

TEST(MinorPlanetText, NumberAndNameForms) {
    struct { const char *text; int count; int number[2]; const char *name[2]; } cases[] = {
        {"433 Eros", 1, {433, 0}, {"Eros", ""}},
        {"433  Eros", 1, {433, 0}, {"Eros", ""}},
        {"(433) Eros", 1, {433, 0}, {"Eros", ""}},
        {"Eros (433)", 1, {433, 0}, {"Eros", ""}},
        {"433 Ceres", 1, {433, 0}, {"Ceres", ""}},   // the lookup rejects the mismatch
        {"1 Ceres (1)", 2, {1, 1}, {"Ceres (1)", "1 Ceres"}},
        {"Eros", 0, {0, 0}, {"", ""}},
        {"433", 0, {0, 0}, {"", ""}},
        {"433 ", 0, {0, 0}, {"", ""}},
        {"(0) Eros", 0, {0, 0}, {"", ""}},
        {"(433)", 0, {0, 0}, {"", ""}},
        {"(", 0, {0, 0}, {"", ""}},
        {"", 0, {0, 0}, {"", ""}},
    };
    for (const auto &c : cases) {
        MinorPlanetCandidate out[3];
        ASSERT_EQ(MinorPlanetCandidates(c.text, out), c.count) << c.text;
        for (int i = 0; i < c.count; ++i) {
            EXPECT_EQ(out[i].number, c.number[i]) << c.text;
            EXPECT_STREQ(out[i].name, c.name[i]) << c.text;
        }
    }
    // A long name is cut, never written past its field.
    std::string longText(300, 'a');
    longText += " (433)";
    MinorPlanetCandidate out[3];
    ASSERT_EQ(MinorPlanetCandidates(longText.c_str(), out), 1);
    EXPECT_EQ(std::strlen(out[0].name), 63u);
    EXPECT_EQ(MinorPlanetCandidates(nullptr, out), 0);
}

}  // namespace
