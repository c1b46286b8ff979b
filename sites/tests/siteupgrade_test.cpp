// First-generation sites: the 132-byte record into the current one (fixtures
// written at the old offsets), the limit held at 8.0 with its sky brightness,
// the defaults of the new fields, and the whole old store with its trailers.
#include "sites/siteupgrade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/safefile.h"
#include "photometry/skybright.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

template <typename T>
void Put(std::string &b, size_t at, T v) {
    std::memcpy(&b[at], &v, sizeof v);
}

// An old record and its trailer as one 135-byte slot.
std::string OldSlot(const char *name, double limit, uint8_t zone) {
    std::string b(135, '\0');
    Put<double>(b, 0, 1.25);    // longitude
    Put<double>(b, 8, 0.75);    // latitude
    Put<double>(b, 48, limit);  // naked-eye limit
    Put<double>(b, 56, 0.61);   // the two parallax terms
    Put<double>(b, 64, 0.79);
    Put<double>(b, 72, -5.0);   // time zone, hours
    b[80] = 4;                  // the daylight-saving block's first byte
    b[98] = 9;                  // and its last
    std::memcpy(&b[99], name, std::strlen(name));
    b[132] = static_cast<char>(zone);  // the trailer: named zone, feet, 0
    b[133] = 1;
    return b;
}

double At(const LocationRecord &s, size_t offset) {
    double v;
    std::memcpy(&v, reinterpret_cast<const uint8_t *>(&s) + offset, 8);
    return v;
}

}  // namespace

TEST(SiteUpgrade, OldRecordsGainTheNewFields) {
    struct Case {
        double oldLimit, limit;
    } cases[] = {{8.5, 8.0}, {8.0, 8.0}, {6.5, 6.5}, {3.0, 3.0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.oldLimit);
        std::string old = OldSlot("Hilltop", c.oldLimit, 1);
        LocationRecord s;
        std::memset(&s, 0xCD, sizeof s);
        ASSERT_EQ(ConvertOldLocationRecord(reinterpret_cast<const uint8_t *>(old.data()), &s), 1);
        EXPECT_EQ(At(s, 0), 1.25);
        EXPECT_EQ(At(s, 8), 0.75);
        EXPECT_EQ(At(s, 48), c.limit);
        // The sky brightness the limit stands for: the limit model gives the limit back.
        EXPECT_NEAR(ComputeNakedEyeLimit(At(s, 56)), c.limit, 0.01);
        EXPECT_EQ(At(s, 64), 18.3);                                  // temperature
        EXPECT_EQ(reinterpret_cast<const uint8_t *>(&s)[72], 0);     // display flags
        EXPECT_EQ(At(s, 73), 60.0);                                  // humidity
        EXPECT_EQ(reinterpret_cast<const uint8_t *>(&s)[81], 2);     // seeing rating
        EXPECT_EQ(At(s, 82), 0.0);                                   // seeing
        EXPECT_EQ(At(s, 90), 0.61);
        EXPECT_EQ(At(s, 98), 0.79);
        EXPECT_EQ(At(s, 106), -5.0);
        EXPECT_EQ(reinterpret_cast<const uint8_t *>(&s)[114], 4);
        EXPECT_EQ(reinterpret_cast<const uint8_t *>(&s)[132], 9);
        EXPECT_STREQ(s.name, "Hilltop");
    }
    EXPECT_EQ(ConvertOldLocationRecord(nullptr, nullptr), 0);
}

TEST(SiteUpgrade, WholeStoreKeepsItsTrailers) {
    testutil::TempDir dir;
    std::string old(2, '\0');
    Put<int16_t>(old, 0, 2);
    old += OldSlot("North", 5.5, 2) + OldSlot("South", 9.0, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("loc.old"), old));
    ASSERT_EQ(UpgradeLocationFile(dir.file("loc.old").c_str(), dir.file("loc.bin").c_str()), 1);
    std::string b = testutil::ReadFileBytes(dir.file("loc.bin"));
    const size_t slot = sizeof(LocationRecord) + sizeof(LocationTrailer);  // 169
    ASSERT_EQ(b.size(), 2 + 2 * slot);
    EXPECT_EQ(b[0], 2);
    EXPECT_STREQ(&b[2 + 133], "North");
    EXPECT_EQ(b[2 + 166], 2);       // trailer after the 166-byte record
    EXPECT_EQ(b[2 + 167], 1);
    EXPECT_STREQ(&b[2 + slot + 133], "South");
    EXPECT_EQ(b[2 + slot + 166], 4);
    double limit;
    std::memcpy(&limit, &b[2 + slot + 48], 8);
    EXPECT_EQ(limit, 8.0);

    FileHandle f(SafeOpen(dir.file("loc.old").c_str(), "rb"));
    LocationRecord s;
    LocationTrailer t;
    ASSERT_EQ(ReadOldLocationRecord(f.get(), 1, &s, &t), 1);
    EXPECT_STREQ(s.name, "South");
    EXPECT_EQ(t.namedZone, 4);
    EXPECT_EQ(ReadOldLocationRecord(f.get(), 2, &s, &t), 0);  // past the end

    // A count the file does not hold is refused, and no file is made.
    Put<int16_t>(old, 0, 3);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("cut.old"), old));
    EXPECT_EQ(UpgradeLocationFile(dir.file("cut.old").c_str(), dir.file("cut.bin").c_str()), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("cut.bin")));
}

TEST(SiteUpgrade, EachFailedStepLeavesNoNewStore) {
    testutil::TempDir dir;
    std::string old(2, '\0');
    Put<int16_t>(old, 0, 2);
    old += OldSlot("North", 5.5, 2) + OldSlot("South", 9.0, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("loc.old"), old));
    testutil::ForEachFailurePoint(
        [&] { std::remove(dir.file("loc.bin").c_str()); },
        [&] { return UpgradeLocationFile(dir.file("loc.old").c_str(), dir.file("loc.bin").c_str()); },
        [&](const testutil::FailurePointRun &run) {
            EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
            EXPECT_FALSE(testutil::PathIsThere(dir.file("loc.bin"))) << testutil::DescribeFailurePoint(run);
            EXPECT_EQ(testutil::ReadFileBytes(dir.file("loc.old")), old);
        });
}
