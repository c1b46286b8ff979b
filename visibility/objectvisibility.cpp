// Object visibility through an instrument: the class routing, the point,
// extended, surface-brightness and comet routes, and the eyepiece choices.
#include "visibility/objectvisibility.h"

#include <cmath>
#include <vector>

#include "astro/airmass.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "instruments/doublesplit.h"
#include "instruments/optics.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "photometry/extinction.h"
#include "photometry/seeing.h"
#include "photometry/skybright.h"
#include "visibility/contrastmodel.h"

namespace {

const double kArcminPerRadian = 10800.0 / kPi;
// The start of the lowest-magnification search.
const double kNoMagnification = 9.99e100;
// A dark nebula is judged as a star of this magnitude.
const double kDarkNebulaMagnitude = 13.5;
// Without a site: a sky of the default naked-eye limit, average seeing.
const double kDefaultSeeing = 3.0;

double SiteSeeing(const LocationRecord *site) { return site ? site->seeing : kDefaultSeeing; }
double SiteDip(const LocationRecord *site) { return site ? site->horizonDip : 0.0; }
double SiteSky(const LocationRecord *site) {
    return ComputeSkyBrightnessFromLimit(site ? site->nakedEyeLimit : kDefaultNakedEyeLimit);
}

int EyepieceCount(const OpticsBlock *optics) {
    return optics->eyepieceCount > kMaxEyepieces ? kMaxEyepieces : optics->eyepieceCount;
}

// Holds the caller's Barlow-in-use flag and puts it back.
class BarlowKeeper {
  public:
    explicit BarlowKeeper(OpticsBlock *optics) : optics_(optics), saved_(optics->barlowInUse) {}
    ~BarlowKeeper() { optics_->barlowInUse = saved_; }
    BarlowKeeper(const BarlowKeeper &) = delete;
    BarlowKeeper &operator=(const BarlowKeeper &) = delete;

  private:
    OpticsBlock *optics_;
    uint8_t saved_;
};

bool IsFixedMagnification(const OpticsBlock *optics) {
    return optics->type == kOpticsNakedEye || optics->type == kOpticsBinoculars;
}

}  // namespace

double SelectDeepestEyepiece(const LocationRecord *site, OpticsBlock *optics, uint8_t *index) {
    if (index) *index = 0;
    if (!optics) return 100.0;
    if (IsFixedMagnification(optics)) return optics->magnification;
    double k = 0.1;
    if (site)
        k = ComputeVisualExtinction(1, site->temperature, site->humidity, site->latitude,
                                    site->elevation);
    const double sky = SiteSky(site);
    double best = -99.0, bestMagnification = 100.0;
    for (int i = 0; i < EyepieceCount(optics); ++i) {
        if (!SelectEyepiece(optics, i)) continue;
        const double limit = ComputeTelescopeLimitingMagnitude(optics, nullptr, k, sky, 0.0, 0.0,
                                                               SiteSeeing(site) / 2.0);
        if (limit > best) {
            best = limit;
            bestMagnification = optics->magnification;
            if (index) *index = (uint8_t)i;
        }
    }
    return bestMagnification;
}

double SelectExtendedObjectEyepiece(const LocationRecord *site, OpticsBlock *optics,
                                    double magnitude, double surfaceBrightness, double major,
                                    double minor, int *index, int *barlow) {
    if (index) *index = 0;
    if (barlow) *barlow = 0;
    if (!optics || !(major >= kMinimumFramedSize)) return 0.0;
    if (magnitude > 90.0) magnitude = 15.0;
    if (minor == 0.0) minor = major;
    if (IsFixedMagnification(optics)) return optics->magnification;

    BarlowKeeper keep(optics);
    const int count = EyepieceCount(optics);
    // Room for each eyepiece with and without the Barlow, with the eyepiece
    // and Barlow state of every candidate (candidates skip eyepieces whose
    // field is too small, so a candidate's place is not its eyepiece index).
    std::vector<double> magnifications;
    std::vector<int> eyepieceOf, barlowOf;
    magnifications.reserve(2 * count);
    eyepieceOf.reserve(2 * count);
    barlowOf.reserve(2 * count);
    double lowest = kNoMagnification;
    int lowestIndex = kNoEyepiece, lowestBarlow = 0;
    const int passes = optics->barlowFactor != 0.0f ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        optics->barlowInUse = (uint8_t)pass;
        for (int i = 0; i < count; ++i) {
            if (!SelectEyepiece(optics, i)) continue;
            if (optics->trueField >= major) {
                const double m = optics->magnification;  // packed field: copy first
                magnifications.push_back(m);
                eyepieceOf.push_back(i);
                barlowOf.push_back(pass);
            }
            if (optics->magnification < lowest) {
                lowest = optics->magnification;
                lowestIndex = i;
                lowestBarlow = pass;
            }
        }
    }
    if (!magnifications.empty()) {
        int best = 0;
        double magnification = magnifications[0];
        FindBestEyepieceMargin(magnitude, surfaceBrightness, major, minor, SiteSky(site),
                               optics->aperture * kInchesPerMm, magnifications.data(),
                               (int)magnifications.size(), &best, &magnification);
        if (index) *index = eyepieceOf[best];
        if (barlow) *barlow = barlowOf[best];
        return magnification;
    }
    if (lowestIndex == kNoEyepiece) {
        // No eyepiece accepted: not applicable.
        if (index) *index = kNoEyepiece;
        return 0.0;
    }
    if (index) *index = lowestIndex;
    if (barlow) *barlow = lowestBarlow;
    return lowest;
}

void SetItemMagnificationExtended(const LocationRecord *site, OpticsBlock *optics,
                                  ObjectRecord *item) {
    if (!item) return;
    item->barlowFlag = 0;
    if (!optics) {
        item->magnification = (float)kNoMagnitude;
        item->eyepiece = 0;
        return;
    }
    double magnitude = 0.0, a = 0.0, b = 0.0;
    GetObjectPlotMagnitudeAndSizes(item, &magnitude, &a, &b);
    if (!(a >= kMinimumFramedSize) || magnitude > 90.0) return;
    const double sb = (item->objectClass == kClassBrightNebula && item->magnitude2 < 90.0f)
                          ? item->magnitude2
                          : kNoMagnitude;
    int index = 0, barlow = 0;
    const double m = SelectExtendedObjectEyepiece(site, optics, magnitude, sb, a, b, &index, &barlow);
    item->magnification = (float)m;
    item->eyepiece = (uint8_t)index;
    item->barlowFlag = (uint8_t)barlow;
}

namespace {

bool HasPair(const ObjectRecord *item) {
    return item->pairComponentA != ' ' && item->pairComponentA != '\0';
}

void SetDoubleMagnification(OpticsBlock *optics, ObjectRecord *item, double seeing, double airMass) {
    if (!item || !HasPair(item)) return;
    item->barlowFlag = 0;
    if (!optics) {
        item->eyepiece = kNoEyepiece;
        return;
    }
    double m = 0.0;
    int barlow = 0;
    const int index = ChooseEyepieceToSplitDouble(optics, seeing, airMass, item->pairSeparation, &m,
                                                  &barlow);
    if (index < 0) {
        item->eyepiece = kNoEyepiece;
        return;
    }
    item->magnification = (float)m;
    item->eyepiece = (uint8_t)index;
    item->barlowFlag = (uint8_t)barlow;
    optics->barlowInUse = (uint8_t)barlow;
}

}  // namespace

void SetItemMagnificationDouble(const LocationRecord *site, OpticsBlock *optics, ObjectRecord *item) {
    if (!item) return;
    SetDoubleMagnification(optics, item, SiteSeeing(site), ComputeAirMass(item->altitude));
}

void SetItemMagnificationDoubleDefault(OpticsBlock *optics, ObjectRecord *item) {
    SetDoubleMagnification(optics, item, GetSeeingForRating(0), 1.0);
}

double EvaluatePointVisibility(const LocationRecord *site, const ObserverRecord *observer,
                               OpticsBlock *optics, int eyepiece, int barlow, double k,
                               double sky, double magnitude, double altitude) {
    if (!(altitude > SiteDip(site)) || !optics) return kNoVisibilityMargin;
    if (magnitude > 90.0) magnitude = 15.0;
    BarlowKeeper keep(optics);
    optics->barlowInUse = (uint8_t)(barlow ? 1 : 0);
    if (eyepiece >= 0 && eyepiece < kNoEyepiece) SelectEyepiece(optics, eyepiece);
    const double limit = ComputeTelescopeLimitingMagnitude(optics, observer, k, sky, 0.0,
                                                           kPi / 2.0 - altitude,
                                                           SiteSeeing(site) / 2.0);
    // No magnification or aperture: no limit to compare with.
    if (!(limit < 90.0)) return kNoVisibilityMargin;
    return ScaleStarMargin(limit - magnitude);
}

double EvaluateExtendedVisibility(const OpticsBlock *optics, double dip, double major, double minor,
                                  double magnitude, double magnification, double k, double sky,
                                  double altitude) {
    if (!optics || !(altitude > dip)) return kNoVisibilityMargin;
    const double a = major * kArcminPerRadian;
    double b = minor * kArcminPerRadian;
    if (!(a > 0.0)) return kNoVisibilityMargin;
    if (b == 0.0) b = a;
    if (magnitude > 90.0) magnitude = 15.0;
    if (magnification == 0.0) magnification = 100.0;
    magnitude += ComputeExtinction(k, altitude - dip);
    return ComputeDsoVisibilityMargin(magnitude, a, b, sky, optics->aperture * kInchesPerMm,
                                      magnification);
}

double EvaluateSurfaceBrightnessVisibility(const OpticsBlock *optics, double dip, double major,
                                           double minor, double magnification, double k,
                                           double surfaceBrightness, double sky, double altitude) {
    if (!optics || !(altitude > dip)) return kNoVisibilityMargin;
    const double a = major * kArcminPerRadian;
    double b = minor * kArcminPerRadian;
    if (!(a > 0.0)) return kNoVisibilityMargin;
    if (b == 0.0) b = a;
    if (magnification == 0.0) magnification = 100.0;
    surfaceBrightness += ComputeExtinction(k, altitude - dip);
    return ComputeSurfaceBrightnessMargin(surfaceBrightness, b, sky,
                                          optics->aperture * kInchesPerMm, magnification);
}

double EvaluateCometVisibility(const LocationRecord *site, const ObserverRecord *observer,
                               OpticsBlock *optics, double magnification, int eyepiece, int barlow,
                               double coma, double magnitude, int dc, double k, double sky,
                               double altitude) {
    dc = NormaliseCondensation(dc);
    const double dip = SiteDip(site);
    if (dc == 0)
        return EvaluateExtendedVisibility(optics, dip, coma, coma, magnitude, magnification, k, sky,
                                          altitude);
    const double point = EvaluatePointVisibility(site, observer, optics, eyepiece, barlow, k, sky,
                                                 magnitude, altitude);
    if (dc == 9) return point;
    const double extended = EvaluateExtendedVisibility(optics, dip, coma, coma, magnitude,
                                                       magnification, k, sky, altitude);
    if (extended > point) return point;
    return extended + (point - extended) * dc / 9.0;
}

double EvaluateObjectVisibility(const LocationRecord *site, const ObserverRecord *observer,
                                OpticsBlock *optics, double magnification, int eyepiece, int barlow,
                                int objectClass, double major, double minor, double magnitude,
                                double surfaceBrightness, int condensation, double k, double sky,
                                double altitude) {
    if (objectClass == kClassConstellation || objectClass == kClassSkyMark ||
        objectClass == kClassReferencePoint || objectClass > 18)
        return kNoVisibilityMargin;
    const double dip = SiteDip(site);
    if (!(altitude > dip)) return kNoVisibilityMargin;
    switch (objectClass) {
    case kClassStar:
    case kClassUserStar:
    case kClassSolarSystem:
    case kClassMinorPlanet:
    case kClassUserMinorPlanet:
        return EvaluatePointVisibility(site, observer, optics, eyepiece, barlow, k, sky, magnitude,
                                       altitude);
    default:
        break;
    }
    if (!(major > 0.0))
        return EvaluatePointVisibility(site, observer, optics, eyepiece, barlow, k, sky, magnitude,
                                       altitude);
    if (objectClass == kClassComet || objectClass == kClassUserComet)
        return EvaluateCometVisibility(site, observer, optics, magnification, eyepiece, barlow,
                                       major, magnitude, condensation, k, sky, altitude);
    if (objectClass == kClassBrightNebula && surfaceBrightness < 90.0)
        return EvaluateSurfaceBrightnessVisibility(optics, dip, major, minor, magnification, k,
                                                   surfaceBrightness, sky, altitude);
    if (objectClass == kClassDarkNebula)
        return EvaluatePointVisibility(site, observer, optics, eyepiece, barlow, k, sky,
                                       kDarkNebulaMagnitude, altitude);
    return EvaluateExtendedVisibility(optics, dip, major, minor, magnitude, magnification, k, sky,
                                      altitude);
}

int IsItemEvaluable(const ObjectRecord *item) {
    if (!item) return 0;
    const bool group = (item->categoryBits & kGalaxyGroupCategory) != 0;
    const double magnitude = group ? item->memberMagnitude : item->magnitude;
    if (magnitude >= 90.0 && item->magnitude2 >= 90.0f) return 0;
    switch (item->objectClass) {
    case kClassStar:
    case kClassUserStar:
    case kClassSolarSystem:
    case kClassMinorPlanet:
    case kClassUserMinorPlanet:
    case kClassQuasar:
    case kClassComet:
    case kClassUserComet:
        return 1;
    default:
        break;
    }
    if (item->objectClass == kClassBrightNebula && item->magnitude2 < 90.0f) return 1;
    if (item->sizeMajor > 0.0f) return 1;
    if (group && item->memberSizeMajor != 0.0f) return 1;
    if (item->objectClass == kClassPlanetaryNebula && item->sizeMajor == 0.0f) return 1;
    return 0;
}
