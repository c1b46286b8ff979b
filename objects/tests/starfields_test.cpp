// Tests of the user star fields: magnitude codes, closing (sorting, the
// index), duplicate removal against a small deep star database written here,
// deleting, the walk, and every store step failed in turn.
#include "objects/starfields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

const double kPiHere = 3.14159265358979323846;
double Deg(double d) { return d * kPiHere / 180; }
const double kArcsec = kPiHere / 648000;
// The field's centre: inside magx zone 12, region 0, sub-region (0, 0),
// which spans 0 to 2.5 degrees in both right ascension and declination.
const double kCentreRa = Deg(1.25), kCentreDec = Deg(1.25);

struct DeepStar {
    double ra, dec;  // radians
    int byte;        // magnitude byte: V = byte x 7 / 255 + 13
};

// magx/db12/stars00.bin holding the stars in sub-region 0 as faint-star
// records, the other eight sub-regions empty (each still with a code byte).
void WriteMiniMagx(const std::string &map, std::vector<DeepStar> stars) {
    std::sort(stars.begin(), stars.end(),
              [](const DeepStar &a, const DeepStar &b) { return a.byte < b.byte; });
    std::string head(9 * 8, '\0'), body;
    auto put32 = [&head](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) head[at + i] = (char)(v >> (8 * i));
    };
    body += (char)6;
    for (size_t i = 0; i < stars.size(); ++i) {
        uint32_t f = (uint32_t)std::lround(stars[i].ra / Deg(2.5) * 1048575);
        uint32_t g = (uint32_t)std::lround(stars[i].dec / Deg(2.5) * 1048575);
        uint32_t word = f | (g & 0xFFF) << 20;
        for (int k = 0; k < 4; ++k) body += (char)(word >> (8 * k));
        body += (char)(g >> 12);
        body += (char)stars[i].byte;
        body += '\0';
        body += (char)6;
    }
    put32(0, 72);
    put32(4, (uint32_t)stars.size());
    for (int n = 1; n < 9; ++n) {
        put32(8 * n, (uint32_t)(72 + body.size()));
        put32(8 * n + 4, 0);
    }
    body += (char)6;
    ASSERT_EQ(1, EnsureDirectory((map + "magx").c_str()));
    ASSERT_EQ(1, EnsureDirectory((map + "magx/db12").c_str()));
    ASSERT_TRUE(testutil::WriteFileBytes(map + "magx/db12/stars00.bin", head + body));
}

class StarFields : public ::testing::Test {
protected:
    void SetUp() override {
        user_ = dir_.path() + "/user";
        map_ = dir_.path() + "/map/";
        ASSERT_EQ(1, EnsureDirectory(user_.c_str()));
        ASSERT_EQ(1, EnsureDirectory(map_.c_str()));
        SetUserDataFolder(user_.c_str());
        SetMapDirectories(map_.c_str(), map_.c_str(), map_.c_str());
        WriteMiniMagx(map_, {});
    }
    void TearDown() override {
        SetFileStepFailure(0);
        SetUserDataFolder("");
        SetMapDirectories("", "", "");
    }

    // Writes and closes a field of (dec offset in arcseconds, magnitude) stars
    // on the centre's right ascension; its number, or -1.
    int MakeField(const std::vector<std::pair<double, double>> &stars, int *cancel = nullptr) {
        FILE *f = CreateStarField(kCentreRa, kCentreDec, 60 * kArcsec, "Test field");
        if (!f) return -1;
        StarFieldHeader h;
        std::fseek(f, 0, SEEK_SET);
        if (std::fread(&h, sizeof h, 1, f) != 1) return -1;
        std::fseek(f, 0, SEEK_END);
        int count = 0;
        for (auto &s : stars)
            AddStarFieldStar(f, kCentreRa, kCentreDec + s.first * kArcsec, s.second, &count);
        int noCancel = 0;
        return CloseStarField(f, count, cancel ? cancel : &noCancel) ? h.number : -1;
    }

    std::string FieldFile(int number) const {
        char name[32];
        std::snprintf(name, sizeof name, "/starfield/%05d.bin", number);
        return testutil::ReadFileBytes(user_ + name);
    }
    std::string IndexFile() const { return testutil::ReadFileBytes(user_ + "/starfield/index.bin"); }

    static int32_t At32(const std::string &b, size_t at) {
        int32_t v;
        std::memcpy(&v, b.data() + at, 4);
        return v;
    }

    testutil::TempDir dir_;
    std::string user_, map_;
};

TEST_F(StarFields, MagnitudeRangeAndCodes) {
    FILE *f = CreateStarField(kCentreRa, kCentreDec, 60 * kArcsec, "codes");
    ASSERT_TRUE(f);
    struct Case {
        double magnitude;
        int result, code;
    } cases[] = {{13.4, 2, -1}, {23.1, 2, -1}, {13.5, 1, 0}, {18.25, 1, 128},
                 // 23.0 would be 255, the removal mark: it keeps 254
                 {23.0, 1, 254}};
    int count = 0, written = 0;
    for (const Case &c : cases) {
        EXPECT_EQ(c.result, AddStarFieldStar(f, 0, 0, c.magnitude, &count)) << c.magnitude;
        if (c.result == 1) ++written;
    }
    EXPECT_EQ(written, count);
    std::fclose(f);
    std::string bytes = FieldFile(0);
    ASSERT_EQ(86u + 9 * 3, bytes.size());
    EXPECT_EQ(0, (uint8_t)bytes[86 + 8]);
    EXPECT_EQ(128, (uint8_t)bytes[86 + 9 + 8]);
    EXPECT_EQ(254, (uint8_t)bytes[86 + 18 + 8]);
}

TEST_F(StarFields, CloseSortsAndIndexes) {
    std::vector<std::pair<double, double>> stars = {{-40, StarFieldMagnitude(40)},
                                                     {0, StarFieldMagnitude(10)},
                                                     {40, StarFieldMagnitude(25)}};
    int number = MakeField(stars);
    ASSERT_EQ(0, number);
    std::string field = FieldFile(number);
    ASSERT_EQ(86u + 27, field.size());
    EXPECT_EQ(3, At32(field, 4));
    double brightest;
    std::memcpy(&brightest, field.data() + 8, 8);
    EXPECT_DOUBLE_EQ(13.5 + 10 * 9.5 / 255, brightest);
    EXPECT_EQ(10, (uint8_t)field[86 + 8]);
    EXPECT_EQ(25, (uint8_t)field[95 + 8]);
    EXPECT_EQ(40, (uint8_t)field[104 + 8]);
    EXPECT_STREQ("Test field", field.data() + 40);
    std::string index = IndexFile();
    ASSERT_EQ(8u + 86, index.size());
    EXPECT_EQ(1, At32(index, 0));  // next number
    EXPECT_EQ(1, At32(index, 4));  // fields
    EXPECT_EQ(0, std::memcmp(index.data() + 8, field.data(), 86));
}

TEST_F(StarFields, DuplicatesOfTheDeepDatabaseAreRemoved) {
    // a deep star at the centre, V = 73 x 7 / 255 + 13 = 15.004
    WriteMiniMagx(map_, {{kCentreRa, kCentreDec, 73}});
    double v = 73 * 7.0 / 255 + 13;
    int number = MakeField({{5, v}, {12, v}, {-30, v}});
    ASSERT_GE(number, 0);
    std::string field = FieldFile(number);
    ASSERT_EQ(86u + 18, field.size());
    EXPECT_EQ(2, At32(field, 4));
    // the stars 12" and 30" away stay
    for (int i = 0; i < 2; ++i) {
        double dec = At32(field, 86 + 9 * i + 4) * 2 * kPiHere / 2147483647.0;
        EXPECT_GT(std::fabs(dec - kCentreDec), 11 * kArcsec);
    }
    std::string index = IndexFile();
    EXPECT_EQ(2, At32(index, 8 + 4));  // the index copy follows
}

TEST_F(StarFields, AFieldStarIsRemovedOnceForTwoDeepStars) {
    // two deep stars 3" either side of one field star: it is the best match
    // of both, but only one star goes; the far star stays and is counted
    WriteMiniMagx(map_, {{kCentreRa, kCentreDec - 3 * kArcsec, 73},
                         {kCentreRa, kCentreDec + 3 * kArcsec, 74}});
    double v = 73 * 7.0 / 255 + 13;
    int number = MakeField({{0, v}, {50, v}});
    ASSERT_GE(number, 0);
    std::string field = FieldFile(number);
    ASSERT_EQ(86u + 9, field.size());
    EXPECT_EQ(1, At32(field, 4));
    EXPECT_EQ(1, At32(IndexFile(), 8 + 4));
}

TEST_F(StarFields, CancelDeletesTheField) {
    WriteMiniMagx(map_, {{kCentreRa, kCentreDec, 73}});
    int cancel = 1;
    EXPECT_EQ(-1, MakeField({{5, 15.0}}, &cancel));
    EXPECT_EQ(8u, IndexFile().size());
    EXPECT_FALSE(testutil::PathIsThere(user_ + "/starfield/00000.bin"));
    // a cancelled removal changes nothing
    cancel = 0;
    int number = MakeField({{20, 15.0}});
    ASSERT_GE(number, 0);
    std::string before = FieldFile(number);
    cancel = 1;
    EXPECT_EQ(0, RemoveCatalogueStars(number, &cancel));
    EXPECT_EQ(before, FieldFile(number));
}

TEST_F(StarFields, DeleteKeepsTheNextNumber) {
    int number = MakeField({{20, 15.0}});
    ASSERT_GE(number, 0);
    ASSERT_EQ(1, DeleteStarField(number));
    std::string index = IndexFile();
    ASSERT_EQ(8u, index.size());
    EXPECT_EQ(number + 1, At32(index, 0));
    EXPECT_EQ(0, At32(index, 4));
    EXPECT_FALSE(testutil::PathIsThere(user_ + "/starfield/00000.bin"));
    EXPECT_EQ(0, DeleteStarField(number));
}

TEST_F(StarFields, AnAbandonedFieldKeepsItsNumber) {
    FILE *f = CreateStarField(kCentreRa, kCentreDec, 60 * kArcsec, "abandoned");
    ASSERT_TRUE(f);
    int count = 0;
    AddStarFieldStar(f, kCentreRa, kCentreDec, 15.0, &count);
    std::fclose(f);  // never closed as a field
    int number = MakeField({{20, 16.0}});
    EXPECT_EQ(1, number);
    std::string first = FieldFile(0);
    EXPECT_EQ(86u + 9, first.size());  // the abandoned field is not overwritten
}

TEST_F(StarFields, WalkFindsTheFieldsNearAPlace) {
    int near = MakeField({{20, 15.0}});
    ASSERT_GE(near, 0);
    FILE *f = CreateStarField(Deg(180), Deg(-40), 60 * kArcsec, "far");
    ASSERT_TRUE(f);
    int count = 0;
    // far from the mini database: its removal cannot read the region, so the
    // close fails after the field and the index are written
    AddStarFieldStar(f, Deg(180), Deg(-40), 15.0, &count);
    int cancel = 0;
    CloseStarField(f, count, &cancel);
    StarFieldWalk walk;
    ASSERT_EQ(1, OpenStarFieldWalk(&walk, kCentreRa + 100 * kArcsec, kCentreDec, 60 * kArcsec));
    EXPECT_EQ(2, walk.fieldCount);
    char name[kStarFieldNameSize];
    double ra, dec, radius;
    int stars, number;
    ASSERT_EQ(1, NextStarFieldNear(&walk, name, &ra, &dec, &radius, &stars, &number));
    EXPECT_STREQ("Test field", name);
    EXPECT_EQ(near, number);
    EXPECT_EQ(1, stars);
    EXPECT_EQ(0, NextStarFieldNear(&walk, name, &ra, &dec, &radius, &stars, &number));
    EXPECT_EQ(nullptr, walk.index);
    // 200" away with radius 60": out of reach of the field's 60"
    ASSERT_EQ(1, OpenStarFieldWalk(&walk, kCentreRa + 200 * kArcsec, kCentreDec, 60 * kArcsec));
    EXPECT_EQ(0, NextStarFieldNear(&walk, name, &ra, &dec, &radius, &stars, &number));
}

// Every file step of writing, closing (with a duplicate removed) and
// deleting a field failed in turn: the index and the field file always read
// whole, the failure is reported, and no temporary is left behind.
TEST_F(StarFields, EveryStepFailedLeavesWholeFiles) {
    WriteMiniMagx(map_, {{kCentreRa, kCentreDec, 73}});
    double v = 73 * 7.0 / 255 + 13;
    int runs = 0;
    auto check = [&](const testutil::FailurePointRun &run) {
        SCOPED_TRACE(testutil::DescribeFailurePoint(run));
        ++runs;
        std::string index = IndexFile();
        if (!index.empty()) {
            ASSERT_GE(index.size(), 8u);
            int32_t count = At32(index, 4);
            ASSERT_EQ(8u + 86 * count, index.size());
            for (int i = 0; i < count; ++i) {
                std::string field = FieldFile(At32(index, 8 + 86 * i));
                ASSERT_GE(field.size(), 86u);
                int32_t stars = At32(field, 4);
                EXPECT_EQ(86u + 9 * stars, field.size());
                EXPECT_GE(At32(index, 8 + 86 * i + 4), stars);
            }
        }
        EXPECT_TRUE(testutil::TemporariesBeside(user_ + "/starfield/index.bin").empty());
    };
    int steps = testutil::ForEachFailurePoint(
        [&] {
            SetFileStepFailure(0);
            std::string folder = user_ + "/starfield";
            for (int n = 0; n < 3; ++n) {
                char name[32];
                std::snprintf(name, sizeof name, "/%05d.bin", n);
                std::remove((folder + name).c_str());
            }
            std::remove((folder + "/index.bin").c_str());
        },
        [&] {
            int number = MakeField({{5, v}, {30, v}});
            if (number < 0) return 0;
            return DeleteStarField(number);
        },
        check);
    EXPECT_GT(steps, 5);
    EXPECT_EQ(steps, runs);
}

}  // namespace
