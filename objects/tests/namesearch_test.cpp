// The fuzzy name search: the scoring of one comparison, the normalised form
// of names, the order of results, the ranking of misspelt names over the demo
// catalogues, the limits of the result array and of the typed text, and name
// files shorter than the packaged ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "objects/constellations.h"
#include "objects/dsoxref.h"
#include "objects/namesearch.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "objects/starxref.h"
#include "objects/tests/democatalogues.h"
#include "testutil/testutil.h"

namespace {

TEST(MatchObjectName, ScoresByEqualityContainmentAndSimilarity) {
    // Similarity of the shorter text found in order in the longer one: the
    // candidates 9, 8, 7 and 6 letters of a 10-letter query give 90, 80, 70
    // and 60 percent.
    struct Case {
        const char *query, *candidate;
        int threshold, matched, score;
    } cases[] = {
        {"ORION", "Orion", 68, 1, 1},
        {"ORION", "ORION", 68, 1, 1},
        {"ORION", "Great Orion Nebula", 68, 1, 2},
        {"ABCDEFGHIJ", "ABCDEFGHI", 68, 1, 3},
        {"ABCDEFGHIJ", "abcdefghi", 68, 1, 3},
        {"ABCDEFGHIJ", "ABCDEFGH", 68, 1, 4},
        {"ABCDEFGHIJ", "ABCDEFG", 68, 1, 5},
        {"ABCDEFGHIJ", "ABCDEFG", 75, 0, -1},
        {"ABCDEFGHIJ", "ABCDEF", 68, 0, -1},
        {"M", "m", 68, 1, 1},
        // One character is never "contained": "M" is not in every Messier name.
        {"M", "M 31", 68, 0, -1},
        {"ORION", "", 68, 0, -1},
        {"", "Orion", 68, 0, -1},
    };
    for (const Case &c : cases) {
        int score = -1;
        EXPECT_EQ(MatchObjectName(c.query, c.candidate, &score, c.threshold), c.matched)
            << c.query << " / " << c.candidate;
        EXPECT_EQ(score, c.score) << c.query << " / " << c.candidate;
    }
}

TEST(MatchObjectName, LongCandidateIsComparedByItsFirst255Characters) {
    std::string name = "ORION" + std::string(2000, 'x');
    int score = 0;
    EXPECT_EQ(MatchObjectName("ORION", name.c_str(), &score, 68), 1);
    EXPECT_EQ(score, 2);
}

TEST(NormaliseObjectName, DropsArticleNebulaAndCometAndSqueezes) {
    struct Case {
        const char *in, *out;
    } cases[] = {
        {"the pleiades", "PLEIADES"},
        {"Pleiades Nebula", "PLEIADES"},
        {"  Comet   Halley  ", "HALLEY"},
        {"Crab Neb", "CRAB"},
        {"The  Orion   Nebula", "ORION"},
        {"theta Car", "THETA CAR"},
        {"", ""},
    };
    for (const Case &c : cases) {
        char out[kNormalisedNameSize];
        NormaliseObjectName(out, c.in);
        EXPECT_STREQ(out, c.out) << c.in;
    }
    // In place, and a name longer than the output is cut, never overrun.
    char same[kNormalisedNameSize] = "the whirlpool galaxy";
    NormaliseObjectName(same, same);
    EXPECT_STREQ(same, "WHIRLPOOL GALAXY");
    std::string huge(5000, 'q');
    std::unique_ptr<char[]> out(new char[kNormalisedNameSize]);
    NormaliseObjectName(out.get(), huge.c_str());
    EXPECT_EQ(std::strlen(out.get()), static_cast<size_t>(kNormalisedNameSize - 1));
}

ObjectRecord Candidate(int score, int objectClass, int32_t index) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.constellation = static_cast<uint8_t>(score);
    r.objectClass = static_cast<uint8_t>(objectClass);
    r.index = index;
    return r;
}

TEST(CompareSearchCandidates, ScoreThenClassThenSignedIndex) {
    std::vector<ObjectRecord> v = {Candidate(2, 6, 5), Candidate(1, 9, 3), Candidate(2, 5, 7),
                                   Candidate(0, 5, -2), Candidate(2, 5, -1), Candidate(1, 1, 60)};
    std::qsort(v.data(), v.size(), sizeof(ObjectRecord), CompareSearchCandidates);
    const int want[][3] = {{0, 5, -2}, {1, 1, 60}, {1, 9, 3}, {2, 5, -1}, {2, 5, 7}, {2, 6, 5}};
    for (size_t i = 0; i < v.size(); ++i) {
        EXPECT_EQ(+v[i].constellation, want[i][0]) << i;
        EXPECT_EQ(+v[i].objectClass, want[i][1]) << i;
        EXPECT_EQ(+v[i].index, want[i][2]) << i;
    }
}

TEST(SolarSystemNames, BodiesSatellitesAndReferencePoints) {
    int classes[20], scores[20];
    int32_t indexes[20];
    uint8_t kinds[20];
    ASSERT_EQ(SearchBodyNames("the moon", classes, indexes, scores, 20), 1);
    EXPECT_EQ(classes[0], kClassSolarSystem);
    EXPECT_EQ(indexes[0], 10);
    EXPECT_EQ(scores[0], 1);
    // The Earth is never a candidate.
    EXPECT_EQ(SearchBodyNames("EARTH", classes, indexes, scores, 20), 1);
    EXPECT_EQ(indexes[0], 11);  // "Earth Shadow" contains it
    // Titan itself, and Uranus' Titania that contains the name.
    ASSERT_EQ(SearchSatelliteNames("titan", classes, indexes, scores, 20, kinds), 2);
    EXPECT_EQ(indexes[0], 6);  // Saturn
    EXPECT_EQ(+kinds[0], 6);   // its sixth satellite
    EXPECT_EQ(scores[0], 1);
    EXPECT_EQ(indexes[1], 7);  // Uranus
    EXPECT_EQ(+kinds[1], 3);
    EXPECT_EQ(scores[1], 2);
    ASSERT_GE(SearchReferencePointNames("the zenith", classes, indexes, scores, 20), 1);
    EXPECT_EQ(classes[0], kClassReferencePoint);
    EXPECT_EQ(scores[0], 1);
}

class DemoSearch : public ::testing::Test {
protected:
    void SetUp() override {
        if (!democat::UseDemoCatalogues()) GTEST_SKIP() << "no demo catalogues";
    }
    void TearDown() override { SetRefDirectories("", "", ""); }

    // The search with exactly max records on the heap, so that a write past
    // them is caught.
    std::vector<ObjectRecord> Search(const char *text, int scope = kSearchScopeAll,
                                     int max = kSearchMaxResults) {
        std::unique_ptr<ObjectRecord[]> records(new ObjectRecord[max]);
        int n = SearchObjectsByName(text, 0.0, nullptr, nullptr, 0.2, scope, records.get(), max);
        EXPECT_GE(n, 0);
        EXPECT_LE(n, max);
        return std::vector<ObjectRecord>(records.get(), records.get() + (n > 0 ? n : 0));
    }
    static int Position(const std::vector<ObjectRecord> &v, int objectClass, int32_t index) {
        for (size_t i = 0; i < v.size(); ++i)
            if (v[i].objectClass == objectClass && v[i].index == index) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(DemoSearch, OrionFindsTheConstellationFirstAndTheNebulaAfter) {
    int orion = FindConstellationByName("Orion");
    ASSERT_GE(orion, 0);
    int type = -1, record = -1;
    ASSERT_EQ(FindCommonName("Great Orion Nebula", &type, &record), 1);
    std::vector<ObjectRecord> v = Search("orion");
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(+v[0].objectClass, kClassConstellation);
    EXPECT_EQ(+v[0].index, orion);
    EXPECT_LE(+v[0].constellation, 1);
    int nebula = Position(v, ClassOfCrossIndexType(type), record);
    ASSERT_GT(nebula, 0);
    EXPECT_EQ(+v[nebula].constellation, 2);  // "ORION" is contained in its name
    // Listed once only.
    EXPECT_EQ(std::count_if(v.begin(), v.end(), [&](const ObjectRecord &r) {
                  return r.objectClass == kClassConstellation && r.index == orion;
              }), 1);
}

TEST_F(DemoSearch, MisspeltNamesRankTheirObjectNearTheTop) {
    struct Case {
        const char *typed;
        const char *name;  // as the catalogue spells it
        bool star;
    } cases[] = {
        {"andromeda galxy", "Andromeda Galaxy", false},
        {"whirlpol galaxy", "Whirlpool Galaxy", false},
        {"sombero galaxy", "Sombrero Galaxy", false},
        {"sunflower galaxi", "Sunflower Galaxy", false},
        {"betelguese", "Betelgeuse", true},
        {"aldebaren", "Aldebaran", true},
    };
    for (const Case &c : cases) {
        int objectClass = kClassStar, index = 0;
        if (c.star) {
            ASSERT_GE(FindStarNameListEntry(c.name, &index), 0) << c.name;
        } else {
            int type = -1;
            ASSERT_EQ(FindCommonName(c.name, &type, &index), 1) << c.name;
            objectClass = ClassOfCrossIndexType(type);
            if (objectClass == kClassQuasar) ++index;
        }
        std::vector<ObjectRecord> v = Search(c.typed);
        int at = Position(v, objectClass, index);
        EXPECT_GE(at, 0) << c.typed;
        EXPECT_LT(at, 3) << c.typed;
        if (at >= 0) {
            EXPECT_LE(+v[at].constellation, 4) << c.typed;
        }
    }
}

TEST_F(DemoSearch, ExactRecognitionComesFirstAndIsNotRepeated) {
    std::vector<ObjectRecord> v = Search("Andromeda Galaxy");
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(+v[0].constellation, 0);
    EXPECT_EQ(+v[0].objectClass, kClassGalaxy);
    int copies = 0;
    for (const ObjectRecord &r : v)
        if (r.objectClass == v[0].objectClass && r.index == v[0].index) ++copies;
    EXPECT_EQ(copies, 1);
    // Whatever the scope.
    std::vector<ObjectRecord> s = Search("M 31", kSearchScopeSolarSystem);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(+s[0].objectClass, kClassGalaxy);
    EXPECT_EQ(+s[0].constellation, 0);
    for (size_t i = 1; i < s.size(); ++i) EXPECT_EQ(+s[i].objectClass, kClassSolarSystem);
}

TEST_F(DemoSearch, MaxOneWithAnExactHitFillsOneRecordOnly) {
    // The recognition builds up to three records; only max may reach the
    // caller's array (exactly one record here, on the heap).
    std::vector<ObjectRecord> v = Search("M 31", kSearchScopeAll, 1);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(+v[0].objectClass, kClassGalaxy);
    EXPECT_EQ(+v[0].constellation, 0);
}

TEST_F(DemoSearch, ScopesKeepTheirClasses) {
    for (const ObjectRecord &r : Search("mars", kSearchScopeSolarSystem))
        EXPECT_EQ(+r.objectClass, kClassSolarSystem);
    std::vector<ObjectRecord> stars = Search("sirius", kSearchScopeStars);
    ASSERT_FALSE(stars.empty());
    for (const ObjectRecord &r : stars) EXPECT_EQ(+r.objectClass, kClassStar);
    std::vector<ObjectRecord> deep = Search("galaxy", kSearchScopeDeepSky);
    ASSERT_FALSE(deep.empty());
    for (const ObjectRecord &r : deep) {
        EXPECT_NE(+r.objectClass, kClassStar);
        EXPECT_NE(+r.objectClass, kClassConstellation);
        EXPECT_NE(+r.objectClass, kClassSolarSystem);
    }
}

TEST_F(DemoSearch, ResultsNeverExceedMax) {
    std::vector<ObjectRecord> all = Search("cluster");
    ASSERT_GT(all.size(), 5u);
    EXPECT_LE(all.size(), static_cast<size_t>(kSearchMaxResults));
    EXPECT_EQ(Search("cluster", kSearchScopeAll, 5).size(), 5u);
    for (size_t i = 1; i < all.size(); ++i)
        EXPECT_LE(CompareSearchCandidates(&all[i - 1], &all[i]), 0) << i;
}

TEST_F(DemoSearch, LongTextsAreSearchedWithoutWritingIntoThem) {
    // The recognition lengthens its text ("m31" becomes "M 31"); the typed
    // text, here in a buffer of exactly its own size, is left as it was.
    for (std::string text : {std::string("m31"), std::string(63, 'x'), std::string(300, 'n'),
                             std::string("orion ") + std::string(5000, 'a')}) {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        std::vector<ObjectRecord> v = Search(buffer.data());
        EXPECT_EQ(std::string(buffer.data()), text);
        EXPECT_LE(v.size(), static_cast<size_t>(kSearchMaxResults));
    }
    EXPECT_TRUE(Search("").empty());
    EXPECT_TRUE(Search(nullptr).empty());
}

// Name files shorter than the packaged ones still take part.
class ShortNameFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string folder = dir_.path();
        SetRefDirectories(folder.c_str(), folder.c_str(), folder.c_str());
    }
    void TearDown() override { SetRefDirectories("", "", ""); }
    testutil::TempDir dir_;
};

std::string Field(const char *text, size_t width) {
    std::string s(width, '\0');
    std::memcpy(&s[0], text, std::min(width - 1, std::strlen(text)));
    return s;
}
std::string Le16(int v) { return std::string{static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)}; }
std::string Le32(int32_t v) {
    return Le16(v & 0xffff) + Le16(static_cast<int>((static_cast<uint32_t>(v) >> 16) & 0xffff));
}

TEST_F(ShortNameFiles, ThreeGlobularDesignationsInsteadOfTwenty) {
    std::string gdes = Field("Pal 1", 18) + Le16(31) + Field("Liller 1", 18) + Le16(97) +
                       Field("HP 1", 18) + Le16(120);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("GDes.bin"), gdes));
    int classes[10], scores[10];
    int32_t indexes[10];
    ASSERT_EQ(SearchGlobularClusterNames("liller 1", classes, indexes, scores, 10), 1);
    EXPECT_EQ(classes[0], kClassGlobularCluster);
    EXPECT_EQ(indexes[0], 97);
    EXPECT_EQ(scores[0], 1);
}

TEST_F(ShortNameFiles, TwoCommonNamesInsteadOf228) {
    std::string names = Field("Owl Cluster", 32) + Field("Owl Nebula", 32);
    std::string cross = std::string(1, '\0') + Le32(12) + std::string(1, '\3') + Le32(40);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("cnames.bin"), names));
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("cn_cross.bin"), cross));
    int classes[10], scores[10];
    int32_t indexes[10];
    ASSERT_EQ(SearchCommonNames("the owl nebula", classes, indexes, scores, 10), 2);
    // "OWL" (the normalised query) is contained in both names.
    EXPECT_EQ(classes[0], kClassOpenCluster);
    EXPECT_EQ(indexes[0], 12);
    EXPECT_EQ(classes[1], kClassPlanetaryNebula);
    EXPECT_EQ(indexes[1], 40);
}

TEST_F(ShortNameFiles, DiscovererFileIsReadToItsLastWholeRecord) {
    // Two whole records and a cut third: the cut one is never read.
    std::string rec1 = Field("STF2272", 10) + Le32(501) + std::string(9, '\0');
    std::string rec2 = Field("STT 77", 10) + Le32(777) + std::string(9, '\0');
    std::string cut = Field("BU 1200", 10) + Le32(999);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("did_cross.bin"), rec1 + rec2 + cut));
    int classes[10], scores[10];
    int32_t indexes[10];
    ASSERT_EQ(SearchDoubleStarNames("STF 2272", classes, indexes, scores, 10), 1);
    EXPECT_EQ(classes[0], kClassStar);
    EXPECT_EQ(indexes[0], 501);
    EXPECT_EQ(scores[0], 1);
    EXPECT_EQ(SearchDoubleStarNames("BU 1200", classes, indexes, scores, 10), 0);
}

TEST_F(ShortNameFiles, RepeatsOutsideTheFirstRecordStayListed) {
    // The star "Owl Star" comes first; the open cluster (record 12) is found
    // by its common name and again by its other designation, so both stay.
    std::string star = Le32(77) + Field("Owl Star", 32) + std::string(1, '\0');
    std::string names = Field("Owl Cluster", 32);
    std::string cross = std::string(1, '\0') + Le32(12);
    std::string other = Field("Owl Cl", 18) + Le16(12);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("csn_alp.bin"), star));
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("cnames.bin"), names));
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("cn_cross.bin"), cross));
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("oc_other.bin"), other));
    std::unique_ptr<ObjectRecord[]> records(new ObjectRecord[10]);
    int n = SearchObjectsByName("owl", 0.0, nullptr, nullptr, 0.2, kSearchScopeAll, records.get(), 10);
    int clusters = 0, stars = 0;
    for (int i = 0; i < n; ++i) {
        if (records[i].objectClass == kClassOpenCluster && records[i].index == 12) ++clusters;
        if (records[i].objectClass == kClassStar && records[i].index == 77) ++stars;
    }
    EXPECT_EQ(stars, 1);
    EXPECT_EQ(clusters, 2);
    // Without the star the cluster is the first record: its second finding
    // only gives that record the kind of the other designation (56).
    ASSERT_EQ(std::remove(dir_.file("csn_alp.bin").c_str()), 0);
    n = SearchObjectsByName("owl", 0.0, nullptr, nullptr, 0.2, kSearchScopeAll, records.get(), 10);
    clusters = 0;
    int kind = -1;
    for (int i = 0; i < n; ++i)
        if (records[i].objectClass == kClassOpenCluster && records[i].index == 12) {
            ++clusters;
            kind = records[i].kind;
        }
    EXPECT_EQ(clusters, 1);
    EXPECT_EQ(kind, 56);
}

TEST_F(ShortNameFiles, MissingFilesContributeNothing) {
    int classes[4], scores[4];
    int32_t indexes[4];
    EXPECT_LE(SearchCommonNames("orion", classes, indexes, scores, 4), 0);
    EXPECT_LE(SearchStarNames("vega", classes, indexes, scores, 4), 0);
    EXPECT_LE(SearchQuasarNames("3C 273", classes, indexes, scores, 4), 0);
    EXPECT_LE(SearchConstellationNames("orion", classes, indexes, scores, 4), 0);
    // The fixed lists still answer.
    std::unique_ptr<ObjectRecord[]> records(new ObjectRecord[4]);
    int n = SearchObjectsByName("jupiter", 0.0, nullptr, nullptr, 0.2, kSearchScopeAll,
                                records.get(), 4);
    ASSERT_GE(n, 1);
    EXPECT_EQ(+records[0].objectClass, kClassSolarSystem);
    EXPECT_EQ(+records[0].index, 5);
}

}  // namespace

TEST_F(DemoSearch, BayerFormsAndProperNamesComeFirstAsTheirStar) {
    // Row 0 is the star typed, found by the exact recognition: IAU forms
    // ("alf Cyg") were not read as Greek letters, and Albireo A, numbered the
    // other way round in one source, had neither HIP number nor beta-1.
    struct Case {
        const char *typed;
        const char *name;
        float magnitude;
    } cases[] = {
        {"alf Cyg", "Deneb", 1.25f},     {"alpha Cygni", "Deneb", 1.25f},
        {"bet Cyg", "Albireo", 3.05f},   {"beta Cygni", "Albireo", 3.05f},
        {"Albireo", "Albireo", 3.05f},   {"alf Ori", "Betelgeuse", 0.45f},
        {"Alf Lyr", "Vega", 0.03f},
    };
    for (const Case &c : cases) {
        int star = -1;
        ASSERT_GE(FindStarNameListEntry(c.name, &star), 0) << c.name;
        std::vector<ObjectRecord> v = Search(c.typed);
        ASSERT_FALSE(v.empty()) << c.typed;
        EXPECT_EQ(+v[0].objectClass, kClassStar) << c.typed;
        EXPECT_EQ(+v[0].index, star) << c.typed;
        EXPECT_EQ(+v[0].constellation, kScoreExact) << c.typed;
        char work[64];
        std::snprintf(work, sizeof work, "%s", c.typed);
        ObjectRecord exact[3];
        ASSERT_GE(IdentifyObjectText(work, 0.0, nullptr, nullptr, 0.2, exact), 1) << c.typed;
        EXPECT_NEAR(+exact[0].magnitude, c.magnitude, 0.05) << c.typed;
    }
}
