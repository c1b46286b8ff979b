// First-generation log entries and site records converted to the current
// layouts.
#include "logstore/oldlogentry.h"

#include <cstring>

#include "instruments/instrumentupgrade.h"
#include "photometry/skybright.h"

int ConvertOldLocationRecord(const uint8_t *old, LocationRecord *site) {
    if (!old || !site) return 0;
    std::memset(site, 0, sizeof *site);
    uint8_t *out = reinterpret_cast<uint8_t *>(site);
    std::memcpy(out, old, 56);         // longitude .. naked-eye limit
    std::memcpy(out + 90, old + 56, 16);  // parallax terms rho sin phi, rho cos phi
    std::memcpy(out + 106, old + 72, 8);  // time zone
    std::memcpy(out + 114, old + 80, 19); // daylight-saving rule and its mode
    std::memcpy(out + 133, old + 99, 33); // name
    site->name[sizeof site->name - 1] = 0;
    double limit;
    std::memcpy(&limit, out + 48, 8);
    if (limit > 8.0) limit = 8.0;
    std::memcpy(out + 48, &limit, 8);
    site->skyBrightness = ComputeSkyBrightnessFromLimit(limit);
    site->temperature = 18.3;
    site->displayFlags = 0;
    site->humidity = 60.0;
    site->seeingRating = 2;
    site->seeing = 0.0;
    return 1;
}

int ConvertOldLogEntry(const uint8_t *old, LogEntry *entry) {
    if (!old || !entry) return 0;
    std::memset(entry, 0, sizeof *entry);
    entry->version[0] = 3;
    entry->version[1] = 1;
    entry->version[2] = 'f';
    std::memcpy(&entry->julianDate, old + 5, 8);
    ConvertOldLocationRecord(old + 13, &entry->site);
    std::memcpy(&entry->trailer, old + 145, 3);
    entry->objectClass = old[148];
    std::memcpy(&entry->catalogueIndex, old + 149, 4);
    std::memcpy(&entry->categoryBits, old + 153, 4);
    std::memcpy(&entry->observer, old + 157, sizeof(ObserverRecord));
    entry->observer.name[sizeof entry->observer.name - 1] = 0;
    ConvertOldInstrumentRecord(old + 241, &entry->instrument);
    // The conditions up to their NUL, at most the field.
    size_t n = strnlen(reinterpret_cast<const char *>(old + 8991), kLogConditionsSize);
    std::memcpy(entry->conditions, old + 8991, n);
    std::memcpy(&entry->notesLength, old + 9120, 4);
    return 1;
}
