// The rules of the CalDate calendar control that need no window: where each
// day of the shown month sits in the 7 x 8 grid, which day a click falls on,
// and every change of the shown date (day click, previous and next month, a
// month from the menu, a typed year). Each change sets the whole DateRecord
// (calendar date, hours 0 UT or the kept hours, Julian date), so that the
// month steps count from the date actually shown.
#pragma once

#include "astro/datetime.h"

// Grid: 7 columns of clientWidth / 7 pixels and 8 rows of clientHeight / 8
// (integer divisions); row 0 the title, row 1 the weekday initials, rows 2 to
// 7 the weeks.
constexpr int kCalDateColumns = 7;
constexpr int kCalDateRows = 8;
constexpr int kCalDateFirstWeekRow = 2;

// Weekday (0 Sunday .. 6 Saturday) of day 1 of the record's month, in the
// calendar of that date (Julian before 1582 October 15).
int CalDateFirstWeekday(const DateRecord *shown);
// Column (0..6) and row (2..7) of a day of a month whose day 1 falls on
// firstWeekday.
void CalDateCellOfDay(int day, int firstWeekday, int *column, int *row);
// The day under the point (x, y) of a clientWidth x clientHeight control, or 0
// for none: the title row, a cell before day 1 or after the last day, or a
// point outside the client area. A click in the initials row counts as the
// first week row. Columns beyond the seventh (the pixels left over when the
// width is no multiple of 7) count as the seventh.
int CalDateDayAtPoint(int x, int y, int clientWidth, int clientHeight, const DateRecord *shown);

// Each change below sets the record in universal time with no site and returns 1, or returns
// 0 and leaves the record as it was.
// The shown month's day `day` (1..days in the month), 0 h.
int CalDateSelectDay(DateRecord *shown, int day);
// Day 1 of the previous (direction -1) or next (+1) month, 0 h.
int CalDateStepMonth(DateRecord *shown, int direction);
// Month 1..12 of the shown year from the menu; a day the month lacks becomes 1; 0 h.
int CalDateChooseMonth(DateRecord *shown, int month);
// The year typed into the year field: a whole number (the fraction of a
// decimal number is dropped) in kCalDateMinYear..kCalDateMaxYear. The month is kept;
// a day the month lacks in that year (29 February) becomes 1, as for the
// menu; the record's own hours are kept. 0 for an empty text, a text that does
// not read as a number or a year out of range.
constexpr int kCalDateMinYear = -4712;
constexpr int kCalDateMaxYear = 9999;
int CalDateApplyYearText(DateRecord *shown, const char *text);
// Shows a given date: its month, day and year at 0 h; none or an impossible
// date (month outside 1..12, day outside the month, year out of range) leaves
// the record and returns 0.
int CalDateShowDate(DateRecord *shown, const DateRecord *given);
