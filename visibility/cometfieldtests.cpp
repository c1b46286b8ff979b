// The comet field search's visibility test and the hand-over of both tests.
#include "visibility/cometfieldtests.h"

#include <cstring>
#include <memory>

#include "astro/datetime.h"
#include "core/mathutil.h"
#include "ephem/physical.h"
#include "instruments/instrumentrecord.h"
#include "instruments/optics.h"
#include "minorbodies/fieldsearch.h"
#include "sites/observerstore.h"
#include "visibility/contrastmodel.h"
#include "visibility/itemvisibility.h"
#include "visibility/objectvisibility.h"

namespace {
const double kMicroAu = 1e-6;
// No surface brightness: the eyepiece is chosen by the coma size alone.
const double kCometFieldNoSurfaceBrightness = 99.9;
}  // namespace

int IsCometVisibleInField(const LocationRecord *site, const DateRecord *date,
                          const OpticsBlock *optics, const ObserverRecord *observer, double ra,
                          double dec, double magnitude, double delta, int comaDiameter,
                          int condensation) {
    if (!site || !date) return 0;
    const double coma = SmallAngleFromDistance(delta, comaDiameter * kMicroAu);
    DateRecord when = *date;
    double k = 0.0, altitude = 0.0;
    const double sky = ComputeSkyBrightnessAtPosition(site, &when, ra, dec, &k, &altitude);
    // The eyepiece choice records the Barlow in use in the optics; the search
    // hands the caller's optics in read-only, so the choice works on a copy.
    // Without optics the comet is judged by eye.
    std::unique_ptr<InstrumentRecord> eye;
    if (!optics) {
        eye.reset(new (std::nothrow) InstrumentRecord);
        if (!eye) return 0;
        std::memset(eye.get(), 0, sizeof *eye);
        InitNakedEyeInstrument(eye.get(), kCometFieldEyePupilMm);
        optics = &eye->optics[0];
    }
    std::unique_ptr<OpticsBlock> scratch(new (std::nothrow) OpticsBlock(*optics));
    if (!scratch) return 0;
    int eyepiece = 0, barlow = 0;
    const double magnification = SelectExtendedObjectEyepiece(
        site, scratch.get(), magnitude, kCometFieldNoSurfaceBrightness, coma, coma, &eyepiece, &barlow);
    const double margin =
        EvaluateCometVisibility(site, observer, scratch.get(), magnification, eyepiece, barlow,
                                coma, magnitude, condensation, k, sky, altitude);
    const double experience = observer ? observer->experience : kCometFieldDefaultExperience;
    return GetVisibilityRatingIndex(margin, experience) < kRatingNotVisible ? 1 : 0;
}

void ConnectCometFieldVisibility() {
    static const CometFieldVisibility tests = {IsCometVisibleInField, IsCometDetectableInField};
    SetCometFieldVisibility(&tests);
}
