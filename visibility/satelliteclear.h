// Whether a planet's satellite stands clear of its planet: neither hidden
// behind the disc nor in the planet's shadow (as the event finders require of
// a satellite they report).
#pragma once

struct LocationRecord;

// Satellite number 1.. of the planet of this body type (a stored value above
// 100 counts as number - 100). 1 when clear at the Julian date (UT); 0 when
// behind the disc, in the shadow, for a number of 0 or less, or when the
// planet cannot be placed.
int IsMoonClearOfPlanet(const LocationRecord *site, double julianDate, int planetType,
                        int satellite);
