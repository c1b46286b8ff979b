// Golden table of star designations as observers write them (names, Bayer
// letters spelled out with abbreviations and genitives, Flamsteed numbers, HR,
// HD and HIP numbers with and without a blank, in any case, with stray
// blanks and line ends), run through the importer's recognition with retries
// over the generated star catalogue. Every form of a star must give the star
// its HIP number gives, and that star must lie at the star's published J2000
// place (Hipparcos catalogue, ESA SP-1200, rounded).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/recognizeretry.h"
#include "core/userfolder.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "objects/tests/stardata.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {

struct Star {
    const char *name;
    const char *greek;      // Bayer letter spelled out
    const char *abbrev;     // constellation abbreviation
    const char *genitive;   // constellation genitive
    int flamsteed;          // 0: none
    int hr, hd, hip;
    double raHours, decDegrees;
};

const Star kStars[] = {
    {"Sirius", "Alpha", "CMa", "Canis Majoris", 9, 2491, 48915, 32349, 6.752, -16.72},
    {"Canopus", "Alpha", "Car", "Carinae", 0, 2326, 45348, 30438, 6.399, -52.70},
    {"Arcturus", "Alpha", "Boo", "Bootis", 16, 5340, 124897, 69673, 14.261, 19.18},
    {"Vega", "Alpha", "Lyr", "Lyrae", 3, 7001, 172167, 91262, 18.616, 38.78},
    {"Capella", "Alpha", "Aur", "Aurigae", 13, 1708, 34029, 24608, 5.278, 46.00},
    {"Rigel", "Beta", "Ori", "Orionis", 19, 1713, 34085, 24436, 5.242, -8.20},
    {"Procyon", "Alpha", "CMi", "Canis Minoris", 10, 2943, 61421, 37279, 7.655, 5.22},
    {"Betelgeuse", "Alpha", "Ori", "Orionis", 58, 2061, 39801, 27989, 5.919, 7.41},
    {"Altair", "Alpha", "Aql", "Aquilae", 53, 7557, 187642, 97649, 19.846, 8.87},
    {"Aldebaran", "Alpha", "Tau", "Tauri", 87, 1457, 29139, 21421, 4.599, 16.51},
    {"Antares", "Alpha", "Sco", "Scorpii", 21, 6134, 148478, 80763, 16.490, -26.43},
    {"Spica", "Alpha", "Vir", "Virginis", 67, 5056, 116658, 65474, 13.420, -11.16},
    {"Pollux", "Beta", "Gem", "Geminorum", 78, 2990, 62509, 37826, 7.755, 28.03},
    {"Fomalhaut", "Alpha", "PsA", "Piscis Austrini", 24, 8728, 216956, 113368, 22.961, -29.62},
    {"Deneb", "Alpha", "Cyg", "Cygni", 50, 7924, 197345, 102098, 20.690, 45.28},
    {"Regulus", "Alpha", "Leo", "Leonis", 32, 3982, 87901, 49669, 10.140, 11.97},
    {"Polaris", "Alpha", "UMi", "Ursae Minoris", 1, 424, 8890, 11767, 2.530, 89.26},
    {nullptr, "Beta", "Cep", "Cephei", 8, 8238, 205021, 106032, 21.478, 70.56},
    {"Algol", "Beta", "Per", "Persei", 26, 936, 19356, 14576, 3.136, 40.96},
    {nullptr, "Zeta", "Pup", "Puppis", 0, 3165, 66811, 39429, 8.060, -40.00},
    {nullptr, "Delta", "Cap", "Capricorni", 49, 8322, 207098, 107556, 21.784, -16.13},
    {nullptr, "Alpha", "Lep", "Leporis", 11, 1865, 36673, 25985, 5.546, -17.82},
    {nullptr, "Alpha", "Cep", "Cephei", 5, 8162, 203280, 105199, 21.310, 62.59},
    {"Dubhe", "Alpha", "UMa", "Ursae Majoris", 50, 4301, 95689, 54061, 11.062, 61.75},
    {"Alpheratz", "Alpha", "And", "Andromedae", 21, 15, 358, 677, 0.140, 29.09},
    {"Hamal", "Alpha", "Ari", "Arietis", 13, 617, 12929, 9884, 2.120, 23.46},
    {"Achernar", "Alpha", "Eri", "Eridani", 0, 472, 10144, 7588, 1.629, -57.24},
    {"Bellatrix", "Gamma", "Ori", "Orionis", 24, 1790, 35468, 25336, 5.419, 6.35},
};

std::string Lower(std::string s) {
    for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
std::string Upper(std::string s) {
    for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The forms an observer writes for one star.
std::vector<std::string> FormsOf(const Star &s) {
    std::vector<std::string> f;
    auto add = [&](const std::string &t) { f.push_back(t); };
    if (s.name) {
        add(s.name);
        add(Lower(s.name));
        add(Upper(s.name));
        add(std::string("  ") + s.name + " \r\n");
    }
    std::string greek = s.greek;
    add(greek + " " + s.abbrev);
    add(Lower(greek) + " " + s.abbrev);
    add(greek + " " + s.genitive);
    add(Lower(greek) + "  " + s.genitive);
    add(greek + " " + Lower(s.abbrev));
    if (s.flamsteed) {
        add(std::to_string(s.flamsteed) + " " + s.abbrev);
        add(std::to_string(s.flamsteed) + " " + s.genitive);
    }
    add("HR " + std::to_string(s.hr));
    add("HR" + std::to_string(s.hr));
    add("hr " + std::to_string(s.hr));
    add("HD " + std::to_string(s.hd));
    add("HD" + std::to_string(s.hd));
    add("hd  " + std::to_string(s.hd));
    add("HIP " + std::to_string(s.hip));
    add("HIP" + std::to_string(s.hip));
    char zero[32];
    std::snprintf(zero, sizeof zero, "HIP %06d", s.hip);
    add(zero);
    return f;
}

TEST(RecognitionGolden, StarDesignationsAsObserversWriteThem) {
    std::string why;
    if (!stardata::Use(&why)) GTEST_SKIP() << why;
    testutil::TempDir dir;
    std::string savedUser = GetUserDataFolder() ? GetUserDataFolder() : "";
    SetUserDataFolder(dir.path().c_str());
    int total = 0;
    for (const Star &s : kStars) {
        ObjectRecord anchor[3];
        char hip[32];
        std::snprintf(hip, sizeof hip, "HIP %d", s.hip);
        SCOPED_TRACE(hip);
        ASSERT_GE(IdentifyObjectText(hip, 0.0, nullptr, nullptr, 0.1, anchor), 1);
        double ra = anchor[0].raCatalogue * 12.0 / kPi, dec = anchor[0].decCatalogue * 180.0 / kPi;
        EXPECT_NEAR(ra, s.raHours, 0.01);
        EXPECT_NEAR(dec, s.decDegrees, 0.05);
        for (const std::string &form : FormsOf(s)) {
            ObjectRecord got[3];
            ++total;
            EXPECT_GE(RecognizeDesignation(nullptr, nullptr, form.c_str(), got), 1) << form;
            EXPECT_EQ(+got[0].objectClass, 5) << form;
            EXPECT_EQ(+got[0].index, +anchor[0].index) << form;
        }
    }
    EXPECT_GE(total, 300);
    SetUserDataFolder(savedUser.c_str());
}

}  // namespace
