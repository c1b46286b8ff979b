// The final pass's word on a log store it cannot hold: a user folder that
// cannot be written is named before anything is imported, and a log folder
// removed during the pass is named with the number of entries truly stored.
#include "app/logpassmessages.h"

#include <gtest/gtest.h>

#include <string>

#include "app/entrycompletion.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "logstore/logadd.h"
#include "logstore/loglock.h"
#include "logstore/logpaths.h"
#include "logstore/tests/logfixture.h"
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

// Entries accepted by a pass whose log folder is then removed: the result
// names the folder and the number actually stored, never "N log entries
// sucessfully imported" for entries that are gone.
TEST(LogPassMessages, ALogFolderRemovedDuringThePassIsNamed) {
    logtest::Store store;
    logtest::FixedObjectServices services;
    for (int removed = 0; removed < 2; ++removed) {
        SCOPED_TRACE(removed ? "log folder removed" : "log folder kept");
        DeleteTree(store.dir.file("log").c_str());
        ForgetLogFolderState();
        ForgetLogFoldersMade();
        ImportPassTally tally;
        ASSERT_EQ(BeginLogPass(), 1);
        for (int i = 0; i < 3; ++i) {
            std::unique_ptr<LogEntry> e = logtest::MakeEntry(5, 100 + i, 0x10, 2455033.5 + i);
            int status = 0;
            int32_t number = AddLogEntryWithStatus(e.get(), "seen", &status);
            ASSERT_GE(number, 0);
            ++tally.added;
            tally.accepted.push_back({0x10, number});
            // The entries' class folder goes after the last entry, before the
            // pass ends (the whole log folder cannot go on Windows while the
            // pass holds its lock file open).
            if (removed && i == 2) {
                char path[kLogPathSize];
                MakeEntryFilePath(0x10, number, path);
                std::string folder(path);
                ASSERT_EQ(DeleteTree(folder.substr(0, folder.find_last_of("/\\")).c_str()), 1);
            }
        }
        EndLogPass();
        std::string text = FinalPassResultText(tally);
        if (!removed) {
            EXPECT_EQ(CountPassEntriesStored(tally), 3);
            EXPECT_EQ(text, "3 log entries sucessfully imported into Nightjar");
            continue;
        }
        int stored = CountPassEntriesStored(tally);
        EXPECT_EQ(stored, 0);
        EXPECT_EQ(text.find("sucessfully"), std::string::npos) << text;
        EXPECT_NE(text.find(store.dir.file("log")), std::string::npos) << text;
        EXPECT_NE(text.find("only " + std::to_string(stored) + " of the 3"), std::string::npos) << text;
    }
}
