// Object records and places of the packaged comets (class 3, index = the
// comet's first element set) and minor planets (class 4, index = the
// number); the builders themselves are declared with the other class
// builders in objects/builders.h.
#pragma once

struct DateRecord;
struct LocationRecord;

// The apparent place of date (topocentric with a site) of a packaged or
// user comet or minor planet (the user classes by object id), radians. 1, or
// 0 when the class is none of these, the object is not found or has no
// place.
int ComputeMinorBodyObjectPlace(const LocationRecord *site, const DateRecord *date,
                                int objectClass, int index, double *rightAscension,
                                double *declination);
