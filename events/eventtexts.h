// What the event lists show: an event's date and title, the columns and the
// list line of each contact, the objects an event concerns, the order of an
// event's contacts by a column, and the user-defined objects that event
// files name (so that such an object is not deleted from under them).
#pragma once
#include <cstdint>
#include <vector>

#include "astro/datetime.h"
#include "events/eventrecord.h"

struct ObjectRecord;

// Texts are built into slots of this many bytes.
const int kEventSlotSize = 128;
const int kEventColumnSlots = 8;

struct EventObjectKey {
    int32_t objectClass;
    int32_t index;
    int32_t satellite;
};

// The local date ("%4d %s %2d") and clock time of a Julian date at the site
// (each buffer kEventSlotSize bytes); with the evening flag a time before
// local noon shows the previous day's date.
void FormatEventDateTime(char *date, char *time, const LocationRecord *site, double julianDate, int eveningFlag);
// The separation of a close approach: "12°", "2.0°", "15'", "2.5'", "30\"",
// "5.0\"" (degree sign byte 0xB0).
char *FormatApproachSeparation(char *buffer, int size, double separation);
// The title of a record (slot of kEventSlotSize bytes); 0 when its kind has
// no title.
int FormatEventRecordTitle(const EventFileHeader *header, const EventRecord *record, char *title);
// Event i of the header's file: slot 0 its date (the earliest of its times,
// evening rule), slot 1 its title. 0 when it cannot be read or has no title;
// else 1, or 3 when it falls on the night shown (the local date of its
// earliest time less 12 hours equals the date given), plus 1 for eclipses,
// occultations and transits.
int FormatEventTitle(const EventFileHeader *header, const DateRecord *night, int index,
                     char slots[2][kEventSlotSize]);
// The columns of contact c (slots 0 and 1 its date and time); the number of
// columns, 0 for none. The hour score's bytes go to altitudeScore and
// darkness (either may be null) for every kind but planet phenomena and
// custom events.
int FormatEventColumns(const EventFileHeader *header, const EventRecord *record, int contact,
                       char slots[kEventColumnSlots][kEventSlotSize], int *altitudeScore, int *darkness);
// The list line of contact c after the title (line kEventSlotSize x 2
// bytes): 1 when written, 0 for kinds and contacts without one.
int FormatEventLine(const EventFileHeader *header, const EventRecord *record, int contact, const char *title,
                    char *line, int lineSize);
// The objects event i concerns: 0, 1 or 2 (class, index and satellite set).
int GetEventObjects(const EventFileHeader *header, int index, ObjectRecord *first, ObjectRecord *second);
// Sorts the record's used contacts by its sort column and writes it back as
// event i: 1, 0 for a negative column, no contacts or a failed write.
int SortEventContacts(const EventFileHeader *header, EventRecord *record, int index);
// Every user-defined object named by the body list of a calendar file or the
// pair of a search file in the events folder, sorted by class, index and
// satellite (duplicates kept). Returns the count; unreadable files are skipped.
int CollectEventUserObjects(std::vector<EventObjectKey> *keys);
// 1 when the object is among the sorted keys.
int IsObjectUsedByEvents(const EventObjectKey *keys, const ObjectRecord *object, int count);
