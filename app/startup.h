// The start-up of the program's data: the suite's folders found, then the
// minor-body database folders set, the comet field search given its
// visibility and imaging tests, and the ephemeris tables loaded from the
// solar-system folders.
#pragma once

// 1 when every folder of the suite was found (ResolveDataDirectories of
// core/datapaths.h); the minor-body folders are then set and the ephemeris
// tables loaded. A missing ephemeris table does not stop the start-up: the
// ephemeris code reports it when a position is asked for. 0 when a folder is
// missing, with nothing loaded.
int LocateDataDirectories();
