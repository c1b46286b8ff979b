// The diagnostic file "debug.txt" in the current folder.
#include "core/debugfile.h"

#include <cstdio>

namespace {
const char kDebugFileName[] = "debug.txt";
}

void AppendDebugLine(const char *text) {
    std::FILE *file = std::fopen(kDebugFileName, "a");
    if (!file) return;
    std::fprintf(file, "%s\n", text ? text : "");
    std::fclose(file);
}

void ClearDebugFile() {
    std::FILE *file = std::fopen(kDebugFileName, "w");
    if (file) std::fclose(file);
}
