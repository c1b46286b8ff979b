// The user's own stars (stellar.bin), deep-sky objects (uds.bin) and sky
// marks (skymark.bin): one design for the three. Each file is a header (count,
// last id given) and fixed records whose first field is the int32 object id;
// ids start at 1 and a new record gets last id + 1, and an id once given is
// never given again (compaction keeps the last id: log entries, notes and
// lists name user objects by id). Each store has a name index (NameIndexEntry
// of minorbodies/usermp.h, sorted ignoring case, searched with the same
// order) and an id index (the record index at byte 4 x id); both are derived,
// deleted whenever records move and rebuilt when next opened, and every read
// through them checks the record it reaches. Deletions and compaction rewrite
// the whole file crash-safely. Objects are classes 12, 18 and 15.
#pragma once
#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct UserStarRecord {
    int32_t id;
    int32_t rightAscension;  // turns x 2147483647
    int32_t declination;
    int16_t magnitude;       // x 100
    char name[33];
};
struct UserDeepSkyRecord {
    int32_t id;
    int32_t rightAscension;
    int32_t declination;
    int16_t magnitude;
    int16_t positionAngle;   // tenths of a degree
    char name[33];
    uint8_t typeCode;        // object class 6-11, 16, 17
    int16_t size1;           // x 100 (arcminutes)
    int16_t size2;
};
struct SkyMarkRecord {
    int32_t id;
    int32_t rightAscension;
    int32_t declination;
    char name[33];
};
#pragma pack(pop)
static_assert(sizeof(UserStarRecord) == 47, "UserStarRecord is 47 bytes");
static_assert(sizeof(UserDeepSkyRecord) == 54, "UserDeepSkyRecord is 54 bytes");
static_assert(sizeof(SkyMarkRecord) == 45, "SkyMarkRecord is 45 bytes");

// The uint16 counts of the star and sky-mark files.
const int32_t kMaxUint16Records = 65535;
// Magnitude of a record without one.
const double kUserCatalogueNoMagnitude = 99.9;

// The merge question: the text, and 0 keep, 1 replace, 2 replace all, 3
// keep all (the shape of userdata's MergeQuestionCallback).
typedef int (*UserCatalogueQuestion)(const char *message);
// States of a merge run's question.
const int kMergeStateAsk = 0;
const int kMergeStateReplaceAll = 1;
const int kMergeStateKeepAll = 2;

// ---- paths (1024 bytes; 0 when the user folder is not set) --------------------
int FormatUserStarFilePath(char *out);
int FormatUserStarBackupPath(char *out);
int FormatUserStarNameIndexPath(char *out);
int FormatUserStarIdIndexPath(char *out);
int FormatUserDeepSkyFilePath(char *out);
int FormatUserDeepSkyBackupPath(char *out);
int FormatUserDeepSkyNameIndexPath(char *out);
int FormatUserDeepSkyIdIndexPath(char *out);
int FormatSkyMarkFilePath(char *out);
int FormatSkyMarkBackupPath(char *out);
int FormatSkyMarkNameIndexPath(char *out);
int FormatSkyMarkIdIndexPath(char *out);

// ---- files --------------------------------------------------------------------
int CreateUserStarFile();
int CreateUserDeepSkyFile();
int CreateSkyMarkFile();
// "r+b" at the first record, created empty when absent; null on failure.
FILE *OpenUserStarFile(int32_t *count);
FILE *OpenUserDeepSkyFile(int32_t *count);
FILE *OpenSkyMarkFile(int32_t *count);
// Another computer's or a backup's file, read only.
FILE *OpenOtherUserStarFile(const char *path, int32_t *count);
FILE *OpenOtherUserDeepSkyFile(const char *path, int32_t *count);
FILE *OpenOtherSkyMarkFile(const char *path, int32_t *count);

int ReadUserStarRecord(FILE *file, UserStarRecord *record, int32_t n);
int ReadUserDeepSkyRecord(FILE *file, UserDeepSkyRecord *record, int32_t n);
int ReadSkyMarkRecord(FILE *file, SkyMarkRecord *record, int32_t n);
int WriteUserStarRecord(FILE *file, const UserStarRecord *record, int32_t n);
int WriteUserDeepSkyRecord(FILE *file, const UserDeepSkyRecord *record, int32_t n);
int WriteSkyMarkRecord(FILE *file, const SkyMarkRecord *record, int32_t n);
// Appends with id = last id + 1 (the record first, then count and last id);
// 0 when the count is full (65535 for stars and sky marks).
int AppendUserStarRecord(FILE *file, UserStarRecord *record);
int AppendUserDeepSkyRecord(FILE *file, UserDeepSkyRecord *record);
int AppendSkyMarkRecord(FILE *file, SkyMarkRecord *record);
// Deleting rewrites the file (the stream is reopened) and deletes the indexes.
int DeleteUserStarRecord(FILE **file, int32_t n);
int DeleteUserDeepSkyRecord(FILE **file, int32_t n);
int DeleteSkyMarkRecord(FILE **file, int32_t n);
int DeleteUserStarById(FILE **file, int32_t id);
int DeleteUserDeepSkyById(FILE **file, int32_t id);
int DeleteSkyMarkById(FILE **file, int32_t id);
// Keeps the records whose flag is 0; 1 on success, 0 with the file as it was.
int CompactUserStarFile(const uint8_t *deleteFlags, int steps, void (*progress)());
int CompactUserDeepSkyFile(const uint8_t *deleteFlags, int steps, void (*progress)());
int CompactSkyMarkFile(const uint8_t *deleteFlags, int steps, void (*progress)());
void DeleteUserStarIndexes();
void DeleteUserDeepSkyIndexes();
void DeleteSkyMarkIndexes();

// ---- records --------------------------------------------------------------------
// Radians in, turn fractions and hundredths stored (rounded half away from
// zero); the id is left as it is. Deep-sky position angle in degrees, sizes
// in arcminutes.
void PackUserStarRecord(UserStarRecord *record, const char *name, double ra, double dec, double magnitude);
void UnpackUserStarRecord(const UserStarRecord *record, char *name, double *ra, double *dec, double *magnitude);
void PackUserDeepSkyRecord(UserDeepSkyRecord *record, const char *name, int typeCode, double ra, double dec,
                           double magnitude, double size1, double size2, double positionAngle);
// The position angle out in radians, the sizes unconverted; returns the type code.
int UnpackUserDeepSkyRecord(const UserDeepSkyRecord *record, char *name, double *ra, double *dec,
                            double *magnitude, double *size1, double *size2, double *positionAngle);
void PackSkyMarkRecord(SkyMarkRecord *record, const char *name, double ra, double dec);
void UnpackSkyMarkRecord(const SkyMarkRecord *record, char *name, double *ra, double *dec);
// 1 when the stored values are equal and the names equal ignoring case.
int CompareUserStarRecords(const UserStarRecord *a, const UserStarRecord *b);
int CompareUserDeepSkyRecords(const UserDeepSkyRecord *a, const UserDeepSkyRecord *b);
// Category bit of a deep-sky type code; 0 for any other code.
uint32_t GetUserDeepSkyCategoryBits(int typeCode);

// ---- name lookups ---------------------------------------------------------------
// Index file opened (rebuilt when missing); null on failure.
FILE *OpenUserStarNameIndex(FILE *file, int32_t *count);
FILE *OpenUserDeepSkyNameIndex(FILE *file, int32_t *count);
FILE *OpenSkyMarkNameIndex(FILE *file, int32_t *count);
// The one order of every name index: bytes compared ignoring case.
int CompareUserStarNameEntry(const char *key, const char *name);
int CompareUserDeepSkyNameEntry(const char *key, const char *name);
int CompareSkyMarkNameEntry(const char *key, const char *name);
// The record whose name equals the key ignoring case, else the first whose
// name begins with it: record index + 1; 0 none; -1 for an empty name or a
// failed read.
int FindUserStarInNameIndex(FILE *file, const char *name, UserStarRecord *record);
int FindUserDeepSkyInNameIndex(FILE *file, const char *name, UserDeepSkyRecord *record);
int FindSkyMarkInNameIndex(FILE *file, const char *name, SkyMarkRecord *record);
int FindUserStarByName(FILE *file, const char *name, UserStarRecord *record);
int FindUserDeepSkyByName(FILE *file, const char *name, UserDeepSkyRecord *record);
int FindSkyMarkByName(FILE *file, const char *name, SkyMarkRecord *record);

// ---- id lookups -------------------------------------------------------------------
FILE *OpenUserStarIdIndex(FILE *file, int32_t *highestId);
FILE *OpenUserDeepSkyIdIndex(FILE *file, int32_t *highestId);
FILE *OpenSkyMarkIdIndex(FILE *file, int32_t *highestId);
// Writes one slot (or rebuilds the index when it is missing); 1 on success.
int SetUserStarIdIndexEntry(FILE *file, int32_t id, int32_t index);
int SetUserDeepSkyIdIndexEntry(FILE *file, int32_t id, int32_t index);
int SetSkyMarkIdIndexEntry(FILE *file, int32_t id, int32_t index);
// 1 with the record of the id and its index + 1; 0 otherwise.
int ReadUserStarByIdIndex(FILE *file, int32_t id, UserStarRecord *record, int32_t *index);
int ReadUserDeepSkyByIdIndex(FILE *file, int32_t id, UserDeepSkyRecord *record, int32_t *index);
int ReadSkyMarkByIdIndex(FILE *file, int32_t id, SkyMarkRecord *record, int32_t *index);
// The record of the id: its id (0 when not found), index + 1 in *index.
int32_t GetUserStarById(FILE *file, int32_t id, UserStarRecord *record, int32_t *index);
int32_t GetUserDeepSkyById(FILE *file, int32_t id, UserDeepSkyRecord *record, int32_t *index);
int32_t GetSkyMarkById(FILE *file, int32_t id, SkyMarkRecord *record, int32_t *index);
// The unpacked values of the id (radians; deep-sky sizes in arcminutes); 1
// found, 0 not. Outputs may be null (name 33 bytes).
int GetUserStarData(FILE *file, int32_t id, char *name, double *ra, double *dec, double *magnitude);
int GetUserDeepSkyData(FILE *file, int32_t id, UserDeepSkyRecord *record, char *name, double *ra, double *dec,
                       double *magnitude, double *size1, double *size2, double *positionAngle);
int GetSkyMarkData(FILE *file, int32_t id, char *name, double *ra, double *dec);
// id -1: the record at the stream position (within count); else the record of
// the id. 1 with its name and id.
int ReadNextUserStarName(FILE *file, int32_t count, int32_t id, char *name, int32_t *idOut);
int ReadNextUserDeepSkyName(FILE *file, int32_t count, int32_t id, char *name, int32_t *idOut);
int ReadNextSkyMarkName(FILE *file, int32_t count, int32_t id, char *name, int32_t *idOut);

// ---- merging ----------------------------------------------------------------------
// One incoming record by name (stars exactly, the others ignoring case):
// absent -> appended with the next id (1); present and equal -> takes the
// stored id (2); present and different -> replaced when the replace flag is
// set, else (with a question and a state at kMergeStateAsk) the question
// decides, and 2 sets the state to replace all, 3 to keep all; sky marks
// never ask. The record carries the local id (and, when kept, the local
// data) afterwards. 0 on a read or write failure.
int MergeUserStarRecord(FILE *file, UserStarRecord *record, int replace,
                        UserCatalogueQuestion question = nullptr, int *state = nullptr);
int MergeUserDeepSkyRecord(FILE *file, UserDeepSkyRecord *record, int replace,
                           UserCatalogueQuestion question = nullptr, int *state = nullptr);
int MergeSkyMarkRecord(FILE *file, SkyMarkRecord *record, int replace);

// ---- text import --------------------------------------------------------------------
enum UserCatalogueKind { kUserCatalogueStars, kUserCatalogueDeepSky, kUserCatalogueSkyMarks };
struct UserCatalogueImport {
    FILE *text = nullptr;
    FILE *store = nullptr;
    int kind = kUserCatalogueStars;
    int32_t linesPerStep = 1;
    int32_t linesInStep = 0;
};
int BeginUserStarImport(UserCatalogueImport *state, const char *path, int steps);
int BeginUserDeepSkyImport(UserCatalogueImport *state, const char *path, int steps);
int BeginSkyMarkImport(UserCatalogueImport *state, const char *path, int steps);
// 1 after a step, 0 at the end of the file, -1 on a failed write.
int ImportUserStarLines(UserCatalogueImport *state, int32_t *added, int32_t *replaced, int32_t *skipped);
int ImportUserDeepSkyLines(UserCatalogueImport *state, int32_t *added, int32_t *replaced, int32_t *skipped);
int ImportSkyMarkLines(UserCatalogueImport *state, int32_t *added, int32_t *replaced, int32_t *skipped);
// Closes both files and deletes the indexes.
void EndUserStarImport(UserCatalogueImport *state);
void EndUserDeepSkyImport(UserCatalogueImport *state);
void EndSkyMarkImport(UserCatalogueImport *state);
// The deep-sky type of a line's prefix ("GG " 16, "G " 6, ...) with the
// prefix length; 0 when the line has none.
int UserDeepSkyTypeOfLine(const char *line, int *prefixLength);

// ---- chart passes ----------------------------------------------------------------------
// Filters of a pass; a limit at or above its "none" value is off.
const uint32_t kUserScanConstellation = 0x4000;
const uint32_t kUserScanField = 0x4;
const double kUserScanNoMagnitudeLimit = 90.0;
const double kUserScanNoSizeLimit = 2147483647.0;
struct UserCatalogueScan {
    FILE *file = nullptr;
    int kind = kUserCatalogueStars;
    int32_t count = 0, next = 0;
    double centuriesTT = 0.0;
    double centreRa = 0.0, centreDec = 0.0, radius = 0.0;  // radians
    double brightLimit = 99.0, faintLimit = 99.0;
    double minSize = kUserScanNoSizeLimit, maxSize = kUserScanNoSizeLimit;  // arcminutes
    uint32_t flags = 0;
    double progressStep = 1.0;
    void (*progress)(int percent) = nullptr;
    const volatile int *stop = nullptr;
};
struct DateRecord;
// The region lists of the chart are not consulted (the field test does the work).
int BeginUserStarScan(UserCatalogueScan *scan, const DateRecord *date, double ra, double dec, double radius,
                      double bright, double faint, uint32_t flags, void (*progress)(int),
                      const volatile int *stop);
int BeginUserDeepSkyScan(UserCatalogueScan *scan, const DateRecord *date, double ra, double dec, double radius,
                         double bright, double faint, double minSize, double maxSize, uint32_t flags,
                         void (*progress)(int), const volatile int *stop);
int BeginSkyMarkScan(UserCatalogueScan *scan, const DateRecord *date, double ra, double dec, double radius,
                     uint32_t flags, void (*progress)(int), const volatile int *stop);
// The id of the next record that passes (name 33 bytes, radians); 0 at the
// end or when the stop flag is set.
int32_t NextUserStarInScan(UserCatalogueScan *scan, char *name, double *ra, double *dec, double *magnitude);
int32_t NextUserDeepSkyInScan(UserCatalogueScan *scan, char *name, double *ra, double *dec, double *magnitude);
int32_t NextSkyMarkInScan(UserCatalogueScan *scan, char *name, double *ra, double *dec, double *magnitude);
void EndUserStarScan(UserCatalogueScan *scan);
void EndUserDeepSkyScan(UserCatalogueScan *scan);
void EndSkyMarkScan(UserCatalogueScan *scan);

// ---- names held in memory (recognition) -------------------------------------
// 0 when the store holds no name that the text begins (so a lookup by name
// cannot find one), else 1; no file is opened or made while the store is
// unchanged. The names are read once and again after this program changes
// a store or another program's change is seen (size or time, checked at
// most once a second).
int UserStarStoreMayHoldName(const char *name);
int UserDeepSkyStoreMayHoldName(const char *name);
int SkyMarkStoreMayHoldName(const char *name);
