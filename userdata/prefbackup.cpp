// Backup, restore and horizon merge of the preference files (see prefbackup.h).
#include "userdata/prefbackup.h"

#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/storelock.h"
#include "core/textutil.h"
#include "core/userfolder.h"
#include "instruments/instrumentupgrade.h"
#include "sites/siteupgrade.h"
#include "userdata/storepaths.h"

const char PreferenceFileTable[kPreferenceFileCount][kPreferenceNameField] = {
    "dds.bin",      "instr.bin",          "observer.bin", "loc.bin",    "eyep.bin",
    "ms.bin",       "scenario.bin",       "charts.bin",   "schemeregistry.bin",
    "msp.bin",      "cc.bin",             "camera.bin",   "filters.bin", "lenses.bin"};

namespace {

const int kQuestionBytes = 512;

std::string UserFolder() {
    const char *root = GetUserDataFolder();
    return root && *root ? std::string(root) : std::string();
}

std::string SafetyFolder() {
    std::string user = UserFolder();
    return user.empty() ? user : user + "/tmp/prefs";
}
std::string MarkPath() {
    std::string user = UserFolder();
    return user.empty() ? user : user + "/tmp/prefs.mark";
}
// Held by a restore for its whole run (dropped by the system however the
// program ends): a mark whose lock can be taken is a killed restore's.
std::string RestoreLockPath() {
    std::string user = UserFolder();
    return user.empty() ? user : user + "/tmp/prefs.lock";
}
bool g_restoring = false;

std::vector<std::string> FilesWithSuffix(const std::string &folder, const char *suffix) {
    std::vector<std::string> names;
    std::vector<FsEntry> entries;
    if (FsListFolder(folder, entries))
        for (const FsEntry &e : entries)
            if (!e.isFolder && !e.isLink && IsStoreFileNamed(e.name, suffix)) names.push_back(e.name);
    return names;
}

// The 14 files and the ".dat" files of one folder, by name.
std::vector<std::string> PreferenceNamesIn(const std::string &folder) {
    std::vector<std::string> names;
    for (const auto &name : PreferenceFileTable)
        if (FsKind(folder + "/" + name) == 0) names.push_back(name);
    for (const std::string &dat : FilesWithSuffix(folder, ".dat")) names.push_back(dat);
    return names;
}

// Copies the named files (and, with horizons, every file of the horizons
// folder) from one folder to another. 1 when all went.
int CopyPreferences(const std::string &from, const std::string &to, const std::vector<std::string> &names,
                    bool horizons) {
    for (const std::string &name : names)
        if (CopyFileKeepTime((from + "/" + name).c_str(), (to + "/" + name).c_str()) == 0) return 0;
    if (!horizons) return 1;
    std::string hFrom = from + "/horizons", hTo = to + "/horizons";
    if (FsKind(hFrom) != 1) return 1;
    if (!EnsureDirectory(hTo.c_str())) return 0;
    for (const std::string &name : FilesWithSuffix(hFrom, ""))
        if (CopyFileKeepTime((hFrom + "/" + name).c_str(), (hTo + "/" + name).c_str()) == 0) return 0;
    return 1;
}

}  // namespace

int BackUpPreferenceFiles(const char *destination, const char *backupName) {
    std::string user = UserFolder();
    if (!destination || !*destination || user.empty() || !EnsurePreferencesRecovered()) return 0;
    bool named = backupName && *backupName;
    std::string root = named ? std::string(destination) + "/nightjar backup " + backupName : std::string(destination);
    std::string target = root + "/prefs";
    if (PathsOverlap(target, user)) return 0;
    if (!EnsureDirectory(destination) || !EnsureDirectory(root.c_str())) return 0;
    if (FsKind(target) >= 0 && !DeleteTree(target.c_str())) return 0;
    if (!EnsureDirectory(target.c_str())) return 0;
    // A missing file is skipped; any other failed copy fails the backup.
    return CopyPreferences(user, target, PreferenceNamesIn(user), true);
}

void DeletePrefsSafetyCopy() {
    std::string safety = SafetyFolder();
    if (!safety.empty() && FsKind(MarkPath()) < 0) DeleteTree(safety.c_str());
}

namespace {

// How a file of an older backup comes in: copied, converted or left alone.
int TakeOlderPreferenceFile(const std::string &name, const std::string &saved, const std::string &local,
                            PreferenceFileUpgrader chartsUpgrader) {
    PreferenceFileUpgrader convert = nullptr;
    if (name == "instr.bin") convert = UpgradeInstrumentFile;
    else if (name == "loc.bin") convert = UpgradeLocationFile;
    else if (name == "charts.bin") convert = chartsUpgrader;
    else if (name != "observer.bin" && name != "eyep.bin") return 1;  // the other nine stay
    if (FsKind(saved) != 0) return FsKind(local) == 0 ? SafeRemove(local.c_str()) : 1;
    if (convert) return convert(saved.c_str(), local.c_str());
    return CopyFileKeepTime(saved.c_str(), local.c_str()) != 0;
}

// The preference files as the safety copy holds them: the 14 files (those
// absent before removed again), the ".dat" files and the horizons. Every
// step crash-safe, so a roll-back killed part-way is done again.
int RollBackPreferences(const std::string &user, const std::string &safety) {
    // The temporaries of rewrites the killed restore left half-made.
    for (const std::string &folder : {user, user + "/horizons"})
        for (const std::string &name : FilesWithSuffix(folder, ".tmp"))
            if (IsRewriteTemporaryName(name)) SafeRemove((folder + "/" + name).c_str());
    for (const auto &name : PreferenceFileTable) {
        std::string local = user + "/" + name;
        if (FsKind(safety + "/" + name) != 0 && FsKind(local) == 0) SafeRemove(local.c_str());
    }
    for (const std::string &dat : FilesWithSuffix(user, ".dat"))
        if (FsKind(safety + "/" + dat) != 0) SafeRemove((user + "/" + dat).c_str());
    std::string horizons = user + "/horizons";
    for (const std::string &h : FilesWithSuffix(horizons, ""))
        if (FsKind(safety + "/horizons/" + h) != 0) SafeRemove((horizons + "/" + h).c_str());
    return CopyPreferences(safety, user, PreferenceNamesIn(safety), true);
}

}  // namespace

int EnsurePreferencesRecovered() {
    std::string user = UserFolder(), mark = MarkPath();
    if (g_restoring || user.empty() || FsKind(mark) < 0) return 1;
    StoreLock owner;
    if (!TryStoreLock(RestoreLockPath(), &owner)) return 1;  // a restore at work
    if (FsKind(mark) < 0) return 1;
    if (!RollBackPreferences(user, SafetyFolder()) || !SafeRemove(mark.c_str())) return 0;
    DeleteTree(SafetyFolder().c_str());
    return 1;
}

int RestorePreferenceFiles(const char *folder, const char *backupName, int sourceVersion,
                           PreferenceFileUpgrader chartsUpgrader) {
    const int kFirstCurrentVersion = 3000;
    std::string user = UserFolder();
    const bool older = sourceVersion < kFirstCurrentVersion;
    if (!folder || !backupName || user.empty() || (older && !chartsUpgrader)) return 0;
    std::string source = std::string(folder) + "/" + backupName + "/prefs";
    if (FsKind(source) != 1 || PathsOverlap(source, user)) return 0;
    if (!EnsurePreferencesRecovered()) return 0;
    StoreLock restoring;
    if (!EnsureDirectory((user + "/tmp").c_str()) || !AcquireStoreLock(RestoreLockPath(), &restoring) ||
        FsKind(MarkPath()) >= 0)
        return 0;
    DeletePrefsSafetyCopy();
    std::string safety = SafetyFolder(), mark = MarkPath();
    if (!EnsureDirectory((user + "/tmp").c_str()) || !EnsureDirectory(safety.c_str())) return 0;
    std::vector<std::string> present = PreferenceNamesIn(user);
    // The mark once the safety copy is whole: from then on a kill is rolled
    // back by the next start-up (or backup, or restore).
    static const char kMarkText[] = "preferences restore\n";
    if (!CopyPreferences(user, safety, present, true) ||
        !WriteWholeFileSafely(mark.c_str(), kMarkText, sizeof kMarkText - 1)) {
        DeletePrefsSafetyCopy();
        return 0;
    }
    g_restoring = true;
    // Each of the 14 is replaced by the backup's (a file the backup lacks is
    // gone afterwards, as it was at the time of the backup); the backup's
    // ".dat" files and horizons replace the local ones of their names.
    bool ok = true;
    for (const auto &name : PreferenceFileTable) {
        std::string local = user + "/" + name, saved = source + "/" + name;
        if (older) ok = TakeOlderPreferenceFile(name, saved, local, chartsUpgrader) != 0;
        else if (FsKind(saved) == 0) ok = CopyFileKeepTime(saved.c_str(), local.c_str()) != 0;
        else if (FsKind(local) == 0) ok = SafeRemove(local.c_str()) != 0;
        if (!ok) break;
    }
    if (ok) ok = CopyPreferences(source, user, FilesWithSuffix(source, ".dat"), true) != 0;
    // The mark's removal is the commit.
    if (ok) ok = SafeRemove(mark.c_str()) != 0;
    g_restoring = false;
    if (!ok) {
        // Back as it was; when that fails too, the mark and the safety copy
        // stay for the next try.
        if (!RollBackPreferences(user, safety) || !SafeRemove(mark.c_str())) return 0;
    }
    DeletePrefsSafetyCopy();
    return ok ? 1 : 0;
}

int MergeHorizonFiles(const char *otherPrefsFolder, int sourceVersion, MergeAnswers *answers,
                      MergeQuestionCallback question) {
    std::string user = UserFolder();
    if (!otherPrefsFolder || !answers || user.empty()) return 0;
    std::string other = std::string(otherPrefsFolder) + "/horizons", local = user + "/horizons";
    std::vector<std::string> names = FilesWithSuffix(other, ".bin");
    if (names.empty()) return 1;
    if (!EnsureDirectory(local.c_str())) return 0;
    for (const std::string &name : names) {
        std::string from = other + "/" + name, to = local + "/" + name;
        if (FsKind(to) == 0) {
            FileTimeValue theirs, mine;
            if (!GetFileWriteTime(from.c_str(), &theirs) || !GetFileWriteTime(to.c_str(), &mine)) return 0;
            if (FileTimeTicks(theirs) <= FileTimeTicks(mine)) continue;
            std::string site = name.substr(0, name.size() - 4);
            std::vector<char> decoded(site.begin(), site.end());
            decoded.push_back('\0');
            DecodeNameFromFileName(decoded.data());
            char message[kQuestionBytes];
            std::snprintf(message, sizeof message, "The obstructed horizon for %s is newer than the one present.",
                          decoded.data());
            if (!AskMergeReplace(answers, question, message)) continue;
        }
        if (CopyFileKeepTime(from.c_str(), to.c_str()) != 1) return 0;
    }
    return 1;
}
