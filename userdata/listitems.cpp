// Observing-list item operations and membership queries (see listitems.h).
#include "userdata/listitems.h"

#include <cstring>
#include <memory>

#include "userdata/listgroups.h"

namespace {

struct ListFileCloser {
    void operator()(ListFile *file) const { DiscardListFile(file); }
};
using ListFileHolder = std::unique_ptr<ListFile, ListFileCloser>;

// Reads item k, lets change() alter it, writes it back in place.
template <typename Change>
int ChangeItem(ListFile *file, int k, Change change) {
    if (!file || k < 0) return 0;
    ObjectRecord item;
    if (!ReadListItem(file, k, k + 1, &item)) return 0;
    change(&item);
    return WriteListItem(file, k, k + 1, &item);
}

int HeaderChange(ListFile *file, void (*change)(ListFileHeader *, int, int), int a, int b) {
    ListFileHeader header;
    if (!ReadListHeader(file, &header)) return 0;
    change(&header, a, b);
    return WriteListHeader(file, &header);
}

// Runs change on the header of every list in use.
int ForEveryList(void (*change)(ListFileHeader *, int, int), int a, int b) {
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots)) return 0;
    int ok = 1;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].items < 0) continue;
        int n = 0;
        ListFile *file = OpenListFile((int)i, &n);
        if (!file) {
            ok = 0;
            continue;
        }
        int changed = HeaderChange(file, change, a, b);
        if (!CloseListFile(file, (int)i, n) || !changed) ok = 0;
    }
    return ok;
}

// Appends the chosen items of the source to list target, stores its count
// and sorts it without duplicates.
int CopyItemsToList(ListFile *source, const std::vector<ObjectRecord> &chosen, int target) {
    if (!source || target == source->slot) return 0;
    int n = 0;
    ListFile *file = OpenListFile(target, &n);
    if (!file) return 0;
    int appended = n;
    for (const ObjectRecord &item : chosen)
        if (!AppendListItem(file, &item, &appended)) {
            CloseListFile(file, target, n);  // the earlier count: the partial tail is not counted
            return 0;
        }
    if (!CloseListFile(file, target, appended)) return 0;
    return SortAndDedupList(target);
}

}  // namespace

int MarkListForRefresh(ListFile *file) {
    return HeaderChange(file, [](ListFileHeader *h, int, int) { h->refreshFlag = 1; }, 0, 0);
}

int MarkAllListsForRefresh() {
    return ForEveryList([](ListFileHeader *h, int, int) { h->refreshFlag = 1; }, 0, 0);
}

int GetListSetting(ListFile *file, int which) {
    ListFileHeader header;
    if (which < 0 || which >= kListSettingCount || !ReadListHeader(file, &header)) return 0;
    return header.settings[which];
}

int SetListSetting(ListFile *file, int which, int value) {
    if (which < 0 || which >= kListSettingCount) return 0;
    return HeaderChange(file, [](ListFileHeader *h, int w, int v) { h->settings[w] = v; }, which, value);
}

int ReplaceListSettingInAllLists(int which, int oldValue, int newValue) {
    if (which < 0 || which >= kListSettingCount) return 0;
    static int replacement;  // the value handed to the plain-function change below
    replacement = newValue;
    return ForEveryList([](ListFileHeader *h, int w, int old) {
        if (h->settings[w] == old) h->settings[w] = replacement;
    }, which, oldValue);
}

int ToggleListItemMark(ListFile *file, int k) {
    return ChangeItem(file, k, [](ObjectRecord *r) { r->itemFlags ^= kItemMarkBit; });
}

int SetListItemMark(ListFile *file, int k, int on) {
    return ChangeItem(file, k, [on](ObjectRecord *r) {
        r->itemFlags = on ? (uint8_t)(r->itemFlags | kItemMarkBit) : (uint8_t)(r->itemFlags & ~kItemMarkBit);
    });
}

int SetListItemLogged(ListFile *file, int k, int on) {
    return ChangeItem(file, k, [on](ObjectRecord *r) {
        r->reserved215 = on ? (uint8_t)(r->reserved215 | kItemLoggedBit)
                            : (uint8_t)(r->reserved215 & ~kItemLoggedBit);
    });
}

int UpdateListItemStatusA(ListFile *file, int k, int value) {
    return ChangeItem(file, k, [value](ObjectRecord *r) { SetListItemStatusA(r, value); });
}

int UpdateListItemStatusB(ListFile *file, int k, int value) {
    return ChangeItem(file, k, [value](ObjectRecord *r) { SetListItemStatusB(r, value); });
}

int UpdateListItemValueC(ListFile *file, int k, int value) {
    return ChangeItem(file, k, [value](ObjectRecord *r) { SetListItemValueC(r, value); });
}

int IsListItemMarked(const ObjectRecord *item) { return item && (item->itemFlags & kItemMarkBit) ? 1 : 0; }

int MarkAllListItems(ListFile *file, int n, int on) {
    for (int k = 0; k < n; ++k)
        if (!SetListItemMark(file, k, on)) return 0;
    return 1;
}

int MarkVisibleListItems(ListFile *file, int n, int on) {
    for (int k = 0; k < n; ++k) {
        int done = ChangeItem(file, k, [on](ObjectRecord *r) {
            if (r->visibilityFlags == kItemNotVisible || r->visibilityFlags == kItemExcluded) return;
            r->itemFlags = on ? (uint8_t)(r->itemFlags | kItemMarkBit) : (uint8_t)(r->itemFlags & ~kItemMarkBit);
        });
        if (!done) return 0;
    }
    return 1;
}

int DeleteListItem(ListFile *file, int k, int *count) {
    if (!file || !count || k < 0 || k >= *count) return 0;
    std::vector<ObjectRecord> items;
    if (!ReadAllListItems(file, *count, &items) || (int)items.size() != *count) return 0;
    std::vector<ObjectRecord> dropped{items[(size_t)k]};
    items.erase(items.begin() + k);
    if (!RewriteListItems(file, items, dropped) || !StoreListItemCount(file->slot, (int)items.size())) return 0;
    *count = (int)items.size();
    return 1;
}

int DeleteMarkedListItems(ListFile *file, int *count) {
    if (!file || !count || *count < 0) return 0;
    std::vector<ObjectRecord> items, kept, dropped;
    if (!ReadAllListItems(file, *count, &items) || (int)items.size() != *count) return 0;
    for (const ObjectRecord &item : items)
        (IsListItemMarked(&item) ? dropped : kept).push_back(item);
    if (dropped.empty()) return 1;
    if (!RewriteListItems(file, kept, dropped) || !StoreListItemCount(file->slot, (int)kept.size())) return 0;
    *count = (int)kept.size();
    return 1;
}

int ClearList(int i) { return StoreListItemCount(i, 0); }

int CopyListItem(ListFile *file, int k, int count, int target) {
    ObjectRecord item;
    if (!file || target == file->slot || !ReadListItem(file, k, count, &item)) return 0;
    return CopyItemsToList(file, {item}, target);
}

int MoveListItem(ListFile *file, int k, int *count, int target) {
    if (!count || CopyListItem(file, k, *count, target) != 1) return 0;
    return DeleteListItem(file, k, count);
}

int CopyMarkedListItems(ListFile *file, int count, int target) {
    std::vector<ObjectRecord> items, marked;
    if (!file || target == file->slot || !ReadAllListItems(file, count, &items)) return 0;
    for (const ObjectRecord &item : items)
        if (IsListItemMarked(&item)) marked.push_back(item);
    return CopyItemsToList(file, marked, target);
}

int MoveMarkedListItems(ListFile *file, int *count, int target) {
    if (!count || CopyMarkedListItems(file, *count, target) != 1) return 0;
    return DeleteMarkedListItems(file, count);
}

int MarkObjectsInLists(int objectClass, uint8_t *flags, int size) {
    if (!flags || size < 0) return -1;
    std::memset(flags, 0, (size_t)size);
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots)) return -1;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].items <= 0) continue;
        int n = 0;
        ListFileHolder file(OpenListFile((int)i, &n));
        std::vector<ObjectRecord> items;
        if (!file || !ReadAllListItems(file.get(), n, &items)) return -1;
        for (const ObjectRecord &item : items)
            if (item.objectClass == objectClass && item.index >= 0 && item.index < size)
                flags[item.index] = 1;
    }
    return 1;
}

int BeginListMembershipSearch(ListMembershipSearch *search, int objectClass, int32_t index) {
    if (!search) return 0;
    search->objectClass = objectClass;
    search->index = index;
    search->next = 0;
    return ReadListIndexSlots(&search->slots);
}

int NextListContainingObject(ListMembershipSearch *search, std::string *listName,
                             std::string *groupName) {
    if (!search) return -1;
    while (search->next < (int)search->slots.size()) {
        int i = search->next++;
        const ListIndexEntry &slot = search->slots[(size_t)i];
        if (slot.items <= 0) continue;
        int n = 0;
        ListFileHolder file(OpenListFile(i, &n));
        std::vector<ObjectRecord> items;
        if (!file || !ReadAllListItems(file.get(), n, &items)) return -1;
        for (const ObjectRecord &item : items) {
            if (item.objectClass != search->objectClass || item.index != search->index) continue;
            if (listName) *listName = slot.name;
            ListGroupEntry group;
            if (groupName) *groupName = FindListGroupById(&group, slot.group) ? group.name : "";
            return i + 1;
        }
    }
    search->slots.clear();
    return 0;
}
