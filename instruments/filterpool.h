// The filter pool "filters.bin" (backup "filter.bak"): 221-byte FilterRecords
// behind a 4-byte header (last id, count). Results: 1 success, 0 failure
// unless said otherwise; ids 0 on failure.
#pragma once
#include <cstdint>
#include <cstdio>

#include "instruments/camerarecords.h"
#include "instruments/poolfile.h"

extern const PoolLayout kFilterPool;

FILE *OpenFilterFile(int32_t *count);
FILE *OpenOtherFilterFile(const char *path, int32_t *count);
int ReadFilterRecord(FILE *f, int index, FilterRecord *record);
int WriteFilterRecord(FILE *f, int index, const FilterRecord *record);
// Name ignoring case; wavelength, FWHM, peak and surface transmission, zero
// point and mirror reflectance decide 1 or 2 (not the quantum efficiency).
int FindFilterRecordByName(FILE *f, const FilterRecord *probe, int *index, int *id, int n);
int CompareFilterRecords(const FilterRecord *a, const FilterRecord *b);
int FindFilterRecordById(FILE *f, int id, FilterRecord *record);
int AppendFilterRecord(FILE *f, FilterRecord *record);
int GetFilterRecord(int index, FilterRecord *record);
int GetFilterRecordById(int id, FilterRecord *record);
int FindFilterIndexById(int id);
int UpdateFilterRecord(int index, const FilterRecord *record);
int AddFilterRecord(FilterRecord *record);
int DeleteFilterRecordById(int id);
int BackupFilterFile();
int RestoreFilterFile();
