// Loading and freeing the ephemeris tables of the solar-system folder.
#pragma once

// Keeps the folder (a "/" is appended to the caller's text when missing; the
// buffer must have room for it) and loads the tables; 1 when all loaded.
int LoadEphemerisData(char *directory);
void FreeEphemerisData();
// The folder kept by LoadEphemerisData ("" before).
const char *GetEphemerisFolder();
int EphemerisTablesLoaded();
