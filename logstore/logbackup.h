// Backup, restore and merge of the observing log.
//
// A backup copies only what cannot be rebuilt: the entry files of the 13
// class folders, the key notes of the six index folders, the named notes and
// the package registry, into "<root>/logs", where the root is
// "<destination>/nightjar backup <name>" or, without a name, the destination
// itself. Key lists, summary files and indexes are rebuilt on a restore by
// adding every backed-up entry again.
//
// A restore first marks "<user data>/tmp/log.unrestored" and then moves the
// live log folder aside whole, in one rename, to "<user data>/tmp/log": from
// then on the saved folder is known to be the only whole log. The new log is
// built from the backup in an empty live folder. Any failure removes what it
// wrote and renames the saved folder back; the mark goes only when the live
// log is whole again (restored or put back). While the mark stands, the
// saved folder is never deleted: ClearTempLog refuses, and the next
// RestoreLog first puts the saved log back. A backed-up entry that cannot be
// added again (its object not identified here, or taken for a duplicate of
// another backed-up entry) fails the restore: the log is never left without it.
#pragma once

// Results of RestoreLog.
const int kRestoreDone = 1;
const int kRestorePutBackFailed = -1;
const int kRestoreNoBackup = -100;       // no "logs" folder in that backup, or it lies in the live log
const int kRestoreSetAside = -101;       // the live log could not be set aside (nothing changed)
const int kRestoreNewLog = -104;         // the new, empty live log folder could not be made
const int kRestoreOpenEntry = -500;      // a backed-up entry file cannot be opened (or a class folder made)
const int kRestoreReadEntry = -501;      // a backed-up entry file cannot be read
const int kRestoreAddEntry = -502;       // a backed-up entry could not be added again
const int kRestoreOpenNote = -600;
const int kRestoreReadNote = -601;
const int kRestoreAddNote = -602;        // a named note could not be added again
const int kRestoreCopyKeyNotes = -700;   // copying the key notes or the package registry
const int kRestoreNotReleased = -701;    // restored, but the mark of the saved copy could not be removed

// The sub-folder of a backup root that holds the log.
extern const char *const kLogBackupFolder;  // "logs"
// The scratch copy and its mark, under the user data folder.
extern const char *const kLogScratchFolder;  // "tmp/log"
extern const char *const kLogScratchMark;    // "tmp/log.unrestored"
// The mark of a backup in progress, naming its place.
extern const char *const kLogBackupMark;     // "tmp/log.backup"

// 1, or 0 at the first failure (a partial backup may remain). An existing
// "logs" folder at the target is replaced only when it holds nothing but what
// a log backup holds; a target inside the live log is refused.
int BackupLog(const char *destination, const char *backupName);
// Deletes the scratch copy: 1 (also when there is none), 0 when it cannot be
// deleted or when it is marked as the only whole copy of the log.
int ClearTempLog();
// Rebuilds the log from "<parent>/<backup name>/logs" (the name may be null
// or empty: "<parent>/logs"). backupVersion is the backup's stamp version
// (older names of the class folders below 3000). The result codes above.
int RestoreLog(const char *parent, const char *backupName, int backupVersion);
// Merges the log of another computer's data folder ("log") or of a backup
// ("logs") into this log: 1 merged, 0 at the first failure (what was added
// stays; an entry or note file that cannot be read is a failure). Entries
// already logged and notes already held add nothing, so a merge run again
// after a failure completes it.
int ImportLogBackup(const char *folder, int version);

// True when a restore or a backup of another process (or one a kill
// interrupted) left its mark. Cheap: the log's every reader asks.
bool LogFolderOperationMarked();
// Finishes what a killed restore or backup left, before the log is read: a
// restore is rolled back (the saved log put back in place), a backup's place
// left holding one whole backup, the new one or the earlier one. Waits while
// another process runs one. 1 when the log is sound to read, else 0.
int RecoverLogFolderOperations();
