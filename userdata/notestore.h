// The observing notes store: one note (title, text, status) per sky object,
// notes group and category. Layout under the user data folder:
//   notes/groups.bin                       the notes group list (kind 0)
//   notes/<group>/<category>/index.bin     stamp (5), int32 next number (5),
//                                          int32 count (9), count entries of
//                                          {int32 number, int32 key} sorted by
//                                          key as signed integers (13)
//   notes/<group>/<category>/%08d.bin      note number n
// The key is the object's catalogue index, with bit 0x40000000 for the
// user-defined classes (whose index is the local user-object id). An index
// may carry stale bytes after its counted entries; readers use the count.
//
// Every file is written whole through the crash-safe layer: a note file is
// written before the index entry that names it, an index is rewritten beside
// itself and put in place in one step, and an index is made only where none
// exists, so that a failed open never empties a category.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/fsys.h"
#include "core/versionstamp.h"
#include "objects/categories.h"

struct ObjectRecord;

#pragma pack(push, 1)
struct NoteIndexEntry {
    int32_t number;
    int32_t key;
};

// The current note header; the user-object block (for the user-defined
// classes) and then the text with its NUL follow it.
struct NoteHeader {
    VersionStamp stamp;  // 0
    uint8_t objectClass; // 5
    int32_t index;       // 6  catalogue index (local id for user classes, no key bit)
    uint32_t category;   // 10
    char title[65];      // 14 at most 64 characters
    int32_t textLength;  // 79 including the NUL
    int32_t status;      // 83 0 = none
};

// The older generation's header (version below 3000): no status.
struct OldNoteHeader {
    VersionStamp stamp;
    uint8_t objectClass;
    int32_t index;
    uint32_t category;
    char title[65];
    int32_t textLength;
};

struct NoteKeyEntry {
    uint32_t category;
    int32_t number;
    int32_t key;
};
#pragma pack(pop)
static_assert(sizeof(NoteIndexEntry) == 8, "NoteIndexEntry is 8 bytes");
static_assert(sizeof(NoteHeader) == 87, "NoteHeader is 87 bytes");
static_assert(sizeof(OldNoteHeader) == 83, "OldNoteHeader is 83 bytes");
static_assert(sizeof(NoteKeyEntry) == 12, "NoteKeyEntry is 12 bytes");

// The current header from an older one: its 83 bytes, the current stamp and
// no status.
void ConvertOldNoteHeader(const OldNoteHeader *old, NoteHeader *header);

const int kNoteIndexHeaderBytes = 13;
const int kNoteTitleMax = 64;
const int kNotePathBytes = 1024;
// Row 14 stands for the category bit 0x8000: no folder, refused like -1.
const int kNoteRowWithoutFolder = 14;
const uint32_t kNoteCategoryWithoutFolder = 0x8000;

// Results of the note operations besides a note number.
const int kNoteFailed = -1;        // the indexes or the note could not be read or made
const int kNoteNothingToAdd = -2;  // AppendToNote: nothing new
// SetNote and SetNoteStatus: an existing note could not be read, rewritten or
// deleted. Distinct from note number 0, which is a valid note.
const int kNoteNotChanged = -3;

// One group's 14 category indexes in memory.
struct NoteIndexLists {
    std::vector<NoteIndexEntry> rows[kCategoryFolderCount];
};

// Category value -> table row (-1 when none; 0x8000 gives row 14, which has
// no folder) and back (row 4 gives 0x10; 14 gives 0x8000; others 0).
int NoteCategoryIndex(uint32_t category);
uint32_t NoteCategoryBits(int row);
// The stored key of an object: index, with 0x40000000 for user classes.
int32_t NoteObjectKey(int objectClass, int32_t index);

// Paths; both first make sure the group's 14 index files exist. 0 when the
// category has no folder or the path does not fit.
int MakeNoteIndexPath(const char *groupFolder, uint32_t category, char *path);
int MakeNoteFilePath(const char *groupFolder, uint32_t category, int32_t number, char *path);
// Makes every missing index of the group (with its folders); an existing
// index, readable or not, is never touched. 1 when all 14 exist afterwards.
int EnsureNoteIndexFiles(const char *groupFolder);
// Makes the row's folders and an empty index (stamp, 0, 0) when none exists;
// with reset 1 an existing index is replaced by an empty one (whole, in one
// step). 1 when the index exists (and, with reset, is empty) afterwards.
int CreateNoteIndexFile(const char *groupFolder, int row, int reset = 0);

int LoadNoteIndexLists(int group, NoteIndexLists *lists);
void FreeNoteIndexLists(NoteIndexLists *lists);
int FindNoteInIndexLists(const NoteIndexLists *lists, const ObjectRecord *record);
// The object's note number or -1. A packaged comet or minor planet without a
// note of its own is looked up as its user-file twin (minorbodytwin.h); when
// the twin has a note, the twin's record replaces the caller's.
int FindNoteOfObject(const NoteIndexLists *lists, ObjectRecord *record);

int CreateNote(int group, const ObjectRecord *record, int32_t key, const char *title,
               const char *text, int32_t status);
int AppendToNote(int group, ObjectRecord *record, const char *title, const char *text,
                 int32_t status);
// Note number; -1 when the indexes cannot be loaded or a new note cannot be
// made; kNoteNotChanged when an existing note cannot be read, rewritten or
// deleted. An empty title and text with status 0 deletes an existing note
// (the old number is returned) and makes an empty note where none is.
int SetNote(int group, ObjectRecord *record, const char *title, const char *text, int32_t status);
int SetNoteStatus(int group, ObjectRecord *record, int32_t status);
// 1 deleted; 0 no note, refused or a file error; -1 when the indexes or the
// group cannot be read. A note file already missing counts as deleted, so a
// dangling index entry can always be removed.
int DeleteNote(int group, ObjectRecord *record, int sameClass);
int DeleteNoteByNumber(int group, uint32_t category, int32_t number);

// Reads note n; the carried user object is found in or added to this
// computer's user files, and when its local id changed the note file is
// rewritten (whole) with it. text may be null.
int ReadNoteFile(int group, uint32_t category, int32_t number, NoteHeader *header,
                 std::string *text);
// Reads a note from the file position. addObject: resolve the carried user
// object here (its local id goes into the header). rewrite: write the header
// again at offset 0 when that id changed (the file must be open for update).
// Sizes are checked against the bytes the file holds; the title is always
// terminated. 1 or 0.
int ReadNoteBody(FILE *file, NoteHeader *header, std::string *text, int addObject, int rewrite);
// Writes note n whole (header, user-object block, text) in one step.
int WriteNoteFile(int group, uint32_t category, int32_t number, NoteHeader *header,
                  const char *text);
int WriteNoteBody(FILE *file, NoteHeader *header, const char *text);
int GetNoteFileTime(int group, uint32_t category, int32_t number, FileTimeValue *out);

int AppendNoteToGroup(int sourceGroup, int targetGroup, uint32_t category, int32_t number);
int CopyNoteToGroup(int sourceGroup, int targetGroup, uint32_t category, int32_t number);
int MoveNoteToGroup(int sourceGroup, int targetGroup, uint32_t category, int32_t number);

int ReadGroupNoteKeys(int group, std::vector<NoteKeyEntry> *keys);
int MarkUserObjectsWithNotes(int objectClass, uint8_t *marks, int length);
// Rewrites the user object's copy in its note of every group that has one
// (groups without a note are passed over). 1 when at least one note was
// rewritten and none failed.
int RewriteUserObjectNotes(int objectClass, uint32_t category, int32_t id);

int ClassForBrowseIndex(int browseIndex, int userFlag);
int CompareNamesNoCase(const char *a, const char *b);

// Internal pieces shared with the exchange, backup and merge code.
// The trimmed copy of a text (trailing blanks, CR and LF removed).
std::string TrimmedNoteText(const char *text);
// A record {class, index, category} for a note header.
void NoteRecordFromHeader(const NoteHeader *header, ObjectRecord *record);
// "<user folder>/notes" into path; 0 when the user folder is not set.
int MakeNotesFolderPath(char *path);
