// Backup, restore and merge of the five supplemental files of the user data
// folder as one set: stellar.bin, mp.bin, comet.bin, uds.bin, skymark.bin
// (in this order). Index files are never copied: every restore and merge
// deletes them all so that they are rebuilt from the data files. Backups of
// versions below 3000 hold mp.bin and comet.bin in their older layouts, which
// restore and merge convert.
#pragma once
#include <cstdint>

#include "minorbodies/usercatalogs.h"

const int kSupplementalFileCount = 5;
// The file names in their order.
const char *SupplementalFileName(int i);

// Failure bits of a merge.
const int kMergeFailedStars = 1;
const int kMergeFailedDeepSky = 2;
const int kMergeFailedMinorPlanets = 4;
const int kMergeFailedComets = 8;
const int kMergeFailedSkyMarks = 16;

// Into "<folder>/nightjar backup <name>/supp" (or "<folder>/supp" without a
// name). The files are copied into a new folder first, which then takes the
// place of the earlier backup, so a failed backup leaves the earlier one
// whole. 1 on success, 0 on failure.
int BackUpSupplementalFiles(const char *folder, const char *backupName);
// From "<folder>/<name>/supp" (or, when that is missing, "<folder>/nightjar
// backup <name>/supp"). The current files are saved in "tmp/supp" (emptied
// first) and put back on any failure, and files the restore brought in that
// did not exist before are removed again. 1 restored; 0 with the current
// files as they were.
int RestoreSupplementalFiles(const char *folder, const char *backupName, int version);
// Merges another computer's files (from "<folder>/supp" when it exists,
// else from the folder). Stars and deep-sky objects ask the question (one
// state for both); replace-all in, and out with keep-all, as answered. 1
// when every file merged; 0 when the folder is missing, the minor-planet sort
// failed, or a file failed (its bit set in failureBits).
int MergeSupplementalFiles(const char *folder, int version, int *failureBits, int *replaceAll,
                           int *keepAll, UserCatalogueQuestion question);
// Deletes the index files of minor planets, user stars, deep-sky objects and
// sky marks.
void DeleteSupplementalIndexes();
