// Observability of one object over a night or a longer span: an iterator that
// steps the object's place through time and evaluates its visibility margin
// at each step, the search for the best time (each peak refined in ever finer
// steps) with the hour score there, and the search for the moments the object
// stops being visible in either direction.
//
// Stars, deep-sky objects, user objects and sky marks are placed from their
// catalogue place, the Sun, the Moon, the planets and their satellites by the
// ephemerides, the packaged comets and minor planets by their elements at
// each step; the user's own comets and minor planets by theirs, from the
// user's files. A comet's or minor planet's orbit is read once, when the scan
// begins, and kept in the iterator: each step computes the place from it.
#pragma once
#include <cstdint>
#include <cstdio>

#include "astro/datetime.h"
#include "ephem/binaryorbit.h"
#include "ephem/orbit.h"
#include "objects/objectrecord.h"

struct BodyRecord;
struct HorizonRow;
struct LocationRecord;
struct MinorPlanetEphemeris;
struct ObserverRecord;
struct OpticsBlock;

// Coordinate modes of the reported place.
const int kObservabilityJ2000 = 1;     // J2000, geocentric
const int kObservabilityOfDate = 2;    // apparent place of date
const int kObservabilityTopoJ2000 = 3; // topocentric, carried back to J2000
const int kObservabilityLabelSize = 64;

struct ObservabilityIterator {
    const LocationRecord *site;
    DateRecord date;             // current
    OpticsBlock *optics;
    const ObserverRecord *observer;
    ObjectRecord object;         // the object's copy, refreshed at each step
    double sizeA, sizeB;         // radians (drawing sizes)
    double step;                 // days
    double endCenturiesTT;       // T(TT) of the end
    double currentYear, endYear; // of a double-star run
    int32_t userValue;
    int32_t catalogueIndex;
    int32_t coordinateMode;      // 1, 2, 3
    int32_t topocentric;
    int32_t requirePositive;
    FILE *userFile;              // open user comet or minor-planet file, or none
    MinorPlanetEphemeris *minorPlanets;  // opened for a packaged minor planet
    OrbitRecord bodyOrbit;       // of a comet or minor planet, read when the scan begins
    double comaLength;           // a comet's coma diameter (AU)
    double rightAscensionJ2000, declinationJ2000;
    double properMotionRa, properMotionDec;
    double magnitude;
    double extinctionV;
    double magnification;
    double targetAltitude;       // latest
    uint8_t eyepiece;
    uint8_t barlow;
    uint8_t condensation;        // 5 by default
    // A double-star run: the orbit, its position-angle correction to J2000
    // (degrees) and the step in years.
    BinaryOrbit orbit;
    double orbitCorrection;
    double yearStep;
    int32_t orbitNumber;
};

struct ObservabilityValues {
    double earthDistance;   // AU (the Moon: topocentric, km)
    double sunDistance;     // AU, true distance from the Sun (the Moon: 1)
    double elongation;      // radians from the Sun
    double cleared;
    double magnitude;
    double centralMeridian;
    double latitudeOfCentre;
    double comaSize;
    double sizeA, sizeB;    // radians
};

// 1, or 0 without a site, date or object, with a step or span that is not
// positive, when the object cannot be refreshed, or for a comet or minor
// planet whose elements cannot be read. The four floats are not used. The
// label (kObservabilityLabelSize bytes, may be null) gets a body's name.
int BeginObservability(ObservabilityIterator *it, const LocationRecord *site,
                       const DateRecord *date, OpticsBlock *optics, const ObserverRecord *observer,
                       double step, double span, const ObjectRecord *object, float unused1,
                       float unused2, float unused3, float unused4, int requirePositive,
                       int coordinateMode, int topocentric, char *label);
// Closes what BeginObservability opened: the minor-planet ephemeris and the
// user's comet or minor-planet file.
void EndObservability(ObservabilityIterator *it);
// The reported place A and the topocentric apparent place of date B at the
// iterator's date; values filled.
void ComputeObservabilityPlace(ObservabilityIterator *it, BodyRecord *body,
                               ObservabilityValues *values, double *raA, double *decA,
                               double *raB, double *decB);
// 0 past the end; else the place now, the date copied out, and one step on. 1.
int NextObservabilityPlace(ObservabilityIterator *it, BodyRecord *body,
                           ObservabilityValues *values, DateRecord *date, double *raA,
                           double *decA, double *raB, double *decB);
// Margin at the iterator's date for place B (-10 below the horizon, the
// obstructed horizon when a table is given and the site uses it, or without optics).
double EvaluateObservabilityStep(ObservabilityIterator *it, const ObservabilityValues *values,
                                 double raB, double decB, const HorizonRow *horizon);
// Refines a peak around *time (Julian date): rounds of 11 samples, each round
// a third of the last step, until the best time moves by a minute or less
// (at most 50 rounds). *time and *adjusted get the best; the raw margin there
// is returned. Step and date of the iterator are restored.
double RefineObservabilityPeak(ObservabilityIterator *it, BodyRecord *body,
                               ObservabilityValues *values, double ignored, double *time,
                               double *adjusted, const HorizonRow *horizon);
// Scans from the iterator's date to the end; 1 when a best time was found,
// with its Julian date, darkness, altitude fraction, hour score and margin
// (outputs may be null). The site's obstructed horizon is loaded unless the
// site ignores it (flag bit value 2).
int FindBestObservingTime(ObservabilityIterator *it, BodyRecord *body, ObservabilityValues *values,
                          double *bestTime, double *darkness, double *altitudeFraction,
                          uint16_t *score, double *bestMargin);
// From the iterator's date in the direction's sign, the moment the adjusted
// margin falls to its threshold (or the air mass passes 2): 1 when found
// within 100 steps, with its Julian date.
int FindVisibilityEdge(ObservabilityIterator *it, BodyRecord *body, ObservabilityValues *values,
                       double *time, int direction);
// Bit of the site's flag byte that says "ignore the obstructed horizon".
const int kSiteIgnoresHorizon = 2;
