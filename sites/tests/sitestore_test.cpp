// Tests of the site store: slot bytes at their offsets, the lookup by name and
// coordinates with its tolerances, delete with its stale tail, the update that
// re-derives a site and renames its horizon file after the write, the default site, the zone
// names and descriptions, and the backup copy.
#include "sites/sitestore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/fileutil.h"
#include "core/userfolder.h"
#include "sites/horizonfile.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

const double kDegree = kPi / 180.0;

LocationRecord Site(const char *name, double longitude, double latitude, double zone = -5.0) {
    LocationRecord r;
    std::memset(&r, 0xAB, sizeof r);
    EXPECT_EQ(InitLocationRecord(&r, longitude, latitude, 250.0, 6.5, 0.0, 12.0, 45.0, 2, 0.0, zone,
                                 name),
              1);
    return r;
}

const LocationTrailer kNoTrailer = {0, 0, 0};

double DoubleAt(const std::string &bytes, size_t offset) {
    double d = 0;
    std::memcpy(&d, bytes.data() + offset, 8);
    return d;
}

std::string Raw(const void *p, size_t n) { return std::string((const char *)p, n); }

class SiteStore : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override {
        Close();
        SetUserDataFolder("");
    }
    void Open() {
        int16_t count = -1;
        f = OpenLocationStore(&count);
        ASSERT_NE(f, nullptr);
    }
    void Close() {
        if (f) std::fclose(f);
        f = nullptr;
    }
    void Add(const LocationRecord &r, LocationTrailer t = kNoTrailer) {
        if (!f) Open();
        ASSERT_EQ(AppendLocation(f, &r, &t), 1);
    }
    std::string StoreBytes() const { return ReadFileBytes(dir.file("loc.bin")); }

    testutil::TempDir dir;
    FILE *f = nullptr;
};

TEST_F(SiteStore, SlotsLieAtTheirOffsets) {
    Add(Site("Home", 1.25, 0.75));
    Add(Site("Ridge", -0.5, -0.25), LocationTrailer{2, 1, 0});
    std::string b = StoreBytes();
    ASSERT_EQ(b.size(), 2u + 2u * 169u);
    EXPECT_EQ(b.substr(0, 2), std::string("\x02\x00", 2));
    // Slot 1 at 2 + 169 = 171: longitude @0, latitude @8, name @133, trailer @166.
    EXPECT_EQ(DoubleAt(b, 171), -0.5);
    EXPECT_EQ(DoubleAt(b, 179), -0.25);
    EXPECT_EQ(DoubleAt(b, 171 + 106), -5.0);  // time zone
    EXPECT_EQ(b.substr(171 + 133, 33), std::string("Ridge") + std::string(28, '\0'));
    EXPECT_EQ(b.substr(171 + 166, 3), std::string("\x02\x01\x00", 3));
    EXPECT_EQ(b.substr(2 + 133, 5), std::string("Home\0", 5));
    EXPECT_EQ(b.substr(2 + 166, 3), std::string(3, '\0'));

    // A hand-made file with a name filling all 33 bytes reads back terminated.
    std::string slot(169, '\0');
    double lon = 0.125, lat = -0.375, zone = 9.5;
    std::memcpy(&slot[0], &lon, 8);
    std::memcpy(&slot[8], &lat, 8);
    std::memcpy(&slot[106], &zone, 8);
    slot[72] = 1;
    slot[81] = 3;
    std::memset(&slot[133], 'S', 33);
    slot[166] = 4;
    slot[167] = 1;
    slot[168] = 7;
    ASSERT_TRUE(WriteFileBytes(dir.file("other.bin"), std::string("\x01\x00", 2) + slot));
    int16_t count = 0;
    FILE *other = OpenLocationFile(dir.file("other.bin").c_str(), &count);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(count, 1);
    LocationRecord r;
    LocationTrailer t;
    ASSERT_EQ(ReadLocation(other, 0, &r, &t), 1);
    EXPECT_EQ(ReadLocation(other, 1, &r, &t), 0);
    EXPECT_EQ(AppendLocation(other, &r, &t), 0);  // another computer's file is read only
    std::fclose(other);
    EXPECT_EQ(std::string(r.name), std::string(32, 'S'));
    EXPECT_EQ(+r.longitude, 0.125);
    EXPECT_EQ(+r.latitude, -0.375);
    EXPECT_EQ(+r.timeZone, 9.5);
    EXPECT_EQ(+r.displayFlags, 1);
    EXPECT_EQ(+r.seeingRating, 3);
    EXPECT_EQ(Raw(&t, 3), std::string("\x04\x01\x07", 3));
}

TEST_F(SiteStore, FindDecidesByTheFirstSameNamedSlotWithinTolerances) {
    const double L = 1.5, B = 0.6;
    LocationRecord home = Site("Home", L, B);
    home.temperature = 10.0;
    Add(home, LocationTrailer{3, 1, 0});
    Add(Site("Home", L + 8.0e-5, B));  // never reached: the first Home decides
    Add(Site("Away", 2.0, -0.4), LocationTrailer{0, 1, 0});

    struct Case {
        const char *name;
        double dLon, dLat;
        int answer;
        int16_t index;
    } cases[] = {
        {"Home", 7.0e-5, 0, 1, 0},   {"Home", -7.0e-5, 0, 1, 0},  {"Home", 8.0e-5, 0, 2, 0},
        {"Home", -8.0e-5, 0, 2, 0},  {"Home", 0, 4.0e-6, 1, 0},   {"Home", 0, 5.0e-6, 2, 0},
        {"Home", 0, -5.0e-6, 2, 0},  {"home", 0, 0, 0, 3},        {"HOME", 0, 0, 0, 3},
        {"Hom", 0, 0, 0, 3},         {"", 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        LocationRecord r = Site(c.name, L + c.dLon, B + c.dLat);
        r.temperature = 99.0;
        LocationRecord before = r;
        LocationTrailer t = {9, 9, 9};
        int16_t index = -1;
        EXPECT_EQ(FindLocation(f, &r, &t, &index), c.answer) << c.name << c.dLon << " " << c.dLat;
        EXPECT_EQ(index, c.index) << c.name;
        if (c.answer == 1) {
            // The whole stored record and its trailer are copied out.
            EXPECT_EQ(std::memcmp(&r, &home, sizeof r), 0);
            EXPECT_EQ(Raw(&t, 3), std::string("\x03\x01\x00", 3));
        } else {
            EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0) << c.name;
            EXPECT_EQ(Raw(&t, 3), std::string(3, '\0'));
        }
    }
    LocationRecord away = Site("Away", 2.0, -0.4);
    LocationTrailer t;
    int16_t index = 0;
    EXPECT_EQ(FindLocation(f, &away, &t, &index), 1);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(+t.elevationInFeet, 1);
    // A caller's name without a terminator is read no further than its field.
    std::memset(away.name, 'A', sizeof away.name);
    EXPECT_EQ(FindLocation(f, &away, nullptr, nullptr), 0);
}

TEST_F(SiteStore, DeleteMovesLaterSitesDownAndLeavesAStaleTail) {
    Add(Site("A", 0.1, 0.1));
    Add(Site("B", 0.2, 0.2));
    Add(Site("C", 0.3, 0.3));
    const std::string full = StoreBytes();
    ASSERT_EQ(full.size(), 2u + 3u * 169u);

    for (int index : {-1, 3, 32767}) EXPECT_EQ(DeleteLocation(&f, index), 0) << index;
    EXPECT_EQ(StoreBytes(), full);

    ASSERT_EQ(DeleteLocation(&f, 2), 1);  // the last of three
    std::string b = StoreBytes();
    EXPECT_EQ(b.size(), full.size());
    EXPECT_EQ(b.substr(0, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(b.substr(2), full.substr(2));  // only the count changed
    LocationRecord r;
    EXPECT_EQ(ReadLocation(f, 2, &r, nullptr), 0);

    Add(Site("D", 0.4, 0.4));  // reuses slot 2
    b = StoreBytes();
    EXPECT_EQ(b.size(), full.size());
    EXPECT_EQ(b.substr(2 + 2 * 169 + 133, 2), std::string("D\0", 2));

    ASSERT_EQ(DeleteLocation(&f, 0), 1);
    b = StoreBytes();
    EXPECT_EQ(b.substr(0, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(b[2 + 133], 'B');
    EXPECT_EQ(b[2 + 169 + 133], 'D');
    EXPECT_EQ(b[2 + 2 * 169 + 133], 'D');  // stale

    // The dialogs' list reads names from the current position.
    ASSERT_EQ(std::fseek(f, 2, SEEK_SET), 0);
    char name[33];
    ASSERT_EQ(ReadNextLocationName(f, name), 1);
    EXPECT_STREQ(name, "B");
    ASSERT_EQ(ReadNextLocationName(f, name), 1);
    EXPECT_STREQ(name, "D");
}

TEST_F(SiteStore, UpdateRederivesTheSiteAndRenamesItsHorizon) {
    Add(Site("Old Name", 1.0, 0.7), LocationTrailer{1, 0, 5});
    Add(Site("Other", 1.1, 0.8));
    char folder[1024];
    ASSERT_EQ(EnsureDirectory(MakeHorizonFolderPath(folder, sizeof folder)), 1);
    // Site names are file names as they are when they hold no reserved character.
    ASSERT_TRUE(WriteFileBytes(dir.file("horizons/Old Name.bin"), "horizon"));

    LocationRecord r;
    ASSERT_EQ(ReadLocation(f, 0, &r, nullptr), 1);
    std::strcpy(r.name, "New Name");
    r.nakedEyeLimit = 6.0;
    r.skyBrightness = 5.0;  // stale: derived afresh from the limit
    r.sinLatitude = 0.0;    // stale: derived afresh from the latitude
    r.displayFlags = 3;
    r.seeingRating = 255;
    r.seeing = 2.25;
    ASSERT_EQ(SetDaylightSavingRule(&r, 3, 0, 3, 1.0, 3, 0, 10, 2.0, 1.0, 2), 1);
    LocationTrailer t = {2, 1, 0};
    ASSERT_EQ(UpdateLocation(f, 0, &r, &t, &r.dst, r.dstMode), 1);

    LocationRecord expected;
    InitLocationRecord(&expected, 1.0, 0.7, 250.0, 6.0, 0.0, 12.0, 45.0, 0, 2.25, -5.0,
                       "New Name");
    expected.displayFlags = 3;
    expected.seeingRating = 255;
    SetDaylightSavingRule(&expected, 3, 0, 3, 1.0, 3, 0, 10, 2.0, 1.0, 2);
    EXPECT_EQ(std::memcmp(&r, &expected, sizeof r), 0);
    std::string b = StoreBytes();
    EXPECT_EQ(b.substr(2, 166), Raw(&expected, 166));
    EXPECT_NE(DoubleAt(b, 2 + 56), 5.0);
    EXPECT_EQ(DoubleAt(b, 2 + 24), expected.sinLatitude);
    EXPECT_EQ((unsigned char)b[2 + 72], 3);    // flags kept
    EXPECT_EQ((unsigned char)b[2 + 81], 255);  // seeing rating kept
    // Rule bytes: weekdays 0, 0; weeks 3, 3; months 3, 10; mode 2.
    EXPECT_EQ(b.substr(2 + 126, 7), std::string("\x00\x00\x03\x03\x03\x0a\x02", 7));
    EXPECT_EQ(b.substr(2 + 166, 3), std::string("\x02\x01\x00", 3));
    EXPECT_FALSE(testutil::PathIsThere(dir.file("horizons/Old Name.bin")));
    EXPECT_EQ(ReadFileBytes(dir.file("horizons/New Name.bin")), "horizon");
    EXPECT_EQ(HorizonFileExists("New Name"), 1);

    // A rule the setter refuses leaves the hemisphere preset with mode 0; the
    // name is unchanged, so the horizon file stays.
    LocationRecord south = Site("New Name", 1.0, -0.6);
    DaylightSavingRule bad = south.dst;
    bad.startWeek = 7;
    ASSERT_EQ(UpdateLocation(f, 0, &south, &t, &bad, 2), 1);
    b = StoreBytes();
    EXPECT_EQ((unsigned char)b[2 + 130], 10);  // southern preset: October ..
    EXPECT_EQ((unsigned char)b[2 + 131], 4);   // .. to April
    EXPECT_EQ((unsigned char)b[2 + 132], 0);
    EXPECT_EQ(HorizonFileExists("New Name"), 1);

    // A write that fails leaves the horizon file under the stored name.
    Close();
    int16_t count = 0;
    FILE *readOnly = OpenLocationFile(dir.file("loc.bin").c_str(), &count);
    ASSERT_NE(readOnly, nullptr);
    LocationRecord renamed = south;
    std::strcpy(renamed.name, "Third Name");
    EXPECT_EQ(UpdateLocation(readOnly, 0, &renamed, &t, &renamed.dst, renamed.dstMode), 0);
    std::fclose(readOnly);
    EXPECT_EQ(HorizonFileExists("New Name"), 1);
    EXPECT_EQ(HorizonFileExists("Third Name"), 0);
    Open();

    // Indexes outside the count change neither the record nor the file.
    const std::string before = StoreBytes();
    for (int index : {-1, 2}) {
        LocationRecord x = Site("X", 0.5, 0.5);
        x.skyBrightness = 1.0;
        LocationRecord copy = x;
        EXPECT_EQ(UpdateLocation(f, index, &x, &t, &x.dst, x.dstMode), 0) << index;
        EXPECT_EQ(std::memcmp(&x, &copy, sizeof x), 0);
    }
    EXPECT_EQ(StoreBytes(), before);
}

TEST_F(SiteStore, RenamingNeverOverwritesAnotherHorizon) {
    char folder[1024];
    ASSERT_EQ(EnsureDirectory(MakeHorizonFolderPath(folder, sizeof folder)), 1);
    ASSERT_TRUE(WriteFileBytes(dir.file("horizons/A.bin"), "a"));
    ASSERT_TRUE(WriteFileBytes(dir.file("horizons/B.bin"), "b"));
    EXPECT_EQ(RenameHorizonFile("A", "B"), 0);
    EXPECT_EQ(RenameHorizonFile("A", "CON"), 0);
    EXPECT_EQ(RenameHorizonFile("Missing", "C"), 0);
    EXPECT_EQ(ReadFileBytes(dir.file("horizons/A.bin")), "a");
    EXPECT_EQ(ReadFileBytes(dir.file("horizons/B.bin")), "b");
    EXPECT_EQ(RenameHorizonFile("A", "Mt. Hope"), 1);  // "." becomes "]"
    EXPECT_EQ(ReadFileBytes(dir.file("horizons/Mt] Hope.bin")), "a");
}

TEST_F(SiteStore, TheBuiltInDefaultIsNotWrittenToTheStore) {
    LocationRecord r;
    LoadDefaultLocation(&r);
    EXPECT_STREQ(r.name, "Texas Star Party");
    EXPECT_NEAR(r.longitude, 104.0 * kDegree, 1e-15);
    EXPECT_NEAR(r.latitude, 30.6 * kDegree, 1e-15);
    EXPECT_NEAR(r.elevation, 5000.0 / 3.281, 1e-9);
    EXPECT_EQ(+r.nakedEyeLimit, 7.1);
    EXPECT_EQ(+r.temperature, 18.3);
    EXPECT_EQ(+r.humidity, 60.0);
    EXPECT_EQ(+r.seeingRating, 2);
    EXPECT_EQ(+r.seeing, 1.5);
    EXPECT_EQ(+r.timeZone, -7.0);
    EXPECT_EQ(StoreBytes(), std::string("\x00\x00", 2));  // created empty, nothing added

    Add(Site("First", 0.3, 0.4));
    Add(Site("Second", 0.5, 0.6));
    Close();
    LoadDefaultLocation(&r);
    EXPECT_STREQ(r.name, "First");

    SetUserDataFolder("");  // no store at all
    LoadDefaultLocation(&r);
    EXPECT_STREQ(r.name, "Texas Star Party");
}

TEST_F(SiteStore, ZoneNamesFromTheTrailerOrTheHours) {
    LocationRecord east = Site("East", 75.0 * kDegree, 40.0 * kDegree, -5.0);
    SetDaylightSavingRule(&east, 1, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0, 2);
    LocationRecord west = Site("West", 120.0 * kDegree, 37.0 * kDegree, -8.0);
    SetDaylightSavingRule(&west, 1, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0, 2);
    LocationRecord always = Site("Always", 80.0 * kDegree, 30.0 * kDegree, -5.0);
    SetDaylightSavingRule(&always, 1, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0, 1);
    Add(east, LocationTrailer{1, 0, 0});
    Add(west, LocationTrailer{4, 0, 0});
    Add(always);
    Close();

    DateRecord july, january;
    SetDateRecord(&july, nullptr, 7, 1, 2026, 18.0, kUniversalTime);
    SetDateRecord(&january, nullptr, 1, 15, 2026, 18.0, kUniversalTime);
    LocationRecord unstored = Site("Elsewhere", 105.0 * kDegree, 35.0 * kDegree, -7.0);
    LocationRecord india = Site("Pune", -73.9 * kDegree, 18.5 * kDegree, 5.5);
    LocationRecord moved = Site("East", 76.0 * kDegree, 40.0 * kDegree, -5.0);
    moved.dstMode = 0;
    struct Case {
        const LocationRecord *site;
        const DateRecord *date;
        const char *text;
        int answer;
    } cases[] = {
        {&east, &july, "EDT", 1},        {&east, &january, "EST", 1},
        {&west, &july, "PDT", 1},        {&west, &january, "PST", 1},
        {&always, &january, "GMT-4", 1},  // no named zone: hours with the shift
        {&unstored, &july, "GMT-7", 0},  {&india, &january, "GMT+5.5", 0},
        {&moved, &july, "GMT-5", 2},     // same name, other place: not the stored zone
    };
    char text[32];
    for (const Case &c : cases) {
        EXPECT_EQ(FormatSiteTimeZoneName(c.site, c.date, text, sizeof text), c.answer) << c.text;
        EXPECT_STREQ(text, c.text);
    }
    EXPECT_EQ(FormatSiteTimeZoneName(nullptr, &july, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    SetUserDataFolder("");
    EXPECT_EQ(FormatSiteTimeZoneName(&east, &july, text, sizeof text), 0);
    EXPECT_STREQ(text, "GMT-4");
}

TEST(SiteText, Descriptions) {
    LocationRecord base = Site("S", 1.0, 0.5);
    struct Case {
        int flags, rating;
        double seeing, temperature, humidity;
        const char *text;
    } cases[] = {
        {0, 2, 1.5, 12.0, 45.0, "Location with average seeing, naked-eye limit 6.5, 12C, humidity 45%"},
        {1, 0, 0.3, 12.0, 45.0, "Location with excellent seeing, naked-eye limit 6.5, 54F, humidity 45%"},
        {0, 4, 5.0, -3.4, 90.2, "Location with bad seeing, naked-eye limit 6.5, -3C, humidity 90%"},
        {0, 255, 0.8, 20.0, 0.0, "Location with good seeing, naked-eye limit 6.5, 20C, humidity 0%"},
        {0, 255, 4.5, 20.0, 0.0, "Location with bad seeing, naked-eye limit 6.5, 20C, humidity 0%"},
    };
    char text[128];
    for (const Case &c : cases) {
        LocationRecord r = base;
        r.displayFlags = (uint8_t)c.flags;
        r.seeingRating = (uint8_t)c.rating;
        r.seeing = c.seeing;
        r.temperature = c.temperature;
        r.humidity = c.humidity;
        EXPECT_STREQ(DescribeLocation(&r, text, sizeof text), c.text);
    }
    // Corrupt values from a file cannot overrun the buffer.
    LocationRecord r = base;
    r.humidity = 1e300;
    char small[48];
    DescribeLocation(&r, small, sizeof small);
    EXPECT_EQ(std::strlen(small), sizeof small - 1);
}

TEST_F(SiteStore, BackupAndRestore) {
    EXPECT_EQ(BackupLocationFile(), 0);  // no loc.bin: nothing written
    EXPECT_FALSE(testutil::PathIsThere(dir.file("loc.bak")));

    Add(Site("A", 0.1, 0.1));
    Add(Site("B", 0.2, 0.2));
    Add(Site("C", 0.3, 0.3));
    ASSERT_EQ(DeleteLocation(&f, 0), 1);  // leaves a stale slot
    Close();
    const std::string kept = StoreBytes().substr(0, 2 + 2 * 169);
    ASSERT_EQ(BackupLocationFile(), 1);
    EXPECT_EQ(ReadFileBytes(dir.file("loc.bak")), kept);  // counted slots only

    Add(Site("D", 0.4, 0.4));
    Close();
    ASSERT_EQ(RestoreLocationFile(), 1);
    EXPECT_EQ(StoreBytes(), kept);

    // A backup cut short or gone: the restore fails and loc.bin stays whole.
    Add(Site("E", 0.5, 0.5));
    Close();
    const std::string live = StoreBytes();
    ASSERT_TRUE(WriteFileBytes(dir.file("loc.bak"), kept.substr(0, 200)));
    EXPECT_EQ(RestoreLocationFile(), 0);
    EXPECT_EQ(StoreBytes(), live);
    ASSERT_EQ(std::remove(dir.file("loc.bak").c_str()), 0);
    EXPECT_EQ(RestoreLocationFile(), 0);
    EXPECT_EQ(StoreBytes(), live);
}

}  // namespace
