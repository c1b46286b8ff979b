// The lens pool lenses.bin.
#include "instruments/lenspool.h"

#include <cstddef>

#include "core/textutil.h"

namespace {

int SameLensValues(const void *a, const void *b) {
    const LensRecord *x = (const LensRecord *)a, *y = (const LensRecord *)b;
    double fx = x->focalLength, fy = y->focalLength, rx = x->focalRatio, ry = y->focalRatio;
    return fx == fy && rx == ry;
}

}  // namespace

const PoolLayout kLensPool = {
    "lenses.bin", "lenses.bak", 4, (int)sizeof(LensRecord), 0, 32,
    (int)offsetof(LensRecord, poolId), 4, SameLensValues, nullptr};

FILE *OpenLensFile(int32_t *count) { return OpenPool(kLensPool, count, nullptr); }
FILE *OpenOtherLensFile(const char *path, int32_t *count) {
    return OpenOtherPool(kLensPool, path, count, nullptr);
}
int ReadLensRecord(FILE *f, int index, LensRecord *record) {
    return ReadPoolRecord(f, kLensPool, index, record);
}
int WriteLensRecord(FILE *f, int index, const LensRecord *record) {
    return WritePoolRecord(f, kLensPool, index, record);
}
int FindLensRecordByName(FILE *f, const LensRecord *probe, int *index, int *id, int n) {
    return FindPoolRecordByName(f, kLensPool, probe, index, id, n);
}
int CompareLensRecords(const LensRecord *a, const LensRecord *b) {
    if (!a || !b) return 0;
    LensRecord x = *a, y = *b;
    x.name[sizeof x.name - 1] = y.name[sizeof y.name - 1] = '\0';
    return CompareStringsNoCase(x.name, y.name) == 0 && SameLensValues(&x, &y) ? 1 : 0;
}
int FindLensRecordById(FILE *f, int id, LensRecord *record) {
    return FindPoolRecordById(f, kLensPool, id, record);
}
int AppendLensRecord(FILE *f, LensRecord *record) { return AppendPoolRecord(f, kLensPool, record); }
int GetLensRecord(int index, LensRecord *record) { return GetPoolRecord(kLensPool, index, record); }
int GetLensRecordById(int id, LensRecord *record) {
    return GetPoolRecordById(kLensPool, id, record);
}
int FindLensIndexById(int id) { return FindPoolIndexById(kLensPool, id); }
int UpdateLensRecord(int index, const LensRecord *record) {
    return UpdatePoolRecord(kLensPool, index, record);
}
int AddLensRecord(LensRecord *record) { return AddPoolRecord(kLensPool, record); }
int DeleteLensRecordById(int id) { return DeletePoolRecordById(kLensPool, id); }
int BackupLensFile() { return BackupPool(kLensPool); }
int RestoreLensFile() { return RestorePool(kLensPool); }
