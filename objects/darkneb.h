// Dark nebulae (dn.bin, 25-byte records from 0): catalogued clouds with
// Barnard, LDN and southern dark cloud (DC) designations, and globules known
// by a designation text; the LDN and Barnard indexes, the DC search and the
// globule search with its Roman-numeral aware order, and the designation list.
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/designationlist.h"

const int kDarkNebulaRecordSize = 25;
const int kFirstGlobuleRecord = 3114;

struct DarkNebulaRecord {
    double ra, dec;
    double majorSize, minorSize;
    int32_t classValue;   // opacity 0-9, 10 for every globule (not a brightness)
    int32_t commonName, ldnNumber, barnardNumber;
    char barnardSuffix;
    double dcLongitude, dcLatitude;
    char dcSuffix;
    char name[65];
};

FILE *OpenDarkNebulaCatalogue(int globules);
int ReadDarkNebulaRecord(FILE *stream, int32_t record, DarkNebulaRecord *out,
                         const DesignationPreferences *prefs, int flags);
int FormatDarkNebulaDesignations(const DesignationPreferences *prefs, const DarkNebulaRecord *record,
                                 DesignationList *list, int limit, int flag, DesignationParts *first,
                                 DesignationParts *second);
FILE *OpenLdnIndex();
int LookupLdn(FILE *stream, int n);
FILE *OpenBarnardIndex();
int LookupBarnard(FILE *stream, int n, char suffix);
int FindDarkCloudByDcDesignation(double longitude, double latitude, char suffix);
// Texts are compared by their first 63 characters; an unknown cloud numeral
// counts as 0.
int CompareGlobuleDesignations(const char *a, const char *b);
int FindGlobuleByDesignation(const char *text);
FILE *OpenGlobuleIndex();
int ReadGlobuleEntry(FILE *stream, int entry, char *text);
