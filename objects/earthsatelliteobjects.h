// Earth satellites (class 19) as objects: the object-record index is the
// satellite's catalogue number in the element store (ephem/satstore.h); the
// builder itself is declared with the other class builders in
// objects/builders.h.
#pragma once
#include <cstdint>

struct DateRecord;
struct LocationRecord;

// Designation kinds of class 19: the satellite's name as the element store
// keeps it ("ISS (ZARYA)", compared case-blind), and its catalogue number
// ("25544" or "NORAD 25544").
const int kEarthSatelliteKindName = 1;
const int kEarthSatelliteKindNumber = 2;

// The catalogue number a text of the given kind designates, when the element
// store holds that satellite; 0 otherwise.
uint32_t FindEarthSatelliteOfText(const char *text, int kind);

// The stored name of the satellite with that catalogue number into name
// (kEarthSatelliteNameSize characters); 1, or 0 with an empty name when it is absent.
int EarthSatelliteObjectName(int32_t index, char *name);
// Room EarthSatelliteObjectName needs.
const int kEarthSatelliteNameSize = 17;

// The topocentric place of date of the satellite with that catalogue number
// for the site and the complete date record, radians. 1, or 0 without a site
// or date, for an absent satellite or a decayed orbit.
int ComputeEarthSatelliteObjectPlace(const LocationRecord *site, const DateRecord *date,
                                     int32_t index, double *rightAscension, double *declination);
