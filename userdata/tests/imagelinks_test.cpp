// The image links store and its exchange records: lines per path, the last
// link, index repair, a path removed from every class, records carrying
// images and plot records, name collisions and hostile records.
#include "userdata/imagelinks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/userfolder.h"
#include "minorbodies/usercatalogs.h"
#include "userdata/imagelinkexchange.h"
#include "userdata/imageplots.h"
#include "userdata/linkfiles.h"
#include "userdata/tests/notetestutil.h"

using notetest::Bytes;
using notetest::I32;
using notetest::Obj;

namespace {

struct ImageLinksStore {
    notetest::NotesStore base;
    std::string folder;
    int imagesGroup = 0;
    ImageLinksStore() {
        GroupRecord g;
        AddGroup(kGroupImageLinks, "Default", &g);
        folder = g.folder;
        GroupRecord i;
        AddGroup(kGroupImages, "Default", &i);
        imagesGroup = i.id;
    }
    std::string Path(int row, const std::string &name) const {
        return base.dir.file("image links/" + folder + "/" + CategoryFolderTable[row].name + "/" + name);
    }
    std::string Picture(const std::string &name, size_t size, char fill) const {
        std::string path = base.dir.file("pictures");
        EnsureDirectory(path.c_str());
        path += "/" + name;
        testutil::WriteFileBytes(path, std::string(size, fill));
        return path;
    }
};

std::vector<std::string> Lines(int group, ObjectRecord record) {
    LinkFile file;
    std::vector<std::string> out;
    if (!ReadObjectImageLinks(group, &record, &file)) return out;
    for (const WebLink &l : file.links) out.push_back(l.url + "#" + l.description);
    return out;
}

}  // namespace

TEST(ImageLinks, LinesPerPathAndTheLastLink) {
    ImageLinksStore store;
    ObjectRecord m = Obj(kClassGalaxy, 31);
    ASSERT_EQ(AddObjectImageLink(0, &m, "C:/pics/m31.jpg", "first"), 1);
    ASSERT_EQ(AddObjectImageLink(0, &m, "c:/PICS/m31.jpg", "second"), 1);
    EXPECT_EQ(Lines(0, m), std::vector<std::string>{"c:/PICS/m31.jpg#second"});
    ASSERT_EQ(AddObjectImageLink(0, &m, "c:/pics/m31.jpg", ""), 1);
    EXPECT_EQ(Lines(0, m).size(), 2u);
    EXPECT_EQ(AddObjectImageLink(0, &m, "", "x"), -1);
    EXPECT_EQ(AddObjectImageLink(0, &m, "c:/my#pics/a.jpg", "x"), -1);  // would be cut at "#"

    ObjectRecord n = Obj(kClassGalaxy, 33);
    ASSERT_EQ(AddObjectImageLink(0, &n, "c:/pics/m33.jpg", "m33"), 1);
    std::string index = Bytes(store.Path(5, "index.bin"));
    ASSERT_EQ(I32(index, 5), 2);
    EXPECT_EQ(DeleteImageLink(0, &m, "C:/PICS/M31.JPG"), 1);
    EXPECT_FALSE(testutil::PathIsThere(store.Path(5, "31.dat")));
    std::string after = Bytes(store.Path(5, "index.bin"));
    EXPECT_EQ(I32(after, 5), 1);
    EXPECT_EQ(I32(after, 9), 33);
    EXPECT_EQ(after.size(), index.size());

    // A catalogue double star whose file says category 0x10 is found as 0x20.
    ObjectRecord star = Obj(kClassStar, 8);
    ASSERT_EQ(AddObjectImageLink(0, &star, "c:/s.jpg", "s"), 1);
    star.categoryBits = 0x20;
    EXPECT_EQ(Lines(0, star).size(), 1u);
}

TEST(ImageLinks, RepairIndexes) {
    ImageLinksStore store;
    ObjectRecord m = Obj(kClassGalaxy, 5);
    ASSERT_EQ(AddObjectImageLink(0, &m, "c:/a.jpg", "a"), 1);
    std::string bytes = Bytes(store.Path(5, "index.bin")).substr(0, 5);
    notetest::PutI32(&bytes, 4);
    for (int32_t k : {9, 5, 9 | 0x10000000, 7}) notetest::PutI32(&bytes, k);
    ASSERT_TRUE(testutil::WriteFileBytes(store.Path(5, "index.bin"), bytes));
    ASSERT_EQ(RepairImageLinkIndexes(0), 1);
    std::string repaired = Bytes(store.Path(5, "index.bin"));
    EXPECT_EQ(repaired.size(), bytes.size());  // not shortened
    EXPECT_EQ(I32(repaired, 5), 3);
    EXPECT_EQ(I32(repaired, 9), 5);
    EXPECT_EQ(I32(repaired, 13), 7);
    EXPECT_EQ(I32(repaired, 17), 9);
}

TEST(ImageLinks, PathRemovedFromEveryClass) {
    ImageLinksStore store;
    ASSERT_GT(AddGroup(kGroupImageLinks, "More", nullptr), 0);
    store.base.AddUserStar("Own");  // id 1
    FILE *f = OpenSkyMarkFile(nullptr);
    SkyMarkRecord mark;
    std::memset(&mark, 0, sizeof mark);
    std::snprintf(mark.name, sizeof mark.name, "Mark");
    ASSERT_EQ(AppendSkyMarkRecord(f, &mark), 1);
    std::fclose(f);
    f = OpenUserDeepSkyFile(nullptr);
    UserDeepSkyRecord dso;
    std::memset(&dso, 0, sizeof dso);
    std::snprintf(dso.name, sizeof dso.name, "Blob");
    dso.typeCode = kClassGalaxy;
    ASSERT_EQ(AppendUserDeepSkyRecord(f, &dso), 1);
    std::fclose(f);
    ObjectRecord userDso = Obj(kClassUserDeepSky, 1);
    userDso.categoryBits = 0x100;  // filed by its own type
    ObjectRecord objects[] = {Obj(kClassGalaxy, 1), Obj(kClassStar, 2), Obj(kClassUserStar, 1),
                              Obj(kClassSkyMark, 1), userDso, Obj(kClassGlobularCluster, 3)};
    const char *gone = "c:/pics/discarded.jpg";
    for (int group = 0; group < 2; ++group)
        for (ObjectRecord o : objects) {
            ASSERT_EQ(AddObjectImageLink(group, &o, gone, "x"), 1) << +o.objectClass;
            ASSERT_EQ(AddObjectImageLink(group, &o, "c:/pics/kept.jpg", "k"), 1);
        }
    ASSERT_EQ(DeleteImagePathEverywhere("C:/PICS/DISCARDED.JPG"), 1);
    for (int group = 0; group < 2; ++group)
        for (ObjectRecord o : objects)
            EXPECT_EQ(Lines(group, o), std::vector<std::string>{"c:/pics/kept.jpg#k"})
                << "class " << +o.objectClass << " group " << group;
    EXPECT_EQ(ImageLinkClassOfRow(13, 1), kClassSkyMark);
    EXPECT_EQ(ImageLinkClassOfRow(4, 1), kClassUserStar);
    EXPECT_EQ(ImageLinkClassOfRow(11, 1), kClassUserDeepSky);
    EXPECT_EQ(ImageLinkClassOfRow(11, 0), kClassOpenCluster);
}

TEST(ImageLinkExchange, RecordCarriesTheImageAndItsPlotRecord) {
    ImageLinksStore source;
    ObjectRecord m = Obj(kClassGalaxy, 31);
    std::string picture = source.Picture("M31.jpg", 1000, 'a');
    ASSERT_EQ(AddObjectImageLink(0, &m, picture.c_str(), "Andromeda"), 1);
    ImagePlotRecord plot;
    std::memset(&plot, 0, sizeof plot);
    FillImagePlotRecord(&plot, "m31.jpg", kImageJpeg, 0.7, 41, 3, 1000, 1, 0, 4, "M31");
    ASSERT_EQ(AddImagePlotRecord(source.imagesGroup, &plot), 1);
    std::string path = source.base.dir.file("r.bin");
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_EQ(WriteObjectImageLinksRecord(f, 0, &m), 1);
    ASSERT_EQ(WriteImageLinkRecordsEnd(f), 1);
    std::fclose(f);
    std::string bytes = Bytes(path);
    std::string line = picture + "#Andromeda\n";
    size_t at = 5;
    ASSERT_EQ(bytes[at], 2);
    EXPECT_EQ(std::string(bytes.data() + at + 1 + 58), "m31.jpg");
    at += 1 + 188;
    EXPECT_EQ(I32(bytes, at), static_cast<int32_t>(line.size() + 1));
    EXPECT_EQ(std::string(bytes.data() + at + 4), line);
    at += 4 + line.size() + 1;
    EXPECT_EQ(I32(bytes, at), 1000);
    EXPECT_EQ(bytes.substr(at + 4, 1000), std::string(1000, 'a'));
    at += 4 + 1000;
    EXPECT_EQ(bytes[at], 0);
    EXPECT_EQ(bytes.size(), at + 1 + 5);

    // Another computer: the path does not exist; a different picture of the
    // same name is in its images folder already, with its own plot record.
    ImageLinksStore target;
    std::string images = target.base.dir.file("images");
    ASSERT_TRUE(testutil::WriteFileBytes(images + "/m31.jpg", "another picture"));
    ImagePlotRecord own;
    std::memset(&own, 0, sizeof own);
    FillImagePlotRecord(&own, "m31.jpg", kImageJpeg, 5, 5, 1, 10, 10, 0, 4, "mine");
    ASSERT_EQ(AddImagePlotRecord(target.imagesGroup, &own), 1);
    FsRemoveFile(picture);
    f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(ReadImageLinkRecords(f, 0, target.imagesGroup, images.c_str(), 3106, 1, nullptr), 1);
    std::fclose(f);
    EXPECT_EQ(Bytes(images + "/m31.jpg"), "another picture");
    EXPECT_EQ(Bytes(images + "/m31~1.jpg"), std::string(1000, 'a'));
    EXPECT_EQ(Lines(0, m), std::vector<std::string>{images + "/m31~1.jpg#Andromeda"});
    EXPECT_EQ(IsImagePlotShownByName(target.imagesGroup, "m31~1.jpg"), 0);
    int count = 0;
    FILE *pf = OpenImagePlotFile(target.imagesGroup, &count);
    ASSERT_TRUE(pf);
    ImagePlotRecord read;
    ASSERT_EQ(FindImagePlotRecordInFile(pf, "m31.jpg", &read), 1);
    std::fclose(pf);
    EXPECT_STREQ(read.caption, "mine");  // the user's own placement stays

    // Read again: the same picture is found under its name, nothing new is
    // stored, and the link line is replaced by itself.
    f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(ReadImageLinkRecords(f, 0, target.imagesGroup, images.c_str(), 3106, 1, nullptr), 1);
    std::fclose(f);
    EXPECT_FALSE(testutil::PathIsThere(images + "/m31~2.jpg"));
    EXPECT_EQ(Lines(0, m).size(), 1u);
}

TEST(ImageLinkExchange, HostileRecordsAreRefused) {
    ImageLinksStore store;
    std::string images = store.base.dir.file("images");
    std::string path = store.base.dir.file("r.bin");
    auto record = [](const std::string &line, int32_t size, const std::string &data) {
        std::string b("\x06\x01\x00\x00\x00\x01", 6);
        notetest::PutI32(&b, static_cast<int32_t>(line.size() + 1));
        b += line + std::string(1, '\0');
        notetest::PutI32(&b, size);
        b += data;
        b += '\0';
        b += std::string("\x00\xff\xff\xff\xff", 5);
        return b;
    };
    struct Case {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"parent folder", record("x:/a/..#d\n", 1, "z")},
        {"device name", record("x:/a/con.jpg#d\n", 1, "z")},
        {"negative size", record("x:/a/b.jpg#d\n", -4, "zzzz")},
        {"size past the end", record("x:/a/b.jpg#d\n", 5000, "zzzz")},
        {"no hash", record("x:/a/b.jpg\n", 1, "z")},
        {"name too long", record("x:/a/" + std::string(70, 'n') + ".jpg#d\n", 1, "z")},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(testutil::WriteFileBytes(path, c.bytes));
        FILE *f = std::fopen(path.c_str(), "rb");
        EXPECT_EQ(ReadImageLinkRecords(f, 0, store.imagesGroup, images.c_str(), 3106, 1, nullptr), -1)
            << c.what;
        std::fclose(f);
    }
    std::vector<FsEntry> entries;
    FsListFolder(images, entries);
    for (const FsEntry &e : entries)
        EXPECT_TRUE(e.isFolder || e.name == "groups.bin") << e.name;  // no picture stored
    // A good record of a picture not here: stored and linked.
    ASSERT_TRUE(testutil::WriteFileBytes(path, record("x:/a/b.jpg#d\n", 4, "zzzz")));
    FILE *f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(ReadImageLinkRecords(f, 0, store.imagesGroup, images.c_str(), 3106, 1, nullptr), 1);
    std::fclose(f);
    EXPECT_EQ(Bytes(images + "/b.jpg"), "zzzz");
}

TEST(ImageLinkExchange, PackageMakesBothGroups) {
    ImageLinksStore source;
    ObjectRecord m = Obj(kClassGalaxy, 1);
    std::string picture = source.Picture("neb.png", 10, 'n');
    ASSERT_EQ(AddObjectImageLink(0, &m, picture.c_str(), "n"), 1);
    std::string pkg = source.base.dir.file("p.pkg");
    FILE *f = CreateImageLinksPackage(pkg.c_str(), "Nebulae", "");
    ASSERT_TRUE(f);
    ASSERT_EQ(WriteObjectImageLinksRecord(f, 0, &m), 1);
    ASSERT_EQ(CloseImageLinksPackage(f, 1), 1);
    EXPECT_EQ(I32(Bytes(pkg), 71 + 16), 1);  // the fifth count

    ImageLinksStore target;
    PackageHeader header;
    EXPECT_EQ(ImportImageLinksPackage("", pkg.c_str(), &header, nullptr, nullptr), 1);
    GroupRecord g;
    int position = FindGroupByName(kGroupImageLinks, "nebulae", &g);
    ASSERT_GT(position, 0);
    EXPECT_GT(FindGroupByName(kGroupImages, "NEBULAE", &g), 0);
    // Both stores share this disk, so the picture's own path exists here and
    // the link names it; nothing is copied.
    EXPECT_EQ(Lines(position - 1, m), std::vector<std::string>{picture + "#n"});
    EXPECT_FALSE(testutil::PathIsThere(target.base.dir.file("images/neb.png")));
    EXPECT_GE(FindRegisteredImageLinksPackage("nebulae", nullptr), 0);
}
