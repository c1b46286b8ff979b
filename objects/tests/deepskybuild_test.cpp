// Tests of the deep-sky record builders: the fill rules of each class, the
// Messier/NGC/IC lookup with its type filter, the text forms of each
// designation kind on small hand-written indexes, and (natively) one object
// reached through M, NGC and its common name in the generated catalogue.
#include "objects/builders.h"
#include "objects/deepskybuild.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "objects/cataloguenumber.h"
#include "objects/clustercat.h"
#include "objects/darkneb.h"
#include "objects/galaxycat.h"
#include "objects/groupcat.h"
#include "objects/nebulacat.h"
#include "objects/objectrecord.h"
#include "objects/pncat.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

using starbytes::Put16;
using starbytes::Put24;
using starbytes::Put32;
using starbytes::Put8;

namespace {

ObjectRecord NewRecord(int objectClass, int kind) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = static_cast<uint8_t>(objectClass);
    r.kind = static_cast<uint8_t>(kind);
    return r;
}

TEST(DeepSkyFill, GalaxyColourSizeAndDistance) {
    GalaxyRecord g;
    std::memset(&g, 0, sizeof g);
    g.magnitude = 8.4; g.surfaceBrightness = 13.1; g.bMinusV = 99.9; g.typicalBMinusV = 0.62;
    g.radialVelocity = 99.9;
    ObjectRecord r = NewRecord(6, 3);
    FillGalaxyObject(nullptr, nullptr, 0.2, &r, g);
    EXPECT_NEAR(+r.colourIndex, 200.62, 1e-4);
    EXPECT_NEAR(+r.extent, 0.00029088822, 1e-10);     // no size: 1 arcminute
    EXPECT_EQ(+r.distanceLightYears, 0.0f);
    g.majorAxis = 10.0; g.bMinusV = 0.5; g.distanceMly = 23.0;
    FillGalaxyObject(nullptr, nullptr, 0.2, &r, g);
    EXPECT_NEAR(+r.sizeMajor, 10.0 * kPi / 10800, 1e-9);
    EXPECT_NEAR(+r.colourIndex, 0.5, 1e-6);
    EXPECT_NEAR(+r.distanceLightYears, 23.0e6, 1.0);
    g.distanceMly = 0.0; g.radialVelocity = 2000.0;   // too near for a redshift distance
    FillGalaxyObject(nullptr, nullptr, 0.2, &r, g);
    EXPECT_EQ(+r.distanceLightYears, 0.0f);
    g.radialVelocity = 6000.0;                        // z = 0.02: about 0.27 billion ly
    FillGalaxyObject(nullptr, nullptr, 0.2, &r, g);
    EXPECT_GT(+r.distanceLightYears, 2.5e8f);
    EXPECT_LT(+r.distanceLightYears, 2.9e8f);
}

TEST(DeepSkyFill, OtherClassDistancesAndMagnitudes) {
    PlanetaryNebulaRecord p;
    std::memset(&p, 0, sizeof p);
    p.distanceParsecs = 100; p.size = 60; p.magnitude = 9; p.surfaceBrightness = 0;
    ObjectRecord r = NewRecord(8, 3);
    FillPlanetaryNebulaObject(nullptr, nullptr, 0, &r, p);
    EXPECT_NEAR(+r.distanceLightYears, 326.0, 1e-3);
    EXPECT_NEAR(+r.magnitude2, 99.9, 1e-4);
    EXPECT_NEAR(+r.sizeMajor, kPi / 10800, 1e-10);   // 60" = 1'
    p.distanceNotUsed = 1;
    FillPlanetaryNebulaObject(nullptr, nullptr, 0, &r, p);
    EXPECT_EQ(+r.distanceLightYears, 0.0f);
    GlobularClusterRecord g;
    std::memset(&g, 0, sizeof g);
    g.distanceKpc = 7.1;
    FillGlobularClusterObject(nullptr, nullptr, 0, &r, g);
    EXPECT_NEAR(+r.distanceLightYears, 23146.0, 0.1);
    DarkNebulaRecord d;
    std::memset(&d, 0, sizeof d);
    d.classValue = 6; d.majorSize = 6;
    FillDarkNebulaObject(nullptr, nullptr, 0, &r, d);
    EXPECT_EQ(+r.magnitude, 6.0f);
    BrightNebulaRecord n;
    std::memset(&n, 0, sizeof n);
    n.brightnessClass = 3;
    r.magnification = 0.0f;   // none set: x100
    FillBrightNebulaObject(nullptr, nullptr, 0, &r, n);
    EXPECT_EQ(+r.classExtra[0], 3);
    // The faintest surface brightness an 8-inch (class 3) shows at x100.
    EXPECT_NEAR(+r.magnitude2, 23.434, 1e-3);
    n.brightnessClass = 0;   // the eye alone
    FillBrightNebulaObject(nullptr, nullptr, 0, &r, n);
    EXPECT_NEAR(+r.magnitude2, 19.662, 1e-3);
    n.brightnessClass = 255;   // no class: no surface brightness
    FillBrightNebulaObject(nullptr, nullptr, 0, &r, n);
    EXPECT_EQ(+r.magnitude2, 99.9f);
    EXPECT_EQ(+r.classExtra[0], 255);
}

// The size and display extent rules of each class: sizes in arcminutes
// (planetary nebulae in arcseconds, -1 none), a galaxy without a size shown
// as 1', a galaxy group without one as 1 degree, the others as their size.
TEST(DeepSkyFill, SizesAndExtentsOfEachClass) {
    const double arcmin = kPi / 10800;
    struct { int cls; double size; double major, extent; } cases[] = {
        {6, 4.0, 4 * arcmin, 4 * arcmin},     {6, 0.0, 0.0, arcmin},
        {16, 30.0, 30 * arcmin, 30 * arcmin}, {16, 0.0, 0.0, 60 * arcmin},
        {8, 120.0, 2 * arcmin, 2 * arcmin},   {8, -1.0, 0.0, 0.0},
        {10, 12.0, 12 * arcmin, 12 * arcmin}, {11, 0.0, 0.0, 0.0},
        {17, 6.0, 6 * arcmin, 6 * arcmin},    {9, 90.0, 90 * arcmin, 90 * arcmin},
        {7, 0.0, 0.0, 0.0}};
    for (const auto &c : cases) {
        ObjectRecord r = NewRecord(c.cls, 1);
        r.extent = 7.0f;           // kept by the initialiser: every class sets it
        r.properMotionRa = 1.0f;   // and no deep-sky object keeps a proper motion
        union {
            GalaxyRecord galaxy;
            GalaxyGroupRecord group;
            PlanetaryNebulaRecord pn;
            OpenClusterRecord open;
            GlobularClusterRecord globular;
            DarkNebulaRecord dark;
            BrightNebulaRecord bright;
            QuasarRecord quasar;
        } u;
        std::memset(&u, 0, sizeof u);
        switch (c.cls) {
        case 6: u.galaxy.majorAxis = c.size; FillGalaxyObject(nullptr, nullptr, 0, &r, u.galaxy); break;
        case 16: u.group.size = c.size; FillGalaxyGroupObject(nullptr, nullptr, 0, &r, u.group); break;
        case 8: u.pn.size = c.size; FillPlanetaryNebulaObject(nullptr, nullptr, 0, &r, u.pn); break;
        case 10: u.open.size = c.size; FillOpenClusterObject(nullptr, nullptr, 0, &r, u.open); break;
        case 11: u.globular.size = c.size; FillGlobularClusterObject(nullptr, nullptr, 0, &r, u.globular); break;
        case 17: u.dark.majorSize = c.size; FillDarkNebulaObject(nullptr, nullptr, 0, &r, u.dark); break;
        case 9:
            u.bright.majorSize = c.size; u.bright.brightnessClass = 255;
            FillBrightNebulaObject(nullptr, nullptr, 0, &r, u.bright);
            break;
        default: u.quasar.redshift = 99.9; u.quasar.bMinusV = 99.9; FillQuasarObject(nullptr, nullptr, 0, &r, u.quasar); break;
        }
        EXPECT_NEAR(+r.sizeMajor, c.major, 1e-9) << c.cls << " " << c.size;
        EXPECT_NEAR(+r.extent, c.extent, 1e-9) << c.cls << " " << c.size;
        EXPECT_EQ(+r.properMotionRa, 0.0f) << c.cls;
        if (c.cls != 6) { EXPECT_EQ(+r.colourIndex, 99.9f) << c.cls; }   // galaxies: B-V 0 here
    }
}

TEST(DeepSkyParse, CatalogueNumbers) {
    struct { const char *text; int ok, number, suffix; } cases[] = {
        {"NGC 5194A", 1, 5194, 1}, {"M 31", 1, 31, 0}, {"2506", 1, 2506, 0},
        {"Collinder 399", 1, 399, 0}, {"*", 0, 0, 0}, {"IC", 0, 0, 0},
        {"vandenBergh-Hagen 99", 1, 99, 0}};
    for (const auto &c : cases) {
        int n = 0, s = 0;
        EXPECT_EQ(ParseCatalogueNumber(c.text, &n, &s), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(n, c.number) << c.text;
            EXPECT_EQ(s, c.suffix) << c.text;
        }
    }
}

class DeepSkyBuild : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        // NGC 1: galaxy 2 and bright nebula record 1 share the number; NGC 7822 absent.
        std::string ngc(7822 * 33, '\0');
        for (int n = 0; n < 7822; ++n) for (int e = 0; e < 7; ++e) Put32(ngc, n * 33 + 5 + 4 * e, 0xFFFFFFFFu);
        Put32(ngc, 1, 4 | (2 << 3)); Put32(ngc, 5, 2); Put32(ngc, 9, 1);
        Write("ngc.bin", ngc);
        // Galaxies 1 and 2, with an MCG -3-31-14 entry pointing at galaxy 2.
        std::string gal(96, '\0');
        Put8(gal, 35, 255); Put8(gal, 35 + 48, 90); Put16(gal, 44 + 48, 62 * 5);
        Put8(gal, 21, 255); Put8(gal, 21 + 48, 255);
        Write("gal.bin", gal);
        std::string mcg(32 * 61 * 5, '\0');
        size_t at = ((-3 + 7) * 61 + 31) * 5;
        Put32(mcg, at, static_cast<uint32_t>(mcg.size())); Put8(mcg, at + 4, 14);
        std::string slots(15 * 9, '\xff');
        Put24(slots, 14 * 9 + 3, 1);   // suffix A
        Write("mcg.bin", mcg + slots);
        std::string ugc(12 * 2, '\0');
        Put24(ugc, 12, 2); Put8(ugc, 21, 'B');
        Write("ugc.bin", ugc);
        std::string esod(572 * 6, '\0');
        Put32(esod, 571 * 6, static_cast<uint32_t>(esod.size())); Put16(esod, 571 * 6 + 4, 46);
        std::string esos(47 * 6, '\xff');
        Put24(esos, 46 * 6, 2);
        Write("esob.bin", esod + esos);
        // Bright nebulae: record 0 (NGC 7822 by convention) and record 1.
        std::string neb(94, '\0');
        Put8(neb, 9, 255); Put8(neb, 26, 255); Put8(neb, 47 + 9, 255); Put8(neb, 47 + 26, 80);
        Write("neb.bin", neb);
        // Dark nebulae and their indexes.
        std::string dn(50, '\0');
        Put8(dn, 8, 5); Put8(dn, 11, 255); Put8(dn, 25 + 8, 6); Put8(dn, 25 + 11, 255);
        Write("dn.bin", dn);
        std::string bn(370 * 2, '\0');
        Put16(bn, 32 * 2, 2);          // B 33 -> record 1
        Write("Barnard.bin", bn);
        std::string dc;
        Put16(dc, 0, 3004 | (1 << 13)); Put16(dc, 2, static_cast<uint16_t>(-125)); Put16(dc, 4, 1);
        Write("dc.bin", dc);
        std::string pln(2 * 73, '\0');
        Put8(pln, 59, 255); Put16(pln, 62, 0xFFFF); Put16(pln, 64, 0xFFFF);
        Put8(pln, 73 + 59, 88); Put16(pln, 73 + 62, 600); Put16(pln, 73 + 64, 0xFFFF);
        Write("pln.bin", pln);
        std::string pk(360 * 6, '\0');
        Put32(pk, 63 * 6, 360 * 6); Put16(pk, 63 * 6 + 4, 872);
        std::string ps(873 * 2, '\xff');
        Put16(ps, 872 * 2, 1); Put16(ps, 0, 0);   // slot 0 = latitude -74.1
        Write("pk.bin", pk + ps);
        std::string png(361 * 6, '\0');
        Put32(png, 63 * 6, 361 * 6); Put16(png, 63 * 6 + 4, 2);
        std::string e;
        Put8(e, 0, 1); Put16(e, 1, 139); Put8(e, 3, 0); Put16(e, 4, 0);
        Put8(e, 6, 1); Put16(e, 7, 139); Put8(e, 9, 'a'); Put16(e, 10, 1);
        Write("PNG.bin", png + e);
    }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

TEST_F(DeepSkyBuild, NgcTypeFilterAndNgc7822) {
    EXPECT_EQ(LookUpMessierNgcIc(3, 1, 0, 4), 2);
    EXPECT_EQ(LookUpMessierNgcIc(3, 1, 0, 2), 1);
    EXPECT_EQ(LookUpMessierNgcIc(3, 1, 0, 0), -1);
    char text[64] = "NGC 1";
    ObjectRecord out[3] = {NewRecord(9, 3), NewRecord(9, 3), NewRecord(9, 3)};
    ASSERT_EQ(BuildBrightNebulaObject(0, text, nullptr, nullptr, 0, out, 0), 1);
    EXPECT_EQ(+out[0].index, 1);
    EXPECT_NEAR(+out[0].magnitude, 8.0, 1e-5);
    std::strcpy(text, "NGC 7822");
    ASSERT_EQ(BuildBrightNebulaObject(0, text, nullptr, nullptr, 0, out, 0), 1);
    EXPECT_EQ(+out[0].index, 0);
    out[0] = NewRecord(6, 3);
    std::strcpy(text, "NGC 1");
    ASSERT_EQ(BuildGalaxyObject(0, text, nullptr, nullptr, 0, out, 0), 1);
    EXPECT_EQ(+out[0].index, 2);
    EXPECT_NEAR(+out[0].sizeMajor, 5 * kPi / 10800, 1e-9);
}

TEST_F(DeepSkyBuild, TextFormsOfEachKind) {
    // index -1: not found (a PK without a second number asks for latitude -761).
    struct { int cls, kind; const char *text; int index; } cases[] = {
        {6, 7, "MCG -3-31-14A", 2}, {6, 7, "-3 31 14A", 2}, {6, 7, "MCG -3-31-14", -1},
        {6, 8, "UGC 2b", 2}, {6, 8, "UGC 2", -1}, {6, 9, "ESO 572-47", -1}, {6, 9, "ESO 572 47", 2},
        {17, 2, "B 33", 1}, {17, 2, "B 83B", -1}, {17, 4, "DC 300.4-12.5", 1},
        {17, 4, "DC 300.4", -1}, {8, 10, "PN G063.1+13.9", 0}, {8, 10, "PN G063.1+13.9a", 1},
        {8, 11, "PK 063+13.1", 1}, {8, 11, "PK 63", -1}, {8, 11, "PK 063-74.1", 0}};
    for (const auto &c : cases) {
        ObjectRecord out[3] = {NewRecord(c.cls, c.kind), NewRecord(c.cls, c.kind), NewRecord(c.cls, c.kind)};
        char text[64];
        std::strcpy(text, c.text);
        int n = 0;
        if (c.cls == 6) n = BuildGalaxyObject(0, text, nullptr, nullptr, 0, out, 0);
        if (c.cls == 8) n = BuildPlanetaryNebulaObject(0, text, nullptr, nullptr, 0, out, 0);
        if (c.cls == 17) n = BuildDarkNebulaObject(0, text, nullptr, nullptr, 0, out, 0);
        if (c.index < 0) {
            EXPECT_EQ(n, 0) << c.text;
        } else {
            ASSERT_EQ(n, 1) << c.text;
            EXPECT_EQ(+out[0].index, c.index) << c.text;
        }
    }
}

#ifndef _WIN32
// The generated small catalogue: M 31, NGC 224 and "Andromeda Galaxy" reach one
// galaxy; M 42 reaches the Orion Nebula as a bright nebula, not as anything else.
TEST(DeepSkyGenerated, MessierNgcAndNameReachOneRecord) {
    std::string source = testutil::SourceDir();
    if (source.empty() || std::system("python3 -c 0 > /dev/null 2>&1") != 0) GTEST_SKIP();
    testutil::TempDir dir;
    std::string cmd = "python3 " + source + "/tools/gen_deepsky.py --small --ref " + dir.path() +
                      "/ref --cat " + dir.path() + "/cat > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    SetRefDirectories((dir.path() + "/ref").c_str(), (dir.path() + "/cat").c_str(), dir.path().c_str());
    const char *texts[3] = {"M 31", "NGC 224", "Andromeda Galaxy"};
    int kinds[3] = {2, 3, 1};
    int index[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        ObjectRecord out[3] = {NewRecord(6, kinds[i]), NewRecord(6, kinds[i]), NewRecord(6, kinds[i])};
        char text[64];
        std::strcpy(text, texts[i]);
        ASSERT_EQ(BuildGalaxyObject(0, text, nullptr, nullptr, 0, out, 0), 1) << texts[i];
        index[i] = out[0].index;
        EXPECT_NEAR(+out[0].raCatalogue, 10.6848 * kPi / 180, 1e-4);
    }
    EXPECT_EQ(index[0], index[1]);
    EXPECT_EQ(index[0], index[2]);
    ObjectRecord out[3] = {NewRecord(9, 2), NewRecord(9, 2), NewRecord(9, 2)};
    char text[64] = "M 42";
    ASSERT_EQ(BuildBrightNebulaObject(0, text, nullptr, nullptr, 0, out, 0), 1);
    out[0] = NewRecord(6, 2);
    EXPECT_EQ(BuildGalaxyObject(0, text, nullptr, nullptr, 0, out, 0), 0);
    // An open cluster reached through a discoverer catalogue (Collinder 399).
    out[0] = NewRecord(10, 16);
    std::strcpy(text, "Collinder 399");
    ASSERT_EQ(BuildOpenClusterObject(0, text, nullptr, nullptr, 0, out, 0), 1);
    // Brocchi's Cluster: RA 19h 25.4m, Dec +20 11' (the source's place).
    EXPECT_NEAR(+out[0].raCatalogue, 291.35 * 3.14159265358979 / 180, 2e-3);
    EXPECT_NEAR(+out[0].decCatalogue, 20.18 * 3.14159265358979 / 180, 2e-3);
    out[0] = NewRecord(11, 5);
    std::strcpy(text, "Palomar 5");
    EXPECT_EQ(BuildGlobularClusterObject(0, text, nullptr, nullptr, 0, out, 0), 1);
    // A galaxy group by name and by ACO number; a quasar by its two designations.
    out[0] = NewRecord(16, 1);
    std::strcpy(text, "Coma Cluster");
    ASSERT_EQ(BuildGalaxyGroupObject(0, text, nullptr, nullptr, 0, out, 0), 1);
    EXPECT_EQ(+out[0].index, 1656);
    out[0] = NewRecord(16, 2);
    std::strcpy(text, "ACO 1656");
    ASSERT_EQ(BuildGalaxyGroupObject(0, text, nullptr, nullptr, 0, out, 0), 1);
    EXPECT_EQ(+out[0].index, 1656);
    int quasar[2] = {0, 0};
    const char *qsoTexts[2] = {"3C 273", "Q1226+023"};
    for (int i = 0; i < 2; ++i) {
        out[0] = NewRecord(7, 2 + i);
        std::strcpy(text, qsoTexts[i]);
        ASSERT_EQ(BuildQuasarObject(0, text, nullptr, nullptr, 0, out, 0), 1) << qsoTexts[i];
        quasar[i] = out[0].index;
    }
    EXPECT_EQ(quasar[0], quasar[1]);
    // One text form of each further class, as written by the published tables.
    struct { int cls, kind; const char *text; } more[] = {
        {9, 5, "Sh 2-155"}, {9, 9, "LBN 529"}, {9, 10, "Ced 201"}, {9, 6, "vdB 152"},
        {9, 8, "RCW 49"}, {17, 2, "B 33"}, {17, 3, "LDN 1622"}, {17, 4, "DC 301.0-1.0"},
        {17, 1, "Horsehead Nebula"}, {17, 1, "Snake Nebula"}, {10, 36, "Melotte 111"},
        {10, 16, "Collinder 256"}, {11, 6, "Terzan 5"}};
    for (const auto &m : more) {
        out[0] = NewRecord(m.cls, m.kind);
        std::strcpy(text, m.text);
        int n = m.cls == 9 ? BuildBrightNebulaObject(0, text, nullptr, nullptr, 0, out, 0)
              : m.cls == 17 ? BuildDarkNebulaObject(0, text, nullptr, nullptr, 0, out, 0)
              : m.cls == 10 ? BuildOpenClusterObject(0, text, nullptr, nullptr, 0, out, 0)
                            : BuildGlobularClusterObject(0, text, nullptr, nullptr, 0, out, 0);
        EXPECT_EQ(n, 1) << m.text;
    }
    // Sh 2-155 and LBN 529 (the Cave Nebula), vdB 152 and Ced 201: one
    // record each, as the source designates them.
    const char *pairs[2][2] = {{"Sh 2-155", "LBN 529"}, {"vdB 152", "Ced 201"}};
    const int pairKinds[2][2] = {{5, 9}, {6, 10}};
    for (int p = 0; p < 2; ++p) {
        int index[2] = {-1, -2};
        for (int k = 0; k < 2; ++k) {
            out[0] = NewRecord(9, pairKinds[p][k]);
            std::strcpy(text, pairs[p][k]);
            ASSERT_EQ(BuildBrightNebulaObject(0, text, nullptr, nullptr, 0, out, 0), 1);
            index[k] = out[0].index;
        }
        EXPECT_EQ(index[0], index[1]) << pairs[p][0];
    }
}
#endif

}  // namespace
