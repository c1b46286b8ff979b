// Refiling an edited entry between index files, and rewriting a user object's
// entry files.
#include "logstore/logrefile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "logstore/logindex.h"
#include "logstore/logrewrite.h"
#include "logstore/tests/logfixture.h"
#include "minorbodies/usercatalogs.h"

using namespace logtest;

namespace {
const double kJd = 2455033.5;

// {key, number} of the counted entries of an index file; empty when absent.
std::vector<std::vector<int32_t>> Keys(const std::string &path) {
    std::vector<std::vector<int32_t>> out;
    if (!testutil::PathIsThere(path)) return out;
    std::string b = testutil::ReadFileBytes(path);
    for (int i = 0; i < I32(b, 0); ++i) out.push_back({I32(b, 4 + 12 * i), I32(b, 12 + 12 * i)});
    return out;
}
}  // namespace

TEST(LogRefile, MovesBetweenFilesOfEachKind) {
    Store store;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, kJd, "Ann", "Dob");
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 0);

    std::unique_ptr<LogEntry> edited = MakeEntry(5, 40, 0x10, kJd + 3, "Bob", "Refractor");
    std::strcpy(edited->site.name, "Cabin");
    EXPECT_EQ(RefileEntryObserver(edited.get(), 0, "Ann"), 1);
    EXPECT_EQ(RefileEntryInstrument(edited.get(), 0, &e->instrument), 1);
    EXPECT_EQ(RefileEntryLocation(edited.get(), 0, &e->site), 1);
    EXPECT_EQ(RefileEntryNight(edited.get(), 0, kJd), 1);
    typedef std::vector<std::vector<int32_t>> K;
    EXPECT_EQ(Keys(store.log("observer/Bob.idx")), (K{{40, 0}}));
    EXPECT_EQ(Keys(store.log("instrument/Refractor.idx")), (K{{40, 0}}));
    EXPECT_EQ(Keys(store.log("loc/Cabin.idx")), (K{{40, 0}}));
    EXPECT_EQ(Keys(store.log("night/20090723.idx")), (K{{40, 0}}));
    for (const char *gone : {"observer/Ann.idx", "instrument/Dob.idx", "loc/Home.idx", "night/20090720.idx"})
        EXPECT_FALSE(testutil::PathIsThere(store.log(gone))) << gone;
    // Absent from the old index: no failure, the new index still gets it.
    EXPECT_EQ(RefileEntryObserver(edited.get(), 0, "Nobody"), 1);
}

TEST(LogRefile, AnotherEntryKeepsTheObjectInTheOldIndex) {
    Store store;
    std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, kJd, "Ann");
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 0);
    e = MakeEntry(5, 40, 0x10, kJd + 0.01, "Ann");
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 1);
    // Entry 1 is edited to Bob: Ann's index keeps the object under entry 0.
    e->observer.name[0] = 0;
    std::strcpy(e->observer.name, "Bob");
    EXPECT_EQ(RefileEntryObserver(e.get(), 1, "Ann"), 1);
    typedef std::vector<std::vector<int32_t>> K;
    EXPECT_EQ(Keys(store.log("observer/Ann.idx")), (K{{40, 0}}));
    EXPECT_EQ(Keys(store.log("observer/Bob.idx")), (K{{40, 1}}));
}

TEST(LogRefile, OldNightAtTheOldSite) {
    Store store;
    // 2009 July 20, 23:30 UT: at zone +1 it is 00:30 on the 21st (night of
    // the 20th); at zone -7 16:30 on the 20th (night of the 20th); at zone +10
    // 09:30 on the 21st (night of the 20th as well, before noon).
    LocationRecord west = MakeSite("West", -7.0), far = MakeSite("Far", 10.0);
    double jd = JulianDateFromCalendar(7, 21, 2009, 10.5);  // +10: 20:30 on the 21st
    std::unique_ptr<LogEntry> e = MakeEntry(5, 40, 0x10, jd, "Ann", "Dob", &far);
    ASSERT_EQ(AddLogEntry(e.get(), nullptr), 0);
    EXPECT_TRUE(testutil::PathIsThere(store.log("night/20090721.idx")));
    // Edited: moved to the western site and one hour earlier; at the western
    // site the old time would fall on the night of the 20th, at its own site
    // it was the 21st.
    std::unique_ptr<LogEntry> edited = MakeEntry(5, 40, 0x10, jd - 1.0 / 24, "Ann", "Dob", &west);
    EXPECT_EQ(RefileEntryNight(edited.get(), 0, jd, &far), 1);
    EXPECT_FALSE(testutil::PathIsThere(store.log("night/20090721.idx")));
    EXPECT_TRUE(testutil::PathIsThere(store.log("night/20090720.idx")));
}

TEST(LogRewrite, UserObjectEntriesTakeTheCurrentDefinition) {
    Store store;
    int32_t count = 0;
    FILE *stars = OpenUserStarFile(&count);
    UserStarRecord star;
    std::memset(&star, 0, sizeof star);
    std::strcpy(star.name, "Old Name");
    ASSERT_EQ(AppendUserStarRecord(stars, &star), 1);
    std::fclose(stars);
    std::unique_ptr<LogEntry> e = MakeEntry(12, 1, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), "notes stay"), 0);

    // The star is renamed in place in stellar.bin (record 0 from byte 6).
    std::string file = testutil::ReadFileBytes(store.dir.file("stellar.bin"));
    std::memset(&file[6 + 14], 0, 33);
    std::memcpy(&file[6 + 14], "New Name", 8);
    testutil::WriteFileBytes(store.dir.file("stellar.bin"), file);
    EXPECT_EQ(RewriteUserObjectLogEntries(12, 0x10, 1), 1);
    std::string b = testutil::ReadFileBytes(store.log("stars/00000000.bin"));
    EXPECT_EQ(std::string(b.data() + 330625 + 14), "New Name");
    EXPECT_EQ(std::string(b.data() + 330625 + 47), "notes stay");
    EXPECT_EQ(RewriteUserObjectLogEntries(5, 0x10, 1), 0);

    // The star deleted from the file: the rewrite fails and the entry file stays whole.
    stars = OpenUserStarFile(&count);
    std::fclose(stars);
    testutil::WriteFileBytes(store.dir.file("stellar.bin"), std::string(6, '\0'));
    EXPECT_EQ(RewriteUserObjectLogEntries(12, 0x10, 1), 0);
    EXPECT_EQ(testutil::ReadFileBytes(store.log("stars/00000000.bin")), b);
}
