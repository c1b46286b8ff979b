// Tables of the camera kinds and bit depths, and the clean-up of camera copies
// read from files.
#include "instruments/camerarecords.h"

#include "core/textutil.h"

const char kCameraKindNames[3][16] = {"CCD camera", "digital camera", "video/web-cam"};
const char kBitDepthNames[3][8] = {"8 bits", "16 bits", "32 bits"};
const int32_t kBitDepthBits[3] = {8, 16, 32};

const char *GetCameraKindName(int kind) {
    return kind >= 0 && kind < 3 ? kCameraKindNames[kind] : "";
}

const char *GetBitDepthName(int index) {
    return index >= 0 && index < 3 ? kBitDepthNames[index] : "";
}

int SanitizeCameraEntry(CameraEntry *entry) {
    if (!entry) return 0;
    bool clean = true;
    int32_t filters = entry->filterCount;
    if (filters < 0 || filters > kCameraAssignedFilters) {
        entry->filterCount = filters < 0 ? 0 : kCameraAssignedFilters;
        clean = false;
    }
    int32_t lenses = entry->lensCount;
    if (lenses < 0 || lenses > kCameraLensSlots) {
        entry->lensCount = lenses < 0 ? 0 : kCameraLensSlots;
        clean = false;
    }
    clean &= TerminateField(entry->name, (int)sizeof entry->name);
    clean &= TerminateField(entry->curveName, (int)sizeof entry->curveName);
    for (FilterRecord &f : entry->filters) clean &= TerminateField(f.name, (int)sizeof f.name);
    for (LensRecord &l : entry->lenses) clean &= TerminateField(l.name, (int)sizeof l.name);
    return clean ? 1 : 0;
}
