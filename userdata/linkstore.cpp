// The web links store (see linkstore.h).
#include "userdata/linkstore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/objectrecord.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"

namespace {

struct LinkIndexFile {
    std::vector<int32_t> keys;
    std::string old;
};

std::string RowFolder(const char *groupFolder, int row) {
    std::string links = LinksFolder();
    if (links.empty() || row < 0 || row >= kCategoryFolderCount) return std::string();
    return links + "/" + groupFolder + "/" + CategoryFolderTable[row].name;
}

int ReadLinkIndex(const std::string &path, LinkIndexFile *index) {
    std::string bytes;
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes)) return 0;
    if (bytes.size() < static_cast<size_t>(kLinkIndexHeaderBytes)) return 0;
    VersionStamp stamp;
    std::memcpy(&stamp, bytes.data(), sizeof stamp);
    if (stamp.magic != kStampMagic || stamp.major < 2) return 0;
    int32_t count = 0;
    std::memcpy(&count, bytes.data() + 5, 4);
    if (count < 0 || static_cast<size_t>(count) > (bytes.size() - kLinkIndexHeaderBytes) / 4) return 0;
    index->keys.resize(static_cast<size_t>(count));
    if (count) std::memcpy(index->keys.data(), bytes.data() + kLinkIndexHeaderBytes, 4u * count);
    std::sort(index->keys.begin(), index->keys.end());
    index->old = std::move(bytes);
    return 1;
}

int WriteLinkIndex(const std::string &path, const LinkIndexFile &index) {
    std::string bytes;
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    bytes.append(reinterpret_cast<const char *>(&stamp), sizeof stamp);
    int32_t count = static_cast<int32_t>(index.keys.size());
    bytes.append(reinterpret_cast<const char *>(&count), 4);
    bytes.append(reinterpret_cast<const char *>(index.keys.data()), 4u * index.keys.size());
    if (index.old.size() > bytes.size()) bytes.append(index.old, bytes.size(), std::string::npos);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

bool SameUrl(const std::string &a, const std::string &b) {
    return CompareNamesNoCase(a.c_str(), b.c_str()) == 0;
}

// The object's key in or out of its category index, rewritten whole.
int SetKeyIndexed(const std::string &folder, int row, int32_t key, bool indexed) {
    std::string path = LinkIndexFilePath(folder.c_str(), row);
    LinkIndexFile index;
    if (!ReadLinkIndex(path, &index)) return 0;
    auto it = std::lower_bound(index.keys.begin(), index.keys.end(), key);
    bool present = it != index.keys.end() && *it == key;
    if (indexed) {
        if (present) return 1;
        index.keys.insert(it, key);
    } else {
        if (!present) return 1;
        index.keys.erase(std::remove(index.keys.begin(), index.keys.end(), key), index.keys.end());
    }
    return WriteLinkIndex(path, index);
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
    return SetKeyIndexed(folder, row, key, true) ? 1 : 0;
}

}  // namespace

int LinkCategoryIndex(uint32_t category) { return NoteCategoryIndex(category); }
uint32_t LinkCategoryBits(int row) { return NoteCategoryBits(row); }

std::string LinksFolder() {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return std::string();
    return std::string(root) + "/links";
}

std::string LinkIndexFilePath(const char *groupFolder, int row) {
    std::string f = RowFolder(groupFolder, row);
    return f.empty() ? f : f + "/index.bin";
}

std::string LinkFilePathOf(const char *groupFolder, int row, int objectClass, int32_t index) {
    std::string f = RowFolder(groupFolder, row);
    if (f.empty()) return f;
    char name[32];
    std::snprintf(name, sizeof name, IsUserObjectClass(objectClass) ? "/%ds.dat" : "/%d.dat",
                  static_cast<int>(index));
    return f + name;
}

bool LinkGroupFolder(int group, std::string *folder) {
    GroupRecord record;
    if (!GetGroupFolderName(kGroupLinks, &record, group)) return false;
    record.folder[sizeof record.folder - 1] = '\0';
    if (!IsSafeGroupFolder(record.folder)) return false;
    *folder = record.folder;
    return true;
}

int EnsureLinkIndexFiles(const char *groupFolder) {
    if (!IsSafeGroupFolder(groupFolder)) return 0;
    int ok = 1;
    for (int row = 0; row < kCategoryFolderCount; ++row)
        if (FsKind(LinkIndexFilePath(groupFolder, row)) < 0 && !CreateLinkIndexFile(groupFolder, row))
            ok = 0;
    return ok;
}

int CreateLinkIndexFile(const char *groupFolder, int row, int reset) {
    if (!IsSafeGroupFolder(groupFolder) || row < 0 || row >= kCategoryFolderCount) return 0;
    std::string links = LinksFolder();
    if (links.empty()) return 0;
    std::string group = links + "/" + groupFolder;
    if (!EnsureDirectory(links.c_str()) || !EnsureDirectory(group.c_str()) ||
        !EnsureDirectory(RowFolder(groupFolder, row).c_str()))
        return 0;
    std::string path = LinkIndexFilePath(groupFolder, row);
    if (!reset && FsKind(path) >= 0) return 1;
    return WriteLinkIndex(path, LinkIndexFile());
}

int LoadLinkIndexLists(int group, LinkIndexLists *lists) {
    if (!lists) return 0;
    FreeLinkIndexLists(lists);
    std::string folder;
    if (!LinkGroupFolder(group, &folder)) return 0;
    EnsureLinkIndexFiles(folder.c_str());
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        LinkIndexFile index;
        if (!ReadLinkIndex(LinkIndexFilePath(folder.c_str(), row), &index)) {
            FreeLinkIndexLists(lists);
            return 0;
        }
        lists->rows[row] = std::move(index.keys);
    }
    return 1;
}

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
    return ObjectHasLinks(lists, record);
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
                     expected->categoryBits != static_cast<uint32_t>(category)))
        return 0;
    for (size_t i = 3; i < lines.size(); ++i) {
        WebLink link;
        if (SplitLinkLine(lines[i], &link.url, &link.description)) out->links.push_back(link);
    }
    return 1;
}

int WriteLinkFileAt(const std::string &path, const LinkFile &file) {
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
    if (!record) return 0;
    int originalClass = record->objectClass;
    LinkIndexLists lists;
    if (!LoadLinkIndexLists(group, &lists)) return -1;
    int has = FindLinksOfObject(&lists, record);
    FreeLinkIndexLists(&lists);
    if (!has) return 0;
    if (sameClass && record->objectClass != originalClass) return 0;
    std::string folder;
    if (!LinkGroupFolder(group, &folder)) return -1;
    int row = LinkCategoryIndex(record->categoryBits);
    std::string path = LinkFilePathOf(folder.c_str(), row, record->objectClass, record->index);
    if (FsKind(path) >= 0 && !SafeRemove(path.c_str())) return 0;
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    return SetKeyIndexed(folder, row, key, false);
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
    if (!keys) return 0;
    keys->clear();
    LinkIndexLists lists;
    if (!LoadLinkIndexLists(group, &lists)) return 0;
    for (int row = 0; row < kCategoryFolderCount; ++row)
        for (int32_t key : lists.rows[row])
            keys->push_back(LinkKeyEntry{LinkCategoryBits(row), key & ~kLinkKeyMarkBit});
    return 1;
}

int MarkUserObjectsWithLinks(int objectClass, uint8_t *marks, int length) {
    if (!IsUserObjectClass(objectClass) || !marks || length < 0) return 0;
    int row = LinkCategoryIndex(ClassCategoryBits(objectClass));
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupList(kGroupLinks, &groups, &count)) return 0;
    int ok = 1;
    for (int g = 0; g < count && ok; ++g) {
        if (!IsSafeGroupFolder(groups[g].folder)) continue;
        std::string path = LinkIndexFilePath(groups[g].folder, row);
        if (FsKind(path) < 0) continue;
        LinkIndexFile index;
        if (!ReadLinkIndex(path, &index)) {
            ok = 0;
            break;
        }
        for (int32_t key : index.keys) {
            if (key < 0 || !(static_cast<uint32_t>(key) & kUserObjectKeyFlag)) continue;
            int32_t id = key & ~static_cast<int32_t>(kUserObjectKeyFlag) & ~kLinkKeyMarkBit;
            if (id >= 0 && id < length) marks[id] = 2;
        }
    }
    FreeGroupList(groups);
    return ok;
}
