// Tests of the sky brightness units: limit <-> surface brightness,
// nanolamberts and model flux, light-pollution excess, band fluxes and the
// five-point table.
#include "photometry/skybright.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(SkyBrightnessUnits, LimitAndSurfaceBrightnessBothWays) {
    struct Case {
        double limit, brightness;
    } fromLimit[] = {{4.0, 17.4180}, {6.0, 19.9642}, {7.0, 21.6713},
                     {7.1, 21.8807}, {8.0, 24.7159}, {9.0, 24.7159}};
    for (const Case &c : fromLimit)
        EXPECT_NEAR(ComputeSkyBrightnessFromLimit(c.limit), c.brightness, 5e-5) << c.limit;

    EXPECT_NEAR(ComputeNakedEyeLimit(20.0), 6.0242, 5e-5);
    EXPECT_NEAR(ComputeNakedEyeLimit(21.58), 6.9549, 5e-5);
    for (double n = 2.0; n <= 8.0; n += 0.25)
        EXPECT_NEAR(ComputeNakedEyeLimit(ComputeSkyBrightnessFromLimit(n)), n, 1e-9) << n;
}

TEST(SkyBrightnessUnits, NanolambertsAndModelFlux) {
    EXPECT_NEAR(ConvertSkyBrightnessToNanolamberts(22.5), 34.08, 1e-12);
    EXPECT_NEAR(ConvertNanolambertsToSkyBrightness(34.08), 22.5, 1e-12);
    for (double m : {15.0, 18.3, 21.0, 23.9})
        EXPECT_NEAR(ConvertNanolambertsToSkyBrightness(ConvertSkyBrightnessToNanolamberts(m)), m,
                    1e-9);
    // One magnitude brighter is 10^0.4 more light (to the model's 1.08574).
    EXPECT_NEAR(ConvertSkyBrightnessToNanolamberts(21.5) / ConvertSkyBrightnessToNanolamberts(22.5),
                std::exp(1.0 / 1.08574), 1e-12);

    EXPECT_NEAR(ConvertSkyBrightnessToModelFlux(22.5), 34.08 * 1.11e-15, 1e-25);
    EXPECT_NEAR(ConvertModelFluxToSkyBrightness(ConvertSkyBrightnessToModelFlux(19.0)), 19.0, 1e-9);
    // Darker than the zero point, or no flux at all, reads as 22.5.
    EXPECT_EQ(ConvertModelFluxToSkyBrightness(0.0), 22.5);
    EXPECT_EQ(ConvertModelFluxToSkyBrightness(0.5 * 34.08 * 1.11e-15), 22.5);
    EXPECT_EQ(ConvertModelFluxToSkyBrightness(ConvertSkyBrightnessToModelFlux(23.5)), 22.5);
}

TEST(SkyBrightnessUnits, LightPollutionAndBandFlux) {
    EXPECT_EQ(ComputeLightPollutionExcess(7.1), 0.0);
    EXPECT_EQ(ComputeLightPollutionExcess(7.5), 0.0);
    EXPECT_NEAR(ComputeLightPollutionExcess(7.06), 5.4527e-15, 5e-19);
    EXPECT_NEAR(ComputeLightPollutionExcess(6.0), 3.2405e-13, 5e-17);

    const double base[5] = {2.90807e-14, -4.22672e-15, 1.43707e-14, 9.25087e-14, 2.06333e-13};
    const double scale[5] = {0.831764, 0.478631, 1.0, 3.5, 14.0};
    double v[5];
    ComputeBandNightSkyFlux(v, 7.06);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(v[i], base[i], 1e-28) << i;
    ComputeBandNightSkyFlux(v, 7.5);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(v[i], base[i] - 5.4527e-15 * scale[i], 1e-18) << i;
    EXPECT_LT(v[1], 0.0);  // the B band's excess goes negative, as the model states
    ComputeBandNightSkyFlux(v, 5.0);
    for (int i = 0; i < 5; ++i) EXPECT_GT(v[i], base[i]) << i;  // a polluted sky is brighter
}

TEST(SkyBrightnessUnits, FivePointTableAndDarkness) {
    const double xs[5] = {1.0, 2.0, 4.0, 8.0, 16.0};
    const double ys[5] = {10.0, 20.0, 0.0, -40.0, 5.0};
    EXPECT_EQ(InterpolateFivePointTable(0.0, xs, ys), 10.0);   // held, not extrapolated
    EXPECT_EQ(InterpolateFivePointTable(1.0, xs, ys), 10.0);
    EXPECT_EQ(InterpolateFivePointTable(1.5, xs, ys), 15.0);
    EXPECT_EQ(InterpolateFivePointTable(4.0, xs, ys), 0.0);     // xs[2] gives ys[2]
    EXPECT_EQ(InterpolateFivePointTable(6.0, xs, ys), -20.0);
    EXPECT_EQ(InterpolateFivePointTable(12.0, xs, ys), -17.5);
    EXPECT_EQ(InterpolateFivePointTable(99.0, xs, ys), 5.0);
    EXPECT_EQ(InterpolateFivePointTable(std::numeric_limits<double>::quiet_NaN(), xs, ys), 5.0);

    EXPECT_EQ(SkyDarknessFraction(3.5), 0.0);
    EXPECT_EQ(SkyDarknessFraction(1.0), 0.0);
    EXPECT_DOUBLE_EQ(SkyDarknessFraction(12.5), 0.5);
    EXPECT_EQ(SkyDarknessFraction(21.5), 1.0);
    EXPECT_EQ(SkyDarknessFraction(23.0), 1.0);
}

}  // namespace
