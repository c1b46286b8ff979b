// The engine of the per-object grouped stores: packages of each kind written
// by the earlier, separate exchange code (userdata/tests/data/*.pkg, made by
// running that code) import whole, and the same content exported now gives
// the same bytes but for the creation time.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "minorbodies/usercatalogs.h"
#include "userdata/imagelinkexchange.h"
#include "userdata/imagelinks.h"
#include "userdata/imageplots.h"
#include "userdata/linkexchange.h"
#include "userdata/linkstore.h"
#include "userdata/noteexchange.h"
#include "userdata/notestore.h"
#include "userdata/tests/notetestutil.h"

using notetest::Obj;

namespace {

const size_t kCreatedAt = 91, kCreatedBytes = 8;  // PackageHeader.created

std::string Fixture(const char *name) {
    return testutil::ReadFileBytes(testutil::SourceDir() + "/userdata/tests/data/" + name);
}

int GroupNamed(int kind, const char *name) {
    GroupRecord g;
    return FindGroupByName(kind, name, &g) - 1;
}

std::vector<std::string> LinkLines(bool images, int group, ObjectRecord record) {
    LinkFile file;
    std::vector<std::string> out;
    if (!(images ? ReadObjectImageLinks(group, &record, &file) : ReadObjectLinks(group, &record, &file)))
        return out;
    for (const WebLink &l : file.links) out.push_back(l.url + "#" + l.description);
    return out;
}

// The package's bytes with the creation time blanked.
std::string WithoutTime(std::string bytes) {
    if (bytes.size() >= kCreatedAt + kCreatedBytes) bytes.replace(kCreatedAt, kCreatedBytes, kCreatedBytes, '\0');
    return bytes;
}

}  // namespace

TEST(GroupStore, PackagesOfTheEarlierCodeImportWhole) {
    notetest::NotesStore store;
    const std::string notes = Fixture("notes.pkg"), links = Fixture("links.pkg"), images = Fixture("imagelinks.pkg");
    ASSERT_FALSE(notes.empty() || links.empty() || images.empty()) << "fixtures missing";
    const std::string nPath = store.dir.file("notes.pkg"), lPath = store.dir.file("links.pkg"),
                      iPath = store.dir.file("imagelinks.pkg");
    ASSERT_TRUE(testutil::WriteFileBytes(nPath, notes));
    ASSERT_TRUE(testutil::WriteFileBytes(lPath, links));
    ASSERT_TRUE(testutil::WriteFileBytes(iPath, images));
    // The user star the packages carry is added here (this folder has none).
    ObjectRecord galaxy = Obj(kClassGalaxy, 31), cluster = Obj(kClassOpenCluster, 45), user = Obj(kClassUserStar, 1);

    PackageHeader header;
    std::string description;
    ASSERT_EQ(ImportNotesPackage(nPath.c_str(), &header, &description, nullptr), 2);
    EXPECT_EQ(description, "Two notes");
    int group = GroupNamed(kGroupNotes, "Autumn notes");
    ASSERT_GE(group, 0);
    NoteIndexLists lists;
    ASSERT_EQ(LoadNoteIndexLists(group, &lists), 1);
    int m31 = FindNoteInIndexLists(&lists, &galaxy), twin = FindNoteInIndexLists(&lists, &user);
    FreeNoteIndexLists(&lists);
    NoteHeader h;
    std::string text;
    ASSERT_EQ(ReadNoteFile(group, galaxy.categoryBits, m31, &h, &text), 1);
    EXPECT_STREQ(h.title, "M31");
    EXPECT_EQ(text, "Dust lanes seen at 80x");
    EXPECT_EQ(static_cast<int>(h.status), 2);
    ASSERT_EQ(ReadNoteFile(group, user.categoryBits, twin, &h, &text), 1);
    EXPECT_STREQ(h.title, "Twin");
    EXPECT_EQ(static_cast<int>(h.status), 5);
    int32_t stars = 0;
    FILE *starFile = OpenUserStarFile(&stars);
    ASSERT_TRUE(starFile);
    UserStarRecord star;
    ASSERT_EQ(stars, 1);
    ASSERT_EQ(ReadUserStarRecord(starFile, &star, 0), 1);
    std::fclose(starFile);
    EXPECT_STREQ(star.name, "Vega twin");
    EXPECT_EQ(static_cast<int>(star.id), 1);
    EXPECT_GE(FindRegisteredNotesPackage("Autumn notes", nullptr), 0);

    ASSERT_EQ(ImportLinksPackage(lPath.c_str(), &header, &description, nullptr), 3);
    EXPECT_EQ(description, "Three links");
    group = GroupNamed(kGroupLinks, "Autumn links");
    ASSERT_GE(group, 0);
    EXPECT_EQ(LinkLines(false, group, galaxy),
              (std::vector<std::string>{"http://example.org/m31.html#Andromeda page", "ftp://example.org/m31.fits#raw"}));
    EXPECT_EQ(LinkLines(false, group, user), std::vector<std::string>{"https://example.net/twin#"});
    EXPECT_GE(FindRegisteredLinksPackage("Autumn links", nullptr), 0);

    ASSERT_EQ(ImportImageLinksPackage("", iPath.c_str(), &header, &description, nullptr), 2);
    EXPECT_EQ(description, "Two pictures");
    group = GroupNamed(kGroupImageLinks, "Autumn images");
    ASSERT_GE(group, 0);
    // The pictures' folders are not on this computer: both are kept in
    // "images", the plotted one with its plot record in the new images group.
    const std::string pleiades = ImagesFolder() + "/pleiades.jpg", sketch = ImagesFolder() + "/twin.gif";
    EXPECT_EQ(LinkLines(true, group, cluster), std::vector<std::string>{pleiades + "#wide field"});
    EXPECT_EQ(LinkLines(true, group, user), std::vector<std::string>{sketch + "#sketch"});
    EXPECT_EQ(testutil::ReadFileBytes(pleiades), std::string("\xff\xd8jpeg bytes of the Pleiades\xff\xd9", 30));
    EXPECT_EQ(testutil::ReadFileBytes(sketch), "GIF89a twin");
    ImagePlotRecord plot;
    int plotGroup = 0;
    ASSERT_GT(FindImagePlotRecordByName("pleiades.jpg", &plot, &plotGroup), 0);
    EXPECT_STREQ(plot.caption, "Pleiades");
    EXPECT_EQ(static_cast<int>(plot.width), 640);
    GroupRecord imagesGroup;
    ASSERT_GT(FindGroupById(kGroupImages, plotGroup, &imagesGroup), 0);
    EXPECT_STREQ(imagesGroup.name, "Autumn images");
    EXPECT_GE(FindRegisteredImageLinksPackage("Autumn images", nullptr), 0);

    // The same notes and links exported again: the earlier code's bytes.
    int notesGroup = GroupNamed(kGroupNotes, "Autumn notes"), linksGroup = GroupNamed(kGroupLinks, "Autumn links");
    const std::string again = store.dir.file("again.pkg");
    FILE *f = CreateNotesPackage(again.c_str(), "Autumn notes", "Two notes");
    ASSERT_TRUE(f);
    ASSERT_EQ(WriteObjectNoteRecord(f, notesGroup, &galaxy), 1);
    ASSERT_EQ(WriteObjectNoteRecord(f, notesGroup, &user), 1);
    ASSERT_EQ(CloseNotesPackage(f, 2), 1);
    EXPECT_EQ(WithoutTime(testutil::ReadFileBytes(again)), WithoutTime(notes));
    f = CreateLinksPackage(again.c_str(), "Autumn links", "Three links");
    ASSERT_TRUE(f);
    ASSERT_EQ(WriteObjectLinksRecord(f, linksGroup, &galaxy), 2);
    ASSERT_EQ(WriteObjectLinksRecord(f, linksGroup, &user), 1);
    ASSERT_EQ(CloseLinksPackage(f, 3), 1);
    EXPECT_EQ(WithoutTime(testutil::ReadFileBytes(again)), WithoutTime(links));
}
