// Group lists: the sorted index "groups.bin" of the named groups of the notes,
// links, image links and images stores. Each group is a folder of its own in
// the store's folder; the index gives its display name, folder name and a
// permanent id. Layout: VersionStamp (5), int32 count (5), int32 next id (9),
// then count GroupRecords of 134 bytes from offset 13, sorted by display name
// in byte order; display names are unique without regard to case.
#pragma once
#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct GroupRecord {
    char name[65];    // display name, at most 64 characters
    char folder[65];  // the group's folder inside the store's folder
    int32_t id;       // unique within the store, never reused
};
#pragma pack(pop)
static_assert(sizeof(GroupRecord) == 134, "GroupRecord is 134 bytes");

// Store kinds.
enum GroupKind { kGroupNotes = 0, kGroupLinks = 1, kGroupImageLinks = 2, kGroupImages = 3 };

const int kGroupListHeaderBytes = 13;
const int kGroupPathBytes = 1024;

// The index path of each kind ("<user folder>/notes/groups.bin", ...), into a
// buffer of kGroupPathBytes; "" when the user folder is not set.
char *MakeNotesGroupsPath(char *buffer);
char *MakeLinksGroupsPath(char *buffer);
char *MakeImageLinksGroupsPath(char *buffer);
char *MakeImagesGroupsPath(char *buffer);

// The index opened "r+b" and positioned at the first entry (offset 13), with
// its count; made (with the store folder) when missing; an older stamp is
// brought up to date. None when the store cannot be opened, its stamp is
// refused, or its count is negative or larger than the file holds.
FILE *OpenGroupList(int kind, int *count);
// 1 with a new array of count entries (none when the count is 0), freed with
// FreeGroupList; 0 on failure (count 0, no array).
int ReadGroupList(int kind, GroupRecord **entries, int *count);
// The same for "<folder>/groups.bin" of any folder, read only: the stamp must
// carry 55555 and a major version above 2 and is never rewritten; a count of 0
// or less gives 1 with no array.
int ReadGroupListIn(const char *folder, GroupRecord **entries, int *count);
void FreeGroupList(GroupRecord *entries);

// 1-based position of the entry whose display name equals the name without
// regard to case, copied to out; 0 when none (out then holds the last entry
// read); -1 when the list cannot be opened.
int FindGroupByName(int kind, const char *name, GroupRecord *out);
int FindGroupById(int kind, int id, GroupRecord *out);
// 1 when 0 <= index < count and the entry was read.
int ReadGroup(int kind, GroupRecord *out, int index);
// The id of entry index; 0 when it cannot be read.
int ReadGroupIdAt(int kind, int index);
// ReadGroup into the buffer, and its folder name; none on failure.
char *GetGroupFolderName(int kind, GroupRecord *buffer, int index);
// The id of entry index; -1 for an index outside the list or an unreadable list.
int GetGroupId(int kind, int index);
// Byte-order comparison of the display names (the order of the file).
int CompareGroupNames(const GroupRecord *a, const GroupRecord *b);

// Adds a group: 0 for an empty name or a failure; -(i + 1) when entry i (0-based)
// already has the name without regard to case (out gets that entry, the file is
// unchanged); else the 1-based position of the new entry (out gets it). The new
// folder name is the display name cut to 64 characters, without trailing
// blanks, encoded for a file name, and made unique among the store's folders
// (and never a device name such as CON) by appending "_<id>".
int AddGroup(int kind, const char *name, GroupRecord *out);
// Removes entry index from the index and then deletes its folder; a folder
// name that is empty, ".", "..", holds a path separator or belongs to another
// entry too is left on disk. 1 when the entry was removed.
int DeleteGroup(int kind, int index);
// Gives entry index a new display name (cut to 64 characters); 0 for an empty
// name, an index outside the list, or a name another entry has without regard
// to case.
int RenameGroup(int kind, const char *name, int index);
// Rebuilds the index from the store's subfolders (names up to 64 characters):
// a folder named by an entry of the old index keeps its display name and id;
// others get the decoded folder name and new ids above every id used before.
int RebuildGroupList(int kind);
