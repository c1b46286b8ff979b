// The path of a file that sits beside the program's executable (help file,
// packaged defaults), built from the executable's own path.
#pragma once
#include <cstddef>

// out = exePath cut after its last "\", "/" or ":", then name. 1 when the
// whole path fits in outSize bytes with its terminator. Otherwise 0, and out
// holds the folder followed by "?" (a name no file system accepts, so that
// a caller that opens it anyway fails instead of opening another file), or ""
// when even that does not fit.
int BuildPathBesideExecutable(const char *exePath, const char *name, char *out, size_t outSize);
