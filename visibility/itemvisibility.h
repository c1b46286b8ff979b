// Visibility of an observing-list item: its margin now and under the best
// conditions it ever gets (at transit, on a moonless night at the deepest
// solstice midnight, extinction 0.1), and the sky brightness at a place or an
// item for a time.
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;
struct ObserverRecord;
struct OpticsBlock;
struct SunMoonState;

// Writes the item's margin now (visibilityMargin) and its best margin
// (visibilityMargin2). At or below the horizon dip only the margin now is
// written (-10): the best margin keeps its earlier value.
void EvaluateItemVisibility(const LocationRecord *site, const ObserverRecord *observer,
                            OpticsBlock *optics, ObjectRecord *item, double k,
                            double skyBrightness, double altitude);
// The item's transit altitude and the sky there on the darkest night: the
// Sun at midnight of the solstice that puts it lowest, no Moon, k 0.1, 1997.
// 1; 0 without a site or item (outputs untouched).
int ComputeItemDarkSky(const LocationRecord *site, const ObjectRecord *item, double *skyBrightness,
                       double *altitude);
// Sky brightness (mag/arcsec^2) at a place of date for the date (completed
// here: Delta T, nutation, sidereal times) from the Sun, the Moon, the site's
// weather and light pollution. k and the altitude go out when asked for.
double ComputeSkyBrightnessAtPosition(const LocationRecord *site, DateRecord *date,
                                      double rightAscension, double declination, double *k,
                                      double *altitude);
// The same from a target's Sun and Moon state (ephem/sunmoon.h), extinction
// k and the year; a Sun or Moon item (sunItem, moonItem) is taken as 45
// degrees from itself.
double ComputeSkyBrightnessForState(const LocationRecord *site, const SunMoonState *state, int sunItem,
                                    int moonItem, double k, int year);
// The same at the item's place of date; the Sun and the Moon, as items, are
// taken as 45 degrees from themselves.
double ComputeSkyBrightnessAtItem(const LocationRecord *site, DateRecord *date,
                                  const ObjectRecord *item, double *altitude);
