// Moving an edited entry's object between index files: out of the index of
// the old night, constellation, observer, instrument or site, into that of
// the entry as it is now. An object that is absent from the old index is no
// failure, and when another entry of the object still belongs to the old
// index the object stays there under that entry's number.
#pragma once
#include <cstdint>
#include "logstore/logrecords.h"

// The old night is taken at the old site when one is given (an edit may move
// the entry to a site in another time zone), else at the entry's site.
int RefileEntryNight(const LogEntry *entry, int32_t logNumber, double oldJulianDate,
                     const LocationRecord *oldSite = nullptr);
int RefileEntryConstellation(const LogEntry *entry, int32_t logNumber, double oldJulianDate);
int RefileEntryObserver(const LogEntry *entry, int32_t logNumber, const char *oldObserver);
int RefileEntryInstrument(const LogEntry *entry, int32_t logNumber, const InstrumentRecord *oldInstrument);
int RefileEntryLocation(const LogEntry *entry, int32_t logNumber, const LocationRecord *oldSite);
