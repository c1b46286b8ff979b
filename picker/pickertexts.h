// Texts of the object picker's data panel: the chosen object's right
// ascension and declination, magnitude and apparent size, as the panel's
// static fields show them.
#pragma once

struct ObjectRecord;

// Room for every panel text.
const int kPickerTextSize = 32;

// Size of an extent in radians: above 1.5 degrees in degrees ("%5.2lg" and the
// degree sign 0xB0), above 100 arcseconds in arcminutes ("'"), above 0.001
// arcseconds in arcseconds ('"'); otherwise (and for a value that is not a
// number) empty. Returns text.
char *FormatPickerSize(char *text, int size, double extent);
// "%5.1lf", empty for a magnitude of 90 or more (none) or one that is not a
// number. Returns text.
char *FormatPickerMagnitude(char *text, int size, double magnitude);
// The place the panel shows: the catalogue place when either of its
// coordinates is set (not -1), else the turn fields (a bare position).
// Hours and degrees.
void GetPickerPlace(const ObjectRecord *record, double *hours, double *degrees);
// Right ascension "12h34m56s" and declination "+12°34'56"" of the place in
// the current angle text style, the right ascension without the leading
// blank of its formatter. Each buffer holds kPickerTextSize bytes.
void FormatPickerPlace(const ObjectRecord *record, char *raText, char *decText);
