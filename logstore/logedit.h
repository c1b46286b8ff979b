// Editing and deleting log entries, with the summary rows, key lists and the
// six indexes that refer to them.
//
// Both operations check everything they can before they write anything, run
// under the store's writer lock, and remember each file before they change
// it (logstore/logundo.h): a step that fails puts every file back, so the
// store is either as it was or wholly changed. The index files they touch are
// recomputed from the object's summary rows as they will be
// (logstore/logobjectindexes.h). Neither runs while an import pass holds the
// log (both answer their failure value).
#pragma once
#include <cstdint>

#include "logstore/logrecords.h"
#include "objects/objectrecord.h"

// Answers of UpdateLogEntry.
const int kLogEditRewritten = 1;       // no index changed
const int kLogEditRefiled = -1;        // rewritten, and at least one index changed
const int kLogEditFailed = 0;

// Rewrites entry number logNumber, whose row in its object's summary file is
// row: the entry file (written beside and moved into place), the summary row
// (date, site, object bytes, observer, instrument and the object's
// constellation at the new date and site) and the indexes it moves between.
// The edited entry keeps its object, class folder and number. 0 when the row
// does not carry that number or the entry file is missing, nothing written.
int UpdateLogEntry(int32_t categoryBits, int32_t row, int32_t logNumber, LogEntry *entry,
                   const char *notes);

// Answers of DeleteLogEntry: 1 done; 0 not logged (its key is not in the key
// list, or its summary file has no row of that number), nothing changed;
// a negative code names the step that failed, everything put back.
const int kLogDeleteDone = 1;
const int kLogDeleteNotLogged = 0;
const int kLogDeleteSummaryFailed = -1;
const int kLogDeleteKeyListFailed = -2;
const int kLogDeleteIndexFailed = -3;
const int kLogDeleteEntryFileFailed = -10;
const int kLogDeleteLocked = -11;

// Deletes entry logNumber of the entry's object (class code, catalogue index
// and category bits are taken from the entry): its summary row, its entry
// file, the object's key when it was its last entry (the entry counter is
// kept, so numbers are never reused) and the index entries that referred to
// it; every index that still holds the object points at its remaining entries.
// The summary file is copied without the row and moved into place (one row in
// memory at a time), or deleted with the last row.
int DeleteLogEntry(const LogEntry *entry, int32_t logNumber);
// Deletes every entry of the object, one after another, also those whose
// entry files cannot be read. 1 when none is left (no summary file then), 0
// for a null record, else the failing DeleteLogEntry code.
int DeleteObjectLogEntries(const ObjectRecord *object);
