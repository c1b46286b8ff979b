// The photon-counting model of a CCD exposure (see snrcore.h).
#include "visibility/snrcore.h"

#include <algorithm>
#include <cmath>

#include "core/mathutil.h"
#include "instruments/camerarecords.h"
#include "instruments/instrumentrecord.h"
#include "photometry/seeing.h"
#include "photometry/skybright.h"

const double kClearBandwidths[kPhotometricBands] = {0.07, 0.1, 0.1, 0.2, 0.2};

namespace {

const double kReflectorObstruction = 0.15;
const double kSctObstruction = 0.34;
// Photons per erg per micrometre of wavelength: 1 / (h c) with h c in erg cm,
// and 1e-4 cm per micrometre.
const double kPhotonsPerErg = 5040287014103730.754;
// Gaussian image: fraction within r of an image of FWHM w is
// 1 - exp(-4 ln 2 (r / w)^2).
const double kGaussianFactor = 2.77;
// The read noise may raise the sky-limited noise of a frame by 5 %.
const double kReadNoiseShare = 0.05;
const double kArcsecPerRadian = 648000.0 / kPi;

// Electrons per (erg s^-1 cm^-2 um^-1) per second through one band:
// area x throughput x bandwidth x photons per erg.
double BandConversion(const OpticsBlock *optics, const FilterRecord *band, double bandwidth,
                      double transmission) {
    int elements = 1;
    double area = ComputeCollectingArea(optics, &elements);
    double throughput = ComputeGuardedPower(band->mirrorReflectance, elements) *
                        ComputeGuardedPower(band->surfaceTransmission, 4) *
                        band->quantumEfficiency / 100.0 * transmission;
    return area * throughput * bandwidth * band->wavelength * 0.0001 * kPhotonsPerErg;
}

double StarFlux(const FilterRecord *band, double magnitude, double extinction) {
    return ComputeGuardedPower(10.0, -0.4 * (magnitude - band->zeroPoint + extinction));
}

double EnclosedFraction(double r, double w) {
    if (w <= 0) return 1.0;
    return 1.0 - std::exp(-kGaussianFactor * (r / w) * (r / w));
}

// Sky flux can come out below zero where a band's extra flux is negative and
// the night sky has been dimmed to nothing; no sky is the floor.
double SkyRate(double omega, double skyFlux, double conversion) {
    return std::max(0.0, omega * kSquareArcsecPerSteradian * skyFlux * conversion);
}

double PixelsInAperture(double omega, double r) {
    if (omega <= 0) return 1.0;
    return std::max(1.0, kPi * r * r / omega);
}

const FilterRecord *Band(const CameraEntry *camera, int k) {
    return &camera->filters[kCameraBandSlot + k];
}

// The rates per second of one filter or of the five bands summed.
struct Rates {
    double signal;       // electrons per second from the object
    double skyPerPixel;  // electrons per second per pixel from the sky
};

Rates StarRates(const OpticsBlock *optics, const FilterRecord *filter, double omega,
                double extinction, double r, double w, double magnitude, double skyFlux) {
    double c = BandConversion(optics, filter, filter->bandwidth, filter->peakTransmission);
    return {StarFlux(filter, magnitude, extinction) * EnclosedFraction(r, w) * c,
            SkyRate(omega, skyFlux, c)};
}

Rates StarRatesClear(const OpticsBlock *optics, const CameraEntry *camera, double omega,
                     const double extinction[5], double transmission, double r,
                     const double imageSizeArcsec[5], const double magnitudes[5],
                     const double skyFlux[5]) {
    Rates sum = {0, 0};
    for (int k = 0; k < kPhotometricBands; k++) {
        const FilterRecord *band = Band(camera, k);
        double c = BandConversion(optics, band, kClearBandwidths[k], transmission);
        double w = imageSizeArcsec[k] / kArcsecPerRadian;
        sum.signal += StarFlux(band, magnitudes[k], extinction[k]) * EnclosedFraction(r, w) * c;
        sum.skyPerPixel += SkyRate(omega, skyFlux[k], c);
    }
    return sum;
}

Rates ExtendedRates(const OpticsBlock *optics, const FilterRecord *filter, double omega,
                    double extinction, double surfaceBrightness, double skyFlux) {
    double c = BandConversion(optics, filter, filter->bandwidth, filter->peakTransmission);
    double objectFlux = ConvertSkyBrightnessToModelFlux(surfaceBrightness + extinction);
    return {SkyRate(omega, objectFlux, c), SkyRate(omega, skyFlux, c)};
}

Rates ExtendedRatesClear(const OpticsBlock *optics, const CameraEntry *camera, double omega,
                         const double extinction[5], double transmission,
                         const double surfaceBrightness[5], const double skyFlux[5]) {
    Rates sum = {0, 0};
    for (int k = 0; k < kPhotometricBands; k++) {
        const FilterRecord *band = Band(camera, k);
        double c = BandConversion(optics, band, kClearBandwidths[k], transmission);
        double objectFlux = ConvertSkyBrightnessToModelFlux(surfaceBrightness[k] + extinction[k]);
        sum.signal += SkyRate(omega, objectFlux, c);
        sum.skyPerPixel += SkyRate(omega, skyFlux[k], c);
    }
    return sum;
}

void Put(double *out, double value) {
    if (out) *out = value;
}

// The noise of one exposure of t seconds over n pixels and its SNR.
double Snr(const CameraEntry *camera, Rates rates, double n, double t, double *error,
           double *signal, double *sky) {
    double s = rates.signal * t;
    double b = n * rates.skyPerPixel * t;
    double noise2 = s + b + n * (camera->readNoise * camera->readNoise + camera->darkSignal * t);
    double snr = noise2 > 0 ? s / std::sqrt(noise2) : 0.0;
    Put(error, snr > 0 ? 1.086 / snr : 0.0);
    Put(signal, s);
    Put(sky, b);
    return snr;
}

void Parts(const CameraEntry *camera, Rates rates, double n, double t, double *signal,
           double *sky, double *read, double *dark, double *skyPerPixel) {
    Put(signal, rates.signal * t);
    Put(sky, n * rates.skyPerPixel * t);
    Put(read, n * camera->readNoise * camera->readNoise);
    Put(dark, n * camera->darkSignal * t);
    Put(skyPerPixel, rates.skyPerPixel * t);
}

// Solves S t / sqrt(S t + n (B t + D t + R^2)) = q for t > 0:
// (S/q)^2 t^2 - (S + n (B + D)) t - n R^2 = 0. The product of the roots is
// -n R^2 (S/q)^-2 <= 0, so the larger root is the one that is not negative.
double Exposure(const CameraEntry *camera, Rates rates, double n, double q) {
    if (q <= 0 || rates.signal <= 0) return 0.0;
    double a = (rates.signal / q) * (rates.signal / q);
    double b = rates.signal + n * (rates.skyPerPixel + camera->darkSignal);
    double c = n * camera->readNoise * camera->readNoise;
    return (b + std::sqrt(b * b + 4.0 * a * c)) / (2.0 * a);
}

double FrameLength(const CameraEntry *camera, double skyPerPixel) {
    double dark = camera->darkSignal;
    double level = std::max(dark, skyPerPixel);
    if (level <= 0) return 0.0;
    double share = (1.0 + kReadNoiseShare) * (1.0 + kReadNoiseShare) - 1.0;
    return camera->readNoise * camera->readNoise / (share * level);
}

}  // namespace

double ComputeCollectingArea(const OpticsBlock *optics, int *elements) {
    double d = optics->effectiveAperture * 0.1;
    double obstruction = 0.0;
    int n = 1;
    if (optics->effectiveAperture == optics->aperture) {
        if (optics->type == kOpticsReflector) {
            obstruction = kReflectorObstruction * d;
            n = 2;
        } else if (optics->type == kOpticsSchmidtCassegrain) {
            obstruction = kSctObstruction * d;
            n = 2;
        }
    }
    if (elements) *elements = n;
    return (d * d - obstruction * obstruction) * kPi / 4.0;
}

double ComputeStarSnr(const OpticsBlock *optics, const CameraEntry *camera,
                      const FilterRecord *filter, double omega, double extinction, double r,
                      double w, double magnitude, double skyFlux, double t, double *error,
                      double *signal, double *sky) {
    Rates rates = StarRates(optics, filter, omega, extinction, r, w, magnitude, skyFlux);
    return Snr(camera, rates, PixelsInAperture(omega, r), t, error, signal, sky);
}

double ComputeStarSnrClear(const OpticsBlock *optics, const CameraEntry *camera, double omega,
                           const double extinction[5], double transmission, double r,
                           const double imageSizeArcsec[5], const double magnitudes[5],
                           const double skyFlux[5], double t, double *error, double *signal,
                           double *sky) {
    Rates rates = StarRatesClear(optics, camera, omega, extinction, transmission, r,
                                 imageSizeArcsec, magnitudes, skyFlux);
    return Snr(camera, rates, PixelsInAperture(omega, r), t, error, signal, sky);
}

double ComputeExtendedSnr(const OpticsBlock *optics, const CameraEntry *camera,
                          const FilterRecord *filter, double omega, double extinction,
                          double surfaceBrightness, double skyFlux, double t, double *error,
                          double *signal, double *sky) {
    Rates rates = ExtendedRates(optics, filter, omega, extinction, surfaceBrightness, skyFlux);
    return Snr(camera, rates, 1.0, t, error, signal, sky);
}

double ComputeExtendedSnrClear(const OpticsBlock *optics, const CameraEntry *camera,
                               double omega, const double extinction[5], double transmission,
                               const double surfaceBrightness[5], const double skyFlux[5],
                               double t, double *error, double *signal, double *sky) {
    Rates rates = ExtendedRatesClear(optics, camera, omega, extinction, transmission,
                                     surfaceBrightness, skyFlux);
    return Snr(camera, rates, 1.0, t, error, signal, sky);
}

void ComputeStarSignalParts(const OpticsBlock *optics, const CameraEntry *camera,
                            const FilterRecord *filter, double omega, double extinction,
                            double r, double w, double magnitude, double skyFlux, double t,
                            double *signal, double *sky, double *read, double *dark,
                            double *skyPerPixel) {
    Rates rates = StarRates(optics, filter, omega, extinction, r, w, magnitude, skyFlux);
    Parts(camera, rates, PixelsInAperture(omega, r), t, signal, sky, read, dark, skyPerPixel);
}

void ComputeStarSignalPartsClear(const OpticsBlock *optics, const CameraEntry *camera,
                                 double omega, const double extinction[5], double r,
                                 const double imageSizeArcsec[5], const double magnitudes[5],
                                 const double skyFlux[5], double t, double *signal, double *sky,
                                 double *read, double *dark, double *skyPerPixel) {
    Rates rates = StarRatesClear(optics, camera, omega, extinction, 1.0, r, imageSizeArcsec,
                                 magnitudes, skyFlux);
    Parts(camera, rates, PixelsInAperture(omega, r), t, signal, sky, read, dark, skyPerPixel);
}

void ComputeExtendedSignalParts(const OpticsBlock *optics, const CameraEntry *camera,
                                const FilterRecord *filter, double omega, double extinction,
                                double surfaceBrightness, double skyFlux, double t,
                                double *signal, double *sky, double *read, double *dark) {
    Rates rates = ExtendedRates(optics, filter, omega, extinction, surfaceBrightness, skyFlux);
    Parts(camera, rates, 1.0, t, signal, sky, read, dark, nullptr);
}

void ComputeExtendedSignalPartsClear(const OpticsBlock *optics, const CameraEntry *camera,
                                     double omega, const double extinction[5],
                                     const double surfaceBrightness[5], const double skyFlux[5],
                                     double t, double *signal, double *sky, double *read,
                                     double *dark) {
    Rates rates =
        ExtendedRatesClear(optics, camera, omega, extinction, 1.0, surfaceBrightness, skyFlux);
    Parts(camera, rates, 1.0, t, signal, sky, read, dark, nullptr);
}

double ComputeStarExposureForSnr(const OpticsBlock *optics, const CameraEntry *camera,
                                 const FilterRecord *filter, double omega, double extinction,
                                 double r, double w, double magnitude, double skyFlux, double q) {
    Rates rates = StarRates(optics, filter, omega, extinction, r, w, magnitude, skyFlux);
    return Exposure(camera, rates, PixelsInAperture(omega, r), q);
}

double ComputeStarExposureForSnrClear(const OpticsBlock *optics, const CameraEntry *camera,
                                      double omega, const double extinction[5],
                                      double transmission, double r,
                                      const double imageSizeArcsec[5],
                                      const double magnitudes[5], const double skyFlux[5],
                                      double q) {
    Rates rates = StarRatesClear(optics, camera, omega, extinction, transmission, r,
                                 imageSizeArcsec, magnitudes, skyFlux);
    return Exposure(camera, rates, PixelsInAperture(omega, r), q);
}

double ComputeExtendedExposureForSnr(const OpticsBlock *optics, const CameraEntry *camera,
                                     const FilterRecord *filter, double omega, double extinction,
                                     double surfaceBrightness, double skyFlux, double q) {
    Rates rates = ExtendedRates(optics, filter, omega, extinction, surfaceBrightness, skyFlux);
    return Exposure(camera, rates, 1.0, q);
}

double ComputeExtendedExposureForSnrClear(const OpticsBlock *optics, const CameraEntry *camera,
                                          double omega, const double extinction[5],
                                          double transmission, const double surfaceBrightness[5],
                                          const double skyFlux[5], double q) {
    Rates rates = ExtendedRatesClear(optics, camera, omega, extinction, transmission,
                                     surfaceBrightness, skyFlux);
    return Exposure(camera, rates, 1.0, q);
}

double ComputeSubExposureLength(const OpticsBlock *optics, const CameraEntry *camera,
                                const FilterRecord *filter, double omega, double skyFlux,
                                int binning) {
    double c = BandConversion(optics, filter, filter->bandwidth, filter->peakTransmission);
    return FrameLength(camera, SkyRate(omega, skyFlux, c));
}

double ComputeSubExposureLengthClear(const OpticsBlock *optics, const CameraEntry *camera,
                                     double transmission, double omega, const double skyFlux[5],
                                     int binning) {
    double sky = 0.0;
    for (int k = 0; k < kPhotometricBands; k++) {
        const FilterRecord *band = Band(camera, k);
        sky += SkyRate(omega, skyFlux[k],
                       BandConversion(optics, band, kClearBandwidths[k], transmission));
    }
    return FrameLength(camera, sky);
}

double ComputeStarSignal(const OpticsBlock *optics, const CameraEntry *camera,
                         const FilterRecord *filter, double extinction, double r, double w,
                         double magnitude, double t) {
    return StarRates(optics, filter, 0.0, extinction, r, w, magnitude, 0.0).signal * t;
}

double ComputeSkySignalPerPixel(const OpticsBlock *optics, const CameraEntry *camera,
                                const FilterRecord *filter, double omega, double skyFlux,
                                double t) {
    double c = BandConversion(optics, filter, filter->bandwidth, filter->peakTransmission);
    return SkyRate(omega, skyFlux, c) * t;
}

int ComputeFramesForSnr(double wanted, double single) {
    if (single >= wanted) return 1;
    if (single < 0.01) return 0;
    double k = wanted / single;
    if (k > 31.6) return 0;
    return static_cast<int>(k * k + 1.0);
}

double ScaleSnrForFrames(double value, int frames) {
    return frames > 0 ? value * std::sqrt(static_cast<double>(frames)) : 0.0;
}

double ScaleSnrPerFrame(double value, int frames) {
    return frames > 0 ? value / std::sqrt(static_cast<double>(frames)) : 0.0;
}

double ComputeDetectorNoiseInAperture(const CameraEntry *camera, double omega, double r,
                                      int frames, double t) {
    return ComputeDetectorNoisePerPixel(camera, frames, t) * PixelsInAperture(omega, r);
}

double ComputeDetectorNoisePerPixel(const CameraEntry *camera, int frames, double t) {
    if (frames < 1) return 0.0;
    return frames * (camera->readNoise * camera->readNoise + t * camera->darkSignal);
}

double EstimateStarImageSize(double wavelength, double seeing, double airMass, double aperture) {
    double size[kPhotometricBands];
    ComputeStarImageSizeAtWavelength(wavelength, seeing, airMass, aperture, size);
    return size[0];
}
