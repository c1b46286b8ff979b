// The lens pool "lenses.bin" (backup "lenses.bak"): 84-byte LensRecords
// behind a 4-byte header (last id, count). Results: 1 success, 0 failure
// unless said otherwise; ids 0 on failure.
#pragma once
#include <cstdint>
#include <cstdio>

#include "instruments/camerarecords.h"
#include "instruments/poolfile.h"

extern const PoolLayout kLensPool;

FILE *OpenLensFile(int32_t *count);
FILE *OpenOtherLensFile(const char *path, int32_t *count);
int ReadLensRecord(FILE *f, int index, LensRecord *record);
int WriteLensRecord(FILE *f, int index, const LensRecord *record);
// Name ignoring case; the focal length and focal ratio decide 1 or 2.
int FindLensRecordByName(FILE *f, const LensRecord *probe, int *index, int *id, int n);
int CompareLensRecords(const LensRecord *a, const LensRecord *b);
int FindLensRecordById(FILE *f, int id, LensRecord *record);
int AppendLensRecord(FILE *f, LensRecord *record);
int GetLensRecord(int index, LensRecord *record);
int GetLensRecordById(int id, LensRecord *record);
int FindLensIndexById(int id);
int UpdateLensRecord(int index, const LensRecord *record);
int AddLensRecord(LensRecord *record);
int DeleteLensRecordById(int id);
int BackupLensFile();
int RestoreLensFile();
