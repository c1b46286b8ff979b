// Tests of the packaged comets and minor planets as objects: their
// designation lists (with and without preferences), the builders by every
// designation kind, recognition of typed comet and minor-planet texts, the
// object names, the place for a date, and the name search through the
// object layer's matcher.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/location.h"
#include "core/userfolder.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/tests/mbfixture.h"
#include "objects/buildrecord.h"
#include "objects/minorbodytexts.h"
#include "objects/namesearch.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"

namespace {

using namespace ephemtest;

std::unique_ptr<DesignationList> NewList() {
    std::unique_ptr<DesignationList> list(new DesignationList);
    std::memset(list.get(), 0, sizeof *list);
    return list;
}

TEST(MinorBodyDesignations, MinorPlanetForms) {
    auto list = NewList();
    DesignationParts first, second;
    ASSERT_EQ(FormatMinorPlanetDesignations(nullptr, 4, "Vesta", list.get(), 0, 0, &first, &second), 1);
    ASSERT_EQ(list->count, 2);
    EXPECT_STREQ(list->entries[0], "(4) Vesta");
    EXPECT_STREQ(list->entries[1], "Vesta");
    EXPECT_EQ(+first.plain, 0);
    EXPECT_EQ(+first.form, 1);
    EXPECT_EQ(+first.first, 4);
    EXPECT_STREQ(first.catalogue, "0");
    EXPECT_EQ(+second.plain, 1);
    // Unnumbered: the name twice.
    FormatMinorPlanetDesignations(nullptr, 0, "1999 AA", list.get(), 0, 0, &first, nullptr);
    ASSERT_EQ(list->count, 2);
    EXPECT_STREQ(list->entries[0], "1999 AA");
    EXPECT_STREQ(list->entries[1], "1999 AA");
    EXPECT_EQ(+first.plain, 1);
    // Preferences: form 2 first ("MPN n"), then form 0; a maximum of 1.
    std::unique_ptr<DesignationPreferences> prefs(new DesignationPreferences);
    std::memset(prefs.get(), 0, sizeof *prefs);
    prefs->order[kFamilyMinorPlanetsRow][0] = 2;
    prefs->order[kFamilyMinorPlanetsRow][1] = 0;
    prefs->enabled[kFamilyMinorPlanetsRow][0] = 1;
    prefs->enabled[kFamilyMinorPlanetsRow][1] = 1;
    FormatMinorPlanetDesignations(prefs.get(), 433, "Eros", list.get(), 0, 0, &first, nullptr);
    ASSERT_EQ(list->count, 2);
    EXPECT_STREQ(list->entries[0], "MPN 433");
    EXPECT_STREQ(first.catalogue, "MPN");
    EXPECT_STREQ(list->entries[1], "(433) Eros");
    FormatMinorPlanetDesignations(prefs.get(), 433, "Eros", list.get(), 1, 0, nullptr, nullptr);
    EXPECT_EQ(list->count, 1);
    // Nothing enabled: built again with every form.
    prefs->enabled[kFamilyMinorPlanetsRow][0] = 0;
    prefs->enabled[kFamilyMinorPlanetsRow][1] = 0;
    FormatMinorPlanetDesignations(prefs.get(), 433, "Eros", list.get(), 0, 0, nullptr, nullptr);
    EXPECT_EQ(list->count, 2);
}

TEST(MinorBodyDesignations, CometForms) {
    auto list = NewList();
    DesignationParts first, second;
    FormatCometDesignations(nullptr, 'P', 1, "", "Halley", list.get(), 0, 0, &first, &second);
    ASSERT_EQ(list->count, 3);
    EXPECT_STREQ(list->entries[0], "1P/Halley");
    EXPECT_STREQ(list->entries[1], "1P");
    EXPECT_STREQ(list->entries[2], "Halley");
    EXPECT_EQ(+first.form, 1);
    EXPECT_EQ(+first.first, 1);
    EXPECT_STREQ(first.catalogue, "1");
    EXPECT_EQ(+second.plain, 1);  // the last form added: the name

    FormatCometDesignations(nullptr, 'C', 0, "2020 F3", "NEOWISE", list.get(), 0, 0, &first, &second);
    ASSERT_EQ(list->count, 3);
    EXPECT_STREQ(list->entries[0], "C/2020 F3 (NEOWISE)");
    EXPECT_STREQ(list->entries[1], "2020 F3");
    EXPECT_STREQ(list->entries[2], "NEOWISE");
    EXPECT_EQ(+first.form, 2);
    EXPECT_EQ(+first.first, 2020);
    EXPECT_EQ(+first.second, 63);  // F3: 10 x 5 + 3 + 10
    EXPECT_STREQ(first.catalogue, "C");

    // A fragment of a split comet keeps its letters in the short form: "73P"
    // names the whole comet.
    FormatCometDesignations(nullptr, 'P', 73, "", "Schwassmann-Wachmann 3-B", list.get(), 0, 0, &first,
                            nullptr);
    ASSERT_EQ(list->count, 3);
    EXPECT_STREQ(list->entries[0], "73P/Schwassmann-Wachmann 3-B");
    EXPECT_STREQ(list->entries[1], "73P-B");

    // A hidden number gives no "nP" form and labels the comet as unnumbered.
    FormatCometDesignations(nullptr, 'P', 0x8000 | 12, "", "Pons-Brooks", list.get(), 0, 0, &first,
                            nullptr);
    ASSERT_EQ(list->count, 2);
    EXPECT_STREQ(list->entries[0], "P (Pons-Brooks)");
    EXPECT_STREQ(list->entries[1], "Pons-Brooks");
    EXPECT_EQ(+first.form, 2);
}

class MinorBodyObjects : public mbtest::PackagedDatabase {
protected:
    DateRecord Date() { return DateAtTT(2459800.5, 69.0); }
    int Build(int cls, int kind, int number, const char *text, ObjectRecord *out) {
        DateRecord date = Date();
        return BuildObjectRecord(cls, kind, ' ', number, text, -0.0145, nullptr, &date, 0.0, out);
    }
};

TEST_F(MinorBodyObjects, BuildersByKind) {
    ObjectRecord r[3];
    struct Case { int cls, kind, number; const char *text; int index; };
    const int neowise = FindCometByDesignation("2020 F3");
    ASSERT_GT(neowise, 0);
    const Case cases[] = {
        {kClassComet, 1, 0, "C/2020 F3 (NEOWISE)", -1},  // Full Designation finds nothing
        {kClassComet, 2, 0, "1", 0},
        {kClassComet, 3, 0, "2020 F3", neowise},
        {kClassComet, 4, 0, "NEOWISE 2020 F3", neowise},
        {kClassComet, 4, 0, "Halley", 0},
        {kClassComet, 3, 0, "1800 Z9", -1},
        {kClassComet, 0, neowise + 1, "", neowise},
        {kClassMinorPlanet, 1, 0, "vesta", 4},
        {kClassMinorPlanet, 1, 0, "433 Eros", 433},
        {kClassMinorPlanet, 1, 0, "(4) Vesta", 4},
        {kClassMinorPlanet, 1, 0, "Eros (433)", 433},
        {kClassMinorPlanet, 1, 0, "4 Eros", -1},  // number and name of two minor planets
        {kClassMinorPlanet, 2, 0, "433", 433},
        {kClassMinorPlanet, 2, 0, "0", -1},
        {kClassMinorPlanet, 0, 2, "", 2},
    };
    for (const Case &c : cases) {
        int n = Build(c.cls, c.kind, c.number, c.text, r);
        if (c.index < 0) {
            EXPECT_EQ(n, 0) << c.text;
            continue;
        }
        ASSERT_EQ(n, 1) << c.text;
        EXPECT_EQ(+r[0].index, c.index) << c.text;
        EXPECT_LT(+r[0].magnitude, 30.0f) << c.text;
    }
    // Ceres: the catalogue place is the astrometric place, the distance in
    // light years.
    ASSERT_EQ(Build(kClassMinorPlanet, 2, 0, "1", r), 1);
    EXPECT_NEAR(r[0].raCatalogue / kDegree, (8 + 43 / 60.0 + 14.0 / 3600) * 15, 0.01);
    EXPECT_NEAR(r[0].decCatalogue / kDegree, 23 + 36 / 60.0 + 8 / 3600.0, 0.01);
    EXPECT_NEAR(r[0].distanceLightYears, 3.564 / 63241.08, 1e-7);
    // Without a date nothing is built.
    EXPECT_EQ(BuildObjectRecord(kClassMinorPlanet, 2, ' ', 0, "1", -0.0145, nullptr, nullptr, 0.0, r), 0);
}

TEST_F(MinorBodyObjects, RecognitionNamesAndPlaces) {
    DateRecord date = Date();
    struct Case { const char *text; int cls, index; };
    const int neowise = FindCometByDesignation("2020 F3");
    const int encke = FindCometByNumber(2);
    // The fragments of 73P (the generated file holds the whole comet and
    // dozens of fragments, each a comet with its own orbit).
    const int whole = FindCometByNumberAndFragment(73, "");
    const int fragmentB = FindCometByNumberAndFragment(73, "B");
    const int fragmentC = FindCometByNumberAndFragment(73, "C");
    ASSERT_GE(whole, 0);
    ASSERT_GT(fragmentB, 0);
    ASSERT_GT(fragmentC, 0);
    EXPECT_EQ(FindCometByNumber(73), whole);
    EXPECT_NE(fragmentB, fragmentC);
    const Case cases[] = {
        {"C/2020 F3 (NEOWISE)", kClassComet, neowise},
        {"2P/Encke", kClassComet, encke},
        {"73P", kClassComet, whole},
        {"73P/Schwassmann-Wachmann 3", kClassComet, whole},
        {"73P-B", kClassComet, fragmentB},
        {"73P-C/Schwassmann-Wachmann 3", kClassComet, fragmentC},
        {"73P/Schwassmann-Wachmann 3-B", kClassComet, fragmentB},
        {"Schwassmann-Wachmann 3-C", kClassComet, fragmentC},
        {"(4) Vesta", kClassMinorPlanet, 4},
        {"MPN 433", kClassMinorPlanet, 433},
    };
    for (const Case &c : cases) {
        ObjectRecord r[3];
        char text[128];
        std::snprintf(text, sizeof text, "%s", c.text);
        ASSERT_GE(IdentifyObjectText(text, -0.0145, nullptr, &date, 0.0, r), 1) << c.text;
        EXPECT_EQ(+r[0].objectClass, c.cls) << c.text;
        EXPECT_EQ(+r[0].index, c.index) << c.text;
    }

    ObjectRecord r[3];
    ASSERT_EQ(BuildObjectRecord(kClassMinorPlanet, 2, ' ', 0, "4", -0.0145, nullptr, &date, 0.0, r), 1);
    char name[kDesignationTextSize], second[kDesignationTextSize];
    ASSERT_EQ(FormatObjectName(&r[0], name, nullptr, second, nullptr, nullptr), 1);
    EXPECT_STREQ(name, "(4) Vesta");
    EXPECT_STREQ(second, "Vesta");
    ASSERT_EQ(BuildObjectRecord(kClassComet, 3, ' ', 0, "2020 F3", -0.0145, nullptr, &date, 0.0, r), 1);
    ASSERT_EQ(FormatObjectName(&r[0], name, nullptr, second, nullptr, nullptr), 1);
    EXPECT_STREQ(name, "C/2020 F3 (NEOWISE)");

    // The place of date: the astrometric place carried to the equinox of
    // date (2022.6: about 0.3 degrees of precession) and apparent.
    double ra = 0, dec = 0;
    ASSERT_EQ(ComputeMovingObjectPlace(nullptr, &date, 0.0, kClassMinorPlanet, 1, &ra, &dec), 1);
    double ara = 0, adec = 0;
    MinorPlanetEphemeris *h = OpenMinorPlanetEphemeris();
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(ComputeMinorPlanetPosition(h, &date, 1, &ara, &adec, nullptr, nullptr, nullptr, nullptr), 1);
    CloseMinorPlanetEphemeris(h);
    double sep = AngularSeparation(ra, dec, ara, adec) / kDegree;
    EXPECT_GT(sep, 0.2);
    EXPECT_LT(sep, 0.4);
    EXPECT_EQ(ComputeMovingObjectPlace(nullptr, &date, 0.0, kClassMinorPlanet, 0, &ra, &dec), 0);
    EXPECT_EQ(ComputeMovingObjectPlace(nullptr, &date, 0.0, kClassComet, neowise, &ra, &dec), 1);
}

TEST_F(MinorBodyObjects, NameSearchFindsMinorBodies) {
    std::unique_ptr<ObjectRecord[]> records(new ObjectRecord[20]);
    DateRecord date = Date();
    int n = SearchObjectsByName("Vesta", -0.0145, nullptr, &date, 0.0, kSearchScopeSolarSystem,
                                records.get(), 20);
    bool vesta = false;
    for (int i = 0; i < n; ++i)
        if (records[i].objectClass == kClassMinorPlanet && records[i].index == 4) vesta = true;
    EXPECT_TRUE(vesta);
    n = SearchObjectsByName("Encke", -0.0145, nullptr, &date, 0.0, kSearchScopeSolarSystem,
                            records.get(), 20);
    bool comet = false;
    for (int i = 0; i < n; ++i)
        if (records[i].objectClass == kClassComet) comet = true;
    EXPECT_TRUE(comet);
}

// A user's comet with the very elements of a packaged one rises and sets
// with it: both have their events searched with the place recomputed along
// the night. NEOWISE near its closest approach moved several degrees a day,
// so a place taken once at midnight puts its rise minutes off.
TEST_F(MinorBodyObjects, UserCometRisesWithThePackagedOne) {
    testutil::TempDir user;
    SetUserDataFolder(user.path().c_str());
    const int neowise = FindCometByDesignation("2020 F3");
    ASSERT_GT(neowise, 0);
    DateRecord date = DateAtTT(2459050.5, 69.0);
    FILE *packaged = OpenCometElementsFile();
    ASSERT_NE(packaged, nullptr);
    CometRecord set;
    ASSERT_GT(ReadBestCometSet(packaged, neowise, date.centuriesTT, &set), 0);
    std::fclose(packaged);
    FILE *f = OpenUserCometFile(nullptr);
    ASSERT_NE(f, nullptr);
    set.objectId = 0;
    ASSERT_EQ(AddUserCometElements(&f, &set, 1, 1), 1);
    CometRecord found;
    const int32_t id = FindUserCometId(f, nullptr, "2020 F3", nullptr, &found);
    std::fclose(f);
    ASSERT_GT(id, 0);

    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    InitLocationRecord(&site, 0.0, 30.0 * kDegree, 0.0, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0, "Site");
    ObjectRecord mine[3], theirs[3];
    ASSERT_EQ(BuildObjectRecord(kClassUserComet, 0, ' ', id, "", -0.0145, &site, &date, 0.0, mine), 1);
    ASSERT_EQ(BuildObjectRecord(kClassComet, 0, ' ', neowise + 1, "", -0.0145, &site, &date, 0.0, theirs), 1);
    ASSERT_EQ(ComputeObjectRiseTransitSet(&site, &date, 0.0, 0.0, mine), 1);
    ASSERT_EQ(ComputeObjectRiseTransitSet(&site, &date, 0.0, 0.0, theirs), 1);
    const double minute = 1.0 / 60.0;
    const double rise = theirs[0].riseTime, setting = theirs[0].setTime, transit = theirs[0].transitTime;
    ASSERT_GT(rise, 0.0);
    EXPECT_NEAR(double{mine[0].riseTime}, rise, minute);
    EXPECT_NEAR(double{mine[0].setTime}, setting, minute);
    EXPECT_NEAR(double{mine[0].transitTime}, transit, minute);

    // The place itself, and nothing for an id the store does not hold.
    double ra = 0, dec = 0, pra = 0, pdec = 0;
    ASSERT_EQ(ComputeMovingObjectPlace(&site, &date, 0.0, kClassUserComet, id, &ra, &dec), 1);
    ASSERT_EQ(ComputeMovingObjectPlace(&site, &date, 0.0, kClassComet, neowise, &pra, &pdec), 1);
    EXPECT_LT(AngularSeparation(ra, dec, pra, pdec), 1e-6);
    EXPECT_EQ(ComputeMovingObjectPlace(&site, &date, 0.0, kClassUserComet, id + 7, &ra, &dec), 0);
    EXPECT_EQ(ComputeMovingObjectPlace(&site, &date, 0.0, kClassUserMinorPlanet, 1, &ra, &dec), 0);
    SetUserDataFolder(nullptr);
}

}  // namespace
