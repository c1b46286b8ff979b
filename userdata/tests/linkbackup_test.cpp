// Backup, restore and merge of the web links store: the backup's files,
// rollback at every failed restore step, merge by file time and URL, user
// objects matched by name, groups by name.
#include "userdata/linkbackup.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "userdata/linkstore.h"
#include "userdata/tests/notetestutil.h"

using notetest::Bytes;
using notetest::Obj;

namespace {

struct Folder {
    notetest::NotesStore base;
    std::string links;
    Folder() {
        links = base.dir.file("links");
        AddGroup(kGroupLinks, "Default", nullptr);
    }
    void Use() const { SetUserDataFolder(base.dir.path().c_str()); }
};

void Snapshot(const std::string &folder, const std::string &prefix,
              std::map<std::string, std::string> *out) {
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return;
    for (const FsEntry &e : entries) {
        if (e.isFolder)
            Snapshot(folder + "/" + e.name, prefix + e.name + "/", out);
        else
            (*out)[prefix + e.name] = Bytes(folder + "/" + e.name);
    }
}

std::map<std::string, std::string> SnapshotOf(const std::string &folder) {
    std::map<std::string, std::string> out;
    Snapshot(folder, "", &out);
    return out;
}

int Position(const char *name) {
    GroupRecord g;
    return FindGroupByName(kGroupLinks, name, &g) - 1;
}

std::vector<std::string> Descriptions(int group, ObjectRecord record) {
    LinkFile file;
    std::vector<std::string> out;
    if (!ReadObjectLinks(group, &record, &file)) return out;
    for (const WebLink &l : file.links) out.push_back(l.url + "=" + l.description);
    return out;
}

int g_asked = 0;
int Replace(const char *) {
    ++g_asked;
    return 1;
}

}  // namespace

TEST(LinkBackup, BackupAndRestoreWithRollback) {
    Folder here;
    ObjectRecord a = Obj(kClassGalaxy, 1), b = Obj(kClassStar, 2);
    ASSERT_EQ(AddObjectLink(0, &a, "http://a.example/", "a"), 1);
    ASSERT_EQ(AddObjectLink(0, &b, "http://b.example/", "b"), 1);
    testutil::TempDir dest;
    ASSERT_EQ(BackupLinks(dest.path().c_str(), "Dec", 0), 1);
    std::map<std::string, std::string> backup = SnapshotOf(dest.file("nightjar backup Dec/web links"));
    ASSERT_EQ(backup.size(), 3u);
    EXPECT_EQ(backup.count("groups.bin"), 1u);
    for (const auto &kv : backup)
        EXPECT_TRUE(kv.first == "groups.bin" || kv.first.substr(kv.first.size() - 4) == ".dat")
            << kv.first;
    // An unnamed backup into the user folder writes "web links", not the
    // live "links" folder, and leaves the store as it is.
    std::map<std::string, std::string> live = SnapshotOf(here.links);
    EXPECT_EQ(BackupLinks(here.base.dir.path().c_str(), nullptr, 1), 1);
    EXPECT_EQ(SnapshotOf(here.links), live);
    EXPECT_EQ(BackupLinks(here.links.c_str(), nullptr, 1), 0);  // inside the store
    ObjectRecord c = Obj(kClassQuasar, 3);
    ASSERT_EQ(AddObjectLink(0, &c, "http://c.example/", "c"), 1);

    testutil::TempDir saved;
    ASSERT_EQ(CopyTree(here.links.c_str(), saved.file("links").c_str()), 1);
    std::map<std::string, std::string> before = SnapshotOf(here.links);
    int steps = testutil::ForEachFailurePoint(
        [&] {
            DeleteTree(here.links.c_str());
            CopyTree(saved.file("links").c_str(), here.links.c_str());
        },
        [&] { return RestoreLinks(dest.path().c_str(), "nightjar backup Dec", 3106); },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            if (run.result == 1) {
                EXPECT_TRUE(Descriptions(0, c).empty());
            } else {
                EXPECT_EQ(run.result, 0);
                EXPECT_EQ(SnapshotOf(here.links), before);
            }
        });
    EXPECT_GT(steps, 3);
    ASSERT_EQ(RestoreLinks(dest.path().c_str(), "nightjar backup Dec", 3106), 1);
    EXPECT_EQ(Descriptions(0, a), std::vector<std::string>{"http://a.example/=a"});
    EXPECT_EQ(Descriptions(0, b), std::vector<std::string>{"http://b.example/=b"});
    EXPECT_TRUE(Descriptions(0, c).empty());
    EXPECT_EQ(RestoreLinks(dest.path().c_str(), "nightjar backup None", 3106), 0);
}

TEST(LinkMerge, NewerFilesReplaceByUrlAndUserObjectsMatchByName) {
    Folder here;
    here.base.AddUserStar("Beta");  // id 1 here
    ASSERT_GT(AddGroup(kGroupLinks, "Zulu", nullptr), 0);
    ObjectRecord m = Obj(kClassGalaxy, 31), old = Obj(kClassGalaxy, 32);
    ASSERT_EQ(AddObjectLink(0, &m, "http://same.example/", "here"), 1);
    ASSERT_EQ(AddObjectLink(0, &m, "http://mine.example/", "only here"), 1);
    ASSERT_EQ(AddObjectLink(0, &old, "http://old.example/", "here"), 1);

    Folder there;
    there.base.AddUserStar("Alpha");
    there.base.AddUserStar("Beta");   // id 2 there
    there.base.AddUserStar("Gamma");  // not here
    ASSERT_GT(AddGroup(kGroupLinks, "Alpha group", nullptr), 0);
    ASSERT_GT(AddGroup(kGroupLinks, "zulu", nullptr), 0);
    int def = Position("Default"), zulu = Position("zulu");
    ASSERT_EQ(AddObjectLink(def, &m, "http://SAME.example/", "there"), 1);
    ASSERT_EQ(AddObjectLink(def, &m, "http://new.example/", "new"), 1);
    ASSERT_EQ(AddObjectLink(def, &old, "http://old.example/", "there"), 1);
    ObjectRecord beta = Obj(kClassUserStar, 2), gamma = Obj(kClassUserStar, 3);
    ASSERT_EQ(AddObjectLink(zulu, &beta, "http://beta.example/", "beta"), 1);
    ASSERT_EQ(AddObjectLink(zulu, &gamma, "http://gamma.example/", "gamma"), 1);
    GroupRecord g;
    ASSERT_EQ(ReadGroup(kGroupLinks, &g, def), 1);
    std::string gal = there.links + "/" + g.folder + "/galaxies/";
    ASSERT_EQ(SetFileWriteTime((gal + "31.dat").c_str(), FileTimeValue{0, 30780300u}), 1);
    ASSERT_EQ(SetFileWriteTime((gal + "32.dat").c_str(), FileTimeValue{0, 30780100u}), 1);

    here.Use();
    ASSERT_EQ(ReadGroup(kGroupLinks, &g, 0), 1);
    gal = here.links + "/" + g.folder + "/galaxies/";
    ASSERT_EQ(SetFileWriteTime((gal + "31.dat").c_str(), FileTimeValue{0, 30780200u}), 1);
    ASSERT_EQ(SetFileWriteTime((gal + "32.dat").c_str(), FileTimeValue{0, 30780200u}), 1);
    g_asked = 0;
    ASSERT_EQ(MergeOtherComputerLinks(there.base.dir.path().c_str(), 3106, nullptr, Replace), 1);
    EXPECT_EQ(g_asked, 1);
    int hereDefault = Position("Default"), hereZulu = Position("Zulu");
    EXPECT_EQ(Position("Alpha group"), 0);
    EXPECT_EQ(Descriptions(hereDefault, m),
              (std::vector<std::string>{"http://SAME.example/=there", "http://mine.example/=only here",
                                        "http://new.example/=new"}));
    EXPECT_EQ(Descriptions(hereDefault, old), std::vector<std::string>{"http://old.example/=here"});
    EXPECT_EQ(Descriptions(hereZulu, Obj(kClassUserStar, 1)),
              std::vector<std::string>{"http://beta.example/=beta"});
    EXPECT_TRUE(Descriptions(hereZulu, Obj(kClassUserStar, 2)).empty());
    EXPECT_TRUE(Descriptions(hereZulu, Obj(kClassUserStar, 3)).empty());
    EXPECT_EQ(LinksMergeMissedObjects(), 1);  // Gamma is not here
}
