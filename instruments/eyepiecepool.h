// The eyepiece pool "eyep.bin" (backup "eyep.bak"): 43-byte EyepieceRecords
// behind a 4-byte header (last id, count). Results: 1 success, 0 failure
// unless said otherwise; ids 0 on failure.
#pragma once
#include <cstdint>
#include <cstdio>

#include "instruments/camerarecords.h"
#include "instruments/poolfile.h"

extern const PoolLayout kEyepiecePool;

FILE *OpenEyepieceFile(int32_t *count);
FILE *OpenOtherEyepieceFile(const char *path, int32_t *count);
int ReadEyepieceRecord(FILE *f, int index, EyepieceRecord *record);
// Name ignoring case; the focal length and apparent field decide 1 or 2.
int FindEyepieceRecordByName(FILE *f, const EyepieceRecord *probe, int *index, int *id, int n);
// Record i: name (33 bytes), focal length mm and apparent field degrees; the id.
int GetEyepieceRecord(int index, char *name, double *focalLength, double *apparentField);
int GetEyepieceRecordById(int id, char *name, double *focalLength, double *apparentField);
// Rewrites record i's name (when given) and values, keeping its id.
int UpdateEyepieceRecord(int index, const char *name, double focalLength, double apparentField);
// Appends a new eyepiece; its id.
int AddEyepieceRecord(const char *name, double focalLength, double apparentField);
int DeleteEyepieceRecord(int index);
int BackupEyepieceFile();
int RestoreEyepieceFile();
