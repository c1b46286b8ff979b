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
index fits a signed 16-bit field (about 30,000 terms in all, the fitted ones
below included); against the full VSOP87 the truncation costs under 0.01"
within a few centuries of J2000 and up to 15" at the ends of the range of
dates below.

Table 0 is the Earth's J2000 series as it stands. Tables 1..8 are referred
to the ecliptic and equinox of date: the longitude gains the general
precession p_A (Lieske et al. 1977, A&A 58, 1) as exact polynomial terms, and
the remaining difference (the tilt of the ecliptic of date, and its
second-order effect on the longitude; Meeus, ch. 21) is fitted by least
squares over the whole range of dates the suite accepts (years -4712 to
9999) as VSOP-form terms; the generator checks the fit against the exact
rotation on an even grid and prints its largest error per planet: within
0.1" over 1600-2400 for every planet, and at the ends of the range of the
order of what the truncation of the series itself costs there (see
FIT_LIMIT).

Needs numpy (Debian package python3-numpy); an interpreter without it
hands over to the system's /usr/bin/python3.

Usage: gen_ephemeris_tables.py --out FOLDER [--source /usr/share/kstars]
"""
import argparse
import math
import os
import struct
import sys

try:
    import numpy  # noqa: F401  (used by the fit; imported there)
except ImportError:
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("numpy is needed (Debian package python3-numpy)")

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
    """L, B, R of a planet's series (cells from read_planet) at tau Julian
    millennia from J2000, in radians and AU."""
    out = []
    for coord in range(3):
        total, p = 0.0, 1.0
        for power in range(6):
            total += p * sum(a * math.cos(b + c * tau) for a, b, c in cells[6 * coord + power])
            p *= tau
        out.append(total)
    return out


# The span of the fit: the whole range of dates the suite accepts (years
# -4712 to 9999), in Julian millennia from J2000, with a little margin.
FIT_FIRST = -6.72
FIT_LAST = 8.01
FIT_POWERS = 6          # tau^0 .. tau^5, the powers a table cell holds
FIT_SAMPLES = 9000      # pseudo-random instants (no aliasing with any frequency)
FIT_CHECKS = 20001      # evenly spaced instants of the final check
# Multiples of the mean motion kept per planet (more for larger eccentricities).
FIT_HARMONICS = {"mercury": 6, "venus": 4, "earth": 4, "mars": 6, "jupiter": 6, "saturn": 6,
                 "uranus": 6, "neptune": 6}
# Largest periodic terms of the longitude whose frequency nu is not a multiple
# of the mean motion n: the terms nu, n +- nu, 2n +- nu carry the correction's dependence on
# them (see of_date).
FIT_PERTURBATIONS = {"mercury": 4, "venus": 4, "earth": 4, "mars": 6, "jupiter": 28,
                     "saturn": 28, "uranus": 16, "neptune": 16}
# Frequencies closer than this (rad per millennium) are not told apart over
# the span (2 pi / 14.7 millennia is 0.43) and are kept only once.
FIT_SEPARATION = 1.0
# Distance from J2000 (millennia) at which a sample weighs half, and the
# ridge of the least squares (on columns scaled to 1).
FIT_WEIGHT_SCALE = 1.0
FIT_RIDGE = 1e-5
# Terms of the series that reach less than this (rad or AU) anywhere in the
# span (amplitude x |tau|^power) are left out of the samples of the
# correction, which depends on the place only through slowly varying factors
# (a place 1" off changes it by under 0.02" at the ends of the span).
FIT_SOURCE_SMALLEST = 1e-7
# A fitted term is kept when it can reach this much (rad) anywhere in the span.
FIT_SMALLEST = 2e-9
# The fit must stay within this (arcseconds) of the exact rotation over the
# span. It is within 0.1" over 1600-2400 for every planet and within 1" over
# the whole span for all but Jupiter and Saturn, whose places at the ends of
# the span carry powers of tau beyond those a cell holds once multiplied by
# the tilt (11" and 20" there; the truncation of their series alone costs 6"
# and 14" there, against the full VSOP87).
FIT_LIMIT = 25.0
# No fitted term may be larger than this (rad): the whole correction is
# under a degree, so larger terms would cancel each other.
FIT_LARGEST = 0.05


def frequencies(j2000, harmonics, perturbations):
    """The frequencies of the fitted terms: 0, the multiples of the mean motion
    n, and n +- nu for the largest periodic terms nu of the longitude."""
    n = j2000[1][0][0] if j2000[1] and j2000[1][0][2] == 0.0 else 0.0
    chosen = [j * n for j in range(harmonics + 1)]
    # Terms of every power of tau, ranked by what they reach in the span.
    reach = max(abs(FIT_FIRST), abs(FIT_LAST))
    others = [(abs(a) * reach ** k, c) for k in range(6) for a, _, c in j2000[k]
              if c > 0.0 and min(abs(c - f) for f in chosen) > FIT_SEPARATION]
    others.sort(key=lambda t: -t[0])
    picked = []
    for _, nu in others:
        if len(picked) < perturbations and all(abs(nu - q) > FIT_SEPARATION for q in picked):
            picked.append(nu)
    for nu in picked:
        for f in (nu, n + nu, abs(n - nu), 2.0 * n + nu, abs(2.0 * n - nu)):
            if min(abs(f - g) for g in chosen) > FIT_SEPARATION:
                chosen.append(f)
    return chosen


def design(np, tau, freqs):
    columns, kinds = [], []
    for k in range(FIT_POWERS):
        power = tau ** k
        for f in freqs:
            if f == 0.0:
                columns.append(power)
                kinds.append((k, f, "c"))
            else:
                columns.append(power * np.cos(f * tau))
                columns.append(power * np.sin(f * tau))
                kinds.append((k, f, "c"))
                kinds.append((k, f, "s"))
    return np.array(columns).T, kinds


def correction(np, cells, tau):
    """The exact difference (longitude, latitude; rad) between a planet's place
    referred to the ecliptic and equinox of date, less the general precession
    in longitude, and its place referred to those of J2000, at the instants
    tau (Julian millennia from J2000); and the cosine of the latitude."""
    lon = np.zeros_like(tau)
    lat = np.zeros_like(tau)
    for coord, total in ((0, lon), (1, lat)):
        power = np.ones_like(tau)
        for k in range(6):
            for a, b, c in cells[6 * coord + k]:
                total += a * power * np.cos(b + c * tau)
            power = power * tau
    t = 10.0 * tau
    eta = (47.0029 * t - 0.03302 * t * t + 0.000060 * t ** 3) * ARCSEC
    pi_ = (174.876384 * 3600.0 - 869.8089 * t + 0.03536 * t * t) * ARCSEC
    p = (5029.0966 * t + 1.11113 * t * t - 0.000006 * t ** 3) * ARCSEC
    a = np.cos(eta) * np.cos(lat) * np.sin(pi_ - lon) - np.sin(eta) * np.sin(lat)
    b = np.cos(lat) * np.cos(pi_ - lon)
    c = np.cos(eta) * np.sin(lat) + np.sin(eta) * np.cos(lat) * np.sin(pi_ - lon)
    d_lon = np.remainder(p + pi_ - np.arctan2(a, b) - lon - p + np.pi, 2.0 * np.pi) - np.pi
    d_lat = np.arcsin(np.clip(c, -1.0, 1.0)) - lat
    return d_lon, d_lat, np.cos(lat)


def of_date(name, j2000):
    """A planet's series referred to the ecliptic and equinox of date, from
    its J2000 series, and the largest error of the fit (arcseconds).

    The general precession in longitude p_A is added exactly as polynomial
    terms. The rest (the tilt of the ecliptic of date, and its second-order
    effects on the longitude; to first order -eta sin(l - Pi) in latitude)
    depends on the planet's true longitude l, so it is fitted by least
    squares over the whole span as terms tau^k (cos, sin)(f tau) with f the
    multiples of the mean motion n and the combinations nu, n +- nu and
    2n +- nu with the frequencies nu of the largest perturbations of l. A
    lighter copy of the series serves for the samples (FIT_SOURCE_SMALLEST).
    A fit over a short span lets the terms of a slow planet cancel each
    other inside it and grow without bound outside (Neptune moves less than
    two periods in 300 years), hence the whole span and the ridge.
    """
    import numpy as np
    cells = [list(c) for c in j2000]
    for k, coef in enumerate((5029.0966 * 10.0, 1.11113 * 100.0, -0.000006 * 1000.0), start=1):
        cells[k].append((coef * ARCSEC, 0.0, 0.0))
    reach = max(abs(FIT_FIRST), abs(FIT_LAST))
    light = [[term for term in cell if abs(term[0]) * reach ** (c % 6) >= FIT_SOURCE_SMALLEST]
             for c, cell in enumerate(j2000)]
    freqs = frequencies(j2000, FIT_HARMONICS[name], FIT_PERTURBATIONS[name])
    rng = np.random.default_rng(20000101)
    tau = np.sort(rng.uniform(FIT_FIRST, FIT_LAST, FIT_SAMPLES))
    d_lon, d_lat, _ = correction(np, light, tau)
    matrix, kinds = design(np, tau, freqs)
    # Weights that fall with the distance from J2000 as the series' own
    # accuracy does, so that the present centuries are fitted closest; and a
    # light ridge that keeps nearly equal frequencies from cancelling.
    weight = 1.0 / (1.0 + (tau / FIT_WEIGHT_SCALE) ** 2)
    scale = np.max(np.abs(matrix), axis=0)
    scaled = matrix / scale * weight[:, None]
    rhs = np.stack([d_lon, d_lat], axis=1) * weight[:, None]
    ridge = FIT_RIDGE * np.eye(scaled.shape[1])
    solution = np.linalg.lstsq(np.vstack([scaled, ridge]),
                               np.vstack([rhs, np.zeros((scaled.shape[1], 2))]), rcond=None)[0]
    solution = solution / scale[:, None]
    fitted = [[], []]
    for coord in range(2):
        x = solution[:, coord]
        i = 0
        while i < len(kinds):
            k, f, _ = kinds[i]
            if f == 0.0:
                amplitude, phase, i = x[i], 0.0, i + 1
            else:
                # c cos(f tau) + s sin(f tau) = A cos(phi + f tau)
                amplitude, phase = math.hypot(x[i], x[i + 1]), math.atan2(-x[i + 1], x[i])
                i += 2
            if abs(amplitude) * reach ** k >= FIT_SMALLEST:
                fitted[coord].append((k, float(amplitude), float(phase), float(f)))
    # The check: the kept terms against the exact rotation on an even grid.
    grid = np.linspace(FIT_FIRST, FIT_LAST, FIT_CHECKS)
    d_lon, d_lat, cos_lat = correction(np, light, grid)
    residual = [d_lon.copy(), d_lat.copy()]
    for coord in range(2):
        for k, a, b, f in fitted[coord]:
            residual[coord] -= a * grid ** k * np.cos(b + f * grid)
            cells[6 * coord + k].append((a, b, f))
    error = np.hypot(residual[0] * cos_lat, residual[1]) / ARCSEC
    central = (grid >= -0.4) & (grid <= 0.4)
    largest = max(abs(a) for coord in range(2) for _, a, _, _ in fitted[coord])
    return cells, (float(np.max(error)), float(np.max(error[central])), largest)


def write_planets(out, source):
    tables = [None] * 9
    for i, name in enumerate(PLANETS, start=1):
        tables[i], (worst, central, largest) = of_date(name, read_planet(source, name))
        # A large fitted amplitude means terms that cancel each other.
        if worst > FIT_LIMIT or largest > FIT_LARGEST:
            sys.exit("%s: the fit to the ecliptic of date is %.3f\" off (largest term %.3g)"
                     % (name, worst, largest))
        print("%-8s fit to the ecliptic of date within %.3f\" (%.4f\" in 1600-2400),"
              " largest term %.2e rad" % (name, worst, central, largest), file=sys.stderr)
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
