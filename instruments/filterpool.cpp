// The filter pool filters.bin.
#include "instruments/filterpool.h"

#include <cstddef>

#include "core/textutil.h"
#include "instruments/poolupgrade.h"

namespace {

int SameFilterValues(const void *a, const void *b) {
    const FilterRecord *x = (const FilterRecord *)a, *y = (const FilterRecord *)b;
    double v[2][6] = {{x->wavelength, x->bandwidth, x->peakTransmission, x->zeroPoint,
                       x->surfaceTransmission, x->mirrorReflectance},
                      {y->wavelength, y->bandwidth, y->peakTransmission, y->zeroPoint,
                       y->surfaceTransmission, y->mirrorReflectance}};
    for (int i = 0; i < 6; ++i)
        if (v[0][i] != v[1][i]) return 0;
    return 1;
}

}  // namespace

const PoolLayout kFilterPool = {
    "filters.bin", "filter.bak", 4, (int)sizeof(FilterRecord), 0, 33,
    (int)offsetof(FilterRecord, poolId), 4, SameFilterValues, UpgradeFilterPool};

FILE *OpenFilterFile(int32_t *count) { return OpenPool(kFilterPool, count, nullptr); }
FILE *OpenOtherFilterFile(const char *path, int32_t *count) {
    return OpenOtherPool(kFilterPool, path, count, nullptr);
}
int ReadFilterRecord(FILE *f, int index, FilterRecord *record) {
    return ReadPoolRecord(f, kFilterPool, index, record);
}
int WriteFilterRecord(FILE *f, int index, const FilterRecord *record) {
    return WritePoolRecord(f, kFilterPool, index, record);
}
int FindFilterRecordByName(FILE *f, const FilterRecord *probe, int *index, int *id, int n) {
    return FindPoolRecordByName(f, kFilterPool, probe, index, id, n);
}
int CompareFilterRecords(const FilterRecord *a, const FilterRecord *b) {
    if (!a || !b) return 0;
    FilterRecord x = *a, y = *b;
    x.name[sizeof x.name - 1] = y.name[sizeof y.name - 1] = '\0';
    return CompareStringsNoCase(x.name, y.name) == 0 && SameFilterValues(&x, &y) ? 1 : 0;
}
int FindFilterRecordById(FILE *f, int id, FilterRecord *record) {
    return FindPoolRecordById(f, kFilterPool, id, record);
}
int AppendFilterRecord(FILE *f, FilterRecord *record) {
    return AppendPoolRecord(f, kFilterPool, record);
}
int GetFilterRecord(int index, FilterRecord *record) {
    return GetPoolRecord(kFilterPool, index, record);
}
int GetFilterRecordById(int id, FilterRecord *record) {
    return GetPoolRecordById(kFilterPool, id, record);
}
int FindFilterIndexById(int id) { return FindPoolIndexById(kFilterPool, id); }
int UpdateFilterRecord(int index, const FilterRecord *record) {
    return UpdatePoolRecord(kFilterPool, index, record);
}
int AddFilterRecord(FilterRecord *record) { return AddPoolRecord(kFilterPool, record); }
int DeleteFilterRecordById(int id) { return DeletePoolRecordById(kFilterPool, id); }
int BackupFilterFile() { return BackupPool(kFilterPool); }
int RestoreFilterFile() { return RestorePool(kFilterPool); }
