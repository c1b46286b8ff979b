// The position angle and separation of a visual binary stepped through the
// years from its orbit, for the double-star ephemeris of an observing list.
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObservabilityIterator;

// Reads orbit n and starts at the date's decimal year, ending `span` years
// later, stepping `step` years. 1 when the orbit was read; 0 for no
// iterator or date, a step or span that is not positive, or an orbit that
// cannot be read.
int BeginDoubleStarEphemeris(const LocationRecord *site, ObservabilityIterator *it,
                             const DateRecord *date, double step, double span, int orbitNumber);
// The position angle (degrees, corrected to J2000) and separation
// (arcseconds) for the current year, that year out, and the year advanced
// by the step. 0 when the orbit cannot be solved; otherwise 1 while the new
// year is not past the end year, 0 after it.
int NextDoubleStarPosition(ObservabilityIterator *it, double *year, double *positionAngle,
                           double *separation);
