// Notes on the keys of the six index kinds: one free text per class folder,
// night, observer, site, instrument and constellation, kept beside the key's
// index file (".bin" next to ".idx"): int32 length with the NUL (0: no
// note), then the text and its NUL. Every note is rewritten whole through the
// crash-safe layer; reading, scanning and exporting make no file.
//
// Key-notes exchange files (packages of kind 7): the package header with the
// number of notes as its second count, then per note a KeyNoteRecord and
// length + 1 bytes (the text, its NUL and one byte more), then a record of
// kind 0. An import checks the whole file before it appends anything.
#pragma once
#include <cstdint>
#include <string>

#include "core/package.h"
#include "logstore/logexchange.h"

// Kind bits, in the order an export writes them.
const int kKeyNoteClass = 1;
const int kKeyNoteNight = 2;
const int kKeyNoteObserver = 4;
const int kKeyNoteLocation = 8;
const int kKeyNoteInstrument = 16;
const int kKeyNoteConstellation = 32;
const int kKeyNoteKeySize = 128;

#pragma pack(push, 1)
struct KeyNoteRecord {
    int16_t kind;                 // a kind bit; 0 ends the list
    int32_t length;               // text length with its NUL
    char key[kKeyNoteKeySize];    // "%d" class folder, "%04d %02d %02d" night, a name, "%d" constellation
};
#pragma pack(pop)
static_assert(sizeof(KeyNoteRecord) == 134, "KeyNoteRecord is 134 bytes");

// Paths of the note files (their index folders made); empty for a key that
// names no file (a negative folder, a constellation outside 0-88, an empty name).
std::string ClassNotePath(int folder);
std::string NightNotePath(int year, int month, int day);
std::string ObserverNotePath(const char *name);
std::string LocationNotePath(const char *name);
std::string InstrumentNotePath(const char *name);
std::string ConstellationNotePath(int constellation);
// The note file of a kind bit and a key text as exchange records write it;
// empty for an unknown kind or a key that does not read.
std::string KeyNotePath(int kind, const char *key);

// The note (empty when there is none). 1, or 0 when the file cannot be read
// or its length does not fit it.
int ReadKeyNote(const std::string &path, std::string *text);
// The note becomes the text (none for an empty text). 1, or 0 with the old note.
int WriteKeyNote(const std::string &path, const char *text);
// Adds the text to the note: 1 appended (after a blank when the note is not
// empty), 2 already there, 0 failure. The text counts as there when it is
// blank or when, without its leading blanks, it stands in the note as whole
// words: at the note's start or after a blank or line break, and at its end
// or before one (so "clear" is there in "cloudy clear sky" but not in
// "unclear"; in "not clear" it is, as it would be after being appended).
int AppendKeyNote(const std::string &path, const char *text);

// The notes of the kinds selected by kindBits into a new file (written beside
// the path and moved into place), recorded in the log's registry. The number
// of notes written, or -1 (no file then).
int ExportKeyNotes(int kindBits, const char *path, const char *name, const char *description);
// Appends the text to the note of the record's kind and key: AppendKeyNote's
// answer; 0 for an empty text, an unknown kind or a key that does not read.
int ImportKeyNote(const KeyNoteRecord *record, const char *text);
// A key-notes file: the number of notes appended (those already there not
// counted), -1 for another kind, a damaged file or a failure. The
// description (new[] for the caller) is set only on success.
int ImportKeyNotesFile(const char *path, PackageHeader *header, char **description, LogProgressFn progress);
