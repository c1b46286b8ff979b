// Track point enumeration: the common step on hand-placed points, a planet's
// track walked to its end (spacing of points and ticks on screen, the chart
// time restored), the tracks of every collected body, and which satellites
// of Jupiter are big enough on the chart to be drawn.
#include "charts/trackpoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "charts/solarlayer.h"
#include "charts/tests/solarfixture.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "minorbodies/cometdb.h"
#include "objects/ccdmcat.h"
#include "objects/ccdmcomponent.h"
#include "objects/starcat.h"
#include "objects/tests/democatalogues.h"
#include "objects/tests/demostardb.h"
#include "charts/starreader.h"
#include "core/datapaths.h"

namespace {

using solartest::kDeg;
using solartest::PixelDistance;

const double kMarsDate = 2459135.5;  // 2020-10-13
const double kJupiterDate = 2460251.5;
// A walk that has not ended after this many points is a fault.
const int kMaxPoints = 20000;

class TrackPoints : public solartest::SolarChart {
protected:
    void TearDown() override {
        FreeMotionTrackSamples(&track);
        std::free(hits);
        solartest::SolarChart::TearDown();
    }
    // A chart of the field centred on the body's J2000 place at the date.
    void LookAtBody(int type, double jd, double field) {
        ASSERT_EQ(SetChartTime(c.get(), jd), 1);
        BodyRecord body;
        double ra = 0, dec = 0, d = 0, m = 0;
        ASSERT_EQ(ComputeSolarObjectPlace(c.get(), nullptr, kHitClassSolarSystem, 0, type, nullptr,
                                          &body, ComputeEarthHeliocentric(&c->currentDate), &ra,
                                          &dec, &d, &m, nullptr),
                  1);
        c->frameMode = kFrameJ2000;
        ASSERT_EQ(ConvertBodyToChartFrame(c.get(), &body, &ra, &dec, &m), 1);
        ASSERT_EQ(Look(kFrameJ2000, ra, dec, field), 1);
        planetDistance = body.geocentricDistance;
    }
    struct Point {
        int result, x, y;
        std::string label;
    };
    // Every point until the end (or a failure); false when the walk does not end.
    bool Walk(std::vector<Point> *points, int skipMoon = 0) {
        for (int i = 0; i < kMaxPoints; ++i) {
            Point p{0, 0, 0, ""};
            char label[kTrackLabelSize] = "";
            int lx = 0, ly = 0;
            double angle = 0;
            p.result = NextTrackPoint(c.get(), hits, &track, &p.x, &p.y, &lx, &ly, label, &angle,
                                      skipMoon);
            p.label = label;
            if (p.result <= 0) {
                last = p.result;
                return true;
            }
            points->push_back(p);
        }
        return false;
    }
    MotionTrack track{};
    SolarSystemHit *hits = nullptr;
    double planetDistance = 0;
    int last = 99;
};

// Hand-placed points: a new line, a point on the same pixel (1 pixel: the
// step grows by the pixel step), a jump of more than ten pixel steps (a new
// line), then a tick with its label and the label's place.
TEST_F(TrackPoints, CommonStepOnHandPlacedPoints) {
    ASSERT_EQ(SetChartTime(c.get(), kMarsDate), 1);
    ASSERT_EQ(Look(kFrameJ2000, 0, 0, 20 * kDeg), 1);
    std::memset(&track, 0, sizeof track);
    track.pixelStep = 10;
    track.pixelsBetweenTicks = 35;
    track.step = 1.0;
    track.newLine = 1;
    track.history.labelOffset = 12;
    track.lastLabelledDay = -1;
    struct Case {
        int x, y;
        int result;
        double stepAfter;   // days
        int pixelsSinceTick;
    } cases[] = {
        {100, 100, kTrackNewLine, 1.0, 0},
        {100, 100, kTrackContinue, 10.0, 1},     // same pixel: 1 pixel, step x 10 / 1
        {110, 100, kTrackContinue, 10.0, 11},
        {400, 100, kTrackNewLine, 10.0 * 10 / 290, 301},  // a jump of 29 pixel steps
        {410, 100, kTrackTick, 10.0 * 10 / 290, 0},
    };
    double jd = c->currentDate.julianDate;
    for (const Case &k : cases) {
        SCOPED_TRACE(k.x);
        char label[kTrackLabelSize] = "";
        int lx = 0, ly = 0;
        double angle = 0;
        const int dayBefore = c->currentDate.day;
        EXPECT_EQ(TakeTrackPointStep(c.get(), &track, k.x, k.y, label, &lx, &ly, &angle, 1, 1),
                  k.result);
        EXPECT_NEAR(track.step, k.stepAfter, 1e-12);
        EXPECT_EQ(track.pixelsSinceTick, k.pixelsSinceTick);
        jd += track.step;
        EXPECT_NEAR(c->currentDate.julianDate, jd, 1e-9);  // advanced by the new step
        if (k.result == kTrackTick) {
            EXPECT_STRNE(label, "");
            EXPECT_EQ(track.lastLabelledDay, dayBefore);
            EXPECT_EQ(lx, 410);       // moving along +x: the label 12 pixels off, a quarter turn round
            EXPECT_EQ(ly, 100 + 12);
            EXPECT_EQ(track.fullDate, 0);  // the tick lay inside the window
        }
    }
    track.pixelStep = 0;
    EXPECT_EQ(TakeTrackPointStep(c.get(), &track, 0, 0, nullptr, nullptr, nullptr, nullptr, 0, 0), -1);
}

// A track of span 0 or one that never moves yields no point, and leaves the
// chart at its time.
TEST_F(TrackPoints, EmptyAndStillTracksGiveNoPoint) {
    LookAtBody(kBodyMars, kMarsDate, 20 * kDeg);
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, kBodyMars, kTrackOneObject,
                              0, 0.0, 40, 20, 0),
              1);
    c->currentDate.julianDate += 1;
    std::vector<Point> points;
    ASSERT_TRUE(Walk(&points));
    EXPECT_EQ(last, kTrackEnd);
    EXPECT_TRUE(points.empty());
    EXPECT_TRUE(DatesEqual());

    // A track already set up whose step is 0 (it did not move a pixel).
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, kBodyMars, kTrackOneObject,
                              0, 30.0, 40, 20, 0),
              1);
    DateRecord saved = c->savedDate;
    ASSERT_EQ(SetUpMotionTrack(c.get(), &track, &saved, kHitClassSolarSystem, 0, kBodyMars,
                               kSetUpOwnMotion, 0, nullptr, 20),
              1);
    track.step = 0;
    points.clear();
    ASSERT_TRUE(Walk(&points));
    EXPECT_EQ(last, kTrackEnd);
    EXPECT_TRUE(points.empty());
    EXPECT_TRUE(DatesEqual());
}

// Mars's track over spans of a month to a year: it ends, its drawn points
// lie about the pixel step apart, its ticks about the pixels between ticks
// apart along the track, and the chart is at its time again.
TEST_F(TrackPoints, PlanetTrackSpacingOfPointsAndTicks) {
    for (double span : {30.0, 120.0, 365.0}) {
        SCOPED_TRACE(span);
        LookAtBody(kBodyMars, kMarsDate, 40 * kDeg);
        ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, kBodyMars,
                                  kTrackOneObject, 0, span, 40, 20, 0),
                  1);
        std::vector<Point> points;
        ASSERT_TRUE(Walk(&points));
        EXPECT_EQ(last, kTrackEnd);
        EXPECT_TRUE(DatesEqual());
        EXPECT_EQ(c->solar.hitCursor, 0);
        ASSERT_GT(points.size(), 5u);
        EXPECT_EQ(points[0].result, kTrackNewLine);
        double sinceTick = 0;
        int ticks = 0, steps = 0, nearSteps = 0;
        for (size_t i = 1; i < points.size(); ++i) {
            const Point &p = points[i], &q = points[i - 1];
            if (p.result == kTrackPenUp || q.result == kTrackPenUp || p.result == kTrackNewLine)
                continue;
            double d = PixelDistance(p.x, p.y, q.x, q.y);
            sinceTick += d;
            ++steps;
            if (d >= 10 && d <= 30) ++nearSteps;
            if (p.result == kTrackTick) {
                if (ticks > 0) {
                    EXPECT_GE(sinceTick, 70 - 2.0);
                    EXPECT_LE(sinceTick, 70 + 2 * 20 + 2.0);
                }
                EXPECT_FALSE(p.label.empty());
                sinceTick = 0;
                ++ticks;
            }
        }
        EXPECT_GT(ticks, 0);
        // Rounded steps (whole hours, days) keep most points near the pixel step.
        EXPECT_GE(nearSteps * 10, steps * 7) << nearSteps << " of " << steps;
    }
}

// Every collected body's track in turn; the Moon skipped when asked.
TEST_F(TrackPoints, EveryCollectedBodyInTurnAndTheMoonSkipped) {
    LookAtBody(kBodyJupiter, kJupiterDate, 90 * kDeg);
    c->limitingMagnitude = 10;
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, 0, kTrackCollectedBodies, 0,
                              10.0, 40, 20, 0),
              1);
    ASSERT_EQ(CollectBodiesNearField(c.get(), &hits, &track, nullptr, 12, kLayerPlanets | kLayerMoon,
                                     12, 12, 0, nullptr),
              1);
    ASSERT_GE(c->solar.hitCount, 1);
    bool moon = false;
    for (int i = 0; i < c->solar.hitCount; ++i) moon = moon || hits[i].index == kBodyMoon;
    ASSERT_TRUE(moon) << "the Moon should be within this chart's reach";
    size_t counts[2] = {0, 0};
    for (int skip : {0, 1}) {
        SCOPED_TRACE(skip);
        track.needsSetUp = 1;
        std::vector<Point> points;
        ASSERT_TRUE(Walk(&points, skip));
        EXPECT_EQ(last, kTrackEnd);
        EXPECT_TRUE(DatesEqual());
        int lines = 0;
        for (const Point &p : points) lines += p.result == kTrackNewLine;
        EXPECT_GE(lines, c->solar.hitCount - skip);
        counts[skip] = points.size();
    }
    // The Moon's own track (13 degrees a day) is the longest: skipping it
    // leaves fewer points.
    EXPECT_GT(counts[0], counts[1]);
}

// Jupiter's satellites: an orbit of 49.5 pixels in radius is not drawn, one
// of 50.5 is. Callisto's radius is set by the chart's field.
TEST_F(TrackPoints, SatelliteOrbitsUnderFiftyPixelsAreNotDrawn) {
    const int callisto = 3;  // slot
    char callistoName[32] = "";
    ASSERT_EQ(GetSatelliteName(kBodyJupiter, callisto + 1, callistoName), 1);
    for (double radius : {49.5, 50.5}) {
        SCOPED_TRACE(radius);
        LookAtBody(kBodyJupiter, kJupiterDate, 1 * kDeg);
        const double a = GetSatelliteSemiMajorAxis(kBodyJupiter - kBodyMars, callisto);
        const double ppr = radius * planetDistance / a;
        ASSERT_EQ(Look(kFrameJ2000, c->centreRightAscension, c->centreDeclination, 800 / ppr), 1);
        ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, kBodyJupiter,
                                  kTrackSatellites, 0, 2.0, 40, 10, 0),
                  1);
        std::vector<Point> points;
        ASSERT_TRUE(Walk(&points));
        EXPECT_EQ(last, kTrackEnd);
        EXPECT_TRUE(DatesEqual());
        std::set<std::string> started;
        for (const Point &p : points)
            if (p.result == kTrackNewLine && !p.label.empty()) started.insert(p.label);
        EXPECT_EQ(started.count(callistoName) == 1, radius >= 50) << started.size();
        // The inner Galilean satellites are smaller still: never drawn here.
        char io[32] = "";
        GetSatelliteName(kBodyJupiter, 1, io);
        EXPECT_EQ(started.count(io), 0u);
    }
}

}  // namespace

// ---- double-star orbits ------------------------------------------------------------

namespace {

class DoubleStarTrack : public TrackPoints {
protected:
    void SetUp() override {
        TrackPoints::SetUp();
        if (IsSkipped()) return;
        if (!democat::UseDemoCatalogues()) GTEST_SKIP() << "no demo catalogues";
    }
    void TearDown() override {
        SetRefDirectories("", "", "");
        TrackPoints::TearDown();
    }
    // Sirius: its star number and J2000 place.
    int Sirius(double *ra, double *dec) {
        std::vector<CcdmComponent> comps(kMaxCcdmComponents);
        int record = 0, primary = 0;
        if (FindCcdmRecord({6451, 1643, '-'}, &record, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, &primary, nullptr, nullptr, comps.data(), 0x5a) <= 0)
            return 0;
        FILE *stars = OpenStarCatalogue();
        if (!stars) return 0;
        StarRecord star;
        int read = ReadStarRecord(stars, primary, &star, nullptr, 0);
        std::fclose(stars);
        if (!read) return 0;
        *ra = star.ra;
        *dec = star.dec;
        return primary;
    }
};

// One period of Sirius B on a chart 1' wide (its 7.5" orbit 100 pixels
// across): the orbit closes, every point within the apastron distance, the
// chart time back at the end. On a 1-degree chart the orbit is under 50
// pixels: no point.
TEST_F(DoubleStarTrack, CompanionOrbitClosesAfterOnePeriod) {
    double ra = 0, dec = 0;
    const int star = Sirius(&ra, &dec);
    ASSERT_GT(star, 0);
    ASSERT_EQ(SetChartTime(c.get(), 2461385.5), 1);
    ASSERT_EQ(Look(kFrameJ2000, ra, dec, 1.0 / 60 * kDeg), 1);
    ASSERT_EQ(InitMotionTrack(c.get(), &track, 5, 5, star, kTrackDoubleStar, 0, -1.0, 40, 10, 0), 1);
    std::vector<Point> points;
    ASSERT_TRUE(Walk(&points));
    EXPECT_EQ(last, kTrackEnd);
    EXPECT_TRUE(DatesEqual());
    ASSERT_GT(points.size(), 10u);
    EXPECT_EQ(points[0].result, kTrackNewLine);
    const double apastron = track.binary.semi_major_axis * (1 + track.binary.eccentricity) *
                            kPi / 648000 * c->pixelsPerRadian;
    int primaryX = 0, primaryY = 0;
    ASSERT_EQ(SkyToScreen(c.get(), track.primaryRightAscension, track.primaryDeclination,
                          track.primaryMotionRightAscension, track.primaryMotionDeclination,
                          &primaryX, &primaryY),
              1);
    for (const Point &p : points) {
        EXPECT_NE(p.result, kTrackPenUp);
        EXPECT_LE(PixelDistance(p.x, p.y, primaryX, primaryY), apastron + 2);
    }
    const Point &first = points.front(), &end = points.back();
    EXPECT_LE(PixelDistance(first.x, first.y, end.x, end.y), 2 * 10 + 2);

    ASSERT_EQ(Look(kFrameJ2000, ra, dec, 1 * kDeg), 1);
    ASSERT_EQ(InitMotionTrack(c.get(), &track, 5, 5, star, kTrackDoubleStar, 0, -1.0, 40, 10, 0), 1);
    points.clear();
    ASSERT_TRUE(Walk(&points));
    EXPECT_EQ(last, kTrackEnd);
    EXPECT_TRUE(points.empty());
}

// A star that is not part of a system with an orbit: the set-up fails, the
// chart keeps its time.
TEST_F(DoubleStarTrack, AStarWithoutAnOrbitFails) {
    ASSERT_EQ(SetChartTime(c.get(), 2461385.5), 1);
    ASSERT_EQ(Look(kFrameJ2000, 1.0, 0.5, 1.0 / 60 * kDeg), 1);
    // The first star of the catalogue that belongs to no system.
    FILE *stars = OpenStarCatalogue();
    ASSERT_NE(stars, nullptr);
    int single = 0;
    for (int n = 1; n < 200 && !single; ++n) {
        StarRecord star;
        if (ReadStarRecord(stars, n, &star, nullptr, kStarReadIdentifiers) && star.ccdm_record == 0)
            single = n;
    }
    std::fclose(stars);
    ASSERT_GT(single, 0);
    ASSERT_EQ(InitMotionTrack(c.get(), &track, 5, 5, single, kTrackDoubleStar, 0, -1.0, 40, 10, 0),
              1);
    std::vector<Point> points;
    ASSERT_TRUE(Walk(&points));
    EXPECT_EQ(last, -1);
    EXPECT_TRUE(DatesEqual());
}

}  // namespace

// ---- star trails --------------------------------------------------------------------

namespace {

class StarTrails : public TrackPoints {
protected:
    void SetUp() override {
        TrackPoints::SetUp();
        if (IsSkipped()) return;
        auto &f = demostars::DemoStarFolders();
        if (!f.ready) GTEST_SKIP() << "no demo star databases";
        SetMapDirectories(f.map0.c_str(), f.map1.c_str(), f.map2.c_str());
    }
    void TearDown() override {
        if (c) EndStarSearch(c.get());
        SetMapDirectories("", "", "");
        TrackPoints::TearDown();
    }
};

// A chart following Mars for 20 days: each star's trail starts with a new
// line, and at the sample nearest the chart time the star stands where the
// star reader put it on the chart, shifted by that sample's offset from the
// centre; when the stars are done the chart is back on its centre at its
// time.
TEST_F(StarTrails, TrailsPassThroughTheStarsPlacesAtTheChartTime) {
    LookAtBody(kBodyMars, kMarsDate, 5 * kDeg);
    const double ra = c->centreRightAscension, dec = c->centreDeclination;
    c->limitingMagnitude = 7;
    ASSERT_EQ(BeginStarSearch(c.get(), ra, dec, 0, 0, 5 * kDeg, 800, 600, 0, 0, 0, 0, 0,
                              c->projectionKind, 1, kStarDatabaseMag7, kFrameJ2000, 0, 1),
              1);
    // Where the reader puts each star on the chart itself.
    std::vector<ChartStar> stars;
    for (ChartStar s; stars.size() < 1000;) {
        std::memset(&s, 0, sizeof s);
        if (ReadNextStar(c.get(), &s) < 1) break;
        stars.push_back(s);
    }
    ASSERT_GE(stars.size(), 2u);
    // The track: 20 days of samples, the chart time in the middle (the
    // sample index 10 / step).
    ASSERT_EQ(InitMotionTrack(c.get(), &track, kHitClassSolarSystem, 0, kBodyMars, kTrackOneObject,
                              1, 20.0, 40, 20, 0),
              1);
    ASSERT_GT(track.sampleCount, 2);
    const int middle = static_cast<int>(std::lround(10.0 / track.step));
    // The sample nearest the chart time need not fall on it: a chart centred
    // there shifts every star by the sample's offset from the centre.
    int sx = 0, sy = 0, cx = 0, cy = 0;
    ASSERT_EQ(SkyToScreen(c.get(), track.sampleRightAscensions[middle],
                          track.sampleDeclinations[middle], 0, 0, &sx, &sy),
              1);
    ASSERT_EQ(SkyToScreen(c.get(), ra, dec, 0, 0, &cx, &cy), 1);
    // The reader walks the same regions again for the trails.
    EndStarSearch(c.get());
    ASSERT_EQ(BeginStarSearch(c.get(), ra, dec, 0, 0, 5 * kDeg, 800, 600, 0, 0, 0, 0, 0,
                              c->projectionKind, 1, kStarDatabaseMag7, kFrameJ2000, 0, 1),
              1);
    size_t star = 0;
    int sample = -1, matched = 0, result = 0;
    for (int i = 0; i < kMaxPoints; ++i) {
        int x = 0, y = 0, lx = 0, ly = 0;
        uint8_t byte = 0;
        char label[kTrackLabelSize] = "";
        double angle = 0;
        result = NextStarTrailPoint(c.get(), nullptr, &track, &x, &y, &byte, &lx, &ly, label, &angle,
                                    0, 0);
        if (result <= 0) break;
        if (result == kTrackNewLine) {
            // Every star's trail runs through all the samples of the span.
            if (sample >= 0) {
                EXPECT_GE(sample + 1, track.sampleCount - 1) << star;
                ++star;
            }
            sample = 0;
        } else {
            ++sample;
        }
        ASSERT_LT(star, stars.size());
        if (sample == middle && result != kTrackPenUp) {
            EXPECT_LE(PixelDistance(x, y, stars[star].x + cx - sx, stars[star].y + cy - sy), 1.5)
                << star;
            ++matched;
        }
    }
    EXPECT_EQ(result, kTrackEnd);
    EXPECT_EQ(star + 1, stars.size());
    EXPECT_GE(matched, 1);
    EXPECT_TRUE(DatesEqual());
    EXPECT_NEAR(c->centreRightAscension, ra, 1e-6);
    EXPECT_NEAR(c->centreDeclination, dec, 1e-6);

    // No samples: -2.
    FreeMotionTrackSamples(&track);
    EXPECT_EQ(NextStarTrailPoint(c.get(), nullptr, &track, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, 0, 0),
              -2);
}

}  // namespace

namespace {

// A comet's and a minor planet's tracks: they run to their end, pass
// through the object's place at the chart time (the chart's centre) and
// leave the chart at its time.
TEST_F(TrackPoints, CometAndMinorPlanetTracksPassThroughTheirPlace) {
    struct Case {
        const char *name;
        int objectClass;
        double jd;
    } cases[] = {
        {"comet 2P/Encke", kHitClassComet, 2457804.5},
        {"minor planet (1) Ceres", kHitClassMinorPlanet, 2460251.5},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        const int index = k.objectClass == kHitClassComet ? FindCometByNumber(2) : 1;
        ASSERT_GE(index, 0);
        ASSERT_EQ(SetChartTime(c.get(), k.jd), 1);
        BodyRecord work;
        double ra = 0, dec = 0, d = 0, m = 0;
        ASSERT_EQ(ComputeSolarObjectPlace(c.get(), nullptr, k.objectClass, 0, index, nullptr, &work,
                                          ComputeEarthHeliocentric(&c->currentDate), &ra, &dec, &d,
                                          &m, nullptr),
                  1);
        ASSERT_EQ(Look(kFrameJ2000, ra, dec, 20 * kDeg), 1);
        ASSERT_EQ(InitMotionTrack(c.get(), &track, k.objectClass, 0, index, kTrackOneObject, 0,
                                  30.0, 40, 20, 0),
                  1);
        std::vector<Point> points;
        ASSERT_TRUE(Walk(&points));
        EXPECT_EQ(last, kTrackEnd);
        EXPECT_TRUE(DatesEqual());
        ASSERT_GT(points.size(), 5u);
        double nearest = 1e9;
        for (const Point &p : points)
            if (p.result != kTrackPenUp)
                nearest = std::min(nearest, PixelDistance(p.x, p.y, c->windowCentreX,
                                                          c->windowCentreY));
        EXPECT_LE(nearest, 20.0);
    }
}

}  // namespace

#include "core/userfolder.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "testutil/testutil.h"

namespace {

// The user's own comet and minor planet, holding the packaged Encke's and
// Ceres' elements, are followed along their orbits as the packaged ones
// are: the track runs to its end and passes through the body's place.
TEST_F(TrackPoints, UserCometAndMinorPlanetTracksFollowTheirOrbits) {
    testutil::TempDir user;
    SetUserDataFolder(user.path().c_str());
    const double cometDate = 2457804.5, planetDate = 2460251.5;

    ASSERT_EQ(SetChartTime(c.get(), cometDate), 1);
    CometRecord comet;
    {
        FILE *packaged = OpenCometElementsFile();
        ASSERT_NE(packaged, nullptr);
        int ok = ReadBestCometSet(packaged, FindCometByNumber(2), c->currentDate.centuriesTT, &comet);
        std::fclose(packaged);
        ASSERT_EQ(ok, 1);
        int32_t count = 0;
        FILE *store = OpenUserCometFile(&count);
        ASSERT_NE(store, nullptr);
        ASSERT_EQ(AddUserCometElements(&store, &comet, 1, 1), 1);
        if (store) std::fclose(store);
        ASSERT_EQ(SortUserCometFile(), 1);
    }
    ASSERT_EQ(SetChartTime(c.get(), planetDate), 1);
    {
        MinorPlanetEphemeris *ephemeris = OpenMinorPlanetEphemeris();
        ASSERT_NE(ephemeris, nullptr);
        ASSERT_NE(ComputeMinorPlanetPosition(ephemeris, &c->currentDate, 1, nullptr, nullptr, nullptr,
                                             nullptr, nullptr, nullptr),
                  0);
        const OrbitRecord o = ephemeris->orbit;
        CloseMinorPlanetEphemeris(ephemeris);
        MinorPlanetRecord record;
        ASSERT_EQ(BuildMinorPlanetRecord(&record, 0, "Ceres copy", o.T, o.T, 0.0, 0.0, o.a, 0.0, o.e,
                                         o.peri / kDeg, o.node / kDeg, o.incl / kDeg, o.H, o.G, "test"),
                  1);
        int32_t count = 0, highestId = 0;
        FILE *mp = OpenUserMinorPlanetFile(&count);
        ASSERT_NE(mp, nullptr);
        ASSERT_EQ(AddUserMinorPlanetElements(mp, &record, &count), 1);
        ASSERT_EQ(SortUserMinorPlanetFile(&mp, count, &highestId), 1);
        std::fclose(mp);
        ASSERT_EQ(highestId, 1);
    }

    struct Case {
        const char *name;
        int packagedClass, userClass;
        double jd;
        const char *label;
    } cases[] = {
        {"comet 2P/Encke", kHitClassComet, kHitClassUserComet, cometDate, "Encke"},
        {"minor planet (1) Ceres", kHitClassMinorPlanet, kHitClassUserMinorPlanet, planetDate, "Ceres copy"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        const int packagedIndex = k.packagedClass == kHitClassComet ? FindCometByNumber(2) : 1;
        ASSERT_EQ(SetChartTime(c.get(), k.jd), 1);
        BodyRecord work;
        double ra = 0, dec = 0, d = 0, m = 0;
        ASSERT_EQ(ComputeSolarObjectPlace(c.get(), nullptr, k.packagedClass, 0, packagedIndex, nullptr, &work,
                                          ComputeEarthHeliocentric(&c->currentDate), &ra, &dec, &d, &m,
                                          nullptr),
                  1);
        ASSERT_EQ(Look(kFrameJ2000, ra, dec, 20 * kDeg), 1);
        MotionTrack probe;
        std::memset(&probe, 0, sizeof probe);
        char label[kTrackLabelSize] = "";
        ASSERT_EQ(OpenMinorBodyTrack(c.get(), k.userClass, 1, &probe, label), 1);
        CloseMinorBodyTrack(k.userClass, &probe);
        EXPECT_NE(std::string(label).find(k.label), std::string::npos) << label;
        ASSERT_EQ(InitMotionTrack(c.get(), &track, k.userClass, 0, 1, kTrackOneObject, 0, 30.0, 40, 20, 0), 1);
        std::vector<Point> points;
        ASSERT_TRUE(Walk(&points));
        EXPECT_EQ(last, kTrackEnd);
        ASSERT_GT(points.size(), 5u);
        double nearest = 1e9;
        for (const Point &p : points)
            if (p.result != kTrackPenUp)
                nearest = std::min(nearest, PixelDistance(p.x, p.y, c->windowCentreX, c->windowCentreY));
        EXPECT_LE(nearest, 20.0);
        FreeMotionTrackSamples(&track);
    }
    SetUserDataFolder("");
}

}  // namespace
