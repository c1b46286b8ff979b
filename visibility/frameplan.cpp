// Frame planning and integration over time (see frameplan.h).
#include "visibility/frameplan.h"

#include <algorithm>
#include <cmath>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "ephem/sunmoon.h"
#include "instruments/camerarecords.h"
#include "instruments/instrumentrecord.h"
#include "visibility/imaginggrade.h"
#include "visibility/imagingeval.h"
#include "visibility/snrcore.h"

namespace {

const double kLongestStep = 60.0;
const double kSecondsPerDay = 86400.0;
const double kCacheStep = 1.0 / 1440.0;  // one minute, in days
const double kHopeless = 0.001;          // a running SNR this low never gets anywhere
const double kShortestWindowFrame = 60.0;

bool IndicesValid(const OpticsBlock *optics, int camera, int filter) {
    if (!optics || camera < 0 || camera >= optics->cameraCount ||
        camera >= static_cast<int>(sizeof optics->cameras / sizeof optics->cameras[0]))
        return false;
    const CameraEntry &c = optics->cameras[camera];
    return filter < c.filterCount && filter < kCameraAssignedFilters;
}

// -1: none; otherwise the transmission with which a filter index turns into
// the clear bands (no filter, or a neutral-density filter).
double ClearTransmission(const OpticsBlock *optics, int camera, int filter) {
    if (filter < 0) return 1.0;
    const FilterRecord &f = optics->cameras[camera].filters[filter];
    return f.wavelength == 0 ? f.surfaceTransmission : -1.0;
}

bool BelowDip(const LocationRecord *site, const SunMoonState *state) {
    return site && state && state->targetAltitude < site->horizonDip;
}

// Filter index that asks Snr for the clear bands with a transmission.
const int kClearFilter = -2;

// What a plan or count evaluates: SNR of a frame, and its frame length.
struct Object {
    bool extended;
    double value, colour;
};

double Snr(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
           int camera, int filter, const SunMoonState *state, const Object &o, double t,
           int binning, double *error, double transmission) {
    if (filter == kClearFilter)
        return o.extended
                   ? EvaluateExtendedImagingClear(site, date, optics, camera, state, o.value,
                                                  o.colour, t, binning, error, nullptr, nullptr,
                                                  transmission)
                   : EvaluateStarImagingClear(site, date, optics, camera, state, o.value, o.colour,
                                              t, binning, error, nullptr, nullptr, nullptr,
                                              transmission);
    return o.extended ? EvaluateExtendedImaging(site, date, optics, camera, filter, state, o.value,
                                                o.colour, t, binning, error, nullptr, nullptr)
                      : EvaluateStarImaging(site, date, optics, camera, filter, state, o.value,
                                            o.colour, t, binning, error, nullptr, nullptr, nullptr);
}

double PlanClear(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
                 int camera, const SunMoonState *state, const Object &o, int binning,
                 double longest, double q, int *frames, double *error, double transmission) {
    if (frames) *frames = 0;
    double length =
        EvaluateSubExposureLengthClear(site, date, optics, camera, state, binning, transmission);
    if (length < 0) return -1;
    length = SnapExposureTime(length);
    if (length <= 0) return -1;
    if (longest > 0) length = std::min(length, longest);
    double s = Snr(site, date, optics, camera, kClearFilter, state, o, length, binning, error,
                   transmission);
    if (s <= 0) return -1;
    int n = ComputeFramesForSnr(q, s);
    if (frames) *frames = n < 1 ? 0 : n;
    return length;
}

double Plan(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
            int camera, int filter, const SunMoonState *state, const Object &o, int binning,
            double longest, double q, int *frames, double *error) {
    if (BelowDip(site, state)) {
        if (frames) *frames = 0;
        if (error) *error = 0;
        return 0;
    }
    if (!IndicesValid(optics, camera, filter)) return -1;
    double transmission = ClearTransmission(optics, camera, filter);
    if (transmission >= 0)
        return PlanClear(site, date, optics, camera, state, o, binning, longest, q, frames, error,
                         transmission);
    if (frames) *frames = 0;
    double length = EvaluateSubExposureLength(site, date, optics, camera, filter, state, binning);
    if (length < 0) return -1;
    length = SnapExposureTime(length);
    if (length <= 0) return -1;
    if (longest > 0) length = std::min(length, longest);
    double s = Snr(site, date, optics, camera, filter, state, o, length, binning, error, 1.0);
    if (s <= 0) return -1;
    int n = ComputeFramesForSnr(q, s);
    if (frames) *frames = n < 1 ? 0 : n;
    return length;
}

double CountClear(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
                  int camera, const SunMoonState *state, const Object &o, int binning,
                  double limit, double frameLength, double q, double *error,
                  double transmission) {
    if (frameLength <= 0) return 0;
    double s = Snr(site, date, optics, camera, kClearFilter, state, o, frameLength, binning, error,
                   transmission);
    if (s <= 0) return 0;
    int n = ComputeFramesForSnr(q, s);
    return n >= 1 && n * frameLength <= limit ? n : 0;
}

int Count(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
          int camera, int filter, const SunMoonState *state, const Object &o, int binning,
          double limit, double frameLength, double q, double *error) {
    if (BelowDip(site, state)) {
        if (error) *error = 0;
        return 0;
    }
    if (!IndicesValid(optics, camera, filter)) return 0;
    double transmission = ClearTransmission(optics, camera, filter);
    if (transmission >= 0)
        return static_cast<int>(CountClear(site, date, optics, camera, state, o, binning, limit,
                                           frameLength, q, error, transmission));
    if (frameLength <= 0) return 0;
    frameLength = std::min(frameLength, limit);
    if (frameLength <= 0) return 0;
    double s = Snr(site, date, optics, camera, filter, state, o, frameLength, binning, error, 1.0);
    if (s <= 0) return 0;
    int n = ComputeFramesForSnr(q, s);
    return n >= 1 && n * frameLength <= limit ? n : 0;
}

// The Sun and Moon cache of an integration, freed on every way out.
struct CacheHolder {
    SunMoonCache cache;
    bool built = false;
    ~CacheHolder() { FreeSunMoonCache(&cache); }
};

// Noise terms of one step of an integration.
struct StepParts {
    double signal = 0, sky = 0, read = 0, dark = 0, skyPerPixel = 0;
};

// The parts of one step at a date: 1, or 0 on failure.
int PartsAt(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
            int camera, int filter, double ra, double dec, const Object &o, double seconds,
            int binning, const SunMoonCache *cache, StepParts *p) {
    SunMoonState state;
    if (!cache || !LookupSunMoonCache(cache, date->julianDate, ra, dec, 0, &state))
        ComputeSunMoonState(site, date->julianDate, ra, dec, &state, 0);
    if (o.extended)
        return EvaluateExtendedSignalParts(site, date, optics, camera, filter, &state, o.value,
                                           o.colour, seconds, binning, &p->signal, &p->sky,
                                           &p->read, &p->dark);
    return EvaluateStarSignalParts(site, date, optics, camera, filter, &state, o.value, o.colour,
                                   seconds, binning, &p->signal, &p->sky, &p->read, &p->dark,
                                   &p->skyPerPixel);
}

void Advance(const LocationRecord *site, DateRecord *date, double seconds) {
    date->julianDate += seconds / kSecondsPerDay;
    SetDateRecordFromJulianDate(site, date);
    ComputeDeltaTAndNutation(date, 0.0);
    ComputeSiderealTimes(site, date);
}

double StackSnr(double signal, double sky, double read, double dark) {
    if (signal <= 0) return 0;
    return signal / std::sqrt(signal + sky + read + dark);
}

double Integrate(const LocationRecord *site, const DateRecord *start, const OpticsBlock *optics,
                 int camera, int filter, double ra, double dec, const Object &o,
                 double *totalTime, double frameLength, int binning, int *frames, double *error,
                 double *largestSignal, double *largestSky, double *totalSignal,
                 double *totalSky) {
    if (frames) *frames = 0;
    if (error) *error = 0;
    if (largestSignal) *largestSignal = 0;
    if (largestSky) *largestSky = 0;
    if (totalSignal) *totalSignal = 0;
    if (totalSky) *totalSky = 0;
    if (!site || !start || !totalTime || !IndicesValid(optics, camera, filter) ||
        frameLength <= 0)
        return -1;
    double total = *totalTime;
    if (total <= 0) return 0;
    frameLength = std::min(frameLength, total);
    double step = 0;
    int n = ComputeIntegrationSteps(frameLength, &step);
    if (n < 1) return 0;

    DateRecord date = *start;
    Advance(site, &date, 0.5 * step);
    CacheHolder holder;
    BuildSunMoonCache(&holder.cache, site, start->julianDate,
                      start->julianDate + total / kSecondsPerDay, kCacheStep);

    double sSum = 0, bSum = 0, rSum = 0, dSum = 0, used = 0, elapsed = 0;
    double maxSignal = 0, maxSky = 0;
    int count = 0;
    bool ended = false;
    while (elapsed < total && !ended) {
        StepParts frame;
        int steps = 0;
        while (steps < n && steps * step + elapsed < total) {
            StepParts p;
            if (!PartsAt(site, &date, optics, camera, filter, ra, dec, o, step, binning,
                         &holder.cache, &p))
                return -1;
            if (p.signal == 0) {
                ended = true;  // below the horizon dip
                break;
            }
            frame.signal += p.signal;
            frame.sky += p.sky;
            frame.read += p.read;
            frame.dark += p.dark;
            frame.skyPerPixel += p.skyPerPixel;
            Advance(site, &date, step);
            used += step;
            steps++;
        }
        if (steps == 0) break;
        // One read per frame: the mean read term of its steps.
        rSum += frame.read / steps;
        sSum += frame.signal;
        bSum += frame.sky;
        dSum += frame.dark;
        maxSignal = std::max(maxSignal, frame.signal);
        maxSky = std::max(maxSky, o.extended ? frame.sky : frame.skyPerPixel);
        elapsed += frameLength;
        count++;
    }
    if (ended) *totalTime = used;
    double snr = StackSnr(sSum, bSum, rSum, dSum);
    if (frames) *frames = count;
    if (error) *error = snr > 0 ? 1.086 / snr : 0;
    if (largestSignal) *largestSignal = maxSignal;
    if (largestSky) *largestSky = maxSky;
    if (totalSignal) *totalSignal = sSum;
    if (totalSky) *totalSky = bSum;
    return snr;
}

// Integrates on the state's totals until q, the limit, a day, or the object
// setting. Returns the seconds integrated; -1 on failure.
double Run(ImagingIntegration *s, const DateRecord *start, double frameLength, double limit,
           bool extended, bool *reached, bool *ended) {
    *reached = false;
    *ended = false;
    double step = 0;
    int n = ComputeIntegrationSteps(frameLength, &step);
    if (n < 1) return 0;
    Object o = {extended, s->magnitude, s->colour};
    DateRecord date = *start;
    Advance(s->site, &date, 0.5 * step);
    s->frames = 0;
    s->elapsed = 0;
    while (s->elapsed < limit && s->elapsed < kSecondsPerDay) {
        StepParts frame;
        int steps = 0;
        while (steps < n) {
            StepParts p;
            if (!PartsAt(s->site, &date, s->optics, s->camera, s->filter, s->rightAscension,
                         s->declination, o, step, s->binning, nullptr, &p))
                return -1;
            if (p.signal == 0) {
                *ended = true;
                break;
            }
            frame.signal += p.signal;
            frame.sky += p.sky;
            frame.read += p.read;
            frame.dark += p.dark;
            steps++;
            Advance(s->site, &date, step);
            s->runningSignal = s->signal + frame.signal;
            s->runningSky = s->sky + frame.sky;
            double running = StackSnr(s->runningSignal, s->runningSky,
                                      s->read + frame.read / steps, s->dark + frame.dark);
            if (running < kHopeless) {
                *ended = true;
                break;
            }
            if (running >= s->q) break;
        }
        if (steps > 0) {
            s->read += frame.read / steps;
            s->signal += frame.signal;
            s->sky += frame.sky;
            s->dark += frame.dark;
            s->frames++;
            s->elapsed += steps * step;
        }
        if (StackSnr(s->signal, s->sky, s->read, s->dark) >= s->q) {
            *reached = true;
            break;
        }
        if (*ended) break;
    }
    return s->elapsed;
}

double FindTime(const LocationRecord *site, const DateRecord *start, const OpticsBlock *optics,
                int camera, int filter, double ra, double dec, double magnitude, double colour,
                double frameLength, int binning, double q, int *frames, double *error,
                bool extended) {
    if (frames) *frames = 0;
    if (error) *error = 0;
    ImagingIntegration s;
    if (!start || frameLength <= 0 ||
        !InitImagingIntegration(&s, site, optics, camera, filter, ra, dec, magnitude, colour,
                                binning, q))
        return -1;
    bool reached = false, ended = false;
    double seconds = Run(&s, start, frameLength, kSecondsPerDay, extended, &reached, &ended);
    if (seconds < 0) return -1;
    if (frames) *frames = s.frames;
    if (!reached || seconds > kSecondsPerDay) return 0;
    double snr = StackSnr(s.signal, s.sky, s.read, s.dark);
    if (error) *error = snr > 0 ? 1.086 / snr : 0;
    return seconds;
}

double Continue(ImagingIntegration *s, const DateRecord *date, double frameLength, double limit,
                int *frames, bool extended) {
    if (!s || !date || !s->site || frameLength <= 0) return -1;
    bool reached = false, ended = false;
    double seconds = Run(s, date, frameLength, limit, extended, &reached, &ended);
    if (frames) *frames = s->frames;
    if (seconds < 0) return -1;
    if (!reached) return 0;
    if (seconds >= kSecondsPerDay || ended) return -1;
    return seconds;
}

}  // namespace

double PlanStarFrames(const LocationRecord *site, const DateRecord *date,
                      const OpticsBlock *optics, int camera, int filter,
                      const SunMoonState *state, double v, double colour, int binning,
                      double longestFrame, double q, int *frames, double *error) {
    return Plan(site, date, optics, camera, filter, state, {false, v, colour}, binning,
                longestFrame, q, frames, error);
}

double PlanStarFramesClear(const LocationRecord *site, const DateRecord *date,
                           const OpticsBlock *optics, int camera, const SunMoonState *state,
                           double v, double colour, int binning, double longestFrame, double q,
                           int *frames, double *error, double transmission) {
    return PlanClear(site, date, optics, camera, state, {false, v, colour}, binning, longestFrame,
                     q, frames, error, transmission);
}

double PlanExtendedFrames(const LocationRecord *site, const DateRecord *date,
                          const OpticsBlock *optics, int camera, int filter,
                          const SunMoonState *state, double surfaceBrightness, double colour,
                          int binning, double longestFrame, double q, int *frames, double *error) {
    return Plan(site, date, optics, camera, filter, state, {true, surfaceBrightness, colour},
                binning, longestFrame, q, frames, error);
}

double PlanExtendedFramesClear(const LocationRecord *site, const DateRecord *date,
                               const OpticsBlock *optics, int camera, const SunMoonState *state,
                               double surfaceBrightness, double colour, int binning,
                               double longestFrame, double q, int *frames, double *error,
                               double transmission) {
    return PlanClear(site, date, optics, camera, state, {true, surfaceBrightness, colour}, binning,
                     longestFrame, q, frames, error, transmission);
}

int CountStarFrames(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
                    int camera, int filter, const SunMoonState *state, double v, double colour,
                    int binning, double limit, double frameLength, double q, double *error) {
    return Count(site, date, optics, camera, filter, state, {false, v, colour}, binning, limit,
                 frameLength, q, error);
}

int CountStarFramesClear(const LocationRecord *site, const DateRecord *date,
                         const OpticsBlock *optics, int camera, const SunMoonState *state,
                         double v, double colour, int binning, double limit, double frameLength,
                         double q, double *error, double transmission) {
    return static_cast<int>(CountClear(site, date, optics, camera, state, {false, v, colour},
                                       binning, limit, frameLength, q, error, transmission));
}

int CountExtendedFrames(const LocationRecord *site, const DateRecord *date,
                        const OpticsBlock *optics, int camera, int filter,
                        const SunMoonState *state, double surfaceBrightness, double colour,
                        int binning, double limit, double frameLength, double q, double *error) {
    return Count(site, date, optics, camera, filter, state, {true, surfaceBrightness, colour},
                 binning, limit, frameLength, q, error);
}

double CountExtendedFramesClear(const LocationRecord *site, const DateRecord *date,
                                const OpticsBlock *optics, int camera, const SunMoonState *state,
                                double surfaceBrightness, double colour, int binning,
                                double limit, double frameLength, double q, double *error,
                                double transmission) {
    return CountClear(site, date, optics, camera, state, {true, surfaceBrightness, colour},
                      binning, limit, frameLength, q, error, transmission);
}

int ComputeIntegrationSteps(double frameLength, double *step) {
    double s = frameLength < kLongestStep ? frameLength : kLongestStep;
    if (step) *step = s;
    if (s <= 0) return 0;
    return static_cast<int>(std::lround(frameLength / s));
}

double IntegrateStarFrames(const LocationRecord *site, const DateRecord *start,
                           const OpticsBlock *optics, int camera, int filter,
                           double rightAscension, double declination, double v, double colour,
                           double *totalTime, double frameLength, int binning, int *frames,
                           double *error, double *largestSignal, double *largestSkyPerPixel,
                           double *totalSignal, double *totalSky) {
    return Integrate(site, start, optics, camera, filter, rightAscension, declination,
                     {false, v, colour}, totalTime, frameLength, binning, frames, error,
                     largestSignal, largestSkyPerPixel, totalSignal, totalSky);
}

double IntegrateExtendedFrames(const LocationRecord *site, const DateRecord *start,
                               const OpticsBlock *optics, int camera, int filter,
                               double rightAscension, double declination,
                               double surfaceBrightness, double colour, double *totalTime,
                               double frameLength, int binning, int *frames, double *error,
                               double *largestSignal, double *largestSky, double *totalSignal,
                               double *totalSky) {
    return Integrate(site, start, optics, camera, filter, rightAscension, declination,
                     {true, surfaceBrightness, colour}, totalTime, frameLength, binning, frames,
                     error, largestSignal, largestSky, totalSignal, totalSky);
}

double FindStarIntegrationTime(const LocationRecord *site, const DateRecord *start,
                               const OpticsBlock *optics, int camera, int filter,
                               double rightAscension, double declination, double v,
                               double colour, double frameLength, int binning, double q,
                               int *frames, double *error) {
    return FindTime(site, start, optics, camera, filter, rightAscension, declination, v, colour,
                    frameLength, binning, q, frames, error, false);
}

double FindExtendedIntegrationTime(const LocationRecord *site, const DateRecord *start,
                                   const OpticsBlock *optics, int camera, int filter,
                                   double rightAscension, double declination,
                                   double surfaceBrightness, double colour, double frameLength,
                                   int binning, double q, int *frames, double *error) {
    return FindTime(site, start, optics, camera, filter, rightAscension, declination,
                    surfaceBrightness, colour, frameLength, binning, q, frames, error, true);
}

int InitImagingIntegration(ImagingIntegration *state, const LocationRecord *site,
                           const OpticsBlock *optics, int camera, int filter,
                           double rightAscension, double declination, double magnitude,
                           double colour, int binning, double q) {
    if (!state || !IndicesValid(optics, camera, filter)) return 0;
    *state = ImagingIntegration();
    state->site = site;
    state->optics = optics;
    state->camera = camera;
    state->filter = filter;
    state->rightAscension = rightAscension;
    state->declination = declination;
    state->magnitude = magnitude;
    state->colour = colour;
    state->q = q;
    state->binning = binning;
    return 1;
}

double ContinueStarIntegration(ImagingIntegration *state, const DateRecord *date,
                               double frameLength, double limit, int *frames) {
    return Continue(state, date, frameLength, limit, frames, false);
}

double ContinueExtendedIntegration(ImagingIntegration *state, const DateRecord *date,
                                   double frameLength, double limit, int *frames) {
    return Continue(state, date, frameLength, limit, frames, true);
}

void MakeLocalDateRecord(const LocationRecord *site, const DateRecord *date, double hours,
                         DateRecord *out) {
    SetDateRecord(out, site, date->month, date->day, date->year, hours, kLocalTime);
    // Hours before 0 or past 24 belong to the neighbouring calendar days.
    SetDateRecordFromJulianDate(site, out);
    ComputeDeltaTAndNutation(out, 0.0);
    ComputeSiderealTimes(site, out);
}

void IntegrateImagingWindows(const LocationRecord *site, const DateRecord *date,
                             const OpticsBlock *optics, int camera, int filter, int binning,
                             double rightAscension, double declination, double magnitude,
                             double colour, int form, ImagingWindow *windows, int count) {
    if (!site || !date || !windows) return;
    for (int k = 0; k < count; k++) {
        ImagingWindow &w = windows[k];
        // Whole seconds: clock hours carry rounding that would add a frame.
        double length = std::round((w.end - w.start) * 3600.0);
        double frame = std::max(std::min(+w.exposure, length), kShortestWindowFrame);
        DateRecord start;
        MakeLocalDateRecord(site, date, w.start - 24.0, &start);
        int frames = 0;
        double total = length, snr;
        if (form == kImagingPointSource)
            snr = IntegrateStarFrames(site, &start, optics, camera, filter, rightAscension,
                                      declination, magnitude, colour, &total, frame, binning,
                                      &frames, nullptr, nullptr, nullptr, nullptr, nullptr);
        else
            snr = IntegrateExtendedFrames(site, &start, optics, camera, filter, rightAscension,
                                          declination, magnitude, colour, &total, frame, binning,
                                          &frames, nullptr, nullptr, nullptr, nullptr, nullptr);
        w.frames = frames;
        w.time = total;
        w.snr = snr > 0 ? snr : 0;
    }
}
