// The web links store seen as open files: an object's link file opened and
// read line by line, the paths of an index and a link file, and the order of
// group-listing keys. These are thin entries over the store in linkstore.h:
// the file is opened for reading only, and every change still goes through
// AddObjectLink, DeleteLink and the others, which write whole files through
// the crash-safe layer.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "userdata/linkstore.h"

struct ObjectRecord;

// After making every missing index of the group (EnsureLinkIndexFiles), the
// path of the index of the category into path (size bytes). 1, or 0 (path
// emptied) for an unknown category, a missing user folder or too small a
// buffer.
int MakeLinkIndexPath(const char *groupFolder, uint32_t category, char *path, int size);
// The same for the link file of an object of the class and category with that
// catalogue index (or user-object id).
int MakeLinkFilePath(const char *groupFolder, int objectClass, uint32_t category, int32_t index,
                     char *path, int size);

// The object's link file in the group, open for reading ("rb") and positioned
// after its three header lines. An object without a link file gets one with
// the header lines and no link (written through the crash-safe layer). None
// when the group cannot be read, the file cannot be made or opened, or its
// header is not that of a link file naming exactly this object.
FILE *OpenLinkFile(int group, const ObjectRecord *record);
// The next line split at its first "#" (URL and description empty for a line
// without one). 1 while a line was read, 0 at the end or on a read error.
int ReadLinkLine(FILE *file, std::string *url, std::string *description);
// The split of the n-th following line (0-based). 0 when there is none or it
// holds no "#".
int ReadLinkLineAt(FILE *file, int n, std::string *url, std::string *description);

// The order of group-listing keys: by key as a signed integer with the mark
// bit 0x10000000 cleared, then by category bits. Negative, 0 or positive.
int CompareLinkKeyEntries(const LinkKeyEntry *a, const LinkKeyEntry *b);
