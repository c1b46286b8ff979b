// Observing-list index, list files and descriptions (see listindex.h).
#include "userdata/listindex.h"
#include "userdata/listjournal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "core/userfolder.h"
#include "userdata/listgroups.h"
#include "userdata/listupgrade.h"

const char kCurrentGroupName[] = "Current";

namespace {

std::string NumberedName(const std::string &folder, const char *stem, int i, int digits) {
    char name[32];
    std::snprintf(name, sizeof name, digits == 3 ? "/%s.%03d" : "/%s.%04d", stem, i);
    return folder + name;
}

int ParseIndex(const std::string &bytes, std::vector<ListIndexEntry> *slots) {
    slots->clear();
    if (bytes.size() < (size_t)kListIndexHeaderBytes) return 0;
    int16_t n = 0;
    std::memcpy(&n, bytes.data(), sizeof n);
    size_t room = (bytes.size() - kListIndexHeaderBytes) / sizeof(ListIndexEntry);
    if (n < 0 || (size_t)n > room) return 0;
    slots->resize((size_t)n);
    if (n > 0)
        std::memcpy(slots->data(), bytes.data() + kListIndexHeaderBytes,
                    (size_t)n * sizeof(ListIndexEntry));
    for (ListIndexEntry &s : *slots) s.name[sizeof s.name - 1] = '\0';
    return 1;
}

ListIndexEntry FreeSlot() {
    ListIndexEntry s;
    std::memset(&s, 0, sizeof s);
    s.items = kFreeSlotItems;
    return s;
}

int64_t ItemOffset(int k) { return (int64_t)kListHeaderBytes + (int64_t)kListItemBytes * k; }

// Reopens a list file's stream after a rewrite put a new copy in place.
int ReopenListFile(ListFile *file) {
    file->file = SafeOpen(file->path.c_str(), "r+b");
    return file->file && SafeSeek(file->file, kListHeaderBytes) ? 1 : 0;
}

int UpdateSlot(int i, void (*change)(ListIndexEntry *, const void *), const void *value) {
    std::vector<ListIndexEntry> slots;
    if (i < 0 || !ReadListIndexSlots(&slots) || i >= (int)slots.size() ||
        slots[(size_t)i].items < 0)
        return 0;
    change(&slots[(size_t)i], value);
    return WriteListIndexSlots(slots);
}

int FindNameIn(const std::vector<ListIndexEntry> &slots, const char *name, int *items,
               FileTimeValue *time) {
    if (!name) return -1;
    char wanted[kListNameMax + 1];
    CopyStringTruncated(wanted, name, sizeof wanted);
    for (size_t i = 0; i < slots.size(); ++i) {
        const ListIndexEntry &s = slots[i];
        if (s.items < 0 || std::strcmp(s.name, wanted) != 0) continue;
        if (items) *items = s.items;
        if (time) *time = s.time;
        return (int)i;
    }
    return -1;
}

// The items of a list file at a path: the first n (fewer when the file is
// shorter), sorted.
int ReadSortedItemsAt(const std::string &path, int n, std::vector<ObjectRecord> *items) {
    items->clear();
    std::string bytes;
    if (!ReadWholeFile(path.c_str(), &bytes) || bytes.size() < (size_t)kListHeaderBytes) return 0;
    size_t have = (bytes.size() - kListHeaderBytes) / kListItemBytes;
    size_t m = std::min(have, (size_t)std::max(n, 0));
    items->resize(m);
    if (m) std::memcpy(items->data(), bytes.data() + kListHeaderBytes, m * kListItemBytes);
    std::sort(items->begin(), items->end(), [](const ObjectRecord &a, const ObjectRecord &b) {
        return CompareListItems(&a, &b) < 0;
    });
    return 1;
}

}  // namespace

// ---- paths ---------------------------------------------------------------------------

std::string FormatListIndexPath() {
    std::string folder = GetListsFolder();
    return folder.empty() ? folder : folder + "/obs.idx";
}

std::string FormatListFilePath(int i) {
    std::string folder = GetListsFolder();
    return folder.empty() ? folder : NumberedName(folder, "obs", i, 4);
}

std::string FormatOtherListFilePath(const char *folder, int i) {
    return NumberedName(folder ? folder : "", "obs", i, 4);
}

std::string FormatListDescriptionPath(int i) {
    std::string folder = GetListsFolder();
    return folder.empty() ? folder : NumberedName(folder, "desc", i, 4);
}

std::string FormatOtherListDescriptionPath(const char *folder, int i, int version) {
    return NumberedName(folder ? folder : "", "desc", i,
                        version >= kFirstCurrentListVersion ? 4 : 3);
}

int GetListHeaderSize() { return kListHeaderBytes; }

// ---- the index -----------------------------------------------------------------------

int ReadListIndexSlots(std::vector<ListIndexEntry> *slots) {
    if (!slots) return 0;
    slots->clear();
    if (!EnsureListStoreRecovered()) return 0;
    std::string path = FormatListIndexPath();
    if (path.empty()) return 0;
    if (FsKind(path) < 0) {
        if (!EnsureDirectory(GetListsFolder().c_str())) return 0;
        return WriteListIndexSlots(*slots);
    }
    std::string bytes;
    return ReadWholeFile(path.c_str(), &bytes) && ParseIndex(bytes, slots) ? 1 : 0;
}

int ReadOtherListIndexSlots(const char *folder, std::vector<ListIndexEntry> *slots) {
    if (!folder || !slots) return 0;
    std::string bytes;
    return ReadWholeFile((std::string(folder) + "/obs.idx").c_str(), &bytes) &&
                   ParseIndex(bytes, slots)
               ? 1
               : 0;
}

int WriteListIndexSlots(const std::vector<ListIndexEntry> &slots) {
    if (slots.size() > (size_t)INT16_MAX) return 0;
    std::string path = FormatListIndexPath();
    if (path.empty()) return 0;
    int16_t n = (int16_t)slots.size();
    std::string bytes(reinterpret_cast<const char *>(&n), sizeof n);
    if (n) bytes.append(reinterpret_cast<const char *>(slots.data()), slots.size() * sizeof(ListIndexEntry));
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

int CreateListIndex(int keep) {
    std::string folder = GetListsFolder();
    if (folder.empty()) return 0;
    if (!keep && FsKind(FormatListIndexPath()) == 0) {
        std::vector<ListIndexEntry> slots;
        if (!ReadListIndexSlots(&slots)) return 0;
        for (size_t i = 0; i < slots.size(); ++i) {
            std::string path = FormatListFilePath((int)i);
            if (slots[i].items >= 0 && FsKind(path) == 0 && !SafeRemove(path.c_str())) return 0;
        }
    }
    if (!EnsureDirectory(folder.c_str())) return 0;
    return WriteListIndexSlots(std::vector<ListIndexEntry>());
}

FILE *OpenListIndex(int *count) {
    if (count) *count = 0;
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots)) return nullptr;
    FILE *f = SafeOpen(FormatListIndexPath().c_str(), "rb");
    if (f && count) *count = (int)slots.size();
    if (f) SafeSeek(f, kListIndexHeaderBytes);
    return f;
}

FILE *OpenOtherListIndex(const char *folder, int *count) {
    if (count) *count = 0;
    std::vector<ListIndexEntry> slots;
    if (!ReadOtherListIndexSlots(folder, &slots)) return nullptr;
    FILE *f = SafeOpen((std::string(folder) + "/obs.idx").c_str(), "rb");
    if (f && count) *count = (int)slots.size();
    if (f) SafeSeek(f, kListIndexHeaderBytes);
    return f;
}

void RewindListIndex(FILE *file) {
    if (file) SafeSeek(file, kListIndexHeaderBytes);
}

int NextListIndexEntry(FILE *file, int group, int count, char *name, int *items, int *groupOut) {
    if (!file) return -1;
    for (;;) {
        int64_t at = (int64_t)std::ftell(file);  // the index is at most 2 + 60 x 32,767 bytes
        if (at < 0) return -1;
        int slot = (int)((at - kListIndexHeaderBytes) / (int64_t)sizeof(ListIndexEntry));
        if (slot >= count) return 0;
        ListIndexEntry s;
        if (SafeRead(&s, sizeof s, 1, file) != 1) return -1;
        s.name[sizeof s.name - 1] = '\0';
        if (s.items < 0 || (group > 0 && s.group != group)) continue;
        if (name) std::memcpy(name, s.name, sizeof s.name);
        if (items) *items = s.items;
        if (groupOut) *groupOut = s.group;
        return slot + 1;
    }
}

int ReadListIndexEntry(FILE *file, int i, int *group, char *name) {
    if (!file || i < 0 || !SafeSeek(file, kListIndexHeaderBytes + (int64_t)i * sizeof(ListIndexEntry)))
        return 0;
    ListIndexEntry s;
    if (SafeRead(&s, sizeof s, 1, file) != 1) return -1;
    s.name[sizeof s.name - 1] = '\0';
    if (group) *group = s.group;
    if (name) std::memcpy(name, s.name, sizeof s.name);
    return s.items;
}

int FindListByName(const char *name, int *items, FileTimeValue *time) {
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots)) return -1;
    return FindNameIn(slots, name, items, time);
}

int FindListInSlots(const std::vector<ListIndexEntry> &slots, const char *name, int *items,
                    FileTimeValue *time) {
    return FindNameIn(slots, name, items, time);
}

int FindOtherListByName(const char *folder, const char *name, int *items, FileTimeValue *time) {
    std::vector<ListIndexEntry> slots;
    if (!ReadOtherListIndexSlots(folder, &slots)) return -1;
    return FindNameIn(slots, name, items, time);
}

void InitListFileHeader(ListFileHeader *header) {
    std::memset(header, 0, sizeof *header);
    SetCurrentStamp(&header->stamp);
    header->refreshFlag = 1;
    for (int m = 0; m < 3; ++m) header->settings[m] = kNewListSettings[m];
}

int CreateList(int group, const char *name, int items, const FileTimeValue *time) {
    if (group <= 0 || group > INT16_MAX || !name || items < 0 || items > kListItemsMax) return -1;
    // A list is filed in a group that exists (the group file is made with
    // "Default" on first use).
    ListGroupEntry entry;
    if (!FindListGroupById(&entry, group)) return -1;
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots)) return -1;
    size_t slot = 0;
    while (slot < slots.size() && slots[slot].items >= 0) ++slot;
    if (slot == slots.size()) {
        if (slots.size() >= (size_t)INT16_MAX) return -1;
        slots.push_back(FreeSlot());
    }
    // The list file first, and a stale description of a reused slot away,
    // so that the slot is only written once its list is whole: a failure
    // leaves no named slot without a file.
    ListFileHeader header;
    InitListFileHeader(&header);
    std::string path = FormatListFilePath((int)slot);
    std::string desc = FormatListDescriptionPath((int)slot);
    if (!WriteWholeFileSafely(path.c_str(), &header, sizeof header)) return -1;
    if (FsKind(desc) >= 0 && !SafeRemove(desc.c_str())) return -1;
    ListIndexEntry &s = slots[slot];
    s = FreeSlot();
    CopyStringZeroFilled(s.name, name, kListNameMax + 1);
    s.items = (int16_t)items;
    if (time) s.time = *time;
    s.group = (int16_t)group;
    if (!WriteListIndexSlots(slots)) {
        SafeRemove(path.c_str());  // no file without its slot
        return -1;
    }
    return (int)slot;
}

int DeleteList(int i) {
    std::vector<ListIndexEntry> slots;
    if (i < 0 || !ReadListIndexSlots(&slots) || i >= (int)slots.size()) return 0;
    slots[(size_t)i] = FreeSlot();
    if (i == (int)slots.size() - 1) slots.pop_back();
    if (!WriteListIndexSlots(slots)) return 0;
    // The list is gone once the index no longer names it; a file that cannot
    // be removed now is overwritten or removed when the slot is used again.
    for (const std::string &path : {FormatListFilePath(i), FormatListDescriptionPath(i)})
        if (FsKind(path) >= 0) SafeRemove(path.c_str());
    return 1;
}

int SetListFileTime(int i, FileTimeValue time) {
    return UpdateSlot(i, [](ListIndexEntry *s, const void *v) {
        s->time = *static_cast<const FileTimeValue *>(v);
    }, &time);
}

int SetListGroup(int i, int group) {
    if (group <= 0 || group > INT16_MAX) return 0;
    return UpdateSlot(i, [](ListIndexEntry *s, const void *v) {
        s->group = (int16_t)*static_cast<const int *>(v);
    }, &group);
}

int RenameList(int i, const char *name) {
    if (!name || !*name) return 0;
    return UpdateSlot(i, [](ListIndexEntry *s, const void *v) {
        CopyStringZeroFilled(s->name, static_cast<const char *>(v), kListRenameMax + 1);
    }, name);
}

int StoreListItemCount(int i, int items) {
    if (items < 0 || items > kListItemsMax) return 0;
    std::string path = FormatListFilePath(i);
    // The header's copy first (one in-place field), then the slot.
    FileHandle f(SafeOpen(path.c_str(), "r+b"));
    int16_t n = (int16_t)items;
    if (!f || !SafeSeek(f.get(), sizeof(VersionStamp)) || SafeWrite(&n, sizeof n, 1, f.get()) != 1 ||
        !SafeClose(f.release()))
        return 0;
    return UpdateSlot(i, [](ListIndexEntry *s, const void *v) {
        s->items = (int16_t)*static_cast<const int *>(v);
    }, &items);
}

// ---- list files ------------------------------------------------------------------------

std::string FormatListLockPath() {
    // In the user folder, not among the lists: a backup or snapshot of the
    // lists folder holds only the lists.
    char path[1100];
    if (!MakeUserDataPath(path, (int)sizeof path, "lists.lock")) return std::string();
    return path;
}

ListFile *OpenListFile(int i, int *items) {
    if (items) *items = 0;
    if (i < 0) return nullptr;
    std::unique_ptr<ListFile> locked(new ListFile);
    if (!AcquireStoreLock(FormatListLockPath(), &locked->lock)) return nullptr;
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots) || i >= (int)slots.size() || slots[(size_t)i].items < 0)
        return nullptr;
    ListFile *file = locked.release();
    file->slot = i;
    file->path = FormatListFilePath(i);
    if (!ReopenListFile(file)) {
        DiscardListFile(file);
        return nullptr;
    }
    if (items) *items = slots[(size_t)i].items;
    return file;
}

void DiscardListFile(ListFile *file) {
    if (!file) return;
    if (file->file) std::fclose(file->file);
    delete file;
}

int CloseListFile(ListFile *file, int i, int items) {
    if (!file) return 0;
    FILE *f = file->file;
    file->file = nullptr;
    // The count goes to the slot before the lock is let go (the file's
    // deletion releases it, on every path).
    std::unique_ptr<ListFile> holder(file);
    if (!f || !SafeFlush(f)) {
        if (f) std::fclose(f);
        return 0;
    }
    if (!SafeClose(f)) return 0;
    return StoreListItemCount(i, items);
}

int SeekFirstListItem(ListFile *file) {
    return file && file->file ? SafeSeek(file->file, kListHeaderBytes) : 0;
}

int SeekListItem(ListFile *file, int k) {
    return file && file->file && k >= 0 ? SafeSeek(file->file, ItemOffset(k)) : 0;
}

int ReadListItem(ListFile *file, int k, int n, ObjectRecord *item) {
    if (!item || k < 0 || k >= n || !SeekListItem(file, k)) return 0;
    return SafeRead(item, sizeof *item, 1, file->file) == 1 ? 1 : 0;
}

int WriteListItem(ListFile *file, int k, int n, const ObjectRecord *item) {
    if (!item || k < 0 || k >= n || !SeekListItem(file, k)) return 0;
    return SafeWrite(item, sizeof *item, 1, file->file) == 1 ? 1 : 0;
}

int AppendListItem(ListFile *file, const ObjectRecord *item, int *count) {
    if (!item || !count || *count < 0 || *count >= kListItemsMax) return 0;
    ObjectRecord copy = *item;
    copy.itemFlags &= (uint8_t)~kItemMarkBit;
    // At the end of the counted items, wherever the stream stands.
    if (!SeekListItem(file, *count) || SafeWrite(&copy, sizeof copy, 1, file->file) != 1) return 0;
    ++*count;
    return 1;
}

int ReadListHeader(ListFile *file, ListFileHeader *header) {
    if (!file || !file->file || !header || !SafeSeek(file->file, 0)) return 0;
    return SafeRead(header, sizeof *header, 1, file->file) == 1 ? 1 : 0;
}

int WriteListHeader(ListFile *file, const ListFileHeader *header) {
    if (!file || !file->file || !header || !SafeSeek(file->file, 0)) return 0;
    return SafeWrite(header, sizeof *header, 1, file->file) == 1 ? 1 : 0;
}

int ReadAllListItems(ListFile *file, int n, std::vector<ObjectRecord> *items) {
    items->clear();
    if (!file || !file->file || n < 0) return 0;
    int64_t size = StreamSize(file->file);
    if (size < kListHeaderBytes) return 0;
    int64_t have = (size - kListHeaderBytes) / kListItemBytes;
    size_t m = (size_t)std::min<int64_t>(have, n);
    items->resize(m);
    if (m && (!SeekFirstListItem(file) || SafeRead(items->data(), kListItemBytes, m, file->file) != m)) {
        items->clear();
        return 0;
    }
    return 1;
}

int RewriteListItems(ListFile *file, const std::vector<ObjectRecord> &items,
                     const std::vector<ObjectRecord> &dropped) {
    if (!file || !file->file || items.size() > (size_t)kListItemsMax) return 0;
    std::string old;
    {
        // The old bytes through the open stream (flushed first), so that
        // what the caller wrote through it is part of the copy.
        int64_t size = StreamSize(file->file);
        if (size < kListHeaderBytes || std::fflush(file->file) != 0 || !SafeSeek(file->file, 0)) return 0;
        old.resize((size_t)size);
        if (SafeRead(&old[0], 1, old.size(), file->file) != old.size()) return 0;
    }
    std::string bytes = old.substr(0, kListHeaderBytes);
    int16_t n = (int16_t)items.size();
    std::memcpy(&bytes[sizeof(VersionStamp)], &n, sizeof n);
    if (!items.empty()) bytes.append(reinterpret_cast<const char *>(items.data()), items.size() * kListItemBytes);
    if (!dropped.empty())
        bytes.append(reinterpret_cast<const char *>(dropped.data()), dropped.size() * kListItemBytes);
    if (bytes.size() < old.size()) bytes.append(old, bytes.size(), std::string::npos);
    std::fclose(file->file);
    file->file = nullptr;
    int written = WriteWholeFileSafely(file->path.c_str(), bytes.data(), bytes.size());
    int reopened = ReopenListFile(file);
    return written && reopened ? 1 : 0;
}

int GetListFileTime(int i, FileTimeValue *time) {
    return GetFileWriteTime(FormatListFilePath(i).c_str(), time);
}

int GetOtherListFileTime(const char *folder, int i, FileTimeValue *time) {
    return GetFileWriteTime(FormatOtherListFilePath(folder, i).c_str(), time);
}

int CompareListItems(const ObjectRecord *a, const ObjectRecord *b) {
    if (a->objectClass != b->objectClass) return a->objectClass < b->objectClass ? -1 : 1;
    if (a->index != b->index) return a->index < b->index ? -1 : 1;
    if (a->objectClass == kClassSolarSystem && a->kind != b->kind) return a->kind < b->kind ? -1 : 1;
    return 0;
}

bool SameListObject(const ObjectRecord *a, const ObjectRecord *b) { return CompareListItems(a, b) == 0; }

int SortAndDedupList(int i) {
    int n = 0;
    ListFile *file = OpenListFile(i, &n);
    if (!file) return 0;
    std::vector<ObjectRecord> items;
    if (!ReadAllListItems(file, n, &items)) {
        DiscardListFile(file);
        return 0;
    }
    std::stable_sort(items.begin(), items.end(), [](const ObjectRecord &a, const ObjectRecord &b) {
        return CompareListItems(&a, &b) < 0;
    });
    std::vector<ObjectRecord> kept, dropped;
    for (const ObjectRecord &item : items)
        if (kept.empty() || !SameListObject(&kept.back(), &item)) kept.push_back(item);
        else dropped.push_back(item);
    int ok = RewriteListItems(file, kept, dropped);
    DiscardListFile(file);
    return ok && StoreListItemCount(i, (int)kept.size()) ? 1 : 0;
}

namespace {

// 0 when the two sorted arrays hold the same objects pairwise, else 1.
int CompareSortedItems(const std::vector<ObjectRecord> &mine, const std::vector<ObjectRecord> &theirs) {
    if (mine.size() != theirs.size()) return 1;
    for (size_t k = 0; k < mine.size(); ++k)
        if (!SameListObject(&mine[k], &theirs[k])) return 1;
    return 0;
}

}  // namespace

int CompareOtherListWithCurrent(int i, int n, const char *folder, int other, int otherCount) {
    if (n != otherCount) return 1;
    std::vector<ObjectRecord> mine, theirs;
    if (!ReadSortedItemsAt(FormatListFilePath(i), n, &mine) ||
        !ReadSortedItemsAt(FormatOtherListFilePath(folder, other), otherCount, &theirs))
        return -1;
    return CompareSortedItems(mine, theirs);
}

int CompareOldListWithCurrent(int i, int n, const char *folder, int other, int otherCount) {
    if (n != otherCount) return 1;
    if (!folder || other < 0 || other > 999 || otherCount < 0) return -1;
    if (otherCount == 0) return 0;
    std::vector<ObjectRecord> mine;
    if (!ReadSortedItemsAt(FormatListFilePath(i), n, &mine)) return -1;
    char name[16];
    std::snprintf(name, sizeof name, "/obs.%03d", other);
    ObjectRecord *array = nullptr;
    if (!ReadOldObservingListItems((std::string(folder) + name).c_str(), &array, otherCount)) return -1;
    std::vector<ObjectRecord> theirs(array, array + otherCount);
    delete[] array;
    std::sort(theirs.begin(), theirs.end(), [](const ObjectRecord &a, const ObjectRecord &b) {
        return CompareListItems(&a, &b) < 0;
    });
    return CompareSortedItems(mine, theirs);
}

// ---- descriptions ------------------------------------------------------------------------

int ReadListDescription(int i, std::string *text) {
    if (!text) return 0;
    text->clear();
    std::string bytes;
    if (!ReadWholeFile(FormatListDescriptionPath(i).c_str(), &bytes) || bytes.size() < 4) return 0;
    int32_t length = 0;
    std::memcpy(&length, bytes.data(), sizeof length);
    if (length < 0 || (size_t)length > bytes.size() - 4) return 0;
    text->assign(bytes.data() + 4, (size_t)length);
    // A NUL inside the counted text ends it, as it would in the original.
    text->resize(std::strlen(text->c_str()));
    return 1;
}

int WriteListDescription(int i, const char *text) {
    if (!text) text = "";
    std::string path = FormatListDescriptionPath(i);
    if (path.empty()) return 0;
    int32_t length = (int32_t)std::strlen(text);
    std::string bytes(reinterpret_cast<const char *>(&length), sizeof length);
    bytes.append(text, (size_t)length + 1);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

int EnsureCurrentGroup() {
    ListGroupEntry entry;
    int id = FindListGroupByName(kCurrentGroupName, &entry);
    if (id < 0) return id - 1;
    if (id == 0) {
        id = AddListGroup(kCurrentGroupName, &entry);
        if (id <= 0) return id - 1;
    }
    static const char *const kCurrentLists[] = {"Current Comets", "Current Minor Planets",
                                               "Current Novae and Supernovae"};
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots)) return 0;  // an unreadable index is no "no such list"
    int result = 1;
    for (const char *name : kCurrentLists) {
        int slot = FindListInSlots(slots, name, nullptr, nullptr);
        if (slot >= 0) result = SetListGroup(slot, id);
    }
    return result;
}
