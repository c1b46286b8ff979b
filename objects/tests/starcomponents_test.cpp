// The star builder's components of a double star, on hand-written files: a
// system of a primary A, a secondary B with its own catalogue star and a
// visual-binary orbit (eta CrB's elements, Meeus, Astronomical Algorithms,
// ch. 57: 318.4 deg, 0.411" at 1980.0) and a companion C without a star,
// measured from B. An orbiting secondary is placed from its primary at the
// date and takes its motion; a component asked for by letter is its own
// star or is placed along the chain of references. The system's ADS, CCDM,
// discoverer and suspected-variable designations resolve to its stars, and
// a variable found by its name is predicted for the date even when its star
// carries no link to its record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "objects/buildrecord.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "objects/starrecord.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;
using starbytes::Turn;

namespace {

const double kDeg = kPi / 180.0;
const double kArcsec = kPi / (180.0 * 3600.0);
const uint32_t kNoMotionCode = 750000;  // 0"/yr
const double kRaA = 4.0, kDecA = 0.5;   // the primary's place (radians)

std::string Star(double ra, double dec, uint32_t motionCode, double v, int ccdmRecord,
                 char component) {
    std::string b(80, '\0');
    Put32(b, 0, Turn(ra));
    Put32(b, 4, Turn(dec));
    Put32(b, 8, motionCode);
    Put32(b, 12, motionCode);
    Put32(b, 61, (uint32_t)std::lround((v + 1.6) * 100) | ((uint32_t)ccdmRecord << 15));
    Put8(b, 79, (uint8_t)component);
    return b;
}

std::string Component(uint32_t star, char reference, char letter, double pa, double sep,
                      double mag, int orbit) {
    std::string c(37, '\0');
    Put32(c, 9, star);
    Put16(c, 17, (uint32_t)std::lround(pa * 65535.0 / 361.0));
    Put8(c, 19, (uint8_t)reference);
    Put8(c, 20, (uint8_t)letter);
    Put24(c, 21, (uint32_t)std::lround(sep * 1000));
    Put16(c, 24, (uint32_t)(uint16_t)(int16_t)std::lround(mag * 100));
    Put16(c, 31, (uint32_t)orbit);
    return c;
}

void PutFloat(std::string &b, size_t at, float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    Put32(b, at, u);
}

double Distance(double ra1, double dec1, double ra2, double dec2) {
    const double s = std::sin(dec1) * std::sin(dec2) +
                     std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    const double c = std::hypot(std::cos(dec2) * std::sin(ra2 - ra1),
                                std::cos(dec1) * std::sin(dec2) -
                                    std::sin(dec1) * std::cos(dec2) * std::cos(ra2 - ra1));
    return std::atan2(c, s);
}

class StarComponents : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string d = dir_.path();
        SetRefDirectories(d.c_str(), d.c_str(), d.c_str());
        // Star 1: A (1"/yr in Dec); star 2: B, 30" away in its catalogue
        // place, no motion; star 3: a single star.
        const uint32_t movingCode = kNoMotionCode + 100000;
        ASSERT_TRUE(testutil::WriteFileBytes(
            dir_.file("stars.bin"), Star(kRaA, kDecA, movingCode, 5.6, 1, 'A') +
                                        Star(kRaA, kDecA + 30 * kArcsec, kNoMotionCode, 5.9, 1, 'B') +
                                        Star(1.0, -0.2, kNoMotionCode, 3.0, 0, ' ')));
        std::string system(31, '\0');
        Put32(system, 0, 0u | (4u << 24));  // offset 0, three components
        Put24(system, 4, 1);
        Put32(system, 11, Turn(kRaA));
        Put32(system, 15, Turn(kDecA));
        Put24(system, 19, kNoMotionCode);
        Put24(system, 22, kNoMotionCode);
        Put16(system, 25, 15232);
        Put16(system, 27, 3017 | 0x8000);
        Put16(system, 29, 560);
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("ccdm.bin"), system));
        ASSERT_TRUE(testutil::WriteFileBytes(
            dir_.file("ccdm_i.bin"), Component(1, ' ', 'A', 361.0, 0.0, 5.6, 0) +
                                         Component(2, 'A', 'B', 10.0, 1.0, 5.9, 1) +
                                         Component(0, 'B', 'C', 0.0, 30.0, 9.5, 0)));
        std::string orbit(39, '\0');
        const float elements[7] = {41.623f, float(59.025 * kDeg), 0.907f, 0.2763f,
                                   float(219.907 * kDeg), float(23.717 * kDeg), 1934.008f};
        for (int k = 0; k < 7; ++k) PutFloat(orbit, (size_t)k * 4, elements[k]);
        Put16(orbit, 36, 2000);
        Put8(orbit, 38, 2);
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("lp_ref.bin"), orbit));
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("lp_sup.bin"), std::string(68, '\0')));
        std::memset(&site_, 0, sizeof site_);
        InitLocationRecord(&site_, 0.0, 51.4769 * kDeg, 46.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0,
                           "Greenwich");
        std::memset(&date_, 0, sizeof date_);
        date_.julianDate = 2444239.5;  // 1980 January 1.0 UT
        SetDateRecordFromJulianDate(&site_, &date_);
        ComputeDeltaTAndNutation(&date_, 0.0);
        ComputeSiderealTimes(&site_, &date_);
    }
    void TearDown() override { SetRefDirectories("", "", ""); }

    ObjectRecord Build(int number, char component, bool dated) {
        ObjectRecord r[3];
        std::memset(r, 0, sizeof r);
        EXPECT_EQ(BuildObjectRecord(kClassStar, kStarKindNumber, component, number, "", -0.0145,
                                    dated ? &site_ : nullptr, dated ? &date_ : nullptr, 0.0, r),
                  1);
        return r[0];
    }

    testutil::TempDir dir_;
    LocationRecord site_;
    DateRecord date_;
};

TEST_F(StarComponents, OrbitingSecondaryIsPlacedFromItsPrimaryAtTheDate) {
    const ObjectRecord b = Build(2, ' ', true);
    const double ra = b.raCatalogue, dec = b.decCatalogue;
    EXPECT_NEAR(Distance(kRaA, kDecA, ra, dec) / kArcsec, 0.411, 0.002);
    EXPECT_NEAR(ComputePositionAngle(kRaA, kDecA, ra, dec) / kDeg, 318.4, 0.2);
    // It moves with its primary (1"/yr in declination).
    const ObjectRecord a = Build(1, ' ', true);
    const float bMotion = b.properMotionDec, aMotion = a.properMotionDec;
    EXPECT_FLOAT_EQ(bMotion, aMotion);
    EXPECT_NEAR(aMotion / kArcsec, 1.0, 1e-3);
    // Without a date: its own catalogue place, 30" north.
    const ObjectRecord undated = Build(2, ' ', false);
    const double undatedDec = undated.decCatalogue;
    EXPECT_NEAR((undatedDec - kDecA) / kArcsec, 30.0, 1e-3);
    // A single star is not moved.
    const ObjectRecord single = Build(3, ' ', true);
    const double singleRa = single.raCatalogue;
    EXPECT_NEAR(singleRa, 1.0, 1e-8);
}

TEST_F(StarComponents, ComponentsAskedForByLetter) {
    // B has a star of its own: that star, with no requested component.
    const ObjectRecord b = Build(1, 'B', true);
    const int bIndex = b.index;
    const char bRequested = b.requestedComponent;
    EXPECT_EQ(bIndex, 2);
    EXPECT_EQ(bRequested, ' ');
    const double bRa = b.raCatalogue, bDec = b.decCatalogue;
    EXPECT_NEAR(Distance(kRaA, kDecA, bRa, bDec) / kArcsec, 0.411, 0.002);

    // C has none: its reference star B's record, placed 30" north of B's
    // place at the date (not of B's catalogue place), with its own magnitude.
    const ObjectRecord c = Build(1, 'C', true);
    const int cIndex = c.index;
    const char cRequested = c.requestedComponent;
    const float cMagnitude = c.magnitude;
    EXPECT_EQ(cIndex, 2);
    EXPECT_EQ(cRequested, 'C');
    EXPECT_NEAR(cMagnitude, 9.5, 1e-4);
    const double cRa = c.raCatalogue, cDec = c.decCatalogue;
    EXPECT_NEAR(Distance(bRa, bDec, cRa, cDec) / kArcsec, 30.0, 1e-3);
    EXPECT_NEAR(ComputePositionAngle(bRa, bDec, cRa, cDec) / kDeg, 0.0, 0.01);
    // Without a date B's catalogue measure (10 deg, 1") places the chain.
    const ObjectRecord cUndated = Build(1, 'C', false);
    double wantRa = 0, wantDec = 0, bRa0 = 0, bDec0 = 0;
    ComputeOffsetPosition(10.0 * kDeg, 1.0 * kArcsec, kRaA, kDecA, &bRa0, &bDec0);
    ComputeOffsetPosition(0.0, 30.0 * kArcsec, bRa0, bDec0, &wantRa, &wantDec);
    const double uRa = cUndated.raCatalogue, uDec = cUndated.decCatalogue;
    EXPECT_NEAR(Distance(wantRa, wantDec, uRa, uDec) / kArcsec, 0.0, 1e-3);

    // A refresh for another date (2000.0) places the component again from
    // its orbit-moved reference, as a new build for that date does.
    DateRecord later = date_;
    later.julianDate = 2451544.5;
    SetDateRecordFromJulianDate(&site_, &later);
    ComputeDeltaTAndNutation(&later, 0.0);
    ComputeSiderealTimes(&site_, &later);
    ObjectRecord refreshed = c;
    ASSERT_GE(RefreshObjectRecord(&refreshed, -0.0145, &site_, &later, 0.0), 1);
    date_ = later;
    const ObjectRecord rebuilt = Build(1, 'C', true);
    const double refRa = refreshed.raCatalogue, refDec = refreshed.decCatalogue;
    const double newRa = rebuilt.raCatalogue, newDec = rebuilt.decCatalogue;
    const char refreshedLetter = refreshed.requestedComponent;
    EXPECT_EQ(refreshedLetter, 'C');
    EXPECT_NEAR(Distance(refRa, refDec, newRa, newDec) / kArcsec, 0.0, 1e-6);
    EXPECT_GT(Distance(refRa, refDec, cRa, cDec) / kArcsec, 0.05);  // B has moved since 1980

    // A and a letter the system lacks give the star itself.
    for (char letter : {'A', 'Z'}) {
        const ObjectRecord same = Build(1, letter, true);
        const int index = same.index;
        const char requested = same.requestedComponent;
        const double ra = same.raCatalogue;
        EXPECT_EQ(index, 1) << letter;
        EXPECT_EQ(requested, ' ') << letter;
        EXPECT_NEAR(ra, kRaA, 1e-8) << letter;
    }
}

TEST_F(StarComponents, DoubleStarAndSuspectedVariableDesignationsResolve) {
    // ADS 5 -> system 1; NSV 1 -> star 3, NSV 2 -> stars 1 and 2.
    std::string ads(60, '\0');
    Put32(ads, 48, 1);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("ads_ccdm.bin"), ads));
    std::string nsv(2 * 38, '\0');
    for (int r = 0; r < 2; ++r) {
        Put32(nsv, (size_t)r * 38 + 8, 0xffffff);
        Put32(nsv, (size_t)r * 38 + 21, 0xffffffff);
        Put32(nsv, (size_t)r * 38 + 25, 0xffffffff);
    }
    Put24(nsv, 12, 3);
    Put24(nsv, 38 + 12, 1);
    Put24(nsv, 38 + 15, 2);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("nsvref_f.bin"), nsv));
    // Discoverer designations sorted by their normalised names; the full
    // list names the companion C.
    std::string did(23, '\0'), full(23, '\0');
    std::memcpy(&did[0], "STF 1937", 8);
    Put32(did, 10, 1);
    std::memcpy(&full[0], "STF 1937C", 9);
    Put32(full, 10, 1);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("did_cross.bin"), did));
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("did_cross_full.bin"), full));

    const struct {
        const char *text;
        int count;
        int index[2];
        char requested;
    } cases[] = {
        {"ADS 5", 1, {1, 0}, ' '},           {"CCDM 15232+3017", 1, {1, 0}, ' '},
        {"NSV 1", 1, {3, 0}, ' '},           {"NSV 2", 2, {1, 2}, ' '},
        {"STF 1937", 1, {1, 0}, ' '},        {"STF1937", 1, {1, 0}, ' '},
        {"STF1937C", 1, {2, 0}, 'C'},
    };
    for (const auto &c : cases) {
        char text[64];
        std::snprintf(text, sizeof text, "%s", c.text);
        ObjectRecord r[3];
        std::memset(r, 0, sizeof r);
        ASSERT_EQ(IdentifyObjectText(text, 0.0, &site_, &date_, 0.2, r), c.count) << c.text;
        for (int k = 0; k < c.count; ++k) {
            const int cls = r[k].objectClass, index = r[k].index;
            EXPECT_EQ(cls, kClassStar) << c.text;
            EXPECT_EQ(index, c.index[k]) << c.text;
        }
        const char requested = r[0].requestedComponent;
        EXPECT_EQ(requested, c.requested) << c.text;
    }
    // Numbers the files lack find nothing.
    for (const char *missing : {"ADS 4", "ADS 6", "NSV 3", "CCDM 15232+3018", "STF 1938"}) {
        char text[64];
        std::snprintf(text, sizeof text, "%s", missing);
        ObjectRecord r[3];
        std::memset(r, 0, sizeof r);
        EXPECT_EQ(IdentifyObjectText(text, 0.0, &site_, &date_, 0.2, r), 0) << missing;
    }
}

TEST_F(StarComponents, VariableNamedByItsRecordIsPredictedWithoutTheStarsLink) {
    // R And (number 1 of constellation 1) is star 3, whose catalogue record
    // carries no variable-star link: a Mira-type star (M), 5.0-10.0, maximum
    // at JD 2444239.5 (this test's date), period 300 days.
    std::string index(88 * 8, '\0');
    Put16(index, 4, 1);  // its first number of 9,000 or more would be record 1
    std::string v(74, '\0');
    Put32(v, 0, Turn(1.0));
    Put32(v, 4, Turn(-0.2));
    Put24(v, 8, kNoMotionCode);
    Put24(v, 11, kNoMotionCode);
    Put8(v, 16, 1);
    Put32(v, 17, 1u | (0x3ffffu << 14));
    Put32(v, 22, 0x3ffffu << 14);
    Put32(v, 26, 2444239u);
    PutFloat(v, 30, 0.5f);
    PutFloat(v, 34, 300.0f);
    Put16(v, 43, 0xffff);
    Put24(v, 45, 3);
    Put16(v, 53, 1u | (9u << 3));  // class 1 (pulsating), subtype 9 (M)
    Put16(v, 55, 0xffff);           // no suffix
    Put32(v, 57, 0xffffffff);
    Put32(v, 61, 0xffffffff);
    Put32(v, 65, 0xffffffff);
    Put16(v, 69, 13000);  // bright limit 5.0
    Put16(v, 71, 18000);  // faint limit 10.0
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("vindex_f.bin"), index));
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("vref_f.bin"), v));

    ObjectRecord r[3];
    std::memset(r, 0, sizeof r);
    ASSERT_EQ(BuildObjectRecord(kClassStar, kStarKindVariable, ' ', 0, "R And", -0.0145, &site_,
                                &date_, 0.0, r),
              1);
    const int index3 = r[0].index, constellation = r[0].designationConstellation;
    const float predicted = r[0].predictedMagnitude;
    const int phase = r[0].variablePhase;
    EXPECT_EQ(index3, 3);
    EXPECT_EQ(constellation, 1);
    EXPECT_NEAR(predicted, 5.0, 1e-4);
    EXPECT_EQ(phase, 0);
    // The same star by its number has no link to follow: nothing predicted.
    const ObjectRecord plain = Build(3, ' ', true);
    ObjectRecord fresh;
    InitObjectRecord(&fresh);
    const float plainPrediction = plain.predictedMagnitude, none = fresh.predictedMagnitude;
    EXPECT_EQ(plainPrediction, none);
}

}  // namespace
