// Recognition over the demo catalogues as the importer calls it: texts as
// observers write them become the right object, and the object is named (the
// name is the designation the log stores).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/groupcat.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "objects/singlekind.h"
#include "objects/tests/democatalogues.h"

namespace {

class DemoRecognition : public ::testing::Test {
protected:
    void SetUp() override {
        if (!democat::UseDemoCatalogues()) GTEST_SKIP() << "no demo catalogues";
    }
    void TearDown() override { SetRefDirectories("", "", ""); }

    // Recognises the text through the importer's call; the count of records.
    static int Recognise(const char *text, ObjectRecord records[3]) {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, "%s", text);
        std::memset(records, 0, 3 * sizeof(ObjectRecord));
        return IdentifyObjectText(buffer, 0.0, nullptr, nullptr, 0.2, records);
    }
};

TEST_F(DemoRecognition, GalaxyGroupsAndQuasarsAreNamed) {
    const struct {
        const char *text;
        int objectClass;
        const char *name;        // by the default preferences
        const char *ownKind;     // by the record's own kind
    } cases[] = {
        {"HCG 92", kClassGalaxyGroup, "Stephan's Quintet", "Hickson 92"},
        {"Hickson 92", kClassGalaxyGroup, "Stephan's Quintet", "Hickson 92"},
        {"ACO 1656", kClassGalaxyGroup, "Coma Cluster", "ACO 1656"},
        {"Abell Galaxy Cluster 426", kClassGalaxyGroup, nullptr, nullptr},
        {"Coma Cluster", kClassGalaxyGroup, "Coma Cluster", "Coma Cluster"},
        {"3C 273", kClassQuasar, "3C 273", "3C 273"},
        {"Q1226+023", kClassQuasar, "3C 273", "Q1226+"},
        {"3C 48", kClassQuasar, "3C 48", "3C 48"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        ObjectRecord r[3];
        int n = Recognise(c.text, r);
        if (!c.name) {
            // Not a form the recogniser knows: nothing, rather than another object.
            EXPECT_TRUE(n <= 0 || r[0].objectClass == kClassGalaxyGroup);
            continue;
        }
        ASSERT_GE(n, 1);
        EXPECT_EQ(r[0].objectClass, c.objectClass);
        char name[kDesignationTextSize] = "x";
        EXPECT_NE(FormatObjectName(&r[0], name, nullptr, nullptr, nullptr, nullptr), 0);
        EXPECT_STREQ(name, c.name);
        char own[kDesignationTextSize] = "x";
        EXPECT_NE(FormatObjectNameOfKind(&r[0], own), 0);
        // The Hewitt-Burbidge text's declination width is the catalogue's.
        EXPECT_EQ(std::string(own).compare(0, std::strlen(c.ownKind), c.ownKind), 0) << own;
    }
}

// The group numbering has empty slots between the groups the demo holds: a
// designation of one is not recognised (it would lie at RA 0, Dec 0).
TEST_F(DemoRecognition, EmptyGroupSlotsAreNoObjects) {
    for (const char *text : {"ACO 1", "ACO 1000", "HCG 1", "Abell 1655"}) {
        SCOPED_TRACE(text);
        ObjectRecord r[3];
        int n = Recognise(text, r);
        for (int i = 0; i < n && i < 3; ++i)
            EXPECT_FALSE(r[i].raCatalogue == 0.0 && r[i].decCatalogue == 0.0);
        if (n > 0) {
            EXPECT_NE(r[0].objectClass, kClassGalaxyGroup);
        }
    }
}

TEST_F(DemoRecognition, GroupAndQuasarKindTexts) {
    FILE *f = OpenGalaxyGroupCatalogue();
    ASSERT_NE(f, nullptr);
    GalaxyGroupRecord g;
    std::memset(&g, 0, sizeof g);
    ASSERT_EQ(ReadGalaxyGroupRecord(f, GalaxyGroupOfHicksonNumber(92), &g, -1), 1);
    std::fclose(f);
    char text[kDesignationTextSize];
    DesignationParts parts;
    EXPECT_EQ(GalaxyGroupDesignationOfKind(&g, 2, text, &parts), 1);
    EXPECT_STREQ(text, "Hickson 92");
    int plain = parts.plain, form = parts.form;   // packed fields
    EXPECT_EQ(plain, 1);
    EXPECT_EQ(form, 0);
    EXPECT_EQ(GalaxyGroupDesignationOfKind(&g, 1, text, &parts), 0);   // no ACO number
    EXPECT_STREQ(text, "");
    EXPECT_EQ(GalaxyGroupDesignationOfKind(&g, 0, text, nullptr), 1);
    EXPECT_STREQ(text, "Stephan's Quintet");
    EXPECT_EQ(GalaxyGroupDesignationOfKind(&g, 3, text, nullptr), -1);

    f = OpenQuasarCatalogue();
    ASSERT_NE(f, nullptr);
    QuasarRecord q;
    std::memset(&q, 0, sizeof q);
    ASSERT_EQ(ReadQuasarRecord(f, 0, &q, -1), 1);
    std::fclose(f);
    EXPECT_EQ(QuasarDesignationOfKind(&q, 1, text, nullptr), 1);
    EXPECT_STREQ(text, "3C 273");
    EXPECT_EQ(QuasarDesignationOfKind(&q, 2, text, nullptr), 1);
    EXPECT_EQ(std::string(text).compare(0, 6, "Q1226+"), 0) << text;
    EXPECT_EQ(QuasarDesignationOfKind(&q, 3, text, nullptr), -1);
}

}  // namespace
