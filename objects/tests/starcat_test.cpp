// Tests of the master star catalogue reader: an 80-byte and a 22-byte record
// written by hand field by field and decoded group by group, the zone
// boundaries on a sparse file, sequential reads across zones, spectral
// texts, Durchmusterung packing, 24-bit references and the catalogue header.
#include "objects/starcat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;
using starbytes::Turn;

namespace {

const double kMasToRad = kPi / 648000.0 / 1000.0;

// Proper-motion code of a motion in mas/yr: (arcsec + 7.5) / 0.00001.
uint32_t PmCode(int mas) { return static_cast<uint32_t>(750000 + mas * 100); }

// One 80-byte record with every field set to a distinct value.
std::string FullRecord() {
    std::string b(80, '\0');
    Put32(b, 0, Turn(1.0));
    Put32(b, 4, Turn(-0.5));
    Put32(b, 8, PmCode(100) | (5u << 21));                        // csn record 5
    Put32(b, 12, PmCode(-200) | ((static_cast<uint32_t>(-3) & 0x7ff) << 21));
    Put8(b, 16, 7);                                              // source code
    Put16(b, 17, 2 | (105 << 4));                                // B9.5
    Put32(b, 19, 102000u | (1234u << 18));                       // 0.1" parallax, HR 1234
    Put16(b, 23, 150);                                           // 0.0015"
    Put16(b, 25, static_cast<uint16_t>(-25));                    // -2.5
    Put16(b, 27, static_cast<uint16_t>(-120));                   // B-V -0.12
    Put32(b, 29, 0x1234u | (120000u << 15));                     // HIP 120000
    Put16(b, 33, 321);                                           // variable record
    Put32(b, 35, 1u | (1u << 20) | (0xABu << 24));               // PPM 700001
    Put32(b, 39, 359083u | (77u << 19));                         // HD 359083
    Put32(b, 43, 258997u | (100u << 18));                        // SAO, NSV 100
    Put32(b, 47, 1591u | (106u << 15));                          // BD -16 1591
    Put32(b, 51, 12u | (84u << 15) | (2u << 23));                // CD +05 12b
    Put32(b, 55, 0);                                             // no CP
    Put16(b, 59, 4321);                                          // GC
    Put32(b, 61, 505u | (9876u << 15));                          // V 3.45, CCDM 9876
    Put32(b, 65, 1234u | (5678u << 14) | (2u << 28));            // TYC 5678-1234 2
    Put24(b, 69, 61u | (30u << 8) | (3u << 15) | (2u << 20));    // 61 Cyg, Gamma 2
    Put16(b, 72, 0xBEEF);
    Put16(b, 74, 0x0102);
    Put8(b, 76, 2 | (5 << 2) | (6 << 5));
    Put16(b, 77, 0x0340);                                        // bit 6: NSV + 16384
    Put8(b, 79, 'B');
    return b;
}

const unsigned char *Bytes(const std::string &s) {
    return reinterpret_cast<const unsigned char *>(s.data());
}

TEST(StarRecordDecode, EveryFieldOfAFullRecord) {
    std::string b = FullRecord();
    StarRecord r;
    DecodeStarRecord(Bytes(b), &r, nullptr, 0xffff & ~kStarReadName);
    EXPECT_NEAR(+r.ra, 1.0, 3e-9);
    EXPECT_NEAR(+r.dec, -0.5, 3e-9);
    EXPECT_EQ(+r.no_position, 0);
    EXPECT_EQ(+r.source_code, 7);
    EXPECT_EQ(+r.component, 'B');
    EXPECT_NEAR(+r.pm_dec, -200 * kMasToRad, 1e-15);
    EXPECT_NEAR(+r.pm_ra, 100 * kMasToRad / std::cos(-0.5), 1e-15);
    EXPECT_NEAR(+r.v_magnitude, 3.45, 3e-9);
    EXPECT_NEAR(+r.parallax, 0.1, 3e-9);
    EXPECT_NEAR(+r.parallax_error, 0.0015, 1e-12);
    EXPECT_NEAR(+r.extra_tenths, -2.5, 1e-12);
    EXPECT_NEAR(+r.b_v, -0.12, 1e-12);
    EXPECT_STREQ(r.spectral_type, "B9.5 ");
    EXPECT_EQ(+r.extra_byte, 0xAB);
    EXPECT_EQ(+r.code_1, 2);
    EXPECT_EQ(+r.code_2, 5);
    EXPECT_EQ(+r.code_3, 6);
    EXPECT_EQ(+r.flags, 0x0340);
    EXPECT_EQ(+r.common_name_record, 5);
    EXPECT_EQ(+r.extra_a, -3);
    EXPECT_EQ(+r.hr, 1234);
    EXPECT_EQ(+r.extra_c, 0x1234);
    EXPECT_EQ(+r.hip, 120000);
    EXPECT_EQ(+r.variable_record, 321);
    EXPECT_EQ(+r.ppm, 700001);
    EXPECT_EQ(+r.hd, 359083);
    EXPECT_EQ(+r.extra_b, 77);
    EXPECT_EQ(+r.sao, 258997);
    EXPECT_EQ(+r.nsv, 100 + 16384);
    EXPECT_EQ(+r.bd.zone, 16);
    EXPECT_EQ(+r.bd.sign, '-');
    EXPECT_EQ(+r.bd.number, 1591);
    EXPECT_EQ(+r.bd.suffix, ' ');
    EXPECT_EQ(+r.cd.zone, 5);
    EXPECT_EQ(+r.cd.sign, '+');
    EXPECT_EQ(+r.cd.number, 12);
    EXPECT_EQ(+r.cd.suffix, 'b');
    EXPECT_EQ(+r.cp.number, 0);
    EXPECT_EQ(+r.gc, 4321);
    EXPECT_EQ(+r.ccdm_record, 9876);
    EXPECT_EQ(+r.tycho_region, 5678);
    EXPECT_EQ(+r.tycho_number, 1234);
    EXPECT_EQ(+r.tycho_component, 2);
    EXPECT_EQ(+r.bayer_flamsteed[0], 61);
    EXPECT_EQ(+r.bayer_flamsteed[1], 30 | 0x80);  // constellation, low bit of the letter
    EXPECT_EQ(+r.bayer_flamsteed[2], 0x21);       // letter 3 >> 1, superscript 2
    EXPECT_EQ(+r.extra_d, 0xBEEF);
    EXPECT_EQ(+r.extra_e, 0x0102);
    EXPECT_STREQ(r.name, "");
}

// Each flag group decodes its own fields and leaves the others zero.
TEST(StarRecordDecode, FlagGroupsDecodeOnlyWhatWasAsked) {
    std::string b = FullRecord();
    StarRecord r;
    DecodeStarRecord(Bytes(b), &r, nullptr, 0);
    EXPECT_NEAR(+r.ra, 1.0, 3e-9);
    EXPECT_EQ(+r.component, 'B');
    EXPECT_EQ(+r.source_code, 7);
    EXPECT_EQ(+r.v_magnitude, 0.0);
    EXPECT_EQ(+r.pm_ra, 0.0);
    EXPECT_EQ(+r.hip, 0);
    EXPECT_STREQ(r.spectral_type, "");

    DecodeStarRecord(Bytes(b), &r, nullptr, kStarReadIdentifiers);
    EXPECT_EQ(+r.hip, 120000);
    EXPECT_EQ(+r.hd, 359083);
    EXPECT_EQ(+r.v_magnitude, 0.0);
    EXPECT_EQ(+r.parallax, 0.0);
    EXPECT_EQ(+r.pm_dec, 0.0);

    DecodeStarRecord(Bytes(b), &r, nullptr, kStarReadMagnitude);
    EXPECT_NEAR(+r.v_magnitude, 3.45, 3e-9);
    EXPECT_EQ(+r.parallax, 0.0);
    EXPECT_EQ(+r.hip, 0);

    DecodeStarRecord(Bytes(b), &r, nullptr, kStarReadMotion);
    EXPECT_NE(+r.pm_dec, 0.0);
    EXPECT_EQ(+r.v_magnitude, 0.0);

    DecodeStarRecord(Bytes(b), &r, nullptr, kStarReadPhotometry);
    EXPECT_NEAR(+r.v_magnitude, 3.45, 3e-9);
    EXPECT_NEAR(+r.parallax, 0.1, 3e-9);
    EXPECT_EQ(+r.hr, 0);
}

TEST(StarRecordDecode, MissingMagnitudesAndPlaceAtZero) {
    std::string b(80, '\0');
    Put32(b, 61, 32767);
    Put16(b, 27, 32767);
    StarRecord r;
    DecodeStarRecord(Bytes(b), &r, nullptr, kStarReadPhotometry);
    EXPECT_EQ(+r.v_magnitude, 99.9);
    EXPECT_EQ(+r.b_v, 99.9);
    EXPECT_EQ(+r.no_position, 1);
    Put32(b, 4, 1);  // the smallest declination off zero
    DecodeStarRecord(Bytes(b), &r, nullptr, 0);
    EXPECT_EQ(+r.no_position, 0);
}

// At a pole the RA motion (stored x cos Dec) has no finite RA rate: 0, not
// a division by nearly zero.
TEST(StarRecordDecode, RaMotionAtThePole) {
    std::string b(80, '\0');
    Put32(b, 4, Turn(kPi / 2));
    Put32(b, 8, PmCode(50));
    Put32(b, 12, PmCode(0));
    StarRecord r;
    DecodeStarRecord(Bytes(b), &r, nullptr, kStarReadMotion);
    EXPECT_EQ(+r.pm_ra, 0.0);
    EXPECT_TRUE(std::isfinite(+r.pm_dec));
}

TEST(CompactStarRecord, Fields) {
    std::string b(22, '\0');
    Put32(b, 0, Turn(2.0));
    Put32(b, 4, Turn(0.25));
    Put32(b, 8, PmCode(-40) | (1200u << 21));                    // V 10.4
    Put32(b, 12, PmCode(30) | (0x5Au << 21) | (1u << 29) | (1u << 30));
    Put16(b, 16, 500);
    Put32(b, 18, 77u | (4321u << 14) | (1u << 28));              // TYC 4321-0077 1
    StarRecord r;
    ExpandCompactStarRecord(Bytes(b), &r, 0);
    EXPECT_NEAR(+r.ra, 2.0, 3e-9);
    EXPECT_NEAR(+r.dec, 0.25, 3e-9);
    EXPECT_EQ(+r.source_code, 0x5A);
    EXPECT_EQ(+r.component, 'A');
    EXPECT_EQ(+r.v_magnitude, 0.0);  // no flags: no magnitude

    ExpandCompactStarRecord(Bytes(b), &r, kStarReadIdentifiers);
    EXPECT_EQ(+r.component, 'A');
    EXPECT_NEAR(+r.v_magnitude, 10.4, 3e-9);  // any flag reads the magnitude
    EXPECT_EQ(+r.tycho_region, 4321);
    EXPECT_EQ(+r.tycho_number, 77);
    EXPECT_EQ(+r.tycho_component, 1);
    EXPECT_STREQ(r.name, "TYC 04321-0077 1");
    EXPECT_EQ(+r.bd.sign, ' ');
    EXPECT_EQ(+r.bd.suffix, 0);
    EXPECT_EQ(+r.hip, 0);

    ExpandCompactStarRecord(Bytes(b), &r, kStarReadPhotometry | kStarReadMotion);
    EXPECT_EQ(+r.component, ' ');
    EXPECT_EQ(+r.flags, 0x102);
    EXPECT_NEAR(+r.b_v, 0.5, 1e-12);
    EXPECT_NEAR(+r.pm_dec, 30 * kMasToRad, 1e-15);
    EXPECT_NEAR(+r.pm_ra, -40 * kMasToRad / std::cos(0.25), 1e-15);
    EXPECT_STREQ(r.spectral_type, "");

    Put32(b, 8, 0x7ffu << 21);          // all eleven bits: no magnitude
    Put32(b, 12, 1u << 31);             // bit 31 alone decides the flags
    ExpandCompactStarRecord(Bytes(b), &r, kStarReadPhotometry);
    EXPECT_EQ(+r.v_magnitude, 99.9);
    EXPECT_EQ(+r.flags, 0x400);
}

TEST(StarCatalogueZones, OffsetsAndSizes) {
    struct { int n; long offset; } cases[] = {
        {1, 0}, {2, 80}, {1121815, 89745120L}, {1121816, 89745200L},
        {2591873, 122086454L}, {2591874, 122086476L}, {2591875, 122086556L}};
    for (auto c : cases) EXPECT_EQ(StarRecordOffset(c.n), c.offset) << c.n;
    EXPECT_EQ(StarRecordOffset(0), -1);
    EXPECT_EQ(StarRecordSizeAt(89745120L), 80);
    EXPECT_EQ(StarRecordSizeAt(89745200L), 22);
    EXPECT_EQ(StarRecordSizeAt(122086454L), 22);
    EXPECT_EQ(StarRecordSizeAt(122086476L), 80);
}

// A sparse file with records only at the four stars beside the zone edges,
// each with its own right ascension.
class SparseCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("stars.bin");
        FILE *f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        Write(f, 89745120L, Full(0.1));
        Write(f, 89745200L, Compact(0.2));
        Write(f, 122086454L, Compact(0.3));
        Write(f, 122086476L, Full(0.4));
        ASSERT_EQ(std::fclose(f), 0);
    }
    static std::string Full(double ra) {
        std::string b(80, '\0');
        Put32(b, 0, Turn(ra));
        Put8(b, 79, 'C');
        return b;
    }
    static std::string Compact(double ra) {
        std::string b(22, '\0');
        Put32(b, 0, Turn(ra));
        return b;
    }
    static void Write(FILE *f, long at, const std::string &bytes) {
        ASSERT_EQ(std::fseek(f, at, SEEK_SET), 0);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    testutil::TempDir dir_;
    std::string path_;
};

TEST_F(SparseCatalogue, ZoneBoundaries) {
    FILE *f = std::fopen(path_.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    struct { int n; double ra; char component; } cases[] = {
        {1121815, 0.1, 'C'}, {1121816, 0.2, 'A'}, {2591873, 0.3, 'A'}, {2591874, 0.4, 'C'}};
    StarRecord r;
    for (auto c : cases) {
        ASSERT_EQ(ReadStarRecord(f, c.n, &r, nullptr, 0), 1) << c.n;
        EXPECT_NEAR(+r.ra, c.ra, 3e-9) << c.n;
        EXPECT_EQ(+r.component, c.component) << c.n;
    }
    // Sequential reads size each record by the zone of the position.
    ASSERT_EQ(SeekStarRecord(f, 1121815), 0);
    ASSERT_EQ(ReadStarRecord(f, -1, &r, nullptr, 0), 1);
    EXPECT_NEAR(+r.ra, 0.1, 3e-9);
    ASSERT_EQ(ReadStarRecord(f, -1, &r, nullptr, 0), 1);
    EXPECT_NEAR(+r.ra, 0.2, 3e-9);
    EXPECT_EQ(std::ftell(f), 89745222L);
    ASSERT_EQ(SeekStarRecord(f, 2591873), 0);
    ASSERT_EQ(ReadStarRecord(f, -1, &r, nullptr, 0), 1);
    EXPECT_NEAR(+r.ra, 0.3, 3e-9);
    ASSERT_EQ(ReadStarRecord(f, -1, &r, nullptr, 0), 1);
    EXPECT_NEAR(+r.ra, 0.4, 3e-9);
    // Past the end, and refused numbers.
    EXPECT_EQ(ReadStarRecord(f, 2591875, &r, nullptr, 0), 0);
    EXPECT_EQ(ReadStarRecord(f, 0, &r, nullptr, 0), 0);
    EXPECT_EQ(ReadStarRecord(f, -2, &r, nullptr, 0), 0);
    EXPECT_EQ(ReadStarRecord(nullptr, 1, &r, nullptr, 0), 0);
    EXPECT_EQ(SeekStarRecord(f, 0), 1);
    EXPECT_EQ(SeekStarRecord(f, -5), 1);
    std::fclose(f);
}

TEST(StarRecordName, FirstDesignationByPreference) {
    testutil::TempDir empty;  // no csn.bin: the common name is not read
    SetRefDirectories(empty.path().c_str(), empty.path().c_str(), empty.path().c_str());
    std::string b = FullRecord();
    Put24(b, 69, 61u | (30u << 8));  // 61 Cyg, no Bayer letter
    StarRecord r;
    DecodeStarRecord(Bytes(b), &r, nullptr, kStarReadName);
    EXPECT_STREQ(r.name, "61 Cyg");
    EXPECT_EQ(+r.hip, 0);  // only the name was asked for
}

TEST(SpectralText, Codes) {
    struct { unsigned letter, sub, lum; const char *text; } cases[] = {
        {2, 105, 0, "B9.5 "}, {5, 30, 3, "G2III"}, {5, 30, 5, "G2V"}, {5, 30, 6, "G2"},
        {3, 10, 0, "A0"}, {3, 0, 1, "AI"}, {14, 30, 4, "2IV"}, {0, 30, 3, ""},
        {15, 30, 3, ""}, {13, 25, 2, "I1.5 II"}, {7, 127, 0, "M11.7 "}};
    char text[12];
    for (auto c : cases) {
        unsigned code = c.letter | (c.sub << 4) | (c.lum << 11);
        EXPECT_STREQ(FormatSpectralType(text, code), c.text) << c.letter << " " << c.sub;
    }
    EXPECT_STREQ(FormatSpectralType(text, 0), "");
}

TEST(Durchmusterung, PackUnpackRoundTrip) {
    struct { char sign; int zone; int number; char suffix; uint32_t packed; } cases[] = {
        {'-', 16, 1591, ' ', 1591u | (106u << 15)},
        {'+', 5, 12, 'b', 12u | (84u << 15) | (2u << 23)},
        {'+', 89, 32767, 'z', 32767u | (0u << 15) | (26u << 23)},
        {'-', 89, 1, 'a', 1u | (179u << 15) | (1u << 23)},
        {' ', 0, 7, ' ', 7u | (180u << 15)}};
    for (auto c : cases) {
        uint32_t packed = 0;
        ASSERT_EQ(PackDurchmusterungNumber(&packed, c.sign, c.zone, c.number, c.suffix), 1);
        EXPECT_EQ(packed, c.packed) << c.number;
        char sign, suffix;
        int zone, number;
        UnpackDurchmusterungNumber(packed, &sign, &zone, &number, &suffix);
        EXPECT_EQ(sign, c.sign);
        EXPECT_EQ(zone, c.zone);
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(suffix, c.suffix);
    }
    uint32_t upper = 0, lower = 0;
    PackDurchmusterungNumber(&upper, '+', 5, 12, 'B');
    PackDurchmusterungNumber(&lower, '+', 5, 12, 'b');
    EXPECT_EQ(upper, lower);  // suffix letters are case-blind
}

// Fields that do not fit are refused, not truncated into another star's number.
TEST(Durchmusterung, OverflowRefused) {
    uint32_t packed = 0x12345678;
    EXPECT_EQ(PackDurchmusterungNumber(&packed, '+', 5, 32768, ' '), 0);
    EXPECT_EQ(PackDurchmusterungNumber(&packed, '+', 5, -1, ' '), 0);
    EXPECT_EQ(PackDurchmusterungNumber(&packed, '-', 256, 1, ' '), 0);
    EXPECT_EQ(PackDurchmusterungNumber(&packed, '-', 170, 1, ' '), 0);  // code 260
    EXPECT_EQ(PackDurchmusterungNumber(&packed, '+', 90, 1, ' '), 0);   // code -1
    EXPECT_EQ(PackDurchmusterungNumber(&packed, '+', 5, 1, '~'), 0);
    EXPECT_EQ(packed, 0x12345678u);
}

TEST(Durchmusterung, ZoneCodes) {
    EXPECT_EQ(DurchmusterungZoneCode('+', 0), 89);
    EXPECT_EQ(DurchmusterungZoneCode('-', 0), 90);
    EXPECT_EQ(DurchmusterungZoneCode(' ', 12), 180);
    char sign;
    int zone;
    DecodeDurchmusterungZone(200, &sign, &zone);
    EXPECT_EQ(sign, ' ');
    EXPECT_EQ(zone, 0);
    DecodeDurchmusterungZone(0, &sign, &zone);
    EXPECT_EQ(sign, '+');
    EXPECT_EQ(zone, 89);
}

TEST(CatalogueBytes, Unsigned24AndHeader) {
    const unsigned char in[3] = {0x01, 0x02, 0x83};
    EXPECT_EQ(ReadUnsigned24(in), 0x830201u);  // zero-extended
    unsigned char out[4] = {0, 0, 0, 0xEE};
    WriteUnsigned24(out, 0x12345678);
    EXPECT_EQ(out[0], 0x78);
    EXPECT_EQ(out[1], 0x56);
    EXPECT_EQ(out[2], 0x34);
    EXPECT_EQ(out[3], 0xEE);

    testutil::TempDir dir;
    std::string path = dir.file("h.bin");
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(WriteCatalogueHeader(f), 1);
    std::fputs("xyz", f);
    std::fclose(f);
    EXPECT_EQ(testutil::ReadFileBytes(path), std::string("\x03\xd9\x00\x03xyz", 7));
    f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(SkipCatalogueHeader(f), 1);
    EXPECT_EQ(std::fgetc(f), 'x');
    std::fclose(f);
    EXPECT_EQ(WriteCatalogueHeader(nullptr), 0);
    EXPECT_EQ(SkipCatalogueHeader(nullptr), 0);
}

}  // namespace
