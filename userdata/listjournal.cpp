// The mark of a multi-file change to the observing lists (see listjournal.h).
#include "userdata/listjournal.h"

#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"
#include "core/storelock.h"
#include "core/userfolder.h"
#include "userdata/listgroups.h"
#include "userdata/storepaths.h"

namespace {

// Held by the program making the change for the whole change (an operating-
// system lock, dropped when the program ends however it ends): a mark whose
// lock can be taken belongs to a program that is gone. It keeps no writer of
// the lists waiting (they take the lists' own lock), so a merge may hold it
// while it asks the user.
StoreLock g_changeLock;
bool g_active = false;

std::string UserPath(const char *name) {
    const char *root = GetUserDataFolder();
    return root && *root ? std::string(root) + "/" + name : std::string();
}
std::string AsideFolder() { return UserPath("tmp/lists"); }
std::string MarkPath() { return UserPath("tmp/lists.mark"); }
std::string ChangeLockPath() { return UserPath("lists-change.lock"); }

// The lists as the copy set aside holds them: every file not in it removed,
// every one in it copied back (crash-safely: a roll-back killed part-way is
// done again by the next open).
int RollBack(const std::string &lists, const std::string &aside) {
    int ok = EnsureDirectory(lists.c_str());
    for (const std::string &name : PlainFilesIn(lists))
        if (FsKind(aside + "/" + name) != 0 && !SafeRemove((lists + "/" + name).c_str())) ok = 0;
    for (const std::string &name : PlainFilesIn(aside))
        if (CopyFileKeepTime((aside + "/" + name).c_str(), (lists + "/" + name).c_str()) == 0) ok = 0;
    return ok;
}

}  // namespace

std::vector<std::string> PlainFilesIn(const std::string &folder) {
    std::vector<std::string> names;
    std::vector<FsEntry> entries;
    if (FsListFolder(folder, entries))
        for (const FsEntry &e : entries)
            if (!e.isFolder && !e.isLink) names.push_back(e.name);
    return names;
}

int EnsureListStoreRecovered() {
    if (g_active) return 1;  // this program's own change, under way
    std::string mark = MarkPath(), aside = AsideFolder();
    if (mark.empty() || FsKind(mark) < 0) {
        // No mark: a copy set aside is a leftover of a change that had not
        // begun or had committed; the lists are whole either way.
        return 1;
    }
    StoreLock owner;
    if (!TryStoreLock(ChangeLockPath(), &owner)) return 1;  // its program is still at work
    if (FsKind(mark) < 0) return 1;                          // it ended meanwhile
    if (!RollBack(GetListsFolder(), aside) || !SafeRemove(mark.c_str())) return 0;
    DeleteTree(aside.c_str());
    return 1;
}

int BeginListsChange() {
    if (g_active) return 0;
    if (!EnsureListStoreRecovered()) return 0;
    std::string lists = GetListsFolder(), aside = AsideFolder(), mark = MarkPath();
    if (lists.empty() || aside.empty()) return 0;
    if (!AcquireStoreLock(ChangeLockPath(), &g_changeLock)) return 0;
    if (FsKind(mark) >= 0) {  // another program's change under way
        ReleaseStoreLock(&g_changeLock);
        return 0;
    }
    DeleteTree(aside.c_str());
    bool ok = EnsureDirectory(UserPath("tmp").c_str()) && EnsureDirectory(aside.c_str()) &&
              EnsureDirectory(lists.c_str());
    for (const std::string &name : ok ? PlainFilesIn(lists) : std::vector<std::string>())
        if (ok && CopyFileKeepTime((lists + "/" + name).c_str(), (aside + "/" + name).c_str()) == 0) ok = false;
    // The mark only once the copy is whole: a roll-back from half a copy
    // would lose lists.
    static const char kMarkText[] = "lists change\n";
    ok = ok && WriteWholeFileSafely(mark.c_str(), kMarkText, sizeof kMarkText - 1);
    if (!ok) {
        DeleteTree(aside.c_str());
        ReleaseStoreLock(&g_changeLock);
        return 0;
    }
    g_active = true;
    return 1;
}

int EndListsChange(int ok) {
    if (!g_active) return 0;
    std::string lists = GetListsFolder(), aside = AsideFolder(), mark = MarkPath();
    // The mark's removal is the commit.
    int stands = ok && SafeRemove(mark.c_str());
    if (!stands && RollBack(lists, aside)) SafeRemove(mark.c_str());  // else the next open rolls back
    if (FsKind(mark) < 0) DeleteTree(aside.c_str());
    g_active = false;
    ReleaseStoreLock(&g_changeLock);
    return stands ? 1 : 0;
}
