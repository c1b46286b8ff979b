// The galaxy catalogue gal.bin (48-byte bit-packed records, galaxy n from 1),
// its distance file ngd.bin, the six designation indexes (MCG, ESO, Markarian,
// Arp, UGC, PGC), the UGC browsing scan and the galaxy designation list.
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/designationlist.h"

const int kGalaxyRecordSize = 48;
const int kLastUgcNumber = 12922;

struct GalaxyRecord {
    int32_t pgcNumber;
    int16_t mcgZone, mcgSecond, mcgThird, mcgSuffix;
    int16_t esoField, esoNumber, esoSuffix;
    uint16_t ngcNumber, ngcSuffix, icNumber, icSuffix, ugcNumber;
    char ugcSuffix;
    uint16_t messierNumber;
    int16_t commonName;
    uint16_t arpNumber, markarianNumber, markarianSuffix;
    uint16_t typeCode, subtypeCode;
    char typeText[21];
    char morphology[5];
    double ra, dec;
    double magnitude;
    double radialVelocity, distanceMly, colourIndex2, bMinusV, positionAngle;
    double majorAxis, minorAxis;
    double surfaceBrightness;
    uint8_t detailCodes[5];
    uint8_t classCode2;
    double typicalBMinusV;
    char displayName[65];
};

FILE *OpenGalaxyCatalogue();
// Decodes one record (galaxy number, or -1 for the record at the stream
// position). 1, or 0 for no stream, a failed seek or read.
int ReadGalaxyRecord(FILE *stream, int32_t number, GalaxyRecord *out,
                     const DesignationPreferences *prefs, int flags);
// Decodes 48 record bytes; number is the galaxy's number (for the distance).
void DecodeGalaxyRecord(const unsigned char *bytes, int32_t number, GalaxyRecord *out,
                        const DesignationPreferences *prefs, int flags);
double LookupGalaxyDistance(int32_t number);
// Morphology class 0..29: text and typical B-V; 99.9 and "" otherwise.
const char *GalaxyMorphologyText(int morphologyClass);
double GalaxyTypicalBMinusV(int morphologyClass);

int FormatGalaxyDesignations(const DesignationPreferences *prefs, const GalaxyRecord *record,
                             DesignationList *list, int limit, int flag, DesignationParts *first,
                             DesignationParts *second);

FILE *OpenMcgIndex();
FILE *OpenEsoGalaxyIndex();
FILE *OpenMarkarianIndex();
FILE *OpenArpIndex();
FILE *OpenUgcIndex();
FILE *OpenPgcIndex();
int32_t LookupMcgDesignation(FILE *stream, const int16_t mcg[4]);
int LookupEsoGalaxyDesignation(FILE *stream, const uint16_t eso[3], int32_t *galaxy);
int LookupMarkarianDesignation(FILE *stream, const int32_t mkn[2], int32_t galaxies[4]);
int32_t LookupArpNumber(FILE *stream, int number);
int32_t LookupUgcDesignation(FILE *stream, int number, char suffix);
int32_t LookupPgcNumber(FILE *stream, int32_t number);

struct UgcScan {
    FILE *stream;
    int number;
    int position;
    unsigned char record[12];
};
UgcScan *StartUgcScan();
int32_t NextUgcScanEntry(UgcScan *scan, int *number, char *suffix);
void EndUgcScan(UgcScan *scan);
