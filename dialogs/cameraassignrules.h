// The rules of the camera assignment dialog that need no window: the
// telescope's camera slots (assigning a pool camera, removing and moving
// whole entries), its list of focal extenders and reducers, the chosen-camera
// indices held to the cameras there are, and the texts of the projection
// links and of the optimum projection distance.
#pragma once
#include <cstddef>
#include <cstdint>

#include "instruments/ccdcurves.h"
#include "instruments/instrumentrecord.h"

const int kMaxExtenderFactors = 15;

// Results of AssignPoolCamera besides the slot index.
const int kAssignCameraFull = -1;       // 12 cameras already
const int kAssignCameraUnreadable = -2; // no pool record of that id

// Builds the next camera slot from the camera.bin record of the id (its
// curve's values from the table when it names one there), with no filters and
// no lenses but a video camera's built-in lens, and counts it. The slot
// index, or one of the results above with every slot unchanged.
int AssignPoolCamera(OpticsBlock *main, int poolId, const CcdCurveRow *table, int rows);
// Removes the camera of the slot; the later ones move down. 1, or 0 for a slot
// outside the count.
int RemoveTelescopeCamera(OpticsBlock *main, int slot);
// Swaps two whole camera entries. 1, or 0 for a slot outside the count.
int SwapTelescopeCameras(OpticsBlock *main, int a, int b);
// The first slot whose camera has the pool id (compared as 16-bit), or -1.
int FindTelescopeCameraByPoolId(const OpticsBlock *main, int poolId);
// A chosen camera (or filter) index kept between uses, held to what there is:
// the index when 0 <= index < count, else -1.
int ClampChoice(int index, int count);
// The camera and filter chosen for the optimum projection distance, kept
// between uses (and telescopes): a camera the telescope does not have becomes
// its first camera (-1 with none), a filter the chosen camera does not have
// becomes -1 (no filter).
void HoldProjectionChoices(const OpticsBlock *main, int *camera, int *filter);

// After the filter or lens assignment dialog: the camera's filters (lenses)
// rebuilt from the pool ids in order, ids no longer in the pool skipped, at
// most 50 filters (10 lenses). The number kept.
int RebuildCameraFilters(CameraEntry *camera, const uint16_t *ids, int count);
int RebuildCameraLenses(CameraEntry *camera, const uint16_t *ids, int count);

// What the camera dialog changes in the main optics (the cameras, the
// projection and afocal switches and eyepieces, the projection distance and
// the extender list), copied from one block to another: Cancel puts the
// copy taken at opening back.
void CopyCameraSection(OpticsBlock *to, const OpticsBlock *from);

// The magnification-factor text of "Add Focal Extender/Reducer": 1 appended;
// 0 not a number above 0; -1 the list holds 15 factors already.
int AddExtenderFactorText(OpticsBlock *main, const char *text);
// Removes factor i (0-based); later ones move up; the current factor becomes
// 255 (none) when the list empties, else 0. 1, or 0 for i outside the list.
int RemoveExtenderFactor(OpticsBlock *main, int i);

// The link texts: "Configure" until the eyepiece (and for projection the
// distance) are set and a camera is chosen; a name over 13 characters is
// replaced by the focal length.
void FormatEyepieceProjectionLabel(const OpticsBlock *main, int currentCamera, char *out, size_t size);
void FormatAfocalProjectionLabel(const OpticsBlock *main, int currentCamera, char *out, size_t size);
// "N/A", or "%.0lf mm" of the eyepiece-to-sensor distance that samples the
// diffraction pattern critically for the camera and filter (-1 none).
void FormatOptimumProjectionDistance(const OpticsBlock *main, int camera, int filter, char *out, size_t size);
