#!/usr/bin/env python3
"""Observed Delta T (TT - UT1, seconds) printed as the C++ rows of the recent
Delta T table in astro/deltat.cpp: monthly for 1973 to 1997, and with
--recent quarterly for 1999.0 to 2001.75 and half-yearly for 2002.0 to the
last half year the series holds observed values for (RECENT_LAST).

Source: the daily Earth-orientation series of the IERS (finals2000A) as shipped,
already reduced to Delta T, in Debian's python3-skyfield package
(skyfield/data/iers.npz):
    Delta T = 32.184 s + (TAI - UTC) - (UT1 - UTC).
Each value is taken at 0 h UTC on the first day of the month and rounded to
0.0001 s; the decimal year of a month is year + .00, .08, .16, .25, .33,
.41 (.42 in leap years), .50, .58, .67, .75, .83, .92.

The series starts on 1973 January 2, so 1973 January 1 is extended back one
day along the first two daily values. The method is checked against the rows
already in the table: 1998 month by month from the same series, and 1972 at
its two half-year points against the half-yearly observed Delta T table in the
same package (skyfield/data/historic_deltat.npy); all must agree within 0.05 s.

The series as shipped was written on 2022 September 15; its values after
early September 2022 are the IERS predictions, so the half-yearly rows stop
at 2022.5. The table once held predicted values from 1999.25 on (65.7 s at
2001.5 against 64.21 s observed, 68.0 s at 2012.0 against 66.60 s); --recent
prints the observed ones.

--series prints the observed monthly values themselves (decimal year, UT
Julian date, seconds; 1973 January to 2022 September) for the accuracy
benchmark.

Usage: gen_deltat_table.py [--data DIR] [--recent | --series]
    (needs numpy; an interpreter without it hands over to /usr/bin/python3)
"""
import argparse
import os
import sys

try:
    import numpy as np
except ImportError:
    if os.path.exists('/usr/bin/python3') and os.path.realpath(sys.executable) != '/usr/bin/python3':
        os.execv('/usr/bin/python3', ['/usr/bin/python3'] + sys.argv)
    sys.exit('numpy is needed (Debian package python3-numpy)')

DEFAULT_DATA = '/usr/lib/python3/dist-packages/skyfield/data'
SECONDS_PER_DAY = 86400.0
FRACTIONS = ['.00', '.08', '.16', '.25', '.33', None, '.50', '.58', '.67', '.75', '.83', '.92']

# Rows of the table that were published with the model (1972 and 1998).
ROW_1972 = [42.2272, 42.3232, 42.4213, 42.5289, 42.6342, 42.7393, 42.8249, 42.9021,
            42.9831, 43.073, 43.1738, 43.2729]
ROW_1998 = [62.9659, 63.0217, 63.0807, 63.1462, 63.2053, 63.26, 63.2844, 63.2962,
            63.3126, 63.3422, 63.3871, 63.4339]
TOLERANCE = 0.05
# The last half year of observed values in the shipped series, and its last
# month of observed values (the series was written on 2022 September 15).
RECENT_LAST = 2022.5
LAST_OBSERVED_MONTH = (2022, 9)


def julian_date(year, month, day):
    """Julian date of 0 h on a Gregorian date (Meeus, ch. 7)."""
    if month <= 2:
        year -= 1
        month += 12
    a = year // 100
    b = 2 - a + a // 4
    return int(365.25 * (year + 4716)) + int(30.6001 * (month + 1)) + day + b - 1524.5


def is_leap(year):
    return year % 4 == 0 and (year % 100 != 0 or year % 400 == 0)


class DailySeries:
    def __init__(self, data_dir):
        arrays = np.load(os.path.join(data_dir, 'iers.npz'))
        minus = arrays['tt_jd_minus_arange']
        self.tt = minus + np.arange(len(minus))
        self.delta_t = arrays['delta_t_1e7'] / 1e7
        self.leap_dates = arrays['leap_dates']
        self.leap_offsets = arrays['leap_offsets']

    def tai_minus_utc(self, jd_utc):
        i = np.searchsorted(self.leap_dates, jd_utc, side='right') - 1
        return 10.0 if i < 0 else float(self.leap_offsets[i])

    def at_utc(self, jd_utc):
        """Delta T at a UTC Julian date; linear between the daily values and
        extended linearly by at most a few days before the first one."""
        jd_tt = jd_utc + (32.184 + self.tai_minus_utc(jd_utc)) / SECONDS_PER_DAY
        if jd_tt < self.tt[0]:
            if self.tt[0] - jd_tt > 3.0:
                raise ValueError('date before the daily series')
            slope = (self.delta_t[1] - self.delta_t[0]) / (self.tt[1] - self.tt[0])
            return float(self.delta_t[0] + slope * (jd_tt - self.tt[0]))
        return float(np.interp(jd_tt, self.tt, self.delta_t))


def monthly_row(series, year):
    return [round(series.at_utc(julian_date(year, m, 1)), 4) for m in range(1, 13)]


class HalfYearlyTable:
    def __init__(self, data_dir):
        table = np.load(os.path.join(data_dir, 'historic_deltat.npy'))
        self.jd = np.asarray(table[0], dtype=float)
        self.delta_t = np.asarray(table[1], dtype=float)

    def __getitem__(self, jd):
        i = int(np.argmin(np.abs(self.jd - jd)))
        if abs(self.jd[i] - jd) > 1.0:
            raise KeyError(jd)
        return float(self.delta_t[i])


def check(series, data_dir):
    worst = 0.0
    row = monthly_row(series, 1998)
    for got, want in zip(row, ROW_1998):
        worst = max(worst, abs(got - want))
    half = HalfYearlyTable(data_dir)
    for month, want in ((1, ROW_1972[0]), (7, ROW_1972[6])):
        got = half[julian_date(1972, month, 1)]
        worst = max(worst, abs(got - want))
    # The daily series and the half-yearly table must also meet at 1973.0.
    first = series.at_utc(julian_date(1973, 1, 1))
    worst_join = abs(first - half[julian_date(1973, 1, 1)])
    return worst, worst_join


def recent_rows(series):
    """(decimal year, seconds) at 0 h UTC on the first day of each quarter of
    1999-2001 and of each half year of 2002..RECENT_LAST."""
    rows = []
    for year in range(1999, 2002):
        for quarter in range(4):
            rows.append((year + 0.25 * quarter, series.at_utc(julian_date(year, 1 + 3 * quarter, 1))))
    year = 2002.0
    while year <= RECENT_LAST:
        whole = int(year)
        month = 1 if year == whole else 7
        rows.append((year, series.at_utc(julian_date(whole, month, 1))))
        year += 0.5
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--data', default=DEFAULT_DATA, help='folder of iers.npz')
    parser.add_argument('--recent', action='store_true',
                        help='print the quarterly and half-yearly rows from 1999 on')
    parser.add_argument('--series', action='store_true',
                        help='print the observed monthly values for the benchmark')
    args = parser.parse_args()
    series = DailySeries(args.data)
    if args.series:
        for year in range(1973, 2023):
            for month in range(1, 13):
                if (year, month) > LAST_OBSERVED_MONTH:
                    break
                jd = julian_date(year, month, 1)
                decimal = year + (jd - julian_date(year, 1, 1)) / (
                    julian_date(year + 1, 1, 1) - julian_date(year, 1, 1))
                print('%.6f %.1f %.4f' % (decimal, jd, series.at_utc(jd)))
        return 0
    if args.recent:
        cells = ['{%sf, %.4ff}' % (('%.2f' % y).rstrip('0').rstrip('.') + ('' if y % 1 else '.0'), v)
                 for y, v in recent_rows(series)]
        for start in range(0, len(cells), 4):
            print('    ' + ', '.join(cells[start:start + 4]) + ',')
        return 0
    worst, join = check(series, args.data)
    print('// check: largest difference from the published 1972/1998 rows %.4f s,'
          ' at 1973.0 %.4f s' % (worst, join))
    if worst > TOLERANCE or join > TOLERANCE:
        print('method does not reproduce the published rows', file=sys.stderr)
        return 1
    for year in range(1973, 1998):
        values = monthly_row(series, year)
        cells = []
        for k, v in enumerate(values):
            frac = FRACTIONS[k] or ('.42' if is_leap(year) else '.41')
            cells.append('{%d%sf, %.4ff}' % (year, frac, v))
        for start in (0, 4, 8):
            print('    ' + ', '.join(cells[start:start + 4]) + ',')
    return 0


if __name__ == '__main__':
    sys.exit(main())
