// The packaged database of numbered minor planets: file names in the two
// database folders, the element files (osculating elements every 40 days
// with a coarse 40-day track), mp_data.bin (H, G, q, Q), mp_names.bin and the
// letter-grouped name directory mp_alpha.bin, the lookups by number and name,
// the position handle that keeps its files open between calls, and the
// coarse track (eleven places 4 days apart) with its lookup and interpolation.
// All files little-endian, opened read-only in binary mode.
#pragma once
#include <cstdint>
#include <cstdio>

#include "ephem/orbit.h"

struct DateRecord;

// Size of the path buffers of FormatMinorBodyDatabasePath.
const int kMinorBodyPathSize = 1024;

// Index of a file in the database's file-name table.
enum MinorBodyDatabaseFile {
    kMinorBodyFileData = 0,    // "mp_data"
    kMinorBodyFileNames = 1,   // "mp_names"
    kMinorBodyFileAlpha = 2,   // "mp_alpha"
    kMinorBodyFileComets = 3,  // "comets"
    kMinorBodyFileCometNames = 4,  // "cnames"
    kMinorBodyFileLimits = 5,  // "limits"
};

const int kTrackSampleCount = 11;
const double kTrackStepDays = 4.0;
const int kMinorPlanetNameLength = 17;
const int kNameLetterGroups = 27;
const int kAlphaEntriesOffset = 189;  // 27 x 7-byte letter groups
// Numbers above this cannot be held by the uint16 of an mp_alpha.bin entry.
const int32_t kMaxAlphaNumber = 65535;

#pragma pack(push, 1)
struct TrackSample {
    int32_t rightAscension;  // turns x 2147483647, rounded half away from zero
    int32_t declination;
    uint8_t magnitudeCode;   // magnitude = code x 23 / 255 + 4; 0 in sample 0: track unusable
};
struct ElementFileRecord {
    double perihelionTime;   // Julian centuries TT from J2000
    double semiMajorAxis;    // AU
    double eccentricity;
    float inclination;       // degrees
    float perihelion;        // argument of perihelion, degrees
    float node;              // degrees
    TrackSample track[kTrackSampleCount];
};
struct MinorPlanetDataRecord {
    uint8_t unused[8];
    float H;
    float G;
    float q;                 // perihelion distance, AU
    float Q;                 // aphelion distance, AU; 0 = number not used
};
struct NameLetterGroup {
    char letter;
    int32_t offset;          // file offset of the group's first name entry
    int16_t count;
};
struct MinorPlanetNameEntry {
    char name[kMinorPlanetNameLength];  // not terminated when full
    uint16_t number;
};
#pragma pack(pop)
static_assert(sizeof(TrackSample) == 9, "TrackSample is 9 bytes");
static_assert(sizeof(ElementFileRecord) == 135, "ElementFileRecord is 135 bytes");
static_assert(sizeof(MinorPlanetDataRecord) == 24, "MinorPlanetDataRecord is 24 bytes");
static_assert(sizeof(NameLetterGroup) == 7, "NameLetterGroup is 7 bytes");
static_assert(sizeof(MinorPlanetNameEntry) == 19, "MinorPlanetNameEntry is 19 bytes");

// First and last element-file number present (from limits.bin); 0, 0 unread.
struct ElementFileLimits {
    int32_t first;
    int32_t last;
};

// Position handle: the orbit first, so the handle serves as an OrbitRecord.
struct MinorPlanetEphemeris {
    OrbitRecord orbit;
    FILE *dataFile;          // mp_data.bin
    FILE *elementFile;       // the open element file or null
    int32_t loadedNumber;    // minor planet whose orbit is loaded, 0 none
    int32_t elementFileNumber;
    ElementFileLimits limits;
};

// Database folder path of a table entry: folder 1 + base name + ".bin", at
// most kMinorBodyPathSize bytes (cut, never overrun). Without folders the
// bare file name. Returns buffer.
char *FormatMinorBodyDatabasePath(char *buffer, int index);

void ClearElementFileLimits(ElementFileLimits *limits);
// The element file nearest T (Julian centuries TT): reads limits.bin when
// either limit is 0 (0 when it cannot), clamps into the limits with
// *clamped = 1.
int32_t GetElementFileNumber(ElementFileLimits *limits, double T, int *clamped);
// Julian date of file n's epoch: 40 n + 0.5.
double GetElementFileEpoch(int32_t n);
// Opens the element file nearest T (limits read afresh); null when the
// folders are not set or the file is missing.
FILE *OpenElementFile(ElementFileLimits *limits, double T, int *clamped);
int ReadElementFileRecord(FILE *stream, int32_t number, ElementFileRecord *record);
FILE *OpenMinorPlanetDataFile();
int ReadMinorPlanetData(FILE *stream, int32_t number, MinorPlanetDataRecord *record);
FILE *OpenMinorPlanetNameFile();
// number -1 reads the next name; text holds kMinorPlanetNameLength + 1 bytes.
int ReadMinorPlanetName(FILE *stream, int32_t number, char *text);
// mp_alpha.bin positioned at the group of the letter (blank: the first
// group); *count (may be null) gets the group's entry count. Null when the
// file is missing, a read fails or the letter has no group.
FILE *OpenMinorPlanetAlphaAtLetter(char letter, int *count = nullptr);
// Entry n (or the next for -1): name (18 bytes) and number; returns the
// index of the following entry, 0 on failure.
int ReadMinorPlanetAlphaEntry(FILE *stream, int32_t n, char *name, int32_t *number);
// Number of the first directory name equal to name ignoring case; 0 none.
int32_t FindMinorPlanetNumberByName(const char *name);

MinorPlanetEphemeris *OpenMinorPlanetEphemeris();
void CloseMinorPlanetEphemeris(MinorPlanetEphemeris *handle);
// Place of packaged minor planet N for a completed date: 1, -1 when the date
// lay outside the element files (nearest used), 0 on failure (also for an
// unused record: the number is then not marked loaded). Outputs may be null.
int ComputeMinorPlanetPosition(MinorPlanetEphemeris *handle, const DateRecord *date,
                               int32_t number, double *ra, double *dec, double *r,
                               double *delta, double *elongation, double *magnitude);

// The coarse track of an orbit for the 40 days around epochJD (UT Julian
// date of the element epoch): eleven astrometric places 4 days apart from
// epoch - 20 d. The track is marked unusable (code 0 in sample 0) when the
// motion departs from a straight line by more than 58 arcseconds at the half
// steps tested (after samples 1, 5 and 10) or the body comes within 0.21 AU.
void ComputeOrbitTrack(const OrbitRecord *orbit, double epochJD,
                       TrackSample samples[kTrackSampleCount]);
// Magnitude code of m: (m - 4) / 23 x 255 rounded, kept within 1..255 (0 is
// reserved for an unusable track, and an out-of-range magnitude must not
// wrap round).
uint8_t EncodeTrackMagnitude(double magnitude);
double DecodeTrackMagnitude(uint8_t code);
// An angle as a rounded fraction of a full turn x 2147483647, and back.
int32_t EncodeTurnFraction(double radians);
double DecodeTurnFraction(int32_t value);
// Sample interval i holding JD (start = epoch - 20 d): i with *fraction in
// 0..1, or -1 outside the track.
int FindTrackInterval(int count, double startJD, double jd, double *fraction);
// Place between samples i and i + 1 (RA may exceed 2 pi across 0 h).
void InterpolateTrack(const TrackSample *samples, int i, double fraction, double *ra,
                      double *dec, double *magnitude);
