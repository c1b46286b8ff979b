// Building log entries and reading and writing entry files: the LogEntry, then
// for a user-defined class the object's own definition, then the notes text
// (its length, NUL included, is the entry's last field; 1 means no notes).
#pragma once
#include <cstdio>
#include "logstore/logrecords.h"
#include "objects/objectrecord.h"

// Zeroes the whole entry, then fills the stamp bytes, date, site and trailer,
// object identity, observer, instrument, conditions (bounded at 128 bytes) and
// the object's first name (63 characters at most). 1, or 0 for a null entry.
int FillLogEntry(LogEntry *entry, const LocationRecord *site, const LocationTrailer *trailer,
                 const DateRecord *date, const ObserverRecord *observer,
                 const InstrumentRecord *instrument, const ObjectRecord *object,
                 const char *conditions);
// Sets the notes length and writes entry, user-object block and notes at the
// current position. 1 only when every part was written.
int WriteLogEntryFile(FILE *file, LogEntry *entry, const char *notes);
// Reads one entry file's contents from the current position; the notes (when
// asked) are allocated with new[] for the caller. Every text field read is
// terminated; the notes length is bounded by the bytes left in the file. 1, 0.
int ReadLogEntryFile(FILE *file, LogEntry *entry, char **notes, int merge, int rewrite);
// The entry file of that number, opened for reading; read without write-back.
int ReadLogEntryByNumber(int32_t categoryBits, int32_t logNumber, LogEntry *entry, char **notes);
// The next row of an open summary file: its log number, -1 on failure.
int32_t ReadLogSummary(FILE *file, LogSummary *summary);
// Forces the terminators of the text fields of an entry read from a file.
void TerminateLogEntryTexts(LogEntry *entry);
