// The packaged ephemeris tables of the solar-system folder: the planetary
// series ("PLANETS.NDX", "PLANETS.BIN"), the nutation series ("nutcon.bin"),
// the lunar series ("moontab.bin"), the Uranian satellite table ("usats.bin")
// and the folder of the Phoebe and Himalia day tables. Loaded once at
// start-up and only read until they are freed at exit.
//
// "PLANETS.NDX": 9 records of 72 bytes, record t for series table t (0 the
// Earth referred to the ecliptic and equinox of J2000; 1..8 Mercury..Neptune
// of date). A record is 18 cells (coordinate L, B, R x power 0..5 of tau) of
// int16 first term (meaningful in cell 0 only: index of the table's first
// 24-byte term in PLANETS.BIN) and int16 term count.
// "PLANETS.BIN": 24-byte terms (amplitude, phase, frequency per Julian
// millennium), each table's terms contiguous in cell order.
// "moontab.bin": 2,640 bytes: 60 rows of 6 int32, then 60 rows of 5 int32.
// All files little-endian.
#pragma once
#include <cstddef>
#include <cstdint>

const int kPlanetSeriesTables = 9;
const int kPlanetSeriesCells = 18;
const int kLunarSeriesRows = 60;

#pragma pack(push, 1)
struct PlanetSeriesCell {
    int16_t firstTerm;  // cell 0 only: index of the table's first term
    int16_t count;      // terms of this cell
};
struct PlanetSeriesIndexRecord {
    PlanetSeriesCell cells[kPlanetSeriesCells];  // 6 x coordinate + power
};
struct PlanetSeriesTerm {
    double amplitude;  // rad for L and B, AU for R
    double phase;      // rad
    double frequency;  // rad per Julian millennium
};
// Longitude and distance row of the lunar series.
struct LunarSeriesRow {
    int32_t d, m, mp, f;   // multiples of D, M, M', F
    int32_t longitude;     // sine coefficient, 1e-6 degree
    int32_t distance;      // cosine coefficient, 0.001 km
};
// Latitude row of the lunar series.
struct LunarLatitudeRow {
    int32_t d, m, mp, f;
    int32_t latitude;      // sine coefficient, 1e-6 degree
};
#pragma pack(pop)

static_assert(sizeof(PlanetSeriesIndexRecord) == 72, "index record is 72 bytes");
static_assert(sizeof(PlanetSeriesTerm) == 24, "term is 24 bytes");
static_assert(sizeof(LunarSeriesRow) == 24, "six int32");
static_assert(sizeof(LunarLatitudeRow) == 20, "five int32");

// Loads the tables from the folder, in order: planetary series, nutation,
// lunar series, Uranian satellites, then keeps the folder for the day tables;
// stops at the first failure. 1 when all loaded, or at once when the
// planetary series were already loaded by an earlier call; 0 otherwise.
// A "/" is appended to the caller's text when it lacks one: the buffer must
// have room for it (the start-up line buffers hold 512 characters; a text of
// 511 characters or more is not extended, and such a folder is refused).
int LoadEphemerisData(char *directory);
// Releases every table and the folder copy; the tables count as not loaded.
void FreeEphemerisData();
// Keeps a copy of the folder (absent: "") and forgets the planetary tables.
void SetEphemerisFolder(const char *directory);
// Reads PLANETS.NDX and PLANETS.BIN from the kept folder. A file that is
// missing, short, or holds a negative count or first term, a run past the
// end of PLANETS.BIN or a term that is not finite counts as missing: all nine
// tables are then left empty (zero sums). 1 and the loaded flag set on success.
int LoadPlanetSeries();
// Reads "moontab.bin" from the folder (ending in "/"). 1 only when all 660
// values were read and every row's multipliers lie within |D| <= 4, |M| <= 2,
// |M'| <= 4, |F| <= 3 with at least one non-zero; otherwise no lunar table
// is kept.
int LoadLunarSeries(const char *directory);
// Releases term table t (0..8) and zeroes its index record; other t: nothing.
void FreePlanetSeriesTable(int table);

// The folder kept by LoadEphemerisData ("" before), ending in "/".
const char *GetEphemerisFolder();
// 1 when the planetary series are loaded (the loaded flag).
int EphemerisTablesLoaded();
// 1 when a load was asked for since start-up or the last FreeEphemerisData
// (the built-in low-precision Sun and Moon serve only before that).
int EphemerisLoadAttempted();

// Read access for the series code. The index record of table t (all zero
// when not loaded; nullptr for t outside 0..8) and its terms (nullptr, count
// 0 when not loaded).
const PlanetSeriesIndexRecord *GetPlanetSeriesIndex(int table);
const PlanetSeriesTerm *GetPlanetSeriesTerms(int table, size_t *count);
// The two lunar blocks, or nullptr when the lunar series are not loaded.
const LunarSeriesRow *GetLunarLongitudeRows();
const LunarLatitudeRow *GetLunarLatitudeRows();
