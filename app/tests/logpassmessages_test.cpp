// The final pass's word on a log store it cannot hold: a user folder that
// cannot be written is named before anything is imported.
#include "app/logpassmessages.h"

#include <gtest/gtest.h>

#include <string>

#include "core/userfolder.h"
#include "logstore/loglock.h"
#include "testutil/testutil.h"

TEST(LogPassMessages, AFolderThatCannotBeWrittenIsNamedBeforeThePass) {
    testutil::TempDir dir;
    // "log" is a plain file here: the log folder cannot be made, as in a
    // read-only user folder.
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("log"), "not a folder"));
    SetUserDataFolder(dir.path().c_str());
    EXPECT_EQ(BeginLogPass(), 0);
    EXPECT_EQ(LogPassActive(), 0);
    ASSERT_EQ(LastLogLockFailure(), kLogLockNotWritable);
    std::string text = LogPassRefusalText(LastLogLockFailure());
    EXPECT_NE(text.find(dir.path()), std::string::npos) << text;
    EXPECT_NE(text.find("cannot be written"), std::string::npos) << text;
    EXPECT_NE(LogPassRefusalText(kLogLockInUse).find("in use by another program"), std::string::npos);
    SetUserDataFolder("");
}
