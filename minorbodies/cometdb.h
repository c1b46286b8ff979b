// The packaged comets: the comet element record shared with the user's
// comet file and the transfer records, comets.bin (element sets, the sets of
// one numbered comet consecutive, numbered comets first) and cnames.bin (one
// name entry per comet with the index of its first set), the label and
// display-name texts, lookups by name, designation and number, the
// designation key, and the place of a packaged comet with coma and tail.
#pragma once
#include <cstdint>
#include <cstdio>

#include "ephem/orbit.h"

struct DateRecord;

const int kCometNameSize = 29;
const int kCometDesignationSize = 17;
// Label buffers hold one designation-list entry (the longest label is
// about 57 characters).
const int kCometLabelSize = 65;
const int kMaxCometNameEntries = 1017;
// Bit of the periodic number: the number is not shown in the label.
const uint16_t kCometNumberHidden = 0x8000;
// H and K used when a record gives neither.
const double kDefaultCometH = 7.5;
const double kDefaultCometK = 4.0;
// Year and code of ParseCometDesignationKey when none can be read.
const int kNoDesignationKey = 999;
// A fragment of a split comet: one or two capitals and the NUL.
const int kCometFragmentSize = 3;

#pragma pack(push, 1)
struct CometRecord {
    uint16_t number;        // periodic number; 0 none; kCometNumberHidden: not in the label
    char letter;            // orbit-type letter (P, C, D, X, I, A), blank none
    char name[kCometNameSize];
    char designation[kCometDesignationSize];
    int16_t objectId;       // user comet file only
    double perihelionTime;  // Julian centuries TT from J2000
    double epoch;           // of osculation, Julian centuries TT; 0 none
    float q;                // AU
    float e;
    float perihelion;       // argument of perihelion, rad
    float node;             // rad
    float inclination;      // rad
    float H;
    float K;                // 2.5 K log r
    int16_t comaDiameter;   // 1e-6 AU
    uint8_t condensation;   // 0-9
    uint8_t reserved[4];
    char source[33];
};
struct CometNameEntry {
    uint16_t number;
    char letter;
    char name[kCometNameSize];
    char designation[kCometDesignationSize];
    int16_t firstSet;       // index in comets.bin of the comet's first element set
};
#pragma pack(pop)
static_assert(sizeof(CometRecord) == 135, "CometRecord is 135 bytes");
static_assert(sizeof(CometNameEntry) == 51, "CometNameEntry is 51 bytes");

// The label of a comet into text (kCometLabelSize bytes): "%d%c/%s" for a
// shown number, "%c (%s)" without a designation, "%c/%s (%s of %s)" for a
// "Great" comet with a designation of 4 or more characters, else
// "%c/%s (%s)".
void FormatCometLabel(uint16_t number, char letter, const char *name, const char *designation,
                      char *text);
// The name, or "<name> of <first 4 characters of the designation>" for a
// "Great" comet (kCometLabelSize bytes).
void FormatCometDisplayName(const char *name, const char *designation, char *text);

FILE *OpenCometNameFile();
// Entry n (or the next for -1): outputs may be null except firstSet
// (designation kCometDesignationSize, display name and label
// kCometLabelSize bytes). n + 1 (or the index of the following entry), 0 for
// a null stream, n >= 1017 or a short read.
int ReadCometNameEntry(FILE *stream, int n, char *letter, uint16_t *number, char *designation,
                       char *displayName, char *label, int16_t *firstSet);
FILE *OpenCometElementsFile();
// Record n (or the next for -1) of comets.bin; whole record optional.
int ReadCometRecord(FILE *stream, int n, CometRecord *record);
int ReadCometRecordLabel(FILE *stream, int n, char *letter, uint16_t *number, char *designation,
                         char *name, char *label);
int ReadCometNumberAndLabel(FILE *stream, int n, uint16_t *number, char *label);
// First-set index of the comet whose key (the name of a numbered comet, else
// "<name> <designation>") equals text ignoring case; -1 none.
int FindCometIdByName(const char *text);
// Index of the first record with this designation (ignoring case); -1 none.
int FindCometByDesignation(const char *text);
// Index of the first record with this 16-bit number (numbered comets only)
// that is the whole comet, not one of its fragments (the first record of the
// number when the file holds fragments only); -1 none.
int FindCometByNumber(uint16_t number);
// Year and code of a provisional designation ("2020 F3": 2020, 10 x letter
// index + digit + 10 = 63); 999 where a part cannot be read.
void ParseCometDesignationKey(const char *designation, int *year, int *code);

// Split comets. A fragment is a comet of its own with its own orbit: the
// one or two capitals after the last hyphen of the designation ("2019 Y4-B")
// or, for a numbered comet, of the name ("Schwassmann-Wachmann 3-B", which
// the label shows as "73P/Schwassmann-Wachmann 3-B"). fragment receives them
// (kCometFragmentSize bytes), "" for a whole comet.
void GetCometFragment(uint16_t number, const char *name, const char *designation, char *fragment);
// 1 when two sets belong to one comet: the same periodic number (not 0) and
// the same fragment.
int IsSameCometSet(const CometRecord *a, const CometRecord *b);
// The number and fragment a periodic designation names: "73", "73P",
// "73P-B", "73P-B/Schwassmann-Wachmann 3" or the label form
// "73P/Schwassmann-Wachmann 3-B". 1, or 0 when the text does not start with
// a number of 1..65535.
int ParsePeriodicCometText(const char *text, uint16_t *number, char *fragment);
// Index of the first set of the comet with this number and fragment ("" the
// whole comet); -1 none.
int FindCometByNumberAndFragment(uint16_t number, const char *fragment);

// The best set (epoch nearest the date) of the comet whose sets begin at
// record n, as read: among the sets that follow with the same number, only
// those of the same fragment count. -1 when it cannot be read.
int ReadBestCometSet(FILE *stream, int n, double centuriesTT, CometRecord *best);
// The place of the packaged comet whose sets begin at record n. Outputs may
// be null. 1; 0 when the date is missing, n < 0, the file or record is
// missing, or the set builds no orbit.
int ComputeCometPosition(const DateRecord *date, int n, char *letter, uint16_t *number,
                         char *designation, char *name, double *ra, double *dec, double *r,
                         double *delta, double *elongation, double *magnitude, double *comaSize,
                         int *condensation, double *tailLength, double *tailAngle, double *epoch,
                         OrbitRecord *orbit);
// Builds and completes the orbit of a comet set (comet magnitude law; H = K
// = 0 become 7.5 and 4.0 when defaults is set). 1, or 0 when the elements
// build no orbit.
int BuildCometOrbit(const CometRecord *record, int defaults, OrbitRecord *orbit);
