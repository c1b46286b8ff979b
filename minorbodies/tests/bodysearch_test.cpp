// Tests of the minor-body and user-store name searches with a plain matcher
// standing in for the object layer's: candidates by class and id, the stop
// when the arrays are full, missing files, and nothing before a matcher is
// handed down. The object layer's own matcher is exercised by its tests.
#include "minorbodies/bodysearch.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "core/userfolder.h"
#include "minorbodies/dbfolders.h"
#include "minorbodies/tests/mbfixture.h"
#include "minorbodies/usercatalogs.h"

namespace {

void Upper(char *out, const char *name) {
    std::snprintf(out, kBodySearchQuerySize, "%s", name);
    for (char *p = out; *p; ++p) *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
}

// Equal ignoring case scores 1, contained scores 2.
int Contains(const char *query, const char *candidate, int *score, int) {
    char c[kBodySearchQuerySize];
    Upper(c, candidate);
    if (!c[0]) return 0;
    if (std::strcmp(c, query) == 0) {
        *score = 1;
        return 1;
    }
    if (std::strstr(c, query)) {
        *score = 2;
        return 1;
    }
    return 0;
}

struct Found {
    int classes[300];
    int32_t indexes[300];
    int scores[300];
};

class BodyNameSearch : public mbtest::PackagedDatabase {
protected:
    void SetUp() override {
        mbtest::PackagedDatabase::SetUp();
        SetBodyNameMatching(Upper, Contains);
    }
    void TearDown() override {
        SetBodyNameMatching(nullptr, nullptr);
        mbtest::PackagedDatabase::TearDown();
    }
};

TEST_F(BodyNameSearch, PackagedMinorPlanetsAndComets) {
    Found f;
    int n = SearchMinorPlanetNames("vesta", f.classes, f.indexes, f.scores, 300);
    ASSERT_GE(n, 1);
    bool vesta = false;
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(f.classes[i], kBodySearchClassMinorPlanet);
        if (f.indexes[i] == 4 && f.scores[i] == 1) vesta = true;
    }
    EXPECT_TRUE(vesta);
    // Full arrays stop the search with what they hold.
    int all = SearchMinorPlanetNames("a", f.classes, f.indexes, f.scores, 300);
    EXPECT_EQ(all, 300);
    EXPECT_EQ(SearchMinorPlanetNames("a", f.classes, f.indexes, f.scores, 3), 3);
    EXPECT_EQ(SearchMinorPlanetNames("zzzzqq", f.classes, f.indexes, f.scores, 300), 0);

    n = SearchCometNames("halley", f.classes, f.indexes, f.scores, 300);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(f.classes[0], kBodySearchClassComet);
    EXPECT_EQ(f.indexes[0], 0);
    n = SearchCometNames("neowise", f.classes, f.indexes, f.scores, 300);
    EXPECT_GE(n, 3);  // several comets carry the survey's name

    // Without the files: the minor planets find nothing, the comets -1.
    testutil::TempDir empty;
    SetMinorBodyDatabaseFolders(empty.path().c_str(), empty.path().c_str());
    EXPECT_EQ(SearchMinorPlanetNames("vesta", f.classes, f.indexes, f.scores, 300), 0);
    EXPECT_EQ(SearchCometNames("halley", f.classes, f.indexes, f.scores, 300), -1);
}

TEST(BodyNameSearchWithoutMatcher, FindsNothing) {
    SetBodyNameMatching(nullptr, nullptr);
    Found f;
    EXPECT_EQ(SearchMinorPlanetNames("vesta", f.classes, f.indexes, f.scores, 300), 0);
    EXPECT_EQ(SearchCometNames("halley", f.classes, f.indexes, f.scores, 300), 0);
}

TEST(UserStoreNameSearch, StarsDeepSkyAndMarks) {
    testutil::TempDir dir;
    SetUserDataFolder(dir.path().c_str());
    SetBodyNameMatching(Upper, Contains);
    Found f;
    // No stores yet: nothing found, and no store created by the search.
    EXPECT_EQ(SearchUserStarNames("x", f.classes, f.indexes, f.scores, 10), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("stellar.bin")));

    int32_t count = 0;
    FILE *stars = OpenUserStarFile(&count);
    ASSERT_NE(stars, nullptr);
    UserStarRecord s;
    for (const char *name : {"Garnet", "Blue Garnet", "Other"}) {
        std::memset(&s, 0, sizeof s);
        std::snprintf(s.name, sizeof s.name, "%s", name);
        ASSERT_EQ(AppendUserStarRecord(stars, &s), 1);
    }
    std::fclose(stars);
    FILE *dso = OpenUserDeepSkyFile(&count);
    ASSERT_NE(dso, nullptr);
    UserDeepSkyRecord d;
    std::memset(&d, 0, sizeof d);
    std::snprintf(d.name, sizeof d.name, "%s", "My Galaxy");
    ASSERT_EQ(AppendUserDeepSkyRecord(dso, &d), 1);
    std::fclose(dso);
    FILE *marks = OpenSkyMarkFile(&count);
    ASSERT_NE(marks, nullptr);
    SkyMarkRecord m;
    for (const char *name : {"Start", "Garnet field"}) {
        std::memset(&m, 0, sizeof m);
        std::snprintf(m.name, sizeof m.name, "%s", name);
        ASSERT_EQ(AppendSkyMarkRecord(marks, &m), 1);
    }
    std::fclose(marks);

    int n = SearchUserStarNames("garnet", f.classes, f.indexes, f.scores, 10);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(f.classes[0], kBodySearchClassUserStar);
    EXPECT_EQ(f.indexes[0], 1);
    EXPECT_EQ(f.scores[0], 1);
    EXPECT_EQ(f.indexes[1], 2);
    EXPECT_EQ(f.scores[1], 2);
    EXPECT_EQ(SearchUserStarNames("garnet", f.classes, f.indexes, f.scores, 1), 1);
    n = SearchUserDeepSkyNames("galaxy", f.classes, f.indexes, f.scores, 10);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(f.classes[0], kBodySearchClassUserDeepSky);
    n = SearchSkyMarkNames("garnet", f.classes, f.indexes, f.scores, 10);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(f.classes[0], kBodySearchClassSkyMark);
    EXPECT_EQ(f.indexes[0], 2);
    SetBodyNameMatching(nullptr, nullptr);
    SetUserDataFolder("");
}

}  // namespace
