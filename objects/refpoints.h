// The six reference points of class 22 (celestial poles, zenith, galactic
// poles, galactic centre): their names and their J2000 places.
#pragma once

struct DateRecord;
struct LocationRecord;

const int kReferencePointCount = 6;
const int kReferencePointNameSize = 21;
const int kReferencePointAbbreviationSize = 4;

// 1-6 when the text equals a name or an abbreviation ignoring case (names and
// abbreviations tested in number order, the name first), else 0.
int FindReferencePoint(const char *text);
// Name of point number + 1 (number from 0) into 21 bytes; 0 outside 0-5.
int ReferencePointName(int number, char *name);
// Point 1-6: name (21 bytes) and abbreviation (4 bytes) when asked; the J2000
// place (radians, RA in [0, 2 pi)) when both place outputs are given. Points
// 1-3 need the date and point 3 the site as well (0 without them). 0 outside
// 1-6, else 1.
int ReferencePointInfo(const LocationRecord *site, const DateRecord *date, int number, char *name,
                       char *abbreviation, double *rightAscension, double *declination);
