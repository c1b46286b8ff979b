// The generated star catalogue read through every index it has: HIP, HD,
// SAO, HR, Bayer, Flamsteed, the common-name records and the alphabetical
// name list all lead to the same star, whose record carries the same
// numbers back; the compact sample stars through the Tycho index; and the
// star's designation list.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "objects/conrects.h"
#include "objects/constellations.h"
#include "objects/designationlist.h"
#include "objects/starcat.h"
#include "objects/stardes.h"
#include "objects/starxref.h"
#include "objects/tests/stardata.h"
#include "core/mathutil.h"

namespace {

const double kDeg = kPi / 180.0;

struct KnownStar {
    const char *name;
    int hip, hd, sao, hr;
    int greek;         // 0-based letter, -1 none
    int superscript;
    const char *con;
    int flamsteed;     // 0 none
    double ra, dec;    // J2000, degrees
    double v;
};

// Hipparcos, HD, SAO and Bright Star numbers and J2000 places of a few bright
// stars (SIMBAD).
const KnownStar kStars[] = {
    {"Sirius", 32349, 48915, 151881, 2491, 0, 0, "CMa", 9, 101.2872, -16.7161, -1.44},
    {"Polaris", 11767, 8890, 308, 424, 0, 0, "UMi", 1, 37.9546, 89.2641, 2.0},
    {"Vega", 91262, 172167, 67174, 7001, 0, 0, "Lyr", 3, 279.2347, 38.7837, 0.03},
    {"Betelgeuse", 27989, 39801, 113271, 2061, 0, 0, "Ori", 58, 88.7929, 7.4071, 0.45},
    {"Mizar", 65378, 116656, 28737, 5054, 5, 0, "UMa", 79, 200.9814, 54.9254, 2.23},
};

class GeneratedCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!stardata::Use(&why)) GTEST_SKIP() << why;
        FreeConstellationRects();  // rectangles cached from other folders
        stars_ = OpenStarCatalogue();
        ASSERT_NE(stars_, nullptr);
    }
    void TearDown() override {
        FreeConstellationRects();
        if (stars_) std::fclose(stars_);
    }
    StarRecord Read(int n, int flags = -1) {
        StarRecord r;
        EXPECT_EQ(ReadStarRecord(stars_, n, &r, nullptr, flags), 1) << n;
        return r;
    }
    FILE *stars_ = nullptr;
};

int Lookup(FILE *(*open)(), int (*read)(FILE *, int), int n) {
    FILE *f = open();
    if (!f) return -1;
    int star = read(f, n);
    std::fclose(f);
    return star;
}

TEST_F(GeneratedCatalogue, EveryDesignationKindLeadsToTheStar) {
    for (const KnownStar &k : kStars) {
        SCOPED_TRACE(k.name);
        int n = Lookup(OpenHipNumberIndex, ReadHipNumberIndex, k.hip);
        ASSERT_GT(n, 0);
        StarRecord r = Read(n);
        EXPECT_EQ(+r.hip, k.hip);
        EXPECT_EQ(+r.hd, k.hd);
        EXPECT_EQ(+r.sao, k.sao);
        EXPECT_EQ(+r.hr, k.hr);
        EXPECT_NEAR(+r.ra, k.ra * kDeg, 2e-5);
        EXPECT_NEAR(+r.dec, k.dec * kDeg, 2e-5);
        EXPECT_NEAR(+r.v_magnitude, k.v, 0.1);
        EXPECT_EQ(Lookup(OpenSaoIndex, ReadSaoIndex, k.sao), n);
        EXPECT_EQ(Lookup(OpenHrIndex, ReadHrIndex, k.hr), n);
        FILE *f = OpenHdIndex();
        ASSERT_NE(f, nullptr);
        int pair[2] = {0, 0};
        EXPECT_GE(ReadHdIndex(f, k.hd, pair), 1);
        EXPECT_EQ(pair[0], n);
        std::fclose(f);
        int con = FindConstellationAbbreviation(k.con);
        f = OpenBayerIndex();
        ASSERT_NE(f, nullptr);
        EXPECT_GE(ReadBayerIndex(f, k.greek, k.superscript, con, pair), 1);
        EXPECT_EQ(pair[0], n);
        std::fclose(f);
        f = OpenFlamsteedIndex();
        ASSERT_NE(f, nullptr);
        EXPECT_GE(ReadFlamsteedIndex(f, k.flamsteed, con, pair), 1);
        EXPECT_EQ(pair[0], n);
        std::fclose(f);
        // The record's packed Bayer/Flamsteed code names the same star.
        uint32_t code = r.bayer_flamsteed[0] | (r.bayer_flamsteed[1] << 8) |
                        (r.bayer_flamsteed[2] << 16);
        EXPECT_EQ(static_cast<int>(code & 0xff), k.flamsteed);
        EXPECT_EQ(static_cast<int>((code >> 8) & 0x7f), con);
        EXPECT_EQ(static_cast<int>((code >> 15) & 0x1f), k.greek + 1);
        // Common name: the record's csn entry and the alphabetical list.
        f = OpenStarNameCatalogue();
        ASSERT_NE(f, nullptr);
        unsigned char csn[kStarNameRecordSize];
        ASSERT_GT(+r.common_name_record, 0);
        int record = r.common_name_record;
        EXPECT_EQ(ReadStarNameRecord(f, record, csn), record);
        EXPECT_STREQ(reinterpret_cast<char *>(csn), k.name);
        EXPECT_EQ(csn[453], 1);
        std::fclose(f);
        int star = 0;
        EXPECT_GE(FindStarNameListEntry(k.name, &star), 0);
        EXPECT_EQ(star, n);
        // Named first by its common name.
        DesignationList list;
        FormatStarDesignations(nullptr, &r, ' ', &list, 0, 0, nullptr, nullptr);
        ASSERT_GE(list.count, 6);
        EXPECT_STREQ(list.entries[0], k.name);
        EXPECT_EQ(std::string(list.entries[1]).rfind(kGreekLetterNames[k.greek], 0), 0u);
    }
}

TEST_F(GeneratedCatalogue, FirstStarAndItsName) {
    StarRecord r = Read(1);
    EXPECT_EQ(+r.hip, 32349);  // the brightest star comes first
    EXPECT_STREQ(r.spectral_type, "A0");
    EXPECT_EQ(+r.component, ' ');
    DesignationPreferences prefs;
    std::memset(&prefs, 0, sizeof(prefs));
    for (int i = 0; i < kDesignationPositions; ++i) prefs.order[0][i] = static_cast<uint8_t>(i);
    prefs.order[0][0] = 5;   // HD first
    prefs.enabled[0][0] = 1;
    StarRecord named;
    ASSERT_EQ(ReadStarRecord(stars_, 1, &named, &prefs, kStarReadName), 1);
    EXPECT_STREQ(named.name, "HD 48915");
}

TEST_F(GeneratedCatalogue, CompactSampleStars) {
    StarRecord r = Read(kFirstCompactStar, kStarReadIdentifiers);
    EXPECT_EQ(+r.tycho_region, 9537);
    EXPECT_EQ(+r.tycho_number, 1);
    EXPECT_EQ(+r.tycho_component, 1);
    EXPECT_STREQ(r.name, "TYC 09537-0001 1");
    EXPECT_EQ(+r.component, 'A');
    EXPECT_GT(+r.v_magnitude, 6.0);
    EXPECT_LT(+r.v_magnitude, 13.0);
    EXPECT_EQ(+r.no_position, 0);
    FILE *f = OpenTychoIndex();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(FindTychoStar(f, 9537, 1, 1), kFirstCompactStar);
    EXPECT_EQ(FindTychoStar(f, 9537, 2, 1), kFirstCompactStar + 1);
    EXPECT_EQ(FindTychoStar(f, 9537, 1, 2), 0);
    std::fclose(f);
    // The records between the first zone's stars and the compact zone are
    // empty: no place.
    StarRecord gap = Read(kFirstCompactStar - 1, 0);
    EXPECT_EQ(+gap.no_position, 1);
}

TEST_F(GeneratedCatalogue, StarsLieInTheirConstellations) {
    for (const KnownStar &k : kStars) {
        int n = Lookup(OpenHipNumberIndex, ReadHipNumberIndex, k.hip);
        StarRecord r = Read(n);
        int p = FindConstellationAbbreviation(k.con);
        EXPECT_EQ(ConstellationAt(r.ra, r.dec, 0.0), p <= 75 ? p : p + 1) << k.name;
    }
}

}  // namespace
