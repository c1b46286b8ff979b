// The link between a telescope's copies of pool records and the pools: a copy
// is looked up in its pool by name (ignoring case) whenever an assignment
// dialog opens; a namesake with the same values gives the copy its id, one
// with other values overwrites the copy, and a copy the pool lacks is added to
// it. Also the copying of single filter, lens and camera records between a
// pool and a telescope's camera.
#pragma once
#include <cstdint>

#include "instruments/instrumentrecord.h"

int LoadFilterFromPool(int poolId, FilterRecord *filter);
int LoadLensFromPool(int poolId, LensRecord *lens);
// Writes the id into the record and rewrites the pool record of that id.
int StoreFilterToPool(FilterRecord *filter, int poolId);
int StoreLensToPool(LensRecord *lens, int poolId);
// The camera entry from the camera.bin record of the id (curve values only for
// an empty curve name; kind 2 gets its built-in lens); filters and other
// lenses untouched. 0 when no record has the id.
int LoadCameraEntryFromPool(int poolId, CameraEntry *camera);
int StoreCameraEntryToPool(const CameraEntry *camera, int poolId);

// The synchronisations, on the main optics of a telescope, or on one camera.
// Each stops at a pool read error or a failed reopen; a pool that cannot be
// opened leaves the copies as they are.
void SyncTelescopeEyepiecesWithPool(OpticsBlock *main);
void SyncTelescopeCamerasWithPool(OpticsBlock *main);
void SyncCameraFiltersWithPool(CameraEntry *camera);
void SyncCameraLensesWithPool(CameraEntry *camera);
