// Clean-up of instrument records read from files: counts that later code uses
// as loop bounds are brought into their arrays, and names are terminated.
#include "instruments/instrumentrecord.h"

namespace {

bool Terminate(char *field, int size) {
    if (field[size - 1] == '\0') return true;
    field[size - 1] = '\0';
    return false;
}

}  // namespace

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
    clean &= Terminate(block->name, (int)sizeof block->name);
    for (EyepieceEntry &e : block->eyepieces) clean &= Terminate(e.name, (int)sizeof e.name);
    clean &= Terminate(block->projectionEyepiece.name, (int)sizeof block->projectionEyepiece.name);
    clean &= Terminate(block->afocalEyepiece.name, (int)sizeof block->afocalEyepiece.name);
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
    clean &= Terminate(record->name, (int)sizeof record->name);
    for (OpticsBlock &b : record->optics) clean &= SanitizeOpticsBlock(&b) == 1;
    return clean ? 1 : 0;
}
