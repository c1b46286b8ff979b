// The files of the notes store below its operations: the paths of a group's
// category folders, index files and note files, the reading and whole-file
// writing of an index, and the checked reading of a note body. Shared by the
// store, its exchange files, backup, restore and merge.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "userdata/notestore.h"

// One index file as read: the counted entries (sorted by key) and the bytes
// after them, which a rewrite keeps so that the file keeps its length.
struct NoteIndexFile {
    int32_t next = 0;
    std::vector<NoteIndexEntry> entries;
    std::string old;  // the file's bytes as read (empty for a new index)
};

// "<user folder>/notes"; "" when the user folder is not set.
std::string NotesFolder();
// A group folder name that stays inside the store: not empty, ".", "..",
// and without separators or a drive colon.
bool IsSafeGroupFolder(const char *name);
std::string NoteRowFolder(const char *groupFolder, int row);
std::string NoteIndexFilePath(const char *groupFolder, int row);
std::string NoteFilePathOf(const char *groupFolder, int row, int32_t number);
// The folder name of the notes group at a 0-based position; false when the
// group list cannot be read, the position is outside it or the name is unsafe.
bool NoteGroupFolder(int group, std::string *folder);

// Reads an index whole: the stamp must carry 55555 and a major version of
// at least 2, the count must fit the file. Entries out of key order (a
// damaged or foreign file) are sorted, so that lookups find them.
int ReadNoteIndex(const std::string &path, NoteIndexFile *index);
// Writes the index whole in one step with the current stamp and the count of
// the entries it holds; bytes the old file held after them are kept.
int WriteNoteIndex(const std::string &path, const NoteIndexFile &index);

// ReadNoteBody without the header rewrite: idChanged tells whether the
// carried user object's local id here differs from the stored one.
int ReadNoteBodyChecked(FILE *file, NoteHeader *header, std::string *text, int addObject,
                        bool *idChanged);
