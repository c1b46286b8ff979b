// The importer's small file-copy routines and the copy of the log folder.
#pragma once
#include <cstdint>

// Size in bytes; 0 when the file cannot be opened (an empty file also gives 0).
int64_t GetFileSizeByName(const char *path);
// 1 when the file was copied whole; 0 otherwise (also for an empty or missing
// source; a failed target is removed).
int CopyFileBuffered(const char *source, const char *destination);
// Copies every plain file of the source folder; 0 at the first failure.
int CopyFolderFiles(const char *source, const char *destination);
// Copies "log" and its twelve class folders "log/ca".."log/cl" into "backlog"
// (made when missing), or back; paths relative to the current folder.
int BackUpLogFolder();
int RestoreLogFolder();
