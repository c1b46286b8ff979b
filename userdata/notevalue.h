// The note value shown in an observing list: the low four bits of the status
// of the item's note in the list's notes group, kept in bits 4 to 7 of the
// item's list status byte.
#pragma once

#include "userdata/notestore.h"

struct ObjectRecord;

// The notes group a list refers to and its loaded indexes; group -1 (or no
// lists) means the list has no notes group.
struct ItemNoteContext {
    int group;
    const NoteIndexLists *lists;
};

const uint8_t kItemNoteValueMask = 0xF0;
const int kItemNoteValueShift = 4;

// Clears bits 4 to 7 of the item's list status, then sets them from the
// status of the item's note (that of its user-file twin for a catalogue comet
// or minor planet) when the context has a group and the note reads. The
// item itself is never replaced by a twin.
void ApplyNoteValueToItem(const ItemNoteContext *context, ObjectRecord *item);
