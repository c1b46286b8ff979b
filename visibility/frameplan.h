// How imaging time is cut into frames and how the frames add up: the frame
// length and count planned at one moment, the frames of a given length that
// fit a time limit, and frames integrated over a real stretch of time with
// the Sun, the Moon and the target's altitude following the clock.
//
// A stack's noise adds the variances of its frames: signal, sky, one read
// per frame (N R^2) and the dark current of the time exposed:
// SNR = S / sqrt(S + B + sum of frame read terms + D), the same statistics as
// the stacked SNR of a window (imagingwindows.h).
#pragma once
#include <cstdint>

#include "visibility/imagingwindows.h"

struct DateRecord;
struct LocationRecord;
struct OpticsBlock;
struct SunMoonState;

// Frame length (seconds, snapped to a practical value and capped at the
// longest frame) planned at this moment, with the frames a wanted SNR q
// needs and the magnitude error of one frame. 0 below the horizon dip (count
// and error 0); -1 for bad optics, camera or filter, or when no frame length
// or no signal comes out. The clear forms take the transmission T.
double PlanStarFrames(const LocationRecord *site, const DateRecord *date,
                      const OpticsBlock *optics, int camera, int filter,
                      const SunMoonState *state, double v, double colour, int binning,
                      double longestFrame, double q, int *frames, double *error);
double PlanStarFramesClear(const LocationRecord *site, const DateRecord *date,
                           const OpticsBlock *optics, int camera, const SunMoonState *state,
                           double v, double colour, int binning, double longestFrame, double q,
                           int *frames, double *error, double transmission);
double PlanExtendedFrames(const LocationRecord *site, const DateRecord *date,
                          const OpticsBlock *optics, int camera, int filter,
                          const SunMoonState *state, double surfaceBrightness, double colour,
                          int binning, double longestFrame, double q, int *frames, double *error);
double PlanExtendedFramesClear(const LocationRecord *site, const DateRecord *date,
                               const OpticsBlock *optics, int camera, const SunMoonState *state,
                               double surfaceBrightness, double colour, int binning,
                               double longestFrame, double q, int *frames, double *error,
                               double transmission);

// Frames of the given length that reach q within the time limit; 0 when they
// do not fit, below the horizon dip, or for a frame length not above 0.
int CountStarFrames(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
                    int camera, int filter, const SunMoonState *state, double v, double colour,
                    int binning, double limit, double frameLength, double q, double *error);
int CountStarFramesClear(const LocationRecord *site, const DateRecord *date,
                         const OpticsBlock *optics, int camera, const SunMoonState *state,
                         double v, double colour, int binning, double limit, double frameLength,
                         double q, double *error, double transmission);
int CountExtendedFrames(const LocationRecord *site, const DateRecord *date,
                        const OpticsBlock *optics, int camera, int filter,
                        const SunMoonState *state, double surfaceBrightness, double colour,
                        int binning, double limit, double frameLength, double q, double *error);
double CountExtendedFramesClear(const LocationRecord *site, const DateRecord *date,
                                const OpticsBlock *optics, int camera, const SunMoonState *state,
                                double surfaceBrightness, double colour, int binning,
                                double limit, double frameLength, double q, double *error,
                                double transmission);

// An integration advances in steps of 60 s, or of the frame length when that
// is shorter; a frame is the whole number of steps nearest frame / step
// (halves up). Returns the steps per frame and the step length.
int ComputeIntegrationSteps(double frameLength, double *step);

// Integrates frames over *totalTime seconds from the start date; the object
// setting ends the integration and *totalTime becomes the time used.
// Returns the SNR of the stack; 0 when no step fits; -1 for bad optics,
// camera or filter, or a frame length not above 0. The largest frame signal
// and sky per pixel (star) or sky (extended) are optional outputs.
double IntegrateStarFrames(const LocationRecord *site, const DateRecord *start,
                           const OpticsBlock *optics, int camera, int filter,
                           double rightAscension, double declination, double v, double colour,
                           double *totalTime, double frameLength, int binning, int *frames,
                           double *error, double *largestSignal, double *largestSkyPerPixel,
                           double *totalSignal, double *totalSky);
double IntegrateExtendedFrames(const LocationRecord *site, const DateRecord *start,
                               const OpticsBlock *optics, int camera, int filter,
                               double rightAscension, double declination,
                               double surfaceBrightness, double colour, double *totalTime,
                               double frameLength, int binning, int *frames, double *error,
                               double *largestSignal, double *largestSky, double *totalSignal,
                               double *totalSky);

// Time (seconds) until the stack reaches q, within a day: 0 when it does
// not (or the object is below the horizon), -1 for bad arguments.
double FindStarIntegrationTime(const LocationRecord *site, const DateRecord *start,
                               const OpticsBlock *optics, int camera, int filter,
                               double rightAscension, double declination, double v,
                               double colour, double frameLength, int binning, double q,
                               int *frames, double *error);
double FindExtendedIntegrationTime(const LocationRecord *site, const DateRecord *start,
                                   const OpticsBlock *optics, int camera, int filter,
                                   double rightAscension, double declination,
                                   double surfaceBrightness, double colour, double frameLength,
                                   int binning, double q, int *frames, double *error);

// An integration carried on over several calls.
struct ImagingIntegration {
    const LocationRecord *site;
    const OpticsBlock *optics;
    int32_t camera;
    int32_t filter;
    double rightAscension;
    double declination;
    double magnitude;   // V magnitude or surface brightness
    double colour;
    double q;
    int32_t binning;
    double signal;      // totals of the stack
    double sky;
    double read;        // sum of the frames' read variances
    double dark;
    double runningSignal;
    double runningSky;
    int32_t frames;
    double elapsed;
};
// 1, or 0 without a state or optics or for a bad camera or filter index.
int InitImagingIntegration(ImagingIntegration *state, const LocationRecord *site,
                           const OpticsBlock *optics, int camera, int filter,
                           double rightAscension, double declination, double magnitude,
                           double colour, int binning, double q);
// Seconds when the stack reached q within a day without the object setting;
// -1 when it reached q only after a day or after setting, or for a frame
// length not above 0; 0 when q was not reached (within this call's limit).
double ContinueStarIntegration(ImagingIntegration *state, const DateRecord *date,
                               double frameLength, double limit, int *frames);
double ContinueExtendedIntegration(ImagingIntegration *state, const DateRecord *date,
                                   double frameLength, double limit, int *frames);

// Integrates each window's frames from its start (clock hours on the night
// of the date) and stores the frame count, time used and SNR in it; form 0
// a point source, otherwise an extended object.
void IntegrateImagingWindows(const LocationRecord *site, const DateRecord *date,
                             const OpticsBlock *optics, int camera, int filter, int binning,
                             double rightAscension, double declination, double magnitude,
                             double colour, int form, ImagingWindow *windows, int count);

// A complete date record (Delta T, nutation, sidereal times) for the local
// clock hours on the calendar date of `date`; hours may lie outside 0..24.
void MakeLocalDateRecord(const LocationRecord *site, const DateRecord *date, double hours,
                         DateRecord *out);
