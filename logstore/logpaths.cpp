// Class folders, paths and the per-object summary files of the log store.
#include "logstore/logpaths.h"

#include <cstring>
#include <string>

#include "core/debugfile.h"
#include "logstore/loglock.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "core/safefile.h"
#include "instruments/storeio.h"
#include "logstore/logrecords.h"
#include "logstore/oldlogentry.h"
#include "logstore/summaryupgrade.h"

const char *const kLogIndexFolders[6] = {"class", "night", "loc", "observer", "instrument", "cons"};

FILE *OpenSummaryFile(const char *path, const char *mode, int32_t *count, bool unbuffered) {
    EnsureLogStoreRecovered();
    FileHandle f(SafeOpen(path, mode));
    if (!f) return nullptr;
    if (unbuffered) std::setvbuf(f.get(), nullptr, _IONBF, 0);
    int32_t n = 0;
    if (SafeRead(&n, 4, 1, f.get()) != 1 || n < 0) return nullptr;
    // The count must fit the file: rows lie 330,599 bytes apart, so a file of
    // a few thousand rows passes 2 GB (64-bit lengths and offsets).
    int64_t size = StreamSize(f.get());
    if (n > 0 && size == 4 + (int64_t)n * kLogSummarySize330497) {
        // Rows of the previous layout, which carried no stamp: the file is
        // brought up to date once, here, and opened again.
        f.reset();
        if (!UpgradeLogSummaryFile(path)) {
            AppendDebugLine("summary file of the older layout could not be upgraded");
            return nullptr;
        }
        f.reset(SafeOpen(path, mode));
        if (!f || SafeRead(&n, 4, 1, f.get()) != 1 || n < 0) return nullptr;
        size = StreamSize(f.get());
    }
    if (size < 0 || 4 + (int64_t)n * (int64_t)sizeof(LogSummary) > size) return nullptr;
    if (!SafeSeek(f.get(), 4)) return nullptr;
    if (count) *count = n;
    return f.release();
}

int GetClassFolderIndex(int32_t categoryBits) {
    // The log keeps the first 13 rows of the object stores' folder table; sky
    // marks (row 13) are not logged.
    int row = CategoryFolderIndex(static_cast<uint32_t>(categoryBits));
    return (row >= 0 && row < kLogClassFolderCount) ? row : -1;
}

int32_t GetClassBitsOfFolder(int folder) {
    if (folder < 0 || folder >= kLogClassFolderCount) return 0;
    return static_cast<int32_t>(CategoryFolderTable[folder].category);
}

int GetClassFolderName(int folder, char *name) {
    if (!name || folder < 0 || folder >= kLogClassFolderCount) return 0;
    std::memcpy(name, CategoryFolderTable[folder].name, kLogFolderNameSize);
    name[kLogFolderNameSize - 1] = 0;
    return 1;
}

int GetNextClassFolderName(char *name) {
    static int position = 0;
    if (position >= kLogClassFolderCount) {
        position = 0;
        return 0;
    }
    GetClassFolderName(position++, name);
    return 1;
}

int MakeLogPath(char *path, const char *relative) {
    path[0] = 0;
    const char *root = GetUserDataFolder();
    if (!root || !root[0]) return 0;
    int n = relative && relative[0] ? std::snprintf(path, kLogPathSize, "%s/log/%s", root, relative)
                                    : std::snprintf(path, kLogPathSize, "%s/log", root);
    if (n < 0 || n >= kLogPathSize) {
        path[0] = 0;
        return 0;
    }
    return 1;
}

static int MakeFolderPath(int folder, const char *file, char *path) {
    char relative[kLogPathSize];
    if (folder < 0 || folder >= kLogClassFolderCount) {
        path[0] = 0;
        return 0;
    }
    std::snprintf(relative, sizeof relative, "%s%s%s", CategoryFolderTable[folder].name,
                  file ? "/" : "", file ? file : "");
    return MakeLogPath(path, relative);
}

int HasPidFile(int folder) {
    char path[kLogPathSize];
    if (!MakeFolderPath(folder, "pid.bin", path)) return 0;
    return FileExists(path);
}

int CreateLogFolders(int folder) {
    char path[kLogPathSize];
    if (!MakeLogPath(path, nullptr) || !EnsureDirectory(path)) return 0;
    for (const char *index : kLogIndexFolders)
        if (!MakeLogPath(path, index) || !EnsureDirectory(path)) return 0;
    if (!MakeFolderPath(folder, nullptr, path) || !EnsureDirectory(path)) return 0;
    if (!MakeFolderPath(folder, "pid.bin", path)) return 0;
    const int32_t zero[2] = {0, 0};
    return WriteWholeFileSafely(path, zero, sizeof zero);
}

namespace {
// The user data folder whose 13 class folders were last found complete: the
// path builders then skip looking at 13 files each time.
std::string g_foldersMadeFor;
}  // namespace

void ForgetLogFoldersMade() { g_foldersMadeFor.clear(); }

int EnsureLogFolders() {
    const char *root = GetUserDataFolder();
    if (root && root[0] && g_foldersMadeFor == root) return 1;
    bool all = true;
    for (int folder = 0; folder < kLogClassFolderCount; ++folder)
        if (!HasPidFile(folder) && !CreateLogFolders(folder)) all = false;
    if (all && root && root[0]) g_foldersMadeFor = root;
    return 1;
}

void MakePidFilePath(int32_t categoryBits, char *path) {
    EnsureLogFolders();
    MakeFolderPath(GetClassFolderIndex(categoryBits), "pid.bin", path);
}

void MakeObjectFilePath(int32_t categoryBits, int32_t catalogueIndex, int userFlag, char *path) {
    char name[32];
    std::snprintf(name, sizeof name, userFlag ? "%09ds.pix" : "%09d.pix",
                  static_cast<int>(catalogueIndex));
    MakeFolderPath(GetClassFolderIndex(categoryBits), name, path);
}

void MakeEntryFilePath(int32_t categoryBits, int32_t logNumber, char *path) {
    char name[32];
    EnsureLogFolders();
    std::snprintf(name, sizeof name, "%08d.bin", static_cast<int>(logNumber));
    MakeFolderPath(GetClassFolderIndex(categoryBits), name, path);
}

FILE *OpenObjectFile(int32_t categoryBits, int32_t catalogueIndex, int userFlag, int32_t *count) {
    char path[kLogPathSize];
    EnsureLogFolders();
    MakeObjectFilePath(categoryBits, catalogueIndex, userFlag, path);
    if (!path[0]) return nullptr;
    if (!FileExists(path)) {
        // Created only when absent: a file that merely failed to open keeps its rows.
        const int32_t zero = 0;
        if (!WriteWholeFileSafely(path, &zero, 4)) return nullptr;
    }
    return OpenSummaryFile(path, "r+b", count, true);
}
