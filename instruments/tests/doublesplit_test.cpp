// Tests of Dawes' limit and of the eyepiece chosen to split a double star.
#include "instruments/doublesplit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "instruments/optics.h"

namespace {

// An 8-inch f/6 (1219.2 mm) with 32, 25 and 9 mm eyepieces: x38.1, x48.8, x135.5;
// with its 2x Barlow x76.2, x97.5, x270.9.
std::unique_ptr<OpticsBlock> EightInch() {
    std::unique_ptr<OpticsBlock> o(new OpticsBlock);
    std::memset(o.get(), 0, sizeof *o);
    InitTelescopeOptics(o.get(), "8in", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.0);
    SetEyepieceEntry(o.get(), 0, 0, "32", 32, 52);
    SetEyepieceEntry(o.get(), 0, 1, "25", 25, 52);
    SetEyepieceEntry(o.get(), 0, 2, "9", 9, 52);
    o->eyepieceCount = 3;
    o->barlowFactor = 2.0f;
    return o;
}

TEST(DoubleSplit, LimitsAndMagnifications) {
    EXPECT_NEAR(DawesLimit(100), 1.16, 1e-12);
    EXPECT_EQ(DawesLimit(0), 0.0);
    EXPECT_NEAR(OptimumSplitMagnification(2.5), 300.0, 1e-12);
    EXPECT_NEAR(MinimumSplitMagnification(2.5), 120.0, 1e-12);
}

TEST(DoubleSplit, ChoosesTheEyepieceNearestTheOptimum) {
    struct Case {
        double separation, seeing, airMass;
        int index, barlow;
    } cases[] = {
        {2.5, 1.0, 1.0, 2, 1},   // x300 wanted: 9 mm with the Barlow (x271)
        {5.0, 1.0, 1.0, 2, 0},   // x150 wanted: 9 mm alone (x135) beats x97.5
        {20.0, 1.0, 1.0, 0, 0},  // x37.5 wanted: 32 mm
        {1.5, 1.0, 2.0, -1, 0},  // seeing disc 1 x 2^0.6 = 1.516" wider than the pair
        {0.0, 0.0, 1.0, -1, 0},  // no separation
        {0.5, 0.3, 1.0, -1, 0},  // x600 minimum: no eyepiece reaches it
    };
    for (const Case &c : cases) {
        auto o = EightInch();
        double m = 0.0;
        int barlow = 7;
        EXPECT_EQ(ChooseEyepieceToSplitDouble(o.get(), c.seeing, c.airMass, c.separation, &m, &barlow),
                  c.index)
            << c.separation;
        EXPECT_EQ(barlow, c.barlow) << c.separation;
        EXPECT_EQ(o->barlowInUse, 0);
        if (c.separation > 0.0) {
            EXPECT_NEAR(m, 750.0 / c.separation, 1e-9);
        }
    }
    // Without a Barlow only the plain eyepieces compete.
    auto o = EightInch();
    o->barlowFactor = 0.0f;
    int barlow = 0;
    double m = 0.0;
    EXPECT_EQ(ChooseEyepieceToSplitDouble(o.get(), 1.0, 1.0, 2.5, &m, &barlow), 2);
    EXPECT_EQ(barlow, 0);
}

TEST(DoubleSplit, LeavesTheCallersSelectionAndPrefersTheFirstOfATie) {
    auto o = EightInch();
    ASSERT_EQ(SelectEyepiece(o.get(), 0), 1);
    o->barlowInUse = 1;
    ASSERT_EQ(SelectEyepiece(o.get(), 0), 1);
    const double magnification = o->magnification, trueField = o->trueField;
    double m = 0.0;
    int barlow = 0;
    EXPECT_EQ(ChooseEyepieceToSplitDouble(o.get(), 1.0, 1.0, 2.5, &m, &barlow), 2);
    EXPECT_EQ(barlow, 1);
    EXPECT_EQ(o->currentEyepiece, 0);
    EXPECT_EQ(o->barlowInUse, 1);
    const double magnificationAfter = o->magnification, trueFieldAfter = o->trueField;
    EXPECT_EQ(magnificationAfter, magnification);
    EXPECT_EQ(trueFieldAfter, trueField);

    // Two eyepieces of the same focal length: the first one found wins.
    auto t = EightInch();
    SetEyepieceEntry(t.get(), 0, 3, "9b", 9, 52);
    t->eyepieceCount = 4;
    t->barlowFactor = 0.0f;
    EXPECT_EQ(ChooseEyepieceToSplitDouble(t.get(), 1.0, 1.0, 5.0, &m, &barlow), 2);
}

}  // namespace
