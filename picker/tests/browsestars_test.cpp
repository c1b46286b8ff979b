// The browse cursor's variable-star and double-star listings: variable-star
// names of a constellation filtered by a pattern, CCDM systems by page with
// a typed identifier selected (demo catalogues), and the ADS and NSV number
// listings on small hand-written files (the NSV numbers jump from 14,811 to
// 15,001).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "objects/ccdmcat.h"
#include "objects/objectrecord.h"
#include "objects/starrecord.h"
#include "objects/tests/democatalogues.h"
#include "objects/tests/starbytes.h"
#include "objects/variablecat.h"
#include "picker/browse.h"
#include "testutil/testutil.h"

namespace {

// Constellation 21 of the abbreviation table (Cet); below Serpens, so its
// browse value is the same number.
const int kCetus = 21;

struct Listing {
    int result = 0;
    std::vector<std::string> rows;
    std::vector<int32_t> numbers;
    int32_t page = 0, total = -7, selected = -7;
};

Listing List(BrowseState *state, int kind, int constellation, const char *pattern,
             int32_t page = 0) {
    Listing l;
    l.page = page;
    BrowseReset(state);
    for (int i = 0; i < 20000; ++i) {
        int32_t number = -9;
        char text[kBrowseRowTextSize];
        int r = NextBrowseObject(state, kClassStar, kind, constellation, pattern, &l.page,
                                 &l.total, &l.selected, &number, text);
        if (r != 1) {
            l.result = r;
            break;
        }
        l.rows.push_back(text);
        l.numbers.push_back(number);
    }
    return l;
}

class DemoStarBrowse : public ::testing::Test {
protected:
    void SetUp() override {
        if (!democat::UseDemoCatalogues()) GTEST_SKIP() << "no demo catalogues";
    }
    void TearDown() override { SetRefDirectories("", "", ""); }
    BrowseState state_;
};

TEST_F(DemoStarBrowse, VariableStarsOfAConstellationFilteredByName) {
    Listing all = List(&state_, kStarKindVariable, kCetus, "*");
    EXPECT_EQ(all.result, 0);
    ASSERT_GE(all.rows.size(), 5u);
    EXPECT_EQ(all.total, static_cast<int32_t>(all.rows.size()));
    // Every row names a record of the variable-star file that is that star.
    VariableStarFiles *files = OpenVariableStarFiles();
    ASSERT_NE(files, nullptr);
    bool mira = false;
    for (size_t i = 0; i < all.rows.size(); ++i) {
        VariableStarRecord v;
        std::memset(&v, 0, sizeof v);
        ASSERT_EQ(ReadVariableStar(files, all.numbers[i], &v, kVariableReadIdentifiers), 1);
        EXPECT_EQ(all.rows[i], v.name);
        EXPECT_EQ(v.constellation, kCetus);
        mira |= all.rows[i] == "Omicron Cet";
    }
    CloseVariableStarFiles(files);
    EXPECT_TRUE(mira);
    // The pattern keeps the names it begins, whatever their case.
    Listing om = List(&state_, kStarKindVariable, kCetus, "omi");
    EXPECT_EQ(om.result, 0);
    ASSERT_EQ(om.rows.size(), 1u);
    EXPECT_EQ(om.rows[0], "Omicron Cet");
    // Without a constellation there is nothing to list.
    Listing none = List(&state_, kStarKindVariable, 0, "*");
    EXPECT_EQ(none.result, 0);
    EXPECT_TRUE(none.rows.empty());
}

TEST_F(DemoStarBrowse, CcdmSystemsByPageAndTheTypedIdentifier) {
    CcdmFiles *files = OpenCcdmFiles();
    ASSERT_NE(files, nullptr);
    const int systems = CountCcdmRecords(files);
    CloseCcdmFiles(files);
    ASSERT_GT(systems, 2000);
    Listing first = List(&state_, kStarKindCcdm, 0, "*");
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(first.total, systems);
    ASSERT_EQ(first.rows.size(), 1000u);
    for (size_t i = 1; i < first.rows.size(); ++i)
        EXPECT_EQ(first.numbers[i], first.numbers[i - 1] + 1);
    // Page 2 goes on where page 1 ended.
    Listing second = List(&state_, kStarKindCcdm, 0, "*", 1);
    ASSERT_FALSE(second.rows.empty());
    EXPECT_EQ(second.numbers[0], 1001);
    // epsilon Lyr typed: its page, its row selected.
    int record = 0;
    ASSERT_GE(FindCcdmRecord({18443, 3940, '+'}, &record, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0),
              1);
    Listing typed = List(&state_, kStarKindCcdm, 0, "CCDM 18443+3940");
    EXPECT_EQ(typed.page, (record - 1) / 1000);
    ASSERT_GE(typed.selected, 0);
    EXPECT_EQ(typed.rows[typed.selected], "CCDM 18443+3940");
    EXPECT_EQ(typed.numbers[typed.selected], record);
    // An identifier the catalogue lacks opens the page where it would be,
    // with nothing selected.
    Listing absent = List(&state_, kStarKindCcdm, 0, "CCDM 18443+3941");
    EXPECT_EQ(absent.page, typed.page);
    EXPECT_EQ(absent.selected, -1);
    // Discoverer designations list too; ADS and NSV have no demo file.
    Listing wds = List(&state_, kStarKindWds, 0, "*");
    EXPECT_EQ(wds.result, 0);
    EXPECT_FALSE(wds.rows.empty());
    EXPECT_EQ(List(&state_, kStarKindAds, 0, "*").result, -1);
    EXPECT_EQ(List(&state_, kStarKindNsv, 0, "*").result, -1);
    EXPECT_EQ(state_.sources, nullptr);
}

class NumberedStarBrowse : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    }
    void TearDown() override { SetRefDirectories("", "", ""); }
    testutil::TempDir dir_;
    BrowseState state_;
};

TEST_F(NumberedStarBrowse, AdsNumbersThatNameASystem) {
    // ADS 1 -> system 5, ADS 2 none, ADS 3 -> systems 7 and 8.
    std::string ads(36, '\0');
    starbytes::Put32(ads, 0, 5);
    starbytes::Put32(ads, 24, 7);
    starbytes::Put32(ads, 28, 8);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("ads_ccdm.bin"), ads));
    Listing l = List(&state_, kStarKindAds, 0, "*");
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.rows, (std::vector<std::string>{"ADS 1", "ADS 3"}));
    EXPECT_EQ(l.numbers, (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(l.total, 3);
    Listing typed = List(&state_, kStarKindAds, 0, "ADS 3");
    EXPECT_EQ(typed.rows, l.rows);
    EXPECT_EQ(typed.selected, 1);
    // A number outside the file, or no number, lists nothing.
    EXPECT_TRUE(List(&state_, kStarKindAds, 0, "ADS 4").rows.empty());
    EXPECT_TRUE(List(&state_, kStarKindAds, 0, "ADS x").rows.empty());
}

TEST_F(NumberedStarBrowse, NsvNumbersJumpFrom14811To15001) {
    // 14,813 records: NSV 1-14,811, then NSV 15,001 and 15,002.
    const int records = kLastNsvOfFirstRun + 2;
    std::string nsv(static_cast<size_t>(records) * kNsvRecordSize, '\0');
    for (int r = 0; r < records; ++r) {
        // No magnitude (4095) and no types, as an unknown star would read.
        starbytes::Put32(nsv, (size_t)r * kNsvRecordSize + 8, 0xffffff);
        starbytes::Put32(nsv, (size_t)r * kNsvRecordSize + 21, 0xffffffff);
        starbytes::Put32(nsv, (size_t)r * kNsvRecordSize + 25, 0xffffffff);
    }
    ASSERT_TRUE(testutil::WriteFileBytes(dir_.file("nsvref_f.bin"), nsv));
    Listing first = List(&state_, kStarKindNsv, 0, "*");
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(first.total, records);
    ASSERT_EQ(first.rows.size(), 1000u);
    EXPECT_EQ(first.rows.front(), "NSV 1");
    EXPECT_EQ(first.rows.back(), "NSV 1000");
    Listing typed = List(&state_, kStarKindNsv, 0, "NSV 15001");
    EXPECT_EQ(typed.page, 14);
    ASSERT_GE(typed.selected, 1);
    EXPECT_EQ(typed.rows[typed.selected], "NSV 15001");
    EXPECT_EQ(typed.numbers[typed.selected], 15001);
    EXPECT_EQ(typed.rows[typed.selected - 1], "NSV 14811");
    EXPECT_EQ(typed.rows.back(), "NSV 15002");
    // The numbers between the two runs have no record: nothing is listed.
    EXPECT_TRUE(List(&state_, kStarKindNsv, 0, "NSV 14900").rows.empty());
    EXPECT_TRUE(List(&state_, kStarKindNsv, 0, "NSV 15003").rows.empty());
}

}  // namespace
