// The fill step of the class-2 builder: what a computed solar-system body
// puts into an object record (the builders themselves are declared with the
// other class builders in objects/builders.h).
#pragma once

struct BodyRecord;
struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

// Fills out from a body computed for the date (and, with a site, made
// topocentric): place of date (topocentric, or the geocentric apparent place
// without a site), catalogue place (geocentric apparent of date), J2000 place
// at the date (geometric, with the site's parallax, precessed to J2000),
// distance in light years, magnitude, diameters, colour; with a site the
// horizon place, hour angle, air mass, ecliptic and galactic places (else
// those stay -1). Nothing without a date, record or body.
void FillBodyRecord(const LocationRecord *site, const DateRecord *date, double extinction,
                    ObjectRecord *out, const BodyRecord *body);
