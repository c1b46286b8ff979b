// Backup, restore and merge of the observing lists: the lists folder is
// copied into "<destination>/nightjar backup <name>/lists" (or
// "<destination>/lists" without a name), restored from such a folder with a
// safety copy in "<user folder>/tmp/lists" that is put back when anything
// fails, and merged with the lists of another computer's data folder,
// asking the merge question before a different local list is replaced.
//
// Lists of the older generation ("lists21": three-digit numbers, 58-byte
// slots, 264-byte items) are converted on the way in and filed in the group
// "Imported from Nightjar 2".
#pragma once
#include <cstdint>
#include <string>

#include "userdata/mergequestion.h"

int BackUpLists(const char *destination, const char *backupName);
void DeleteListsSafetyCopy();
// 1 restored; 0 failed, with the lists as they were before.
int RestoreLists(const char *folder, const char *backupName, int sourceVersion);
// 1 done; 0 failed (lists merged before the failure stay merged). The
// other computer's user objects should be merged before its lists: an item
// of a user object this computer does not have is dropped.
int MergeListsFromFolder(const char *otherDataFolder, int sourceVersion, int *replaceAll, int *keepAll,
                         MergeQuestionCallback question);
// The lists of another computer's lists folder into the local ones.
int MergeOtherLists(const char *otherListsFolder, const char *otherUserFolder, int sourceVersion,
                    MergeAnswers *answers, MergeQuestionCallback question);
// The lists of an older lists folder into the import group.
int MergeOldGenerationLists(const char *otherListsFolder, const char *otherUserFolder, int sourceVersion,
                            MergeAnswers *answers, MergeQuestionCallback question);
// Translates the user-object ids of the first count items of a list file
// into this computer's ids and drops the items whose object is not known
// here; the count is stored in the file's header. The new count, or -1.
int RemapListUserObjects(const char *otherUserFolder, const char *listPath, int count, int sourceVersion);
// "desc.001" -> "desc.0001": a "0" after the last dot of the file name
// (not of a folder). 1, or 0 when the file name has no dot.
int MakeOldDescriptionName(const char *path, std::string *out);
