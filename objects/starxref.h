// The star cross-index and name files (reference slot 1 unless stated): each
// maps a catalogue number, a name or a Bayer, Flamsteed or Durchmusterung
// designation to star numbers of stars.bin (3-byte little-endian references,
// 0 = none). Openers return null before the catalogue directories are set or
// when the file cannot be opened; the caller closes the stream.
//
//   hc, sao, hrbs, gc, ppm   3-byte reference per number n at (n - 1) x 3
//                            (ppm: numbers above 700,000 at (n - 321,091) x 3)
//   hd                       two references per number at (n - 1) x 6
//   flamstd                  two references at c x 834 + (f - 1) x 6
//   bayer                    two references at c x 1,296 + g x 54 + s x 6
//   bd, cd, cp               zone table of 12-byte entries {count, first
//                            index, byte offset}, then 8-byte entries {zone
//                            code, uint16 number, suffix code, int32 star}
//                            sorted by zone code, number, suffix
//   tycho                    region table (8 bytes {offset, count} per GSC
//                            region 1-9,537), then 5-byte entries {star,
//                            uint16 (TYC2 - 1) | (TYC3 - 1) << 14}
//   csn                      454-byte common-name records (byte 453 = 1 preferred)
//   csn_alp (slot 0)         37-byte alphabetical entries {int32 star, char[32], byte}
//   notes                    6-byte index entries {uint32 offset, uint16 length}
//   hip                      21-byte Hipparcos photometry records
#pragma once
#include <cstdint>
#include <cstdio>

const int kStarNameRecordSize = 454;
const int kStarNameListRecordSize = 37;
const int kTychoRegionCount = 9537;

FILE *OpenHipNumberIndex();
FILE *OpenSaoIndex();
FILE *OpenHrIndex();
FILE *OpenGcIndex();
FILE *OpenPpmIndex();
FILE *OpenHdIndex();
FILE *OpenFlamsteedIndex();
FILE *OpenBayerIndex();
FILE *OpenBdTable();
FILE *OpenCdTable();
FILE *OpenCpTable();
FILE *OpenTychoIndex();
FILE *OpenStarNameCatalogue();
FILE *OpenStarNameList();
FILE *OpenStarNotes();
FILE *OpenHipparcosPhotometry();
// The Tycho-2 reference positions, "Tycho2/T2_ref.bin" under reference slot 1.
FILE *OpenTycho2Reference();

// Star number for catalogue number n; 0 when none, out of range or on a read
// error. The HR and GC readers take -1 for the next record.
int ReadHipNumberIndex(FILE *stream, int n);
int ReadSaoIndex(FILE *stream, int n);   // n below 258,998
int ReadHrIndex(FILE *stream, int n);
int ReadGcIndex(FILE *stream, int n);
int ReadPpmIndex(FILE *stream, int n);   // 1-378,910 and above 700,000

// Pair readers: 2 when both references are set, 1 when only the first is, 0
// when the first is 0 or the read fails; both references in stars[2].
int ReadHdIndex(FILE *stream, int n, int stars[2]);              // n or -1 (next)
int ReadFlamsteedIndex(FILE *stream, int number, int constellation, int stars[2]);
// letter 0-23 (or -1 for the next record), superscript 0-8, constellation 0-87.
int ReadBayerIndex(FILE *stream, int letter, int superscript, int constellation, int stars[2]);
// ReadFlamsteedIndex and ReadBayerIndex (for an entry, never the next one)
// on the index held in memory (objects/catcache.h), as recognition asks
// for every Bayer or Flamsteed form: the same results, -1 when the index
// cannot be read.
int ReadHeldFlamsteedIndex(int number, int constellation, int stars[2]);
int ReadHeldBayerIndex(int letter, int superscript, int constellation, int stars[2]);

// The stars of a Durchmusterung designation: signNumber holds the sign
// character in bits 0-7 and the number in bits 8-23, suffixWord the suffix
// code (0 none, 1 'a') in bits 8-15. At most maxStars star numbers are
// stored, the earliest entry first; ordinal (may be null) gets the earliest
// entry's index within its zone. Returns the number stored, 0 when none.
int FindBdStars(FILE *stream, int zone, int signNumber, int suffixWord, int *stars, int maxStars,
                int *ordinal);
int FindCdStars(FILE *stream, int zone, int signNumber, int suffixWord, int *stars, int maxStars,
                int *ordinal);
int FindCpStars(FILE *stream, int zone, int signNumber, int suffixWord, int *stars, int maxStars,
                int *ordinal);

// A walk over the designations of one Durchmusterung zone, in file order.
struct DurchmusterungWalk {
    unsigned char pending[8];  // the entry whose designation is returned next
    int32_t index;             // next entry to read; negative before the first call
    int32_t zoneCount;         // entries in the zone
    int32_t consumed;          // entries of the zone read so far
    FILE *stream;
    int32_t catalogue;         // 1 BD, 2 CD, 3 CP
    int32_t fileCount;         // entries in the file
    int32_t entriesOffset;     // byte offset of entry 0
    int32_t hasPending;
};
// 1 ready (the file is open), 0 failure.
int OpenBdWalk(DurchmusterungWalk *walk, char sign, int zone);
int OpenCdWalk(DurchmusterungWalk *walk, char sign, int zone);
int OpenCpWalk(DurchmusterungWalk *walk, char sign, int zone);
// The next designation's text (65 bytes) and star number (> 0); 0 at the end
// of the zone, -1 on a read error (the stream is closed in both cases).
int NextBdDesignation(DurchmusterungWalk *walk, char *text);
int NextCdDesignation(DurchmusterungWalk *walk, char *text);
int NextCpDesignation(DurchmusterungWalk *walk, char *text);
// Closes a walk left before its end (a closed walk is ignored).
void CloseDurchmusterungWalk(DurchmusterungWalk *walk);

// Star number of Tycho identifier (region, TYC2, TYC3); 0 when absent or out of range.
int FindTychoStar(FILE *stream, int region, int tyc2, int tyc3);
struct TychoRegionWalk {
    FILE *stream;
    int32_t consumed;
    int32_t count;
};
TychoRegionWalk *OpenTychoRegionWalk(int region);
// 1 and the next entry's TYC2 and TYC3; 0 at the end.
int NextTychoEntry(TychoRegionWalk *walk, int *tyc2, int *tyc3);
void CloseTychoRegionWalk(TychoRegionWalk *walk);

// Record n (1 ...) or the next (-1) of csn.bin into a 454-byte buffer; the
// number of the record read, 0 on failure.
int ReadStarNameRecord(FILE *stream, int n, unsigned char *buffer);
// Entry `index` (0 ...) or the next (-1) of csn_alp.bin: name (32 bytes), star
// number and the entry's byte. index + 1 for a read at an index; for -1 the
// index of the entry read plus two; 0 on failure.
int ReadStarNameListEntry(FILE *stream, int index, char *name, int *star, int *byte);
// 0-based index of the first entry whose name equals the text ignoring case
// (star number in *star); -1 when absent or the file cannot be opened.
int FindStarNameListEntry(const char *name, int *star);

// The bytes of note n (not terminated); 1, or 0 when the entry is empty, the
// note does not fit bufferSize or on failure.
int ReadStarNote(FILE *stream, int n, char *buffer, int bufferSize);

struct HipparcosPhotometry {
    uint8_t code;
    double value_1, value_2, value_3, value_4;
    char type;
    char text[13];
};
int ReadHipparcosPhotometry(FILE *stream, int n, HipparcosPhotometry *out);

// Binary search of T2_ref.bin (24-byte records sorted by TYC1, TYC2, TYC3;
// the count from the file size). 1 found (outputs may be null), 0 absent.
int FindTycho2Reference(FILE *stream, int tyc1, int tyc2, int tyc3, double *ra, double *dec,
                        double *value1, double *value2, double *value3);
