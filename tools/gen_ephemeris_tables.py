#!/usr/bin/env python3
"""Writes the packaged ephemeris tables of the solar-system folder:
"PLANETS.NDX", "PLANETS.BIN", "moontab.bin" and "usats.bin".

Sources (Debian package kstars-data, /usr/share/kstars):
  <planet>.<L|B|R><power>.vsop  VSOP87 heliocentric spherical coordinates
      referred to the ecliptic and equinox of J2000 (the VSOP87B form;
      Bretagnon & Francou 1988, A&A 202, 309), one term per line: amplitude,
      phase (rad), frequency (rad per Julian millennium).
  moonLR.dat, moonB.dat  the periodic terms of the Moon's longitude, distance
      and latitude (ELP-2000/82 abridged, Meeus, Astronomical Algorithms, 2nd
      ed., tables 47.A and 47.B): multiples of D, M, M', F and coefficients
      in 1e-6 degree and 0.001 km.

Layouts (all little-endian; the reader is ephem/ephemload.cpp):
  PLANETS.NDX  9 records of 72 bytes, record t for series table t (0 the
      Earth referred to the ecliptic and equinox of J2000, 1..8 Mercury..
      Neptune of date). Record: 18 cells of (int16 first term, int16 count),
      cell = 6 x coordinate (0 L, 1 B, 2 R) + power of tau (0..5); the first
      term is meaningful in cell 0 only: the index, in 24-byte terms, of the
      table's first term in PLANETS.BIN.
  PLANETS.BIN  24-byte terms (double amplitude, phase, frequency), each
      table's terms contiguous in cell order.
  moontab.bin  60 rows of 6 int32 (D, M, M', F, longitude 1e-6 deg, distance
      0.001 km), then 60 rows of 5 int32 (D, M, M', F, latitude 1e-6 deg).
  usats.bin    253 doubles (2,024 bytes), the Uranian satellite table; this
      generator writes it minimal, see write_usats.

Terms smaller than 1e-9 (rad or AU) are left out, so that every first-term
index fits a signed 16-bit field (about 26,700 terms in all); the truncation
costs well under 0.01 arcsecond.

Table 0 is the Earth's J2000 series as it stands. Tables 1..8 are referred
to the ecliptic and equinox of date: the longitude gains the general
precession p_A (Lieske et al. 1977, A&A 58, 1) as exact polynomial terms, and
the remaining difference (the tilt of the ecliptic of date, and its
second-order effect on the longitude; Meeus, ch. 21) is fitted by least
squares over 1850..2150 as VSOP-form terms (residual within 0.1").

Usage: gen_ephemeris_tables.py --out FOLDER [--source /usr/share/kstars]
"""
import argparse
import math
import os
import struct
import sys

PLANETS = ["mercury", "venus", "earth", "mars", "jupiter", "saturn", "uranus", "neptune"]
THRESHOLD = 1e-9
ARCSEC = math.pi / 180.0 / 3600.0


def read_cell(source, planet, coord, power):
    path = os.path.join(source, "%s.%s%d.vsop" % (planet, coord, power))
    terms = []
    if not os.path.exists(path):
        return terms
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) < 3:
                continue
            a, b, c = (float(x) for x in parts[:3])
            if abs(a) >= THRESHOLD:
                terms.append((a, b, c))
    return terms


def read_planet(source, planet):
    return [read_cell(source, planet, coord, power) for coord in "LBR" for power in range(6)]


def evaluate(cells, tau):
    out = []
    for coord in range(3):
        total, p = 0.0, 1.0
        for power in range(6):
            s = 0.0
            for a, b, c in cells[6 * coord + power]:
                s += a * math.cos(b + c * tau)
            total += s * p
            p *= tau
        out.append(total)
    return out


def precession_angles(t):
    """eta, Pi, p (radians) carrying ecliptic places of J2000 to the ecliptic
    and equinox of the epoch t (Julian centuries from J2000); Meeus, ch. 21,
    with the IAU 1976 values of Lieske et al."""
    eta = (47.0029 * t - 0.03302 * t * t + 0.000060 * t ** 3) * ARCSEC
    pi_ = (174.876384 * 3600.0 - 869.8089 * t + 0.03536 * t * t) * ARCSEC
    p = (5029.0966 * t + 1.11113 * t * t - 0.000006 * t ** 3) * ARCSEC
    return eta, pi_, p


def to_date(lon, lat, t):
    eta, pi_, p = precession_angles(t)
    a = math.cos(eta) * math.cos(lat) * math.sin(pi_ - lon) - math.sin(eta) * math.sin(lat)
    b = math.cos(lat) * math.cos(pi_ - lon)
    c = math.cos(eta) * math.sin(lat) + math.sin(eta) * math.cos(lat) * math.sin(pi_ - lon)
    return p + pi_ - math.atan2(a, b), math.asin(c)


def solve(matrix, rhs):
    """Gaussian elimination with partial pivoting (small dense systems)."""
    n = len(rhs)
    m = [row[:] + [rhs[i]] for i, row in enumerate(matrix)]
    for col in range(n):
        piv = max(range(col, n), key=lambda r: abs(m[r][col]))
        m[col], m[piv] = m[piv], m[col]
        for r in range(col + 1, n):
            f = m[r][col] / m[col][col]
            for k in range(col, n + 1):
                m[r][k] -= f * m[col][k]
    x = [0.0] * n
    for r in range(n - 1, -1, -1):
        x[r] = (m[r][n] - sum(m[r][k] * x[k] for k in range(r + 1, n))) / m[r][r]
    return x


FIT_SPAN = 0.15     # millennia either side of J2000 (1850..2150)
FIT_POWERS = (0, 1, 2, 3)
# Multiples of the mean motion kept per planet (more for larger eccentricities).
FIT_HARMONICS = {"mercury": 5, "venus": 2, "earth": 2, "mars": 4, "jupiter": 5, "saturn": 6,
                 "uranus": 3, "neptune": 2}


def of_date(j2000, harmonics):
    """A planet's series referred to the ecliptic and equinox of date, from
    its J2000 series (see the file comment)."""
    cells = [list(c) for c in j2000]
    # The general precession in longitude, added exactly as a polynomial in
    # tau = t / 10: p = 5029.0966" t + 1.11113" t^2 - 0.000006" t^3.
    for k, coef in enumerate((5029.0966 * 10.0, 1.11113 * 100.0, -0.000006 * 1000.0), start=1):
        cells[k].append((coef * ARCSEC, 0.0, 0.0))
    # The rest (the tilt of the ecliptic, and its second-order effects on
    # the longitude) fitted over 1700..2300 as terms tau^k (cos, sin)(j n tau)
    # with n the planet's mean motion; a coarse copy of the series suffices
    # for the samples, as the residual depends on the place only through
    # slowly varying factors.
    coarse = [[term for term in cell if abs(term[0]) >= 1e-6] for cell in j2000]
    n = j2000[1][0][0] if j2000[1] and j2000[1][0][2] == 0.0 else 0.0
    basis = []
    for k in FIT_POWERS:
        basis.append((k, 0.0, "c"))
        for j in range(1, harmonics + 1):
            basis.append((k, j * n, "c"))
            basis.append((k, j * n, "s"))
    size = len(basis)
    ata = [[0.0] * size for _ in range(size)]
    atb = [[0.0] * size, [0.0] * size]
    # Four samples or more per period of the highest harmonic.
    samples = max(400, int(2.0 * FIT_SPAN * harmonics * n / (2.0 * math.pi) * 4.0))
    for i in range(samples + 1):
        tau = -FIT_SPAN + 2.0 * FIT_SPAN * i / samples
        lon, lat, _ = evaluate(coarse, tau)
        lon_d, lat_d = to_date(lon, lat, 10.0 * tau)
        p = precession_angles(10.0 * tau)[2]
        residual = (math.remainder(lon_d - lon - p, 2.0 * math.pi), lat_d - lat)
        row = [tau ** k * (math.cos(f * tau) if kind == "c" else math.sin(f * tau))
               for k, f, kind in basis]
        for a in range(size):
            for c in range(2):
                atb[c][a] += row[a] * residual[c]
            for b in range(size):
                ata[a][b] += row[a] * row[b]
    for coord in range(2):
        x = solve(ata, atb[coord])
        i = 0
        while i < size:
            k, f, kind = basis[i]
            if f == 0.0:
                if x[i] != 0.0:
                    cells[6 * coord + k].append((x[i], 0.0, 0.0))
                i += 1
            else:
                c, s = x[i], x[i + 1]
                # c cos(f tau) + s sin(f tau) = A cos(phi + f tau)
                cells[6 * coord + k].append((math.hypot(c, s), math.atan2(-s, c), f))
                i += 2
    return cells


def write_planets(out, source):
    tables = [None] * 9
    for i, name in enumerate(PLANETS, start=1):
        tables[i] = of_date(read_planet(source, name), FIT_HARMONICS[name])
    tables[0] = read_planet(source, "earth")
    ndx = bytearray()
    binary = bytearray()
    first = 0
    for t in range(9):
        if first > 32767:
            sys.exit("too many terms for 16-bit indexes")
        for c, cell in enumerate(tables[t]):
            if len(cell) > 32767:
                sys.exit("too many terms in one cell")
            ndx += struct.pack("<hh", first if c == 0 else 0, len(cell))
            for a, b, f in cell:
                binary += struct.pack("<ddd", a, b, f)
        first += sum(len(cell) for cell in tables[t])
    assert len(ndx) == 648
    with open(os.path.join(out, "PLANETS.NDX"), "wb") as f:
        f.write(ndx)
    with open(os.path.join(out, "PLANETS.BIN"), "wb") as f:
        f.write(binary)
    return first


def read_rows(path, width):
    rows = []
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= width:
                rows.append([int(x) for x in parts[:width]])
    if len(rows) != 60:
        sys.exit("%s: expected 60 rows, found %d" % (path, len(rows)))
    return rows


def write_moontab(out, source):
    data = bytearray()
    for row in read_rows(os.path.join(source, "moonLR.dat"), 6):
        data += struct.pack("<6i", *row)
    for row in read_rows(os.path.join(source, "moonB.dat"), 5):
        data += struct.pack("<5i", *row)
    assert len(data) == 2640
    with open(os.path.join(out, "moontab.bin"), "wb") as f:
        f.write(data)


def write_usats(out):
    """A minimal Uranian satellite table: GM of Uranus (AU^3 per day^2, from
    GM = 5,793,939 km^3/s^2) and the satellites' magnitude constants (V(1,0):
    Ariel 1.45, Umbriel 2.10, Titania 1.02, Oberon 1.23); every series
    coefficient is 0, so the satellites' own series are not represented."""
    values = [0.0] * 253
    au_km = 149597870.7
    values[0] = 5793939.0 * 86400.0 ** 2 / au_km ** 3
    values[249:253] = [1.45, 2.10, 1.02, 1.23]
    with open(os.path.join(out, "usats.bin"), "wb") as f:
        f.write(struct.pack("<253d", *values))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    ap.add_argument("--source", default="/usr/share/kstars")
    args = ap.parse_args()
    if not os.path.exists(os.path.join(args.source, "earth.L0.vsop")):
        sys.exit("no VSOP87 tables in %s (Debian package kstars-data)" % args.source)
    os.makedirs(args.out, exist_ok=True)
    count = write_planets(args.out, args.source)
    write_moontab(args.out, args.source)
    write_usats(args.out)
    print("PLANETS.BIN: %d terms; moontab.bin, usats.bin written to %s" % (count, args.out))


if __name__ == "__main__":
    main()
