// The start-up of the program's data (see startup.h).
#include "app/startup.h"

#include "core/datapaths.h"
#include "ephem/ephemload.h"
#include "minorbodies/dbfolders.h"
#include "objects/minorbodyservices.h"
#include "visibility/cometfieldtests.h"
#include "visibility/hourscore.h"
#include "userdata/prefbackup.h"

void ConnectProgramServices() {
    ConnectMinorBodyServices();
    ConnectCometFieldVisibility();
    ConnectSatelliteHourScore();
}

int LocateDataDirectories() {
    char solarSystem[2][kPathLineSize];
    if (!ResolveDataDirectories(solarSystem[0], solarSystem[1])) return 0;
    // A preference restore killed part-way is rolled back before any store
    // of the user folder is read.
    EnsurePreferencesRecovered();
    SetMinorBodyDatabaseFolders(solarSystem[0], solarSystem[1]);
    ConnectProgramServices();
    LoadEphemerisData(solarSystem[0]);
    return 1;
}
