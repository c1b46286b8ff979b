// The places gazetteer: decoding a place into a site's values and its
// daylight-saving qualifier, opening the four tables all or none, the region
// tree on small hand-made tables (including malformed child indexes), and
// the demo tables that tools/gen_places.py makes from kstars-data, read
// through the reader (the generator's fidelity to its source is checked by
// tools/test_places_tables.py).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "core/mathutil.h"
#include "sites/sitestore.h"
#include "sites/places.h"
#include "testutil/testutil.h"

namespace {

PlaceRecord Place(int lon, int lat, int zone, int named, const char *name) {
    PlaceRecord p;
    std::memset(&p, 0, sizeof p);
    p.longitude = (int16_t)lon;
    p.latitude = (int16_t)lat;
    p.zone = (int16_t)zone;
    p.namedZone = (uint8_t)named;
    std::snprintf(p.name, sizeof p.name, "%s", name);
    return p;
}

TEST(DecodePlace, NamesPositionsAndZones) {
    struct Case {
        const char *place, *region, *name;
        int lon, lat, zone, named;
        double lonDeg, latDeg, zoneHours;
    } cases[] = {
        {"Springfield", "Illinois", "Springfield Illinois", 8965, 3980, -60, 2, 89.65, 39.80, -6.0},
        {"Home%", "Illinois", "Home", 0, 0, 0, 0, 0.0, 0.0, 0.0},
        {"Denver", "Colorado", "Denver Colorado", 10400, 3973, -70, 3, 104.0, 39.73, -7.0},
        {"Sydney", "New South Wales", "Sydney New South Wales", -15121, -3387, 100, 0, -151.21,
         -33.87, 10.0},
        // The qualifier after "," is no part of the name.
        {"Duluth,310iB00i", "Minnesota", "Duluth Minnesota", 9211, 4678, -60, 2, 92.11, 46.78, -6.0},
        // Two 32-character names give 65 characters: cut to a site name's 32.
        {"Abcdefghijklmnopqrstuvwxyzabcdef", "Region of thirty-two characters.",
         "Abcdefghijklmnopqrstuvwxyzabcdef", 1, 1, 58, 0, 0.01, 0.01, 5.8},
        {"Saint-Jean", "Quebec and Labrador region", "Saint-Jean Quebec and Labrador r", 0, 0, 0, 0,
         0.0, 0.0, 0.0},
    };
    for (const Case &c : cases) {
        PlaceRecord p = Place(c.lon, c.lat, c.zone, c.named, c.place);
        double lon = -1, lat = -1, zone = -1;
        int named = -1;
        char name[kDecodedPlaceNameSize];
        ASSERT_EQ(DecodePlace(&p, c.region, &lon, &lat, &named, &zone, name), 1) << c.place;
        EXPECT_STREQ(name, c.name);
        EXPECT_LE(std::strlen(name), 32u);
        EXPECT_NEAR(lon, c.lonDeg, 1e-9) << c.place;
        EXPECT_NEAR(lat, c.latDeg, 1e-9) << c.place;
        EXPECT_NEAR(zone, c.zoneHours, 1e-9) << c.place;
        EXPECT_EQ(named, c.named) << c.place;
    }
}

TEST(DecodePlace, ListNamesCutAtCommaOrPercent) {
    const char *cases[][2] = {{"Duluth,310iB00i", "Duluth"}, {"Home%", "Home"},
                              {"Plain", "Plain"}, {"A%b,c", "A%b"}};
    for (auto &c : cases) {
        PlaceRecord p = Place(0, 0, 0, 0, c[0]);
        char text[34];
        PlaceListName(&p, text);
        EXPECT_STREQ(text, c[1]) << c[0];
    }
}

TEST(DecodePlace, DaylightQualifier) {
    struct Case {
        const char *name;
        int ok;
        int start[3], end[3];  // week, weekday, month
        double startHour, endHour;
    } cases[] = {
        // US: second Sunday of March to first Sunday of November, 2:00.
        {"Duluth,310iB00i", 1, {1, 0, 3}, {0, 0, 11}, 2.0, 2.0},
        // EU at a CET site: last Sunday of March and October, 2:00 local.
        {"Lahti,330mA30m", 1, {3, 0, 3}, {3, 0, 10}, 3.0, 3.0},
        // Chatham: quarter hours.
        {"Waitangi,930l400l", 1, {3, 0, 9}, {0, 0, 4}, 2.75, 2.75},
        {"NoRule", 0, {}, {}, 0, 0},
        {"Short,320iB00", 0, {}, {}, 0, 0},
        {"Month13,D20iB00i", 0, {}, {}, 0, 0},
        {"Week4,340iB00i", 0, {}, {}, 0, 0},
        {"Weekday7,327iB00i", 0, {}, {}, 0, 0},
        {"Hour,320IB00i", 0, {}, {}, 0, 0},
    };
    for (const Case &c : cases) {
        PlaceRecord p = Place(0, 0, 0, 0, c.name);
        DaylightSavingRule r;
        std::memset(&r, 0x55, sizeof r);
        ASSERT_EQ(DecodePlaceDaylightRule(&p, &r), c.ok) << c.name;
        if (!c.ok) continue;
        EXPECT_EQ(+r.startWeek, c.start[0]) << c.name;
        EXPECT_EQ(+r.startWeekday, c.start[1]) << c.name;
        EXPECT_EQ(+r.startMonth, c.start[2]) << c.name;
        EXPECT_EQ(+r.endWeek, c.end[0]) << c.name;
        EXPECT_EQ(+r.endWeekday, c.end[1]) << c.name;
        EXPECT_EQ(+r.endMonth, c.end[2]) << c.name;
        EXPECT_EQ(+r.startHour, (float)c.startHour) << c.name;
        EXPECT_EQ(+r.endHour, (float)c.endHour) << c.name;
        EXPECT_EQ(+r.shift, 1.0f) << c.name;
    }
}

TEST(DecodePlace, SiteFromAPlace) {
    struct Case {
        const char *place;
        int zoneField, named;
        double zone;
        int mode, startMonth;
        double startHour;
    } cases[] = {
        // A named zone forces its offset over the stored tenths.
        {"Denver,310iB00i", -65, 3, -7.0, 2, 3, 2.0},
        {"Kathmandu", 58, 0, 5.8, 0, 0, 0.0},
        {"Lahti,330mA30m", 20, 0, 2.0, 2, 3, 3.0},
    };
    for (const Case &c : cases) {
        PlaceRecord p = Place(10498, 3974, c.zoneField, c.named, c.place);
        LocationRecord site;
        LocationTrailer trailer = {9, 9, 9};
        ASSERT_EQ(MakeSiteFromPlace(&p, "Region", &site, &trailer), 1);
        std::string want = std::string(c.place).substr(0, std::string(c.place).find(',')) + " Region";
        EXPECT_STREQ(site.name, want.c_str());
        EXPECT_NEAR(site.longitude, 104.98 * kPi / 180.0, 1e-12);
        EXPECT_NEAR(site.latitude, 39.74 * kPi / 180.0, 1e-12);
        EXPECT_EQ(+site.elevation, 0.0);
        EXPECT_NEAR(site.timeZone, c.zone, 1e-12) << c.place;
        EXPECT_EQ(+trailer.namedZone, c.named);
        EXPECT_EQ(+trailer.elevationInFeet, 0);
        EXPECT_EQ(+trailer.reserved, 0);
        EXPECT_EQ(+site.dstMode, c.mode) << c.place;
        if (c.mode == 2) {
            EXPECT_EQ(+site.dst.startMonth, c.startMonth) << c.place;
            EXPECT_EQ(+site.dst.startHour, (float)c.startHour) << c.place;
            EXPECT_EQ(+site.dst.shift, 1.0f) << c.place;
        }
    }
}

// ---- small hand-made tables -----------------------------------------------------------------

std::string Region(int childFile, int first, int end, const char *name) {
    std::string b(38, '\0');
    b[0] = (char)childFile;
    b[1] = (char)(first & 0xff);
    b[2] = (char)((first >> 8) & 0xff);
    b[3] = (char)(end & 0xff);
    b[4] = (char)((end >> 8) & 0xff);
    std::memcpy(&b[5], name, std::strlen(name));
    return b;
}

std::string PlaceBytes(int lon, int lat, int zone, int named, const char *name) {
    std::string b(40, '\0');
    int v[3] = {lon, lat, zone};
    for (int k = 0; k < 3; ++k) {
        b[2 * k] = (char)(v[k] & 0xff);
        b[2 * k + 1] = (char)((v[k] >> 8) & 0xff);
    }
    b[6] = (char)named;
    std::memcpy(&b[7], name, std::strlen(name));
    return b;
}

class PlaceTables : public ::testing::Test {
protected:
    void SetUp() override {
        // Nine roots: root 0 has countries 0-1, root 1 country 2 (whose
        // children end beyond the last root's), root 8 the malformed
        // country 3, pointing at provinces past the end of places02.
        std::string roots = Region(1, 0, 2, "North") + Region(1, 2, 3, "South");
        for (int k = 2; k < 8; ++k) roots += Region(1, 3, 3, ("Empty" + std::to_string(k)).c_str());
        roots += Region(1, 3, 4, "Broken");
        Write("places00.bin", roots);
        Write("places01.bin", Region(2, 0, 2, "Alpha") + Region(3, 0, 1, "Beta") +
                                  Region(2, 2, 3, "Gamma") + Region(2, 1, 40, "Delta"));
        Write("places02.bin", Region(3, 1, 2, "Alpha East") + Region(3, 2, 3, "Alpha West") +
                                  Region(3, 0, 3, "Gamma Province"));
        Write("places03.bin", PlaceBytes(100, 200, 10, 0, "Aville") +
                                  PlaceBytes(-300, -400, -50, 1, "Btown,320iB00i") +
                                  PlaceBytes(500, 600, 0, 0, "Cport%"));
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    testutil::TempDir dir_;
};

TEST_F(PlaceTables, OpenIsAllOrNone) {
    PlacesTables *t = OpenPlacesTables();
    ASSERT_NE(t, nullptr);
    PlaceRecord p;
    ASSERT_EQ(ReadPlace(t, 1, &p), 1);
    EXPECT_EQ(p.longitude, -300);
    EXPECT_EQ(ReadPlace(t, 3, &p), 0);   // past the end
    EXPECT_EQ(ReadPlace(t, -1, &p), 0);
    PlaceRegionRecord r;
    EXPECT_EQ(ReadPlaceRegion(t, 3, 0, &r), 0);  // level outside 0..2
    EXPECT_EQ(ReadPlaceRegion(t, 2, 2, &r), 1);
    EXPECT_STREQ(r.name, "Gamma Province");
    ClosePlacesTables(t);
    EXPECT_EQ(ReadPlace(nullptr, 0, &p), 0);

    ASSERT_EQ(std::remove(dir_.file("places02.bin").c_str()), 0);
    EXPECT_EQ(OpenPlacesTables(), nullptr);
    // The three that opened were closed again: Windows refuses to delete an
    // open file.
    for (const char *name : {"places00.bin", "places01.bin", "places03.bin"})
        EXPECT_EQ(std::remove(dir_.file(name).c_str()), 0) << name;
}

TEST_F(PlaceTables, NodeArraysTakeTheGreatestEndAndBoundChildren) {
    PlacesTables *t = OpenPlacesTables();
    ASSERT_NE(t, nullptr);
    PlaceTree tree;
    ASSERT_EQ(BuildPlaceTree(t, &tree), 1);
    EXPECT_EQ(tree.nodes[0].size(), 9u);
    EXPECT_EQ(tree.nodes[1].size(), 4u);
    // Delta's end 40 is cut to the three records places02 holds.
    EXPECT_EQ(tree.nodes[2].size(), 3u);
    EXPECT_STREQ(tree.nodes[0][8].region.name, "Broken");

    int collapse = 7;
    std::vector<int> insert;
    ASSERT_EQ(ExpandPlaceTreeNode(t, &tree, 0, 8, &collapse, &insert), 1);
    EXPECT_EQ(insert, std::vector<int>({3}));
    tree.nodes[1][3].item = &tree;  // as the dialog marks an inserted item
    // Delta's children 1..39: only 1 and 2 exist.
    ASSERT_EQ(ExpandPlaceTreeNode(t, &tree, 1, 3, &collapse, &insert), 1);
    EXPECT_EQ(insert, std::vector<int>({1, 2}));
    EXPECT_EQ(PlaceTreeNodeAt(&tree, 2, 3), nullptr);
    EXPECT_EQ(PlaceTreeNodeAt(&tree, 3, 0), nullptr);
    FreePlaceTree(&tree);
    ClosePlacesTables(t);
}

TEST_F(PlaceTables, ExpandingInsertsOnceAndCollapsesTheSibling) {
    PlacesTables *t = OpenPlacesTables();
    ASSERT_NE(t, nullptr);
    PlaceTree tree;
    ASSERT_EQ(BuildPlaceTree(t, &tree), 1);
    int collapse = 99;
    std::vector<int> insert;
    ASSERT_EQ(ExpandPlaceTreeNode(t, &tree, 0, 0, &collapse, &insert), 1);
    EXPECT_EQ(collapse, -1);
    EXPECT_EQ(insert, std::vector<int>({0, 1}));
    EXPECT_STREQ(tree.nodes[1][1].region.name, "Beta");
    for (int i : insert) tree.nodes[1][i].item = &tree.nodes[1][i];
    // Again: nothing more to insert.
    ASSERT_EQ(ExpandPlaceTreeNode(t, &tree, 0, 0, &collapse, &insert), 1);
    EXPECT_EQ(collapse, -1);
    EXPECT_TRUE(insert.empty());
    // The sibling: the first collapses.
    ASSERT_EQ(ExpandPlaceTreeNode(t, &tree, 0, 1, &collapse, &insert), 1);
    EXPECT_EQ(collapse, 0);
    EXPECT_EQ(insert, std::vector<int>({2}));
    // A region of places expands to nothing.
    EXPECT_EQ(ExpandPlaceTreeNode(t, &tree, 1, 1, &collapse, &insert), 0);
    EXPECT_TRUE(insert.empty());
    EXPECT_EQ(ExpandPlaceTreeNode(t, &tree, 0, 9, &collapse, &insert), 0);
    FreePlaceTree(&tree);
    ClosePlacesTables(t);
}

// ---- the demo tables ------------------------------------------------------------------------

class DemoPlaces : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        std::string ref = testutil::BuildDir() + "/demo/data/ref";
        if (testutil::BuildDir().empty() || !testutil::PathIsThere(ref + "/places03.bin"))
            GTEST_SKIP() << "no demo installation with places under the build folder";
        SetRefDirectories(ref.c_str(), ref.c_str(), ref.c_str());
#else
        std::string source = testutil::SourceDir();
        if (source.empty()) GTEST_SKIP() << "GLEANER_SOURCE_DIR not set";
        if (!testutil::PathIsThere("/usr/share/kstars/citydb.sqlite")) GTEST_SKIP() << "no kstars-data";
        if (std::system("python3 -c \"\" > /dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
        std::string command = "python3 \"" + source + "/tools/gen_places.py\" --out \"" +
                              dir_.path() + "\" > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
#endif
    }
    testutil::TempDir dir_;
};

// Walking the whole tree reaches every place exactly once, and a few
// well-known cities decode to their published positions, zones and rules.
TEST_F(DemoPlaces, TreeReachesEveryPlaceAndCitiesDecode) {
    PlacesTables *t = OpenPlacesTables();
    ASSERT_NE(t, nullptr);
    PlaceTree tree;
    ASSERT_EQ(BuildPlaceTree(t, &tree), 1);
    std::set<int> reached;
    struct Found {
        std::string name;
        double lon, lat, zone;
        int named, hasRule;
        DaylightSavingRule rule;
    };
    std::vector<Found> found;
    std::vector<std::pair<int, int>> stack;
    for (int i = 0; i < kPlaceRootRegions; ++i) stack.push_back({0, i});
    while (!stack.empty()) {
        auto [level, index] = stack.back();
        stack.pop_back();
        PlaceTreeNode *node = PlaceTreeNodeAt(&tree, level, index);
        ASSERT_NE(node, nullptr);
        if (node->region.childFile == kPlacesFile) {
            for (int k = node->region.first; k < node->region.end; ++k) {
                EXPECT_TRUE(reached.insert(k).second) << "place " << k << " twice";
                PlaceRecord p;
                ASSERT_EQ(ReadPlace(t, k, &p), 1);
                Found f;
                char name[kDecodedPlaceNameSize];
                DecodePlace(&p, node->region.name, &f.lon, &f.lat, &f.named, &f.zone, name);
                f.name = name;
                f.hasRule = DecodePlaceDaylightRule(&p, &f.rule);
                found.push_back(f);
            }
            continue;
        }
        int collapse;
        std::vector<int> insert;
        ASSERT_EQ(ExpandPlaceTreeNode(t, &tree, level, index, &collapse, &insert), 1);
        for (int child : insert) stack.push_back({node->region.childFile, child});
    }
    int count = CountPlaceTableRecords(t, kPlacesFile);
    EXPECT_EQ(count, 3428);
    EXPECT_EQ((int)reached.size(), count);
    FreePlaceTree(&tree);
    ClosePlacesTables(t);

    // Published positions (degrees, west positive), zones and rules.
    struct City {
        const char *name;
        double lon, lat, zone;
        int named, hasRule, startMonth, startHour;
    } cities[] = {
        {"Aachen Germany", -6.10, 50.77, 1.0, 0, 1, 3, 2},
        {"Denver Colorado", 104.98, 39.74, -7.0, 3, 1, 3, 2},
        {"Honolulu Hawaii", 157.86, 21.31, -10.0, 0, 0, 0, 0},
        {"Helsinki Finland", -24.94, 60.17, 2.0, 0, 1, 3, 3},
    };
    for (const City &c : cities) {
        const Found *f = nullptr;
        for (const Found &x : found)
            if (x.name == c.name) f = &x;
        ASSERT_NE(f, nullptr) << c.name;
        EXPECT_NEAR(f->lon, c.lon, 0.03) << c.name;
        EXPECT_NEAR(f->lat, c.lat, 0.03) << c.name;
        EXPECT_NEAR(f->zone, c.zone, 1e-9) << c.name;
        EXPECT_EQ(f->named, c.named) << c.name;
        EXPECT_EQ(f->hasRule, c.hasRule) << c.name;
        if (c.hasRule) {
            EXPECT_EQ(+f->rule.startMonth, c.startMonth) << c.name;
            EXPECT_EQ(+f->rule.startHour, (float)c.startHour) << c.name;
        }
    }
}

}  // namespace
