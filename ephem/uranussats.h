// The Uranian satellite table "usats.bin": one block of 253 little-endian
// doubles (2,024 bytes) with the series coefficients of Ariel, Umbriel,
// Titania and Oberon, read whole once at start-up.
#pragma once

const int kUranianTableValues = 253;

// Reads folder + "usats.bin" (folder ends in "/"): 1 when the whole block was
// read and every value is finite; otherwise 0 and the table is not loaded.
int LoadUranianSatelliteTable(const char *directory);
void FreeUranianSatelliteTable();
// The 253 values, or nullptr when not loaded.
const double *GetUranianSatelliteTable();
