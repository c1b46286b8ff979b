// The named satellites of Mars to Pluto, in the ephemeris' satellite order:
// their count per planet and their names.
#pragma once

// Named satellites of body kind 0-11 (Mars 2, Jupiter 6, Saturn 9, Uranus 4,
// Neptune 1, Pluto 1); 0 for every other kind.
int GetSatelliteCount(int bodyKind);
// 1 and the name of satellite `number` (from 1) of body kind 4-9 copied into
// name (at least 10 bytes: the longest name has 9 characters); 0 and an
// empty name otherwise.
int GetSatelliteName(int bodyKind, int number, char *name);
// The static name text of slot `slot` (from 0) of body kind 4-9, or nullptr
// when the planet has no such satellite.
const char *GetSatelliteNameText(int bodyKind, int slot);
