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

// A minor-planet text split into a number and a name, for checking that both
// belong to the same minor planet: "433 Eros", "(433) Eros" and "Eros (433)".
struct MinorPlanetCandidate {
    int number;
    char name[64];
};
// The candidates the text gives, in the order they are tried (at most 3):
// a text that starts with a digit and has a blank ("%d %s"); a text that
// starts with "(" and has ")" (the number inside, the name from the second
// character after ")"); a text with "(" later on (the name before it, less
// the character just before it, the number in the parentheses). Names are
// cut to 63 characters; numbers must be at least 1.
int MinorPlanetCandidates(const char *text, MinorPlanetCandidate out[3]);
