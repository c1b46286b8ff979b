// Tests of list-item visibility: the margin now and the best margin, and the
// sky brightness at a place or an item.
#include "visibility/itemvisibility.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "instruments/optics.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "photometry/skybright.h"
#include "visibility/contrastmodel.h"
#include "visibility/objectvisibility.h"

namespace {

const double kDeg = kPi / 180.0;
const double kArcmin = kPi / 10800.0;

LocationRecord Site(double limit, double elevation = 0.0) {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, 40 * kDeg, elevation, limit, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
    return site;
}

std::unique_ptr<ObjectRecord> Item(int objectClass, double magnitude, double a, double b, double decDeg) {
    std::unique_ptr<ObjectRecord> r(new ObjectRecord);
    std::memset(r.get(), 0, sizeof *r);
    r->objectClass = (uint8_t)objectClass;
    r->categoryBits = ClassCategoryBits(objectClass);
    r->magnitude = (float)magnitude;
    r->magnitude2 = kRecordNoMagnitude;
    r->sizeMajor = (float)a;
    r->sizeMinor = (float)b;
    r->decOfDate = decDeg * kDeg;
    r->eyepiece = kNoEyepiece;
    r->condensation = 255;
    return r;
}

std::unique_ptr<OpticsBlock> EightInch() {
    std::unique_ptr<OpticsBlock> o(new OpticsBlock);
    std::memset(o.get(), 0, sizeof *o);
    InitTelescopeOptics(o.get(), "8in", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.0);
    SetEyepieceEntry(o.get(), 0, 0, "12", 12, 52);
    o->eyepieceCount = 1;
    ComputeOpticsLimits(o.get());
    return o;
}

TEST(ItemVisibility, BelowTheDipKeepsTheBestMargin) {
    const LocationRecord site = Site(6.0, 1000.0);
    auto o = EightInch();
    auto item = Item(kClassPlanetaryNebula, 8.8, 1.4 * kArcmin, 1.0 * kArcmin, 30);
    item->visibilityMargin = 1.0f;
    item->visibilityMargin2 = 1.23f;
    EvaluateItemVisibility(&site, nullptr, o.get(), item.get(), 0.2, 20.0, site.horizonDip);
    EXPECT_FLOAT_EQ(+item->visibilityMargin, -10.0f);
    EXPECT_FLOAT_EQ(+item->visibilityMargin2, 1.23f);
    EvaluateItemVisibility(&site, nullptr, o.get(), item.get(), 0.2, 20.0, 30 * kDeg);
    EXPECT_GT(+item->visibilityMargin, 0.0f);
    EXPECT_NE(+item->visibilityMargin2, 1.23f);
}

TEST(ItemVisibility, BestMarginDoesNotDependOnTheTime) {
    const LocationRecord site = Site(5.0);
    auto o = EightInch();
    auto item = Item(kClassPlanetaryNebula, 9.5, 1.0 * kArcmin, 0.8 * kArcmin, 20);
    EvaluateItemVisibility(&site, nullptr, o.get(), item.get(), 0.2, 18.0, 40 * kDeg);
    const float now1 = item->visibilityMargin, best1 = item->visibilityMargin2;
    EvaluateItemVisibility(&site, nullptr, o.get(), item.get(), 0.5, 16.0, 10 * kDeg);
    EXPECT_LT(+item->visibilityMargin, now1);  // brighter sky, lower: worse now
    EXPECT_FLOAT_EQ(+item->visibilityMargin2, best1);
    EXPECT_GT(best1, now1);  // transit on the darkest night beats a brighter sky at 40 degrees
    // The best sky: the item at transit (90 - 40 + 20 = 70 degrees) on a moonless night.
    double sky = 0, transit = 0;
    ASSERT_EQ(ComputeItemDarkSky(&site, item.get(), &sky, &transit), 1);
    EXPECT_NEAR(transit, 70 * kDeg, 1e-9);
    EXPECT_NEAR(sky, ComputeSkyBrightnessFromLimit(5.0), 0.6);
}

TEST(ItemVisibility, NoMagnitudeIsRatedAsFifteen) {
    const LocationRecord site = Site(6.0);
    auto o = EightInch();
    auto none = Item(kClassPlanetaryNebula, 99.9, 1.0 * kArcmin, 1.0 * kArcmin, 20);
    auto fifteen = Item(kClassPlanetaryNebula, 15.0, 1.0 * kArcmin, 1.0 * kArcmin, 20);
    EvaluateItemVisibility(&site, nullptr, o.get(), none.get(), 0.2, 21.0, 50 * kDeg);
    EvaluateItemVisibility(&site, nullptr, o.get(), fifteen.get(), 0.2, 21.0, 50 * kDeg);
    EXPECT_FLOAT_EQ(+none->visibilityMargin, +fifteen->visibilityMargin);
    EXPECT_FLOAT_EQ(+none->visibilityMargin2, +fifteen->visibilityMargin2);
    EXPECT_GT(+none->visibilityMargin, -10.0f);
}

TEST(SkyAtItem, SunAndMoonAsItems) {
    const LocationRecord site = Site(6.0);
    DateRecord date;
    SetDateRecord(&date, &site, 6, 21, 2024, 12.0, kLocalTime);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&site, &date);
    SunMoonState s = {};
    ComputeSunMoonState(&site, date.julianDate, 0.0, kNoTarget, &s, 0);
    auto sun = Item(kClassSolarSystem, -26.7, 0.5 * kDeg, 0.5 * kDeg, 0);
    sun->index = 0;
    sun->raOfDate = s.sunRightAscension;
    sun->decOfDate = s.sunDeclination;
    double altitude = 0;
    const double sky = ComputeSkyBrightnessAtItem(&site, &date, sun.get(), &altitude);
    EXPECT_TRUE(std::isfinite(sky));
    EXPECT_LT(sky, 8.0);  // daylight
    EXPECT_NEAR(altitude, s.sunAltitude, 0.01);
    auto moon = Item(kClassSolarSystem, -10, 0.5 * kDeg, 0.5 * kDeg, 0);
    moon->index = 10;
    moon->raOfDate = s.moonRightAscension;
    moon->decOfDate = s.moonDeclination;
    EXPECT_TRUE(std::isfinite(ComputeSkyBrightnessAtItem(&site, &date, moon.get(), &altitude)));
    // At a place: midnight in December at the zenith is dark at a dark site.
    DateRecord night;
    SetDateRecord(&night, &site, 12, 31, 2024, 0.0, kLocalTime);  // new Moon 2024 Dec 30
    ComputeDeltaTAndNutation(&night, 0.0);
    ComputeSiderealTimes(&site, &night);
    double k = 0;
    const double zenith = ComputeSkyBrightnessAtPosition(&site, &night, night.localApparentSidereal, 40 * kDeg, &k,
                                                         &altitude);
    EXPECT_NEAR(zenith, ComputeSkyBrightnessFromLimit(6.0), 0.5);
    EXPECT_GT(k, 0.1);
    EXPECT_NEAR(altitude, 90 * kDeg, 0.5 * kDeg);
}

TEST(ClassicObjects, M31ByEyeFromADarkAndACitySite) {
    // M 31 (galaxy, V 3.4, 178' x 63') at 60 degrees, by eye.
    std::unique_ptr<InstrumentRecord> eye(new InstrumentRecord);
    std::memset(eye.get(), 0, sizeof *eye);
    InitNakedEyeInstrument(eye.get(), 7.0);
    auto m31 = Item(kClassGalaxy, 3.4, 178 * kArcmin, 63 * kArcmin, 41.3);
    m31->magnification = 1.0f;
    const LocationRecord dark = Site(6.8), city = Site(3.5);
    EvaluateItemVisibility(&dark, nullptr, &eye->optics[0], m31.get(), 0.2, dark.skyBrightness, 60 * kDeg);
    EXPECT_LE(GetVisibilityRatingIndex(+m31->visibilityMargin, 0.85), 3) << +m31->visibilityMargin;
    EvaluateItemVisibility(&city, nullptr, &eye->optics[0], m31.get(), 0.2, city.skyBrightness, 60 * kDeg);
    // From a city at best a glimpse ("very challenging"), usually nothing.
    EXPECT_GE(GetVisibilityRatingIndex(+m31->visibilityMargin, 0.85), 5) << +m31->visibilityMargin;
    // Low in a city sky (20 degrees, more extinction): not visible.
    EvaluateItemVisibility(&city, nullptr, &eye->optics[0], m31.get(), 0.3, city.skyBrightness - 0.5, 20 * kDeg);
    EXPECT_EQ(GetVisibilityRatingIndex(+m31->visibilityMargin, 0.85), 6) << +m31->visibilityMargin;
}

}  // namespace
