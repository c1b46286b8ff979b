// The imaging model for one moment, per camera, filter and object kind
// (see imagingeval.h).
#include "visibility/imagingeval.h"

#include <cmath>

#include "astro/airmass.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "instruments/bands.h"
#include "instruments/camerageometry.h"
#include "instruments/camerarecords.h"
#include "instruments/instrumentrecord.h"
#include "photometry/seeing.h"
#include "photometry/skybright.h"
#include "visibility/bandconditions.h"
#include "visibility/snrcore.h"

const double kBandWavelengths[5] = {0.365, 0.44, 0.55, 0.70, 0.90};

namespace {

const int kBandV = 2;
const double kRadiansPerArcsec = kPi / 648000.0;
const double kNoLimit = 99.9;

enum Operation { kSnr, kParts, kExposure, kFrameLength };

struct Request {
    Operation op;
    bool extended;
    double value;   // V magnitude or V surface brightness
    double colour;  // B-V
    double x;       // exposure t or wanted SNR q
    int binning;
};

struct Outputs {
    double *error = nullptr;
    double *signal = nullptr;
    double *sky = nullptr;
    double *imageSize = nullptr;
    double *read = nullptr;
    double *dark = nullptr;
    double *skyPerPixel = nullptr;
};

// Where the conditions come from: the moment's Sun and Moon, or the transit.
struct Moment {
    const LocationRecord *site;
    const DateRecord *date;          // moment only
    const SunMoonState *state;       // null: at transit
    double rightAscension, declination;
    int ideal;
};

struct Bands {
    double k[5], extinction[5], size[5], sky[5];
};

void Conditions(const Moment &at, const OpticsBlock *optics, Bands *b) {
    double extra[5];
    ComputeBandNightSkyFlux(extra, at.site->nakedEyeLimit);
    if (at.state) {
        const SunMoonState *s = at.state;
        ComputeBandSkyConditions(at.site, at.date, optics->effectiveAperture,
                                 (1.0 - s->moonIlluminatedFraction) * kPi, s->moonTargetSeparation,
                                 kPi / 2 - s->targetAltitude, kPi / 2 - s->moonAltitude,
                                 kPi / 2 - s->sunAltitude, s->sunTargetSeparation, extra, b->k,
                                 b->extinction, b->size, b->sky);
    } else {
        ComputeBandSkyConditionsAtTransit(at.site, optics->effectiveAperture, at.rightAscension,
                                          at.declination, extra, b->k, b->extinction, b->size,
                                          b->sky, at.ideal);
    }
}

void FiveMagnitudes(double v, double colour, double m[5]) {
    m[0] = EstimateUMagnitude(v, colour);
    m[1] = EstimateBMagnitude(v, colour);
    m[2] = v;
    m[3] = EstimateRMagnitude(v, colour);
    m[4] = EstimateIMagnitude(v, colour);
}

const CameraEntry *CameraOf(const OpticsBlock *optics, int camera) {
    if (!optics || camera < 0 || camera >= optics->cameraCount ||
        camera >= static_cast<int>(sizeof optics->cameras / sizeof optics->cameras[0]))
        return nullptr;
    return &optics->cameras[camera];
}

void Put(double *out, double value) {
    if (out) *out = value;
}

double Failure(const Request &r) { return r.op == kParts ? 0.0 : -1.0; }

// The five clear bands, the whole throughput times T (the parts forms
// leave T to the caller).
double Clear(const OpticsBlock *optics, const CameraEntry *cam, const Bands &b, const Request &r,
             double transmission, const Outputs &out) {
    double m[5];
    FiveMagnitudes(r.value, r.colour, m);
    double omega = ComputePixelSolidAngle(optics, cam, r.binning);
    double radius = b.size[kBandV] * kRadiansPerArcsec;
    switch (r.op) {
    case kSnr:
        if (r.extended)
            return ComputeExtendedSnrClear(optics, cam, omega, b.extinction, transmission, m, b.sky,
                                           r.x, out.error, out.signal, out.sky);
        Put(out.imageSize, radius);
        return ComputeStarSnrClear(optics, cam, omega, b.extinction, transmission, radius, b.size,
                                   m, b.sky, r.x, out.error, out.signal, out.sky);
    case kParts:
        if (r.extended)
            ComputeExtendedSignalPartsClear(optics, cam, omega, b.extinction, m, b.sky, r.x,
                                            out.signal, out.sky, out.read, out.dark);
        else
            ComputeStarSignalPartsClear(optics, cam, omega, b.extinction, radius, b.size, m, b.sky,
                                        r.x, out.signal, out.sky, out.read, out.dark,
                                        out.skyPerPixel);
        return 1.0;
    case kExposure:
        if (r.extended)
            return ComputeExtendedExposureForSnrClear(optics, cam, omega, b.extinction,
                                                      transmission, m, b.sky, r.x);
        return ComputeStarExposureForSnrClear(optics, cam, omega, b.extinction, transmission,
                                              radius, b.size, m, b.sky, r.x);
    case kFrameLength:
        return ComputeSubExposureLengthClear(optics, cam, transmission, omega, b.sky, r.binning);
    }
    return -1.0;
}

// One filter: the object, the sky and the conditions interpolated at the
// filter's central wavelength.
double Filtered(const OpticsBlock *optics, const CameraEntry *cam, const FilterRecord *f,
                const Bands &b, const Request &r, const Outputs &out) {
    double m[5];
    FiveMagnitudes(r.value, r.colour, m);
    double x = f->wavelength;
    double mag = InterpolateFivePointTable(x, kBandWavelengths, m);
    double sky = InterpolateFivePointTable(x, kBandWavelengths, b.sky);
    double e = InterpolateFivePointTable(x, kBandWavelengths, b.extinction);
    double w = InterpolateFivePointTable(x, kBandWavelengths, b.size) * kRadiansPerArcsec;
    double omega = ComputePixelSolidAngle(optics, cam, r.binning);
    switch (r.op) {
    case kSnr:
        if (r.extended)
            return ComputeExtendedSnr(optics, cam, f, omega, e, mag, sky, r.x, out.error,
                                      out.signal, out.sky);
        Put(out.imageSize, w);
        return ComputeStarSnr(optics, cam, f, omega, e, w, w, mag, sky, r.x, out.error,
                              out.signal, out.sky);
    case kParts:
        if (r.extended)
            ComputeExtendedSignalParts(optics, cam, f, omega, e, mag, sky, r.x, out.signal,
                                       out.sky, out.read, out.dark);
        else
            ComputeStarSignalParts(optics, cam, f, omega, e, w, w, mag, sky, r.x, out.signal,
                                   out.sky, out.read, out.dark, out.skyPerPixel);
        return 1.0;
    case kExposure:
        if (r.extended)
            return ComputeExtendedExposureForSnr(optics, cam, f, omega, e, mag, sky, r.x);
        return ComputeStarExposureForSnr(optics, cam, f, omega, e, w, w, mag, sky, r.x);
    case kFrameLength:
        return ComputeSubExposureLength(optics, cam, f, omega, sky, r.binning);
    }
    return -1.0;
}

// The filter forms: horizon, indices, then the clear bands, a
// neutral-density filter over them, or one filter.
double Evaluate(const Moment &at, const OpticsBlock *optics, int camera, int filter,
                const Request &r, const Outputs &out) {
    if (!at.site) return Failure(r);
    if (at.state && at.state->targetAltitude < at.site->horizonDip) {
        if (r.op == kParts) {
            Put(out.signal, 0);
            Put(out.sky, 0);
            Put(out.read, 0);
            Put(out.dark, 0);
            Put(out.skyPerPixel, 0);
            return 1.0;
        }
        Put(out.error, 0);
        return 0.0;
    }
    const CameraEntry *cam = CameraOf(optics, camera);
    if (!cam) return Failure(r);
    Bands b;
    if (filter < 0) {
        Conditions(at, optics, &b);
        return Clear(optics, cam, b, r, 1.0, out);
    }
    if (filter >= cam->filterCount || filter >= kCameraAssignedFilters) return Failure(r);
    const FilterRecord *f = &cam->filters[filter];
    Conditions(at, optics, &b);
    if (f->wavelength == 0) {
        double transmission = f->surfaceTransmission;
        double result = Clear(optics, cam, b, r, transmission, out);
        if (r.op == kParts) {
            if (out.signal) *out.signal *= transmission;
            if (out.sky) *out.sky *= transmission;
            if (out.skyPerPixel) *out.skyPerPixel *= transmission;
        }
        return result;
    }
    return Filtered(optics, cam, f, b, r, out);
}

// The clear forms: no horizon test, the given T.
double EvaluateClear(const Moment &at, const OpticsBlock *optics, int camera, const Request &r,
                     double transmission, const Outputs &out) {
    const CameraEntry *cam = CameraOf(optics, camera);
    if (!at.site || !cam) return Failure(r);
    Bands b;
    Conditions(at, optics, &b);
    return Clear(optics, cam, b, r, transmission, out);
}

Moment Now(const LocationRecord *site, const DateRecord *date, const SunMoonState *state) {
    return {site, date, state, 0.0, 0.0, 0};
}

Moment Transit(const LocationRecord *site, double ra, double dec, int ideal) {
    return {site, nullptr, nullptr, ra, dec, ideal};
}

// A moment-form call without a state cannot be evaluated.
bool Usable(const SunMoonState *state, const DateRecord *date) { return state && date; }

}  // namespace

double EvaluateStarImaging(const LocationRecord *site, const DateRecord *date,
                           const OpticsBlock *optics, int camera, int filter,
                           const SunMoonState *state, double v, double colour, double t,
                           int binning, double *error, double *signal, double *sky,
                           double *imageSize) {
    if (!Usable(state, date)) return -1;
    Outputs out;
    out.error = error, out.signal = signal, out.sky = sky, out.imageSize = imageSize;
    return Evaluate(Now(site, date, state), optics, camera, filter,
                    {kSnr, false, v, colour, t, binning}, out);
}

double EvaluateStarImagingClear(const LocationRecord *site, const DateRecord *date,
                                const OpticsBlock *optics, int camera, const SunMoonState *state,
                                double v, double colour, double t, int binning, double *error,
                                double *signal, double *sky, double *imageSize,
                                double transmission) {
    if (!Usable(state, date)) return -1;
    Outputs out;
    out.error = error, out.signal = signal, out.sky = sky, out.imageSize = imageSize;
    return EvaluateClear(Now(site, date, state), optics, camera,
                         {kSnr, false, v, colour, t, binning}, transmission, out);
}

double EvaluateExtendedImaging(const LocationRecord *site, const DateRecord *date,
                               const OpticsBlock *optics, int camera, int filter,
                               const SunMoonState *state, double surfaceBrightness, double colour,
                               double t, int binning, double *error, double *signal, double *sky) {
    if (!Usable(state, date)) return -1;
    Outputs out;
    out.error = error, out.signal = signal, out.sky = sky;
    return Evaluate(Now(site, date, state), optics, camera, filter,
                    {kSnr, true, surfaceBrightness, colour, t, binning}, out);
}

double EvaluateExtendedImagingClear(const LocationRecord *site, const DateRecord *date,
                                    const OpticsBlock *optics, int camera,
                                    const SunMoonState *state, double surfaceBrightness,
                                    double colour, double t, int binning, double *error,
                                    double *signal, double *sky, double transmission) {
    if (!Usable(state, date)) return -1;
    Outputs out;
    out.error = error, out.signal = signal, out.sky = sky;
    return EvaluateClear(Now(site, date, state), optics, camera,
                         {kSnr, true, surfaceBrightness, colour, t, binning}, transmission, out);
}

int EvaluateStarSignalParts(const LocationRecord *site, const DateRecord *date,
                            const OpticsBlock *optics, int camera, int filter,
                            const SunMoonState *state, double v, double colour, double t,
                            int binning, double *signal, double *sky, double *read, double *dark,
                            double *skyPerPixel) {
    if (!Usable(state, date)) return 0;
    Outputs out;
    out.signal = signal, out.sky = sky, out.read = read, out.dark = dark,
    out.skyPerPixel = skyPerPixel;
    return static_cast<int>(Evaluate(Now(site, date, state), optics, camera, filter,
                                     {kParts, false, v, colour, t, binning}, out));
}

int EvaluateStarSignalPartsClear(const LocationRecord *site, const DateRecord *date,
                                 const OpticsBlock *optics, int camera, const SunMoonState *state,
                                 double v, double colour, double t, int binning, double *signal,
                                 double *sky, double *read, double *dark, double *skyPerPixel) {
    if (!Usable(state, date)) return 0;
    Outputs out;
    out.signal = signal, out.sky = sky, out.read = read, out.dark = dark,
    out.skyPerPixel = skyPerPixel;
    return static_cast<int>(EvaluateClear(Now(site, date, state), optics, camera,
                                          {kParts, false, v, colour, t, binning}, 1.0, out));
}

int EvaluateExtendedSignalParts(const LocationRecord *site, const DateRecord *date,
                                const OpticsBlock *optics, int camera, int filter,
                                const SunMoonState *state, double surfaceBrightness,
                                double colour, double t, int binning, double *signal,
                                double *sky, double *read, double *dark) {
    if (!Usable(state, date)) return 0;
    Outputs out;
    out.signal = signal, out.sky = sky, out.read = read, out.dark = dark;
    return static_cast<int>(Evaluate(Now(site, date, state), optics, camera, filter,
                                     {kParts, true, surfaceBrightness, colour, t, binning}, out));
}

int EvaluateExtendedSignalPartsClear(const LocationRecord *site, const DateRecord *date,
                                     const OpticsBlock *optics, int camera,
                                     const SunMoonState *state, double surfaceBrightness,
                                     double colour, double t, int binning, double *signal,
                                     double *sky, double *read, double *dark) {
    if (!Usable(state, date)) return 0;
    Outputs out;
    out.signal = signal, out.sky = sky, out.read = read, out.dark = dark;
    return static_cast<int>(EvaluateClear(Now(site, date, state), optics, camera,
                                          {kParts, true, surfaceBrightness, colour, t, binning},
                                          1.0, out));
}

double EvaluateStarExposureForSnr(const LocationRecord *site, const DateRecord *date,
                                  const OpticsBlock *optics, int camera, int filter,
                                  const SunMoonState *state, double v, double colour, double q,
                                  int binning) {
    if (!Usable(state, date)) return -1;
    return Evaluate(Now(site, date, state), optics, camera, filter,
                    {kExposure, false, v, colour, q, binning}, Outputs());
}

double EvaluateStarExposureForSnrClear(const LocationRecord *site, const DateRecord *date,
                                       const OpticsBlock *optics, int camera,
                                       const SunMoonState *state, double v, double colour,
                                       double q, int binning, double transmission) {
    if (!Usable(state, date)) return -1;
    return EvaluateClear(Now(site, date, state), optics, camera,
                         {kExposure, false, v, colour, q, binning}, transmission, Outputs());
}

double EvaluateExtendedExposureForSnr(const LocationRecord *site, const DateRecord *date,
                                      const OpticsBlock *optics, int camera, int filter,
                                      const SunMoonState *state, double surfaceBrightness,
                                      double colour, double q, int binning) {
    if (!Usable(state, date)) return -1;
    return Evaluate(Now(site, date, state), optics, camera, filter,
                    {kExposure, true, surfaceBrightness, colour, q, binning}, Outputs());
}

double EvaluateExtendedExposureForSnrClear(const LocationRecord *site, const DateRecord *date,
                                           const OpticsBlock *optics, int camera,
                                           const SunMoonState *state, double surfaceBrightness,
                                           double colour, double q, int binning,
                                           double transmission) {
    if (!Usable(state, date)) return -1;
    return EvaluateClear(Now(site, date, state), optics, camera,
                         {kExposure, true, surfaceBrightness, colour, q, binning}, transmission,
                         Outputs());
}

double EvaluateSubExposureLength(const LocationRecord *site, const DateRecord *date,
                                 const OpticsBlock *optics, int camera, int filter,
                                 const SunMoonState *state, int binning) {
    if (!Usable(state, date)) return -1;
    return Evaluate(Now(site, date, state), optics, camera, filter,
                    {kFrameLength, false, 0.0, 0.0, 0.0, binning}, Outputs());
}

double EvaluateSubExposureLengthClear(const LocationRecord *site, const DateRecord *date,
                                      const OpticsBlock *optics, int camera,
                                      const SunMoonState *state, int binning,
                                      double transmission) {
    if (!Usable(state, date)) return -1;
    return EvaluateClear(Now(site, date, state), optics, camera,
                         {kFrameLength, false, 0.0, 0.0, 0.0, binning}, transmission, Outputs());
}

double EvaluateStarImagingAtTransit(const LocationRecord *site, const OpticsBlock *optics,
                                    int camera, int filter, double v, double colour,
                                    double rightAscension, double declination, double t,
                                    int binning, int ideal, double *error) {
    Outputs out;
    out.error = error;
    return Evaluate(Transit(site, rightAscension, declination, ideal), optics, camera, filter,
                    {kSnr, false, v, colour, t, binning}, out);
}

double EvaluateStarImagingAtTransitClear(const LocationRecord *site, const OpticsBlock *optics,
                                         int camera, double v, double colour,
                                         double rightAscension, double declination, double t,
                                         int binning, int ideal, double *error,
                                         double transmission) {
    Outputs out;
    out.error = error;
    return EvaluateClear(Transit(site, rightAscension, declination, ideal), optics, camera,
                         {kSnr, false, v, colour, t, binning}, transmission, out);
}

double EvaluateExtendedImagingAtTransit(const LocationRecord *site, const OpticsBlock *optics,
                                        int camera, int filter, double surfaceBrightness,
                                        double colour, double rightAscension, double declination,
                                        double t, int binning, int ideal, double *error) {
    Outputs out;
    out.error = error;
    return Evaluate(Transit(site, rightAscension, declination, ideal), optics, camera, filter,
                    {kSnr, true, surfaceBrightness, colour, t, binning}, out);
}

double EvaluateExtendedImagingAtTransitClear(const LocationRecord *site,
                                             const OpticsBlock *optics, int camera,
                                             double surfaceBrightness, double colour,
                                             double rightAscension, double declination, double t,
                                             int binning, int ideal, double *error,
                                             double transmission) {
    Outputs out;
    out.error = error;
    return EvaluateClear(Transit(site, rightAscension, declination, ideal), optics, camera,
                         {kSnr, true, surfaceBrightness, colour, t, binning}, transmission, out);
}

double ComputeMeanStarImageSize(const LocationRecord *site, const OpticsBlock *optics,
                                double seeing, double altitude) {
    if (!optics) return 0.0;
    double size[5];
    ComputeStarImageSizes(seeing, ComputeAirMass(altitude), optics->effectiveAperture, size);
    return 0.2 * (size[0] + size[1] + size[2] + size[3] + size[4]);
}

double ComputeFilterStarImageSize(const LocationRecord *site, const OpticsBlock *optics,
                                  int camera, int filter, double seeing, double altitude) {
    const CameraEntry *cam = CameraOf(optics, camera);
    if (!site || !cam || altitude < site->horizonDip) return 0.0;
    if (filter >= cam->filterCount || filter >= kCameraAssignedFilters) return 0.0;
    if (filter < 0 || cam->filters[filter].wavelength == 0)
        return ComputeMeanStarImageSize(site, optics, seeing, altitude);
    double size[5];
    ComputeStarImageSizes(seeing, ComputeAirMass(altitude), optics->effectiveAperture, size);
    return InterpolateFivePointTable(cam->filters[filter].wavelength, kBandWavelengths, size);
}

double FindLimitingMagnitudeForSnr(const LocationRecord *site, const DateRecord *date,
                                   const OpticsBlock *optics, int camera, int filter,
                                   const SunMoonState *state, double q, double t, int frames,
                                   int binning) {
    double m = -25.0, step = 1.0;
    for (int i = 0; i < 100 && step > 0.05; i++) {
        double s = EvaluateStarImaging(site, date, optics, camera, filter, state, m, 0.0, t,
                                       binning, nullptr, nullptr, nullptr, nullptr);
        // Below the horizon, bad indices, or a wanted ratio out of reach of
        // the brightest object: no limiting magnitude at all.
        if (s < 0 || (i == 0 && s <= 0)) return kNoLimit;
        if (frames > 1) s = ScaleSnrForFrames(s, frames);
        if (s <= q) {
            if (i == 0) return kNoLimit;
            m -= step;
            step /= 2;
            m += step;
        } else {
            m += step;
        }
    }
    return step <= 0.05 ? m : kNoLimit;
}
