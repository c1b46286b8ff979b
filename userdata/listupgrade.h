// Observing lists of the older generation ("lists21"): an index of 58-byte
// slots {name char[48], int16 item count (-1 free), FILETIME} after an int16
// count, list files "obs.NNN" of a 49-byte header and 264-byte items, and
// descriptions "desc.NNN". The converters bring them into the current
// layout; an old item keeps its class (byte 153) and catalogue index
// (int32 at 149), every other field starts from the defaults.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "objects/objectrecord.h"

const int kOldListSlotBytes = 58;
const int kOldListHeaderBytes = 49;
const int kOldListItemBytes = 264;
const int kOldListNameBytes = 48;

struct OldListSlot {
    std::string name;
    int16_t items;  // -1 free
    uint8_t time[8];
};

// The slots of an old index; 0 when it cannot be read or its count does
// not fit the file.
int ReadOldListIndex(const char *path, std::vector<OldListSlot> *slots);
// The old index as a current one, every slot in the group. 1 or 0; the new
// file is written whole in one step.
int UpgradeListIndexFile(const char *oldPath, const char *newPath, int group);
// The old list as a current list file: a new header (refresh flag 1, the
// notes group of the last refresh given as notesGroup, settings 1, 2, 3) and
// the whole items the old file holds. The number of items, or -1.
int UpgradeObservingListFile(const char *oldPath, const char *newPath, int32_t notesGroup);
// The first count items of an old list as initialised records. 1 when all
// count items were read.
int ReadOldObservingListItems(const char *path, std::vector<ObjectRecord> *items, int count);
// True for the names an old lists folder holds: "obs.idx", "obs.NNN",
// "desc.NNN" (three digits); the number goes out for the numbered ones.
bool IsOldListFileName(const std::string &name, const char *stem, int *number);
