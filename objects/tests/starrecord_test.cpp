// Tests of the star builder: the designation parsers (Bayer, Flamsteed,
// Durchmusterung, CCDM) on tables of texts, the component letter and the
// variable-star phase, stars built by every designation kind the generated
// catalogue supports, the fill of a star record, and the refresh of a star
// known only by its position.
#include "objects/starrecord.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "objects/buildrecord.h"
#include "objects/constellations.h"
#include "objects/objectrecord.h"
#include "objects/starcat.h"
#include "core/datapaths.h"
#include "objects/tests/starbytes.h"
#include "objects/tests/stardata.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {

const double kDeg = kPi / 180.0;

TEST(StarRecord, BayerTexts) {
    struct Case {
        const char *text;
        int valid, letter, superscript;
        const char *con;
    };
    const Case cases[] = {
        {"alpha Cen", 1, 0, 0, "Cen"},         {"Alpha Centauri", 1, 0, 0, "Cen"},
        {"alpha 2 Cen", 1, 0, 2, "Cen"},       {"zeta UMa", 1, 5, 0, "UMa"},
        {"Omega  Ori", 1, 23, 0, "Ori"},       {"alpha Ursae Minoris", 1, 0, 0, "UMi"},
        {"alpha 2 Canum Venaticorum", 1, 0, 2, "CVn"}, {"alpha XYZ", 0, 0, 0, nullptr},
        {"alpha 2 XYZ", 0, 0, 0, nullptr},     {"alpha 2", 0, 0, 0, nullptr},
        {"alpha", 0, 0, 0, nullptr},           {"alfa Cen", 0, 0, 0, nullptr},
        // The letter's name matches case-blind on its first character only:
        // upper-case logs do not give Bayer designations.
        {"ALPHA CEN", 0, 0, 0, nullptr},       {"", 0, 0, 0, nullptr},
    };
    for (const Case &c : cases) {
        int letter = -9, superscript = -9, con = -9;
        EXPECT_EQ(ParseBayerDesignation(c.text, &letter, &superscript, &con), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(letter, c.letter) << c.text;
            EXPECT_EQ(superscript, c.superscript) << c.text;
            EXPECT_EQ(con, FindConstellationAbbreviation(c.con)) << c.text;
        }
    }
}

// Every letter in every spelling the rule allows: the whole name and each
// abbreviation of it (at least two characters, the first in either case, the
// rest as the name writes them), with no superscript, with one as a word of
// its own and with one joined to the letter. A prefix that an earlier letter
// also begins with names that earlier letter ("Om" is Omicron, "Ome" Omega).
TEST(StarRecord, GreekLettersInEverySpelling) {
    // Independent of the program's table: the letters in alphabet order.
    const char *const letters[24] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta",
                                     "Eta", "Theta", "Iota", "Kappa", "Lambda", "Mu",
                                     "Nu", "Xi", "Omicron", "Pi", "Rho", "Sigma",
                                     "Tau", "Upsilon", "Phi", "Chi", "Psi", "Omega"};
    int checked = 0;
    for (int g = 0; g < 24; ++g) {
        std::string name = letters[g];
        for (size_t len = 2; len <= name.size(); ++len) {
            std::string stem = name.substr(0, len);
            // The letter this abbreviation names: the first whose name begins with it.
            int expected = -1;
            for (int k = 0; k < 24 && expected < 0; ++k)
                if (std::string(letters[k]).compare(0, len, stem) == 0) expected = k;
            for (int lower = 0; lower < 2; ++lower) {
                std::string word = stem;
                if (lower) word[0] = static_cast<char>(std::tolower(word[0]));
                const std::string texts[3] = {word + " Cen", word + " 2 Cen", word + "2 Cen"};
                const int supers[3] = {0, 2, 2};
                for (int t = 0; t < 3; ++t) {
                    int letter = -9, superscript = -9, con = -9;
                    ASSERT_EQ(ParseBayerDesignation(texts[t].c_str(), &letter, &superscript, &con), 1)
                        << texts[t];
                    EXPECT_EQ(letter, expected) << texts[t];
                    EXPECT_EQ(superscript, supers[t]) << texts[t];
                    EXPECT_EQ(con, FindConstellationAbbreviation("Cen")) << texts[t];
                    ++checked;
                }
                EXPECT_EQ(FindGreekLetterName(word.c_str()), expected) << word;
            }
        }
    }
    EXPECT_GT(checked, 24 * 6);
    // The observers' three-letter forms name their own letter.
    const struct {
        const char *word;
        int letter;
    } common[] = {{"alp", 0}, {"bet", 1}, {"gam", 2}, {"del", 3}, {"eps", 4}, {"zet", 5},
                  {"eta", 6}, {"the", 7}, {"iot", 8}, {"kap", 9}, {"lam", 10}, {"mu", 11},
                  {"nu", 12}, {"xi", 13}, {"omi", 14}, {"pi", 15}, {"rho", 16}, {"sig", 17},
                  {"tau", 18}, {"ups", 19}, {"phi", 20}, {"chi", 21}, {"psi", 22}, {"ome", 23}};
    for (const auto &c : common) EXPECT_EQ(FindGreekLetterName(c.word), c.letter) << c.word;
    // Not letters: one character, upper case after the first, other spellings
    // (the IAU's "alf", "tet" and "ksi" are letters: see ParseGreekLetterWord),
    // a superscript of two digits or of 9 (the star files hold 1-8).
    for (const char *bad : {"a Cen", "ALP Cen", "aLP Cen", "alg Cen", "alp12 Cen", "alp9 Cen",
                            "alp1", "alp 2 3 Cen"})
        EXPECT_EQ(ParseBayerDesignation(bad, nullptr, nullptr, nullptr), 0) << bad;
}

TEST(StarRecord, FlamsteedTexts) {
    int n = 0, con = 0;
    EXPECT_EQ(ParseFlamsteedDesignation("61 Cyg", &n, &con), 1);
    EXPECT_EQ(n, 61);
    EXPECT_EQ(con, FindConstellationAbbreviation("Cyg"));
    EXPECT_EQ(ParseFlamsteedDesignation("61 Cygni", &n, &con), 1);
    EXPECT_EQ(con, FindConstellationAbbreviation("Cyg"));
    EXPECT_EQ(ParseFlamsteedDesignation("Cyg 61", &n, &con), 0);
    EXPECT_EQ(ParseFlamsteedDesignation("61", &n, &con), 0);
    EXPECT_EQ(ParseFlamsteedDesignation("61 Xyz", &n, &con), 0);
}

TEST(StarRecord, DurchmusterungTexts) {
    struct Case {
        const char *text;
        int valid, zone;
        char sign;
        int number;
        char suffix;
    };
    const Case cases[] = {
        {"BD -16 1591", 1, 16, '-', 1591, ' '}, {"BD +30 123a", 1, 30, '+', 123, 'A'},
        {"CD -38 245", 1, 38, '-', 245, ' '},   {"+05 1234B", 1, 5, '+', 1234, 'B'},
        {"-16 1591", 1, 16, '-', 1591, ' '},    {"CP -52 914", 1, 52, '-', 914, ' '},
        {"BD", 0, 0, ' ', 0, ' '},              {"BD -16", 0, 0, ' ', 0, ' '},
        {"", 0, 0, ' ', 0, ' '},                {"BD -16 x", 0, 0, ' ', 0, ' '},
    };
    for (const Case &c : cases) {
        int zone = 0, number = 0;
        char sign = 0, suffix = 0;
        EXPECT_EQ(ParseDurchmusterungDesignation(c.text, &zone, &sign, &number, &suffix), c.valid)
            << c.text;
        if (c.valid) {
            EXPECT_EQ(zone, c.zone) << c.text;
            EXPECT_EQ(sign, c.sign) << c.text;
            EXPECT_EQ(number, c.number) << c.text;
            EXPECT_EQ(suffix, c.suffix) << c.text;
        }
    }
}

TEST(StarRecord, CcdmTextsAndLimits) {
    struct Case {
        const char *text;
        int valid, ra;
        char sign;
        int dec;
    };
    const Case cases[] = {
        {"CCDM 00057 +4549", 1, 57, '+', 4549}, {"CCDM 12345-6789", 1, 12345, '-', 6789},
        {"CCDM 23598 8915", 1, 23598, '+', 8915}, {"12345", 1, 12345, '+', 1},
        {"CCDM 23599 100", 0, 0, ' ', 0},       {"CCDM 100 0", 0, 0, ' ', 0},
        {"CCDM 100 8916", 0, 0, ' ', 0},        {"CCDM 100 -8916", 0, 0, ' ', 0},
        // Reading starts after a blank followed by a non-letter.
        {"100 8915", 1, 8915, '+', 1},          {"CCDM", 0, 0, ' ', 0},
    };
    for (const Case &c : cases) {
        int ra = 0, dec = 0;
        char sign = 0;
        EXPECT_EQ(ParseCcdmDesignation(c.text, &ra, &sign, &dec), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(ra, c.ra) << c.text;
            EXPECT_EQ(sign, c.sign) << c.text;
            EXPECT_EQ(dec, c.dec) << c.text;
        }
    }
}

TEST(StarRecord, ComponentLetterAndVariablePhase) {
    EXPECT_EQ(ComponentLetterOfText("STF 2272 AxB"), 'B');
    EXPECT_EQ(ComponentLetterOfText("Alpha Cen C"), 'C');
    EXPECT_EQ(ComponentLetterOfText(""), 0);
    struct Case {
        double phase;
        int percent;
    };
    const Case cases[] = {{0.0, 0}, {0.004, 0}, {0.005, 1}, {0.5, 50}, {0.994, 99},
                          {0.995, 0}, {0.999, 0}, {-0.01, 255}};
    for (const Case &c : cases) EXPECT_EQ(VariablePhasePercent(c.phase), c.percent) << c.phase;
}

TEST(StarRecord, FillFromAStarRecord) {
    StarRecord star;
    std::memset(&star, 0, sizeof star);
    star.ra = 1.0;
    star.dec = -0.5;
    star.pm_ra = 1e-6;
    star.pm_dec = -2e-6;
    star.v_magnitude = 3.5;
    star.b_v = 0.65;
    star.parallax = 0.1;
    star.component = 'B';
    struct Case {
        int ccdm, variable, nsv;
        uint32_t bits;
    };
    const Case cases[] = {{0, 0, 0, 0x10}, {7, 0, 0, 0x20}, {0, 3, 0, 0x80}, {0, 0, 9, 0x80},
                          {7, 3, 0, 0xA0}};
    for (const Case &c : cases) {
        star.ccdm_record = c.ccdm;
        star.variable_record = c.variable;
        star.nsv = c.nsv;
        ObjectRecord r;
        ClearObjectRecord(&r);
        r.extent = 9.0f;
        FillStarRecord(nullptr, nullptr, 0.2, &r, 1234, &star, ' ');
        EXPECT_EQ(+r.categoryBits, c.bits);
        EXPECT_EQ(+r.doubleStarRecord, c.ccdm);
        EXPECT_EQ(+r.index, 1234);
        EXPECT_EQ(+r.raCatalogue, 1.0);
        EXPECT_EQ(+r.decCatalogue, -0.5);
        EXPECT_EQ(+r.extent, 0.0f);
        EXPECT_FLOAT_EQ(+r.magnitude, 3.5f);
        EXPECT_FLOAT_EQ(+r.colourIndex, 0.65f);
        EXPECT_FLOAT_EQ(+r.distanceLightYears, 32.6f);
        EXPECT_EQ(+r.starComponent, 'B');
        EXPECT_EQ(+r.requestedComponent, ' ');
        EXPECT_FLOAT_EQ(+r.properMotionDec, -2e-6f);
    }
    // A parallax of 0.001" or less gives no distance; a negative one its size.
    ObjectRecord r;
    ClearObjectRecord(&r);
    star.parallax = 0.001;
    FillStarRecord(nullptr, nullptr, 0.2, &r, 1, &star, ' ');
    EXPECT_EQ(+r.distanceLightYears, 0.0f);
}

// A star known only by its position keeps and reuses its stored place.
TEST(StarRecord, PositionStarRefreshReusesTheStoredPlace) {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, 0.0, 50 * kDeg, 0.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "S");
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    SetDateRecord(&date, &site, 5, 1, 2024, 23.0, kLocalTime);
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&site, &date);
    for (int32_t key : {kAnonymousStarIndex, MakeGuideStarKey(17, 5)}) {
        ObjectRecord r;
        ClearObjectRecord(&r);
        r.objectClass = 5;
        r.index = key;
        r.raCatalogue = 3.0;
        r.decCatalogue = 0.4;
        r.magnitude = 13.2f;
        r.starPlaceLoaded = 1;
        ASSERT_EQ(RefreshObjectRecord(&r, 0.0, &site, &date, 0.2), 1) << key;
        EXPECT_EQ(+r.index, key);
        EXPECT_EQ(+r.raCatalogue, 3.0);
        EXPECT_FLOAT_EQ(+r.magnitude, 13.2f);
        EXPECT_GT(+r.raOfDate, 3.0);  // precessed to 2024
        EXPECT_LT(+r.raOfDate, 3.01);
        // Not yet loaded: the guide-star data would be needed, so nothing.
        r.starPlaceLoaded = 0;
        EXPECT_EQ(RefreshObjectRecord(&r, 0.0, &site, &date, 0.2), 0) << key;
    }
}

// Stars of the generated catalogue built from every designation kind it has.
class GeneratedStars : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!stardata::Use(&why)) GTEST_SKIP() << why;
    }
    // Star number by HIP, the reference every other kind must reach.
    int ByHip(int hip) {
        ObjectRecord out[3];
        if (BuildObjectRecord(5, 9, 0, hip, nullptr, 0.0, nullptr, nullptr, 0.2, out) != 1)
            return -1;
        return out[0].index;
    }
};

TEST_F(GeneratedStars, EveryDesignationKind) {
    struct Case {
        int hip;
        int kind;
        int number;
        const char *text;
        const char *con;  // expected designation constellation for kinds 2, 3
    };
    const Case cases[] = {
        {32349, 1, 0, "Sirius", nullptr},       {32349, 1, 0, "Sirius A", nullptr},
        {32349, 2, 0, "alpha CMa", "CMa"},       {32349, 3, 0, "9 CMa", "CMa"},
        {32349, 5, 0, "HR 2491", nullptr},       {32349, 6, 0, "HD 48915", nullptr},
        {32349, 7, 0, "SAO 151881", nullptr},    {32349, 9, 0, "HIP 32349", nullptr},
        {32349, 5, 2491, nullptr, nullptr},      {11767, 2, 0, "alpha UMi", "UMi"},
        {11767, 2, 0, "Alpha Ursae Minoris", "UMi"}, {11767, 3, 0, "1 UMi", "UMi"},
        {11767, 6, 0, "HD 8890", nullptr},       {65378, 2, 0, "zeta UMa", "UMa"},
        {65378, 3, 0, "79 UMa", "UMa"},          {91262, 1, 0, "vega", nullptr},
        {27989, 7, 0, "SAO 113271", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text ? c.text : "number");
        int star = ByHip(c.hip);
        ASSERT_GT(star, 0);
        ObjectRecord out[3];
        ASSERT_EQ(BuildObjectRecord(5, c.kind, 0, c.number, c.text, 0.0, nullptr, nullptr, 0.2,
                                    out),
                  1);
        EXPECT_EQ(+out[0].index, star);
        EXPECT_EQ(+out[0].objectClass, 5);
        EXPECT_EQ(+out[0].kind, c.kind);
        EXPECT_LT(+out[0].magnitude, 3.0f);
        uint32_t bits = out[0].categoryBits;
        EXPECT_TRUE(bits == 0x10 || bits == 0x20 || bits == 0x80 || bits == 0xA0) << bits;
        if (c.con) {
            EXPECT_EQ(+out[0].designationConstellation, FindConstellationAbbreviation(c.con) + 1);
        }
    }
    // Sirius's place and distance (parallax 0.379").
    ObjectRecord out[3];
    ASSERT_EQ(BuildObjectRecord(5, 9, 0, 32349, nullptr, 0.0, nullptr, nullptr, 0.2, out), 1);
    EXPECT_NEAR(+out[0].raCatalogue, 101.2872 * kDeg, 2e-5);
    EXPECT_NEAR(+out[0].decCatalogue, -16.7161 * kDeg, 2e-5);
    EXPECT_NEAR(+out[0].distanceLightYears, 8.6, 0.2);
    EXPECT_LT(+out[0].properMotionDec, 0.0f);
}

TEST_F(GeneratedStars, NotFound) {
    const struct {
        int kind;
        const char *text;
    } cases[] = {{1, "No Such Star"}, {2, "alpha XYZ"}, {5, "HR 999999"}, {6, "HD"},
                 {9, "HIP 0"},        {10, "BD"},       {16, "CCDM 23599 1"}};
    for (const auto &c : cases) {
        ObjectRecord out[3];
        EXPECT_EQ(BuildObjectRecord(5, c.kind, 0, 0, c.text, 0.0, nullptr, nullptr, 0.2, out), 0)
            << c.text;
    }
}

// A hand-made catalogue of three stars whose HD 5 names stars 2 and 3: one
// designation, two records, each of class 5 and kind 6.
TEST(StarRecord, SharedHdNumberFillsTwoRecords) {
    testutil::TempDir dir;
    std::string stars(3 * 80, '\0');
    for (int i = 0; i < 3; ++i) {
        starbytes::Put32(stars, i * 80 + 0, starbytes::Turn(0.5 + i));  // RA
        starbytes::Put32(stars, i * 80 + 4, starbytes::Turn(0.1 * i));  // Dec
        stars[i * 80 + 79] = ' ';
    }
    std::string hd(6 * 6, '\0');
    starbytes::Put24(hd, 4 * 6, 2);      // HD 5: stars 2 and 3
    starbytes::Put24(hd, 4 * 6 + 3, 3);
    starbytes::Put24(hd, 1 * 6, 1);      // HD 2: star 1 alone
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("stars.bin"), stars));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("hd.bin"), hd));
    std::string folder = dir.path() + "/";
    SetRefDirectories(folder.c_str(), folder.c_str(), folder.c_str());
    ObjectRecord out[3];
    ASSERT_EQ(BuildObjectRecord(5, 6, 0, 0, "HD 5", 0.0, nullptr, nullptr, 0.2, out), 2);
    EXPECT_EQ(+out[0].index, 2);
    EXPECT_EQ(+out[1].index, 3);
    EXPECT_NEAR(+out[1].raCatalogue, 2.5, 1e-8);
    EXPECT_EQ(+out[1].objectClass, 5);
    EXPECT_EQ(+out[1].kind, 6);
    EXPECT_EQ(+out[2].objectClass, 0);
    EXPECT_EQ(+out[2].index, -1);
    ASSERT_EQ(BuildObjectRecord(5, 6, 0, 2, nullptr, 0.0, nullptr, nullptr, 0.2, out), 1);
    EXPECT_EQ(+out[0].index, 1);
    EXPECT_EQ(BuildObjectRecord(5, 6, 0, 0, "HD 4", 0.0, nullptr, nullptr, 0.2, out), 0);
    // A star number beyond the catalogue cannot be read.
    EXPECT_EQ(BuildObjectRecord(5, 0, 0, 4, nullptr, 0.0, nullptr, nullptr, 0.2, out), 0);
}

}  // namespace
