// The two-body event search: steps through a span and reports each time a
// measure between two bodies (separation, longitude difference, reciprocal
// separation, contact distances) passes through a minimum, refined to a
// tolerance, with which body is in front and whether their discs overlap.
#pragma once

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/precession.h"
#include "events/bodyplace.h"

// Measure modes.
const int kMeasureSeparation = 0;
const int kMeasureSeparationDiscs = 1;   // limit: the sum of the two radii
const int kMeasureOuterContact = 2;
const int kMeasureInnerContact = 3;
const int kMeasurePenumbralContact = 4;
const int kMeasurePenumbraVisible = 5;
const int kMeasureLongitude = 6;         // |longitude difference|: conjunctions
const int kMeasureReciprocal = 7;        // 1 / separation: greatest elongations
const int kMeasureEclipse = 255;         // separation, with the overlap test

// Results of NextPairEvent.
const int kPairEnd = 0;
const int kPairProgress = -10;
const int kPairBody1Front = 1;
const int kPairBody2Front = 2;
const int kPairOccultation = 3;
const int kPairTransit = 4;
const int kPairBody2Offset = 10;  // 13, 14: body 2 in front

// The part of the Earth's penumbra that shows on the Moon.
const double kVisiblePenumbraFactor = 0.825;
const double kOneSecondDays = 1.157407e-05;

struct PairSearch {
    SearchBody body[2];
    DateRecord date;           // the current step
    double end;                // T(TT), Julian centuries
    double step;               // days
    int coordinateMode;
    int measureMode;
    int rising;                // the measure was rising at the previous step
    double tolerance;          // days
    double limit;              // rad
    double previous;           // measure at the previous step
    PrecessionRecord toDate, toJ2000;
    double progressInterval;   // Julian centuries
    double nextTick;           // T(TT)
    const int *stop;
    int started;               // set by BeginPairSearch, cleared by EndPairSearch
    // The Sun and the Moon seen from anywhere on the Earth (a solar-eclipse
    // search at the Earth's centre): every separation is taken less the
    // Moon's horizontal parallax and plus the Sun's, so that an eclipse seen
    // somewhere overlaps and its contacts are those of the Moon's penumbra
    // and shadow on the Earth. Set after BeginPairSearch; 0 there.
    int wholeEarth;
};

// Span, tolerance in days; limit in rad; classes, indexes and satellites of
// the two bodies; ra/dec a fixed point (class 0). 1, or 0 when the search or
// the date is missing or a body cannot be set up (nothing is left open).
int BeginPairSearch(PairSearch *search, const LocationRecord *site, const DateRecord *start, double span,
                    double tolerance, double limit, int class1, int index1, int satellite1, int class2, int index2,
                    int satellite2, int coordinateMode, int measureMode, double ra, double dec, const int *stop);
// The next minimum: 0 end or stopped, -10 progress tick, 1 body 1 in front,
// 2 body 2 in front (measure 7: body 2 east of body 1), 3 occultation and 4
// transit with body 1 in front, 13 and 14 with body 2 in front. time (Julian
// date UT) and measure of the minimum; magnitudes (two, may be null).
int NextPairEvent(PairSearch *search, const LocationRecord *site, double *time, double *measure,
                  double *magnitudes);
// Closes every ephemeris the search opened; safe on a search that failed.
void EndPairSearch(PairSearch *search);
// The places at the current step (ra, dec two each), body 2 in front, the
// magnitudes (may be null). 1, 0 when a body cannot be placed.
int ComputePairPlaces(PairSearch *search, const LocationRecord *site, double *ra, double *dec, int *body2InFront,
                      double *magnitudes);
// Places and magnitudes at a Julian date in coordinate mode 2, measure 0;
// the search's date and modes are left as they were.
int ComputePairMagnitudes(const LocationRecord *site, PairSearch *search, double time, double *magnitudes);
// The result of a minimum from the bodies' diameters and distances at its
// time: an overlap (measure modes above 0 but 6, half the sum of the larger
// diameters, the Earth's shadow's x 0.825, above the measure) is a transit
// when the body in front is the smaller, else an occultation; otherwise the
// body in front (measure 7: 2 when body 2 lies east, eastward > 0).
int ClassifyPairMinimum(int measureMode, const SearchBody *a, const SearchBody *b, double measure, double eastward);
// The measure of two places and diameters in a measure mode.
double PairMeasure(int measureMode, const SearchBody *a, const SearchBody *b);
// The widening of a whole-Earth search (rad): the parallax of the nearer
// body less that of the farther, from their distances (AU).
double WholeEarthWidening(const SearchBody *a, const SearchBody *b);
