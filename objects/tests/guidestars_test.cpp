// Tests of the guide-star look-ups: the band files, the magnitude field, the
// guide-star and J-designation searches of the deep star database.
#include "objects/guidestars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/angletext.h"
#include "core/datapaths.h"
#include "core/fileutil.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "objects/stardatabase.h"
#include "objects/starrecord.h"
#include "objects/tests/democatalogues.h"
#include "objects/tests/demostardb.h"
#include "testutil/testutil.h"

namespace {

const double kArcsecHere = 3.14159265358979323846 / 648000;

uint32_t Field(const uint8_t *p) { return p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16; }

TEST(GuideStarMagnitudes, EncodeAsTheFieldStates) {
    struct Case {
        double first, second;
        uint32_t code1, code2;
    } cases[] = {
        {12.3, 13.1, 1390, 1470},
        {99.9, 13.1, 4095, 4095},  // no first magnitude: the second is all ones too
        {12.3, 99.9, 1390, 4095},
        {-1.6, 0.0, 0, 160},
        {-1.595, 0.005, 1, 161},   // halves away from zero
    };
    for (const Case &c : cases) {
        uint8_t field[3];
        EncodeGscMagnitudes(field, c.first, c.second);
        EXPECT_EQ(c.code1, Field(field) & 0xFFF) << c.first;
        EXPECT_EQ(c.code2, Field(field) >> 12) << c.second;
    }
}

TEST(GuideStarRecord, DecodesPlaceMotionAndMagnitudes) {
    GscStarRecord r;
    std::memset(&r, 0, sizeof r);
    r.rightAscension = 536870912;   // a quarter turn
    r.declination = -178956971;     // -30 degrees (1/12 turn)
    const uint32_t ra = 850000, dec = 700000;  // +1.0 and -0.5 arcsec/yr
    std::memcpy(r.motionRightAscension, &ra, 3);
    std::memcpy(r.motionDeclination, &dec, 3);
    r.region = 9537;
    r.number = 12;
    EncodeGscMagnitudes(r.magnitudes, 12.3, 13.1);
    int region, number;
    double a, d, pa, pd, m, c;
    ASSERT_EQ(1, DecodeGscStar(&r, &region, &number, &a, &d, &pa, &pd, &m, &c));
    EXPECT_EQ(9537, region);
    EXPECT_EQ(12, number);
    EXPECT_NEAR(3.14159265358979323846 / 2, a, 1e-8);
    EXPECT_NEAR(-3.14159265358979323846 / 6, d, 1e-8);
    EXPECT_NEAR(kArcsecHere / std::cos(d), pa, 1e-15);
    EXPECT_NEAR(-0.5 * kArcsecHere, pd, 1e-15);
    EXPECT_NEAR(12.3, m, 1e-9);
    EXPECT_NEAR(0.8, c, 1e-9);
    EncodeGscMagnitudes(r.magnitudes, 99.9, 13.1);
    DecodeGscStar(&r, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &m, &c);
    EXPECT_DOUBLE_EQ(99.9, m);
    EXPECT_DOUBLE_EQ(99.9, c);
    EXPECT_EQ(0, DecodeGscStar(nullptr, &region, &number, &a, &d, &pa, &pd, &m, &c));
}

// Points the reference and map slots at the demo catalogues and databases.
bool UseDemo() {
    auto &stars = demostars::DemoStarFolders();
    auto &cat = democat::DemoFolders();
    if (!stars.ready || !cat.ready) return false;
    SetRefDirectories(cat.slot0.c_str(), cat.slot1.c_str(), stars.ref2.c_str());
    SetMapDirectories(stars.map0.c_str(), stars.map1.c_str(), stars.map2.c_str());
    return true;
}

TEST(GuideStarRegions, BandFilesAndTheirLimits) {
    if (!UseDemo()) GTEST_SKIP() << "no demo catalogues";
    GscRegionRecord r;
    // 9,537 is the last record of S8230, 9,538 does not exist
    ASSERT_EQ(1, ReadGscRegion(9537, 0, &r));
    std::string band = testutil::ReadFileBytes(demostars::DemoStarFolders().ref2 + "gsc/S8230.bin");
    ASSERT_EQ(48u * 16, band.size());
    EXPECT_EQ(0, std::memcmp(&r, band.data() + band.size() - 16, 16));
    EXPECT_GE(r.declination1, -90.0f);
    EXPECT_LE(r.declination2, -82.5f);
    EXPECT_EQ(0, ReadGscRegion(9538, 0, &r));
    EXPECT_EQ(0, ReadGscRegion(0, 0, &r));
    // the first region of a band and the last of the one before
    ASSERT_EQ(1, ReadGscRegion(594, 0, &r));
    EXPECT_FLOAT_EQ(7.5f, r.declination1);
    ASSERT_EQ(1, ReadGscRegion(593, 0, &r));
    EXPECT_FLOAT_EQ(0.0f, r.declination1);
    EXPECT_STREQ("N0000", GscBandOfRegion(1));
    EXPECT_STREQ("S0000", GscBandOfRegion(4663));
    EXPECT_EQ(nullptr, GscBandOfRegion(9538));
}

TEST(GuideStarRegions, ShortBandFileIsRefused) {
    testutil::TempDir dir;
    ASSERT_EQ(1, EnsureDirectory(dir.file("gsc").c_str()));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("gsc/S8230.bin"), std::string(47 * 16, '\0')));
    std::string slot = dir.path() + "/";
    SetRefDirectories(slot.c_str(), slot.c_str(), slot.c_str());
    GscRegionRecord r;
    EXPECT_EQ(0, ReadGscRegion(9537, 0, &r));
    EXPECT_EQ(0, ReadGscRegion(9000, 0, &r));  // band file missing
}

// Guide stars and faint stars of one magx file, read straight from it.
std::vector<DecodedStar> StarsOfFile(int zone, int region, int code) {
    std::vector<DecodedStar> out;
    char path[600];
    FormatStarFilePath(path, sizeof path, demostars::DemoStarFolders().map2.c_str(), kStarDbMagX,
                       zone, region);
    FILE *f = std::fopen(path, "rb");
    if (!f) return out;
    int d = MagxSubdivisions(zone);
    for (int row = 0; row < d; ++row)
        for (int column = 0; column < d; ++column) {
            StarRegionBounds b;
            int entry = GetMagxRegionBounds(zone, region, column, row, &b);
            StarRegionWalk walk;
            DecodedStar s;
            if (BeginStarRegionWalk(&walk, f, entry, b) != 1) continue;
            while (NextStarInRegion(&walk, &s) == 1)
                if (s.code == code) out.push_back(s);
        }
    std::fclose(f);
    return out;
}

TEST(GuideStarSearch, FindsAGuideStarByItsIdentifier) {
    if (!UseDemo()) GTEST_SKIP() << "no demo catalogues";
    // zone 12 (0 to 7.5 degrees), region 30 (225 to 232.5 degrees); a cap
    struct Place {
        int zone, region;
    } places[] = {{12, 30}, {3, 0}, {23, 0}, {0, 0}, {22, 29}};
    for (const Place &p : places) {
        std::vector<DecodedStar> guides = StarsOfFile(p.zone, p.region, kStarCodeGuide);
        ASSERT_FALSE(guides.empty());
        for (size_t i = 0; i < guides.size(); i += guides.size() / 3 + 1) {
            const DecodedStar &g = guides[i];
            SCOPED_TRACE(testing::Message() << g.guideRegion << "-" << g.guideNumber);
            int star = -1;
            GscStarRecord r;
            ASSERT_EQ(1, FindGscStar(g.guideRegion, g.guideNumber, &star, &r, 0, 0));
            EXPECT_EQ(0, star);
            EXPECT_EQ(g.guideRegion, r.region);
            EXPECT_EQ(g.guideNumber, r.number);
            EXPECT_EQ(g.rightAscensionTurns, r.rightAscension);
            EXPECT_EQ(g.declinationTurns, r.declination);
            EXPECT_EQ(1, r.filled);
            double m;
            DecodeGscStar(&r, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &m, nullptr);
            EXPECT_NEAR(g.v, m, 1e-9);
            // by its place too; and not from a place a degree away
            ASSERT_EQ(1, FindGscStar(g.guideRegion, g.guideNumber, &star, &r, g.rightAscension,
                                     g.declination));
            EXPECT_EQ(0, FindGscStar(g.guideRegion, g.guideNumber, &star, &r,
                                     g.rightAscension, g.declination > 0 ? g.declination - 0.02
                                                                         : g.declination + 0.02));
        }
    }
    int star;
    GscStarRecord r;
    EXPECT_EQ(0, FindGscStar(5000, 999, &star, &r, 0, 0));  // no such number
    EXPECT_EQ(0, FindGscStar(9538, 1, &star, &r, 0, 0));
}

TEST(GuideStarSearch, TychoStarNeedsNoSearch) {
    if (!UseDemo()) GTEST_SKIP() << "no demo catalogues";
    // the star catalogue's sample stars carry Tycho identifiers of region
    // 9,537; with no star database reachable the look-up still succeeds
    SetMapDirectories("/nonexistent/", "/nonexistent/", "/nonexistent/");
    int star = 0;
    GscStarRecord r;
    EXPECT_EQ(1, FindGscStar(9537, 1, &star, &r, 0, 0));
    EXPECT_GT(star, 0);
    // a guide star that is not a Tycho star now cannot be searched
    EXPECT_EQ(-1, FindGscStar(100, 1, &star, &r, 0, 0));
}

TEST(GuideStarSearch, JDesignationRoundTrip) {
    if (!UseDemo()) GTEST_SKIP() << "no demo catalogues";
    int found = 0, tried = 0;
    struct Place {
        int zone, region, code;
    } places[] = {{12, 30, kStarCodeGuide}, {12, 30, kStarCodeFaint}, {5, 7, kStarCodeGuide},
                  {18, 40, kStarCodeFaint}, {12, 30, 0}, {9, 3, 0}};
    for (const Place &p : places) {
        std::vector<DecodedStar> stars = StarsOfFile(p.zone, p.region, p.code);
        for (size_t i = 0; i < stars.size() && i < 40; ++i) {
            const DecodedStar &s = stars[i];
            char text[kJDesignationSize];
            FormatJDesignation(text, s.rightAscension, s.declination);
            SCOPED_TRACE(text);
            int star = -1;
            GscStarRecord r;
            std::memset(&r, 0, sizeof r);
            ++tried;
            ASSERT_EQ(1, FindStarByJDesignation(text, &star, &r));
            if (p.code == 0) {
                EXPECT_EQ(s.catalogueNumber, star);
            } else {
                EXPECT_EQ(0, star);
                EXPECT_EQ(s.rightAscensionTurns, r.rightAscension);
                EXPECT_EQ(s.declinationTurns, r.declination);
                EXPECT_EQ(p.code == kStarCodeGuide ? 1 : 0, r.filled);
                if (p.code == kStarCodeGuide) {
                    EXPECT_EQ(s.guideNumber, r.number);
                } else {
                    EXPECT_EQ(0, r.region);
                    uint32_t first = Field(r.magnitudes) & 0xFFF;
                    EXPECT_NEAR(s.v, first * 0.01 - 1.6, 0.005);
                }
            }
            ++found;
        }
    }
    EXPECT_GT(tried, 100);
    EXPECT_EQ(tried, found);
    int star;
    GscStarRecord r;
    EXPECT_EQ(-1, FindStarByJDesignation("J12345", &star, &r));
    EXPECT_EQ(-1, FindStarByJDesignation(nullptr, &star, &r));
    // a place with no star
    EXPECT_EQ(0, FindStarByJDesignation("J000000.0+000000", &star, &r));
}

// Texts of a log resolve through the star databases: a guide-star
// identifier and a J designation become a star with its place and key.
TEST(GuideStarSearch, LogDesignationsBecomeStars) {
    if (!UseDemo()) GTEST_SKIP() << "no demo catalogues";
    std::vector<DecodedStar> guides = StarsOfFile(12, 30, kStarCodeGuide);
    std::vector<DecodedStar> faint = StarsOfFile(12, 30, kStarCodeFaint);
    ASSERT_FALSE(guides.empty());
    ASSERT_FALSE(faint.empty());
    struct Case {
        std::string text;
        const DecodedStar *star;
        int32_t index;
    };
    char gsc[32], j[kJDesignationSize];
    std::snprintf(gsc, sizeof gsc, "GSC %04d-%04d", guides[0].guideRegion, guides[0].guideNumber);
    FormatJDesignation(j, faint[0].rightAscension, faint[0].declination);
    Case cases[] = {{gsc, &guides[0], MakeGuideStarKey(guides[0].guideRegion, guides[0].guideNumber)},
                    {j, &faint[0], kAnonymousStarIndex}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%s", c.text.c_str());
        ObjectRecord r[3];
        std::memset(r, 0, sizeof r);
        ASSERT_EQ(1, IdentifyObjectText(buffer, 0.0, nullptr, nullptr, 0.2, r));
        EXPECT_EQ(kClassStar, r[0].objectClass);
        EXPECT_EQ(c.index, +r[0].index);
        EXPECT_NEAR(c.star->rightAscension, r[0].raCatalogue, 1e-8);
        EXPECT_NEAR(c.star->declination, r[0].decCatalogue, 1e-8);
        EXPECT_NEAR(c.star->v, r[0].magnitude, 0.006);
        EXPECT_EQ(1, r[0].starPlaceLoaded);
    }
    // a catalogue star's J designation gives the catalogue star itself
    std::vector<DecodedStar> catalogue = StarsOfFile(12, 30, 0);
    ASSERT_FALSE(catalogue.empty());
    char buffer[kJDesignationSize];
    FormatJDesignation(buffer, catalogue[0].rightAscension, catalogue[0].declination);
    ObjectRecord r[3];
    std::memset(r, 0, sizeof r);
    ASSERT_EQ(1, IdentifyObjectText(buffer, 0.0, nullptr, nullptr, 0.2, r));
    EXPECT_EQ(catalogue[0].catalogueNumber, +r[0].index);
    // nothing at a place without a star
    char empty[] = "J000000.0+000000";
    std::memset(r, 0, sizeof r);
    EXPECT_EQ(0, IdentifyObjectText(empty, 0.0, nullptr, nullptr, 0.2, r) > 0 &&
                     r[0].objectClass == kClassStar);
}

}  // namespace
