// The files shared by the web links and image links stores, which are built
// alike: per group and category a key index ("index.bin": stamp, int32
// count, int32 keys ascending) and per object a text link file (three header
// lines, then "<target>#<description>" lines). The shape says which store:
// its group kind and folder, and whether a stored star category matches any
// star category (the image links do).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "userdata/linkstore.h"

struct GroupStoreKind;

struct LinkStoreShape {
    int groupKind;
    const char *folder;          // under the user data folder
    bool anyStarCategory;        // header categories: star bits match each other
    bool makeImagesFolder;       // an index is made only after "images"
    // A target already linked: web links refuse a second line of the URL
    // (trailing blanks cut first); image links keep one line of the path
    // with a new non-empty description, and add a line for an empty one.
    bool imageLines;
    const GroupStoreKind *kind;  // the store's writer's lock and marks
};
extern const LinkStoreShape kWebLinkShape;
extern const LinkStoreShape kImageLinkShape;

std::string LinkStoreFolder(const LinkStoreShape &shape);
std::string LinkStoreIndexPath(const LinkStoreShape &shape, const char *groupFolder, int row);
std::string LinkStoreFilePath(const LinkStoreShape &shape, const char *groupFolder, int row,
                              int objectClass, int32_t index);
bool LinkStoreGroupFolder(const LinkStoreShape &shape, int group, std::string *folder);
int LinkStoreEnsureIndexFiles(const LinkStoreShape &shape, const char *groupFolder);
int LinkStoreCreateIndexFile(const LinkStoreShape &shape, const char *groupFolder, int row, int reset);
int LinkStoreLoadLists(const LinkStoreShape &shape, int group, LinkIndexLists *lists);
// The header must name the expected object (when given); lines without "#"
// are passed over.
int LinkStoreReadFile(const LinkStoreShape &shape, const std::string &path,
                      const ObjectRecord *expected, LinkFile *out);
int LinkStoreWriteFile(const std::string &path, const LinkFile &file);
// Keys of an index as stored (sorted), with the file's bytes for a rewrite
// that keeps its length.
int LinkStoreReadIndex(const std::string &path, std::vector<int32_t> *keys, std::string *old);
int LinkStoreWriteIndex(const std::string &path, const std::vector<int32_t> &keys,
                        const std::string &old);
// The key in or out of the row's index; 1 when it is so afterwards.
int LinkStoreSetKey(const LinkStoreShape &shape, const std::string &groupFolder, int row,
                    int32_t key, bool indexed);
int LinkStoreDeleteObject(const LinkStoreShape &shape, int group, ObjectRecord *record, int sameClass);
int LinkStoreGroupKeys(const LinkStoreShape &shape, int group, std::vector<LinkKeyEntry> *keys);
int LinkStoreMarkUserObjects(const LinkStoreShape &shape, int objectClass, uint8_t *marks, int length);
// 1 when the stored category and the record's are equal, or (for a shape
// with anyStarCategory) both hold a star bit.
bool LinkCategoriesMatch(const LinkStoreShape &shape, uint32_t stored, uint32_t wanted);
// The object a link file's header names.
void LinkFileRecord(const LinkFile &file, ObjectRecord *record);

// How the caller knows whether the object's key is indexed already.
enum LinkKeyState { kLinkKeyLookUp, kLinkKeyIndexed, kLinkKeyNew };
// One line into the object's link file, written before its key is indexed,
// under the store's writer's lock. 1 added; -1 for an empty target, one
// holding "#", a line too long, or (web links) a URL already there; 0 on
// failure.
int LinkStoreAddLine(const LinkStoreShape &shape, int group, ObjectRecord *record, const char *target,
                     const char *description, LinkKeyState state);
// The object's links (or its user-file twin's), as FindLinksOfObject.
int LinkStoreReadObject(const LinkStoreShape &shape, int group, const ObjectRecord *record, LinkFile *out);
int LinkStoreMoveObject(const LinkStoreShape &shape, int sourceGroup, int targetGroup, ObjectRecord *record);
int LinkStoreFileTime(const LinkStoreShape &shape, int group, int objectClass, uint32_t category, int32_t index,
                      FileTimeValue *out);
