// Tests of the CCD signal-to-noise model against hand computation with the
// standard CCD equation (SNR = S t / sqrt(S t + N (B t + D t + R^2))) and
// physical constants, for cameras of unlike read noise and dark signal.
#include "visibility/snrcore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "core/mathutil.h"
#include "instruments/camerarecords.h"
#include "instruments/instrumentrecord.h"
#include "photometry/skybright.h"

namespace {

// Planck's constant (erg s) and the speed of light (cm/s), CODATA 2018.
const double kPlanck = 6.62607015e-27;
const double kLight = 2.99792458e10;

struct CameraCase {
    const char *name;
    double readNoise;
    double dark;
};
// A cooled CCD, a noisy warm sensor and a low-noise CMOS sensor.
const CameraCase kCameras[] = {{"cooled", 9.0, 0.02}, {"warm", 15.0, 2.5}, {"cmos", 1.6, 0.3}};

void FillBand(FilterRecord *f, double wavelength, double bandwidth, double zeroPoint) {
    std::memset(f, 0, sizeof *f);
    f->wavelength = wavelength;
    f->surfaceTransmission = 0.96;
    f->peakTransmission = 0.9;
    f->bandwidth = bandwidth;
    f->mirrorReflectance = 0.92;
    f->quantumEfficiency = 55.0;
    f->zeroPoint = zeroPoint;
}

struct Fixture {
    std::unique_ptr<OpticsBlock> optics{new OpticsBlock()};
    CameraEntry *camera;
    FilterRecord filter;
    Fixture(uint8_t type, double aperture, const CameraCase &c) {
        std::memset(optics.get(), 0, sizeof(OpticsBlock));
        optics->type = type;
        optics->aperture = aperture;
        optics->effectiveAperture = aperture;
        optics->cameraCount = 1;
        camera = &optics->cameras[0];
        camera->readNoise = c.readNoise;
        camera->darkSignal = c.dark;
        camera->gain = 1.5;
        camera->binnedGain = 1.5;
        const double waves[5] = {0.365, 0.44, 0.55, 0.70, 0.90};
        const double widths[5] = {0.068, 0.098, 0.089, 0.22, 0.24};
        const double zeros[5] = {-10.9, -10.5, -11.1, -11.7, -12.4};
        for (int k = 0; k < 5; k++) FillBand(&camera->filters[kCameraBandSlot + k], waves[k], widths[k], zeros[k]);
        FillBand(&filter, 0.55, 0.089, -11.1);
    }
};

// Electrons per second per unit flux through the fixture's filter, from h c.
double Conversion(double areaCm2, int elements, const FilterRecord &f, double bandwidth, double t) {
    double throughput = std::pow(f.mirrorReflectance, elements) * std::pow(f.surfaceTransmission, 4) *
                        f.quantumEfficiency / 100.0 * t;
    return areaCm2 * throughput * bandwidth * (f.wavelength * 1e-4) / (kPlanck * kLight);
}

double CcdSnr(double s, double bPerPixel, double n, double dark, double read, double t) {
    return s * t / std::sqrt(s * t + n * (bPerPixel * t + dark * t + read * read));
}

const double kOmega = std::pow(1.5 / 206264.806, 2);  // 1.5" pixels
const double kArcsec = kPi / 648000.0;

TEST(SnrCore, CollectingAreaByOpticsType) {
    CameraCase c = kCameras[0];
    Fixture refractor(1, 200.0, c), reflector(2, 200.0, c), sct(3, 200.0, c);
    int n = 0;
    EXPECT_NEAR(ComputeCollectingArea(refractor.optics.get(), &n), kPi * 100.0, 1e-9);
    EXPECT_EQ(1, n);
    EXPECT_NEAR(ComputeCollectingArea(reflector.optics.get(), &n), kPi * 100.0 * (1 - 0.15 * 0.15), 1e-9);
    EXPECT_EQ(2, n);
    EXPECT_NEAR(ComputeCollectingArea(sct.optics.get(), &n), kPi * 100.0 * (1 - 0.34 * 0.34), 1e-9);
    EXPECT_EQ(2, n);
    // Piggyback: a 50 mm camera lens on the reflector, no obstruction, one element.
    reflector.optics->effectiveAperture = 50.0;
    EXPECT_NEAR(ComputeCollectingArea(reflector.optics.get(), &n), kPi * 25.0 / 4.0, 1e-9);
    EXPECT_EQ(1, n);
    // The throughput carries the element efficiency squared for the reflector.
    double sRefr = ComputeStarSignal(refractor.optics.get(), refractor.camera, &refractor.filter, 0, 1e-5, 1e-6, 10, 1);
    double sRefl = ComputeStarSignal(sct.optics.get(), sct.camera, &sct.filter, 0, 1e-5, 1e-6, 10, 1);
    EXPECT_NEAR(sRefl / sRefr, (1 - 0.34 * 0.34) * 0.92, 1e-12);
}

TEST(SnrCore, StarAndExtendedSnrMatchTheCcdEquation) {
    for (const CameraCase &c : kCameras) {
        SCOPED_TRACE(c.name);
        Fixture f(2, 250.0, c);
        double area = kPi / 4 * 25.0 * 25.0 * (1 - 0.0225);
        double conv = Conversion(area, 2, f.filter, f.filter.bandwidth, f.filter.peakTransmission);
        double m = 15.0, ext = 0.2, skyFlux = 2e-13, t = 120.0;
        double w = 3.0 * kArcsec, r = 4.0 * kArcsec;
        double sRate = std::pow(10.0, -0.4 * (m - f.filter.zeroPoint + ext)) * (1 - std::exp(-2.77 * (r / w) * (r / w))) * conv;
        double bRate = skyFlux * kOmega * 206264.806 * 206264.806 * conv;
        double n = kPi * r * r / kOmega;
        double error = 0, signal = 0, sky = 0;
        double snr = ComputeStarSnr(f.optics.get(), f.camera, &f.filter, kOmega, ext, r, w, m, skyFlux, t, &error, &signal, &sky);
        EXPECT_NEAR(signal / (sRate * t), 1.0, 2e-3);
        EXPECT_NEAR(sky / (n * bRate * t), 1.0, 2e-3);
        EXPECT_NEAR(snr / CcdSnr(sRate, bRate, n, c.dark, c.readNoise, t), 1.0, 2e-3);
        EXPECT_NEAR(error, 1.086 / snr, 1e-12);

        double sb = 21.0;
        double oRate = ConvertSkyBrightnessToModelFlux(sb + ext) * kOmega * 206264.806 * 206264.806 * conv;
        snr = ComputeExtendedSnr(f.optics.get(), f.camera, &f.filter, kOmega, ext, sb, skyFlux, t, &error, &signal, &sky);
        EXPECT_NEAR(snr / CcdSnr(oRate, bRate, 1.0, c.dark, c.readNoise, t), 1.0, 2e-3);
    }
}

TEST(SnrCore, ExposureForSnrRoundTripsThroughTheForwardModel) {
    // The dark current accrues with t like the sky; treating it as a fixed
    // term (as if t were 1 s) would miss q by far with the warm camera.
    const double wanted[] = {3.0, 10.0, 100.0};
    for (const CameraCase &c : kCameras) {
        Fixture f(3, 200.0, c);
        double w = 2.5 * kArcsec;
        for (double q : wanted) {
            SCOPED_TRACE(testing::Message() << c.name << " q=" << q);
            double t = ComputeStarExposureForSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0.3, w, w, 17.0, 3e-13, q);
            ASSERT_GT(t, 0.0);
            double snr = ComputeStarSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0.3, w, w, 17.0, 3e-13, t, nullptr, nullptr, nullptr);
            EXPECT_NEAR(snr, q, 1e-9 * q);
            t = ComputeExtendedExposureForSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0.3, 20.5, 3e-13, q);
            snr = ComputeExtendedSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0.3, 20.5, 3e-13, t, nullptr, nullptr, nullptr);
            EXPECT_NEAR(snr, q, 1e-9 * q);

            const double ext[5] = {0.6, 0.4, 0.3, 0.2, 0.15}, sizes[5] = {3, 2.8, 2.5, 2.3, 2.1};
            const double mags[5] = {17.5, 17.6, 17, 16.5, 16.1}, sky[5] = {1e-13, 2e-13, 3e-13, 4e-13, 5e-13};
            t = ComputeStarExposureForSnrClear(f.optics.get(), f.camera, kOmega, ext, 0.5, w, sizes, mags, sky, q);
            snr = ComputeStarSnrClear(f.optics.get(), f.camera, kOmega, ext, 0.5, w, sizes, mags, sky, t, nullptr, nullptr, nullptr);
            EXPECT_NEAR(snr, q, 1e-9 * q);
            const double sbs[5] = {21, 21, 20.5, 20, 19.8};
            t = ComputeExtendedExposureForSnrClear(f.optics.get(), f.camera, kOmega, ext, 1.0, sbs, sky, q);
            snr = ComputeExtendedSnrClear(f.optics.get(), f.camera, kOmega, ext, 1.0, sbs, sky, t, nullptr, nullptr, nullptr);
            EXPECT_NEAR(snr, q, 1e-9 * q);
        }
    }
    // Hand solution for the warm camera, extended form (N = 1), dark 2.5 e/s, RN 15 e.
    Fixture f(1, 100.0, kCameras[1]);
    double sig = 0;
    ComputeExtendedSignalParts(f.optics.get(), f.camera, &f.filter, kOmega, 0, 18.0, 0, 1.0, &sig, nullptr, nullptr, nullptr);
    double q = 20.0, a = (sig / q) * (sig / q), b = sig + 2.5, c = 225.0;
    double s = (b + std::sqrt(b * b + 4 * a * c)) / (2 * a);
    EXPECT_NEAR(ComputeExtendedExposureForSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0, 18.0, 0, q), s, 1e-9 * s);
    // No signal, or no wanted ratio: no exposure.
    EXPECT_EQ(0.0, ComputeStarExposureForSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0, 1e-5, 1e-5, 2000.0, 1e-13, 5.0));
    EXPECT_EQ(0.0, ComputeStarExposureForSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0, 1e-5, 1e-5, 12.0, 1e-13, 0.0));
}

TEST(SnrCore, PartsScaleWithExposureAndApertureInPixels) {
    Fixture f(2, 300.0, kCameras[1]);
    double w = 2.0 * kArcsec;
    double s1, b1, r1, d1, p1, s2, b2, r2, d2, p2;
    ComputeStarSignalParts(f.optics.get(), f.camera, &f.filter, kOmega, 0.2, w, w, 14.0, 2e-13, 60.0, &s1, &b1, &r1, &d1, &p1);
    ComputeStarSignalParts(f.optics.get(), f.camera, &f.filter, kOmega, 0.2, w, w, 14.0, 2e-13, 120.0, &s2, &b2, &r2, &d2, &p2);
    EXPECT_NEAR(s2, 2 * s1, 1e-9 * s1);
    EXPECT_NEAR(b2, 2 * b1, 1e-9 * b1);
    EXPECT_NEAR(d2, 2 * d1, 1e-9 * d1);
    EXPECT_EQ(r1, r2);
    double n = kPi * w * w / kOmega;
    EXPECT_NEAR(r1, n * 225.0, 1e-9);
    EXPECT_NEAR(b1, n * p1, 1e-9 * b1);
    // The parts give the same SNR as the one-call form.
    double snr = ComputeStarSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0.2, w, w, 14.0, 2e-13, 60.0, nullptr, nullptr, nullptr);
    EXPECT_NEAR(snr, s1 / std::sqrt(s1 + b1 + r1 + d1), 1e-9 * snr);

    // An aperture smaller than a pixel counts as one pixel.
    double tiny = 0.1 * kArcsec;
    ComputeStarSignalParts(f.optics.get(), f.camera, &f.filter, kOmega, 0.2, tiny, w, 14.0, 2e-13, 60.0, &s1, &b1, &r1, &d1, &p1);
    EXPECT_DOUBLE_EQ(b1, p1);
    EXPECT_DOUBLE_EQ(r1, 225.0);
    EXPECT_DOUBLE_EQ(d1, 2.5 * 60.0);
    // With r = w the aperture holds 1 - exp(-2.77) = 93.7 % of the light.
    double inside = ComputeStarSignal(f.optics.get(), f.camera, &f.filter, 0.2, w, w, 14.0, 1.0);
    double all = ComputeStarSignal(f.optics.get(), f.camera, &f.filter, 0.2, 1000 * w, w, 14.0, 1.0);
    EXPECT_NEAR(inside / all, 0.937, 5e-4);
    // A net sky flux below zero (a band's negative light-pollution excess
    // outweighing the night sky) is no sky, not a negative variance.
    EXPECT_EQ(0.0, ComputeSkySignalPerPixel(f.optics.get(), f.camera, &f.filter, kOmega, -1e-13, 60.0));
    // No light at all: SNR 0 and an error of 0, not an infinite one.
    double error = -1;
    EXPECT_EQ(0.0, ComputeStarSnr(f.optics.get(), f.camera, &f.filter, kOmega, 0, w, w, 2000.0, 0, 60.0, &error, nullptr, nullptr));
    EXPECT_EQ(0.0, error);
}

TEST(SnrCore, NeutralDensityScalesTheClearSignalAndSky) {
    Fixture f(1, 120.0, kCameras[0]);
    const double ext[5] = {0.5, 0.3, 0.2, 0.1, 0.1}, sizes[5] = {3, 3, 3, 3, 3};
    const double mags[5] = {12, 12, 12, 12, 12}, sky[5] = {2e-13, 2e-13, 2e-13, 2e-13, 2e-13};
    double s1, b1, s2, b2;
    ComputeStarSnrClear(f.optics.get(), f.camera, kOmega, ext, 1.0, 3 * kArcsec, sizes, mags, sky, 30, nullptr, &s1, &b1);
    ComputeStarSnrClear(f.optics.get(), f.camera, kOmega, ext, 0.5, 3 * kArcsec, sizes, mags, sky, 30, nullptr, &s2, &b2);
    EXPECT_NEAR(s2, 0.5 * s1, 1e-9 * s1);
    EXPECT_NEAR(b2, 0.5 * b1, 1e-9 * b1);
    // Clear bands take the fixed clear bandwidths: the V band alone, by hand.
    double area = kPi / 4 * 144.0;
    const FilterRecord &v = f.camera->filters[kCameraBandSlot + 2];
    double bV = 2e-13 * kOmega * 206264.806 * 206264.806 * Conversion(area, 1, v, 0.1, 1.0) * 30;
    double sum = 0;
    const double clear[5] = {0.07, 0.1, 0.1, 0.2, 0.2};
    for (int k = 0; k < 5; k++) {
        const FilterRecord &band = f.camera->filters[kCameraBandSlot + k];
        sum += 2e-13 * kOmega * 206264.806 * 206264.806 * Conversion(area, 1, band, clear[k], 1.0) * 30;
    }
    double n = kPi * 9 * kArcsec * kArcsec / kOmega;
    EXPECT_NEAR(b1 / (n * sum), 1.0, 2e-3);
    EXPECT_GT(b1, n * bV);
}

TEST(SnrCore, FrameLengthFromSkyOrDarkIgnoresTheGain) {
    Fixture f(2, 200.0, kCameras[0]);
    double skyPerPixel = ComputeSkySignalPerPixel(f.optics.get(), f.camera, &f.filter, kOmega, 5e-13, 1.0);
    ASSERT_GT(skyPerPixel, double{f.camera->darkSignal});
    double expected = 81.0 / (0.1025 * skyPerPixel);
    EXPECT_NEAR(ComputeSubExposureLength(f.optics.get(), f.camera, &f.filter, kOmega, 5e-13, 1), expected, 1e-9 * expected);
    // Electrons against electrons: a camera counting 4 electrons per unit
    // gets the same frame length as one counting 1.5.
    f.camera->gain = f.camera->binnedGain = 4.0;
    EXPECT_NEAR(ComputeSubExposureLength(f.optics.get(), f.camera, &f.filter, kOmega, 5e-13, 2), expected, 1e-9 * expected);
    // A dark signal above the sky rules.
    f.camera->darkSignal = 10 * skyPerPixel;
    EXPECT_NEAR(ComputeSubExposureLength(f.optics.get(), f.camera, &f.filter, kOmega, 5e-13, 1), 81.0 / (0.1025 * 10 * skyPerPixel), 1e-9);
    // Neither sky nor dark: no length.
    f.camera->darkSignal = 0;
    EXPECT_EQ(0.0, ComputeSubExposureLength(f.optics.get(), f.camera, &f.filter, kOmega, 0.0, 1));
    const double none[5] = {0, 0, 0, 0, 0};
    EXPECT_EQ(0.0, ComputeSubExposureLengthClear(f.optics.get(), f.camera, 1.0, kOmega, none, 1));
}

TEST(SnrCore, FramesAndDetectorNoise) {
    struct {
        double wanted, single;
        int frames;
    } cases[] = {{10, 5, 5}, {10, 10, 1}, {100, 3, 0}, {10, 0.005, 0}, {3, 7, 1}, {30, 1, 901}};
    for (const auto &c : cases) EXPECT_EQ(c.frames, ComputeFramesForSnr(c.wanted, c.single)) << c.wanted << "/" << c.single;
    EXPECT_NEAR(ScaleSnrForFrames(5.0, 4), 10.0, 1e-12);
    EXPECT_NEAR(ScaleSnrPerFrame(10.0, 4), 5.0, 1e-12);
    Fixture f(2, 200.0, kCameras[1]);
    // Four frames of 10 s with 15 e read noise and 2.5 e/s dark: four reads
    // and 40 s of dark current, 4 x (225 + 25) electrons^2.
    EXPECT_NEAR(ComputeDetectorNoisePerPixel(f.camera, 4, 10.0), 4 * (225 + 25), 1e-9);
    double r = 3 * kArcsec;
    EXPECT_NEAR(ComputeDetectorNoiseInAperture(f.camera, kOmega, r, 4, 10.0), 1000 * kPi * r * r / kOmega, 1e-6);
    EXPECT_NEAR(ComputeDetectorNoiseInAperture(f.camera, kOmega, 0.1 * kArcsec, 1, 10.0), 250, 1e-9);
    EXPECT_EQ(0.0, ComputeDetectorNoisePerPixel(f.camera, 0, 10.0));
    // The stack of n frames from the parts of one frame: sqrt(n) times its SNR.
    double w = 2 * kArcsec, s, b, rd, d;
    ComputeStarSignalParts(f.optics.get(), f.camera, &f.filter, kOmega, 0.2, w, w, 16.0, 1e-13, 30.0, &s, &b, &rd, &d, nullptr);
    double single = s / std::sqrt(s + b + rd + d);
    double stack = 9 * s / std::sqrt(9 * (s + b) + ComputeDetectorNoiseInAperture(f.camera, kOmega, w, 9, 30.0));
    EXPECT_NEAR(stack, ScaleSnrForFrames(single, 9), 1e-9 * stack);
}

TEST(SnrCore, StarImageSize) {
    // 2" seeing at the zenith in V with a 200 mm aperture: the seeing in
    // quadrature with 2.35 sigma of the diffraction pattern, lambda / D.
    double diff = 0.55e-4 * 206208.0 / 20.0;
    EXPECT_NEAR(EstimateStarImageSize(0.55, 2.0, 1.0, 200.0), std::sqrt(4.0 + 5.54 * diff * diff), 1e-9);
    // Air mass 2 grows the seeing by 2^0.6; the I band shrinks it by (0.9/0.55)^-0.2.
    double seeing = 2.0 * std::pow(2.0, 0.6) * std::pow(0.9 / 0.55, -0.2);
    diff = 0.9e-4 * 206208.0 / 20.0;
    EXPECT_NEAR(EstimateStarImageSize(0.9, 2.0, 2.0, 200.0), std::sqrt(seeing * seeing + 5.54 * diff * diff), 1e-9);
}

}  // namespace
