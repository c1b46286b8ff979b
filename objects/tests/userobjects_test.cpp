// The user's own objects through the object layer: typed designations that
// recognise user stars, deep-sky objects, sky marks, comets and minor
// planets, the records their builders fill (places from the stores), their
// names, and the name searches of the user's minor planets and comets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "ephem/tests/ephemfixture.h"
#include "minorbodies/bodysearch.h"
#include "minorbodies/usercatalogs.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "objects/minorbodyservices.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "testutil/testutil.h"

namespace {

const double kEpoch = (2459000.5 - 2451545.0) / 36525.0;

class UserObjects : public ephemtest::GeneratedTables {
protected:
    void SetUp() override {
        ephemtest::GeneratedTables::SetUp();
        if (IsSkipped()) return;
        SetUserDataFolder(dir_.path().c_str());
        ConnectMinorBodyServices();
        FILE *f = OpenUserStarFile(nullptr);
        UserStarRecord s;
        std::memset(&s, 0, sizeof s);
        PackUserStarRecord(&s, "Barnard's Friend", 4.7, 0.08, 9.5);
        AppendUserStarRecord(f, &s);
        SafeClose(f);
        f = OpenUserDeepSkyFile(nullptr);
        UserDeepSkyRecord d;
        std::memset(&d, 0, sizeof d);
        PackUserDeepSkyRecord(&d, "My Nebula", 9, 1.0, 0.3, 0.0, 12.0, 6.0, 45.0);
        AppendUserDeepSkyRecord(f, &d);
        SafeClose(f);
        f = OpenSkyMarkFile(nullptr);
        SkyMarkRecord m;
        std::memset(&m, 0, sizeof m);
        PackSkyMarkRecord(&m, "Home Mark", 2.0, -0.2);
        AppendSkyMarkRecord(f, &m);
        SafeClose(f);
        f = OpenUserCometFile(nullptr);
        CometRecord c;
        BuildCometRecord(&c, 0, 'C', "Hale-Bopp", "1995 O1", kEpoch, kEpoch, 0, 0, 0, 0.914, 0.995, 130.6, 282.5,
                         89.4, -0.8, 3.2, 0.005, 7, "");
        AddUserCometElements(&f, &c, 1, 1);
        BuildCometRecord(&c, 1, 'P', "Halley", "", kEpoch, kEpoch, 0, 0, 0, 0.587, 0.967, 111.3, 58.4, 162.3, 5.5,
                         4.0, 0.002, 3, "");
        AddUserCometElements(&f, &c, 1, 1);
        SafeClose(f);
        int32_t count = 0;
        f = OpenUserMinorPlanetFile(&count);
        MinorPlanetRecord p;
        BuildMinorPlanetRecord(&p, 433, "Eros", 0, kEpoch, 271, 0, 1.458, 0, 0.2229, 178.9, 304.3, 10.8, 10.4,
                               0.46, "");
        AddUserMinorPlanetElements(f, &p, &count);
        BuildMinorPlanetRecord(&p, 0, "2001 QX", 0, kEpoch, 10, 0, 2.5, 0, 0.1, 1, 2, 3, 15, 0.15, "");
        AddUserMinorPlanetElements(f, &p, &count);
        int32_t highest = 0;
        SortUserMinorPlanetFile(&f, count, &highest);
        SafeClose(f);
        std::memset(&date_, 0, sizeof date_);
        SetDateRecord(&date_, nullptr, 6, 1, 2020, 0.0, kUniversalTime);
        ComputeDeltaTAndNutation(&date_, 0.0);
    }
    void TearDown() override {
        SetUserDataFolder("");
        ephemtest::GeneratedTables::TearDown();
    }
    testutil::TempDir dir_;
    DateRecord date_;
};

TEST_F(UserObjects, DesignationsRecogniseBuildAndName) {
    struct Case {
        const char *text;
        int objectClass;
        int32_t index;
        const char *name;  // the first part of the object's name
    } cases[] = {
        {"Barnard's Friend", kClassUserStar, 1, "Barnard's Friend"},
        {"my nebula", kClassUserDeepSky, 1, "My Nebula"},
        {"Home Mark", kClassSkyMark, 1, "Home Mark"},
        {"C/1995 O1 (Hale-Bopp)", kClassUserComet, 1, "C/1995 O1"},
        {"Hale-Bopp", kClassUserComet, 1, "C/1995 O1"},
        {"1P", kClassUserComet, 2, "1P"},
        {"(433) Eros", kClassUserMinorPlanet, 1, "(433) Eros"},
        {"Eros", kClassUserMinorPlanet, 1, "(433) Eros"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        char text[128];
        std::snprintf(text, sizeof text, "%s", c.text);
        ObjectRecord records[3];
        ASSERT_GE(IdentifyObjectText(text, 0.0, nullptr, &date_, 0.2, records), 1);
        EXPECT_EQ(+records[0].objectClass, c.objectClass);
        EXPECT_EQ(+records[0].index, c.index);
        char name[kDesignationTextSize];
        ASSERT_EQ(FormatObjectName(&records[0], name, nullptr, nullptr, nullptr, nullptr), 1);
        EXPECT_EQ(std::string(name).compare(0, std::strlen(c.name), c.name), 0) << name;
    }
    // The deep-sky object's type gives its category; a comet carries its coma.
    char text[64] = "My Nebula";
    ObjectRecord records[3];
    ASSERT_GE(IdentifyObjectText(text, 0.0, nullptr, &date_, 0.2, records), 1);
    EXPECT_EQ(+records[0].categoryBits, 0x800u);
    EXPECT_NEAR(+records[0].sizeMajor, 12.0 * kPi / 10800.0, 1e-7);
    std::snprintf(text, sizeof text, "Hale-Bopp");
    ASSERT_GE(IdentifyObjectText(text, 0.0, nullptr, &date_, 0.2, records), 1);
    EXPECT_GT(+records[0].sizeMajor, 0.0f);
    EXPECT_EQ(+records[0].condensation, 7);
}

TEST_F(UserObjects, TheMinorPlanetRecordHoldsTheStorePlace) {
    char text[64] = "Eros";
    ObjectRecord records[3];
    ASSERT_GE(IdentifyObjectText(text, 0.0, nullptr, &date_, 0.2, records), 1);
    int32_t count = 0;
    FILE *f = OpenUserMinorPlanetFile(&count);
    ASSERT_TRUE(f);
    double ra = 0, dec = 0, magnitude = 0;
    ASSERT_EQ(ComputeUserMinorPlanetPosition(f, &date_, records[0].index, nullptr, nullptr, &ra, &dec, nullptr,
                                             nullptr, nullptr, &magnitude, nullptr, nullptr, nullptr),
              1);
    SafeClose(f);
    EXPECT_NEAR(+records[0].raCatalogue, ra, 1e-9);
    EXPECT_NEAR(+records[0].decCatalogue, dec, 1e-9);
    EXPECT_NEAR(+records[0].magnitude, magnitude, 1e-4);
}

TEST_F(UserObjects, NameSearchesOfUserMinorPlanetsAndComets) {
    int classes[8], scores[8];
    int32_t ids[8];
    EXPECT_EQ(SearchUserMinorPlanetNames("Eros", classes, ids, scores, 8), 1);
    EXPECT_EQ(classes[0], kClassUserMinorPlanet);
    EXPECT_EQ(ids[0], 1);
    // A name that begins with a digit only for a query that does.
    EXPECT_EQ(SearchUserMinorPlanetNames("2001 QX", classes, ids, scores, 8), 1);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(SearchUserCometNames("Halley", classes, ids, scores, 8), 1);
    EXPECT_EQ(classes[0], kClassUserComet);
    EXPECT_EQ(ids[0], 2);
}

}  // namespace
