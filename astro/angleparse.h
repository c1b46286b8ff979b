// Readers of the numbers that users type and import files hold: sexagesimal or
// decimal angles and times in any of the shared text styles, right ascension
// and declination pairs, dates with times, clock times, the 16-character "J"
// position designation and width-by-height sizes.
//
// The no-value result of the numeric readers is kNoRealValue (2147483647.0,
// astro/textutil.h); callers test for exact equality with it. No reader changes
// the caller's text.
#pragma once

#include "astro/datetime.h"
#include "astro/location.h"

// The value of up to three fields (units, sixtieths, 3600ths) separated by
// colons, blanks, h, d, m (either case), the degree sign 0xB0, the apostrophe or
// the broken bar 0xA6; negative with a leading "-"; with a trailing P/p or A/a
// for 12-hour times. An empty or blank text gives 0 (dialogs show 0 as an empty
// field). No value for: a lone sign, a fourth field, an empty field between two
// separators ("12h 30m"), a text with no digit ("n/a"), a comma ("12,5" is
// neither 12.5 nor 125 for certain) or a text over 79 characters.
double ParseSexagesimal(const char *text);
// ParseSexagesimal in radians: hours, or degrees when AngleTextStyle is 3 and
// RaInDegreesFlag is 1. The no-value result is passed through.
double ParseRightAscension(const char *text);
// A right ascension (hours) and declination (degrees) in one text, split at a
// comma, a tab, the declination's sign or a single blank; outputs in radians.
// 1 when both were read and lie in range; 0 otherwise. Out-of-range values
// read are still written: callers use the outputs only on 1.
int ParseRaDecPair(const char *text, double *rightAscension, double *declination);
// A date and time: "JD" and a Julian date (UT), or year, month (number or
// English name, "Sep", "sept." or "September"), day and time, with the words
// AD, BC, AM (A, A.M.), PM (P, P.M.) and UT (UTC) matched as whole words. A
// year alone may carry a fraction ("2009.5"); a day with a fraction and no
// time gives the time ("2009 7 20.5" is noon). The record is filled for the
// site (or none) and written only on success. Returns 1 read; 0 unreadable,
// including a month outside 1..12, a day not in the month, a time outside
// 0..24 h or a year outside -4712..9999; -1 for "JD" without a number.
// isUniversal (optional) receives 1 when the hours are universal time (the
// text said UT, or gave a Julian date or a bare year), else 0.
int ParseDateText(const char *text, const LocationRecord *site, DateRecord *record,
                  int *isUniversal = nullptr);
// A clock time with AM/PM (A, P, A.M., P.M.) and UT (UTC) as whole words among
// the first three tokens; "9:30pm" is read as "9:30 pm". Hours, or the no-value
// result for a blank text, a text with no time or with two times ("10 30").
// A UT time gains the site's zone (local standard time) when a site is given.
// isUniversal (optional) receives 1 when the text marked the time as UT.
// A missing text (nullptr) gives 0.
double ParseTimeText(const char *text, const LocationRecord *site, int *isUniversal = nullptr);
// "J123456.7+123456": exactly 16 characters, J or j, hours, minutes, seconds to
// tenths, the sign at the tenth character, degrees, minutes, seconds. 1 read
// (outputs in radians), 0 otherwise (nothing written), including fields out of
// range (hours 24 or more, minutes or seconds 60 or more, beyond 90 degrees).
int ParseJDesignation(const char *text, double *rightAscension, double *declination);
// The product of "W x H" (x or X, blanks ignored), or a single number; the
// no-value result otherwise.
double ParseSizeProduct(const char *text);
