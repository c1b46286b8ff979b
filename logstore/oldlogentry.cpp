// First-generation log entries and site records converted to the current
// layouts.
#include "logstore/oldlogentry.h"

#include <cstring>

#include "instruments/instrumentupgrade.h"

namespace {

// Where the fields of an older entry lie.
struct EntryLayout {
    int trailer, objectClass, observer, instrument, conditions, notesLength;
};

// The fields every layout shares, copied to their current places.
void ConvertCommon(const uint8_t *old, const EntryLayout &at, LogEntry *entry) {
    std::memset(entry, 0, sizeof *entry);
    entry->version[0] = 3;
    entry->version[1] = 1;
    entry->version[2] = 'f';
    std::memcpy(&entry->julianDate, old + 5, 8);
    std::memcpy(&entry->trailer, old + at.trailer, sizeof entry->trailer);
    entry->objectClass = old[at.objectClass];
    std::memcpy(&entry->catalogueIndex, old + at.objectClass + 1, 4);
    std::memcpy(&entry->categoryBits, old + at.objectClass + 5, 4);
    std::memcpy(&entry->observer, old + at.observer, sizeof(ObserverRecord));
    entry->observer.name[sizeof entry->observer.name - 1] = 0;
    // The conditions up to their NUL, at most the field.
    size_t n = strnlen(reinterpret_cast<const char *>(old + at.conditions), kLogConditionsSize);
    std::memcpy(entry->conditions, old + at.conditions, n);
    std::memcpy(&entry->notesLength, old + at.notesLength, 4);
}

// The later layouts keep the current site record at 13.
void CopySite(const uint8_t *old, LogEntry *entry) {
    std::memcpy(&entry->site, old + 13, sizeof(LocationRecord));
    entry->site.name[sizeof entry->site.name - 1] = 0;
}

}  // namespace

int ConvertOldLogEntry(const uint8_t *old, LogEntry *entry) {
    if (!old || !entry) return 0;
    ConvertCommon(old, {145, 148, 157, 241, 8991, 9120}, entry);
    ConvertOldLocationRecord(old + 13, &entry->site);
    ConvertOldInstrumentRecord(old + 241, &entry->instrument);
    return 1;
}

int ConvertLogEntry9223(const uint8_t *old, LogEntry *entry) {
    if (!old || !entry) return 0;
    ConvertCommon(old, {179, 182, 256, 340, 9090, 9219}, entry);
    CopySite(old, entry);
    ConvertInstrumentRecordInEntry(old + 340, &entry->instrument);
    return 1;
}

int ConvertLogEntry139679(const uint8_t *old, LogEntry *entry) {
    if (!old || !entry) return 0;
    ConvertCommon(old, {179, 182, 256, 340, 139546, 139675}, entry);
    CopySite(old, entry);
    ConvertInstrumentRecord139206(old + 340, &entry->instrument);
    return 1;
}

int ConvertLogEntry330523(const uint8_t *old, LogEntry *entry) {
    if (!old || !entry) return 0;
    ConvertCommon(old, {179, 182, 256, 340, 330390, 330519}, entry);
    CopySite(old, entry);
    ConvertInstrumentRecord330050(old + 340, &entry->instrument);
    return 1;
}

int ConvertLogSummary330497(const uint8_t *old, LogSummary *row) {
    if (!old || !row) return 0;
    std::memset(row, 0, sizeof *row);
    std::memcpy(&row->logNumber, old, 4);
    std::memcpy(row->objectBytes, old + 4, sizeof row->objectBytes);
    std::memcpy(&row->date, old + 78, sizeof(DateRecord));
    std::memcpy(&row->site, old + 196, sizeof(LocationRecord));
    row->site.name[sizeof row->site.name - 1] = 0;
    std::memcpy(&row->observer, old + 362, sizeof(ObserverRecord));
    row->observer.name[sizeof row->observer.name - 1] = 0;
    ConvertInstrumentRecord330050(old + 446, &row->instrument);
    row->constellation = old[330496];
    return 1;
}
