// Tests of single designations of a chosen kind on hand-built catalogue
// records: present, absent (0, empty text) and foreign kinds (-1), the
// catalogue parts of a designation and the plain flag of a name.
#include "objects/singlekind.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "objects/clustercat.h"
#include "objects/darkneb.h"
#include "objects/galaxycat.h"
#include "objects/buildrecord.h"
#include "objects/conrects.h"
#include "objects/objectrecord.h"
#include "objects/pncat.h"
#include "objects/starcat.h"
#include "objects/tests/stardata.h"

namespace {

struct Result {
    int code;
    std::string text;
    DesignationParts parts;
};

template <typename Record, typename F>
Result Kind(const Record &r, int kind, F f) {
    Result out;
    char text[65];
    std::memset(text, 'x', sizeof text);
    std::memset(&out.parts, 0xEE, sizeof out.parts);
    out.code = f(&r, kind, text, &out.parts);
    out.text = text;
    return out;
}

TEST(SingleKind, Galaxy) {
    GalaxyRecord g;
    std::memset(&g, 0, sizeof g);
    g.commonName = -1;
    g.messierNumber = 31;
    g.ngcNumber = 224;
    Result r = Kind(g, 4, GalaxyDesignationOfKind);  // Arp: none
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(+r.parts.plain, 1);
    EXPECT_EQ(Kind(g, 10, GalaxyDesignationOfKind).code, -1);
    EXPECT_EQ(Kind(g, -1, GalaxyDesignationOfKind).code, -1);
    r = Kind(g, 2, GalaxyDesignationOfKind);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.text, "NGC 224");
    EXPECT_EQ(+r.parts.plain, 0);
    EXPECT_STREQ(r.parts.catalogue, "NGC");
    EXPECT_EQ(+r.parts.first, 224);
    r = Kind(g, 1, GalaxyDesignationOfKind);
    EXPECT_EQ(r.text, "M 31");
    EXPECT_EQ(+r.parts.form, 1);
    // The common name is absent: nothing else stands in for it.
    EXPECT_EQ(Kind(g, 0, GalaxyDesignationOfKind).code, 0);
    g.arpNumber = 77;
    EXPECT_EQ(Kind(g, 4, GalaxyDesignationOfKind).text, "Arp 77");
}

TEST(SingleKind, ClustersAndNebulae) {
    OpenClusterRecord o;
    std::memset(&o, 0, sizeof o);
    o.commonName = -1;
    o.oclNumber = 123.0;
    EXPECT_EQ(Kind(o, 56, OpenClusterDesignationOfKind).text, "OCL 123");
    o.oclNumber = 123.4;
    Result r = Kind(o, 56, OpenClusterDesignationOfKind);
    EXPECT_EQ(r.text, "OCL 123.4");
    EXPECT_STREQ(r.parts.catalogue, "OCL");
    EXPECT_EQ(Kind(o, 57, OpenClusterDesignationOfKind).code, -1);
    EXPECT_EQ(Kind(o, 55, OpenClusterDesignationOfKind).code, 0);

    DarkNebulaRecord d;
    std::memset(&d, 0, sizeof d);
    d.commonName = -1;
    d.barnardNumber = 33;
    d.barnardSuffix = 'A';
    r = Kind(d, 1, DarkNebulaDesignationOfKind);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.text, "B 33A");
    EXPECT_STREQ(r.parts.catalogue, "B");
    EXPECT_EQ(Kind(d, 2, DarkNebulaDesignationOfKind).code, 0);
    EXPECT_EQ(Kind(d, 5, DarkNebulaDesignationOfKind).code, -1);

    GlobularClusterRecord c;
    std::memset(&c, 0, sizeof c);
    c.commonName = -1;
    c.palomarNumber = 5;
    EXPECT_EQ(Kind(c, 4, GlobularClusterDesignationOfKind).text, "Palomar 5");
    EXPECT_EQ(Kind(c, 5, GlobularClusterDesignationOfKind).code, 0);
    EXPECT_EQ(Kind(c, 7, GlobularClusterDesignationOfKind).code, -1);

    PlanetaryNebulaRecord p;
    std::memset(&p, 0, sizeof p);
    p.commonName = -1;
    std::strcpy(p.discoveryDesignation, "Sa 2-21");
    r = Kind(p, 13, PlanetaryNebulaDesignationOfKind);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.text, "Sa 2-21");
    EXPECT_EQ(+r.parts.plain, 1);
    EXPECT_EQ(Kind(p, 14, PlanetaryNebulaDesignationOfKind).code, -1);
}

// A star of the generated catalogue: Sirius by its HD and HIP numbers, no
// kind 20.
TEST(SingleKindStars, Sirius) {
    std::string why;
    if (!stardata::Use(&why)) GTEST_SKIP() << why;
    FreeConstellationRects();
    ObjectRecord out[3];
    ASSERT_EQ(BuildObjectRecord(5, 9, 0, 32349, nullptr, 0.0, nullptr, nullptr, 0.2, out), 1);
    FILE *stars = OpenStarCatalogue();
    ASSERT_NE(stars, nullptr);
    StarRecord star;
    int read = ReadStarRecord(stars, out[0].index, &star, nullptr, 0xFFFF & ~kStarReadName);
    std::fclose(stars);
    ASSERT_EQ(read, 1);
    Result r = Kind(star, 5, StarDesignationOfKind);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.text, "HD 48915");
    EXPECT_STREQ(r.parts.catalogue, "HD");
    EXPECT_EQ(+r.parts.form, 1);
    EXPECT_EQ(+r.parts.first, 48915);
    EXPECT_EQ(Kind(star, 8, StarDesignationOfKind).text, "HIP 32349");
    EXPECT_EQ(Kind(star, 20, StarDesignationOfKind).code, -1);
    FreeConstellationRects();
}

}  // namespace
