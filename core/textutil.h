// Text routines shared by the whole suite: trimming, squeezing, bounded copies,
// case-blind comparisons, fixed-width fields and file-name encoding of names.
// Texts are NUL-terminated single-byte strings; "in place" changes the caller's
// text. Sizes count the terminator.
#pragma once

// The no-value results of the fixed-width parsers.
const int kNoIntegerValue = 2147483647;
const double kNoRealValue = 2147483647.0;

// ---- trimming and squeezing (in place) -----------------------------------------

// Removes trailing blanks, carriage returns and line feeds in place; returns the
// index of the last character kept, -1 when nothing is left.
int TrimTrailingBlanks(char *text);
// Removes leading blanks in place.
void TrimLeadingBlanks(char *text);
// Trims both ends and turns every run of blanks into one blank.
void SqueezeBlanks(char *text);
// As SqueezeBlanks, with every tab first turned into a blank, so blanks and tabs
// together squeeze to one blank ("M\t 31" becomes "M 31").
void SqueezeBlanksAndTabs(char *text);
// Copies source to target without its blanks; returns the length of the source.
// The target needs as many bytes as the source.
int CopyWithoutBlanks(const char *source, char *target);
// Removes every carriage return and line feed.
void RemoveLineBreaks(char *text);
// Removes every occurrence of the character.
void RemoveCharacter(char *text, char character);
// Lower-cases in place; returns the position of the terminator.
char *LowercaseString(char *text);
// Every "/" becomes "\"; returns the length.
int ConvertSlashesToBackslashes(char *text);

// ---- copies --------------------------------------------------------------------

// Copies at most size - 1 characters and terminates; returns the target. A size
// below 1 writes nothing.
char *CopyStringBounded(char *target, const char *source, int size);
// Empties the target (size > 0), then copies the source whole when it is
// shorter than size, otherwise its first size - 1 characters.
void CopyStringTruncated(char *target, const char *source, int size);
// Zero-fills all size bytes of the target, then copies as CopyStringTruncated:
// records written to files carry no stale bytes behind the text.
void CopyStringZeroFilled(char *target, const char *source, int size);
// Ends a text field of a record read from a file at its last byte; returns
// true when it already ended there (the record was clean).
bool TerminateField(char *field, int size);
// Copies the n characters of a fixed-width column and terminates (the target
// needs n + 1 bytes). A source that ends early (a short or trimmed line) gives
// blanks for the missing columns; nothing past its terminator is read.
char *CopyFixedWidthField(char *target, const char *source, int n);

// ---- searching and comparing ---------------------------------------------------

// The position of the terminator.
char *FindStringEnd(char *text);
const char *FindStringEnd(const char *text);
// Copies the part of the path after its last "\" or "/" (the whole path when
// there is none) into nameOut (at most nameSize bytes, 260 = MAX_PATH unless
// given) and returns where that part begins in the path; nullptr for an empty
// or missing path (nameOut is then emptied).
const char *GetFileNameFromPath(const char *path, char *nameOut, int nameSize = 260);
char *GetFileNameFromPath(char *path, char *nameOut, int nameSize = 260);
// <0, 0 or >0: the byte comparison of the two texts lower-cased.
int CompareStringsNoCase(const char *a, const char *b);
// 1 when the pattern is "*", or the text begins with the pattern regardless of
// case; else 0.
int MatchPrefixNoCase(const char *pattern, const char *text);
// Where part first occurs in the text regardless of case, or nullptr. Texts of
// any length (compared in place, no fixed copies).
const char *FindSubstringNoCase(const char *text, const char *part);
char *FindSubstringNoCase(char *text, const char *part);

// ---- fixed-width fields ------------------------------------------------------------

// The integer formed by the digits and "-" signs among the first n characters
// (stopping at the terminator); kNoIntegerValue when there is none, it cannot
// be read, or it lies outside the 32-bit range. Callers test for the sentinel.
int ParseFixedWidthInteger(const char *field, int n);
// The real number formed by the non-blank characters among the first n
// (stopping at the terminator); kNoRealValue when nothing can be read.
double ParseFixedWidthReal(const char *field, int n);

// ---- file-name encoding of names ---------------------------------------------------

// In place: each of " * ; : , + ? \ / | < > . becomes ~ ` ! @ # $ % ^ & { } [ ]
// in that order, so a site, observer, instrument or object name is a valid file
// name. Encode a copy: the caller's name stays as typed.
void EncodeNameForFileName(char *text);
// In place, the reverse, stopping at the first "." (a file extension after the
// encoded name is left alone; an encoded name never contains ".").
void DecodeNameFromFileName(char *text);
// 0 when the name holds a character that would not survive encoding: one of the
// replacement characters ~ ` ! @ # $ % ^ & { } [ ] or a control character
// (stored in *characterOut); 1 when the name can be encoded reversibly. The
// whole name is scanned ("Mt. Hope & Co" is refused).
int FindReservedNameCharacter(const char *name, char *characterOut);
// 1 when the name, ignoring case, an extension and trailing blanks, is one that
// Windows opens as a device (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9), so no
// file of that name can be made; else 0. Names are refused with it when created.
int IsReservedDeviceName(const char *name);
