// Backup, restore and merge of the observing lists (see listbackup.h).
#include "userdata/listbackup.h"
#include "userdata/listjournal.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <vector>

#include "astro/datetime.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "userdata/listgroups.h"
#include "userdata/listindex.h"
#include "userdata/listupgrade.h"
#include "userdata/notebackup.h"
#include "userdata/storepaths.h"
#include "userdata/userobjectdata.h"

namespace {

const int kQuestionBytes = 512;
const int kRemapYear = 2000;

std::string SafetyFolder() {
    const char *root = GetUserDataFolder();
    return root && *root ? std::string(root) + "/tmp/lists" : std::string();
}

// Removes every plain file of the folder; 1 when all went.
int EmptyFolderFiles(const std::string &folder) {
    int ok = 1;
    for (const std::string &name : PlainFilesIn(folder))
        if (!SafeRemove((folder + "/" + name).c_str())) ok = 0;
    return ok;
}

// Copies every plain file of source into target crash-safely, keeping the
// times. 1 when all were copied.
int CopyFilesInto(const std::string &source, const std::string &target) {
    for (const std::string &name : PlainFilesIn(source))
        if (CopyFileKeepTime((source + "/" + name).c_str(), (target + "/" + name).c_str()) == 0) return 0;
    return 1;
}

// The items of a list file after remapping its user objects; the other
// items as they are. 0 when the file cannot be read.
int ReadRemappedItems(const std::string &path, int count, const char *otherUserFolder, int sourceVersion,
                      std::string *bytes, std::vector<ObjectRecord> *items) {
    items->clear();
    if (!ReadWholeFile(path.c_str(), bytes) || bytes->size() < (size_t)kListHeaderBytes) return 0;
    size_t have = (bytes->size() - kListHeaderBytes) / kListItemBytes;
    size_t n = std::min(have, (size_t)std::max(count, 0));
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    SetDateRecord(&date, nullptr, 1, 1, kRemapYear, 0.0, 0);
    for (size_t k = 0; k < n; ++k) {
        ObjectRecord item;
        std::memcpy(&item, bytes->data() + kListHeaderBytes + k * kListItemBytes, sizeof item);
        if (IsUserObjectClass(item.objectClass)) {
            int32_t id = item.index;
            if (!RemapUserObjectId(&date, otherUserFolder, item.objectClass, &id, sourceVersion)) continue;
            item.index = id;
        }
        items->push_back(item);
    }
    return 1;
}

std::vector<ObjectRecord> Sorted(std::vector<ObjectRecord> items) {
    std::sort(items.begin(), items.end(),
              [](const ObjectRecord &a, const ObjectRecord &b) { return CompareListItems(&a, &b) < 0; });
    return items;
}

bool HoldsUserObjects(const std::vector<ObjectRecord> &items) {
    for (const ObjectRecord &item : items)
        if (IsUserObjectClass(item.objectClass)) return true;
    return false;
}

// A list of user objects is compared after the other computer's ids were
// given their ids here: the same object has another id on each computer, and
// the stored ids alike may name different objects.
bool SameObjects(const std::vector<ObjectRecord> &mine, const std::vector<ObjectRecord> &remapped) {
    std::vector<ObjectRecord> a = Sorted(mine), b = Sorted(remapped);
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](const ObjectRecord &x, const ObjectRecord &y) { return SameListObject(&x, &y); });
}

// The bytes of a list file holding these items behind the given header.
std::string ListFileBytes(ListFileHeader header, const std::vector<ObjectRecord> &items) {
    header.items = (int16_t)items.size();
    std::string bytes(reinterpret_cast<const char *>(&header), sizeof header);
    if (!items.empty()) bytes.append(reinterpret_cast<const char *>(items.data()), items.size() * kListItemBytes);
    return bytes;
}

// Puts the other computer's list into local slot `slot` (its header, with
// the local notes group of the last refresh kept when asked and the list
// marked for refresh, and the remapped items), copies its description, and
// stores the count and time in the slot. A failure puts the old files back.
int StoreMergedList(int slot, const std::string &otherBytes, const std::vector<ObjectRecord> &items,
                    const std::string &otherDesc, const FileTimeValue &time, bool keepNotesGroup) {
    std::string path = FormatListFilePath(slot), descPath = FormatListDescriptionPath(slot);
    std::string oldList, oldDesc;
    bool hadList = FsKind(path) == 0, hadDesc = FsKind(descPath) == 0;
    if ((hadList && !ReadWholeFile(path.c_str(), &oldList)) || (hadDesc && !ReadWholeFile(descPath.c_str(), &oldDesc)))
        return 0;
    ListFileHeader header;
    std::memcpy(&header, otherBytes.data(), sizeof header);
    ListFileHeader local;
    if (keepNotesGroup && oldList.size() >= sizeof local) {
        std::memcpy(&local, oldList.data(), sizeof local);
        header.notesGroup = local.notesGroup;
    } else {
        // The other computer's notes groups are not this computer's.
        header.notesGroup = kNoNotesGroup;
    }
    header.refreshFlag = 1;
    std::string bytes = ListFileBytes(header, items);
    std::vector<ListIndexEntry> slots;
    bool ok = ReadListIndexSlots(&slots) && slot < (int)slots.size() &&
              WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
    bool descWritten = false;
    if (ok && FsKind(otherDesc) == 0) {
        ok = CopyFileSafely(otherDesc.c_str(), descPath.c_str()) == 1;
        descWritten = ok;
    }
    if (ok) {
        slots[(size_t)slot].items = (int16_t)items.size();
        slots[(size_t)slot].time = time;
        ok = WriteListIndexSlots(slots) != 0;
    }
    if (!ok) {
        if (hadList) WriteWholeFileSafely(path.c_str(), oldList.data(), oldList.size());
        if (descWritten) {
            if (hadDesc) WriteWholeFileSafely(descPath.c_str(), oldDesc.data(), oldDesc.size());
            else SafeRemove(descPath.c_str());
        }
    }
    return ok ? 1 : 0;
}

int ImportGroupId() {
    ListGroupEntry entry;
    int id = FindListGroupByName(kImportedGroupName, &entry);
    if (id == 0) id = AddListGroup(kImportedGroupName, &entry);
    return id;
}

std::string Lowercase(std::string text) {
    for (char &c : text) c = (char)std::tolower((unsigned char)c);
    return text;
}

// An older lists folder into the (emptied) lists folder: the index with
// every list in the import group, the list files and descriptions under
// four-digit numbers, other ".bin" files as they are. Only those exact names
// are taken: a stray file is left behind, not mistaken for a list.
int ConvertOldLists(const std::string &source) {
    int group = ImportGroupId();
    if (group <= 0) return 0;
    for (const std::string &name : PlainFilesIn(source)) {
        std::string lower = Lowercase(name), from = source + "/" + name;
        int number = 0;
        if (lower == "obs.idx") {
            if (!UpgradeListIndexFile(from.c_str(), FormatListIndexPath().c_str(), group)) return 0;
        } else if (IsOldListFileName(lower, "obs", &number)) {
            if (!UpgradeObservingListFile(from.c_str(), FormatListFilePath(number).c_str(), kNoNotesGroup)) return 0;
        } else if (IsOldListFileName(lower, "desc", &number)) {
            if (CopyFileKeepTime(from.c_str(), FormatListDescriptionPath(number).c_str()) == 0) return 0;
        } else if (IsStoreFileNamed(lower, ".bin") && lower != "groups.bin") {
            if (CopyFileKeepTime(from.c_str(), (GetListsFolder() + "/" + name).c_str()) == 0) return 0;
        }
    }
    return 1;
}

std::string OtherUserFolder(const char *otherDataFolder) {
    std::string supp = std::string(otherDataFolder) + "/supp";
    return FsKind(supp) == 1 ? supp : std::string(otherDataFolder);
}

}  // namespace

int BackUpLists(const char *destination, const char *backupName) {
    if (!destination || !*destination) return 0;
    std::string lists = GetListsFolder();
    if (lists.empty()) return 0;
    bool named = backupName && *backupName;
    std::string root = named ? std::string(destination) + "/nightjar backup " + backupName : std::string(destination);
    std::string target = root + "/lists";
    if (PathsOverlap(target, lists)) return 0;
    if (!EnsureDirectory(destination) || !EnsureDirectory(root.c_str())) return 0;
    if (FsKind(target) >= 0 && !DeleteTree(target.c_str())) return 0;
    if (!EnsureDirectory(target.c_str())) return 0;
    if (FsKind(lists) < 0) return 1;  // no lists yet: an empty backup
    return CopyFilesInto(lists, target);
}

void DeleteListsSafetyCopy() {
    // Never the copy an interrupted change still needs.
    std::string safety = SafetyFolder();
    if (!safety.empty() && EnsureListStoreRecovered()) DeleteTree(safety.c_str());
}

int RestoreLists(const char *folder, const char *backupName, int sourceVersion) {
    if (!folder || !backupName) return 0;
    std::string lists = GetListsFolder();
    if (lists.empty()) return 0;
    bool current = sourceVersion >= kFirstCurrentListVersion;
    std::string source = std::string(folder) + "/" + backupName + (current ? "/lists" : "/lists21");
    if (FsKind(source) != 1 || PathsOverlap(source, lists)) return 0;
    // The lists are set aside and marked first: a failure here, or a kill
    // (rolled back by the next open), leaves them as they were.
    if (!BeginListsChange()) return 0;
    int ok = EmptyFolderFiles(lists) && (current ? CopyFilesInto(source, lists) : ConvertOldLists(source));
    if (ok && !current) ok = EnsureCurrentGroup() > 0;
    return EndListsChange(ok);
}

int RemapListUserObjects(const char *otherUserFolder, const char *listPath, int count, int sourceVersion) {
    if (count <= 0) return 0;
    std::string bytes;
    std::vector<ObjectRecord> items;
    if (!listPath || !ReadRemappedItems(listPath, count, otherUserFolder, sourceVersion, &bytes, &items)) return -1;
    ListFileHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    std::string out = ListFileBytes(header, items);
    if (out.size() < bytes.size()) out.append(bytes, out.size(), std::string::npos);
    if (out != bytes && !WriteWholeFileSafely(listPath, out.data(), out.size())) return -1;
    return (int)items.size();
}

namespace {

// Whether the local list at the slot is to be replaced by the incoming
// items: compared as stored (compare(count) below 0 a failure, 0 the same)
// or, for lists of user objects, by their remapped objects; when they
// differ, the question. 1 replace, 0 keep, -1 failure.
int AskReplaceLocalList(int local, const std::vector<ObjectRecord> &items, bool userObjects, const char *name,
                        MergeAnswers *answers, MergeQuestionCallback question,
                        const std::function<int(int count)> &compare) {
    int n = 0;
    ListFile *file = OpenListFile(local, &n);
    std::vector<ObjectRecord> mine;
    int read = file && ReadAllListItems(file, n, &mine);
    DiscardListFile(file);
    if (!read) return -1;
    bool same;
    if (!userObjects) {
        int compared = compare(n);
        if (compared < 0) return -1;
        same = compared == 0;
    } else {
        same = SameObjects(mine, items);
    }
    if (same) return 0;
    char message[kQuestionBytes];
    std::snprintf(message, sizeof message,
                  "The %s observing list on the remote machine differs from the local list. "
                  "Replace with the remote list?",
                  name);
    return AskMergeReplace(answers, question, message) ? 1 : 0;
}

}  // namespace

int MergeOtherLists(const char *otherListsFolder, const char *otherUserFolder, int sourceVersion,
                    MergeAnswers *answers, MergeQuestionCallback question) {
    if (!otherListsFolder || !answers) return 0;
    std::vector<ListIndexEntry> others;
    std::vector<ListGroupEntry> otherGroups;
    if (!ReadOtherListIndexSlots(otherListsFolder, &others) || !ReadOtherListGroups(&otherGroups, otherListsFolder))
        return 0;
    for (size_t j = 0; j < others.size(); ++j) {
        const ListIndexEntry &other = others[j];
        if (other.items < 0) continue;
        std::string otherBytes;
        std::vector<ObjectRecord> items;
        if (!ReadRemappedItems(FormatOtherListFilePath(otherListsFolder, (int)j), other.items, otherUserFolder,
                               sourceVersion, &otherBytes, &items))
            return 0;
        std::string otherDesc = FormatOtherListDescriptionPath(otherListsFolder, (int)j, sourceVersion);
        std::vector<ListIndexEntry> slots;
        if (!ReadListIndexSlots(&slots)) return 0;
        int local = FindListInSlots(slots, other.name, nullptr, nullptr);
        if (local >= 0) {
            int replace = AskReplaceLocalList(local, items, HoldsUserObjects(items), other.name, answers, question,
                                              [&](int n) {
                                                  return CompareOtherListWithCurrent(local, n, otherListsFolder,
                                                                                     (int)j, other.items);
                                              });
            if (replace < 0) return 0;
            if (replace == 0) continue;
            if (!StoreMergedList(local, otherBytes, items, otherDesc, other.time, true)) return 0;
            continue;
        }
        // A new list, in the local group of the other list's group's name.
        const ListGroupEntry *group = nullptr;
        for (const ListGroupEntry &g : otherGroups)
            if (g.id == other.group) group = &g;
        ListGroupEntry localGroup;
        int groupId = group ? FindListGroupByName(group->name, &localGroup) : 0;
        if (groupId <= 0) return 0;
        int slot = CreateList(groupId, other.name, 0, &other.time);
        if (slot < 0) return 0;
        if (!StoreMergedList(slot, otherBytes, items, otherDesc, other.time, false)) {
            DeleteList(slot);
            return 0;
        }
    }
    return 1;
}

int MergeOldGenerationLists(const char *otherListsFolder, const char *otherUserFolder, int sourceVersion,
                            MergeAnswers *answers, MergeQuestionCallback question) {
    if (!otherListsFolder || !answers) return 0;
    std::string other = otherListsFolder;
    FileHandle index(SafeOpen((other + "/obs.idx").c_str(), "rb"));
    int16_t slotCount = 0;
    if (!index || SafeRead(&slotCount, 2, 1, index.get()) != 1 || slotCount < 0 ||
        int64_t{slotCount} * kOldListSlotSize > BytesLeftInStream(index.get()))
        return 0;
    int group = ImportGroupId();
    if (group <= 0) return 0;
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    SetDateRecord(&date, nullptr, 1, 1, kRemapYear, 0.0, 0);
    for (;;) {
        char oldName[kOldListNameSize] = "";
        int32_t listNumber = 0;
        int position = ReadNextOldListRecord(index.get(), 0, slotCount, oldName, &listNumber);
        if (position < 0) return 0;
        if (position == 0) break;
        // The list file and description are numbered by the slot.
        char number[16];
        std::snprintf(number, sizeof number, "%03d", position - 1);
        const std::string listPath = other + "/obs." + number;
        int64_t size = FsFileSize(listPath);
        if (size < kOldListHeaderSize) return 0;
        int itemCount = static_cast<int>((size - kOldListHeaderSize) / kOldListItemSize);
        ObjectRecord *array = nullptr;
        if (!ReadOldObservingListItems(listPath.c_str(), &array, itemCount)) return 0;
        std::vector<ObjectRecord> stored(array, array + itemCount), items;
        delete[] array;
        const std::string name = oldName;
        for (ObjectRecord item : stored) {
            if (IsUserObjectClass(item.objectClass)) {
                int32_t id = item.index;
                if (!RemapUserObjectId(&date, otherUserFolder, item.objectClass, &id, sourceVersion)) continue;
                item.index = id;
            }
            items.push_back(item);
        }
        std::string otherDesc = other + "/desc." + number;
        // The old slots carry no time: a merged list takes its file's.
        FileTimeValue time;
        std::memset(&time, 0, sizeof time);
        FsGetWriteTime(listPath, &time);
        std::vector<ListIndexEntry> slots;
        if (!ReadListIndexSlots(&slots)) return 0;
        int local = FindListInSlots(slots, name.c_str(), nullptr, nullptr);
        std::string header;
        if (local >= 0) {
            int replace = AskReplaceLocalList(local, items, HoldsUserObjects(stored), name.c_str(), answers, question,
                                              [&](int n) {
                                                  return CompareOldListWithCurrent(local, n, otherListsFolder,
                                                                                   position - 1, itemCount);
                                              });
            if (replace < 0) return 0;
            if (replace == 0) continue;
            // The local header stays: its settings and notes group.
            if (!ReadWholeFile(FormatListFilePath(local).c_str(), &header) || header.size() < (size_t)kListHeaderBytes)
                return 0;
            if (!StoreMergedList(local, header, items, otherDesc, time, true) || !SortAndDedupList(local)) return 0;
            continue;
        }
        int slot = CreateList(group, name.c_str(), 0, &time);
        if (slot < 0) return 0;
        ListFileHeader fresh;
        InitListFileHeader(&fresh);
        header.assign(reinterpret_cast<const char *>(&fresh), sizeof fresh);
        if (!StoreMergedList(slot, header, items, otherDesc, time, false) || !SortAndDedupList(slot)) {
            DeleteList(slot);
            return 0;
        }
    }
    return 1;
}

int MergeListsFromFolder(const char *otherDataFolder, int sourceVersion, int *replaceAll, int *keepAll,
                         MergeQuestionCallback question) {
    if (!otherDataFolder) return 0;
    if (sourceVersion < kFirstCurrentListVersion) {
        std::string old = std::string(otherDataFolder) + "/lists21";
        if (FsKind(old) != 1) old = std::string(otherDataFolder) + "/lists";
        MergeAnswers answers;
        answers.replaceAll = replaceAll && *replaceAll;
        answers.keepAll = keepAll && *keepAll;
        int result = MergeOldGenerationLists(old.c_str(), OtherUserFolder(otherDataFolder).c_str(), sourceVersion,
                                             &answers, question);
        if (replaceAll) *replaceAll = answers.replaceAll;
        if (keepAll) *keepAll = answers.keepAll;
        return result;
    }
    std::string other = std::string(otherDataFolder) + "/lists";
    std::vector<ListGroupEntry> groups;
    if (FsKind(other + "/groups.bin") != 0 || !ReadOtherListGroups(&groups, other.c_str())) return 0;
    // The groups, lists and index change together or not at all: set aside
    // and marked first, rolled back on a failure or by the next open.
    if (!BeginListsChange()) return 0;
    int result = 1;
    for (const ListGroupEntry &g : groups)
        if (AddListGroup(g.name, nullptr) == 0) result = 0;  // -1: the name is here already
    MergeAnswers answers;
    answers.replaceAll = replaceAll && *replaceAll;
    answers.keepAll = keepAll && *keepAll;
    if (result)
        result = MergeOtherLists(other.c_str(), OtherUserFolder(otherDataFolder).c_str(), sourceVersion, &answers,
                                 question);
    if (replaceAll) *replaceAll = answers.replaceAll;
    if (keepAll) *keepAll = answers.keepAll;
    return EndListsChange(result);
}

int MakeOldDescriptionName(const char *path, std::string *out) {
    if (!path || !out) return 0;
    std::string p = path;
    size_t slash = p.find_last_of("/\\");
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = p.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return 0;
    *out = p.substr(0, dot + 1) + "0" + p.substr(dot + 1);
    return 1;
}
