// The layers of the user's data: user deep-sky objects (the "no magnitude"
// default, dark nebulae against their minimum, types without a table entry),
// sky marks without a magnitude test, user stars against the limit, star
// fields that reach the window or do not, their brightest-first cut-off, and
// plotted images: corners that map back to the sky, rotation, a large image
// seen through the 1.3 rule, and shown mode 0.
#include "charts/userlayers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "charts/chartcontext.h"
#include "charts/charttime.h"
#include "charts/deepskyitem.h"
#include "charts/starreader.h"
#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/mathutil.h"
#include "core/userfolder.h"
#include "minorbodies/usercatalogs.h"
#include "objects/objectrecord.h"
#include "objects/starfields.h"
#include "testutil/testutil.h"
#include "userdata/imageplots.h"

namespace {

const double kDeg = kPi / 180;
int32_t Turns(double deg) { return (int32_t)std::lround(deg * kDeg / (2 * kPi / 2147483647.0)); }

class UserLayers : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir.path().c_str());
        c.reset(new ChartContext);
        std::memset(c.get(), 0, sizeof *c);
        ASSERT_EQ(ClearStarReader(c.get()), 1);
        ASSERT_EQ(SetChartSite(c.get(), 75 * kDeg, 40 * kDeg, 0, 6.5, 0, 10, 50, 2, 0, -5), 1);
        ASSERT_EQ(SetChartTime(c.get(), 2451545.0), 1);
        Look(10, 10, 10);
    }
    void TearDown() override {
        EndStarFieldLayer(c.get());
        if (c->layerFile) std::fclose(c->layerFile);
        SetUserDataFolder("");
    }
    // A J2000 chart of 800 x 600 pixels; limit the star limit.
    void Look(double raDeg, double decDeg, double fieldDeg, double limit = 6.5) {
        ASSERT_EQ(SetStarSearchLimits(c.get(), limit, 1, 1, 100, 1, 0, 1, 1, 1), 1);
        ASSERT_EQ(BeginStarSearch(c.get(), raDeg * kDeg, decDeg * kDeg, 0, 0, fieldDeg * kDeg, 800, 600, 0,
                                  0, 0, 0, 0, kProjectionStereographic, 1, kStarDatabaseMag7, kFrameJ2000,
                                  0, 0),
                  1);
    }
    testutil::TempDir dir;
    std::unique_ptr<ChartContext> c;
};

TEST_F(UserLayers, UserDeepSkyObjectsTakeTheirTypesLimit) {
    int32_t count = 0;
    FILE *f = OpenUserDeepSkyFile(&count);
    ASSERT_NE(f, nullptr);
    struct Add {
        const char *name;
        int type, magnitude100;
    } adds[] = {
        {"no magnitude", kClassBrightNebula, 0},  // 15.0
        {"dark", kClassDarkNebula, 300},
        {"user type", kClassUserDeepSky, 600},
        {"faint galaxy", kClassGalaxy, 1400},
    };
    for (const Add &a : adds) {
        UserDeepSkyRecord r;
        std::memset(&r, 0, sizeof r);
        r.rightAscension = Turns(10);
        r.declination = Turns(10);
        r.magnitude = (int16_t)a.magnitude100;
        r.typeCode = (uint8_t)a.type;
        r.size1 = 600;
        r.size2 = 300;
        std::snprintf(r.name, sizeof r.name, "%s", a.name);
        ASSERT_EQ(AppendUserDeepSkyRecord(f, &r), 1);
    }
    std::fclose(f);
    // limits per layer: galaxies 13, bright nebulae 15.5; the chart's own limit 6.5
    uint8_t limits[8 * kClassLimitEntrySize] = {};
    auto setLimit = [&](int entry, double v) { std::memcpy(limits + kClassLimitEntrySize * entry, &v, 8); };
    setLimit(1, 13.0);
    setLimit(5, 15.5);
    auto names = [&](double darkMinimum) {
        std::vector<std::string> out;
        EXPECT_EQ(BeginUserDeepSkyLayer(c.get()), 1);
        DeepSkyPlotItem item{};
        int id;
        while ((id = ReadNextUserDeepSkyObject(c.get(), limits, &item, darkMinimum)) > 0) {
            out.push_back(item.label);
            if (std::string(item.label) == "no magnitude") {
                EXPECT_DOUBLE_EQ(item.magnitude, 15.0);
                EXPECT_EQ(item.classCode, kClassBrightNebula);
                EXPECT_NEAR(item.majorSize, 3.0 / 60 * 80, 1.5);  // half of 6' at 80 px a degree
            }
        }
        EXPECT_EQ(id, 0);
        return out;
    };
    // the user type uses the chart's 6.5 and passes with 6.0; the galaxy is too faint
    EXPECT_EQ(names(2.0), (std::vector<std::string>{"no magnitude", "dark", "user type"}));
    // a dark nebula below its minimum is left out whatever the limits
    EXPECT_EQ(names(4.0), (std::vector<std::string>{"no magnitude", "user type"}));
    setLimit(5, 14.9);
    EXPECT_EQ(names(2.0), (std::vector<std::string>{"dark", "user type"}));
}

TEST_F(UserLayers, SkyMarksIgnoreLimitsAndUserStarsDoNot) {
    int32_t count = 0;
    FILE *f = OpenSkyMarkFile(&count);
    SkyMarkRecord m;
    std::memset(&m, 0, sizeof m);
    m.rightAscension = Turns(10);
    m.declination = Turns(11);
    std::snprintf(m.name, sizeof m.name, "here");
    ASSERT_EQ(AppendSkyMarkRecord(f, &m), 1);
    std::fclose(f);
    f = OpenUserStarFile(&count);
    const int mags[] = {500, 900};
    for (int mag : mags) {
        UserStarRecord s;
        std::memset(&s, 0, sizeof s);
        s.rightAscension = Turns(9);
        s.declination = Turns(9);
        s.magnitude = (int16_t)mag;
        std::snprintf(s.name, sizeof s.name, "star %d", mag);
        ASSERT_EQ(AppendUserStarRecord(f, &s), 1);
    }
    std::fclose(f);
    Look(10, 10, 10, -5.0);
    ASSERT_EQ(BeginSkyMarkLayer(c.get()), 1);
    ChartStar star;
    char name[kUserObjectNameSize];
    EXPECT_EQ(ReadNextSkyMark(c.get(), &star, name), 1);  // ids start at 1
    EXPECT_STREQ(name, "here");
    EXPECT_EQ(star.radius, 0);
    EXPECT_EQ(ReadNextSkyMark(c.get(), &star, name), 0);
    EXPECT_EQ(ReadNextSkyMark(c.get(), &star, name), -1);  // the file is closed
    Look(10, 10, 10, 6.5);
    ASSERT_EQ(BeginUserStarLayer(c.get()), 1);
    EXPECT_EQ(ReadNextUserStar(c.get(), &star, name), 1);
    EXPECT_STREQ(name, "star 500");
    EXPECT_GT(star.radius, 0);
    EXPECT_EQ(ReadNextUserStar(c.get(), &star, name), 0);  // 9.0 is fainter than 6.5
}

// Star fields written as the store keeps them: index.bin (next number,
// count, the field headers) and one file per field (its header, then the
// stars brightest first).
struct Field {
    double raDeg, decDeg, radiusDeg;
    std::vector<double> mags;  // brightest first
};
void WriteStarFields(const std::string &user, const std::vector<Field> &fields) {
    std::string folder = user + "/starfield";
    ASSERT_EQ(EnsureDirectory(folder.c_str()), 1);
    std::string index;
    int32_t head[2] = {(int32_t)fields.size() + 1, (int32_t)fields.size()};
    index.append(reinterpret_cast<const char *>(head), sizeof head);
    for (size_t i = 0; i < fields.size(); ++i) {
        const Field &f = fields[i];
        StarFieldHeader h;
        std::memset(&h, 0, sizeof h);
        h.number = (int32_t)i + 1;
        h.starCount = (int32_t)f.mags.size();
        h.rightAscension = f.raDeg * kDeg;
        h.declination = f.decDeg * kDeg;
        h.radius = f.radiusDeg * kDeg;
        std::string file(reinterpret_cast<const char *>(&h), sizeof h);
        index += file;
        for (size_t k = 0; k < f.mags.size(); ++k) {
            StarFieldEntry e;
            e.rightAscension = Turns(f.raDeg);
            e.declination = Turns(f.decDeg + 0.01 * k);
            e.magnitudeCode = (uint8_t)StarFieldCode(f.mags[k]);
            file.append(reinterpret_cast<const char *>(&e), sizeof e);
        }
        char name[32];
        std::snprintf(name, sizeof name, "/%05d.bin", h.number);
        ASSERT_TRUE(testutil::WriteFileBytes(folder + name, file));
    }
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "/index.bin", index));
}

TEST_F(UserLayers, StarFieldsWithinReachAndBrightestFirst) {
    // the window: 10 x 7.5 deg at (10, 10); half its diagonal 6.25 deg
    WriteStarFields(dir.path(), {{10, 10, 0.5, {14.0, 15.0, 16.0, 15.2}},
                                 {10, 10 + 6.25 + 1.0 + 0.05, 1.0, {14.0}},    // just beyond reach
                                 {10, 10 + 6.25 + 1.0 - 0.05, 1.0, {14.5}}});  // just within
    Look(10, 10, 10, 15.5);
    ASSERT_EQ(BeginStarFieldLayer(c.get()), 1);
    ChartStar star;
    int r, stars = 0;
    while ((r = ReadNextStarFieldStar(c.get(), &star)) == 1) ++stars;
    EXPECT_EQ(r, 0);
    // 14.0 and 15.0 of the first field (its stars come brightest first: the
    // cut at 16.0 leaves out the 15.2 behind it), and the star of the field
    // within reach, placed outside the window but returned
    EXPECT_EQ(stars, 3);
    EXPECT_DOUBLE_EQ(StarFieldMagnitude(0), 13.5);
    EXPECT_DOUBLE_EQ(StarFieldMagnitude(255), 23.0);
    EndStarFieldLayer(c.get());
    EXPECT_EQ(c->starFieldIndex, nullptr);
}

class ImageLayer : public UserLayers {
protected:
    void SetUp() override {
        UserLayers::SetUp();
        GroupRecord g;
        ASSERT_GT(AddGroup(kGroupImages, "Main", &g), 0);
        group = g.id;
    }
    void Add(const char *name, double raDeg, double decDeg, double sizeDeg, int w, int h, double rotDeg,
             bool shown = true) {
        ImagePlotRecord r;
        std::memset(&r, 0, sizeof r);
        FillImagePlotRecord(&r, name, kImageJpeg, raDeg / 15, decDeg, sizeDeg, w, h, rotDeg, 0, "");
        r.flags = shown ? kImagePlotShown : 0;
        ASSERT_GE(AddImagePlotRecord(group, &r), 1);
    }
    int group = 0;
};

TEST_F(ImageLayer, CornersMapBackToTheSky) {
    ImagePlotRecord r;
    std::memset(&r, 0, sizeof r);
    FillImagePlotRecord(&r, "m42.jpg", kImageJpeg, 83.8 / 15, -5.4, 1.0, 400, 300, 0, 0, "");
    std::unique_ptr<ImageProjection> ip(new ImageProjection);
    ASSERT_EQ(InitImageProjection(&r, ip.get(), 0, 0), 1);
    double a[5], d[5];
    // centre, then the middles of the top, bottom, left and right edges
    const int px[5] = {199, 199, 199, 0, 400}, py[5] = {149, 0, 300, 149, 149};
    for (int k = 0; k < 5; ++k) ASSERT_EQ(ImagePixelToSky(ip.get(), px[k], py[k], &a[k], &d[k]), 1) << k;
    EXPECT_LT(AngularSeparation(a[0], d[0], r.rightAscension, r.declination), 0.01 * kDeg);
    // the size spans the height; the width in proportion
    EXPECT_NEAR(AngularSeparation(a[1], d[1], a[2], d[2]), 1.0 * kDeg, 0.01 * kDeg);
    EXPECT_NEAR(AngularSeparation(a[3], d[3], a[4], d[4]), 400.0 / 300 * kDeg, 0.02 * kDeg);
    // top and bottom lie north and south of the centre
    EXPECT_NEAR(std::fabs(d[1] - d[2]), 1.0 * kDeg, 0.01 * kDeg);
    // turned a quarter: the top edge's middle now lies east or west of the centre
    FillImagePlotRecord(&r, "m42.jpg", kImageJpeg, 83.8 / 15, -5.4, 1.0, 400, 300, 90, 0, "");
    ASSERT_EQ(InitImageProjection(&r, ip.get(), 0, 0), 1);
    double ta, td, ba, bd;
    ASSERT_EQ(ImagePixelToSky(ip.get(), 199, 0, &ta, &td), 1);
    ASSERT_EQ(ImagePixelToSky(ip.get(), 199, 300, &ba, &bd), 1);
    EXPECT_NEAR(AngularSeparation(ta, td, ba, bd), 1.0 * kDeg, 0.02 * kDeg);
    EXPECT_LT(std::fabs(td - bd), 0.02 * kDeg);
}

TEST_F(ImageLayer, VisibleImagesSkippedImagesAndShownModes) {
    Add("a.jpg", 10, 10, 1.0, 400, 300, 0, true);     // in the window
    Add("b.jpg", 100, 10, 1.0, 400, 300, 0, false);   // far away
    // 30 deg across, centred 8 deg away: the window lies inside it, no corner
    // or centre in the window
    Add("c.jpg", 10, 18, 30.0, 400, 400, 0, true);
    Look(10, 10, 10);
    auto run = [&](int mode) {
        std::vector<std::string> out;
        EXPECT_EQ(BeginImageLayer(c.get(), group), 1);
        std::unique_ptr<ImagePlotItem> item(new ImagePlotItem);
        int r;
        while ((r = ReadNextImage(c.get(), item.get(), 0, mode)) == 1)
            out.push_back(std::string(item->fileName) + (item->shown ? "+" : "-"));
        EXPECT_EQ(r, 0);
        return out;
    };
    EXPECT_EQ(run(kImagesAsStored), (std::vector<std::string>{"a.jpg+", "c.jpg+"}));
    EXPECT_EQ(run(kImagesAllHidden), (std::vector<std::string>{"a.jpg-", "c.jpg-"}));
    EXPECT_TRUE(run(kImagesNone).empty());
    // the small image's corners: a box of 400 x 300 image pixels over 1 deg
    // of height, at 80 chart pixels a degree
    ASSERT_EQ(BeginImageLayer(c.get(), group), 1);
    std::unique_ptr<ImagePlotItem> item(new ImagePlotItem);
    ASSERT_EQ(ReadNextImage(c.get(), item.get(), 0, kImagesAsStored), 1);
    EXPECT_NEAR(std::abs(item->cornerY[0] - item->cornerY[1]), 80, 3);
    EXPECT_NEAR(std::abs(item->cornerX[0] - item->cornerX[3]), 80 * 400 / 300.0, 3);
    EXPECT_NEAR(item->x, 399, 2);
    EXPECT_NEAR(item->y, 299, 2);
    EXPECT_EQ(item->index, 0);
}

}  // namespace
