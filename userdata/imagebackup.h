// Backup and restore of the image links and images stores together: the
// backup root ("<destination>/nightjar backup <name>", or the destination
// itself without a name) holds "image links" (group list, register, link
// files) and "images" (group list, each images group's files with its
// implot.bin, and at its top every image file a link or plot record names).
// Two different pictures of the same file name from different folders are
// kept apart in the backup: the later one is stored as "<stem>~<n><ext>" and
// "backup_names.txt" there maps its original path to that name.
#pragma once

extern const char kBackupNamesFile[];  // "backup_names.txt"

// Choices without a name: 2 + the position of the one group to copy, below 2
// every group. Backup folders that would be, hold or lie in a live store are
// refused. 1 or 0 (a missing image passes).
int BackupImageLinks(const char *destination, const char *backupName, int linkGroupChoice,
                     int imagesGroupChoice);
// 1 restored; 0 nothing changed or rolled back (both stores); -1 when the
// rollback failed. A linked picture missing at its path is written back
// there only into a folder that exists, else into "images" of the user data
// folder, and linked there.
int RestoreImageLinks(const char *backupFolder, const char *backupName, int backupVersion);
void DeleteImageLinksSafetyCopies();
