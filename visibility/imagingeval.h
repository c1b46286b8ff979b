// The imaging model for one moment: the conditions per band (extinction,
// star image size, sky flux) for a site, a time and the Sun and Moon state of
// the target, turned into the signal-to-noise ratio, noise terms, exposure
// for a wanted ratio or frame length of one camera behind one optics block,
// through one of the camera's filters or through its five clear bands.
//
// Common arguments in order: site, date, optics, camera index, filter index
// (-1 none), Sun and Moon state of the target; then the object's V magnitude
// (or V surface brightness, mag/arcsec^2) and B-V colour index; then the
// exposure t (seconds) or wanted ratio q; binning; outputs. Clear forms take
// no filter and the transmission factor T (1 clear, a neutral-density
// filter's transmission) last.
//
// Results: -1 for a missing optics block or a camera or filter index out of
// range (outputs untouched; the parts forms answer 0); 0 (filter forms) when
// the target is below the site's horizon dip (the error 0; the parts forms
// set their outputs to 0 and answer 1). A filter of central wavelength 0 is
// a neutral-density filter and evaluates the clear bands times its
// transmission.
#pragma once

struct DateRecord;
struct LocationRecord;
struct OpticsBlock;
struct SunMoonState;

// Central wavelengths (um) of the bands U..I.
extern const double kBandWavelengths[5];

double EvaluateStarImaging(const LocationRecord *site, const DateRecord *date,
                           const OpticsBlock *optics, int camera, int filter,
                           const SunMoonState *state, double v, double colour, double t,
                           int binning, double *error, double *signal, double *sky,
                           double *imageSize);
double EvaluateStarImagingClear(const LocationRecord *site, const DateRecord *date,
                                const OpticsBlock *optics, int camera, const SunMoonState *state,
                                double v, double colour, double t, int binning, double *error,
                                double *signal, double *sky, double *imageSize,
                                double transmission);
double EvaluateExtendedImaging(const LocationRecord *site, const DateRecord *date,
                               const OpticsBlock *optics, int camera, int filter,
                               const SunMoonState *state, double surfaceBrightness, double colour,
                               double t, int binning, double *error, double *signal, double *sky);
double EvaluateExtendedImagingClear(const LocationRecord *site, const DateRecord *date,
                                    const OpticsBlock *optics, int camera,
                                    const SunMoonState *state, double surfaceBrightness,
                                    double colour, double t, int binning, double *error,
                                    double *signal, double *sky, double transmission);

int EvaluateStarSignalParts(const LocationRecord *site, const DateRecord *date,
                            const OpticsBlock *optics, int camera, int filter,
                            const SunMoonState *state, double v, double colour, double t,
                            int binning, double *signal, double *sky, double *read, double *dark,
                            double *skyPerPixel);
int EvaluateStarSignalPartsClear(const LocationRecord *site, const DateRecord *date,
                                 const OpticsBlock *optics, int camera, const SunMoonState *state,
                                 double v, double colour, double t, int binning, double *signal,
                                 double *sky, double *read, double *dark, double *skyPerPixel);
int EvaluateExtendedSignalParts(const LocationRecord *site, const DateRecord *date,
                                const OpticsBlock *optics, int camera, int filter,
                                const SunMoonState *state, double surfaceBrightness,
                                double colour, double t, int binning, double *signal,
                                double *sky, double *read, double *dark);
int EvaluateExtendedSignalPartsClear(const LocationRecord *site, const DateRecord *date,
                                     const OpticsBlock *optics, int camera,
                                     const SunMoonState *state, double surfaceBrightness,
                                     double colour, double t, int binning, double *signal,
                                     double *sky, double *read, double *dark);

double EvaluateStarExposureForSnr(const LocationRecord *site, const DateRecord *date,
                                  const OpticsBlock *optics, int camera, int filter,
                                  const SunMoonState *state, double v, double colour, double q,
                                  int binning);
double EvaluateStarExposureForSnrClear(const LocationRecord *site, const DateRecord *date,
                                       const OpticsBlock *optics, int camera,
                                       const SunMoonState *state, double v, double colour,
                                       double q, int binning, double transmission);
double EvaluateExtendedExposureForSnr(const LocationRecord *site, const DateRecord *date,
                                      const OpticsBlock *optics, int camera, int filter,
                                      const SunMoonState *state, double surfaceBrightness,
                                      double colour, double q, int binning);
double EvaluateExtendedExposureForSnrClear(const LocationRecord *site, const DateRecord *date,
                                           const OpticsBlock *optics, int camera,
                                           const SunMoonState *state, double surfaceBrightness,
                                           double colour, double q, int binning,
                                           double transmission);

// Frame length (seconds) at which read noise stops mattering; no object.
double EvaluateSubExposureLength(const LocationRecord *site, const DateRecord *date,
                                 const OpticsBlock *optics, int camera, int filter,
                                 const SunMoonState *state, int binning);
double EvaluateSubExposureLengthClear(const LocationRecord *site, const DateRecord *date,
                                      const OpticsBlock *optics, int camera,
                                      const SunMoonState *state, int binning,
                                      double transmission);

// The object at its upper culmination on a moonless night (ideal 1: the
// best seeing and a dry, cold sky). No horizon test; SNR and error only.
double EvaluateStarImagingAtTransit(const LocationRecord *site, const OpticsBlock *optics,
                                    int camera, int filter, double v, double colour,
                                    double rightAscension, double declination, double t,
                                    int binning, int ideal, double *error);
double EvaluateStarImagingAtTransitClear(const LocationRecord *site, const OpticsBlock *optics,
                                         int camera, double v, double colour,
                                         double rightAscension, double declination, double t,
                                         int binning, int ideal, double *error,
                                         double transmission);
double EvaluateExtendedImagingAtTransit(const LocationRecord *site, const OpticsBlock *optics,
                                        int camera, int filter, double surfaceBrightness,
                                        double colour, double rightAscension, double declination,
                                        double t, int binning, int ideal, double *error);
double EvaluateExtendedImagingAtTransitClear(const LocationRecord *site,
                                             const OpticsBlock *optics, int camera,
                                             double surfaceBrightness, double colour,
                                             double rightAscension, double declination, double t,
                                             int binning, int ideal, double *error,
                                             double transmission);

// Star image size (arcsec) through a filter at an altitude: the bands'
// sizes interpolated at its wavelength; the mean of the five without a
// filter or for a neutral-density one. 0 below the horizon dip, without
// optics or for an index out of range.
double ComputeFilterStarImageSize(const LocationRecord *site, const OpticsBlock *optics,
                                  int camera, int filter, double seeing, double altitude);
double ComputeMeanStarImageSize(const LocationRecord *site, const OpticsBlock *optics,
                                double seeing, double altitude);

// Faintest V magnitude (colour 0) that reaches SNR q in frames of t seconds,
// to 0.05 mag. 99.9 ("none") when even a magnitude of -25 does not reach q,
// which includes a target below the horizon and bad indices.
double FindLimitingMagnitudeForSnr(const LocationRecord *site, const DateRecord *date,
                                   const OpticsBlock *optics, int camera, int filter,
                                   const SunMoonState *state, double q, double t, int frames,
                                   int binning);
