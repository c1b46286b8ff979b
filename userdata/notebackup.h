// The notes store's backup folder, its restore with a safety copy, and the
// merge of another computer's notes store into this one.
//
// Backup: "<destination>/nightjar backup <name>/notes" (or, without a name,
// "<destination>/notes") holding "groups.bin", "registry.bin" and per group
// and category folder the note files, without "index.bin". The safety copy
// of a restore is "<user folder>/tmp/notes". Notes of the older generation
// (version below 3000: one folder per old category, no groups) go into the
// group "Imported from Nightjar 2".
#pragma once

#include "userdata/mergequestion.h"

struct DesignationPreferences;

extern const char kImportedGroupName[];  // "Imported from Nightjar 2"

// Group choice (without a name): 2 + the 0-based position of the one group
// to copy, or below 2 for every group. A destination whose backup folder
// would be, hold or lie in the live notes folder is refused (0): making the
// backup would delete the store. Fails (0) when "groups.bin" cannot be
// copied, since a backup without it cannot be restored.
int BackupNotes(const char *destination, const char *backupName, int groupChoice);
// 1 restored; 0 nothing changed or rolled back; -1 when the rollback itself
// failed (the safety copy stays). A backup whose "groups.bin" is missing or
// unreadable, or which lacks the folder of a group it lists (a backup of one
// group), is refused before anything changes.
int RestoreNotes(const char *backupFolder, const char *backupName, int backupVersion);
void DeleteNotesSafetyCopy();
// 1 merged, 0 failed (notes merged before the failure stay). The other
// computer's groups are matched to this store's by display name, looked up
// anew for every group.
int MergeOtherComputerNotes(const char *otherFolder, int otherVersion,
                            const DesignationPreferences *prefs, MergeQuestionCallback ask);
int MergeNotesGroupFolder(const char *groupFolder, int targetGroup,
                          const DesignationPreferences *prefs, MergeQuestionCallback ask);
