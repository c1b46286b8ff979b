// Tests of the class facts: category values of every class (star flag
// combinations included), the user-defined classes, folders of category
// values and of folder names, browse positions and plot magnitudes and sizes.
#include "objects/categories.h"

#include <gtest/gtest.h>

#include "objects/objectrecord.h"

namespace {

TEST(Categories, ClassCategoryBitsOfEveryClass) {
    const uint32_t expected[24] = {0,       0x1,     0x2,     0x4,   0x8,     0x10,
                                   0x100,   0x200,   0x400,   0x800, 0x1000,  0x2000,
                                   0x10,    0x4,     0x8,     0x4000, 0x10000, 0x20000,
                                   0x33f00, 0x40000, 0,       0,     0x80000, 0};
    for (int c = 0; c < 24; ++c) EXPECT_EQ(ClassCategoryBits(c, 0, 0, 0), expected[c]) << c;
    EXPECT_EQ(ClassCategoryBits(-1), 0u);
    EXPECT_EQ(ClassCategoryBits(200), 0u);
}

TEST(Categories, StarFlags) {
    struct Case {
        int cls, multiple, variable, orbit;
        uint32_t bits;
    };
    const Case cases[] = {
        {5, 0, 0, 0, 0x10}, {5, 1, 0, 0, 0x20}, {5, 0, 1, 0, 0x40}, {5, 1, 1, 0, 0x40},
        {5, 0, 0, 1, 0x80}, {5, 1, 0, 1, 0xA0}, {5, 0, 1, 1, 0xC0}, {5, 1, 1, 1, 0xC0},
        {12, 1, 1, 1, 0x10}, {6, 1, 1, 1, 0x100}, {20, 1, 0, 1, 0}, {21, 1, 1, 1, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ClassCategoryBits(c.cls, c.multiple, c.variable, c.orbit), c.bits)
            << c.cls << " " << c.multiple << c.variable << c.orbit;
}

TEST(Categories, UserFixedAndSolarSystemClasses) {
    for (int c = -1; c < 30; ++c) {
        bool user = c == 12 || c == 13 || c == 14 || c == 15 || c == 18;
        EXPECT_EQ(IsUserObjectClass(c), user ? 1 : 0) << c;
        bool fixed = c < 2 || (c >= 5 && c <= 12) || c == 15;
        EXPECT_EQ(IsFixedBodyClass(c), fixed ? 1 : 0) << c;
        bool solar = c == 2 || c == 3 || c == 4 || c == 13 || c == 14;
        EXPECT_EQ(IsSolarSystemClass(c), solar ? 1 : 0) << c;
    }
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = 13;
    EXPECT_EQ(IsSolarSystemObject(&r), 1);
    r.objectClass = 5;
    EXPECT_EQ(IsSolarSystemObject(&r), 0);
    EXPECT_EQ(IsSolarSystemObject(nullptr), 0);
}

TEST(Categories, FoldersOfCategoriesAndNames) {
    struct Case {
        uint32_t category;
        int row;
        const char *name;
    };
    const Case cases[] = {
        {0x1, 0, "constellations"},       {0x2, 1, "prime solar system"},
        {0x4, 2, "comets"},               {0x8, 3, "asteroids"},
        {0x10, 4, "stars"},               {0x20, 4, "stars"},
        {0x40, 4, "stars"},               {0x80, 4, "stars"},
        {0xA0, 4, "stars"},               {0x100, 5, "galaxies"},
        {0x10000, 6, "galaxy groups"},    {0x200, 7, "quasars"},
        {0x400, 8, "planetary nebulae"},  {0x800, 9, "bright nebulae"},
        {0x20000, 10, "dark nebulae"},    {0x1000, 11, "open clusters"},
        {0x2000, 12, "globular clusters"}, {0x4000, 13, "skymarks"},
        {0x33F00, -1, nullptr},           {0x40000, -1, nullptr},
        {0x80000, -1, nullptr},           {0, -1, nullptr},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CategoryFolderIndex(c.category), c.row) << std::hex << c.category;
        if (c.name) {
            EXPECT_STREQ(CategoryFolderTable[c.row].name, c.name);
        }
    }
    EXPECT_EQ(CategoryFolderIndexOfName("skymarks"), 13);
    EXPECT_EQ(CategoryFolderIndexOfName("major solar system"), 1);
    EXPECT_EQ(CategoryFolderIndexOfName("minor planets"), 3);
    EXPECT_EQ(CategoryFolderIndexOfName("asteroids"), 3);
    EXPECT_EQ(CategoryFolderIndexOfName("globular clusters"), 12);
    EXPECT_EQ(CategoryFolderIndexOfName("Stars"), -1);
    EXPECT_EQ(CategoryFolderIndexOfName(nullptr), -1);
}

TEST(Categories, BrowseIndexRoundTrip) {
    const int classes[19] = {1, 2, 3, 4, 5, 6, 16, 7, 8, 9, 17, 10, 11, 12, 13, 14, 18, 15, 22};
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(BrowseIndexToClass(i), classes[i]) << i;
        EXPECT_EQ(ClassToBrowseIndex(classes[i]), i) << classes[i];
    }
    EXPECT_EQ(BrowseIndexToClass(19), 0);
    EXPECT_EQ(BrowseIndexToClass(-1), 0);
    for (int c : {0, 19, 20, 21, 23}) EXPECT_EQ(ClassToBrowseIndex(c), 0) << c;
}

TEST(Categories, PlotMagnitudeAndSizes) {
    struct Case {
        uint32_t category;
        float magnitude, a, b;
        float memberMag, memberA, memberB;
        double wantMag, wantA, wantB;
    };
    const Case cases[] = {
        // No magnitude -> 15, b 0 -> a.
        {0x10, 99.9f, 0.001f, 0.0f, 99.9f, 0, 0, 15.0, 0.001, 0.001},
        // Galaxy: 1 brighter, x 0.8.
        {0x100, 10.0f, 0.001f, 0.0005f, 99.9f, 0, 0, 9.0, 0.0008, 0.0004},
        // Open cluster: x 0.75 only.
        {0x1000, 6.0f, 0.004f, 0.0f, 99.9f, 0, 0, 6.0, 0.003, 0.003},
        // Galaxy group: the brightest member.
        {0x10000, 12.0f, 0.01f, 0.0f, 11.0f, 0.002f, 0.001f, 10.0, 0.0016, 0.0008},
        // Galaxy group without a known member keeps its own values, and an
        // unknown magnitude stays 15 (not 98.9).
        {0x10000, 99.9f, 0.01f, 0.0f, 99.9f, 0.0f, 0.0f, 15.0, 0.01, 0.01},
        // User deep-sky object: its own values, no class steps.
        {0x33F00, 11.0f, 0.002f, 0.001f, 99.9f, 0.0f, 0.0f, 11.0, 0.002, 0.001},
    };
    for (const Case &c : cases) {
        ObjectRecord r;
        ClearObjectRecord(&r);
        r.categoryBits = c.category;
        r.magnitude = c.magnitude;
        r.sizeMajor = c.a;
        r.sizeMinor = c.b;
        r.memberMagnitude = c.memberMag;
        r.memberSizeMajor = c.memberA;
        r.memberSizeMinor = c.memberB;
        double m = 0, a = 0, b = 0, m2 = 0;
        GetObjectPlotMagnitudeAndSizes(&r, &m, &a, &b);
        GetObjectPlotMagnitude(&r, &m2);
        EXPECT_NEAR(m, c.wantMag, 1e-5) << std::hex << c.category;
        EXPECT_NEAR(a, c.wantA, 1e-7) << std::hex << c.category;
        EXPECT_NEAR(b, c.wantB, 1e-7) << std::hex << c.category;
        EXPECT_EQ(m2, m);
    }
}

}  // namespace
