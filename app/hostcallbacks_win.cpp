// The importer's answers to the call-backs of the shared code; see
// app/hostcallbacks.h.
#include "core/hostcallbacks.h"

#include <windows.h>

HPALETTE GetHostPalette() { return nullptr; }
