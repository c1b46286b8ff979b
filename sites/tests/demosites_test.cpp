// The demo installation's sites and observer, as tools/gen_demo_sites.py
// writes them, read through the stores: every field against a record built
// by the site initialiser from the same raw values, the lookups and the
// defaults. The native build runs the generator into a scratch folder; the
// Windows build reads the copy that the demo installation holds, when there.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/userfolder.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {

const double kDegree = kPi / 180.0;

struct DemoSite {
    const char *name;
    double lonDeg, latDeg, elevation, limit, temperature, humidity;
    int rating;
    double seeing, zone;
    int rule[8];  // start week, weekday, month, end week, weekday, month, mode, flags
    double startHour, endHour, shift;
    unsigned char trailer[3];
};

// The values the generator documents, written out here independently.
const DemoSite kSites[] = {
    {"Cherry Springs", 77.8233, 41.6628, 701.0, 7.0, 15.0, 70.0, 2, 0.0, -5.0,
     {1, 0, 3, 0, 0, 11, 2, 1}, 2.0, 2.0, 1.0, {1, 1, 0}},
    {"Kitt Peak", 111.5967, 31.9583, 2096.0, 6.8, 14.0, 30.0, 1, 0.0, -7.0,
     {1, 0, 3, 0, 0, 11, 0, 0}, 2.0, 2.0, 1.0, {3, 0, 0}},
    {"Siding Spring", -149.0661, -31.2733, 1165.0, 7.2, 12.0, 55.0, 0, 1.2, 10.0,
     {0, 0, 10, 0, 0, 4, 2, 0}, 2.0, 2.0, 1.0, {0, 0, 0}},
};

LocationRecord Expected(const DemoSite &s) {
    LocationRecord r;
    InitLocationRecord(&r, s.lonDeg * kDegree, s.latDeg * kDegree, s.elevation, s.limit, 0.0,
                       s.temperature, s.humidity, s.rating, s.seeing, s.zone, s.name);
    SetDaylightSavingRule(&r, s.rule[0], s.rule[1], s.rule[2], s.startHour, s.rule[3], s.rule[4],
                          s.rule[5], s.endHour, s.shift, s.rule[6]);
    r.displayFlags = (uint8_t)s.rule[7];
    return r;
}

void ExpectNear(double got, double want, const char *field, const char *site) {
    EXPECT_NEAR(got, want, 1e-12 * (1.0 + std::fabs(want))) << site << " " << field;
}

class DemoSites : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        std::string user = testutil::BuildDir() + "/demo/user";
        if (testutil::BuildDir().empty() || !testutil::PathIsThere(user + "/loc.bin") ||
            !testutil::PathIsThere(user + "/observer.bin"))
            GTEST_SKIP() << "no demo installation with sites under the build folder";
        for (const char *name : {"loc.bin", "observer.bin"})
            ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name),
                                                 testutil::ReadFileBytes(user + "/" + name)));
#else
        std::string source = testutil::SourceDir();
        if (source.empty()) GTEST_SKIP() << "GLEANER_SOURCE_DIR not set";
        if (std::system("python3 -c \"\" > /dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
        std::string command = "python3 \"" + source + "/tools/gen_demo_sites.py\" --user \"" +
                              dir_.path() + "\" > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
#endif
        SetUserDataFolder(dir_.path().c_str());
    }
    void TearDown() override { SetUserDataFolder(""); }
    testutil::TempDir dir_;
};

TEST_F(DemoSites, EverySiteReadsAsTheInitialiserBuildsIt) {
    EXPECT_EQ(testutil::ReadFileBytes(dir_.file("loc.bin")).size(), 2u + 3u * 169u);
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(count, 3);
    for (int i = 0; i < 3 && i < count; ++i) {
        const DemoSite &s = kSites[i];
        LocationRecord got, want = Expected(s);
        LocationTrailer t;
        ASSERT_EQ(ReadLocation(f, i, &got, &t), 1);
        EXPECT_EQ(std::memcmp(got.name, want.name, sizeof got.name), 0) << s.name;
        // Raw values exactly, derived ones to rounding.
        EXPECT_EQ(+got.elevation, s.elevation);
        EXPECT_EQ(+got.nakedEyeLimit, s.limit);
        EXPECT_EQ(+got.temperature, s.temperature);
        EXPECT_EQ(+got.humidity, s.humidity);
        EXPECT_EQ(+got.timeZone, s.zone);
        EXPECT_EQ(+got.seeing, +want.seeing) << s.name;
        EXPECT_EQ(+got.seeingRating, +want.seeingRating) << s.name;
        EXPECT_EQ(+got.displayFlags, +want.displayFlags) << s.name;
        ExpectNear(got.longitude, want.longitude, "longitude", s.name);
        ExpectNear(got.latitude, want.latitude, "latitude", s.name);
        ExpectNear(got.sinLatitude, want.sinLatitude, "sin", s.name);
        ExpectNear(got.cosLatitude, want.cosLatitude, "cos", s.name);
        ExpectNear(got.horizonDip, want.horizonDip, "dip", s.name);
        ExpectNear(got.skyBrightness, want.skyBrightness, "sky", s.name);
        ExpectNear(got.rhoSinPhi, want.rhoSinPhi, "rho sin", s.name);
        ExpectNear(got.rhoCosPhi, want.rhoCosPhi, "rho cos", s.name);
        EXPECT_EQ(std::memcmp(&got.dst, &want.dst, sizeof got.dst), 0) << s.name;
        EXPECT_EQ(+got.dstMode, +want.dstMode) << s.name;
        EXPECT_EQ(std::memcmp(&t, s.trailer, 3), 0) << s.name;

        // The importer's lookup finds each site by its own name and place.
        LocationRecord probe = want;
        int16_t index = -1;
        EXPECT_EQ(FindLocation(f, &probe, &t, &index), 1) << s.name;
        EXPECT_EQ(index, i);
    }
    std::fclose(f);

    LocationRecord def;
    LoadDefaultLocation(&def);
    EXPECT_STREQ(def.name, "Cherry Springs");

    DateRecord july;
    SetDateRecord(&july, nullptr, 7, 1, 2026, 18.0, kUniversalTime);
    char text[32];
    LocationRecord site = Expected(kSites[0]);
    EXPECT_EQ(FormatSiteTimeZoneName(&site, &july, text, sizeof text), 1);
    EXPECT_STREQ(text, "EDT");
    site = Expected(kSites[1]);
    EXPECT_EQ(FormatSiteTimeZoneName(&site, &july, text, sizeof text), 1);
    EXPECT_STREQ(text, "MST");  // Arizona keeps standard time
    site = Expected(kSites[2]);
    EXPECT_EQ(FormatSiteTimeZoneName(&site, &july, text, sizeof text), 1);
    EXPECT_STREQ(text, "GMT+10");  // southern winter: no saving
}

TEST_F(DemoSites, TheObserverIsTheDefault) {
    EXPECT_EQ(testutil::ReadFileBytes(dir_.file("observer.bin")).size(), 2u + 84u);
    ObserverRecord r;
    LoadDefaultObserver(&r);
    EXPECT_STREQ(r.name, "Demo Observer");
    EXPECT_EQ(+r.age, 45);
    EXPECT_NEAR(r.pupilDiameter, 6.32595, 5e-6);  // 7 exp(-0.5 x 0.45^2) mm
    EXPECT_EQ(+r.experience, 0.75);
    char text[128];
    EXPECT_STREQ(DescribeObserver(&r, text, sizeof text), "Very experienced observer, 6mm pupils");

    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(count, 1);
    ObserverRecord probe;
    InitObserverRecord(&probe, "demo observer", 45, 6.33, 0.75);
    EXPECT_EQ(FindObserver(f, &probe, nullptr), 1);
    EXPECT_STREQ(probe.name, "Demo Observer");
    std::fclose(f);
}

}  // namespace
