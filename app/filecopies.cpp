// The importer's file copies, on the shared file utilities.
#include "app/filecopies.h"

#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/fsys.h"

int64_t GetFileSizeByName(const char *path) { return QueryFileSize(path); }

int CopyFileBuffered(const char *source, const char *destination) {
    return CopyPlainFile(source, destination) == 1 ? 1 : 0;
}

int CopyFolderFiles(const char *source, const char *destination) {
    if (!source || !destination) return 0;
    std::vector<FsEntry> entries;
    if (!FsListFolder(source, entries)) return 0;
    for (const FsEntry &e : entries) {
        if (e.isFolder) continue;
        std::string s = std::string(source) + "/" + e.name;
        std::string d = std::string(destination) + "/" + e.name;
        if (!CopyFileBuffered(s.c_str(), d.c_str())) return 0;
    }
    return 1;
}

namespace {
int CopyLogFolders(const char *from, const char *to, bool make) {
    if (make && !EnsureDirectory(to)) return 0;
    if (!CopyFolderFiles(from, to)) return 0;
    for (char c = 'a'; c <= 'l'; ++c) {
        std::string s = std::string(from) + "/c" + c, d = std::string(to) + "/c" + c;
        if (make && !EnsureDirectory(d.c_str())) return 0;
        if (!CopyFolderFiles(s.c_str(), d.c_str())) return 0;
    }
    return 1;
}
}  // namespace

int BackUpLogFolder() { return CopyLogFolders("log", "backlog", true); }
int RestoreLogFolder() { return CopyLogFolders("backlog", "log", false); }
