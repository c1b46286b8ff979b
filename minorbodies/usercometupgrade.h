// User comets of the previous generation: 130-byte records (the current
// 135-byte CometRecord without the degree of condensation and its four
// reserved bytes, the source text at 97 instead of 102), their file with its
// 4-byte head, and the way back for files that older programs read.
#pragma once
#include <cstdint>
#include <cstdio>

#include "minorbodies/cometdb.h"

const int kOldUserCometSize = 130;
// The degree of condensation given to comets that had none.
const uint8_t kOldCometCondensation = 4;

// Zeroes and fills the current record from the old one. 1, or 0 for null.
int ConvertOldUserCometRecord(const uint8_t *old, CometRecord *record);
// Fills the 130 bytes of an old record from the current one. 1, or 0.
int ConvertUserCometRecordToOld(const CometRecord *record, uint8_t *old);
// Old record i (at 4 + 130 i) read and converted. 1, or 0 for a null file or
// a failed seek or read.
int ReadOldUserCometRecord(FILE *file, int index, CometRecord *record);
// Writes a current comet.bin at newPath (through the crash-safe layer) from
// the old one at oldPath: the two int16 of the head, then each converted
// record. 1, or 0 (a count the file does not hold is refused; the old file is
// never touched).
int UpgradeUserCometFile(const char *oldPath, const char *newPath);
