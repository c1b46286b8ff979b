// The photon-counting model of a CCD exposure: the electrons a star or an
// extended object and the sky deposit behind a telescope and camera, the read
// noise and dark signal, the signal-to-noise ratio and magnitude error, the
// exposure that reaches a wanted signal-to-noise ratio, the frame length at
// which read noise stops mattering, and the frames a wanted ratio needs.
// Conditions (extinction, image size, sky flux, pixel solid angle) come ready
// from the caller; nothing here knows the time or the place.
//
// Units: wavelengths and bandwidths in micrometres; point-source flux in
// erg s^-1 cm^-2 um^-1, sky and extended-object flux in the same per square
// arcsecond; angles in radians (image sizes of the clear forms in arcseconds),
// solid angles in steradians; times in seconds; signals and noise in electrons.
//
// The noise model is the standard CCD equation (Howell, Handbook of CCD
// Astronomy, ch. 4): noise^2 = S t + N (B t + D t + R^2), one read per exposure.
//
// Each routine has a one-filter form (one FilterRecord) and a clear form that
// sums the camera's five band records U..I with fixed clear bandwidths.
#pragma once

struct CameraEntry;
struct FilterRecord;
struct OpticsBlock;

const int kPhotometricBands = 5;  // U, B, V, R, I
// Bandwidth of each band without a filter, micrometres.
extern const double kClearBandwidths[kPhotometricBands];
// Square arcseconds per steradian.
const double kSquareArcsecPerSteradian = 42545170296.15221;

// Light-collecting area (cm^2) of the block at its effective aperture, and the
// number of optical elements (mirrors) the light meets. A reflector (type 2)
// or Schmidt-Cassegrain (type 3) used through its own aperture loses its
// central obstruction (0.15 or 0.34 of the diameter) and has two mirrors; a
// refractor, or any telescope carrying a camera lens piggyback, has one.
double ComputeCollectingArea(const OpticsBlock *optics, int *elements);

// Point source through one filter. r and w (FWHM of a Gaussian image) in
// radians; F the sky flux per square arcsecond. Out error, signal, sky in the
// aperture (each may be null). Result SNR.
double ComputeStarSnr(const OpticsBlock *optics, const CameraEntry *camera,
                      const FilterRecord *filter, double omega, double extinction, double r,
                      double w, double magnitude, double skyFlux, double t, double *error,
                      double *signal, double *sky);
// Point source without a filter: the five bands summed, each with its own
// extinction, image size (arcseconds), magnitude and sky flux; T scales the
// whole throughput (1 clear, a neutral-density filter's transmission).
double ComputeStarSnrClear(const OpticsBlock *optics, const CameraEntry *camera, double omega,
                           const double extinction[5], double transmission, double r,
                           const double imageSizeArcsec[5], const double magnitudes[5],
                           const double skyFlux[5], double t, double *error, double *signal,
                           double *sky);
// Extended object of surface brightness s (mag/arcsec^2), per pixel.
double ComputeExtendedSnr(const OpticsBlock *optics, const CameraEntry *camera,
                          const FilterRecord *filter, double omega, double extinction,
                          double surfaceBrightness, double skyFlux, double t, double *error,
                          double *signal, double *sky);
double ComputeExtendedSnrClear(const OpticsBlock *optics, const CameraEntry *camera,
                               double omega, const double extinction[5], double transmission,
                               const double surfaceBrightness[5], const double skyFlux[5],
                               double t, double *error, double *signal, double *sky);

// The terms of the noise separately: signal, sky in the aperture, read term
// N R^2 and dark term N D t (N = 1 for the extended forms), and for stars the
// sky per pixel when asked. SNR = signal / sqrt(signal + sky + read + dark).
// The clear parts forms apply no transmission factor (callers scale).
void ComputeStarSignalParts(const OpticsBlock *optics, const CameraEntry *camera,
                            const FilterRecord *filter, double omega, double extinction,
                            double r, double w, double magnitude, double skyFlux, double t,
                            double *signal, double *sky, double *read, double *dark,
                            double *skyPerPixel);
void ComputeStarSignalPartsClear(const OpticsBlock *optics, const CameraEntry *camera,
                                 double omega, const double extinction[5], double r,
                                 const double imageSizeArcsec[5], const double magnitudes[5],
                                 const double skyFlux[5], double t, double *signal, double *sky,
                                 double *read, double *dark, double *skyPerPixel);
void ComputeExtendedSignalParts(const OpticsBlock *optics, const CameraEntry *camera,
                                const FilterRecord *filter, double omega, double extinction,
                                double surfaceBrightness, double skyFlux, double t,
                                double *signal, double *sky, double *read, double *dark);
void ComputeExtendedSignalPartsClear(const OpticsBlock *optics, const CameraEntry *camera,
                                     double omega, const double extinction[5],
                                     const double surfaceBrightness[5], const double skyFlux[5],
                                     double t, double *signal, double *sky, double *read,
                                     double *dark);

// Exposure (seconds) at which the forward model above gives exactly SNR q:
// the positive root of (S/q)^2 t^2 - (S + N (B + D)) t - N R^2 = 0, with S
// the signal and B the sky per pixel per second. 0 when q is not positive
// or the object gives no signal (no exposure reaches it then).
double ComputeStarExposureForSnr(const OpticsBlock *optics, const CameraEntry *camera,
                                 const FilterRecord *filter, double omega, double extinction,
                                 double r, double w, double magnitude, double skyFlux, double q);
double ComputeStarExposureForSnrClear(const OpticsBlock *optics, const CameraEntry *camera,
                                      double omega, const double extinction[5],
                                      double transmission, double r,
                                      const double imageSizeArcsec[5],
                                      const double magnitudes[5], const double skyFlux[5],
                                      double q);
double ComputeExtendedExposureForSnr(const OpticsBlock *optics, const CameraEntry *camera,
                                     const FilterRecord *filter, double omega, double extinction,
                                     double surfaceBrightness, double skyFlux, double q);
double ComputeExtendedExposureForSnrClear(const OpticsBlock *optics, const CameraEntry *camera,
                                          double omega, const double extinction[5],
                                          double transmission, const double surfaceBrightness[5],
                                          const double skyFlux[5], double q);

// Frame length (seconds) at which the sky (or the dark signal, when larger)
// adds enough noise that the read noise raises the total by only 5 %:
// R^2 / (((1.05)^2 - 1) L), L = the larger of the sky and dark rates per
// pixel in electrons per second. 0 when L is 0. Both rates are electrons,
// so the camera's gain (electrons per count) plays no part; binning is kept
// for the callers, whose pixel solid angle already carries it.
double ComputeSubExposureLength(const OpticsBlock *optics, const CameraEntry *camera,
                                const FilterRecord *filter, double omega, double skyFlux,
                                int binning);
double ComputeSubExposureLengthClear(const OpticsBlock *optics, const CameraEntry *camera,
                                     double transmission, double omega, const double skyFlux[5],
                                     int binning);

// Signal alone of a star and sky alone per pixel, through one filter.
double ComputeStarSignal(const OpticsBlock *optics, const CameraEntry *camera,
                         const FilterRecord *filter, double extinction, double r, double w,
                         double magnitude, double t);
double ComputeSkySignalPerPixel(const OpticsBlock *optics, const CameraEntry *camera,
                                const FilterRecord *filter, double omega, double skyFlux,
                                double t);

// Frames of SNR s each that stack to the wanted SNR w: 1 when s >= w; 0 when
// s < 0.01 or w / s > 31.6; else the whole part of (w / s)^2 + 1.
int ComputeFramesForSnr(double wanted, double single);
double ScaleSnrForFrames(double value, int frames);  // value sqrt(n)
double ScaleSnrPerFrame(double value, int frames);   // value / sqrt(n); 0 for n < 1
// Detector variance (electrons^2) of a stack of n frames of t seconds:
// n (R^2 + t D) per pixel, times max(1, pi r^2 / Omega) pixels in an
// aperture. Each frame is read once and the variances of independent frames
// add, so the term grows as n (not sqrt(n)): a stack of n frames then has
// sqrt(n) times the SNR of one, as ScaleSnrForFrames says. 0 for n < 1.
double ComputeDetectorNoiseInAperture(const CameraEntry *camera, double omega, double r,
                                      int frames, double t);
double ComputeDetectorNoisePerPixel(const CameraEntry *camera, int frames, double t);

// FWHM (arcseconds) of a star image: seeing s at the zenith grown with air
// mass X^0.6 and wavelength^-0.2 (Kolmogorov turbulence), in quadrature with
// the diffraction width of aperture D (mm) at the wavelength (um); the
// one-wavelength form of ComputeStarImageSizes (photometry/seeing.h).
double EstimateStarImageSize(double wavelength, double seeing, double airMass, double aperture);
