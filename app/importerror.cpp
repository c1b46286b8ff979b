// The shared error line of the import passes and the scans of the wizard.
#include "app/importpass.h"

#include <cstdarg>
#include <cstdio>

namespace {
char g_errorLine[kErrorLineSize];
}

char *ImportErrorLine() { return g_errorLine; }

void SetImportError(const char *format, ...) {
    if (!format) {
        g_errorLine[0] = '\0';
        return;
    }
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(g_errorLine, sizeof g_errorLine, format, args);
    va_end(args);
    if (n < 0) g_errorLine[0] = '\0';
}
