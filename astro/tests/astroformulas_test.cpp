// Tests of the astrophysical formulas against hand-computed and published values.
#include "astro/astroformulas.h"
#include "core/mathutil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {


TEST(ObscuredFraction, TableOfCases) {
    struct Case {
        double d1, d2, d, expected, tolerance;
    } cases[] = {
        {1.0, 1.0, 0.5, 0.391002, 1e-6},  // equal disks half a diameter apart
        {1.1, 1.0, 0.0, 1.0, 0.0},        // larger disk centred: total
        {0.9, 1.0, 0.0, 0.81, 1e-12},     // smaller disk centred: annular k^2
        {1.0, 1.0, 1.0, 0.0, 0.0},        // touching
        {1.0, 1.0, 2.0, 0.0, 0.0},        // apart
        {0.2, 1.0, 0.15, 0.04, 1e-12},    // small disk off-centre but wholly inside
        {1.0, 0.0, 0.0, 0.0, 0.0},        // covered diameter missing
        {0.0, 1.0, 0.0, 0.0, 0.0},        // covering diameter missing
    };
    for (const Case &c : cases) {
        double f = ComputeObscuredFraction(c.d1, c.d2, c.d);
        EXPECT_TRUE(std::isfinite(f)) << c.d1 << " " << c.d2 << " " << c.d;
        EXPECT_NEAR(f, c.expected, c.tolerance) << c.d1 << " " << c.d2 << " " << c.d;
    }
    // Independent value: area of the lens of two unit-diameter circles whose
    // centres are 0.5 apart (r = 0.5): 2 r^2 acos(d / 2r) - (d / 2) sqrt(4 r^2 - d^2).
    double r = 0.5, d = 0.5;
    double lens = 2 * r * r * std::acos(d / (2 * r)) - d / 2 * std::sqrt(4 * r * r - d * d);
    EXPECT_NEAR(ComputeObscuredFraction(1.0, 1.0, 0.5), lens / (kPi * r * r), 1e-12);
}

TEST(ObscuredFraction, DecreasesWithDistance) {
    for (double k : {0.3, 0.9, 1.0, 1.05, 2.0}) {
        double previous = 2.0;
        for (double d = 0.0; d <= 2.0; d += 0.01) {
            double f = ComputeObscuredFraction(k, 1.0, d);
            ASSERT_GE(f, 0.0);
            ASSERT_LE(f, 1.0);
            // 1e-7 allows for acos noise at internal tangency.
            ASSERT_LE(f, previous + 1e-7) << "k " << k << " d " << d;
            previous = f;
        }
    }
}

TEST(EclipseMagnitude, OverlapOfTheDiameter) {
    EXPECT_DOUBLE_EQ(ComputeEclipseMagnitude(1.0, 1.0, 1.0), 0.5);
    EXPECT_DOUBLE_EQ(ComputeEclipseMagnitude(1.0, 1.0, 2.5), 0.0);
    EXPECT_DOUBLE_EQ(ComputeEclipseMagnitude(0.0, 1.0, 0.0), 0.0);
}

TEST(ColorIndex, SpectralTypes) {
    struct Case {
        const char *text;
        double expected;
    } cases[] = {
        {"G2", 0.62}, {"G", 0.58},   {"K9", 1.36},  {"G2V", 0.62}, {"O0", -0.32}, {"M9", 1.79},
        {"A0", 0.0},  {"F4", 0.42},  {"B7III", -0.12},
        {"g2", kNoColorIndex}, {"X5", kNoColorIndex}, {"B10", kNoColorIndex},
        {"K-1", kNoColorIndex}, {"", kNoColorIndex},
    };
    for (const Case &c : cases) EXPECT_EQ(ColorIndexFromSpectralType(c.text), c.expected) << c.text;
    EXPECT_EQ(ColorIndexFromSpectralType(nullptr), kNoColorIndex);
}

TEST(Magnitudes, CombinedAndScaled) {
    EXPECT_NEAR(CombineMagnitudes(5.0, 5.0), 5.0 - 2.5 * std::log10(2.0), 1e-12);
    EXPECT_NEAR(CombineMagnitudes(5.0, 5.0), 4.247, 5e-4);
    EXPECT_EQ(CombineMagnitudes(5.0, 99.9), 5.0);
    EXPECT_EQ(CombineMagnitudes(99.9, 3.0), 3.0);
    EXPECT_NEAR(ScaleHundredByMagnitude(2.0, 5.0), 50.0 * 0.1, 1e-12);
    EXPECT_EQ(ScaleHundredByMagnitude(0.0, 5.0), 0.0);
    // A 1-degree object with k 1, w 0.5: ratio (1/2 + 1)/2 = 0.75.
    EXPECT_NEAR(AdjustMagnitudeForExtent(kPi / 180.0, 10.0, 1.0, 0.5), 10.0 - 2.5 * std::log10(0.75),
                1e-12);
    EXPECT_EQ(AdjustMagnitudeForExtent(0.0, 10.0, 1.0, 0.0), 10.0);
    EXPECT_EQ(AdjustMagnitudeForExtent(0.01, 99.9, 1.0, 0.5), 99.9);
    EXPECT_EQ(AdjustMagnitudeForExtent(0.01, 10.0, -1.0, 0.5), 10.0);
}

TEST(SurfaceBrightness, FromMagnitudeAndUnits) {
    EXPECT_NEAR(SurfaceBrightnessFromMagnitude(1.0, 1.0, 10.0), 10.0 + 2.5 * std::log10(900 * kPi),
                1e-12);
    EXPECT_NEAR(SurfaceBrightnessFromMagnitude(1.0, 1.0, 10.0), 18.63, 0.005);
    // Missing minor axis or magnitude: "none", never -inf.
    EXPECT_EQ(SurfaceBrightnessFromMagnitude(3.0, 0.0, 10.0), kNoMagnitude);
    EXPECT_EQ(SurfaceBrightnessFromMagnitude(0.0, 0.0, 10.0), kNoMagnitude);
    EXPECT_EQ(SurfaceBrightnessFromMagnitude(3.0, 2.0, 99.9), kNoMagnitude);
    const double shift = 2.5 * std::log10(3600.0);
    for (double s : {-5.0, 0.0, 13.2, 22.0}) {
        EXPECT_NEAR(SurfaceBrightnessArcminToArcsec(s), s + shift, 1e-9);
        EXPECT_NEAR(SurfaceBrightnessArcsecToArcmin(s), s - shift, 1e-9);
        EXPECT_NEAR(SurfaceBrightnessArcsecToArcmin(SurfaceBrightnessArcminToArcsec(s)), s, 1e-9);
    }
    EXPECT_EQ(ExtendedObjectAreaTerm(0.01), 0.0);
    EXPECT_NEAR(ExtendedObjectAreaTerm(2.0), 0.375 * std::log10(3600 * kPi), 1e-12);
}

TEST(Distances, VelocityAndRedshift) {
    EXPECT_DOUBLE_EQ(RedshiftFromVelocity(3000.0), 0.01);
    EXPECT_NEAR(DistanceFromVelocity(1000.0), 45.92, 0.005);
    EXPECT_EQ(DistanceFromRedshift(0.0), 0.0);
    double previous = 0.0;
    for (double z = 0.01; z < 1000.0; z *= 1.5) {
        double d = DistanceFromRedshift(z);
        EXPECT_GT(d, previous);
        EXPECT_LT(d, 13774.647887323943);
        previous = d;
    }
    EXPECT_NEAR(DistanceFromRedshift(1e6), 13774.65, 0.01);
    EXPECT_NEAR(LightTravelDistanceFromRedshift(0.0), 0.0, 1e-12);
    // Small z: light-travel distance ~ Hubble time x z for any model.
    EXPECT_NEAR(LightTravelDistanceFromRedshift(0.001) / 0.001, 13.765118494084506, 0.05);
    EXPECT_GT(LightTravelDistanceFromRedshift(1.0), LightTravelDistanceFromRedshift(0.5));
    // Deceleration form, q = 0.1: by hand at z = 1, 14.95 (0.2 - 1.9 (sqrt 1.1 - 1)) / 0.02
    // = 80.18; at small z the series gives 14.95 (1/q + 1/2) z = 156.975 z.
    EXPECT_NEAR(DistanceFromRedshiftByDeceleration(1.0), 80.18, 0.005);
    EXPECT_NEAR(DistanceFromRedshiftByDeceleration(1e-6) / 1e-6, 156.975, 0.001);
    // z <= -1 has no distance; no division by zero.
    for (double z : {-1.0, -2.0}) {
        EXPECT_EQ(DistanceFromRedshift(z), 0.0);
        EXPECT_EQ(DistanceFromRedshiftByDeceleration(z), 0.0);
        EXPECT_EQ(LightTravelDistanceFromRedshift(z), 0.0);
    }
}

}  // namespace
