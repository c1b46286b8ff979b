// Completing a date record after its date and time are set: the time
// arguments T and T(TT), Delta T, the mean obliquity and the nutation
// (ComputeDeltaTAndNutation), then the sidereal times for a site
// (ComputeSiderealTimes).
#pragma once

struct DateRecord;
struct LocationRecord;

// Fills T, Delta T (days), T(TT), mean obliquity and nutation from the record's
// Julian date and decimal year. A Delta T of exactly 0 seconds asks for the
// model; any other value is taken as given.
void ComputeDeltaTAndNutation(DateRecord *record, double deltaTSeconds);
// Fills the Greenwich mean, local mean and local apparent sidereal times
// (radians, 0..2 pi); needs T, mean obliquity and nutation in longitude filled.
void ComputeSiderealTimes(const LocationRecord *site, DateRecord *record);
// Takes the record's Julian date as TT: subtracts its Delta T and fills the
// date again in the site's civil time.
void ConvertDateRecordFromDynamicalTime(const LocationRecord *site, DateRecord *record);
