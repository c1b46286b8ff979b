// Mean obliquity of the ecliptic (Laskar 1986) and the nutation in longitude
// and obliquity from the IAU 1980 series, whose periodic terms are read once
// from the packaged file "nutcon.bin".
//
// "nutcon.bin": 62 rows of 9 little-endian signed 16-bit integers, no header:
//   0..4  multiples of M' (-3..3), M (-2..2), F (-4..4), D (-4..4), Omega (-2..2)
//   5     sine coefficient in longitude, 0.0001"
//   6     its rate, 0.00001" per Julian century
//   7     cosine coefficient in obliquity, 0.0001"
//   8     its rate, 0.00001" per Julian century
// The leading term in Omega alone is not in the file.
#pragma once
#include <cstdint>

struct DateRecord;

const int kNutationRows = 62;
const int kNutationColumns = 9;
const int kNutationFileBytes = kNutationRows * kNutationColumns * 2;  // 1116

// Mean obliquity of the ecliptic (radians) at T(TT), Julian centuries from
// J2000.0 (Laskar's polynomial, valid for |T| < 100).
double MeanObliquity(double centuriesTT);

// Reads "<directory>nutcon.bin" (the directory text ends with "/"). Returns 1
// when all 558 values were read and every row is a valid term (multiples in
// range, at least one of them non-zero); otherwise 0, and the table counts as
// not loaded. A table loaded before is replaced.
int LoadNutationTable(const char *directory);
// Releases the table; afterwards it counts as not loaded.
void FreeNutationTable();
// 1 while a table is loaded.
int IsNutationTableLoaded();
// Row r (0..61) of the loaded table, nullptr when none is loaded.
const int16_t *GetNutationTableRow(int row);

// Fills the nutation in longitude and obliquity (radians) from the record's
// T(TT). Without a loaded table both are set to 0 (mean places then stand for
// apparent ones) rather than left as they were.
void ComputeNutation(DateRecord *record);
