// The solar-system layer's collector and places: bodies placed on a chart
// against PyEphem's places (tools/gen_chart_body_reference.py) in pixels,
// the field radius, which bodies the collector keeps and in what order (the
// user's own minor planets among them), the long-span road of a track, the focus object, and the chart time that
// every road restores.
#include "charts/solarlayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "charts/chartcontext.h"
#include "charts/motiontrack.h"
#include "charts/solaritems.h"
#include "charts/tests/solarfixture.h"
#include "core/mathutil.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "core/userfolder.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/usermp.h"

namespace {

using solartest::kDeg;
using solartest::PixelDistance;

struct ReferencePlace {
    const char *name;
    int body;  // -2: comet 2P/Encke
    double julianDate;
    int topocentric;
    double astrometricRa, astrometricDec, apparentRa, apparentDec;
};
const ReferencePlace kReference[] = {
#include "charts/tests/solarbodies_reference.inc"
};
const int kEncke = -2;

class SolarLayer : public solartest::SolarChart {
protected:
    // The body's or the comet's pixel on the current chart; false when it
    // cannot be placed.
    bool BodyPixel(const ReferencePlace &r, int *x, int *y) {
        BodyRecord body;
        double ra = 0, dec = 0, distance = 0, m = 0;
        char label[kSolarLabelSize];
        HeliocentricPlace earth = ComputeEarthHeliocentric(&c->currentDate);
        if (r.body == kEncke) {
            int index = FindCometByNumber(2);
            if (index < 0) return false;
            if (!ComputeSolarObjectPlace(c.get(), nullptr, kHitClassComet, 0, index, nullptr, &body,
                                         earth, &ra, &dec, &distance, &m, label))
                return false;
            if (!ConvertJ2000PlaceToChartFrame(c.get(), &ra, &dec, distance, &m)) return false;
        } else {
            if (!ComputeSolarObjectPlace(c.get(), nullptr, kHitClassSolarSystem, 0, r.body, nullptr,
                                         &body, earth, &ra, &dec, &distance, &m, label))
                return false;
            ComputeBodyTopocentric(&c->site, &c->currentDate, &body);
            if (!ConvertBodyToChartFrame(c.get(), &body, &ra, &dec, &m)) return false;
        }
        return ProjectChartPoint(c.get(), ra, dec, x, y) == 1;
    }
};

// A 1-degree chart 800 pixels wide (4.5" a pixel) centred on the reference
// place: the body must land within 2 pixels of the reference's own pixel,
// in the J2000 frame (geocentric cases) and in the apparent frame of date
// (with the site's parallax for the topocentric cases: the Moon's is 1 deg).
TEST_F(SolarLayer, BodiesLandWhereAnIndependentEphemerisPutsThem) {
    const double kTolerancePixels = 2.0;
    for (const ReferencePlace &r : kReference) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(SetChartTime(c.get(), r.julianDate), 1);
        c->topocentric = static_cast<uint8_t>(r.topocentric);
        for (int frame : {kFrameJ2000, kFrameApparent}) {
            if (frame == kFrameJ2000 && r.topocentric) continue;  // the reference is geocentric there
            SCOPED_TRACE(frame);
            ASSERT_EQ(Look(frame, r.astrometricRa, r.astrometricDec, 1 * kDeg), 1);
            int rx = 0, ry = 0;
            if (frame == kFrameJ2000)
                ASSERT_EQ(SkyToScreen(c.get(), r.astrometricRa, r.astrometricDec, 0, 0, &rx, &ry), 1);
            else
                ASSERT_EQ(PlaceOfDateToScreen(c.get(), r.apparentRa, r.apparentDec, &rx, &ry), 1);
            int x = 0, y = 0;
            ASSERT_TRUE(BodyPixel(r, &x, &y));
            std::printf("%-36s frame %d: %.1f px from the reference\n", r.name, frame,
                        PixelDistance(x, y, rx, ry));
            EXPECT_LE(PixelDistance(x, y, rx, ry), kTolerancePixels)
                << "body at " << x << "," << y << ", reference at " << rx << "," << ry;
        }
    }
}

// The wide-field radius is at least the window's half-diagonal, for wide
// and for tall windows (the field spans the width).
TEST(SolarLayerRadius, WideFieldRadiusCoversTheWindowCorners) {
    struct Case {
        double fieldDegrees;
        int width, height;
        double expectedDegrees;
    } cases[] = {
        {40, 600, 400, 36.0555},  // 20 x sqrt(1 + 1.5^2)
        {40, 400, 600, 36.0555},  // tall: the half-diagonal is 20 x sqrt(1 + 1.5^2) as well
        {40, 500, 500, 28.2843},
        {300, 800, 200, 360.0},   // at most a full turn
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.width);
        double r = GetWideFieldRadius(k.fieldDegrees * kDeg, k.width, k.height) / kDeg;
        EXPECT_NEAR(r, k.expectedDegrees, 1e-3);
        double halfWidth = k.fieldDegrees / 2;
        double halfDiagonal = halfWidth * std::sqrt(1.0 + std::pow((double)k.height / k.width, 2));
        EXPECT_GE(r + 1e-9, std::min(halfDiagonal, 360.0));
    }
    EXPECT_EQ(GetWideFieldRadius(1.0, 0, 400), 0.0);
}

TEST(SolarLayerTables, MarginsMotionsAndClasses) {
    EXPECT_NEAR(GetBodyFieldMargin(kBodyMoon) / kDeg, 0.75, 1e-12);
    EXPECT_NEAR(GetBodyFieldMargin(kBodyJupiter) / kDeg * 3600, 50, 1e-9);
    EXPECT_NEAR(GetBodyFieldMargin(kBodyEarthShadow) / kDeg, 2, 1e-12);
    EXPECT_EQ(GetBodyFieldMargin(kBodyEarth), 0.0);
    EXPECT_EQ(GetBodyFieldMargin(12), 0.0);
    EXPECT_EQ(GetBodyDailyMotion(kBodyMoon), 13.0);
    EXPECT_EQ(GetBodyDailyMotion(-1), 0.0);
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(IsSolarSystemChartClass(k), k == 2 || k == 3 || k == 4 || k == 13 || k == 14) << k;
}

// ---- the collector ------------------------------------------------------------

class Collector : public SolarLayer {
protected:
    void TearDown() override {
        std::free(hits);
        SolarLayer::TearDown();
    }
    int Collect(uint32_t layers, MotionTrack *track = nullptr, const ChartFocus *focus = nullptr,
                const int *stop = nullptr) {
        return CollectBodiesNearField(c.get(), &hits, track, focus, 12, layers, 12, 12, 0, stop);
    }
    bool Has(int objectClass, int index, int *at = nullptr) const {
        for (int i = 0; i < c->solar.hitCount; ++i)
            if (hits[i].objectClass == objectClass && hits[i].index == index) {
                if (at) *at = i;
                return true;
            }
        return false;
    }
    // The body's J2000 place at the chart time (geocentric).
    void BodyPlace(int type, double *ra, double *dec) {
        BodyRecord body;
        std::memset(&body, 0, sizeof body);
        body.type = type;
        HeliocentricPlace earth = ComputeEarthHeliocentric(&c->currentDate);
        ASSERT_EQ(ComputeBodyPosition(&c->currentDate, earth, &body), 1);
        double x = 0, y = 0;
        int frame = c->frameMode;
        c->frameMode = kFrameJ2000;
        ASSERT_EQ(ConvertBodyToChartFrame(c.get(), &body, &x, &y, nullptr), 1);
        c->frameMode = static_cast<uint8_t>(frame);
        *ra = x;
        *dec = y;
    }
    SolarSystemHit *hits = nullptr;
};

const double kJupiterDate = 2460251.5;  // 2023-11-03

// An all-sky chart: every switched-on body but the Earth, the most distant
// first; the Moon stays even when it is brighter than nothing and fainter
// than the limit allows.
TEST_F(Collector, AllSkyKeepsEveryBodyButTheEarthMostDistantFirst) {
    ASSERT_EQ(SetChartTime(c.get(), kJupiterDate), 1);
    ASSERT_EQ(Look(kFrameJ2000, 0, 0, 360 * kDeg), 1);
    c->limitingMagnitude = 30;
    ASSERT_EQ(Collect(kLayerSun | kLayerMoon | kLayerPlanets | kLayerEarthShadow), 1);
    EXPECT_EQ(c->solar.hitCount, 11);
    EXPECT_FALSE(Has(kHitClassSolarSystem, kBodyEarth));
    for (int i = 1; i < c->solar.hitCount; ++i) {
        float before = hits[i - 1].distance, after = hits[i].distance;
        EXPECT_GE(before, after) << i;
    }
    // The Moon and the shadow share a distance: either may come last.
    const int last = hits[c->solar.hitCount - 1].index, before = hits[c->solar.hitCount - 2].index;
    EXPECT_EQ(last + before, kBodyMoon + kBodyEarthShadow);
    EXPECT_TRUE(DatesEqual());
    EXPECT_EQ(c->solar.hitCursor, 0);

    // A limit brighter than every body: only the Moon is kept.
    c->limitingMagnitude = -30;
    std::free(hits);
    hits = nullptr;
    ASSERT_EQ(Collect(kLayerMoon | kLayerPlanets), 1);
    ASSERT_EQ(c->solar.hitCount, 1);
    EXPECT_EQ(int{hits[0].index}, kBodyMoon);
}

// Jupiter just inside and just outside the field radius plus its margin and
// the reach of its satellites.
TEST_F(Collector, APlanetJustOutsideTheReachIsNotCollected) {
    ASSERT_EQ(SetChartTime(c.get(), kJupiterDate), 1);
    double ra = 0, dec = 0;
    BodyPlace(kBodyJupiter, &ra, &dec);
    BodyRecord body;
    std::memset(&body, 0, sizeof body);
    body.type = kBodyJupiter;
    ComputeBodyPosition(&c->currentDate, ComputeEarthHeliocentric(&c->currentDate), &body);
    double reach = 0;
    for (int s = 0; s < GetSatelliteCount(kBodyJupiter); ++s)
        reach = std::max(reach, 2 * GetSatelliteSemiMajorAxis(kBodyJupiter - kBodyMars, s) /
                                    body.geocentricDistance);
    const double R = GetWideFieldRadius(40 * kDeg, 600, 400);
    const double edge = R + GetBodyFieldMargin(kBodyJupiter) + reach;
    struct Case {
        double offset;
        bool collected;
    } cases[] = {{-0.02 * kDeg, true}, {0.02 * kDeg, false}};
    for (const Case &k : cases) {
        SCOPED_TRACE(k.offset);
        // The centre due south of Jupiter at the separation wanted.
        ASSERT_EQ(Look(kFrameJ2000, ra, dec - (edge + k.offset), 40 * kDeg, 600, 400), 1);
        c->limitingMagnitude = 10;
        std::free(hits);
        hits = nullptr;
        ASSERT_EQ(Collect(kLayerPlanets), 1);
        EXPECT_EQ(Has(kHitClassSolarSystem, kBodyJupiter), k.collected);
    }
}

TEST_F(Collector, EveryRoadRestoresTheChartTime) {
    ASSERT_EQ(SetChartTime(c.get(), kJupiterDate), 1);
    ASSERT_EQ(Look(kFrameJ2000, 0, 0, 60 * kDeg), 1);
    // Nothing switched on: 0, no hits.
    EXPECT_EQ(Collect(0), 0);
    EXPECT_EQ(c->solar.hitCount, 0);
    EXPECT_TRUE(DatesEqual());
    // The stop flag: 0, the count 0, the chart time back.
    int stop = 1;
    c->currentDate.julianDate += 3;  // a layer left the date elsewhere
    EXPECT_EQ(Collect(kLayerPlanets, nullptr, nullptr, &stop), 0);
    EXPECT_EQ(c->solar.hitCount, 0);
    EXPECT_TRUE(DatesEqual());
    // A search that cannot start (no minor-planet database): 0, time back.
    SetMinorBodyDatabaseFolders("/nonexistent/", "/nonexistent/");
    EXPECT_EQ(Collect(kLayerPlanets | kLayerMinorPlanets), 0);
    EXPECT_EQ(c->solar.hitCount, 0);
    EXPECT_TRUE(DatesEqual());
    // Success in track mode (the track steps the date through its span).
    SetMinorBodyDatabaseFolders(folders_.first.c_str(), folders_.second.c_str());
    MotionTrack track;
    std::memset(&track, 0, sizeof track);
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, 0, kTrackCollectedBodies,
                              0, 10.0, 40, 20, 0),
              1);
    EXPECT_EQ(Collect(kLayerPlanets | kLayerMoon | kLayerMinorPlanets, &track), 1);
    EXPECT_TRUE(DatesEqual());
    EXPECT_EQ(track.collected, 1);
    EXPECT_EQ(track.pixelStep, 20);  // the bodies' track tests keep the caller's pixel step
    FreeMotionTrackSamples(&track);
}

// A track of 14 days on a 10-degree chart centred where the Moon stands 5
// days after the chart time: the Moon crosses 4 x R / rate in under two
// days, so the long-span road (the two-body search against the chart
// centre) finds it, with the time of its closest approach.
TEST_F(Collector, ALongTrackFindsABodyThatEntersTheFieldMidSpan) {
    ASSERT_EQ(SetChartTime(c.get(), kJupiterDate), 1);
    AdvanceChartTime(c.get(), 5.0);
    double ra = 0, dec = 0;
    BodyPlace(kBodyMoon, &ra, &dec);
    RestoreChartTime(c.get());
    ASSERT_EQ(Look(kFrameJ2000, ra, dec, 10 * kDeg), 1);
    c->limitingMagnitude = 10;
    MotionTrack track;
    std::memset(&track, 0, sizeof track);
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, 0, kTrackCollectedBodies,
                              0, 14.0, 40, 20, 0),
              1);
    ASSERT_EQ(Collect(kLayerMoon, &track), 1);
    int at = -1;
    ASSERT_TRUE(Has(kHitClassSolarSystem, kBodyMoon, &at));
    // The pass's closest approach: when it stands at the centre.
    double closest = JulianDateFromCenturies(hits[at].time);
    // The two-body search refines the minimum: a scan at the track's step
    // (5 hours here) put it two hours off.
    EXPECT_NEAR(closest, kJupiterDate + 5.0, 0.02);
    float span = hits[at].span;
    EXPECT_GT(span, 0.0f);
    EXPECT_TRUE(DatesEqual());

    // Outside track mode the Moon, 60 degrees away at the chart time, is not near.
    std::free(hits);
    hits = nullptr;
    ASSERT_EQ(Collect(kLayerMoon), 1);
    EXPECT_FALSE(Has(kHitClassSolarSystem, kBodyMoon));
}

// The focus object with times: already a hit, it keeps its own satellite
// number unless the focus names one; not a hit, it is appended.
TEST_F(Collector, FocusObjectSatelliteNumberAndAppending) {
    ASSERT_EQ(SetChartTime(c.get(), kJupiterDate), 1);
    double ra = 0, dec = 0;
    BodyPlace(kBodyJupiter, &ra, &dec);
    ASSERT_EQ(Look(kFrameJ2000, ra, dec, 5 * kDeg), 1);
    c->limitingMagnitude = 10;
    double times[2] = {kJupiterDate - 1, kJupiterDate + 1};
    struct Case {
        int index, satellite;
        int expectedSatellite;
        int expectedCount;
    } cases[] = {
        {kBodyJupiter, 0, 0, 1},   // a hit already: keeps its own number (0)
        {kBodyJupiter, 3, 3, 1},   // a hit already: takes the focus's satellite
        {kBodySaturn, 0, 0, 2},    // far away: appended
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.index * 10 + k.satellite);
        ChartFocus focus;
        ASSERT_EQ(InitChartFocus(&focus, c.get(), nullptr, times, 2, 0, kHitClassSolarSystem,
                                 k.satellite, k.index),
                  1);
        std::free(hits);
        hits = nullptr;
        ASSERT_EQ(Collect(kLayerPlanets, nullptr, &focus), 1);
        EXPECT_EQ(c->solar.hitCount, k.expectedCount);
        int at = -1;
        ASSERT_TRUE(Has(kHitClassSolarSystem, k.index, &at));
        EXPECT_EQ(int{hits[at].satellite}, k.expectedSatellite);
    }
}

// A comet of the packaged file in the field, and the selected comet added
// when the search leaves it out (it is fainter than the limit).
TEST_F(Collector, CometsInTheFieldAndTheSelectedComet) {
    const ReferencePlace &encke = kReference[sizeof kReference / sizeof kReference[0] - 1];
    ASSERT_EQ(encke.body, kEncke);
    ASSERT_EQ(SetChartTime(c.get(), encke.julianDate), 1);
    ASSERT_EQ(Look(kFrameJ2000, encke.astrometricRa, encke.astrometricDec, 2 * kDeg), 1);
    int index = FindCometByNumber(2);
    ASSERT_GE(index, 0);
    c->limitingMagnitude = 30;
    ASSERT_EQ(CollectBodiesNearField(c.get(), &hits, nullptr, nullptr, 30, kLayerComets, 30, 30, 0,
                                     nullptr),
              1);
    ASSERT_TRUE(Has(kHitClassComet, index));
    std::free(hits);
    hits = nullptr;
    c->selectedObjectType = kHitClassComet;
    c->selectedObjectIndex = index;
    ASSERT_EQ(CollectBodiesNearField(c.get(), &hits, nullptr, nullptr, -30, kLayerComets, -30, -30,
                                     0, nullptr),
              1);
    EXPECT_EQ(c->solar.hitCount, 1);
    EXPECT_TRUE(Has(kHitClassComet, index));
}

// A minor planet of the user's own file in the field is collected by its
// object id; away from the field it is not.
TEST_F(Collector, TheUsersMinorPlanetsInTheField) {
    testutil::TempDir user;
    SetUserDataFolder(user.path().c_str());
    ASSERT_EQ(SetChartTime(c.get(), kJupiterDate), 1);
    // Ceres' osculating elements (JPL SBDB), under a name of the user's.
    const double epoch = (kJupiterDate - 2451545.0) / 36525.0;
    MinorPlanetRecord r;
    ASSERT_EQ(BuildMinorPlanetRecord(&r, 0, "My Ceres", 0.1832865291648888, epoch, 0, 0, 2.766619044655007, 0,
                                     0.07863575691875528, 73.53162384033203, 80.26643371582031,
                                     10.58679485321045, 3.33, 0.12, ""),
              1);
    int32_t count = 0;
    FILE *f = OpenUserMinorPlanetFile(&count);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(AddUserMinorPlanetElements(f, &r, &count), 1);
    int32_t highest = 0;
    ASSERT_EQ(SortUserMinorPlanetFile(&f, count, &highest), 1);
    MinorPlanetRecord found;
    const int32_t id = FindUserMinorPlanetId(f, "My Ceres", nullptr, &found);
    ASSERT_GT(id, 0);
    double ra = 0, dec = 0;
    ASSERT_EQ(ComputeUserMinorPlanetPosition(f, &c->currentDate, id, nullptr, nullptr, &ra, &dec, nullptr, nullptr,
                                             nullptr, nullptr, nullptr, nullptr, nullptr),
              1);
    std::fclose(f);
    c->limitingMagnitude = 12;
    struct Case {
        double offset;
        bool collected;
    } cases[] = {{0.0, true}, {20 * kDeg, false}};
    for (const Case &k : cases) {
        SCOPED_TRACE(k.offset);
        ASSERT_EQ(Look(kFrameJ2000, ra, dec + k.offset, 5 * kDeg), 1);
        std::free(hits);
        hits = nullptr;
        ASSERT_EQ(Collect(kLayerUserMinorPlanets), 1);
        EXPECT_EQ(Has(kHitClassUserMinorPlanet, id), k.collected);
        EXPECT_TRUE(DatesEqual());
    }
    SetUserDataFolder(nullptr);
}

TEST(HitOrder, LargestDistanceFirstEqualCompareEqual) {
    SolarSystemHit a, b;
    std::memset(&a, 0, sizeof a);
    std::memset(&b, 0, sizeof b);
    a.distance = 5.0f;
    b.distance = 1.0f;
    EXPECT_LT(CompareHitsByDistance(&a, &b), 0);
    EXPECT_GT(CompareHitsByDistance(&b, &a), 0);
    b.distance = 5.0f;
    EXPECT_EQ(CompareHitsByDistance(&a, &b), 0);
}

}  // namespace

namespace {

// Labels of comets and minor planets from the label slots of their families.
TEST_F(SolarLayer, CometAndMinorPlanetLabelsFromTheirSlots) {
    ASSERT_EQ(SetChartTime(c.get(), 2457804.5), 1);  // 2017-02-20
    const int encke = FindCometByNumber(2);
    ASSERT_GE(encke, 0);
    struct Slot {
        int form, enabled;
    };
    struct Case {
        const char *name;
        int objectClass, index;
        bool settings;
        int labelSwitch, window, suffix;
        double bright, faint;
        Slot slots[4];
        const char *expected;  // "%m" stands for " (magnitude x 10)"
    } cases[] = {
        {"comet, no settings", kHitClassComet, encke, false, 0, 0, 0, 0, 0, {}, ""},
        {"comet, switch off", kHitClassComet, encke, true, 0, 0, 0, 0, 0, {{1, 1}}, ""},
        {"comet, number", kHitClassComet, encke, true, 1, 0, 0, 0, 0, {{1, 1}}, "2P"},
        {"comet, first slot off", kHitClassComet, encke, true, 1, 0, 0, 0, 0, {{1, 0}, {3, 1}},
         "Encke"},
        {"comet, full label", kHitClassComet, encke, true, 1, 0, 0, 0, 0, {{0, 1}}, "2P/Encke"},
        {"comet, outside the window", kHitClassComet, encke, true, 1, 1, 0, -5, -4, {{1, 1}}, ""},
        {"comet, inside the window, suffix", kHitClassComet, encke, true, 1, 1, 1, -30, 30, {{1, 1}},
         "2P%m"},
        {"minor planet, no settings", kHitClassMinorPlanet, 1, false, 0, 0, 0, 0, 0, {}, "Ceres"},
        {"minor planet, number and name", kHitClassMinorPlanet, 1, true, 1, 0, 0, 0, 0, {{0, 1}},
         "(1) Ceres"},
        {"minor planet, number", kHitClassMinorPlanet, 1, true, 1, 0, 0, 0, 0, {{2, 1}}, "1"},
        {"minor planet, switch off", kHitClassMinorPlanet, 1, true, 0, 0, 0, 0, 0, {{1, 1}}, ""},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        std::unique_ptr<ChartLabelSettings> s(new ChartLabelSettings);
        std::memset(s.get(), 0, sizeof *s);
        const int family = k.objectClass == kHitClassComet ? kFamilyComets : kFamilyMinorPlanets;
        s->firstSwitch[family] = static_cast<uint8_t>(k.labelSwitch);
        s->magnitudeWindow[family] = static_cast<uint8_t>(k.window);
        s->magnitudeSuffix[family] = static_cast<uint8_t>(k.suffix);
        s->brightBound[family] = k.bright;
        s->faintBound[family] = k.faint;
        for (int i = 0; i < 4; ++i) {
            s->order[family][i] = static_cast<uint8_t>(k.slots[i].form);
            s->enable[family][i] = static_cast<uint8_t>(k.slots[i].enabled);
        }
        BodyRecord work;
        double ra = 0, dec = 0, distance = 0, m = 0;
        char label[kSolarLabelSize] = "x";
        ASSERT_EQ(ComputeSolarObjectPlace(c.get(), k.settings ? s.get() : nullptr, k.objectClass, 0,
                                          k.index, nullptr, &work,
                                          ComputeEarthHeliocentric(&c->currentDate), &ra, &dec,
                                          &distance, &m, label),
                  1);
        std::string expected = k.expected;
        size_t at = expected.find("%m");
        if (at != std::string::npos)
            expected.replace(at, 2, " (" + std::to_string((int)std::lround(m * 10)) + ")");
        EXPECT_EQ(std::string(label), expected);
    }
}

}  // namespace
