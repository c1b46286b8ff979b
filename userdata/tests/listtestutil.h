// A scratch user folder for the observing-list tests: lists built from
// items, and a snapshot of every file of the lists folder to show that a
// failed operation left them as they were.
#pragma once
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/fsys.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "testutil/testutil.h"
#include "userdata/listgroups.h"
#include "userdata/listindex.h"

namespace listtest {

inline ObjectRecord Item(int cls, int32_t index, int sub = 0) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = static_cast<uint8_t>(cls);
    r.index = index;
    r.kind = static_cast<uint8_t>(sub);
    r.categoryBits = ClassCategoryBits(cls);
    return r;
}

// Every file of a folder (not descending), name -> bytes.
inline std::map<std::string, std::string> Snapshot(const std::string &folder) {
    std::map<std::string, std::string> files;
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return files;
    for (const FsEntry &e : entries)
        if (!e.isFolder) files[e.name] = testutil::ReadFileBytes(folder + "/" + e.name);
    return files;
}

struct UserFolder {
    testutil::TempDir dir;
    UserFolder() { SetUserDataFolder(dir.path().c_str()); }
    ~UserFolder() { SetUserDataFolder(""); }
    std::string lists() const { return dir.file("lists"); }
};

// A list of these items in group 1 ("Default"); its slot.
inline int MakeList(const char *name, const std::vector<ObjectRecord> &items, int group = 1) {
    int slot = CreateList(group, name, 0, nullptr);
    if (slot < 0) return -1;
    int n = 0;
    ListFile *file = OpenListFile(slot, &n);
    if (!file) return -1;
    for (const ObjectRecord &item : items)
        if (!AppendListItem(file, &item, &n)) {
            DiscardListFile(file);
            return -1;
        }
    return CloseListFile(file, slot, n) ? slot : -1;
}

// The counted items of list slot, in file order.
inline std::vector<ObjectRecord> Items(int slot) {
    std::vector<ObjectRecord> items;
    int n = 0;
    ListFile *file = OpenListFile(slot, &n);
    if (file) ReadAllListItems(file, n, &items);
    DiscardListFile(file);
    return items;
}

inline std::vector<std::pair<int, int32_t>> Keys(const std::vector<ObjectRecord> &items) {
    std::vector<std::pair<int, int32_t>> keys;
    for (const ObjectRecord &r : items) keys.push_back({(int)r.objectClass, (int32_t)r.index});
    return keys;
}

}  // namespace listtest
