// The imaging plan of a list item (see itemimaging.h).
#include "visibility/itemimaging.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/mathutil.h"
#include "core/resstrings.h"
#include "ephem/bodyrecord.h"
#include "instruments/camerageometry.h"
#include "instruments/instrumentrecord.h"
#include "objects/objectrecord.h"
#include "visibility/imagingeval.h"
#include "visibility/imaginggrade.h"
#include "visibility/imagingprofile.h"
#include "visibility/imagingtarget.h"
#include "visibility/imagingwindows.h"

namespace {

const uint8_t kNoGrade = 255;
const double kPlanetSurfaceSnr = 350.0;
const double kSaturnRings = 1.3;
const double kWindowLead = 1.0 / 60.0;  // a window counts from a minute before its start
const uint32_t kFitsOneFrame = 0x80000000u;

// B-V of the disks, by body index; -1 where no disk is imaged.
double DiskColour(int body) {
    switch (body) {
    case kBodySun: return 0.62;
    case kBodyMercury: return 0.93;
    case kBodyVenus: return 0.82;
    case kBodyMars: return 1.36;
    case kBodyJupiter: return 0.83;
    case kBodySaturn: return 1.04;
    case kBodyUranus: return 0.56;
    case kBodyNeptune: return 0.41;
    case kBodyMoon: return 0.92;
    default: return -1.0;
    }
}

int CameraKind(const OpticsBlock *optics, int camera) {
    if (!optics || camera < 0 || camera >= optics->cameraCount) return kAstronomicalCamera;
    return optics->cameras[camera].kind;
}

}  // namespace

void PlanItemImaging(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
                     int camera, int filter, int binning, double longestFrame,
                     const SunMoonCache *cache, ObjectRecord *item, int nowFlag, double nowHour) {
    if (!item) return;
    ClearItemImagingPlan(item);
    if (camera < 0 || !UseProVariant() || !site || !date || !optics ||
        camera >= optics->cameraCount)
        return;
    int kind = GetImagingTargetKind(item);
    double value = 0, colour = 0;
    int form = GetImagingMagnitudes(site, date, item, &value, &colour);
    if (form == kImagingNotApplicable) return;
    if (colour > 90) colour = 0;

    std::vector<ProfileSample> profile(kProfileSamples);
    ProfileImagingOverNight(site, date, optics, camera, filter, binning, item->raOfDate,
                            item->decOfDate, value, colour, longestFrame, kItemImagingSnr, 0, form,
                            kind, cache, profile.data());
    ImagingWindow windows[kImagingWindowCapacity];
    int count = FindImagingWindows(profile.data(), windows, kImagingWindowCapacity, longestFrame,
                                   kind, CameraKind(optics, camera));
    if (kind != kImagingSun)
        EstimateWindowSnr(optics, camera, binning, profile.data(), windows, count, form);
    double start = 0, length = 0, exposure = 0, snr = 0, resolution = 0, imageSize = 0;
    int grade = -1;
    bool found = ChooseBestImagingWindow(windows, count, &start, &length, &exposure, &grade, &snr,
                                         &resolution, &imageSize, kind) != 0;
    int percentage = 0;
    if (found && nowFlag) {
        double now = ExtendHoursPastMidnight(nowHour);
        if (now >= start) {
            double best = snr;
            int k = 0;
            while (k < count && !(now >= windows[k].start - kWindowLead && now <= windows[k].end))
                k++;
            if (k < count) {
                const ImagingWindow &w = windows[k];
                start = w.start;
                double res = 0;
                snr = ComputeWindowSnr(optics, camera, binning, profile.data(), now, w.end,
                                       w.exposure, &grade, &res, form, kind);
                resolution = res;
                length = (w.end - now) * 60.0;
                exposure = w.exposure;
                // The best window's SNR is 0 for the Sun (never estimated).
                percentage = best > 0 ? static_cast<int>(std::lround(snr / best * 100.0)) : 0;
                if (percentage > 255) percentage = 255;
            } else {
                length = exposure = snr = 0;
                grade = -1;
            }
        }
    }

    ItemImagingPlan plan;
    ReadItemImagingPlan(item, &plan);
    if (found) {
        plan.windowStart = static_cast<float>(start);
        plan.windowMinutes = static_cast<float>(length);
    }
    plan.grade = grade >= 0 && grade < kImagingGrades ? static_cast<uint8_t>(grade) : kNoGrade;
    plan.signalToNoise = static_cast<int32_t>(std::lround(snr));
    plan.exposure = static_cast<float>(exposure);
    plan.percentage = static_cast<uint8_t>(percentage);
    plan.resolution = static_cast<float>(resolution);
    plan.rotationLimit = static_cast<float>(
        ComputeRotationExposureLimit(site, date, optics, camera, 0.0, item, resolution));
    plan.gradeLetter = GetGradeLetter(plan.grade);
    if (kind == kImagingDouble) {
        double elements = 0;
        int diagonals = ComputeResolutionElements(optics, camera, binning, imageSize,
                                                  item->pairSeparation, &elements);
        plan.framesAcross = diagonals;
        plan.framesDown = diagonals;
        plan.rotationLimit = static_cast<float>(elements);
    } else {
        int across = 0, down = 0;
        int r = ComputeObjectExtentOnSensor(&optics->cameras[camera], binning, item->sizeMajor,
                                            item->sizeMinor, &across, &down, 1);
        if (r == 0) across = static_cast<int32_t>(static_cast<uint32_t>(across) | kFitsOneFrame);
        plan.framesAcross = across;
        plan.framesDown = down;
    }
    WriteItemImagingPlan(item, &plan);
}

double ComputePlanetSurfaceExposure(const LocationRecord *site, const DateRecord *date,
                                    const OpticsBlock *optics, int camera, int filter,
                                    const SunMoonState *state, const ObjectRecord *item,
                                    int binning) {
    if (!item) return -1;
    int kind = GetImagingTargetKind(item);
    if (kind != kImagingPlanet && kind != kImagingSun) return -1;
    double colour = DiskColour(item->index);
    if (colour < 0) return -1;
    ObjectRecord disk = *item;
    if (disk.index == kBodySaturn) {
        disk.sizeMajor = static_cast<float>(disk.sizeMajor * kSaturnRings);
        disk.sizeMinor = static_cast<float>(disk.sizeMinor * kSaturnRings);
    }
    double sb = 0, ignored = 0;
    if (GetImagingMagnitudes(site, date, &disk, &sb, &ignored) != kImagingExtendedValue) return -1;
    double t = EvaluateExtendedExposureForSnr(site, date, optics, camera, filter, state, sb, colour,
                                              kPlanetSurfaceSnr, binning);
    return t;
}
