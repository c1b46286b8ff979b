// The variable-star catalogue files of reference slot 1: vindex_f.bin (one
// 8-byte entry per constellation), vref_f.bin (74-byte records, the
// constellation's numbered stars first, record n - 1 holding number n, then
// its Greek-letter and special names), and nsvref_f.bin (38-byte suspected
// variables). Turn fractions and proper-motion codes as in stars.bin.
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/variabilitytypes.h"

const int kVariableRecordSize = 74;
const int kVariableIndexEntrySize = 8;
const int kNsvRecordSize = 38;
const int kMaxVariableTypes = 4;
const int kMaxNsvTypes = 2;

// ReadVariableStar flags.
const int kVariableReadPosition = 0x01;
const int kVariableReadMagnitudes = 0x02;
const int kVariableReadIdentifiers = 0x08;
const int kVariableReadTimes = 0x10;

struct VariableStarRecord {
    uint16_t constellation, number, constellation_2, number_2;
    double ra, dec, pm_ra, pm_dec;   // radians, radians per year (RA motion / cos Dec)
    double epoch;                    // Julian date, -1 none
    double period;                   // days
    double max_magnitude, min_magnitude, faint_limit, bright_limit;  // 99.9 none
    uint8_t extra_byte;
    uint16_t remark;                 // remark reference, 0 none
    uint16_t epoch_code;             // 65535 none
    uint8_t superscript;
    uint8_t max_band, min_band;
    uint8_t flag_1, flag_2, code_11_12, flag_13, code_6_7, flag_3, code_8_10, flag_4, flag_5,
        flag_0;
    uint8_t type_count;
    VariabilityType types[kMaxVariableTypes];
    int32_t star_1, star_2;
    uint16_t record_number;          // set by the name search
    uint16_t extra_word;
    char name[32];
    char component;                  // ' ' or 'A', 'B', ...
};

struct VariableStarFiles;

// Both files, or null unless both open (null before the catalogue
// directories are set).
VariableStarFiles *OpenVariableStarFiles();
void CloseVariableStarFiles(VariableStarFiles *files);
// Number of records in vref_f.bin (from its size).
int CountVariableStars(VariableStarFiles *files);
// Record r (1-based) or the next record for -1: 1, or 0 for r outside the
// file or a read error. The flags select the groups above; the flag bytes,
// component and extra_word are always filled.
int ReadVariableStar(VariableStarFiles *files, int r, VariableStarRecord *out, int flags);
// The star named by the text ("RR Lyr", "del Cep"): 1 with the record (its
// record_number set), 0 when the name is none of the catalogue's, names no
// constellation, lies beyond the constellation's records or the record
// found is not that star; -1 on a read error.
int FindVariableStarsByName(VariableStarFiles *files, const char *text, VariableStarRecord *out,
                            int flags);

// Suspected variables: NSV 1-14,811 are records 0-14,810, from 15,001 on
// records from 14,811; 14,812-15,000 have none.
const int kLastNsvOfFirstRun = 14811;
const int kFirstNsvOfSecondRun = 15001;

struct NsvRecord {
    double ra, dec, pm_ra, pm_dec;
    double magnitude_1, magnitude_2;  // 99.9 none
    int32_t star_1, star_2;
    uint8_t byte_18;
    uint8_t flag_4, flag_5, flag_2, flag_3, code_0_1;
    uint16_t code_7_15;
    uint8_t byte_11;
    uint8_t flag_6;
    VariabilityType types[kMaxNsvTypes];
    int32_t type_count;
    char name[16];                    // "NSV %d"
};

// Record index of an NSV number; -1 for numbers without a record.
int NsvRecordIndex(int nsv);
FILE *OpenNsvFile();
// NSV number n, or the next record for -1: 1, or 0 for a number without a
// record, a null stream or output, or a read error. Flags as ReadVariableStar.
int ReadNsvRecord(FILE *stream, int nsv, int ignored, NsvRecord *out, int flags);
