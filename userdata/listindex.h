// Observing lists: the list index "lists/obs.idx", the list files
// "lists/obs.NNNN" of ObjectRecord items behind a 390-byte header, and the
// description files "lists/desc.NNNN".
//
// obs.idx: int16 slot count n, then n ListIndexEntry slots of 60 bytes. Slot
// i is list i; a free slot has the item count -1 and every other byte zero.
// The slot's item count is the authoritative one; the header's copy at offset
// 5 of the list file is kept equal to it whenever the count is stored, so
// that copied list files (backups, merges) carry their true count.
// Every change of the index rewrites it whole in one crash-safe step; list
// files are rewritten the same way when items are removed or reordered, and
// keep their length (the bytes past the counted items are left as they were).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/fsys.h"
#include "core/storelock.h"
#include "core/versionstamp.h"
#include "objects/objectrecord.h"

#pragma pack(push, 1)
struct ListIndexEntry {
    char name[48];       // 0  NUL-terminated
    int16_t items;       // 48 -1 free slot
    FileTimeValue time;  // 50 creation time of the package the list came from, else 0
    int16_t group;       // 58 list group id
};

// Bytes 7-104, 106-110 and 123-134 are the refresh stamp: the inputs with
// which the items' computed fields were last computed.
struct ListFileHeader {
    VersionStamp stamp;         // 0
    int16_t items;              // 5   copy of the slot's count
    double stampTime;           // 7   T(TT) of the last refresh
    double siteLongitude;       // 15
    double siteLatitude;        // 23
    double siteElevation;       // 31
    double siteValues[5];       // 39  site record bytes 106, 56, 82, 73, 64 (doubles)
    double opticsValue;         // 79  criteria bytes 25-32
    double observerExperience;  // 87
    double observerValue;       // 95
    uint8_t cameraIndex;        // 103
    uint8_t siteByte;           // 104 site record byte 132
    uint8_t refreshFlag;        // 105 1: the computed fields must be recomputed
    int32_t notesGroup;         // 106 notes group of the last refresh, -1 none
    uint8_t refreshMode;        // 110 0 simple, 1 visual, 2 imaging
    int32_t settings[3];        // 111 one list setting per display mode
    uint8_t filterIndex;        // 123
    uint8_t binning;            // 124
    uint8_t opticsByte;         // 125 criteria byte 164,685
    double opticsValue2;        // 126 criteria bytes 164,661-164,668
    uint8_t hasHorizon;         // 134
    uint8_t reserved[255];      // 135
};
#pragma pack(pop)
static_assert(sizeof(ListIndexEntry) == 60, "ListIndexEntry is 60 bytes");
static_assert(sizeof(ListFileHeader) == 390, "ListFileHeader is 390 bytes");

const int kListIndexHeaderBytes = 2;
const int kListHeaderBytes = 390;
const int kListItemBytes = 395;
const int kListNameMax = 47;        // a slot name, and every name looked up
const int kListRenameMax = 45;      // what a rename keeps
const int kListItemsMax = 32767;    // int16 counts
const int kFreeSlotItems = -1;
const int kNewListSettings[3] = {1, 2, 3};
const uint8_t kItemMarkBit = 0x01;       // item flags byte: chosen by the user
const uint8_t kItemRecomputeBit = 0x02;  // item flags byte: recompute at the next refresh
const int32_t kNoNotesGroup = -1;
// Newer than this is the current generation of lists (four-digit numbers).
const int kFirstCurrentListVersion = 3000;
extern const char kCurrentGroupName[];   // "Current"

// ---- paths ---------------------------------------------------------------------
std::string FormatListIndexPath();
std::string FormatListFilePath(int i);
std::string FormatOtherListFilePath(const char *folder, int i);
std::string FormatListDescriptionPath(int i);
// "%s/desc.%04d" from version 3000, "%s/desc.%03d" before.
std::string FormatOtherListDescriptionPath(const char *folder, int i, int version);
int GetListHeaderSize();

// ---- the index -------------------------------------------------------------------
// 1 with every slot (made with count 0, with the lists folder, when missing);
// 0 when it cannot be read, or its count is negative or more than the file
// holds. Names are terminated at their last byte.
int ReadListIndexSlots(std::vector<ListIndexEntry> *slots);
int ReadOtherListIndexSlots(const char *folder, std::vector<ListIndexEntry> *slots);
// Rewrites the index whole.
int WriteListIndexSlots(const std::vector<ListIndexEntry> &slots);
// With keep 0 deletes the list file of every slot in use first; then a new
// empty index. 1 or 0.
int CreateListIndex(int keep);
// The index opened for reading after its count (made when missing), or none.
FILE *OpenListIndex(int *count);
FILE *OpenOtherListIndex(const char *folder, int *count);
void RewindListIndex(FILE *file);
// Slot number + 1 of the next slot in use (of the group when group > 0),
// with its name (48 bytes), item count and group; 0 at the end; -1 on a
// read error.
int NextListIndexEntry(FILE *file, int group, int count, char *name, int *items, int *groupOut);
// The item count of slot i; 0 when the seek fails; -1 on a read error.
int ReadListIndexEntry(FILE *file, int i, int *group, char *name);
// Slot of the first list of that name (case-sensitive, the name cut to 47
// characters as slot names are), or -1.
int FindListByName(const char *name, int *items, FileTimeValue *time);
// The same over slots already read (so that "absent" and "unreadable" differ).
int FindListInSlots(const std::vector<ListIndexEntry> &slots, const char *name, int *items,
                    FileTimeValue *time);
int FindOtherListByName(const char *folder, const char *name, int *items, FileTimeValue *time);
// The new slot (the first free one, else a new one at the end) with its list
// file made; -1 on failure (also for a group that does not exist), with
// nothing left behind.
int CreateList(int group, const char *name, int items, const FileTimeValue *time);
// Frees slot i (the count shrinks when it is the last), then removes its
// list file and description. 1 once the index no longer names the list (a
// file left behind is replaced or removed when the slot is used again).
int DeleteList(int i);
int SetListFileTime(int i, FileTimeValue time);
int SetListGroup(int i, int group);
int RenameList(int i, const char *name);
// Stores the count in slot i and in the list file's header. 1 or 0.
int StoreListItemCount(int i, int items);

// ---- list files ----------------------------------------------------------------------
// An open list file: the stream, its slot and path (the path lets whole-file
// rewrites put a new copy in place and reopen it).
struct ListFile {
    FILE *file = nullptr;
    int slot = -1;
    std::string path;
    // The lists' writer lock, held from the open to the close: the count
    // the open hands out is read under it and is the one the close stores,
    // so two programs appending to one list take turns and lose nothing.
    StoreLock lock;
};

// The lists' lock file ("lists.lock" in the user folder).
std::string FormatListLockPath();
// List file i opened "r+b" at its first item, with the slot's count read
// under the lists' writer lock, which the file holds until its close or
// discard (another program's open waits for it); none for a slot out of
// range or free, a missing file, or a lock another writer kept all the wait.
ListFile *OpenListFile(int i, int *items);
// Closes the file and stores the count in the slot (and the header). 1 or 0.
int CloseListFile(ListFile *file, int i, int items);
// Closes without storing anything.
void DiscardListFile(ListFile *file);

int SeekFirstListItem(ListFile *file);
int SeekListItem(ListFile *file, int k);
int ReadListItem(ListFile *file, int k, int n, ObjectRecord *item);
int WriteListItem(ListFile *file, int k, int n, const ObjectRecord *item);
// Writes the item (mark cleared) after the count items and adds 1; 0 at
// 32,767 items.
int AppendListItem(ListFile *file, const ObjectRecord *item, int *count);
int ReadListHeader(ListFile *file, ListFileHeader *header);
int WriteListHeader(ListFile *file, const ListFileHeader *header);
// The first n items (fewer when the file is shorter).
int ReadAllListItems(ListFile *file, int n, std::vector<ObjectRecord> *items);
// Replaces the file by the header (with the count) and the items, crash-safely,
// then the dropped items, then the old bytes past them; the stream is
// reopened at the first item. 1 or 0. The slot's count is stored after
// this: when that fails, the old count still covers every object the list
// held (the dropped ones sit right after the kept ones), so nothing is lost.
int RewriteListItems(ListFile *file, const std::vector<ObjectRecord> &items,
                     const std::vector<ObjectRecord> &dropped = std::vector<ObjectRecord>());

// A new header: the current stamp, count 0, refresh flag 1, settings 1, 2, 3.
void InitListFileHeader(ListFileHeader *header);
int GetListFileTime(int i, FileTimeValue *time);
int GetOtherListFileTime(const char *folder, int i, FileTimeValue *time);

// Class (unsigned), catalogue index (signed), then for class 2 the sub-index.
int CompareListItems(const ObjectRecord *a, const ObjectRecord *b);
bool SameListObject(const ObjectRecord *a, const ObjectRecord *b);
// Sorts list i and keeps one item per object; 1 or 0.
int SortAndDedupList(int i);
// 0 same objects, 1 different, -1 on error.
int CompareOtherListWithCurrent(int i, int n, const char *folder, int other, int otherCount);
// The same with the older generation's list "<folder>/obs.%03d" (other), read
// through ReadOldObservingListItems.
int CompareOldListWithCurrent(int i, int n, const char *folder, int other, int otherCount);

// ---- descriptions ----------------------------------------------------------------------
// 1 with the text; 0 when absent or malformed (a length that is negative or
// longer than the file).
int ReadListDescription(int i, std::string *text);
int WriteListDescription(int i, const char *text);

// Makes sure a group "Current" exists and files the three current lists in it.
int EnsureCurrentGroup();
