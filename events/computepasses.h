// The two compute passes that fill a site's event files: the general
// calendar (every enabled kind of event over whole months) and one search
// definition (phenomena, one pair of bodies, or satellite events).
#pragma once

#include "events/eventrecord.h"

using EventProgress = void (*)(int);

// The calendar into "<site>CE.bin": the number of events added, -1 when the
// file cannot be opened. progress (may be null) gets the step number (1-8)
// at the start of each step and 0 for each tick; a set stop flag ends the
// pass early with the file closed and the header saved.
int ComputeEvents(EventFileHeader *header, const int *stop, EventProgress progress);
// The header's search definition into "<site>.bin": the number added, 0 for
// a pair search of a body with itself, -1 when the file or a pair search
// cannot be opened.
int ComputeSearchEvents(EventFileHeader *header, const int *stop, EventProgress progress);
// The end of a calendar of whole months from a local midnight: 24:00 local
// of the last day of the month `months` after the start's month (a month
// count below 0 counts as 0). Julian date (UT).
double CalendarEnd(const LocationRecord *site, const DateRecord *localMidnight, int months);
// The span in days of a search definition's period from its start.
double SearchSpanDays(const EventFileHeader *header, const DateRecord *start);
// The separation limit of the header in radians.
double SeparationLimitRadians(const EventFileHeader *header);
