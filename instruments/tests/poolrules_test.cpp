// The assigned id list, the Barlow field and the checks and conversions of
// the eyepiece, filter and lens edit dialogs.
#include "instruments/poolrules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

TEST(AssignedIds, LimitsDuplicatesRemovalAndMoves) {
    const struct { int limit; } limits[] = {{kMostAssignedEyepieces}, {kMostAssignedFilters}, {kMostAssignedLenses}};
    for (const auto &l : limits) {
        AssignedIdList list;
        list.limit = l.limit;
        for (int i = 0; i < l.limit; ++i) ASSERT_EQ(AssignPoolId(&list, 5), 1);  // same id many times
        EXPECT_EQ(AssignPoolId(&list, 6), 0) << l.limit;
        EXPECT_EQ((int)list.ids.size(), l.limit);
    }
    AssignedIdList list;
    list.limit = 10;
    for (uint16_t id : {3, 4, 3, 7}) AssignPoolId(&list, id);
    EXPECT_EQ(RemoveFirstAssigned(&list, 3), 0);
    EXPECT_EQ(list.ids, (std::vector<uint16_t>{4, 3, 7}));
    EXPECT_EQ(RemoveFirstAssigned(&list, 9), -1);
    EXPECT_EQ(MoveAssigned(&list, 0, +1), 1);
    EXPECT_EQ(list.ids, (std::vector<uint16_t>{3, 4, 7}));
    EXPECT_EQ(MoveAssigned(&list, 2, +1), 2);  // last line stays
    EXPECT_EQ(MoveAssigned(&list, 0, -1), 0);  // first line stays
    EXPECT_EQ(RemoveAssignedAt(&list, 3), 0);
    EXPECT_EQ(RemoveAssignedAt(&list, 1), 1);
    EXPECT_EQ(list.ids, (std::vector<uint16_t>{3, 7}));
}

TEST(AssignedIds, IdsOfDeletedRecordsAreDroppedSoLinesMatchIds) {
    AssignedIdList list;
    list.limit = 70;
    for (uint16_t id : {2, 9, 2, 4}) AssignPoolId(&list, id);
    RemoveFirstAssigned(&list, 2);  // the pool record 2 is deleted ...
    DropMissingAssigned(&list, [](int id) { return id == 2 ? 0 : 1; });  // ... so its second line goes too
    EXPECT_EQ(list.ids, (std::vector<uint16_t>{9, 4}));
}

TEST(Barlow, FieldRules) {
    const struct { const char *text; int ok; float factor; } cases[] = {
        {"2", 1, 2.0f}, {"1", 1, 0.0f}, {"0", 1, 0.0f}, {"", 0, 3.0f}, {"  ", 0, 3.0f},
        {"-2", 0, 3.0f}, {"abc", 0, 3.0f}, {"2147483647", 0, 3.0f}, {"2.5", 1, 2.5f}};
    for (const auto &c : cases) {
        float f = 3.0f;
        EXPECT_EQ(ReadBarlowText(c.text, &f), c.ok) << c.text;
        EXPECT_FLOAT_EQ(+f, c.factor) << c.text;
    }
}

TEST(EditChecks, EyepieceBoundsAndMeasuredField) {
    const struct { const char *name; double fl, af; int ok; } cases[] = {
        {"E", 100.0, 180.0, 1}, {"E", 100.1, 50, 0}, {"E", 25, 180.1, 0}, {"", 25, 50, 0},
        {"E", 0, 50, 0}, {"E", 25, 0, 0}};
    for (const auto &c : cases) EXPECT_EQ(CheckEyepieceValues(c.name, c.fl, c.af), c.ok) << c.fl << " " << c.af;
    EXPECT_DOUBLE_EQ(ComputeMeasuredApparentField(60.0, 1000.0, 25.0), 40.0);
    EXPECT_DOUBLE_EQ(ComputeMeasuredApparentField(60.0, 0.0, 25.0), 0.0);
    EXPECT_DOUBLE_EQ(ComputeMeasuredApparentField(60.0, 1000.0, 0.0), 0.0);
}

TEST(EditChecks, StandardFilterZeroPointsAndStoredUnits) {
    const struct { double um, zp; } points[] = {
        {0.300, -10.9}, {0.365, -10.9}, {0.40, -10.9 + (0.035 / 0.075) * 0.5}, {0.55, -11.1}, {1.0, -12.7}};
    for (const auto &p : points) EXPECT_NEAR(StandardFilterZeroPoint(p.um), p.zp, 1e-12) << p.um;
    FilterRecord f;
    std::memset(&f, 0, sizeof f);
    f.surfaceTransmission = 0.5;
    ASSERT_EQ(ReadStandardFilterValues(&f, "Ha", 656.3, 7.0, 0.0), 1);  // 0 % accepted
    EXPECT_STREQ(f.name, "Ha");
    EXPECT_DOUBLE_EQ(+f.wavelength, 0.6563);
    EXPECT_DOUBLE_EQ(+f.bandwidth, 0.007);
    EXPECT_DOUBLE_EQ(+f.peakTransmission, 0.0);
    EXPECT_DOUBLE_EQ(+f.surfaceTransmission, 0.0);
    EXPECT_NEAR(+f.zeroPoint, -11.1 + (0.1063 / 0.15) * -0.8, 1e-12);
    EXPECT_EQ(ReadStandardFilterValues(&f, "X", 500, 0, 50), 0);
    EXPECT_DOUBLE_EQ(+f.wavelength, 0.5);  // stored once it passed
    EXPECT_EQ(ReadStandardFilterValues(&f, "X", 500, 10, 100.5), 0);
}

TEST(EditChecks, NeutralDensityModesAndLens) {
    EXPECT_DOUBLE_EQ(NeutralDensityTransmission(100.0, 0), 1.0);
    EXPECT_DOUBLE_EQ(NeutralDensityTransmission(0.0, 1), 0.0);  // OD 0 refused
    EXPECT_DOUBLE_EQ(NeutralDensityTransmission(0.5, 2), 0.0);  // attenuation below 1
    EXPECT_DOUBLE_EQ(NeutralDensityTransmission(101.0, 0), 0.0);
    EXPECT_NEAR(NeutralDensityTransmission(3.0, 1), 0.001, 1e-15);
    for (double t : {0.5, 0.125, 0.01}) {
        for (int mode = 0; mode < 3; ++mode) {
            double shown = std::round(NeutralDensityValue(t, mode) * 100.0) / 100.0;
            double back = NeutralDensityTransmission(shown, mode);
            EXPECT_NEAR(NeutralDensityValue(back, mode), shown, 0.006) << t << " " << mode;
        }
    }
    EXPECT_EQ(CheckLensValues(50.0, 0.9), 0);
    EXPECT_EQ(CheckLensValues(50.0, 1.0), 1);
    EXPECT_EQ(CheckLensValues(0.0, 4.0), 0);
}

}  // namespace
