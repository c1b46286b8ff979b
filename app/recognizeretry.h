// Recognition of a log entry's designation with retries: the text as cleaned
// up, then with a blank put before its first digit ("M31" -> "M 31"), then,
// for a minor planet written "0433-Eros", as "MPN 433". Every call is traced
// to "debug.txt" in the current directory for the user's support.
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

// Longest cleaned designation handed to the parser.
const int kRetryDesignationLength = 63;
// The trace file is started afresh when it has grown to this many bytes.
const long kRetryTraceLimit = 1L << 20;

// The parser's shape (IdentifyObjectText).
typedef int (*DesignationParser)(char *text, double altitude, const LocationRecord *site,
                                 const DateRecord *date, double extinction,
                                 ObjectRecord records[3]);

// What the parser returned for the last attempt made: 1-3 records built, 0
// nothing recognised, -1 the parser's own failures. site, date may be null.
int RecognizeDesignation(const LocationRecord *site, const DateRecord *date,
                         const char *designation, ObjectRecord records[3]);
// The same with another parser and trace file (null: no trace).
int RecognizeDesignationWith(DesignationParser parser, const char *traceFile,
                             const LocationRecord *site, const DateRecord *date,
                             const char *designation, ObjectRecord records[3]);

// Inserts one blank before the first digit when the scan from the start meets
// a digit before any blank; 1 when changed, else 0. The buffer needs room for
// one more character.
int InsertBlankBeforeDigit(char *text);
// A dash followed by a blank loses the blank ("NGC 2392 - Eskimo" ->
// "NGC 2392 -Eskimo"). In place.
void RemoveBlankAfterDash(char *text);
// For "nnnn-Name" (more than four characters, '-' fifth, a number at the
// start): "MPN n" for a number above 0, else the text after the dash; 1 then,
// else 0. out holds strlen(text) + 1 and at least 16 characters.
int MakeMinorPlanetNumberText(const char *text, char *out);
// Removes leading blanks; a text under 256 characters that holds a blank gets
// one blank inserted before its first digit, wherever it is. The buffer needs
// room for one more character.
void InsertBlankBeforeDigitInPhrase(char *text);
