// Tests of the variable-star readers on records written by hand: the
// decoding of every field group, the search by name (including a number
// past the constellation's list and a gap in the numbering), and the
// suspected-variable numbering with its gap 14,812-15,000.
#include "objects/variablecat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;

namespace {

const double kDeg = 3.14159265358979323846 / 180.0;

// One 74-byte vref_f record.
std::string Record(int constellation, int number, double maxMag = 99.9, double minMag = 99.9) {
    std::string r(74, '\0');
    Put32(r, 0, starbytes::Turn(297.64 * kDeg));
    Put32(r, 4, starbytes::Turn(32.91 * kDeg));
    Put24(r, 8, 750000);   // no motion
    Put24(r, 11, 750000 + 100000);  // +1"/yr in Dec
    Put16(r, 14, 4242);
    Put8(r, 16, constellation);
    const uint32_t num = number >= 9000 ? (uint32_t)(number - 9000) | 0x2000 : (uint32_t)number;
    const uint32_t maxCode = maxMag > 90 ? 0x3ffff : (uint32_t)std::lround((maxMag + 6) * 1000);
    const uint32_t minCode = minMag > 90 ? 0x3ffff : (uint32_t)std::lround((minMag + 1) * 1000);
    Put32(r, 17, num | (maxCode << 14));
    Put32(r, 22, minCode << 14);
    Put32(r, 26, 0xffffffu);   // no epoch, code 0
    Put16(r, 43, 0xffff);
    Put32(r, 53, 0xffff);      // no types
    Put16(r, 69, 0xffff);
    Put16(r, 71, 0xffff);
    return r;
}

class VariableFiles : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        // Cygnus (31): R (1), then number 3 where number 2 would be (a gap),
        // then chi (9022). Delphinus (32): R (1).
        std::string r = Record(31, 1, 5.2, 14.3);
        Put32(r, 26, 2444000u | (7u << 24));
        const float fraction = 0.5f, period = 426.45f;
        std::memcpy(&r[30], &fraction, 4);
        std::memcpy(&r[34], &period, 4);
        Put8(r, 38, 0x21);                    // component 'A', superscript 2
        Put32(r, 39, 0x1 | 0x20 | (2u << 6) | (5u << 8) | (3u << 11) | 0x2000);
        Put16(r, 43, 7);                      // remark 7 + 1053
        Put32(r, 45, 12345u | (3u << 24));
        Put32(r, 49, 777u | (4u << 24));
        Put16(r, 53, 1 | (9 << 3));           // M
        Put16(r, 55, 0xfff0 | 0);             // suffix S, then end
        Put16(r, 57, 4 | (0 << 3) | 0x100);   // E, uncertain
        Put16(r, 59, 0xff10);                 // suffixes A, B
        Put16(r, 61, 0xffff);                 // end of list
        Put16(r, 69, 13200);                  // bright limit 5.2
        Put16(r, 71, 22300);                  // faint limit 14.3
        Put8(r, 73, 9);
        std::string vref = r + Record(31, 3) + Record(31, 9022, 3.3, 14.2) + Record(32, 1);
        Write("vref_f.bin", vref);
        std::string index(88 * 8, '\0');
        Put32(index, 30 * 8, 0); Put16(index, 30 * 8 + 4, 2); Put16(index, 30 * 8 + 6, 1);
        Put32(index, 31 * 8, 3 * 74); Put16(index, 31 * 8 + 4, 1); Put16(index, 31 * 8 + 6, 0);
        Write("vindex_f.bin", index);
    }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

TEST_F(VariableFiles, DecodesEveryFieldGroup) {
    VariableStarFiles *files = OpenVariableStarFiles();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(CountVariableStars(files), 4);
    VariableStarRecord v;
    std::memset(&v, 0, sizeof v);
    ASSERT_EQ(ReadVariableStar(files, 1, &v, 0x1f), 1);
    EXPECT_NEAR(v.ra / kDeg, 297.64, 1e-6);
    EXPECT_NEAR(v.dec / kDeg, 32.91, 1e-6);
    EXPECT_NEAR(v.pm_ra, 0.0, 1e-15);
    EXPECT_NEAR(v.pm_dec * 206264.806, 1.0, 1e-6);
    EXPECT_EQ(v.constellation, 31);
    EXPECT_EQ(v.number, 1);
    EXPECT_EQ(v.superscript, 2);
    EXPECT_EQ(v.component, 'A');
    EXPECT_STREQ(v.name, "R  Cyg");
    EXPECT_EQ(v.star_1, 12345);
    EXPECT_EQ(v.star_2, 777);
    EXPECT_EQ(v.max_band, 3);
    EXPECT_EQ(v.min_band, 4);
    EXPECT_NEAR(v.max_magnitude, 5.2, 1e-9);
    EXPECT_NEAR(v.min_magnitude, 14.3, 1e-9);
    EXPECT_NEAR(v.bright_limit, 5.2, 1e-9);
    EXPECT_NEAR(v.faint_limit, 14.3, 1e-9);
    EXPECT_EQ(v.extra_byte, 9);
    EXPECT_EQ(v.extra_word, 4242);
    EXPECT_NEAR(v.epoch, 2444000.5, 1e-9);
    EXPECT_EQ(v.epoch_code, 7);
    EXPECT_NEAR(v.period, 426.45, 1e-4);
    EXPECT_EQ(v.remark, 1060);
    EXPECT_EQ(v.flag_0, 1);
    EXPECT_EQ(v.flag_5, 1);
    EXPECT_EQ(v.flag_1, 0);
    EXPECT_EQ(v.code_6_7, 2);
    EXPECT_EQ(v.code_8_10, 5);
    EXPECT_EQ(v.code_11_12, 3);
    EXPECT_EQ(v.flag_13, 1);
    ASSERT_EQ(v.type_count, 2);
    char types[kVariabilityTypesTextSize];
    FormatVariabilityTypes(v.types, v.type_count, types);
    EXPECT_STREQ(types, "MS+EAB:");

    // The next record; missing values; past the end.
    ASSERT_EQ(ReadVariableStar(files, -1, &v, 0x1f), 1);
    EXPECT_EQ(v.number, 3);
    EXPECT_EQ(v.max_magnitude, 99.9);
    EXPECT_EQ(v.faint_limit, 99.9);
    EXPECT_EQ(v.epoch, -1.0);
    EXPECT_EQ(v.epoch_code, 0);
    EXPECT_EQ(v.remark, 0);
    EXPECT_EQ(v.type_count, 0);
    EXPECT_EQ(v.component, ' ');
    EXPECT_EQ(ReadVariableStar(files, 5, &v, 0x1f), 0);
    EXPECT_EQ(ReadVariableStar(files, 0, &v, 0x1f), 0);
    CloseVariableStarFiles(files);
}

TEST_F(VariableFiles, FindsByNameAndNeverAnotherStar) {
    VariableStarFiles *files = OpenVariableStarFiles();
    ASSERT_NE(files, nullptr);
    const struct {
        const char *name;
        int found, record;
    } cases[] = {
        {"R Cyg", 1, 1},    {"chi Cyg", 1, 3}, {"R Del", 1, 4},
        {"S Cyg", 0, 0},    // number 2's place holds number 3: a gap, not found
        {"T Cyg", 0, 0},    // beyond Cygnus' two numbered records (the next is R Del)
        {"V2500 Cyg", 0, 0}, {"psi Cyg", 0, 0}, {"R Xyz", 0, 0}, {"R ", 0, 0},
        {"Mira", 0, 0},     {"S Del", 0, 0},
    };
    for (const auto &c : cases) {
        VariableStarRecord v;
        std::memset(&v, 0, sizeof v);
        EXPECT_EQ(FindVariableStarsByName(files, c.name, &v, kVariableReadMagnitudes), c.found)
            << c.name;
        EXPECT_EQ(v.record_number, c.record) << c.name;
    }
    CloseVariableStarFiles(files);
}

TEST_F(VariableFiles, OpenFailsUnlessBothFilesOpen) {
    ASSERT_EQ(std::remove(dir_.file("vref_f.bin").c_str()), 0);
    EXPECT_EQ(OpenVariableStarFiles(), nullptr);
}

TEST(NsvFile, NumberingAroundTheGap) {
    EXPECT_EQ(NsvRecordIndex(1), 0);
    EXPECT_EQ(NsvRecordIndex(14811), 14810);
    EXPECT_EQ(NsvRecordIndex(14812), -1);
    EXPECT_EQ(NsvRecordIndex(14900), -1);
    EXPECT_EQ(NsvRecordIndex(15000), -1);
    EXPECT_EQ(NsvRecordIndex(15001), 14811);
    EXPECT_EQ(NsvRecordIndex(0), -1);

    testutil::TempDir dir;
    SetRefDirectories(dir.path().c_str(), dir.path().c_str(), dir.path().c_str());
    std::string bytes(14813 * 38, '\0');
    for (int k : {14810, 14811, 14812}) {
        const size_t at = (size_t)k * 38;
        Put32(bytes, at + 8, (uint32_t)(k - 14000) | (0xfffu << 12) | (5u << 24));
        Put24(bytes, at + 12, (uint32_t)k);
        Put16(bytes, at + 19, 0x10 | 0x3 | (300u << 7));
        Put32(bytes, at + 21, 0xffff);
        Put24(bytes, at + 32, 750000);
        Put24(bytes, at + 35, 750000);
    }
    Put16(bytes, 14811 * 38 + 21, 4);       // E
    Put16(bytes, 14811 * 38 + 23, 0xfff2);  // suffix W
    Put32(bytes, 14811 * 38 + 25, 0xffff);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("nsvref_f.bin"), bytes));
    FILE *f = OpenNsvFile();
    ASSERT_NE(f, nullptr);
    NsvRecord n;
    std::memset(&n, 0, sizeof n);
    ASSERT_EQ(ReadNsvRecord(f, 14811, 0, &n, 0x1b), 1);
    EXPECT_STREQ(n.name, "NSV 14811");
    EXPECT_EQ(n.star_1, 14810);
    EXPECT_NEAR(n.magnitude_1, 8.10 - 1.6, 1e-9);
    EXPECT_EQ(n.magnitude_2, 99.9);
    EXPECT_EQ(n.byte_11, 5);
    EXPECT_EQ(n.flag_4, 1);
    EXPECT_EQ(n.code_0_1, 3);
    EXPECT_EQ(n.code_7_15, 300);
    EXPECT_EQ(n.type_count, 0);
    // The record after NSV 14,811 is NSV 15,001, read directly or as the next one.
    ASSERT_EQ(ReadNsvRecord(f, -1, 0, &n, 0x1b), 1);
    EXPECT_STREQ(n.name, "NSV 15001");
    EXPECT_EQ(n.star_1, 14811);
    ASSERT_EQ(n.type_count, 1);
    char types[kVariabilityTypesTextSize];
    FormatVariabilityTypes(n.types, n.type_count, types);
    EXPECT_STREQ(types, "EW");
    ASSERT_EQ(ReadNsvRecord(f, 15002, 0, &n, 0x08), 1);
    EXPECT_EQ(n.star_1, 14812);
    EXPECT_EQ(ReadNsvRecord(f, 14900, 0, &n, 0x08), 0);
    EXPECT_EQ(ReadNsvRecord(f, 15003, 0, &n, 0x08), 0);  // past the end of the file
    std::fclose(f);
}

}  // namespace
