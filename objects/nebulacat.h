// Bright nebulae (neb.bin, 47-byte records from 0): the reader, the Sharpless,
// Gum, RCW, LBN and van den Bergh indexes, the sorted file of other
// designations with its catalogue-aware order, and the designation list.
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/designationlist.h"

const int kBrightNebulaRecordSize = 47;

struct BrightNebulaRecord {
    double ra, dec;
    int32_t commonName, messierNumber, ngcNumbers[2], icNumbers[2];
    int32_t vdbNumber, gumNumber, rcwNumber, lbnNumber, sharplessNumber;
    char otherDesignations[15];
    uint8_t typeCode, typeFlag;
    double majorSize, minorSize;
    double magnitude;
    uint8_t brightnessClass;
    char displayName[65];
};

FILE *OpenBrightNebulaCatalogue();
// 1, or 0 for no stream or a failed seek or read.
int ReadBrightNebulaRecord(FILE *stream, int32_t record, BrightNebulaRecord *out,
                           const DesignationPreferences *prefs, int flags);
int FormatBrightNebulaDesignations(const DesignationPreferences *prefs, const BrightNebulaRecord *record,
                                   DesignationList *list, int limit, int flag, DesignationParts *first,
                                   DesignationParts *second);
FILE *OpenSharplessIndex();
FILE *OpenGumIndex();
FILE *OpenRcwIndex();
FILE *OpenLbnIndex();
FILE *OpenVdbIndex();
int LookupSharpless(FILE *stream, int n);   // 1..312
int LookupGum(FILE *stream, int n);         // 1..83
int LookupRcw(FILE *stream, int n);         // 1..158
int LookupLbn(FILE *stream, int n);         // 1..1627
int LookupVdb(FILE *stream, int n);         // 1..158
FILE *OpenNebulaOtherIndex();
int ReadNebulaOtherEntry(FILE *stream, int entry, char *text);
// Texts longer than 63 characters, or with a word or rest above 31, are
// compared by their first 63 / 31 characters.
int CompareNebulaOtherDesignations(const char *a, const char *b);
int FindBrightNebulaByOtherDesignation(const char *text);
