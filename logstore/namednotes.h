// Named notes of the log: free texts under names chosen by the user, in
// "log/misc": one file per note "%08d.bin" (a NamedNoteHeader, then the text
// and its NUL) and "index.bin" (int32 next note number, int32 n, then n
// entries sorted by name ignoring case). Names compare with one ASCII-only
// case folding everywhere (sorting, lookup, the same-name test), so the order
// never depends on a code page; lookups read the whole small index, so an
// index sorted by another rule is still searched right. Every file is
// written whole through the crash-safe layer, and a change of several files
// puts them all back when a step fails.
//
// Named-notes exchange files (packages of kind 8): the package header with
// the number of notes as its second count, then per note its header and
// length + 1 bytes of text, then a header with an empty name and length 0
// and one NUL. An import checks the whole file before it adds anything.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/package.h"
#include "core/versionstamp.h"
#include "logstore/logexchange.h"

const int kNamedNoteNameMax = 48;

#pragma pack(push, 1)
struct NamedNoteIndexEntry {
    char name[kNamedNoteNameMax + 1];
    int32_t number;
};
struct NamedNoteHeader {
    VersionStamp stamp;  // 55555, 3, 1, 'f', set on every write
    char name[kNamedNoteNameMax + 1];
    int32_t length;      // text length without the NUL
};
#pragma pack(pop)
static_assert(sizeof(NamedNoteIndexEntry) == 53, "NamedNoteIndexEntry is 53 bytes");
static_assert(sizeof(NamedNoteHeader) == 58, "NamedNoteHeader is 58 bytes");

// <0, 0, >0: the names compared with A-Z folded to a-z, no other byte folded.
int CompareNoteNames(const char *a, const char *b);

// "<user data>/log/misc/%08d.bin"; empty when the folder cannot be made.
std::string NamedNotePath(int32_t number);
// The note of that number. 1, or 0 when it cannot be read or is damaged.
int ReadNamedNote(int32_t number, NamedNoteHeader *header, std::string *text);
// One note (header and text) from an open note file of any folder (a
// backup's, another computer's). 1, or 0 when it cannot be read or is damaged.
int ReadNamedNoteFrom(FILE *file, NamedNoteHeader *header, std::string *text);
// The note number of the name (cut to 48 characters), -1 when absent or
// when the index cannot be read.
int32_t FindNamedNote(const char *name);
// 1 added (or nothing to add: empty name and text); 2 a note of that name
// (ignoring case) exists; 0 failure, nothing changed. The name is cut to 48
// characters in both the note and the index.
int AddNamedNote(const char *name, const char *text);
// Removes the note's index entry and its file. 1, or 0 (also for a number
// not in the index), nothing changed.
int DeleteNamedNote(int32_t number);
// Rewrites the note with the header's name and the text. Under a name no
// note has, the note is written under the next number first and only then is
// the old one taken out (index and file in one change). 1 rewritten; 2 the
// name belongs to another note (nothing changed); 0 failure (nothing changed).
int UpdateNamedNote(int32_t number, const NamedNoteHeader *header, const char *text);
// All index entries (new[] for the caller). 1, or 0 with null and 0.
int ReadNamedNoteIndex(NamedNoteIndexEntry **entries, int32_t *count);

// "w+b" with the header (kind 8) and description; null on failure.
FILE *CreateNamedNotesExportFile(const char *path, const char *name, const char *description);
// Appends the note of that name; a note with an empty name or text is not
// written (written set to 0). 1, or 0 when it is not found or cannot be
// read or written.
int ExportNamedNote(FILE *file, const char *name, int *written = nullptr);
// The end note, the count and the registry record. 1, or 0.
int FinishNamedNotesExport(FILE *file, int32_t count);
// Every named note into a new file (written beside the path and moved into
// place, recorded in the registry): the number written, or -1 (no file).
int ExportAllNamedNotes(const char *path, const char *name, const char *description);
// Adds the file's notes, passing over names that exist here: the number
// added, -1 for another kind, a damaged file or a failure.
int ImportNamedNotesFile(const char *path, PackageHeader *header, char **description, LogProgressFn progress);
