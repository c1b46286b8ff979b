// Adding entries to the observing log: identification of the object, the
// duplicate test, the entry file, the summary row, the key list and the six
// indexes.
#pragma once
#include <cstdint>
#include "logstore/logrecords.h"
#include "objects/objectrecord.h"

// What AddLogEntryWithStatus did.
const int kLogEntryAdded = 1;
const int kLogEntryAlreadyLogged = 2;
const int kLogEntryFailed = 0;
// The add failed because another program held the log all the while it waited.
const int kLogEntryStoreInUse = 3;

// The entry's log number (0 or more): of the new entry, or of the identical
// entry already logged; -1 on failure, -2 when the object cannot be
// identified. The entry is updated (object identity, designation, notes
// length). The log store is locked for the add (logstore/loglock.h): a second
// writer waits its turn.
int32_t AddLogEntry(LogEntry *entry, const char *notes);
// As AddLogEntry, telling an added entry from one already logged.
int32_t AddLogEntryWithStatus(LogEntry *entry, const char *notes, int *status);
// The number of an identical entry of the object already logged, or -1. Rows
// are compared by their date and names, read field by field; a candidate whose
// entry file cannot be read is not identical.
int32_t FindDuplicateLogEntry(LogEntry *entry, const ObjectRecord *object, const char *notes);
