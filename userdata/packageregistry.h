// The register of the exchange packages made or imported on this computer,
// one per store ("notes/registry.bin", "web links/registry.bin", ...):
// int32 count, then 46-byte entries {name char[38], FILETIME}. Names longer
// than 37 characters are cut to 37 when stored and when looked up, and names
// compare without regard to case (as group names do), so that a package
// imported again finds its entry instead of adding one each time. The file
// is rewritten whole in one step.
#pragma once
#include <cstdint>

#include "core/fsys.h"

#pragma pack(push, 1)
struct PackageRegistryEntry {
    char name[38];
    FileTimeValue created;
};
#pragma pack(pop)
static_assert(sizeof(PackageRegistryEntry) == 46, "PackageRegistryEntry is 46 bytes");

const int kRegistryNameMax = 37;

// The entry's 0-based position (its time to created when asked); -1 when
// absent or when the register cannot be read.
int FindRegisteredPackage(const char *registryPath, const char *name, FileTimeValue *created);
// 1 stored (a known name keeps its position and gets the new time, a new one
// is appended), 0 on failure or without a time.
int RegisterPackage(const char *registryPath, const char *name, const FileTimeValue *created);
