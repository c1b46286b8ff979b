// Tests of Earth satellites as objects: the builder by name and catalogue
// number and on a refresh, the record's fields against the satellite
// position routine, recognition of typed names and numbers, the object name
// and the place for a date, over a small element store written here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/satposition.h"
#include "ephem/satstore.h"
#include "ephem/tle.h"
#include "objects/buildrecord.h"
#include "objects/conrects.h"
#include "objects/earthsatelliteobjects.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "testutil/testutil.h"

namespace {

// Mends the check digit (column 69) of an element line.
std::string Checked(std::string line) {
    line.resize(69, ' ');
    line[68] = '0';
    line[68] = static_cast<char>('0' + CheckTwoLineChecksum(line.c_str()));
    return line;
}

// A named element set from the ISS set of 2008 day 264 with the catalogue
// number and the drag term (columns 54-61) replaced.
std::string ElementSet(const char *name, int number, const char *drag = "-11606-4") {
    std::string l1 = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
    std::string l2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";
    char n[8];
    std::snprintf(n, sizeof n, "%05d", number);
    l1.replace(2, 5, n);
    l2.replace(2, 5, n);
    l1.replace(53, 8, drag);
    return std::string(name) + "\n" + Checked(l1) + "\n" + Checked(l2) + "\n";
}

const int kIss = 25544;
const int kSecond = 20580;
const int kDecaying = 30000;  // drag 0.5: decayed twenty days after its epoch

class EarthSatelliteObjects : public ::testing::Test {
protected:
    void SetUp() override {
        SetSatelliteFolder(dir.path().c_str());
        std::string text = ElementSet("ISS (ZARYA)", kIss) + ElementSet("HST", kSecond) +
                           ElementSet("DECAYING", kDecaying, " 50000-0");
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("alldat.tle"), text));
        testing::internal::CaptureStdout();
        int imported = ImportTwoLineElements();
        std::string report = testing::internal::GetCapturedStdout();
        ASSERT_EQ(imported, 1);
        ASSERT_EQ(report, "3 total\n");
        ASSERT_EQ(BuildSatelliteIndexFiles(), 3);
        std::memset(&site, 0, sizeof site);
        InitLocationRecord(&site, 0.0, 51.4769 * kPi / 180.0, 46.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0,
                           0.0, "Greenwich");
        EarthSatelliteRecord iss;
        ASSERT_EQ(FindEarthSatelliteByNumber(&iss, kIss, nullptr), 1);
        epoch = iss.elements.epoch;
        date = At(epoch + 0.25);
    }
    void TearDown() override { SetSatelliteFolder(""); }

    DateRecord At(double jd) const {
        DateRecord d;
        std::memset(&d, 0, sizeof d);
        d.julianDate = jd;
        SetDateRecordFromJulianDate(&site, &d);
        ComputeDeltaTAndNutation(&d, 0.0);
        ComputeSiderealTimes(&site, &d);
        return d;
    }
    int Build(int kind, int number, const char *text, ObjectRecord *out,
              const LocationRecord *where, const DateRecord *when) {
        return BuildObjectRecord(kClassEarthSatellite, kind, ' ', number, text, -0.0145, where,
                                 when, 0.0, out);
    }

    testutil::TempDir dir;
    LocationRecord site;
    DateRecord date;
    double epoch = 0.0;
};

TEST_F(EarthSatelliteObjects, BuiltByNameAndNumberWithThePositionRoutinesPlace) {
    struct Case { int kind, number; const char *text; int index; };
    const Case cases[] = {
        {kEarthSatelliteKindName, 0, "ISS (ZARYA)", kIss},
        {kEarthSatelliteKindName, 0, "iss (Zarya)", kIss},
        {kEarthSatelliteKindName, 0, "HST", kSecond},
        {kEarthSatelliteKindName, 0, "HUBBLE", 0},
        {kEarthSatelliteKindName, 0, "A NAME LONGER THAN SIXTEEN", 0},
        {kEarthSatelliteKindNumber, 0, "25544", kIss},
        {kEarthSatelliteKindNumber, 0, "NORAD 20580", kSecond},
        {kEarthSatelliteKindNumber, kSecond, "", kSecond},
        {kEarthSatelliteKindNumber, 0, "12345", 0},    // not in the store
        {kEarthSatelliteKindNumber, 0, "255440", 0},   // six digits
        {kEarthSatelliteKindNumber, 0, "25544 A", 0},
        {0, kIss, "", 0},                              // a designation without a kind
        {kEarthSatelliteKindName, 0, "DECAYING", kDecaying},
    };
    for (const Case &c : cases) {
        ObjectRecord r[3];
        int n = Build(c.kind, c.number, c.text, r, &site, &date);
        if (c.index == 0) {
            EXPECT_EQ(n, 0) << c.text;
            continue;
        }
        ASSERT_EQ(n, 1) << c.text;
        EXPECT_EQ(+r[0].objectClass, kClassEarthSatellite) << c.text;
        EXPECT_EQ(+r[0].index, c.index) << c.text;
    }

    // The record holds what the position routine gives for the site and date.
    ObjectRecord r[3];
    ASSERT_EQ(Build(kEarthSatelliteKindNumber, 0, "25544", r, &site, &date), 1);
    EarthSatelliteRecord iss;
    ASSERT_EQ(FindEarthSatelliteByNumber(&iss, kIss, nullptr), 1);
    double ra, dec, alt, az, range, mag;
    int shadow = -1;
    int16_t detail = 0;
    ASSERT_NE(ComputeSatellitePosition(&site, &iss, &date, &ra, &dec, &alt, &az, &range, &mag,
                                       &shadow, &detail),
              kSatelliteDecayed);
    EXPECT_DOUBLE_EQ(+r[0].raOfDate, ra);
    EXPECT_DOUBLE_EQ(+r[0].decOfDate, dec);
    EXPECT_DOUBLE_EQ(+r[0].raCatalogue, ra);
    EXPECT_DOUBLE_EQ(+r[0].decCatalogue, dec);
    EXPECT_FLOAT_EQ(+r[0].magnitude2, static_cast<float>(range));
    EXPECT_GT(range, 300.0);  // a low orbit seen from the ground: hundreds to thousands of km
    EXPECT_LT(range, 14000.0);
    EXPECT_FLOAT_EQ(+r[0].magnitude, static_cast<float>(mag));
    EXPECT_EQ(+r[0].itemFlags, shadow ? 0 : 1);
    EXPECT_EQ(+r[0].satelliteVisibility, 0);
    EXPECT_FLOAT_EQ(+r[0].colourIndex, 99.0f);
    EXPECT_EQ(+r[0].sizeMajor, 0.0f);
    EXPECT_EQ(+r[0].extent, 0.0f);
    const int c = ConstellationAt(ra, dec, date.centuriesTT);
    EXPECT_EQ(+r[0].constellation, c < 0 ? 255 : c);
    EXPECT_EQ(+r[0].categoryBits, 0x40000u);

    // A refresh for another date moves the satellite; without a site, or
    // for a decayed orbit, nothing is built.
    DateRecord later = At(epoch + 0.26);
    ASSERT_EQ(RefreshObjectRecord(&r[0], -0.0145, &site, &later, 0.0), 1);
    ASSERT_NE(ComputeSatellitePosition(&site, &iss, &later, &ra, &dec, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr),
              kSatelliteDecayed);
    EXPECT_DOUBLE_EQ(+r[0].raOfDate, ra);
    EXPECT_DOUBLE_EQ(+r[0].decOfDate, dec);
    EXPECT_EQ(RefreshObjectRecord(&r[0], -0.0145, nullptr, &later, 0.0), 0);
    EXPECT_EQ(Build(kEarthSatelliteKindNumber, 0, "25544", r, nullptr, &date), 0);
    DateRecord decayed = At(epoch + 20.0);
    EXPECT_EQ(Build(kEarthSatelliteKindNumber, 0, "30000", r, &site, &decayed), 0);
    EXPECT_EQ(Build(kEarthSatelliteKindNumber, 0, "25544", r, &site, &decayed), 1);
}

TEST_F(EarthSatelliteObjects, RecognisedNamedAndPlacedForADate) {
    struct Case { const char *text; int index; };
    // A bare number of five characters or fewer is an NGC number to the
    // recogniser; a catalogue number is written with its word.
    const Case cases[] = {{"ISS (ZARYA)", kIss}, {"iss (zarya)", kIss}, {"NORAD 25544", kIss},
                          {"norad 20580", kSecond}, {"HST", kSecond}};
    for (const Case &c : cases) {
        ObjectRecord r[3];
        char text[128];
        std::snprintf(text, sizeof text, "%s", c.text);
        ASSERT_GE(IdentifyObjectText(text, -0.0145, &site, &date, 0.0, r), 1) << c.text;
        EXPECT_EQ(+r[0].objectClass, kClassEarthSatellite) << c.text;
        EXPECT_EQ(+r[0].index, c.index) << c.text;
    }
    // Without a site no satellite is recognised.
    {
        ObjectRecord r[3];
        char text[128] = "ISS (ZARYA)";
        int n = IdentifyObjectText(text, -0.0145, nullptr, &date, 0.0, r);
        if (n > 0) {
            EXPECT_NE(+r[0].objectClass, kClassEarthSatellite);
        }
    }

    // The name is the stored name, plain; an absent number has none.
    ObjectRecord r[3];
    ASSERT_EQ(Build(kEarthSatelliteKindNumber, 0, "25544", r, &site, &date), 1);
    char name[kDesignationTextSize], second[kDesignationTextSize];
    DesignationParts parts;
    std::memset(&parts, 0, sizeof parts);
    ASSERT_EQ(FormatObjectName(&r[0], name, nullptr, second, &parts, nullptr), 1);
    EXPECT_STREQ(name, "ISS (ZARYA)");
    EXPECT_EQ(+parts.plain, 1);
    r[0].index = 12345;
    EXPECT_EQ(FormatObjectName(&r[0], name, nullptr, second, nullptr, nullptr), 0);
    EXPECT_STREQ(name, "");

    // The place for a date is the position routine's topocentric place.
    EarthSatelliteRecord hst;
    ASSERT_EQ(FindEarthSatelliteByNumber(&hst, kSecond, nullptr), 1);
    for (double dt : {0.0, 0.1, 0.37}) {
        DateRecord at = At(epoch + dt);
        double ra = -1, dec = -1, sra = -2, sdec = -2;
        ASSERT_EQ(ComputeMovingObjectPlace(&site, &at, 0.0, kClassEarthSatellite, kSecond, &ra,
                                           &dec),
                  1);
        ASSERT_NE(ComputeSatellitePosition(&site, &hst, &at, &sra, &sdec, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr),
                  kSatelliteDecayed);
        EXPECT_DOUBLE_EQ(ra, sra);
        EXPECT_DOUBLE_EQ(dec, sdec);
    }
    double ra, dec;
    EXPECT_EQ(ComputeMovingObjectPlace(nullptr, &date, 0.0, kClassEarthSatellite, kSecond, &ra, &dec), 0);
    EXPECT_EQ(ComputeMovingObjectPlace(&site, &date, 0.0, kClassEarthSatellite, 12345, &ra, &dec), 0);
    DateRecord decayed = At(epoch + 20.0);
    EXPECT_EQ(ComputeMovingObjectPlace(&site, &decayed, 0.0, kClassEarthSatellite, kDecaying, &ra, &dec), 0);
}

}  // namespace
