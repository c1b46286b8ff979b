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

struct LinkStoreShape {
    int groupKind;
    const char *folder;          // under the user data folder
    bool anyStarCategory;        // header categories: star bits match each other
    bool makeImagesFolder;       // an index is made only after "images"
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
