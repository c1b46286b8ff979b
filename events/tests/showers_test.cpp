// Tests of the meteor-shower table, the peak dates against the published
// ones, the scan over a period (windows across 180 degrees of solar longitude
// and across the new year among them) and the finder's events.
#include "events/showers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "core/datapaths.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "ephem/tests/ephemfixture.h"
#include "events/eventdates.h"
#include "events/eventinsert.h"
#include "events/eventstore.h"
#include "testutil/testutil.h"
#include "visibility/criteria.h"

namespace {

const double kHour = 1.0 / 24.0;

// The generated table in a folder of its own ("" when it cannot be had).
std::string ShowerFolder() {
    static std::unique_ptr<testutil::TempDir> dir;
    static std::string folder;
    if (dir) return folder;
    dir.reset(new testutil::TempDir());
#ifdef _WIN32
    bool ok = false;
    const std::string bytes = testutil::ReadFileBytes(testutil::BuildDir() + "/demo/data/ref/showers.bin", &ok);
    if (!ok || !testutil::WriteFileBytes(dir->file("showers.bin"), bytes)) return folder;
#else
    const std::string command = "python3 \"" + testutil::SourceDir() + "/tools/gen_showers.py\" --out \"" +
                                dir->path() + "\" > /dev/null";
    if (testutil::SourceDir().empty() || std::system(command.c_str()) != 0) return folder;
#endif
    folder = dir->path() + "/";
    return folder;
}

// Record numbers by name.
std::map<std::string, int> ShowerNumbers() {
    std::map<std::string, int> out;
    int32_t n = 0;
    FileHandle f(OpenShowerTable(&n));
    ShowerRecord r;
    for (int32_t i = 0; f && i < n; ++i)
        if (ReadShowerRecord(f.get(), i, &r)) out[r.name] = i;
    return out;
}

class Showers : public ephemtest::GeneratedTables {
protected:
    void SetUp() override {
        ephemtest::GeneratedTables::SetUp();
        if (IsSkipped()) return;
        const std::string folder = ShowerFolder();
        if (folder.empty()) GTEST_SKIP() << "no shower table";
        SetRefDirectories(folder.c_str(), folder.c_str(), folder.c_str());
        SetUserDataFolder(user_.path().c_str());
        EnsureDirectory(user_.file("events").c_str());
        numbers_ = ShowerNumbers();
    }
    void TearDown() override {
        SetUserDataFolder("");
        ephemtest::GeneratedTables::TearDown();
    }
    // Peak events of a period per shower name.
    std::map<std::string, std::vector<double>> Peaks(double from, double span) {
        std::map<std::string, std::vector<double>> out;
        ShowerScan scan;
        DateRecord start;
        SetCompletedDate(nullptr, from, &start);
        EXPECT_EQ(BeginShowerScan(&scan, &start, span), 1);
        ShowerRecord r;
        DateRecord peak;
        int32_t n;
        int result, guard = 0;
        while ((result = NextShowerPeak(&scan, &r, &peak, &n)) == 1 && guard++ < 1000) {
            const double jd = peak.julianDate;
            out[r.name].push_back(jd);
        }
        EXPECT_EQ(result, 0);
        EXPECT_EQ(scan.file, nullptr);
        return out;
    }
    testutil::TempDir user_;
    std::map<std::string, int> numbers_;
};

// Peaks of 2024 against the published dates: the IMO Meteor Shower Calendar
// gives the Quadrantids Jan 4 09h, Lyrids Apr 22 07h, Perseids Aug 12 13-16h,
// Leonids Nov 17 11h and Geminids Dec 14 01h UT; the times below are when
// python3-ephem's Sun reaches the peak longitude (J2000.0).
TEST_F(Showers, PeakDatesMatchThePublishedCalendar) {
    struct Case {
        const char *name;
        int year;
        double expected;
    } cases[] = {
        {"Quadrantids", 2023, 2460313.87451},  // the window opens in December
        {"Lyrids", 2024, 2460422.80180},
        {"Perseids", 2024, 2460535.07125},
        {"Daytime Sextantids", 2024, 2460582.49723},
        {"Leonids", 2024, 2460631.98122},
        {"Geminids", 2024, 2460658.55985},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(numbers_.count(c.name));
        ShowerRecord r;
        DateRecord peak;
        const int passes = GetShowerPeak(numbers_[c.name], c.year, &r, &peak);
        EXPECT_GE(passes, 1);
        EXPECT_LE(passes, 50);
        EXPECT_NEAR(+peak.julianDate, c.expected, 0.5 * kHour);
    }
    ShowerRecord r;
    DateRecord peak;
    EXPECT_EQ(GetShowerPeak(10000, 2024, &r, &peak), 0);
}

TEST_F(Showers, ScanFindsEachPeakOnceAndAcrossTheYearAnd180Degrees) {
    // August 2024: the Perseids once.
    auto august = Peaks(JulianDateFromCalendar(8, 1, 2024, 0), 31);
    EXPECT_EQ(august["Perseids"].size(), 1u);
    EXPECT_EQ(august.count("Geminids"), 0u);
    // Two years and a bit: one Perseid peak a year.
    auto years = Peaks(JulianDateFromCalendar(1, 1, 2023, 0), 800);
    ASSERT_EQ(years["Perseids"].size(), 2u);
    EXPECT_NEAR(years["Perseids"][1] - years["Perseids"][0], 365.25, 1.0);
    // A window opening at 166 degrees with its peak at 186: found in its own year.
    auto autumn = Peaks(JulianDateFromCalendar(9, 1, 2024, 0), 60);
    ASSERT_EQ(autumn["Daytime Sextantids"].size(), 1u);
    EXPECT_NEAR(autumn["Daytime Sextantids"][0], 2460582.49723, kHour);
    ASSERT_EQ(autumn["Southern Taurids"].size(), 1u);
    // January 2025: the Quadrantids, whose window opened in December 2024.
    auto january = Peaks(JulianDateFromCalendar(1, 1, 2025, 0), 31);
    ASSERT_EQ(january["Quadrantids"].size(), 1u);
    EXPECT_NEAR(january["Quadrantids"][0], 2460679.12847, kHour);
}

TEST_F(Showers, FinderStoresOnePeakAndRecomputingReplacesIt) {
    std::unique_ptr<EventFileHeader> h(NewEventFileHeader());
    InitLocationRecord(&h->site, 1.3, 0.7, 200.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, 1.0, "Shower site");
    h->start = JulianDateFromCalendar(8, 1, 2024, 0);
    for (VisibilityCriteria &c : h->criteria) InitVisibilityCriteria(&c);
    DateRecord start;
    SetCompletedDate(&h->site, h->start, &start);
    int added[2];
    for (int run = 0; run < 2; ++run) {
        FileHandle f(StoreEventFileHeader(h.get()));
        ASSERT_TRUE(f);
        added[run] = FindShowerPeaks(h.get(), f.get(), nullptr, &start, 31, 0);
    }
    EXPECT_GE(added[0], 1);
    EXPECT_EQ(added[1], 0);  // the same peaks, refreshed in place
    FileHandle r(OpenEventRecords(h.get()));
    int perseids = 0;
    EventRecord e;
    for (int i = 0; i < h->count; ++i) {
        ASSERT_EQ(ReadEvent(r.get(), i, &e), 1);
        EXPECT_EQ(+e.kind, kEventPhenomenon);
        EXPECT_EQ(+e.contacts[0].code, kCodeShowerPeak);
        EXPECT_EQ(+e.body1Class, 15);
        if (e.body1Index == numbers_["Perseids"]) {
            ++perseids;
            EXPECT_NEAR(+e.time, 2460535.07125, kHour);
        }
    }
    EXPECT_EQ(perseids, 1);
}

// From 40 degrees north: the Perseids' radiant stands high in a dark sky
// before dawn; the alpha Centaurids' never rises. A calendar's criteria have
// no optics, so the radiant's darkest high hour stands for its best time.
TEST_F(Showers, RadiantWellPlacedByTheCriteria) {
    std::unique_ptr<EventFileHeader> h(NewEventFileHeader());
    InitLocationRecord(&h->site, 1.3, 0.7, 200.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -5.0, "North");
    for (VisibilityCriteria &c : h->criteria) InitVisibilityCriteria(&c);
    h->criteria[1].altitudeCondition = kAltitudeAbove30;
    h->criteria[1].darknessCondition = kDarknessDark;
    h->criteria[2].windowFlags = kWindowStartApplies | kWindowEndApplies;  // 13:00 to 14:00 only
    h->criteria[2].startHour = 13.0f;
    h->criteria[2].endHour = 14.0f;
    ShowerRecord perseids, centaurids;
    DateRecord peak;
    ASSERT_GT(GetShowerPeak(numbers_["Perseids"], 2024, &perseids, &peak), 0);
    ASSERT_GT(GetShowerPeak(numbers_["alpha Centaurids"], 2024, &centaurids, &peak), 0);
    EXPECT_EQ(IsShowerWellPlaced(h.get(), nullptr, 2024, &perseids, 0), 1);
    EXPECT_EQ(IsShowerWellPlaced(h.get(), nullptr, 2024, &perseids, 1), 1);
    EXPECT_EQ(IsShowerWellPlaced(h.get(), nullptr, 2024, &perseids, 2), 0);
    EXPECT_EQ(IsShowerWellPlaced(h.get(), nullptr, 2024, &centaurids, 0), 0);
    EXPECT_EQ(IsShowerWellPlaced(h.get(), nullptr, 2024, &perseids, 4), 0);  // no such criteria
}

TEST_F(Showers, MissingTableAndUnterminatedNames) {
    testutil::TempDir empty;
    const std::string folder = empty.path() + "/";
    SetRefDirectories(folder.c_str(), folder.c_str(), folder.c_str());
    int32_t n = 7;
    EXPECT_EQ(OpenShowerTable(&n), nullptr);
    EXPECT_EQ(n, 0);
    ShowerScan scan;
    DateRecord start;
    SetCompletedDate(nullptr, 2460500.5, &start);
    EXPECT_EQ(BeginShowerScan(&scan, &start, 30), 0);
    std::unique_ptr<EventFileHeader> h(NewEventFileHeader());
    InitLocationRecord(&h->site, 1.3, 0.7, 200.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, 1.0, "No table");
    FileHandle f(StoreEventFileHeader(h.get()));
    EXPECT_EQ(FindShowerPeaks(h.get(), f.get(), nullptr, &start, 30, 0), 0);
    // A name filling all 25 bytes, and a count larger than the records there.
    std::string bytes("\x05\0\0\0", 4);
    ShowerRecord r;
    std::memset(&r, 0, sizeof r);
    std::memset(r.name, 'X', sizeof r.name);
    r.startMonth = r.endMonth = 8;
    r.startDay = 1;
    r.endDay = 20;
    bytes.append(reinterpret_cast<const char *>(&r), sizeof r);
    ASSERT_TRUE(testutil::WriteFileBytes(empty.file("showers.bin"), bytes));
    FileHandle table(OpenShowerTable(&n));
    ASSERT_TRUE(table);
    EXPECT_EQ(n, 1);
    ShowerRecord back;
    ASSERT_EQ(ReadShowerRecord(table.get(), 0, &back), 1);
    EXPECT_EQ(std::strlen(back.name), 24u);
    EXPECT_EQ(ReadShowerRecord(table.get(), 1, &back), 0);
}

}  // namespace
