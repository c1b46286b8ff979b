// Tests of the galaxy-group and quasar readers, the quasar designation order
// (with oversize log text), the Hewitt-Burbidge minute index and the two
// builders, on bytes written by hand.
#include "objects/groupcat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "core/datapaths.h"
#include "objects/builders.h"
#include "objects/deepskybuild.h"
#include "objects/objectrecord.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put32;
using starbytes::Put8;

namespace {

TEST(GalaxyGroups, AcoAndHicksonRanges) {
    EXPECT_EQ(GalaxyGroupOfAcoNumber(4076), 4076);
    EXPECT_EQ(GalaxyGroupOfAcoNumber(4077), 0);
    EXPECT_EQ(GalaxyGroupOfHicksonNumber(1), 4077);
    EXPECT_EQ(GalaxyGroupOfHicksonNumber(101), 0);
}

TEST(Quasars, DesignationOrder) {
    struct { const char *a, *b; int sign; } cases[] = {
        {"IRAS F12345+6789", "IRAS 12345+6789", 0},
        {"PKS 1217 10", "PKS 1217 10A", -1},
        {"PKS 1217 9", "PKS 1217 10", -1},
        {"PKS 0405-12", "PKS 0405-123", 1},   // third tokens -12 and -123
        {"3C 273", "3C 48", 1},
        {"4C 29.45", "3C 273", 1}};
    for (const auto &c : cases) {
        int r = CompareQuasarDesignations(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " / " << c.b;
    }
    // Log text of any length and content is compared without overrunning.
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        std::string s(rng() % 400, ' ');
        for (char &ch : s) ch = " -+$IRASFLMC0123456789"[rng() % 22];
        int r1 = CompareQuasarDesignations(s.c_str(), "3C 273");
        int r2 = CompareQuasarDesignations("3C 273", s.c_str());
        EXPECT_EQ((r1 > 0) - (r1 < 0), -((r2 > 0) - (r2 < 0))) << s;
    }
}

class QuasarFiles : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        // qso.bin: record 0 "3C 273" Q1226+023, record 1 a two-letter designation.
        std::string q(94, '\0');
        Put16(q, 8, 1226); Put16(q, 10, 23); Put8(q, 12, 'A');
        std::memcpy(&q[13], "3C 273           ", 17);
        Put8(q, 30, 255); Put8(q, 31, 0x05); Put8(q, 32, 129); Put16(q, 33, 21); Put16(q, 35, 0x7FFF);
        Put16(q, 37, 158); Put8(q, 46, 30);
        std::memcpy(&q[47 + 13], "QX               ", 17);
        Put8(q, 47 + 30, 255); Put8(q, 47 + 32, 255); Put16(q, 47 + 33, 0x7FFF); Put16(q, 47 + 37, 0xFFFF);
        Write("qso.bin", q);
        std::string des(40, '\0');
        std::memcpy(&des[0], "3C 48", 5); Put16(des, 18, 1);     // 48 sorts before 273
        std::memcpy(&des[20], "3C 273", 6); Put16(des, 38, 0);
        Write("qso_des.bin", des);
        std::string hb(1440 * 5, '\0');
        int minute = 12 * 60 + 26;
        Put32(hb, minute * 5, 1440 * 5); Put8(hb, minute * 5 + 4, 1);
        std::string e; Put16(e, 0, 23); Put8(e, 2, 'A'); Put16(e, 3, 0);
        Write("q.bin", hb + e);
        // gg.bin: header, then one group without a size.
        std::string gg(4 + 27, '\0');
        Put16(gg, 0, 55555); Put8(gg, 3, 3);
        Put16(gg, 4 + 8, 1); Put8(gg, 4 + 11, 255); Put8(gg, 4 + 13, 120); Put16(gg, 4 + 16, 500);
        Put8(gg, 4 + 22, 140); Put16(gg, 4 + 23, 124);
        Write("gg.bin", gg);
    }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

TEST_F(QuasarFiles, RecordsAndLookups) {
    FILE *f = OpenQuasarCatalogue();
    QuasarRecord q;
    std::memset(&q, 0, sizeof q);
    ASSERT_EQ(ReadQuasarRecord(f, 0, &q, -1), 1);
    EXPECT_STREQ(q.discovererDesignation, "3C 273");
    EXPECT_STREQ(q.hbDesignation, "Q1226+0023A");
    EXPECT_STREQ(q.methods, "Radio, Variability");
    EXPECT_NEAR(q.redshift, 0.158, 1e-12);
    EXPECT_DOUBLE_EQ(q.colourIndex2, 99.9);
    EXPECT_DOUBLE_EQ(q.value, 2.0);
    ASSERT_EQ(ReadQuasarRecord(f, 1, &q, -1), 2);
    EXPECT_STREQ(q.discovererDesignation, "");      // two characters are dropped
    EXPECT_EQ(ReadQuasarRecord(f, 5, &q, -1), 0);    // beyond the file: not another record
    std::fclose(f);
    EXPECT_EQ(FindQuasarByDiscovererDesignation("3C 273.0"), 0);
    EXPECT_EQ(FindQuasarByDiscovererDesignation("3C 48"), 1);
    EXPECT_EQ(FindQuasarByDiscovererDesignation("3C 49"), -1);
    EXPECT_EQ(FindQuasarByHewittBurbidge("Q 1226+023"), 0);   // blank suffix finds "A"
    EXPECT_EQ(FindQuasarByHewittBurbidge("Q1226+023A"), 0);
    EXPECT_EQ(FindQuasarByHewittBurbidge("Q1226+023B"), -1);
    EXPECT_EQ(FindQuasarByHewittBurbidge("Q1260+023"), -1);   // minutes 60
}

TEST_F(QuasarFiles, LookupInAnOpenIndex) {
    FILE *f = OpenHewittBurbidgeIndex();
    ASSERT_NE(f, nullptr);
    const struct {
        const char *text;
        int expected;  // record + 1, 0 not found
    } cases[] = {
        {"Q 1226+023A", 1}, {"q1226+023", 1},  // one blank skipped; a blank suffix finds "A"
        {"1226+023A", 1},   {"Q1226+023B", 0}, {"Q1226-023A", 0},
        {"Q  1226+023", 1},  // the second blank is read over by %d
        {"Q1260+023", 0},   {"Q", 0},          {"", 0},
    };
    for (const auto &c : cases) EXPECT_EQ(LookupHewittBurbidge(f, c.text), c.expected) << c.text;
    const char text[] = "Q1226+023";  // the caller's text is never written
    EXPECT_EQ(LookupHewittBurbidge(f, text), 1);
    EXPECT_STREQ(text, "Q1226+023");
    std::fclose(f);
    EXPECT_EQ(LookupHewittBurbidge(nullptr, "Q1226+023"), 0);
}

TEST(Quasars, ParseLeadingNumber) {
    const struct {
        const char *text;
        int n;
        long expected;
    } cases[] = {
        {"1226+023", 4, 1226}, {"1226+023", 8, 1226}, {" 12 rest", 3, 12}, {"-45xyz", 3, -45},
        {"12 4", 3, -1},        // the third character is a blank
        {"12", 3, -1},          // shorter than n
        {"abc", 3, -1},         // no number
        {"123", 0, -1},         {"123", 96, -1},
    };
    for (const auto &c : cases) EXPECT_EQ(ParseLeadingNumber(c.text, c.n), c.expected) << c.text << " " << c.n;
}

TEST_F(QuasarFiles, HewittBurbidgeScan) {
    HewittBurbidgeScan *scan = StartHewittBurbidgeScan(1200, -9999, ' ');
    ASSERT_NE(scan, nullptr);
    int ra = 0, dec = 0;
    char suffix = 0, text[65];
    EXPECT_EQ(NextHewittBurbidgeScanEntry(scan, &ra, &dec, &suffix, text), 1);  // empty minutes passed over
    EXPECT_EQ(ra, 1226);
    EXPECT_STREQ(text, "Q1226+0023A");
    EXPECT_EQ(NextHewittBurbidgeScanEntry(scan, &ra, &dec, &suffix, text), 0);
    EndHewittBurbidgeScan(scan);
    EXPECT_EQ(StartHewittBurbidgeScan(1260, -9999, ' '), nullptr);
}

TEST_F(QuasarFiles, Builders) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = 16; r.kind = 2;
    char text[64] = "ACO 1";
    ASSERT_EQ(BuildGalaxyGroupObject(0, text, nullptr, nullptr, 0, &r, 0), 1);
    EXPECT_NEAR(+r.extent, 0.017453292, 1e-9);   // no size: one degree
    EXPECT_NEAR(+r.magnitude, 12.0, 1e-5);
    EXPECT_NEAR(+r.memberSizeMinor, +r.memberSizeMajor, 1e-12);
    std::strcpy(text, "Hickson 1");
    r.kind = 3;
    EXPECT_EQ(BuildGalaxyGroupObject(0, text, nullptr, nullptr, 0, &r, 0), 0);
    ClearObjectRecord(&r);
    r.objectClass = 7; r.kind = 2;
    std::strcpy(text, "3C 273");
    ASSERT_EQ(BuildQuasarObject(0, text, nullptr, nullptr, 0, &r, 0), 1);
    EXPECT_EQ(+r.index, 1);
    EXPECT_NEAR(+r.colourIndex, 0.21, 1e-6);
    EXPECT_EQ(BuildQuasarObject(0, text, nullptr, nullptr, 0, &r, 1), 1);
    r.index = 0;
    EXPECT_EQ(BuildQuasarObject(0, text, nullptr, nullptr, 0, &r, 1), 0);
}

}  // namespace
