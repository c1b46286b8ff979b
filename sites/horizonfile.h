// Per-site obstructed-horizon files: "<user folder>/horizons/<safe name>.bin",
// the site's name made safe with EncodeNameForFileName. Here: the folder path,
// the existence test and the rename that follows a site's change of name.
#pragma once

// "<user folder>/horizons" into buffer (size bytes); returns the buffer, which
// is emptied when the folder is not set or the path does not fit.
char *MakeHorizonFolderPath(char *buffer, int size);
// 1 when the site's horizon file exists.
int HorizonFileExists(const char *siteName);
// Gives the old name's horizon file the new name's path. 1 when the old file
// existed and now bears the new path; 0 otherwise, also when a file of the new
// name exists already (another site's horizon is never overwritten) or the new
// name cannot be a file name (a Windows device name such as CON).
int RenameHorizonFile(const char *oldName, const char *newName);
