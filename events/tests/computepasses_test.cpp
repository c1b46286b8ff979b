// Tests of the compute passes and the eclipse finder: the calendar's months,
// a search's span, refusals, the stop flag, and events against published
// times: the Moon's phases and Venus's conjunction of March 2025 (python3-ephem
// 4.1.4), the lunar eclipse of 2025 Mar 14 (greatest 06:58:43 UT) and the
// solar eclipse of 2024 Apr 8 seen from Dallas (partial from 17:23 to 20:02
// UT, greatest 18:42:35 UT).
#include "events/computepasses.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "ephem/tests/ephemfixture.h"
#include "events/eclipsesearch.h"
#include "events/eventdates.h"
#include "events/eventstore.h"
#include "events/phenomenafinders.h"
#include "visibility/criteria.h"

namespace {

const double kMinute = 1.0 / 1440.0;

std::unique_ptr<EventFileHeader> NewHeader(const LocationRecord &site, double start) {
    std::unique_ptr<EventFileHeader> h(NewEventFileHeader());
    h->site = site;
    h->start = start;
    for (VisibilityCriteria &c : h->criteria) InitVisibilityCriteria(&c);
    return h;
}

LocationRecord Dallas() {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, 96.80 * ephemtest::kDegree, 32.78 * ephemtest::kDegree, 140.0, 6.5, 0.0, 15.0, 50.0, 2,
                       0.0, -6.0, "Dallas");
    return site;
}

std::vector<EventRecord> ReadAll(const EventFileHeader *h) {
    std::vector<EventRecord> out;
    FileHandle f(OpenEventRecords(h));
    EventRecord e;
    for (int i = 0; f && i < h->count; ++i)
        if (ReadEvent(f.get(), i, &e)) out.push_back(e);
    return out;
}

TEST(ComputePassSpans, CalendarMonthsAndSearchPeriods) {
    LocationRecord site = Dallas();
    struct Case {
        int day;
        double period;
        int endMonth, endDay;  // the local midnight that ends the calendar
    } cases[] = {
        {20, 1, 3, 1},   // from Jan 20: to the end of February
        {10, 1, 2, 1},   // from Jan 10: to the end of January
        {10, 0, 2, 1},   // period 0 from the 10th: still the end of January, never before the start
        {15, 12, 2, 1},  // a year on, into the next year
    };
    for (const auto &c : cases) {
        DateRecord midnight;
        SetDateRecord(&midnight, &site, 1, c.day, 2025, 0.0, kLocalTime);
        const int months = static_cast<int>(c.period) - (c.day < 15 ? 1 : 0);
        DateRecord expected;
        SetDateRecord(&expected, &site, c.endMonth, c.endDay, c.period >= 12 ? 2026 : 2025, 0.0, kLocalTime);
        EXPECT_DOUBLE_EQ(CalendarEnd(&site, &midnight, months), +expected.julianDate) << c.day << " " << c.period;
        EXPECT_GT(CalendarEnd(&site, &midnight, months), +midnight.julianDate);
    }
    auto h = NewHeader(site, 0);
    DateRecord start;
    SetDateRecord(&start, &site, 1, 10, 2025, 22.0, kLocalTime);
    const struct {
        int unit;
        double period, days;
    } spans[] = {{kPeriodMonths, 1, 32}, {kPeriodMonths, 2, 60}, {kPeriodYears, 1, 365.25}, {kPeriodWeeks, 2, 14},
                 {kPeriodDays, 5, 5}};
    for (const auto &s : spans) {
        h->periodUnit = static_cast<uint8_t>(s.unit);
        h->period = s.period;
        EXPECT_NEAR(SearchSpanDays(h.get(), &start), s.days, 1e-6) << s.unit << " " << s.period;
    }
    h->separationLimit = 30;
    h->separationUnit = kSeparationArcminutes;
    EXPECT_NEAR(SeparationLimitRadians(h.get()), 0.5 * ephemtest::kDegree, 1e-15);
}

class ComputePasses : public ephemtest::GeneratedTables {
protected:
    void SetUp() override {
        ephemtest::GeneratedTables::SetUp();
        if (IsSkipped()) return;
        SetUserDataFolder(user_.path().c_str());
        EnsureDirectory(user_.file("events").c_str());
    }
    void TearDown() override {
        SetUserDataFolder("");
        ephemtest::GeneratedTables::TearDown();
    }
    testutil::TempDir user_;
};

TEST_F(ComputePasses, PairOfABodyWithItselfIsRefused) {
    auto h = NewHeader(Dallas(), 2460676.5);
    h->definitionKind = kDefinitionPair;
    h->pairKind = kPairCloseApproach;
    h->body1Class = h->body2Class = 2;
    h->body1Index = h->body2Index = kBodyJupiter;
    EXPECT_EQ(ComputeSearchEvents(h.get(), nullptr, nullptr), 0);
    h->pairKind = kPairOccultations;
    EXPECT_EQ(ComputeSearchEvents(h.get(), nullptr, nullptr), 0);
    // Two satellites of one planet are two bodies.
    h->body1Satellite = 1;
    h->body2Satellite = 2;
    h->period = 1;
    h->periodUnit = kPeriodDays;
    EXPECT_GE(ComputeSearchEvents(h.get(), nullptr, nullptr), 0);
}

TEST_F(ComputePasses, SolarEclipseFromDallasAndContactsThatFailTheFilters) {
    auto h = NewHeader(Dallas(), 2460401.5);
    h->pairKind = kPairSolarEclipse;
    DateRecord start;
    SetCompletedDate(&h->site, h->start, &start);
    {
        FileHandle f(StoreEventFileHeader(h.get()));
        ASSERT_TRUE(f);
        EXPECT_EQ(FindEclipses(h.get(), f.get(), 0, nullptr, &start, 15, 1, nullptr), 1);
    }
    std::vector<EventRecord> events = ReadAll(h.get());
    ASSERT_EQ(events.size(), 1u);
    const EventRecord &e = events[0];
    EXPECT_EQ(+e.kind, kEventSolarEclipse);
    ASSERT_GE(+e.contactCount, 3);
    EXPECT_EQ(+e.contacts[0].code, kContactMidEclipse);
    EXPECT_NEAR(+e.contacts[0].time, 2460409.279569, kMinute);
    double first = 0, last = 0;
    for (int i = 0; i < e.contactCount; ++i) {
        if (e.contacts[i].code == 4) first = e.contacts[i].time;
        if (e.contacts[i].code == 7) last = e.contacts[i].time;
    }
    EXPECT_NEAR(first, 2460409.22431, 3 * kMinute);  // 17:23 UT
    EXPECT_NEAR(last, 2460409.33472, 3 * kMinute);   // 20:02 UT
    EXPECT_DOUBLE_EQ(+e.time, +e.contacts[0].time);  // the first contact kept is the maximum
    // Contacts that no criteria accept (a window of 02:00-03:00): nothing stored.
    auto none = NewHeader(Dallas(), 2460401.5);
    std::strcpy(none->site.name, "Dallas night");
    none->pairKind = kPairSolarEclipse;
    none->criteria[1].windowFlags = kWindowStartApplies | kWindowEndApplies;
    none->criteria[1].startHour = 2.0f;
    none->criteria[1].endHour = 3.0f;
    FileHandle g(StoreEventFileHeader(none.get()));
    ASSERT_TRUE(g);
    EXPECT_EQ(FindEclipses(none.get(), g.get(), 0, nullptr, &start, 15, 1, nullptr), 0);
    EXPECT_EQ(+none->count, 0);
}

TEST_F(ComputePasses, LunarEclipseOfMarch2025) {
    auto h = NewHeader(ephemtest::GeocentreSite(), 2460740.5);
    h->pairKind = kPairLunarEclipse;
    DateRecord start;
    SetCompletedDate(&h->site, h->start, &start);
    FileHandle f(StoreEventFileHeader(h.get()));
    ASSERT_TRUE(f);
    EXPECT_EQ(FindEclipses(h.get(), f.get(), 0, nullptr, &start, 15, 1, nullptr), 1);
    f.reset();
    std::vector<EventRecord> events = ReadAll(h.get());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(+events[0].kind, kEventLunarEclipse);
    // Within the 15 s the lunar series allows (eclipsesearch_test.cpp), and
    // the Delta T of the two predictions.
    EXPECT_NEAR(+events[0].contacts[0].time, 2460748.79078, 20.0 / 86400.0);
    bool penumbra = false, umbra = false;
    for (int i = 1; i < events[0].contactCount; ++i) {
        if (events[0].contacts[i].code == 8) penumbra = true;
        if (events[0].contacts[i].code == 4) umbra = true;
        EXPECT_NEAR(+events[0].contacts[i].time, 2460748.79078, 0.15);
    }
    EXPECT_TRUE(penumbra);
    EXPECT_TRUE(umbra);
}

int g_steps[16];
int g_ticks = 0;
int *g_stopAt = nullptr;
void RecordProgress(int step) {
    if (step == 0)
        ++g_ticks;
    else if (step < 16)
        ++g_steps[step];
    if (g_stopAt && step == 1) *g_stopAt = 1;
}

// March 2025 from Dallas: the phases of the Moon, Venus's inferior
// conjunction and Mercury's greatest eastern elongation against independent
// times, the lunar eclipse, Red Spot transits one rotation apart.
TEST_F(ComputePasses, CalendarOfAMonthAgainstPublishedTimes) {
    auto h = NewHeader(Dallas(), JulianDateFromCalendar(3, 1, 2025, 12.0));
    h->period = 1;
    h->finderFlags = kFindMoonPhases | kFindEclipses | kFindPlanetPhenomena | kFindConjunctions | kFindElongations |
                     (kFindPlanetsFirst << 0) | (kFindPlanetsFirst << 1) | kFindRedSpot;
    h->bodyCount = 1;  // one body: no close approaches
    h->bodies[0] = {2, kBodyVenus, 0};
    std::memset(g_steps, 0, sizeof g_steps);
    g_ticks = 0;
    g_stopAt = nullptr;
    const int added = ComputeEvents(h.get(), nullptr, RecordProgress);
    ASSERT_GT(added, 0);
    EXPECT_EQ(g_steps[1], 1);
    EXPECT_EQ(g_steps[3], 1);
    EXPECT_EQ(g_steps[4], 1);
    EXPECT_EQ(g_steps[6], 1);
    EXPECT_EQ(g_steps[2] + g_steps[5] + g_steps[7] + g_steps[8], 0);
    EXPECT_EQ(+h->definitionKind, kDefinitionCalendar);
    std::vector<EventRecord> events = ReadAll(h.get());
    EXPECT_EQ(static_cast<int>(events.size()), added);
    struct Expected {
        int kind, code, body;
        double time, tolerance;
    } expected[] = {
        {kEventPhenomenon, kCodeFirstQuarter, kBodyMoon, 2460741.18860, kMinute},
        {kEventPhenomenon, kCodeFullMoon, kBodyMoon, 2460748.78791, kMinute},
        {kEventPhenomenon, kCodeLastQuarter, kBodyMoon, 2460756.97873, kMinute},
        {kEventPhenomenon, kCodeNewMoon, kBodyMoon, 2460763.95679, kMinute},
        {kEventPhenomenon, kCodeInferiorConjunction, kBodyVenus, 2460757.54652, 10 * kMinute},
        {kEventLunarEclipse, kContactMidEclipse, -1, 2460748.79078, 20.0 / 86400.0},
    };
    for (const Expected &x : expected) {
        int found = 0;
        for (const EventRecord &e : events) {
            if (e.kind != x.kind || e.contacts[0].code != x.code) continue;
            if (x.body >= 0 && e.body1Index != x.body) continue;
            ++found;
            EXPECT_NEAR(+e.contacts[0].time, x.time, x.tolerance) << x.kind << "/" << x.code;
        }
        EXPECT_EQ(found, 1) << x.kind << "/" << x.code;
    }
    // Red Spot transits: one System II rotation apart, contacts either side.
    std::vector<double> spots;
    for (const EventRecord &e : events)
        if (e.kind == kEventRedSpotTransit) {
            spots.push_back(+e.time);
            EXPECT_EQ(+e.contactCount, 3);
            EXPECT_NEAR(+e.contacts[2].time - e.contacts[0].time, 2 * 0.06319877482091231, 1e-6);  // 91 min either side
        }
    ASSERT_GT(spots.size(), 60u);
    for (size_t i = 1; i < spots.size(); ++i) EXPECT_NEAR(spots[i] - spots[i - 1], 0.4137, 0.002);
    // Sorted by time in the file.
    for (size_t i = 1; i < events.size(); ++i) EXPECT_LE(+events[i - 1].time, +events[i].time);
}

// The calendar's close approaches: Venus and Jupiter seen from Dallas were
// 29.3' apart on 2023 Mar 2 at 05:09 UT (python3-ephem, topocentric).
TEST_F(ComputePasses, CalendarCloseApproachOfTwoBodies) {
    auto h = NewHeader(Dallas(), JulianDateFromCalendar(2, 20, 2023, 18.0));
    h->period = 1;
    h->separationLimit = 1;
    h->separationUnit = kSeparationDegrees;
    h->bodyCount = 2;
    h->bodies[0] = {2, kBodyJupiter, 0};
    h->bodies[1] = {2, kBodyVenus, 0};
    std::memset(g_steps, 0, sizeof g_steps);
    g_stopAt = nullptr;
    EXPECT_EQ(ComputeEvents(h.get(), nullptr, RecordProgress), 1);
    EXPECT_EQ(g_steps[8], 1);
    std::vector<EventRecord> events = ReadAll(h.get());
    ASSERT_EQ(events.size(), 1u);
    const EventRecord &e = events[0];
    EXPECT_EQ(+e.kind, kEventCloseApproach);
    EXPECT_EQ(+e.body1Index, kBodyVenus);  // the nearer body first
    EXPECT_EQ(+e.body2Index, kBodyJupiter);
    EXPECT_NEAR(+e.time, 2460005.71435, 2 * kMinute);
    EXPECT_NEAR(e.contacts[0].separation / ephemtest::kDegree * 60, 29.33, 0.1);
    // The calendar's own pair fields are left as they were.
    EXPECT_EQ(+h->body1Class, 0);
    EXPECT_EQ(+h->body2Class, 0);
}

TEST_F(ComputePasses, StopFlagEndsThePassWithTheHeaderSaved) {
    auto h = NewHeader(Dallas(), JulianDateFromCalendar(3, 1, 2025, 12.0));
    h->period = 3;
    h->finderFlags = kFindMoonPhases | kFindRedSpot | kFindPlanetPhenomena | kFindConjunctions | (kFindPlanetsFirst << 3);
    h->bodyCount = 2;
    h->bodies[0] = {2, kBodyVenus, 0};
    h->bodies[1] = {2, kBodyMoon, 0};
    int stop = 0;
    std::memset(g_steps, 0, sizeof g_steps);
    g_stopAt = &stop;
    const int added = ComputeEvents(h.get(), &stop, RecordProgress);
    g_stopAt = nullptr;
    EXPECT_GE(added, 0);
    EXPECT_EQ(g_steps[4] + g_steps[6] + g_steps[8], 0);  // nothing after the stop
    // The file is closed and its header stored with the events' count.
    auto again = NewHeader(Dallas(), 0);
    again->definitionKind = kDefinitionCalendar;
    FileHandle f(OpenEventFile(again.get()));
    ASSERT_TRUE(f);
    EXPECT_EQ(+again->count, +h->count);
    EXPECT_EQ(+again->finderFlags, +h->finderFlags);
}

}  // namespace

#include "minorbodies/tests/mbfixture.h"

namespace {

class MinorPlanetPhenomena : public mbtest::PackagedDatabase {
protected:
    void SetUp() override {
        mbtest::PackagedDatabase::SetUp();
        if (IsSkipped()) return;
        SetUserDataFolder(user_.path().c_str());
        EnsureDirectory(user_.file("events").c_str());
    }
    void TearDown() override {
        SetUserDataFolder("");
        mbtest::PackagedDatabase::TearDown();
    }
    testutil::TempDir user_;
};

// (4) Vesta came to opposition on 2025 May 2 at magnitude 5.6; with a limit
// brighter than it was at the start, no minor planet is searched.
TEST_F(MinorPlanetPhenomena, OppositionsOfMinorPlanetsWithinTheMagnitudeLimit) {
    for (double limit : {8.5, 3.0}) {
        SCOPED_TRACE(limit);
        auto h = NewHeader(Dallas(), JulianDateFromCalendar(3, 1, 2025, 12.0));
        std::snprintf(h->site.name, sizeof h->site.name, "Minor %d", static_cast<int>(limit));
        h->definitionKind = kDefinitionPhenomena;
        h->period = 4;
        h->periodUnit = kPeriodMonths;
        h->finderFlags = kFindOppositions | kFindMinorPlanets;
        h->minorPlanetMagnitude = limit;
        ASSERT_GE(ComputeSearchEvents(h.get(), nullptr, nullptr), 0);
        int vesta = 0, minor = 0;
        for (const EventRecord &e : ReadAll(h.get())) {
            if (e.body1Class != 4) continue;
            ++minor;
            EXPECT_EQ(+e.contacts[0].code, kCodeOpposition);
            EXPECT_LE(+e.contacts[0].altitude, limit);  // the magnitude
            if (e.body1Index == 4) {
                ++vesta;
                EXPECT_NEAR(+e.time, JulianDateFromCalendar(5, 2, 2025, 12.0), 1.0);
                EXPECT_NEAR(+e.contacts[0].altitude, 5.6, 0.4);
            }
        }
        EXPECT_EQ(vesta, limit > 6 ? 1 : 0);
        if (limit < 4) {
            EXPECT_EQ(minor, 0);
        }
    }
}

}  // namespace

#include "events/bodyplace.h"
#include "events/eventrecord.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/usermp.h"

namespace {

// A minor planet of the user's own store, holding the same elements as the
// packaged (4) Vesta, is placed where the packaged one is (the event
// searches read both through the same body set-up), and a missing id is
// refused with nothing left open.
TEST_F(MinorPlanetPhenomena, UserMinorPlanetIsPlacedAsThePackagedOneWithItsElements) {
    const double jd = 2460797.5;  // 2025 May 2
    DateRecord date;
    SetCompletedDate(nullptr, jd, &date);
    MinorPlanetEphemeris *ephemeris = OpenMinorPlanetEphemeris();
    ASSERT_NE(ephemeris, nullptr);
    ASSERT_NE(ComputeMinorPlanetPosition(ephemeris, &date, 4, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr),
              0);
    const OrbitRecord o = ephemeris->orbit;
    CloseMinorPlanetEphemeris(ephemeris);

    MinorPlanetRecord record;
    ASSERT_EQ(BuildMinorPlanetRecord(&record, 0, "Vesta copy", o.T, o.T, 0.0, 0.0, o.a, 0.0, o.e,
                                     o.peri / ephemtest::kDegree, o.node / ephemtest::kDegree,
                                     o.incl / ephemtest::kDegree, o.H, o.G, "test"),
              1);
    int32_t count = 0, highestId = 0;
    FILE *mp = OpenUserMinorPlanetFile(&count);
    ASSERT_NE(mp, nullptr);
    ASSERT_EQ(AddUserMinorPlanetElements(mp, &record, &count), 1);
    ASSERT_EQ(SortUserMinorPlanetFile(&mp, count, &highestId), 1);
    std::fclose(mp);
    ASSERT_EQ(highestId, 1);

    LocationRecord site = Dallas();
    PrecessionRecord none;
    std::memset(&none, 0, sizeof none);
    SearchBody packaged, user;
    ASSERT_EQ(SetUpSearchBody(&packaged, kEventClassMinorPlanet, 4, 0, 0, 0, &date, &site), 1);
    ASSERT_EQ(SetUpSearchBody(&user, kEventClassUserMinorPlanet, highestId, 0, 0, 0, &date, &site), 1);
    for (double t : {jd, jd + 40.0, jd - 90.0}) {
        SCOPED_TRACE(t);
        DateRecord d;
        SetCompletedDate(nullptr, t, &d);
        ASSERT_EQ(ComputeSearchBody(&packaged, &site, &d, kCoordinatesGeocentricJ2000, 0, 1, &none, &none), 1);
        ASSERT_EQ(ComputeSearchBody(&user, &site, &d, kCoordinatesGeocentricJ2000, 0, 1, &none, &none), 1);
        EXPECT_NEAR(user.ra, packaged.ra, 1.0 / 206265.0);
        EXPECT_NEAR(user.dec, packaged.dec, 1.0 / 206265.0);
        EXPECT_NEAR(user.distance, packaged.distance, 1e-6);
        EXPECT_NEAR(user.magnitude, packaged.magnitude, 0.05);
    }
    ReleaseSearchBody(&packaged);
    ReleaseSearchBody(&user);
    EXPECT_EQ(user.userStore, nullptr);

    SearchBody missing;
    EXPECT_EQ(SetUpSearchBody(&missing, kEventClassUserMinorPlanet, 99, 0, 0, 0, &date, &site), 0);
    EXPECT_EQ(missing.userStore, nullptr);
    EXPECT_EQ(SetUpSearchBody(&missing, kEventClassUserComet, 1, 0, 0, 0, &date, &site), 0);
    EXPECT_EQ(missing.userStore, nullptr);
}

}  // namespace
