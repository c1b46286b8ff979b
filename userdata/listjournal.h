// The mark of a change to the observing lists that touches more than one of
// their files (a restore from a backup, a merge of another computer's lists).
// Before its first change the operation copies the lists aside whole and
// then writes the mark; it removes the mark when the change is complete
// (the commit). Every open of the lists first rolls back a change whose mark
// is still there and whose program is gone (killed, or the power cut), from
// the copy set aside, so no reader ever sees a half-made change.
#pragma once
#include <string>
#include <vector>

// The names of a folder's plain files (no folders, no links), sorted.
std::vector<std::string> PlainFilesIn(const std::string &folder);
// Sets the lists aside and writes the mark. 1, or 0 (nothing changed).
int BeginListsChange();
// ok: removes the mark (the change stands) and the copy set aside; not ok,
// or when the mark cannot be removed: puts the lists back as they were. The
// result is 1 only when the change stands.
int EndListsChange(int ok);
// Rolls back an interrupted change (see above). 1 when the lists are whole
// (nothing to do, or rolled back), 0 when a roll-back failed (the mark stays
// for the next open).
int EnsureListStoreRecovered();
