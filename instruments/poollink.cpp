// Copies between a telescope's records and the eyepiece, camera, filter and
// lens pools, and their synchronisation by name.
#include "instruments/poollink.h"

#include <cstring>

#include "core/textutil.h"
#include "instruments/camerapool.h"
#include "instruments/eyepiecepool.h"
#include "instruments/filterpool.h"
#include "instruments/lenspool.h"
#include "instruments/storeio.h"
#include "instruments/cameraentry.h"
#include "core/mathutil.h"

namespace {

// Counts read from a record, brought into 0..most (passed by value: the
// record is packed).
int ClampCount(int value, int most) { return value < 0 ? 0 : value > most ? most : value; }


double BuiltInLensFocalLength(const CameraEntry &c) {
    return c.kind == 2 && c.lensCount > 0 ? c.lenses[0].focalLength : 0.0;
}

void SetBuiltInLens(CameraEntry *c, double focalLength) {
    c->lensCount = 1;
    LensRecord &l = c->lenses[0];
    std::memset(&l, 0, sizeof l);
    CopyStringZeroFilled(l.name, "Built in", (int)sizeof l.name);
    l.focalLength = focalLength;
    l.focalRatio = 1.0;
    l.poolId = 0;
}

CameraRecord CameraRecordFromEntry(const CameraEntry &c) {
    CameraRecord r;
    std::memset(&r, 0, sizeof r);
    r.kind = c.kind;
    CopyStringZeroFilled(r.name, c.name, (int)sizeof r.name);
    r.readNoise = c.readNoise;
    r.gain = c.gain;
    r.binnedGain = c.binnedGain;
    r.darkSignal = c.darkSignal;
    r.sensorWidth = c.sensorWidth;
    r.sensorHeight = c.sensorHeight;
    r.pixelsAcross = c.pixelsAcross;
    r.pixelsDown = c.pixelsDown;
    r.pixelWidth = c.pixelWidth;
    r.pixelHeight = c.pixelHeight;
    r.lensFocalLength = BuiltInLensFocalLength(c);
    CopyStringZeroFilled(r.curveName, c.curveName, (int)sizeof r.curveName);
    std::memcpy(r.quantumEfficiency, c.quantumEfficiency, sizeof r.quantumEfficiency);
    r.poolId = (uint16_t)c.poolId;
    r.bitDepth = c.bitDepth;
    r.guider = c.guider;
    r.guiderPixelWidth = c.guiderPixelWidth;
    r.guiderPixelHeight = c.guiderPixelHeight;
    r.guiderPixelsAcross = c.guiderPixelsAcross;
    r.guiderPixelsDown = c.guiderPixelsDown;
    r.guiderOffsetX = c.guiderOffsetX;
    r.guiderOffsetY = c.guiderOffsetY;
    return r;
}

// Rebuilds a camera entry from a pool record, keeping what the entry owns.
void BuildEntryFromRecord(CameraEntry *c, const CameraRecord &r, int poolId, double builtInFocalLength) {
    double gains[2] = {r.gain, r.binnedGain};
    char name[34], curve[34];
    std::memcpy(name, r.name, 33);
    name[33] = 0;
    std::memcpy(curve, r.curveName, 33);
    curve[33] = 0;
    double q[kQuantumEfficiencyPoints];  // the packed record's curve is unaligned
    std::memcpy(q, r.quantumEfficiency, sizeof q);
    int32_t keep1 = c->reserved1, keep2 = c->reserved2;
    uint8_t keep3 = c->reserved3;
    InitCameraEntry(c, poolId, r.kind, name, r.readNoise, gains, r.darkSignal, r.sensorWidth, r.sensorHeight,
                    r.pixelsAcross, r.pixelsDown, r.pixelWidth, r.pixelHeight, r.bitDepth, curve,
                    q, r.guider, r.guiderOffsetX, r.guiderOffsetY, r.guiderPixelWidth,
                    r.guiderPixelHeight, r.guiderPixelsAcross, r.guiderPixelsDown);
    c->reserved1 = keep1;
    c->reserved2 = keep2;
    c->reserved3 = keep3;
    if (r.kind == 2) SetBuiltInLens(c, builtInFocalLength);
}

}  // namespace

int LoadFilterFromPool(int poolId, FilterRecord *filter) {
    return filter && GetFilterRecordById(poolId, filter) ? 1 : 0;
}

int LoadLensFromPool(int poolId, LensRecord *lens) { return lens && GetLensRecordById(poolId, lens) ? 1 : 0; }

int StoreFilterToPool(FilterRecord *filter, int poolId) {
    if (!filter) return 0;
    int index = FindFilterIndexById(poolId);
    if (index < 0) return 0;
    filter->poolId = poolId;
    return UpdateFilterRecord(index, filter) ? 1 : 0;
}

int StoreLensToPool(LensRecord *lens, int poolId) {
    if (!lens) return 0;
    int index = FindLensIndexById(poolId);
    if (index < 0) return 0;
    lens->poolId = poolId;
    return UpdateLensRecord(index, lens) ? 1 : 0;
}

int LoadCameraEntryFromPool(int poolId, CameraEntry *camera) {
    if (!camera) return 0;
    int32_t n = 0;
    StoreFilePtr f(OpenCameraFile(&n));
    if (!f) return 0;
    CameraRecord r;
    if (!FindCameraRecordById(f.get(), poolId, &r)) return 0;
    BuildEntryFromRecord(camera, r, poolId, r.lensFocalLength);
    return 1;
}

int StoreCameraEntryToPool(const CameraEntry *camera, int poolId) {
    if (!camera) return 0;
    int index = FindCameraIndexById(poolId);
    if (index < 0) return 0;
    CameraRecord r = CameraRecordFromEntry(*camera);
    double q[kQuantumEfficiencyPoints];
    std::memcpy(q, r.quantumEfficiency, sizeof q);
    char name[34], curve[34];
    std::memcpy(name, r.name, 33);
    name[33] = 0;
    std::memcpy(curve, r.curveName, 33);
    curve[33] = 0;
    return UpdateCameraRecord(index, r.kind, name, r.readNoise, r.gain, r.binnedGain, r.darkSignal,
                              r.sensorWidth, r.sensorHeight, r.pixelsAcross, r.pixelsDown, r.pixelWidth,
                              r.pixelHeight, r.bitDepth, r.lensFocalLength, curve, q,
                              r.guider, r.guiderOffsetX, r.guiderOffsetY, r.guiderPixelWidth,
                              r.guiderPixelHeight, r.guiderPixelsAcross, r.guiderPixelsDown)
               ? 1
               : 0;
}

void SyncTelescopeEyepiecesWithPool(OpticsBlock *main) {
    if (!main) return;
    int32_t n = 0;
    StoreFilePtr f(OpenEyepieceFile(&n));
    if (!f) return;
    int count = main->eyepieceCount > kMaxEyepieces ? kMaxEyepieces : main->eyepieceCount;
    for (int i = 0; i < count; ++i) {
        EyepieceEntry &e = main->eyepieces[i];
        EyepieceRecord probe;
        std::memset(&probe, 0, sizeof probe);
        std::memcpy(probe.name, e.name, sizeof e.name);
        probe.name[sizeof e.name - 1] = 0;
        probe.focalLength = (float)e.focalLength;
        probe.apparentField = (float)(e.apparentField * 180.0 / kPi);
        int index = -1, id = 0;
        int found = FindEyepieceRecordByName(f.get(), &probe, &index, &id, n);
        if (found < 0) return;
        if (found == 1) {
            e.poolId = (int16_t)(uint16_t)id;
        } else if (found == 2) {
            EyepieceRecord pool;
            if (!ReadEyepieceRecord(f.get(), index, &pool)) return;
            e.focalLength = pool.focalLength;
            e.apparentField = pool.apparentField * kPi / 180.0;
            e.poolId = (int16_t)(uint16_t)id;
        } else {
            f.reset();
            int newId = AddEyepieceRecord(probe.name, probe.focalLength, probe.apparentField);
            if (newId > 0) e.poolId = (int16_t)(uint16_t)newId;
            f.reset(OpenEyepieceFile(&n));
            if (!f) return;
        }
    }
}

void SyncTelescopeCamerasWithPool(OpticsBlock *main) {
    if (!main) return;
    int32_t n = 0;
    StoreFilePtr f(OpenCameraFile(&n));
    if (!f) return;
    int count = ClampCount(main->cameraCount, kMaxCameras);
    for (int i = 0; i < count; ++i) {
        CameraEntry &c = main->cameras[i];
        CameraRecord probe = CameraRecordFromEntry(c);
        int index = -1, id = 0;
        int found = FindCameraRecordByName(f.get(), &probe, &index, &id, n);
        if (found < 0) return;
        if (found == 1) {
            c.poolId = id;
        } else if (found == 2) {
            CameraRecord pool;
            if (!ReadCameraRecord(f.get(), index, &pool)) return;
            // A camera with a built-in lens keeps its own focal length.
            BuildEntryFromRecord(&c, pool, id, BuiltInLensFocalLength(c));
        } else {
            f.reset();
            double q[kQuantumEfficiencyPoints];
            std::memcpy(q, probe.quantumEfficiency, sizeof q);
            char name[34], curve[34];
            std::memcpy(name, probe.name, 33);
            name[33] = 0;
            std::memcpy(curve, probe.curveName, 33);
            curve[33] = 0;
            int newId = AddCameraRecord(probe.kind, name, probe.readNoise, probe.gain, probe.binnedGain,
                                        probe.darkSignal, probe.sensorWidth, probe.sensorHeight, probe.pixelsAcross,
                                        probe.pixelsDown, probe.pixelWidth, probe.pixelHeight, probe.bitDepth,
                                        probe.lensFocalLength, curve, q, probe.guider,
                                        probe.guiderOffsetX, probe.guiderOffsetY, probe.guiderPixelWidth,
                                        probe.guiderPixelHeight, probe.guiderPixelsAcross, probe.guiderPixelsDown);
            if (newId > 0) c.poolId = newId;
            f.reset(OpenCameraFile(&n));
            if (!f) return;
        }
    }
}

void SyncCameraFiltersWithPool(CameraEntry *camera) {
    if (!camera) return;
    int32_t n = 0;
    StoreFilePtr f(OpenFilterFile(&n));
    if (!f) return;
    int count = ClampCount(camera->filterCount, kCameraAssignedFilters);
    for (int i = 0; i < count; ++i) {
        FilterRecord &copy = camera->filters[i];
        int index = -1, id = 0;
        int found = FindFilterRecordByName(f.get(), &copy, &index, &id, n);
        if (found < 0) return;
        if (found == 1) {
            copy.poolId = id;
        } else if (found == 2) {
            FilterRecord pool;
            if (!ReadFilterRecord(f.get(), index, &pool)) return;
            copy = pool;
        } else {
            f.reset();
            FilterRecord add = copy;
            int newId = AddFilterRecord(&add);
            if (newId > 0) copy.poolId = newId;
            f.reset(OpenFilterFile(&n));
            if (!f) return;
        }
    }
}

void SyncCameraLensesWithPool(CameraEntry *camera) {
    if (!camera) return;
    int32_t n = 0;
    StoreFilePtr f(OpenLensFile(&n));
    if (!f) return;
    int count = ClampCount(camera->lensCount, kCameraLensSlots);
    for (int i = 0; i < count; ++i) {
        LensRecord &copy = camera->lenses[i];
        int index = -1, id = 0;
        int found = FindLensRecordByName(f.get(), &copy, &index, &id, n);
        if (found < 0) return;
        if (found == 1) {
            copy.poolId = id;
        } else if (found == 2) {
            LensRecord pool;
            if (!ReadLensRecord(f.get(), index, &pool)) return;
            copy = pool;
        } else {
            f.reset();
            LensRecord add = copy;
            int newId = AddLensRecord(&add);
            if (newId > 0) copy.poolId = newId;
            f.reset(OpenLensFile(&n));
            if (!f) return;
        }
    }
}
