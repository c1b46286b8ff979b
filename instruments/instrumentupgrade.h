// Converters of the older instrument layouts into the current InstrumentRecord:
// the first generation's 8,750-byte records (unstamped instr.bin and the
// oldest log entries), and the stamped 139,206-byte and 330,050-byte records,
// with their optics blocks and cameras; and the whole-file upgraders of
// instr.bin, which write a new file under another path for the caller to put
// in place.
#pragma once
#include <cstdint>
#include <cstdio>

#include "instruments/instrumentrecord.h"

// Record sizes of the instrument layouts.
const int kInstrumentSize8750 = 8750;
const int kInstrumentSize139206 = 139206;
const int kInstrumentSize330050 = 330050;
const int kOpticsBlockSize69571 = 69571;
const int kOpticsBlockSize164929 = 164929;
const int kOldCameraEntrySize = 5434;
const int kOldFilterRecordSize = 93;

// Record converters: the old record's bytes in, a zeroed and filled current
// record out. 1, or 0 for a null argument.
int ConvertOldInstrumentRecord(const uint8_t *old, InstrumentRecord *record);
int ConvertInstrumentRecordInEntry(const uint8_t *old, InstrumentRecord *record);
int ConvertInstrumentRecord139206(const uint8_t *old, InstrumentRecord *record);
int ConvertInstrumentRecord330050(const uint8_t *old, InstrumentRecord *record);
int ConvertOldOpticalPart(const uint8_t *old, OpticsBlock *block);
int ConvertOpticsBlock164929(const uint8_t *old, OpticsBlock *block);
int ConvertOldCameraEntry(const uint8_t *old, CameraEntry *entry);
// Copies a 93-byte filter into the first 93 bytes of a filter slot; returns the
// slot, or null for a null argument.
FilterRecord *CopyOldFilterRecord(FilterRecord *slot, const uint8_t *old);

// Record i of an old file (8,750-byte records from offset 4; 139,206-byte
// records from offset 9), converted. 1, or 0 for a null file or a failed seek
// or read.
int ReadOldInstrumentRecord(FILE *f, int index, InstrumentRecord *record);
int ReadInstrumentRecord139206(FILE *f, int index, InstrumentRecord *record);

// Whole-file upgraders: the old instr.bin at oldPath, a current-layout file
// (stamp 3.1f, the old last id and count, the converted records) written at
// newPath through the crash-safe layer. 1 when every record was converted
// and written; 0 otherwise (no new file then, or an earlier one whole; the
// old file is never touched; a count the file does not hold is refused).
int UpgradeInstrumentFile(const char *oldPath, const char *newPath);
int UpgradeInstrumentFile139206(const char *oldPath, const char *newPath);
int UpgradeInstrumentFile330050(const char *oldPath, const char *newPath);
