// Galaxy groups (gg.bin: a 4-byte header, then 27-byte records, group n from
// 1; ACO clusters 1-4076, Hickson groups 4077-4176) and quasars (qso.bin,
// 47-byte records from 0) with the discoverer-designation file and the
// Hewitt-Burbidge minute index; the designation lists of both.
#pragma once
#include <cstdint>
#include <cstdio>

#include "objects/designationlist.h"

const int kGalaxyGroupRecordSize = 27;
const int kQuasarRecordSize = 47;
const int kLastAcoNumber = 4076;

struct GalaxyGroupRecord {
    double ra, dec;
    int32_t acoNumber, hicksonNumber, commonName;
    double magnitudeA, magnitude, magnitudeB, redshift, size;
    int32_t countA, classA, classB;
    double memberMagnitude, memberMajorAxis, memberMinorAxis;
};

struct QuasarRecord {
    double ra, dec;
    int32_t hbRaPart, hbDecPart;
    char hbSuffix;
    int32_t commonName;
    char hbDesignation[18];
    char discovererDesignation[18];
    char methods[56];
    double magnitude;
    double bMinusV, colourIndex2, redshift;
    uint8_t flags[4];
    uint8_t descriptiveByte;
    char shortText[4];
    int32_t hasValue;
    double value;
};

FILE *OpenGalaxyGroupCatalogue();
int ReadGalaxyGroupRecord(FILE *stream, int32_t number, GalaxyGroupRecord *out, int flags);
int GalaxyGroupOfAcoNumber(int n);
int GalaxyGroupOfHicksonNumber(int h);
int FormatGalaxyGroupDesignations(const DesignationPreferences *prefs, const GalaxyGroupRecord *record,
                                  DesignationList *list, int limit, int flag, DesignationParts *first,
                                  DesignationParts *second);

FILE *OpenQuasarCatalogue();
// The quasar's object index (record + 1), 0 for no stream or a failed seek or read.
int ReadQuasarRecord(FILE *stream, int32_t record, QuasarRecord *out, int flags);
int FormatQuasarDesignations(const DesignationPreferences *prefs, const QuasarRecord *record,
                             DesignationList *list, int limit, int flag, DesignationParts *first,
                             DesignationParts *second);
// Order of qso_des.bin. Texts are compared by their first 63 characters after
// normalising, tokens by their first 31.
int CompareQuasarDesignations(const char *a, const char *b);
int FindQuasarByDiscovererDesignation(const char *text);
int FindQuasarByHewittBurbidge(const char *text);
// The Hewitt-Burbidge minute index q.bin, for LookupHewittBurbidge; none when
// it cannot be opened.
FILE *OpenHewittBurbidgeIndex();
// Looks a designation up in an open q.bin: a leading "Q" (either case) and then
// one blank are skipped, the rest read as in FindQuasarByHewittBurbidge. The
// record number + 1, or 0 when not found or unreadable. Nothing in the
// program calls it; the tests do.
int LookupHewittBurbidge(FILE *stream, const char *text);
// The first n characters (1..95) read as a long integer; -1 when the text is
// shorter than n, its n-th character is a blank, or no number is read there.
// Nothing in the program calls it; the tests do.
long ParseLeadingNumber(const char *text, int n);

// Browsing the Hewitt-Burbidge minute index from a designation onward.
struct HewittBurbidgeScan {
    FILE *stream;
    long listOffset;
    int count;
    int raPart;     // hhmm
    int position;
};
// declination part -9999 starts at the head of the minute's list.
HewittBurbidgeScan *StartHewittBurbidgeScan(int raPart, int decPart, char suffix);
// Record + 1 (parts, suffix and "Q..." text out), 0 at the end.
int NextHewittBurbidgeScanEntry(HewittBurbidgeScan *scan, int *raPart, int *decPart, char *suffix,
                                char *text);
void EndHewittBurbidgeScan(HewittBurbidgeScan *scan);
