// Opening a site's event file with its stored header, storing a header, and
// reading the time-sorted event records. The file is named by the header's
// site and definition kind (the calendar file for kind 10); see eventfiles.h.
#pragma once
#include <cstdio>

#include "core/storelock.h"

#include "events/eventrecord.h"

// Opens the header's event file "r+b" and replaces the caller's header with
// the stored one; a file that does not exist yet is created holding just the
// caller's header with count 0. Null when the file cannot be opened, is not
// an event file of this site and definition (another site's file under a
// colliding name), or its header cannot be read. A file too short to hold a
// header is moved aside to "<name>.bin.bad" so that the next open starts a
// fresh one; an existing file is never truncated or deleted here. When the
// site store holds the header's site (same name and place) its stored values
// replace the copy; a changed elevation empties the file (count 0).
std::FILE *OpenEventFile(EventFileHeader *header);
// Writes the caller's header over the stored one, keeping the stored records
// (the whole file rewritten crash-safely), and returns the file open "r+b".
// The count kept is the stored one, which the caller's header then holds.
std::FILE *StoreEventFileHeader(EventFileHeader *header);
// StoreEventFileHeader and close: 1, 0 on failure.
int SaveEventFileHeader(EventFileHeader *header);
// Copies the site into the header, makes the events folder and sets the
// count to 0 when the site's file cannot be opened. Returns 1.
int SetEventFileSite(EventFileHeader *header, const LocationRecord *site);
// The event file positioned at its first record (the caller's header is left
// as it was); null on failure.
std::FILE *OpenEventRecords(const EventFileHeader *header);
// Record i: 1 when read, 0 for a null file, a negative index or a failed
// seek or read.
int ReadEvent(std::FILE *file, int i, EventRecord *record);
// The visible flag of the first used contact that is visible, else 0.
int HasVisibleContact(const EventRecord *record);
// From the file's position, the first record (below the header's count) with
// a visible contact: its index plus one, the record in the buffer; 0 for none.
int FindNextVisibleEvent(std::FILE *file, const EventFileHeader *header, EventRecord *record);
// Deletes the header's file; the header's count becomes 0. 1, or 0 when an
// existing file could not be removed (the count is then kept).
int ClearEventFile(EventFileHeader *header);
// Path of the header's event file; 0 when the site has no usable name.
int MakeEventFilePathForHeader(const EventFileHeader *header, char *buffer, int size);
// Writes a record at index i (no count change): 1, 0 on failure.
int WriteEventAt(std::FILE *file, int i, const EventRecord *record);
// Writes the count word at offset 5 and hands it to the system: 1, 0 on failure.
int WriteEventCount(std::FILE *file, int32_t count);
// The writer's lock of the event files and the custom texts, which another
// program of the suite may write while this one runs: every change takes it
// for the whole change. 1 held, 0 not.
int LockEventStore(StoreLock *lock);
// The count the open event file holds now (under the lock: never a count
// read before it), cut to the records the file has room for; 0 on a failed
// read.
int ReadStoredEventCount(std::FILE *file, int32_t *count);
