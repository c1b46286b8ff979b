// The object picker's recent objects: the twelve objects chosen last with OK,
// newest first, kept as one 4,740-byte block (12 ObjectRecords of 395 bytes)
// under key 75 of the dialog-settings store; and the object the picker starts
// on when the caller gives none.
#pragma once

struct ObjectRecord;

const int kRecentObjectCount = 12;
const int kRecentObjectsBytes = 12 * 395;

// The stored list, or 12 empty (cleared, class 0) records when the block is
// absent or has another length. Used entries come first; the first entry of
// class 0 ends the list.
void LoadRecentObjects(ObjectRecord list[kRecentObjectCount]);
// Puts the object first: every entry of the same class, index and star
// component is taken out (the entries after it move up and an empty record
// fills the end), then the list moves down one place, dropping the twelfth.
// 0 (list unchanged) for a null object or one of class 0; else 1.
int AddToRecentObjects(ObjectRecord list[kRecentObjectCount], const ObjectRecord *object);
// Load, AddToRecentObjects, store the 4,740 bytes. 1 when stored.
int RecordRecentObject(const ObjectRecord *object);
// Number of used entries (before the first of class 0).
int CountRecentObjects(const ObjectRecord list[kRecentObjectCount]);

// The object a picker opens on. A record with an index other than -1 stays
// as it is (0). Otherwise it is initialised and becomes the second recent
// entry (the one chosen before the last, so that the object chosen last,
// usually the one just linked, is not offered again) when that entry is
// used, else Jupiter (class 2, index 5); 1.
int ChooseStartingObject(ObjectRecord *current, const ObjectRecord list[kRecentObjectCount]);
