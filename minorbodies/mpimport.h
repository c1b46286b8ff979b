// Minor-planet element lines into the user's store (mp.bin): the "MP " lines
// of the suite's own exchange files and the lines of the Lowell asteroid
// orbit catalogue (astorb.dat, source "Bowell"), imported in progress steps
// (begin, step until 0 or -1, end) and filtered by orbit class; and the
// '|'-separated export line of one minor planet.
#pragma once
#include <cstdint>
#include <cstdio>

#include "ephem/orbit.h"

struct MinorPlanetRecord;

// Which orbit classes an import takes (ClassifyOrbit of ephem/orbit.h).
#pragma pack(push, 1)
struct OrbitClassOptions {
    uint8_t numberedOnly;        // off by default
    uint8_t nearEarth;           // classes 4-7
    uint8_t outer;               // classes 15, 16, 17, 20
    uint8_t mainBelt;            // class 10
    uint8_t centaurs;            // class 14
    uint8_t others;              // every class but 10, 14, 17, 20 (and class 0)
};
#pragma pack(pop)
static_assert(sizeof(OrbitClassOptions) == 6, "six switches");

struct MinorPlanetImport {
    FILE *text = nullptr;
    FILE *store = nullptr;       // mp.bin
    int32_t count = 0;           // records in mp.bin
    int32_t addedObjects = 0;    // sets appended by this import
    int32_t linesPerStep = 1;
    int32_t linesInStep = 0;
    OrbitClassOptions options = {0, 1, 1, 1, 1, 1};
};

// "(number) name" or a bare name from a name field: 1, or 0 for a text shorter
// than 2 characters. name takes 33 bytes.
int ParseMinorPlanetNameField(const char *text, int32_t *number, char *name);
// 1 when the set passes the options.
int OrbitClassAllowed(const OrbitClassOptions *options, double a, double e, double inclination,
                      double H, int32_t number);
// Opens the text file and mp.bin; options null takes the defaults. 1 or 0.
int BeginMinorPlanetImport(MinorPlanetImport *state, const char *path,
                           const OrbitClassOptions *options, int steps);
// One step of "MP " lines: 1 after a step, 0 at the end (the store sorted
// and ids given when anything was appended), -1 when the store cannot be
// written.
int ImportMinorPlanetLines(MinorPlanetImport *state, int32_t *added, int32_t *replaced,
                           int32_t *skipped);
int ImportAsteroidCatalogueLines(MinorPlanetImport *state, int32_t *added, int32_t *replaced,
                                 int32_t *skipped);
void EndMinorPlanetImport(MinorPlanetImport *state);

// The export line of a minor planet whose orbit is given, with the mean
// anomaly and its date both at `time` (Julian centuries TT); the name is
// upper-cased in the line, not in the caller's text. text holds 256 bytes.
void FormatMinorPlanetExportLine(char *text, int32_t number, const char *name, double time,
                                 OrbitRecord *orbit);
// The same at the epoch of packaged element file fileNumber.
void FormatMinorPlanetExportLineForFile(char *text, int32_t number, const char *name,
                                        int32_t fileNumber, OrbitRecord *orbit);
// Epoch of an element-line date: 0 h UT of the day plus its fraction as
// hours, as Julian centuries (Delta T of 0.0001 s: the line's time scale is
// kept). Shared with the comet lines.
double ElementLineEpoch(int year, int month, double day);
// The line read into a blank-padded buffer of `width` characters so fixed
// columns beyond a short line read as blanks. 1 a line, 0 at the end of the
// file, -1 a read error (never taken for the end).
int ReadPaddedLine(FILE *text, char *buffer, int width);
// At the end of the lines: the store sorted and ids given when the import
// added objects. 0, or -1 when the sort fails.
int SortImportedMinorPlanets(MinorPlanetImport *state);
// One line's outcome in an import step: a built record (null for a line
// refused) is added to the store and counted as added, replaced or skipped.
// -1 when the store fails, 1 when the step has taken its lines, else 0.
int CountImportedMinorPlanet(MinorPlanetImport *state, MinorPlanetRecord *record, int32_t *added,
                             int32_t *replaced, int32_t *skipped);
// Estimated line count and lines per step from the first line's length.
int EstimateLinesPerStep(FILE *text, int steps);
