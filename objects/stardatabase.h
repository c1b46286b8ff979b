// The three packaged star databases (mag7, mag10, magx): their zone tables,
// the zone, region and sub-region holding a position, the 16-bit region code,
// the region bounds that scale a record's packed position, the file paths,
// and the byte layouts of every star record form with their decoders. The
// charts' star search and the guide-star look-ups read the files through
// these. Angles are radians; magnitudes V.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

// Database numbers (map-catalogue directory slot = number - 1).
const int kStarDbMag7 = 1;
const int kStarDbMag10 = 2;
const int kStarDbMagX = 3;

// Record codes: 4, 5 and 6 are whole forms; other codes are a catalogue star
// (bit 3 clear) or a named star (bit 3 set), whose bits 0 and 1 announce a
// variable-star block and a component list after the record.
const int kStarCodeColoured = 4;
const int kStarCodeGuide = 5;
const int kStarCodeFaint = 6;
const int kStarCodeVariableBit = 1;
const int kStarCodeComponentsBit = 2;
const int kStarCodeNamedBit = 8;

// Byte sizes of the blocks that follow a record.
const int kStarOffsetEntrySize = 8;
const int kVariableBlockSize = 6;
const int kComponentRecordSize = 8;
const int kSystemBlockSize = 28;
const int kStarOrbitRecordSize = 32;
const int kComponentHasVariable = 0x40;
const int kComponentHasOrbit = 0x80;
// Largest record (named star in a polar cap).
const int kLargestStarRecord = 23;
// 0xFFFFFF in both proper-motion fields of a named star: an orbital system.
const uint32_t kOrbitalSystemMotion = 0xFFFFFF;
const double kNoStarMagnitude = 99.9;

typedef uint16_t StarRegionCode;

// A region (or magx sub-region) as the records are scaled to it.
struct StarRegionBounds {
    double rightAscensionStart;  // radians
    double declinationStart;     // radians
    double width;                // right-ascension span (2 pi in a polar cap)
    double height;               // declination span
    int polar;                   // 1 in a polar cap (absolute right ascension)
};

// Zone and region counts of a database; 0 for a bad database or zone.
int StarZoneCount(int database);
int StarRegionCount(int database, int zone);
// magx sub-regions per side (3, 2, or 1 in the caps); 1 elsewhere.
int MagxSubdivisions(int zone);
// Zone lower bound and height, degrees. 0 for a bad zone.
int GetStarZone(int database, int zone, double *lowerBound, double *height);

// The zone and region (and in magx the sub-region column and row) of a
// position. Right ascension is brought into [0, 2 pi) and declination
// clamped to +-pi/2 first, so no position falls outside the tables.
int LocateMag7Region(double rightAscension, double declination, int *zone, int *region);
int LocateMag10Region(double rightAscension, double declination, int *zone, int *region);
int LocateMagxRegion(double rightAscension, double declination, int *zone, int *region,
                     int *column, int *row);
// The region code holding a position in a database; 0 (with ok = 0) when the
// database is not 1-3.
StarRegionCode LocateStarRegionCode(int database, double rightAscension, double declination,
                                    int *ok);

// Bounds of a region; the result is its entry number in the file's offset
// table, -1 for a zone, region, column or row outside the tables.
int GetMag7RegionBounds(int zone, int region, StarRegionBounds *bounds);
int GetMag10RegionBounds(int zone, int region, StarRegionBounds *bounds);
int GetMagxRegionBounds(int zone, int region, int column, int row, StarRegionBounds *bounds);
int GetStarRegionBounds(int database, StarRegionCode code, StarRegionBounds *bounds);

// Bits 0-4 zone, 5-10 region, 11-12 sub-region row, 13-14 sub-region column.
StarRegionCode MakeRegionCode(int zone, int region, int row, int column);
void SplitRegionCode(StarRegionCode code, int *zone, int *region, int *row, int *column);

// Colour class 0-14 of a B-V colour index (0 above 90: no colour).
int GetColourIndexClass(double colourIndex);

// The region file of a database: "<dir>mag7/starsZZ.bin",
// "<dir>mag10/dbZZ/stars.bin" or "<dir>magx/dbZZ/starsRR.bin". 0 when the
// directory is null, the database bad or the buffer too small.
int FormatStarFilePath(char *buffer, size_t size, const char *directory, int database, int zone,
                       int region);

// Bytes of a record of a code (without what follows it), polar or not.
int StarRecordSize(int code, int polar);
// Bytes after the 6-byte variable block for a light-curve model.
int VariableBlockExtraSize(int model);

// Component record: separation (arcseconds), position angle (degrees), V,
// letter, reference index and whether a variable block / orbit follows.
struct ComponentRecord {
    double separation, positionAngle, v;
    char letter;
    int referenceIndex, hasVariable, hasOrbit;
};
// Variable-star block: brightest and faintest magnitude, model, the second-
// series bit and the model's epoch and period where it has them.
struct VariableBlock {
    double brightest, faintest;
    int model;
    int secondSeries;
    double epoch;       // Julian date (integer part plus fraction); 0 none
    double period;      // days, 0 none
    double shape1, shape2;
};
// 1, 0 when too few bytes (6 + the model's extra).
// System block of an orbital system: the system's place (radians, J2000),
// proper motions (radians per year) and magnitude.
struct StarSystemBlock {
    double rightAscension, declination;
    double motionRightAscension, motionDeclination;
    double magnitude;
};
// Orbit record: period (years), inclination (degrees), semi-major axis
// (arcseconds), eccentricity, argument of periastron and ascending node
// (degrees), time of periastron (decimal year), equinox year (0: J2000) and
// the orbit's number; angles in degrees as orbit catalogues publish them.
struct StarOrbitElements {
    double period, inclination, semiMajorAxis, eccentricity, periastronArgument, node,
        periastronTime;
    int equinoxYear, orbitNumber;
};

// One decoded record.
struct DecodedStar {
    int code;
    double rightAscension, declination;        // radians
    double motionRightAscension, motionDeclination;  // radians per year (RA / cos Dec)
    double v;                                  // 99.9 when none
    double b;                                  // faint-star and two-magnitude forms; 99.9 none
    int colourClass;                           // 0-15
    int32_t catalogueNumber;                   // 0 none
    int guideRegion, guideNumber;              // guide-star form
    char componentLetter;                      // named form; ' ' none
    uint8_t endByte;                           // the raw end byte
    int nextCode;                              // low 4 bits of the end byte
    int flag;                                  // bit 7 of a named or catalogue star's end byte
    int orbitalSystem;                         // named form with both motions 0xFFFFFF
    int32_t rightAscensionTurns, declinationTurns;  // the place as turn fractions
    uint32_t motionCodes[2];    // the raw 24-bit motion fields (RA, Dec); 0 in faint stars
    uint32_t magnitudeCodes;    // the raw 24-bit two-magnitude field (guide, coloured)
    uint8_t magnitudeByte;      // the faint star's magnitude byte
    // variable block (code bit 0, or a component's flag): the range
    int variable, secondSeries;
    double brightest, faintest;  // range magnitudes (V when not variable)
    VariableBlock variableBlock;  // the whole block when variable is set
    // an orbital system's blocks (the walk reads them), and a component's
    // orbit record when its flag announces one
    StarSystemBlock system;
    int hasOrbit;
    StarOrbitElements orbit;
    // set on a component record returned by a walk that asks for them
    int component;              // 1: this is a component of the last system
    ComponentRecord componentRecord;
    int componentCount;         // on a main record: the components that follow
};

// Decodes one record of a code from its bytes (StarRecordSize of them). 1,
// 0 when fewer bytes are given than the form needs.
int DecodeStarDbRecord(const uint8_t *bytes, size_t size, int code, const StarRegionBounds &bounds,
                     DecodedStar *star);

int DecodeVariableBlock(const uint8_t *bytes, size_t size, VariableBlock *block);

int DecodeComponentRecord(const uint8_t *bytes, size_t size, ComponentRecord *component);
// The 28-byte system block and the 32-byte orbit record. 1, 0 when too few
// bytes are given.
int DecodeSystemBlock(const uint8_t *bytes, size_t size, StarSystemBlock *system);
int DecodeStarOrbit(const uint8_t *bytes, size_t size, StarOrbitElements *orbit);

// Walks the main records of one region of an open star file: each star is
// decoded and whatever follows it (variable blocks, system and orbit blocks,
// components) is skipped, every length checked against the file.
struct StarRegionWalk {
    FILE *file;
    long fileSize;
    StarRegionBounds bounds;
    int32_t count, read;
    int code;           // code of the next record
    int withComponents; // 1: components are returned as stars of their own
    int pendingComponents;
};
// Opens the walk of entry n of the file: 1, 0 for an empty region, -1 for an
// entry, offset or count the file does not hold or a failed read.
int BeginStarRegionWalk(StarRegionWalk *walk, FILE *file, int entry,
                        const StarRegionBounds &bounds);
// 1 a star (or, with withComponents, a component: star->component set), 0
// the region's records are read, -1 a short or bad record.
int NextStarInRegion(StarRegionWalk *walk, DecodedStar *star);

// The region codes of a database that a box of half-widths (radians of right
// ascension and declination) around a place touches, sampled every half
// degree (finer than the smallest region); right ascension wraps,
// declination is clamped.
std::vector<StarRegionCode> StarRegionsOfBox(int database, double rightAscension,
                                             double declination, double halfRightAscension,
                                             double halfDeclination);
// Walks the stars of the regions in the database's map-catalogue directory
// (slot database - 1); visit returns 1 to stop with a match, 0 to go on, -1
// to stop with an error. 1 matched, 0 none, -1 a region file or record that
// could not be read or a directory not set.
int WalkStarDatabase(int database, const std::vector<StarRegionCode> &codes,
                     const std::function<int(const DecodedStar &)> &visit);
