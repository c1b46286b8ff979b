// The observer record and the observer store "observer.bin" in the user data
// folder: a signed 16-bit count, then 84-byte observer records (no version
// stamp, little-endian), with append, delete by whole rewrite, the lookup by name
// that the importer uses, the default observer and the ".bak" copy that the
// observer dialogs take. Results: 1 success, 0 failure unless said otherwise.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct ObserverRecord {
    char name[64];         // 0  NUL-terminated, at most 63 characters
    int32_t age;           // 64 years
    double pupilDiameter;  // 68 dark-adapted pupil, millimetres
    double experience;     // 76 0 novice .. 1 expert
};
#pragma pack(pop)

static_assert(sizeof(ObserverRecord) == 84, "ObserverRecord is 84 bytes");
static_assert(offsetof(ObserverRecord, age) == 64, "layout");
static_assert(offsetof(ObserverRecord, pupilDiameter) == 68, "layout");
static_assert(offsetof(ObserverRecord, experience) == 76, "layout");

// ---- file names ------------------------------------------------------------------

// "<user folder>/observer.bin" and "<user folder>/observer.bak" into buffer
// (size bytes); the buffer is emptied when the folder is not set or the path
// does not fit. Each returns the buffer.
char *MakeObserverFilePath(char *buffer, int size);
char *MakeObserverBackupPath(char *buffer, int size);

// ---- the store -------------------------------------------------------------------
// Indexes are 0-based; an index below 0 or not below the count read from the
// file fails. The caller opens the store, passes the stream and closes it.

// Opens observer.bin "r+b" (created with a count of 0 only when it does not
// exist) and gives its count; one that cannot be opened for writing (a
// read-only folder) is opened "rb", so its observers are still known. None
// on failure.
FILE *OpenObserverStore(int16_t *count);
// Opens another folder's observer file "rb" (merging another computer's data).
FILE *OpenObserverFile(const char *path, int16_t *count);
// observer.bin to observer.bak, and back. The destination is replaced only by
// a complete copy of the count and the counted records.
int BackupObserverFile();
int RestoreObserverFile();
// Reads the record at the stream's current position and copies its name
// (name holds 64 bytes).
int ReadNextObserver(FILE *f, char *name);
// Writes the record after the last one, then the raised count.
int AppendObserver(FILE *f, const ObserverRecord *record);
// The stored name is terminated at its last byte before use. A record whose
// values are out of range (ObserverValuesInRange) is damage: refused (0).
int ReadObserver(FILE *f, int index, ObserverRecord *record);
// 1 when the pupil is 0..20 mm, the experience -10..10 (a level is taken from
// any of these) and the age 0..200, all
// finite: the values the visibility arithmetic takes from an observer.
int ObserverValuesInRange(const ObserverRecord *record);
int UpdateObserver(FILE *f, int index, const ObserverRecord *record);
// Rewrites observer.bin whole without the record (slotstore.h's DeleteSlot):
// *f is closed and opened again, null when the reopening fails.
int DeleteObserver(FILE **f, int index);
// Looks for the first stored observer whose name equals the record's name,
// ignoring letter case. 1: pupil and experience both within 0.01 (strictly
// less); the stored record, with its spelling of the name, replaces the
// caller's. 2: the name matches with other values; the caller's record is left
// alone. 0: absent, an empty name or a failed read. index (may be null) gives
// the matching record, or the number of records read.
int FindObserver(FILE *f, ObserverRecord *record, int16_t *index);

// ---- the record ------------------------------------------------------------------

// Zeroes the record, copies at most 63 characters of the name and stores age,
// pupil (a pupil of exactly 0 is computed from the age) and experience.
// 0 when no record is given.
int InitObserverRecord(ObserverRecord *record, const char *name, int age, double pupil,
                       double experience);
// Dark-adapted pupil diameter in millimetres for an age in years:
// 7 exp(-0.5 (age / 100)^2); age 40 gives 6.4618 mm.
double ComputePupilForAge(double age);
// The level 0-4 of an experience value: the whole number nearest to 4 e,
// halves away from zero, kept within 0-4 (values read from a file may lie
// outside 0..1).
int GetExperienceLevel(double experience);
// "Novice", "Some experience", "Intermediate", "Very experienced", "Expert";
// a level outside 0-4 takes the nearest one.
const char *GetExperienceName(int level);
// Record 0 of the store, or "Default Observer", age 40, pupil from the age,
// experience 0.5 when the store holds none (nothing is written to the store).
void LoadDefaultObserver(ObserverRecord *record);
// Makes record one the observer store holds, so that a text naming it names a
// stored observer: the stored observer of its name (with the stored values),
// else the store's first observer. With no readable observer in the store the
// values are kept and the name is cleared. Returns 1 when record is now a
// stored observer, 0 when it was cleared.
int UseStoredObserver(ObserverRecord *record);
// "<level name> observer, <pupil>mm pupils" into text (size bytes).
char *DescribeObserver(const ObserverRecord *record, char *text, int size);
