// Tests of the packaged comets and minor planets as objects: their
// designation lists (with and without preferences).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
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

    // A hidden number gives no "nP" form and labels the comet as unnumbered.
    FormatCometDesignations(nullptr, 'P', 0x8000 | 12, "", "Pons-Brooks", list.get(), 0, 0, &first,
                            nullptr);
    ASSERT_EQ(list->count, 2);
    EXPECT_STREQ(list->entries[0], "P (Pons-Brooks)");
    EXPECT_STREQ(list->entries[1], "Pons-Brooks");
    EXPECT_EQ(+first.form, 2);
}

}  // namespace
