// Operations on the items of observing lists (marks, logged bits, status
// values, deletions, copies and moves between lists), the per-mode list
// settings and refresh flag, and the queries which lists hold an object.
#pragma once
#include <cstdint>
#include <string>

#include "userdata/listindex.h"

// Offsets of the item bytes these operations change (ObjectRecord).
const uint8_t kItemLoggedBit = 0x80;      // logged byte (215)
const uint8_t kItemNotVisible = 0;        // visible byte (214)
const uint8_t kItemExcluded = 255;        // visible byte: not evaluated
const int kListSettingCount = 3;

int MarkListForRefresh(ListFile *file);
// Every list in use, empty ones too (a list filled later must not keep
// computed fields of an older state). 1 when all were marked.
int MarkAllListsForRefresh();
int GetListSetting(ListFile *file, int which);
int SetListSetting(ListFile *file, int which, int value);
// In every list in use (empty ones too: a setting naming a thing that went
// away must not wait in an empty list) whose setting equals the old value.
int ReplaceListSettingInAllLists(int which, int oldValue, int newValue);

int ToggleListItemMark(ListFile *file, int k);
int SetListItemMark(ListFile *file, int k, int on);
int SetListItemLogged(ListFile *file, int k, int on);
int UpdateListItemStatusA(ListFile *file, int k, int value);
int UpdateListItemStatusB(ListFile *file, int k, int value);
int UpdateListItemValueC(ListFile *file, int k, int value);
int IsListItemMarked(const ObjectRecord *item);

int MarkAllListItems(ListFile *file, int n, int on);
int MarkVisibleListItems(ListFile *file, int n, int on);
// Removes item k (k below the count) and lowers the count; the list file is
// rewritten and the new count stored in the slot at once.
int DeleteListItem(ListFile *file, int k, int *count);
int DeleteMarkedListItems(ListFile *file, int *count);
int ClearList(int i);
// Into another list (a target equal to the source list is refused: 0);
// the target is sorted without duplicates after. A move deletes from the
// source only when the copy succeeded.
int CopyListItem(ListFile *file, int k, int count, int target);
int MoveListItem(ListFile *file, int k, int *count, int target);
int CopyMarkedListItems(ListFile *file, int count, int target);
int MoveMarkedListItems(ListFile *file, int *count, int target);

// flags[index] = 1 for each item of the class with 0 <= index < size in any
// non-empty list. 1, or -1 when the index or a list cannot be read.
int MarkObjectsInLists(int objectClass, uint8_t *flags, int size);

struct ListMembershipSearch {
    int32_t objectClass;
    int32_t index;
    std::vector<ListIndexEntry> slots;
    int16_t next;
};
int BeginListMembershipSearch(ListMembershipSearch *search, int objectClass, int32_t index);
// 1-based number of the next non-empty list holding the object, with its
// name and its group's name ("" when no group has that id); 0 when none is
// left; -1 on a read error.
int NextListContainingObject(ListMembershipSearch *search, std::string *listName,
                             std::string *groupName);
