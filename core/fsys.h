// The few file-system calls that differ between Windows and POSIX, behind one
// small interface: folder listings, making and removing folders and files,
// attributes and last-write times. Everything above this layer is portable.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A last-write time as Windows keeps it: 100-nanosecond ticks since
// 1601-01-01 00:00 UTC, split like FILETIME (low word first).
#pragma pack(push, 1)
struct FileTimeValue {
    uint32_t low;
    uint32_t high;
};
#pragma pack(pop)
static_assert(sizeof(FileTimeValue) == 8, "FileTimeValue is a FILETIME");

struct FsEntry {
    std::string name;
    bool isFolder = false;
    bool isLink = false;  // a symbolic link or reparse point (never descended into)
};

// Lists the names in a folder, "." and ".." left out, sorted by byte order so
// that every platform gives the same order. false when the folder cannot be read.
bool FsListFolder(const std::string &folder, std::vector<FsEntry> &out);
// 1 folder, 0 plain file, -1 absent.
int FsKind(const std::string &path);
bool FsIsReadOnly(const std::string &path);
bool FsMakeFolder(const std::string &path);     // one level
bool FsRemoveFile(const std::string &path);     // refuses read-only files
bool FsRemoveFolder(const std::string &path);   // empty folders only
bool FsRemoveLink(const std::string &path);     // the link itself, not its target
// Size in bytes of a file that can be opened for reading; -1 when it cannot.
int64_t FsFileSize(const std::string &path);
bool FsGetWriteTime(const std::string &path, FileTimeValue *out);
bool FsSetWriteTime(const std::string &path, const FileTimeValue &t);
// Replaces target by source in one step (the target may exist).
bool FsReplaceFile(const std::string &source, const std::string &target);
// Cuts the file to size bytes (a roll-back of bytes appended to it).
bool FsTruncateFile(const std::string &path, int64_t size);
// Forces what was written through the stream to the disk: the stream's
// buffer flushed, then the operating system's (fsync, _commit). false when
// either fails.
bool FsSyncFile(std::FILE *file);
// Forces the files (which exist and were written earlier, perhaps by streams
// now closed) to the disk: one syncfs of their file system on Linux, each
// file's own sync elsewhere. false when one could not be synced.
bool FsSyncPaths(const std::vector<std::string> &paths);
// An exclusive lock on the whole of an open file, held until FsUnlockFile or
// the file's close, against other processes that lock it too (fcntl record
// locks, LockFileEx). Never waits: false when another holder has it.
bool FsTryLockFile(std::FILE *file);
void FsUnlockFile(std::FILE *file);
// The number of this process, to make temporary names no other writer uses.
unsigned long FsProcessId();
