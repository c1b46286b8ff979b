#!/usr/bin/env python3
"""Writes "nutcon.bin", the periodic terms of the IAU 1980 nutation series that
the suite reads at start-up, into a folder.

Layout (the reader is astro/nutation.cpp): 62 rows of 9 little-endian signed
16-bit integers, no header, 1116 bytes:
    0..4  multiples of M' (Moon's mean anomaly), M (Sun's mean anomaly),
          F (Moon's argument of latitude), D (mean elongation of the Moon),
          Omega (longitude of the Moon's ascending node)
    5     sine coefficient in longitude, units of 0.0001"
    6     its rate, units of 0.00001" per Julian century
    7     cosine coefficient in obliquity, units of 0.0001"
    8     its rate, units of 0.00001" per Julian century
The rates are thus stored ten times the usual printed value (which is in
0.0001" per century), so that every value of the series is an integer.

The rows are the terms of the full series whose longitude coefficient is
0.0003" or more (the selection of Meeus, Astronomical Algorithms, 2nd ed.,
table 22.A), in the series' own order, leaving out the leading term in Omega
alone, which the reader computes from constants. Truncation error: about
0.001" in either component.

The series: IAU 1980 theory of nutation, Seidelmann (1982), Celestial
Mechanics 27, 79; Explanatory Supplement to the Astronomical Almanac (1992),
table 3.222.1. Columns below: multiples of M', M, F, D, Omega; longitude
sine coefficient and rate; obliquity cosine coefficient and rate; all in
0.0001" and 0.0001" per Julian century.

Usage: gen_nutcon.py --out FOLDER
"""
import argparse
import os
import struct
import sys

SERIES_1980 = [
    ( 0,  0,  0,  0,  1, -171996.0, -174.2,  92025.0,   8.9),
    ( 0,  0,  0,  0,  2,    2062.0,    0.2,   -895.0,   0.5),
    (-2,  0,  2,  0,  1,      46.0,    0.0,    -24.0,   0.0),
    ( 2,  0, -2,  0,  0,      11.0,    0.0,      0.0,   0.0),
    (-2,  0,  2,  0,  2,      -3.0,    0.0,      1.0,   0.0),
    ( 1, -1,  0, -1,  0,      -3.0,    0.0,      0.0,   0.0),
    ( 0, -2,  2, -2,  1,      -2.0,    0.0,      1.0,   0.0),
    ( 2,  0, -2,  0,  1,       1.0,    0.0,      0.0,   0.0),
    ( 0,  0,  2, -2,  2,  -13187.0,   -1.6,   5736.0,  -3.1),
    ( 0,  1,  0,  0,  0,    1426.0,   -3.4,     54.0,  -0.1),
    ( 0,  1,  2, -2,  2,    -517.0,    1.2,    224.0,  -0.6),
    ( 0, -1,  2, -2,  2,     217.0,   -0.5,    -95.0,   0.3),
    ( 0,  0,  2, -2,  1,     129.0,    0.1,    -70.0,   0.0),
    ( 2,  0,  0, -2,  0,      48.0,    0.0,      1.0,   0.0),
    ( 0,  0,  2, -2,  0,     -22.0,    0.0,      0.0,   0.0),
    ( 0,  2,  0,  0,  0,      17.0,   -0.1,      0.0,   0.0),
    ( 0,  1,  0,  0,  1,     -15.0,    0.0,      9.0,   0.0),
    ( 0,  2,  2, -2,  2,     -16.0,    0.1,      7.0,   0.0),
    ( 0, -1,  0,  0,  1,     -12.0,    0.0,      6.0,   0.0),
    (-2,  0,  0,  2,  1,      -6.0,    0.0,      3.0,   0.0),
    ( 0, -1,  2, -2,  1,      -5.0,    0.0,      3.0,   0.0),
    ( 2,  0,  0, -2,  1,       4.0,    0.0,     -2.0,   0.0),
    ( 0,  1,  2, -2,  1,       4.0,    0.0,     -2.0,   0.0),
    ( 1,  0,  0, -1,  0,      -4.0,    0.0,      0.0,   0.0),
    ( 2,  1,  0, -2,  0,       1.0,    0.0,      0.0,   0.0),
    ( 0,  0, -2,  2,  1,       1.0,    0.0,      0.0,   0.0),
    ( 0,  1, -2,  2,  0,      -1.0,    0.0,      0.0,   0.0),
    ( 0,  1,  0,  0,  2,       1.0,    0.0,      0.0,   0.0),
    (-1,  0,  0,  1,  1,       1.0,    0.0,      0.0,   0.0),
    ( 0,  1,  2, -2,  0,      -1.0,    0.0,      0.0,   0.0),
    ( 0,  0,  2,  0,  2,   -2274.0,   -0.2,    977.0,  -0.5),
    ( 1,  0,  0,  0,  0,     712.0,    0.1,     -7.0,   0.0),
    ( 0,  0,  2,  0,  1,    -386.0,   -0.4,    200.0,   0.0),
    ( 1,  0,  2,  0,  2,    -301.0,    0.0,    129.0,  -0.1),
    ( 1,  0,  0, -2,  0,    -158.0,    0.0,     -1.0,   0.0),
    (-1,  0,  2,  0,  2,     123.0,    0.0,    -53.0,   0.0),
    ( 0,  0,  0,  2,  0,      63.0,    0.0,     -2.0,   0.0),
    ( 1,  0,  0,  0,  1,      63.0,    0.1,    -33.0,   0.0),
    (-1,  0,  0,  0,  1,     -58.0,   -0.1,     32.0,   0.0),
    (-1,  0,  2,  2,  2,     -59.0,    0.0,     26.0,   0.0),
    ( 1,  0,  2,  0,  1,     -51.0,    0.0,     27.0,   0.0),
    ( 0,  0,  2,  2,  2,     -38.0,    0.0,     16.0,   0.0),
    ( 2,  0,  0,  0,  0,      29.0,    0.0,     -1.0,   0.0),
    ( 1,  0,  2, -2,  2,      29.0,    0.0,    -12.0,   0.0),
    ( 2,  0,  2,  0,  2,     -31.0,    0.0,     13.0,   0.0),
    ( 0,  0,  2,  0,  0,      26.0,    0.0,     -1.0,   0.0),
    (-1,  0,  2,  0,  1,      21.0,    0.0,    -10.0,   0.0),
    (-1,  0,  0,  2,  1,      16.0,    0.0,     -8.0,   0.0),
    ( 1,  0,  0, -2,  1,     -13.0,    0.0,      7.0,   0.0),
    (-1,  0,  2,  2,  1,     -10.0,    0.0,      5.0,   0.0),
    ( 1,  1,  0, -2,  0,      -7.0,    0.0,      0.0,   0.0),
    ( 0,  1,  2,  0,  2,       7.0,    0.0,     -3.0,   0.0),
    ( 0, -1,  2,  0,  2,      -7.0,    0.0,      3.0,   0.0),
    ( 1,  0,  2,  2,  2,      -8.0,    0.0,      3.0,   0.0),
    ( 1,  0,  0,  2,  0,       6.0,    0.0,      0.0,   0.0),
    ( 2,  0,  2, -2,  2,       6.0,    0.0,     -3.0,   0.0),
    ( 0,  0,  0,  2,  1,      -6.0,    0.0,      3.0,   0.0),
    ( 0,  0,  2,  2,  1,      -7.0,    0.0,      3.0,   0.0),
    ( 1,  0,  2, -2,  1,       6.0,    0.0,     -3.0,   0.0),
    ( 0,  0,  0, -2,  1,      -5.0,    0.0,      3.0,   0.0),
    ( 1, -1,  0,  0,  0,       5.0,    0.0,      0.0,   0.0),
    ( 2,  0,  2,  0,  1,      -5.0,    0.0,      3.0,   0.0),
    ( 0,  1,  0, -2,  0,      -4.0,    0.0,      0.0,   0.0),
    ( 1,  0, -2,  0,  0,       4.0,    0.0,      0.0,   0.0),
    ( 0,  0,  0,  1,  0,      -4.0,    0.0,      0.0,   0.0),
    ( 1,  1,  0,  0,  0,      -3.0,    0.0,      0.0,   0.0),
    ( 1,  0,  2,  0,  0,       3.0,    0.0,      0.0,   0.0),
    ( 1, -1,  2,  0,  2,      -3.0,    0.0,      1.0,   0.0),
    (-1, -1,  2,  2,  2,      -3.0,    0.0,      1.0,   0.0),
    (-2,  0,  0,  0,  1,      -2.0,    0.0,      1.0,   0.0),
    ( 3,  0,  2,  0,  2,      -3.0,    0.0,      1.0,   0.0),
    ( 0, -1,  2,  2,  2,      -3.0,    0.0,      1.0,   0.0),
    ( 1,  1,  2,  0,  2,       2.0,    0.0,     -1.0,   0.0),
    (-1,  0,  2, -2,  1,      -2.0,    0.0,      1.0,   0.0),
    ( 2,  0,  0,  0,  1,       2.0,    0.0,     -1.0,   0.0),
    ( 1,  0,  0,  0,  2,      -2.0,    0.0,      1.0,   0.0),
    ( 3,  0,  0,  0,  0,       2.0,    0.0,      0.0,   0.0),
    ( 0,  0,  2,  1,  2,       2.0,    0.0,     -1.0,   0.0),
    (-1,  0,  0,  0,  2,       1.0,    0.0,     -1.0,   0.0),
    ( 1,  0,  0, -4,  0,      -1.0,    0.0,      0.0,   0.0),
    (-2,  0,  2,  2,  2,       1.0,    0.0,     -1.0,   0.0),
    (-1,  0,  2,  4,  2,      -2.0,    0.0,      1.0,   0.0),
    ( 2,  0,  0, -4,  0,      -1.0,    0.0,      0.0,   0.0),
    ( 1,  1,  2, -2,  2,       1.0,    0.0,     -1.0,   0.0),
    ( 1,  0,  2,  2,  1,      -1.0,    0.0,      1.0,   0.0),
    (-2,  0,  2,  4,  2,      -1.0,    0.0,      1.0,   0.0),
    (-1,  0,  4,  0,  2,       1.0,    0.0,      0.0,   0.0),
    ( 1, -1,  0, -2,  0,       1.0,    0.0,      0.0,   0.0),
    ( 2,  0,  2, -2,  1,       1.0,    0.0,     -1.0,   0.0),
    ( 2,  0,  2,  2,  2,      -1.0,    0.0,      0.0,   0.0),
    ( 1,  0,  0,  2,  1,      -1.0,    0.0,      0.0,   0.0),
    ( 0,  0,  4, -2,  2,       1.0,    0.0,      0.0,   0.0),
    ( 3,  0,  2, -2,  2,       1.0,    0.0,      0.0,   0.0),
    ( 1,  0,  2, -2,  0,      -1.0,    0.0,      0.0,   0.0),
    ( 0,  1,  2,  0,  1,       1.0,    0.0,      0.0,   0.0),
    (-1, -1,  0,  2,  1,       1.0,    0.0,      0.0,   0.0),
    ( 0,  0, -2,  0,  1,      -1.0,    0.0,      0.0,   0.0),
    ( 0,  0,  2, -1,  2,      -1.0,    0.0,      0.0,   0.0),
    ( 0,  1,  0,  2,  0,      -1.0,    0.0,      0.0,   0.0),
    ( 1,  0, -2, -2,  0,      -1.0,    0.0,      0.0,   0.0),
    ( 0, -1,  2,  0,  1,      -1.0,    0.0,      0.0,   0.0),
    ( 1,  1,  0, -2,  1,      -1.0,    0.0,      0.0,   0.0),
    ( 1,  0, -2,  2,  0,      -1.0,    0.0,      0.0,   0.0),
    ( 2,  0,  0,  2,  0,       1.0,    0.0,      0.0,   0.0),
    ( 0,  0,  2,  4,  2,      -1.0,    0.0,      0.0,   0.0),
    ( 0,  1,  0,  1,  0,       1.0,    0.0,      0.0,   0.0),
]

MINIMUM_LONGITUDE_TERM = 3.0  # 0.0003"
ROWS = 62
MULTIPLE_LIMITS = (3, 2, 4, 4, 2)


def selected_rows():
    """The file's rows as lists of nine integers."""
    rows = []
    for term in SERIES_1980[1:]:  # the first is the leading term in Omega alone
        multiples = term[:5]
        sine, sine_rate, cosine, cosine_rate = term[5:]
        if abs(sine) < MINIMUM_LONGITUDE_TERM:
            continue
        rows.append(list(multiples) + [int(round(sine)), int(round(sine_rate * 10)),
                                       int(round(cosine)), int(round(cosine_rate * 10))])
    return rows


def check(rows):
    if len(rows) != ROWS:
        raise ValueError('expected %d rows, got %d' % (ROWS, len(rows)))
    for row in rows:
        if not any(row[:5]):
            raise ValueError('row without a multiple: %r' % (row,))
        for value, limit in zip(row[:5], MULTIPLE_LIMITS):
            if abs(value) > limit:
                raise ValueError('multiple out of range: %r' % (row,))
        for value in row:
            if not -32768 <= value <= 32767:
                raise ValueError('value does not fit 16 bits: %r' % (row,))


def file_bytes():
    rows = selected_rows()
    check(rows)
    return b''.join(struct.pack('<9h', *row) for row in rows)


def main():
    parser = argparse.ArgumentParser(description='Write nutcon.bin into a folder.')
    parser.add_argument('--out', required=True, help='folder to write nutcon.bin into')
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    data = file_bytes()
    path = os.path.join(args.out, 'nutcon.bin')
    temporary = path + '.tmp'
    with open(temporary, 'wb') as f:
        f.write(data)
    os.replace(temporary, path)
    print('wrote %s (%d bytes)' % (path, len(data)))
    return 0


if __name__ == '__main__':
    sys.exit(main())
