// Log index files: order, re-insert, removal, file-safe names and the night
// rule across time zones and daylight saving.
#include "logstore/logindex.h"

#include <gtest/gtest.h>

#include <cstdio>
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
    int32_t count = -1;
    FILE *f = OpenClassIndex(4, &count);
    ASSERT_TRUE(f);
    EXPECT_EQ(count, 0);
    ObjectRecord galaxy = Obj(6, 1, 0x100), star50 = Obj(5, 50, 0x10), star10 = Obj(5, 10, 0x10),
                 star30 = Obj(5, 30, 0x10), star90 = Obj(5, 90, 0x10), userStar = Obj(12, 2, 0x10);
    ASSERT_EQ(AddIndexEntry(f, &star50, 0), 1);  // into an empty file
    ASSERT_EQ(AddIndexEntry(f, &galaxy, 1), 1);  // folder 5 after every star
    ASSERT_EQ(AddIndexEntry(f, &star10, 2), 1);  // before
    ASSERT_EQ(AddIndexEntry(f, &userStar, 3), 1);  // user key after the catalogue keys
    ASSERT_EQ(AddIndexEntry(f, &star30, 4), 1);  // between
    ASSERT_EQ(AddIndexEntry(f, &star90, 5), 1);  // after the last star
    ASSERT_EQ(AddIndexEntry(f, &star30, 9), 1);  // re-insert: only the number changes
    EXPECT_EQ(AddIndexEntry(f, &star30, -1), 0);
    std::fclose(f);
    std::vector<std::vector<int32_t>> want = {{10, 4, 2}, {30, 4, 9},         {50, 4, 0},
                                              {90, 4, 5}, {0x40000002, 4, 3}, {1, 5, 1}};
    EXPECT_EQ(Entries(store.log("class/04.idx")), want);

    f = OpenClassIndex(4, &count);
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

TEST(LogIndex, RemovalKeepsLengthAndDeleteIfEmptyRemovesTheFile) {
    Store store;
    int32_t count = 0;
    ObjectRecord a = Obj(5, 1, 0x10), b = Obj(5, 2, 0x10);
    FILE *f = OpenNightIndex(2009, 7, 20, &count);
    ASSERT_TRUE(f);
    AddIndexEntry(f, &a, 0);
    AddIndexEntry(f, &b, 1);
    EXPECT_EQ(RemoveIndexEntry(f, &a), 1);
    EXPECT_EQ(RemoveIndexEntry(f, &a), 0);  // absent
    std::fclose(f);
    std::string path = store.log("night/20090720.idx");
    std::vector<std::vector<int32_t>> want = {{2, 4, 1}};
    EXPECT_EQ(Entries(path), want);
    DeleteNightIndexIfEmpty(2009, 7, 20);
    EXPECT_TRUE(testutil::PathIsThere(path));
    f = OpenNightIndex(2009, 7, 20, &count);
    EXPECT_EQ(RemoveIndexEntry(f, &b), 1);
    std::fclose(f);
    EXPECT_EQ(testutil::ReadFileBytes(path).size(), 4u + 24u);
    EXPECT_EQ(I32(testutil::ReadFileBytes(path), 0), 0);
    DeleteNightIndexIfEmpty(2009, 7, 20);
    EXPECT_FALSE(testutil::PathIsThere(path));
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
