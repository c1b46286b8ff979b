// The user's own stars (stellar.bin), deep-sky objects (uds.bin) and sky marks
// (skymark.bin) as far as the log store and the transfer records need them:
// open, look up by id, append and merge one record. Each file is a header
// (count, last id given) and fixed records whose first field is the int32
// object id; ids start at 1 and a new record gets last id + 1. The name and
// id index files are derived data: here they are only deleted, so that the
// full stores rebuild them when next opened.
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
    int16_t size1;           // x 100
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

// The file opened "r+b" at its first record, created empty when absent; null
// on failure.
FILE *OpenUserStarFile(int32_t *count);
FILE *OpenUserDeepSkyFile(int32_t *count);
FILE *OpenSkyMarkFile(int32_t *count);
// The record of the id: its id (0 when not found), index + 1 in *index.
int32_t GetUserStarById(FILE *file, int32_t id, UserStarRecord *record, int32_t *index);
int32_t GetUserDeepSkyById(FILE *file, int32_t id, UserDeepSkyRecord *record, int32_t *index);
int32_t GetSkyMarkById(FILE *file, int32_t id, SkyMarkRecord *record, int32_t *index);
// Appends with id = last id + 1, then stores count + 1 and the new last id.
int AppendUserStarRecord(FILE *file, UserStarRecord *record);
int AppendUserDeepSkyRecord(FILE *file, UserDeepSkyRecord *record);
int AppendSkyMarkRecord(FILE *file, SkyMarkRecord *record);
// Merges an incoming record by name (stars exactly, the others ignoring case):
// absent -> appended (1); present and equal -> takes the stored id (2);
// present and different -> replaced when the replace flag is 1, else the
// stored record is kept (2). The record's id is the local one afterwards.
// 0 on a read or write failure. No question is asked here.
int MergeUserStarRecord(FILE *file, UserStarRecord *record, int replace);
int MergeUserDeepSkyRecord(FILE *file, UserDeepSkyRecord *record, int replace);
int MergeSkyMarkRecord(FILE *file, SkyMarkRecord *record, int replace);

void DeleteUserStarIndexes();
void DeleteUserDeepSkyIndexes();
void DeleteSkyMarkIndexes();
