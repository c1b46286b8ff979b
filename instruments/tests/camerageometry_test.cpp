// Camera geometry behind a telescope, against values worked by hand: image
// scale 206265" x pixel / focal length, projection magnification d/e - 1.
#include "instruments/camerageometry.h"

#include <cmath>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "core/mathutil.h"

namespace {

const double kArcsec = kPi / 648000.0;

// A 2000 mm f/10 telescope with one 9 um camera of 1530 x 1020 pixels.
std::unique_ptr<OpticsBlock> Telescope(uint8_t cameraKind = 0) {
    std::unique_ptr<OpticsBlock> b(new OpticsBlock);
    std::memset(b.get(), 0, sizeof *b);
    b->type = 2;
    b->aperture = 200.0;
    b->focalLength = 2000.0;
    b->focalRatio = 10.0;
    b->extenderIndex = 255;
    b->cameraCount = 1;
    CameraEntry &c = b->cameras[0];
    c.kind = cameraKind;
    c.pixelsAcross = 1530;
    c.pixelsDown = 1020;
    c.pixelWidth = c.pixelHeight = 9.0;
    c.pixelDiagonal = std::sqrt(162.0);
    c.sensorWidth = 1530 * 0.009;
    c.sensorHeight = 1020 * 0.009;
    return b;
}

}  // namespace

TEST(CameraGeometry, ProjectionFocalLengthAndOptimumDistance) {
    double f = 0, n = 0;
    EXPECT_EQ(ComputeEyepieceProjectionFocalLength(2000, 10, 25, 100, &f, &n), 1);
    EXPECT_DOUBLE_EQ(f, 6000.0);  // k = 100/25 - 1 = 3
    EXPECT_DOUBLE_EQ(n, 30.0);
    f = -1;
    EXPECT_EQ(ComputeEyepieceProjectionFocalLength(2000, 10, 25, 25, &f, nullptr), 0);
    EXPECT_DOUBLE_EQ(f, -1.0);  // nothing written
    EXPECT_EQ(ComputeEyepieceProjectionFocalLength(2000, 10, 0, 100, &f, nullptr), 0);

    auto b = Telescope();
    const double e = 25.0;
    // 25 x ((2 x 12.7279 / 0.665) / 10 + 1) = 120.70 mm
    EXPECT_NEAR(ComputeEyepieceProjectionDistance(b.get(), 0, -1, &e), 120.6986621, 1e-6);
    CameraEntry &c = b->cameras[0];
    c.filterCount = 2;
    c.filters[0].wavelength = 0.5;
    c.filters[1].wavelength = 0.0;  // neutral density: the default wavelength
    EXPECT_NEAR(ComputeEyepieceProjectionDistance(b.get(), 0, 0, &e),
                25.0 * ((2.0 * std::sqrt(162.0) / 0.5) / 10.0 + 1.0), 1e-9);
    EXPECT_NEAR(ComputeEyepieceProjectionDistance(b.get(), 0, 1, &e), 120.6986621, 1e-6);
    EXPECT_EQ(ComputeEyepieceProjectionDistance(b.get(), 0, 2, &e), -1.0);
    EXPECT_EQ(ComputeEyepieceProjectionDistance(b.get(), 1, -1, &e), -1.0);
    EXPECT_EQ(ComputeEyepieceProjectionDistance(nullptr, 0, -1, &e), -1.0);
    b->focalRatio = 0.0;
    EXPECT_EQ(ComputeEyepieceProjectionDistance(b.get(), 0, -1, &e), -1.0);
}

TEST(CameraGeometry, EffectiveFocalLengthByFocalStateWithAndWithoutExtender) {
    struct Case {
        const char *what;
        uint8_t state, cameraKind;
        int lens;
        double projectionDistance, eyepiece;
        int ok;
        double focalLength, aperture;
    } cases[] = {
        {"prime focus", 0, 0, -1, 0, 0, 1, 2000, 200},
        {"eyepiece projection k = 3", 1, 0, -1, 100, 25, 1, 6000, 200},
        {"projection not beyond the eyepiece", 1, 0, -1, 25, 25, 0, 2000, 200},
        {"afocal with a CCD assumes a 50 mm lens", 2, 0, -1, 0, 25, 1, 4000, 200},
        {"afocal eyepiece without focal length", 2, 0, -1, 0, 0, 0, 2000, 200},
        {"piggyback with a CCD: 50 mm, aperture 50", 3, 0, -1, 0, 0, 1, 50, 50},
        {"piggyback with a 200 mm f/4 lens", 3, 1, 0, 0, 0, 1, 200, 50},
        {"afocal with a 200 mm lens", 2, 1, 0, 0, 25, 1, 16000, 200},
        {"lens index past the lenses", 3, 1, 1, 0, 0, 0, 2000, 200},
    };
    for (int extender = 0; extender < 2; ++extender) {
        for (const Case &c : cases) {
            auto b = Telescope(c.cameraKind);
            b->focalState = c.state;
            b->projectionDistance = c.projectionDistance;
            b->projectionEyepiece.focalLength = c.eyepiece;
            b->afocalEyepiece.focalLength = c.eyepiece;
            CameraEntry &cam = b->cameras[0];
            cam.lensCount = 1;
            cam.lenses[0].focalLength = 200.0;
            cam.lenses[0].focalRatio = 4.0;
            if (extender) {
                b->extenderCount = 1;
                b->extenderIndex = 0;
                b->extenderFactors[0] = 2.0f;
            }
            EXPECT_EQ(ComputeEffectiveFocalLength(b.get(), 0, c.lens), c.ok) << c.what;
            double factor = (extender && c.ok) ? 2.0 : 1.0;
            EXPECT_DOUBLE_EQ(+b->effectiveFocalLength, c.focalLength * factor) << c.what;
            EXPECT_DOUBLE_EQ(+b->effectiveAperture, c.aperture) << c.what;
        }
    }
    auto b = Telescope(1);
    b->focalState = 3;
    b->cameras[0].lensCount = 1;
    b->cameras[0].lenses[0].focalLength = 50.0;  // a lens without a ratio has no aperture
    EXPECT_EQ(ComputeEffectiveFocalLength(b.get(), 0, 0), 0);
    EXPECT_EQ(ComputeEffectiveFocalLength(b.get(), 1, -1), 0);
    EXPECT_DOUBLE_EQ(+b->effectiveFocalLength, 2000.0);
}

TEST(CameraGeometry, FieldsPixelAnglesAndBinning) {
    auto b = Telescope();
    CameraEntry &c = b->cameras[0];
    c.guider = 1;
    c.guiderWidth = 4.0f;
    c.guiderHeight = 3.0f;
    ASSERT_EQ(ComputeCameraField(b.get(), 0, 5), 1);  // a CCD ignores the lens index
    EXPECT_DOUBLE_EQ(+c.fieldWidth, 13.77 / 2000.0);
    EXPECT_DOUBLE_EQ(+c.fieldHeight, 9.18 / 2000.0);
    EXPECT_FLOAT_EQ(+c.guiderFieldWidth, 0.002f);
    EXPECT_FLOAT_EQ(+c.guiderFieldHeight, 0.0015f);

    // 9 um at 2000 mm: 4.5e-6 rad (0.928"); binning 2 doubles, the solid angle x4.
    double w = 0, h = 0;
    ComputePixelAngles(b.get(), &c, 1, &w, &h);
    EXPECT_DOUBLE_EQ(w, 4.5e-6);
    EXPECT_DOUBLE_EQ(h, 4.5e-6);
    ComputePixelAngles(b.get(), &c, 2, &w, &h);
    EXPECT_DOUBLE_EQ(w, 9e-6);
    EXPECT_DOUBLE_EQ(ComputePixelSolidAngle(b.get(), &c, 2), 4 * ComputePixelSolidAngle(b.get(), &c, 1));
    EXPECT_DOUBLE_EQ(ComputePixelDiagonalAngle(b.get(), &c, 2),
                     2 * ComputePixelDiagonalAngle(b.get(), &c, 1));
    EXPECT_DOUBLE_EQ(ComputePixelDiagonalAngle(b.get(), &c, 0), 0.0);
    EXPECT_DOUBLE_EQ(ComputePixelDiagonalAngle(b.get(), nullptr, 1), 0.0);
    ComputePixelAngles(b.get(), &c, 0, &w, &h);
    EXPECT_DOUBLE_EQ(w, 0.0);
    EXPECT_DOUBLE_EQ(h, 0.0);

    // No focal length at all: no field rather than a division by 0.
    auto z = Telescope();
    z->focalLength = 0.0;
    EXPECT_EQ(ComputeCameraField(z.get(), 0, -1), 0);
    EXPECT_DOUBLE_EQ(ComputePixelDiagonalAngle(z.get(), &z->cameras[0], 1), 0.0);
    EXPECT_EQ(ComputeCameraField(b.get(), 1, -1), 0);
    b->cameraCount = 0;
    EXPECT_EQ(ComputeCameraField(b.get(), 0, -1), 0);
}

TEST(CameraGeometry, ResolutionIsTheLargestOfPixelsSeeingAndDawes) {
    auto b = Telescope();
    b->effectiveFocalLength = 2000.0;
    const double pixels = 2.0 * std::sqrt(162.0) * 0.001 / 2000.0 / kArcsec;  // 2.6254"
    struct Case { double seeing, dawes; int binning; double expected; } cases[] = {
        {0.3, 0.57, 1, pixels}, {2.0, 0.57, 1, 4.0}, {0.3, 5.0, 1, 5.0},
        {0.3, 0.57, 2, 2 * pixels}, {0.3, 0.57, 0, 0.0},
    };
    for (const Case &c : cases) {
        b->dawesLimit = c.dawes;
        double r = ComputeImagingResolution(b.get(), 0, c.seeing, c.binning);
        EXPECT_NEAR(r, c.expected, 1e-9);
        if (c.binning >= 1) {
            EXPECT_GE(r, 2 * c.seeing);
            EXPECT_GE(r, c.dawes);
        }
    }
    EXPECT_NEAR(pixels, 2.6254, 1e-4);
    b->dawesLimit = 0.57;
    EXPECT_NEAR(ScaleImagingResolution(b.get(), 0, 1, 0.3, 2.0, 3.0), 1.5 * pixels * kArcsec, 1e-15);
    EXPECT_DOUBLE_EQ(ScaleImagingResolution(b.get(), 0, 1, 0.3, 0.0, 3.0), 0.0);

    // 60": 60 / 2.6254 resolution elements; 45 pixel diagonals of 1.3127".
    double elements = 0;
    EXPECT_EQ(ComputeResolutionElements(b.get(), 0, 1, 0.3, 60.0, &elements), 45);
    EXPECT_NEAR(elements, 60.0 / pixels, 1e-9);
    EXPECT_EQ(ComputeResolutionElements(b.get(), 3, 1, 0.3, 60.0, &elements), 0);
    EXPECT_DOUBLE_EQ(elements, 0.0);
}

TEST(CameraGeometry, ObjectExtentAndMosaicFrames) {
    CameraEntry c;
    std::memset(&c, 0, sizeof c);
    c.pixelsAcross = c.pixelsDown = 1000;
    c.fieldWidth = c.fieldHeight = 0.01;
    struct Case {
        const char *what;
        int binning;
        double width, height;
        int mosaic, result, across, down;
    } cases[] = {
        {"twice the field, mosaic", 1, 0.02, 0.02, 1, 1, 3, 3},
        {"twice the field, no mosaic", 1, 0.02, 0.02, 0, 0, 2000, 2000},
        {"fits one frame", 1, 0.005, 0.0, 1, 0, 500, 500},  // height 0 = width
        {"binning 2", 2, 0.005, 0.005, 0, 0, 250, 250},
        {"smaller count first", 1, 0.004, 0.002, 0, 0, 200, 400},
        {"width 0", 1, 0.0, 0.01, 1, -1, 0, 0},
        {"binning leaves no whole pixel", 2000, 0.01, 0.01, 1, -1, 0, 0},
        {"binning 0", 0, 0.01, 0.01, 1, -1, 0, 0},
    };
    for (const Case &k : cases) {
        int a = -7, d = -7;
        EXPECT_EQ(ComputeObjectExtentOnSensor(&c, k.binning, k.width, k.height, &a, &d, k.mosaic),
                  k.result)
            << k.what;
        EXPECT_EQ(a, k.across) << k.what;
        EXPECT_EQ(d, k.down) << k.what;
    }
    // 12.5 pixels (exact in binary) rounds to 13.
    CameraEntry half = c;
    half.pixelsAcross = half.pixelsDown = 1024;
    half.fieldWidth = half.fieldHeight = 0.5;
    int a = 0, d = 0;
    EXPECT_EQ(ComputeObjectExtentOnSensor(&half, 1, 25.0 / 4096.0, 0.0, &a, &d, 0), 0);
    EXPECT_EQ(a, 13);
    c.fieldWidth = 0.0;  // the field was never computed
    EXPECT_EQ(ComputeObjectExtentOnSensor(&c, 1, 0.01, 0.01, &a, &d, 1), -1);
}

TEST(CameraGeometry, ImageSizeRatioAgainstTheBestSizes) {
    // Star image size per band: sqrt(s^2 X^1.2 (l/0.55)^-0.4 + 5.54 (l/D)^2)
    // in arcseconds (l in cm as 1e-4 um, D in cm); best: s = 0.3", X = 1.
    auto size = [](double s, double X, double l, double D) {
        double diffraction = l * 1e-4 * 648000.0 / kPi / (0.1 * D);
        return std::sqrt(s * s * std::pow(X, 1.2) * std::pow(l / 0.55, -0.4) +
                         5.54 * diffraction * diffraction);
    };
    ImageSizeReference ref;
    InitImageSizeReference(&ref, 2.0, 200.0, 0.0);
    EXPECT_NEAR(ref.bestSize[2], size(0.3, 1.0, 0.55, 200.0), 1e-12);
    double iBand = size(0.3, 1.0, 0.90, 200.0) / size(2.0, 1.5, 0.90, 200.0);
    EXPECT_NEAR(ComputeImageSizeRatio(&ref, 1.5), iBand, 1e-12);
    // At 0.62 um, between V and R: a straight line between their ratios.
    InitImageSizeReference(&ref, 2.0, 200.0, 0.62);
    double v = size(0.3, 1.0, 0.55, 200.0) / size(2.0, 1.5, 0.55, 200.0);
    double r = size(0.3, 1.0, 0.70, 200.0) / size(2.0, 1.5, 0.70, 200.0);
    EXPECT_NEAR(ComputeImageSizeRatio(&ref, 1.5), v + (0.07 / 0.15) * (r - v), 1e-12);
    EXPECT_DOUBLE_EQ(ComputeImageSizeRatio(nullptr, 1.5), 0.0);
}
