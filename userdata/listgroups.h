// Observing-list groups: the small sorted file "lists/groups.bin" of the user
// data folder that names the groups in which observing lists are filed.
// Layout: VersionStamp (5), int32 count n (5), then n ListGroupEntry records
// of 67 bytes from offset 9, sorted by name in byte order. Ids are >= 1 and
// unique; names are unique without regard to case. Only the first n records
// count (an older writer left stale records behind after a deletion).
// Every change rewrites the whole file in one crash-safe step.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct ListGroupEntry {
    char name[65];  // NUL-terminated, at most 64 characters
    int16_t id;     // >= 1
};
#pragma pack(pop)
static_assert(sizeof(ListGroupEntry) == 67, "ListGroupEntry is 67 bytes");

const int kListGroupNameMax = 64;
const int kListGroupsHeaderBytes = 9;
const int kDefaultListGroupId = 1;
extern const char kDefaultListGroupName[];  // "Default"

// "<user folder>/lists"; "" when the user folder is not set.
std::string GetListsFolder();
// "<user folder>/lists/groups.bin"; "" when the user folder is not set.
std::string FormatListGroupsPath();

// The group file opened "r+b" after its count, with the count; made (with
// the lists folder) holding "Default" when missing; an older stamp of the
// current generation is brought up to date. None when the stamp is refused
// or the count does not fit the file.
FILE *OpenListGroupFile(int *count);
// 1 with the groups (empty array for none), 0 on failure.
int ReadListGroups(std::vector<ListGroupEntry> *groups);
// The same for "<folder>/groups.bin" of another computer, read only: the
// stamp is checked but never rewritten, and a missing file fails.
int ReadOtherListGroups(std::vector<ListGroupEntry> *groups, const char *folder);

// The id of the group of that name (without regard to case), 0 when absent,
// -1 when the file cannot be read.
int FindListGroupByName(const char *name, ListGroupEntry *out);
// 1 with the entry, else 0.
int FindListGroupById(ListGroupEntry *out, int id);
// The new id; -1 when a group of that name (cut to 64 characters) exists
// without regard to case; 0 for an empty name or a file error.
int AddListGroup(const char *name, ListGroupEntry *out);
// 1 renamed; 0 for an empty name, an id <= 0, an absent group or a file
// error; -1 when another group already has that name without regard to case.
int RenameListGroup(const char *name, int id);
// 1 deleted; 0 when a list still names the group; -1 when the group is
// absent, or the group file or the list index cannot be read.
int DeleteListGroup(int id);
// The file order: a byte comparison of the names.
int CompareListGroupNames(const ListGroupEntry *a, const ListGroupEntry *b);
