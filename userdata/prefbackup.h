// Backup, restore and the horizon merge of the preference files: the 14
// stores of the user data folder that hold the user's settings, sites,
// observers, instruments, eyepieces, colour schemes, scenarios, charts,
// column sets, cameras, filters and lenses, with the loose ".dat" files and
// the obstructed horizons. A backup goes to "<root>/prefs" (root:
// "<destination>/nightjar backup <name>", or the destination without a
// name) with the horizons in "<root>/prefs/horizons"; a restore keeps a
// safety copy in "<user folder>/tmp/prefs" (the horizons too) and puts all
// of it back when any step fails.
#pragma once
#include "userdata/mergequestion.h"

const int kPreferenceFileCount = 14;
const int kPreferenceNameField = 19;
extern const char PreferenceFileTable[kPreferenceFileCount][kPreferenceNameField];

// 1, or 0 when any file that exists could not be copied.
int BackUpPreferenceFiles(const char *destination, const char *backupName);
// Never while a restore's mark is there (its copy is still needed).
void DeletePrefsSafetyCopy();
// A restore leaves a mark ("tmp/prefs.mark") once its safety copy is whole
// and removes it when the restore is complete. A mark still there belongs to
// a restore that was killed part-way: this puts the preference files back
// from the safety copy and removes the mark. Run at start-up and before
// every backup and restore. 1 when the files are whole, 0 when the roll-back
// failed (the mark stays for the next try).
int EnsurePreferencesRecovered();
// Converter of an older file into the current layout (old path, new path;
// 1 done). The chart definitions' stands on a floor above this one, so the
// caller hands it in.
typedef int (*PreferenceFileUpgrader)(const char *oldPath, const char *newPath);
// 1 restored; 0 failed with every preference file, ".dat" file and horizon
// as before. From a backup of the older generation (version below 3000)
// only five files are taken, each in place of the local one: instr.bin and
// loc.bin converted, observer.bin and eyep.bin copied, charts.bin converted
// by chartsUpgrader (without one such a backup is refused, nothing changed).
int RestorePreferenceFiles(const char *folder, const char *backupName, int sourceVersion,
                           PreferenceFileUpgrader chartsUpgrader = nullptr);
// The other computer's horizon files ("<other prefs>/horizons/*.bin") into
// "<user folder>/horizons": a missing one is copied, a newer one replaces
// the local file when the question allows. 1, or 0 when a copy failed.
int MergeHorizonFiles(const char *otherPrefsFolder, int sourceVersion, MergeAnswers *answers,
                      MergeQuestionCallback question);
