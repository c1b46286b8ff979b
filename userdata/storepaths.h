// Small path and file rules shared by the per-object stores' backups,
// restores and merges: file-name suffixes and overlap of folders compared as
// Windows compares them (without regard to case, either separator), 64-bit
// file times, file names and byte comparison of pictures. (Copies that keep
// the source's time: core/fileutil.h's CopyFileKeepTime.)
#pragma once
#include <cstdint>
#include <string>

#include "core/fsys.h"

// The name ends with the suffix, without regard to case.
bool IsStoreFileNamed(const std::string &name, const char *suffix);
// a and b name the same folder, or one lies inside the other.
bool PathsOverlap(const std::string &a, const std::string &b);
uint64_t FileTimeTicks(const FileTimeValue &t);
// The last part of a path (after the last "/" or "\\").
std::string FileNameOfPath(const std::string &path);
std::string LowerCased(std::string text);
// Both files read whole and equal.
bool SameFileBytes(const std::string &a, const std::string &b);
