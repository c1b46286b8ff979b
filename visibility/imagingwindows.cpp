// Imaging windows of a night profile, their stacked SNR and the best of them.
#include "visibility/imagingwindows.h"

#include <algorithm>
#include <cmath>

#include "core/mathutil.h"
#include "instruments/camerageometry.h"
#include "instruments/instrumentrecord.h"
#include "visibility/imaginggrade.h"
#include "visibility/imagingtarget.h"
#include "visibility/snrcore.h"

namespace {

const int kNoLevel = -1;
const double kUntracked = 86400.0;      // the shortest frame of a window, before any
const double kLeastExposure = 0.0005;
const double kNeighbourShare = 0.15;    // a neighbour worth adding to a window
const double kGoodSnr = 100.0;
const double kGoodResolution = 99.0;
const double kThresholdMargin = 5.0;
const double kMinimumFrame = 60.0;

double ClockHour(double localHour) { return ExtendHoursPastMidnight(localHour); }

// Sample index of a clock hour on the noon-to-noon scale, 0..287.
int SampleIndex(double clockHour) {
    double local = clockHour >= 12.0 ? clockHour - 24.0 : clockHour;
    int i = static_cast<int>(std::lround((local + 12.0) / kProfileStepHours));
    return std::min(std::max(i, 0), kProfileSamples - 1);
}

double Threshold(const ImagingWindow *windows, int count, int kind) {
    if (kind == kImagingOther) return 0.0;
    double best = 0.0;
    for (int i = 0; i < count; i++) best = std::max(best, windows[i].resolutionPercentage);
    return best - kThresholdMargin;
}

bool TakesLevelFromResolution(int kind) {
    return kind == kImagingPlanet || kind == kImagingSun || kind == kImagingDouble;
}

// The window being built by the scan.
struct OpenWindow {
    int first = 0;         // sample index
    int samples = 0;
    int level = kNoLevel;
    double reference = 0;  // kind 0: the frame length that marks a break
    double p = 0, r = 0, resolution = 0, imageSize = 0;
    double exposure = 0;   // kind 0: shortest frame; others: sum of frames
};

void Open(OpenWindow *w, int i, int level, double reference, int kind) {
    *w = OpenWindow();
    w->first = i;
    w->level = level;
    w->reference = reference;
    w->exposure = kind == kImagingOther ? kUntracked : 0.0;
}

void Join(OpenWindow *w, const ProfileSample &s, int kind) {
    w->samples++;
    w->p += s.snrPercentage;
    w->r += s.resolutionPercentage;
    w->resolution += s.resolution;
    w->imageSize += s.imageSize;
    if (kind == kImagingOther) {
        if (s.frameLength > 1.0 && s.frameLength < w->exposure) w->exposure = s.frameLength;
    } else {
        w->exposure += s.frameLength;
    }
}

// Fills the window of a closing scan; true when it is worth keeping.
bool Close(const OpenWindow &w, const ProfileSample *profile, int endSample, double v,
           int kind, bool testExposure, ImagingWindow *out) {
    double n = w.samples;
    *out = ImagingWindow();
    out->start = ClockHour(profile[w.first].hour);
    out->end = ClockHour(profile[endSample].hour);
    out->snrPercentage = w.p / n;
    out->resolutionPercentage = w.r / n;
    out->resolution = w.resolution / n;
    out->imageSize = w.imageSize / n;
    out->exposure = kind == kImagingOther ? SnapExposureTime(w.exposure) : w.exposure / n;
    int grade = GradeFromPercentage(out->snrPercentage, out->resolutionPercentage, v, kind);
    out->grade = static_cast<uint8_t>(grade);
    // A stretch in which the object cannot be imaged at all is no window,
    // whatever grade its means would give.
    if (w.level == kNoLevel) return false;
    if ((kind == kImagingPlanet || kind == kImagingDouble) && grade < 2) return false;
    if (kind == kImagingSun && grade < 3) return false;
    if (testExposure && out->exposure < kLeastExposure) return false;
    return true;
}

// Stacked SNR of the samples first..first+m-1 in frames of f seconds.
double StackSnr(const OpticsBlock *optics, const CameraEntry *camera, int binning,
                const ProfileSample *profile, int first, int m, double hours, double f,
                int form, int *framesOut) {
    if (framesOut) *framesOut = 0;
    if (m < 1 || hours <= 0) return 0.0;
    double seconds = hours * 3600.0;
    f = std::min(std::max(f, kMinimumFrame), seconds);
    if (f <= 0) return 0.0;
    int frames = static_cast<int>(seconds / f);
    if (seconds - frames * f > 0) frames++;
    frames = std::max(frames, 1);
    if (framesOut) *framesOut = frames;
    double s = 0, b = 0, w = 0;
    int last = std::min(first + m, kProfileSamples);
    for (int i = first; i < last; i++) {
        s += profile[i].signal;
        b += profile[i].sky;
        w += profile[i].imageSizeRadians;
    }
    int used = last - first;
    if (used < 1) return 0.0;
    double d;
    if (form == kImagingPointSource) {
        double omega = ComputePixelSolidAngle(optics, camera, binning);
        d = ComputeDetectorNoiseInAperture(camera, omega, w / used, frames, f);
    } else {
        d = ComputeDetectorNoisePerPixel(camera, frames, f);
    }
    double noise2 = s + b + d;
    return noise2 > 0 ? s / std::sqrt(noise2) : 0.0;
}

const CameraEntry *CameraOf(const OpticsBlock *optics, int camera) {
    if (!optics || camera < 0 || camera >= optics->cameraCount ||
        camera >= static_cast<int>(sizeof optics->cameras / sizeof optics->cameras[0]))
        return nullptr;
    return &optics->cameras[camera];
}

bool Accept(const ImagingWindow &neighbour, double currentSnr, double currentResolution,
            int kind) {
    double current = kind == kImagingSun ? currentResolution : currentSnr;
    double value = kind == kImagingSun ? neighbour.resolution : neighbour.snr;
    return current > 0 && value / current > kNeighbourShare;
}

int BestWindow(const ImagingWindow *windows, int count, double v, int kind, bool bySequence) {
    int best = 0;
    int bestGrade = -1;
    for (int i = 0; i < count; i++) {
        const ImagingWindow &w = windows[i];
        int g = GradeFromPercentage(w.snrPercentage, w.resolutionPercentage, v, kind);
        if (g > bestGrade) {
            best = i;
            bestGrade = g;
            continue;
        }
        if (g < bestGrade) continue;
        const ImagingWindow &b = windows[best];
        bool later;
        if (bySequence)
            later = TakesLevelFromResolution(kind) ? w.resolutionPercentage > b.resolutionPercentage
                                                   : w.snr > b.snr;
        else
            later = w.resolutionPercentage > b.resolutionPercentage || w.snr > b.snr;
        if (later) best = i;
    }
    return best;
}

}  // namespace

int FindImagingWindows(const ProfileSample *profile, ImagingWindow *windows, int capacity,
                       double longestExposure, int kind, int cameraKind) {
    if (!profile || !windows || capacity < 1) return 0;
    double v = 0.0;
    if (kind != kImagingOther) {
        double best = 0.0;
        for (int i = 0; i < kProfileSamples; i++)
            best = std::max(best, profile[i].resolutionPercentage);
        v = best - kThresholdMargin;
    }
    double shortest = cameraKind == kAstronomicalCamera ? 5.0 : 1.0;
    int count = 0;
    OpenWindow open;
    int lastLevel = kNoLevel;
    for (int i = 0; i < kProfileSamples; i++) {
        const ProfileSample &s = profile[i];
        double t = s.frameLength;
        int level = LevelFromPercentage(s.snrPercentage, s.resolutionPercentage, v, kind);
        if (s.snrPercentage < 15) level = kNoLevel;
        if ((kind == kImagingPlanet || kind == kImagingDouble) && level < 4) level = kNoLevel;
        if (kind == kImagingSun && level < 5) level = kNoLevel;
        bool cut = false;
        if (kind == kImagingOther) {
            if (t < shortest) level = kNoLevel;
            double e = std::min(SnapExposureTime(t), longestExposure);
            double c = open.reference;
            if (t > 0 && c > 0) cut = std::fabs(c - e) > (e >= 600 ? 599.0 : 299.0);
        }
        lastLevel = level;
        // The first window opens at the first sample.
        if (i == 0) {
            Open(&open, 0, level, kind == kImagingOther ? SnapExposureTime(t) : 0.0,
                 kind);
        } else if ((level != open.level || cut) && open.samples >= 2) {
            int slot = count;
            if (Close(open, profile, i, v, kind, true, &windows[slot])) count++;
            if (slot >= capacity - 2) return count;
            double reference = 0.0;
            if (kind == kImagingOther)
                reference = count < 2 ? SnapExposureTime(t) : windows[count - 1].exposure;
            Open(&open, i, level, reference, kind);
        }
        Join(&open, s, kind);
    }
    if (open.samples > 1 && lastLevel > 0 && count < capacity) {
        if (Close(open, profile, kProfileSamples - 1, v, kind, false, &windows[count])) count++;
    }
    return count;
}

void EstimateWindowSnr(const OpticsBlock *optics, int camera, int binning,
                       const ProfileSample *profile, ImagingWindow *windows, int count,
                       int form) {
    const CameraEntry *c = CameraOf(optics, camera);
    if (!c || !profile || !windows) return;
    for (int k = 0; k < count; k++) {
        ImagingWindow &w = windows[k];
        double hours = w.end - w.start;
        int first = SampleIndex(w.start);
        int m = static_cast<int>(std::lround(hours / kProfileStepHours));
        int frames = 0;
        double snr = StackSnr(optics, c, binning, profile, first, m, hours, w.exposure, form,
                              &frames);
        w.snr = snr;
        w.frames = frames;
        w.time = std::max(0, std::min(m, kProfileSamples - first)) * kProfileSampleSeconds;
    }
}

double ComputeWindowSnr(const OpticsBlock *optics, int camera, int binning,
                        const ProfileSample *profile, double start, double end,
                        double frameLength, int *grade, double *resolution, int form,
                        int kind) {
    if (grade) *grade = 0;
    if (resolution) *resolution = 0.0;
    const CameraEntry *c = CameraOf(optics, camera);
    if (!c || !profile) return 0.0;
    double hours = end - start;
    int first = SampleIndex(start);
    int m = static_cast<int>(std::lround(hours / kProfileStepHours));
    int last = std::min(first + m, kProfileSamples);
    if (m < 1 || last <= first) return 0.0;
    double p = 0, r = 0, res = 0, largest = 0;
    for (int i = first; i < last; i++) {
        p += profile[i].snrPercentage;
        r += profile[i].resolutionPercentage;
        res += profile[i].resolution;
        largest = std::max(largest, profile[i].resolutionPercentage);
    }
    int n = last - first;
    // The threshold sits below the best resolution of the span, as for the
    // windows of the night; the best itself would leave no mean above it.
    double v = kind == kImagingOther ? 0.0 : largest - kThresholdMargin;
    if (grade) *grade = GradeFromPercentage(p / n, r / n, v, kind);
    if (resolution) *resolution = res / n;
    return StackSnr(optics, c, binning, profile, first, m, hours, frameLength, form, nullptr);
}

int ChooseBestImagingWindow(const ImagingWindow *windows, int count, double *start,
                            double *length, double *exposure, int *grade, double *snr,
                            double *resolution, double *imageSize, int kind) {
    *start = -1;
    *length = -1;
    *grade = -1;
    *snr = 0;
    if (!windows || count < 1) return 0;
    double v = Threshold(windows, count, kind);
    int best = BestWindow(windows, count, v, kind, false);
    const ImagingWindow &b = windows[best];
    double from = b.start, to = b.end, sumP = b.snrPercentage, sumExposure = b.exposure;
    double s = b.snr, res = b.resolution, resPct = b.resolutionPercentage, size = b.imageSize;
    int taken = 1;
    bool good = TakesLevelFromResolution(kind) ? resPct >= kGoodResolution : s >= kGoodSnr;
    if (!good) {
        int left = best - 1, right = best + 1;
        bool accepted = true;
        while (accepted && (left >= 0 || right < count)) {
            accepted = false;
            const ImagingWindow *side[2] = {left >= 0 ? &windows[left] : nullptr,
                                            right < count ? &windows[right] : nullptr};
            for (int k = 0; k < 2; k++) {
                const ImagingWindow *w = side[k];
                if (!w || !Accept(*w, s, res, kind)) continue;
                accepted = true;
                if (k == 0) from = w->start;
                else to = w->end;
                sumP += w->snrPercentage;
                sumExposure += w->exposure;
                taken++;
                s = std::sqrt(s * s + w->snr * w->snr);
                res = (res + w->resolution) / 2;
                resPct = (resPct + w->resolutionPercentage) / 2;
                size = (size + w->imageSize) / 2;
            }
            left--;
            right++;
        }
    }
    *start = from;
    *length = (to - from) * 60.0;
    *grade = GradeFromPercentage(sumP / taken, resPct, v, kind);
    *snr = s;
    if (exposure) *exposure = sumExposure / taken;
    if (resolution) *resolution = res;
    if (imageSize) *imageSize = size;
    return 1;
}

int BuildImagingSequence(ImagingSequenceEntry *entries, const ImagingWindow *windows, int count,
                         int kind) {
    if (!entries || !windows || count < 1) return 0;
    double v = Threshold(windows, count, kind);
    int best = BestWindow(windows, count, v, kind, true);
    int n = 0;
    auto add = [&](int i) {
        const ImagingWindow &w = windows[i];
        entries[n].start = w.start;
        entries[n].end = w.end;
        entries[n].length = (w.end - w.start) * 3600.0;
        entries[n].exposure = w.exposure;
        entries[n].window = i;
        n++;
    };
    add(best);
    double s = windows[best].snr, res = windows[best].resolution;
    int left = best - 1, right = best + 1;
    bool accepted = true;
    while (s < kGoodSnr && accepted && (left >= 0 || right < count)) {
        accepted = false;
        const int side[2] = {left, right};
        for (int i : side) {
            if (i < 0 || i >= count || !Accept(windows[i], s, res, kind)) continue;
            accepted = true;
            add(i);
            s = std::sqrt(s * s + windows[i].snr * windows[i].snr);
            res = (res + windows[i].resolution) / 2;
        }
        left--;
        right++;
    }
    return n;
}
