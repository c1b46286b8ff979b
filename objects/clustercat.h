// Open clusters (oc.bin, 57-byte records from 0) with their catalogue words,
// OCL, cross and other-designation indexes, and globular clusters (glob.bin,
// 43-byte records from 1) with their Palomar, Terzan and designation indexes;
// the designation lists of both.
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/designationlist.h"

const int kOpenClusterRecordSize = 57;
const int kGlobularRecordSize = 43;
const int kOpenClusterCatalogueRows = 55;

struct OpenClusterRecord {
    uint8_t catalogueRows[5];
    uint16_t catalogueNumbers[5];
    int16_t commonName;
    double ra, dec;
    double oclNumber;
    double magnitude;
    int16_t valueA;
    double valueB, valueC;
    uint16_t descriptiveCount;
    uint16_t distanceParsecs;
    double size;
    uint8_t flagA;
    char otherDesignation[32];
    int32_t descriptiveByte, descriptiveWord;
    char displayName[65];
    int32_t noPosition;
};

struct GlobularClusterRecord {
    uint16_t ngcNumber, icNumber, messierNumber;
    int16_t commonName;
    uint16_t palomarNumber, terzanNumber;
    double ra, dec;
    double size;
    double distanceKpc, descriptiveValue;
    double magnitude;
    char discoveryDesignation[32];
    char displayName[65];
};

FILE *OpenOpenClusterCatalogue();
// Puts a new J2000 place (radians, stored as float32 at bytes 16 and 20) into
// record `record` (from 0) of oc.bin; the file is rewritten whole through the
// crash-safe layer, so a failure leaves it as it was. 1 when the record was
// rewritten; 0 for a record beyond the file, a place that is not finite or
// any file failure.
int SetOpenClusterPosition(int32_t record, double rightAscension, double declination);
// 2 a record without position, 1 with one, 0 no stream or a failed seek or read.
int ReadOpenClusterRecord(FILE *stream, int32_t record, OpenClusterRecord *out,
                          const DesignationPreferences *prefs, int flags);
int FormatOpenClusterDesignations(const DesignationPreferences *prefs, const OpenClusterRecord *record,
                                  DesignationList *list, int limit, int flag, DesignationParts *first,
                                  DesignationParts *second);
int FormatOpenClusterCatalogueNumber(int row, int number, char *text);
// Row + 1 of the first row 3..53 whose word begins with the given one, or -1.
// The open-cluster designation kind of that row is the answer + 1.
int FindOpenClusterCatalogueWord(const char *word);
const char *OpenClusterCatalogueWord(int row);

FILE *OpenOclIndex();
int LookupOclNumber(FILE *stream, double number);
FILE *OpenOpenClusterCrossIndex();
// Record; -1 an empty slot; -2 no stream, a row outside 3..53, a number
// outside 1..highest or a failed read.
int LookupOpenClusterCrossIndex(FILE *stream, int row, int number);
FILE *OpenOpenClusterOtherIndex();
int ReadOpenClusterOtherEntry(FILE *stream, int entry, char *text);
int FindOpenClusterByOtherDesignation(const char *text);

FILE *OpenGlobularClusterCatalogue();
int ReadGlobularClusterRecord(FILE *stream, int32_t number, GlobularClusterRecord *out,
                              const DesignationPreferences *prefs, int flags);
int FormatGlobularClusterDesignations(const DesignationPreferences *prefs,
                                      const GlobularClusterRecord *record, DesignationList *list,
                                      int limit, int flag, DesignationParts *first,
                                      DesignationParts *second);
FILE *OpenPalomarIndex();
int LookupPalomar(FILE *stream, int n);
FILE *OpenTerzanIndex();
int LookupTerzan(FILE *stream, int n);
FILE *OpenGlobularDesignationIndex();
// Cluster number; -1 when the first 20 entries hold no match; 0 when the file
// ends before (or no stream or text).
int FindGlobularByDesignation(FILE *stream, const char *text);
// The same over the packaged discovery-designation index held in memory.
int FindGlobularByDiscoveryDesignation(const char *text);
int ReadGlobularDesignationEntry(FILE *stream, int entry, char *text);
