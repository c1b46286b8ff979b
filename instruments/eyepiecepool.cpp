// The eyepiece pool eyep.bin.
#include "instruments/eyepiecepool.h"

#include <cstddef>
#include <cstring>

#include "core/textutil.h"
#include "instruments/storeio.h"

namespace {

int SameEyepieceValues(const void *a, const void *b) {
    const EyepieceRecord *x = (const EyepieceRecord *)a, *y = (const EyepieceRecord *)b;
    float fx = x->focalLength, fy = y->focalLength, ax = x->apparentField, ay = y->apparentField;
    return fx == fy && ax == ay;
}

void GiveOut(const EyepieceRecord &r, char *name, double *focalLength, double *apparentField) {
    if (name) CopyStringBounded(name, r.name, (int)sizeof r.name);
    if (focalLength) *focalLength = r.focalLength;
    if (apparentField) *apparentField = r.apparentField;
}

}  // namespace

const PoolLayout kEyepiecePool = {
    "eyep.bin", "eyep.bak", 4, (int)sizeof(EyepieceRecord), 0, 33,
    (int)offsetof(EyepieceRecord, poolId), 2, SameEyepieceValues, nullptr};

FILE *OpenEyepieceFile(int32_t *count) { return OpenPool(kEyepiecePool, count, nullptr); }

FILE *OpenOtherEyepieceFile(const char *path, int32_t *count) {
    return OpenOtherPool(kEyepiecePool, path, count, nullptr);
}

int ReadEyepieceRecord(FILE *f, int index, EyepieceRecord *record) {
    return ReadPoolRecord(f, kEyepiecePool, index, record);
}

int FindEyepieceRecordByName(FILE *f, const EyepieceRecord *probe, int *index, int *id, int n) {
    return FindPoolRecordByName(f, kEyepiecePool, probe, index, id, n);
}

int GetEyepieceRecord(int index, char *name, double *focalLength, double *apparentField) {
    EyepieceRecord r;
    int id = GetPoolRecord(kEyepiecePool, index, &r);
    if (id) GiveOut(r, name, focalLength, apparentField);
    return id;
}

int GetEyepieceRecordById(int id, char *name, double *focalLength, double *apparentField) {
    EyepieceRecord r;
    if (!GetPoolRecordById(kEyepiecePool, id, &r)) return 0;
    GiveOut(r, name, focalLength, apparentField);
    return 1;
}

int UpdateEyepieceRecord(int index, const char *name, double focalLength, double apparentField) {
    int32_t n = 0;
    StoreFilePtr f(OpenEyepieceFile(&n));
    if (!f || index < 0 || index >= n) return 0;
    EyepieceRecord r;
    if (!ReadEyepieceRecord(f.get(), index, &r)) return 0;
    if (name) CopyStringZeroFilled(r.name, name, (int)sizeof r.name);
    r.focalLength = (float)focalLength;
    r.apparentField = (float)apparentField;
    return WritePoolRecord(f.get(), kEyepiecePool, index, &r);
}

int AddEyepieceRecord(const char *name, double focalLength, double apparentField) {
    EyepieceRecord r;
    std::memset(&r, 0, sizeof r);
    CopyStringZeroFilled(r.name, name ? name : "", (int)sizeof r.name);
    r.focalLength = (float)focalLength;
    r.apparentField = (float)apparentField;
    return AddPoolRecord(kEyepiecePool, &r);
}

int DeleteEyepieceRecord(int index) { return DeletePoolRecordAt(kEyepiecePool, index); }
int BackupEyepieceFile() { return BackupPool(kEyepiecePool); }
int RestoreEyepieceFile() { return RestorePool(kEyepiecePool); }
