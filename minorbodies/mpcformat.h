// The Minor Planet Center's one-line orbit formats into the user's stores:
// the minor-planet export format of MPCORB.DAT and the comet format of
// CometEls.txt (columns as the MPC describes them, "Export Format for
// Minor-Planet Orbits" and "Export Format for Comet Orbits"). Imports run in
// the same steps, with the same states and counters, as the suite's own
// lines (minorbodies/mpimport.h, minorbodies/cometimport.h); lines that are
// not orbit lines (headers, blank lines) are ignored.
#pragma once
#include <cstdint>

#include "minorbodies/cometdb.h"
#include "minorbodies/cometimport.h"
#include "minorbodies/mpimport.h"
#include "minorbodies/usermp.h"

// A packed date ("K205V": 2020 May 31): 1 with year, month and day; 0 when
// it is not one.
int UnpackMpcDate(const char *packed, int *year, int *month, int *day);
// A packed number ("00433", "A0001" = 100001, "~0000" = 620000); 0 when it
// is not one (a provisional designation).
int32_t UnpackMpcNumber(const char *packed);

// One MPCORB line into a set (epoch at 0h TT of the packed date, number and
// name from the readable designation); 1 when built.
int ParseMpcMinorPlanetLine(const char *line, MinorPlanetRecord *record);
// One CometEls line into a set (number, orbit-type letter, designation and
// name from the readable designation; the coma 0.002 AU); 1 when built.
int ParseMpcCometLine(const char *line, CometRecord *record);

// Steps of an import begun with BeginMinorPlanetImport or BeginCometImport:
// 1 after a step, 0 at the end, -1 when the store cannot be written.
int ImportMpcMinorPlanetLines(MinorPlanetImport *state, int32_t *added, int32_t *replaced, int32_t *skipped);
int ImportMpcCometLines(CometImport *state, int32_t *added, int32_t *replaced, int32_t *skipped);
