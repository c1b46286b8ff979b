// The user data folder: the root under which every store of user data keeps
// its files ("<folder>/<relative name>"). Set once at start-up.
#pragma once
#include <cstdio>

const char *GetUserDataFolder();
// Keeps a copy of the path (at most 511 characters; one trailing "/" or "\"
// is dropped so that "<folder>/<name>" never doubles the separator).
void SetUserDataFolder(const char *path);
// A stream on "<folder>/<name>" opened with the mode; none when the folder is
// not set or the open fails.
FILE *OpenUserDataFile(const char *relativeName, const char *mode);
int UserDataFileExists(const char *relativeName);
// Writes "<folder>/<name>" into out (size bytes); 0 when the folder is not set
// or the path does not fit.
int MakeUserDataPath(char *out, int size, const char *relativeName);
