// Plottable images: filling records, the 188-byte layout, the sorted plot
// file against a model, deletion of records and shared image files, the
// shown flag, refused names and every failed file step of an insertion.
#include "userdata/imageplots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"
#include "userdata/tests/notetestutil.h"

using notetest::Bytes;
using notetest::I32;

const double kTestPi = 3.14159265358979323846;

namespace {

struct ImagesStore {
    testutil::TempDir dir;
    int group = 0;
    std::string folder;
    ImagesStore() {
        SetUserDataFolder(dir.path().c_str());
        GroupRecord g;
        AddGroup(kGroupImages, "Main", &g);
        group = g.id;
        folder = g.folder;
    }
    ~ImagesStore() { SetUserDataFolder(""); }
    std::string PlotPath() const { return dir.file("images/" + folder + "/implot.bin"); }
    int Count() const { return I32(Bytes(PlotPath()), 5); }
    std::vector<std::string> Names() const {
        std::string b = Bytes(PlotPath());
        std::vector<std::string> out;
        for (int i = 0; i < I32(b, 5); ++i) out.push_back(std::string(b.data() + 9 + 188 * i + 58));
        return out;
    }
};

ImagePlotRecord Plot(const char *name, double raHours = 1) {
    ImagePlotRecord r;
    std::memset(&r, 0, sizeof r);
    FillImagePlotRecord(&r, name, 0, raHours, 10, 1, 100, 80, 0, 4, "caption");
    return r;
}

}  // namespace

TEST(ImagePlots, FillAndLayout) {
    ImagePlotRecord r;
    std::memset(&r, 0xAB, sizeof r);
    FillImagePlotRecord(&r, "M31", kImageJpeg, 6, -30, 2, 640, 480, 90, 4, "Andromeda");
    EXPECT_STREQ(r.fileName, "m31.jpg");
    EXPECT_EQ(+r.rightAscension, kTestPi / 2);
    EXPECT_NEAR(r.declination, -kTestPi / 6, 1e-16);
    EXPECT_NEAR(r.rotation, kTestPi / 2, 1e-16);
    EXPECT_EQ(+r.flags, 0xABABABABu);  // left as it was
    FillImagePlotRecord(&r, "Orion.FTS", kImageFits, 0, 0, 0, 1, 1, 0, 0, "");
    EXPECT_STREQ(r.fileName, "orion.fts");
    FillImagePlotRecord(&r, "neb", kImageFits, 0, 0, 0, 1, 1, 0, 0, "");
    EXPECT_STREQ(r.fileName, "neb.fits");
    FillImagePlotRecord(&r, "x.gif", kImageGif, 0, 0, 0, 1, 1, 0, 0, "");
    EXPECT_STREQ(r.fileName, "x.gif");

    // The record's bytes at their stated offsets.
    ImagesStore store;
    ImagePlotRecord p = Plot("Pic.JPG");
    p.width = 0x01020304;
    p.projection = 7;
    p.fileType = 3;
    p.flags = 1;
    ASSERT_EQ(AddImagePlotRecord(store.group, &p), 1);
    std::string b = Bytes(store.PlotPath());
    ASSERT_EQ(b.size(), 9u + 188u);
    EXPECT_EQ(I32(b, 9 + 24), 0x01020304);
    EXPECT_EQ(b[9 + 40], 7);
    EXPECT_EQ(b[9 + 41], 3);
    EXPECT_EQ(I32(b, 9 + 42), 1);
    EXPECT_EQ(std::string(b.data() + 9 + 58), "pic.jpg");
    EXPECT_EQ(std::string(b.data() + 9 + 123), "caption");
    double ra;
    std::memcpy(&ra, b.data() + 9, 8);
    EXPECT_EQ(ra, kTestPi / 12);
}

TEST(ImagePlots, SortedUniqueAgainstAModel) {
    ImagesStore store;
    int count = -1;
    FILE *f = OpenImagePlotFile(store.group, &count);
    ASSERT_TRUE(f);
    std::fclose(f);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Bytes(store.PlotPath()).size(), 13u);
    EXPECT_EQ(IsImagePlotShownByName(store.group, "none.jpg"), -1);

    ImagePlotRecord b = Plot("b.jpg"), a = Plot("A.jpg"), B = Plot("B.JPG", 5);
    ASSERT_EQ(AddImagePlotRecord(store.group, &b), 1);
    ASSERT_EQ(AddImagePlotRecord(store.group, &a), 1);
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"a.jpg", "b.jpg"}));
    ASSERT_EQ(AddImagePlotRecord(store.group, &B), 2);
    ASSERT_EQ(store.Count(), 2);
    f = OpenImagePlotFile(store.group, &count);
    ImagePlotRecord read;
    ASSERT_EQ(ReadImagePlotRecord(f, &read, 1), 1);
    EXPECT_EQ(+read.rightAscension, 5 * kTestPi / 12);
    EXPECT_EQ(FindImagePlotRecordInFile(f, "A.JPG", &read), 1);
    EXPECT_EQ(FindImagePlotRecordInFile(f, "c.jpg", &read), 0);
    std::fclose(f);

    std::map<std::string, double> model = {{"a.jpg", 1}, {"b.jpg", 5}};
    std::mt19937 random(39);
    for (int step = 0; step < 120; ++step) {
        std::string name = std::string(1, static_cast<char>('a' + random() % 8)) + ".jpg";
        if (random() % 3 == 0) {
            auto it = model.find(name);
            int index = it == model.end() ? 0 : static_cast<int>(std::distance(model.begin(), it));
            if (it != model.end()) {
                ASSERT_EQ(DeleteImagePlotRecordAt(store.group, index, nullptr), 1);
                model.erase(it);
            }
        } else {
            std::string upper = name;
            if (random() % 2) upper[0] = static_cast<char>(std::toupper(upper[0]));
            ImagePlotRecord r = Plot(upper.c_str(), step);
            int result = AddImagePlotRecord(store.group, &r);
            ASSERT_EQ(result, model.count(name) ? 2 : 1);
            model[name] = step;
        }
        std::vector<std::string> names;
        for (const auto &kv : model) names.push_back(kv.first);
        ASSERT_EQ(store.Names(), names) << "step " << step;
    }
}

TEST(ImagePlots, DeletingRecordsAndSharedFiles) {
    ImagesStore store;
    GroupRecord other;
    ASSERT_GT(AddGroup(kGroupImages, "Other", &other), 0);
    for (const char *n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}) {
        ImagePlotRecord r = Plot(n);
        ASSERT_EQ(AddImagePlotRecord(store.group, &r), 1);
        ASSERT_TRUE(testutil::WriteFileBytes(store.dir.file(std::string("images/") + n), "img"));
    }
    size_t size = Bytes(store.PlotPath()).size();
    char name[65];
    ASSERT_EQ(DeleteImagePlotRecordAt(store.group, 0, name), 1);
    EXPECT_STREQ(name, "a.jpg");
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
    EXPECT_EQ(Bytes(store.PlotPath()).size(), size);  // stale tail kept
    EXPECT_EQ(DeleteImagePlotRecordAt(store.group, 4, name), 0);
    // "c.jpg" is placed by the other group too: its file stays.
    ImagePlotRecord c = Plot("c.jpg");
    ASSERT_EQ(AddImagePlotRecord(other.id, &c), 1);
    ASSERT_EQ(DeleteAllImagePlotRecords(store.group), 1);
    EXPECT_EQ(store.Count(), 0);
    for (const char *n : {"a.jpg", "b.jpg", "d.jpg", "e.jpg"})
        EXPECT_EQ(testutil::PathIsThere(store.dir.file(std::string("images/") + n)), n[0] == 'a') << n;
    EXPECT_TRUE(testutil::PathIsThere(store.dir.file("images/c.jpg")));

    // Moving onto the same group keeps the record; to another moves it.
    int index = 0;
    EXPECT_EQ(MoveImagePlotRecord(other.id, other.id, &index), 0);
    EXPECT_EQ(MoveImagePlotRecord(other.id, store.group, &index), 1);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(store.Names(), std::vector<std::string>{"c.jpg"});
}

TEST(ImagePlots, ShownFlagAndRefusedNames) {
    ImagesStore store;
    ImagePlotRecord a = Plot("a.jpg"), b = Plot("b.jpg");
    ASSERT_EQ(AddImagePlotRecord(store.group, &a), 1);
    ASSERT_EQ(AddImagePlotRecord(store.group, &b), 1);
    EXPECT_EQ(SetImagePlotShownByName(store.group, "B.jpg", 1), 1);
    EXPECT_EQ(IsImagePlotShownAt(store.group, 1), 1);
    EXPECT_EQ(IsImagePlotShownAt(store.group, 0), 0);
    EXPECT_EQ(ToggleImagePlotShownAt(store.group, 0), 1);
    EXPECT_EQ(IsImagePlotShownByName(store.group, "a.jpg"), 1);
    EXPECT_EQ(SetAllImagePlotsShown(store.group, 0), 1);
    EXPECT_EQ(IsImagePlotShownByName(store.group, "a.jpg"), 0);
    EXPECT_EQ(SetImagePlotShownAt(store.group, -1, 1), 0);
    EXPECT_EQ(SetImagePlotShownByName(store.group, "zz.jpg", 1), 0);
    for (const char *bad : {"../x.jpg", "a/b.jpg", "c:x.jpg", "..", "con.jpg", ""}) {
        ImagePlotRecord r = Plot("x");
        std::snprintf(r.fileName, sizeof r.fileName, "%s", bad);
        EXPECT_EQ(AddImagePlotRecord(store.group, &r), 0) << bad;
    }
    EXPECT_EQ(store.Count(), 2);
    // A damaged count is refused, never made over.
    std::string bytes = Bytes(store.PlotPath());
    int32_t huge = 1000;
    std::memcpy(&bytes[5], &huge, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(store.PlotPath(), bytes));
    int count = 0;
    EXPECT_EQ(OpenImagePlotFile(store.group, &count), nullptr);
    ImagePlotRecord c = Plot("c.jpg");
    EXPECT_EQ(AddImagePlotRecord(store.group, &c), -1);
    EXPECT_EQ(Bytes(store.PlotPath()), bytes);
}

TEST(ImagePlots, EveryFailedInsertKeepsThePlacements) {
    ImagesStore store;
    ImagePlotRecord a = Plot("a.jpg"), c = Plot("c.jpg");
    ASSERT_EQ(AddImagePlotRecord(store.group, &a), 1);
    ASSERT_EQ(AddImagePlotRecord(store.group, &c), 1);
    std::string before = Bytes(store.PlotPath());
    testutil::ForEachFailurePoint(
        [&] { testutil::WriteFileBytes(store.PlotPath(), before); },
        [&] {
            ImagePlotRecord b = Plot("b.jpg");
            return AddImagePlotRecord(store.group, &b);
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_NE(run.result, 1);
            EXPECT_EQ(Bytes(store.PlotPath()), before);
        });
}
