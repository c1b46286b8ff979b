// The diagnostic file "debug.txt" in the current folder.
#include "core/debugfile.h"

#include <cstdio>

#include "core/safefile.h"

namespace {
const char kDebugFileName[] = "debug.txt";
}

void AppendDebugLine(const char *text) {
    std::FILE *file = SafeOpen(kDebugFileName, "a");
    if (!file) return;
    SafePrintf(file, "%s\n", text ? text : "");
    SafeClose(file);
}

void ClearDebugFile() {
    SafeClose(SafeOpen(kDebugFileName, "w"));
}
