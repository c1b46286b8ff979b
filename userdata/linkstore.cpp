// The web links store (see linkstore.h).
#include "userdata/linkstore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/linkfiles.h"
#include "userdata/minorbodytwin.h"
#include "userdata/notestore.h"

namespace {

const LinkStoreShape &kShape = kWebLinkShape;

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
    return LinkStoreReadObject(kShape, group, record, out);
}

int AddObjectLink(int group, ObjectRecord *record, const char *url, const char *description) {
    return LinkStoreAddLine(kShape, group, record, url, description, kLinkKeyLookUp);
}

int AppendLink(int group, ObjectRecord *record, const char *url, const char *description) {
    return LinkStoreAddLine(kShape, group, record, url, description, kLinkKeyIndexed);
}

int AddLinkedObject(int group, ObjectRecord *record, const char *url, const char *description) {
    return LinkStoreAddLine(kShape, group, record, url, description, kLinkKeyNew);
}

int DeleteLink(int group, ObjectRecord *record, const char *url) {
    std::string folder;
    if (!record || !LinkGroupFolder(group, &folder)) return -1;
    StoreLock lock;
    if (!LockGroupStore(kWebLinksKind, &lock)) return 0;
    int row = LinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    std::string path = LinkFilePathOf(folder.c_str(), row, record->objectClass, record->index);
    LinkFile file;
    if (!ReadLinkFileAt(path, record, &file)) return 0;
    std::string u = url ? url : "";
    file.links.erase(std::remove_if(file.links.begin(), file.links.end(),
                                    [&](const WebLink &l) { return CompareNamesNoCase(l.url.c_str(), u.c_str()) == 0; }),
                     file.links.end());
    if (!file.links.empty()) return WriteLinkFileAt(path, file);
    return DeleteObjectLinks(group, record, 0) == 1 ? 1 : 0;
}

int DeleteObjectLinks(int group, ObjectRecord *record, int sameClass) {
    return LinkStoreDeleteObject(kShape, group, record, sameClass);
}

int MoveLinksToGroup(int sourceGroup, int targetGroup, ObjectRecord *record) {
    return LinkStoreMoveObject(kShape, sourceGroup, targetGroup, record);
}

int GetLinkFileTime(int group, int objectClass, uint32_t category, int32_t index,
                    FileTimeValue *out) {
    return LinkStoreFileTime(kShape, group, objectClass, category, index, out);
}

int ReadGroupLinkKeys(int group, std::vector<LinkKeyEntry> *keys) {
    return LinkStoreGroupKeys(kShape, group, keys);
}

int MarkUserObjectsWithLinks(int objectClass, uint8_t *marks, int length) {
    return LinkStoreMarkUserObjects(kShape, objectClass, marks, length);
}
