// The user's own minor planets: mp.bin in the user data folder (int32 record
// count, int32 highest object id, 233-byte element sets from byte 8), each
// object with one set per epoch, and its three derived indexes: mpn.bin (the
// first set of every number 1..1,000,000), mp_alpha.bin (names, sorted
// ignoring case) and mpid.bin (the first set of every object id). The indexes
// are deleted whenever records move and rebuilt when next opened; every
// lookup through them checks the key of the record it reaches and rebuilds a
// stale index once. Objects are class 14 of the object model; the index in
// the class is the object id.
#pragma once
#include <cstdint>
#include <cstdio>

#include "ephem/orbit.h"
#include "minorbodies/mpdatabase.h"

struct DateRecord;

const int kUserMinorPlanetNameSize = 33;
const int kUserMinorPlanetSourceSize = 33;
const int32_t kMaxIndexedMinorPlanetNumber = 1000000;
// The empty slot of mpn.bin.
const int32_t kEmptyNumberSlot = 1000000;
// Two epochs closer than this (Julian centuries) are the same epoch.
const double kSameEpochCenturies = 3e-10;
// Size of the transfer records of versions below 3000.
const int kOldMinorPlanetRecordSize = 116;
// Name-search threshold (percent).
const int kUserMinorPlanetSearchThreshold = 80;

#pragma pack(push, 1)
struct MinorPlanetRecord {
    char name[kUserMinorPlanetNameSize];
    int32_t number;          // 0 = unnumbered
    double perihelionTime;   // Julian centuries TT from J2000
    double epoch;            // Julian centuries TT from J2000
    double q;                // AU
    double a;                // AU
    double e;
    float inclination;       // rad
    float perihelion;        // argument of perihelion, rad
    float node;              // rad
    float H;
    float G;
    int32_t objectId;        // 1 upward; 0 = not yet assigned
    char source[kUserMinorPlanetSourceSize];
    TrackSample track[kTrackSampleCount];
};
struct NameIndexEntry {
    char name[33];
    int32_t recordIndex;
};
#pragma pack(pop)
static_assert(sizeof(MinorPlanetRecord) == 233, "MinorPlanetRecord is 233 bytes");
static_assert(sizeof(NameIndexEntry) == 37, "NameIndexEntry is 37 bytes");

// ---- paths (out holds 1024 bytes; 0 when the user folder is not set) ----------
int FormatUserMinorPlanetFilePath(char *out);
int FormatUserMinorPlanetBackupPath(char *out);
int FormatUserMinorPlanetNumberIndexPath(char *out);
int FormatUserMinorPlanetNameIndexPath(char *out);
int FormatUserMinorPlanetIdIndexPath(char *out);

// ---- the file -------------------------------------------------------------------
int CreateUserMinorPlanetFile();
// mp.bin "r+b" (created empty when missing) at byte 8 with its count; null on
// failure.
FILE *OpenUserMinorPlanetFile(int32_t *count);
// Another computer's or a backup's mp.bin, read only.
FILE *OpenOtherUserMinorPlanetFile(const char *path, int32_t *count);
int ReadUserMinorPlanetHeader(FILE *stream, int32_t *count, int32_t *highestId);
int ReadUserMinorPlanetRecord(FILE *stream, MinorPlanetRecord *record, int32_t n);
// Overwrites set n (0 <= n < count) with its track recomputed.
int WriteUserMinorPlanetRecord(FILE *stream, MinorPlanetRecord *record, int32_t n);
// Appends with object id 0 and its track; the record first, then the count.
int AppendUserMinorPlanetRecord(FILE *stream, MinorPlanetRecord *record, int32_t *count);
// Deleting rewrites the whole file crash-safely (the stream is reopened) and
// deletes the indexes, whose slots would otherwise reach other records.
int DeleteUserMinorPlanetRecord(FILE **stream, int32_t n);
int DeleteUserMinorPlanetObject(FILE **stream, int32_t id);
// Keeps the sets whose byte in deleteFlags (one per record) is 0. The
// highest id given so far is kept, so the ids of removed objects are never
// given again (log entries, notes and lists name user objects by id).
// progress is called every count / steps records. 1 on success; 0 leaves
// mp.bin as it was.
int CompactUserMinorPlanetFile(const uint8_t *deleteFlags, int steps, void (*progress)());
int RecomputeUserMinorPlanetTracks();
void DeleteUserMinorPlanetIndexes();

// ---- records --------------------------------------------------------------------
// 0 when number and name are both missing or the elements build no orbit.
// inclination, perihelion and node in degrees; T, epoch Julian centuries TT.
int BuildMinorPlanetRecord(MinorPlanetRecord *record, int32_t number, const char *name, double T,
                           double epoch, double M, double n, double a, double q, double e,
                           double perihelion, double node, double inclination, double H,
                           double G, const char *source);
// Angles out in degrees; a = q / (1 - e). Outputs may be null (name and
// source take 33 bytes).
void UnpackMinorPlanetRecord(const MinorPlanetRecord *record, int32_t *number, char *name,
                             double *T, double *epoch, double *q, double *e, double *perihelion,
                             double *node, double *inclination, double *H, double *G,
                             char *source, double *a);
// The orbit of a set, completed; 0 when it builds none.
int BuildUserMinorPlanetOrbit(const MinorPlanetRecord *record, OrbitRecord *orbit);
// An older 116-byte transfer record: bytes 0-100 kept, the source from byte
// 105 (bounded and terminated), the track computed afresh.
void ConvertOldUserMinorPlanetRecord(const uint8_t *old, MinorPlanetRecord *record);
int ReadOldUserMinorPlanetRecord(FILE *stream, int index, MinorPlanetRecord *record);
// The 138-byte records of the second generation: bytes 0-100 as now, the
// source text at 105. Record index of a file at 8 + 138 index (the next one
// at the stream's position when index is negative), with the track marked
// unusable; 1, or 0 for a null argument or a failed seek or read.
const int kVersion2MinorPlanetRecordSize = 138;
int ReadVersion2MinorPlanetRecord(FILE *stream, int index, MinorPlanetRecord *record);
// The record in the second generation's layout (138 bytes out). 1, or 0 for
// a null argument.
int ConvertMinorPlanetRecordToVersion2(const MinorPlanetRecord *record, uint8_t *version2);
// The coarse track of the set (unusable when the set builds no orbit).
void ComputeUserMinorPlanetTrack(MinorPlanetRecord *record);
// An mp.bin of 116-byte records (versions below 3000) converted into a new
// file crash-safely, every track computed; 1 when every record was.
int UpgradeUserMinorPlanetFile(const char *oldPath, const char *newPath);
// The order of a sorted mp.bin: numbered first by number, then by name
// ignoring case; larger ids first; newer epochs first. <0, 0, >0.
int CompareUserMinorPlanetRecords(const MinorPlanetRecord *a, const MinorPlanetRecord *b);
// The one order of the name index, for sorting and searching alike.
int CompareUserMinorPlanetNames(const char *a, const char *b);

// ---- indexes ----------------------------------------------------------------------
FILE *OpenUserMinorPlanetNumberIndex(FILE *mp, int32_t *count, int32_t *highestNumber);
// 1 with the number and name of slot's record (slot -1: the next); -1 empty slot;
// 0 beyond the slots or on a failed read.
int ReadUserMinorPlanetNumberEntry(FILE *mp, FILE *index, int32_t slot, int32_t slotCount,
                                   int32_t *number, char *name);
// Index of the found set + 1; 0 absent; -1 when the index cannot be read.
int FindUserMinorPlanetByNumber(FILE *mp, int32_t count, int32_t number, double epoch,
                                MinorPlanetRecord *record);
FILE *OpenUserMinorPlanetNameIndex(FILE *mp, int32_t *count, int32_t *firstNonDigit);
int ReadUserMinorPlanetNameEntry(FILE *mp, FILE *index, int32_t entry, int32_t entryCount,
                                 char *name, int32_t *number);
// >0 found (index + 1), 0 absent, -1 for an empty name or a read failure.
int FindUserMinorPlanetByName(FILE *mp, int32_t count, const char *name, double epoch,
                              MinorPlanetRecord *record);
FILE *OpenUserMinorPlanetIdIndex(FILE *mp, int32_t *highestId);
// 1 with the first set of the id and its index + 1; 0 otherwise.
int ReadUserMinorPlanetById(FILE *mp, int32_t id, MinorPlanetRecord *record, int32_t *index);

// ---- lookups of the object model ----------------------------------------------------
// The object id of the number (when above 0) or the name; 0 absent.
int32_t FindUserMinorPlanetId(FILE *mp, const char *name, const int32_t *number,
                              MinorPlanetRecord *record);
// Index of the object's first set, -1 when absent.
int32_t FindUserMinorPlanetRecordIndex(FILE *mp, const int32_t *id, const char *name,
                                       const int32_t *number, double epoch,
                                       MinorPlanetRecord *record);
int ReadNextUserMinorPlanet(FILE *mp, int32_t id, char *name, int32_t *number, int32_t count,
                            int32_t *idOut);
void RewindUserMinorPlanets(FILE *mp, MinorPlanetRecord *record);
int NextUserMinorPlanetElementSet(FILE *mp, MinorPlanetRecord *record, int32_t *index, int32_t id,
                                  int32_t count);
// The place from the set whose epoch is nearest the date (the earlier on a
// tie). recordIndex: in, the first set + 1 when above 0; out, the same.
// Outputs may be null. 1; 0 when the object is missing.
int ComputeUserMinorPlanetPosition(FILE *mp, const DateRecord *date, int32_t id, char *name,
                                   int32_t *number, double *ra, double *dec, double *r,
                                   double *delta, double *elongation, double *magnitude,
                                   double *epoch, OrbitRecord *orbit, int32_t *recordIndex);

// ---- adding and sorting --------------------------------------------------------------
// 1 appended (new object or epoch), 2 replaced that very set, 3 identical
// (nothing written), 0 on a failure.
int AddUserMinorPlanetElements(FILE *mp, MinorPlanetRecord *record, int32_t *count);
// Sorts and gives ids to new objects; rewrites crash-safely (the stream is
// reopened) and deletes the indexes. 1 on success.
int SortUserMinorPlanetFile(FILE **mp, int32_t count, int32_t *highestId);

// Visits every name-index entry (in index order) until visit answers false:
// the name and the object id of its record. 0 when mp.bin or its index
// cannot be opened, -1 on a read failure, else 1. The read-only search of
// the object model stands on it.
int ForEachUserMinorPlanetName(bool fromDigits,
                               bool (*visit)(void *context, const char *name, int32_t id),
                               void *context);
