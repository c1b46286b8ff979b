// Backup, restore and merge of the notes store: which groups a backup holds,
// renumbering on restore, rollback at every failed step, refused backups,
// merge questions, times and groups matched by name.
#include "userdata/notebackup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "userdata/notestore.h"
#include "userdata/tests/notetestutil.h"

using notetest::Bytes;
using notetest::NotesStore;
using notetest::Obj;

namespace {

void Use(const NotesStore &store) { SetUserDataFolder(store.dir.path().c_str()); }

int Position(const char *name) {
    GroupRecord g;
    return FindGroupByName(kGroupNotes, name, &g) - 1;
}

int NoteOf(int group, ObjectRecord record) {
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(group, &lists)) return -2;
    int n = FindNoteInIndexLists(&lists, &record);
    FreeNoteIndexLists(&lists);
    return n;
}

std::string TextOf(int group, ObjectRecord record) {
    int n = NoteOf(group, record);
    NoteHeader header;
    std::string text;
    if (n < 0 || !ReadNoteFile(group, record.categoryBits, n, &header, &text)) return "<none>";
    return text;
}

// Every file under a folder with its bytes, by relative path.
void Snapshot(const std::string &folder, const std::string &prefix,
              std::map<std::string, std::string> *out) {
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return;
    for (const FsEntry &e : entries) {
        std::string p = folder + "/" + e.name;
        if (e.isFolder)
            Snapshot(p, prefix + e.name + "/", out);
        else
            (*out)[prefix + e.name] = Bytes(p);
    }
}

std::map<std::string, std::string> SnapshotOf(const std::string &folder) {
    std::map<std::string, std::string> out;
    Snapshot(folder, "", &out);
    return out;
}

// A store with groups "Default" (0) and "Second" (1), three notes.
void FillTwoGroups(NotesStore *store) {
    ASSERT_GT(AddGroup(kGroupNotes, "Second", nullptr), 0);
    ObjectRecord a = Obj(kClassGalaxy, 10), b = Obj(kClassGalaxy, 20), c = Obj(kClassStar, 7);
    ASSERT_EQ(SetNote(0, &a, "A", "alpha", 0), 0);
    ASSERT_EQ(SetNote(0, &b, "B", "beta", 1), 1);
    ASSERT_EQ(SetNote(1, &c, "C", "gamma", 2), 0);
    ASSERT_EQ(SetNote(0, &a, "", "", 0), 0);  // deleted: the next number is 2
    ASSERT_EQ(SetNote(0, &a, "A", "alpha again", 0), 2);
}

std::vector<std::string> FilesUnder(const std::string &folder) {
    std::vector<std::string> names;
    for (const auto &kv : SnapshotOf(folder)) names.push_back(kv.first);
    return names;
}

int g_asked = 0;
int g_answer = 0;
int Answer(const char *) {
    ++g_asked;
    return g_answer;
}

}  // namespace

TEST(NoteBackup, GroupChoiceAndNoIndexFiles) {
    NotesStore store;
    FillTwoGroups(&store);
    testutil::TempDir dest;
    ASSERT_EQ(BackupNotes(dest.path().c_str(), nullptr, 1), 1);
    std::vector<std::string> all = FilesUnder(dest.file("notes"));
    for (const std::string &name : all) EXPECT_EQ(name.find("index.bin"), std::string::npos) << name;
    EXPECT_EQ(std::count(all.begin(), all.end(), "groups.bin"), 1);
    EXPECT_EQ(all.size(), 4u);  // groups.bin and three notes (no register yet)

    testutil::TempDir second;
    ASSERT_EQ(BackupNotes(second.path().c_str(), nullptr, 3), 1);
    GroupRecord g;
    ASSERT_EQ(ReadGroup(kGroupNotes, &g, 1), 1);
    std::vector<std::string> one = FilesUnder(second.file("notes"));
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].substr(0, std::string(g.folder).size()), std::string(g.folder));
    EXPECT_EQ(one[1], "groups.bin");
    EXPECT_EQ(BackupNotes(second.path().c_str(), nullptr, 9), 0);  // no such group

    // The backup of an unnamed single group lacks the other group's folder:
    // restoring it would empty that group, so it is refused.
    std::map<std::string, std::string> before = SnapshotOf(store.notes);
    EXPECT_EQ(RestoreNotes(second.path().c_str(), nullptr, 3106), 0);
    EXPECT_EQ(SnapshotOf(store.notes), before);
}

TEST(NoteBackup, BackupNeverDeletesTheLiveStore) {
    NotesStore store;
    FillTwoGroups(&store);
    std::map<std::string, std::string> before = SnapshotOf(store.notes);
    // Unnamed into the user data folder itself: "<it>/notes" is the store.
    EXPECT_EQ(BackupNotes(store.dir.path().c_str(), nullptr, 1), 0);
    EXPECT_EQ(BackupNotes(store.notes.c_str(), "", 1), 0);  // inside it, no name
    EXPECT_EQ(SnapshotOf(store.notes), before);
    // Named into the user folder is a folder of its own and fine.
    EXPECT_EQ(BackupNotes(store.dir.path().c_str(), "x", 1), 1);
    EXPECT_EQ(SnapshotOf(store.notes), before);
}

TEST(NoteBackup, RestoreRenumbersFromZero) {
    NotesStore store;
    FillTwoGroups(&store);
    testutil::TempDir dest;
    ASSERT_EQ(BackupNotes(dest.path().c_str(), "Nov", 0), 1);
    // Changes after the backup are gone after the restore.
    ObjectRecord d = Obj(kClassQuasar, 1);
    ASSERT_EQ(SetNote(0, &d, "D", "delta", 0), 0);
    ASSERT_EQ(RestoreNotes(dest.path().c_str(), "nightjar backup Nov", 3106), 1);
    EXPECT_EQ(TextOf(0, Obj(kClassGalaxy, 10)), "alpha again");
    EXPECT_EQ(TextOf(0, Obj(kClassGalaxy, 20)), "beta");
    EXPECT_EQ(TextOf(1, Obj(kClassStar, 7)), "gamma");
    EXPECT_EQ(TextOf(0, d), "<none>");
    // Numbers from 0 in file order: 00000001.bin (beta), then 00000002.bin.
    EXPECT_EQ(NoteOf(0, Obj(kClassGalaxy, 20)), 0);
    EXPECT_EQ(NoteOf(0, Obj(kClassGalaxy, 10)), 1);
    EXPECT_TRUE(testutil::PathIsThere(store.dir.file("tmp/notes")));
    DeleteNotesSafetyCopy();
    EXPECT_FALSE(testutil::PathIsThere(store.dir.file("tmp/notes")));
    // A missing source changes nothing.
    std::map<std::string, std::string> before = SnapshotOf(store.notes);
    EXPECT_EQ(RestoreNotes(dest.path().c_str(), "nightjar backup None", 3106), 0);
    EXPECT_EQ(SnapshotOf(store.notes), before);
}

TEST(NoteBackup, BackupWithoutGroupListIsRefusedOnRestore) {
    NotesStore store;
    FillTwoGroups(&store);
    testutil::TempDir dest;
    ASSERT_EQ(BackupNotes(dest.path().c_str(), "B", 0), 1);
    ASSERT_TRUE(FsRemoveFile(dest.file("nightjar backup B/notes/groups.bin")));
    std::map<std::string, std::string> before = SnapshotOf(store.notes);
    EXPECT_EQ(RestoreNotes(dest.path().c_str(), "nightjar backup B", 3106), 0);
    EXPECT_EQ(SnapshotOf(store.notes), before);
}

TEST(NoteBackup, EveryFailedRestoreStepRollsBack) {
    // One group and one note keep the sweep short: every step of the restore
    // is failed in turn, each run a whole restore.
    NotesStore store;
    ObjectRecord a = Obj(kClassGalaxy, 10);
    ASSERT_EQ(SetNote(0, &a, "A", "alpha", 0), 0);
    testutil::TempDir dest;
    ASSERT_EQ(BackupNotes(dest.path().c_str(), "F", 0), 1);
    ObjectRecord d = Obj(kClassQuasar, 1);
    ASSERT_EQ(SetNote(0, &d, "D", "after the backup", 0), 0);
    testutil::TempDir saved;
    ASSERT_EQ(CopyTree(store.notes.c_str(), saved.file("notes").c_str()), 1);
    std::map<std::string, std::string> before = SnapshotOf(store.notes);
    auto prepare = [&] {
        DeleteTree(store.notes.c_str());
        CopyTree(saved.file("notes").c_str(), store.notes.c_str());
    };
    int steps = testutil::ForEachFailurePoint(
        prepare, [&] { return RestoreNotes(dest.path().c_str(), "nightjar backup F", 3106); },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            if (run.result == 1) {
                // Only the register's copy may fail without failing the restore.
                EXPECT_EQ(TextOf(0, a), "alpha");
                EXPECT_EQ(TextOf(0, d), "<none>");
            } else {
                EXPECT_EQ(run.result, 0);
                EXPECT_EQ(SnapshotOf(store.notes), before);
                EXPECT_FALSE(testutil::PathIsThere(store.dir.file("tmp/notes")));
            }
        });
    EXPECT_GT(steps, 5);
}

TEST(NoteBackup, EveryFailedBackupStepIsReported) {
    NotesStore store;
    FillTwoGroups(&store);
    testutil::TempDir dest;
    std::map<std::string, std::string> before = SnapshotOf(store.notes);
    testutil::ForEachFailurePoint(
        [&] { DeleteTree(dest.file("nightjar backup F").c_str()); },
        [&] { return BackupNotes(dest.path().c_str(), "F", 0); },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            if (run.result == 1) {
                // Only the register may be missing (there is none here).
                EXPECT_EQ(FilesUnder(dest.file("nightjar backup F/notes")).size(), 4u);
            }
            EXPECT_EQ(SnapshotOf(store.notes), before);
        });
}

TEST(NoteMerge, GroupsByNameTimesAndAnswers) {
    NotesStore here;
    ASSERT_GT(AddGroup(kGroupNotes, "Zulu", nullptr), 0);  // Default 0, Zulu 1
    ObjectRecord a = Obj(kClassGalaxy, 1), b = Obj(kClassGalaxy, 2), c = Obj(kClassGalaxy, 3);
    ObjectRecord s = Obj(kClassStar, 9);
    ASSERT_EQ(SetNote(0, &a, "A", "here a", 0), 0);
    ASSERT_EQ(SetNote(0, &b, "B", "here b", 0), 1);
    ASSERT_EQ(SetNote(0, &c, "C", "here c", 0), 2);
    ASSERT_EQ(SetNote(1, &s, "S", "here s", 0), 0);

    NotesStore there;  // Default, Alpha (new here, sorts first), Zulu
    ASSERT_GT(AddGroup(kGroupNotes, "Alpha", nullptr), 0);
    ASSERT_GT(AddGroup(kGroupNotes, "zulu", nullptr), 0);
    int thereDefault = Position("Default"), thereAlpha = Position("Alpha"), thereZulu = Position("zulu");
    ASSERT_EQ(SetNote(thereDefault, &a, "A", "there a", 0), 0);
    ASSERT_EQ(SetNote(thereDefault, &b, "B", "there b", 0), 1);
    ASSERT_EQ(SetNote(thereDefault, &c, "C", "there c", 0), 2);
    ObjectRecord newOne = Obj(kClassQuasar, 4);
    ASSERT_EQ(SetNote(thereDefault, &newOne, "N", "new", 0), 0);
    ASSERT_EQ(SetNote(thereAlpha, &newOne, "N", "alpha only", 0), 0);
    ASSERT_EQ(SetNote(thereZulu, &s, "S", "there s", 0), 0);
    GroupRecord g;
    ASSERT_EQ(ReadGroup(kGroupNotes, &g, thereDefault), 1);
    std::string defaultFolder = g.folder;

    // Times: a's note there is older than here; b, c and s are newer.
    auto setTime = [](const std::string &path, uint32_t high) {
        ASSERT_EQ(SetFileWriteTime(path.c_str(), FileTimeValue{0, 30780000u + high}), 1) << path;
    };
    std::string gal = there.notes + "/" + defaultFolder + "/galaxies/";
    setTime(gal + "00000000.bin", 100);
    setTime(gal + "00000001.bin", 300);
    setTime(gal + "00000002.bin", 300);
    ASSERT_EQ(ReadGroup(kGroupNotes, &g, thereZulu), 1);
    setTime(there.notes + "/" + g.folder + "/stars/00000000.bin", 300);
    Use(here);
    testutil::TempDir keep;
    ASSERT_EQ(CopyTree(here.notes.c_str(), keep.file("notes").c_str()), 1);
    // Puts the kept store back and gives its notes the time 200.
    auto reset = [&] {
        DeleteTree(here.notes.c_str());
        ASSERT_EQ(CopyTree(keep.file("notes").c_str(), here.notes.c_str()), 1);
        GroupRecord hg;
        ASSERT_EQ(ReadGroup(kGroupNotes, &hg, 0), 1);
        for (int i = 0; i < 3; ++i)
            setTime(here.notes + "/" + hg.folder + "/galaxies/0000000" + std::to_string(i) + ".bin", 200);
        ASSERT_EQ(ReadGroup(kGroupNotes, &hg, 1), 1);
        setTime(here.notes + "/" + hg.folder + "/stars/00000000.bin", 200);
    };
    reset();

    // Without a call-back nothing present is replaced; new notes come in.
    ASSERT_EQ(MergeOtherComputerNotes(there.dir.path().c_str(), 3106, nullptr, nullptr), 1);
    EXPECT_EQ(TextOf(Position("Default"), b), "here b");
    EXPECT_EQ(TextOf(Position("Default"), newOne), "new");

    // Answer 2 once: b and c replaced with one question; a (older) never
    // asked; the Zulu folder asks again; Alpha's note lands in Alpha, Zulu's
    // in Zulu although Alpha now comes before both.
    reset();
    g_asked = 0;
    g_answer = 2;
    ASSERT_EQ(MergeOtherComputerNotes(there.dir.path().c_str(), 3106, nullptr, Answer), 1);
    EXPECT_EQ(g_asked, 2);
    int def = Position("Default"), alpha = Position("Alpha"), zulu = Position("Zulu");
    EXPECT_EQ(alpha, 0);
    EXPECT_EQ(TextOf(def, a), "here a");
    EXPECT_EQ(TextOf(def, b), "there b");
    EXPECT_EQ(TextOf(def, c), "there c");
    EXPECT_EQ(TextOf(alpha, newOne), "alpha only");
    EXPECT_EQ(TextOf(zulu, s), "there s");
    EXPECT_EQ(TextOf(zulu, newOne), "<none>");

    // Answer 3: keep this and the rest of the folder.
    reset();
    g_asked = 0;
    g_answer = 3;
    ASSERT_EQ(MergeOtherComputerNotes(there.dir.path().c_str(), 3106, nullptr, Answer), 1);
    EXPECT_EQ(g_asked, 2);
    EXPECT_EQ(TextOf(Position("Default"), b), "here b");
    EXPECT_EQ(TextOf(Position("Default"), c), "here c");
    EXPECT_EQ(TextOf(Position("Zulu"), s), "here s");
    // An other folder without notes fails.
    testutil::TempDir empty;
    EXPECT_EQ(MergeOtherComputerNotes(empty.path().c_str(), 3106, nullptr, Answer), 0);
}

TEST(NoteMerge, OlderGenerationKeepsTheImportGroupsOwnNotes) {
    NotesStore here;
    ObjectRecord a = Obj(kClassGalaxy, 1), b = Obj(kClassGalaxy, 2);
    // An older-generation notes folder: old category names, no groups.
    testutil::TempDir other;
    std::string folder = other.file("notes/galaxies");
    ASSERT_EQ(EnsureDirectory(other.file("notes").c_str()), 1);
    ASSERT_EQ(EnsureDirectory(folder.c_str()), 1);
    std::string old;
    old += std::string("\x03\xd9\x02\x05" "e", 5);
    old += '\x06';
    notetest::PutI32(&old, 1);
    notetest::PutI32(&old, 0x100);
    std::string title(65, '\0');
    old += title;
    notetest::PutI32(&old, 4);
    old += std::string("old\0", 4);
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "/00000000.bin", old));
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "/INDEX.BIN", "not a note"));

    int group = -1;
    {
        GroupRecord g;
        int p = AddGroup(kGroupNotes, kImportedGroupName, &g);
        ASSERT_GT(p, 0);
        group = p - 1;
    }
    ASSERT_EQ(SetNote(group, &b, "mine", "my own note", 0), 0);
    ASSERT_EQ(MergeOtherComputerNotes(other.path().c_str(), 2500, nullptr, nullptr), 1);
    ASSERT_EQ(MergeOtherComputerNotes(other.path().c_str(), 2500, nullptr, nullptr), 1);
    group = Position(kImportedGroupName);
    EXPECT_EQ(TextOf(group, a), "old");
    EXPECT_EQ(TextOf(group, b), "my own note");
}
