// Tests of the deep-sky cross indexes, common names, designation texts, the
// NGC scan, the list-builder pattern and the halving search, on index files
// written byte by byte in a scratch folder.
#include "objects/dsoxref.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "objects/dsotexts.h"
#include "objects/galaxycat.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put32;
using starbytes::Put8;

namespace {

// One NGC record: count at 0, codes at 1, entries at 5 + 4 e.
std::string NgcRecord(int count, std::vector<std::pair<int, int>> entries) {
    std::string b(33, '\0');
    Put8(b, 0, count);
    uint32_t codes = 0;
    for (size_t e = 0; e < 7; ++e) {
        int code = e < entries.size() ? entries[e].first : 0;
        int rec = e < entries.size() ? entries[e].second : -1;
        codes |= static_cast<uint32_t>(code) << (3 * e);
        Put32(b, 5 + 4 * e, static_cast<uint32_t>(rec));
    }
    Put32(b, 1, codes);
    return b;
}

class DeepSkyIndexes : public ::testing::Test {
protected:
    void SetUp() override {
        // NGC 1: plain object + second object of another class (count 0).
        // NGC 2: entry 0 empty (old-style 0/0), entry 1 a nebula.
        // NGC 3: the first open cluster, record 0, marked with the new empty marker elsewhere.
        // NGC 4: lettered A and B galaxies.
        std::string ngc = NgcRecord(0, {{4, 17}, {2, 5}}) + NgcRecord(0, {{0, 0}, {2, 9}}) +
                          NgcRecord(0, {{0, 0}, {0, -1}}) + NgcRecord(2, {{0, -1}, {4, 30}, {4, 31}});
        Write("ngc.bin", ngc);
        std::string m(3 * 3, '\xff');
        m[3] = 0; Put16(m, 4, 0);          // M 2: open cluster record 0
        m[6] = 4; Put16(m, 7, 17);         // M 3: galaxy 17
        Write("m.bin", m);
        std::string names(228 * 32, '\0');
        std::strcpy(&names[0], "THE Wild Duck");
        std::strcpy(&names[32], "Whirlpool Galaxy");
        std::strcpy(&names[64], "Theta Nebula");
        Write("cnames.bin", names);
        std::string cross(228 * 5, '\xff');
        Put8(cross, 0, 0); Put32(cross, 1, 0);
        Put8(cross, 5, 4); Put32(cross, 6, 17);
        Put8(cross, 10, 2); Put32(cross, 11, 9);
        Write("cn_cross.bin", cross);
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

TEST_F(DeepSkyIndexes, NgcLookupCases) {
    FILE *f = OpenNgcCrossIndex();
    ASSERT_NE(f, nullptr);
    int t[2] = {-9, -9}, r[2] = {-9, -9};
    EXPECT_EQ(LookupNgcCrossIndex(f, 1, 0, t, r), 2);
    EXPECT_EQ(t[0], 4); EXPECT_EQ(r[0], 17); EXPECT_EQ(t[1], 2); EXPECT_EQ(r[1], 5);
    EXPECT_EQ(LookupNgcCrossIndex(f, 1, 1, t, r), 0);      // suffix on a count-0 number
    EXPECT_EQ(LookupNgcCrossIndex(f, 2, 0, t, r), 2);      // empty entry 0 falls back to entry 1
    EXPECT_EQ(t[0], 2); EXPECT_EQ(r[0], 9);
    EXPECT_EQ(LookupNgcCrossIndex(f, 3, 0, t, r), 0);      // nothing at all
    EXPECT_EQ(LookupNgcCrossIndex(f, 4, 2, t, r), 1);
    EXPECT_EQ(r[0], 31);
    EXPECT_EQ(LookupNgcCrossIndex(f, 4, 3, t, r), 0);      // beyond componentCount
    EXPECT_EQ(LookupNgcCrossIndex(f, 5, 0, t, r), 0);      // beyond the file
    EXPECT_EQ(LookupNgcCrossIndex(nullptr, 1, 0, t, r), 0);
    std::fclose(f);
}

// The lookups on the indexes held in memory give what the lookups on the
// open files give, for every case of the fixture (numbers and suffixes past
// the files' ends among them), and say so when an index cannot be read.
TEST_F(DeepSkyIndexes, HeldLookupsAgreeWithTheFiles) {
    std::string ic(3 * 14, '\xff');
    Put16(ic, 0, 4 | (2 << 3)); Put32(ic, 2, 40); Put32(ic, 6, 41); Put32(ic, 10, -1);  // IC 1: A galaxy, B nebula
    Put16(ic, 14, 0); Put32(ic, 16, 0); Put32(ic, 20, -1); Put32(ic, 24, -1);           // IC 2: nothing
    Write("ic.bin", ic);
    SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    FILE *ngc = OpenNgcCrossIndex();
    FILE *icFile = OpenIcCrossIndex();
    FILE *m = OpenMessierCrossIndex();
    ASSERT_TRUE(ngc && icFile && m);
    for (int number = 0; number <= 6; ++number)
        for (int suffix = -1; suffix <= 7; ++suffix) {
            int ft[2] = {-9, -9}, fr[2] = {-9, -9}, ht[2] = {-9, -9}, hr[2] = {-9, -9};
            const int fromFile = LookupNgcCrossIndex(ngc, number, suffix, ft, fr);
            ASSERT_EQ(LookupHeldNgcCrossIndex(number, suffix, ht, hr), fromFile) << number << " " << suffix;
            for (int i = 0; i < fromFile; ++i) {
                EXPECT_EQ(ht[i], ft[i]) << number << " " << suffix;
                EXPECT_EQ(hr[i], fr[i]) << number << " " << suffix;
            }
            int t1 = -9, r1 = -9, t2 = -9, r2 = -9;
            const int icFromFile = LookupIcCrossIndex(icFile, number, suffix, &t1, &r1);
            ASSERT_EQ(LookupHeldIcCrossIndex(number, suffix, &t2, &r2), icFromFile) << number << " " << suffix;
            if (icFromFile == 1) {
                EXPECT_EQ(t2, t1);
                EXPECT_EQ(r2, r1);
            }
        }
    for (int number = 0; number <= 5; ++number) {
        int t1 = -9, r1 = -9, t2 = -9, r2 = -9;
        const int fromFile = ReadMessierCrossIndex(m, number, &t1, &r1);
        ASSERT_EQ(ReadHeldMessierCrossIndex(number, &t2, &r2), fromFile) << number;
        if (fromFile == 1) {
            EXPECT_EQ(t2, t1);
            EXPECT_EQ(r2, r1);
        }
    }
    std::fclose(ngc);
    std::fclose(icFile);
    std::fclose(m);
    // Indexes that are not there: failures apart from "not found"; the two
    // IC galaxies beyond the index are known only with the index in place.
    SetRefDirectories((dir_.path() + "/none/").c_str(), (dir_.path() + "/none/").c_str(),
                      (dir_.path() + "/none/").c_str());
    int t[2], r[2];
    EXPECT_EQ(LookupHeldNgcCrossIndex(1, 0, t, r), -1);
    EXPECT_EQ(LookupHeldIcCrossIndex(1, 0, t, r), -2);
    EXPECT_EQ(ReadHeldMessierCrossIndex(3, t, r), -1);
}

TEST_F(DeepSkyIndexes, IcExceptionsNeedNoFile) {
    int t = -1, r = -1;
    EXPECT_EQ(LookupIcCrossIndex(nullptr, 683, 5, &t, &r), 1);
    EXPECT_EQ(t, kCrossGalaxy); EXPECT_EQ(r, 34807);
    EXPECT_EQ(LookupIcCrossIndex(nullptr, 5269, 3, &t, &r), 1);
    EXPECT_EQ(r, 70253);
    EXPECT_EQ(LookupIcCrossIndex(nullptr, 683, 4, &t, &r), 0);
}

TEST_F(DeepSkyIndexes, MessierNgcAndNameReachOneRecord) {
    FILE *m = OpenMessierCrossIndex();
    FILE *n = OpenNgcCrossIndex();
    int mt = -1, mr = -1, t[2], r[2], ct = -1, cr = -1;
    ASSERT_EQ(ReadMessierCrossIndex(m, 3, &mt, &mr), 1);
    ASSERT_GE(LookupNgcCrossIndex(n, 1, 0, t, r), 1);
    ASSERT_EQ(FindCommonName("whirlpool galaxy", &ct, &cr), 1);
    EXPECT_EQ(mt, t[0]); EXPECT_EQ(mr, r[0]);
    EXPECT_EQ(ct, t[0]); EXPECT_EQ(cr, r[0]);
    EXPECT_EQ(ReadMessierCrossIndex(m, 1, &mt, &mr), 0);   // type 255: no object
    // Open-cluster record 0 is a real object reached through M 2.
    ASSERT_EQ(ReadMessierCrossIndex(m, 2, &mt, &mr), 1);
    EXPECT_EQ(mt, kCrossOpenCluster); EXPECT_EQ(mr, 0);
    std::fclose(m);
    std::fclose(n);
}

TEST_F(DeepSkyIndexes, CommonNames) {
    int t = -1, r = -1;
    EXPECT_EQ(FindCommonName("wild duck", &t, &r), 1);     // stored "THE " ignored
    EXPECT_EQ(t, 0); EXPECT_EQ(r, 0);
    EXPECT_EQ(FindCommonName("THE WILD DUCK", &t, &r), 0); // compared without the stored article
    EXPECT_EQ(FindCommonName("Whirlpool", &t, &r), 0);     // whole names only
    EXPECT_EQ(FindCommonName("theta nebula", &t, &r), 1);  // "The" needs its blank
    EXPECT_EQ(r, 9);
    FILE *f = OpenCommonNames();
    char name[32];
    EXPECT_EQ(ReadCommonName(f, 228, name), 0);
    EXPECT_EQ(ReadCommonName(f, 1, name), 1);
    EXPECT_STREQ(name, "Whirlpool Galaxy");
    std::fclose(f);
    f = OpenCommonNameCrossIndex();
    EXPECT_EQ(ReadCommonNameCrossIndex(f, 1, &t, &r), 2);
    EXPECT_EQ(ReadCommonNameCrossIndex(f, -1, &t, &r), 3);  // stream position / 5
    EXPECT_EQ(r, 9);
    std::fclose(f);
    // A cross index that went (data installed again: the folders are set
    // anew) leaves the name known and its entry unreadable.
    std::remove(dir_.file("cn_cross.bin").c_str());
    SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    EXPECT_EQ(FindCommonName("wild duck", &t, &r), -1);
}

TEST_F(DeepSkyIndexes, NgcScanAnswers) {
    NgcScan *scan = StartNgcScan(1, kCrossBrightNebula);
    ASSERT_NE(scan, nullptr);
    std::vector<int> found;
    int answers[3] = {0, 0, 0};
    for (int guard = 0; guard < 100; ++guard) {
        int number = 0, component = -1;
        int a = NextNgcScanEntry(scan, &number, &component);
        ++answers[a + 1];
        if (a == -1) break;
        if (a == 1) found.push_back(number);
    }
    EndNgcScan(scan);
    EXPECT_EQ(found, (std::vector<int>{1, 2}));
    EXPECT_EQ(answers[0], 1);
    EXPECT_GT(answers[1], 0);
    EndNgcScan(nullptr);
    EXPECT_EQ(StartNgcScan(99, 0), nullptr);
}

TEST(DeepSkyTexts, Formatters) {
    char t[65];
    FormatPgcDesignation(t, 73197); EXPECT_STREQ(t, "PGC 73197");
    FormatPgcDesignation(t, 73198); EXPECT_STREQ(t, "LEDA 73198");
    FormatNgcDesignation(t, 224, 0); EXPECT_STREQ(t, "NGC 224");
    FormatNgcDesignation(t, 5194, 1); EXPECT_STREQ(t, "NGC 5194A");
    FormatIcDesignation(t, 434, 2); EXPECT_STREQ(t, "IC 434B");
    FormatPnGDesignation(t, 10.2, -3.4, ' '); EXPECT_STREQ(t, "PN G010.2-3.4");
    FormatPnGDesignation(t, 10.2, -3.4, 'a'); EXPECT_STREQ(t, "PN G010.2-3.4a");
    int16_t mcg[4] = {-3, 31, 14, 0};
    FormatMcgDesignation(t, mcg); EXPECT_STREQ(t, "MCG -3-31-14");
    int16_t eso[3] = {270, 9, 1};
    FormatEsoDesignation(t, eso); EXPECT_STREQ(t, "ESO 270 9A");
    FormatUgcDesignation(t, 454, ' '); EXPECT_STREQ(t, "UGC 454");
    FormatUgcDesignation(t, 454, 'A'); EXPECT_STREQ(t, "UGC 454A");
    int32_t pk[2] = {63, 131};
    FormatPkDesignation(t, pk, '+'); EXPECT_STREQ(t, "PK 063+13.1");
    FormatMarkarianDesignation(t, 421, 0); EXPECT_STREQ(t, "Markarian 421");
    CcdmNumber c = {1234, 5678, '+'};
    FormatCcdmDesignation(t, c); EXPECT_STREQ(t, "CCDM 01234+5678");
    CcdmNumber none = {0, 0, '-'};
    FormatCcdmDesignation(t, none); EXPECT_STREQ(t, "");
}

TEST(DeepSkyLists, EverythingDisabledStillLists) {
    GalaxyRecord g;
    std::memset(&g, 0, sizeof g);
    g.commonName = -1;
    g.ngcNumber = 5194;
    g.pgcNumber = 73198;
    g.messierNumber = 51;
    DesignationPreferences prefs;
    std::memset(&prefs, 0, sizeof prefs);
    for (int i = 0; i < 60; ++i) prefs.order[1][i] = static_cast<uint8_t>(9 - (i % 10));
    DesignationList list;
    DesignationParts first, second;
    ASSERT_EQ(FormatGalaxyDesignations(&prefs, &g, &list, 0, 0, &first, &second), 1);
    ASSERT_GE(list.count, 3);
    EXPECT_STREQ(list.entries[0], "LEDA 73198");   // preferred order: kind 9 first
    EXPECT_STREQ(list.entries[1], "NGC 5194");
    EXPECT_STREQ(list.entries[2], "M 51");
    EXPECT_STREQ(first.catalogue, "LEDA");
    EXPECT_EQ(+first.first, 73198);
    ASSERT_EQ(FormatGalaxyDesignations(nullptr, &g, &list, 2, 0, &first, &second), 1);
    EXPECT_EQ(list.count, 2);
    EXPECT_STREQ(second.catalogue, "NGC");         // the limit's second entry
    EXPECT_EQ(FormatGalaxyDesignations(nullptr, nullptr, &list, 0, 0, nullptr, nullptr), 0);
}

int CompareInt(const void *record, const void *key) {
    int32_t a, b = *static_cast<const int32_t *>(key);
    std::memcpy(&a, record, 4);
    return a < b ? -1 : a > b ? 1 : 0;
}

TEST(HalvingSearchTest, AgreesWithBinarySearchForEveryTableSize) {
    testutil::TempDir dir;
    for (int n = 1; n <= 300; ++n) {
        std::vector<int32_t> keys;
        std::string bytes;
        for (int i = 0; i < n; ++i) {
            keys.push_back(3 * i + 1);
            Put32(bytes, bytes.size(), static_cast<uint32_t>(3 * i + 1));
        }
        std::string path = dir.file("t.bin");
        ASSERT_TRUE(testutil::WriteFileBytes(path, bytes));
        FILE *f = std::fopen(path.c_str(), "rb");
        for (int32_t k = 0; k <= 3 * n + 1; ++k) {
            bool present = std::binary_search(keys.begin(), keys.end(), k);
            int found = HalvingSearch(f, n, 4, &k, CompareInt);
            ASSERT_EQ(found >= 0, present) << "n " << n << " key " << k;
            if (present) {
                ASSERT_EQ(found, (k - 1) / 3);
            }
        }
        std::fclose(f);
    }
}

}  // namespace
