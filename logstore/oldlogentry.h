// Converters of the first generation's records that log entry files may still
// hold: the 9,124-byte log entry and the 132-byte site record inside it.
#pragma once
#include <cstdint>
#include "astro/location.h"
#include "logstore/logrecords.h"

const int kOldLogEntrySize = 9124;
const int kOldLocationRecordSize = 132;

// Zeroes and fills the current site record from the old one. 1, 0 for null.
int ConvertOldLocationRecord(const uint8_t *old, LocationRecord *site);
// Zeroes and fills a LogEntry from a 9,124-byte entry; the designation stays
// empty. 1, 0 for null.
int ConvertOldLogEntry(const uint8_t *old, LogEntry *entry);
