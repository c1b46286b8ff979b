// Tests of the star cross-index and name file readers on hand-made files:
// the PPM number gap, single and pair references, the Durchmusterung search
// and zone walk, the Tycho region search (against the expected answer for
// every region size up to 40, with neighbouring regions that would match a
// probe outside the region), the name list's "+2" quirk, notes, Hipparcos
// photometry and the Tycho-2 reference search.
#include "objects/starxref.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "core/fileutil.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;
using starbytes::Turn;

namespace {

class XrefFiles : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    }
    std::string Write(const std::string &name, const std::string &bytes) {
        std::string path = dir_.file(name);
        EXPECT_TRUE(testutil::WriteFileBytes(path, bytes));
        return path;
    }
    FILE *Open(const std::string &name) { return std::fopen(dir_.file(name).c_str(), "rb"); }
    testutil::TempDir dir_;
};

TEST_F(XrefFiles, PpmNumbersAroundTheGap) {
    std::string b;
    Put24(b, 3 * 378909, 11);  // PPM 378,910
    Put24(b, 3 * 378910, 22);  // PPM 700,001, the record right after
    Put24(b, 3 * 378911, 33);  // PPM 700,002
    Write("ppm.bin", b);
    FILE *f = OpenPpmIndex();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadPpmIndex(f, 378910), 11);
    EXPECT_EQ(ReadPpmIndex(f, 700001), 22);
    EXPECT_EQ(ReadPpmIndex(f, 700002), 33);
    EXPECT_EQ(ReadPpmIndex(f, 700003), 0);   // past the end
    EXPECT_EQ(ReadPpmIndex(f, 378911), 0);   // the gap
    EXPECT_EQ(ReadPpmIndex(f, 700000), 0);
    EXPECT_EQ(ReadPpmIndex(f, 0), 0);
    std::fclose(f);
}

TEST_F(XrefFiles, SingleReferences) {
    std::string b;
    Put24(b, 0, 0x123456);
    Put24(b, 3, 0);
    Put24(b, 6, 0xFEDCBA);  // above 2^23: read unsigned
    Write("hc.bin", b);
    Write("hrbs.bin", b);
    FILE *hc = OpenHipNumberIndex();
    ASSERT_NE(hc, nullptr);
    EXPECT_EQ(ReadHipNumberIndex(hc, 1), 0x123456);
    EXPECT_EQ(ReadHipNumberIndex(hc, 2), 0);
    EXPECT_EQ(ReadHipNumberIndex(hc, 3), 0xFEDCBA);
    EXPECT_EQ(ReadHipNumberIndex(hc, 4), 0);
    EXPECT_EQ(ReadHipNumberIndex(hc, 0), 0);
    std::fclose(hc);
    FILE *hr = OpenHrIndex();
    ASSERT_NE(hr, nullptr);
    EXPECT_EQ(ReadHrIndex(hr, 1), 0x123456);
    EXPECT_EQ(ReadHrIndex(hr, -1), 0);         // the next record, HR 2
    EXPECT_EQ(ReadHrIndex(hr, -1), 0xFEDCBA);  // HR 3
    std::fclose(hr);
    // SAO numbers from 258,998 on are refused without reading.
    std::string sao;
    Put24(sao, 3 * 258997, 9);
    Write("sao.bin", sao);
    FILE *s = OpenSaoIndex();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(ReadSaoIndex(s, 258997), 0);
    Put24(sao, 3 * 258996, 8);
    std::fclose(s);
    Write("sao.bin", sao);
    s = OpenSaoIndex();
    EXPECT_EQ(ReadSaoIndex(s, 258997), 8);
    EXPECT_EQ(ReadSaoIndex(s, 258998), 0);
    std::fclose(s);
}

TEST_F(XrefFiles, PairReaders) {
    std::string hd;
    Put24(hd, 0, 5);                       // HD 1: one star
    Put24(hd, 6, 5), Put24(hd, 9, 6);      // HD 2: two stars
    Put24(hd, 12, 0), Put24(hd, 15, 7);    // HD 3: first empty -> none
    Write("hd.bin", hd);
    FILE *f = OpenHdIndex();
    ASSERT_NE(f, nullptr);
    int stars[2] = {-1, -1};
    EXPECT_EQ(ReadHdIndex(f, 1, stars), 1);
    EXPECT_EQ(stars[0], 5);
    EXPECT_EQ(stars[1], 0);
    EXPECT_EQ(ReadHdIndex(f, 2, stars), 2);
    EXPECT_EQ(stars[1], 6);
    EXPECT_EQ(ReadHdIndex(f, 3, stars), 0);
    EXPECT_EQ(ReadHdIndex(f, 4, stars), 0);
    std::fclose(f);

    std::string fl(88 * 834, '\0');
    Put24(fl, 30 * 834 + 60 * 6, 61);                 // 61 Cyg
    Put24(fl, 30 * 834 + 60 * 6 + 3, 62);
    Write("flamstd.bin", fl);
    f = OpenFlamsteedIndex();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadFlamsteedIndex(f, 61, 30, stars), 2);
    EXPECT_EQ(stars[0], 61);
    EXPECT_EQ(stars[1], 62);
    EXPECT_EQ(ReadFlamsteedIndex(f, 60, 30, stars), 0);
    EXPECT_EQ(ReadFlamsteedIndex(f, 140, 30, stars), 0);
    EXPECT_EQ(ReadFlamsteedIndex(f, 61, 88, stars), 0);
    std::fclose(f);

    std::string by(88 * 1296, '\0');
    Put24(by, 18 * 1296 + 0 * 54 + 1 * 6, 71);   // Alpha 1 Cen
    Put24(by, 18 * 1296 + 0 * 54 + 2 * 6, 72);   // Alpha 2 Cen
    Put24(by, 19 * 1296 + 3 * 54 + 0 * 6, 73);   // Delta Cep
    Write("bayer.bin", by);
    f = OpenBayerIndex();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadBayerIndex(f, 0, 1, 18, stars), 1);
    EXPECT_EQ(stars[0], 71);
    EXPECT_EQ(ReadBayerIndex(f, -1, 0, 0, stars), 1);  // the next record: superscript 2
    EXPECT_EQ(stars[0], 72);
    EXPECT_EQ(ReadBayerIndex(f, 3, 0, 19, stars), 1);
    EXPECT_EQ(stars[0], 73);
    EXPECT_EQ(ReadBayerIndex(f, 0, 0, 18, stars), 0);
    EXPECT_EQ(ReadBayerIndex(f, 24, 0, 18, stars), 0);
    EXPECT_EQ(ReadBayerIndex(f, 0, 9, 18, stars), 0);
    std::fclose(f);

    // The indexes held in memory answer as the files do, entries past the
    // ends and out of range among the cases.
    FILE *bayer = OpenBayerIndex();
    FILE *flamsteed = OpenFlamsteedIndex();
    ASSERT_TRUE(bayer && flamsteed);
    const int cases[][3] = {{0, 1, 18}, {0, 2, 18}, {3, 0, 19}, {0, 0, 18}, {24, 0, 18},
                            {0, 9, 18}, {-2, 0, 18}, {23, 8, 87}, {0, 0, 88}, {1, 1, -1}};
    for (const auto &c : cases) {
        int fromFile[2] = {-1, -1}, held[2] = {-1, -1};
        const int n = ReadBayerIndex(bayer, c[0], c[1], c[2], fromFile);
        ASSERT_EQ(ReadHeldBayerIndex(c[0], c[1], c[2], held), n) << c[0] << " " << c[1] << " " << c[2];
        for (int i = 0; i < n; ++i) EXPECT_EQ(held[i], fromFile[i]);
        const int m = ReadFlamsteedIndex(flamsteed, c[0] + 60, c[2] + 12, fromFile);
        ASSERT_EQ(ReadHeldFlamsteedIndex(c[0] + 60, c[2] + 12, held), m) << c[0] + 60 << " " << c[2] + 12;
        for (int i = 0; i < m; ++i) EXPECT_EQ(held[i], fromFile[i]);
    }
    std::fclose(bayer);
    std::fclose(flamsteed);
    // Shortened files: an entry past the end is none; without the files the
    // held lookups fail.
    Write("bayer.bin", by.substr(0, 19 * 1296));
    SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    EXPECT_EQ(ReadHeldBayerIndex(3, 0, 19, stars), 0);
    EXPECT_EQ(ReadHeldBayerIndex(0, 1, 18, stars), 1);
    std::remove(dir_.file("bayer.bin").c_str());
    std::remove(dir_.file("flamstd.bin").c_str());
    SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    EXPECT_EQ(ReadHeldBayerIndex(0, 1, 18, stars), -1);
    EXPECT_EQ(ReadHeldBayerIndex(24, 0, 18, stars), -1);
    EXPECT_EQ(ReadHeldFlamsteedIndex(61, 30, stars), -1);
}

// The name list is searched case-blind in its own order where it is sorted,
// and still found whole where it is not; a name given twice gives its first
// entry, and a name fills the entry's 31 characters.
TEST_F(XrefFiles, StarNameListInAnyOrder) {
    const struct { int star; const char *name; } lists[2][5] = {
        {{1, "Acamar"}, {2, "achernar"}, {3, "Achernar"}, {4, "Bellatrix"}, {5, "Zubeneschamali of Libra Star AB"}},
        {{4, "Bellatrix"}, {5, "Zubeneschamali of Libra Star AB"}, {2, "achernar"}, {1, "Acamar"}, {3, "Achernar"}}};
    const struct { const char *text; int star[2]; } asks[] = {
        {"ACHERNAR", {2, 2}}, {"acamar", {1, 1}}, {"Bellatrix", {4, 4}},
        {"zubeneschamali of libra star ab", {5, 5}}, {"Zubeneschamali of Libra Star ABC", {0, 0}},
        {"Acama", {0, 0}}, {"Acamarr", {0, 0}}, {"", {0, 0}}, {"Zz", {0, 0}}};
    for (int l = 0; l < 2; ++l) {
        std::string alp;
        for (int i = 0; i < 5; ++i) {
            alp.resize(37 * (i + 1), '\0');
            Put32(alp, 37 * i, static_cast<uint32_t>(lists[l][i].star));
            std::memcpy(&alp[37 * i + 4], lists[l][i].name, std::strlen(lists[l][i].name));
        }
        Write("csn_alp.bin", alp);
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        for (const auto &a : asks) {
            int star = 0;
            const int entry = FindStarNameListEntry(a.text, &star);
            EXPECT_EQ(entry >= 0 ? star : 0, a.star[l]) << l << " \"" << a.text << "\"";
        }
    }
}

// A BD table: zone -15 (code 105) with one entry, zone -16 (106) with five
// (BD -16 10, three stars of BD -16 1591, BD -16 1591a, BD -16 2000), zone -17
// (107) with one.
class DurchmusterungFile : public XrefFiles {
protected:
    void SetUp() override {
        XrefFiles::SetUp();
        std::string b(114 * 12, '\0');
        Zone(b, 105, 1, 0);
        Zone(b, 106, 6, 1);
        Zone(b, 107, 1, 7);
        const int entries[][4] = {{105, 5, 0, 40},   {106, 10, 0, 50},  {106, 1591, 0, 100},
                                  {106, 1591, 0, 200}, {106, 1591, 0, 300}, {106, 1591, 1, 400},
                                  {106, 2000, 0, 500}, {107, 1, 0, 600}};
        for (int i = 0; i < 8; ++i) {
            size_t at = 1368 + 8 * i;
            Put8(b, at, entries[i][0]);
            Put16(b, at + 1, entries[i][1]);
            Put8(b, at + 3, entries[i][2]);
            Put32(b, at + 4, entries[i][3]);
        }
        Write("bd.bin", b);
    }
    static void Zone(std::string &b, int code, int count, int first) {
        Put32(b, code * 12, count);
        Put32(b, code * 12 + 4, first);
        Put32(b, code * 12 + 8, 1368 + 8 * first);
    }
};

TEST_F(DurchmusterungFile, ThreeStarsEarliestFirst) {
    FILE *f = OpenBdTable();
    ASSERT_NE(f, nullptr);
    int stars[8] = {0};
    int ordinal = -1;
    ASSERT_EQ(FindBdStars(f, 16, '-' | (1591 << 8), 0, stars, 8, &ordinal), 3);
    EXPECT_EQ(stars[0], 100);
    EXPECT_EQ(stars[1] + stars[2], 500);
    EXPECT_EQ(ordinal, 1);  // entry 2, the zone's second
    EXPECT_EQ(FindBdStars(f, 16, '-' | (1591 << 8), 1 << 8, stars, 8, &ordinal), 1);
    EXPECT_EQ(stars[0], 400);
    EXPECT_EQ(ordinal, 4);
    EXPECT_EQ(FindBdStars(f, 16, '-' | (1592 << 8), 0, stars, 8, nullptr), 0);
    EXPECT_EQ(FindBdStars(f, 16, '+' | (1591 << 8), 0, stars, 8, nullptr), 0);
    EXPECT_EQ(FindBdStars(f, 17, '-' | (1 << 8), 0, stars, 8, &ordinal), 1);
    EXPECT_EQ(stars[0], 600);
    EXPECT_EQ(ordinal, 0);
    // The capacity bounds what is stored.
    int two[3] = {0, 0, -7};
    EXPECT_EQ(FindBdStars(f, 16, '-' | (1591 << 8), 0, two, 2, nullptr), 2);
    EXPECT_EQ(two[0], 100);
    EXPECT_EQ(two[2], -7);
    std::fclose(f);
}

TEST_F(DurchmusterungFile, WalksOverZones) {
    DurchmusterungWalk walk;
    char text[65];
    ASSERT_EQ(OpenBdWalk(&walk, '-', 17), 1);
    EXPECT_EQ(NextBdDesignation(&walk, text), 600);
    EXPECT_STREQ(text, "BD -17 00001");
    EXPECT_EQ(NextBdDesignation(&walk, text), 0);
    EXPECT_EQ(walk.stream, nullptr);

    ASSERT_EQ(OpenBdWalk(&walk, '-', 16), 1);
    struct { int star; const char *text; } expected[] = {
        {50, "BD -16 00010"}, {100, "BD -16 01591"}, {400, "BD -16 01591a"}, {500, "BD -16 02000"}};
    // One text per designation (the stars sharing it are skipped), and the
    // walk ends at the zone's last entry, before the next zone's.
    for (auto e : expected) {
        EXPECT_EQ(NextBdDesignation(&walk, text), e.star);
        EXPECT_STREQ(text, e.text);
    }
    EXPECT_EQ(NextBdDesignation(&walk, text), 0);
    EXPECT_EQ(walk.stream, nullptr);
    EXPECT_EQ(NextBdDesignation(&walk, text), 0);  // a closed walk stays at its end

    ASSERT_EQ(OpenBdWalk(&walk, '-', 15), 1);
    EXPECT_EQ(NextBdDesignation(&walk, text), 40);
    CloseDurchmusterungWalk(&walk);                 // left before its end
    EXPECT_EQ(walk.stream, nullptr);
    EXPECT_EQ(OpenBdWalk(&walk, '-', 24), 0);       // code 114: no BD zone
    EXPECT_EQ(OpenCdWalk(&walk, '-', 24), 0);          // no cd.bin
}

// Region r holds r entries with TYC2 = 100 r + 2 i (i = 0 .. r - 1), TYC3 1,
// star 1000 r + i. The regions follow each other in the file, so a probe
// outside a region reads its neighbours.
TEST_F(XrefFiles, TychoSearchAgainstExpectedForEveryRegionSize) {
    const int kRegions = 40;
    std::string b(9537 * 8, '\0');
    uint32_t offset = static_cast<uint32_t>(b.size());
    for (int r = 1; r <= kRegions; ++r) {
        Put32(b, (r - 1) * 8, offset);
        Put32(b, (r - 1) * 8 + 4, static_cast<uint32_t>(r));
        for (int i = 0; i < r; ++i) {
            Put24(b, offset, static_cast<uint32_t>(1000 * r + i));
            Put16(b, offset + 3, static_cast<uint32_t>((100 * r + 2 * i - 1) | (0 << 14)));
            offset += 5;
        }
    }
    Write("tycho.bin", b);
    FILE *f = OpenTychoIndex();
    ASSERT_NE(f, nullptr);
    for (int r = 1; r <= kRegions; ++r) {
        for (int key = 100 * r - 2; key <= 100 * r + 2 * r + 1; ++key) {
            bool present = key >= 100 * r && key < 100 * r + 2 * r && key % 2 == 0;
            int expected = present ? 1000 * r + (key - 100 * r) / 2 : 0;
            ASSERT_EQ(FindTychoStar(f, r, key, 1), expected) << "region " << r << " TYC2 " << key;
        }
        // The neighbours' entries are never reported for this region.
        if (r < kRegions) {
            EXPECT_EQ(FindTychoStar(f, r, 100 * (r + 1), 1), 0) << r;
        }
        if (r > 1) {
            EXPECT_EQ(FindTychoStar(f, r, 100 * (r - 1) + 2 * (r - 2), 1), 0) << r;
        }
        EXPECT_EQ(FindTychoStar(f, r, 100 * r, 2), 0);  // wrong TYC3
    }
    EXPECT_EQ(FindTychoStar(f, 0, 100, 1), 0);
    EXPECT_EQ(FindTychoStar(f, 9538, 100, 1), 0);
    EXPECT_EQ(FindTychoStar(f, 41, 4100, 1), 0);  // an empty region
    std::fclose(f);

    TychoRegionWalk *walk = OpenTychoRegionWalk(3);
    ASSERT_NE(walk, nullptr);
    int tyc2 = 0, tyc3 = 0;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(NextTychoEntry(walk, &tyc2, &tyc3), 1);
        EXPECT_EQ(tyc2, 300 + 2 * i);
        EXPECT_EQ(tyc3, 1);
    }
    EXPECT_EQ(NextTychoEntry(walk, &tyc2, &tyc3), 0);
    CloseTychoRegionWalk(walk);
    EXPECT_EQ(OpenTychoRegionWalk(0), nullptr);
}

TEST_F(XrefFiles, StarNameRecordsAndList) {
    std::string csn(3 * 454, '\0');
    std::memcpy(&csn[454], "Sirius", 6);
    csn[454 + 453] = 1;
    std::memcpy(&csn[908], "Canicula", 8);
    Write("csn.bin", csn);
    FILE *f = OpenStarNameCatalogue();
    ASSERT_NE(f, nullptr);
    unsigned char rec[454];
    EXPECT_EQ(ReadStarNameRecord(f, 2, rec), 2);
    EXPECT_STREQ(reinterpret_cast<char *>(rec), "Sirius");
    EXPECT_EQ(rec[453], 1);
    EXPECT_EQ(ReadStarNameRecord(f, -1, rec), 3);
    EXPECT_STREQ(reinterpret_cast<char *>(rec), "Canicula");
    EXPECT_EQ(ReadStarNameRecord(f, 4, rec), 0);
    EXPECT_EQ(ReadStarNameRecord(f, 0, rec), 0);
    std::fclose(f);

    std::string alp;
    const struct { int star; const char *name; int byte; } entries[] = {
        {9, "Achernar", 1}, {10, "Betelgeuse", 1}, {6, "Capella", 0}};
    for (int i = 0; i < 3; ++i) {
        Put32(alp, 37 * i, static_cast<uint32_t>(entries[i].star));
        alp.resize(37 * i + 36, '\0');
        std::memcpy(&alp[37 * i + 4], entries[i].name, std::strlen(entries[i].name));
        Put8(alp, 37 * i + 36, static_cast<uint32_t>(entries[i].byte));
    }
    Write("csn_alp.bin", alp);
    f = OpenStarNameList();
    ASSERT_NE(f, nullptr);
    char name[32];
    int star = 0, byte = -1;
    EXPECT_EQ(ReadStarNameListEntry(f, 0, name, &star, &byte), 1);
    EXPECT_STREQ(name, "Achernar");
    EXPECT_EQ(star, 9);
    EXPECT_EQ(byte, 1);
    EXPECT_EQ(ReadStarNameListEntry(f, -1, name, &star, &byte), 3);  // index 1, plus two
    EXPECT_STREQ(name, "Betelgeuse");
    EXPECT_EQ(ReadStarNameListEntry(f, -1, name, &star, &byte), 4);
    EXPECT_EQ(byte, 0);
    EXPECT_EQ(ReadStarNameListEntry(f, -1, name, &star, &byte), 0);
    std::fclose(f);
    star = 0;
    EXPECT_EQ(FindStarNameListEntry("CAPELLA", &star), 2);
    EXPECT_EQ(star, 6);
    EXPECT_EQ(FindStarNameListEntry("Capell", &star), -1);
    EXPECT_EQ(FindStarNameListEntry("Vega", &star), -1);
}

TEST_F(XrefFiles, NotesPhotometryAndTycho2) {
    std::string notes;
    Put32(notes, 0, 12);
    Put16(notes, 4, 5);
    Put32(notes, 6, 0);
    Put16(notes, 10, 3);
    notes += "Hello";
    Write("notes.bin", notes);
    FILE *f = OpenStarNotes();
    ASSERT_NE(f, nullptr);
    char buffer[8] = "#######";
    EXPECT_EQ(ReadStarNote(f, 1, buffer, sizeof(buffer)), 1);
    EXPECT_EQ(std::string(buffer, 7), "Hello##");  // not terminated by the reader
    EXPECT_EQ(ReadStarNote(f, 2, buffer, sizeof(buffer)), 0);
    EXPECT_EQ(ReadStarNote(f, 1, buffer, 4), 0);  // does not fit
    std::fclose(f);

    std::string hip(42, '\0');
    Put16(hip, 7, 2047u | (9u << 11));  // record 1: no value 3, an unknown type code
    Put8(hip, 21, 9);                                     // record 2
    Put16(hip, 22, static_cast<uint32_t>(-250));          // value 4: -0.25
    Put32(hip, 24, 1234u | (0x7fffu << 17));              // 12.34, none
    Put16(hip, 28, 150u | (3u << 11));                    // 0.5, 'M'
    std::memcpy(&hip[30], "ABCDEFGHIJKL", 12);
    Write("hip.bin", hip);
    f = OpenHipparcosPhotometry();
    ASSERT_NE(f, nullptr);
    HipparcosPhotometry p;
    std::memset(&p, 0, sizeof(p));
    p.type = '?';
    ASSERT_EQ(ReadHipparcosPhotometry(f, 2, &p), 1);
    EXPECT_EQ(p.code, 9);
    EXPECT_NEAR(p.value_1, 12.34, 1e-9);
    EXPECT_EQ(p.value_2, 99.9);
    EXPECT_NEAR(p.value_3, 0.5, 1e-9);
    EXPECT_EQ(p.type, 'M');
    EXPECT_NEAR(p.value_4, -0.25, 1e-9);
    EXPECT_STREQ(p.text, "ABCDEFGHIJKL");
    p.type = '?';
    ASSERT_EQ(ReadHipparcosPhotometry(f, 1, &p), 1);
    EXPECT_EQ(p.value_3, 99.9);
    EXPECT_EQ(p.type, '?');
    EXPECT_EQ(ReadHipparcosPhotometry(f, 3, &p), 0);
    std::fclose(f);

    // Three Tycho-2 records sorted by TYC1, TYC2, TYC3.
    std::string t2;
    const int ids[][3] = {{10, 5, 1}, {10, 5, 2}, {11, 1, 1}};
    for (int i = 0; i < 3; ++i) {
        Put32(t2, 24 * i, static_cast<uint32_t>(ids[i][1] | (ids[i][0] << 14) | (ids[i][2] << 28)));
        Put32(t2, 24 * i + 4, Turn(0.1 * (i + 1)));
        Put32(t2, 24 * i + 8, Turn(-0.1 * (i + 1)));
        float v = 1.5f * (i + 1);
        uint32_t w;
        std::memcpy(&w, &v, 4);
        Put32(t2, 24 * i + 12, w);
        Put32(t2, 24 * i + 16, w);
        Put32(t2, 24 * i + 20, w);
    }
    ASSERT_EQ(EnsureDirectory((dir_.path() + "/Tycho2").c_str()), 1);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.path() + "/Tycho2/T2_ref.bin", t2));
    f = OpenTycho2Reference();
    ASSERT_NE(f, nullptr);
    double ra = 0, dec = 0, v1 = 0, v2 = 0, v3 = 0;
    ASSERT_EQ(FindTycho2Reference(f, 10, 5, 2, &ra, &dec, &v1, &v2, &v3), 1);
    EXPECT_NEAR(ra, 0.2, 3e-9);
    EXPECT_NEAR(dec, -0.2, 3e-9);
    EXPECT_EQ(v1, 3.0);
    EXPECT_EQ(FindTycho2Reference(f, 11, 1, 1, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(FindTycho2Reference(f, 10, 5, 3, &ra, &dec, &v1, &v2, &v3), 0);
    std::fclose(f);
}

TEST(XrefOpeners, NoneBeforeTheFilesExist) {
    testutil::TempDir empty;
    SetRefDirectories(empty.path().c_str(), empty.path().c_str(), empty.path().c_str());
    EXPECT_EQ(OpenHipNumberIndex(), nullptr);
    EXPECT_EQ(OpenStarNameList(), nullptr);
    EXPECT_EQ(FindStarNameListEntry("Vega", nullptr), -1);
    EXPECT_EQ(ReadHipNumberIndex(nullptr, 1), 0);
    int stars[2];
    EXPECT_EQ(ReadHdIndex(nullptr, 1, stars), 0);
    EXPECT_EQ(FindTychoStar(nullptr, 1, 1, 1), 0);
}

}  // namespace
