// The solar-system items: a planet's satellites and shadows on a planet
// record made for the case, the surface-feature reader on hand-written
// feature files, the collected bodies placed on a chart, the focus
// enumerator over its times, and the lifted chart centre.
#include "charts/solaritems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "charts/chartgeometry.h"
#include "charts/surfacefeatures.h"
#include "charts/tests/solarfixture.h"
#include "ephem/satellites.h"
#include "minorbodies/cometdb.h"
#include "testutil/testutil.h"

namespace {

using solartest::kDeg;
using solartest::PixelDistance;

const double kArcsec = kDeg / 3600;
const double kJupiterDate = 2460251.5;

// ---- satellites and shadows on a planet made for the case --------------------------

class Satellites : public solartest::SolarChart {
protected:
    // Jupiter at the centre of a 1-degree chart at J2000, its first satellite
    // (Io) at a chosen orbit size in pixels.
    void MakePlanet(double orbitPixels) {
        ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
        ASSERT_EQ(Look(kFrameApparent, 1.0, 0.2, 1 * kDeg), 1);
        std::memset(&planet, 0, sizeof planet);
        planet.type = kBodyJupiter;
        planet.geocentricRightAscension = 1.0;
        planet.geocentricDeclination = 0.2;
        planet.equatorialDiameter = 40 * kArcsec;
        planet.heliocentric.radius = 5.2;
        const double a = GetSatelliteSemiMajorAxis(kBodyJupiter - kBodyMars, 0);
        planet.geocentricDistance = a * c->pixelsPerRadian / orbitPixels;
        planet.satelliteCount = 1;
        planet.satellites[kSatPositionAngle][0] = kPi / 2;
        planet.satellites[kSatSeparation][0] = 5 * kArcsec;
    }
    // Results until 0 (at most eight calls).
    std::vector<int> Enumerate(int *x = nullptr, int *y = nullptr) {
        ResetSatelliteEnumerator(c.get());
        std::vector<int> results;
        for (int i = 0; i < 8; ++i) {
            int px = -1, py = -1, radius = 0, shadow = 0;
            double ratio = 0;
            char label[kSolarLabelSize] = "";
            int r = NextPlanetSatellite(c.get(), &planet, &px, &py, &radius, &shadow, &ratio, label);
            results.push_back(r);
            if (r == kSatelliteShown && x) {
                *x = px;
                *y = py;
                EXPECT_GE(radius, 1);
                EXPECT_STRNE(label, "");
            }
            if (r == 0) break;
        }
        return results;
    }
    BodyRecord planet;
};

TEST_F(Satellites, InFrontBehindTooCloseAndShadows) {
    const double R = 20 * kArcsec;  // the disc's radius
    struct Case {
        const char *name;
        double orbitPixels, orbitalAngle, earthOffset, sunOffset, umbra, penumbra;
        std::vector<int> expected;
    } cases[] = {
        {"orbit of 15 pixels: too close, no point", 15, kPi, 0, 0, 0, 0, {kSatelliteTooClose, 0}},
        {"in front, over the disc: shown", 40, kPi, 0, 3 * R, 0, 0, {kSatelliteShown, 0}},
        {"behind, within the disc: hidden", 40, 0.1, 0.5 * R, 3 * R, 0, 0, {0}},
        {"behind, clear of disc and shadow: shown", 40, 0.1, 2 * R, 3 * R, 0, 0,
         {kSatelliteShown, 0}},
        {"behind, clear of the disc but in the shadow: hidden", 40, 0.1, 2 * R, 0.5 * R, 0, 0, {0}},
        // No shadow size (every satellite but Jupiter's four): the shadow is
        // never returned, so the enumerator cannot stand on it for ever.
        {"shadow on the disc, no shadow size", 40, kPi, 0, 0.5 * R, 0, 0, {kSatelliteShown, 0}},
        {"shadow on the disc, then the satellite", 40, kPi, 0, 0.5 * R, 0.4, 1.2,
         {kSatelliteShadow, kSatelliteShown, 0}},
        {"shadow off the disc: only the satellite", 40, kPi, 0, 3 * R, 0.4, 1.2,
         {kSatelliteShown, 0}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        MakePlanet(k.orbitPixels);
        planet.satellites[kSatOrbitalAngle][0] = k.orbitalAngle;
        planet.satellites[kSatOffsetX][0] = k.earthOffset;
        planet.satellites[kSatOffsetY][0] = 0;
        planet.satellites[kSatSunPositionAngle][0] = 0;
        planet.satellites[kSatSunSeparation][0] = k.sunOffset;
        planet.satellites[kSatUmbraFactor][0] = k.umbra;
        planet.satellites[kSatPenumbraFactor][0] = k.penumbra;
        int x = -1, y = -1;
        EXPECT_EQ(Enumerate(&x, &y), k.expected);
        if (k.expected[0] == kSatelliteShown) {
            // 5" east of the planet on a 1-degree chart of 800 pixels: 1 pixel.
            EXPECT_LE(PixelDistance(x, y, c->windowCentreX, c->windowCentreY), 2.0);
        }
    }
}

// ---- surface features ----------------------------------------------------------------

std::string FeatureRecord(double lonDeg, double latDeg, const std::string &name) {
    std::string r(29, '\0');
    int16_t lon = static_cast<int16_t>(std::lround(lonDeg * 10));
    int16_t lat = static_cast<int16_t>(std::lround(latDeg * 10));
    std::memcpy(&r[0], &lon, 2);
    std::memcpy(&r[2], &lat, 2);
    std::memcpy(&r[4], name.data(), std::min<size_t>(name.size(), 25));
    return r;
}

class Features : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&moon, 0, sizeof moon);
        moon.type = kBodyMoon;
        // Librations of +5 and -3 degrees: the disc is seen from over that point.
        moon.centralMeridian = 5 * kDeg;
        moon.latitudeOfCentre = -3 * kDeg;
        moon.equatorialDiameter = 100;  // pixels at 1 pixel per radian
        std::memset(&chart, 0, sizeof chart);
        chart.mirrorX = 1;
        chart.mirrorY = 1;
        std::string bytes = FeatureRecord(5, -3, "Centre") + FeatureRecord(185, 3, "Far side") +
                            FeatureRecord(5, -3, std::string(25, 'N')) +
                            FeatureRecord(5, -3, "Short").substr(0, 10);
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("moonf.bin"), bytes));
        folder = dir.path() + "/";
    }
    testutil::TempDir dir;
    std::string folder;
    BodyRecord moon;
    ChartContext chart;
};

TEST_F(Features, DiscSizes) {
    struct Case {
        double diameter;
        int expected;
    } cases[] = {{3.4, 0}, {3.5, 4}, {100.0, 100}, {0.0, 0}};
    for (const Case &k : cases) {
        moon.equatorialDiameter = k.diameter;
        EXPECT_EQ(GetDiscPixelDiameter(&moon, 1.0), k.expected) << k.diameter;
    }
    moon.equatorialDiameter = 3;
    EXPECT_EQ(OpenSurfaceFeatures(folder.c_str(), &moon, 0, 1.0), nullptr);
    moon.equatorialDiameter = 4;
    SurfaceFeatureReader *r = OpenSurfaceFeatures(folder.c_str(), &moon, 0, 1.0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->radius, 2);
    CloseSurfaceFeatures(r);  // unfinished: closed and freed
    moon.type = kBodyJupiter;
    EXPECT_EQ(OpenSurfaceFeatures(folder.c_str(), &moon, 0, 1.0), nullptr);
    moon.type = kBodyMars;  // no marsf.bin in the folder
    EXPECT_EQ(OpenSurfaceFeatures(folder.c_str(), &moon, 0, 1.0), nullptr);
}

// The feature under the sub-Earth point (the libration) lands on the disc
// centre; the far side gives 2; a name filling its field is cut at 24
// characters; the short last record closes the file and ends the reading.
TEST_F(Features, ReadingPlacesNearSideFeaturesAndEndsOnAShortRecord) {
    SurfaceFeatureReader *r = OpenSurfaceFeatures(folder.c_str(), &moon, 0, 1.0);
    ASSERT_NE(r, nullptr);
    int x = -1, y = -1;
    char name[kSurfaceFeatureNameSize] = "";
    EXPECT_EQ(NextSurfaceFeature(&chart, r, 300, 200, &x, &y, name), kFeaturePlaced);
    EXPECT_STREQ(name, "Centre");
    EXPECT_LE(PixelDistance(x, y, 300, 200), 1.0);
    EXPECT_EQ(NextSurfaceFeature(&chart, r, 300, 200, &x, &y, name), kFeatureFarSide);
    EXPECT_EQ(NextSurfaceFeature(&chart, r, 300, 200, &x, &y, name), kFeaturePlaced);
    EXPECT_EQ(std::string(name), std::string(24, 'N'));
    EXPECT_EQ(NextSurfaceFeature(&chart, r, 300, 200, &x, &y, name), 0);
    EXPECT_EQ(r->file, nullptr);
    EXPECT_EQ(NextSurfaceFeature(&chart, r, 300, 200, &x, &y, name), 0);
    CloseSurfaceFeatures(r);
    EXPECT_EQ(NextSurfaceFeature(&chart, nullptr, 0, 0, &x, &y, name), 0);
}

// A feature 30 degrees north of the disc centre stands 0.5 radius (sin 30)
// from the centre, towards the top or bottom as the chart's mirroring and
// the disc rotation say.
TEST_F(Features, RotationAndMirroring) {
    std::string bytes = FeatureRecord(5, 27, "North");
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("moonf.bin"), bytes));
    struct Case {
        int mirrorX, mirrorY;
        double rotationDeg;
        int dx, dy;
    } cases[] = {
        {1, 1, 0, 0, 25},
        {1, 0, 0, 0, -25},
        {1, 1, 90, -25, 0},
        {0, 1, 90, 25, 0},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.rotationDeg + 10 * k.mirrorX + 100 * k.mirrorY);
        chart.mirrorX = static_cast<uint8_t>(k.mirrorX);
        chart.mirrorY = static_cast<uint8_t>(k.mirrorY);
        moon.axisPositionAngle = k.rotationDeg * kDeg;
        SurfaceFeatureReader *r = OpenSurfaceFeatures(folder.c_str(), &moon, 0, 1.0);
        ASSERT_NE(r, nullptr);
        int x = 0, y = 0;
        char name[kSurfaceFeatureNameSize];
        ASSERT_EQ(NextSurfaceFeature(&chart, r, 0, 0, &x, &y, name), kFeaturePlaced);
        EXPECT_NEAR(std::abs(x) + std::abs(y), 25, 1);
        EXPECT_EQ(std::abs(k.dx) > 0, std::abs(x) > 12);
        EXPECT_EQ(std::abs(k.dy) > 0, std::abs(y) > 12);
        if (k.dx) {
            EXPECT_EQ(x > 0, k.dx > 0);
        }
        if (k.dy) {
            EXPECT_EQ(y > 0, k.dy > 0);
        }
        CloseSurfaceFeatures(r);
    }
}

// ---- items on a real chart ---------------------------------------------------------------

class Items : public solartest::SolarChart {
protected:
    void TearDown() override {
        std::free(hits);
        solartest::SolarChart::TearDown();
    }
    void LookAtJupiter(double field) {
        ASSERT_EQ(SetChartTime(c.get(), kJupiterDate), 1);
        BodyRecord body;
        double ra = 0, dec = 0, d = 0, m = 0;
        ASSERT_EQ(ComputeSolarObjectPlace(c.get(), nullptr, kHitClassSolarSystem, 0, kBodyJupiter,
                                          nullptr, &body, ComputeEarthHeliocentric(&c->currentDate),
                                          &ra, &dec, &d, &m, nullptr),
                  1);
        c->frameMode = kFrameJ2000;
        ASSERT_EQ(ConvertBodyToChartFrame(c.get(), &body, &ra, &dec, &m), 1);
        ASSERT_EQ(Look(kFrameJ2000, ra, dec, field), 1);
        c->limitingMagnitude = 10;
    }
    SolarSystemHit *hits = nullptr;
};

TEST_F(Items, CollectedBodiesArePlacedWhereTheyStand) {
    LookAtJupiter(2 * kDeg);
    ASSERT_EQ(CollectBodiesNearField(c.get(), &hits, nullptr, nullptr, 12, kLayerPlanets, 12, 12, 0,
                                     nullptr),
              1);
    ASSERT_EQ(c->solar.hitCount, 1);
    BodyRecord work;
    double ra = 0, dec = 0, radius = 0, m = 0;
    int x = -1, y = -1;
    char label[kSolarLabelSize] = "";
    EXPECT_EQ(NextCollectedBodyItem(c.get(), hits, nullptr, &ra, &dec, &x, &y, &radius, &work, &m,
                                    label),
              kHitClassSolarSystem);
    EXPECT_LE(PixelDistance(x, y, c->windowCentreX, c->windowCentreY), 1.0);
    EXPECT_STREQ(label, "Jupiter");
    EXPECT_LT(m, -2.0);
    EXPECT_DOUBLE_EQ(radius, GetStarSymbolRadius(c.get(), m));
    EXPECT_EQ(work.satelliteCount, 6);  // all satellites computed for the satellite enumerator
    EXPECT_EQ(NextCollectedBodyItem(c.get(), hits, nullptr, &ra, &dec, &x, &y, &radius, &work, &m,
                                    label),
              0);
    // PlaceBodyOnChart gives the same pixel.
    int px = -1, py = -1;
    EXPECT_EQ(PlaceBodyOnChart(c.get(), &work, kBodyJupiter, &ra, &dec, &px, &py, &radius), 1);
    EXPECT_EQ(px, x);
    EXPECT_EQ(py, y);
}

// A focus list of three times and no focus object: each hit at each time,
// then once more at the chart time; the chart time is back at the end. With
// Jupiter as the focus object the other hits are placed once only.
TEST_F(Items, FocusEnumeratorVisitsEveryHitAtEveryTime) {
    LookAtJupiter(40 * kDeg);
    double times[3] = {kJupiterDate - 2, kJupiterDate, kJupiterDate + 2};
    struct Case {
        int focusClass, focusIndex;
    } cases[] = {{0, 0}, {kHitClassSolarSystem, kBodyJupiter}};
    for (const Case &k : cases) {
        SCOPED_TRACE(k.focusClass);
        ChartFocus focus;
        ASSERT_EQ(InitChartFocus(&focus, c.get(), nullptr, times, 3, 0, k.focusClass, 0,
                                 k.focusIndex),
                  1);
        std::free(hits);
        hits = nullptr;
        ASSERT_EQ(CollectBodiesNearField(c.get(), &hits, nullptr, &focus, 12,
                                         kLayerPlanets | kLayerMoon, 12, 12, 0, nullptr),
                  1);
        ASSERT_GE(c->solar.hitCount, 1);
        const double centreRa = c->centreRightAscension, centreDec = c->centreDeclination;
        int expected = 0;
        for (int i = 0; i < c->solar.hitCount; ++i) {
            bool other = k.focusClass && hits[i].index != k.focusIndex;
            expected += other ? 1 : 4;
        }
        int placed = 0, jupiterAt = 0;
        std::vector<int> jupiterX;
        for (int i = 0; i < 100; ++i) {
            BodyRecord work;
            double ra = 0, dec = 0, radius = 0;
            int x = 0, y = 0, shade = 0, satellite = -1;
            int r = NextFocusItem(&focus, c.get(), hits, &ra, &dec, &x, &y, &radius, &shade, &work,
                                  &satellite, 0, 0, 0);
            if (r <= 0) {
                EXPECT_EQ(r, 0);
                break;
            }
            EXPECT_EQ(r, kHitClassSolarSystem);
            EXPECT_EQ(satellite, 0);
            ++placed;
            if (work.type == kBodyJupiter) {
                jupiterX.push_back(x);
                ++jupiterAt;
            }
        }
        EXPECT_EQ(placed, expected);
        EXPECT_EQ(jupiterAt, 4);
        // Jupiter moves between the times; at the chart time it is at the centre.
        ASSERT_EQ(jupiterX.size(), 4u);
        EXPECT_NE(jupiterX[0], jupiterX[2]);
        EXPECT_LE(std::abs(jupiterX[3] - c->windowCentreX), 1);
        EXPECT_TRUE(DatesEqual());
        EXPECT_EQ(c->centreRightAscension, centreRa);
        EXPECT_EQ(c->centreDeclination, centreDec);
    }
}

TEST_F(Items, FollowFlagRules) {
    LookAtJupiter(10 * kDeg);
    double times[1] = {kJupiterDate};
    ObjectRecord object;
    std::memset(&object, 0, sizeof object);
    object.objectClass = kHitClassSolarSystem;
    object.index = kBodyMars;
    struct Case {
        int request, objectClass, index, count, follow;
    } cases[] = {
        {1, kHitClassSolarSystem, kBodyJupiter, 1, 1},
        {0, kHitClassSolarSystem, kBodyJupiter, 1, 0},   // not asked
        {1, 0, kBodyJupiter, 1, 0},                      // no class
        {1, kHitClassSolarSystem, kBodyMars, 1, 0},      // the same object
        {1, kHitClassSolarSystem, kBodyJupiter, 0, 0},   // no times
        {1, 7, kBodyJupiter, 1, 0},                      // not a solar-system class
    };
    for (const Case &k : cases) {
        ChartFocus focus;
        ASSERT_EQ(InitChartFocus(&focus, c.get(), &object, times, k.count, k.request, k.objectClass,
                                 0, k.index),
                  1);
        EXPECT_EQ(focus.follow, k.follow);
        if (focus.follow) {
            EXPECT_EQ(focus.centreRightAscension, c->centreRightAscension);
        }
    }
}

// The lifted centre: below half the field above the horizon it rises to
// that; between that and 0.9 x the field it stays (never lowered).
TEST_F(Items, LiftRaisesLowCentresAndNeverLowers) {
    LookAtJupiter(40 * kDeg);
    struct Case {
        double altitude, expected;
    } cases[] = {{-10, 20}, {5, 20}, {25, 25}, {50, 50}};
    for (const Case &k : cases) {
        SCOPED_TRACE(k.altitude);
        double az = 1.0, alt = k.altitude * kDeg;
        ASSERT_EQ(ConvertHorizontalToCatalogue(c.get(), &az, &alt), 1);
        ASSERT_EQ(LiftChartCentreAboveHorizon(c.get(), &az, &alt), 1);
        ASSERT_EQ(ConvertCatalogueToHorizontal(c.get(), &az, &alt, 1), 1);
        EXPECT_NEAR(alt / kDeg, k.expected + c->site.horizonDip / kDeg * (k.expected == 20), 1e-3);
    }
}

}  // namespace

namespace {

// The packaged feature files as the generator writes them from the IAU
// nomenclature: every record reads, near-side features land on the disc,
// the others are reported as far side, and the reading ends at the file's end.
TEST(GeneratedFeatures, EveryRecordReadsAndNearSideFeaturesLandOnTheDisc) {
    std::string folder;
#ifdef _WIN32
    folder = testutil::BuildDir() + "/demo/data/ref/";
#else
    static testutil::TempDir dir;
    std::string command = "python3 \"" + testutil::SourceDir() +
                          "/tools/gen_surface_features.py\" --out \"" + dir.path() + "\" > /dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "no nomenclature to generate from";
    folder = dir.path() + "/";
#endif
    if (!testutil::PathIsThere(folder + "moonf.bin")) GTEST_SKIP() << "no feature files";
    for (int type : {kBodyMoon, kBodyMars}) {
        SCOPED_TRACE(type);
        BodyRecord body;
        std::memset(&body, 0, sizeof body);
        body.type = type;
        body.equatorialDiameter = 400;
        ChartContext chart;
        std::memset(&chart, 0, sizeof chart);
        chart.mirrorX = chart.mirrorY = 1;
        SurfaceFeatureReader *r = OpenSurfaceFeatures(folder.c_str(), &body, 0, 1.0);
        ASSERT_NE(r, nullptr);
        int placed = 0, far = 0;
        for (int i = 0; i < 100000; ++i) {
            int x = 0, y = 0;
            char name[kSurfaceFeatureNameSize] = "";
            int result = NextSurfaceFeature(&chart, r, 0, 0, &x, &y, name);
            if (result == 0) break;
            if (result == kFeaturePlaced) {
                ++placed;
                EXPECT_LE(std::hypot(x, y), 200 + 1.5) << name;
                EXPECT_GT(std::strlen(name), 0u);
            } else {
                ++far;
            }
        }
        EXPECT_EQ(r->file, nullptr);
        EXPECT_GT(placed, 50);
        EXPECT_GT(far, 50);
        CloseSurfaceFeatures(r);
    }
}

}  // namespace

namespace {

// The feature files generated from the IAU nomenclature (native: written
// here; Windows: the demo installation's).
std::string GeneratedFeatureFolder() {
#ifdef _WIN32
    return testutil::BuildDir() + "/demo/data/ref/";
#else
    static testutil::TempDir dir;
    static bool made = false;
    if (!made) {
        std::string command = "python3 \"" + testutil::SourceDir() +
                              "/tools/gen_surface_features.py\" --out \"" + dir.path() +
                              "\" > /dev/null";
        made = std::system(command.c_str()) == 0;
    }
    return made ? dir.path() + "/" : std::string();
#endif
}

struct FeatureSpot {
    int result, x, y;
};

// Every named feature's result and pixel on a disc centred at (0, 0).
std::map<std::string, FeatureSpot> ReadFeatures(const ChartContext *chart, const BodyRecord *body,
                                                 const std::string &folder) {
    std::map<std::string, FeatureSpot> spots;
    SurfaceFeatureReader *r = OpenSurfaceFeatures(folder.c_str(), body, 0, 1.0);
    if (!r) return spots;
    for (int i = 0; i < 100000; ++i) {
        int x = 0, y = 0;
        char name[kSurfaceFeatureNameSize] = "";
        int result = NextSurfaceFeature(chart, r, 0, 0, &x, &y, name);
        if (result == 0) break;
        spots[name] = {result, x, y};
    }
    CloseSurfaceFeatures(r);
    return spots;
}

// On a chart the right way round (north up, east left), a planet's or the
// Moon's own east limb faces the sky's west, on the right: Mare Crisium
// (59 E) and a Martian feature 30 degrees east of the central meridian lie
// right of the centre, Oceanus Procellarum (57 W) left; northern features above,
// southern ones below; Olympus Mons on the far side when Syrtis Major faces
// the Earth.
TEST(FeatureOrientation, EastLimbOnTheSkysWestSide) {
    const std::string folder = GeneratedFeatureFolder();
    if (folder.empty() || !testutil::PathIsThere(folder + "marsf.bin"))
        GTEST_SKIP() << "no feature files";
    ChartContext chart;
    std::memset(&chart, 0, sizeof chart);
    chart.mirrorX = 0;  // flipped to the screen's orientation
    chart.mirrorY = 0;
    BodyRecord moon;
    std::memset(&moon, 0, sizeof moon);
    moon.type = kBodyMoon;
    moon.equatorialDiameter = 400;
    auto m = ReadFeatures(&chart, &moon, folder);
    ASSERT_TRUE(m.count("Mare Crisium") && m.count("Oceanus Procellarum") && m.count("Mare Frigoris"));
    EXPECT_EQ(m["Mare Crisium"].result, kFeaturePlaced);
    EXPECT_GT(m["Mare Crisium"].x, 100);
    EXPECT_LT(m["Oceanus Procellarum"].x, -100);
    EXPECT_LT(m["Mare Frigoris"].y, -100);

    BodyRecord mars;
    std::memset(&mars, 0, sizeof mars);
    mars.type = kBodyMars;
    mars.equatorialDiameter = 400;
    mars.centralMeridian = 292.9 * kDeg;  // Syrtis Major Planum (67.1 E = 292.9 W)
    auto s = ReadFeatures(&chart, &mars, folder);
    ASSERT_TRUE(s.count("Syrtis Major Planum") && s.count("Hellas Planitia"));
    EXPECT_LE(std::abs(s["Syrtis Major Planum"].x), 2);
    EXPECT_LT(s["Syrtis Major Planum"].y, -25);  // 9 N: 200 sin 9.2 = 32 pixels up
    EXPECT_GT(s["Hellas Planitia"].y, 100);       // 42 S
    EXPECT_EQ(s.count("Olympus Mons"), 0u);  // far side: nothing placed, no name
    EXPECT_EQ(s[""].result, kFeatureFarSide);
    mars.centralMeridian = 322.9 * kDeg;         // Syrtis 30 degrees east of the meridian
    s = ReadFeatures(&chart, &mars, folder);
    EXPECT_GT(s["Syrtis Major Planum"].x, 80);
}

}  // namespace
