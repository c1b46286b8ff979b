// The camera table of the telescope report: one row per camera configuration
// of the main optics (prime focus, each extender or reducer, eyepiece
// projection, afocal and piggyback lenses as the camera's kind allows) with
// its field of view and resolution, and the table's sort order. Computed on a
// copy of the optics: the telescope is never changed.
#pragma once
#include <cstdint>
#include <vector>

#include "instruments/instrumentrecord.h"

#pragma pack(push, 1)
struct CameraReportRow {
    char camera[64];      // 0   camera name
    char focalState[64];  // 64  "Prime Focus", "Extender (2.0X)", "Eyepiece projection", ...
    char lens[32];        // 128 lens name, "%.0lfmm EP @ %.0lfmm" or ""
    char field[64];       // 160 field of view text
    char resolution[64];  // 224 "%4.1lf\"/pix"
    double lensSort;      // 288 lens or projection eyepiece focal length, mm; else 0
    double fieldSort;     // 296 larger of the field's width and height, radians
    double resolutionArcsec;  // 304
};
#pragma pack(pop)
static_assert(sizeof(CameraReportRow) == 312, "CameraReportRow is 312 bytes");

// The rows of every camera of the optics in slot order. At most
// 2 + F + L + L x F rows a camera (F extenders and reducers, L lenses).
std::vector<CameraReportRow> BuildCameraReportRows(const OpticsBlock &optics);
// Sort comparison under the report's key: |k| 1 camera name then "Prime"
// rows first then focal state, always ascending; 2 "Prime" rows first (both
// directions) then focal state; 3, 4, 5 lens, field, resolution values;
// descending for a negative key with |k| above 1.
int CompareCameraRows(const CameraReportRow &a, const CameraReportRow &b, int key);
// Display order: row numbers sorted under the key.
std::vector<int> SortCameraReportRows(const std::vector<CameraReportRow> &rows, int key);
