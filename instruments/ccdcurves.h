// The named quantum-efficiency curves of ccd_Q.dat: a text file of lines
// "name,v350,v400,...,v950" (percent at 350 to 950 nm in 50 nm steps); lines
// starting with "#" and lines shorter than 2 characters are skipped.
#pragma once
#include <cstdint>

#include "instruments/camerarecords.h"

#pragma pack(push, 1)
// One curve as the camera dialogs keep it: 137 bytes.
struct CcdCurveRow {
    char name[33];                                  // 0   the text before the first comma
    double values[kQuantumEfficiencyPoints];        // 33  percent at 350, 400 ... 950 nm
};
#pragma pack(pop)
static_assert(sizeof(CcdCurveRow) == 137, "CcdCurveRow is 137 bytes");

const int kCcdCurveRows = 300;  // the room the dialogs provide

// Reads "<folder>/ccd_Q.dat" into at most capacity rows; the number of rows
// read, or 0 when the file is missing or any value of a row does not read
// (the whole table is then void).
int ReadCcdQuantumEfficiency(const char *folder, CcdCurveRow *table, int capacity);
// Index of the first row whose name equals the given one ignoring case, or -1.
int FindCcdCurveByName(const char *name, const CcdCurveRow *table, int rows);
// 1 when the names are equal ignoring case (each read to its terminator or
// its 33rd byte) and all 13 values are equal; 0 otherwise or for a null row.
int CcdCurvesEqual(const CcdCurveRow *a, const CcdCurveRow *b);
