// Imaging target kind, magnitudes and colours, and rotation limits of a list item.
#include "visibility/imagingtarget.h"

#include <cmath>
#include <cstring>

#include "astro/astroformulas.h"
#include "astro/location.h"
#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "objects/solarcolours.h"

namespace {

// The imaging value of a user dark nebula (a magnitude); the catalogued dark
// nebulae take 13.5.
const double kDarkNebulaUserValue = 13.0;

const double kArcminPerRadian = 10800.0 / kPi;
const double kArcsecPerRadian = 648000.0 / kPi;
// Rotation periods (hours) by body type: the Sun, Mars to Neptune.
double RotationPeriod(int body) {
    switch (body) {
    case kBodySun: return 609.12;
    case kBodyMars: return 24.622962;
    case kBodyJupiter: return 9.84167;
    case kBodySaturn: return 10.233333;
    case kBodyUranus: return 15.6;
    case kBodyNeptune: return 18.432;
    default: return 0.0;
    }
}

int SatelliteOf(const ObjectRecord *item) {
    int s = item->kind;
    if (s > 100) s -= 100;
    return s;
}

double DiameterArcsec(const ObjectRecord *item) { return item->sizeMajor * kArcsecPerRadian; }

}  // namespace

void ReadItemImagingPlan(const ObjectRecord *item, ItemImagingPlan *plan) {
    if (item && plan) std::memcpy(plan, item->imagingPlan, sizeof *plan);
}

void WriteItemImagingPlan(ObjectRecord *item, const ItemImagingPlan *plan) {
    if (item && plan) std::memcpy(item->imagingPlan, plan, sizeof *plan);
}

void ClearItemImagingPlan(ObjectRecord *item) {
    if (!item) return;
    ItemImagingPlan plan;
    std::memset(&plan, 0, sizeof plan);
    plan.gradeLetter = ' ';
    WriteItemImagingPlan(item, &plan);
}

int GetImagingTargetKind(const ObjectRecord *item) {
    if (!item) return kImagingOther;
    if (item->objectClass == kClassSolarSystem) {
        if (item->index == kBodySun) return kImagingSun;
        if (item->index != kBodyPluto && SatelliteOf(item) == 0 && item->index <= kBodyMoon)
            return kImagingPlanet;
        return kImagingOther;
    }
    if (item->objectClass == kClassStar && item->pairSeparation > 0.0f) return kImagingDouble;
    return kImagingOther;
}

void SetDefaultColourIndex(ObjectRecord *item) {
    if (!item || item->colourIndex < 90.0f) return;
    switch (item->objectClass) {
    case kClassSolarSystem:
        item->colourIndex = (float)SolarSystemColorIndex(item->index, SatelliteOf(item));
        break;
    case kClassComet:
    case kClassUserComet:
        item->colourIndex = 0.8f;
        break;
    case kClassMinorPlanet:
    case kClassUserMinorPlanet:
        item->colourIndex = 0.9f;
        break;
    case kClassGalaxy:
        if (item->colourIndex > 101.0f) item->colourIndex -= 200.0f;
        break;
    case kClassQuasar:
        item->colourIndex = 0.44f;
        break;
    case kClassGlobularCluster:
        item->colourIndex = 0.95f;
        break;
    default:
        break;
    }
}

int GetImagingMagnitudes(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                         double *value, double *colour) {
    if (!item) return kImagingNotApplicable;
    SetDefaultColourIndex(item);
    double c = item->colourIndex >= 90.0f ? 0.4 : item->colourIndex;
    const double m = item->magnitude;
    const double sb = item->magnitude2;
    const double a = item->sizeMajor * kArcminPerRadian;
    const double b = (item->sizeMinor > 0.0f ? item->sizeMinor : item->sizeMajor) * kArcminPerRadian;
    double v = m;
    int kind = kImagingPointValue;
    const int cls = item->objectClass;
    if (cls == kClassNone || cls >= kClassEarthSatellite) return kImagingNotApplicable;
    switch (cls) {
    case kClassConstellation:
        v = 6.0;
        c = 0.4;
        break;
    case kClassSolarSystem:
        if (item->index != kBodyPluto && SatelliteOf(item) == 0) {
            double fa = a, fb = b;
            const int body = item->index;
            if ((body == kBodyMercury || body == kBodyVenus || body == kBodyMars ||
                 body == kBodyMoon) && date) {
                BodyRecord r;
                std::memset(&r, 0, sizeof r);
                r.type = body;
                const HeliocentricPlace earth = ComputeEarthHeliocentric(date);
                if (ComputeBodyPosition(date, earth, &r)) {
                    ComputeBodyTopocentric(site, date, &r);
                    ComputeBodyPhysicalData(date, &r, earth);
                    fa *= r.illuminatedFraction;
                    fb *= r.illuminatedFraction;
                }
            }
            v = SurfaceBrightnessFromMagnitude(fa, fb, m);
            kind = kImagingExtendedValue;
        }
        break;
    case kClassComet:
    case kClassUserComet:
        v = sb;
        kind = kImagingExtendedValue;
        break;
    case kClassStar:
        if ((item->pairComponentA != ' ' && item->pairComponentA != '\0') &&
            item->companionMagnitude < 90.0f) {
            v = item->companionMagnitude;
            c = 0.4;
        }
        break;
    case kClassGalaxy:
        if (sb < 90.0) {
            v = sb;
            kind = kImagingExtendedValue;
        }
        break;
    case kClassPlanetaryNebula:
        v = sb < 90.0 ? sb : m;
        kind = kImagingExtendedValue;
        break;
    case kClassBrightNebula:
        v = sb;
        if (a > 0.0 && m < 90.0) {
            v = SurfaceBrightnessFromMagnitude(a, b, m);
            if (v > 21.3) v = 21.3;
            item->magnitude2 = (float)v;
        }
        c = 0.0;
        kind = kImagingExtendedValue;
        break;
    case kClassOpenCluster:
        v = m + 1.9 + 3.0;
        break;
    case kClassGlobularCluster:
        v = m + 5.6 + 4.0;
        break;
    case kClassSkyMark:
        v = 18.0;
        c = 0.0;
        break;
    case kClassGalaxyGroup: {
        const double mm = item->memberMagnitude;
        const double ma = item->memberSizeMajor * kArcminPerRadian;
        const double mb = (item->memberSizeMinor > 0.0f ? item->memberSizeMinor : item->memberSizeMajor) *
                          kArcminPerRadian;
        if (ma > 0.0 && mm < 90.0) {
            v = SurfaceBrightnessFromMagnitude(ma, mb, mm);
            kind = kImagingExtendedValue;
        } else {
            v = mm;
        }
        break;
    }
    case kClassDarkNebula:
        v = 13.5;
        break;
    case kClassUserDeepSky:
        // A user object typed as a dark nebula (its category is the dark
        // nebulae's alone) is imaged as one; an object of no type carries
        // every deep-sky category and is not. A size makes a surface
        // brightness only with a magnitude to spread over it.
        if (item->categoryBits == ClassCategoryBits(kClassDarkNebula)) {
            v = kDarkNebulaUserValue;
        } else if (m > 90.0) {
            v = 18.0;
        } else if (a > 0.0) {
            v = SurfaceBrightnessFromMagnitude(a, b, m);
            kind = kImagingExtendedValue;
        }
        break;
    default:
        break;
    }
    if (value) *value = v;
    if (colour) *colour = c;
    return kind;
}

double ComputeRotationExposureLimit(const LocationRecord *, const DateRecord *, const OpticsBlock *,
                                    int, double, const ObjectRecord *item, double blur) {
    if (!item || item->objectClass != kClassSolarSystem || SatelliteOf(item) != 0) return 0.0;
    const double period = RotationPeriod(item->index);
    const double diameter = DiameterArcsec(item);
    if (!(period > 0.0) || !(diameter > 0.0)) return 0.0;
    return blur / diameter * (period / 2.0) * 3600.0;
}

double ComputeRotationBlur(const LocationRecord *, const DateRecord *, const OpticsBlock *, int,
                           double, const ObjectRecord *item, double exposure) {
    if (!item || item->objectClass != kClassSolarSystem || SatelliteOf(item) != 0) return 0.0;
    if (item->index == kBodySun) return 0.0;
    const double period = RotationPeriod(item->index);
    if (!(period > 0.0)) return 0.0;
    return exposure / 3600.0 * DiameterArcsec(item) / (period / 2.0);
}
