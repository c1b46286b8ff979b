// Visibility of one object through one optical system from one site: the
// margin on the contrast scale (0 or more visible, -10 not applicable or at or
// below the horizon dip), routed by object class through the stellar limiting
// magnitude, the comet blend, the surface-brightness route or the
// extended-object contrast model; and the eyepiece choices: the one reaching
// the faintest stars, the one framing an extended object best, and the one
// splitting a list item's double star.
//
// Axes are radians, altitudes radians, k the V extinction per air mass, sky
// brightness in mag/arcsec^2. An observer may be null (the optics' default
// observer). Every routine that changes the optics' Barlow-in-use flag puts
// the caller's value back, except the double-star routines, which leave the
// chosen combination's flag set.
#pragma once
#include <cstdint>

#include "objects/objectrecord.h"

struct LocationRecord;
struct ObserverRecord;
struct OpticsBlock;

// The margin for "not applicable" and "below the horizon".
const double kNoVisibilityMargin = -10.0;
// Objects smaller than 2 arcseconds (radians) are not framed by an eyepiece.
const double kMinimumFramedSize = 9.69627362219072e-6;
// A degree of condensation read from a record: 255 means none (counts as 4).
const int kNoCondensation = 255;

// Category bit of a galaxy group (its own magnitude and sizes apply).
const uint32_t kGalaxyGroupCategory = 0x10000;

// Magnification of the eyepiece that reaches the faintest stars (none
// accepted, or no optics: 100 with index 0; binoculars and the naked eye:
// their own magnification, index 0).
double SelectDeepestEyepiece(const LocationRecord *site, OpticsBlock *optics, uint8_t *index);
// Magnification of the eyepiece (plain or with the Barlow) whose field holds
// the object's major axis with the best margin; without such an eyepiece the
// lowest magnification (Barlow 0). 0 ("not applicable") without optics, for an
// object under 2" and, with index 255, when no eyepiece is accepted.
double SelectExtendedObjectEyepiece(const LocationRecord *site, OpticsBlock *optics,
                                    double magnitude, double surfaceBrightness,
                                    double majorAxis, double minorAxis, int *index, int *barlow);
void SetItemMagnificationExtended(const LocationRecord *site, OpticsBlock *optics,
                                  ObjectRecord *item);
void SetItemMagnificationDouble(const LocationRecord *site, OpticsBlock *optics,
                                ObjectRecord *item);
void SetItemMagnificationDoubleDefault(OpticsBlock *optics, ObjectRecord *item);

double EvaluatePointVisibility(const LocationRecord *site, const ObserverRecord *observer,
                               OpticsBlock *optics, int eyepiece, int barlow, double k,
                               double skyBrightness, double magnitude, double altitude);
double EvaluateExtendedVisibility(const OpticsBlock *optics, double horizonDip, double majorAxis,
                                  double minorAxis, double magnitude, double magnification,
                                  double k, double skyBrightness, double altitude);
double EvaluateSurfaceBrightnessVisibility(const OpticsBlock *optics, double horizonDip,
                                           double majorAxis, double minorAxis,
                                           double magnification, double k,
                                           double surfaceBrightness, double skyBrightness,
                                           double altitude);
double EvaluateCometVisibility(const LocationRecord *site, const ObserverRecord *observer,
                               OpticsBlock *optics, double magnification, int eyepiece, int barlow,
                               double comaSize, double magnitude, int condensation, double k,
                               double skyBrightness, double altitude);
double EvaluateObjectVisibility(const LocationRecord *site, const ObserverRecord *observer,
                                OpticsBlock *optics, double magnification, int eyepiece,
                                int barlow, int objectClass, double majorAxis, double minorAxis,
                                double magnitude, double surfaceBrightness, int condensation,
                                double k, double skyBrightness, double altitude);
// 1 when the item carries what an evaluation needs, else 0.
int IsItemEvaluable(const ObjectRecord *item);
