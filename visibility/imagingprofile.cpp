// The night profile of the imaging model (see imagingprofile.h).
#include "visibility/imagingprofile.h"

#include <algorithm>
#include <cstring>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/riseset.h"
#include "core/mathutil.h"
#include "ephem/sunmoon.h"
#include "instruments/camerageometry.h"
#include "photometry/seeing.h"
#include "visibility/frameplan.h"
#include "visibility/imagingeval.h"
#include "visibility/imagingtarget.h"

namespace {

const double kRefractionBelow = 0.17453292519943295;  // 10 degrees
const double kProbeSeconds = 300.0;
const double kPlanetSurfaceSnr = 350.0;
const int kBestSeeingRating = 0;

double SiteSeeing(const LocationRecord *site) {
    return site->seeing > 0 ? site->seeing : GetSeeingForRating(site->seeingRating);
}

}  // namespace

double ComputeApparentAltitude(const LocationRecord *site, const DateRecord *date,
                               double rightAscension, double declination) {
    double h = ComputeAltitude(site, GetHourAngle(date, rightAscension, kApparentSiderealTime),
                               declination);
    if (h < kRefractionBelow) h += GetRefractionForTrueAltitude(h);
    return h;
}

void ProfileImagingOverNight(const LocationRecord *site, const DateRecord *date,
                             const OpticsBlock *optics, int camera, int filter, int binning,
                             double rightAscension, double declination, double value,
                             double colour, double longestFrame, double q, int ideal, int form,
                             int kind, const SunMoonCache *cache, ProfileSample *profile) {
    if (!site || !date || !profile || declination > kPi) return;
    bool extended = form != kImagingPointSource;
    double reference =
        extended ? EvaluateExtendedImagingAtTransit(site, optics, camera, filter, value, colour,
                                                    rightAscension, declination, kProbeSeconds,
                                                    binning, ideal, nullptr)
                 : EvaluateStarImagingAtTransit(site, optics, camera, filter, value, colour,
                                                rightAscension, declination, kProbeSeconds,
                                                binning, ideal, nullptr);
    double bestSeeing = GetSeeingForRating(kBestSeeingRating);
    double referenceResolution = ComputeImagingResolution(
        optics, camera,
        ComputeFilterStarImageSize(site, optics, camera, filter, bestSeeing, kPi / 2), binning);

    for (int i = 0; i < kProfileSamples; i++) {
        ProfileSample &sample = profile[i];
        std::memset(&sample, 0, sizeof sample);
        double hour = -12.0 + i * kProfileStepHours;
        sample.hour = hour;
        DateRecord d;
        MakeLocalDateRecord(site, date, hour + kProfileStepHours / 2, &d);
        double altitude = ComputeApparentAltitude(site, &d, rightAscension, declination);
        if (!(altitude > site->horizonDip)) continue;

        SunMoonState state;
        if (!cache ||
            !LookupSunMoonCache(cache, d.julianDate, rightAscension, declination, 0, &state))
            ComputeSunMoonState(site, d.julianDate, rightAscension, declination, &state, 0);

        double s = 0, t = 0, signal = 0, sky = 0, size = 0;
        int frames = 0;
        if (!extended) {
            s = EvaluateStarImaging(site, &d, optics, camera, filter, &state, value, colour,
                                    kProbeSeconds, binning, nullptr, &signal, &sky, &size);
            t = PlanStarFrames(site, &d, optics, camera, filter, &state, value, colour, binning,
                               longestFrame, q, &frames, nullptr);
        } else {
            s = EvaluateExtendedImaging(site, &d, optics, camera, filter, &state, value, colour,
                                        kProbeSeconds, binning, nullptr, &signal, &sky);
            if (kind == kImagingOther) {
                t = PlanExtendedFrames(site, &d, optics, camera, filter, &state, value, colour,
                                       binning, longestFrame, q, &frames, nullptr);
            } else if (kind == kImagingPlanet) {
                t = EvaluateExtendedExposureForSnr(site, &d, optics, camera, filter, &state,
                                                   value, colour, kPlanetSurfaceSnr, binning);
                frames = t > 0 ? static_cast<int>(kProbeSeconds / t) : 0;
                s = std::min(s, reference);
            } else if (kind == kImagingSun) {
                t = 1.0;
                frames = static_cast<int>(kProbeSeconds);
                s = std::min(s, reference);
            }
            // A double star imaged as an extended object gets no frame plan.
        }
        sample.signal = signal;
        sample.sky = sky;
        sample.imageSizeRadians = size;
        if (frames < 1 || reference <= 0) continue;

        sample.frameLength = t;
        sample.snrPercentage = std::min(100.0, s / reference * 100.0);
        double seeing = kind == kImagingPlanet ? bestSeeing : SiteSeeing(site);
        sample.imageSize =
            ComputeFilterStarImageSize(site, optics, camera, filter, seeing, altitude);
        sample.resolution = ComputeImagingResolution(optics, camera, sample.imageSize, binning);
        sample.resolutionPercentage =
            sample.resolution > 0 ? referenceResolution / sample.resolution * 100.0 : 0.0;
    }
}
