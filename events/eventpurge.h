// Removing whole groups of events from a site's event file: one category of
// events, and the events that are past. Both rewrite the file crash-safely
// (the kept records and the header with the new count, through a temporary),
// so the stored count always matches the records.
#pragma once
#include <cstdint>

#include "events/eventrecord.h"

// Removes every event of the sample's category: 1 done (the header's count
// becomes the number kept), 0 when the sample has no category, the file
// cannot be opened or rewritten, or memory is short (nothing changed).
int DeleteEventCategory(EventFileHeader *header, const EventRecord *sample);
// For a calendar header whose purge mode is not 4: removes the events that
// are past by the mode (0 before now, 1 before the first of this month, 2
// local dates before today's, 3 more than a week ago). 1 when the purge ran,
// 0 when it did not apply or failed.
int PurgePastEvents(EventFileHeader *header);
// The same with "now" given as a Julian date (UT).
int PurgePastEventsAt(EventFileHeader *header, double now);
// Grows *array by one element holding value. 1, or 0 when memory is short
// (the array and count are left as they were).
int AppendIntToArray(int32_t **array, int32_t value, int *count);
