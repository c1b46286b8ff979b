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

// Scan of dc.bin in file order (longitude, latitude, suffix), from the entry
// of a DC designation or its neighbourhood.
struct DcScan {
    FILE *stream;
    int longitude;   // tenths of a degree
    int index;
    int count;
};
// Longitude and latitude in degrees (0 to 359.9).
DcScan *StartDcScan(double longitude, double latitude, char suffix);
// Record + 1 (place in degrees, suffix and "DC ..." text out), 0 at the end.
int NextDcScanEntry(DcScan *scan, double *longitude, double *latitude, char *suffix, char *text);
void EndDcScan(DcScan *scan);
