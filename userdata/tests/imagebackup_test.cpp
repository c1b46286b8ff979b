// Backup, restore and merge of the image links and images stores: pictures
// at the top of the backup (two of one name kept apart), restored pictures
// written back, rollback at every failed step, and merges with copied
// pictures, questions, missing-image folders and plot records.
#include "userdata/imagebackup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "userdata/imagelinks.h"
#include "userdata/imagemerge.h"
#include "userdata/imageplots.h"
#include "userdata/tests/notetestutil.h"

using notetest::Bytes;
using notetest::Obj;

namespace {

struct Computer {
    notetest::NotesStore base;
    int imagesGroup = 0;
    Computer() {
        AddGroup(kGroupImageLinks, "Default", nullptr);
        GroupRecord g;
        AddGroup(kGroupImages, "Default", &g);
        imagesGroup = g.id;
    }
    void Use() const { SetUserDataFolder(base.dir.path().c_str()); }
    std::string File(const std::string &name) const { return base.dir.file(name); }
    std::string Picture(const std::string &folder, const std::string &name, const std::string &bytes) const {
        std::string f = base.dir.file(folder);
        std::filesystem::create_directories(f);
        testutil::WriteFileBytes(f + "/" + name, bytes);
        return f + "/" + name;
    }
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

std::vector<std::string> Lines(int group, ObjectRecord record) {
    LinkFile file;
    std::vector<std::string> out;
    if (!ReadObjectImageLinks(group, &record, &file)) return out;
    for (const WebLink &l : file.links) out.push_back(l.url + "#" + l.description);
    return out;
}

int Position(int kind, const char *name) {
    GroupRecord g;
    return FindGroupByName(kind, name, &g) - 1;
}

void SetTime(const std::string &path, uint32_t high) {
    ASSERT_EQ(SetFileWriteTime(path.c_str(), FileTimeValue{0, 30780000u + high}), 1) << path;
}

int g_asked = 0;
int g_answer = 1;
int Ask(const char *) {
    ++g_asked;
    return g_answer;
}

int g_missingCalls = 0;
int g_missingAnswer = kMissingSkip;
std::string g_missingFolder;
int Missing(const char *, const char *, char *folder) {
    ++g_missingCalls;
    std::snprintf(folder, kSearchFolderBytes, "%s", g_missingFolder.c_str());
    return g_missingAnswer;
}

}  // namespace

TEST(ImageBackup, PicturesOfOneNameAreKeptApartAndRestored) {
    Computer here;
    ObjectRecord a = Obj(kClassGalaxy, 1), b = Obj(kClassGalaxy, 2);
    std::string pa = here.Picture("pics/a", "M31.jpg", "picture one");
    std::string pb = here.Picture("pics/b", "M31.jpg", "picture two");
    ASSERT_EQ(AddObjectImageLink(0, &a, pa.c_str(), "one"), 1);
    ASSERT_EQ(AddObjectImageLink(0, &b, pb.c_str(), "two"), 1);
    ImagePlotRecord plot;
    std::memset(&plot, 0, sizeof plot);
    FillImagePlotRecord(&plot, "placed.jpg", kImageJpeg, 1, 2, 3, 4, 5, 0, 4, "p");
    ASSERT_EQ(AddImagePlotRecord(here.imagesGroup, &plot), 1);
    ASSERT_TRUE(testutil::WriteFileBytes(here.File("images/placed.jpg"), "placed picture"));

    testutil::TempDir dest;
    ASSERT_EQ(BackupImageLinks(dest.path().c_str(), "Dec", 0, 0), 1);
    std::string root = dest.file("nightjar backup Dec/images");
    EXPECT_EQ(Bytes(root + "/M31.jpg"), "picture one");
    EXPECT_EQ(Bytes(root + "/M31~1.jpg"), "picture two");
    EXPECT_EQ(Bytes(root + "/placed.jpg"), "placed picture");
    EXPECT_NE(Bytes(root + "/" + kBackupNamesFile).find("M31~1.jpg#"), std::string::npos);
    // Unnamed into the user folder: the roots would be the live stores.
    EXPECT_EQ(BackupImageLinks(here.base.dir.path().c_str(), nullptr, 1, 1), 0);
    EXPECT_EQ(Bytes(here.File("images/placed.jpg")), "placed picture");

    // Folder a is gone, folder b is there but empty.
    ASSERT_EQ(DeleteTree(here.File("pics/a").c_str()), 1);
    ASSERT_TRUE(FsRemoveFile(pb));
    ObjectRecord c = Obj(kClassQuasar, 3);
    ASSERT_EQ(AddObjectImageLink(0, &c, "c:/x.jpg", "after"), 1);
    ASSERT_EQ(RestoreImageLinks(dest.path().c_str(), "nightjar backup Dec", 3106), 1);
    EXPECT_EQ(Bytes(pb), "picture two");  // written back at its path
    std::string copy = here.File("images/m31.jpg");
    EXPECT_EQ(Bytes(copy), "picture one");  // its folder is gone: into images
    EXPECT_EQ(Lines(0, a), std::vector<std::string>{copy + "#one"});
    EXPECT_EQ(Lines(0, b), std::vector<std::string>{pb + "#two"});
    EXPECT_TRUE(Lines(0, c).empty());
    EXPECT_EQ(IsImagePlotShownByName(here.imagesGroup, "placed.jpg"), 0);
    EXPECT_FALSE(testutil::PathIsThere(here.File(std::string("images/") + kBackupNamesFile)));
}

TEST(ImageBackup, EveryFailedRestoreStepRollsBothStoresBack) {
    Computer here;
    ObjectRecord a = Obj(kClassGalaxy, 1);
    std::string pa = here.Picture("pics", "a.jpg", "aaa");
    ASSERT_EQ(AddObjectImageLink(0, &a, pa.c_str(), "a"), 1);
    ImagePlotRecord plot;
    std::memset(&plot, 0, sizeof plot);
    FillImagePlotRecord(&plot, "a.jpg", kImageJpeg, 1, 2, 3, 4, 5, 0, 4, "p");
    ASSERT_EQ(AddImagePlotRecord(here.imagesGroup, &plot), 1);
    testutil::TempDir dest;
    ASSERT_EQ(BackupImageLinks(dest.path().c_str(), "F", 0, 0), 1);
    ObjectRecord b = Obj(kClassGalaxy, 2);
    ASSERT_EQ(AddObjectImageLink(0, &b, pa.c_str(), "later"), 1);
    testutil::TempDir saved;
    ASSERT_EQ(CopyTree(here.File("image links").c_str(), saved.file("image links").c_str()), 1);
    ASSERT_EQ(CopyTree(here.File("images").c_str(), saved.file("images").c_str()), 1);
    auto links = SnapshotOf(here.File("image links")), images = SnapshotOf(here.File("images"));
    int steps = testutil::ForEachFailurePoint(
        [&] {
            DeleteTree(here.File("image links").c_str());
            DeleteTree(here.File("images").c_str());
            CopyTree(saved.file("image links").c_str(), here.File("image links").c_str());
            CopyTree(saved.file("images").c_str(), here.File("images").c_str());
        },
        [&] { return RestoreImageLinks(dest.path().c_str(), "nightjar backup F", 3106); },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            if (run.result == 1) {
                EXPECT_TRUE(Lines(0, b).empty());
            } else {
                EXPECT_EQ(run.result, 0);
                EXPECT_EQ(SnapshotOf(here.File("image links")), links);
                EXPECT_EQ(SnapshotOf(here.File("images")), images);
                EXPECT_FALSE(testutil::PathIsThere(here.File("tmp/images")));
            }
        });
    EXPECT_GT(steps, 3);
}

TEST(ImageMerge, CopiedPicturesQuestionsAndMissingImages) {
    Computer here;
    ASSERT_GT(AddGroup(kGroupImageLinks, "Zulu", nullptr), 0);
    std::string same = here.Picture("images", "same.jpg", "same bytes");
    std::string older = here.Picture("images", "changed.jpg", "old bytes");
    SetTime(same, 100);
    SetTime(older, 100);

    Computer there;
    ASSERT_GT(AddGroup(kGroupImageLinks, "Alpha", nullptr), 0);
    ASSERT_GT(AddGroup(kGroupImageLinks, "zulu", nullptr), 0);
    std::string s = there.Picture("images", "same.jpg", "same bytes");
    std::string c1 = there.Picture("images", "changed.jpg", "new bytes");
    std::string n1 = there.Picture("elsewhere", "new.jpg", "new picture");
    SetTime(s, 300);
    SetTime(c1, 300);
    ObjectRecord m1 = Obj(kClassGalaxy, 1), m2 = Obj(kClassGalaxy, 2), m3 = Obj(kClassGalaxy, 3);
    ObjectRecord m4 = Obj(kClassGalaxy, 4), m5 = Obj(kClassGalaxy, 5);
    int alpha = Position(kGroupImageLinks, "Alpha"), zulu = Position(kGroupImageLinks, "zulu");
    ASSERT_EQ(AddObjectImageLink(alpha, &m1, s.c_str(), "same"), 1);
    ASSERT_EQ(AddObjectImageLink(alpha, &m2, c1.c_str(), "changed"), 1);
    ASSERT_EQ(AddObjectImageLink(zulu, &m3, n1.c_str(), "elsewhere"), 1);
    ASSERT_EQ(AddObjectImageLink(zulu, &m4, "q:/gone/lost1.jpg", "lost"), 1);
    ASSERT_EQ(AddObjectImageLink(zulu, &m5, "q:/gone/lost2.jpg", "lost"), 1);
    ASSERT_EQ(DeleteTree(there.File("elsewhere").c_str()), 1);  // new.jpg is missing there too
    std::string found = here.Picture("found", "new.jpg", "found picture");
    here.Picture("found", "lost2.jpg", "lost two");

    here.Use();
    g_asked = 0;
    g_answer = 2;
    g_missingCalls = 0;
    g_missingAnswer = kMissingFolderChosen;
    g_missingFolder = here.File("found");
    ASSERT_EQ(MergeOtherComputerImageLinks(there.base.dir.path().c_str(), 1, 3106, nullptr, Ask, Missing), 1);
    int hereAlpha = Position(kGroupImageLinks, "Alpha"), hereZulu = Position(kGroupImageLinks, "Zulu");
    EXPECT_EQ(hereAlpha, 0);
    // Present and the same: not copied, the link names this computer's copy.
    EXPECT_EQ(Lines(hereAlpha, m1), std::vector<std::string>{here.File("images/same.jpg") + "#same"});
    // Newer and different: asked once (answer 2), copied.
    EXPECT_EQ(g_asked, 1);
    EXPECT_EQ(Bytes(older), "new bytes");
    // Missing: the folder named once serves the later missing images too.
    EXPECT_EQ(g_missingCalls, 2);  // new.jpg (found there), lost1.jpg (not there: passed over)
    EXPECT_EQ(Lines(hereZulu, m3), std::vector<std::string>{here.File("images/new.jpg") + "#elsewhere"});
    EXPECT_EQ(Bytes(here.File("images/new.jpg")), "found picture");
    EXPECT_TRUE(Lines(hereZulu, m4).empty());
    EXPECT_EQ(Lines(hereZulu, m5), std::vector<std::string>{here.File("images/lost2.jpg") + "#lost"});
    std::vector<std::string> remembered = LoadImageSearchFolders();
    EXPECT_EQ(remembered, std::vector<std::string>{g_missingFolder});

    // A later merge searches the remembered folder without asking; a cancel
    // ends the merge.
    ASSERT_TRUE(FsRemoveFile(here.File("images/new.jpg")));
    g_missingCalls = 0;
    g_missingAnswer = kMissingCancel;
    ObjectRecord fresh = Obj(kClassGalaxy, 3);
    ASSERT_EQ(DeleteObjectImageLinks(hereZulu, &fresh, 0), 1);
    EXPECT_EQ(MergeOtherComputerImageLinks(there.base.dir.path().c_str(), 1, 3106, nullptr, Ask, Missing), 0);
    EXPECT_EQ(Bytes(here.File("images/new.jpg")), "found picture");
    EXPECT_EQ(g_missingCalls, 1);  // lost1.jpg: cancelled there
}

TEST(ImageMerge, PlotRecordReplacedInTheGroupThatHoldsIt) {
    Computer here;
    GroupRecord other;
    ASSERT_GT(AddGroup(kGroupImages, "Other", &other), 0);
    ImagePlotRecord mine;
    std::memset(&mine, 0, sizeof mine);
    FillImagePlotRecord(&mine, "m42.jpg", kImageJpeg, 5, -5, 1, 10, 10, 0, 4, "mine");
    ASSERT_EQ(AddImagePlotRecord(other.id, &mine), 1);
    here.Picture("images", "m42.jpg", "m42");
    GroupRecord g;
    ASSERT_GT(FindGroupById(kGroupImages, other.id, &g), 0);
    SetTime(here.File(std::string("images/") + g.folder + "/implot.bin"), 100);

    Computer there;
    ImagePlotRecord theirs = mine;
    std::snprintf(theirs.caption, sizeof theirs.caption, "theirs");
    ASSERT_EQ(AddImagePlotRecord(there.imagesGroup, &theirs), 1);
    ImagePlotRecord added;
    std::memset(&added, 0, sizeof added);
    FillImagePlotRecord(&added, "ngc7000.jpg", kImageJpeg, 21, 44, 2, 10, 10, 0, 4, "new");
    ASSERT_EQ(AddImagePlotRecord(there.imagesGroup, &added), 1);
    there.Picture("images", "ngc7000.jpg", "nebula");
    there.Picture("images", "m42.jpg", "m42");
    ASSERT_GT(FindGroupById(kGroupImages, there.imagesGroup, &g), 0);
    SetTime(there.File(std::string("images/") + g.folder + "/implot.bin"), 300);

    here.Use();
    g_answer = 1;
    ASSERT_EQ(MergeOtherComputerImageLinks(there.base.dir.path().c_str(), 1, 3106, nullptr, Ask, nullptr), 1);
    int count = 0;
    FILE *f = OpenImagePlotFile(other.id, &count);
    ASSERT_TRUE(f);
    ImagePlotRecord read;
    ASSERT_EQ(FindImagePlotRecordInFile(f, "m42.jpg", &read), 1);
    std::fclose(f);
    EXPECT_STREQ(read.caption, "theirs");
    EXPECT_EQ(IsImagePlotShownByName(here.imagesGroup, "m42.jpg"), -1);  // not added twice
    EXPECT_EQ(IsImagePlotShownByName(here.imagesGroup, "ngc7000.jpg"), 0);
    EXPECT_EQ(Bytes(here.File("images/ngc7000.jpg")), "nebula");
}
