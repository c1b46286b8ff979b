// The Earth-satellite element store "esat.bin" in the satellite folder: one
// EarthSatelliteRecord per satellite, ascending by catalogue number, with its
// name index "names.bin"; the full import from a three-line element text
// ("alldat.tle"), the update from a further text, the magnitude import
// ("qsat.dat"), selections by kind and by orbit, and the merge of two
// element files. Every rewrite goes whole through the crash-safe file layer.
#pragma once
#include <cstdint>
#include <cstdio>

#include "ephem/satrecord.h"

#pragma pack(push, 1)
// An entry of "names.bin".
struct SatelliteNameEntry {
    char name[17];
    int32_t recordIndex;
};
#pragma pack(pop)
static_assert(sizeof(SatelliteNameEntry) == 21, "SatelliteNameEntry is 21 bytes");

// The most satellites an import or an update collects from one text.
const int kMaxImportedSatellites = 50000;
// Magnitude-file catalogue number that ends the file.
const int kMagnitudeFileEnd = 99999;
// The magnitude file's figures are the brightest; the stored standard
// magnitude (half lit) is this much fainter.
const float kHalfPhaseMagnitudeOffset = 0.75f;

// The folder of every file of the store (any length; "" until set).
void SetSatelliteFolder(const char *folder);
const char *GetSatelliteFolder();
// "<folder>/<name>" into out; 0 when the folder is not set or out is small.
int MakeSatelliteFilePath(char *out, int size, const char *name);

// A new empty store (count 0); 1 when written.
int CreateSatelliteStore();
// The store opened "r+b" with its count read and checked against the file's
// size; null when missing, unreadable or its count exceeds the records there.
std::FILE *OpenSatelliteStore(uint32_t *count);
// Record index of an open store; 0 for no file or record, a negative index
// or a failed seek or read. The name and designator get their NULs forced.
int ReadSatelliteRecord(std::FILE *store, EarthSatelliteRecord *record, int index);
// Binary search by number; 1 with the record and its index, 0 when absent
// or the store cannot be opened.
int FindEarthSatelliteByNumber(EarthSatelliteRecord *record, uint32_t number, int *index);
// Binary search of "names.bin" (exact, case-sensitive); 1 with the index.
int FindSatelliteIndexByName(const char *name, int *index);

// Rebuilds the store from "alldat.tle": every good element pair (check
// digits right) becomes a satellite; sorted by number, of two sets of one
// number the later epoch kept. Writes "%d total\n" to standard output.
int ImportTwoLineElements();
// Updates the store from an open element text: a later epoch replaces a
// satellite's elements, a magnitude replaces a missing one, new satellites
// are merged in by number; one crash-safe rewrite. Writes "%d tle updated,
// %d mags updated, %d added\n" to standard output. 0 ("No file\n") for no
// text, or when the store cannot be read or written (it is then unchanged).
int UpdateSatellitesFromTwoLineElements(std::FILE *text);
// Applies "qsat.dat" (standard magnitudes and kind letters); "%d updated\n".
int ImportSatelliteMagnitudes();
// Creates the (empty) "esatv.bin" and writes "names.bin"; the number of
// satellites indexed, 0 on failure.
int BuildSatelliteIndexFiles();
// Reads count records from the store (positioned at its first record) and
// writes the sorted name index to the open index file; 1 or 0.
int WriteSatelliteNameIndex(uint32_t count, std::FILE *store, std::FILE *index);

// Satellites by kind: flag 0x20 never; with flaggedOnly only flag 0x10; of
// the wanted kinds (0x01 high eccentricity, 0x02 one-day, neither ordinary);
// and a magnitude limit (90 or more: none) on the brightest magnitude at the
// perigee height. A new array (free()) and its count; null and 0 for none.
EarthSatelliteRecord *SelectSatellitesByKind(int ordinary, int highEccentricity, int oneDay,
                                             int flaggedOnly, double magnitudeLimit, int *count);
// Satellites by eccentricity and revolutions per day (a bound of exactly -1
// is open) and the same magnitude test; no flag is tested.
EarthSatelliteRecord *SelectSatellitesByOrbit(double minimumEccentricity,
                                              double maximumEccentricity,
                                              double minimumRevolutions, double maximumRevolutions,
                                              double magnitudeLimit, int *count);
// Merges two element files (open, at their count, each sorted by number)
// into the output (ascending by number): of a satellite in both, the first
// file's copy when its epoch is later or its magnitude differs (and is
// below 90), else the second's; satellites only in the second get flag 0x20
// and are counted in *added. The number written, 0 on failure.
int MergeSatelliteFiles(std::FILE *first, std::FILE *second, std::FILE *output, int *added);

// "98067A" -> "1998-067-A" (years 46-99 the 1900s, 00-45 the 2000s); out
// holds at least 16 bytes. Returns out.
char *FormatInternationalDesignator(char *out, const char *designator);
// Appends a copy; 0 (the list unchanged) when memory runs out.
int AppendSatelliteToList(EarthSatelliteRecord **list, const EarthSatelliteRecord *record,
                          int *count);
// Adds 0x01 for e > 0.1 and 0x02 for a period within 2.5 hours of a day.
void UpdateSatelliteOrbitFlags(EarthSatelliteRecord *record);
// Empty name and designator, number 0, magnitude 99.9, flags 0; the
// elements are left as they are.
void InitEarthSatelliteRecord(EarthSatelliteRecord *record);

// Reads one satellite from a possible name line and an element pair; 1 when
// the pair is good (check digits right). The name is the name line's first
// 16 characters (a leading "0 " of the three-line form dropped, trailing
// blanks removed), or empty when there is no name line or it is itself an
// element line. The standard magnitude comes from columns 32-35 of a name
// line longer than 31 characters (99.9 without one). Flags are 0.
int ReadSatelliteFromLines(const char *nameLine, const char *line1, const char *line2,
                           EarthSatelliteRecord *record);
