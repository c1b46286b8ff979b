// The folder of the day tables of Phoebe ("Phoebe.bin") and Himalia
// ("Himalia.bin"), kept at start-up; the tables are opened as
// "<folder>/Phoebe.bin" and "<folder>/Himalia.bin" when a position is asked for.
#pragma once
#include "ephem/bodyrecord.h"

struct DateRecord;

// Keep a copy of the folder with one trailing "/" removed; 1.
int SetPhoebeFolder(const char *directory);
int SetHimaliaFolder(const char *directory);
// The kept folders ("" when none is set).
const char *GetPhoebeFolder();
const char *GetHimaliaFolder();
// Forget both folders (the ephemeris tables were freed).
void ClearDayTableFolders();

// Day tables: records of float32 X, float32 Y (little-endian), the
// satellite's offset from the planet's centre in arcseconds, X along the
// right ascension (positive east), Y along the declination (positive north);
// record 0 at JD 2433282.5, one record a day (Phoebe) or half day (Himalia).
// The last record is the file's last whole record.
const double kDayTableFirstJulianDate = 2433282.5;
const int kDayTableRecordSize = 8;

// Phoebe into slot 8 of Saturn's record, Himalia into slot 5 of Jupiter's,
// interpolated in the day table; the planet's geocentric place, distances
// must be in the record. 1 when the slot was filled; 0 when the date lies
// outside the table; -1 when no folder is set, the file cannot be opened or
// read. Nothing is written unless the result is 1; the count is not changed.
int ComputePhoebe(const DateRecord *date, BodyRecord *saturn);
int ComputeHimalia(const DateRecord *date, BodyRecord *jupiter);
