// Recognition over the demo catalogues as the importer calls it: texts as
// observers write them become the right object, and the object is named (the
// name is the designation the log stores).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "objects/groupcat.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "objects/singlekind.h"
#include "objects/tests/democatalogues.h"
#include "testutil/testutil.h"

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

struct TableRow {
    std::string text;
    int objectClass = 0;
    double ra = 0, dec = 0;      // degrees, J2000
    double tolerance = 0;        // arcseconds
};

// objects/tests/data/observer_designations.tsv, written from the public
// catalogues by tools/gen_designation_table.py.
std::vector<TableRow> ReadTable() {
    std::vector<TableRow> rows;
    std::ifstream in(testutil::SourceDir() + "/objects/tests/data/observer_designations.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::stringstream fields(line);
        TableRow r;
        std::string cls, ra, dec, tol;
        if (std::getline(fields, r.text, '\t') && std::getline(fields, cls, '\t') &&
            std::getline(fields, ra, '\t') && std::getline(fields, dec, '\t') &&
            std::getline(fields, tol, '\t')) {
            r.objectClass = std::atoi(cls.c_str());
            r.ra = std::atof(ra.c_str());
            r.dec = std::atof(dec.c_str());
            r.tolerance = std::atof(tol.c_str());
            rows.push_back(r);
        }
    }
    return rows;
}

// Angular separation in arcseconds of two places given in radians.
double SeparationArcsec(double ra1, double dec1, double ra2, double dec2) {
    double c = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    if (c > 1) c = 1;
    if (c < -1) c = -1;
    return std::acos(c) * 180.0 / 3.14159265358979323846 * 3600.0;
}

// Every designation of the table gives its object: the class it must have
// and a place within 1' of the catalogue's (5" for stars). A wrong object is
// worse than none, so a designation recognised as something else fails too.
TEST_F(DemoRecognition, ObserversDesignationsGiveTheirObjects) {
    std::vector<TableRow> rows = ReadTable();
    ASSERT_GE(rows.size(), 300u);
    const double kDeg = 3.14159265358979323846 / 180.0;
    int failures = 0;
    for (const TableRow &row : rows) {
        ObjectRecord r[3];
        int n = Recognise(row.text.c_str(), r);
        bool classOk = n >= 1 && r[0].objectClass == row.objectClass;
        double sep = n >= 1 ? SeparationArcsec(r[0].raCatalogue, r[0].decCatalogue, row.ra * kDeg,
                                               row.dec * kDeg)
                            : -1;
        if (!classOk || sep > row.tolerance || sep < 0) {
            ++failures;
            ADD_FAILURE() << "\"" << row.text << "\": " << n << " records, class "
                          << (n >= 1 ? +r[0].objectClass : -1) << " (want " << row.objectClass
                          << "), " << sep << "\" from the catalogue place";
        }
    }
    std::printf("%zu designations, %d not giving their object\n", rows.size(), failures);
}

// Texts whose wrong reading would give another object than the one the
// observer meant: a group's name is not one of its members, the cluster of a
// cluster-and-nebula complex is not the nebula, a star's Bayer form that a
// nebula's source also lists is the star, a star that shares its name with a
// minor planet stays the star. Texts that name nothing stay unrecognised
// rather than become a minor planet or a comet.
TEST_F(DemoRecognition, TextsNeverGiveAWrongObject) {
    const int kNothing = -1;
    const struct {
        const char *text;
        int objectClass;   // the class it must give, or kNothing
    } cases[] = {
        {"Leo Triplet", kClassGalaxyGroup},
        {"Markarian's Chain", kClassGalaxyGroup},
        {"Christmas Tree Cluster", kClassOpenCluster},
        {"gam Cyg", kClassStar},
        {"gamma Cygni", kClassStar},
        {"Merope", kClassStar},
        {"Asterope", kClassStar},
        {"Albireo", kClassStar},
        {"24 Cap", kClassStar},
        {"Omega Centauri", kClassGlobularCluster},
        {"47 Tuc", kClassGlobularCluster},
        {"seeing 3", kNothing},
        {"transparency good", kNothing},
        {"no object", kNothing},
        {"Leo Trio", kNothing},
        {"M 0", kNothing},
        {"M 111", kNothing},
        {"NGC 0", kNothing},
        {"HCG 0", kNothing},
        {"clouds", kNothing},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        ObjectRecord r[3];
        int n = Recognise(c.text, r);
        for (int i = 0; i < n && i < 3; ++i) {
            EXPECT_NE(+r[i].objectClass, kClassMinorPlanet);
            EXPECT_NE(+r[i].objectClass, kClassComet);
        }
        if (c.objectClass == kNothing) {
            EXPECT_LE(n, 0) << "class " << (n >= 1 ? +r[0].objectClass : -1);
        } else {
            ASSERT_GE(n, 1);
            EXPECT_EQ(+r[0].objectClass, c.objectClass);
        }
    }
}

// A named group stands where its galaxies are and is larger than they
// spread, and none of its galaxies carries its name.
TEST_F(DemoRecognition, NamedGroupIsNoneOfItsMembers) {
    ObjectRecord group[3], member[3];
    ASSERT_GE(Recognise("Leo Triplet", group), 1);
    ASSERT_EQ(+group[0].objectClass, kClassGalaxyGroup);
    const char *members[] = {"M 65", "M 66", "NGC 3628"};
    for (const char *m : members) {
        SCOPED_TRACE(m);
        ASSERT_GE(Recognise(m, member), 1);
        EXPECT_EQ(+member[0].objectClass, kClassGalaxy);
        double sep = SeparationArcsec(group[0].raCatalogue, group[0].decCatalogue,
                                      member[0].raCatalogue, member[0].decCatalogue);
        EXPECT_LT(sep, 60.0 * 60.0);   // within a degree
        char name[kDesignationTextSize] = "";
        ASSERT_NE(FormatObjectName(&member[0], name, nullptr, nullptr, nullptr, nullptr), 0);
        EXPECT_STRNE(name, "Leo Triplet");
    }
}

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

// The group numbering has empty slots where the source holds no group (ACO
// numbers it lacks, Hickson groups without members): a designation of one is
// not recognised (it would lie at RA 0, Dec 0), one of a real group is.
TEST_F(DemoRecognition, EmptyGroupSlotsAreNoObjects) {
    FILE *f = OpenGalaxyGroupCatalogue();
    ASSERT_NE(f, nullptr);
    int empty = 0, real = 0;
    for (int number = 1; number <= kLastAcoNumber + 100; ++number) {
        GalaxyGroupRecord g;
        std::memset(&g, 0, sizeof g);
        if (!ReadGalaxyGroupRecord(f, number, &g, -1)) break;
        bool hickson = number > kLastAcoNumber;
        int n = hickson ? number - kLastAcoNumber : number;
        bool slot = g.acoNumber == 0 && g.hicksonNumber == 0;
        if (!slot && real >= 20) continue;   // a sample of the real groups is enough
        char text[32];
        std::snprintf(text, sizeof text, hickson ? "HCG %d" : "ACO %d", n);
        SCOPED_TRACE(text);
        ObjectRecord r[3];
        int found = Recognise(text, r);
        if (slot) {
            ++empty;
            EXPECT_TRUE(found <= 0 || r[0].objectClass != kClassGalaxyGroup);
            for (int i = 0; i < found && i < 3; ++i)
                EXPECT_FALSE(r[i].raCatalogue == 0.0 && r[i].decCatalogue == 0.0);
        } else {
            ++real;
            ASSERT_GE(found, 1);
            EXPECT_EQ(r[0].objectClass, kClassGalaxyGroup);
            EXPECT_EQ(+r[0].index, number);
            EXPECT_FALSE(r[0].raCatalogue == 0.0 && r[0].decCatalogue == 0.0);
        }
    }
    std::fclose(f);
    EXPECT_GT(empty, 0);   // the source lacks a few numbers: the case is exercised
    EXPECT_GT(real, 0);
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

