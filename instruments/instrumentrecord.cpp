// Clean-up of instrument records read from files: counts that later code uses
// as loop bounds are brought into their arrays, and names are terminated.
#include "instruments/instrumentrecord.h"

#include "core/textutil.h"

int SanitizeOpticsBlock(OpticsBlock *block) {
    if (!block) return 0;
    bool clean = true;
    if (block->eyepieceCount > kMaxEyepieces) {
        block->eyepieceCount = kMaxEyepieces;
        clean = false;
    }
    int32_t cameras = block->cameraCount;
    if (cameras < 0 || cameras > kMaxCameras) {
        block->cameraCount = cameras < 0 ? 0 : kMaxCameras;
        clean = false;
    }
    if (block->extenderCount > kMaxExtenders) {
        block->extenderCount = kMaxExtenders;
        clean = false;
    }
    clean &= TerminateField(block->name, (int)sizeof block->name);
    for (EyepieceEntry &e : block->eyepieces) clean &= TerminateField(e.name, (int)sizeof e.name);
    clean &= TerminateField(block->projectionEyepiece.name, (int)sizeof block->projectionEyepiece.name);
    clean &= TerminateField(block->afocalEyepiece.name, (int)sizeof block->afocalEyepiece.name);
    for (CameraEntry &c : block->cameras) clean &= SanitizeCameraEntry(&c) == 1;
    return clean ? 1 : 0;
}

int SanitizeInstrumentRecord(InstrumentRecord *record) {
    if (!record) return 0;
    bool clean = true;
    if (record->opticsCount > 2) {
        record->opticsCount = 2;
        clean = false;
    }
    clean &= TerminateField(record->name, (int)sizeof record->name);
    for (OpticsBlock &b : record->optics) clean &= SanitizeOpticsBlock(&b) == 1;
    return clean ? 1 : 0;
}
