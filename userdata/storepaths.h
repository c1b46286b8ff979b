// Small path and file rules shared by the per-object stores' backups,
// restores and merges: file-name suffixes and overlap of folders compared as
// Windows compares them (without regard to case, either separator), 64-bit
// file times, and a file copy through the crash-safe layer that keeps the
// source's last-write time.
#pragma once
#include <cstdint>
#include <string>

#include "core/fsys.h"

// The name ends with the suffix, without regard to case.
bool IsStoreFileNamed(const std::string &name, const char *suffix);
// a and b name the same folder, or one lies inside the other.
bool PathsOverlap(const std::string &a, const std::string &b);
uint64_t FileTimeTicks(const FileTimeValue &t);
// CopyFileSafely, then the source's last-write time on the target. Results
// as CopyPlainFile: 1 copied, 0 failed, 2 source missing or empty.
int CopyStoreFileKeepTime(const char *source, const char *target);
