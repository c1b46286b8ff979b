// The user's own comets: comet.bin in the user data folder (uint16 record
// count, uint16 highest object id, 135-byte CometRecords from byte 4), kept
// sorted as sets are added: numbered comets by number, then the others by
// designation ignoring case; within a comet the later perihelion first. A
// periodic comet has one set per apparition. There are no index files; every
// lookup reads from the start. Objects are class 13 of the object model; the
// index in the class is the object id. Insertions and deletions rewrite the
// whole file crash-safely (the stream is reopened).
#pragma once
#include <cstdint>
#include <cstdio>

#include "minorbodies/cometdb.h"

struct DateRecord;

// The coma a line gives when it gives none: 2000 x 1e-6 AU.
const int16_t kDefaultComaDiameter = 2000;
const int16_t kMaxComaDiameter = 32767;
// Coma of a record that holds 0, for the place (AU).
const double kFallbackComaAU = 0.001;
// The header's uint16 count and the record's int16 id bound the store.
const int32_t kMaxUserCometRecords = 65535;
const int32_t kMaxUserCometId = 32767;
// Magnitude of a comet whose set gives neither H nor K.
const double kNoCometMagnitude = 99.9;

int FormatUserCometFilePath(char *out);    // 1024 bytes
int FormatUserCometBackupPath(char *out);

int CreateUserCometFile();
// comet.bin "r+b" (created empty when missing) at byte 4 with its count.
FILE *OpenUserCometFile(int32_t *count);
FILE *OpenOtherUserCometFile(const char *path, int32_t *count);
int ReadUserCometHeader(FILE *stream, int32_t *count, int32_t *highestId);
int ReadUserCometRecord(FILE *stream, CometRecord *record, int32_t n);
int WriteUserCometRecord(FILE *stream, const CometRecord *record, int32_t n);
// Puts the record at n (0 <= n <= count), the others after it; 1 on success.
int InsertUserCometRecord(FILE **stream, const CometRecord *record, int32_t n);
int DeleteUserCometRecord(FILE **stream, int32_t n);
// Removes the consecutive sets of the id (also when they end the file).
int DeleteUserCometObject(FILE **stream, int32_t id);
int SortUserCometFile();
// Keeps the sets whose flag is 0; the highest id given stays (ids are never
// given twice). 1 on success, 0 with comet.bin as it was.
int CompactUserCometFile(const uint8_t *deleteFlags, int steps, void (*progress)());
void RewindUserComets(FILE *stream, CometRecord *record);
int NextUserCometElementSet(FILE *stream, CometRecord *record, int32_t *index, int32_t id,
                            int32_t count);

// 0 when the comet has neither number nor name and lacks a letter or a
// designation, or the elements build no orbit. Angles in degrees, coma in AU
// (rounded to 1e-6 AU, at most 32767 units).
int BuildCometRecord(CometRecord *record, uint16_t number, char letter, const char *name,
                     const char *designation, double T, double epoch, double M, double n,
                     double a, double q, double e, double perihelion, double node,
                     double inclination, double H, double K, double comaAU, int condensation,
                     const char *source);
// Returns the object id. Angles out in degrees; coma in AU; a = q / (1 - e).
// Outputs may be null (name 29, designation 17, source 33 bytes).
int32_t UnpackCometRecord(const CometRecord *record, uint16_t *number, char *letter, char *name,
                          char *designation, double *T, double *epoch, double *q, double *e,
                          double *perihelion, double *node, double *inclination, double *H,
                          double *K, double *comaAU, double *a, int *condensation, char *source);
int16_t ComaUnitsFromAU(double comaAU);
// The 130-byte records of versions below 3000 are read and converted by
// minorbodies/usercometupgrade.h.
int CompareUserCometRecords(const CometRecord *a, const CometRecord *b);

// The comet's object id: name when given, else designation, else number
// (ignoring case); 0 absent or nothing given; -1 without a stream.
int32_t FindUserCometId(FILE *stream, const char *name, const char *designation,
                        const uint16_t *number, CometRecord *record);
// Index of the first set of the comet with that id, name (a prefix),
// designation or number; -1 none. Empty names and designations match
// nothing.
int32_t FindUserCometRecordIndex(FILE *stream, const int32_t *id, const char *name,
                                 const char *designation, const uint16_t *number,
                                 CometRecord *record);
int ReadNextUserComet(FILE *stream, CometRecord *record, int32_t id, char *letter, char *name,
                      char *designation, uint16_t *number, char *label, int32_t count,
                      int32_t *index, int32_t *idOut);
// The place of the comet from its set nearest the date (the earlier on a
// tie), with coma, tail and magnitude (99.9 without H and K). recordIndex:
// in, the first set + 1 when above 0; out, the first set + 1.
int ComputeUserCometPosition(FILE *stream, const DateRecord *date, int32_t id, char *letter,
                             uint16_t *number, char *designation, char *name, char *label,
                             double *ra, double *dec, double *r, double *delta, double *elongation,
                             double *magnitude, double *comaSize, int *condensation,
                             double *tailLength, double *tailAngle, double *epoch,
                             OrbitRecord *orbit, int32_t *recordIndex);
// " 0 (diffuse)" ... " 9 (stellar)"; null outside 0-9.
const char *GetCondensationName(int degree);

// 1 new comet or apparition, 2 replaced, -1 refused (older, equal epoch or
// identical), 0 on a failure. The stream may be reopened.
int AddUserCometElements(FILE **stream, CometRecord *record, int acceptEqualEpoch,
                         int replaceMagnitudes);

// Every set's name and object id in file order until visit answers false. 0
// when comet.bin cannot be opened, -1 on a read failure, else 1.
int ForEachUserCometName(bool (*visit)(void *context, const char *name, int32_t id), void *context);
