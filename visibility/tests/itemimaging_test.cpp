// Tests of a list item's imaging plan: the standard variant leaves the block
// cleared, the professional one fills it from the best window, the now mode
// takes the window the now hour is in, and the disk exposure of planets.
#include "visibility/itemimaging.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/resstrings.h"
#include "ephem/bodyrecord.h"
#include "objects/objectrecord.h"
#include "visibility/imagingtarget.h"
#include "visibility/tests/imagingfixture.h"

namespace {

using namespace imagingtest;

struct ProVariant {
    int old = UseProVariant();
    explicit ProVariant(int flag) { SetProVariant(flag); }
    ~ProVariant() { SetProVariant(old); }
};

struct ItemScene : Scene {
    ObjectRecord star;
    ItemScene() {
        CameraEntry &c = optics->cameras[0];
        c.fieldWidth = c.fieldHeight = 0.009;  // 1000 pixels of 9 um at 1 m
        InitObjectRecord(&star);
        star.objectClass = kClassStar;
        star.magnitude = 13.0f;
        star.colourIndex = 0.5f;
        DateRecord midnight;
        SetDateRecord(&midnight, &site, date.month, date.day, date.year, 0.0, kLocalTime);
        ComputeDeltaTAndNutation(&midnight, 0.0);
        ComputeSiderealTimes(&site, &midnight);
        star.raOfDate = midnight.localApparentSidereal;
        star.decOfDate = 30 * kDeg;
    }
};

ItemImagingPlan Block(const ObjectRecord &item) {
    ItemImagingPlan plan;
    ReadItemImagingPlan(&item, &plan);
    return plan;
}

TEST(ItemImaging, StandardVariantLeavesTheBlockCleared) {
    ItemScene s;
    ProVariant standard(0);
    std::memset(s.star.imagingPlan, 0x33, sizeof(ItemImagingPlan));
    PlanItemImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, 600, nullptr, &s.star, 0, 0);
    ItemImagingPlan p = Block(s.star);
    EXPECT_EQ(' ', +p.gradeLetter);
    EXPECT_EQ(0, +p.grade);
    EXPECT_EQ(0.0f, +p.windowStart);
    EXPECT_EQ(0, +p.signalToNoise);
    // No camera: cleared as well, in either variant.
    ProVariant pro(1);
    std::memset(s.star.imagingPlan, 0x33, sizeof(ItemImagingPlan));
    PlanItemImaging(&s.site, &s.date, s.optics.get(), -1, kFilterV, 1, 600, nullptr, &s.star, 0, 0);
    EXPECT_EQ(' ', +Block(s.star).gradeLetter);
    EXPECT_EQ(0, +Block(s.star).framesAcross);
}

TEST(ItemImaging, BestWindowAndNowMode) {
    ItemScene s;
    ProVariant pro(1);
    s.star.sizeMajor = s.star.sizeMinor = static_cast<float>(kPi / 10800);  // 1' across
    PlanItemImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, 600, nullptr, &s.star, 0, 0);
    ItemImagingPlan p = Block(s.star);
    ASSERT_LT(+p.grade, 5);
    EXPECT_EQ("FDCBA"[+p.grade], +p.gradeLetter);
    EXPECT_GE(+p.windowStart, 12.0f);
    EXPECT_LT(+p.windowStart, 36.0f);
    EXPECT_GT(+p.windowMinutes, 0.0f);
    EXPECT_GT(+p.exposure, 0.0f);
    EXPECT_GT(+p.signalToNoise, 3);
    EXPECT_GT(+p.resolution, 0.0f);
    EXPECT_EQ(0, +p.percentage);
    // 1' fits one frame of 0.009 rad: bit 31 set over its 32 pixels.
    EXPECT_EQ(0x80000000u | 32u, static_cast<uint32_t>(+p.framesAcross));
    EXPECT_EQ(32, +p.framesDown);

    // Now, part-way into the best window: the rest of it from now.
    double now = p.windowStart + p.windowMinutes / 120.0;  // half-way
    ObjectRecord later = s.star;
    PlanItemImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, 600, nullptr, &later, 1,
                    now - 24.0);
    ItemImagingPlan q = Block(later);
    EXPECT_LE(+q.windowMinutes, +p.windowMinutes);
    EXPECT_GT(+q.percentage, 0);
    EXPECT_LE(+q.percentage, 100);
    EXPECT_LE(+q.signalToNoise, +p.signalToNoise);
    // Before the window, the best window's values stay.
    PlanItemImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, 600, nullptr, &later, 1,
                    p.windowStart - 1.0 - 24.0);
    EXPECT_EQ(+p.windowStart, +Block(later).windowStart);
    EXPECT_EQ(+p.signalToNoise, +Block(later).signalToNoise);
}

TEST(ItemImaging, ObjectThatNeverRisesHasNoGrade) {
    ItemScene s;
    ProVariant pro(1);
    s.star.decOfDate = -80 * kDeg;
    PlanItemImaging(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, 600, nullptr, &s.star, 0, 0);
    EXPECT_EQ(255, +Block(s.star).grade);
    EXPECT_EQ(' ', +Block(s.star).gradeLetter);
    EXPECT_EQ(0, +Block(s.star).signalToNoise);
}

TEST(ItemImaging, PlanetSurfaceExposure) {
    ItemScene s;
    ObjectRecord planet;
    InitObjectRecord(&planet);
    planet.objectClass = kClassSolarSystem;
    planet.index = kBodyJupiter;
    planet.magnitude = -2.5f;
    planet.sizeMajor = planet.sizeMinor = static_cast<float>(45.0 / 206264.806);
    double t = ComputePlanetSurfaceExposure(&s.site, &s.date, s.optics.get(), 0, kFilterV, &s.state,
                                            &planet, 1);
    EXPECT_GT(t, 0.0);
    EXPECT_LT(t, 60.0);
    // Saturn's rings spread the light: the same disk takes longer as Saturn.
    planet.index = kBodySaturn;
    double saturn = ComputePlanetSurfaceExposure(&s.site, &s.date, s.optics.get(), 0, kFilterV,
                                                 &s.state, &planet, 1);
    EXPECT_GT(saturn, t);
    EXPECT_EQ(-1.0, ComputePlanetSurfaceExposure(&s.site, &s.date, s.optics.get(), 0, kFilterV,
                                                 &s.state, &s.star, 1));
    planet.index = kBodyPluto;
    EXPECT_EQ(-1.0, ComputePlanetSurfaceExposure(&s.site, &s.date, s.optics.get(), 0, kFilterV,
                                                 &s.state, &planet, 1));
}

}  // namespace
