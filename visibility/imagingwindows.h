// The imaging prospects of one object over one night: the profile of 288
// five-minute samples from noon to noon, its division into windows of like
// quality, the signal-to-noise ratio of the frames stacked over a window or
// a span, the best window widened with good neighbours, and the sequence of
// windows to image in. Window times are clock hours on the noon-to-noon
// scale (12..36); profile samples carry local hours about midnight (-12..12).
#pragma once
#include <cstddef>
#include <cstdint>

struct OpticsBlock;

const int kProfileSamples = 288;        // five-minute steps, noon to noon
const double kProfileStepHours = 5.0 / 60.0;
const double kProfileSampleSeconds = 300.0;
const int kImagingWindowCapacity = 30;  // what the imaging plan asks for
// Object forms.
const int kImagingPointSource = 0;
const int kImagingExtendedSource = 1;
// Camera kinds as far as the windows care.
const int kAstronomicalCamera = 0;

#pragma pack(push, 1)
// One five-minute sample of the night (72 bytes).
struct ProfileSample {
    double hour;             // local hour of the step's start, -12..12
    double frameLength;      // seconds planned at this moment, 0 none
    double snrPercentage;    // 300 s SNR against the reference, at most 100
    double signal;           // electrons of a 300 s exposure
    double sky;              // electrons of a 300 s exposure
    double imageSizeRadians; // star image size (point sources), 0 otherwise
    double resolutionPercentage;  // reference resolution / resolution x 100
    double resolution;       // arcsec
    double imageSize;        // star image size, arcsec
};

// A stretch of the night of like imaging quality (77 bytes).
struct ImagingWindow {
    double start;            // 0  clock hours, 12..36
    double end;              // 8  clock hours
    uint8_t grade;           // 16 0..4
    double snrPercentage;    // 17 mean
    double exposure;         // 25 seconds per frame
    int32_t frames;          // 33
    double time;             // 37 seconds of frames
    double snr;              // 45 of the stacked frames, 0 until estimated
    double resolutionPercentage;  // 53 mean
    double resolution;       // 61 mean, arcsec
    double imageSize;        // 69 mean star image size, arcsec
};

// One step of an imaging sequence (36 bytes).
struct ImagingSequenceEntry {
    double start;            // clock hours
    double end;
    double length;           // seconds
    double exposure;         // seconds per frame
    int32_t window;          // index into the windows
};
#pragma pack(pop)
static_assert(sizeof(ProfileSample) == 72, "a profile sample is 72 bytes");
static_assert(sizeof(ImagingWindow) == 77, "an imaging window is 77 bytes");
static_assert(offsetof(ImagingWindow, snrPercentage) == 17, "layout");
static_assert(offsetof(ImagingWindow, frames) == 33, "layout");
static_assert(offsetof(ImagingWindow, imageSize) == 69, "layout");
static_assert(sizeof(ImagingSequenceEntry) == 36, "a sequence entry is 36 bytes");

// Cuts the profile into windows of one level (LevelFromPercentage, with
// moments that cannot be imaged at -1); for other objects a change of the
// practical frame length also cuts. A change lasting one sample is absorbed.
// Windows of too low a grade for planets, double stars and the Sun, and
// windows in which the object cannot be imaged at all, are dropped. At most
// capacity - 1 windows are written. Returns the number kept.
int FindImagingWindows(const ProfileSample *profile, ImagingWindow *windows, int capacity,
                       double longestExposure, int kind, int cameraKind);
// The frames, their time and the stacked SNR of each window.
void EstimateWindowSnr(const OpticsBlock *optics, int camera, int binning,
                       const ProfileSample *profile, ImagingWindow *windows, int count,
                       int form);
// The stacked SNR of frames of the given length over a span (clock hours),
// with the grade and mean resolution (arcsec) over it. 0 for a span that
// holds no sample.
double ComputeWindowSnr(const OpticsBlock *optics, int camera, int binning,
                        const ProfileSample *profile, double start, double end,
                        double frameLength, int *grade, double *resolution, int form, int kind);
// The best window (highest grade; among equals a later one with a larger
// mean resolution percentage, or else a larger SNR), widened with neighbours of at least 0.15 of its SNR (the
// Sun: of its resolution) unless it is already good enough. Start in clock
// hours, length in minutes. 1, or 0 without windows (start and length -1,
// grade -1, SNR 0).
int ChooseBestImagingWindow(const ImagingWindow *windows, int count, double *start,
                            double *length, double *exposure, int *grade, double *snr,
                            double *resolution, double *imageSize, int kind);
// The best window and, while the stack stays below SNR 100, its good
// neighbours in the order they are taken. entries holds at least count.
int BuildImagingSequence(ImagingSequenceEntry *entries, const ImagingWindow *windows, int count,
                         int kind);
