// File and folder utilities for the stores of user data: folders, existence,
// sizes, plain copies with and without time stamps, whole-tree copy and
// delete, folder listings. Results: 1 success, 0 failure (2: missing or empty
// source of a copy). Nothing is shown to the user.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/fsys.h"

int EnsureDirectory(const char *path);
int FileExists(const char *path);
// Size in bytes (64-bit: image folders may hold files over 4 GB); 0 when the
// file cannot be opened for reading.
int64_t QueryFileSize(const char *path);
// "%d bytes", "%.1lf KB", "%.1lf MB" or "%.1lf GB"; buffer of at least 32 bytes.
char *FormatByteSize(char *buffer, int64_t size);

// 1 copied; 0 failed (unreadable source, target not writable, short read or
// write; a failed target is removed); 2 source missing or empty (no target made).
int CopyPlainFile(const char *source, const char *target);
// As CopyFileSafely (the stores' backups and restores copy with it), then
// the target takes the source's last-write time.
int CopyFileKeepTime(const char *source, const char *target);
// Copies through the crash-safe layer (a temporary beside the target, flushed,
// then put in its place in one step), so that a failed copy never leaves a
// truncated target. Same results as CopyPlainFile.
int CopyFileSafely(const char *source, const char *target);

int GetFileWriteTime(const char *path, FileTimeValue *out);
int SetFileWriteTime(const char *path, FileTimeValue t);

// Deletes the folder with everything in it; 0 at the first entry that cannot
// be deleted. Links and junctions are removed themselves, never followed.
// The stores use it to clear away a folder set aside once their change is
// committed: no step of the change, so the failure seam does not count it
// (a failure there leaves a leftover folder, never a damaged store).
int DeleteTree(const char *folder);
// Makes the target folder and copies every file and subfolder (empty files
// included); 0 at the first failure.
int CopyTree(const char *source, const char *target);
int CopyDirectoryFiles(const char *source, const char *target);
int CopyDirectoryFilesKeepTime(const char *source, const char *target);

// One folder listing. The names are read when the listing is opened.
struct DirectoryList {
    std::vector<FsEntry> entries;
    size_t next = 0;
    bool atEnd = true;
    int mode = 0;  // 0 every name, 1 plain files only, 2 folders only
    std::string pattern;
};

// 1 when the folder has at least one entry; 0 when none, or when the folder
// text is longer than 1020 characters.
int OpenDirectoryList(DirectoryList *list, const char *folder, int mode, int reserved);
// 1 with the next name that fits the mode; 0 when none is left; -1 when the
// next such name does not fit the buffer (the listing moves past it, so a loop
// that goes on after -1 sees every later name).
int NextDirectoryEntry(DirectoryList *list, char *name, int size);
void CloseDirectoryList(DirectoryList *list);

// 1 when the file is in the folder or (recursive) in a subfolder at any depth
// (at most 64 levels); path out (outSize bytes) holds the path found, or the
// last path tried.
int FindFileInTree(const char *folder, const char *name, char *out, int outSize, int recursive);
