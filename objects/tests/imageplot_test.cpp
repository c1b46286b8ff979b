// Tests of the image-plot object builder over an images group and a plot
// file written byte by byte in a scratch user folder.
#include "objects/imageplot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "core/fsys.h"
#include "core/grouplist.h"
#include "core/userfolder.h"
#include "objects/objectrecord.h"
#include "testutil/testutil.h"

namespace {

void PutDouble(std::string &b, size_t at, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) b[at + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

class ImagePlot : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = GetUserDataFolder() ? GetUserDataFolder() : "";
        SetUserDataFolder(dir_.path().c_str());
        GroupRecord g;
        std::memset(&g, 0, sizeof g);
        ASSERT_GT(AddGroup(kGroupImages, "Nebulae", &g), 0);
        group_ = g.id;
        folder_ = dir_.path() + "/images/" + g.folder;
        ASSERT_TRUE(FsKind(folder_) == 1 || FsMakeFolder(folder_));
        // Stamp 55555, 3, 1, 'f'; two records: M 42's field and a second one.
        std::string plot(9 + 2 * 188, '\0');
        plot[0] = static_cast<char>(55555 & 0xFF);
        plot[1] = static_cast<char>(55555 >> 8);
        plot[2] = 3;
        plot[3] = 1;
        plot[4] = 'f';
        plot[5] = 2;
        PutDouble(plot, 9, 1.4632);
        PutDouble(plot, 9 + 8, -0.0941);
        PutDouble(plot, 9 + 16, 0.0123);
        PutDouble(plot, 9 + 188, 5.5);
        PutDouble(plot, 9 + 188 + 8, 0.75);
        PutDouble(plot, 9 + 188 + 16, 0.002);
        std::memcpy(&plot[9 + 58], "m42.jpg", 7);
        ASSERT_TRUE(testutil::WriteFileBytes(folder_ + "/implot.bin", plot));
    }
    void TearDown() override { SetUserDataFolder(saved_.c_str()); }

    static ObjectRecord PlotRecord(int index) {
        ObjectRecord r;
        ClearObjectRecord(&r);
        r.objectClass = kClassImagePlot;
        r.index = index;
        r.categoryBits = 0x1234;
        r.magnitude = 7.0f;
        r.sizeMajor = 1.0f;
        return r;
    }

    testutil::TempDir dir_;
    std::string saved_, folder_;
    int group_ = 0;
};

TEST_F(ImagePlot, RecordTakesThePlaceAndSizeOfItsImage) {
    ObjectRecord r = PlotRecord(1);
    ASSERT_EQ(BuildImagePlotObject(group_, &r, nullptr, nullptr, 0.2), 1);
    EXPECT_DOUBLE_EQ(r.raCatalogue, 5.5);
    EXPECT_DOUBLE_EQ(r.decCatalogue, 0.75);
    EXPECT_FLOAT_EQ(+r.extent, 0.002f);
    EXPECT_EQ(+r.magnitude, 0.0f);
    EXPECT_EQ(+r.sizeMajor, 0.0f);
    EXPECT_EQ(+r.sizeMinor, 0.0f);
    EXPECT_FLOAT_EQ(+r.magnitude2, 99.9f);
    EXPECT_FLOAT_EQ(+r.colourIndex, 99.0f);
    EXPECT_EQ(+r.categoryBits, 0u);
    r = PlotRecord(0);
    ASSERT_EQ(BuildImagePlotObject(group_, &r, nullptr, nullptr, 0.2), 1);
    EXPECT_DOUBLE_EQ(r.raCatalogue, 1.4632);
    EXPECT_DOUBLE_EQ(r.decCatalogue, -0.0941);
}

TEST_F(ImagePlot, NothingIsBuiltWithoutItsRecord) {
    const struct {
        int group, objectClass, index;
    } cases[] = {
        {0, kClassImagePlot, 2},      // beyond the plot file's count
        {0, kClassImagePlot, -1},     // no record
        {0, kClassStar, 0},           // another class
        {999, kClassImagePlot, 0},    // no such images group
    };
    for (const auto &c : cases) {
        ObjectRecord r = PlotRecord(c.index);
        r.objectClass = static_cast<uint8_t>(c.objectClass);
        ObjectRecord before = r;
        EXPECT_EQ(BuildImagePlotObject(c.group ? c.group : group_, &r, nullptr, nullptr, 0.2), 0)
            << c.group << " " << c.objectClass << " " << c.index;
        EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
    }
    EXPECT_EQ(BuildImagePlotObject(group_, nullptr, nullptr, nullptr, 0.2), 0);
    // A plot file with another stamp or cut short is not read.
    std::string bad(9 + 100, '\0');
    bad[5] = 1;
    ASSERT_TRUE(testutil::WriteFileBytes(folder_ + "/implot.bin", bad));
    ObjectRecord r = PlotRecord(0);
    EXPECT_EQ(BuildImagePlotObject(group_, &r, nullptr, nullptr, 0.2), 0);
    bad[0] = static_cast<char>(55555 & 0xFF);
    bad[1] = static_cast<char>(55555 >> 8);
    ASSERT_TRUE(testutil::WriteFileBytes(folder_ + "/implot.bin", bad));
    EXPECT_EQ(BuildImagePlotObject(group_, &r, nullptr, nullptr, 0.2), 0);
}

}  // namespace
