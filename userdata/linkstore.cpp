// The web links store (see linkstore.h).
#include "userdata/linkstore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "objects/objectrecord.h"
#include "userdata/linkfiles.h"
#include "userdata/minorbodytwin.h"
#include "userdata/notestore.h"

namespace {

const LinkStoreShape &kShape = kWebLinkShape;

bool SameUrl(const std::string &a, const std::string &b) {
    return CompareNamesNoCase(a.c_str(), b.c_str()) == 0;
}

std::string Clean(const char *text) {
    std::string s = text ? text : "";
    for (char &c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

// How the caller knows whether the object's key is indexed already.
enum KeyState { kKeyLookUp, kKeyIndexed, kKeyNew };

int AddLink(int group, ObjectRecord *record, const char *url, const char *description, KeyState state) {
    std::string u = Clean(url), d = Clean(description);
    while (!u.empty() && u.back() == ' ') u.pop_back();
    if (u.empty() || u.find('#') != std::string::npos || u.size() + 1 + d.size() > kLinkLineMax)
        return -1;
    if (!record) return 0;
    bool indexed = state == kKeyIndexed;
    if (state == kKeyLookUp) {
        LinkIndexLists lists;
        if (!LoadLinkIndexLists(group, &lists)) return 0;
        indexed = FindLinksOfObject(&lists, record) == 1;
        FreeLinkIndexLists(&lists);
    }
    std::string folder;
    if (!LinkGroupFolder(group, &folder)) return 0;
    int row = LinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    EnsureLinkIndexFiles(folder.c_str());
    std::string path = LinkFilePathOf(folder.c_str(), row, record->objectClass, record->index);
    LinkFile file;
    if (FsKind(path) >= 0) {
        if (!ReadLinkFileAt(path, record, &file)) return 0;
    } else {
        file.index = record->index;
        file.objectClass = record->objectClass;
        file.category = record->categoryBits;
    }
    for (const WebLink &l : file.links)
        if (SameUrl(l.url, u)) return -1;
    file.links.push_back(WebLink{u, d});
    // The links first, then the key that makes them found.
    if (!WriteLinkFileAt(path, file)) return 0;
    if (indexed) return 1;
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    return LinkStoreSetKey(kShape, folder, row, key, true) ? 1 : 0;
}

}  // namespace

int LinkCategoryIndex(uint32_t category) { return NoteCategoryIndex(category); }
uint32_t LinkCategoryBits(int row) { return NoteCategoryBits(row); }

std::string LinksFolder() { return LinkStoreFolder(kShape); }

std::string LinkIndexFilePath(const char *groupFolder, int row) {
    return LinkStoreIndexPath(kShape, groupFolder, row);
}

std::string LinkFilePathOf(const char *groupFolder, int row, int objectClass, int32_t index) {
    return LinkStoreFilePath(kShape, groupFolder, row, objectClass, index);
}

bool LinkGroupFolder(int group, std::string *folder) { return LinkStoreGroupFolder(kShape, group, folder); }

int EnsureLinkIndexFiles(const char *groupFolder) { return LinkStoreEnsureIndexFiles(kShape, groupFolder); }

int CreateLinkIndexFile(const char *groupFolder, int row, int reset) {
    return LinkStoreCreateIndexFile(kShape, groupFolder, row, reset);
}

int LoadLinkIndexLists(int group, LinkIndexLists *lists) { return LinkStoreLoadLists(kShape, group, lists); }

void FreeLinkIndexLists(LinkIndexLists *lists) {
    if (!lists) return;
    for (auto &row : lists->rows) std::vector<int32_t>().swap(row);
}

int ObjectHasLinks(const LinkIndexLists *lists, const ObjectRecord *record) {
    if (!lists || !record) return 0;
    int row = LinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    return std::binary_search(lists->rows[row].begin(), lists->rows[row].end(), key) ? 1 : 0;
}

int FindLinksOfObject(const LinkIndexLists *lists, ObjectRecord *record) {
    if (ObjectHasLinks(lists, record)) return 1;
    std::unique_ptr<ObjectRecord> twin(new (std::nothrow) ObjectRecord);
    if (!record || !twin || !BuildMinorBodyTwin(record, twin.get())) return 0;
    if (!ObjectHasLinks(lists, twin.get())) return 0;
    *record = *twin;
    return 1;
}

int SplitLinkLine(const std::string &line, std::string *url, std::string *description) {
    std::string s = line;
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
    size_t hash = s.find('#');
    if (hash == std::string::npos) return 0;
    if (url) *url = s.substr(0, hash);
    if (description) *description = s.substr(hash + 1);
    return 1;
}

int ReadLinkFileAt(const std::string &path, const ObjectRecord *expected, LinkFile *out) {
    return LinkStoreReadFile(kShape, path, expected, out);
}

int WriteLinkFileAt(const std::string &path, const LinkFile &file) { return LinkStoreWriteFile(path, file); }

int ReadObjectLinks(int group, const ObjectRecord *record, LinkFile *out) {
    std::string folder;
    if (!record || !LinkGroupFolder(group, &folder)) return 0;
    int row = LinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    return ReadLinkFileAt(LinkFilePathOf(folder.c_str(), row, record->objectClass, record->index),
                          record, out);
}

int AddObjectLink(int group, ObjectRecord *record, const char *url, const char *description) {
    return AddLink(group, record, url, description, kKeyLookUp);
}

int AppendLink(int group, ObjectRecord *record, const char *url, const char *description) {
    return AddLink(group, record, url, description, kKeyIndexed);
}

int AddLinkedObject(int group, ObjectRecord *record, const char *url, const char *description) {
    return AddLink(group, record, url, description, kKeyNew);
}

int DeleteLink(int group, ObjectRecord *record, const char *url) {
    std::string folder;
    if (!record || !LinkGroupFolder(group, &folder)) return -1;
    int row = LinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    std::string path = LinkFilePathOf(folder.c_str(), row, record->objectClass, record->index);
    LinkFile file;
    if (!ReadLinkFileAt(path, record, &file)) return 0;
    std::string u = url ? url : "";
    file.links.erase(std::remove_if(file.links.begin(), file.links.end(),
                                    [&](const WebLink &l) { return SameUrl(l.url, u); }),
                     file.links.end());
    if (!file.links.empty()) return WriteLinkFileAt(path, file);
    return DeleteObjectLinks(group, record, 0) == 1 ? 1 : 0;
}

int DeleteObjectLinks(int group, ObjectRecord *record, int sameClass) {
    return LinkStoreDeleteObject(kShape, group, record, sameClass);
}

int MoveLinksToGroup(int sourceGroup, int targetGroup, ObjectRecord *record) {
    if (!record || sourceGroup == targetGroup) return 0;
    LinkIndexLists lists;
    if (!LoadLinkIndexLists(sourceGroup, &lists)) return 0;
    int has = FindLinksOfObject(&lists, record);
    FreeLinkIndexLists(&lists);
    if (!has) return 0;
    LinkFile file;
    if (!ReadObjectLinks(sourceGroup, record, &file)) return 0;
    for (const WebLink &l : file.links) {
        ObjectRecord target = *record;
        if (AddObjectLink(targetGroup, &target, l.url.c_str(), l.description.c_str()) == 0) return 0;
    }
    int r = DeleteObjectLinks(sourceGroup, record, 0);
    return r < 0 ? r : 1;
}

int GetLinkFileTime(int group, int objectClass, uint32_t category, int32_t index,
                    FileTimeValue *out) {
    std::string folder;
    if (!out || !LinkGroupFolder(group, &folder)) return 0;
    int row = LinkCategoryIndex(category);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    return GetFileWriteTime(LinkFilePathOf(folder.c_str(), row, objectClass, index).c_str(), out);
}

int ReadGroupLinkKeys(int group, std::vector<LinkKeyEntry> *keys) {
    return LinkStoreGroupKeys(kShape, group, keys);
}

int MarkUserObjectsWithLinks(int objectClass, uint8_t *marks, int length) {
    return LinkStoreMarkUserObjects(kShape, objectClass, marks, length);
}
