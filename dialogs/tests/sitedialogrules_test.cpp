// Tests of the dialog rules of sites and observers: the field checks with
// their limits, units and named zones, the selection after a deletion, the
// observer's typing rules, and a session's file effects on OK and on Cancel.
#include "dialogs/sitedialogrules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/fileutil.h"
#include "core/userfolder.h"
#include "events/eventfiles.h"
#include "sites/horizon.h"
#include "sites/horizonfile.h"
#include "testutil/testutil.h"

namespace {


LocationRecord Site(const char *name) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    InitLocationRecord(&r, 1.2, 0.7, 250.0, 6.5, 0.0, 12.0, 45.0, 2, 0.0, -5.0, name);
    return r;
}

SiteDialogFields Fields() {
    SiteDialogFields f;
    f.elevation = "300";
    f.zone = "-5";
    f.seeingRow = 1;
    f.temperature = "10";
    f.humidity = "50";
    return f;
}

TEST(SiteFields, RangesUnitsAndRefusalsLeaveTheSiteUnchanged) {
    struct Case {
        const char *what;
        void (*edit)(SiteDialogFields &);
        int result;
        int below;
    } cases[] = {
        {"plain", [](SiteDialogFields &) {}, kSiteFieldsOk, 0},
        {"151 C", [](SiteDialogFields &f) { f.temperature = "151"; }, kSiteFieldsBadTemperature, 0},
        {"151 F", [](SiteDialogFields &f) { f.temperature = "151"; f.fahrenheit = 1; },
         kSiteFieldsBadTemperature, 0},
        {"-100 C", [](SiteDialogFields &f) { f.temperature = "-100"; }, kSiteFieldsOk, 0},
        {"-101 C", [](SiteDialogFields &f) { f.temperature = "-101"; }, kSiteFieldsBadTemperature, 0},
        {"humidity 0", [](SiteDialogFields &f) { f.humidity = "0"; }, kSiteFieldsBadHumidity, 0},
        {"humidity 100", [](SiteDialogFields &f) { f.humidity = "100"; }, kSiteFieldsBadHumidity, 0},
        {"humidity 1", [](SiteDialogFields &f) { f.humidity = "1"; }, kSiteFieldsOk, 0},
        {"humidity 99", [](SiteDialogFields &f) { f.humidity = "99"; }, kSiteFieldsOk, 0},
        {"humidity x", [](SiteDialogFields &f) { f.humidity = "x"; }, kSiteFieldsBadHumidity, 0},
        {"elevation x", [](SiteDialogFields &f) { f.elevation = "abc"; }, kSiteFieldsNoValue, 0},
        {"zone x", [](SiteDialogFields &f) { f.zone = "n/a"; }, kSiteFieldsNoValue, 0},
        {"below sea", [](SiteDialogFields &f) { f.elevation = "-5"; }, kSiteFieldsOk, 1},
        {"below sea, bad humidity", [](SiteDialogFields &f) { f.elevation = "-5"; f.humidity = "0"; },
         kSiteFieldsBadHumidity, 1},
    };
    for (const Case &c : cases) {
        LocationRecord site = Site("Home");
        LocationTrailer trailer = {0, 0, 7};
        SiteDialogFields f = Fields();
        c.edit(f);
        LocationRecord before = site;
        int below = -1;
        EXPECT_EQ(ReadSiteFields(f, &site, &trailer, &below), c.result) << c.what;
        EXPECT_EQ(below, c.below) << c.what;
        if (c.result != kSiteFieldsOk) {
            EXPECT_EQ(std::memcmp(&site, &before, sizeof site), 0) << c.what;
            EXPECT_EQ(+trailer.reserved, 7) << c.what;
        }
    }
}

TEST(SiteFields, ConversionsAndStoredValues) {
    LocationRecord site = Site("Home");
    LocationTrailer trailer = {0, 0, 0};
    SiteDialogFields f = Fields();
    f.elevation = "5000";
    f.elevationInFeet = 1;
    f.temperature = "50";
    f.fahrenheit = 1;
    f.seeingRow = 3;
    f.humidity = "70";
    ASSERT_EQ(ReadSiteFields(f, &site, &trailer, nullptr), kSiteFieldsOk);
    EXPECT_NEAR(site.elevation, 1523.9256, 1e-4);
    EXPECT_NEAR(site.temperature, 10.0, 1e-12);
    EXPECT_EQ(site.displayFlags & 1, 1);
    EXPECT_EQ(+site.seeingRating, 3);
    EXPECT_EQ(+site.seeing, 3.0);
    EXPECT_EQ(+site.humidity, 70.0);
    EXPECT_EQ(+trailer.elevationInFeet, 1);
    EXPECT_NEAR(ElevationShown(&site, &trailer), 5000.0, 1e-9);
    EXPECT_NEAR(TemperatureShown(&site), 50.0, 1e-12);
    // Below sea level becomes 0 whatever the unit.
    f.elevation = "-5";
    ASSERT_EQ(ReadSiteFields(f, &site, &trailer, nullptr), kSiteFieldsOk);
    EXPECT_EQ(+site.elevation, 0.0);
    // Typing stores at once, without the sea-level check.
    EXPECT_EQ(ApplyTypedElevation("-10", 0, &site), 1);
    EXPECT_EQ(+site.elevation, -10.0);
    EXPECT_EQ(ApplyTypedElevation("1000", 1, &site), 1);
    EXPECT_NEAR(site.elevation, 304.785, 1e-3);
    EXPECT_EQ(ApplyTypedElevation("1 0 0 0", 1, &site), 0);
}

TEST(SiteFields, NamedZonesForceTheirOffset) {
    LocationRecord site = Site("Home");
    LocationTrailer trailer = {0, 0, 0};
    EXPECT_EQ(ApplyZoneRow(3, "+2", &site, &trailer), 1);  // MST
    EXPECT_EQ(+trailer.namedZone, 3);
    EXPECT_EQ(+site.timeZone, -7.0);
    // Back to "GMT+": the edit still shows -7, which is kept.
    EXPECT_EQ(ApplyZoneRow(0, "-7", &site, &trailer), 1);
    EXPECT_EQ(+trailer.namedZone, 0);
    EXPECT_EQ(+site.timeZone, -7.0);
    EXPECT_EQ(ApplyZoneRow(0, "5:30", &site, &trailer), 1);
    EXPECT_EQ(+site.timeZone, 5.5);
    EXPECT_EQ(ApplyZoneRow(0, "x", &site, &trailer), 0);
    EXPECT_EQ(+site.timeZone, 5.5);
    SiteDialogFields f = Fields();
    f.zoneRow = 1;
    f.zone = "garbage";  // not read for a named zone
    ASSERT_EQ(ReadSiteFields(f, &site, &trailer, nullptr), kSiteFieldsOk);
    EXPECT_EQ(+site.timeZone, -5.0);
    EXPECT_EQ(+trailer.namedZone, 1);
}

TEST(SiteFields, SelectionAfterDelete) {
    EXPECT_EQ(SelectionAfterDelete(2, 3), 1);  // the last of three
    EXPECT_EQ(SelectionAfterDelete(0, 3), 0);
    EXPECT_EQ(SelectionAfterDelete(1, 3), 1);
    EXPECT_EQ(SelectionAfterDelete(0, 1), -1);
}

TEST(ObserverFields, LimitsAtOk) {
    struct Case {
        const char *name, *age, *pupil;
        int row, result, age_out;
        double pupil_out, experience;
    } cases[] = {
        {"Ann", "40", "6.5", 2, 1, 40, 6.5, 0.5},
        {"", "40", "6.5", 2, 0, 0, 0, 0},
        {"Ann", "0", "6.5", 2, 0, 0, 0, 0},
        {"Ann", "201", "6.5", 2, 0, 0, 0, 0},
        {"Ann", "200.9", "6.5", 4, 1, 200, 6.5, 1.0},
        {"Ann", "180", "0.5", 3, 1, 180, 0.5, 0.75},
        {"Ann", "40", "0", 2, 0, 0, 0, 0},
        {"Ann", "40", "20", 2, 1, 40, 20.0, 0.5},
        {"Ann", "40", "20.1", 2, 0, 0, 0, 0},
        // An unparsable pupil is computed from the age, never 0 mm.
        {"Ann", "40", "wide", 0, 1, 40, 6.4618, 0.0},
    };
    for (const Case &c : cases) {
        ObserverRecord o;
        InitObserverRecord(&o, "Old", 30, 5.0, 0.25);
        ObserverRecord before = o;
        ObserverDialogFields f{c.name, c.age, c.pupil, c.row};
        EXPECT_EQ(ReadObserverFields(f, &o), c.result) << c.age << " " << c.pupil;
        if (c.result) {
            EXPECT_STREQ(o.name, c.name);
            EXPECT_EQ(+o.age, c.age_out);
            EXPECT_NEAR(o.pupilDiameter, c.pupil_out, 1e-4);
            EXPECT_EQ(+o.experience, c.experience);
        } else {
            EXPECT_EQ(std::memcmp(&o, &before, sizeof o), 0);
        }
    }
    // The name is cut at 62 characters.
    ObserverRecord o;
    InitObserverRecord(&o, "Old", 30, 5.0, 0.25);
    ObserverDialogFields f{std::string(70, 'n'), "30", "5", 1};
    ASSERT_EQ(ReadObserverFields(f, &o), 1);
    EXPECT_EQ(std::strlen(o.name), 62u);
}

TEST(ObserverFields, TypingTakesOnlyValuesInItsRanges) {
    ObserverRecord o;
    InitObserverRecord(&o, "Ann", 40, 6.0, 0.5);
    // 201 typed digit by digit: 2 and 20 are taken, 201 waits for OK.
    for (const char *t : {"2", "20", "201"}) ApplyTypedAge(t, &o);
    EXPECT_EQ(+o.age, 20);
    EXPECT_EQ(ApplyTypedAge("180", &o), 0);
    EXPECT_EQ(ApplyTypedAge("150", &o), 1);
    EXPECT_EQ(ApplyTypedPupil("0.5", &o), 0);
    EXPECT_EQ(+o.pupilDiameter, 6.0);
    EXPECT_EQ(ApplyTypedPupil("1", &o), 1);
    EXPECT_EQ(ApplyTypedPupil("20", &o), 1);
    EXPECT_EQ(ApplyTypedPupil("21", &o), 0);
    EXPECT_EQ(+o.pupilDiameter, 20.0);
    EXPECT_EQ(IsAcceptableTypedName("Mt Hope/West"), 1);
    EXPECT_EQ(IsAcceptableTypedName("Dark#Site"), 0);
    EXPECT_EQ(IsAcceptableTypedName("A~B"), 0);
    // The whole name is checked, not only the part before a ".": the "#" of
    // "A.B#C" would come back from a file name as ",".
    EXPECT_EQ(IsAcceptableTypedName("A.B#C"), 0);
    EXPECT_EQ(IsAcceptableTypedName("St. Paul"), 1);
    EXPECT_EQ(GetExperienceLevel(0.625), 3);
}

class SiteSession : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir_.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    testutil::TempDir dir_;
};

TEST_F(SiteSession, CancelRenamesHorizonsBackAndKeepsEventFiles) {
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    ASSERT_NE(f, nullptr);
    LocationRecord a = Site("Alpha"), b = Site("Beta");
    LocationTrailer t = {0, 0, 0};
    ASSERT_EQ(AppendLocation(f, &a, &t), 1);
    ASSERT_EQ(AppendLocation(f, &b, &t), 1);
    ASSERT_EQ(CreateFlatHorizon(&a), 1);
    EnsureDirectory(dir_.file("events").c_str());
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/BetaCE.bin"), "e"));
    ASSERT_EQ(BackupLocationFile(), 1);

    SiteSessionEffects effects;
    std::strcpy(a.name, "Alpha Two");
    ASSERT_EQ(SaveSiteInSession(f, 0, &a, &t, &effects), 1);
    EXPECT_EQ(HorizonFileExists("Alpha Two"), 1);
    ASSERT_EQ(effects.horizonRenames.size(), 1u);
    // Deleting Beta waits for OK before its events go.
    effects.deletedSites.push_back(b);
    ASSERT_EQ(DeleteLocation(&f, 1), 1);
    std::fclose(f);

    ASSERT_EQ(RestoreLocationFile(), 1);
    UndoSiteSession(&effects);
    EXPECT_EQ(HorizonFileExists("Alpha"), 1);
    EXPECT_EQ(HorizonFileExists("Alpha Two"), 0);
    EXPECT_EQ(EventFilesExist(&b), 1);
}

TEST_F(SiteSession, OkDeletesEventFilesOfSitesThatAreGone) {
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    ASSERT_NE(f, nullptr);
    LocationRecord a = Site("Alpha"), b = Site("Beta");
    LocationTrailer t = {0, 0, 0};
    ASSERT_EQ(AppendLocation(f, &a, &t), 1);
    std::fclose(f);
    EnsureDirectory(dir_.file("events").c_str());
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/Alpha.bin"), "e"));
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("events/Beta.bin"), "e"));
    SiteSessionEffects effects;
    effects.deletedSites.push_back(a);  // deleted, then added again: stays
    effects.deletedSites.push_back(b);  // gone
    CommitSiteSession(&effects);
    EXPECT_EQ(EventFilesExist(&a), 1);
    EXPECT_EQ(EventFilesExist(&b), 0);
    EXPECT_TRUE(effects.deletedSites.empty());
}

}  // namespace

namespace {

// The site coordinates dialog's fields: the name's limits, the ranges of
// the position, and the elevation that does not parse, is negative or is
// typed in feet.
TEST(ManualSiteFields, ReadOrRefused) {
    struct Case {
        const char *name, *longitude, *latitude, *elevation;
        int feet;
        int result;
        const char *storedName;
        double lon, lat, elev;
    } cases[] = {
        {"Bryce Point", "112:10:00", "37:37:30", "2438", 0, kManualSiteOk, "Bryce Point", 112.0 + 10.0 / 60.0,
         37.625, 2438.0},
        {"  Padded  ", "-2.5", "-33.9", "", 0, kManualSiteOk, "Padded", -2.5, -33.9, 0.0},
        {"Feet", "0", "0", "5000", 1, kManualSiteOk, "Feet", 0.0, 0.0, 5000 * 0.30478512648582747874},
        {"Below", "0", "0", "-5", 0, kManualSiteOk, "Below", 0.0, 0.0, 0.0},
        {"Not a number", "0", "0", "high", 0, kManualSiteOk, "Not a number", 0.0, 0.0, 0.0},
        {"Edges", "180", "-90", "0", 0, kManualSiteOk, "Edges", 180.0, -90.0, 0.0},
        {"A name of exactly thirty-one ch", "1", "1", "1", 0, kManualSiteOk, "A name of exactly thirty-one ch", 1.0,
         1.0, 1.0},
        {"A name longer than thirty-one characters", "1", "1", "1", 0, kManualSiteOk,
         "A name longer than thirty-one c", 1.0, 1.0, 1.0},
        {"", "1", "1", "1", 0, kManualSiteNoName, "", 0, 0, 0},
        {"   ", "1", "1", "1", 0, kManualSiteNoName, "", 0, 0, 0},
        {"Rock & Roll", "1", "1", "1", 0, kManualSiteBadName, "", 0, 0, 0},
        {"com1", "1", "1", "1", 0, kManualSiteBadName, "", 0, 0, 0},
        {"Far", "180:00:01", "1", "1", 0, kManualSiteBadLongitude, "", 0, 0, 0},
        {"Far", "12h 30m", "1", "1", 0, kManualSiteBadLongitude, "", 0, 0, 0},
        {"Far", "1", "90.01", "1", 0, kManualSiteBadLatitude, "", 0, 0, 0},
        {"Far", "1", "n/a", "1", 0, kManualSiteBadLatitude, "", 0, 0, 0},
        // Typed forms the picker takes are taken here too; text that holds no
        // number is refused, never stored as 0 degrees.
        {"Blanks", "74 00 21", "40 00 00", "10", 0, kManualSiteOk, "Blanks", 74.0 + 21.0 / 3600.0, 40.0, 10.0},
        {"Signed", "-74 0 21.5", "+41 16 09", "10", 0, kManualSiteOk, "Signed", -(74.0 + 21.5 / 3600.0),
         41.0 + 16.0 / 60.0 + 9.0 / 3600.0, 10.0},
        {"Letters", "abc", "1", "1", 0, kManualSiteBadLongitude, "", 0, 0, 0},
        {"Hour mark", "12a", "1", "1", 0, kManualSiteBadLongitude, "", 0, 0, 0},
        {"Stray letter", "1", "N40", "1", 0, kManualSiteBadLatitude, "", 0, 0, 0},
        {"Cleared", "", "1", "1", 0, kManualSiteBadLongitude, "", 0, 0, 0},
        {"Cleared", "1", "  ", "1", 0, kManualSiteBadLatitude, "", 0, 0, 0},
    };
    for (const Case &c : cases) {
        ManualSiteFields fields;
        fields.name = c.name;
        fields.westLongitude = c.longitude;
        fields.latitude = c.latitude;
        fields.elevation = c.elevation;
        fields.elevationInFeet = c.feet;
        ManualSite site;
        site.name = "untouched";
        EXPECT_EQ(ReadManualSiteFields(fields, &site), c.result) << c.name;
        if (c.result != kManualSiteOk) {
            EXPECT_EQ(site.name, "untouched") << c.name;
            EXPECT_STRNE(ManualSiteMessage(c.result), "") << c.name;
            continue;
        }
        EXPECT_EQ(site.name, c.storedName);
        EXPECT_NEAR(site.westLongitude, c.lon, 1e-9) << c.name;
        EXPECT_NEAR(site.latitude, c.lat, 1e-9) << c.name;
        EXPECT_NEAR(site.elevation, c.elev, 1e-9) << c.name;
    }
}

}  // namespace
