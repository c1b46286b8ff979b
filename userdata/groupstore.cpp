// The engine of the per-object grouped stores (see groupstore.h).
#include "userdata/groupstore.h"

#include <cstring>
#include <memory>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"
#include "userdata/packageregistry.h"
#include "userdata/storepaths.h"
#include "userdata/userobjectdata.h"

const GroupStoreKind kNotesKind = {kGroupNotes, "notes", 2, 2};
const GroupStoreKind kWebLinksKind = {kGroupLinks, "links", 3, 3};
const GroupStoreKind kImageLinksKind = {kGroupImageLinks, "image links", 4, 4};
const GroupStoreKind kImagesKind = {kGroupImages, "images", 0, 0};

namespace {

const GroupStoreKind *const kAllKinds[] = {&kNotesKind, &kWebLinksKind, &kImageLinksKind, &kImagesKind};
const int kQuestionBytes = 512;

// The number of changes of this process whose mark is on the disk: while one
// runs, its own mark is no interrupted change.
int g_changesActive = 0;

std::string UserPath(const std::string &relative) {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return std::string();
    return std::string(root) + "/" + relative;
}

std::string LockPathOf(const GroupStoreKind &kind) { return UserPath(std::string(kind.folder) + ".lock"); }
std::string MarkPathOf(const GroupStoreKind &kind) { return UserPath(std::string(kind.folder) + ".mark"); }

const GroupStoreKind *KindOfFolder(const std::string &folder) {
    for (const GroupStoreKind *k : kAllKinds)
        if (folder == k->folder) return k;
    return nullptr;
}

struct MarkedStore {
    const GroupStoreKind *kind;
    bool present;      // the store was there before the change (else a roll-back removes it)
    std::string copy;  // its copy, relative to the user folder
};

// The mark names the stores of the change, one a line: the store's folder,
// 1 or 0 for present, its copy ("tmp/..."), separated by tabs.
bool ReadMark(const std::string &path, std::vector<MarkedStore> *stores) {
    std::string text;
    if (!ReadWholeFile(path.c_str(), &text)) return false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t a = line.find('\t'), b = a == std::string::npos ? a : line.find('\t', a + 1);
        if (b == std::string::npos || b != a + 2) return false;
        MarkedStore s{KindOfFolder(line.substr(0, a)), line[a + 1] == '1', line.substr(b + 1)};
        if (!s.kind || s.copy.compare(0, 4, "tmp/") != 0 || s.copy.find("..") != std::string::npos) return false;
        stores->push_back(s);
    }
    return !stores->empty();
}

// Every store of the mark back from its copy, then the mark goes (and the
// copies, unless kept). 1, or 0 with the mark kept (the next open tries again).
int RollBackFromMark(const std::string &mark, bool keepCopies) {
    std::vector<MarkedStore> stores;
    if (!ReadMark(mark, &stores)) {
        // A mark cut short by a kill while it was written: it guarded no
        // change yet (the change starts once it is whole).
        return SafeRemove(mark.c_str());
    }
    for (const MarkedStore &s : stores) {
        std::string store = GroupStoreFolder(*s.kind), copy = UserPath(s.copy);
        if (store.empty() || (s.present && FsKind(copy) != 1)) return 0;
        if (FsKind(store) >= 0 && !DeleteTree(store.c_str())) return 0;
        if (s.present && !CopyTree(copy.c_str(), store.c_str())) return 0;
    }
    if (!SafeRemove(mark.c_str())) return 0;
    if (!keepCopies)
        for (const MarkedStore &s : stores) DeleteTree(UserPath(s.copy).c_str());
    return 1;
}

// Locks the stores and writes the mark naming their copies.
int WriteChangeMark(StoreChange *change, const std::vector<const GroupStoreKind *> &kinds,
                    const std::vector<std::string> &copies, const std::vector<bool> &present) {
    std::string text;
    for (size_t i = 0; i < kinds.size(); ++i)
        text += std::string(kinds[i]->folder) + "\t" + (present[i] ? "1" : "0") + "\t" + copies[i] + "\n";
    change->kinds = kinds;
    change->copies = copies;
    change->mark = MarkPathOf(*kinds.front());
    if (!WriteWholeFileSafely(change->mark.c_str(), text.data(), text.size())) return 0;
    change->begun = true;
    ++g_changesActive;
    return 1;
}

int LockAll(StoreChange *change, const std::vector<const GroupStoreKind *> &kinds) {
    change->locks.clear();
    for (const GroupStoreKind *kind : kinds) {
        change->locks.emplace_back(new StoreLock);
        if (!LockGroupStore(*kind, change->locks.back().get())) return 0;
    }
    return 1;
}

}  // namespace

std::string GroupStoreFolder(const GroupStoreKind &kind) { return UserPath(kind.folder); }

// ---- groups ------------------------------------------------------------------------

int FindOrAddGroup(int groupKind, const char *name) {
    GroupRecord record;
    int position = FindGroupByName(groupKind, name, &record);
    if (position < 0) return 0;
    if (position == 0) {
        position = AddGroup(groupKind, name, &record);
        if (position < 0) position = -position;  // made meanwhile: the same group
    }
    return position;
}

int StoreGroupPositionByName(int groupKind, const char *name) { return FindOrAddGroup(groupKind, name) - 1; }

std::vector<std::string> StoreFilesIn(const std::string &folder, const char *suffix) {
    std::vector<std::string> names;
    std::vector<FsEntry> entries;
    if (!FsListFolder(folder, entries)) return names;
    for (const FsEntry &e : entries)
        if (!e.isFolder && !e.isLink && IsStoreFileNamed(e.name, suffix) &&
            CompareNamesNoCase(e.name.c_str(), "index.bin") != 0)
            names.push_back(e.name);
    return names;
}

// ---- register and packages ------------------------------------------------------------

std::string GroupStoreRegistryPath(const GroupStoreKind &kind) {
    std::string folder = GroupStoreFolder(kind);
    return folder.empty() ? folder : folder + "/registry.bin";
}

int FindRegisteredKindPackage(const GroupStoreKind &kind, const char *name, FileTimeValue *created) {
    std::string path = GroupStoreRegistryPath(kind);
    return path.empty() ? -1 : FindRegisteredPackage(path.c_str(), name, created);
}

int RegisterKindPackage(const GroupStoreKind &kind, const char *name, const FileTimeValue *created) {
    std::string path = GroupStoreRegistryPath(kind);
    if (path.empty() || !EnsureDirectory(GroupStoreFolder(kind).c_str())) return 0;
    return RegisterPackage(path.c_str(), name, created);
}

FILE *CreateKindPackage(const GroupStoreKind &kind, const char *path, const char *name,
                        const char *description) {
    return CreatePackageFile(path, kind.packageKind, name, description);
}

int CloseKindPackage(const GroupStoreKind &kind, FILE *file, int count, int (*writeEnd)(FILE *file)) {
    if (!file) return 0;
    int32_t counts[5] = {0, 0, 0, 0, 0};
    if (kind.countSlot >= 0 && kind.countSlot < 5) counts[kind.countSlot] = count;
    PackageHeader header;
    bool ok = writeEnd(file) == 1 && FinishPackageCounts(file, counts, &header) == 1 &&
              RegisterKindPackage(kind, header.name, &header.created) == 1;
    return SafeClose(file) && ok ? 1 : 0;
}

int ImportKindPackage(const GroupStoreKind &kind, const char *path, PackageHeader *header,
                      std::string *description, const PackageRecordReader &read) {
    if (!path || !header) return -1;
    FileHandle file(SafeOpen(path, "rb"));
    if (!file) return -1;
    char *text = nullptr;
    if (!ReadPackageHeader(file.get(), header, &text)) return -1;
    std::string desc = text ? text : "";
    delete[] text;
    header->name[sizeof header->name - 1] = '\0';
    if (!PackageHeaderAccepted(header, kind.packageKind) || header->stamp.major < 2) return -1;
    int position = FindOrAddGroup(kind.groupKind, header->name);
    if (position == 0) return -1;
    int count = read(file.get(), position - 1, *header);
    if (count < 0) return -1;
    RegisterKindPackage(kind, header->name, &header->created);
    if (description) *description = desc;
    return count;
}

ProgressTicker::ProgressTicker(void (*callback)(int), int expectedCount)
    : progress(callback), step(expectedCount / 10 < 1 ? 1 : expectedCount / 10) {}

void ProgressTicker::Tick() {
    if (++counter < step) return;
    if (progress) progress(10);
    counter = 0;
}

// ---- the object head of link-type records ------------------------------------------------

int WriteRecordObjectHead(FILE *file, const ObjectRecord &record) {
    LinkRecordHead head{record.objectClass, record.index};
    return SafeWriteAll(file, &head, sizeof head) && WriteUserObjectData(file, record.objectClass, record.index)
               ? 1
               : 0;
}

int WriteRecordsEndHead(FILE *file) {
    LinkRecordHead end{0, -1};
    return file && SafeWriteAll(file, &end, sizeof end) ? 1 : 0;
}

int ReadRecordObjectHead(FILE *file, int sourceVersion, ObjectRecord *record) {
    LinkRecordHead head;
    if (SafeRead(&head, sizeof head, 1, file) != 1) return -1;
    if (head.index == (sourceVersion < 3000 ? 0 : -1)) return 0;
    if (head.objectClass == 0 || ClassCategoryBits(head.objectClass) == 0) return -1;
    ClearObjectRecord(record);
    record->objectClass = head.objectClass;
    record->categoryBits = ClassCategoryBits(head.objectClass);
    int32_t local = head.index, category = static_cast<int32_t>(record->categoryBits);
    if (!ReadUserObjectData(file, head.objectClass, &local, &category, sourceVersion, 0, 1)) return -1;
    record->index = local;
    record->categoryBits = static_cast<uint32_t>(category);
    return 1;
}

// ---- merges ----------------------------------------------------------------------------------

int ForEachOtherGroup(int groupKind, const std::string &otherStore,
                      const std::function<int(const std::string &groupFolder, int target)> &merge) {
    if (FsKind(otherStore + "/groups.bin") != 0) return 0;
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupListIn(otherStore.c_str(), &groups, &count)) return 0;
    std::vector<GroupRecord> list(groups, groups + count);
    FreeGroupList(groups);
    for (GroupRecord &g : list) {
        g.name[sizeof g.name - 1] = '\0';
        g.folder[sizeof g.folder - 1] = '\0';
        if (!IsSafeGroupFolder(g.folder)) return 0;
        int target = StoreGroupPositionByName(groupKind, g.name);
        if (target < 0 || merge(otherStore + "/" + g.folder, target) != 1) return 0;
    }
    return 1;
}

int ForEachObjectFile(const std::string &folder, const char *suffix, bool old,
                      const std::function<int(const std::string &path)> &take) {
    int rows = old ? kOldCategoryFolderCount : kCategoryFolderCount;
    for (int row = 0; row < rows; ++row) {
        std::string from = folder + "/" + (old ? OldCategoryFolderTable[row] : CategoryFolderTable[row].name);
        for (const std::string &name : StoreFilesIn(from, suffix))
            if (take(from + "/" + name) != 1) return 0;
    }
    return 1;
}

bool IncomingFileIsNewer(const std::string &incoming, const std::string &present) {
    FileTimeValue here, there;
    return GetFileWriteTime(present.c_str(), &here) && GetFileWriteTime(incoming.c_str(), &there) &&
           FileTimeTicks(there) > FileTimeTicks(here);
}

bool AskReplaceObject(MergeAnswers *answers, MergeQuestionCallback ask, const char *format,
                      const char *groupName, const ObjectRecord &record, const DesignationPreferences *prefs) {
    char objectName[65] = "";
    if (!FormatObjectName(&record, objectName, prefs, nullptr, nullptr, nullptr))
        std::snprintf(objectName, sizeof objectName, "object %d of class %d", static_cast<int>(record.index),
                      static_cast<int>(record.objectClass));
    char question[kQuestionBytes];
    std::snprintf(question, sizeof question, format, groupName, objectName);
    return AskMergeReplace(answers, ask, question);
}

std::string OtherUserFiles(const std::string &otherFolder) {
    std::string supp = otherFolder + "/supp";
    return FsKind(supp) == 1 ? supp : otherFolder;
}

// ---- writer's lock and marks ----------------------------------------------------------------

int RecoverGroupStores() {
    if (g_changesActive > 0) return 1;
    int ok = 1;
    for (const GroupStoreKind *kind : kAllKinds) {
        std::string mark = MarkPathOf(*kind);
        if (mark.empty() || FsKind(mark) < 0) continue;
        // Under the writers' locks a mark is no change in progress: its
        // writer ended without finishing it.
        std::vector<MarkedStore> stores;
        std::vector<std::unique_ptr<StoreLock>> locks;
        bool keep = false;
        if (ReadMark(mark, &stores))
            for (const MarkedStore &s : stores) {
                keep = keep || s.copy.find(".undo") == std::string::npos;
                locks.emplace_back(new StoreLock);
                if (!AcquireStoreLock(LockPathOf(*s.kind), locks.back().get())) return 0;
            }
        if (FsKind(mark) < 0) continue;  // finished while this process waited
        if (!RollBackFromMark(mark, keep)) ok = 0;
    }
    return ok;
}

int LockGroupStore(const GroupStoreKind &kind, StoreLock *lock) {
    if (!lock) return 0;
    RecoverGroupStores();
    std::string path = LockPathOf(kind);
    return !path.empty() && AcquireStoreLock(path, lock) ? 1 : 0;
}

StoreChange::~StoreChange() {
    if (begun) FinishStoreChange(this);
}

int BeginStoreChange(StoreChange *change, const std::vector<const GroupStoreKind *> &kinds) {
    if (!change || kinds.empty() || change->begun || !LockAll(change, kinds)) return 0;
    std::string tmp = UserPath("tmp");
    if (tmp.empty() || !EnsureDirectory(tmp.c_str())) return 0;
    std::vector<std::string> copies;
    std::vector<bool> present;
    for (const GroupStoreKind *kind : kinds) {
        std::string store = GroupStoreFolder(*kind);
        copies.push_back(std::string("tmp/") + kind->folder + ".undo");
        std::string copy = UserPath(copies.back());
        if (FsKind(copy) >= 0 && !DeleteTree(copy.c_str())) return 0;
        present.push_back(FsKind(store) == 1);
        if (present.back() && !CopyTree(store.c_str(), copy.c_str())) return 0;
    }
    change->keepCopies = false;
    return WriteChangeMark(change, kinds, copies, present);
}

int MarkStoreChange(StoreChange *change, const std::vector<const GroupStoreKind *> &kinds,
                    const std::vector<std::string> &copies) {
    if (!change || kinds.empty() || kinds.size() != copies.size() || change->begun || !LockAll(change, kinds))
        return 0;
    std::vector<bool> present;
    for (size_t i = 0; i < kinds.size(); ++i) {
        present.push_back(FsKind(GroupStoreFolder(*kinds[i])) == 1);
        if (present.back() && FsKind(UserPath(copies[i])) != 1) return 0;
    }
    change->keepCopies = true;
    return WriteChangeMark(change, kinds, copies, present);
}

int FinishStoreChange(StoreChange *change) {
    if (!change || !change->begun) return 1;
    change->begun = false;
    --g_changesActive;
    int ok = SafeRemove(change->mark.c_str()) || FsKind(change->mark) < 0 ? 1 : 0;
    if (!change->keepCopies)
        for (const std::string &copy : change->copies) DeleteTree(UserPath(copy).c_str());
    change->locks.clear();
    return ok;
}

int RollBackStoreChange(StoreChange *change) {
    if (!change || !change->begun) return 0;
    change->begun = false;
    --g_changesActive;
    int r = RollBackFromMark(change->mark, change->keepCopies) ? 0 : -1;
    change->locks.clear();
    return r;
}
