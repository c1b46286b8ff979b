// Construction of event headers and records, and the category and phenomenon
// group rules that the duplicate test, the deletions and the lists share.
#include "events/eventrecord.h"

#include <cstring>
#include <new>

EventFileHeader *NewEventFileHeader() {
    EventFileHeader *h = new (std::nothrow) EventFileHeader;
    if (!h) return nullptr;
    std::memset(h, 0, sizeof *h);
    h->magic = kEventFileMagic;
    h->versionMajor = kEventFileVersionMajor;
    h->versionMinor = kEventFileVersionMinor;
    h->versionTag = kEventFileVersionTag;
    return h;
}

void ClearEventRecord(EventRecord *record) {
    if (!record) return;
    std::memset(record, 0, sizeof *record);
    for (EventContact &c : record->contacts) c.code = -1;
}

int GetEventCategory(const EventRecord *record) {
    if (!record) return -1;
    switch (record->kind) {
    case kEventCloseApproach: return 0;
    case kEventOccultation: return 1;
    case kEventTransit: return 2;
    case kEventSatelliteElongation: return 3;
    case kEventSolarEclipse: return 4;
    case kEventLunarEclipse: return 5;
    case kEventSatellitePhenomenon: return 9;
    case kEventPhenomenon: {
        const int code = record->contacts[0].code;
        if (code < kCodeUnusedPhenomenon) return 6;
        if (code < kCodeShowerPeak) return 7;
        return 8;
    }
    default: return -1;
    }
}

int GetPhenomenonGroup(int code) {
    if (code >= 1 && code <= 12) return (code - 1) / 3;
    return 0;
}
