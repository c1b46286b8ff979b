// The files shared by the web links and image links stores (see linkfiles.h).
#include "userdata/linkfiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"

const LinkStoreShape kWebLinkShape = {kGroupLinks, "links", false, false, false, &kWebLinksKind};
const LinkStoreShape kImageLinkShape = {kGroupImageLinks, "image links", true, true, true, &kImageLinksKind};

namespace {

const uint32_t kStarBits = 0xF0;

bool SameTarget(const std::string &a, const std::string &b) {
    return CompareNamesNoCase(a.c_str(), b.c_str()) == 0;
}

std::string Clean(const char *text) {
    std::string s = text ? text : "";
    for (char &c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string RowFolder(const LinkStoreShape &shape, const char *groupFolder, int row) {
    std::string store = LinkStoreFolder(shape);
    if (store.empty() || row < 0 || row >= kCategoryFolderCount) return std::string();
    return store + "/" + groupFolder + "/" + CategoryFolderTable[row].name;
}

}  // namespace

bool LinkCategoriesMatch(const LinkStoreShape &shape, uint32_t stored, uint32_t wanted) {
    if (stored == wanted) return true;
    return shape.anyStarCategory && (stored & kStarBits) && (wanted & kStarBits);
}

std::string LinkStoreFolder(const LinkStoreShape &shape) {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return std::string();
    return std::string(root) + "/" + shape.folder;
}

std::string LinkStoreIndexPath(const LinkStoreShape &shape, const char *groupFolder, int row) {
    std::string f = RowFolder(shape, groupFolder, row);
    return f.empty() ? f : f + "/index.bin";
}

std::string LinkStoreFilePath(const LinkStoreShape &shape, const char *groupFolder, int row,
                              int objectClass, int32_t index) {
    std::string f = RowFolder(shape, groupFolder, row);
    if (f.empty()) return f;
    char name[32];
    std::snprintf(name, sizeof name, IsUserObjectClass(objectClass) ? "/%ds.dat" : "/%d.dat",
                  static_cast<int>(index));
    return f + name;
}

bool LinkStoreGroupFolder(const LinkStoreShape &shape, int group, std::string *folder) {
    GroupRecord record;
    if (!GetGroupFolderName(shape.groupKind, &record, group)) return false;
    record.folder[sizeof record.folder - 1] = '\0';
    if (!IsSafeGroupFolder(record.folder)) return false;
    *folder = record.folder;
    return true;
}

int LinkStoreReadIndex(const std::string &path, std::vector<int32_t> *keys, std::string *old) {
    std::string bytes;
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes)) return 0;
    if (bytes.size() < static_cast<size_t>(kLinkIndexHeaderBytes)) return 0;
    VersionStamp stamp;
    std::memcpy(&stamp, bytes.data(), sizeof stamp);
    if (stamp.magic != kStampMagic || stamp.major < 2) return 0;
    int32_t count = 0;
    std::memcpy(&count, bytes.data() + 5, 4);
    if (count < 0 || static_cast<size_t>(count) > (bytes.size() - kLinkIndexHeaderBytes) / 4) return 0;
    keys->resize(static_cast<size_t>(count));
    if (count) std::memcpy(keys->data(), bytes.data() + kLinkIndexHeaderBytes, 4u * count);
    std::sort(keys->begin(), keys->end());
    if (old) *old = std::move(bytes);
    return 1;
}

int LinkStoreWriteIndex(const std::string &path, const std::vector<int32_t> &keys,
                        const std::string &old) {
    std::string bytes;
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    bytes.append(reinterpret_cast<const char *>(&stamp), sizeof stamp);
    int32_t count = static_cast<int32_t>(keys.size());
    bytes.append(reinterpret_cast<const char *>(&count), 4);
    bytes.append(reinterpret_cast<const char *>(keys.data()), 4u * keys.size());
    if (old.size() > bytes.size()) bytes.append(old, bytes.size(), std::string::npos);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

int LinkStoreEnsureIndexFiles(const LinkStoreShape &shape, const char *groupFolder) {
    if (!IsSafeGroupFolder(groupFolder)) return 0;
    int ok = 1;
    for (int row = 0; row < kCategoryFolderCount; ++row)
        if (FsKind(LinkStoreIndexPath(shape, groupFolder, row)) < 0 &&
            !LinkStoreCreateIndexFile(shape, groupFolder, row, 0))
            ok = 0;
    return ok;
}

int LinkStoreCreateIndexFile(const LinkStoreShape &shape, const char *groupFolder, int row, int reset) {
    if (!IsSafeGroupFolder(groupFolder) || row < 0 || row >= kCategoryFolderCount) return 0;
    const char *root = GetUserDataFolder();
    std::string store = LinkStoreFolder(shape);
    if (store.empty()) return 0;
    if (shape.makeImagesFolder && !EnsureDirectory((std::string(root) + "/images").c_str())) return 0;
    std::string group = store + "/" + groupFolder;
    if (!EnsureDirectory(store.c_str()) || !EnsureDirectory(group.c_str()) ||
        !EnsureDirectory(RowFolder(shape, groupFolder, row).c_str()))
        return 0;
    std::string path = LinkStoreIndexPath(shape, groupFolder, row);
    if (!reset && FsKind(path) >= 0) return 1;
    return LinkStoreWriteIndex(path, std::vector<int32_t>(), std::string());
}

int LinkStoreLoadLists(const LinkStoreShape &shape, int group, LinkIndexLists *lists) {
    if (!lists) return 0;
    FreeLinkIndexLists(lists);
    std::string folder;
    if (!LinkStoreGroupFolder(shape, group, &folder)) return 0;
    LinkStoreEnsureIndexFiles(shape, folder.c_str());
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        if (!LinkStoreReadIndex(LinkStoreIndexPath(shape, folder.c_str(), row), &lists->rows[row],
                                nullptr)) {
            FreeLinkIndexLists(lists);
            return 0;
        }
    }
    return 1;
}

int LinkStoreReadFile(const LinkStoreShape &shape, const std::string &path,
                      const ObjectRecord *expected, LinkFile *out) {
    if (!out) return 0;
    *out = LinkFile();
    std::string bytes;
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes)) return 0;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.size() < 3 || lines[0] != "55555") return 0;
    int major = 0, minor = 0;
    char letter = 0;
    if (std::sscanf(lines[1].c_str(), "VER %d.%d%c", &major, &minor, &letter) != 3 || major < 2)
        return 0;
    int index = 0, cls = 0, category = 0;
    char extra = 0;
    if (std::sscanf(lines[2].c_str(), "%d %d %d%c", &index, &cls, &category, &extra) != 3) return 0;
    out->index = index;
    out->objectClass = cls;
    out->category = static_cast<uint32_t>(category);
    if (expected && (expected->index != index || expected->objectClass != cls ||
                     !LinkCategoriesMatch(shape, static_cast<uint32_t>(category), expected->categoryBits)))
        return 0;
    for (size_t i = 3; i < lines.size(); ++i) {
        WebLink link;
        if (SplitLinkLine(lines[i], &link.url, &link.description)) out->links.push_back(link);
    }
    return 1;
}

int LinkStoreWriteFile(const std::string &path, const LinkFile &file) {
    if (path.empty()) return 0;
    char head[96];
    std::snprintf(head, sizeof head, "%d\nVER %d.%d%c\n%d %d %d\n", 55555, 3, 1, 'f',
                  static_cast<int>(file.index), file.objectClass, static_cast<int>(file.category));
    std::string text = head;
    for (const WebLink &l : file.links) text += l.url + "#" + l.description + "\n";
    SafeRewrite rewrite;
    if (!BeginSafeRewrite(path.c_str(), &rewrite, "w")) return 0;
    if (!SafeWriteAll(rewrite.file, text.data(), text.size())) rewrite.failed = true;
    return CommitSafeRewrite(&rewrite);
}

int LinkStoreSetKey(const LinkStoreShape &shape, const std::string &groupFolder, int row,
                    int32_t key, bool indexed) {
    std::string path = LinkStoreIndexPath(shape, groupFolder.c_str(), row);
    std::vector<int32_t> keys;
    std::string old;
    if (!LinkStoreReadIndex(path, &keys, &old)) return 0;
    auto it = std::lower_bound(keys.begin(), keys.end(), key);
    bool present = it != keys.end() && *it == key;
    if (indexed) {
        if (present) return 1;
        keys.insert(it, key);
    } else {
        if (!present) return 1;
        keys.erase(std::remove(keys.begin(), keys.end(), key), keys.end());
    }
    return LinkStoreWriteIndex(path, keys, old);
}

int LinkStoreDeleteObject(const LinkStoreShape &shape, int group, ObjectRecord *record, int sameClass) {
    if (!record) return 0;
    StoreLock lock;
    if (!LockGroupStore(*shape.kind, &lock)) return 0;
    int originalClass = record->objectClass;
    LinkIndexLists lists;
    if (!LinkStoreLoadLists(shape, group, &lists)) return -1;
    int has = FindLinksOfObject(&lists, record);
    FreeLinkIndexLists(&lists);
    if (!has) return 0;
    if (sameClass && record->objectClass != originalClass) return 0;
    std::string folder;
    if (!LinkStoreGroupFolder(shape, group, &folder)) return -1;
    int row = LinkCategoryIndex(record->categoryBits);
    std::string path = LinkStoreFilePath(shape, folder.c_str(), row, record->objectClass, record->index);
    // A link file already gone counts as deleted: its key must still go.
    if (FsKind(path) >= 0 && !SafeRemove(path.c_str())) return 0;
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    return LinkStoreSetKey(shape, folder, row, key, false);
}

int LinkStoreGroupKeys(const LinkStoreShape &shape, int group, std::vector<LinkKeyEntry> *keys) {
    if (!keys) return 0;
    keys->clear();
    LinkIndexLists lists;
    if (!LinkStoreLoadLists(shape, group, &lists)) return 0;
    for (int row = 0; row < kCategoryFolderCount; ++row)
        for (int32_t key : lists.rows[row])
            keys->push_back(LinkKeyEntry{LinkCategoryBits(row), key & ~kLinkKeyMarkBit});
    return 1;
}

int LinkStoreMarkUserObjects(const LinkStoreShape &shape, int objectClass, uint8_t *marks, int length) {
    if (!IsUserObjectClass(objectClass) || !marks || length < 0) return 0;
    int row = LinkCategoryIndex(ClassCategoryBits(objectClass));
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupList(shape.groupKind, &groups, &count)) return 0;
    int ok = 1;
    for (int g = 0; g < count && ok; ++g) {
        groups[g].folder[sizeof groups[g].folder - 1] = '\0';
        if (!IsSafeGroupFolder(groups[g].folder)) continue;
        std::string path = LinkStoreIndexPath(shape, groups[g].folder, row);
        if (FsKind(path) < 0) continue;
        std::vector<int32_t> keys;
        if (!LinkStoreReadIndex(path, &keys, nullptr)) {
            ok = 0;
            break;
        }
        for (int32_t key : keys) {
            if (key < 0 || !(static_cast<uint32_t>(key) & kUserObjectKeyFlag)) continue;
            int32_t id = key & ~static_cast<int32_t>(kUserObjectKeyFlag) & ~kLinkKeyMarkBit;
            if (id >= 0 && id < length) marks[id] = 2;
        }
    }
    FreeGroupList(groups);
    return ok;
}

void LinkFileRecord(const LinkFile &file, ObjectRecord *record) {
    ClearObjectRecord(record);
    record->objectClass = static_cast<uint8_t>(file.objectClass);
    record->index = file.index;
    record->categoryBits = file.category;
}

int LinkStoreAddLine(const LinkStoreShape &shape, int group, ObjectRecord *record, const char *target,
                     const char *description, LinkKeyState state) {
    std::string t = Clean(target), d = Clean(description);
    if (!shape.imageLines)
        while (!t.empty() && t.back() == ' ') t.pop_back();
    if (t.empty() || t.find('#') != std::string::npos || t.size() + 1 + d.size() > kLinkLineMax) return -1;
    if (!record) return 0;
    StoreLock lock;
    if (!LockGroupStore(*shape.kind, &lock)) return 0;
    bool indexed = state == kLinkKeyIndexed;
    if (state == kLinkKeyLookUp) {
        LinkIndexLists lists;
        if (!LinkStoreLoadLists(shape, group, &lists)) return 0;
        indexed = FindLinksOfObject(&lists, record) == 1;
        FreeLinkIndexLists(&lists);
    }
    std::string folder;
    if (!LinkStoreGroupFolder(shape, group, &folder)) return 0;
    int row = LinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    LinkStoreEnsureIndexFiles(shape, folder.c_str());
    std::string path = LinkStoreFilePath(shape, folder.c_str(), row, record->objectClass, record->index);
    LinkFile file;
    if (FsKind(path) >= 0) {
        if (!LinkStoreReadFile(shape, path, record, &file)) return 0;
    } else {
        file.index = record->index;
        file.objectClass = record->objectClass;
        file.category = record->categoryBits;
    }
    auto same = [&](const WebLink &l) { return SameTarget(l.url, t); };
    if (!shape.imageLines) {
        if (std::any_of(file.links.begin(), file.links.end(), same)) return -1;
    } else if (!d.empty()) {
        file.links.erase(std::remove_if(file.links.begin(), file.links.end(), same), file.links.end());
    }
    file.links.push_back(WebLink{t, d});
    // The links first, then the key that makes them found.
    if (!LinkStoreWriteFile(path, file)) return 0;
    if (indexed) return 1;
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    return LinkStoreSetKey(shape, folder, row, key, true) ? 1 : 0;
}

int LinkStoreReadObject(const LinkStoreShape &shape, int group, const ObjectRecord *record, LinkFile *out) {
    std::string folder;
    if (!record || !LinkStoreGroupFolder(shape, group, &folder)) return 0;
    int row = LinkCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    return LinkStoreReadFile(shape, LinkStoreFilePath(shape, folder.c_str(), row, record->objectClass, record->index),
                             record, out);
}

int LinkStoreMoveObject(const LinkStoreShape &shape, int sourceGroup, int targetGroup, ObjectRecord *record) {
    if (!record || sourceGroup == targetGroup) return 0;
    StoreLock lock;
    if (!LockGroupStore(*shape.kind, &lock)) return 0;
    LinkIndexLists lists;
    if (!LinkStoreLoadLists(shape, sourceGroup, &lists)) return 0;
    int has = FindLinksOfObject(&lists, record);
    FreeLinkIndexLists(&lists);
    if (!has) return 0;
    LinkFile file;
    if (!LinkStoreReadObject(shape, sourceGroup, record, &file)) return 0;
    for (const WebLink &l : file.links) {
        ObjectRecord target = *record;
        if (LinkStoreAddLine(shape, targetGroup, &target, l.url.c_str(), l.description.c_str(), kLinkKeyLookUp) == 0)
            return 0;
    }
    int r = LinkStoreDeleteObject(shape, sourceGroup, record, 0);
    return r < 0 ? r : 1;
}

int LinkStoreFileTime(const LinkStoreShape &shape, int group, int objectClass, uint32_t category, int32_t index,
                      FileTimeValue *out) {
    std::string folder;
    if (!out || !LinkStoreGroupFolder(shape, group, &folder)) return 0;
    int row = LinkCategoryIndex(category);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    return GetFileWriteTime(LinkStoreFilePath(shape, folder.c_str(), row, objectClass, index).c_str(), out);
}
