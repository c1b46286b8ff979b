// Tests of the star designation list: natural and preferred order, the
// component suffix, the maximum, the second pass when nothing is enabled,
// compact-only and GSC stars, the gating of common names, the catalogue
// parts of the first and second entries, and the Durchmusterung texts.
#include "objects/stardes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "astro/angletext.h"
#include "core/datapaths.h"
#include "objects/designationlist.h"
#include "objects/starcat.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {

const double kDeg = kPi / 180.0;

StarRecord Star() {
    StarRecord s;
    std::memset(&s, 0, sizeof(s));
    s.ra = 219.9 * kDeg;
    s.dec = -60.8 * kDeg;
    s.hr = 1234;
    s.hd = 5000;
    s.sao = 1;
    s.hip = 77;
    s.bd.zone = 16;
    s.bd.sign = '-';
    s.bd.number = 1591;
    s.bd.suffix = ' ';
    s.cd.sign = ' ';
    s.cp.sign = ' ';
    uint32_t code = (18u << 8) | (1u << 15);  // Alpha Cen
    s.bayer_flamsteed[0] = code & 0xff;
    s.bayer_flamsteed[1] = (code >> 8) & 0xff;
    s.bayer_flamsteed[2] = (code >> 16) & 0xff;
    s.component = 'A';
    return s;
}

std::vector<std::string> Entries(const DesignationList &list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.count; ++i) out.push_back(list.entries[i]);
    return out;
}

std::string JText(const StarRecord &s) {
    char text[65];
    FormatJDesignation(text, s.ra, s.dec);
    return text;
}

// Preferences: the star family in a given order, the listed slots enabled.
DesignationPreferences Prefs(const std::vector<int> &order, const std::vector<int> &enabled) {
    DesignationPreferences p;
    std::memset(&p, 0, sizeof(p));
    for (int f = 0; f < kDesignationFamilyCount; ++f)
        for (int i = 0; i < kDesignationPositions; ++i) p.order[f][i] = static_cast<uint8_t>(i);
    for (size_t i = 0; i < order.size(); ++i) p.order[0][i] = static_cast<uint8_t>(order[i]);
    for (int slot : enabled) p.enabled[0][slot] = 1;
    return p;
}

class StarDesignations : public ::testing::Test {
protected:
    void SetUp() override {
        // Slot 1 holds csn.bin: record 1 preferred, record 2 not.
        std::string csn(2 * 454, '\0');
        std::memcpy(&csn[0], "Rigil Kentaurus", 15);
        csn[453] = 1;
        std::memcpy(&csn[454], "Toliman", 7);
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("csn.bin"), csn));
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    }
    testutil::TempDir dir_;
    DesignationList list_;
};

TEST_F(StarDesignations, NaturalOrderWithComponentSuffix) {
    StarRecord s = Star();
    ASSERT_EQ(FormatStarDesignations(nullptr, &s, ' ', &list_, 0, 0, nullptr, nullptr), 1);
    std::vector<std::string> expected = {"Alpha Cen", "HR 1234", "HD 5000", "SAO 1",
                                         "HIP 77", "BD -16 01591", JText(s)};
    EXPECT_EQ(Entries(list_), expected);
    FormatStarDesignations(nullptr, &s, 'B', &list_, 3, 0, nullptr, nullptr);
    expected = {"Alpha Cen B", "HR 1234 B", "HD 5000 B"};
    EXPECT_EQ(Entries(list_), expected);
    FormatStarDesignations(nullptr, &s, 'A', &list_, 2, 0, nullptr, nullptr);
    expected = {"Alpha Cen", "HR 1234"};
    EXPECT_EQ(Entries(list_), expected);
    EXPECT_EQ(FormatStarDesignations(nullptr, nullptr, ' ', &list_, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(FormatStarDesignations(nullptr, &s, ' ', nullptr, 0, 0, nullptr, nullptr), 0);
}

TEST_F(StarDesignations, MaximumOneGivesTheName) {
    StarRecord s = Star();
    DesignationPreferences p = Prefs({8, 4, 5}, {0, 1, 2});  // HIP, HR, HD
    FormatStarDesignations(&p, &s, ' ', &list_, 1, 0, nullptr, nullptr);
    EXPECT_EQ(Entries(list_), std::vector<std::string>{"HIP 77"});
    FormatStarDesignations(&p, &s, ' ', &list_, 0, 0, nullptr, nullptr);
    EXPECT_EQ(Entries(list_), (std::vector<std::string>{"HIP 77", "HR 1234", "HD 5000"}));
}

TEST_F(StarDesignations, NothingEnabledStillNamesTheStar) {
    StarRecord s = Star();
    DesignationPreferences p = Prefs({6, 8}, {});  // SAO, HIP first; nothing enabled
    FormatStarDesignations(&p, &s, ' ', &list_, 2, 0, nullptr, nullptr);
    EXPECT_EQ(Entries(list_), (std::vector<std::string>{"SAO 1", "HIP 77"}));
    // Only HD enabled, and the star has none: the second pass names it.
    s.hd = 0;
    p = Prefs({5, 6, 8}, {0});
    FormatStarDesignations(&p, &s, ' ', &list_, 1, 0, nullptr, nullptr);
    EXPECT_EQ(Entries(list_), std::vector<std::string>{"SAO 1"});
    // Kinds above 19 in the table are skipped.
    p = Prefs({42, 8}, {0, 1});
    FormatStarDesignations(&p, &s, ' ', &list_, 1, 0, nullptr, nullptr);
    EXPECT_EQ(Entries(list_), std::vector<std::string>{"HIP 77"});
}

TEST_F(StarDesignations, CompactAndGscStars) {
    StarRecord s;
    std::memset(&s, 0, sizeof(s));
    s.ra = 1.0;
    s.dec = 0.5;
    s.tycho_region = 4321;
    s.tycho_number = 77;
    s.tycho_component = 1;
    s.bd.sign = s.cd.sign = s.cp.sign = ' ';
    DesignationParts first, second;
    FormatStarDesignations(nullptr, &s, ' ', &list_, 0, 0, &first, &second);
    EXPECT_EQ(Entries(list_), (std::vector<std::string>{"TYC 04321-0077 1", JText(s)}));
    EXPECT_STREQ(first.catalogue, "TYC");
    EXPECT_EQ(+first.form, 3);
    EXPECT_EQ(+first.first, 4321);
    EXPECT_EQ(+first.second, 77);
    EXPECT_EQ(+first.third, 1);
    EXPECT_EQ(+first.plain, 0);
    EXPECT_EQ(+second.plain, 1);  // the J designation is a plain name
    s.tycho_component = 0;
    FormatStarDesignations(nullptr, &s, ' ', &list_, 0, 0, &first, nullptr);
    EXPECT_EQ(Entries(list_), (std::vector<std::string>{"GSC 04321-0077", JText(s)}));
    EXPECT_STREQ(first.catalogue, "GSC");
    EXPECT_EQ(+first.form, 2);
}

TEST_F(StarDesignations, CommonNamesGatedByTheirMark) {
    StarRecord s = Star();
    s.common_name_record = 1;  // preferred
    DesignationParts first, second;
    FormatStarDesignations(nullptr, &s, ' ', &list_, 2, 0, &first, &second);
    EXPECT_EQ(Entries(list_), (std::vector<std::string>{"Rigil Kentaurus", "Alpha Cen"}));
    EXPECT_EQ(+first.plain, 1);
    EXPECT_EQ(+second.plain, 1);

    s.common_name_record = 2;  // not preferred
    FormatStarDesignations(nullptr, &s, ' ', &list_, 1, 0, nullptr, nullptr);
    EXPECT_EQ(Entries(list_), std::vector<std::string>{"Alpha Cen"});
    FormatStarDesignations(nullptr, &s, ' ', &list_, 1, 1, nullptr, nullptr);  // all-flag
    EXPECT_EQ(Entries(list_), std::vector<std::string>{"Toliman"});
    DesignationPreferences p = Prefs({}, {0, 1});
    p.starNameFlag = 0;  // every name
    FormatStarDesignations(&p, &s, ' ', &list_, 1, 0, nullptr, nullptr);
    EXPECT_EQ(Entries(list_), std::vector<std::string>{"Toliman"});
    p.starNameFlag = 1;  // marked names only
    FormatStarDesignations(&p, &s, ' ', &list_, 1, 0, nullptr, nullptr);
    EXPECT_EQ(Entries(list_), std::vector<std::string>{"Alpha Cen"});
}

TEST_F(StarDesignations, PartsOfFirstAndSecondEntries) {
    StarRecord s = Star();
    DesignationParts first, second;
    std::memset(&first, 0x55, sizeof(first));
    std::memset(&second, 0x55, sizeof(second));
    DesignationPreferences p = Prefs({9, 4, 1}, {0, 1, 2});  // BD, HR, Bayer
    FormatStarDesignations(&p, &s, ' ', &list_, 0, 0, &first, &second);
    EXPECT_EQ(Entries(list_), (std::vector<std::string>{"BD -16 01591", "HR 1234", "Alpha Cen"}));
    EXPECT_STREQ(first.catalogue, "BD");
    EXPECT_EQ(+first.form, 3);
    EXPECT_EQ(+first.first, 16);
    EXPECT_EQ(+first.second, 1591);
    EXPECT_EQ(+first.third, 0);
    EXPECT_EQ(+first.plain, 0);
    // The second parts are those of the second entry, not of the last.
    EXPECT_STREQ(second.catalogue, "HR");
    EXPECT_EQ(+second.form, 1);
    EXPECT_EQ(+second.first, 1234);
    EXPECT_EQ(+second.plain, 0);
}

TEST(DurchmusterungText, Formats) {
    struct { int cat; int zone; char sign; int number; char suffix; int result; const char *text; }
    cases[] = {
        {1, 16, '-', 1591, ' ', 1, "BD -16 01591"},
        {2, 5, '+', 12, 'b', 1, "CD +05 00012b"},
        {3, 60, '-', 123, 'B', 1, "CP -60 00123b"},  // suffixes compared case-blind
        {1, 16, '-', 1591, 'A', 1, "BD -16 01591a"},  // another star than BD -16 1591
        {1, 16, '-', 1591, 'a', 1, "BD -16 01591a"},
        {1, 16, '-', 1591, '\0', 1, "BD -16 01591"},
        {4, 16, '-', 1591, ' ', 0, ""},
        {0, 16, '-', 1591, ' ', 0, ""}};
    for (auto c : cases) {
        char text[65] = "junk";
        EXPECT_EQ(FormatDurchmusterungDesignation(text, c.cat, c.zone, c.sign, c.number, c.suffix),
                  c.result);
        EXPECT_STREQ(text, c.text);
    }
}

TEST(ComponentLetter, Suffix) {
    char text[16] = "HR 1234";
    AppendComponentLetter(text, 'A');
    EXPECT_STREQ(text, "HR 1234");
    AppendComponentLetter(text, ' ');
    EXPECT_STREQ(text, "HR 1234");
    AppendComponentLetter(text, 'B');
    EXPECT_STREQ(text, "HR 1234 B");
}

}  // namespace
