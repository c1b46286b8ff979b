// Finders of one-body phenomena: the Moon's phases, the transits of Jupiter's
// Great Red Spot, and the planets' conjunctions with the Sun, oppositions and
// greatest elongations.
#pragma once
#include <cstdio>

#include "astro/datetime.h"
#include "events/eventrecord.h"
#include "sites/horizon.h"

using EventProgress = void (*)(int);

// Finder flags of the header (offset 661856).
const uint32_t kFindConjunctions = 0x1;
const uint32_t kFindOppositions = 0x2;
const uint32_t kFindElongations = 0x4;
const uint32_t kFindMoonPhases = 0x8;
const uint32_t kFindShowers = 0x10;
const uint32_t kFindPlanetsFirst = 0x20;  // Mercury; Venus 0x40 .. Pluto 0x1000
const uint32_t kFindMinorPlanets = 0x2000;
const uint32_t kFindRedSpot = 0x4000;
const uint32_t kFindEclipses = 0x10000000;
const uint32_t kFindSatellitePhenomena = 0x20000000;
const uint32_t kFindSatelliteElongations = 0x40000000;
const uint32_t kFindPlanetPhenomena = 0x80000000;

// Each phase in [start, start + span]: kind 0, the Moon, code 7 + 2 x phase,
// its altitude, darkness and hour score, visible. The number added.
int FindMoonPhases(EventFileHeader *header, std::FILE *file, const DateRecord *start, double span);
// Transits of the spot with contacts an hour and a half either side; the
// number added, -1 when stopped.
int FindGreatRedSpotTransits(EventFileHeader *header, std::FILE *file, const HorizonRow *horizon,
                             const DateRecord *start, double span, const int *stop);
// Conjunctions, oppositions and elongations of the planets the flags select.
// The number added; 0 when a pair search cannot be opened.
int FindPlanetPhenomena(EventFileHeader *header, std::FILE *file, const DateRecord *start, double span,
                        const int *stop, EventProgress progress);
