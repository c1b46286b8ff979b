// The star builder (class 5): a star designation of any of the twenty star
// designation kinds becomes star numbers of the star catalogue, each star is
// read and copied into an object record. Also the parsers of the Bayer,
// Flamsteed, Durchmusterung and CCDM designation texts it reads.
#pragma once

struct CcdmComponent;
struct DateRecord;
struct LocationRecord;
struct ObjectRecord;
struct StarRecord;

// Star designation kinds (the record's kind byte for class 5).
enum StarDesignationKind {
    kStarKindNumber = 0,
    kStarKindCommonName = 1,
    kStarKindBayer = 2,
    kStarKindFlamsteed = 3,
    kStarKindVariable = 4,
    kStarKindHr = 5,
    kStarKindHd = 6,
    kStarKindSao = 7,
    kStarKindPpm = 8,
    kStarKindHip = 9,
    kStarKindBd = 10,
    kStarKindCd = 11,
    kStarKindCp = 12,
    kStarKindGc = 13,
    kStarKindWds = 14,
    kStarKindAds = 15,
    kStarKindCcdm = 16,
    kStarKindNsv = 17,
    kStarKindTycho2 = 18,
    kStarKindGsc = 19,
    kStarKindJ = 20,
};

// Most stars one Durchmusterung designation is looked up for; the builder
// keeps the first three.
const int kMaxDurchmusterungStars = 16;

// Number of records filled (at most 3), 0 when nothing was found. The kind is
// out[0].kind; refresh or kind 0: number is the star (or a special key).
// component: the letter asked for; 0, blank and 'A' mean the star itself.
// A component without a star of its own is placed from its reference star
// (its position angle and separation, from its orbit at the date) and keeps
// its own magnitude; a variable star gets its predicted magnitude and phase
// for the date.
int BuildStarObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                    double extinction, ObjectRecord *out, char component, int refresh);
// Copies a read star into a record and computes its places.
void FillStarRecord(const LocationRecord *site, const DateRecord *date, double extinction,
                    ObjectRecord *record, int starNumber, const StarRecord *star, char component);
// The place of component c of a double-star system measured from the place
// (ra, dec) of the system's primary: the chain of reference components is
// walked back to 'A', each link offset by its position angle and separation
// (from its orbit at the date when it has one and a date is given). 1 when
// placed, 0 for c outside the list, a link without a position angle or a
// reference letter the list lacks.
int ResolveComponentPosition(const CcdmComponent *components, int count, int c,
                             const DateRecord *date, double ra, double dec, double *raOut,
                             double *decOut);
// One link of that chain: component c offset from its reference's place
// (ra, dec). 1, or 0 when the component has no position angle (361 or more).
int OffsetComponentPosition(const CcdmComponent *components, int c, const DateRecord *date,
                            double ra, double dec, double *raOut, double *decOut);
// The character after the first "x" of the text, or its last character.
char ComponentLetterOfText(const char *text);
// A variable star's phase (0..1) as stored: percent rounded half away from
// zero, 100 stored as 0, 255 for a negative phase.
int VariablePhasePercent(double phase);

// Parsers; 1 when the text is a valid designation of the kind, else 0.
// Bayer: Greek letter (0-23), superscript (0 when none typed), constellation
// table position (0-87). The letter's name matches case-blind only on its
// first character ("alpha" and "Alpha", not "ALPHA").
int ParseBayerDesignation(const char *text, int *letter, int *superscript, int *constellation);
// Flamsteed: number and constellation table position.
int ParseFlamsteedDesignation(const char *text, int *number, int *constellation);
// BD, CD, CP: zone (absolute), sign '+' or '-', number, suffix letter
// ('A' + k - 1, blank for none).
int ParseDurchmusterungDesignation(const char *text, int *zone, char *sign, int *number,
                                   char *suffix);
// CCDM: RA part 0..23598, Dec part 1..8915 with its sign.
int ParseCcdmDesignation(const char *text, int *raPart, char *sign, int *decPart);
