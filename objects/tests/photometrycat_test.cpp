// Tests of the photometric catalogue readers on records written by hand:
// each layout's fields after the values, the "none" thresholds, and the
// refusal of record numbers whose seek fails instead of reading elsewhere.
#include "objects/photometrycat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put32;
using starbytes::Put8;

namespace {
const double kDeg = 3.14159265358979323846 / 180.0;

std::string Head(int size, double raDeg, double decDeg) {
    std::string r((size_t)size, '\0');
    Put32(r, 0, starbytes::Turn(raDeg * kDeg));
    Put32(r, 4, starbytes::Turn(decDeg * kDeg));
    return r;
}

class PhotometryFiles : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        std::string landolt = Head(62, 10.0, -5.0);
        Put16(landolt, 8, 11234);                         // V 11.234
        Put16(landolt, 10, (uint16_t)(int16_t)-120);      // B-V -0.120
        for (int i = 0; i < 6; ++i) Put32(landolt, 20 + 4 * i, 15 + i);
        Put8(landolt, 44, 4);
        Put8(landolt, 45, 12);
        std::memcpy(&landolt[46], "SA 92 339   ", 12);
        Put32(landolt, 58, 92339);
        Write("landolt.bin", landolt + Head(62, 11.0, -6.0));

        std::string ddo = Head(27, 20.0, 10.0);
        Put16(ddo, 8, (uint16_t)(int16_t)-30001);         // below -30: none
        Put16(ddo, 10, (uint16_t)(int16_t)-29999);        // -29.999 stays
        Put8(ddo, 22, 0x80 | 0x40 | 5);
        Put32(ddo, 23, 777);
        Write("ddo.bin", ddo);

        std::string geneva = Head(40, 30.0, 20.0);
        Put16(geneva, 8, 1500);
        Put16(geneva, 34, 0x8064);
        Put32(geneva, 36, 4242);
        Write("geneva.bin", geneva);

        std::string ubvri = Head(23, 40.0, 30.0);
        Put16(ubvri, 8, 6543);
        Put8(ubvri, 18, 3);
        Put32(ubvri, 19, 99);
        Write("ubvri.bin", ubvri);

        std::string uvby = Head(23, 50.0, 40.0);
        Put16(uvby, 8, (uint16_t)(int16_t)-30500);        // -30.5 stays (threshold -31)
        Put16(uvby, 10, (uint16_t)(int16_t)-31001);       // none
        Put8(uvby, 16, 6);
        Put8(uvby, 17, 2);
        Put8(uvby, 18, 9);
        Put32(uvby, 19, 1234);
        Write("uvby.bin", uvby);
    }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

TEST_F(PhotometryFiles, DecodesEachLayout) {
    PhotometryRecord r;
    FILE *f = OpenLandoltCatalogue();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(ReadLandoltStar(f, 1, &r), 1);
    EXPECT_NEAR(r.ra / kDeg, 10.0, 1e-6);
    EXPECT_NEAR(r.dec / kDeg, -5.0, 1e-6);
    EXPECT_EQ(r.count, 6);
    EXPECT_NEAR(r.values[0], 11.234, 1e-12);
    EXPECT_NEAR(r.values[1], -0.120, 1e-12);
    EXPECT_NEAR(r.errors[0], 0.0015, 1e-12);
    EXPECT_NEAR(r.errors[5], 0.0020, 1e-12);
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.counts[0], 12);
    EXPECT_EQ(r.counts[5], 12);
    EXPECT_STREQ(r.name, "SA 92 339   ");
    EXPECT_EQ(r.identifier, 92339);
    ASSERT_EQ(ReadLandoltStar(f, -1, &r), 1);
    EXPECT_NEAR(r.ra / kDeg, 11.0, 1e-6);
    std::fclose(f);

    f = OpenDdoCatalogue();
    ASSERT_EQ(ReadDdoStar(f, 1, &r), 1);
    EXPECT_EQ(r.count, 7);
    EXPECT_EQ(r.values[0], 99.9);
    EXPECT_NEAR(r.values[1], -29.999, 1e-12);
    EXPECT_EQ(r.code, 5);
    EXPECT_EQ(r.flag, 1);
    EXPECT_EQ(r.counts[6], 3);
    EXPECT_EQ(r.identifier, 777);
    EXPECT_STREQ(r.name, "");
    std::fclose(f);

    f = OpenGenevaCatalogue();
    ASSERT_EQ(ReadGenevaStar(f, 1, &r), 1);
    EXPECT_EQ(r.count, 13);
    EXPECT_NEAR(r.values[0], 1.5, 1e-12);
    for (int i = 0; i < 13; ++i) EXPECT_NEAR(r.errors[i], 0.1, 1e-12) << i;
    EXPECT_EQ(r.flag, 1);
    EXPECT_EQ(r.identifier, 4242);
    std::fclose(f);

    f = OpenUbvriCatalogue();
    ASSERT_EQ(ReadUbvriStar(f, 1, &r), 1);
    EXPECT_EQ(r.count, 5);
    EXPECT_NEAR(r.values[0], 6.543, 1e-12);
    EXPECT_EQ(r.flag, 1);
    EXPECT_EQ(r.counts[4], 20);
    EXPECT_EQ(r.identifier, 99);
    std::fclose(f);

    f = OpenUvbyCatalogue();
    ASSERT_EQ(ReadUvbyStar(f, 1, &r), 1);
    EXPECT_EQ(r.count, 4);
    EXPECT_NEAR(r.values[0], -30.5, 1e-12);
    EXPECT_EQ(r.values[1], 99.9);
    EXPECT_EQ(r.counts[0], 6);
    EXPECT_EQ(r.counts[2], 6);
    EXPECT_EQ(r.counts[3], 2);
    EXPECT_EQ(r.flag, 1);
    EXPECT_EQ(r.identifier, 1234);
    std::fclose(f);
}

TEST_F(PhotometryFiles, RefusesRecordsItCannotReach) {
    typedef FILE *(*Opener)();
    typedef int (*Reader)(FILE *, int, PhotometryRecord *);
    const struct {
        Opener open;
        Reader read;
    } catalogues[] = {{OpenLandoltCatalogue, ReadLandoltStar}, {OpenDdoCatalogue, ReadDdoStar},
                      {OpenGenevaCatalogue, ReadGenevaStar},   {OpenUbvriCatalogue, ReadUbvriStar},
                      {OpenUvbyCatalogue, ReadUvbyStar}};
    for (const auto &c : catalogues) {
        FILE *f = c.open();
        ASSERT_NE(f, nullptr);
        PhotometryRecord r;
        // Read record 1, then ask for records that do not exist: a failed or
        // refused seek must not hand back the record at the current position.
        ASSERT_EQ(c.read(f, 1, &r), 1);
        ASSERT_EQ(std::fseek(f, 0, SEEK_SET), 0);
        EXPECT_EQ(c.read(f, 0, &r), 0);
        EXPECT_EQ(c.read(f, -2, &r), 0);
        EXPECT_EQ(c.read(f, 5, &r), 0);
        EXPECT_EQ(c.read(nullptr, 1, &r), 0);
        EXPECT_EQ(c.read(f, 1, nullptr), 0);
        std::fclose(f);
    }
}

}  // namespace
