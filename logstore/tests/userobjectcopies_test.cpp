// Refreshing an edited user object's copies: the note in a notes group and
// the log entry file both carry the new definition; catalogue classes are
// refused.
#include "logstore/userobjectcopies.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/grouplist.h"
#include "logstore/logadd.h"
#include "logstore/tests/logfixture.h"
#include "minorbodies/usercatalogs.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/notestore.h"

using namespace logtest;

namespace {
const double kJd = 2455033.5;

// Renames the first user star in place (record 0 from byte 6, name at 14).
void RenameFirstUserStar(const Store &store, const char *name) {
    std::string file = testutil::ReadFileBytes(store.dir.file("stellar.bin"));
    ASSERT_GE(file.size(), 6u + 47u);
    std::memset(&file[6 + 14], 0, 33);
    std::memcpy(&file[6 + 14], name, std::strlen(name));
    testutil::WriteFileBytes(store.dir.file("stellar.bin"), file);
}
}  // namespace

TEST(UserObjectCopies, NoteAndLogEntryTakeTheEditedDefinition) {
    Store store;
    GroupRecord group;
    ASSERT_GE(AddGroup(kGroupNotes, "Default", &group), 0);
    FILE *stars = OpenUserStarFile(nullptr);
    ASSERT_TRUE(stars);
    UserStarRecord star;
    std::memset(&star, 0, sizeof star);
    std::strcpy(star.name, "Old Name");
    ASSERT_EQ(AppendUserStarRecord(stars, &star), 1);
    std::fclose(stars);

    ObjectRecord record;
    ClearObjectRecord(&record);
    record.objectClass = kClassUserStar;
    record.index = 1;
    record.categoryBits = 0x10;
    ASSERT_EQ(SetNote(0, &record, "", "seen", 0), 0);
    std::unique_ptr<LogEntry> e = MakeEntry(kClassUserStar, 1, 0x10, kJd);
    ASSERT_EQ(AddLogEntry(e.get(), "notes stay"), 0);

    RenameFirstUserStar(store, "New Name");
    EXPECT_EQ(RefreshUserObjectCopies(kClassUserStar, 0x10, 1), 1);
    std::string entry = testutil::ReadFileBytes(store.log("stars/00000000.bin"));
    ASSERT_GT(entry.size(), 330625u + 47u);
    EXPECT_EQ(std::string(entry.data() + 330625 + 14), "New Name");
    std::string note = testutil::ReadFileBytes(store.dir.file(
        std::string("notes/") + group.folder + "/stars/00000000.bin"));
    ASSERT_GT(note.size(), 87u + 47u);
    EXPECT_EQ(std::string(note.data() + 87 + 14), "New Name");

    // A catalogue class is refused before anything is touched.
    RenameFirstUserStar(store, "Third Name");
    EXPECT_EQ(RefreshUserObjectCopies(kClassStar, 0x10, 1), 0);
    EXPECT_EQ(testutil::ReadFileBytes(store.log("stars/00000000.bin")), entry);
}
