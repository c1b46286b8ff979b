// File and folder utilities for the stores of user data (portable; the
// platform calls are in fsys_*.cpp).
#include "core/safefile.h"
#include "core/fileutil.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const size_t kCopyBlock = 4096;

using FilePtr = std::unique_ptr<FILE, FileCloser>;

std::string Join(const std::string &folder, const std::string &name) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) return folder + name;
    return folder + "/" + name;
}

// Copies an existing, readable source of n bytes (n may be 0) in blocks,
// crash-safely: the copy is made whole beside the target and then put in its
// place, so a failed or killed copy leaves the target as it was.
int CopyBytes(const char *source, const char *target, int64_t n) {
    FilePtr in(SafeOpen(source, "rb"));
    if (!in) return 0;
    SafeRewrite out;
    if (!BeginSafeRewrite(target, &out)) return 0;
    size_t bufSize = (size_t)(n < (int64_t)kCopyBlock ? n : (int64_t)kCopyBlock) + 1;
    std::unique_ptr<char[]> buf(new (std::nothrow) char[bufSize]);
    bool ok = buf != nullptr;
    int64_t left = n;
    while (ok && left > 0) {
        size_t chunk = (size_t)(left < (int64_t)kCopyBlock ? left : (int64_t)kCopyBlock);
        ok = SafeRead(buf.get(), 1, chunk, in.get()) == chunk && SafeWrite(buf.get(), 1, chunk, out.file) == chunk;
        left -= (int64_t)chunk;
    }
    if (!ok) {
        AbandonSafeRewrite(&out);
        return 0;
    }
    return CommitSafeRewrite(&out) ? 1 : 0;
}

int CopyFolderFiles(const char *source, const char *target, bool keepTime) {
    std::vector<FsEntry> entries;
    if (!FsListFolder(source, entries)) return 0;
    for (const FsEntry &e : entries) {
        if (e.isFolder) continue;
        std::string s = Join(source, e.name), t = Join(target, e.name);
        int r = keepTime ? CopyFileKeepTime(s.c_str(), t.c_str())
                         : CopyPlainFile(s.c_str(), t.c_str());
        if (r == 0) return 0;
    }
    return 1;
}

int FindFileInTreeAt(const std::string &folder, const char *name, char *out, int outSize,
                     int recursive, int depth) {
    std::string path = Join(folder, name);
    if (out && outSize > 0) std::snprintf(out, (size_t)outSize, "%s", path.c_str());
    if (FileExists(path.c_str())) return (int)path.size() < outSize ? 1 : 0;
    if (!recursive || depth >= 64) return 0;
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return 0;
    for (const FsEntry &e : entries) {
        if (!e.isFolder || e.isLink) continue;
        if (FindFileInTreeAt(Join(folder, e.name), name, out, outSize, 1, depth + 1)) return 1;
    }
    return 0;
}

}  // namespace

int EnsureDirectory(const char *path) {
    if (!path || !*path) return 0;
    if (FsKind(path) >= 0) return 1;
    return FsMakeFolder(path) ? 1 : 0;
}

int FileExists(const char *path) { return path && *path && FsKind(path) >= 0 ? 1 : 0; }

int64_t QueryFileSize(const char *path) {
    if (!path || !*path) return 0;
    int64_t n = FsFileSize(path);
    return n < 0 ? 0 : n;
}

char *FormatByteSize(char *buffer, int64_t size) {
    const size_t n = 32;
    if (size < 1024)
        std::snprintf(buffer, n, "%d bytes", (int)size);
    else if (size <= 1048575)
        std::snprintf(buffer, n, "%.1lf KB", (double)size / 1024.0);
    else if (size <= 1073741823)
        std::snprintf(buffer, n, "%.1lf MB", (double)size / 1048576.0);
    else
        std::snprintf(buffer, n, "%.1lf GB", (double)size / 1073741824.0);
    return buffer;
}

int CopyPlainFile(const char *source, const char *target) {
    if (!source || !target) return 0;
    int kind = FsKind(source);
    if (kind < 0) return 2;   // missing
    if (kind == 1) return 0;  // a folder is not a file to copy
    int64_t n = FsFileSize(source);
    if (n < 0) return 0;      // there, but cannot be read: a failure, not "empty"
    if (n == 0) return 2;
    return CopyBytes(source, target, n);
}

int CopyFileKeepTime(const char *source, const char *target) {
    int r = CopyFileSafely(source, target);
    if (r != 1) return r;
    FileTimeValue t;
    if (FsGetWriteTime(source, &t)) FsSetWriteTime(target, t);
    return 1;
}

int CopyFileSafely(const char *source, const char *target) {
    if (!source || !target) return 0;
    // The results of CopyPlainFile: 2 for a missing or empty source, 0 for a
    // folder or a source that cannot be read.
    int kind = FsKind(source);
    if (kind < 0) return 2;
    if (kind == 1) return 0;
    std::string bytes;
    if (!ReadWholeFile(source, &bytes)) return 0;
    if (bytes.empty()) return 2;
    return WriteWholeFileSafely(target, bytes.data(), bytes.size());
}

int GetFileWriteTime(const char *path, FileTimeValue *out) {
    return path && FsGetWriteTime(path, out) ? 1 : 0;
}

int SetFileWriteTime(const char *path, FileTimeValue t) {
    return path && FsSetWriteTime(path, t) ? 1 : 0;
}

int DeleteTree(const char *folder) {
    if (!folder || !*folder) return 0;
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return 0;
    for (const FsEntry &e : entries) {
        std::string p = Join(folder, e.name);
        bool ok;
        if (e.isLink)
            ok = FsRemoveLink(p);
        else if (e.isFolder)
            ok = DeleteTree(p.c_str()) == 1;
        else
            ok = FsRemoveFile(p);  // no step of the seam (see fileutil.h)
        if (!ok) return 0;
    }
    return FsRemoveFolder(folder) ? 1 : 0;
}

int CopyTree(const char *source, const char *target) {
    if (!source || !target || !EnsureDirectory(target)) return 0;
    std::vector<FsEntry> entries;
    if (!FsListFolder(source, entries)) return 0;
    for (const FsEntry &e : entries) {
        std::string s = Join(source, e.name), t = Join(target, e.name);
        if (e.isFolder) {
            if (e.isLink) continue;  // never follow a link out of the tree
            if (!CopyTree(s.c_str(), t.c_str())) return 0;
        } else {
            int r = CopyPlainFile(s.c_str(), t.c_str());
            if (r == 0) return 0;
            if (r == 2) {
                // An empty file is reproduced as an empty file, so that a
                // backup holds the whole tree.
                if (!WriteWholeFileSafely(t.c_str(), nullptr, 0)) return 0;
            }
        }
    }
    return 1;
}

int CopyDirectoryFiles(const char *source, const char *target) {
    return source && target ? CopyFolderFiles(source, target, false) : 0;
}

int CopyDirectoryFilesKeepTime(const char *source, const char *target) {
    return source && target ? CopyFolderFiles(source, target, true) : 0;
}

int OpenDirectoryList(DirectoryList *list, const char *folder, int mode, int reserved) {
    if (!list) return 0;
    *list = DirectoryList();
    if (!folder || std::strlen(folder) > 1020) return 0;
    std::string f = folder;
    list->pattern = (!f.empty() && f.back() == '/') ? f + "*" : f + "/*";
    list->mode = mode;
    if (!FsListFolder(folder, list->entries)) return 0;
    // Mode 0 lists every name, "." and ".." included, as a raw listing does.
    if (mode == 0) {
        list->entries.insert(list->entries.begin(), FsEntry{"..", true, false});
        list->entries.insert(list->entries.begin(), FsEntry{".", true, false});
    }
    list->next = 0;
    list->atEnd = list->entries.empty();
    return list->atEnd ? 0 : 1;
}

int NextDirectoryEntry(DirectoryList *list, char *name, int size) {
    if (!list || !name || size <= 0) return 0;
    name[0] = '\0';
    while (!list->atEnd && list->next < list->entries.size()) {
        const FsEntry &e = list->entries[list->next++];
        list->atEnd = list->next >= list->entries.size();
        bool accept = list->mode == 0 || (list->mode == 1 && !e.isFolder) ||
                      (list->mode == 2 && e.isFolder);
        if (!accept) continue;
        if ((int)e.name.size() >= size) return -1;
        std::memcpy(name, e.name.c_str(), e.name.size() + 1);
        return 1;
    }
    list->atEnd = true;
    return 0;
}

void CloseDirectoryList(DirectoryList *list) {
    if (!list) return;
    list->entries.clear();
    list->next = 0;
    list->atEnd = true;
}

int FindFileInTree(const char *folder, const char *name, char *out, int outSize, int recursive) {
    if (!folder || !name) return 0;
    return FindFileInTreeAt(folder, name, out, outSize, recursive, 0);
}
