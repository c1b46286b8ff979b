// The band table, filter completion and the camera copy of an optics block:
// bytes at their offsets, the derived fields and the interpolations.
#include "instruments/bands.h"
#include "instruments/cameraentry.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CameraEntry> ZeroEntry() {
    std::unique_ptr<CameraEntry> e(new CameraEntry);
    std::memset(e.get(), 0, sizeof *e);
    return e;
}

double DoubleAt(const void *base, size_t offset) {
    double v;
    std::memcpy(&v, (const char *)base + offset, sizeof v);
    return v;
}
float FloatAt(const void *base, size_t offset) {
    float v;
    std::memcpy(&v, (const char *)base + offset, sizeof v);
    return v;
}
int32_t IntAt(const void *base, size_t offset) {
    int32_t v;
    std::memcpy(&v, (const char *)base + offset, sizeof v);
    return v;
}

const double kCurve[13] = {20, 30, 40, 50, 60, 65, 60, 55, 45, 35, 25, 15, 10};

}  // namespace

TEST(CameraEntry, BuiltFieldsLandAtTheirOffsets) {
    auto e = ZeroEntry();
    std::memset(e.get(), 0xAB, sizeof *e);  // stale bytes everywhere
    e->filterCount = 3;
    e->lensCount = 1;
    double gains[2] = {1.5, 0.0};
    InitCameraEntry(e.get(), 17, 0, "ST-8 camera", 15.0, gains, 0.5, 99.0, 99.0, 1530, 1020,
                    9.0, 9.0, 1, "", kCurve, 1, 1.25, -2.5, 7.4, 7.4, 657, 495);
    const void *p = e.get();
    EXPECT_EQ(((const uint8_t *)p)[0], 0);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 1), 15.0);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 9), 1.5);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 17), 1.5);  // binned gain 0 becomes the unbinned one
    EXPECT_DOUBLE_EQ(gains[1], 1.5);         // in the caller's pair too
    EXPECT_DOUBLE_EQ(DoubleAt(p, 25), 0.5);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 33), 1530 * 9.0 * 0.001);  // 13.77 mm, not the 99 given
    EXPECT_DOUBLE_EQ(DoubleAt(p, 41), 1020 * 9.0 * 0.001);
    EXPECT_EQ(IntAt(p, 49), 1530);
    EXPECT_EQ(IntAt(p, 53), 1020);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 57), 9.0);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 65), 9.0);
    EXPECT_NEAR(DoubleAt(p, 73), 12.7279, 1e-4);  // sqrt(81 + 81)
    EXPECT_EQ(std::string((const char *)p + 81), "");
    EXPECT_DOUBLE_EQ(DoubleAt(p, 114), 20.0);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 114 + 12 * 8), 10.0);
    EXPECT_EQ(IntAt(p, 218), 17);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 222), 0.0);
    EXPECT_DOUBLE_EQ(DoubleAt(p, 230), 0.0);
    EXPECT_EQ(IntAt(p, 12393), 3);  // filters and lenses not touched
    EXPECT_EQ(IntAt(p, 13237), 1);
    EXPECT_EQ(std::string((const char *)p + 13241), "ST-8 camera");
    EXPECT_EQ(IntAt(p, 13274), 0);
    EXPECT_EQ(IntAt(p, 13278), 0);
    EXPECT_EQ(((const uint8_t *)p)[13282], 1);
    EXPECT_EQ(((const uint8_t *)p)[13283], 0);
    EXPECT_EQ(((const uint8_t *)p)[13284], 1);
    EXPECT_FLOAT_EQ(FloatAt(p, 13285), 7.4f);
    EXPECT_FLOAT_EQ(FloatAt(p, 13289), 7.4f);
    EXPECT_FLOAT_EQ(FloatAt(p, 13293), (float)(657 * 7.4 * 0.001));
    EXPECT_FLOAT_EQ(FloatAt(p, 13297), (float)(495 * 7.4 * 0.001));
    EXPECT_EQ(IntAt(p, 13301), 657);
    EXPECT_EQ(IntAt(p, 13305), 495);
    EXPECT_FLOAT_EQ(FloatAt(p, 13309), 1.25f);
    EXPECT_FLOAT_EQ(FloatAt(p, 13313), -2.5f);
    EXPECT_FLOAT_EQ(FloatAt(p, 13317), 0.0f);
    EXPECT_FLOAT_EQ(FloatAt(p, 13321), 0.0f);
    EXPECT_EQ(((const uint8_t *)p)[13325], 0xAB);  // the tail is carried along
    EXPECT_EQ(((const uint8_t *)p)[13409], 0xAB);
}

TEST(CameraEntry, CurvesAndGuiderRules) {
    double gains[2] = {2.0, 3.0};
    // Empty name, no values: 100 percent at all 13 points.
    auto e = ZeroEntry();
    InitCameraEntry(e.get(), 1, 1, "DSLR", 3, gains, 0.1, 0, 0, 6000, 4000, 3.9, 3.9, 1, "",
                    nullptr, 0, 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < 13; ++i) EXPECT_DOUBLE_EQ(DoubleAt(e->quantumEfficiency, 8 * i), 100.0);
    EXPECT_DOUBLE_EQ(+e->binnedGain, 3.0);  // a given binned gain is kept
    EXPECT_DOUBLE_EQ(gains[1], 3.0);

    // A named curve leaves the values in the entry alone.
    std::memcpy(e->quantumEfficiency, kCurve, sizeof kCurve);
    e->guider = 1;
    e->guiderPixelWidth = 5.0f;
    e->guiderOffsetY = 3.0f;
    e->guiderFieldWidth = 0.01f;
    InitCameraEntry(e.get(), 1, 1, "DSLR", 3, gains, 0.1, 0, 0, 6000, 4000, 3.9, 3.9, 1,
                    "KAF-0400", nullptr, 0, 9, 9, 9, 9, 9, 9);
    EXPECT_STREQ(e->curveName, "KAF-0400");
    EXPECT_DOUBLE_EQ(+e->quantumEfficiency[5], 65.0);
    // Without the guider flag every guider value is zero.
    EXPECT_EQ(+e->guider, 0);
    EXPECT_FLOAT_EQ(+e->guiderPixelWidth, 0.0f);
    EXPECT_FLOAT_EQ(+e->guiderOffsetY, 0.0f);
    EXPECT_EQ(+e->guiderPixelsAcross, 0);
    EXPECT_FLOAT_EQ(+e->guiderFieldWidth, 0.0f);

    // Names are cut at 32 characters.
    InitCameraEntry(e.get(), 1, 1, "A camera name that is far longer than the field", 3, gains,
                    0.1, 0, 0, 10, 10, 3, 3, 1, "A curve name that is also much too long",
                    nullptr, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(std::strlen(e->name), 32u);
    EXPECT_EQ(std::strlen(e->curveName), 32u);
}

TEST(Bands, TableAndNames) {
    const char *names[5] = {"U", "B", "V", "R", "I"};
    const double wavelengths[5] = {0.365, 0.44, 0.55, 0.70, 0.90};
    const double zeroPoints[5] = {-10.93, -10.45, -11.05, -11.9, -12.7};
    for (int i = 0; i < 5; ++i) {
        const FilterRecord *b = GetBandName(i);
        ASSERT_NE(b, nullptr);
        EXPECT_STREQ(b->name, names[i]);
        EXPECT_DOUBLE_EQ(+b->wavelength, wavelengths[i]);
        EXPECT_DOUBLE_EQ(+b->zeroPoint, zeroPoints[i]);
        EXPECT_DOUBLE_EQ(+b->peakTransmission, 0.7);
        EXPECT_EQ(+b->poolId, 0);
    }
    EXPECT_DOUBLE_EQ(+GetBandName(3)->bandwidth, 0.22);
    EXPECT_DOUBLE_EQ(+GetBandName(4)->quantumEfficiency, 26.0);
    EXPECT_EQ(GetBandName(5), nullptr);
    EXPECT_EQ(GetBandName(-1), nullptr);
}

TEST(Bands, QuantumEfficiencyInterpolation) {
    struct Case { double x, q; } cases[] = {
        {0.30, 20}, {0.35, 20}, {0.375, 25}, {0.50, 50}, {0.525, 55}, {0.925, 12.5},
        {0.95, 10}, {1.2, 10}, {0.95 - 1e-15, 10},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(InterpolateQuantumEfficiency(c.x, kCurve), c.q, 1e-9) << c.x;
}

TEST(Bands, FilterCompletionTable) {
    // Neutral density: peak copied into the surface transmission, QE unchanged.
    FilterRecord nd;
    std::memset(&nd, 0, sizeof nd);
    nd.peakTransmission = 0.25;
    nd.quantumEfficiency = 33.0;
    CompleteFilterBand(&nd, kCurve);
    EXPECT_DOUBLE_EQ(+nd.surfaceTransmission, 0.25);
    EXPECT_DOUBLE_EQ(+nd.quantumEfficiency, 33.0);
    EXPECT_DOUBLE_EQ(+nd.mirrorReflectance, 0.0);

    // 0.50 um between B (0.44) and V (0.55): 6/11 of the way.
    FilterRecord green;
    std::memset(&green, 0, sizeof green);
    green.wavelength = 0.50;
    CompleteFilterBand(&green, kCurve);
    EXPECT_NEAR(+green.surfaceTransmission, 0.983 + (0.06 / 0.11) * 0.004, 1e-12);
    EXPECT_NEAR(+green.mirrorReflectance, 0.86 + (0.06 / 0.11) * 0.02, 1e-12);
    EXPECT_NEAR(+green.quantumEfficiency, 50.0, 1e-9);  // the curve at 500 nm

    // Own values are kept; wavelengths beyond the bands take the end bands.
    FilterRecord own;
    std::memset(&own, 0, sizeof own);
    own.wavelength = 0.30;
    own.surfaceTransmission = 0.5;
    CompleteFilterBand(&own, kCurve);
    EXPECT_DOUBLE_EQ(+own.surfaceTransmission, 0.5);
    EXPECT_DOUBLE_EQ(+own.mirrorReflectance, 0.83);
    EXPECT_DOUBLE_EQ(+own.quantumEfficiency, 20.0);

    // A band record keeps the table's transmissions and takes the camera's QE.
    FilterRecord band = *GetBandName(2);
    CompleteFilterBand(&band, kCurve);
    EXPECT_DOUBLE_EQ(+band.surfaceTransmission, 0.987);
    EXPECT_NEAR(+band.quantumEfficiency, 60.0, 1e-9);  // 550 nm
}

TEST(Bands, MagnitudesFromVAndColour) {
    EXPECT_DOUBLE_EQ(EstimateUMagnitude(5.0, 0.0), 4.4);
    EXPECT_DOUBLE_EQ(EstimateBMagnitude(5.0, 0.0), 5.0);
    EXPECT_DOUBLE_EQ(EstimateRMagnitude(5.0, 0.0), 5.0);
    EXPECT_DOUBLE_EQ(EstimateIMagnitude(5.0, 0.0), 5.0);
    EXPECT_DOUBLE_EQ(EstimateUMagnitude(5.0, 1.0), 6.75);
    EXPECT_DOUBLE_EQ(EstimateBMagnitude(5.0, 1.0), 6.0);
    EXPECT_DOUBLE_EQ(EstimateRMagnitude(5.0, 1.0), 4.25);
    EXPECT_DOUBLE_EQ(EstimateIMagnitude(5.0, 1.0), 3.4);
}
