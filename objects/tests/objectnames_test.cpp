// Tests of object naming: the family tables, the byte layout of the
// preferences and the designation list, names that need no catalogue (bodies,
// anonymous and guide stars, bare positions, reference points), and names
// read through the generated star and deep-sky catalogues under the default
// table, a reordered table and tables that enable a single kind.
#include "objects/objectnames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/buildrecord.h"
#include "objects/conrects.h"
#include "objects/dsoxref.h"
#include "objects/objectrecord.h"
#include "objects/tests/stardata.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {

const double kDeg = kPi / 180.0;

ObjectRecord Record(int objectClass, int32_t index, int kind = 0) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = static_cast<uint8_t>(objectClass);
    r.index = index;
    r.kind = static_cast<uint8_t>(kind);
    return r;
}

std::string Name(const ObjectRecord &r, const DesignationPreferences *prefs = nullptr,
                 std::string *second = nullptr, int *result = nullptr) {
    char name[65] = "stale", other[65] = "stale";
    int n = FormatObjectName(&r, name, prefs, other, nullptr, nullptr);
    if (second) *second = other;
    if (result) *result = n;
    if (n == 0) {
        EXPECT_STREQ(name, "");
        EXPECT_STREQ(other, "");
    }
    return name;
}

TEST(ObjectNames, FamiliesKindsAndNames) {
    const int families[23] = {-1, -1, -1, 9, 10, 0, 1, 3, 4, 5, 7,
                              8,  -1, 9, 10, -1, 2, 6, -1, -1, -1, -1, -1};
    for (int c = 0; c < 23; ++c) EXPECT_EQ(DesignationFamilyOfClass(c), families[c]) << c;
    const int counts[11] = {20, 10, 3, 3, 14, 10, 5, 57, 7, 4, 2};
    for (int f = 0; f < 11; ++f) EXPECT_EQ(KindCountOfFamily(f), counts[f]) << f;
    EXPECT_EQ(KindCountOfFamily(-1), 0);
    EXPECT_EQ(KindCountOfFamily(11), 0);

    // Every kind a table can hold is reachable, including the last ones.
    struct { int family, kind; const char *name; } kinds[] = {
        {0, 1, "Common Name"}, {0, 20, "J coordinates"}, {1, 10, "PGC/LEDA"},
        {2, 3, "Hickson Compact Group (HCG)"}, {3, 2, "Discoverer Designation"},
        {4, 14, "Discovery Designation"}, {5, 9, "Lynd's Bright Neb (LBN)"},
        {6, 5, "Globule Designation"}, {7, 5, "Alessi"}, {7, 53, "Westerlund"},
        {7, 54, "vandenBergh"}, {7, 57, "OCL"}, {8, 7, "Discovery Designation"},
        {9, 4, "Discoverer Name"}, {10, 2, "Minor Planet Number/Name"},
        {7, 58, ""}, {9, 0, ""}, {11, 1, ""}, {-1, 1, ""}};
    for (const auto &k : kinds)
        EXPECT_STREQ(DesignationKindName(k.family, k.kind), k.name) << k.family << " " << k.kind;

    const char *names[11] = {"Stars", "Galaxies", "Galaxy Groups", "Quasars",
                             "Planetary Nebulae", "Diffuse Nebulae", "Dark Nebulae",
                             "Open Clusters", "Globular Clusters", "Comets", "Minor Planets"};
    int position = 0;
    char name[18];
    for (int i = 0; i < 11; ++i) {
        ASSERT_EQ(NextDesignationFamilyName(&position, name), 1);
        EXPECT_STREQ(name, names[i]);
        EXPECT_EQ(position, i + 1);
    }
    EXPECT_EQ(NextDesignationFamilyName(&position, name), 0);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(NextDesignationFamilyName(&position, name), 1);  // starts over
    EXPECT_STREQ(name, "Stars");
}

TEST(ObjectNames, PreferenceAndListBytes) {
    DesignationPreferences p;
    std::memset(&p, 0xAB, sizeof p);
    InitDesignationPreferences(&p);
    p.order[1][2] = 9;     // galaxies, position 2
    p.enabled[7][56] = 0;  // open clusters, position 56
    unsigned char b[1321];
    ASSERT_EQ(sizeof p, sizeof b);
    std::memcpy(b, &p, sizeof b);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[59], 59);
    EXPECT_EQ(b[60], 0);
    EXPECT_EQ(b[61], 1);
    EXPECT_EQ(b[62], 9);
    EXPECT_EQ(b[7 * 60 + 56], 56);
    EXPECT_EQ(b[659], 59);
    EXPECT_EQ(b[660], 1);
    EXPECT_EQ(b[660 + 7 * 60 + 56], 0);
    EXPECT_EQ(b[1319], 1);
    EXPECT_EQ(b[1320], 0);

    DesignationList list;
    std::memset(&list, 0, sizeof list);
    list.count = 0x01020304;
    std::snprintf(list.entries[1], 65, "NGC 224");
    const unsigned char *l = reinterpret_cast<const unsigned char *>(&list);
    EXPECT_EQ(l[0], 4);
    EXPECT_EQ(l[3], 1);
    EXPECT_EQ(std::memcmp(l + 69, "NGC 224", 8), 0);

    DesignationParts parts;
    std::memset(&parts, 0, sizeof parts);
    parts.plain = 7;
    std::snprintf(parts.catalogue, sizeof parts.catalogue, "GSC");
    parts.form = 2;
    parts.first = 0x11;
    parts.second = 0x22;
    parts.third = 0x33;
    const unsigned char *q = reinterpret_cast<const unsigned char *>(&parts);
    EXPECT_EQ(q[0], 7);
    EXPECT_EQ(std::memcmp(q + 1, "GSC", 4), 0);
    EXPECT_EQ(q[33], 2);
    EXPECT_EQ(q[37], 0x11);
    EXPECT_EQ(q[41], 0x22);
    EXPECT_EQ(q[45], 0x33);
}

TEST(ObjectNames, NamesWithoutCatalogues) {
    struct { int cls; int32_t index; int kind; const char *name; const char *second; } cases[] = {
        {2, 0, 0, "Sun", ""},
        {2, 5, 0, "Jupiter", ""},
        {2, 5, 1, "Io (Jupiter)", ""},
        {2, 6, 9, "Phoebe (Saturn)", ""},
        {2, 8, 1, "Triton (Neptune)", ""},
        {2, 8, 2, "", ""},         // Neptune has one named satellite
        {2, 3, 1, "", ""},         // the Earth's Moon is body 10, not a satellite
        {2, 10, 0, "Moon", ""},
        {2, 11, 0, "Earth Shadow", ""},
        {2, 12, 0, "", ""},
        {2, -1, 0, "", ""},
        {22, 3, 0, "Zenith", "Z"},
        {22, 1, 0, "North Celestial Pole", "NCP"},
        {22, 6, 0, "Galactic Center", ""},
        {22, 7, 0, "", ""},
        {22, 0, 0, "", ""},
        {16, 0, 0, "", ""},    // a galaxy group needs an index from 1
        {21, 5, 0, "", ""},    // no such class
        {0, 1, 0, "", ""},
    };
    for (const auto &c : cases) {
        ObjectRecord r = Record(c.cls, c.index, c.kind);
        std::string second;
        int result = -1;
        EXPECT_EQ(Name(r, nullptr, &second, &result), c.name) << c.cls << " " << c.index;
        EXPECT_EQ(second, c.second) << c.cls << " " << c.index;
        EXPECT_EQ(result != 0, c.name[0] != '\0') << c.cls << " " << c.index;
    }
    // A satellite stored as kind + 100 is named as that satellite, never as
    // the bare planet.
    ObjectRecord io = Record(2, 5, 1), stored = Record(2, 5, 101);
    EXPECT_EQ(Name(io), "Io (Jupiter)");
    EXPECT_EQ(Name(stored), "Io (Jupiter)");

    char name[65];
    EXPECT_EQ(FormatObjectName(nullptr, name, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(name, "");

    // A reference point is a plain name.
    DesignationParts parts;
    std::memset(&parts, 0xEE, sizeof parts);
    ObjectRecord pole = Record(22, 4);
    ASSERT_EQ(FormatObjectName(&pole, name, nullptr, nullptr, &parts, nullptr), 1);
    EXPECT_STREQ(name, "North Galactic Pole");
    EXPECT_EQ(+parts.plain, 1);
    EXPECT_EQ(parts.catalogue[0], '\0');
}

TEST(ObjectNames, StarsByPlaceAndGuideStarKeys) {
    ObjectRecord anonymous = Record(5, -2);
    anonymous.raCatalogue = (5 + 55 / 60.0 + 10.3 / 3600) * 15 * kDeg;
    anonymous.decCatalogue = (7 + 24 / 60.0 + 25.4 / 3600) * kDeg;
    EXPECT_EQ(Name(anonymous), "J055510.3+072425");

    ObjectRecord gsc = Record(5, MakeGuideStarKey(4767, 1093));
    char name[65];
    DesignationParts parts;
    std::memset(&parts, 0xEE, sizeof parts);
    ASSERT_EQ(FormatObjectName(&gsc, name, nullptr, nullptr, &parts, nullptr), 1);
    EXPECT_STREQ(name, "GSC 04767-1093");
    EXPECT_EQ(+parts.plain, 0);
    EXPECT_STREQ(parts.catalogue, "GSC");
    EXPECT_EQ(+parts.form, 2);
    EXPECT_EQ(+parts.first, 4767);
    EXPECT_EQ(+parts.second, 1093);
}

TEST(ObjectNames, BarePositionIsRightAscensionBlankDeclination) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    ASSERT_EQ(MakePositionObject(&r, (12 + 34 / 60.0 + 56.7 / 3600) * 15 * kDeg,
                                 -(5 + 6 / 60.0 + 7.0 / 3600) * kDeg),
              1);
    std::string name = Name(r);
    // "12h34m56.7s -05°06'07"" in the default angle style (0xB0 degree sign),
    // without the blank that pads the right ascension's field.
    EXPECT_EQ(name, "12h34m56.7s -05\xB0" "06'07\"");
    EXPECT_EQ(name.find("  "), std::string::npos);
}

// ---- through the generated catalogues ------------------------------------------------

class NamedStars : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!stardata::Use(&why)) GTEST_SKIP() << why;
        FreeConstellationRects();
    }
    void TearDown() override { FreeConstellationRects(); }
    ObjectRecord Star(int hip) {
        ObjectRecord out[3];
        EXPECT_EQ(BuildObjectRecord(5, 9, 0, hip, nullptr, 0.0, nullptr, nullptr, 0.2, out), 1);
        return out[0];
    }
};

TEST_F(NamedStars, OrderAndSingleKindTables) {
    ObjectRecord sirius = Star(32349);
    DesignationPreferences table;
    InitDesignationPreferences(&table);
    std::string second;
    EXPECT_EQ(Name(sirius, &table, &second), "Sirius");
    EXPECT_EQ(second, "Alpha CMa");

    // HD first.
    table.order[0][0] = 5;
    table.order[0][5] = 0;
    EXPECT_EQ(Name(sirius, &table, &second), "HD 48915");
    EXPECT_EQ(second, "Alpha CMa");

    // Only HIP enabled; only a kind the star lacks (NSV): the second walk
    // with every entry shown names it by the first designation in the
    // table's order (HD, moved to the front above).
    std::memset(table.enabled, 0, sizeof table.enabled);
    table.enabled[0][8] = 1;
    EXPECT_EQ(Name(sirius, &table), "HIP 32349");
    std::memset(table.enabled, 0, sizeof table.enabled);
    table.enabled[0][16] = 1;
    EXPECT_EQ(Name(sirius, &table), "HD 48915");

    // By its own kind: HD; a kind it lacks falls back to the natural order.
    char name[65];
    sirius.kind = 6;
    ASSERT_EQ(FormatObjectNameOfKind(&sirius, name), 1);
    EXPECT_STREQ(name, "HD 48915");
    sirius.kind = 17;
    ASSERT_EQ(FormatObjectNameOfKind(&sirius, name), 1);
    EXPECT_STREQ(name, "Sirius");
    sirius.kind = 0;
    EXPECT_EQ(FormatObjectNameOfKind(&sirius, name), 0);
    EXPECT_STREQ(name, "");
    sirius.kind = 21;
    EXPECT_EQ(FormatObjectNameOfKind(&sirius, name), 0);

    // A constellation from the names file.
    ObjectRecord cma = Record(1, 0);
    EXPECT_FALSE(Name(cma).empty());
}

#ifndef _WIN32
// The small generated deep-sky catalogue: M 31 is named by its common name,
// by NGC when NGC comes first, and by a single enabled kind.
TEST(ObjectNamesDeepSky, GalaxyByPreferences) {
    std::string source = testutil::SourceDir();
    if (source.empty() || std::system("python3 -c 0 > /dev/null 2>&1") != 0) GTEST_SKIP();
    testutil::TempDir dir;
    std::string cmd = "python3 " + source + "/tools/gen_deepsky.py --small --ref " + dir.path() +
                      "/ref --cat " + dir.path() + "/cat > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    SetRefDirectories((dir.path() + "/ref").c_str(), (dir.path() + "/cat").c_str(),
                      dir.path().c_str());
    int type = 0, record = 0;
    FILE *messier = OpenMessierCrossIndex();
    ASSERT_NE(messier, nullptr);
    int found = ReadMessierCrossIndex(messier, 31, &type, &record);
    std::fclose(messier);
    ASSERT_EQ(found, 1);
    ObjectRecord m31 = Record(6, record);

    DesignationPreferences table;
    InitDesignationPreferences(&table);
    std::string second;
    EXPECT_EQ(Name(m31, &table, &second), "Andromeda Galaxy");
    EXPECT_EQ(second, "M 31");
    EXPECT_EQ(Name(m31, nullptr, &second), "Andromeda Galaxy");

    table.order[1][0] = 2;  // NGC first, the common name third
    table.order[1][2] = 0;
    EXPECT_EQ(Name(m31, &table, &second), "NGC 224");
    EXPECT_EQ(second, "M 31");
    table.order[1][1] = 0;  // NGC, common name, ...
    table.order[1][2] = 1;
    EXPECT_EQ(Name(m31, &table, &second), "NGC 224");
    EXPECT_EQ(second, "Andromeda Galaxy");

    // Only Arp enabled: M 31 has no Arp number, so the table's first entry names it.
    std::memset(table.enabled, 0, sizeof table.enabled);
    table.enabled[1][4] = 1;
    EXPECT_EQ(Name(m31, &table), "NGC 224");

    char name[65];
    m31.kind = 3;
    ASSERT_EQ(FormatObjectNameOfKind(&m31, name), 1);
    EXPECT_STREQ(name, "NGC 224");
    m31.kind = 5;
    ASSERT_EQ(FormatObjectNameOfKind(&m31, name), 1);
    EXPECT_STREQ(name, "Andromeda Galaxy");

    // A galaxy number past the catalogue's end is not found.
    ObjectRecord none = Record(6, 999999);
    EXPECT_EQ(Name(none), "");
}
#endif

}  // namespace
