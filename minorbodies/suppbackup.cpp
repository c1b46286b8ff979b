// Backup, restore and merge of the supplemental files (see suppbackup.h).
// Every copy goes through the crash-safe layer (read whole, written beside
// the target and put in place), keeping the source's last-write time.
#include "minorbodies/suppbackup.h"

#include <cstdio>
#include <string>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usercometupgrade.h"
#include "minorbodies/usermp.h"
#include "minorbodies/userstoreio.h"

namespace {

const char *const kFiles[kSupplementalFileCount] = {"stellar.bin", "mp.bin", "comet.bin", "uds.bin", "skymark.bin"};
const int kOldVersion = 3000;

std::string Join(const std::string &folder, const char *name) { return folder + "/" + name; }

std::string UserPath(const char *name) {
    char path[1024];
    return MakeStorePath(path, name) ? std::string(path) : std::string();
}

bool IsFolder(const std::string &path) { return FsKind(path) == 1; }
bool IsFile(const std::string &path) { return FsKind(path) == 0; }

bool MakeEmptyFolder(const std::string &folder) {
    if (FsKind(folder) >= 0 && !DeleteTree(folder.c_str())) return false;
    return EnsureDirectory(folder.c_str()) == 1;
}

// Puts a converted or copied backup file in place of the user's file.
int BringIn(const std::string &source, const std::string &target, int index, int version) {
    if (version < kOldVersion && index == 1) return UpgradeUserMinorPlanetFile(source.c_str(), target.c_str());
    if (version < kOldVersion && index == 2) return UpgradeUserCometFile(source.c_str(), target.c_str());
    return CopyFileKeepTime(source.c_str(), target.c_str()) == 1;
}

// Merges the records of one of the catalogue files; 1, or 0 on a failure.
template <typename Record>
int MergeCatalogue(const std::string &otherPath, FILE *(*openOther)(const char *, int32_t *),
                   FILE *(*openLocal)(int32_t *), int (*read)(FILE *, Record *, int32_t),
                   int (*merge)(FILE *, Record *, int, UserCatalogueQuestion, int *), UserCatalogueQuestion question,
                   int *state, int *replaceAll, int *keepAll) {
    if (!IsFile(otherPath)) return 1;
    int32_t count = 0;
    FILE *other = openOther(otherPath.c_str(), &count);
    if (!other) return 0;
    FILE *local = openLocal(nullptr);
    int ok = local != nullptr;
    for (int32_t i = 0; ok && i < count; ++i) {
        Record r;
        ok = read(other, &r, i) && merge(local, &r, *replaceAll, question, state);
        if (*state == kMergeStateReplaceAll) *replaceAll = 1;
        if (*state == kMergeStateKeepAll) *keepAll = 1;
    }
    SafeClose(other);
    if (local) SafeClose(local);
    return ok;
}

int MergeStars(FILE *f, UserStarRecord *r, int replace, UserCatalogueQuestion q, int *state) {
    return MergeUserStarRecord(f, r, replace, q, state);
}
int MergeDeepSky(FILE *f, UserDeepSkyRecord *r, int replace, UserCatalogueQuestion q, int *state) {
    return MergeUserDeepSkyRecord(f, r, replace, q, state);
}
int MergeMarks(FILE *f, SkyMarkRecord *r, int, UserCatalogueQuestion, int *) {
    // Incoming sky marks always win, without a question.
    return MergeSkyMarkRecord(f, r, 1);
}

// 1 merged, 0 a set failed, -1 the sort failed.
int MergeMinorPlanets(const std::string &otherPath, int version) {
    if (!IsFile(otherPath)) return 1;
    int32_t otherCount = 0;
    FILE *other = OpenOtherUserMinorPlanetFile(otherPath.c_str(), &otherCount);
    if (!other) return 0;
    int32_t count = 0;
    FILE *local = OpenUserMinorPlanetFile(&count);
    const int32_t before = count;
    int ok = local != nullptr;
    for (int32_t i = 0; ok && i < otherCount; ++i) {
        MinorPlanetRecord r;
        ok = (version < kOldVersion ? ReadOldUserMinorPlanetRecord(other, i, &r)
                                    : ReadUserMinorPlanetRecord(other, &r, i)) &&
             AddUserMinorPlanetElements(local, &r, &count) != 0;
    }
    SafeClose(other);
    int result = ok;
    if (local && count != before) {
        int32_t highest = 0;
        if (!SortUserMinorPlanetFile(&local, count, &highest)) result = -1;
    }
    if (local) SafeClose(local);
    return result;
}

int MergeComets(const std::string &otherPath, int version) {
    if (!IsFile(otherPath)) return 1;
    int32_t otherCount = 0;
    FILE *other = OpenOtherUserCometFile(otherPath.c_str(), &otherCount);
    if (!other) return 0;
    FILE *local = OpenUserCometFile(nullptr);
    int ok = local != nullptr;
    for (int32_t i = 0; ok && i < otherCount; ++i) {
        CometRecord r;
        ok = (version < kOldVersion ? ReadOldUserCometRecord(other, i, &r) : ReadUserCometRecord(other, &r, i)) &&
             AddUserCometElements(&local, &r, 1, 1) != 0;
    }
    SafeClose(other);
    if (local) SafeClose(local);
    return ok;
}

}  // namespace

const char *SupplementalFileName(int i) { return i >= 0 && i < kSupplementalFileCount ? kFiles[i] : nullptr; }

void DeleteSupplementalIndexes() {
    DeleteUserMinorPlanetIndexes();
    DeleteUserStarIndexes();
    DeleteUserDeepSkyIndexes();
    DeleteSkyMarkIndexes();
}

int BackUpSupplementalFiles(const char *folder, const char *backupName) {
    if (!folder || !*folder || !EnsureDirectory(folder)) return 0;
    std::string root = folder;
    if (backupName && *backupName) root += std::string("/nightjar backup ") + backupName;
    if (!EnsureDirectory(root.c_str())) return 0;
    const std::string supp = root + "/supp";
    const std::string fresh = root + "/supp.new";
    const std::string previous = root + "/supp.old";
    // The new copy is made whole beside the old backup before it replaces it.
    if (!MakeEmptyFolder(fresh)) return 0;
    for (const char *name : kFiles) {
        if (CopyFileKeepTime(UserPath(name).c_str(), Join(fresh, name).c_str()) == 0) {
            DeleteTree(fresh.c_str());
            return 0;
        }
    }
    if (FsKind(previous) >= 0 && !DeleteTree(previous.c_str())) return 0;
    if (FsKind(supp) >= 0 && !SafeReplace(supp.c_str(), previous.c_str())) return 0;
    if (!SafeReplace(fresh.c_str(), supp.c_str())) {
        SafeReplace(previous.c_str(), supp.c_str());
        return 0;
    }
    if (FsKind(previous) >= 0) DeleteTree(previous.c_str());
    return 1;
}

int RestoreSupplementalFiles(const char *folder, const char *backupName, int version) {
    if (!folder || !backupName) return 0;
    std::string source = std::string(folder) + "/" + backupName + "/supp";
    if (!IsFolder(source)) source = std::string(folder) + "/nightjar backup " + backupName + "/supp";
    if (!IsFolder(source)) return 0;
    const std::string tmp = UserPath("tmp");
    if (tmp.empty() || !EnsureDirectory(tmp.c_str())) return 0;
    const std::string saved = tmp + "/supp";
    // Leftovers of an earlier, interrupted restore must not be put back.
    if (!MakeEmptyFolder(saved)) return 0;
    // Which files exist is known for all five before anything can fail, so
    // that a put-back never mistakes an unsaved file for one the restore brought.
    bool wasThere[kSupplementalFileCount] = {};
    for (int i = 0; i < kSupplementalFileCount; ++i) wasThere[i] = IsFile(UserPath(kFiles[i]));
    bool ok = true;
    for (int i = 0; ok && i < kSupplementalFileCount; ++i)
        if (wasThere[i]) ok = CopyFileKeepTime(UserPath(kFiles[i]).c_str(), Join(saved, kFiles[i]).c_str()) == 1;
    for (int i = 0; ok && i < kSupplementalFileCount; ++i) {
        std::string current = UserPath(kFiles[i]);
        std::string backup = Join(source, kFiles[i]);
        if (IsFile(backup)) {
            ok = BringIn(backup, current, i, version) == 1;
        } else if (IsFile(current)) {
            ok = SafeRemove(current.c_str()) == 1;
        }
    }
    if (!ok) {
        // Put back what was saved; what was not there before goes again.
        for (int i = 0; i < kSupplementalFileCount; ++i) {
            std::string current = UserPath(kFiles[i]);
            if (wasThere[i]) CopyFileKeepTime(Join(saved, kFiles[i]).c_str(), current.c_str());
            else if (IsFile(current)) SafeRemove(current.c_str());
        }
    }
    DeleteSupplementalIndexes();
    DeleteTree(saved.c_str());
    return ok ? 1 : 0;
}

int MergeSupplementalFiles(const char *folder, int version, int *failureBits, int *replaceAll, int *keepAll,
                           UserCatalogueQuestion question) {
    int bits = 0;
    if (failureBits) *failureBits = 0;
    if (!folder || !IsFolder(folder)) return 0;
    std::string other = folder;
    if (IsFolder(other + "/supp")) other += "/supp";
    int replace = replaceAll ? *replaceAll : 0;
    int keep = 0;
    int state = kMergeStateAsk;
    if (!MergeCatalogue<UserStarRecord>(Join(other, "stellar.bin"), OpenOtherUserStarFile, OpenUserStarFile,
                                        ReadUserStarRecord, MergeStars, question, &state, &replace, &keep))
        bits |= kMergeFailedStars;
    if (!MergeCatalogue<UserDeepSkyRecord>(Join(other, "uds.bin"), OpenOtherUserDeepSkyFile, OpenUserDeepSkyFile,
                                           ReadUserDeepSkyRecord, MergeDeepSky, question, &state, &replace, &keep))
        bits |= kMergeFailedDeepSky;
    int planets = MergeMinorPlanets(Join(other, "mp.bin"), version);
    if (planets < 0) {
        DeleteSupplementalIndexes();
        if (failureBits) *failureBits = bits | kMergeFailedMinorPlanets;
        return 0;
    }
    if (!planets) bits |= kMergeFailedMinorPlanets;
    if (!MergeComets(Join(other, "comet.bin"), version)) bits |= kMergeFailedComets;
    int markState = kMergeStateAsk, markReplace = 1, markKeep = 0;
    if (!MergeCatalogue<SkyMarkRecord>(Join(other, "skymark.bin"), OpenOtherSkyMarkFile, OpenSkyMarkFile,
                                       ReadSkyMarkRecord, MergeMarks, nullptr, &markState, &markReplace, &markKeep))
        bits |= kMergeFailedSkyMarks;
    DeleteSupplementalIndexes();
    if (failureBits) *failureBits = bits;
    if (replaceAll) *replaceAll = replace;
    if (keepAll) *keepAll = keep;
    // A file that failed is no success: the bits say which.
    return bits == 0 ? 1 : 0;
}
