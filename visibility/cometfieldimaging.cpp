// The comet field search's imaging test (its estimate works in mag/arcmin^2
// of the coma; the visibility test is in cometfieldtests.cpp).
#include "visibility/cometfieldtests.h"

#include "astro/astroformulas.h"
#include "astro/datetime.h"
#include "core/mathutil.h"
#include "ephem/physical.h"
#include "ephem/sunmoon.h"
#include "instruments/instrumentrecord.h"
#include "visibility/imagingeval.h"

namespace {
const double kArcminPerRadian = 10800.0 / kPi;
const double kSecondsPerDay = 86400.0;
const double kMicroAu = 1e-6;
}  // namespace

int IsCometDetectableInField(const LocationRecord *site, const DateRecord *date,
                             const OpticsBlock *optics, int camera, int filter, int option,
                             double exposure, int midExposure, double ra, double dec,
                             double magnitude, double delta, int comaDiameter) {
    if (!site || !date || !optics) return 0;
    const double comaArcmin =
        SmallAngleFromDistance(delta, comaDiameter * kMicroAu) * kArcminPerRadian;
    SunMoonState state;
    if (midExposure)
        ComputeSunMoonState(site, date->julianDate + exposure / 2.0 / kSecondsPerDay, ra, dec,
                            &state, 0);
    else
        EstimateSunMoonStateForTarget(site, ra, dec, &state);
    const double sb = SurfaceBrightnessFromMagnitude(comaArcmin, comaArcmin, magnitude);
    double error = 0.0, signal = 0.0, sky = 0.0;
    const double snr = EvaluateExtendedImaging(site, date, optics, camera, filter, &state, sb,
                                               kCometFieldColourIndex, exposure, option, &error,
                                               &signal, &sky);
    return snr >= kCometFieldMinimumSnr ? 1 : 0;
}

