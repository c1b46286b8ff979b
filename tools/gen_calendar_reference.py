#!/usr/bin/env python3
"""Writes the reference month table the calendar control's tests read.

One line per month: "year month first_weekday days", weekday 0 Sunday .. 6
Saturday, years in astronomical numbering.

- Gregorian months, 1583 to 9999: Python's own `calendar.monthrange`.
- Julian months before the Gregorian change (-4712 January to 1582
  September): the Julian day number of a Julian-calendar date by the
  integer formula of Fliegel and Van Flandern's family (as given by
  Tondering, "Frequently Asked Questions about Calendars", sec. 2.16.1),
  anchored to Python's calendar through the change itself: Julian
  1582 October 4 (Thursday) is followed by Gregorian 1582 October 15
  (Friday). October 1582, the month of the change, is left out.

    gen_calendar_reference.py OUTPUT
"""
import calendar
import datetime
import sys

# Python's proleptic Gregorian ordinal 1 (0001-01-01) is Julian day number 1721426.
ORDINAL_TO_JDN = 1721425


def julian_calendar_jdn(year, month, day):
    a = (14 - month) // 12
    y = year + 4800 - a
    m = month + 12 * a - 3
    return day + (153 * m + 2) // 5 + 365 * y + y // 4 - 32083


def weekday_of_jdn(jdn):
    return (jdn + 1) % 7  # JDN 0 was a Monday; 0 Sunday


def julian_days_in_month(year, month):
    if month == 2:
        return 29 if year % 4 == 0 else 28
    return [31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][month - 1]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    # The Julian formula and Python's calendar meet at the change.
    change = datetime.date(1582, 10, 15).toordinal() + ORDINAL_TO_JDN
    assert julian_calendar_jdn(1582, 10, 4) + 1 == change
    assert weekday_of_jdn(change) == 5  # Friday
    assert weekday_of_jdn(datetime.date(2000, 1, 1).toordinal() + ORDINAL_TO_JDN) == 6
    lines = []
    for year in range(-4712, 1583):
        for month in range(1, 13):
            if year == 1582 and month >= 10:
                break
            lines.append("%d %d %d %d" % (year, month,
                                          weekday_of_jdn(julian_calendar_jdn(year, month, 1)),
                                          julian_days_in_month(year, month)))
    for year in range(1583, 10000):
        for month in range(1, 13):
            monday_first, days = calendar.monthrange(year, month)
            lines.append("%d %d %d %d" % (year, month, (monday_first + 1) % 7, days))
    with open(sys.argv[1], "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
