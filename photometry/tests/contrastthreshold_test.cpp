// Tests of the threshold-contrast table and the aperture-class surface
// brightness against the worked values of the visibility model.
#include "photometry/contrastthreshold.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ContrastThreshold, TableLookUp) {
    // x50, sky 21, 8 inches, a 10' object: between rows 22 and 23,
    // extrapolated past the last size column.
    EXPECT_NEAR(LookUpThresholdContrast(50, 21, 8, 10), -1.0901, 5e-5);
    // A background brighter than 4 mag/arcsec^2 is the first row, however bright.
    double first = LookUpThresholdContrast(1, 4.0 - 5.0 * std::log10(1 / (2.833 * 8)), 8, 10);
    EXPECT_NEAR(LookUpThresholdContrast(1, -20, 8, 10), first, 1e-12);
    // Sizes at or below the first key take the first column without extrapolating:
    // background exactly 10 mag/arcsec^2 (row 10) at x2.833 per inch.
    EXPECT_NEAR(LookUpThresholdContrast(2.833, 10, 1, 0.2), 0.0498, 1e-9);
    EXPECT_NEAR(LookUpThresholdContrast(2.833, 10, 1, 0.001), 0.0498, 1e-9);
    // A table node: row 20, column 3 (log10 18.197 = 1.26).
    EXPECT_NEAR(LookUpThresholdContrast(2.833, 20, 1, std::pow(10.0, 1.26) / 2.833), -0.321, 1e-9);
    // Held to -37..37 far outside the table.
    EXPECT_EQ(LookUpThresholdContrast(1e60, 40, 1, 1e-50), 37.0);
}

TEST(ContrastThreshold, ApertureClassSurfaceBrightness) {
    const struct {
        int apertureClass;
        double expected;
    } cases[] = {{0, 19.662}, {1, 22.521}, {3, 23.434}, {7, 24.608}, {99, 24.608}};
    for (const auto &c : cases)
        EXPECT_NEAR(ComputeApertureClassSurfaceBrightness(c.apertureClass, 0, 100), c.expected, 5e-4)
            << c.apertureClass;
    // Magnification 0 or less is x100; the size plays no part.
    EXPECT_DOUBLE_EQ(ComputeApertureClassSurfaceBrightness(3, 5, 0),
                     ComputeApertureClassSurfaceBrightness(3, 0, 100));
    EXPECT_DOUBLE_EQ(ComputeApertureClassSurfaceBrightness(3, 0, -4),
                     ComputeApertureClassSurfaceBrightness(3, 30, 100));
    EXPECT_LT(ComputeApertureClassSurfaceBrightness(3, 0, 300),
              ComputeApertureClassSurfaceBrightness(3, 0, 100) + 5);
}

}  // namespace
