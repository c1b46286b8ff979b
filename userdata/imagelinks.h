// The image links store: per image-link group, category and object a link
// file of "<image path>#<description>" lines, with a key index per group
// and category, laid out as the web links store under "image links" of the
// user data folder (group kind 2). A stored header category of one star bit
// matches a record of any star bit. Image files received from other
// computers are kept in "images" of the user data folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/fsys.h"
#include "userdata/linkstore.h"

struct ObjectRecord;

std::string ImageLinksFolder();
int ImageLinkCategoryIndex(uint32_t category);
uint32_t ImageLinkCategoryBits(int row);
std::string ImageLinkIndexFilePath(const char *groupFolder, int row);
std::string ImageLinkFilePathOf(const char *groupFolder, int row, int objectClass, int32_t index);
bool ImageLinkGroupFolder(int group, std::string *folder);

int EnsureImageLinkIndexFiles(const char *groupFolder);
// Makes "images", the store's folders and an empty index when missing (or
// empties it with reset 1).
int CreateImageLinkIndexFile(const char *groupFolder, int row, int reset = 0);
int LoadImageLinkIndexLists(int group, LinkIndexLists *lists);
void FreeImageLinkIndexLists(LinkIndexLists *lists);
int ObjectHasImageLinks(const LinkIndexLists *lists, const ObjectRecord *record);
// With the user-file twin rule of FindLinksOfObject.
int FindImageLinksOfObject(const LinkIndexLists *lists, ObjectRecord *record);
int ReadObjectImageLinks(int group, const ObjectRecord *record, LinkFile *out);

// 1 added; -1 for an empty path or one holding "#" (it would be cut there);
// 0 on failure. A path already linked with a non-empty new description
// keeps one line with the new description; with an empty description a
// second line is added.
int AddObjectImageLink(int group, ObjectRecord *record, const char *path, const char *description);
int AppendImageLink(int group, ObjectRecord *record, const char *path, const char *description);
int AddImageLinkedObject(int group, ObjectRecord *record, const char *path, const char *description);
// The number of lines kept after removing every line of the path (the link
// file is removed with its last line); -1 when the group or the link file
// cannot be read or the rewrite fails.
int DeleteImageLinkLine(int group, ObjectRecord *record, const char *path);
// 1 removed (with the key when no line is left), 0 on failure, -1 when the
// group cannot be read.
int DeleteImageLink(int group, ObjectRecord *record, const char *path);
// Removes every copy of the key; 1 when the index was rewritten.
int RemoveImageLinkKey(const char *groupFolder, const ObjectRecord *record);
// Clears bit 0x10000000 of every key, sorts them and drops duplicates.
int RepairImageLinkIndexes(int group);
// Removes the path from every object of every group, the sky marks and
// each user class included.
int DeleteImagePathEverywhere(const char *path);
int DeleteObjectImageLinks(int group, ObjectRecord *record, int sameClass);
int MoveImageLinksToGroup(int sourceGroup, int targetGroup, ObjectRecord *record);
int GetImageLinkFileTime(int group, int objectClass, uint32_t category, int32_t index,
                         FileTimeValue *out);
int ReadGroupImageLinkKeys(int group, std::vector<LinkKeyEntry> *keys);
int MarkUserObjectsWithImageLinks(int objectClass, uint8_t *marks, int length);
// The class an image-link key of a category row stands for: the row's
// catalogue class, or with the user bit the user class of it (the sky-mark
// row is always the sky mark class).
int ImageLinkClassOfRow(int row, int userFlag);
