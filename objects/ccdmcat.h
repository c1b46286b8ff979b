// The double-star catalogue of reference slot 1: ccdm.bin (31-byte system
// records in identifier order), ccdm_i.bin (37-byte component entries, each
// system's consecutive), ads_ccdm.bin (ADS number -> up to three systems),
// did_cross.bin and did_cross_full.bin (discoverer designations -> stars,
// sorted by their normalised names) and wds_notes.bin (note texts).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "objects/ccdmcomponent.h"

const int kCcdmRecordSize = 31;
const int kCcdmComponentSize = 37;
const int kMaxCcdmComponents = 254;       // the count byte holds count + 1
const int kAdsRecordSize = 12;
const int kLastAdsNumber = 17180;
const int kDiscovererRecordSize = 23;
const int kDiscovererNameSize = 10;
const int kNoteIndexEntrySize = 6;
const double kCcdmEmptyMagnitude = 99.0;  // an empty system record
const double kCcdmNoMagnitude = 99.9;

// ReadCcdmRecord flags.
const int kCcdmReadPosition = 0x01;
const int kCcdmReadMagnitudes = 0x02;
const int kCcdmReadIdentifiers = 0x08;
const int kCcdmReadMeasures = 0x10;
const int kCcdmReadComponents = 0x40;

struct CcdmIdentifier {
    int32_t first;   // RA part, 5 digits (hhmm.m x 10)
    int32_t second;  // Dec part, 4 digits (ddmm), unsigned
    char sign;       // '+' or '-'
};

struct CcdmFiles;

// Both streams (component list, system records), or null.
CcdmFiles *OpenCcdmFiles();
void CloseCcdmFiles(CcdmFiles *files);
// Number of system records (from the file's size).
int CountCcdmRecords(CcdmFiles *files);
// System record n (1-based, or the next for -1). Outputs may be null;
// components must hold kMaxCcdmComponents entries. Returns the component
// count; 0 for an empty record (primary 0: positions, motions, keys 0 and
// magnitude 99.0) or when the list cannot be read; -1 for n outside the
// file or a failed read of the system record. RA motion is divided by cos Dec.
int ReadCcdmRecord(CcdmFiles *files, int n, double *ra, double *dec, double *pmRa, double *pmDec,
                   double *magnitude, CcdmIdentifier *id, int *primary, int *keyA, int *keyB,
                   CcdmComponent *components, int flags);
// The system with this identifier: its component count with its number in
// *record; 0 when absent (*record = the last record probed); -1 when the
// catalogue cannot be opened or read.
int FindCcdmRecord(CcdmIdentifier key, int *record, double *ra, double *dec, double *pmRa,
                   double *pmDec, double *magnitude, CcdmIdentifier *id, int *primary, int *keyA,
                   int *keyB, CcdmComponent *components, int flags);
// Catalogue order: 1 when a sorts after b, -1 before, 0 equal. First parts
// ascend; within one, the signed second parts descend (+3937 before -1234).
int CompareCcdmIdentifiers(const CcdmIdentifier &a, const CcdmIdentifier &b);
// Magnitude of the component a pair is measured from: the primary's for
// reference 'A', else the first component with that letter; 99.9 when none.
double ReferenceMagnitude(const CcdmComponent *components, int index, int count,
                          double primaryMagnitude);

FILE *OpenAdsIndex();
// Up to three system numbers of ADS number a into out; the count of
// non-zero ones, 0 for a outside 1-17,180 or on failure.
int ReadAdsIndex(FILE *stream, int ads, int out[3]);

// Squeezes blanks; a text without a blank gets one before its first digit
// ("STF2272" -> "STF 2272"). In place, within size bytes.
void NormaliseDiscovererName(char *text, size_t size);
// Star number of a discoverer designation ("STF 2272", "STF2272A"): 0 when
// absent or the file cannot be opened, -1 for an empty text or before the
// catalogue directories are set. A trailing component 'A' is dropped.
int FindDiscovererStar(const char *text);
// As FindDiscovererStar in did_cross_full.bin, with the record's further
// fields; 0 for a text ending in a digit.
int FindDiscovererStarFull(const char *text, int *alternativeStar, int *value, int *byte);
FILE *OpenDiscovererList();
// Entry index (0-based) of did_cross.bin: its star number and its name
// (kDiscovererNameSize bytes, terminated); -1 on failure.
int ReadDiscovererEntry(FILE *stream, int index, char *name);
FILE *OpenDoubleStarNotes();
// Note n's bytes into buffer (not terminated): 1 when all were read and fit
// in size bytes, 0 otherwise.
int ReadDoubleStarNote(FILE *stream, int n, char *buffer, size_t size);
