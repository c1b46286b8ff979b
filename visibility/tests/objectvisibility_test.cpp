// Tests of object visibility through an instrument: the class routing, the
// horizon dip, the comet blend, the eyepiece choices and their guards.
#include "visibility/objectvisibility.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/location.h"
#include "core/mathutil.h"
#include "instruments/optics.h"
#include "objects/categories.h"
#include "photometry/skybright.h"
#include "sites/observerstore.h"
#include "visibility/contrastmodel.h"

namespace {

const double kArcmin = kPi / 10800.0;
const double kDeg = kPi / 180.0;

LocationRecord Site(double limit, double elevation = 300.0, double humidity = 50.0) {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, 40 * kDeg, elevation, limit, 0.0, 10.0, humidity, 2, 0.0, 0.0,
                       "Test");
    return site;
}

// An 8-inch f/6 with 32, 25 and 9 mm eyepieces (x38, x49, x135) and a 2x Barlow.
std::unique_ptr<OpticsBlock> EightInch() {
    std::unique_ptr<OpticsBlock> o(new OpticsBlock);
    std::memset(o.get(), 0, sizeof *o);
    InitTelescopeOptics(o.get(), "8in", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.0);
    SetEyepieceEntry(o.get(), 0, 0, "32", 32, 52);
    SetEyepieceEntry(o.get(), 0, 1, "25", 25, 52);
    SetEyepieceEntry(o.get(), 0, 2, "9", 9, 52);
    o->eyepieceCount = 3;
    o->barlowFactor = 2.0f;
    ComputeOpticsLimits(o.get());
    return o;
}

std::unique_ptr<ObjectRecord> Item(int objectClass, double magnitude, double major, double minor) {
    std::unique_ptr<ObjectRecord> r(new ObjectRecord);
    std::memset(r.get(), 0, sizeof *r);
    r->objectClass = (uint8_t)objectClass;
    r->magnitude = (float)magnitude;
    r->magnitude2 = kRecordNoMagnitude;
    r->sizeMajor = (float)major;
    r->sizeMinor = (float)minor;
    r->categoryBits = ClassCategoryBits(objectClass);
    r->pairComponentA = ' ';
    r->pairComponentB = ' ';
    return r;
}

TEST(ObjectVisibility, RoutesByClass) {
    const LocationRecord site = Site(5.5);
    auto o = EightInch();
    const double k = 0.2, sky = site.skyBrightness, alt = 50 * kDeg, dip = site.horizonDip;
    const double a = 4 * kArcmin, b = 2 * kArcmin;
    const double point = EvaluatePointVisibility(&site, nullptr, o.get(), 2, 0, k, sky, 10.0, alt);
    const double extended = EvaluateExtendedVisibility(o.get(), dip, a, b, 10.0, 100, k, sky, alt);
    const double sbRoute = EvaluateSurfaceBrightnessVisibility(o.get(), dip, a, b, 100, k, 20.0, sky, alt);
    const double darkNebula = EvaluatePointVisibility(&site, nullptr, o.get(), 2, 0, k, sky, 13.5, alt);
    const double comet = EvaluateCometVisibility(&site, nullptr, o.get(), 100, 2, 0, a, 10.0, 4, k, sky, alt);
    ASSERT_NE(point, extended);
    struct Case {
        int objectClass;
        double major, surfaceBrightness, expected;
    } cases[] = {
        {kClassConstellation, a, 99.9, kNoVisibilityMargin},
        {kClassSolarSystem, a, 99.9, point},
        {kClassComet, a, 99.9, comet},
        {kClassUserComet, a, 99.9, comet},
        {kClassStar, a, 99.9, point},
        {kClassBrightNebula, a, 20.0, sbRoute},
        {kClassBrightNebula, a, 99.9, extended},
        {kClassSkyMark, a, 99.9, kNoVisibilityMargin},
        {kClassDarkNebula, a, 99.9, darkNebula},
        {kClassReferencePoint, a, 99.9, kNoVisibilityMargin},
        {kClassEarthSatellite, a, 99.9, kNoVisibilityMargin},
        {kClassGalaxy, a, 99.9, extended},
        {kClassGalaxy, 0.0, 99.9, point},  // a galaxy without axes is a point
    };
    for (const Case &c : cases) {
        EXPECT_EQ(EvaluateObjectVisibility(&site, nullptr, o.get(), 100, 2, 0, c.objectClass, c.major, b,
                                           10.0, c.surfaceBrightness, 4, k, sky, alt),
                  c.expected)
            << "class " << c.objectClass;
    }
}

TEST(ObjectVisibility, AtOrBelowTheDipIsNotApplicable) {
    const LocationRecord site = Site(5.5, 2000.0);
    ASSERT_LT(site.horizonDip, 0.0);
    auto o = EightInch();
    for (int cls : {kClassStar, kClassGalaxy, kClassComet, kClassBrightNebula}) {
        EXPECT_EQ(EvaluateObjectVisibility(&site, nullptr, o.get(), 100, 2, 0, cls, kArcmin, kArcmin, 8.0,
                                           20.0, 4, 0.2, 21, site.horizonDip),
                  kNoVisibilityMargin);
        // Just above the dip (below the geometric horizon) it is evaluated.
        EXPECT_NE(EvaluateObjectVisibility(&site, nullptr, o.get(), 100, 2, 0, cls, kArcmin, kArcmin, 8.0,
                                           20.0, 4, 0.2, 21, site.horizonDip + 1e-3),
                  kNoVisibilityMargin);
    }
    EXPECT_EQ(EvaluateObjectVisibility(&site, nullptr, o.get(), 100, 2, 0, kClassStar, 0, 0, 8.0, 99.9,
                                       4, 0.2, 21, -0.5),
              kNoVisibilityMargin);
}

TEST(ObjectVisibility, CometBlendByCondensation) {
    const LocationRecord site = Site(5.5);
    auto o = EightInch();
    const double coma = 3 * kArcmin, alt = 40 * kDeg, k = 0.2, sky = site.skyBrightness;
    const double p = EvaluatePointVisibility(&site, nullptr, o.get(), 2, 0, k, sky, 10.0, alt);
    const double e = EvaluateExtendedVisibility(o.get(), site.horizonDip, coma, coma, 10.0, 100, k, sky, alt);
    ASSERT_LT(e, p);
    auto comet = [&](int dc, double magnitude) {
        return EvaluateCometVisibility(&site, nullptr, o.get(), 100, 2, 0, coma, magnitude, dc, k, sky, alt);
    };
    EXPECT_EQ(comet(0, 10.0), e);
    EXPECT_EQ(comet(9, 10.0), p);
    EXPECT_NEAR(comet(255, 10.0), e + (p - e) * 4.0 / 9.0, 1e-12);
    EXPECT_NEAR(comet(3, 10.0), e + (p - e) * 3.0 / 9.0, 1e-12);
    // When the extended margin beats the point margin, the point margin
    // stands whatever the condensation: a tiny bright coma in a bright sky.
    const double tiny = 0.05 * kArcmin;
    const double pTiny = EvaluatePointVisibility(&site, nullptr, o.get(), 0, 0, k, sky, 4.0, alt);
    const double eTiny = EvaluateExtendedVisibility(o.get(), site.horizonDip, tiny, tiny, 4.0, 38, k, sky, alt);
    ASSERT_GT(eTiny, pTiny);
    for (int dc : {1, 4, 255}) {  // (DC 0 is the extended route alone)
        EXPECT_EQ(EvaluateCometVisibility(&site, nullptr, o.get(), 38, 0, 0, tiny, 4.0, dc, k, sky, alt), pTiny);
    }
}

TEST(ObjectVisibility, BarlowFlagIsPutBack) {
    const LocationRecord site = Site(5.5);
    auto o = EightInch();
    o->barlowInUse = 0;
    EvaluatePointVisibility(&site, nullptr, o.get(), 2, 1, 0.2, 20, 10.0, 0.8);
    EXPECT_EQ(o->barlowInUse, 0);
    o->barlowInUse = 1;
    int index = 0, barlow = 0;
    SelectExtendedObjectEyepiece(&site, o.get(), 9.0, 99.9, 10 * kArcmin, 5 * kArcmin, &index, &barlow);
    EXPECT_EQ(o->barlowInUse, 1);
}

TEST(EyepieceChoice, DeepestEyepiece) {
    const LocationRecord site = Site(5.5);
    uint8_t index = 9;
    EXPECT_EQ(SelectDeepestEyepiece(&site, nullptr, &index), 100.0);
    EXPECT_EQ(index, 0);
    // Binoculars: their fixed magnification, index 0.
    std::unique_ptr<OpticsBlock> binoculars(new OpticsBlock);
    std::memset(binoculars.get(), 0, sizeof *binoculars);
    InitFixedMagnificationOptics(binoculars.get(), "10x50", 10.0, 50.0, 0.0);
    index = 9;
    EXPECT_EQ(SelectDeepestEyepiece(&site, binoculars.get(), &index), 10.0);
    EXPECT_EQ(index, 0);
    // A telescope: the highest power reaches deepest (up to the exit-pupil
    // optimum), the 9 mm here.
    auto o = EightInch();
    index = 9;
    EXPECT_NEAR(SelectDeepestEyepiece(&site, o.get(), &index), 1219.2 / 9.0, 1e-6);
    EXPECT_EQ(index, 2);
    // No eyepiece accepted: 100 with index 0, as without optics.
    o->eyepieceCount = 0;
    index = 9;
    EXPECT_EQ(SelectDeepestEyepiece(&site, o.get(), &index), 100.0);
    EXPECT_EQ(index, 0);
    // A below-sea-level site gets the sea-level extinction: the same choice.
    const LocationRecord low = Site(5.5, -400.0, 50.0);
    auto o2 = EightInch();
    EXPECT_NEAR(SelectDeepestEyepiece(&low, o2.get(), &index), 1219.2 / 9.0, 1e-6);
    EXPECT_EQ(index, 2);
    // A saturated site (humidity 100 %: fog, extinction of some 150 mag per
    // air mass) still gives a finite magnification and a valid index.
    const LocationRecord wet = Site(5.5, 0.0, 100.0);
    EXPECT_TRUE(std::isfinite(SelectDeepestEyepiece(&wet, o2.get(), &index)));
    EXPECT_LE(index, 2);
}

TEST(EyepieceChoice, ExtendedObjectEyepiece) {
    const LocationRecord site = Site(5.5);
    auto o = EightInch();
    int index = 7, barlow = 7;
    // An object of 1": not applicable.
    EXPECT_EQ(SelectExtendedObjectEyepiece(&site, o.get(), 9, 99.9, kArcmin / 60.0, 0, &index, &barlow), 0.0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(barlow, 0);
    // Larger than every field (the 32 mm shows 52/38 = 1.37 degrees): the lowest power.
    EXPECT_NEAR(SelectExtendedObjectEyepiece(&site, o.get(), 5, 99.9, 3 * kDeg, 1 * kDeg, &index, &barlow),
                1219.2 / 32.0, 1e-9);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(barlow, 0);
    // M 57 (8.8, 1.4' x 1.0'): it fits every field; the search picks the best
    // margin among all six combinations, reported by eyepiece and Barlow.
    const double m = SelectExtendedObjectEyepiece(&site, o.get(), 8.8, 99.9, 1.4 * kArcmin, 1.0 * kArcmin,
                                                  &index, &barlow);
    const double mags[6] = {1219.2 / 32, 1219.2 / 25, 1219.2 / 9, 2 * 1219.2 / 32, 2 * 1219.2 / 25,
                            2 * 1219.2 / 9};
    int best = -1;
    double bestMargin = -1e9;
    for (int i = 0; i < 6; ++i) {
        const double v = ComputeDsoVisibilityMargin(8.8, 1.4, 1.0, site.skyBrightness, 8 * 0.03937 * 25.4, mags[i]);
        if (v > bestMargin) bestMargin = v, best = i;
    }
    EXPECT_NEAR(m, mags[best], 1e-6);
    EXPECT_EQ(index, best % 3);
    EXPECT_EQ(barlow, best / 3);
    // An object that only the two low powers frame: the candidate found is
    // reported by its own eyepiece index, not by its place among candidates.
    auto narrow = EightInch();
    narrow->barlowFactor = 0.0f;
    SetEyepieceEntry(narrow.get(), 0, 0, "9", 9, 52);   // x135, 0.38 degrees
    SetEyepieceEntry(narrow.get(), 0, 2, "32", 32, 52); // x38, 1.37 degrees
    SelectExtendedObjectEyepiece(&site, narrow.get(), 6, 99.9, 1.2 * kDeg, 0.5 * kDeg, &index, &barlow);
    EXPECT_EQ(index, 2);
    // No eyepiece accepted: not applicable, index 255 (never 9.99e100).
    auto none = EightInch();
    none->eyepieceCount = 0;
    EXPECT_EQ(SelectExtendedObjectEyepiece(&site, none.get(), 8.8, 99.9, kArcmin, kArcmin, &index, &barlow), 0.0);
    EXPECT_EQ(index, 255);
}

TEST(EyepieceChoice, ItemMagnifications) {
    const LocationRecord site = Site(5.5);
    auto o = EightInch();
    auto item = Item(kClassPlanetaryNebula, 8.8, 1.4 * kArcmin, 1.0 * kArcmin);
    item->barlowFlag = 1;
    SetItemMagnificationExtended(&site, o.get(), item.get());
    EXPECT_GT(+item->magnification, 30.0f);
    EXPECT_LT(item->eyepiece, 3);
    SetItemMagnificationExtended(&site, nullptr, item.get());
    EXPECT_FLOAT_EQ(+item->magnification, 99.9f);
    EXPECT_EQ(item->eyepiece, 0);
    EXPECT_EQ(item->barlowFlag, 0);

    // A double star: split when seeing allows, 255 and the magnification kept when not.
    auto star = Item(kClassStar, 4.0, 0, 0);
    star->pairComponentA = 'A';
    star->pairComponentB = 'B';
    star->pairSeparation = 2.5f;
    star->altitude = 60 * kDeg;
    star->magnification = 55.0f;
    SetItemMagnificationDoubleDefault(o.get(), star.get());
    EXPECT_EQ(star->eyepiece, 2);
    EXPECT_EQ(star->barlowFlag, 1);
    EXPECT_EQ(o->barlowInUse, 1);  // the chosen combination stays set on the optics
    star->pairSeparation = 1.0f;   // average seeing 1.5" > 1": unsplittable
    star->magnification = 55.0f;
    SetItemMagnificationDouble(&site, o.get(), star.get());
    EXPECT_EQ(star->eyepiece, 255);
    EXPECT_FLOAT_EQ(+star->magnification, 55.0f);
    // No pair: nothing changes.
    star->pairComponentA = ' ';
    star->eyepiece = 3;
    SetItemMagnificationDouble(&site, o.get(), star.get());
    EXPECT_EQ(star->eyepiece, 3);
}

TEST(EyepieceChoice, ItemEvaluable) {
    struct Case {
        int objectClass;
        double magnitude, sb, major;
        int expected;
    } cases[] = {
        {kClassStar, 5, 99.9, 0, 1},
        {kClassGalaxy, 10, 99.9, 0, 0},
        {kClassGalaxy, 10, 99.9, kArcmin, 1},
        {kClassBrightNebula, 99.9, 21, 0, 1},
        {kClassPlanetaryNebula, 9, 99.9, 0, 1},
        {kClassOpenCluster, 99.9, 99.9, kArcmin, 0},
        {kClassComet, 12, 99.9, 0, 1},
        {kClassSkyMark, 5, 99.9, 0, 0},
    };
    for (const Case &c : cases) {
        auto item = Item(c.objectClass, c.magnitude, c.major, 0);
        item->magnitude2 = (float)c.sb;
        EXPECT_EQ(IsItemEvaluable(item.get()), c.expected) << c.objectClass;
    }
    // A galaxy group takes its own magnitude and sizes.
    auto group = Item(kClassGalaxyGroup, 99.9, 0, 0);
    group->categoryBits = kGalaxyGroupCategory;
    group->memberMagnitude = 12.0f;
    group->memberSizeMajor = (float)kArcmin;
    EXPECT_EQ(IsItemEvaluable(group.get()), 1);
    group->memberMagnitude = 99.9f;
    EXPECT_EQ(IsItemEvaluable(group.get()), 0);
}

TEST(ClassicObjects, M57ThroughAnEightInchAtItsEyepiece) {
    // M 57 at 60 degrees from a suburban site (limit 5.5): at the eyepiece
    // chosen for it, obvious or easy, as observers find it.
    const LocationRecord site = Site(5.5);
    auto o = EightInch();
    auto item = Item(kClassPlanetaryNebula, 8.8, 1.4 * kArcmin, 1.0 * kArcmin);
    SetItemMagnificationExtended(&site, o.get(), item.get());
    const double margin = EvaluateObjectVisibility(&site, nullptr, o.get(), item->magnification, item->eyepiece,
                                                   item->barlowFlag, kClassPlanetaryNebula, item->sizeMajor,
                                                   item->sizeMinor, 8.8, 99.9, 255, 0.2,
                                                   site.skyBrightness, 60 * kDeg);
    EXPECT_LE(GetVisibilityRatingIndex(margin, 0.85), 1) << margin;
}

}  // namespace
