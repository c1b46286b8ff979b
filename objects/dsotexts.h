// Designation texts of the deep-sky catalogues (Messier, NGC, IC, Markarian,
// Arp, UGC, ESO, MCG, PGC/LEDA, PK, PN G) and the CCDM double-star number,
// each written into a caller buffer of 65 bytes, and the list-builder pattern
// that every deep-sky class follows to list an object's designations in the
// user's preferred order.
#pragma once
#include <cstdint>

#include "objects/designationlist.h"

const int kLastPgcNumber = 73197;   // higher numbers are LEDA numbers

// A suffix index is 0 for none and k for the k-th letter ("A" = 1).
void FormatMessierDesignation(char *text, int number);
void FormatNgcDesignation(char *text, int number, int suffix);
void FormatIcDesignation(char *text, int number, int suffix);
void FormatMarkarianDesignation(char *text, int number, int suffix);
void FormatArpDesignation(char *text, int number);
void FormatUgcDesignation(char *text, int number, char suffix);
void FormatEsoDesignation(char *text, const int16_t eso[3]);       // field, number, suffix
void FormatMcgDesignation(char *text, const int16_t mcg[4]);       // zone, second, third, suffix
void FormatPgcDesignation(char *text, int32_t number);
void FormatPkDesignation(char *text, const int32_t pk[2], char sign);  // longitude, latitude tenths
void FormatPnGDesignation(char *text, double longitude, double latitude, char suffix);
// {first, second, sign ('+' or '-')}: "CCDM %05d%c%04d"; empty for 0, 0, '-'.
struct CcdmNumber {
    int32_t first;
    int32_t second;
    char sign;
};
int FormatCcdmDesignation(char *text, const CcdmNumber &ccdm);

// Letter of a suffix index: 0 for none or an index outside 1..26.
char SuffixLetter(int suffix);

// ---- list-builder pattern ---------------------------------------------------------

// One run over the kinds of a class: the builder's own code appends the entry
// of one 0-based kind (when the record has it) through the helpers below.
struct DesignationListBuilder {
    DesignationList *list;
    DesignationParts *first;
    DesignationParts *second;
    DesignationParts *current;  // the parts that describe the entry just added, or null
};
// Appends a text; when it is the list's first entry `current` becomes the
// first parts, from the second entry on the second parts. 0 when the list is full.
int AppendDesignation(DesignationListBuilder *b, const char *text);
// Fills the current parts (when given) of a catalogue designation.
void SetDesignationParts(DesignationListBuilder *b, int form, int first, int second, int third,
                         const char *word);
void SetPlainName(DesignationListBuilder *b);
// Appends common name n (0..227) as a plain name, read from cnames.bin.
void AppendCommonName(DesignationListBuilder *b, int number);
// 1 when the text already is an entry of the list.
int ListContains(const DesignationList *list, const char *text);

typedef void (*AddKindFunction)(DesignationListBuilder *b, const void *record, int kind);
// The common pattern: family row of the preferences (1 galaxies ... 8 globular
// clusters), number of kinds, and the class's append call. Returns 1, or 0 with
// no record or list.
int BuildDesignationList(const DesignationPreferences *prefs, int family, int kindCount,
                         const void *record, DesignationList *list, int limit, int ignoreEnable,
                         DesignationParts *first, DesignationParts *second, AddKindFunction add);
