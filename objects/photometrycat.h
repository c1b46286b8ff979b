// Readers of the five photometric standard-star catalogues of reference
// slot 1 (Landolt UBVRI standards, DDO, Geneva, UBVRI and uvby photometry):
// fixed-size records, each starting with RA and Dec as turn fractions and
// signed 16-bit values x 0.001 (magnitudes or colour indexes) from byte 8.
#pragma once
#include <cstdint>
#include <cstdio>

const int kMaxPhotometryValues = 16;
const double kNoPhotometryValue = 99.9;

struct PhotometryRecord {
    double ra, dec;                            // radians
    int32_t identifier;
    int32_t count;                             // values used
    double values[kMaxPhotometryValues];       // 99.9 none
    double errors[kMaxPhotometryValues];
    int32_t counts[kMaxPhotometryValues];      // observations per value
    int32_t flag;
    int32_t code;
    char name[16];
};

// Streams of the catalogues, or null (null before the catalogue directories
// are set).
FILE *OpenLandoltCatalogue();
FILE *OpenDdoCatalogue();
FILE *OpenGenevaCatalogue();
FILE *OpenUbvriCatalogue();
FILE *OpenUvbyCatalogue();
// Record n (1-based) or the next one for -1: 1, or 0 for a null stream or
// record, another n below 1, a failed seek or a short read.
int ReadLandoltStar(FILE *stream, int n, PhotometryRecord *out);
int ReadDdoStar(FILE *stream, int n, PhotometryRecord *out);
int ReadGenevaStar(FILE *stream, int n, PhotometryRecord *out);
int ReadUbvriStar(FILE *stream, int n, PhotometryRecord *out);
int ReadUvbyStar(FILE *stream, int n, PhotometryRecord *out);
