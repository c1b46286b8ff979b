// The text encodings of import files. The suite keeps its names and notes in
// Windows-1252; logs written by other programs are often UTF-8. A file that
// is well-formed UTF-8 throughout is converted, character by character, to
// Windows-1252 (a character the code page lacks becomes '?'); any other file
// is taken as Windows-1252 already.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

// The Windows-1252 byte of a Unicode code point; '?' when the code page has none.
char CodePointToCp1252(unsigned long codePoint);

// The length (2 to 4) of the well-formed UTF-8 sequence that begins at text[0]
// (of size bytes), with its code point in *codePoint; 0 for an ASCII byte or
// a byte that does not begin a well-formed sequence (over-long forms,
// surrogates and values beyond U+10FFFF are not).
size_t DecodeUtf8Sequence(const char *text, size_t size, unsigned long *codePoint);

// Reads the open file from its current position to its end and puts the
// position back: 1 when every byte belongs to well-formed UTF-8 and at least
// one character is not ASCII (a file of ASCII reads the same either way),
// else 0. A UTF-8 byte-order mark counts as such a character.
int IsUtf8File(FILE *file);

// Converts well-formed UTF-8 text to Windows-1252 in place; a byte that does
// not begin a well-formed sequence is kept as it is.
void ConvertUtf8ToCp1252(std::string *text);
