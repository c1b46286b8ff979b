// Tests of the visibility criteria filters and of the list-item tests at a
// time, now and tonight.
#include "visibility/criteriamatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "instruments/optics.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "photometry/skybright.h"
#include "visibility/contrastmodel.h"

namespace {

const double kDeg = kPi / 180.0;

LocationRecord Site(double latitudeDeg, double limit = 6.0) {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, latitudeDeg * kDeg, 0.0, limit, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
    return site;
}

std::unique_ptr<VisibilityCriteria> Criteria() {
    std::unique_ptr<VisibilityCriteria> c(new VisibilityCriteria);
    InitVisibilityCriteria(c.get());
    return c;
}

std::unique_ptr<ObjectRecord> Star(double magnitude, double decDeg) {
    std::unique_ptr<ObjectRecord> r(new ObjectRecord);
    std::memset(r.get(), 0, sizeof *r);
    r->objectClass = kClassStar;
    r->magnitude = (float)magnitude;
    r->magnitude2 = kRecordNoMagnitude;
    r->decOfDate = decDeg * kDeg;
    r->categoryBits = 0x10;
    r->constellation = 40;
    r->transitTime = -1.0f;
    r->eyepiece = kNoEyepiece;
    r->visibilityClass = 7;
    return r;
}

DateRecord Date(const LocationRecord &site) {
    DateRecord d;
    SetDateRecord(&d, &site, 1, 15, 2024, 0.0, kLocalTime);
    ComputeDeltaTAndNutation(&d, 0.0);
    ComputeSiderealTimes(&site, &d);
    return d;
}

TEST(CriteriaFilters, RatingFilter) {
    // Margins that give ratings 0..6 at experience 1 (v = margin + 0.15).
    const double margins[7] = {1.5, 0.9, 0.4, 0.2, 0.0, -0.3, -0.5};
    for (int i = 0; i < 7; ++i) ASSERT_EQ(GetVisibilityRatingIndex(margins[i], 1.0), i);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(MatchRatingFilter(0, 4, margins[i], 1.0), i == 2 ? 1 : 0) << i;
        EXPECT_EQ(MatchRatingFilter(1, 4, margins[i], 1.0), i <= 2 ? 1 : 0) << i;
        EXPECT_EQ(MatchRatingFilter(2, 4, margins[i], 1.0), i >= 2 && i < 6 ? 1 : 0) << i;
        EXPECT_EQ(MatchRatingFilter(1, 1, margins[i], 1.0), i < 6 ? 1 : 0) << i;
        EXPECT_EQ(MatchRatingFilter(9, 4, margins[i], 1.0), 0) << i;
        EXPECT_EQ(MatchRatingFilter(1, 0, margins[i], 1.0), 1) << i;
    }
    for (int wanted = 1; wanted < 9; ++wanted) EXPECT_EQ(MatchRatingFilter(1, wanted, 99.0, 1.0), 0);
    EXPECT_EQ(MatchRatingFilter(1, 0, 99.0, 1.0), 1);
}

TEST(CriteriaFilters, RatingThreshold) {
    EXPECT_EQ(MatchRatingThreshold(0, 6, 0, 100), 1);
    EXPECT_EQ(MatchRatingThreshold(0, 6, 0, 99), 0);
    EXPECT_EQ(MatchRatingThreshold(2, 0, 255, 50), 0);
    EXPECT_EQ(MatchRatingThreshold(2, 0, 0, 50), 0);
    EXPECT_EQ(MatchRatingThreshold(2, 3, 3, 10), 1);
    EXPECT_EQ(MatchRatingThreshold(2, 3, 3, 9), 0);
    EXPECT_EQ(MatchRatingThreshold(4, 0, 3, 10), 0);
    // A damaged row byte is held to the table: 255 acts as row 6, -1 as row 0.
    EXPECT_EQ(MatchRatingThreshold(0, 255, 0, 100), 1);
    EXPECT_EQ(MatchRatingThreshold(0, 255, 0, 99), 0);
    EXPECT_EQ(MatchRatingThreshold(0, -1, 0, 0), 1);
}

TEST(CriteriaFilters, SkyCondition) {
    const LocationRecord site = Site(40);
    auto c = Criteria();
    struct Case {
        int condition;
        double altitude, transit;
        int expected;
    } cases[] = {
        {5, 25, 30, 1}, {5, 25, 60, 0}, {5, 31, 60, 1},
        {4, 31, 40, 1}, {4, 31, 60, 0}, {4, 25, 30, 0},
        {3, 20, 30, 1}, {3, 19.9, 30, 0},
        {2, 29.8, 90, 0}, {2, 29.9, 90, 1},
        {1, 0.1, 30, 1}, {1, -0.1, 30, 0},
        {0, -50, 30, 1},
    };
    for (const Case &k : cases) {
        c->altitudeCondition = (uint8_t)k.condition;
        EXPECT_EQ(MatchSkyConditionFilter(&site, c.get(), nullptr, 0.0, 0.0, k.transit * kDeg,
                                          k.altitude * kDeg, kDark),
                  k.expected)
            << k.condition << " " << k.altitude << " " << k.transit;
    }
    // Darkness conditions.
    c->altitudeCondition = 0;
    c->darknessCondition = kDarknessSome;
    EXPECT_EQ(MatchSkyConditionFilter(&site, c.get(), nullptr, 0, 0, 1, 1, kNotDark), 0);
    EXPECT_EQ(MatchSkyConditionFilter(&site, c.get(), nullptr, 0, 0, 1, 1, kSomeDarkness), 1);
    c->darknessCondition = kDarknessDark;
    EXPECT_EQ(MatchSkyConditionFilter(&site, c.get(), nullptr, 0, 0, 1, 1, kSomeDarkness), 0);
    EXPECT_EQ(MatchSkyConditionFilter(&site, c.get(), nullptr, 0, 0, 1, 1, kDark), 1);
}

TEST(CriteriaFilters, DarknessClasses) {
    const LocationRecord site = Site(40, 6.0);
    const double darkest = ComputeSkyBrightnessFromLimit(6.0);
    EXPECT_EQ(ClassifySkyDarkness(&site, darkest), kDark);
    EXPECT_EQ(ClassifySkyDarkness(&site, 12.0), kSomeDarkness);
    EXPECT_EQ(ClassifySkyDarkness(&site, 4.0), kNotDark);
    // A site whose darkest sky has no darkness: no division by zero.
    LocationRecord bright = Site(40, 6.0);
    bright.nakedEyeLimit = -30.0;
    ASSERT_LE(SkyDarknessFraction(ComputeSkyBrightnessFromLimit(bright.nakedEyeLimit)), 0.0);
    EXPECT_EQ(ClassifySkyDarkness(&bright, 2.0), kNotDark);
    EXPECT_EQ(ClassifySkyDarkness(&bright, 10.0), kDark);
}

TEST(CriteriaFilters, TimeWindow) {
    const LocationRecord site = Site(40);
    auto c = Criteria();
    c->startHour = 21.0f;
    c->endHour = 2.0f;
    c->windowFlags = kWindowStartApplies | kWindowEndApplies;
    const double midnight = JulianDateFromCalendar(1, 15, 2024, 0.0);  // site zone 0: UT = local
    struct Case {
        double hour;
        int expected;
    } cases[] = {{-4.0, 0}, {-3.0, 1}, {0.0, 1}, {1.99, 1}, {2.05, 0}, {13.0, 0}};
    for (const Case &k : cases)
        EXPECT_EQ(MatchTimeWindowFilter(&site, midnight + k.hour / 24.0, c.get()), k.expected) << k.hour;
    c->windowFlags = kWindowStartApplies;
    EXPECT_EQ(MatchTimeWindowFilter(&site, midnight + 11.0 / 24.0, c.get()), 1);
}

TEST(ItemTests, NoConditionAndFilters) {
    const LocationRecord site = Site(40);
    auto c = Criteria();
    auto star = Star(5, 10);
    // No condition: visible without any computation (a date record that could
    // not be computed with does not matter).
    DateRecord junk;
    std::memset(&junk, 0, sizeof junk);
    EXPECT_EQ(CheckItemVisibleTonight(&site, &junk, star.get(), c.get(), nullptr, nullptr, 0, nullptr, 0.2), 1);
    EXPECT_EQ(star->visibilityFlags & kItemVisibleFlag, kItemVisibleFlag);
    EXPECT_EQ(star->visibilityClass, kNoRating);
    c->categoryMask = 0x40;  // variable stars only
    EXPECT_EQ(CheckItemVisibleNow(&site, &junk, star.get(), c.get(), 0, nullptr, nullptr, 0, nullptr, 0.2), 0);
    EXPECT_EQ(star->visibilityFlags & kItemVisibleFlag, 0);
    c->categoryMask = 0xF0;
    c->constellation = 41;
    EXPECT_EQ(CheckItemVisibleNow(&site, &junk, star.get(), c.get(), 0, nullptr, nullptr, 0, nullptr, 0.2), 0);
    c->constellation = 40;
    EXPECT_EQ(CheckItemVisibleNow(nullptr, &junk, star.get(), c.get(), 0, nullptr, nullptr, 0, nullptr, 0.2), -1);
}

TEST(ItemTests, NeverRisesWithoutADate) {
    auto c = Criteria();
    c->altitudeCondition = kAltitudeAboveHorizon;
    auto star = Star(5, -70);
    const LocationRecord south = Site(-30), north = Site(30);
    EXPECT_EQ(CheckItemVisibleTonight(&south, nullptr, star.get(), c.get(), nullptr, nullptr, 0, nullptr, 0.2), 1);
    EXPECT_EQ(CheckItemVisibleTonight(&north, nullptr, star.get(), c.get(), nullptr, nullptr, 0, nullptr, 0.2), 0);
    // The limit: 90 - 30 + 34' = 60.57 degrees south from latitude +30.
    star->decOfDate = -60.5 * kDeg;
    EXPECT_EQ(CheckItemVisibleTonight(&north, nullptr, star.get(), c.get(), nullptr, nullptr, 0, nullptr, 0.2), 1);
    star->decOfDate = -60.6 * kDeg;
    EXPECT_EQ(CheckItemVisibleTonight(&north, nullptr, star.get(), c.get(), nullptr, nullptr, 0, nullptr, 0.2), 0);
    // A site 2000 m up sees further south (its horizon dips below the level).
    LocationRecord high;
    InitLocationRecord(&high, 0.0, 30 * kDeg, 2000.0, 6.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "H");
    ASSERT_LT(high.horizonDip, -0.01);
    EXPECT_EQ(CheckItemVisibleTonight(&high, nullptr, star.get(), c.get(), nullptr, nullptr, 0, nullptr, 0.2), 1);
}

TEST(ItemTests, WindowWrappingOverNoonIsSearchedInTwoPieces) {
    // A circumpolar star (always up) under a darkness condition, with a table
    // that is dark in one slot only: the item is visible exactly when that
    // slot's hour lies in 12:00-20:00 or 02:00-12:00.
    const LocationRecord site = Site(40);
    const DateRecord date = Date(site);
    auto c = Criteria();
    c->altitudeCondition = kAltitudeAboveHorizon;
    c->darknessCondition = kDarknessDark;
    c->startHour = 2.0f;
    c->endHour = 20.0f;
    c->windowFlags = kWindowStartApplies | kWindowEndApplies;
    auto star = Star(3, 85);
    struct Case {
        int slot;  // of 25: hour 12 + slot
        int expected;
    } cases[] = {{7, 1}, {8, 1}, {9, 0}, {13, 0}, {14, 1}, {20, 1}};
    for (const Case &k : cases) {
        uint8_t table[25] = {};
        table[k.slot] = 255;
        EXPECT_EQ(CheckItemVisibleTonight(&site, &date, star.get(), c.get(), nullptr, table, 25, nullptr, 0.2),
                  k.expected)
            << "slot " << k.slot;
        EXPECT_EQ(star->visibilityFlags & kItemVisibleFlag, k.expected ? kItemVisibleFlag : 0);
    }
}

TEST(ItemTests, RatingAtATime) {
    // Midnight in January from latitude 40: a star at the meridian (RA of the
    // local sidereal time) at declination 40, i.e. near the zenith, in an
    // 8-inch under a dark table.
    const LocationRecord site = Site(40, 6.5);
    const DateRecord date = Date(site);
    auto c = Criteria();
    c->wantedRating = 1;
    InitTelescopeOptics(&c->optics, "8in", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.0);
    SetEyepieceEntry(&c->optics, 0, 0, "9", 9, 52);
    c->optics.eyepieceCount = 1;
    c->observer.experience = 0.85;
    c->observer.pupilDiameter = 7.0;
    uint8_t dark[25];
    std::memset(dark, 255, sizeof dark);
    auto star = Star(8.0, 40);
    star->raOfDate = date.localApparentSidereal;
    star->eyepiece = 0;
    EXPECT_EQ(CheckItemVisibleAtTime(&site, &date, star.get(), c.get(), nullptr, 0.0, dark, 25, 0.2), 1);
    EXPECT_EQ(star->visibilityClass, 0);  // obvious
    // Without a table the Sun and Moon decide (the same night): still visible.
    EXPECT_EQ(CheckItemVisibleAtTime(&site, &date, star.get(), c.get(), nullptr, 0.0, nullptr, 0, 0.2), 1);
    EXPECT_LE(star->visibilityClass, 1);
    // Far past the telescope's limit: not visible, no rating.
    auto faint = Star(19.0, 40);
    faint->raOfDate = date.localApparentSidereal;
    faint->eyepiece = 0;
    EXPECT_EQ(CheckItemVisibleAtTime(&site, &date, faint.get(), c.get(), nullptr, 0.0, dark, 25, 0.2), 0);
    EXPECT_EQ(faint->visibilityClass, kNoRating);
    // Below the horizon (12 h from the meridian at declination -60): not visible.
    auto below = Star(1.0, -60);
    below->raOfDate = date.localApparentSidereal + kPi;
    EXPECT_EQ(CheckItemVisibleAtTime(&site, &date, below.get(), c.get(), nullptr, 0.0, dark, 25, 0.2), 0);
    // "Now" with the darkness need: a faint extended object needs 0.98, a
    // table at 0.5 darkness refuses it.
    uint8_t half[25];
    std::memset(half, 128, sizeof half);
    star->extent = 0.001f;
    star->magnitude = 12.0f;
    c->wantedRating = 0;
    c->altitudeCondition = kAltitudeAboveHorizon;
    EXPECT_EQ(CheckItemVisibleNow(&site, &date, star.get(), c.get(), 1, nullptr, half, 25, nullptr, 0.2), 0);
    EXPECT_EQ(CheckItemVisibleNow(&site, &date, star.get(), c.get(), 1, nullptr, dark, 25, nullptr, 0.2), 1);
    EXPECT_EQ(CheckItemVisibleNow(&site, &date, star.get(), c.get(), 0, nullptr, half, 25, nullptr, 0.2), 1);
}

}  // namespace
