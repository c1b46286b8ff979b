// Tests of designation recognition: the rewrites, the prefix rows, the special
// forms and the cascade, with a recording attempt in place of the record
// builder over small cross-index, common-name and constellation-name files
// written byte by byte in a scratch folder.
#include "objects/recognize.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/datapaths.h"
#include "objects/constellations.h"
#include "objects/objectrecord.h"
#include "objects/starrecord.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put32;
using starbytes::Put8;

namespace {

struct Call {
    int cls, kind, letter, number;
    std::string text;
};

// The recording attempt: every candidate is kept, and only the one candidate
// named by g_win builds a record.
std::vector<Call> g_calls;
Call g_win{-1, -1, 0, 0, ""};
// Further candidates that build as well (an object of two catalogues).
std::vector<Call> g_alsoBuild;

int RecordingAttempt(int cls, int kind, int second, int number, const char *text, double,
                     const LocationRecord *, const DateRecord *, double, ObjectRecord out[3]) {
    g_calls.push_back({cls, kind, second, number, text ? text : "<none>"});
    for (int i = 0; i < 3; ++i) InitObjectRecord(&out[i]);   // as the builder does
    const std::string handed = text ? text : "<none>";
    if (cls == g_win.cls && kind == g_win.kind && g_win.text == handed) return 1;
    for (const Call &c : g_alsoBuild)
        if (cls == c.cls && kind == c.kind && c.text == handed) return 1;
    return 0;
}

std::string NgcRecord(int code, int record) {
    std::string b(33, '\0');
    Put32(b, 1, static_cast<uint32_t>(code));
    Put32(b, 5, static_cast<uint32_t>(record));
    for (int e = 1; e < 7; ++e) Put32(b, 5 + 4 * e, 0xFFFFFFFFu);
    return b;
}

class Recognition : public ::testing::Test {
protected:
    void SetUp() override {
        // NGC 1..7000 with NGC 5 and 224 galaxies and NGC 7000 a bright nebula.
        std::string ngc;
        for (int i = 1; i <= 7000; ++i)
            ngc += i == 224 || i == 5 ? NgcRecord(4, 17) : i == 7000 ? NgcRecord(2, 3) : NgcRecord(0, -1);
        Write("ngc.bin", ngc);
        // Messier 1..110, all empty but M 31 (galaxy) and M 45 (open cluster).
        std::string m(110 * 3, '\xff');
        m[30 * 3] = 4; Put16(m, 30 * 3 + 1, 17);
        m[44 * 3] = 0; Put16(m, 44 * 3 + 1, 5);
        Write("m.bin", m);
        const char *names[] = {"Large Magellanic Cloud", "THE Pleiades", "Omega Centauri",
                               "Eta Carinae Nebula"};
        const int types[] = {4, 0, 1, 2};
        std::string cn(228 * 32, '\0'), cross(228 * 5, '\xff');
        for (int i = 0; i < 4; ++i) {
            std::strcpy(&cn[32 * i], names[i]);
            Put8(cross, 5 * i, types[i]);
            Put32(cross, 5 * i + 1, 10 + i);
        }
        Write("cnames.bin", cn);
        Write("cn_cross.bin", cross);
        // connames.bin: 89 records of {name[20], RA, Dec}.
        std::string con(89 * 28, '\0');
        for (int pos = 0; pos < 88; ++pos) {
            int index = pos > 75 ? pos + 1 : pos;
            std::string name = std::string("Con ") + kConstellationGenitives[pos];
            std::strncpy(&con[28 * index], name.c_str(), 19);
        }
        Write("connames.bin", con);
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        g_calls.clear();
        g_alsoBuild.clear();
    }
    void TearDown() override { g_alsoBuild.clear(); }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

int Recognize(const char *input, std::string *buffer) {
    std::vector<char> text(std::strlen(input) + 80, '\0');
    std::strcpy(text.data(), input);
    ObjectRecord records[3];
    g_calls.clear();
    int result = IdentifyObjectTextWith(RecordingAttempt, text.data(), 0.0, nullptr, nullptr, 0.1,
                                        records);
    *buffer = text.data();
    return result;
}

bool WasTried(int cls, int kind, const std::string &text) {
    for (const Call &c : g_calls)
        if (c.cls == cls && c.kind == kind && c.text == text) return true;
    return false;
}

// Each text reaches the candidate that builds, with the normalised buffer.
TEST_F(Recognition, TextsReachTheirCandidate) {
    const struct {
        const char *input;
        int cls, kind;
        const char *handed;
        const char *buffer;
    } cases[] = {
        {"m31", 6, 2, "31", "M 31"},
        {"M 45", 10, 2, "45", "M 45"},
        {"Messier 31", 6, 2, "31", "Messier 31"},
        {"224", 6, 3, "224", "NGC 224"},
        {"N224", 6, 3, "224", "NGC 224"},
        {"ngc224", 6, 3, "224", "NGC 224"},
        {"NGC 7000", 9, 3, "7000", "NGC 7000"},
        {"n 7000", 9, 3, "7000", "n 7000"},
        {"NGC 7000 \r\n", 9, 3, "7000", "NGC 7000"},
        {"LMC", 6, 1, "Large Magellanic Cloud", "Large Magellanic Cloud"},
        {"lmc", 6, 1, "Large Magellanic Cloud", "Large Magellanic Cloud"},
        {"The Pleiades", 10, 1, "Pleiades", "Pleiades"},
        {"Omega Centauri", 11, 1, "Omega Centauri", "Omega Centauri"},
        {"Eta Carinae Nebula", 9, 1, "Eta Carinae Nebula", "Eta Carinae Nebula"},
        {"BH 99", 10, 55, "99", "vandenBergh-Hagen 99"},
        {"vdBH 99", 10, 55, "99", "vandenBergh-Hagen 99"},
        {"van den Bergh-Hagen 99", 10, 55, "99", "vandenBergh-Hagen 99"},
        {"van den Bergh 92", 10, 54, "92", "vandenBergh 92"},
        {"Collinder 399", 10, 16, "399", "Collinder 399"},
        {"Alpha Cen A", 5, 2, "Alpha Cen A", "Alpha Cen A"},
        {"alpha Centauri", 5, 2, "alpha Centauri", "alpha Centauri"},
        {"61 Cyg", 5, 3, "61 Cyg", "61 Cyg"},
        {"alpha Canis Majoris", 5, 2, "alpha Canis Majoris", "alpha Canis Majoris"},
        {"9 Canis Majoris", 5, 3, "9 Canis Majoris", "9 Canis Majoris"},
        {"delta Cep", 5, 2, "delta Cep", "delta Cep"},
        {"zeta Pup", 5, 2, "zeta Pup", "zeta Pup"},
        {"R Lep", 5, 4, "R Lep", "R Lep"},
        {"Cyg", 1, 1, "Con Cygni", "Cyg"},
        {"Cep", 1, 1, "Con Cephei", "Cep"},
        {"Vulpeculae", 1, 1, "Con Vulpeculae", "Vulpeculae"},
        {"HD 12345", 5, 6, "12345", "HD 12345"},
        {"hr 7001", 5, 5, "7001", "hr 7001"},
        {"SAO 308", 5, 7, "308", "SAO 308"},
        {"HIP 11767", 5, 9, "11767", "HIP 11767"},
        {"BD +38 3238", 5, 10, "BD +38 3238", "BD +38 3238"},
        {"J123456.7+123456", 5, 20, "J123456.7+123456", "J123456.7+123456"},
        {"Polaris", 5, 1, "Polaris", "Polaris"},
        {"Vega", 5, 1, "Vega", "Vega"},
        {"Titan", 2, 6, "Titan", "Titan"},
        {"Saturn", 2, 1, "Saturn", "Saturn"},
        {"C/1995 O1 (Hale-Bopp)", 3, 3, "1995 O1", "C/1995 O1 (Hale-Bopp)"},
        {"2P/Encke", 3, 2, "2", "2P/Encke"},
        {"2P", 3, 2, "2", "2P"},
        {"P/Halley 1", 3, 3, "Halley 1", "P/Halley 1"},
        {"(433) Eros", 4, 2, "433", "(433) Eros"},
        {"MPN 433", 4, 2, "433", "MPN 433"},
        {"PK 64+5.1", 8, 11, "64+5.1", "PK 64+5.1"},
        {"PN G064.7+05.0", 8, 10, "064.7+05.0", "PN G064.7+05.0"},
        {"Abell 39", 8, 5, "39", "Abell 39"},
        {"M 1-92", 8, 6, "1-92", "M 1-92"},
        {"Terzan 5", 11, 6, "5", "Terzan 5"},
        {"Pal 12", 11, 5, "12", "Pal 12"},
        {"HCG 92", 16, 3, "92", "HCG 92"},
        {"B 33", 17, 2, "33", "B 33"},
        {"Sh 2-155", 9, 5, "2-155", "Sh 2-155"},
        {"LDN 1551", 17, 3, "1551", "LDN 1551"},
        {"Q0957+561", 7, 3, "Q0957+561", "Q0957+561"},
        {"UGC 5470", 6, 8, "5470", "UGC 5470"},
        {"Dolidze-Dzimselejsvili 5", 10, 20, "5", "Dol-Dzim 5"},
        {"NGC 5", 6, 3, "5", "NGC 5"},
        {"BH 9", 10, 55, "9", "vandenBergh-Hagen 9"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        g_win = {c.cls, c.kind, 0, 0, c.handed};
        std::string buffer;
        EXPECT_EQ(Recognize(c.input, &buffer), 1);
        EXPECT_EQ(buffer, c.buffer);
        ASSERT_FALSE(g_calls.empty());
        EXPECT_EQ(g_calls.back().cls, c.cls);
        EXPECT_EQ(g_calls.back().kind, c.kind);
        EXPECT_EQ(g_calls.back().text, c.handed);
    }
}

TEST_F(Recognition, ComponentLetterAndCometOrder) {
    g_win = {5, 2, 0, 0, "Alpha Cen A"};
    std::string buffer;
    ASSERT_EQ(Recognize("Alpha Cen A", &buffer), 1);
    EXPECT_EQ(g_calls.back().letter, 'A');
    // User comets before comets, on the designation cut at its second blank.
    g_win = {3, 3, 0, 0, "1995 O1"};
    ASSERT_EQ(Recognize("C/1995 O1 (Hale-Bopp)", &buffer), 1);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].cls, 13); EXPECT_EQ(g_calls[0].kind, 2);
    // A minor planet in the user file wins before the numbered one.
    g_win = {14, 2, 0, 0, "433"};
    ASSERT_EQ(Recognize("(433) Eros", &buffer), 1);
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(Recognition, CascadeOrderForAName) {
    g_win = {5, 1, 0, 0, "Vega"};
    std::string buffer;
    ASSERT_EQ(Recognize("Vega", &buffer), 1);
    const std::vector<std::pair<int, int>> expected = {
        {2, 1}, {13, 1}, {12, 1}, {18, 1}, {15, 1}, {13, 2}, {5, 1}};
    ASSERT_EQ(g_calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(g_calls[i].cls, expected[i].first) << i;
        EXPECT_EQ(g_calls[i].kind, expected[i].second) << i;
    }
    // Nothing builds: the walk ends with open-cluster kind 56 on the text.
    g_win = {-1, -1, 0, 0, ""};
    EXPECT_EQ(Recognize("Nothing Here", &buffer), 0);
    EXPECT_EQ(g_calls.back().cls, 10);
    EXPECT_EQ(g_calls.back().kind, 56);
}

// A text that two catalogues know gives the object the observer means: a
// star's proper name is the star though a minor planet or a comet survey
// bears it, and a Flamsteed number in a constellation ending in p (Cap,
// Cep, Lep, Pup) is the star, not the periodic comet of that number. Texts
// that only a body knows still give the body.
TEST_F(Recognition, TextsOfTwoCataloguesGiveTheRightOne) {
    const struct {
        const char *input;
        Call also;   // a second candidate that builds
        Call want;   // the candidate that must win
    } cases[] = {
        {"Merope", {kClassMinorPlanet, kMinorPlanetKindFull, 0, 0, "Merope"},
         {kClassStar, kStarKindCommonName, 0, 0, "Merope"}},
        {"Asterope", {kClassUserMinorPlanet, kMinorPlanetKindFull, 0, 0, "Asterope"},
         {kClassStar, kStarKindCommonName, 0, 0, "Asterope"}},
        {"Atlas", {kClassComet, kCometKindDiscovererName, 0, 0, "Atlas"},
         {kClassStar, kStarKindCommonName, 0, 0, "Atlas"}},
        {"9 Cap", {kClassComet, kCometKindPeriodicNumber, 0, 0, "9 Ca"},
         {kClassStar, kStarKindFlamsteed, 0, 0, "9 Cap"}},
        {"40 Capricorni", {kClassComet, kCometKindPeriodicNumber, 0, 0, "40 Capricorn"},
         {kClassStar, kStarKindFlamsteed, 0, 0, "40 Capricorni"}},
        {"22 Lep", {kClassComet, kCometKindPeriodicNumber, 0, 0, "22 Le"},
         {kClassStar, kStarKindFlamsteed, 0, 0, "22 Lep"}},
        // Bodies alone: the minor planet, the periodic comet by its number.
        {"Vesta", {-1, -1, 0, 0, ""}, {kClassMinorPlanet, kMinorPlanetKindFull, 0, 0, "Vesta"}},
        {"2P", {-1, -1, 0, 0, ""}, {kClassComet, kCometKindPeriodicNumber, 0, 0, "2"}},
        {"Hale-Bopp", {-1, -1, 0, 0, ""}, {kClassComet, kCometKindDiscovererName, 0, 0, "Hale-Bopp"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        g_win = c.want;
        g_alsoBuild = {c.also};
        std::string buffer;
        ASSERT_EQ(Recognize(c.input, &buffer), 1);
        EXPECT_EQ(g_calls.back().cls, c.want.cls);
        EXPECT_EQ(g_calls.back().kind, c.want.kind);
        EXPECT_EQ(g_calls.back().text, c.want.text);
    }
}

TEST_F(Recognition, FailureCodesAndEmptyForms) {
    g_win = {-1, -1, 0, 0, ""};
    std::string buffer;
    EXPECT_EQ(Recognize("Dolidze-Dzimselejsvili", &buffer), -1);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(Recognize("NGC Nebula", &buffer), 0);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(Recognize("   ", &buffer), 0);
    EXPECT_EQ(buffer, "NGC ");
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(Recognize("", &buffer), 0);
    // No IC cross index: 0 without attempts; a Messier number not in the index
    // has no direct attempt.
    EXPECT_EQ(Recognize("IC 434", &buffer), 0);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(Recognize("M 2", &buffer), 0);
    EXPECT_FALSE(WasTried(10, 2, "2"));
    // "12345" becomes an NGC number that the index does not hold.
    EXPECT_EQ(Recognize("12345", &buffer), 0);
    EXPECT_EQ(buffer, "NGC 12345");
    // M 40 skips the Messier form.
    EXPECT_EQ(Recognize("M40", &buffer), 0);
    EXPECT_EQ(buffer, "M 40");
    EXPECT_FALSE(WasTried(10, 2, "40"));
    EXPECT_TRUE(WasTried(10, 56, "M 40"));
    // A common name that nothing builds ends with 0 before the quasar attempt.
    EXPECT_EQ(Recognize("Omega Centauri", &buffer), 0);
    EXPECT_FALSE(WasTried(7, 2, "Omega Centauri"));
}

TEST_F(Recognition, MissingNgcIndexIsFailure) {
    testutil::TempDir empty;
    SetRefDirectories(empty.path().c_str(), empty.path().c_str(), empty.path().c_str());
    std::string buffer;
    g_win = {-1, -1, 0, 0, ""};
    EXPECT_EQ(Recognize("NGC 7000", &buffer), -1);
    EXPECT_TRUE(g_calls.empty());
    // Without the constellation names file a bare constellation gives 0.
    EXPECT_EQ(Recognize("Cyg", &buffer), 0);
}

TEST_F(Recognition, OnlySixWordsCount) {
    g_win = {-1, -1, 0, 0, ""};
    std::string buffer;
    Recognize("one two three four five Cygni", &buffer);
    EXPECT_TRUE(WasTried(5, 4, "one two three four five Cygni"));
    Recognize("one two three four five six Cygni", &buffer);
    EXPECT_FALSE(WasTried(5, 4, "one two three four five six Cygni"));
}

TEST_F(Recognition, InternalStarNumber) {
    g_win = {5, 0, 0, 0, "<none>"};
    std::string buffer;
    ASSERT_EQ(Recognize("SI 1234", &buffer), 1);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].number, 1234);
    EXPECT_EQ(g_calls[0].letter, 0);
}

// Oversize input: the text handed over and the buffer written stay bounded.
TEST_F(Recognition, LongTextsStayBounded) {
    g_win = {-1, -1, 0, 0, ""};
    std::string longText;
    for (int i = 0; i < 60; ++i) longText += "a-b-c ";
    std::vector<char> text(longText.size() + 20, '\0');
    std::memcpy(text.data(), longText.data(), longText.size());
    ObjectRecord records[3];
    g_calls.clear();
    EXPECT_EQ(IdentifyObjectTextWith(RecordingAttempt, text.data(), 0.0, nullptr, nullptr, 0.1,
                                     records),
              0);
    ASSERT_FALSE(g_calls.empty());
    for (const Call &c : g_calls) EXPECT_LE(c.text.size(), 63u);
    EXPECT_LE(std::strlen(text.data()), 287u);
}

TEST(RecognitionHelpers, SmallTables) {
    EXPECT_EQ(ClassOfCrossIndexType(0), 10);
    EXPECT_EQ(ClassOfCrossIndexType(4), 6);
    EXPECT_EQ(ClassOfCrossIndexType(7), 17);
    EXPECT_EQ(ClassOfCrossIndexType(8), -1);
    EXPECT_EQ(ClassOfCrossIndexType(-1), -1);
    int s = 0, p = 0;
    EXPECT_EQ(FindPlanetSatelliteByName("titan", &s, &p), 1);
    EXPECT_EQ(s, 6); EXPECT_EQ(p, 6);
    EXPECT_EQ(FindPlanetSatelliteByName("Charon", &s, &p), 1);
    EXPECT_EQ(s, 1); EXPECT_EQ(p, 9);
    EXPECT_EQ(FindPlanetSatelliteByName("Moon", &s, &p), 0);
    EXPECT_EQ(IsDigitsOrBlanks("", 4), 1);
    EXPECT_EQ(IsDigitsOrBlanks("12 4x", 4), 1);
    EXPECT_EQ(IsDigitsOrBlanks("12a", 4), 0);
    EXPECT_EQ(IsDigitsOrBlanks("7", 4), 1);
}

}  // namespace
