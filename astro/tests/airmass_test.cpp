// Air mass and extinction against values worked by hand from Rozenberg's formula.
#include "astro/airmass.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/mathutil.h"

TEST(AirMass, RozenbergFormulaAtChosenAltitudes) {
    const double deg = kPi / 180.0;
    struct Case { double altitude, expected; } cases[] = {
        {90 * deg, 1.0 / (1.0 + 0.025 * std::exp(-11.0))},   // zenith, just below 1
        {30 * deg, 1.0 / (0.5 + 0.025 * std::exp(-5.5))},    // cos z = 0.5: 1.99959...
        {0.0, 40.0},                                          // horizon
        {-5 * deg, 40.0},                                     // below it
        {100 * deg, 1.0 / (1.0 + 0.025 * std::exp(-11.0))},  // past the zenith counts as it
    };
    for (const Case &c : cases) EXPECT_NEAR(ComputeAirMass(c.altitude), c.expected, 1e-12);
    EXPECT_NEAR(ComputeAirMass(30 * deg), 1.999591, 1e-6);
}

TEST(AirMass, ExtinctionIsCoefficientTimesAirMassAndFortyBelowTheHorizon) {
    const double deg = kPi / 180.0;
    EXPECT_NEAR(ComputeExtinction(0.2, 30 * deg), 0.2 * 1.999591, 1e-6);
    EXPECT_DOUBLE_EQ(ComputeExtinction(0.2, 0.0), 40.0);
    EXPECT_DOUBLE_EQ(ComputeExtinction(0.0, -0.1), 40.0);
}
