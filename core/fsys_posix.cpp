// POSIX side of the file-system layer (Linux builds; the Windows build uses
// fsys_win.cpp).
#ifndef _WIN32
#include "core/fsys.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Seconds between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochDelta = 11644473600LL;
}

bool FsListFolder(const std::string &folder, std::vector<FsEntry> &out) {
    out.clear();
    DIR *d = opendir(folder.c_str());
    if (!d) return false;
    while (dirent *e = readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        FsEntry fe;
        fe.name = n;
        std::string full = folder + "/" + n;
        struct stat ls;
        if (lstat(full.c_str(), &ls) == 0 && S_ISLNK(ls.st_mode)) {
            fe.isLink = true;
            struct stat ts;
            fe.isFolder = stat(full.c_str(), &ts) == 0 && S_ISDIR(ts.st_mode);
        } else {
            fe.isFolder = S_ISDIR(ls.st_mode);
        }
        out.push_back(fe);
    }
    closedir(d);
    std::sort(out.begin(), out.end(),
              [](const FsEntry &a, const FsEntry &b) { return a.name < b.name; });
    return true;
}

int FsKind(const std::string &path) {
    struct stat s;
    if (stat(path.c_str(), &s) != 0) return -1;
    return S_ISDIR(s.st_mode) ? 1 : 0;
}

bool FsIsReadOnly(const std::string &path) {
    struct stat s;
    if (stat(path.c_str(), &s) != 0) return false;
    // Judged from the mode bits, not access(): a root process may write anything.
    return (s.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool FsMakeFolder(const std::string &path) { return mkdir(path.c_str(), 0777) == 0; }

bool FsRemoveFile(const std::string &path) {
    // Windows refuses to delete a read-only file; do the same here so that the
    // stores behave alike on both systems.
    if (FsIsReadOnly(path)) return false;
    return unlink(path.c_str()) == 0;
}

bool FsRemoveFolder(const std::string &path) { return rmdir(path.c_str()) == 0; }

bool FsRemoveLink(const std::string &path) { return unlink(path.c_str()) == 0; }

int64_t FsFileSize(const std::string &path) {
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    struct stat s;
    int64_t size = (fstat(fileno(f), &s) == 0 && S_ISREG(s.st_mode)) ? (int64_t)s.st_size : -1;
    std::fclose(f);
    return size;
}

bool FsGetWriteTime(const std::string &path, FileTimeValue *out) {
    struct stat s;
    if (!out || stat(path.c_str(), &s) != 0) return false;
    uint64_t ticks = (uint64_t)(s.st_mtim.tv_sec + kEpochDelta) * 10000000ULL +
                     (uint64_t)s.st_mtim.tv_nsec / 100;
    out->low = (uint32_t)ticks;
    out->high = (uint32_t)(ticks >> 32);
    return true;
}

bool FsSetWriteTime(const std::string &path, const FileTimeValue &t) {
    int fd = open(path.c_str(), O_WRONLY);
    if (fd < 0) return false;
    uint64_t ticks = ((uint64_t)t.high << 32) | t.low;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // access time untouched
    times[1].tv_sec = (time_t)((int64_t)(ticks / 10000000ULL) - kEpochDelta);
    times[1].tv_nsec = (long)(ticks % 10000000ULL) * 100;
    bool ok = futimens(fd, times) == 0;
    close(fd);
    return ok;
}

bool FsReplaceFile(const std::string &source, const std::string &target) {
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool FsTruncateFile(const std::string &path, int64_t size) {
    return size >= 0 && truncate(path.c_str(), static_cast<off_t>(size)) == 0;
}

bool FsSyncFile(std::FILE *file) {
    if (!file || std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}

bool FsSyncPaths(const std::vector<std::string> &paths) {
    bool ok = true;
#ifdef __linux__
    // One call syncs the whole file system the first file lies on; files on
    // another file system get their own.
    dev_t synced = 0;
    bool any = false;
    for (const std::string &path : paths) {
        struct stat st;
        if (stat(path.c_str(), &st) != 0) continue;  // replaced or removed since
        if (any && st.st_dev == synced) continue;
        int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0) {
            ok = false;
            continue;
        }
        if (!any) {
            ok = syncfs(fd) == 0 && ok;
            synced = st.st_dev;
            any = true;
        } else {
            ok = fsync(fd) == 0 && ok;
        }
        close(fd);
    }
#else
    for (const std::string &path : paths) {
        int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0) continue;
        ok = fsync(fd) == 0 && ok;
        close(fd);
    }
#endif
    return ok;
}

bool FsTryLockFile(std::FILE *file) {
    if (!file) return false;
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // the whole file
    return fcntl(fileno(file), F_SETLK, &lock) == 0;
}

void FsUnlockFile(std::FILE *file) {
    if (!file) return;
    struct flock lock = {};
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
    fcntl(fileno(file), F_SETLK, &lock);
}

unsigned long FsProcessId() { return (unsigned long)getpid(); }
#endif
