// Tests of the observability scan: the Moon's best time on the night of a
// full Moon against its transit, the edge of visibility at air mass 2, the
// item's best time and visible span, and the guards of the iterator.
#include "visibility/observability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/airmass.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "testutil/testutil.h"
#include "ephem/sunmoon.h"
#include "ephem/tests/ephemfixture.h"
#include "instruments/optics.h"
#include "objects/buildrecord.h"
#include "objects/objectrecord.h"
#include "visibility/itembesttime.h"

namespace {

const double kDeg = kPi / 180.0;

LocationRecord Site() {
    LocationRecord site;
    InitLocationRecord(&site, 0.0, 40 * kDeg, 0.0, 6.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "T");
    site.displayFlags |= kSiteIgnoresHorizon;
    return site;
}

DateRecord Date(const LocationRecord &site, int month, int day, int year, double hours) {
    DateRecord d;
    SetDateRecord(&d, &site, month, day, year, hours, kLocalTime);
    ComputeDeltaTAndNutation(&d, 0.0);
    ComputeSiderealTimes(&site, &d);
    return d;
}

std::unique_ptr<OpticsBlock> EightInch() {
    std::unique_ptr<OpticsBlock> o(new OpticsBlock);
    std::memset(o.get(), 0, sizeof *o);
    InitTelescopeOptics(o.get(), "8in", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.0);
    SetEyepieceEntry(o.get(), 0, 0, "25", 25, 52);
    o->eyepieceCount = 1;
    ComputeOpticsLimits(o.get());
    return o;
}

ObjectRecord Moon(const LocationRecord &site, const DateRecord &date) {
    ObjectRecord m;
    ClearObjectRecord(&m);
    m.objectClass = kClassSolarSystem;
    m.index = 10;
    EXPECT_EQ(RefreshObjectRecord(&m, 0.0, &site, &date, 0.2), 1);
    return m;
}

// The Moon's altitude at a Julian date.
double MoonAltitude(const LocationRecord &site, double jd) {
    SunMoonState s = {};
    ComputeSunMoonState(&site, jd, 0.0, kNoTarget, &s, 0);
    return s.moonAltitude;
}

TEST(Observability, BeginGuards) {
    const LocationRecord site = Site();
    const DateRecord date = Date(site, 1, 25, 2024, 18.0);
    auto o = EightInch();
    ObservabilityIterator it;
    ObjectRecord comet;
    ClearObjectRecord(&comet);
    comet.objectClass = kClassComet;
    char label[kObservabilityLabelSize] = "x";
    EXPECT_EQ(BeginObservability(&it, &site, &date, o.get(), nullptr, 0.01, 0.5, &comet, 0, 0, 0, 0, 0, 2, 1, label), 0);
    EXPECT_STREQ(label, "");
    const ObjectRecord moon = Moon(site, date);
    EXPECT_EQ(BeginObservability(&it, &site, &date, o.get(), nullptr, 0.01, 0.5, nullptr, 0, 0, 0, 0, 0, 2, 1, label), 0);
    EXPECT_EQ(BeginObservability(&it, &site, &date, o.get(), nullptr, 0.0, 0.5, &moon, 0, 0, 0, 0, 0, 2, 1, label), 0);
    EXPECT_EQ(BeginObservability(&it, &site, &date, o.get(), nullptr, 0.01, 0.5, &moon, 0, 0, 0, 0, 0, 2, 1, label), 1);
    EXPECT_STREQ(label, "Moon");
    // Coordinate mode 1 forces the geocentric place, mode 3 the topocentric one.
    EXPECT_EQ(it.topocentric, 1);
    EndObservability(&it);
    BeginObservability(&it, &site, &date, o.get(), nullptr, 0.01, 0.5, &moon, 0, 0, 0, 0, 0, 1, 1, label);
    EXPECT_EQ(it.topocentric, 0);
    // The scan stops past its span: 0.55 day in steps of 0.1 is six places.
    BeginObservability(&it, &site, &date, o.get(), nullptr, 0.1, 0.55, &moon, 0, 0, 0, 0, 0, 2, 1, label);
    int places = 0;
    ObservabilityValues values;
    DateRecord at;
    double a = 0, b = 0, c = 0, d = 0;
    while (NextObservabilityPlace(&it, nullptr, &values, &at, &a, &b, &c, &d) && places < 100) ++places;
    EXPECT_EQ(places, 6);
    EndObservability(&it);
}

TEST(Observability, FullMoonBestAtTransitAndItsEdges) {
    // 2024 January 25/26, full Moon: the Moon transits near local midnight.
    const LocationRecord site = Site();
    const DateRecord evening = Date(site, 1, 25, 2024, 18.0);
    auto o = EightInch();
    const ObjectRecord moon = Moon(site, evening);
    ObservabilityIterator it;
    ASSERT_EQ(BeginObservability(&it, &site, &evening, o.get(), nullptr, 10.0 / 1440.0, 0.5, &moon, 0, 0, 0, 0, 0,
                                 2, 1, nullptr),
              1);
    double best = 0, darkness = 0, fraction = 0, margin = 0;
    uint16_t score = 0;
    ASSERT_EQ(FindBestObservingTime(&it, nullptr, nullptr, &best, &darkness, &fraction, &score, &margin), 1);
    EndObservability(&it);
    // The Moon's highest point that night, found by sampling its altitude.
    double transit = evening.julianDate, highest = -10.0;
    for (double t = evening.julianDate; t < evening.julianDate + 0.5; t += 1.0 / 1440.0) {
        const double alt = MoonAltitude(site, t);
        if (alt > highest) highest = alt, transit = t;
    }
    EXPECT_NEAR(best, transit, 40.0 / 1440.0);
    EXPECT_GT(margin, 0.0);
    EXPECT_NEAR((score & 0xFF) / 256.0, highest / (kPi / 2.0), 0.03);
    EXPECT_NEAR(fraction, highest / (kPi / 2.0), 0.02);
    // Going back from the best time: the edge where the air mass passes 2.
    ASSERT_EQ(BeginObservability(&it, &site, &evening, o.get(), nullptr, 10.0 / 1440.0, 0.5, &moon, 0, 0, 0, 0, 0,
                                 2, 1, nullptr),
              1);
    it.date.julianDate = best;
    SetDateRecordFromJulianDate(&site, &it.date);
    ComputeDeltaTAndNutation(&it.date, 0.0);
    ComputeSiderealTimes(&site, &it.date);
    double edge = 0;
    ASSERT_EQ(FindVisibilityEdge(&it, nullptr, nullptr, &edge, -1), 1);
    EndObservability(&it);
    EXPECT_LT(edge, best);
    EXPECT_NEAR(ComputeAirMass(MoonAltitude(site, edge)), 2.0, 0.1);
}

TEST(ItemBestTime, WindowsAndSpan) {
    const LocationRecord site = Site();
    const DateRecord night = Date(site, 1, 26, 2024, 0.0);
    auto o = EightInch();
    ObjectRecord moon = Moon(site, night);
    // No window (never rises): nothing to do, no best time.
    ObjectRecord none = moon;
    none.riseTime = -1.0f;
    none.setTime = -1.0f;
    none.horizonRiseTime = -1.0f;
    none.horizonSetTime = -1.0f;
    none.bestTime = 3.0f;
    EXPECT_EQ(FindItemBestTime(&none, &site, &night, o.get(), nullptr, nullptr, 0), 1);
    EXPECT_EQ(+none.bestTime, -1.0f);
    // A stale span does not survive when there is nothing to span.
    none.visibleFrom = 21.0f;
    none.visibleUntil = 4.0f;
    EXPECT_EQ(FindItemVisibleSpan(&none, &site, &night, o.get(), nullptr), 0);
    EXPECT_EQ(+none.visibleFrom, -1.0f);
    EXPECT_EQ(+none.visibleUntil, -1.0f);

    // The full Moon: best near its transit, visible from air mass 2 to air mass 2.
    ASSERT_NE(+moon.riseTime, -1.0f);
    ASSERT_EQ(FindItemBestTime(&moon, &site, &night, o.get(), nullptr, nullptr, 0), 1);
    ASSERT_NE(+moon.bestTime, -1.0f);
    EXPECT_NEAR(CenterHoursOnMidnight(+moon.bestTime), CenterHoursOnMidnight(+moon.transitTime), 0.7);
    ASSERT_EQ(FindItemVisibleSpan(&moon, &site, &night, o.get(), nullptr), 1);
    ASSERT_NE(+moon.visibleFrom, -1.0f);
    ASSERT_NE(+moon.visibleUntil, -1.0f);
    EXPECT_LT(CenterHoursOnMidnight(+moon.visibleFrom), CenterHoursOnMidnight(+moon.bestTime));
    EXPECT_GT(CenterHoursOnMidnight(+moon.visibleUntil), CenterHoursOnMidnight(+moon.bestTime));
}

}  // namespace

namespace {

// A user comet and a user minor planet are scanned from their element sets,
// labelled from their stores; an id the store lacks begins nothing.
// The user's comets and minor planets are placed from their orbits, which
// need the planetary series for the Earth's place.
class ObservabilityUserBodies : public ephemtest::GeneratedTables {};

TEST_F(ObservabilityUserBodies, UserCometsAndMinorPlanets) {
    testutil::TempDir user;
    SetUserDataFolder(user.path().c_str());
    const double epoch = (2460330.5 - 2451545.0) / 36525.0;  // 2024 Jan 25
    FILE *f = OpenUserCometFile(nullptr);
    ASSERT_TRUE(f);
    CometRecord c;
    ASSERT_EQ(BuildCometRecord(&c, 0, 'C', "Test", "2023 A3", epoch, epoch, 0, 0, 0, 1.2, 0.99, 130, 280, 60, 6, 4,
                               0.002, 5, ""),
              1);
    ASSERT_EQ(AddUserCometElements(&f, &c, 1, 1), 1);
    SafeClose(f);
    int32_t count = 0;
    f = OpenUserMinorPlanetFile(&count);
    ASSERT_TRUE(f);
    MinorPlanetRecord p;
    ASSERT_EQ(BuildMinorPlanetRecord(&p, 0, "Rocky", 0, epoch, 10, 0, 2.5, 0, 0.1, 1, 2, 3, 12, 0.15, ""), 1);
    ASSERT_EQ(AddUserMinorPlanetElements(f, &p, &count), 1);
    int32_t highest = 0;
    ASSERT_EQ(SortUserMinorPlanetFile(&f, count, &highest), 1);
    SafeClose(f);

    const LocationRecord site = Site();
    const DateRecord date = Date(site, 1, 25, 2024, 18.0);
    auto o = EightInch();
    struct Case {
        int objectClass;
        int32_t index;
        int result;
        const char *label;
    } cases[] = {{kClassUserComet, 1, 1, "C/2023 A3 (Test)"},
                 {kClassUserMinorPlanet, 1, 1, "Rocky"},
                 {kClassUserComet, 7, 0, ""}};
    for (const Case &k : cases) {
        SCOPED_TRACE(k.label);
        ObjectRecord object;
        ClearObjectRecord(&object);
        object.objectClass = static_cast<uint8_t>(k.objectClass);
        object.index = k.index;
        ObservabilityIterator it;
        char label[kObservabilityLabelSize] = "x";
        EXPECT_EQ(BeginObservability(&it, &site, &date, o.get(), nullptr, 0.1, 0.3, &object, 0, 0, 0, 0, 0, 2, 1,
                                     label),
                  k.result);
        if (k.result) {
            EXPECT_STREQ(label, k.label);
            ObservabilityValues values;
            DateRecord at;
            double a = 0, b = 0, c2 = 0, d = 0;
            ASSERT_EQ(NextObservabilityPlace(&it, nullptr, &values, &at, &a, &b, &c2, &d), 1);
            EXPECT_GT(values.earthDistance, 0.0);
        }
        EndObservability(&it);
    }
    SetUserDataFolder("");
}

}  // namespace
