// The engine of the per-object grouped stores (notes, web links, image links
// and the plottable images beside them): what the four kinds do alike, with
// each kind naming only its own layout in a GroupStoreKind record and
// passing its record reader or file handler as a function.
//
//   - group lookup by display name, made when absent;
//   - the package (exchange file): header, register "<store>/registry.bin",
//     the import pipeline (header checks, the group of the package's name,
//     the kind's record loop, the register entry) and the progress ticks;
//   - the object head {uint8 class, int32 index} + user-object block of the
//     link-type records;
//   - the merge walk over another computer's groups and object files, the
//     newer-file test and the replace question;
//   - the writer's lock of a store ("<user folder>/<store>.lock",
//     core/storelock.h) and the mark of a multi-file change (restore, merge):
//     written before the first change with a safety copy of the store, and
//     finished or rolled back by the store's next open.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/package.h"
#include "core/storelock.h"
#include "userdata/mergequestion.h"

struct ObjectRecord;
struct DesignationPreferences;

struct GroupStoreKind {
    int groupKind;          // GroupKind of core/grouplist.h
    const char *folder;     // the store under the user data folder: "notes", ...
    int packageKind;        // the package header's kind: 2 notes, 3 links, 4 image links
    int countSlot;          // which of the header's five counts holds the records
};
extern const GroupStoreKind kNotesKind;
extern const GroupStoreKind kWebLinksKind;
extern const GroupStoreKind kImageLinksKind;
extern const GroupStoreKind kImagesKind;  // no packages of its own

// "<user folder>/<folder>"; "" when the user folder is not set.
std::string GroupStoreFolder(const GroupStoreKind &kind);

// ---- groups --------------------------------------------------------------------
// The 1-based position of the group of that display name, made when absent
// (a group another writer made meanwhile is the same group); 0 on failure.
int FindOrAddGroup(int groupKind, const char *name);
// The 0-based position, made when absent; -1 on failure.
int StoreGroupPositionByName(int groupKind, const char *name);
// The object files of a folder in byte order (plain files with the suffix,
// "index.bin" never among them).
std::vector<std::string> StoreFilesIn(const std::string &folder, const char *suffix);

// ---- register and packages ---------------------------------------------------------
std::string GroupStoreRegistryPath(const GroupStoreKind &kind);
int FindRegisteredKindPackage(const GroupStoreKind &kind, const char *name, FileTimeValue *created);
int RegisterKindPackage(const GroupStoreKind &kind, const char *name, const FileTimeValue *created);
FILE *CreateKindPackage(const GroupStoreKind &kind, const char *path, const char *name,
                        const char *description);
// writeEnd writes the kind's end record; then the count into its slot and
// the register entry. Closes the file in every case; 1 when all was done.
int CloseKindPackage(const GroupStoreKind &kind, FILE *file, int count, int (*writeEnd)(FILE *file));
// Reads the records into the group (0-based): the number set, or -1.
typedef std::function<int(FILE *file, int group, const PackageHeader &header)> PackageRecordReader;
// Header (the kind's, version 2 or later), the group of the package's name,
// the records, the register entry. The number of records set, or -1.
int ImportKindPackage(const GroupStoreKind &kind, const char *path, PackageHeader *header,
                      std::string *description, const PackageRecordReader &read);

// Calls progress(10) each time a tenth of the expected records went by.
struct ProgressTicker {
    void (*progress)(int step) = nullptr;
    int step = 1;
    int counter = 0;
    ProgressTicker(void (*callback)(int), int expectedCount);
    void Tick();
};

// ---- the object head of link-type records ----------------------------------------------
#pragma pack(push, 1)
struct LinkRecordHead {
    uint8_t objectClass;
    int32_t index;
};
#pragma pack(pop)
static_assert(sizeof(LinkRecordHead) == 5, "LinkRecordHead is 5 bytes");
// Writes {class, index} and the user-object block. 1, or 0.
int WriteRecordObjectHead(FILE *file, const ObjectRecord &record);
// 1 an object read (its user object found or added here), 0 the end record
// (index -1, or 0 below version 3000), -1 a read error or a malformed head.
int ReadRecordObjectHead(FILE *file, int sourceVersion, ObjectRecord *record);
// The end record {class 0, index -1}. 1, or 0.
int WriteRecordsEndHead(FILE *file);

// ---- merges ---------------------------------------------------------------------------
// Each group of another computer's store folder (its "groups.bin" must be
// there) with the position of this store's group of the same display name,
// looked up anew for every group. 1 when every call returned 1.
int ForEachOtherGroup(int groupKind, const std::string &otherStore,
                      const std::function<int(const std::string &groupFolder, int target)> &merge);
// The object files of a group folder, category row by row (or of the older
// generation's category folders below a store with old set). 1 when every
// call returned 1.
int ForEachObjectFile(const std::string &folder, const char *suffix, bool old,
                      const std::function<int(const std::string &path)> &take);
// The incoming file is later than the present one (both times readable).
bool IncomingFileIsNewer(const std::string &incoming, const std::string &present);
// Asks whether the present item of the object goes: the question is the
// format with the group's name and the object's name as its two "%s".
bool AskReplaceObject(MergeAnswers *answers, MergeQuestionCallback ask, const char *format,
                      const char *groupName, const ObjectRecord &record, const DesignationPreferences *prefs);
// The other computer's user files: "<other>/supp" or the folder itself.
std::string OtherUserFiles(const std::string &otherFolder);

// ---- writer's lock and the mark of multi-file changes --------------------------------
// Takes the store's writer lock after finishing or rolling back what an
// interrupted change left. 1 held, 0 when another writer held it all the wait.
int LockGroupStore(const GroupStoreKind &kind, StoreLock *lock);
// Finishes what a killed change left: with its mark there (and this process
// not the one making it) the store is put back from the safety copy. 1 when
// the store is sound to use (nothing to do, or rolled back), 0 when the
// roll-back failed (the mark stays). Cheap when there is nothing to do.
int RecoverGroupStores();

// One multi-file change of one or more stores, guarded by a mark
// "<user folder>/<first store's folder>.mark" that names each store and a
// whole copy of it under "<user folder>/tmp", written after the copies and
// before the first change. Finish removes the mark (then the copies, unless
// they are the caller's); RollBack (or, after a kill, the next open of any
// of these stores) puts every store back from its copy, then removes the mark.
struct StoreChange {
    std::vector<const GroupStoreKind *> kinds;
    std::vector<std::string> copies;  // relative to the user folder
    std::vector<std::unique_ptr<StoreLock>> locks;
    std::string mark;
    bool begun = false;
    bool keepCopies = false;
    StoreChange() = default;
    StoreChange(const StoreChange &) = delete;
    StoreChange &operator=(const StoreChange &) = delete;
    ~StoreChange();  // a change neither finished nor rolled back is finished
};
// Locks the stores, copies each to "tmp/<folder>.undo" and writes the mark.
// 1, or 0 with nothing changed.
int BeginStoreChange(StoreChange *change, const std::vector<const GroupStoreKind *> &kinds);
// As Begin, for copies the caller made already (a restore's safety copies,
// which stay after the change).
int MarkStoreChange(StoreChange *change, const std::vector<const GroupStoreKind *> &kinds,
                    const std::vector<std::string> &copies);
int FinishStoreChange(StoreChange *change);
// 0 rolled back, -1 when that failed (the mark stays for the next open).
int RollBackStoreChange(StoreChange *change);
