// Windows side of the file-system layer: the ANSI file functions of kernel32.
#include "core/fsys.h"

#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cstdio>

bool FsListFolder(const std::string &folder, std::vector<FsEntry> &out) {
    out.clear();
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '/' && pattern.back() != '\\') pattern += '/';
    pattern += '*';
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        FsEntry fe;
        fe.name = n;
        fe.isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        fe.isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        out.push_back(fe);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(out.begin(), out.end(),
              [](const FsEntry &a, const FsEntry &b) { return a.name < b.name; });
    return true;
}

int FsKind(const std::string &path) {
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return -1;
    return (a & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

bool FsIsReadOnly(const std::string &path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

bool FsMakeFolder(const std::string &path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }
bool FsRemoveFile(const std::string &path) { return DeleteFileA(path.c_str()) != 0; }
bool FsRemoveFolder(const std::string &path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool FsRemoveLink(const std::string &path) {
    // A folder junction is removed as a folder; its target is not touched.
    if (FsKind(path) == 1) return RemoveDirectoryA(path.c_str()) != 0;
    return DeleteFileA(path.c_str()) != 0;
}

int64_t FsFileSize(const std::string &path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER size;
    BOOL ok = GetFileSizeEx(h, &size);
    CloseHandle(h);
    return ok ? (int64_t)size.QuadPart : -1;
}

bool FsGetWriteTime(const std::string &path, FileTimeValue *out) {
    if (!out) return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME w;
    BOOL ok = GetFileTime(h, nullptr, nullptr, &w);
    CloseHandle(h);
    if (!ok) return false;
    out->low = w.dwLowDateTime;
    out->high = w.dwHighDateTime;
    return true;
}

bool FsSetWriteTime(const std::string &path, const FileTimeValue &t) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME w;
    w.dwLowDateTime = t.low;
    w.dwHighDateTime = t.high;
    BOOL ok = SetFileTime(h, nullptr, nullptr, &w);
    CloseHandle(h);
    return ok != 0;
}

bool FsReplaceFile(const std::string &source, const std::string &target) {
    return MoveFileExA(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool FsSyncFile(std::FILE *file) {
    if (!file || std::fflush(file) != 0) return false;
    return _commit(_fileno(file)) == 0;
}

bool FsTruncateFile(const std::string &path, int64_t size) {
    if (size < 0) return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = size;
    bool ok = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0 && SetEndOfFile(h) != 0;
    CloseHandle(h);
    return ok;
}

bool FsSyncPaths(const std::vector<std::string> &paths) {
    bool ok = true;
    for (const std::string &path : paths) {
        // FlushFileBuffers needs a handle with write access.
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;  // replaced or removed since
        ok = FlushFileBuffers(h) != 0 && ok;
        CloseHandle(h);
    }
    return ok;
}

bool FsTryLockFile(std::FILE *file) {
    if (!file) return false;
    HANDLE h = (HANDLE)_get_osfhandle(_fileno(file));
    if (h == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED at = {};
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

void FsUnlockFile(std::FILE *file) {
    if (!file) return;
    HANDLE h = (HANDLE)_get_osfhandle(_fileno(file));
    if (h == INVALID_HANDLE_VALUE) return;
    OVERLAPPED at = {};
    UnlockFileEx(h, 0, 1, 0, &at);
}

unsigned long FsProcessId() { return GetCurrentProcessId(); }
