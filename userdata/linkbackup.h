// Backup, restore and merge of the web links store: the backup folder "web
// links" (group list, register, the link files), a restore with the safety
// copy "<user folder>/tmp/links", and the merge of another computer's links
// (its "links" folder, or "web links" of a backup folder).
#pragma once

#include "userdata/mergequestion.h"

struct DesignationPreferences;

int BackupLinks(const char *destination, const char *backupName, int groupChoice);
int RestoreLinks(const char *backupFolder, const char *backupName, int backupVersion);
void DeleteLinksSafetyCopy();
// 1 merged, 0 failed. Groups are matched by display name, looked up anew
// for every group. A user object whose id cannot be matched here is passed
// over and noted (LinksMergeMissedObjects).
int MergeOtherComputerLinks(const char *otherFolder, int otherVersion,
                            const DesignationPreferences *prefs, MergeQuestionCallback ask);
// One group folder of the other computer into the target group. The user
// object's id is translated before the target's links are looked up. When
// the incoming file is newer and the answer is replace, incoming links
// replace those of the same URL and new ones are added in one rewrite; the
// target's other links stay.
int MergeLinksGroupFolder(const char *otherFolder, const char *groupFolder, int targetGroup,
                          const DesignationPreferences *prefs, int otherVersion,
                          MergeQuestionCallback ask);
// 1 when the last merge passed over objects it could not match here.
int LinksMergeMissedObjects();
