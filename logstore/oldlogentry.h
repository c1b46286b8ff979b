// Converters of the older layouts of log entries and summary rows: the first
// generation's 9,124-byte entry (with the 132-byte site record and the
// 8,750-byte instrument inside it), the later 9,223, 139,679 and 330,523-byte
// entries, whose instruments were 8,750, 139,206 and 330,050 bytes, and the
// 330,497-byte summary row. Each converter zeroes the current record and
// fills it; the designation stays empty.
#pragma once
#include <cstdint>
#include "astro/location.h"
#include "logstore/logrecords.h"
#include "sites/siteupgrade.h"

const int kOldLogEntrySize = 9124;
const int kLogEntrySize9223 = 9223;
const int kLogEntrySize139679 = 139679;
const int kLogEntrySize330523 = 330523;
const int kLogSummarySize330497 = 330497;

// 1, 0 for null.
int ConvertOldLogEntry(const uint8_t *old, LogEntry *entry);
int ConvertLogEntry9223(const uint8_t *old, LogEntry *entry);
int ConvertLogEntry139679(const uint8_t *old, LogEntry *entry);
int ConvertLogEntry330523(const uint8_t *old, LogEntry *entry);
int ConvertLogSummary330497(const uint8_t *old, LogSummary *row);
