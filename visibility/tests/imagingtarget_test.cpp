// Tests of the imaging block of a list item, the imaging target kinds, the
// values and colours the imaging model gets, and the rotation limits.
#include "visibility/imagingtarget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/mathutil.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"

namespace {

const double kArcsec = kPi / 648000.0;
const double kArcmin = kPi / 10800.0;

ObjectRecord Item(int objectClass, double magnitude) {
    ObjectRecord r;
    std::memset(&r, 0, sizeof r);
    r.objectClass = (uint8_t)objectClass;
    r.magnitude = (float)magnitude;
    r.magnitude2 = 99.9f;
    r.colourIndex = 99.0f;
    r.pairComponentA = ' ';
    return r;
}

TEST(ImagingBlock, LayoutAndClearing) {
    ObjectRecord r = Item(kClassStar, 5);
    std::memset(r.imagingPlan, 0x5A, sizeof r.imagingPlan);
    ClearItemImagingPlan(&r);
    const uint8_t *b = reinterpret_cast<const uint8_t *>(&r);
    for (int i = 305; i < 339; ++i) EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[339], ' ');
    ItemImagingPlan p;
    std::memset(&p, 0, sizeof p);
    p.grade = 3;
    p.signalToNoise = 0x01020304;
    p.percentage = 77;
    p.framesAcross = (int32_t)0x80000002u;
    p.gradeLetter = 'B';
    WriteItemImagingPlan(&r, &p);
    EXPECT_EQ(b[313], 3);
    EXPECT_EQ(b[314], 0x04);
    EXPECT_EQ(b[317], 0x01);
    EXPECT_EQ(b[322], 77);
    EXPECT_EQ(b[331], 0x02);
    EXPECT_EQ(b[334], 0x80);
    EXPECT_EQ(b[339], 'B');
    EXPECT_EQ(b[340], 0);  // the Barlow flag after the block is untouched
    ItemImagingPlan back;
    ReadItemImagingPlan(&r, &back);
    EXPECT_EQ(std::memcmp(&back, &p, sizeof p), 0);
}

TEST(ImagingTarget, Kinds) {
    ObjectRecord r = Item(kClassSolarSystem, -26);
    struct Case {
        int index, satellite, expected;
    } cases[] = {{0, 0, kImagingSun}, {10, 0, kImagingPlanet}, {5, 0, kImagingPlanet}, {9, 0, kImagingOther},
                 {5, 1, kImagingOther}, {5, 101, kImagingOther}, {11, 0, kImagingOther}};
    for (const Case &c : cases) {
        r.index = c.index;
        r.kind = (uint8_t)c.satellite;
        EXPECT_EQ(GetImagingTargetKind(&r), c.expected) << c.index << " " << c.satellite;
    }
    ObjectRecord star = Item(kClassStar, 4);
    EXPECT_EQ(GetImagingTargetKind(&star), kImagingOther);
    star.pairSeparation = 2.5f;
    EXPECT_EQ(GetImagingTargetKind(&star), kImagingDouble);
}

TEST(ImagingTarget, ValuesAndColours) {
    double v = 0, c = 0;
    ObjectRecord g = Item(kClassGlobularCluster, 7.0);
    EXPECT_EQ(GetImagingMagnitudes(nullptr, nullptr, &g, &v, &c), kImagingPointValue);
    EXPECT_NEAR(v, 16.6, 1e-9);
    EXPECT_NEAR(c, 0.95, 1e-6);
    struct Case {
        int objectClass;
        double magnitude, expected;
        int kind;
    } cases[] = {
        {kClassConstellation, 3, 6.0, kImagingPointValue},
        {kClassOpenCluster, 6, 10.9, kImagingPointValue},
        {kClassSkyMark, 3, 18.0, kImagingPointValue},
        {kClassDarkNebula, 3, 13.5, kImagingPointValue},
        {kClassQuasar, 12.8, 12.8, kImagingPointValue},
        {kClassPlanetaryNebula, 9, 9, kImagingExtendedValue},
    };
    for (const Case &k : cases) {
        ObjectRecord r = Item(k.objectClass, k.magnitude);
        EXPECT_EQ(GetImagingMagnitudes(nullptr, nullptr, &r, &v, &c), k.kind) << k.objectClass;
        EXPECT_NEAR(v, k.expected, 1e-6) << k.objectClass;
    }
    for (int cls : {kClassNone, kClassEarthSatellite, kClassImagePlot, kClassReferencePoint}) {
        ObjectRecord r = Item(cls, 5);
        EXPECT_EQ(GetImagingMagnitudes(nullptr, nullptr, &r, &v, &c), kImagingNotApplicable) << cls;
    }
    // A bright nebula: the surface brightness from size and magnitude, at most 21.3, stored back.
    ObjectRecord n = Item(kClassBrightNebula, 2.0);
    n.sizeMajor = n.sizeMinor = (float)(60 * kArcmin);
    EXPECT_EQ(GetImagingMagnitudes(nullptr, nullptr, &n, &v, &c), kImagingExtendedValue);
    EXPECT_NEAR(v, 2.0 + 2.5 * std::log10(900 * kPi * 3600), 1e-4);
    EXPECT_NEAR(+n.magnitude2, v, 1e-4);
    EXPECT_EQ(c, 0.0);
    n.magnitude = 12.0f;
    GetImagingMagnitudes(nullptr, nullptr, &n, &v, &c);
    EXPECT_EQ(v, 21.3);
    // A double star's companion; a galaxy's surface brightness when known.
    ObjectRecord s = Item(kClassStar, 3.0);
    s.pairComponentA = 'A';
    s.companionMagnitude = 8.5f;
    s.colourIndex = 1.2f;
    GetImagingMagnitudes(nullptr, nullptr, &s, &v, &c);
    EXPECT_NEAR(v, 8.5, 1e-6);
    EXPECT_NEAR(c, 0.4, 1e-9);
    ObjectRecord gal = Item(kClassGalaxy, 10.0);
    gal.colourIndex = 200.9f;
    EXPECT_EQ(GetImagingMagnitudes(nullptr, nullptr, &gal, &v, &c), kImagingPointValue);
    EXPECT_NEAR(c, 0.9, 1e-4);
    gal.magnitude2 = 13.0f;
    EXPECT_EQ(GetImagingMagnitudes(nullptr, nullptr, &gal, &v, &c), kImagingExtendedValue);
    EXPECT_NEAR(v, 13.0, 1e-6);
}

// A user deep-sky object by its category: a dark nebula first (whatever its
// size and magnitude), then a size with a magnitude, then no magnitude,
// then the magnitude; an object of no type is not taken for a dark nebula.
TEST(ImagingTarget, UserDeepSkyObjectsByCategory) {
    const uint32_t dark = ClassCategoryBits(kClassDarkNebula);
    const uint32_t galaxy = ClassCategoryBits(kClassGalaxy);
    const uint32_t untyped = ClassCategoryBits(kClassUserDeepSky);
    const double size = 10 * kArcmin;
    const double spread = 2.5 * std::log10(kPi * 5 * 5 * 3600);  // a 10' disk, arcsec^2
    struct Case {
        uint32_t bits;
        double magnitude, size, expected;
        int kind;
    } cases[] = {
        {dark, 8.0, size, 13.0, kImagingPointValue},
        {dark, 99.9, 0, 13.0, kImagingPointValue},
        {galaxy, 8.0, size, 8.0 + spread, kImagingExtendedValue},
        {untyped, 8.0, size, 8.0 + spread, kImagingExtendedValue},
        {galaxy, 99.9, size, 18.0, kImagingPointValue},
        {untyped, 99.9, 0, 18.0, kImagingPointValue},
        {galaxy, 11.5, 0, 11.5, kImagingPointValue},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << k.bits << std::dec << " m " << k.magnitude);
        ObjectRecord r = Item(kClassUserDeepSky, k.magnitude);
        r.categoryBits = k.bits;
        r.sizeMajor = r.sizeMinor = (float)k.size;
        double v = 0, c = 0;
        EXPECT_EQ(GetImagingMagnitudes(nullptr, nullptr, &r, &v, &c), k.kind);
        EXPECT_NEAR(v, k.expected, 1e-4);
    }
}

TEST(ImagingTarget, DefaultColours) {
    struct Case {
        int objectClass;
        float expected;
    } cases[] = {{kClassComet, 0.8f}, {kClassUserComet, 0.8f}, {kClassMinorPlanet, 0.9f}, {kClassQuasar, 0.44f},
                 {kClassGlobularCluster, 0.95f}, {kClassStar, 99.0f}};
    for (const Case &k : cases) {
        ObjectRecord r = Item(k.objectClass, 5);
        SetDefaultColourIndex(&r);
        EXPECT_FLOAT_EQ(+r.colourIndex, k.expected) << k.objectClass;
    }
    ObjectRecord mars = Item(kClassSolarSystem, 0);
    mars.index = 4;
    SetDefaultColourIndex(&mars);
    EXPECT_NEAR(+mars.colourIndex, 1.36f, 1e-6);
    mars.colourIndex = 0.5f;  // a stored value stays
    SetDefaultColourIndex(&mars);
    EXPECT_FLOAT_EQ(+mars.colourIndex, 0.5f);
}

TEST(ImagingTarget, RotationLimits) {
    ObjectRecord j = Item(kClassSolarSystem, -2.5);
    j.index = 5;
    j.sizeMajor = (float)(40 * kArcsec);
    // 1" of blur on a 40" Jupiter: a fortieth of half its 9.84-hour turn.
    const double limit = ComputeRotationExposureLimit(nullptr, nullptr, nullptr, 0, 0, &j, 1.0);
    EXPECT_NEAR(limit, 1.0 / 40.0 * (9.84167 / 2.0) * 3600.0, 0.01);
    EXPECT_NEAR(ComputeRotationBlur(nullptr, nullptr, nullptr, 0, 0, &j, limit), 1.0, 1e-4);
    // An undetermined diameter, a body without a period: 0, never a division by zero.
    j.sizeMajor = 0.0f;
    EXPECT_EQ(ComputeRotationExposureLimit(nullptr, nullptr, nullptr, 0, 0, &j, 1.0), 0.0);
    ObjectRecord venus = Item(kClassSolarSystem, -4);
    venus.index = 2;
    venus.sizeMajor = (float)(20 * kArcsec);
    EXPECT_EQ(ComputeRotationExposureLimit(nullptr, nullptr, nullptr, 0, 0, &venus, 1.0), 0.0);
    ObjectRecord sun = Item(kClassSolarSystem, -26.7);
    sun.sizeMajor = (float)(1920 * kArcsec);
    EXPECT_NEAR(ComputeRotationExposureLimit(nullptr, nullptr, nullptr, 0, 0, &sun, 2.0),
                2.0 / 1920.0 * (609.12 / 2.0) * 3600.0, 0.01);
    EXPECT_EQ(ComputeRotationBlur(nullptr, nullptr, nullptr, 0, 0, &sun, 100.0), 0.0);
}

}  // namespace
