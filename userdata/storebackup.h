// The backup and restore frame shared by the web-links and image-links
// stores: a backup copies the group list, the register and every group's
// object files (by suffix, never the index files) into "<root>/<backup
// folder>", where the root is "<destination>/nightjar backup <name>" or,
// without a name, the destination itself; a restore keeps a safety copy of
// the store in "<user folder>/tmp/<safety name>", rebuilds the store from the
// backup file by file through the store's own import, and puts the safety
// copy back when any step fails.
#pragma once
#include <string>
#include <vector>

#include "userdata/groupstore.h"

struct StoreShape {
    int kind;                  // GroupKind of core/grouplist.h
    const char *storeFolder;   // under the user data folder: "links", ...
    const char *backupFolder;  // inside the backup root: "web links", ...
    const char *suffix;        // the object files: ".dat"
    const char *safetyName;    // under "<user folder>/tmp"
};

std::string StoreFolderOf(const StoreShape &shape);

// 1 or 0. Group choice without a name: 2 + the position of the one group to
// copy, below 2 every group. A backup folder that would be, hold or lie in
// the live store is refused; the group list must be copied.
int BackupStore(const StoreShape &shape, const char *destination, const char *backupName,
                int groupChoice);

// Makes a group's empty index of a row (reset), and takes one backup file
// of a group into the store: 1 done, 0 failed (the restore rolls back).
typedef int (*StoreIndexMaker)(const char *groupFolder, int row);
typedef int (*StoreFileImporter)(const std::string &path, int group);

// 1 restored; 0 nothing changed or rolled back; -1 when the rollback failed
// (the safety copy stays). A backup whose group list is missing or
// unreadable or which lacks a folder of a group it lists is refused before
// anything changes. Older data (version below 3000: one folder per old
// category, no groups) goes into the group "Imported from Nightjar 2".
int RestoreStore(const StoreShape &shape, const char *backupFolder, const char *backupName,
                 int backupVersion, StoreIndexMaker makeIndex, StoreFileImporter import);
void DeleteStoreSafetyCopy(const StoreShape &shape);
