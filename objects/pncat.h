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
