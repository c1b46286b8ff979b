// The column-set store "cc.bin" (see columnsets.h).
#include "userdata/columnsets.h"

#include <climits>
#include <cstring>
#include <string>

#include "core/fsys.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "userdata/notestore.h"

namespace {

long RecordOffset(int index) {
    return kColumnSetHeaderBytes + static_cast<long>(sizeof(ColumnSet)) * index;
}

bool Seek(FILE *file, long offset) { return std::fseek(file, offset, SEEK_SET) == 0; }

}  // namespace

const char *ColumnSetFileName() { return "cc.bin"; }

FILE *OpenColumnSetFile(int *count, int create) {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return nullptr;
    std::string path = std::string(root) + "/" + ColumnSetFileName();
    return OpenColumnSetFileAt(path.c_str(), count, create);
}

FILE *OpenColumnSetFileAt(const char *path, int *count, int create) {
    if (!path || !count) return nullptr;
    *count = 0;
    FileHandle file(SafeOpen(path, "r+b"));
    if (!file) {
        if (!create || FsKind(path) >= 0) return nullptr;  // there but not openable: left alone
        int32_t empty[2] = {0, 0};
        if (!WriteWholeFileSafely(path, empty, sizeof empty)) return nullptr;
        file.reset(SafeOpen(path, "r+b"));
        if (!file) return nullptr;
    }
    int32_t n = 0;
    if (SafeRead(&n, 4, 1, file.get()) != 1) return nullptr;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return nullptr;
    long size = std::ftell(file.get());
    if (n < 0 || size < 0 || (size - kColumnSetHeaderBytes) / static_cast<long>(sizeof(ColumnSet)) < n)
        return nullptr;
    if (!Seek(file.get(), 4)) return nullptr;
    *count = n;
    return file.release();
}

int ReadColumnSet(FILE *file, ColumnSet *out, int index) {
    if (!file || !out || index < 0 || !Seek(file, RecordOffset(index))) return 0;
    if (SafeRead(out, sizeof *out, 1, file) != 1) return 0;
    out->name[sizeof out->name - 1] = '\0';
    return 1;
}

int FindColumnSet(FILE *file, const ColumnSet *wanted, int count, int *index) {
    if (!file || !wanted || !Seek(file, kColumnSetHeaderBytes)) return -1;
    char name[sizeof wanted->name];
    std::memcpy(name, wanted->name, sizeof name);
    name[sizeof name - 1] = '\0';
    for (int i = 0; i < count; ++i) {
        ColumnSet set;
        if (SafeRead(&set, sizeof set, 1, file) != 1) return -1;
        set.name[sizeof set.name - 1] = '\0';
        if (set.mode != wanted->mode || CompareNamesNoCase(set.name, name) != 0) continue;
        if (index) *index = i;
        bool same = std::memcmp(set.third, wanted->third, sizeof set.third) == 0 &&
                    std::memcmp(set.first, wanted->first, sizeof set.first) == 0 &&
                    std::memcmp(set.second, wanted->second, sizeof set.second) == 0;
        return same ? 1 : 2;
    }
    return 0;
}

int ReplaceColumnSet(FILE *file, ColumnSet *set, int index) {
    if (!file || !set || index < 0) return 0;
    ColumnSet stored;
    if (!ReadColumnSet(file, &stored, index)) return 0;
    set->id = stored.id;
    set->name[sizeof set->name - 1] = '\0';
    return Seek(file, RecordOffset(index)) && SafeWriteAll(file, set, sizeof *set) && SafeFlush(file)
               ? 1
               : 0;
}

int AppendColumnSet(FILE *file, ColumnSet *set, int *count) {
    if (!file || !set || !count || *count < 0) return 0;
    int32_t lastId = 0;
    if (!Seek(file, 4) || SafeRead(&lastId, 4, 1, file) != 1 || lastId < 0 || lastId == INT32_MAX)
        return 0;
    set->id = lastId + 1;
    set->name[sizeof set->name - 1] = '\0';
    // The record first, then the count that takes it in.
    if (!Seek(file, RecordOffset(*count)) || !SafeWriteAll(file, set, sizeof *set) || !SafeFlush(file))
        return 0;
    int32_t header[2] = {*count + 1, set->id};
    if (!Seek(file, 0) || !SafeWriteAll(file, header, sizeof header) || !SafeFlush(file)) return 0;
    ++*count;
    return 1;
}
