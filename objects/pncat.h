// The planetary nebula catalogue pln.bin (73-byte records from 0), its
// designation indexes (PK, Abell, ARO, ESO, Minkowski, Haro, Kohoutek,
// Henize, PN G, discovery designations) and the designation list.
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/designationlist.h"

const int kPnRecordSize = 73;

struct PlanetaryNebulaRecord {
    double pngLongitude, pngLatitude;
    char pngSuffix;
    int32_t pkLongitude, pkLatitude;
    char pkSign;
    uint16_t ngcNumber, icNumber;
    uint8_t messierNumber;
    int16_t commonName;
    uint16_t haroNumbers[2], minkowskiNumbers[2], henizeNumbers[3], kohoutekNumbers[2];
    uint8_t abellNumber;
    uint16_t esoNumbers[2];
    uint16_t aroNumber;
    double ra, dec;
    double magnitude, magnitude2;
    double size;  // arcseconds, -1 none
    double descriptiveValue, descriptiveByte2, distanceParsecs, surfaceBrightness;
    uint8_t codes[11];
    uint8_t bit14Flag;
    uint8_t morphologyTypes[2], morphologyModifiers[2];
    int32_t noteNumber;
    uint8_t descriptiveByte;
    char discoveryDesignation[17];
    uint8_t distanceNotUsed;  // bit 10 of the descriptive bit word
};

FILE *OpenPlanetaryNebulaCatalogue();
int ReadPlanetaryNebulaRecord(FILE *stream, int32_t record, PlanetaryNebulaRecord *out, int flags);
int FormatPlanetaryNebulaDesignations(const DesignationPreferences *prefs,
                                      const PlanetaryNebulaRecord *record, DesignationList *list,
                                      int limit, int flag, DesignationParts *first,
                                      DesignationParts *second);

FILE *OpenPkIndex();
FILE *OpenAbellPnIndex();
FILE *OpenAroIndex();
FILE *OpenEsoPnIndex();
FILE *OpenMinkowskiIndex();
FILE *OpenHaroIndex();
FILE *OpenKohoutekIndex();
FILE *OpenHenizeIndex();
FILE *OpenPnGIndex();
FILE *OpenPnDiscoveryIndex();
// Every lookup answers the pln.bin record, or -1 for none (empty slots are 0xFFFF).
int LookupPkDesignation(FILE *stream, const int32_t pk[2]);
int LookupAbellPn(FILE *stream, int number);
int LookupAro(FILE *stream, int number);
int LookupEsoPn(FILE *stream, int first, int second);
int LookupMinkowski(FILE *stream, int first, int second);
int LookupHaro(FILE *stream, int first, int second);
int LookupKohoutek(FILE *stream, int first, int second);
// -1 also for a number outside the series (record 0 is a real nebula).
int LookupHenize(FILE *stream, int series, int number);
int LookupPnGDesignation(FILE *stream, double longitude, double latitude, char suffix);
int ReadPnDiscoveryEntry(FILE *stream, int entry, char *text);
int FindPnByDiscoveryDesignation(const char *text);

// Scans used by catalogue browsing.
struct PkScan {
    FILE *stream;
    int longitude;
    int highestSlot;
    int slot;
};
struct PnGScan {
    FILE *stream;
    int degree;
    int latitudeTenths;
    int count;
    int position;
};
PkScan *StartPkScan(const int32_t pk[2]);
// Record, or -2 at the end (pk out: longitude, latitude tenths).
int NextPkScanEntry(PkScan *scan, int32_t pk[2]);
void EndPkScan(PkScan *scan);
PnGScan *StartPnGScan(double longitude, double latitude);
// 1 (longitude, latitude out, suffix out), 0 at the end.
int NextPnGScanEntry(PnGScan *scan, double place[2], char *suffix);
void EndPnGScan(PnGScan *scan);

// Morphology text of the main and secondary type; with shortForm the main
// type's name replaces the text. The text holds at least 160 bytes.
void DescribePlanetaryNebulaMorphology(const PlanetaryNebulaRecord *record, char *text, int shortForm);
// Note n (from 1) of pn_notes.bin into 225 bytes: 1, or 0 with an empty text.
int ReadPlanetaryNebulaNote(int note, char *text);
