// Time-ordered insertion of an event with the 45-second duplicate rule, and
// the removal of one record, both on an open event file.
#pragma once
#include <cstdio>

#include "events/eventrecord.h"

// Results of LocateEventSlot.
const int kSlotReadFailure = -1;
const int kSlotDuplicate = 0;  // also an empty file (index 0)
const int kSlotInsert = 1;
const int kSlotAppend = 2;

// 1 when b is the same event as a (the times are not compared): same kind;
// kind 7 the same phenomenon group, kinds 2, 3, 4, 8 any code, other kinds
// the same first contact code; kinds 0, 6, 7 the same body 1 (and for 6 and
// 7 the same satellite, held in body 2's index); other kinds the same pair in
// either order, satellite numbers included.
int IsSameEvent(const EventRecord *a, const EventRecord *b);
// Where the event goes among count sorted records: 0 duplicate of the record
// at *index (or an empty file, index 0), 1 insert at *index, 2 append (index
// = count), -1 read failure. Every record within 45 seconds is tested.
int LocateEventSlot(std::FILE *file, const EventRecord *record, int count, int *index);
// Inserts in time order and writes the raised count into the file at once
// (so a crash keeps every event stored so far); the header's count follows.
// 1 when a new record was stored; 0 for a duplicate (written over the stored
// one, count unchanged), an event later than the header's start plus span
// with the limit flag set, or an I/O failure (the stored records are put
// back as they were).
int InsertEvent(std::FILE *file, EventFileHeader *header, double span, const EventRecord *record,
                int limit);
// Removes record i and writes the lowered count: 1, 0 for i outside
// 0..count-1 or an I/O failure (records put back as they were).
int DeleteEvent(std::FILE *file, EventFileHeader *header, int i);
