// New telescopes and the routines the instrument dialogs and reports share:
// the standard telescope list "bin/scopes.bin" (an int32 row count, then
// 85-byte rows from offset 4), the new-telescope defaults, the checks of the
// instrument store for telescopes without eyepieces or cameras and for
// instruments without a chart, the texts of numeric fields and the length and
// angle texts of the report.
#pragma once
#include <cstdint>
#include <cstdio>

#include "instruments/instrumentrecord.h"

#pragma pack(push, 1)
struct StandardTelescopeRow {
    uint8_t type;          // 0  1 refractor, 2 reflector, 3 SCT
    uint8_t mounting;      // 1  0 alt-azimuth, 1 equatorial
    double aperture;       // 2  mm
    double focalLength;    // 10 mm
    uint8_t leftRight;     // 18 1 normal
    uint8_t upDown;        // 19 1 normal
    char name[65];         // 20
};
#pragma pack(pop)
static_assert(sizeof(StandardTelescopeRow) == 85, "StandardTelescopeRow is 85 bytes");

const char *const kNewTelescopeName = "New Scope -- enter name";

// "<installation folder>/bin/scopes.bin" when the installation folder is known
// and holds it, else "bin/scopes.bin" of the current folder.
void MakeStandardTelescopePath(char *out, int size);
// Opens the list read-only; count gets the number of whole rows the file
// holds (the stored count capped by the file's size). None when the file
// cannot be opened or the count cannot be read.
FILE *OpenStandardTelescopeList(int32_t *count);
int ReadStandardTelescopeRow(FILE *f, int index, StandardTelescopeRow *row);

// The record is zeroed, then given the new-telescope defaults: "New Scope --
// enter name", two optical systems, inches, a telescope on an equatorial mount,
// rings 0.5, 2 and 4 degrees, a 1-inch f/1.0 reflector in condition 0.5 and a
// 6x finder of 1.18 inches (6 inches focal length).
void ApplyNewTelescopeDefaults(InstrumentRecord *record);
// A standard row over the defaults: name (cut to 31 characters), mounting and
// main optics (the row's type, aperture and focal length in inches, its
// image flags).
void ApplyStandardTelescopeRow(InstrumentRecord *record, const StandardTelescopeRow *row);

// "%.1lf" (or "%.2lf") of the value into text; "" for 0.
void FormatFieldOneDecimal(char *text, int size, double value);
void FormatFieldTwoDecimals(char *text, int size, double value);
void FormatFieldInteger(char *text, int size, int value);
// The value of a field's text (at most 63 characters read): always stored in
// *value; 1 when it is a number above 0 (the no-value result is refused).
int ParsePositiveNumberText(const char *text, double *value);

// 0 when one of the first count records is a telescope without eyepieces and
// cameras on its main optics, else 1.
int CheckTelescopesHaveOptics(FILE *store, int count);
// Report texts; each returns a static buffer that the next call overwrites.
// Length in mm: unit 0 inches ("39.4 inches"), 1 " m", 2 "cm", 3 "mm", any
// other the number alone. Angle: the degree sign 0xB0 (0), "'" (1), '"' (2).
const char *FormatLength(double mm, int unit);
const char *FormatAngleWithUnit(double value, int unit);
