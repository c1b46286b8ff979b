// The start-up of the program's data: the suite's folders found, then the
// minor-body database folders set, the services of upper floors handed to
// the lower floors that call them, and the ephemeris tables loaded from the
// solar-system folders.
#pragma once

// Hands the lower floors the services they call but cannot include: the
// minor-body services of the object layer, the comet field search's
// visibility and imaging tests, and the Earth-satellite sky test's hour
// score.
void ConnectProgramServices();

// 1 when every folder of the suite was found (ResolveDataDirectories of
// core/datapaths.h); the minor-body folders are then set and the ephemeris
// tables loaded. A missing ephemeris table does not stop the start-up: the
// ephemeris code reports it when a position is asked for. 0 when a folder is
// missing, with nothing loaded.
int LocateDataDirectories();
