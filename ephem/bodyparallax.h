// The topocentric correction of a solar-system body's place for a site: the
// step that charts, object records and double-star positions take after the
// geocentric ephemeris.
#pragma once

struct BodyRecord;
struct DateRecord;
struct LocationRecord;

// Geocentric -> topocentric place of a solar-system body (the Moon by its
// distance in kilometres, which the correction also updates; other bodies by
// their distance in astronomical units).
void ApplyBodyParallax(const LocationRecord *site, const DateRecord *date, BodyRecord *body,
                       double *rightAscension, double *declination);
