// Tests of the deep-sky catalogue readers and their indexes on records and
// index files written byte by byte: galaxy decoding and designation indexes,
// planetary nebula lookups, clusters, bright and dark nebulae.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "core/safefile.h"
#include "objects/clustercat.h"
#include "objects/darkneb.h"
#include "objects/dsoxref.h"
#include "objects/galaxycat.h"
#include "objects/nebulacat.h"
#include "objects/pncat.h"
#include "objects/tests/starbytes.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;
using starbytes::Turn;

namespace {

class DeepSkyFiles : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    }
    FILE *Make(const char *name, const std::string &bytes) {
        EXPECT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
        return std::fopen(dir_.file(name).c_str(), "rb");
    }
    testutil::TempDir dir_;
};

TEST_F(DeepSkyFiles, GalaxyRecordBytes) {
    std::string b(48, '\0');
    Put32(b, 0, 47404);                                      // PGC
    Put32(b, 4, 2u | (12u << 3) | (25u << 11) | ((8u + 7) << 17) | (85u << 22));  // MCG +8-25-12B, Arp 85
    Put16(b, 8, 1 | (270 << 4)); Put8(b, 10, 9);            // ESO 270 9A
    Put16(b, 11, 5194 | (1 << 13));                         // NGC 5194A
    Put16(b, 15, 2 | (421 << 2));                           // Markarian 421B
    Put8(b, 17, 51); Put16(b, 18, 8493); Put8(b, 20, ' '); Put8(b, 21, 255);
    Put32(b, 22, Turn(1.0)); Put32(b, 26, Turn(-0.25));
    Put16(b, 30, 3 | (5 << 5));                             // Barred Spiral a-b
    Put8(b, 34, 6);                                         // Sb, no distance bit
    Put8(b, 35, 84); Put32(b, 36, 463); Put16(b, 40, 0xFFFF);
    Put8(b, 42, 255); Put8(b, 43, 255);
    Put16(b, 44, 62); Put16(b, 46, 0xFFFF);                 // 1' x none
    GalaxyRecord g;
    std::memset(&g, 0, sizeof g);
    DecodeGalaxyRecord(reinterpret_cast<const unsigned char *>(b.data()), 1, &g, nullptr, -1 & ~kReadDisplayName);
    EXPECT_EQ(g.pgcNumber, 47404);
    EXPECT_EQ(g.mcgZone, 8); EXPECT_EQ(g.mcgSecond, 25); EXPECT_EQ(g.mcgThird, 12); EXPECT_EQ(g.mcgSuffix, 2);
    EXPECT_EQ(g.arpNumber, 85);
    EXPECT_EQ(g.esoField, 270); EXPECT_EQ(g.esoNumber, 9); EXPECT_EQ(g.esoSuffix, 1);
    EXPECT_EQ(g.ngcNumber, 5194); EXPECT_EQ(g.ngcSuffix, 1);
    EXPECT_EQ(g.markarianNumber, 421); EXPECT_EQ(g.markarianSuffix, 2);
    EXPECT_EQ(g.commonName, -1);
    EXPECT_NEAR(g.ra, 1.0, 1e-8); EXPECT_NEAR(g.dec, -0.25, 1e-8);
    EXPECT_STREQ(g.typeText, "Barred Spiral a-b");
    EXPECT_STREQ(g.morphology, "Sb");
    EXPECT_DOUBLE_EQ(g.typicalBMinusV, 0.62);
    EXPECT_DOUBLE_EQ(g.majorAxis, 1.0);
    EXPECT_DOUBLE_EQ(g.minorAxis, 0.0);
    // The missing axis takes the other's value: 8.4 + 2.5 log10(900 pi 0.8 0.8).
    EXPECT_NEAR(g.surfaceBrightness, 8.4 + 2.5 * std::log10(900 * kPi * 0.64), 1e-9);
    EXPECT_DOUBLE_EQ(g.bMinusV, 99.9);
    EXPECT_DOUBLE_EQ(g.positionAngle, 361.0);
    EXPECT_DOUBLE_EQ(g.distanceMly, 0.0);
    Put16(b, 44, 0xFFFF); Put16(b, 30, 0 | (5 << 5)); Put8(b, 34, 0x80 | 31);
    std::string ngd; Put32(ngd, 0, 7); Put32(ngd, 4, 0x41B80000u);   // galaxy 7: 23.0 Mly
    Make("ngd.bin", ngd);
    DecodeGalaxyRecord(reinterpret_cast<const unsigned char *>(b.data()), 7, &g, nullptr, kReadPhysical);
    EXPECT_DOUBLE_EQ(g.surfaceBrightness, 99.9);
    EXPECT_STREQ(g.typeText, "");
    EXPECT_STREQ(g.morphology, "");
    EXPECT_DOUBLE_EQ(g.distanceMly, 23.0);
}

// A galaxy without an MCG designation (its field stored as zero, which
// decodes as zone -7) lists none; one with it lists it.
TEST_F(DeepSkyFiles, GalaxyWithoutMcgListsNone) {
    struct Case {
        uint32_t mcgBits;
        bool listed;
    } cases[] = {{0u, false}, {2u | (12u << 3) | (25u << 11) | ((8u + 7) << 17), true}};
    for (const Case &k : cases) {
        std::string b(48, '\0');
        Put32(b, 0, 2557);
        Put32(b, 4, k.mcgBits);
        Put8(b, 21, 255);
        GalaxyRecord g;
        std::memset(&g, 0, sizeof g);
        DecodeGalaxyRecord(reinterpret_cast<const unsigned char *>(b.data()), 1, &g, nullptr, kReadIdentifiers);
        DesignationList list;
        std::memset(&list, 0, sizeof list);
        ASSERT_GE(FormatGalaxyDesignations(nullptr, &g, &list, 0, 0, nullptr, nullptr), 1);
        bool mcg = false;
        for (int i = 0; i < list.count; ++i) mcg = mcg || std::strncmp(list.entries[i], "MCG", 3) == 0;
        EXPECT_EQ(mcg, k.listed) << k.mcgBits;
    }
}

TEST_F(DeepSkyFiles, GalaxyIndexes) {
    // MCG: zone 8, second 25 has thirds up to 12; slot of third 12 suffix 0 holds galaxy 40 - 1.
    std::string mcg(32 * 61 * 5, '\0');
    size_t dirAt = ((8 + 7) * 61 + 25) * 5;
    Put32(mcg, dirAt, static_cast<uint32_t>(mcg.size())); Put8(mcg, dirAt + 4, 12);
    std::string slots(13 * 9, '\xff');
    Put24(slots, 12 * 9, 39);
    FILE *f = Make("mcg.bin", mcg + slots);
    int16_t ok[4] = {8, 25, 12, 0}, big[4] = {8, 86, 12, 0}, beyond[4] = {8, 25, 13, 0};
    int16_t ex1[4] = {5, 26, 38, 3}, ex2[4] = {9, 16, 47, 3}, other[4] = {9, 16, 47, 4};
    EXPECT_EQ(LookupMcgDesignation(f, ok), 40);
    EXPECT_EQ(LookupMcgDesignation(f, big), 0);     // second 86 = zone 9 second 25
    EXPECT_EQ(LookupMcgDesignation(f, beyond), 0);
    EXPECT_EQ(LookupMcgDesignation(nullptr, ex1), 568599);
    EXPECT_EQ(LookupMcgDesignation(nullptr, ex2), 28115);
    EXPECT_EQ(LookupMcgDesignation(f, other), 0);
    std::fclose(f);
    // Markarian: numbers 934 and 935, two slots each.
    std::string mkn(935 * 6, '\xff');
    Put24(mkn, 933 * 6, 500); Put24(mkn, 934 * 6, 600);
    f = Make("mkn.bin", mkn);
    int32_t out[4] = {0, 0, 0, 0};
    int32_t m934[2] = {934, 0}, m934c[2] = {934, 2};
    EXPECT_EQ(LookupMarkarianDesignation(f, m934, out), 4);
    EXPECT_EQ(out[0], 500); EXPECT_EQ(out[1], 97); EXPECT_EQ(out[2], 101); EXPECT_EQ(out[3], 108);
    EXPECT_EQ(LookupMarkarianDesignation(f, m934c, out), 0);   // would read number 935's slot
    std::fclose(f);
    // UGC 2: galaxies 11 (blank) and 12 ("A").
    std::string ugc(24, '\0');
    Put24(ugc, 12, 11); Put24(ugc, 15, 12); Put8(ugc, 21, ' '); Put8(ugc, 22, 'A');
    f = Make("ugc.bin", ugc);
    EXPECT_EQ(LookupUgcDesignation(f, 2, 'a'), 12);
    EXPECT_EQ(LookupUgcDesignation(f, 2, '\0'), 11);
    EXPECT_EQ(LookupUgcDesignation(f, 2, 'B'), 0);
    std::fclose(f);
    UgcScan *scan = StartUgcScan();
    int number = 0; char suffix = 0;
    EXPECT_EQ(NextUgcScanEntry(scan, &number, &suffix), 11);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(NextUgcScanEntry(scan, &number, &suffix), 12);
    EXPECT_EQ(suffix, 'A');
    EXPECT_EQ(NextUgcScanEntry(scan, &number, &suffix), 0);   // file ends
    EndUgcScan(scan);
}

TEST_F(DeepSkyFiles, PlanetaryNebulaLookups) {
    std::string he(1821 * 2, '\xff');
    Put16(he, 0, 0);          // He 1-1 is record 0
    Put16(he, 8 * 2, 5);      // He 2-1
    FILE *f = Make("Henize.bin", he);
    EXPECT_EQ(LookupHenize(f, 1, 1), 0);
    EXPECT_EQ(LookupHenize(f, 2, 1), 5);
    EXPECT_EQ(LookupHenize(f, 2, 500), -1);    // outside the series: not record 0
    EXPECT_EQ(LookupHenize(f, 3, 518), -1);
    EXPECT_EQ(LookupHenize(f, 4, 1), -1);
    std::fclose(f);
    std::string k(95 * 8, '\0');
    f = Make("kohoutek.bin", k);
    EXPECT_EQ(LookupKohoutek(f, 5, 1), -1);
    EXPECT_EQ(LookupKohoutek(f, 4, 1), 0);
    std::fclose(f);
    f = Make("eso.bin", std::string(200, '\0'));
    EXPECT_EQ(LookupEsoPn(f, 10, 1), -1);
    std::fclose(f);
    // PK 63+13.1 -> record 3; slot = 131 + 741.
    std::string pk(360 * 6, '\0');
    Put32(pk, 63 * 6, 360 * 6); Put16(pk, 63 * 6 + 4, 872);
    std::string pkSlots(873 * 2, '\xff');
    Put16(pkSlots, 872 * 2, 3);
    f = Make("pk.bin", pk + pkSlots);
    int32_t key[2] = {63, 131}, missing[2] = {63, 130}, over[2] = {63, 132};
    EXPECT_EQ(LookupPkDesignation(f, key), 3);
    EXPECT_EQ(LookupPkDesignation(f, missing), -1);
    EXPECT_EQ(LookupPkDesignation(f, over), -1);
    std::fclose(f);
    // PN G 63.1+13.9: degree 63, tenths 1, latitude 139.
    std::string png(361 * 6, '\0');
    Put32(png, 63 * 6, 361 * 6); Put16(png, 63 * 6 + 4, 1);
    std::string e; Put8(e, 0, 1); Put16(e, 1, 139); Put8(e, 3, 0); Put16(e, 4, 3);
    f = Make("PNG.bin", png + e);
    EXPECT_EQ(LookupPnGDesignation(f, 63.1, 13.9, ' '), 3);
    EXPECT_EQ(LookupPnGDesignation(f, 63.14, 13.86, ' '), 3);   // rounded tenths
    EXPECT_EQ(LookupPnGDesignation(f, 63.1, 13.9, 'a'), -1);
    std::fclose(f);
}

TEST_F(DeepSkyFiles, PlanetaryNebulaListOrder) {
    PlanetaryNebulaRecord p;
    std::memset(&p, 0, sizeof p);
    p.commonName = -1;
    p.henizeNumbers[0] = 2; p.henizeNumbers[1] = 131;
    p.pkLongitude = 63; p.pkLatitude = 131; p.pkSign = '+';
    std::strcpy(p.discoveryDesignation, "He 1-2");
    DesignationList list;
    ASSERT_EQ(FormatPlanetaryNebulaDesignations(nullptr, &p, &list, 0, 0, nullptr, nullptr), 1);
    ASSERT_EQ(list.count, 3);
    EXPECT_STREQ(list.entries[0], "He 1-2");
    EXPECT_STREQ(list.entries[1], "He 2-131");
    EXPECT_STREQ(list.entries[2], "PK 063+13.1");   // discovery text equal to entry 0 not repeated
}

TEST_F(DeepSkyFiles, Clusters) {
    std::string oc(57, '\0');
    Put8(oc, 0, 1); Put16(oc, 5, 2506); Put8(oc, 1, 14); Put16(oc, 7, 121);
    Put8(oc, 15, 255); Put16(oc, 24, 1230); Put8(oc, 26, 255);
    FILE *f = Make("oc.bin", oc);
    OpenClusterRecord o;
    std::memset(&o, 0, sizeof o);
    EXPECT_EQ(ReadOpenClusterRecord(f, 0, &o, nullptr, -1), 2);   // no position
    EXPECT_EQ(ReadOpenClusterRecord(f, 1, &o, nullptr, -1), 0);
    std::fclose(f);
    DesignationList list;
    DesignationParts first, second;
    FormatOpenClusterDesignations(nullptr, &o, &list, 0, 0, &first, &second);
    ASSERT_EQ(list.count, 3);
    EXPECT_STREQ(list.entries[0], "NGC 2506");
    EXPECT_STREQ(list.entries[1], "Collinder 121");
    EXPECT_STREQ(list.entries[2], "OCL 123");
    EXPECT_STREQ(first.catalogue, "NGC");
    EXPECT_STREQ(second.catalogue, "OCL");
    o.oclNumber = 123.4;
    FormatOpenClusterDesignations(nullptr, &o, &list, 0, 0, nullptr, nullptr);
    EXPECT_STREQ(list.entries[2], "OCL 123.4");
    EXPECT_EQ(FindOpenClusterCatalogueWord("Ber"), 9);
    EXPECT_EQ(FindOpenClusterCatalogueWord("ngc"), -1);
    EXPECT_EQ(FindOpenClusterCatalogueWord("vandenBergh-H"), 54);
    EXPECT_EQ(LookupPalomar(nullptr, 16), 0);
    EXPECT_EQ(LookupTerzan(nullptr, 12), 0);
    // Cross index row 54 is the empty row; rows beyond lie outside the directory.
    std::string cross(55 * 6, '\0');
    Put32(cross, 14 * 6, 55 * 6); Put16(cross, 14 * 6 + 4, 2);
    std::string cs; Put16(cs, 0, 0xFFFF); Put16(cs, 2, 7);
    f = Make("oc_cross.bin", cross + cs);
    EXPECT_EQ(LookupOpenClusterCrossIndex(f, 14, 2), 7);
    EXPECT_EQ(LookupOpenClusterCrossIndex(f, 14, 1), -1);
    EXPECT_EQ(LookupOpenClusterCrossIndex(f, 14, 3), -2);
    EXPECT_EQ(LookupOpenClusterCrossIndex(f, 56, 1), -2);
    std::fclose(f);
    std::string g(43, '\0');
    Put16(g, 0, 6205); Put8(g, 4, 13); Put8(g, 5, 255); Put8(g, 24, 0);
    f = Make("glob.bin", g);
    GlobularClusterRecord gc;
    std::memset(&gc, 0, sizeof gc);
    EXPECT_EQ(ReadGlobularClusterRecord(f, 1, &gc, nullptr, -1), 1);
    EXPECT_DOUBLE_EQ(gc.magnitude, 99.9);
    EXPECT_STREQ(gc.displayName, "M 13");
    EXPECT_EQ(ReadGlobularClusterRecord(f, 0, &gc, nullptr, -1), 0);
    std::fclose(f);
}

// A new place goes into the record's float32 fields at 16 and 20 and
// nowhere else; a record beyond the file or a place that is not a number
// changes nothing; every failing file step leaves the file as it was.
TEST_F(DeepSkyFiles, SetOpenClusterPosition) {
    std::string oc(3 * 57, '\0');
    for (size_t i = 0; i < oc.size(); ++i) oc[i] = static_cast<char>(i * 7 + 1);
    std::string before;
    auto prepare = [&] {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("oc.bin"), oc));
        ASSERT_EQ(ReadWholeFile(dir_.file("oc.bin").c_str(), &before), 1);
    };
    int steps = testutil::ForEachFailurePoint(
        prepare, [] { return SetOpenClusterPosition(1, 1.5, -0.25); },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            std::string now;
            ASSERT_EQ(ReadWholeFile(dir_.file("oc.bin").c_str(), &now), 1);
            if (run.result != 1) {
                EXPECT_TRUE(now == before) << "oc.bin changed on a failure";
            }
        });
    EXPECT_GT(steps, 2);

    prepare();
    ASSERT_EQ(SetOpenClusterPosition(1, 1.5, -0.25), 1);
    std::string after;
    ASSERT_EQ(ReadWholeFile(dir_.file("oc.bin").c_str(), &after), 1);
    ASSERT_EQ(after.size(), oc.size());
    // 1.5f is 0x3FC00000 and -0.25f 0xBE800000, little-endian.
    const unsigned char ra[4] = {0x00, 0x00, 0xC0, 0x3F}, dec[4] = {0x00, 0x00, 0x80, 0xBE};
    for (size_t i = 0; i < oc.size(); ++i) {
        size_t off = i >= 57 && i < 114 ? i - 57 : 999;
        if (off >= 16 && off < 20) {
            EXPECT_EQ(static_cast<unsigned char>(after[i]), ra[off - 16]) << i;
        } else if (off >= 20 && off < 24) {
            EXPECT_EQ(static_cast<unsigned char>(after[i]), dec[off - 20]) << i;
        } else {
            EXPECT_EQ(after[i], oc[i]) << i;
        }
    }
    FILE *f = std::fopen(dir_.file("oc.bin").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    OpenClusterRecord o;
    std::memset(&o, 0, sizeof o);
    ReadOpenClusterRecord(f, 1, &o, nullptr, -1);
    std::fclose(f);
    EXPECT_DOUBLE_EQ(o.ra, 1.5);
    EXPECT_DOUBLE_EQ(o.dec, -0.25);

    for (int32_t record : {-1, 3, 1000}) EXPECT_EQ(SetOpenClusterPosition(record, 1.0, 0.5), 0);
    EXPECT_EQ(SetOpenClusterPosition(0, std::nan(""), 0.5), 0);
    std::string unchanged;
    ASSERT_EQ(ReadWholeFile(dir_.file("oc.bin").c_str(), &unchanged), 1);
    EXPECT_TRUE(unchanged == after);
    SetRefDirectories("", "", "");
    EXPECT_EQ(SetOpenClusterPosition(0, 1.0, 0.5), 0);   // no catalogue folder
}

TEST_F(DeepSkyFiles, BrightNebulae) {
    std::string sh(312 * 2, '\xff');
    Put16(sh, 311 * 2, 4);
    FILE *f = Make("sh.bin", sh);
    EXPECT_EQ(LookupSharpless(f, 312), 4);
    EXPECT_EQ(LookupSharpless(f, 313), -1);
    EXPECT_EQ(LookupSharpless(f, 0), -1);
    std::fclose(f);
    EXPECT_EQ(LookupGum(nullptr, 84), -1);
    struct { const char *a, *b; int sign; } cases[] = {
        {"Ced 11", "Ced 101", -1}, {"Ced 11", "Ced 11a", -1}, {"Ced 11a", "Ced 11", 1},
        {"Ced 11 ", "Ced 11", 0}, {"Bernes 3", "Ced 1", -1}};
    for (const auto &c : cases) {
        int r = CompareNebulaOtherDesignations(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " / " << c.b;
    }
    std::string longText(200, 'x');
    longText[100] = ' ';
    EXPECT_NE(CompareNebulaOtherDesignations(longText.c_str(), "Ced 1"), 0);  // bounded, no overrun
    BrightNebulaRecord n;
    std::memset(&n, 0, sizeof n);
    n.commonName = -1;
    n.icNumbers[0] = 1805; n.icNumbers[1] = 1795;
    std::strcpy(n.otherDesignations, "Ced 201a");
    DesignationList list;
    DesignationParts first, second;
    FormatBrightNebulaDesignations(nullptr, &n, &list, 0, 0, &first, &second);
    ASSERT_EQ(list.count, 3);
    EXPECT_STREQ(list.entries[1], "IC 1795");
    EXPECT_EQ(+first.form, 2); EXPECT_EQ(+first.second, 1795);
    EXPECT_STREQ(second.catalogue, "Ced");
    EXPECT_EQ(+second.first, 201);
}

TEST_F(DeepSkyFiles, DarkNebulae) {
    std::string bn(370 * 2, '\0');
    Put16(bn, 32 * 2, 6);     // B 33 -> record 5
    FILE *f = Make("Barnard.bin", bn);
    struct { int n; char s; int record; } cases[] = {
        {44, 'A', 3094}, {67, 'a', 101}, {83, 'A', 229}, {84, 'A', 300}, {117, 'A', 3113},
        {119, 'A', 3115}, {83, 'B', -1}, {33, ' ', 5}, {33, 'A', 5}, {34, ' ', -1}, {371, ' ', -1}};
    for (const auto &c : cases) EXPECT_EQ(LookupBarnard(f, c.n, c.s), c.record) << c.n << c.s;
    std::fclose(f);
    struct { const char *a, *b; int sign; } order[] = {
        {"CG 4-2", "CG 4-10", -1}, {"Sa II-3", "Sa IV-1", -1}, {"W 9", "W 12", -1},
        {"Sa XX-1", "Sa I-1", -1}};
    for (const auto &c : order) {
        int r = CompareGlobuleDesignations(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " / " << c.b;
    }
    std::string g(25, '\0');
    Put8(g, 8, 37); Put8(g, 9, 30); Put8(g, 10, 20); std::memcpy(&g[11], "CG 4", 4);
    std::string d(25, '\0');
    Put8(d, 8, 6); Put16(d, 9, 600); Put8(d, 11, 255); Put16(d, 14, 33);
    Put16(d, 16, 3004 | (1 << 13)); Put16(d, 18, static_cast<uint16_t>(-125));
    f = Make("dn.bin", d + g);
    DarkNebulaRecord r;
    std::memset(&r, 0, sizeof r);
    ASSERT_EQ(ReadDarkNebulaRecord(f, 1, &r, nullptr, -1), 1);
    EXPECT_EQ(r.classValue, 10);
    EXPECT_STREQ(r.name, "CG 4");
    ASSERT_EQ(ReadDarkNebulaRecord(f, 0, &r, nullptr, -1), 1);
    EXPECT_EQ(r.classValue, 6);
    EXPECT_STREQ(r.name, "B 33");
    DesignationList list;
    FormatDarkNebulaDesignations(nullptr, &r, &list, 0, 0, nullptr, nullptr);
    ASSERT_EQ(list.count, 2);
    EXPECT_STREQ(list.entries[1], "DC 300.4-12.5A");
    std::fclose(f);
    std::string dc;
    Put16(dc, 0, 2000); Put16(dc, 2, 10); Put16(dc, 4, 1);
    Put16(dc, 6, 3004 | (1 << 13)); Put16(dc, 8, static_cast<uint16_t>(-125)); Put16(dc, 10, 0);
    Make("dc.bin", dc);
    EXPECT_EQ(FindDarkCloudByDcDesignation(300.4, -12.5, ' '), 0);   // blank finds "A"
    EXPECT_EQ(FindDarkCloudByDcDesignation(300.4, -12.5, 'B'), -1);
    EXPECT_EQ(FindDarkCloudByDcDesignation(200.0, 1.0, ' '), 1);
}

TEST_F(DeepSkyFiles, Scans) {
    // PN G: degree 10 has one entry, degrees 11-62 none, degree 63 two.
    std::string png(361 * 6, '\0');
    Put32(png, 10 * 6, 361 * 6); Put16(png, 10 * 6 + 4, 1);
    Put32(png, 63 * 6, 361 * 6 + 6); Put16(png, 63 * 6 + 4, 2);
    std::string e;
    Put8(e, 0, 2); Put16(e, 1, static_cast<uint16_t>(-34)); Put8(e, 3, 0); Put16(e, 4, 9);
    Put8(e, 6, 1); Put16(e, 7, 139); Put8(e, 9, 0); Put16(e, 10, 3);
    Put8(e, 12, 1); Put16(e, 13, 139); Put8(e, 15, 'a'); Put16(e, 16, 4);
    Make("PNG.bin", png + e);
    PnGScan *scan = StartPnGScan(10.2, -3.4);
    ASSERT_NE(scan, nullptr);
    double place[2];
    char suffix = 0;
    ASSERT_EQ(NextPnGScanEntry(scan, place, &suffix), 1);
    EXPECT_NEAR(place[0], 10.2, 1e-9); EXPECT_NEAR(place[1], -3.4, 1e-9);
    ASSERT_EQ(NextPnGScanEntry(scan, place, &suffix), 1);   // degrees 11-62 passed over
    EXPECT_NEAR(place[0], 63.1, 1e-9);
    ASSERT_EQ(NextPnGScanEntry(scan, place, &suffix), 1);
    EXPECT_EQ(suffix, 'a');
    EXPECT_EQ(NextPnGScanEntry(scan, place, &suffix), 0);
    EndPnGScan(scan);
    // DC scan from longitude 0: every entry in file order.
    std::string dc;
    int lons[3] = {15, 3004, 3004};
    for (int i = 0; i < 3; ++i) {
        Put16(dc, i * 6, static_cast<uint32_t>(lons[i] | (i == 2 ? 1 << 13 : 0)));
        Put16(dc, i * 6 + 2, static_cast<uint16_t>(-125)); Put16(dc, i * 6 + 4, 10 + i);
    }
    Make("dc.bin", dc);
    DcScan *d = StartDcScan(0.0, 0.0, ' ');
    ASSERT_NE(d, nullptr);
    char text[65];
    double lon, lat;
    EXPECT_EQ(NextDcScanEntry(d, &lon, &lat, &suffix, text), 11);
    EXPECT_STREQ(text, "DC 001.5-12.5");
    EXPECT_EQ(NextDcScanEntry(d, &lon, &lat, &suffix, text), 12);
    EXPECT_EQ(NextDcScanEntry(d, &lon, &lat, &suffix, text), 13);
    EXPECT_STREQ(text, "DC 300.4-12.5A");
    EXPECT_EQ(NextDcScanEntry(d, &lon, &lat, &suffix, text), 0);
    EndDcScan(d);
    d = StartDcScan(300.4, -12.5, 'A');
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(NextDcScanEntry(d, &lon, &lat, &suffix, text), 13);
    EndDcScan(d);
    EXPECT_EQ(StartDcScan(360.0, 0.0, ' '), nullptr);
}

TEST(PlanetaryNebulaText, Morphology) {
    PlanetaryNebulaRecord p;
    std::memset(&p, 0, sizeof p);
    p.morphologyTypes[0] = 2; p.morphologyModifiers[0] = 1;
    p.morphologyTypes[1] = 6; p.morphologyModifiers[1] = 4;
    char text[160] = "";
    DescribePlanetaryNebulaMorphology(&p, text, 0);
    EXPECT_STREQ(text, "Smooth disk, brighter toward center, bipolar with assymetry");
    std::strcpy(text, "kept");
    p.morphologyTypes[0] = 0;
    DescribePlanetaryNebulaMorphology(&p, text, 1);
    EXPECT_STREQ(text, "kept");
    p.morphologyTypes[0] = 4;
    DescribePlanetaryNebulaMorphology(&p, text, 1);
    EXPECT_STREQ(text, "Ring structure");
}

}  // namespace
