// Field searches over the minor bodies: iterators that return, one by one,
// every packaged minor planet, or every packaged or user comet, that passes
// a set of orbital, brightness and place conditions at one time, with its
// full place. Begin -> Next ... Next (0) -> End.
#pragma once
#include <cstdint>

#include "ephem/orbit.h"
#include "minorbodies/cometdb.h"

struct DateRecord;
struct LocationRecord;
struct OpticsBlock;
struct ObserverRecord;

// FieldSearchFlags: a condition applies only when its bit is set. A range
// limit of kFieldSearchNoLimit is ignored on its side.
const uint32_t kFieldMagnitude = 0x2;
const uint32_t kFieldRadius = 0x4;
const uint32_t kFieldPerihelionDistance = 0x100;
const uint32_t kFieldAphelionDistance = 0x200;
const uint32_t kFieldGeocentricDistance = 0x400;
const uint32_t kFieldPerihelionWindow = 0x800;
const uint32_t kFieldElongation = 0x1000;
const uint32_t kFieldDropLetterD = 0x2000;
const uint32_t kFieldConstellation = 0x4000;
const uint32_t kFieldPerihelionWindowNotP = 0x8000;
const uint32_t kFieldVisible = 0x10000;
const uint32_t kFieldEccentricity = 0x20000;
const uint32_t kFieldInclination = 0x40000;
const uint32_t kFieldPeriod = 0x80000;
const uint32_t kFieldAbsoluteMagnitude = 0x100000;
const uint32_t kFieldPerihelionPassage = 0x200000;
const uint32_t kFieldImaging = 0x2000000;
const double kFieldSearchNoLimit = 2147483647.0;

// Comet type modes.
const int kCometTypeAll = 0;
const int kCometTypeNotC = 1;
const int kCometTypeOnlyC = 2;

typedef void (*FieldSearchProgress)(double fractionDone);
// The constellation of a place (J2000 RA, Dec rad; equinox as T): 1.. or 0
// outside every constellation. Handed down by the object layer, which owns
// the boundaries; without it the constellation condition is not applied.
typedef int (*FieldConstellationTest)(double ra, double dec, double equinoxCenturies);
void SetFieldConstellationTest(FieldConstellationTest test);
// The test handed down (null before the object layer connects), for the
// chart passes of the user catalogues.
FieldConstellationTest GetFieldConstellationTest();

// The visibility and imaging tests of a comet (bits 0x10000 and 0x2000000),
// handed down by the visibility layer: 1 keeps the comet. Arguments: the
// search's site, date, optics, observer, camera and filter index, imaging
// option, exposure, mid-exposure switch, the comet's apparent RA and Dec,
// magnitude, Delta, coma diameter (1e-6 AU) and degree of condensation.
struct CometFieldVisibility {
    int (*visible)(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
                   const ObserverRecord *observer, double ra, double dec, double magnitude,
                   double delta, int comaDiameter, int condensation);
    int (*detectable)(const LocationRecord *site, const DateRecord *date,
                      const OpticsBlock *optics, int camera, int filter, int option,
                      double exposure, int midExposure, double ra, double dec, double magnitude,
                      double delta, int comaDiameter);
};
void SetCometFieldVisibility(const CometFieldVisibility *tests);

struct MinorPlanetFieldSearch;
struct CometFieldSearch;

// Packaged database (path null) only: a user mp.bin is refused (null) while
// the user minor-planet store is not part of the build. Null when a file is
// missing or memory is short; nothing is left allocated.
MinorPlanetFieldSearch *BeginMinorPlanetFieldSearch(
    const LocationRecord *site, const DateRecord *date, const char *path, double fieldRa,
    double fieldDec, double coarseRa, double coarseDec, double radius, double brightLimit,
    double faintLimit, double minElongation, double maxDelta, double minMotion,
    double periodMin, double periodMax, int years, double aphelionMin, double aphelionMax,
    double perihelionMin, double perihelionMax, double inclinationMin, double inclinationMax,
    double eccentricityMin, double eccentricityMax, const void *regionLists,
    const uint8_t *regionBytes, int regionCount, uint32_t flags, uint8_t classSwitch,
    int32_t classMask, FieldSearchProgress progress, const int *stopFlag);
// The number of the next passing packaged minor planet, 0 at the end, when
// stopped or on a read failure (FieldSearchFailed tells which).
int32_t NextPackagedMinorPlanetInField(MinorPlanetFieldSearch *search, double *ra, double *dec,
                                       double *delta, double *magnitude, OrbitRecord *orbit);
int32_t NextUserMinorPlanetInField(MinorPlanetFieldSearch *search, double *ra, double *dec,
                                   double *delta, double *magnitude, OrbitRecord *orbit);
// 1 when the search ended on a read failure rather than at its end.
int MinorPlanetFieldSearchFailed(const MinorPlanetFieldSearch *search);
void EndMinorPlanetFieldSearch(MinorPlanetFieldSearch *search);

// path null: the packaged comets.bin; else a user comet.bin (uint16 count,
// records from byte 4). Null when the file or its first record cannot be
// read, or for bit 0x2000000 without optics, a camera index in range and a
// positive exposure, or for bits 0x10000 / 0x2000000 while no visibility
// tests are handed down.
CometFieldSearch *BeginCometFieldSearch(
    const LocationRecord *site, const DateRecord *date, const char *path,
    const OpticsBlock *optics, const ObserverRecord *observer, int camera, int filter,
    int imagingOption, double exposure, int midExposure, double fieldRa, double fieldDec,
    double radius, double maxDelta, double brightLimit, double faintLimit, double minElongation,
    double perihelionWindow, double referenceTime, int dayWindow, double periodMin,
    double periodMax, int years, double aphelionMin, double aphelionMax, double perihelionMin,
    double perihelionMax, double inclinationMin, double inclinationMax, double eccentricityMin,
    double eccentricityMax, double hMin, double hMax, int typeMode, int keepD,
    const void *regionLists, const uint8_t *regionBytes, int regionCount, uint32_t flags,
    FieldSearchProgress progress, const int *stopFlag);
// First-set index + 1 of the next passing packaged comet; 0 at the end or
// when stopped. label (kCometLabelSize bytes) may be null.
int NextPackagedCometInField(CometFieldSearch *search, char *label, double *ra, double *dec,
                             double *delta, double *magnitude, OrbitRecord *orbit);
// Object id of the next passing user comet; 0 at the end or when stopped.
int NextUserCometInField(CometFieldSearch *search, char *label, double *ra, double *dec,
                         double *delta, double *magnitude, OrbitRecord *orbit);
int CometFieldSearchFailed(const CometFieldSearch *search);
void EndCometFieldSearch(CometFieldSearch *search);

// The largest difference in right ascension of a place within radius of a
// centre at declination dec, or a negative value when the circle reaches a
// pole (every right ascension then qualifies).
double MaximumRightAscensionOffset(double dec, double radius);
