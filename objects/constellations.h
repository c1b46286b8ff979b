// The constellations as objects of class 1, index 0-88 (the 88 constellations
// with Serpens counted twice: 75 Serpens Caput, 76 Serpens Cauda): the name
// tables, the readers of the constellation files of reference slot 0
// (connames.bin, conbound.bin, con_info.dat, show.bin) and the abbreviation
// and genitive lookups. The boundary test is in objects/conrects.h.
#pragma once
#include <cstdio>

const int kConstellationCount = 89;       // indexes 0-88
const int kConstellationTableSize = 88;   // table positions 0-87
const int kConstellationNameSize = 20;    // connames.bin name field

// Tables in table order (position 0-87). The star and variable-star files
// number constellations by these positions.
extern const char kConstellationAbbreviations[88][4];
extern const char kConstellationGenitives[88][20];
extern const char kGreekLetterNames[24][8];

// Index 0-23 of the first Greek letter name at least as long as the text
// whose first character equals the text's ignoring case and whose following
// characters equal the text's exactly ("alp", "Alpha", "Eps", "omi", "ome");
// -1 for fewer than 2 characters or no match.
int FindGreekLetterName(const char *text);
// A Greek letter word as observers write it: a name or abbreviation as above,
// or one of the IAU forms "alf", "tet", "ksi", optionally followed by a
// superscript of one digit 1-9 ("alp1", "Alpha2", "alf2").
// 1 with the letter index and the superscript (0 when none); else 0.
int ParseGreekLetterWord(const char *word, int *letter, int *superscript);

// Table position of a constellation index: i up to 75, i - 1 above; -1 outside 0-88.
int ConstellationTablePosition(int index);

// connames.bin: 28-byte records {char[20] name, int32 RA, int32 Dec}.
FILE *OpenConstellationNames();
// Reads record `index` (or the next one for -1) into name (20 bytes), RA and
// Dec (radians of the label). Returns index + 1 of the record read, 0 on failure.
int ReadConstellationName(FILE *stream, int index, char *name, double *ra, double *dec);
// Index of the first record whose name equals the text ignoring case; -1 when
// none or when the file cannot be opened.
int FindConstellationByName(const char *name);

// conbound.bin: 22-byte records, the RA and Dec extent of each constellation.
FILE *OpenConstellationExtents();
// Index + 1 of the record read (for -1 the record at the current position);
// 0 for an index of 90 or more or a failed read.
int ReadConstellationExtent(FILE *stream, int index, double *ra1, double *ra2, double *dec1,
                            double *dec2);

// 1 and the abbreviation (4 bytes) for indexes 0-88; 0 and "" otherwise.
int GetConstellationAbbreviation(int index, char *text);
// First table position 0-87 of which the text is a case-insensitive prefix
// ("*" matches the first); -1 when none.
int FindConstellationAbbreviation(const char *text);
// Table position whose genitive equals the text ignoring case; -1 when none.
int FindConstellationGenitive(const char *text);

// Sizes of the ReadConstellationInfo outputs.
const int kConstellationInfoFieldSize = 128;
const int kConstellationDescriptionSize = 2048;
// Line index + 2 of con_info.dat (reference slot 0): name, abbreviation,
// genitive and description separated by commas. Outputs (each may be null;
// name, abbreviation and genitive kConstellationInfoFieldSize bytes,
// description kConstellationDescriptionSize bytes): the name; "Abbreviation:
// %s"; "Genitive form: %s.  E.g. Alpha %s."; the description's first sentence,
// a blank line ("\r\n\r\n") and the rest. Returns 1 when the description holds
// a full stop, else 0 (also for a missing file or line).
int ReadConstellationInfo(int index, char *name, char *abbreviation, char *genitive,
                          char *description);

// show.bin: the stream positioned after its 4-byte header (copied to header
// when given); null when the file cannot be opened or read.
FILE *OpenShowFile(unsigned char *header);
