// Tests of the satellite place and the pass search against an independent
// computation (tools/gen_satpass_reference.py: python3-sgp4, numpy geometry
// and PyEphem's Sun) for three satellites at three sites, and of the pass
// search's rules: edge kinds, shadowed culminations, limits, cancelling and
// the pass-list file.
#include "ephem/satpass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "ephem/satgeometry.h"
#include "ephem/satposition.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

const double kDeg = kPi / 180.0;
const double kSecond = 1.0 / 86400.0;

struct Lines {
    const char *line1;
    const char *line2;
};

// The element sets of tools/gen_satpass_reference.py.
const std::map<std::string, Lines> &Satellites() {
    static const std::map<std::string, Lines> satellites = {
        // ISS (ZARYA), 2008 September 20.
        {"ISS",
         {"1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927",
          "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537"}},
        // SGP4-VER.TLE (Vallado et al., AIAA 2006-6753).
        {"VER 28057",
         {"1 28057U 03049A   06177.78615833  .00000060  00000-0  35940-4 0  1836",
          "2 28057  98.4283 247.6961 0000884  88.1964 271.9322 14.35478080140550"}},
        {"VER 00005",
         {"1 00005U 58002B   00179.78495062  .00000023  00000-0  28098-4 0  4753",
          "2 00005  34.2682 348.7242 1859667 331.7664  19.3264 10.82419157413667"}},
    };
    return satellites;
}

struct SiteData {
    double eastLongitude, latitude, elevation;
};
const std::map<std::string, SiteData> &Sites() {
    static const std::map<std::string, SiteData> sites = {
        {"Greenwich", {-0.0015, 51.4778, 46.0}},
        {"Sydney", {151.2093, -33.8688, 58.0}},
        {"Tromso", {18.9553, 69.6492, 10.0}},
    };
    return sites;
}

EarthSatelliteRecord MakeSatellite(const std::string &name, float magnitude = 99.9f) {
    EarthSatelliteRecord s;
    std::memset(&s, 0, sizeof s);
    const Lines &l = Satellites().at(name);
    EXPECT_EQ(ParseTwoLineElements(l.line1, l.line2, &s.elements), kTleGood);
    std::snprintf(s.name, sizeof s.name, "%s", name.c_str());
    s.number = static_cast<uint32_t>(ParseSatelliteNumber(l.line1));
    s.standardMagnitude = magnitude;
    return s;
}

LocationRecord MakeSite(const std::string &name) {
    const SiteData &d = Sites().at(name);
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, -d.eastLongitude * kDeg, d.latitude * kDeg, d.elevation, 6.5, 0.0,
                       10.0, 50.0, 2, 0.0, 0.0, name.c_str());
    return site;
}

DateRecord MakeDate(const LocationRecord &site, double jd) {
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = jd;
    SetDateRecordFromJulianDate(&site, &date);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&site, &date);
    return date;
}

struct ViewReference {
    const char *satellite;
    const char *site;
    double jd, ra, dec, altitude, azimuth, range;
    int inShadow;
};
const ViewReference kViews[] = {
#include "ephem/tests/satview_reference.inc"
};

struct PassReference {
    const char *satellite;
    const char *site;
    double start, culmination, end;
};
const PassReference kPasses[] = {
#include "ephem/tests/satpass_reference.inc"
};

TEST(SatellitePosition, AgreesWithIndependentPredictor) {
    for (const ViewReference &ref : kViews) {
        EarthSatelliteRecord sat = MakeSatellite(ref.satellite);
        LocationRecord site = MakeSite(ref.site);
        DateRecord date = MakeDate(site, ref.jd);
        double ra, dec, alt, az, range, mag;
        int shadow = -1;
        int16_t score = 77;
        int verdict = ComputeSatellitePosition(&site, &sat, &date, &ra, &dec, &alt, &az, &range,
                                               &mag, &shadow, &score);
        std::string where = std::string(ref.satellite) + " " + ref.site;
        // A metre-level difference in the site at a few hundred km: 20".
        EXPECT_NEAR(AngularSeparation(ra, dec, ref.ra, ref.dec), 0.0, 1e-4) << where;
        EXPECT_NEAR(alt, ref.altitude, 1e-4) << where;
        if (std::cos(alt) > 0.01) {
            EXPECT_NEAR(std::fabs(WrapAngleSigned(az - ref.azimuth)), 0.0, 1e-4 / std::cos(alt))
                << where;
        }
        EXPECT_NEAR(range, ref.range, 0.05) << where;
        EXPECT_EQ(verdict, ref.altitude >= 10.0 * kDeg ? 1 : 0) << where;
        EXPECT_EQ(mag, 99.9) << where;  // no standard magnitude
        EXPECT_EQ(score, 77) << where;  // the sky test is off: score untouched
        double s[3], edge = 0.0;
        ASSERT_EQ(ComputeSatelliteVector(&sat, ref.jd, s), kPropagationGood);
        double sun[3];
        ComputeSunVectorOfDate(date.centuriesTT, date.meanObliquity, sun);
        IsSatelliteInShadow(ref.jd, s, sun, &edge);
        if (std::fabs(edge) > 20.0) {
            EXPECT_EQ(shadow, ref.inShadow) << where;
        }
    }
}

TEST(SatellitePosition, DecayedSatelliteIsReportedNotPlacedAtTheCentre) {
    EarthSatelliteRecord sat = MakeSatellite("ISS");
    sat.elements.bstar = 0.5;  // decays within days
    LocationRecord site = MakeSite("Greenwich");
    DateRecord date = MakeDate(site, sat.elements.epoch + 20.0);
    double ra = -1, dec = -1, alt = -1, az = -1, range = -1, mag = -1;
    int shadow = -1;
    EXPECT_EQ(ComputeSatellitePosition(&site, &sat, &date, &ra, &dec, &alt, &az, &range, &mag,
                                       &shadow, nullptr),
              kSatelliteDecayed);
    EXPECT_EQ(range, -1.0);
    VisibleSatellite *list = reinterpret_cast<VisibleSatellite *>(1);
    EXPECT_EQ(ComputeVisibleSatellites(&site, &date, &sat, 1, 99.0, &list), 0);
    EXPECT_EQ(list, nullptr);
}

TEST(SatellitePosition, VisibleSatellitesAtOneMoment) {
    // The reference instants above 10 degrees, and those below, for the ISS
    // at Greenwich: ComputeVisibleSatellites with no limit keeps exactly the
    // satellites at or above 10 degrees.
    EarthSatelliteRecord sats[2] = {MakeSatellite("ISS"), MakeSatellite("VER 28057")};
    LocationRecord site = MakeSite("Greenwich");
    int seen = 0, empty = 0;
    for (const PassReference &p : kPasses) {
        if (std::string(p.site) != "Greenwich" || std::string(p.satellite) != "ISS") continue;
        DateRecord date = MakeDate(site, 0.5 * (p.start + p.end));
        VisibleSatellite *list = nullptr;
        int n = ComputeVisibleSatellites(&site, &date, sats, 2, 99.0, &list);
        ASSERT_GE(n, 1);
        bool iss = false;
        for (int i = 0; i < n; ++i) {
            iss = iss || list[i].satellite.number == 25544;
            EXPECT_GE(+list[i].altitude, 10.0 * kDeg);
            EXPECT_EQ(+list[i].score, 0);
        }
        EXPECT_TRUE(iss);
        std::free(list);
        ++seen;
        // An hour later neither is likely up: an empty answer is 0 and null.
        date = MakeDate(site, p.end + 30.0 / 1440.0);
        list = nullptr;
        n = ComputeVisibleSatellites(&site, &date, sats, 1, 99.0, &list);
        if (n == 0) {
            EXPECT_EQ(list, nullptr);
            ++empty;
        }
        std::free(list);
    }
    EXPECT_GT(seen, 5);
    EXPECT_GT(empty, 0);
}

int32_t DarkSky(const LocationRecord *, const DateRecord *, double, double, double, double, double,
                double, double *darkness, double *altitudeScore) {
    *darkness = 0.5;
    *altitudeScore = 0.25;
    return 0x1234;
}

TEST(SatellitePosition, SkyTestWithAndWithoutAnHourScore) {
    EarthSatelliteRecord sat = MakeSatellite("ISS", -0.5f);
    LocationRecord site = MakeSite("Greenwich");
    // 2008 September 21, 20:20 UT (Sun about 18 degrees down) and
    // September 27, 16:40 UT (Sun up), both with the ISS lit and above 10
    // degrees (passes of the reference table).
    const double night = 0.5 * (2454731.3471402079 + 2454731.3478296781);
    const double day = 0.5 * (2454737.1937538357 + 2454737.1968141785);
    struct Case {
        double jd, limit;
        int expected;
    } cases[] = {
        {night, 6.0, 1},   // dark enough and bright enough
        {night, -9.0, 0},  // too faint for the limit
        {day, 6.0, 0},     // the built-in twilight test: the Sun is up
        {day, 90.0, 1},    // no limit: no sky test, the altitude alone
        {day, 99.0, 1},
    };
    for (const Case &c : cases) {
        DateRecord date = MakeDate(site, c.jd);
        VisibleSatellite *list = nullptr;
        int n = ComputeVisibleSatellites(&site, &date, &sat, 1, c.limit, &list);
        EXPECT_EQ(n, c.expected) << c.jd << " limit " << c.limit;
        EXPECT_EQ(list == nullptr, n == 0);
        if (n == 1) {
            EXPECT_EQ(+list[0].inShadow, 0);
            EXPECT_LT(+list[0].magnitude, 6.0);
        }
        std::free(list);
    }
    // A registered hour score decides the sky test and gives the score.
    SetSatelliteHourScoreFunction(DarkSky);
    DateRecord date = MakeDate(site, day);
    VisibleSatellite *list = nullptr;
    ASSERT_EQ(ComputeVisibleSatellites(&site, &date, &sat, 1, 6.0, &list), 1);
    EXPECT_EQ(+list[0].score, 0x1234);
    std::free(list);
    SetSatelliteHourScoreFunction(nullptr);
}

TEST(IsSatelliteVisible, AltitudeBoundaryWithoutSkyTest) {
    LocationRecord site = MakeSite("Greenwich");
    int16_t score = 5;
    EXPECT_EQ(IsSatelliteVisible(&site, 2451545.0, 0, 0, 0.17453292519943295, 99.9, 0, &score), 1);
    EXPECT_EQ(IsSatelliteVisible(&site, 2451545.0, 0, 0, 0.17453292519943290, 99.9, 0, &score), 0);
    EXPECT_EQ(score, 5);
    // The sky test never passes at or below the horizon.
    EXPECT_EQ(IsSatelliteVisible(&site, 2451545.0, 0, 0, 0.0, 1.0, 1, &score), 0);
}

// Runs the plain search over the week of the reference for one satellite
// and site.
std::vector<SatellitePass> SearchWeek(const std::string &satellite, const std::string &siteName,
                                      double *startJd) {
    EarthSatelliteRecord sat = MakeSatellite(satellite);
    LocationRecord site = MakeSite(siteName);
    *startJd = sat.elements.epoch + 0.5;
    DateRecord start = MakeDate(site, *startJd);
    SatellitePass *passes = nullptr;
    int n = SearchSatellitePasses(&site, &start, 7.0 * 1440.0, &sat, 1, 99.0, &passes, nullptr,
                                  nullptr);
    std::vector<SatellitePass> out(passes, passes + n);
    std::free(passes);
    return out;
}

TEST(SatellitePassSearch, WeekAgreesWithIndependentComputation) {
    for (const auto &s : Satellites()) {
        for (const auto &w : Sites()) {
            double startJd = 0.0;
            std::vector<SatellitePass> found = SearchWeek(s.first, w.first, &startJd);
            double endJd = startJd + 7.0;
            std::string where = s.first + " " + w.first;
            // Sorted by start.
            for (size_t i = 1; i < found.size(); ++i)
                EXPECT_LE(+found[i - 1].julianDate[0], +found[i].julianDate[0]) << where;
            int compared = 0;
            for (const PassReference &ref : kPasses) {
                if (s.first != ref.satellite || w.first != ref.site) continue;
                // Passes cut by the ends of the week are left out.
                if (ref.start < startJd + 0.01 || ref.end > endJd - 0.01) continue;
                const SatellitePass *match = nullptr;
                for (const SatellitePass &p : found)
                    if (std::fabs(p.julianDate[1] - ref.culmination) < 120 * kSecond) match = &p;
                ASSERT_NE(match, nullptr) << where << " pass at JD " << ref.culmination;
                EXPECT_NEAR(+match->julianDate[0], ref.start, 10 * kSecond) << where;
                EXPECT_NEAR(+match->julianDate[1], ref.culmination, 10 * kSecond) << where;
                EXPECT_NEAR(+match->julianDate[2], ref.end, 10 * kSecond) << where;
                EXPECT_EQ(+match->inShadow[0] + +match->inShadow[1] + +match->inShadow[2], 0);
                EXPECT_GE(+match->altitude[1], 10.0 * kDeg - 1e-6);
                ++compared;
            }
            // Nothing found that the reference lacks (inside the week; the
            // reference samples every 10 s, so it can miss passes of a few
            // seconds).
            int inside = 0;
            for (const SatellitePass &p : found)
                if (p.julianDate[0] >= startJd + 0.01 && p.julianDate[2] <= endJd - 0.01 &&
                    p.julianDate[2] - p.julianDate[0] > 20 * kSecond)
                    ++inside;
            EXPECT_EQ(inside, compared) << where;
        }
    }
}

TEST(SatellitePassSearch, ShadowedCulminationEndsThePassAtTheEdge) {
    // Reference passes whose culmination is their end: the satellite entered
    // the shadow before its closest approach.
    int checked = 0;
    for (const PassReference &ref : kPasses) {
        if (ref.culmination != ref.end || std::string(ref.satellite) != "ISS") continue;
        double startJd = 0.0;
        std::vector<SatellitePass> found = SearchWeek(ref.satellite, ref.site, &startJd);
        for (const SatellitePass &p : found) {
            if (std::fabs(p.julianDate[2] - ref.end) > 10 * kSecond) continue;
            EXPECT_EQ(+p.julianDate[1], +p.julianDate[2]);
            EXPECT_EQ(+p.edgeKind[2], kEdgeKindShadowBackward);
            EXPECT_EQ(+p.edgeKind[0], kEdgeKindOne);
            ++checked;
        }
        if (checked >= 2) break;
    }
    EXPECT_GE(checked, 1);
}

TEST(SatellitePassSearch, CulminationBelowTenDegreesGivesNoPass) {
    // A site far from the ground track of a near-equatorial orbit.
    EarthSatelliteRecord sat = MakeSatellite("ISS");
    sat.elements.inclination = 5.0 * kDeg;
    LocationRecord site = MakeSite("Tromso");
    DateRecord start = MakeDate(site, sat.elements.epoch);
    SatellitePass *passes = reinterpret_cast<SatellitePass *>(1);
    EXPECT_EQ(SearchSatellitePasses(&site, &start, 3 * 1440.0, &sat, 1, 99.0, &passes, nullptr,
                                    nullptr),
              0);
    EXPECT_EQ(passes, nullptr);
}

TEST(SatellitePassSearch, NoLimitKeepsSatellitesWithoutMagnitudeAndLimitFiltersOthers) {
    EarthSatelliteRecord sat = MakeSatellite("ISS");  // no standard magnitude
    LocationRecord site = MakeSite("Greenwich");
    DateRecord start = MakeDate(site, sat.elements.epoch + 0.5);
    SatellitePass *passes = nullptr;
    int n = SearchSatellitePasses(&site, &start, 1440.0, &sat, 1, 99.0, &passes, nullptr, nullptr);
    EXPECT_GT(n, 0);
    for (int i = 0; i < n; ++i) EXPECT_EQ(+passes[i].magnitude[1], 99.9);
    std::free(passes);
    // With a limit of 90 too (the "none" boundary).
    n = SearchSatellitePasses(&site, &start, 1440.0, &sat, 1, 90.0, &passes, nullptr, nullptr);
    EXPECT_GT(n, 0);
    std::free(passes);
}

int g_ticks = 0;
int g_cancel = 0;
void CountTick(int value) {
    EXPECT_EQ(value, 0);
    ++g_ticks;
    g_cancel = 1;  // cancel at the first tick
}

TEST(SatellitePassSearch, CancelReturnsNothing) {
    std::vector<EarthSatelliteRecord> sats(40, MakeSatellite("ISS"));
    LocationRecord site = MakeSite("Greenwich");
    DateRecord start = MakeDate(site, sats[0].elements.epoch + 0.5);
    g_ticks = 0;
    g_cancel = 0;
    SatellitePass *passes = reinterpret_cast<SatellitePass *>(1);
    EXPECT_EQ(SearchSatellitePasses(&site, &start, 1440.0, sats.data(), 40, 99.0, &passes,
                                    &g_cancel, CountTick),
              0);
    EXPECT_EQ(passes, nullptr);
    EXPECT_EQ(g_ticks, 1);
    SatellitePass *first = reinterpret_cast<SatellitePass *>(1), *second = first;
    int a = 5, b = 5;
    g_cancel = 1;
    EXPECT_EQ(SearchSatellitePassesSplit(&site, &start, 1440.0, sats.data(), 2, 99.0, &first, &a,
                                         &second, &b, &g_cancel, nullptr),
              0);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
}

TEST(SatellitePassSearch, SplitAndNextPass) {
    EarthSatelliteRecord sat = MakeSatellite("ISS");
    LocationRecord site = MakeSite("Greenwich");
    double startJd = 0.0;
    std::vector<SatellitePass> week = SearchWeek("ISS", "Greenwich", &startJd);
    ASSERT_GE(week.size(), 3u);
    // Starting in the middle of the second pass: it is in progress.
    const SatellitePass &p = week[1];
    DateRecord start = MakeDate(site, 0.5 * (p.julianDate[0] + p.julianDate[2]));
    SatellitePass *first = nullptr, *second = nullptr;
    int a = 0, b = 0;
    ASSERT_EQ(SearchSatellitePassesSplit(&site, &start, 1440.0, &sat, 1, 99.0, &first, &a, &second,
                                         &b, nullptr, nullptr),
              1);
    ASSERT_EQ(a, 1);
    EXPECT_NEAR(+first[0].julianDate[0], +p.julianDate[0], 2 * kSecond);
    ASSERT_GE(b, 1);
    EXPECT_NEAR(+second[0].julianDate[0], +week[2].julianDate[0], 2 * kSecond);
    std::free(first);
    std::free(second);
    // The next pass from just after the second pass ended: the third.
    start = MakeDate(site, p.julianDate[2] + 60 * kSecond);
    ASSERT_EQ(SearchNextSatellitePasses(&site, &start, 1440.0, &sat, 1, 99.0, &first, &a, &second,
                                        &b, nullptr, nullptr),
              1);
    EXPECT_EQ(a, 0);
    ASSERT_EQ(b, 1);
    EXPECT_NEAR(+second[0].julianDate[1], +week[2].julianDate[1], 10 * kSecond);
    std::free(first);
    std::free(second);
}

TEST(SatellitePassSearch, FindVisibilityEdgeKinds) {
    EarthSatelliteRecord sat = MakeSatellite("ISS");
    double startJd = 0.0;
    std::vector<SatellitePass> week = SearchWeek("ISS", "Greenwich", &startJd);
    ASSERT_FALSE(week.empty());
    SatellitePassContext *c =
        static_cast<SatellitePassContext *>(std::calloc(1, sizeof(SatellitePassContext)));
    c->site = MakeSite("Greenwich");
    c->magnitudeLimit = 99.0;
    BeginSatelliteInContext(c, &sat);
    // A lit culmination: both edges without a shadow change.
    const SatellitePass *lit = nullptr;
    for (const SatellitePass &p : week)
        if (p.julianDate[1] < p.julianDate[2] && p.julianDate[1] > p.julianDate[0]) lit = &p;
    ASSERT_NE(lit, nullptr);
    SatellitePass pass;
    std::memset(&pass, 0, sizeof pass);
    int verdict = -1;
    struct Case {
        double jd;
        int direction, visible;
        uint8_t kind;
        double expected;
    } cases[] = {
        {lit->julianDate[1], kEdgeForward, 1, kEdgeKindFour, lit->julianDate[2]},
        {lit->julianDate[1], kEdgeBackward, 1, kEdgeKindOne, lit->julianDate[0]},
        // From below the horizon a little before the start: forward, kind 1.
        {lit->julianDate[0] - 60 * kSecond, kEdgeForward, 0, kEdgeKindOne, lit->julianDate[0]},
        // From just after the end, backward: kind 4.
        {lit->julianDate[2] + 60 * kSecond, kEdgeBackward, 0, kEdgeKindFour, lit->julianDate[2]},
    };
    for (const Case &k : cases) {
        int slot = k.direction == kEdgeForward ? 2 : 0;
        ASSERT_EQ(FindVisibilityEdge(c, k.jd, k.direction, k.visible, 0, &pass, slot, &verdict), 1);
        EXPECT_EQ(+pass.edgeKind[slot], k.kind);
        EXPECT_NEAR(+pass.julianDate[slot], k.expected, 3 * kSecond);
        EXPECT_EQ(verdict, 1);
    }
    std::free(c);
}

TEST(SatellitePassSearch, ApproachesNearATarget) {
    EarthSatelliteRecord sat = MakeSatellite("ISS");
    LocationRecord site = MakeSite("Greenwich");
    double startJd = 0.0;
    std::vector<SatellitePass> week = SearchWeek("ISS", "Greenwich", &startJd);
    ASSERT_FALSE(week.empty());
    // The culmination place of a pass as the target: the search finds an
    // approach at that moment, within 1 degree, its edges about it.
    const SatellitePass &p = week[0];
    DateRecord start = MakeDate(site, p.julianDate[0] - 0.01);
    SatellitePass *list = nullptr;
    int n = SearchSatelliteApproaches(&site, &start, 60.0, &sat, 1, 99.0, p.rightAscension[1],
                                      p.declination[1], 1.0 * kDeg, &list);
    ASSERT_EQ(n, 1);
    EXPECT_NEAR(+list[0].julianDate[1], +p.julianDate[1], 5 * kSecond);
    EXPECT_LT(+list[0].separation[1], 0.01 * kDeg);
    EXPECT_LT(+list[0].julianDate[0], +list[0].julianDate[1]);
    EXPECT_GT(+list[0].julianDate[2], +list[0].julianDate[1]);
    EXPECT_NEAR(+list[0].separation[0], 1.0 * kDeg, 0.1 * kDeg);
    EXPECT_NEAR(+list[0].separation[2], 1.0 * kDeg, 0.1 * kDeg);
    std::free(list);
}

TEST(SatellitePassSearch, GeostationaryApproachDoesNotDivideByZero) {
    // A satellite that stands still in the sky: FillApproachEdges refuses
    // rather than writing infinite dates.
    EarthSatelliteRecord sat = MakeSatellite("ISS");
    SatellitePassContext *c =
        static_cast<SatellitePassContext *>(std::calloc(1, sizeof(SatellitePassContext)));
    c->site = MakeSite("Greenwich");
    c->magnitudeLimit = 99.0;
    c->separationLimit = 0.1;
    sat.elements.bstar = 0.5;  // decayed at the date below: zero vectors
    BeginSatelliteInContext(c, &sat);
    SatellitePass pass;
    std::memset(&pass, 0, sizeof pass);
    EXPECT_EQ(FillApproachEdges(c, sat.elements.epoch + 30.0, &pass), 0);
    EXPECT_EQ(+pass.julianDate[0], 0.0);
    EXPECT_EQ(+pass.julianDate[2], 0.0);
    std::free(c);
}

class PassListFile : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    testutil::TempDir dir;
};

TEST_F(PassListFile, RoundTripMissingAndDamaged) {
    SatellitePass *list = reinterpret_cast<SatellitePass *>(std::malloc(10));
    int count = 9;
    // Missing file: 0, null, 0 (the old array freed).
    EXPECT_EQ(ReadSatellitePassList(&list, &count), 0);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(count, 0);
    std::vector<SatellitePass> passes(3);
    std::memset(passes.data(), 0, passes.size() * sizeof(SatellitePass));
    for (int i = 0; i < 3; ++i) {
        passes[i].julianDate[1] = 2451545.0 + i;
        passes[i].satellite.number = 100 + i;
    }
    ASSERT_EQ(WriteSatellitePassList(passes.data(), 3), 1);  // creates "esat"
    std::string path = dir.path() + "/esat/pass_list.bin";
    bool ok = false;
    std::string bytes = testutil::ReadFileBytes(path, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(bytes.size(), 4u + 3u * 343u);
    EXPECT_EQ(bytes[0], 3);
    ASSERT_EQ(ReadSatellitePassList(&list, &count), 1);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(+list[2].satellite.number, 102u);
    EXPECT_EQ(+list[2].julianDate[1], 2451547.0);
    // A count that disagrees with the size (negative, huge, or one too many)
    // is refused without reading past the records.
    for (int32_t bad : {-1, 0x7fffffff, 4, 0x00ffffff}) {
        std::string damaged = bytes;
        std::memcpy(&damaged[0], &bad, 4);
        ASSERT_TRUE(testutil::WriteFileBytes(path, damaged));
        EXPECT_EQ(ReadSatellitePassList(&list, &count), 0) << bad;
        EXPECT_EQ(list, nullptr);
        EXPECT_EQ(count, 0);
    }
    ASSERT_TRUE(testutil::WriteFileBytes(path, bytes.substr(0, 2)));
    EXPECT_EQ(ReadSatellitePassList(&list, &count), 0);
    // Delete: frees, zeroes, removes.
    ASSERT_TRUE(testutil::WriteFileBytes(path, bytes));
    ASSERT_EQ(ReadSatellitePassList(&list, &count), 1);
    DeleteSatellitePassList(&list, &count);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(testutil::PathIsThere(path));
}

TEST_F(PassListFile, WriteFailureKeepsTheOldList) {
    std::vector<SatellitePass> old(2), fresh(5);
    std::memset(old.data(), 0, 2 * sizeof(SatellitePass));
    std::memset(fresh.data(), 0, 5 * sizeof(SatellitePass));
    std::string path = dir.path() + "/esat/pass_list.bin";
    std::string before;
    testutil::ForEachFailurePoint(
        [&] {
            ASSERT_EQ(WriteSatellitePassList(old.data(), 2), 1);
            before = testutil::ReadFileBytes(path);
        },
        [&] { return WriteSatellitePassList(fresh.data(), 5); },
        [&](const testutil::FailurePointRun &run) {
            std::string after = testutil::ReadFileBytes(path);
            if (run.result == 1) {
                EXPECT_EQ(after.size(), 4u + 5u * 343u) << testutil::DescribeFailurePoint(run);
            } else {
                EXPECT_EQ(after, before) << testutil::DescribeFailurePoint(run);
            }
            EXPECT_TRUE(testutil::TemporariesBeside(path).empty());
        });
}

}  // namespace
