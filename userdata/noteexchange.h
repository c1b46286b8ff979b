// Notes on their way between computers: the notes register, the note
// records of the exchange files (a notes package of kind 2 and the notes
// section of a list transfer file), and the notes package itself.
//
// Note record (version 3000 and later): the 14-byte NoteRecordHead, the
// title with its NUL, the text with its NUL (none when the text length is 0)
// and the user-object block of a user-defined class. The end record is a
// head whose text length is -1. Files older than 3000 hold a 9-byte head
// {int32 text length, uint8 class, int32 index}, a 60-byte title field and
// the text; their status is 0.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/fsys.h"
#include "core/package.h"

struct ObjectRecord;

#pragma pack(push, 1)
struct NoteRecordHead {
    int32_t textLength;   // with its NUL; 0 no text; -1 the end
    uint8_t titleLength;  // without the NUL, at most 64
    int32_t status;
    uint8_t objectClass;
    int32_t index;        // local id for the user-defined classes
};
struct OldNoteRecordHead {
    int32_t textLength;
    uint8_t objectClass;
    int32_t index;
};
#pragma pack(pop)
static_assert(sizeof(NoteRecordHead) == 14, "NoteRecordHead is 14 bytes");
static_assert(sizeof(OldNoteRecordHead) == 9, "OldNoteRecordHead is 9 bytes");

const int kOldNoteTitleField = 60;
const int kNotesPackageKind = 2;

// Receives 10 each time a tenth of the expected records has been read.
typedef void (*NoteProgressCallback)(int step);

// "notes/registry.bin" of the user data folder.
std::string NotesRegistryPath();
int FindRegisteredNotesPackage(const char *name, FileTimeValue *created);
int RegisterNotesPackage(const char *name, const FileTimeValue *created);

// 1 written; 0 the object has no note in the group; -1 for a missing file or
// record, unreadable indexes or note, or a write error.
int WriteObjectNoteRecord(FILE *file, int group, const ObjectRecord *record);
int WriteNoteRecordsEnd(FILE *file);
// Sets each incoming note into the group (an existing note of the object is
// replaced; an incoming empty note is passed over, so it never deletes one
// here); user objects are found or added here. The number of notes set, or
// -1 on a read error, a malformed record (a title longer than 64
// characters, a text longer than the file) or when a note cannot be made.
int ReadNoteRecords(FILE *file, int group, int sourceVersion, int expectedCount,
                    NoteProgressCallback progress);

// "w+b", header (kind 2, the name cut to 64 characters, the system clock's
// time) and description; none on failure.
FILE *CreateNotesPackage(const char *path, const char *name, const char *description);
// End record, counts (0, 0, notes, 0, 0), register entry; closes the file in
// every case. 1 when all of it was done.
int CloseNotesPackage(FILE *file, int noteCount);
// Into the group whose display name is the package name (made when absent).
// The number of notes set, or -1.
int ImportNotesPackage(const char *path, PackageHeader *header, std::string *description,
                       NoteProgressCallback progress);
