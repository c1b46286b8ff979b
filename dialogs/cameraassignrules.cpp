// The camera assignment dialog's rules (see cameraassignrules.h).
#include "dialogs/cameraassignrules.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "astro/angleparse.h"
#include "core/textutil.h"
#include "instruments/camerageometry.h"
#include "instruments/poollink.h"

int AssignPoolCamera(OpticsBlock *main, int poolId, const CcdCurveRow *table, int rows) {
    if (main->cameraCount < 0 || main->cameraCount >= kMaxCameras) return kAssignCameraFull;
    // Built aside (13 KB, not on the stack) so that a failed read leaves the slot.
    std::unique_ptr<CameraEntry> camera(new (std::nothrow) CameraEntry);
    if (!camera) return kAssignCameraUnreadable;
    std::memcpy(camera.get(), &main->cameras[main->cameraCount], sizeof *camera);
    if (!LoadCameraEntryFromPool(poolId, camera.get())) return kAssignCameraUnreadable;
    char name[sizeof camera->curveName];
    std::snprintf(name, sizeof name, "%s", camera->curveName);
    const int curve = name[0] ? FindCcdCurveByName(name, table, rows) : -1;
    if (curve >= 0)
        for (int i = 0; i < kQuantumEfficiencyPoints; ++i) camera->quantumEfficiency[i] = table[curve].values[i];
    camera->filterCount = 0;
    if (camera->kind != 2) camera->lensCount = 0;
    const int slot = main->cameraCount;
    std::memcpy(&main->cameras[slot], camera.get(), sizeof *camera);
    main->cameraCount = slot + 1;
    return slot;
}

int RemoveTelescopeCamera(OpticsBlock *main, int slot) {
    const int n = main->cameraCount;
    if (slot < 0 || slot >= n || n > kMaxCameras) return 0;
    std::memmove(&main->cameras[slot], &main->cameras[slot + 1], sizeof(CameraEntry) * (n - slot - 1));
    std::memset(&main->cameras[n - 1], 0, sizeof(CameraEntry));
    main->cameraCount = n - 1;
    return 1;
}

int SwapTelescopeCameras(OpticsBlock *main, int a, int b) {
    const int n = main->cameraCount;
    if (a < 0 || b < 0 || a >= n || b >= n || n > kMaxCameras) return 0;
    if (a == b) return 1;
    std::unique_ptr<CameraEntry> held(new (std::nothrow) CameraEntry);
    if (!held) return 0;
    std::memcpy(held.get(), &main->cameras[a], sizeof *held);
    std::memcpy(&main->cameras[a], &main->cameras[b], sizeof *held);
    std::memcpy(&main->cameras[b], held.get(), sizeof *held);
    return 1;
}

int FindTelescopeCameraByPoolId(const OpticsBlock *main, int poolId) {
    for (int i = 0; i < main->cameraCount && i < kMaxCameras; ++i)
        if (static_cast<uint16_t>(main->cameras[i].poolId) == static_cast<uint16_t>(poolId)) return i;
    return -1;
}

int ClampChoice(int index, int count) { return (index >= 0 && index < count) ? index : -1; }

void HoldProjectionChoices(const OpticsBlock *main, int *camera, int *filter) {
    const int cameras = main->cameraCount < 0 ? 0 : main->cameraCount > kMaxCameras ? kMaxCameras : main->cameraCount;
    if (ClampChoice(*camera, cameras) < 0) *camera = cameras > 0 ? 0 : -1;
    if (*camera < 0) {
        *filter = -1;
        return;
    }
    const int32_t n = main->cameras[*camera].filterCount;
    const int filters = n < 0 ? 0 : n > kCameraAssignedFilters ? kCameraAssignedFilters : n;
    *filter = ClampChoice(*filter, filters);
}

int RebuildCameraFilters(CameraEntry *camera, const uint16_t *ids, int count) {
    camera->filterCount = 0;
    for (int i = 0; i < count && camera->filterCount < kCameraAssignedFilters; ++i)
        if (LoadFilterFromPool(ids[i], &camera->filters[camera->filterCount])) ++camera->filterCount;
    return camera->filterCount;
}

int RebuildCameraLenses(CameraEntry *camera, const uint16_t *ids, int count) {
    camera->lensCount = 0;
    for (int i = 0; i < count && camera->lensCount < kCameraLensSlots; ++i)
        if (LoadLensFromPool(ids[i], &camera->lenses[camera->lensCount])) ++camera->lensCount;
    return camera->lensCount;
}

void CopyCameraSection(OpticsBlock *to, const OpticsBlock *from) {
    to->cameraCount = from->cameraCount;
    std::memcpy(to->cameras, from->cameras, sizeof to->cameras);
    to->projectionOffered = from->projectionOffered;
    to->afocalOffered = from->afocalOffered;
    to->projectionEyepiece = from->projectionEyepiece;
    to->projectionDistance = from->projectionDistance;
    to->afocalEyepiece = from->afocalEyepiece;
    to->extenderCount = from->extenderCount;
    to->extenderIndex = from->extenderIndex;
    std::memcpy(to->extenderFactors, from->extenderFactors, sizeof to->extenderFactors);
}

int AddExtenderFactorText(OpticsBlock *main, const char *text) {
    const double v = ParseSexagesimal(text ? text : "");
    if (v == kNoRealValue || !std::isfinite(v) || v <= 0) return 0;
    // The block holds 15 factors; a 16th would be written over the bytes after them.
    if (main->extenderCount >= kMaxExtenderFactors) return -1;
    main->extenderFactors[main->extenderCount] = static_cast<float>(v);
    main->extenderCount = static_cast<uint8_t>(main->extenderCount + 1);
    return 1;
}

int RemoveExtenderFactor(OpticsBlock *main, int i) {
    const int n = main->extenderCount > kMaxExtenderFactors ? kMaxExtenderFactors : main->extenderCount;
    if (i < 0 || i >= n) return 0;
    for (int k = i; k + 1 < n; ++k) main->extenderFactors[k] = main->extenderFactors[k + 1];
    main->extenderFactors[n - 1] = 0.0f;
    main->extenderCount = static_cast<uint8_t>(n - 1);
    main->extenderIndex = n - 1 == 0 ? 255 : 0;
    return 1;
}

namespace {

std::string EyepieceName(const EyepieceEntry &e) { return std::string(e.name, strnlen(e.name, sizeof e.name)); }

}  // namespace

void FormatEyepieceProjectionLabel(const OpticsBlock *main, int currentCamera, char *out, size_t size) {
    const double focal = main->projectionEyepiece.focalLength;
    const double distance = main->projectionDistance;
    if (currentCamera < 0 || !(focal > 0) || !(distance > 0)) {
        std::snprintf(out, size, "Configure");
        return;
    }
    const std::string name = EyepieceName(main->projectionEyepiece);
    if (name.size() > 13)
        std::snprintf(out, size, "%.0fmm eyepiece @ %.0fmm", focal, distance);
    else
        std::snprintf(out, size, "%s @ %.0fmm", name.c_str(), distance);
}

void FormatAfocalProjectionLabel(const OpticsBlock *main, int currentCamera, char *out, size_t size) {
    const double focal = main->afocalEyepiece.focalLength;
    const std::string name = EyepieceName(main->afocalEyepiece);
    if (currentCamera < 0 || !(focal > 0) || name.empty()) {
        std::snprintf(out, size, "Configure");
        return;
    }
    if (name.size() > 13)
        std::snprintf(out, size, "%.0fmm eyepiece", focal);
    else
        std::snprintf(out, size, "%s", name.c_str());
}

void FormatOptimumProjectionDistance(const OpticsBlock *main, int camera, int filter, char *out, size_t size) {
    const double focal = main->projectionEyepiece.focalLength;
    if (!(focal > 0) || camera < 0) {
        std::snprintf(out, size, "N/A");
        return;
    }
    const double d = ComputeEyepieceProjectionDistance(main, camera, filter, &focal);
    if (d < 0)
        std::snprintf(out, size, "N/A");
    else
        std::snprintf(out, size, "%.0f mm", d);
}
