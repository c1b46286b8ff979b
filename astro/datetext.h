// Names of weekdays and months, and the short date texts of a Julian date at a
// site ("2009 Jul 20", "2009 Jul 20 21:30").
#pragma once
#include <cstddef>

struct LocationRecord;

// Every date text here is at most 47 characters; buffers hold kDateTextSize bytes.
const size_t kDateTextSize = 48;

// "Sunday".."Saturday" for 0..6, nullptr otherwise.
const char *GetWeekdayName(int weekday);
// "January".."December" for 1..12, nullptr otherwise.
const char *GetMonthName(int month);
// "Jan".."Dec" for 1..12, nullptr otherwise.
const char *GetMonthAbbreviation(int month);
// The weekday name of WeekdayOfJulianDate.
const char *GetWeekdayNameOfJulianDate(double julianDate);

// "%4d %s %2d" (year, month abbreviation, day) of the site's local date (UT
// without a site). With the evening flag a local time before noon shows the
// date of the evening before. Returns the buffer.
char *FormatJulianDateAsDate(char *buffer, const LocationRecord *site, double julianDate,
                             int eveningFlag);
// The same date, a blank and FormatClockTime of the local hours (of the time
// itself, also when the evening flag moved the date). Returns the buffer.
char *FormatJulianDateAsDateTime(char *buffer, const LocationRecord *site, double julianDate,
                                 int eveningFlag);
