// Observing-list groups (see listgroups.h).
#include "userdata/listgroups.h"
#include "userdata/listjournal.h"

#include <algorithm>
#include <cstring>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"
#include "userdata/listindex.h"
#include "userdata/notestore.h"

const char kDefaultListGroupName[] = "Default";

namespace {

struct GroupFile {
    VersionStamp stamp;
    std::vector<ListGroupEntry> entries;
};

// Parses a whole group file. A stamp other than 55555 with a major version
// above 2 (or newer than this program), a negative count or one the file
// cannot hold is refused. Every name is terminated at its last byte.
int ParseGroupFile(const std::string &bytes, GroupFile *out) {
    if (bytes.size() < (size_t)kListGroupsHeaderBytes) return 0;
    std::memcpy(&out->stamp, bytes.data(), sizeof out->stamp);
    if (out->stamp.magic != kStampMagic || out->stamp.major <= 2 ||
        GetStampVersion(&out->stamp) > CurrentStampVersion())
        return 0;
    int32_t count = 0;
    std::memcpy(&count, bytes.data() + sizeof(VersionStamp), sizeof count);
    size_t room = (bytes.size() - kListGroupsHeaderBytes) / sizeof(ListGroupEntry);
    if (count < 0 || (size_t)count > room) return 0;
    out->entries.resize((size_t)count);
    if (count > 0)
        std::memcpy(out->entries.data(), bytes.data() + kListGroupsHeaderBytes,
                    (size_t)count * sizeof(ListGroupEntry));
    for (ListGroupEntry &e : out->entries) e.name[sizeof e.name - 1] = '\0';
    return 1;
}

std::string GroupFileBytes(const std::vector<ListGroupEntry> &entries) {
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    int32_t count = (int32_t)entries.size();
    std::string bytes(reinterpret_cast<const char *>(&stamp), sizeof stamp);
    bytes.append(reinterpret_cast<const char *>(&count), sizeof count);
    if (!entries.empty())
        bytes.append(reinterpret_cast<const char *>(entries.data()),
                     entries.size() * sizeof(ListGroupEntry));
    return bytes;
}

int StoreGroups(std::vector<ListGroupEntry> entries) {
    std::sort(entries.begin(), entries.end(), [](const ListGroupEntry &a, const ListGroupEntry &b) {
        return CompareListGroupNames(&a, &b) < 0;
    });
    std::string path = FormatListGroupsPath();
    if (path.empty()) return 0;
    std::string bytes = GroupFileBytes(entries);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

ListGroupEntry MakeEntry(const char *name, int id) {
    ListGroupEntry e;
    std::memset(&e, 0, sizeof e);
    CopyStringZeroFilled(e.name, name, kListGroupNameMax + 1);
    e.id = (int16_t)id;
    return e;
}

// The local groups, the file made when missing and an older stamp brought up
// to date (both through a whole-file rewrite).
int LoadLocalGroups(std::vector<ListGroupEntry> *out) {
    if (!EnsureListStoreRecovered()) return 0;
    std::string folder = GetListsFolder();
    if (folder.empty() || !EnsureDirectory(folder.c_str())) return 0;
    std::string path = FormatListGroupsPath();
    if (FsKind(path) < 0) {
        std::vector<ListGroupEntry> fresh{MakeEntry(kDefaultListGroupName, kDefaultListGroupId)};
        if (!StoreGroups(fresh)) return 0;
    }
    std::string bytes;
    GroupFile file;
    if (!ReadWholeFile(path.c_str(), &bytes) || !ParseGroupFile(bytes, &file)) return 0;
    if (GetStampVersion(&file.stamp) != CurrentStampVersion()) {
        VersionStamp current;
        SetCurrentStamp(&current);
        std::memcpy(&bytes[0], &current, sizeof current);
        if (!WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size())) return 0;
    }
    *out = std::move(file.entries);
    return 1;
}

}  // namespace

std::string GetListsFolder() {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return std::string();
    return std::string(root) + "/lists";
}

std::string FormatListGroupsPath() {
    std::string folder = GetListsFolder();
    return folder.empty() ? folder : folder + "/groups.bin";
}

FILE *OpenListGroupFile(int *count) {
    if (count) *count = 0;
    std::vector<ListGroupEntry> entries;
    if (!LoadLocalGroups(&entries)) return nullptr;
    FileHandle f(SafeOpen(FormatListGroupsPath().c_str(), "r+b"));
    if (!f || !SafeSeek(f.get(), kListGroupsHeaderBytes)) return nullptr;
    if (count) *count = (int)entries.size();
    return f.release();
}

int ReadListGroups(std::vector<ListGroupEntry> *groups) {
    if (!groups) return 0;
    groups->clear();
    return LoadLocalGroups(groups);
}

int ReadOtherListGroups(std::vector<ListGroupEntry> *groups, const char *folder) {
    if (!groups || !folder) return 0;
    groups->clear();
    std::string bytes;
    GroupFile file;
    if (!ReadWholeFile((std::string(folder) + "/groups.bin").c_str(), &bytes) ||
        !ParseGroupFile(bytes, &file))
        return 0;
    *groups = std::move(file.entries);
    return 1;
}

int CompareListGroupNames(const ListGroupEntry *a, const ListGroupEntry *b) {
    return std::strncmp(a->name, b->name, sizeof a->name);
}

int FindListGroupByName(const char *name, ListGroupEntry *out) {
    if (!name) return 0;
    std::vector<ListGroupEntry> groups;
    if (!ReadListGroups(&groups)) return -1;
    char wanted[kListGroupNameMax + 1];
    CopyStringTruncated(wanted, name, sizeof wanted);
    for (const ListGroupEntry &g : groups)
        if (CompareNamesNoCase(g.name, wanted) == 0) {
            if (out) *out = g;
            return g.id;
        }
    return 0;
}

int FindListGroupById(ListGroupEntry *out, int id) {
    std::vector<ListGroupEntry> groups;
    if (!ReadListGroups(&groups)) return 0;
    for (const ListGroupEntry &g : groups)
        if (g.id == id) {
            if (out) *out = g;
            return 1;
        }
    return 0;
}

int AddListGroup(const char *name, ListGroupEntry *out) {
    if (!name || !*name) return 0;
    std::vector<ListGroupEntry> groups;
    if (!ReadListGroups(&groups)) return 0;
    // The name is cut first, so that two long names equal in their first 64
    // characters count as the duplicates they become on disk.
    ListGroupEntry added = MakeEntry(name, 0);
    for (const ListGroupEntry &g : groups)
        if (CompareNamesNoCase(g.name, added.name) == 0) return -1;
    // Lowest free id from 1; ids are int16 in the file.
    std::vector<int> used;
    for (const ListGroupEntry &g : groups) used.push_back(g.id);
    std::sort(used.begin(), used.end());
    int id = 1;
    for (int u : used)
        if (u == id) ++id;
        else if (u > id) break;
    if (id > INT16_MAX) return 0;
    added.id = (int16_t)id;
    groups.push_back(added);
    if (!StoreGroups(groups)) return 0;
    if (out) *out = added;
    return id;
}

int RenameListGroup(const char *name, int id) {
    if (!name || !*name || id <= 0) return 0;
    std::vector<ListGroupEntry> groups;
    if (!ReadListGroups(&groups)) return 0;
    ListGroupEntry renamed = MakeEntry(name, id);
    ListGroupEntry *target = nullptr;
    for (ListGroupEntry &g : groups) {
        if (g.id == id) target = &g;
        else if (CompareNamesNoCase(g.name, renamed.name) == 0) return -1;
    }
    if (!target) return 0;
    std::memcpy(target->name, renamed.name, sizeof target->name);
    return StoreGroups(groups);
}

int DeleteListGroup(int id) {
    // A group some list names is in use; an index that cannot be read
    // cannot show that it is not, so the deletion is refused then too.
    std::vector<ListIndexEntry> slots;
    if (!ReadListIndexSlots(&slots)) return -1;
    for (const ListIndexEntry &s : slots)
        if (s.items >= 0 && s.group == id) return 0;
    std::vector<ListGroupEntry> groups;
    if (!ReadListGroups(&groups)) return -1;
    auto it = std::find_if(groups.begin(), groups.end(),
                           [id](const ListGroupEntry &g) { return g.id == id; });
    if (it == groups.end()) return -1;
    groups.erase(it);
    return StoreGroups(groups) ? 1 : -1;
}
