// The one pattern of the four pool files (eyepieces, cameras, filters,
// lenses) in the user data folder: a header (a 5-byte version stamp for the
// camera pool), the last id given and the count as unsigned 16-bit values,
// then fixed-size records in order of appending. Ids grow by one from 1 and
// are never given again; deleting shifts the later records down without
// shortening the file. A pool that does not exist yet is created empty when it
// is opened for update, so that a new user can add the first record.
// Results: 1 success, 0 failure unless said otherwise.
#pragma once
#include <cstdint>
#include <cstdio>

struct PoolLayout {
    const char *fileName;    // "filters.bin"
    const char *backupName;  // "filter.bak"
    int headerSize;          // 4, or 9 with a stamp
    int recordSize;
    int nameOffset;          // of the name field in a record
    int nameSize;
    int idOffset;            // of the pool id in a record
    int idWidth;             // 2 or 4 bytes; ids are compared as 16-bit values
    // 1 when the values the find by name compares are equal (the names were
    // already found equal ignoring case).
    int (*sameValues)(const void *a, const void *b);
    // Brings an existing pool of an older layout up to date before it is
    // opened for update (null: none); 0 when the pool cannot be used.
    int (*upgrade)();
};

// Opens the pool "r+b" (creating an empty one when there is none), reads the
// header, gives the count and the stamp (5 bytes, stamped pools only) and
// rewinds. None on failure.
FILE *OpenPool(const PoolLayout &pool, int32_t *count, uint8_t *stamp);
// Another folder's pool, "rb"; never created.
FILE *OpenOtherPool(const PoolLayout &pool, const char *path, int32_t *count, uint8_t *stamp);
int ReadPoolHeader(FILE *f, const PoolLayout &pool, uint16_t *lastId, uint16_t *count);
// Record i at header + i x record size; no bound check (the callers keep i
// below the count).
int ReadPoolRecord(FILE *f, const PoolLayout &pool, int index, void *record);
int WritePoolRecord(FILE *f, const PoolLayout &pool, int index, const void *record);
uint16_t GetPoolRecordId(const PoolLayout &pool, const void *record);
void SetPoolRecordId(const PoolLayout &pool, void *record, uint16_t id);
// The record (its id set to last id + 1, also in the caller's copy) after the
// counted ones, then the header. The new id, or 0 (header unchanged) on
// failure or when the 16-bit id or count would wrap.
int AppendPoolRecord(FILE *f, const PoolLayout &pool, void *record);
// Looks through the first n records for the probe's name ignoring case:
// -1 no file, a failed seek or a record unreadable before the n-th; 0 for
// n <= 0 or no match; 1 same values, 2 other values (index and id stored).
int FindPoolRecordByName(FILE *f, const PoolLayout &pool, const void *probe, int *index, int *id,
                         int n);
// The first record with the id into record (which holds the last one read when
// none matches). 1 found, else 0.
int FindPoolRecordById(FILE *f, const PoolLayout &pool, int id, void *record);

// Operations that open and close the pool themselves.
// Record i (0 .. count - 1); its id, or 0.
int GetPoolRecord(const PoolLayout &pool, int index, void *record);
int GetPoolRecordById(const PoolLayout &pool, int id, void *record);
// Index of the record with the id, -1 when none.
int FindPoolIndexById(const PoolLayout &pool, int id);
// Overwrites record i (0 .. count - 1).
int UpdatePoolRecord(const PoolLayout &pool, int index, const void *record);
// Appends; the new id or 0.
int AddPoolRecord(const PoolLayout &pool, void *record);
int DeletePoolRecordAt(const PoolLayout &pool, int index);
int DeletePoolRecordById(const PoolLayout &pool, int id);
// The pool to its ".bak", and back. The destination is replaced only by a
// complete copy of the header and the counted records; a missing source gives
// 0 and leaves the destination untouched.
int BackupPool(const PoolLayout &pool);
int RestorePool(const PoolLayout &pool);
