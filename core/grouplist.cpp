// Group lists "groups.bin" of the notes, links, image links and images stores.
// Reads go through the open stream; every change builds the whole new index in
// memory and replaces the file in one step, so a failure leaves the old index.
#include "core/safefile.h"
#include "core/grouplist.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"

namespace {

const char *const kStoreFolders[4] = {"notes", "links", "image links", "images"};
const int kNameMax = 64;
// Beyond any real index (tens of thousands of groups); keeps a damaged file
// from being read into memory whole.
const long kMaxIndexBytes = 64L << 20;

bool ValidKind(int kind) { return kind >= 0 && kind <= 3; }

std::string StoreFolder(int kind) {
    char path[kGroupPathBytes];
    if (!ValidKind(kind) || !MakeUserDataPath(path, sizeof path, kStoreFolders[kind])) return "";
    return path;
}

std::string IndexPath(int kind) {
    std::string folder = StoreFolder(kind);
    return folder.empty() ? folder : folder + "/groups.bin";
}

char *CopyPath(char *buffer, int kind) {
    if (!buffer) return buffer;
    std::string p = IndexPath(kind);
    std::snprintf(buffer, kGroupPathBytes, "%s", p.size() < kGroupPathBytes ? p.c_str() : "");
    return buffer;
}

int CompareNoCase(const char *a, const char *b) {
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb) return ca - cb;
        if (!ca) return 0;
    }
}

void Terminate(GroupRecord *e) {
    e->name[sizeof e->name - 1] = '\0';
    e->folder[sizeof e->folder - 1] = '\0';
}

void CutName(char out[65], const char *name) {
    std::snprintf(out, 65, "%.*s", kNameMax, name);
}

bool ReadEntry(FILE *f, GroupRecord *e) {
    if (std::fread(e, sizeof *e, 1, f) != 1) return false;
    Terminate(e);
    return true;
}

// The n entries that follow in f, into a list the caller frees with
// FreeGroupList; nothing is handed out when one cannot be read.
int ReadEntries(FILE *f, int n, GroupRecord **entries, int *count) {
    GroupRecord *list = static_cast<GroupRecord *>(std::calloc(static_cast<size_t>(n), sizeof(GroupRecord)));
    if (!list) return 0;
    for (int i = 0; i < n; ++i) {
        if (!ReadEntry(f, &list[i])) {
            std::free(list);
            return 0;
        }
    }
    *entries = list;
    *count = n;
    return 1;
}

void PutInt32(std::vector<uint8_t> &b, size_t at, int32_t v) {
    std::memcpy(&b[at], &v, 4);
}

// What a change starts from: the entries, the next id and the file as it is
// (its bytes after the valid entries are kept, as an in-place rewrite would).
struct ListImage {
    std::vector<GroupRecord> entries;
    int32_t nextId = 1;
    std::vector<uint8_t> raw;
};


bool LoadList(int kind, ListImage *list) {
    int count = 0;
    FileHandle file(OpenGroupList(kind, &count));
    if (!file.get()) return false;
    try {
        list->entries.resize(static_cast<size_t>(count));
        for (GroupRecord &e : list->entries)
            if (!ReadEntry(file.get(), &e)) return false;
        if (std::fseek(file.get(), 9, SEEK_SET) != 0 || std::fread(&list->nextId, 4, 1, file.get()) != 1) return false;
        long size = StreamSize(file.get());
        if (size < kGroupListHeaderBytes || size > kMaxIndexBytes) return false;
        list->raw.resize(static_cast<size_t>(size));
        if (std::fseek(file.get(), 0, SEEK_SET) != 0 ||
            std::fread(list->raw.data(), 1, list->raw.size(), file.get()) != list->raw.size())
            return false;
    } catch (...) {
        return false;
    }
    return true;
}

void SortEntries(std::vector<GroupRecord> &entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const GroupRecord &a, const GroupRecord &b) {
        return CompareGroupNames(&a, &b) < 0;
    });
}

// Writes stamp, count, next id and the entries over the image's bytes and
// replaces the index with the result.
bool StoreList(int kind, ListImage &list) {
    SortEntries(list.entries);
    const size_t needed = kGroupListHeaderBytes + sizeof(GroupRecord) * list.entries.size();
    try {
        if (list.raw.size() < needed) list.raw.resize(needed, 0);
    } catch (...) {
        return false;
    }
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    std::memcpy(&list.raw[0], &stamp, sizeof stamp);
    PutInt32(list.raw, 5, static_cast<int32_t>(list.entries.size()));
    PutInt32(list.raw, 9, list.nextId);
    if (!list.entries.empty())
        std::memcpy(&list.raw[kGroupListHeaderBytes], list.entries.data(), sizeof(GroupRecord) * list.entries.size());
    const std::string path = IndexPath(kind);
    return WriteWholeFileSafely(path.c_str(), list.raw.data(), list.raw.size()) == 1;
}

// Windows opens a device, not a file, for these names whatever the case.
bool IsDeviceName(const char *name) {
    static const char *const fixed[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char *d : fixed)
        if (CompareNoCase(name, d) == 0) return true;
    if (std::strlen(name) == 4 && (CompareNoCase(std::string(name, 3).c_str(), "COM") == 0 ||
                                   CompareNoCase(std::string(name, 3).c_str(), "LPT") == 0))
        return name[3] >= '1' && name[3] <= '9';
    return false;
}

bool FolderTaken(const std::string &folder, const std::vector<GroupRecord> &entries,
                 const std::string &storeFolder) {
    for (const GroupRecord &e : entries)
        if (CompareNoCase(e.folder, folder.c_str()) == 0) return true;
    return FileExists((storeFolder + "/" + folder).c_str()) != 0;
}

// A folder name no other group of the store uses: the encoded base, else the
// base with "_<id>" (and "_<id>_<k>" if even that is taken). Empty when none
// can be found.
std::string UniqueFolderName(std::string base, int32_t id, const std::vector<GroupRecord> &entries,
                             const std::string &storeFolder) {
    if (!base.empty() && !IsDeviceName(base.c_str()) && !FolderTaken(base, entries, storeFolder))
        return base;
    if (base.empty()) base = "group";
    for (int k = 1; k <= 1000; ++k) {
        std::string suffix = "_" + std::to_string(id);
        if (k > 1) suffix += "_" + std::to_string(k);
        std::string stem = base.substr(0, kNameMax - suffix.size());
        while (!stem.empty() && stem.back() == ' ') stem.pop_back();
        std::string candidate = stem + suffix;
        if (!FolderTaken(candidate, entries, storeFolder)) return candidate;
    }
    return "";
}

int32_t NextFreeId(const ListImage &list) {
    int32_t next = list.nextId > 0 ? list.nextId : 1;
    for (const GroupRecord &e : list.entries)
        if (e.id >= next && e.id < INT32_MAX) next = e.id + 1;
    return next;
}

bool SafeFolderToDelete(const char *folder) {
    if (!folder[0] || std::strcmp(folder, ".") == 0 || std::strcmp(folder, "..") == 0) return false;
    return std::strpbrk(folder, "/\\:") == nullptr;
}

template <typename Match>
int FindGroup(int kind, GroupRecord *out, Match match) {
    int count = 0;
    FileHandle file(OpenGroupList(kind, &count));
    if (!file.get()) return -1;
    GroupRecord e;
    for (int i = 0; i < count; ++i) {
        if (!ReadEntry(file.get(), &e)) return 0;
        if (out) *out = e;
        if (match(e)) return i + 1;
    }
    return 0;
}

}  // namespace

char *MakeNotesGroupsPath(char *buffer) { return CopyPath(buffer, kGroupNotes); }
char *MakeLinksGroupsPath(char *buffer) { return CopyPath(buffer, kGroupLinks); }
char *MakeImageLinksGroupsPath(char *buffer) { return CopyPath(buffer, kGroupImageLinks); }
char *MakeImagesGroupsPath(char *buffer) { return CopyPath(buffer, kGroupImages); }

FILE *OpenGroupList(int kind, int *count) {
    if (count) *count = 0;
    const std::string folder = StoreFolder(kind);
    if (folder.empty() || !EnsureDirectory(folder.c_str())) return nullptr;
    const std::string path = folder + "/groups.bin";
    FILE *f = SafeOpen(path.c_str(), "r+b");
    if (!f) {
        // A new list is made whole (stamp, count 0, next id 1) or not at all.
        if (FileExists(path.c_str())) return nullptr;
        VersionStamp stamp;
        SetCurrentStamp(&stamp);
        const int32_t header[2] = {0, 1};
        uint8_t bytes[sizeof stamp + sizeof header];
        std::memcpy(bytes, &stamp, sizeof stamp);
        std::memcpy(bytes + sizeof stamp, header, sizeof header);
        if (!WriteWholeFileSafely(path.c_str(), bytes, sizeof bytes)) return nullptr;
        f = SafeOpen(path.c_str(), "r+b");
        if (!f) return nullptr;
    }
    FileHandle file(f);
    if (!AcceptStampedStore(f, 1)) return nullptr;
    int32_t c, nextId;
    if (std::fread(&c, 4, 1, f) != 1 || std::fread(&nextId, 4, 1, f) != 1) return nullptr;
    const long size = StreamSize(f);
    if (size < kGroupListHeaderBytes || c < 0 ||
        c > (size - kGroupListHeaderBytes) / static_cast<long>(sizeof(GroupRecord)))
        return nullptr;
    if (std::fseek(f, kGroupListHeaderBytes, SEEK_SET) != 0) return nullptr;
    if (count) *count = c;
    file.release();
    return f;
}

int ReadGroupList(int kind, GroupRecord **entries, int *count) {
    if (entries) *entries = nullptr;
    if (count) *count = 0;
    if (!entries || !count) return 0;
    int n = 0;
    FileHandle file(OpenGroupList(kind, &n));
    if (!file.get()) return 0;
    if (n == 0) return 1;
    return ReadEntries(file.get(), n, entries, count);
}

int ReadGroupListIn(const char *folder, GroupRecord **entries, int *count) {
    if (entries) *entries = nullptr;
    if (count) *count = 0;
    if (!folder || !entries || !count) return 0;
    const std::string path = std::string(folder) + "/groups.bin";
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file.get() || !AcceptStampedStore(file.get(), 0)) return 0;
    int32_t n, nextId;
    if (std::fread(&n, 4, 1, file.get()) != 1 || std::fread(&nextId, 4, 1, file.get()) != 1) return 0;
    if (n <= 0) return 1;
    const long size = StreamSize(file.get());
    if (size < 0 || n > (size - kGroupListHeaderBytes) / static_cast<long>(sizeof(GroupRecord))) return 0;
    return ReadEntries(file.get(), n, entries, count);
}

void FreeGroupList(GroupRecord *entries) { std::free(entries); }

int FindGroupByName(int kind, const char *name, GroupRecord *out) {
    if (!name) return 0;
    return FindGroup(kind, out, [name](const GroupRecord &e) { return CompareNoCase(e.name, name) == 0; });
}

int FindGroupById(int kind, int id, GroupRecord *out) {
    return FindGroup(kind, out, [id](const GroupRecord &e) { return e.id == id; });
}

int ReadGroup(int kind, GroupRecord *out, int index) {
    if (!out) return 0;
    int count = 0;
    FileHandle file(OpenGroupList(kind, &count));
    if (!file.get() || index < 0 || index >= count) return 0;
    const long offset = kGroupListHeaderBytes + static_cast<long>(sizeof(GroupRecord)) * index;
    if (std::fseek(file.get(), offset, SEEK_SET) != 0) return 0;
    return ReadEntry(file.get(), out) ? 1 : 0;
}

int ReadGroupIdAt(int kind, int index) {
    GroupRecord e;
    return ReadGroup(kind, &e, index) ? e.id : 0;
}

char *GetGroupFolderName(int kind, GroupRecord *buffer, int index) {
    return ReadGroup(kind, buffer, index) ? buffer->folder : nullptr;
}

int GetGroupId(int kind, int index) {
    GroupRecord *list = nullptr;
    int count = 0;
    if (!ReadGroupList(kind, &list, &count)) return -1;
    int id = (index >= 0 && index < count) ? list[index].id : -1;
    FreeGroupList(list);
    return id;
}

int CompareGroupNames(const GroupRecord *a, const GroupRecord *b) {
    return std::strcmp(a->name, b->name);
}

int AddGroup(int kind, const char *name, GroupRecord *out) {
    if (!name || !*name) return 0;
    ListImage list;
    if (!LoadList(kind, &list)) return 0;
    GroupRecord e;
    std::memset(&e, 0, sizeof e);
    CutName(e.name, name);
    for (size_t i = 0; i < list.entries.size(); ++i) {
        if (CompareNoCase(list.entries[i].name, e.name) == 0) {
            if (out) *out = list.entries[i];
            return -static_cast<int>(i + 1);
        }
    }
    const int32_t id = NextFreeId(list);
    if (id == INT32_MAX) return 0;
    char folder[65];
    CutName(folder, name);
    TrimTrailingBlanks(folder);
    EncodeNameForFileName(folder);
    const std::string unique = UniqueFolderName(folder, id, list.entries, StoreFolder(kind));
    if (unique.empty()) return 0;
    std::snprintf(e.folder, sizeof e.folder, "%s", unique.c_str());
    e.id = id;
    list.nextId = id + 1;
    list.entries.push_back(e);
    if (!StoreList(kind, list)) return 0;
    if (out) *out = e;
    for (size_t i = 0; i < list.entries.size(); ++i)
        if (list.entries[i].id == id) return static_cast<int>(i + 1);
    return 0;
}

int DeleteGroup(int kind, int index) {
    ListImage list;
    if (!LoadList(kind, &list)) return 0;
    if (index < 0 || index >= static_cast<int>(list.entries.size())) return 0;
    const GroupRecord gone = list.entries[static_cast<size_t>(index)];
    list.entries.erase(list.entries.begin() + index);
    // The index is rewritten first, so it never names a deleted folder.
    if (!StoreList(kind, list)) return 0;
    bool shared = false;
    for (const GroupRecord &e : list.entries)
        if (CompareNoCase(e.folder, gone.folder) == 0) shared = true;
    if (!shared && SafeFolderToDelete(gone.folder)) {
        const std::string folder = StoreFolder(kind) + "/" + gone.folder;
        if (FileExists(folder.c_str())) DeleteTree(folder.c_str());
    }
    return 1;
}

int RenameGroup(int kind, const char *name, int index) {
    if (!name || !*name) return 0;
    ListImage list;
    if (!LoadList(kind, &list)) return 0;
    if (index < 0 || index >= static_cast<int>(list.entries.size())) return 0;
    char cut[65];
    CutName(cut, name);
    for (size_t i = 0; i < list.entries.size(); ++i)
        if (static_cast<int>(i) != index && CompareNoCase(list.entries[i].name, cut) == 0) return 0;
    GroupRecord &e = list.entries[static_cast<size_t>(index)];
    std::memset(e.name, 0, sizeof e.name);
    std::memcpy(e.name, cut, std::strlen(cut));
    return StoreList(kind, list) ? 1 : 0;
}

int RebuildGroupList(int kind) {
    const std::string store = StoreFolder(kind);
    if (store.empty() || !EnsureDirectory(store.c_str())) return 0;
    // The old index, where it can still be read, keeps names and ids.
    ListImage old;
    if (!LoadList(kind, &old)) old = ListImage();

    std::vector<std::string> folders;
    DirectoryList dir;
    if (OpenDirectoryList(&dir, store.c_str(), 2, 0)) {
        char name[65];
        for (int guard = 0; guard < 1000000; ++guard) {
            int r = NextDirectoryEntry(&dir, name, sizeof name);
            if (r == 0) break;
            if (r == 1) folders.push_back(name);  // -1: a name over 64 characters, skipped
        }
    }
    CloseDirectoryList(&dir);

    ListImage list;
    list.nextId = NextFreeId(old);
    std::vector<bool> used(old.entries.size(), false);
    std::vector<GroupRecord> fresh;
    for (const std::string &f : folders) {
        GroupRecord e;
        std::memset(&e, 0, sizeof e);
        std::snprintf(e.folder, sizeof e.folder, "%s", f.c_str());
        bool kept = false;
        for (size_t i = 0; i < old.entries.size() && !kept; ++i) {
            if (!used[i] && old.entries[i].id > 0 && std::strcmp(old.entries[i].folder, e.folder) == 0) {
                std::memcpy(e.name, old.entries[i].name, sizeof e.name);
                e.id = old.entries[i].id;
                used[i] = kept = true;
            }
        }
        if (!kept) {
            std::memcpy(e.name, e.folder, sizeof e.name);
            DecodeNameFromFileName(e.name);
            fresh.push_back(e);
        } else {
            list.entries.push_back(e);
        }
    }
    // Folders the old index did not know: new ids; a display name that another
    // group has without regard to case is told apart by its id.
    for (GroupRecord &e : fresh) {
        if (list.nextId == INT32_MAX) return 0;
        e.id = list.nextId++;
        for (const GroupRecord &o : list.entries) {
            if (CompareNoCase(o.name, e.name) == 0) {
                char name[65];
                std::snprintf(name, sizeof name, "%.*s_%d", kNameMax - 12, e.name, static_cast<int>(e.id));
                std::memset(e.name, 0, sizeof e.name);
                std::memcpy(e.name, name, std::strlen(name));
                break;
            }
        }
        list.entries.push_back(e);
    }
    return StoreList(kind, list) ? 1 : 0;
}
