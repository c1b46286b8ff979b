// What the shared code of the suite asks its host program for. The importer
// answers with neutral values; this file grows with the call-backs the shared
// dialogs use.
#pragma once

struct HPALETTE__;  // the palette handle of <windows.h>

// The palette the shared controls draw their bitmaps with: none (a null
// handle) in the importer, so they draw without selecting a palette.
HPALETTE__ *GetHostPalette();
