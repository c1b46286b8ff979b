// The designations a star of a double-star system or a variable star lists
// from the demo catalogues: discoverer, CCDM and ADS identifiers with the
// component letter, and the variable-star name.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "objects/buildrecord.h"
#include "objects/categories.h"
#include "objects/ccdmcat.h"
#include "objects/designationlist.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/starcat.h"
#include "objects/stardes.h"
#include "objects/tests/democatalogues.h"
#include "objects/variablecat.h"

namespace {

// Star designation kinds of the builder are the preference slots + 1.
const int kBuildKindVariable = kStarVariable + 1;

class DemoStarDesignations : public ::testing::Test {
protected:
    void SetUp() override {
        if (!democat::UseDemoCatalogues()) GTEST_SKIP() << "no demo catalogues";
    }
    void TearDown() override { SetRefDirectories("", "", ""); }
};

TEST_F(DemoStarDesignations, StarsListTheirVariableAndDoubleStarDesignations) {
    FILE *stars = OpenStarCatalogue();
    ASSERT_NE(stars, nullptr);
    std::unique_ptr<StarRecord> star(new StarRecord);
    std::unique_ptr<DesignationList> list(new DesignationList);
    DesignationParts parts[2];

    // epsilon-1 Lyr: STF 2382, WDS 18443+3940.
    const int lyr = FindDiscovererStar("STF 2382");
    ASSERT_GT(lyr, 0);
    ASSERT_EQ(ReadStarRecord(stars, lyr, star.get(), nullptr, 0xff), 1);
    const struct {
        int kind;
        char component;
        const char *text;
        const char *word;
        int form, n1, n2;
    } doubles[] = {
        {kStarWds, ' ', "STF2382", "", 0, 0, 0},
        {kStarCcdm, ' ', "CCDM 18443+3940", "CCDM", 2, 18443, 3940},
        {kStarCcdm, 'B', "CCDM 18443+3940B", "CCDM", 2, 18443, 3940},
        {kStarWds, 'B', "STF2382B", "", 0, 0, 0},
        {kStarCcdm, 'Q', nullptr, "", 0, 0, 0},  // no such component: nothing
        {kStarAds, ' ', nullptr, "", 0, 0, 0},   // no ADS number in the demo
    };
    for (const auto &d : doubles) {
        std::unique_ptr<DesignationPreferences> prefs(new DesignationPreferences);
        std::memset(prefs.get(), 0, sizeof *prefs);
        for (int p = 0; p < 60; ++p) prefs->order[0][p] = static_cast<uint8_t>(p);
        prefs->enabled[0][d.kind] = 1;
        prefs->starNameFlag = 1;
        ASSERT_EQ(FormatStarDesignations(prefs.get(), star.get(), d.component, list.get(), 0, 0,
                                         &parts[0], &parts[1]),
                  1);
        if (!d.text) {
            // Nothing of that kind: the second pass lists everything else,
            // and no entry is a CCDM text with the letter.
            for (int k = 0; k < list->count; ++k)
                EXPECT_EQ(std::string(list->entries[k]).find("CCDM 18443+3940Q"),
                          std::string::npos);
            continue;
        }
        ASSERT_EQ(list->count, 1) << d.text;
        EXPECT_STREQ(list->entries[0], d.text);
        EXPECT_STREQ(parts[0].catalogue, d.word) << d.text;
        // Packed fields: copied before gtest binds them.
        const int form = parts[0].form, n1 = parts[0].first, n2 = parts[0].second;
        const int plain = parts[0].plain;
        if (d.form) {
            EXPECT_EQ(form, d.form);
            EXPECT_EQ(n1, d.n1);
            EXPECT_EQ(n2, d.n2);
        } else {
            EXPECT_EQ(plain, 1) << d.text;
        }
    }
    // A southern system's CCDM parts carry the sign in the second number.
    {
        int primary = 0;
        ASSERT_GE(FindCcdmRecord({14396, 6050, '-'}, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, &primary, nullptr, nullptr, nullptr, 0),
                  1);
        ASSERT_EQ(ReadStarRecord(stars, primary, star.get(), nullptr, 0xff), 1);
        std::unique_ptr<DesignationPreferences> prefs(new DesignationPreferences);
        std::memset(prefs.get(), 0, sizeof *prefs);
        for (int p = 0; p < 60; ++p) prefs->order[0][p] = static_cast<uint8_t>(p);
        prefs->enabled[0][kStarCcdm] = 1;
        ASSERT_EQ(FormatStarDesignations(prefs.get(), star.get(), ' ', list.get(), 0, 0,
                                         &parts[0], &parts[1]),
                  1);
        ASSERT_EQ(list->count, 1);
        EXPECT_STREQ(list->entries[0], "CCDM 14396-6050");
        const int n1 = parts[0].first, n2 = parts[0].second;
        EXPECT_EQ(n1, 14396);
        EXPECT_EQ(n2, -6050);
    }

    // Mira lists its variable-star name among its designations, plain.
    std::unique_ptr<VariableStarFiles, void (*)(VariableStarFiles *)> files(
        OpenVariableStarFiles(), CloseVariableStarFiles);
    VariableStarRecord v;
    std::memset(&v, 0, sizeof v);
    ASSERT_EQ(FindVariableStarsByName(files.get(), "omi Cet", &v, 0x08), 1);
    ASSERT_EQ(ReadStarRecord(stars, v.star_1, star.get(), nullptr, 0xff), 1);
    ASSERT_EQ(FormatStarDesignations(nullptr, star.get(), ' ', list.get(), 0, 1, &parts[0],
                                     &parts[1]),
              1);
    bool listed = false;
    for (int k = 0; k < list->count; ++k) listed |= std::string(list->entries[k]) == "Omicron Cet";
    EXPECT_TRUE(listed);
    std::fclose(stars);

    // The object name of Mira by its own kind (variable) is that name.
    ObjectRecord r[3];
    std::memset(r, 0, sizeof r);
    ASSERT_GE(BuildObjectRecord(kClassStar, kBuildKindVariable, ' ', 0, "omi Cet", -0.0145,
                                nullptr, nullptr, 0.0, r),
              1);
    char name[65] = {0};
    EXPECT_NE(FormatObjectNameOfKind(&r[0], name), 0);
    EXPECT_STREQ(name, "Omicron Cet");
}

}  // namespace
