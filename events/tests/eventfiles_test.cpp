// Tests of a site's event-file names, the existence test and the deletion that
// the site dialogs run when a site is deleted.
#include "events/eventfiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "astro/location.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "testutil/testutil.h"

namespace {

using testutil::PathIsThere;
using testutil::WriteFileBytes;

LocationRecord NamedSite(const char *name) {
    LocationRecord r;
    std::memset(&r, 0, sizeof r);
    InitLocationRecord(&r, 1.0, 0.6, 100.0, 6.5, 0.0, 15.0, 50.0, 2, 0.0, -5.0, name);
    return r;
}

class EventFiles : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir_.path().c_str());
        EnsureDirectory(dir_.file("events").c_str());
    }
    void TearDown() override { SetUserDataFolder(""); }
    testutil::TempDir dir_;
};

TEST_F(EventFiles, PathsUseTheSafeNameAndTheCalendarSuffix) {
    LocationRecord site = NamedSite("Mt. Hope/West");
    char path[600];
    ASSERT_EQ(MakeEventFilePath(&site, 0, path, sizeof path), 1);
    EXPECT_EQ(std::string(path), dir_.path() + "/events/Mt] Hope&West.bin");
    ASSERT_EQ(MakeEventFilePath(&site, 1, path, sizeof path), 1);
    EXPECT_EQ(std::string(path), dir_.path() + "/events/Mt] Hope&WestCE.bin");
    // The caller's name is not encoded in place.
    EXPECT_STREQ(site.name, "Mt. Hope/West");
    // No file name for an empty name, a device name or a short buffer.
    LocationRecord empty = NamedSite("");
    LocationRecord device = NamedSite("con");
    EXPECT_EQ(MakeEventFilePath(&empty, 0, path, sizeof path), 0);
    EXPECT_EQ(MakeEventFilePath(&device, 0, path, sizeof path), 0);
    EXPECT_EQ(MakeEventFilePath(&site, 0, path, 10), 0);
    EXPECT_STREQ(path, "");
}

TEST_F(EventFiles, EitherFileCountsAndDeletionRemovesBoth) {
    LocationRecord site = NamedSite("Home");
    LocationRecord other = NamedSite("HomeCE2");
    EXPECT_EQ(EventFilesExist(&site), 0);
    // Only the calendar file.
    ASSERT_TRUE(WriteFileBytes(dir_.file("events/HomeCE.bin"), "x"));
    EXPECT_EQ(EventFilesExist(&site), 1);
    // Only the search file.
    ASSERT_TRUE(WriteFileBytes(dir_.file("events/Home.bin"), "x"));
    std::remove(dir_.file("events/HomeCE.bin").c_str());
    EXPECT_EQ(EventFilesExist(&site), 1);
    // Both, then delete; another site's files stay.
    ASSERT_TRUE(WriteFileBytes(dir_.file("events/HomeCE.bin"), "x"));
    ASSERT_TRUE(WriteFileBytes(dir_.file("events/HomeCE2.bin"), "x"));
    EXPECT_EQ(DeleteEventFiles(&site), 1);
    EXPECT_FALSE(PathIsThere(dir_.file("events/Home.bin")));
    EXPECT_FALSE(PathIsThere(dir_.file("events/HomeCE.bin")));
    EXPECT_TRUE(PathIsThere(dir_.file("events/HomeCE2.bin")));
    EXPECT_EQ(EventFilesExist(&site), 0);
    EXPECT_EQ(EventFilesExist(&other), 1);
    // Deleting again, with nothing there, still answers 1.
    EXPECT_EQ(DeleteEventFiles(&site), 1);
}

TEST_F(EventFiles, UnsetFolderFindsNothing) {
    SetUserDataFolder("");
    LocationRecord site = NamedSite("Home");
    EXPECT_EQ(EventFilesExist(&site), 0);
    EXPECT_EQ(DeleteEventFiles(&site), 1);
}

}  // namespace
