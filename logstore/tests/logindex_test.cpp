// Log index files: order, re-insert, removal, damaged counts, file-safe names
// and the night rule across time zones and daylight saving.
#include "logstore/logindex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "logstore/tests/logfixture.h"
#include "objects/objectrecord.h"

using namespace logtest;

namespace {
ObjectRecord Obj(int cls, int32_t index, uint32_t bits) {
    ObjectRecord o;
    ClearObjectRecord(&o);
    o.objectClass = static_cast<uint8_t>(cls);
    o.index = index;
    o.categoryBits = bits;
    return o;
}
// {key, folder, number} triples of the counted entries, from the raw bytes.
std::vector<std::vector<int32_t>> Entries(const std::string &path) {
    std::string b = testutil::ReadFileBytes(path);
    std::vector<std::vector<int32_t>> out;
    for (int i = 0; i < I32(b, 0); ++i)
        out.push_back({I32(b, 4 + 12 * i), I32(b, 8 + 12 * i), I32(b, 12 + 12 * i)});
    return out;
}
}  // namespace

TEST(LogIndex, InsertKeepsFolderThenKeyOrder) {
    Store store;
    std::string path = ClassIndexPath(4);
    ASSERT_EQ(path, store.log("class/04.idx"));
    ObjectRecord galaxy = Obj(6, 1, 0x100), star50 = Obj(5, 50, 0x10), star10 = Obj(5, 10, 0x10),
                 star30 = Obj(5, 30, 0x10), star90 = Obj(5, 90, 0x10), userStar = Obj(12, 2, 0x10);
    ASSERT_EQ(InsertIndexEntry(path, &star50, 0), 1);  // into an absent file
    ASSERT_EQ(InsertIndexEntry(path, &galaxy, 1), 1);  // folder 5 after every star
    ASSERT_EQ(InsertIndexEntry(path, &star10, 2), 1);  // before
    ASSERT_EQ(InsertIndexEntry(path, &userStar, 3), 1);  // user key after the catalogue keys
    ASSERT_EQ(InsertIndexEntry(path, &star30, 4), 1);  // between
    ASSERT_EQ(InsertIndexEntry(path, &star90, 5), 1);  // after the last star
    ASSERT_EQ(InsertIndexEntry(path, &star30, 9), 1);  // re-insert: only the number changes
    ASSERT_EQ(InsertIndexEntry(path, &star30, 7, true), 1);  // repair: a present object keeps its number
    EXPECT_EQ(InsertIndexEntry(path, &star30, -1), 0);
    std::vector<std::vector<int32_t>> want = {{10, 4, 2}, {30, 4, 9},         {50, 4, 0},
                                              {90, 4, 5}, {0x40000002, 4, 3}, {1, 5, 1}};
    EXPECT_EQ(Entries(path), want);
    EXPECT_EQ(testutil::ReadFileBytes(path).size(), 4u + 6u * 12u);

    int32_t count = -1;
    FILE *f = OpenClassIndex(4, &count);
    ASSERT_TRUE(f);
    EXPECT_EQ(count, 6);
    LogIndexEntry e;
    EXPECT_EQ(ReadIndexEntry(f, FindIndexEntry(f, 4, 0x40000002, nullptr), &e), 2);
    EXPECT_EQ(+e.key, 2);
    EXPECT_EQ(ReadIndexEntry(f, FindIndexEntry(f, 5, 1, nullptr), &e), 1);
    EXPECT_EQ(FindIndexEntry(f, 4, 31, nullptr), -1);
    EXPECT_EQ(ReadIndexEntry(f, -1, &e), 0);
    std::fclose(f);
    EXPECT_LT(FindIndexEntry(nullptr, 4, 31, nullptr), -1);
}

TEST(LogIndex, RemovalAndDeleteIfEmptyRemovesTheFile) {
    Store store;
    ObjectRecord a = Obj(5, 1, 0x10), b = Obj(5, 2, 0x10);
    std::string path = NightIndexPath(2009, 7, 20);
    ASSERT_EQ(path, store.log("night/20090720.idx"));
    ASSERT_EQ(InsertIndexEntry(path, &a, 0), 1);
    ASSERT_EQ(InsertIndexEntry(path, &b, 1), 1);
    EXPECT_EQ(EraseIndexEntry(path, &a), 1);
    EXPECT_EQ(EraseIndexEntry(path, &a), 0);  // absent
    std::vector<std::vector<int32_t>> want = {{2, 4, 1}};
    EXPECT_EQ(Entries(path), want);
    DeleteNightIndexIfEmpty(2009, 7, 20);
    EXPECT_TRUE(testutil::PathIsThere(path));
    EXPECT_EQ(EraseIndexEntry(path, &b), 1);
    EXPECT_EQ(testutil::ReadFileBytes(path), std::string(4, '\0'));
    DeleteNightIndexIfEmpty(2009, 7, 20);
    EXPECT_FALSE(testutil::PathIsThere(path));
}

// Index files as failed writes of older versions and damage left them: the
// count is never trusted beyond the file's length, and the next write
// repairs the file.
TEST(LogIndex, DamagedCountsAreCutToTheFileAndRepairedByTheNextWrite) {
    Store store;
    std::string path = ClassIndexPath(4);
    ObjectRecord s30 = Obj(5, 30, 0x10);
    auto entry = [](int32_t key, int32_t number) {
        std::string b(12, '\0');
        int32_t v[3] = {key, 4, number};
        std::memcpy(&b[0], v, 12);
        return b;
    };
    auto count = [](int32_t n) { return std::string(reinterpret_cast<const char *>(&n), 4); };
    std::vector<LogIndexEntry> read;
    struct Case {
        const char *what;
        std::string bytes;
        size_t entries;  // what a reader takes
    };
    const Case cases[] = {
        {"a 0-byte file (a failed write of a new index's count)", "", 0},
        {"a count of 2 billion in a file of two entries", count(2000000000) + entry(10, 0) + entry(20, 1), 2},
        {"a negative count", count(-5) + entry(10, 0), 1},
        {"entries out of order and twice, with a count beyond them",
         count(9) + entry(20, 1) + entry(10, 0) + entry(20, 1), 2},
        {"a whole count and a stale tail", count(1) + entry(10, 0) + entry(10, 0), 1},
        {"a whole count over entries out of order", count(2) + entry(20, 1) + entry(10, 0), 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(testutil::WriteFileBytes(path, c.bytes));
        ASSERT_EQ(ReadIndexFile(path, &read), 1);
        EXPECT_EQ(read.size(), c.entries);
        for (size_t i = 1; i < read.size(); ++i) EXPECT_LT(read[i - 1].key, read[i].key);
        int32_t n = -1;
        FILE *f = OpenClassIndex(4, &n);
        ASSERT_TRUE(f);
        EXPECT_LE(4 + 12 * (size_t)n, c.bytes.size() < 4 ? 4 : c.bytes.size());  // cut to the file
        EXPECT_GE(FindIndexEntry(f, 4, 99, nullptr), -1);  // searched within the file only
        std::fclose(f);
        // The next add writes a sound file holding what was there and the new object.
        ASSERT_EQ(InsertIndexEntry(path, &s30, 5), 1);
        std::string b = testutil::ReadFileBytes(path);
        EXPECT_EQ(b.size(), 4 + 12 * (c.entries + 1));
        EXPECT_EQ(I32(b, 0), (int32_t)(c.entries + 1));
    }
}

TEST(LogIndex, OpenersRefuseBadArgumentsAndEncodeNames) {
    Store store;
    int32_t count = 0;
    EXPECT_EQ(OpenClassIndex(-1, &count), nullptr);
    EXPECT_EQ(OpenConstellationIndex(89, &count), nullptr);
    EXPECT_EQ(OpenConstellationIndex(-1, &count), nullptr);
    EXPECT_EQ(OpenObserverIndex("", &count), nullptr);
    EXPECT_EQ(OpenLocationIndex(nullptr, &count), nullptr);
    char name[] = "Ridge/North: 2";
    FILE *f = OpenLocationIndex(name, &count);
    ASSERT_TRUE(f);
    std::fclose(f);
    EXPECT_STREQ(name, "Ridge/North: 2");  // the caller's name is not encoded in place
    EXPECT_TRUE(testutil::PathIsThere(store.log("loc/Ridge&North@ 2.idx")));
    f = OpenConstellationIndex(88, &count);
    ASSERT_TRUE(f);
    std::fclose(f);
    EXPECT_TRUE(testutil::PathIsThere(store.log("cons/88.idx")));
    DeleteLocationIndexIfEmpty(name);
    EXPECT_FALSE(testutil::PathIsThere(store.log("loc/Ridge&North@ 2.idx")));
}

TEST(LogIndex, NightIsTheLocalDateTwelveHoursEarlier) {
    LocationRecord dstAlways = MakeSite("Summer", 1.0);
    dstAlways.dstMode = 1;
    dstAlways.dst.shift = 1.0f;
    // North American rule: from the second Sunday of March (8 March 2009) to
    // the first Sunday of November, 2:00 local standard time.
    LocationRecord mountain = MakeSite("Mesa", -7.0);
    mountain.dstMode = 2;
    mountain.dst.shift = 1.0f;
    mountain.dst.startHour = 2.0f;
    mountain.dst.endHour = 2.0f;
    mountain.dst.startWeekday = 0;
    mountain.dst.endWeekday = 0;
    mountain.dst.startWeek = 1;
    mountain.dst.endWeek = 0;
    mountain.dst.startMonth = 3;
    mountain.dst.endMonth = 11;
    LocationRecord east10 = MakeSite("Far East", 10.0), utc = MakeSite("Zero", 0.0),
                   west7 = MakeSite("West", -7.0);
    struct Case {
        const LocationRecord *site;
        int month, day;
        double utHours;  // UT of the observation on that date
        int night;       // yyyymmdd
    } cases[] = {
        {&utc, 7, 21, 1.5, 20090720},        // 01:30 local: the night before
        {&utc, 7, 21, 12.0, 20090721},       // 12:00 local: a new night
        {&utc, 7, 21, 11.99, 20090720},
        {&east10, 7, 20, 15.5, 20090720},    // 01:30 on 21 July at zone +10
        {&east10, 7, 21, 2.0, 20090721},     // 12:00 on 21 July at zone +10
        {&west7, 7, 21, 8.5, 20090720},      // 01:30 on 21 July at zone -7
        {&west7, 7, 21, 19.0, 20090721},     // 12:00 on 21 July at zone -7
        {&dstAlways, 7, 21, 10.5, 20090721}, // 12:30 summer time (11:30 standard)
        {&dstAlways, 7, 21, 9.5, 20090720},  // 11:30 summer time
        {&mountain, 3, 8, 18.5, 20090308},   // 12:30 MDT, after the change that morning
        {&mountain, 3, 7, 18.5, 20090306},   // 11:30 MST the day before
        {&mountain, 3, 8, 8.5, 20090307},    // 01:30 MST, before the change
    };
    for (const Case &c : cases) {
        int y = 0, m = 0, d = 0;
        GetNightOfObservation(c.site, JulianDateFromCalendar(c.month, c.day, 2009, c.utHours), &y, &m, &d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.night)
            << c.site->name << " " << c.month << "/" << c.day << " " << c.utHours << " UT";
    }
}
