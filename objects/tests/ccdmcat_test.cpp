// Tests of the double-star catalogue readers on files written by hand: the
// system record and component decoding (byte offsets from the format), the
// identifier order and search over every record of a small catalogue, the
// discoverer lists sorted by normalised name, ADS and notes.
#include "objects/ccdmcat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;

namespace {
const double kDeg = 3.14159265358979323846 / 180.0;

struct System {
    int first, second;
    char sign;
    int primary;
};
// Catalogue order: first parts ascending, signed second parts descending.
const System kSystems[] = {{57, 4549, '+', 11}, {17234, 3937, '+', 22}, {17234, 1234, '-', 0},
                           {18443, 3940, '+', 44}, {19307, 2758, '+', 55}};

std::string Component(const char *id, int ads, uint32_t star, char reference, char letter,
                      double pa, double sep, double mag, int orbit) {
    std::string c(37, '\0');
    std::memcpy(&c[0], id, std::strlen(id) < 7 ? std::strlen(id) : 7);
    Put16(c, 7, ads);
    Put32(c, 9, star);
    Put16(c, 13, 101);
    Put16(c, 15, 202);
    Put16(c, 17, (uint32_t)std::lround(pa * 65535.0 / 361.0));
    Put8(c, 19, (uint8_t)reference);
    Put8(c, 20, (uint8_t)letter);
    Put24(c, 21, (uint32_t)std::lround(sep * 1000));
    Put16(c, 24, mag > 90 ? 32767 : (uint32_t)(uint16_t)(int16_t)std::lround(mag * 100));
    Put16(c, 28, 1991);
    Put16(c, 31, (uint32_t)orbit);
    return c;
}

class CcdmFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        std::string comps;
        // Components of system 2 (three entries) at offset 0.
        comps += Component("STF2161", 10598, 22, ' ', 'A', 0, 0, 4.5, 0);
        comps += Component("STF2161", 10598, 23, 'A', 'B', 318.4, 4.123, 6.5, 12);
        comps += Component("BU 1234", 0, 0x80000000u | (2345u << 14) | 678u, 'B', 'C', 90.0, 30.5,
                           99.9, 0);
        std::string systems;
        for (size_t i = 0; i < 5; ++i) {
            const System &s = kSystems[i];
            std::string r(31, '\0');
            const int count = i == 1 ? 3 : (i == 4 ? 1 : 0);
            const uint32_t offset = i == 4 ? 3 * 37 : 0;
            Put32(r, 0, offset | ((uint32_t)(count + 1) << 24));
            Put24(r, 4, (uint32_t)s.primary);
            Put16(r, 7, 1000 + (int)i);
            Put16(r, 9, 2000 + (int)i);
            Put32(r, 11, starbytes::Turn((10.0 + i) * kDeg));
            Put32(r, 15, starbytes::Turn(60.0 * kDeg));
            Put24(r, 19, 750000 + 50000);   // +0.5"/yr
            Put24(r, 22, 750000 - 20000);   // -0.2"/yr
            Put16(r, 25, (uint32_t)s.first);
            Put16(r, 27, (uint32_t)s.second | (s.sign == '+' ? 0x8000u : 0u));
            Put16(r, 29, 345);
            systems += r;
        }
        comps += Component("STF2579", 12540, 56, 'A', 'B', 54.0, 34.3, 5.1, 0);
        Write("ccdm.bin", systems);
        Write("ccdm_i.bin", comps);

        std::string ads(12 * 3, '\0');
        Put32(ads, 24, 2);
        Put32(ads, 28, 5);
        Write("ads_ccdm.bin", ads);

        // Sorted by the normalised names "BU 1234" < "STF 2161" < "STF 2272";
        // the raw names would sort "STF 2161" after "STF2272".
        std::string did;
        const struct {
            const char *name;
            int star;
        } names[] = {{"BU1234", 9}, {"STF 2161", 22}, {"STF2272", 70}};
        for (const auto &n : names) {
            std::string r(23, '\0');
            std::memcpy(&r[0], n.name, std::strlen(n.name));
            Put32(r, 10, (uint32_t)n.star);
            Put32(r, 14, (uint32_t)n.star + 1);
            Put32(r, 18, 77);
            Put8(r, 22, 5);
            did += r;
        }
        Write("did_cross.bin", did);
        std::string full(23, '\0');
        std::memcpy(&full[0], "STF2272AB", 9);
        Put32(full, 10, 70);
        Put32(full, 14, 71);
        Put32(full, 18, 77);
        Put8(full, 22, 5);
        Write("did_cross_full.bin", full);

        std::string notes(12, '\0');
        Put32(notes, 0, 12);
        Put16(notes, 4, 5);
        Put32(notes, 6, 17);
        Put16(notes, 10, 3);
        Write("wds_notes.bin", notes + "Orbitabc");
    }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

TEST_F(CcdmFilesTest, ReadsSystemsAndComponents) {
    CcdmFiles *files = OpenCcdmFiles();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(CountCcdmRecords(files), 5);
    std::vector<CcdmComponent> c(kMaxCcdmComponents);
    double ra = 0, dec = 0, pmRa = 0, pmDec = 0, mag = 0;
    CcdmIdentifier id{0, 0, ' '};
    int primary = 0, keyA = 0, keyB = 0;
    ASSERT_EQ(ReadCcdmRecord(files, 2, &ra, &dec, &pmRa, &pmDec, &mag, &id, &primary, &keyA, &keyB,
                             c.data(), 0x5b),
              3);
    EXPECT_NEAR(ra / kDeg, 11.0, 1e-6);
    EXPECT_NEAR(dec / kDeg, 60.0, 1e-6);
    EXPECT_NEAR(pmRa / kDeg * 3600.0, 0.5 / 0.5, 1e-6);  // 0.5"/yr / cos 60
    EXPECT_NEAR(pmDec / kDeg * 3600.0, -0.2, 1e-6);
    EXPECT_NEAR(mag, 3.45, 1e-12);
    EXPECT_EQ(id.first, 17234);
    EXPECT_EQ(id.second, 3937);
    EXPECT_EQ(id.sign, '+');
    EXPECT_EQ(primary, 22);
    EXPECT_EQ(keyA, 1001);
    EXPECT_EQ(keyB, 2001);
    EXPECT_EQ(c[1].referenceLetter, 'A');
    EXPECT_EQ(c[1].letter, 'B');
    EXPECT_STREQ(c[1].identifier, "STF2161");
    EXPECT_EQ(c[1].adsNumber, 10598);
    EXPECT_EQ(c[1].starNumber, 23);
    EXPECT_EQ(c[1].keyC, 101);
    EXPECT_EQ(c[1].keyD, 202);
    EXPECT_NEAR(double(c[1].positionAngle), 318.4, 361.0 / 65535.0);
    EXPECT_NEAR(double(c[1].separation), 4.123, 1e-12);
    EXPECT_NEAR(double(c[1].magnitude), 6.5, 1e-12);
    EXPECT_EQ(c[1].epochYear, 1991);
    EXPECT_EQ(c[1].orbitNumber, 12);
    EXPECT_EQ(c[2].starNumber, 0);
    EXPECT_EQ(c[2].gscRegion, 2345);
    EXPECT_EQ(c[2].gscNumber, 678);
    EXPECT_EQ(double(c[2].magnitude), 99.9);
    // Reference magnitudes: B from A (the primary's), C from B.
    EXPECT_EQ(ReferenceMagnitude(c.data(), 1, 3, 4.4), 4.4);
    EXPECT_NEAR(ReferenceMagnitude(c.data(), 2, 3, 4.4), 6.5, 1e-12);
    EXPECT_EQ(ReferenceMagnitude(c.data(), 0, 3, 4.4), 99.9);  // reference ' ' names no component
    EXPECT_EQ(ReferenceMagnitude(c.data(), 3, 3, 4.4), 99.9);

    // Without the list flag no component is filled; the star and orbit always are.
    std::memset(c.data(), 0x55, sizeof(CcdmComponent));
    EXPECT_EQ(ReadCcdmRecord(files, 2, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, c.data(), 0x1b),
              3);
    EXPECT_EQ(c[0].letter, 0x55);
    ASSERT_EQ(ReadCcdmRecord(files, 2, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, c.data(), 0x40),
              3);
    EXPECT_EQ(c[1].starNumber, 23);
    EXPECT_EQ(c[1].orbitNumber, 12);
    EXPECT_EQ(c[1].letter, 0);

    // The empty record: 0 components, primary 0, magnitude 99.0; then the
    // next record read sequentially; then past the end.
    mag = 0;
    primary = 9;
    EXPECT_EQ(ReadCcdmRecord(files, 3, &ra, &dec, &pmRa, &pmDec, &mag, &id, &primary, &keyA, &keyB,
                             c.data(), 0x5b),
              0);
    EXPECT_EQ(mag, 99.0);
    EXPECT_EQ(primary, 0);
    EXPECT_EQ(ra, 0.0);
    EXPECT_EQ(keyA, 0);
    EXPECT_EQ(ReadCcdmRecord(files, -1, nullptr, nullptr, nullptr, nullptr, nullptr, &id, &primary,
                             nullptr, nullptr, nullptr, 0x08),
              0);
    EXPECT_EQ(primary, 44);
    EXPECT_EQ(id.first, 18443);
    EXPECT_EQ(ReadCcdmRecord(files, 6, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, 0),
              -1);
    EXPECT_EQ(ReadCcdmRecord(files, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, 0),
              -1);
    CloseCcdmFiles(files);
}

TEST(CcdmIdentifiers, CatalogueOrder) {
    const struct {
        CcdmIdentifier a, b;
        int order;
    } cases[] = {
        {{17234, 3937, '+'}, {17234, 1234, '-'}, -1},  // larger signed second part first
        {{17234, 1234, '-'}, {17234, 3937, '+'}, 1},
        {{17234, 1234, '-'}, {17234, 1234, '-'}, 0},
        {{17234, 1234, '-'}, {17234, 1235, '-'}, -1},
        {{17235, 0, '-'}, {17234, 8959, '+'}, 1},
        {{57, 4549, '+'}, {17234, 3937, '+'}, -1},
    };
    for (const auto &c : cases) EXPECT_EQ(CompareCcdmIdentifiers(c.a, c.b), c.order);
}

TEST_F(CcdmFilesTest, FindsEveryRecordOfACatalogueOfAnySize) {
    for (int i = 0; i < 5; ++i) {
        const System &s = kSystems[i];
        int record = 0, primary = -1;
        const int count = FindCcdmRecord({s.first, s.second, s.sign}, &record, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, &primary, nullptr,
                                         nullptr, nullptr, 0);
        EXPECT_EQ(record, i + 1) << s.first;
        EXPECT_EQ(count, i == 1 ? 3 : (i == 4 ? 1 : 0)) << s.first;
        EXPECT_EQ(primary, s.primary);
    }
    int record = 0;
    EXPECT_EQ(FindCcdmRecord({17234, 3938, '+'}, &record, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0),
              0);
    EXPECT_GE(record, 1);
    EXPECT_LE(record, 5);
    ASSERT_EQ(std::remove(dir_.file("ccdm_i.bin").c_str()), 0);
    EXPECT_EQ(FindCcdmRecord({57, 4549, '+'}, &record, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr, 0),
              -1);
}

TEST_F(CcdmFilesTest, DiscovererNamesAdsAndNotes) {
    const struct {
        const char *in, *out;
    } names[] = {{"STF2272", "STF 2272"}, {"STF 2272", "STF 2272"}, {"  STF   2272 ", "STF 2272"},
                 {"STFA12", "STFA 12"},   {"BU", "BU"},             {"1234", "1234"}};
    for (const auto &n : names) {
        char text[16];
        std::snprintf(text, sizeof text, "%s", n.in);
        NormaliseDiscovererName(text, sizeof text);
        EXPECT_STREQ(text, n.out) << n.in;
    }
    const struct {
        const char *text;
        int star;
    } lookups[] = {{"STF 2272", 70}, {"STF2272", 70}, {"STF2272A", 70}, {"STF 2161", 22},
                   {"BU 1234", 9},   {"BU 1235", 0},  {"", -1}};
    for (const auto &l : lookups) EXPECT_EQ(FindDiscovererStar(l.text), l.star) << l.text;
    int alternative = 0, value = 0, byte = 0;
    EXPECT_EQ(FindDiscovererStarFull("STF2272AB", &alternative, &value, &byte), 70);
    EXPECT_EQ(alternative, 71);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(byte, 5);
    EXPECT_EQ(FindDiscovererStarFull("STF2272", &alternative, &value, &byte), 0);

    FILE *list = OpenDiscovererList();
    char name[kDiscovererNameSize];
    EXPECT_EQ(ReadDiscovererEntry(list, 2, name), 70);
    EXPECT_STREQ(name, "STF2272");
    EXPECT_EQ(ReadDiscovererEntry(list, 3, name), -1);
    EXPECT_EQ(ReadDiscovererEntry(list, -1, name), -1);
    std::fclose(list);

    FILE *ads = OpenAdsIndex();
    int out[3] = {9, 9, 9};
    EXPECT_EQ(ReadAdsIndex(ads, 3, out), 2);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(ReadAdsIndex(ads, 1, out), 0);
    EXPECT_EQ(ReadAdsIndex(ads, 0, out), 0);
    EXPECT_EQ(ReadAdsIndex(ads, 17181, out), 0);
    std::fclose(ads);

    FILE *notes = OpenDoubleStarNotes();
    char buffer[8] = {0};
    EXPECT_EQ(ReadDoubleStarNote(notes, 1, buffer, sizeof buffer), 1);
    EXPECT_EQ(std::string(buffer, 5), "Orbit");
    EXPECT_EQ(ReadDoubleStarNote(notes, 2, buffer, 2), 0);  // 3 bytes do not fit in 2
    EXPECT_EQ(ReadDoubleStarNote(notes, 3, buffer, sizeof buffer), 0);
    std::fclose(notes);
}

}  // namespace
