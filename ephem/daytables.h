// The folder of the day tables of Phoebe ("Phoebe.bin") and Himalia
// ("Himalia.bin"), kept at start-up; the tables are opened as
// "<folder>/Phoebe.bin" and "<folder>/Himalia.bin" when a position is asked for.
#pragma once

// Keep a copy of the folder with one trailing "/" removed; 1.
int SetPhoebeFolder(const char *directory);
int SetHimaliaFolder(const char *directory);
// The kept folders ("" when none is set).
const char *GetPhoebeFolder();
const char *GetHimaliaFolder();
// Forget both folders (the ephemeris tables were freed).
void ClearDayTableFolders();
