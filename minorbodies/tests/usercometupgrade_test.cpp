// User comets of 130 bytes into 135-byte records and back, checked at the
// byte offsets of both layouts, and the whole old file with each step failed.
#include "minorbodies/usercometupgrade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/safefile.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

template <typename T>
void Put(std::string &b, size_t at, T v) {
    std::memcpy(&b[at], &v, sizeof v);
}

std::string OldComet(const char *name, const char *source) {
    std::string b(130, '\0');
    Put<uint16_t>(b, 0, 2);                 // periodic number
    b[2] = 'P';
    std::memcpy(&b[3], name, std::strlen(name));
    std::memcpy(&b[32], "1786 B1", 7);      // designation
    Put<int16_t>(b, 49, 17);                // object id
    Put<double>(b, 51, 0.2377);             // perihelion time
    Put<float>(b, 67, 0.336f);              // q
    Put<float>(b, 91, 4.0f);                // K
    Put<int16_t>(b, 95, 120);               // coma diameter
    std::memcpy(&b[97], source, std::strlen(source));
    return b;
}

}  // namespace

TEST(UserCometUpgrade, RecordsGainTheCondensationAndComeBackWhole) {
    const std::string old = OldComet("Encke", "MPC 12345");
    CometRecord r;
    std::memset(&r, 0xCD, sizeof r);
    ASSERT_EQ(ConvertOldUserCometRecord(reinterpret_cast<const uint8_t *>(old.data()), &r), 1);
    std::string n(reinterpret_cast<const char *>(&r), sizeof r);
    EXPECT_EQ(n.substr(0, 97), old.substr(0, 97));
    EXPECT_EQ(n[97], 4);                                  // degree of condensation
    EXPECT_EQ(n.substr(98, 4), std::string(4, '\0'));
    EXPECT_STREQ(&n[102], "MPC 12345");
    EXPECT_STREQ(r.name, "Encke");

    uint8_t back[130];
    ASSERT_EQ(ConvertUserCometRecordToOld(&r, back), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(back), 130), old);
    EXPECT_EQ(ConvertOldUserCometRecord(nullptr, &r), 0);

    // A source text without its terminator is cut at its field.
    std::string full = OldComet("Encke", "");
    std::memset(&full[97], 's', 33);
    ASSERT_EQ(ConvertOldUserCometRecord(reinterpret_cast<const uint8_t *>(full.data()), &r), 1);
    EXPECT_EQ(std::string(r.source), std::string(32, 's'));
}

TEST(UserCometUpgrade, WholeFile) {
    testutil::TempDir dir;
    std::string old(4, '\0');
    Put<int16_t>(old, 0, 2);   // count
    Put<int16_t>(old, 2, 18);  // last id
    old += OldComet("Encke", "a") + OldComet("Tempel", "b");
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("comet.old"), old));
    ASSERT_EQ(UpgradeUserCometFile(dir.file("comet.old").c_str(), dir.file("comet.bin").c_str()), 1);
    std::string n = testutil::ReadFileBytes(dir.file("comet.bin"));
    ASSERT_EQ(n.size(), 4 + 2 * 135u);
    EXPECT_EQ(n.substr(0, 4), old.substr(0, 4));
    EXPECT_STREQ(&n[4 + 135 + 3], "Tempel");
    EXPECT_STREQ(&n[4 + 135 + 102], "b");
    EXPECT_EQ(n[4 + 135 + 97], 4);

    FileHandle f(SafeOpen(dir.file("comet.old").c_str(), "rb"));
    CometRecord r;
    ASSERT_EQ(ReadOldUserCometRecord(f.get(), 1, &r), 1);
    EXPECT_STREQ(r.name, "Tempel");
    EXPECT_EQ(ReadOldUserCometRecord(f.get(), 2, &r), 0);

    Put<int16_t>(old, 0, 3);  // a count the file does not hold
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("cut.old"), old));
    EXPECT_EQ(UpgradeUserCometFile(dir.file("cut.old").c_str(), dir.file("cut.bin").c_str()), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("cut.bin")));

    Put<int16_t>(old, 0, 2);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("comet.old"), old));
    const std::string earlier = "an earlier upgrade";
    testutil::ForEachFailurePoint(
        [&] { testutil::WriteFileBytes(dir.file("comet.bin"), earlier); },
        [&] { return UpgradeUserCometFile(dir.file("comet.old").c_str(), dir.file("comet.bin").c_str()); },
        [&](const testutil::FailurePointRun &run) {
            EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
            EXPECT_EQ(testutil::ReadFileBytes(dir.file("comet.bin")), earlier) << testutil::DescribeFailurePoint(run);
        });
}
