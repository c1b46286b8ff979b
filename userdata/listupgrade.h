// Observing lists of the previous generations: the list index of 58-byte
// slots (name at 0, int32 list number at 48, -1 for an empty slot) and list
// files of a 49-byte header with 264-byte items or a 126-byte header with
// 329-byte items (each item's int32 catalogue index at 149 and class code at
// 153). They become an index of 60-byte slots (the 58 bytes and an int16
// group) and stamped list files of a 390-byte header and ObjectRecord items.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "objects/objectrecord.h"

const int kOldListSlotSize = 58;
const int kOldListNameSize = 48;  // at the start of an old slot
const int kListSlotSize = 60;
const int kOldListHeaderSize = 49;
const int kOldListItemSize = 264;
const int kOldListHeaderSize329 = 126;
const int kOldListItemSize329 = 329;
const int kListHeaderSize = 390;

// A zeroed, then initialised ObjectRecord with the old item's catalogue index
// and class.
// 1, or 0 for a null argument.
int ConvertOldListItem(const uint8_t *old, ObjectRecord *item);
// Old slot i (at 2 + 58 i) as a 60-byte slot: its 58 bytes and the value as
// int16 at 58. 1, or 0 for a null file or a failed seek or read.
int ReadOldListIndexRecord(FILE *file, int index, uint8_t *slot, int16_t value);
// Item i of an old list file (at 49 + 264 i, or 126 + 329 i): 1 read and
// converted, 0 a failed read, -1 a null file or a failed seek.
int ReadOldObservingListItem(FILE *file, int index, ObjectRecord *item);
int ReadOldObservingListItem329(FILE *file, int index, ObjectRecord *item);
// Steps through an old index from the file's position (a position before the
// first slot starts at it): the 1-based number of the next of the count slots
// whose list number is not -1, with its name (48 bytes, terminated) and list
// number when asked; 0 after the last slot; -1 on a read failure. value is
// the group the caller files old lists under: old slots carry none, so it
// selects nothing.
int ReadNextOldListRecord(FILE *file, int16_t value, int count, char *name, int32_t *number);
// The whole old index at oldPath written as a current one at newPath
// (through the crash-safe layer), every slot getting the value as its group.
// 1, or 0 (a count the file does not hold is refused).
int UpgradeListIndexFile(const char *oldPath, const char *newPath, int16_t value);
// The whole old list at oldPath written as a current one at newPath: a
// header of zeros but for the stamp, the number of items written (offset 5),
// the refresh flag 1 (105), the value as int32 (106) and, for the 49-byte
// layout, the settings 1, 2, 3 (111, 115, 119); then every whole old item
// converted. 1 when the old file was read to its end, 0 otherwise (no new
// file then, or an earlier one whole).
int UpgradeObservingListFile(const char *oldPath, const char *newPath, int32_t value);
int UpgradeObservingListFile329(const char *oldPath, const char *newPath, int32_t value);
// Reads count items of the old list at path into a new[] array for the
// caller. 1 when all count items were read, 0 otherwise (items null then).
int ReadOldObservingListItems(const char *path, ObjectRecord **items, int count);
int ReadOldObservingListItems329(const char *path, ObjectRecord **items, int count);
// True for the names an old lists folder holds: "obs.NNN", "desc.NNN" (three
// digits) for the stem "obs" or "desc"; the number goes out.
bool IsOldListFileName(const std::string &name, const char *stem, int *number);
