// The default eyepiece of an instrument.
#include "visibility/defaulteyepiece.h"

#include "astro/location.h"
#include "instruments/instrumentrecord.h"
#include "instruments/optics.h"
#include "photometry/skybright.h"

namespace {
const double kTypicalLimit = 6.8;
const double kTypicalHalfSeeing = 1.5;
const double kTypicalExtinction = 0.1;
}  // namespace

int SelectDefaultEyepiece(InstrumentRecord *instrument, const LocationRecord *site,
                          const ObserverRecord *observer, double k) {
    if (!instrument || instrument->opticsCount < 1) return 0;
    double sky = ComputeSkyBrightnessFromLimit(kTypicalLimit);
    double halfSeeing = kTypicalHalfSeeing;
    if (site) {
        sky = site->skyBrightness;
        halfSeeing = site->seeing / 2.0;
    }
    if (k == 0.0) k = kTypicalExtinction;
    OpticsBlock &main = instrument->optics[0];
    ComputeOpticsLimits(&main);
    const int count = main.eyepieceCount > kMaxEyepieces ? kMaxEyepieces : main.eyepieceCount;
    double best = -99.0;
    for (int i = 0; i < count; ++i) {
        if (!SelectEyepiece(&main, i)) continue;
        const double limit =
            ComputeTelescopeLimitingMagnitude(&main, observer, k, sky, 0.0, 0.0, halfSeeing);
        if (limit > best) {
            best = limit;
            instrument->defaultEyepiece = (uint8_t)i;
        }
    }
    return 1;
}
