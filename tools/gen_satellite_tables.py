#!/usr/bin/env python3
"""Writes the packaged tables of the planets' satellites into the
solar-system folder: "usats.bin" (the Uranian satellite series) and the day
tables "Phoebe.bin" and "Himalia.bin".

usats.bin: 253 little-endian doubles (2,024 bytes), j = 0 Ariel .. 3 Oberon:
  0                GM of Uranus, AU^3 per day^2
  1 + j            mass ratio m_j of satellite j to Uranus
  5 + 4j + k       mean motion n = 1e-6 sum A cos(1e-6 (B t + C)), k = 0..3:
  21 + 4j + k        amplitudes A (1e-6 rad/day), frequencies B (1e-6 rad/day),
  37 + 4j + k        phases C (1e-6 rad); term 0 is the constant (B = C = 0)
  53 + 6j + k      mean longitude: k = 0 at the epoch, 1 its rate per day, 2..5
  77 + 6j + k        sine amplitudes L; frequencies F and phases G (k = 2..5)
  101 + 6j + k       in the same 1e-6 units
  125 + 6j + k     eccentricity vector h + i k = 1e-6 sum E exp(i (t / PE + QE)):
  149 + 6j + k       amplitudes E (1e-6), periods PE (days per rad), phases
  173 + 6j + k       QE (rad), six terms
  197 + 3j + k     inclination vector (sin(i/2) cos, sin): amplitudes S (1e-6),
  209 + 3j + k       periods PS (days per rad), phases QS (rad), three terms
  221 + 3j + k
  233 .. 248       unused (0)
  249 + j          magnitude constant V(1,0)
  t = JD(TT) - 2444239.5. Source: the GUST86 theory of Laskar & Jacobson
  (A&A 188, 212, 1987), whose series are transcribed below; each
  satellite's largest terms fill the slots of the layout (the terms left out
  are below 1e-4 rad, well under 0.05" at Uranus' distance). Every period of
  a used term is non-zero; an unused term has amplitude 0 and period 1.
  The orbits are referred to the Uranian equator with the pole opposite to
  Uranus' north pole; longitudes count from the descending node of that
  equator on the Earth's equator, as the theory gives them.

Phoebe.bin, Himalia.bin: records of two float32 (X, Y): the satellite's
  offset from the planet's centre in arcseconds, X along the right ascension
  (positive east, already multiplied by cos Dec), Y along the declination;
  record 0 at JD 2433282.5, one record a day (Phoebe, to JD 2458818.5) or
  half day (Himalia, to JD 2459945.5). No public offline source gives their
  positions, so they are computed here from published osculating elements on
  Keplerian orbits (about 0.1 degree of orbit per decade from the epoch, a
  few arcseconds to a few arcminutes at the ends of the span):
    Phoebe: the mean elements of 1950 (ecliptic and equinox of 1950, a
      retrograde orbit: longitudes count backward from the node), a 0.0865752
      AU, e 0.16326, mean longitude 277.872 - 0.6541068 d - 90, perisaturnium
      280.165 - 0.19586 y, inclination 173.949 - 0.02 y, node 245.998 -
      0.41353 y (degrees; d days, y years from JD 2433282.5);
    Himalia: osculating elements of epoch JD 2458600.5 (ecliptic and equinox
      J2000): a 0.0761287 AU, e 0.1537860, i 29.90917, node 44.99935,
      argument of perijove 21.60643, mean anomaly 94.30785 degrees, period
      248.29 days.
  The planets' places come from the VSOP87 series of kstars-data (the same
  source as gen_ephemeris_tables.py; terms of 1e-6 and more, interpolated in
  a 4-day grid), with one light-time pass; offsets are formed on the J2000
  equator.

Usage: gen_satellite_tables.py --out FOLDER [--source /usr/share/kstars]
       [--only usats|daytables]
"""
import argparse
import math
import os
import struct
import sys

# ---- GUST86 ----------------------------------------------------------------
# Fundamental frequencies (rad per day) and phases (rad) of the theory: the
# mean longitudes an_k = FQN_k t + PHN_k of Miranda .. Oberon, and the proper
# modes of the eccentricities ae_k and inclinations ai_k.
DEG_PER_YEAR = math.pi / (180.0 * 365.25)
FQN = [4.44519055, 2.492952519, 1.516148111, 0.721718509, 0.46669212]
FQE = [x * DEG_PER_YEAR for x in (20.082, 6.217, 2.865, 2.078, 0.386)]
FQI = [x * DEG_PER_YEAR for x in (-20.309, -6.288, -2.836, -1.843, -0.259)]
PHN = [-0.238051, 3.098046, 2.285402, 0.856359, -0.915592]
PHE = [0.611392, 2.408974, 2.067774, 0.735131, 0.426767]
PHI = [5.702313, 0.395757, 0.589326, 1.746237, 4.206896]
# GM of Uranus and of the satellites (km^3/s^2), GUST86.
GM_URANUS_KM = 5794554.5
GM_SATELLITES_KM = [86.1, 84.0, 230.0, 200.0]  # Ariel .. Oberon
MAGNITUDES = [1.45, 2.10, 1.02, 1.23]           # V(1,0), Ariel .. Oberon

# A term: (amplitude, multiples of an_0..an_4, index of the proper mode
# added to the argument or None). Mean motions (rad/day) and longitudes (rad)
# of Ariel .. Oberon: (constant or rate, phase, terms).


def T(amp, n=(0, 0, 0, 0, 0), mode=None):
    return (amp, n, mode)


ARIEL = dict(
    n0=2.49254257,
    n=[T(2.55e-6, (1, -3, 2, 0, 0)), T(-4.216e-5, (0, 1, -1, 0, 0)),
       T(-1.0256e-4, (0, 2, -2, 0, 0))],
    rate=2.49295252, phase=3.09804641,
    lam=[T(-0.0018605, (1, -3, 2, 0, 0)), T(2.1999e-4, (2, -6, 4, 0, 0)),
         T(2.31e-5, (3, -9, 6, 0, 0)), T(4.3e-6, (4, -12, 8, 0, 0)),
         T(-9.011e-5, (0, 1, -1, 0, 0)), T(-9.107e-5, (0, 2, -2, 0, 0)),
         T(-4.275e-5, (0, 3, -3, 0, 0)), T(-1.649e-5, (0, 2, 0, -2, 0))],
    e=[T(-3.35e-6, mode=0), T(0.00118763, mode=1), T(8.6159e-4, mode=2), T(7.15e-5, mode=3),
       T(5.559e-5, mode=4), T(-8.46e-5, (0, -1, 2, 0, 0)), T(9.181e-5, (0, -2, 3, 0, 0)),
       T(2.003e-5, (0, -1, 0, 2, 0)), T(8.977e-5, (0, 1, 0, 0, 0))],
    i=[-1.2175e-4, 3.5825e-4, 2.9008e-4, 9.778e-5, 3.397e-5])

UMBRIEL = dict(
    n0=1.5159549,
    n=[T(9.74e-6, (0, 0, 1, -2, 0), 2), T(-1.06e-4, (0, 1, -1, 0, 0)),
       T(5.416e-5, (0, 2, -2, 0, 0)), T(-2.359e-5, (0, 0, 1, -1, 0)),
       T(-7.07e-5, (0, 0, 2, -2, 0)), T(-3.628e-5, (0, 0, 3, -3, 0))],
    rate=1.51614811, phase=2.28540169,
    lam=[T(6.6057e-4, (1, -3, 2, 0, 0)), T(-7.651e-5, (2, -6, 4, 0, 0)),
         T(-8.96e-6, (3, -9, 6, 0, 0)), T(-2.53e-6, (4, -12, 8, 0, 0)),
         T(-5.291e-5, (0, 0, 1, -4, 3)), T(-7.34e-6, (0, 0, 1, -2, 0), 4),
         T(-1.83e-6, (0, 0, 1, -2, 0), 3), T(1.4791e-4, (0, 0, 1, -2, 0), 2),
         T(-7.77e-6, (0, 0, 1, -2, 0), 1), T(9.776e-5, (0, 1, -1, 0, 0)),
         T(7.313e-5, (0, 2, -2, 0, 0)), T(3.471e-5, (0, 3, -3, 0, 0)),
         T(1.889e-5, (0, 4, -4, 0, 0)), T(-6.789e-5, (0, 0, 1, -1, 0)),
         T(-8.286e-5, (0, 0, 2, -2, 0)), T(-3.381e-5, (0, 0, 3, -3, 0)),
         T(-1.579e-5, (0, 0, 4, -4, 0)), T(-1.021e-5, (0, 0, 1, 0, -1)),
         T(-1.708e-5, (0, 0, 2, 0, -2))],
    e=[T(-2.1e-7, mode=0), T(-2.2795e-4, mode=1), T(0.00390469, mode=2), T(3.0917e-4, mode=3),
       T(2.2192e-4, mode=4), T(2.934e-5, (0, 1, 0, 0, 0)), T(2.62e-5 + 4.625e-5, (0, 0, 1, 0, 0)),
       T(5.119e-5, (0, -1, 2, 0, 0)), T(-1.0386e-4, (0, -2, 3, 0, 0)),
       T(-2.716e-5, (0, -3, 4, 0, 0)), T(-1.622e-5, (0, 0, 0, 1, 0)),
       T(5.4923e-4, (0, 0, -1, 2, 0)), T(3.47e-5, (0, 0, -2, 3, 0)),
       T(1.281e-5, (0, 0, -3, 4, 0)), T(2.181e-5, (0, 0, -1, 0, 2))],
    i=[-1.086e-5, -8.151e-5, 0.00111336, 3.5014e-4, 1.065e-4])

TITANIA = dict(
    n0=0.72166316,
    n=[T(-2.64e-6, (0, 0, 1, -2, 0), 2), T(-2.16e-6, (0, 0, 0, 2, -3), 4),
       T(6.45e-6, (0, 0, 0, 2, -3), 3), T(-1.11e-6, (0, 0, 0, 2, -3), 2),
       T(-6.223e-5, (0, 1, 0, -1, 0)), T(-5.613e-5, (0, 0, 1, -1, 0)),
       T(-3.994e-5, (0, 0, 0, 1, -1)), T(-9.185e-5, (0, 0, 0, 2, -2)),
       T(-5.831e-5, (0, 0, 0, 3, -3)), T(-3.86e-5, (0, 0, 0, 4, -4)),
       T(-2.618e-5, (0, 0, 0, 5, -5)), T(-1.806e-5, (0, 0, 0, 6, -6))],
    rate=0.72171851, phase=0.85635879,
    lam=[T(2.061e-5, (0, 0, 1, -4, 3)), T(-2.07e-6, (0, 0, 1, -2, 0), 4),
         T(-2.88e-6, (0, 0, 1, -2, 0), 3), T(-4.079e-5, (0, 0, 1, -2, 0), 2),
         T(2.11e-6, (0, 0, 1, -2, 0), 1), T(-5.183e-5, (0, 0, 0, 2, -3), 4),
         T(1.5987e-4, (0, 0, 0, 2, -3), 3), T(-3.505e-5, (0, 0, 0, 2, -3), 2),
         T(-1.56e-6, (0, 0, 0, 3, -4), 4), T(4.054e-5, (0, 1, 0, -1, 0)),
         T(4.617e-5, (0, 0, 1, -1, 0)), T(-3.1776e-4, (0, 0, 0, 1, -1)),
         T(-3.0559e-4, (0, 0, 0, 2, -2)), T(-1.4836e-4, (0, 0, 0, 3, -3)),
         T(-8.292e-5, (0, 0, 0, 4, -4)), T(-4.998e-5, (0, 0, 0, 5, -5)),
         T(-3.156e-5, (0, 0, 0, 6, -6)), T(-2.056e-5, (0, 0, 0, 7, -7)),
         T(-1.369e-5, (0, 0, 0, 8, -8))],
    e=[T(-2e-8, mode=0), T(-1.29e-6, mode=1), T(-3.2451e-4, mode=2), T(9.3281e-4, mode=3),
       T(0.00112089, mode=4), T(3.386e-5, (0, 1, 0, 0, 0)),
       T(1.746e-5 - 1.786e-5, (0, 0, 0, 1, 0)), T(1.658e-5, (0, -1, 0, 2, 0)),
       T(2.889e-5, (0, 0, 1, 0, 0)), T(-3.586e-5, (0, 0, -1, 2, 0)),
       T(-3.21e-5, (0, 0, 0, 0, 1)), T(-1.7783e-4, (0, 0, 0, -1, 2)),
       T(7.9343e-4, (0, 0, 0, -2, 3)), T(9.948e-5, (0, 0, 0, -3, 4)),
       T(4.483e-5, (0, 0, 0, -4, 5)), T(2.513e-5, (0, 0, 0, -5, 6)),
       T(1.543e-5, (0, 0, 0, -6, 7))],
    i=[-1.43e-6, -1.06e-6, -1.4013e-4, 6.8572e-4, 3.7832e-4])

OBERON = dict(
    n0=0.46658054,
    n=[T(2.08e-6, (0, 0, 0, 2, -3), 4), T(-6.22e-6, (0, 0, 0, 2, -3), 3),
       T(1.07e-6, (0, 0, 0, 2, -3), 2), T(-4.31e-5, (0, 1, 0, 0, -1)),
       T(-3.894e-5, (0, 0, 1, 0, -1)), T(-8.011e-5, (0, 0, 0, 1, -1)),
       T(5.906e-5, (0, 0, 0, 2, -2)), T(3.749e-5, (0, 0, 0, 3, -3)),
       T(2.482e-5, (0, 0, 0, 4, -4)), T(1.684e-5, (0, 0, 0, 5, -5))],
    rate=0.46669212, phase=-0.9155918,
    lam=[T(-7.82e-6, (0, 0, 1, -4, 3)), T(5.129e-5, (0, 0, 0, 2, -3), 4),
         T(-1.5824e-4, (0, 0, 0, 2, -3), 3), T(3.451e-5, (0, 0, 0, 2, -3), 2),
         T(4.751e-5, (0, 1, 0, 0, -1)), T(3.896e-5, (0, 0, 1, 0, -1)),
         T(3.5973e-4, (0, 0, 0, 1, -1)), T(2.8278e-4, (0, 0, 0, 2, -2)),
         T(1.386e-4, (0, 0, 0, 3, -3)), T(7.803e-5, (0, 0, 0, 4, -4)),
         T(4.729e-5, (0, 0, 0, 5, -5)), T(3e-5, (0, 0, 0, 6, -6)),
         T(1.962e-5, (0, 0, 0, 7, -7)), T(1.311e-5, (0, 0, 0, 8, -8))],
    e=[T(-3.5e-7, mode=1), T(7.453e-5, mode=2), T(-7.5868e-4, mode=3), T(0.00139734, mode=4),
       T(3.9e-5, (0, 1, 0, 0, 0)), T(1.766e-5, (0, -1, 0, 0, 2)), T(3.242e-5, (0, 0, 1, 0, 0)),
       T(7.975e-5, (0, 0, 0, 1, 0)), T(7.566e-5, (0, 0, 0, 0, 1)),
       T(1.3404e-4, (0, 0, 0, -1, 2)), T(-9.8726e-4, (0, 0, 0, -2, 3)),
       T(-1.2609e-4, (0, 0, 0, -3, 4)), T(-5.742e-5, (0, 0, 0, -4, 5)),
       T(-3.241e-5, (0, 0, 0, -5, 6)), T(-1.999e-5, (0, 0, 0, -6, 7)),
       T(-1.294e-5, (0, 0, 0, -7, 8))],
    i=[-4.4e-7, -3.1e-7, 3.689e-5, -5.9633e-4, 4.5169e-4])

SATELLITES = [ARIEL, UMBRIEL, TITANIA, OBERON]


def argument(term, modes_freq, modes_phase):
    """Frequency (rad/day) and phase (rad) of a term's argument."""
    _, n, mode = term
    freq = sum(c * f for c, f in zip(n, FQN))
    phase = sum(c * p for c, p in zip(n, PHN))
    if mode is not None:
        freq += modes_freq[mode]
        phase += modes_phase[mode]
    return freq, phase


def largest(terms, count):
    return sorted(terms, key=lambda t: -abs(t[0]))[:count]


def usats_values():
    values = [0.0] * 253
    au_km = 149597870.7
    to_au_day = 86400.0 ** 2 / au_km ** 3
    values[0] = GM_URANUS_KM * to_au_day
    for j, sat in enumerate(SATELLITES):
        values[1 + j] = GM_SATELLITES_KM[j] / GM_URANUS_KM
        # Mean motion: the constant, then the three largest terms.
        values[5 + 4 * j] = sat["n0"] * 1e6
        for k, term in enumerate(largest(sat["n"], 3), start=1):
            freq, phase = argument(term, FQE, PHE)
            values[5 + 4 * j + k] = term[0] * 1e6
            values[21 + 4 * j + k] = freq * 1e6
            values[37 + 4 * j + k] = phase * 1e6
        # Mean longitude: phase at the epoch, rate, the four largest terms.
        values[53 + 6 * j] = sat["phase"] * 1e6
        values[53 + 6 * j + 1] = sat["rate"] * 1e6
        for k, term in enumerate(largest(sat["lam"], 4), start=2):
            freq, phase = argument(term, FQE, PHE)
            values[53 + 6 * j + k] = term[0] * 1e6
            values[77 + 6 * j + k] = freq * 1e6
            values[101 + 6 * j + k] = phase * 1e6
        # Eccentricity vector: the six largest terms; period = 1 / frequency.
        for k, term in enumerate(largest(sat["e"], 6)):
            freq, phase = argument(term, FQE, PHE)
            values[125 + 6 * j + k] = term[0] * 1e6
            values[149 + 6 * j + k] = 1.0 / freq
            values[173 + 6 * j + k] = phase
        # Inclination vector: the three largest proper modes.
        modes = sorted(range(5), key=lambda m: -abs(sat["i"][m]))[:3]
        for k, m in enumerate(modes):
            values[197 + 3 * j + k] = sat["i"][m] * 1e6
            values[209 + 3 * j + k] = 1.0 / FQI[m]
            values[221 + 3 * j + k] = PHI[m]
        values[249 + j] = MAGNITUDES[j]
    # Unused eccentricity and inclination slots keep amplitude 0 and get a
    # period of 1 day, so that no reader divides by zero.
    for base, count in ((149, 24), (209, 12)):
        for i in range(base, base + count):
            if values[i] == 0.0:
                values[i] = 1.0
    assert all(math.isfinite(v) for v in values)
    return values


def write_usats(out):
    with open(os.path.join(out, "usats.bin"), "wb") as f:
        f.write(struct.pack("<253d", *usats_values()))


# ---- day tables --------------------------------------------------------------
FIRST_JD = 2433282.5
PHOEBE_LAST = 25536
HIMALIA_LAST = 53326
J2000 = 2451545.0
OBLIQUITY_J2000 = math.radians(23.4392911)
LIGHT_DAYS_PER_AU = 0.0057755183
# Terms below 1e-6 (rad or AU) are left out: the offsets scale with the
# planet's direction and distance, which this keeps to about 1e-5.
VSOP_THRESHOLD = 1e-6
GRID_DAYS = 4.0   # the planets' places are interpolated in a 4-day grid


def read_vsop(source, planet):
    cells = []
    for coord in "LBR":
        for power in range(6):
            path = os.path.join(source, "%s.%s%d.vsop" % (planet, coord, power))
            rows = []
            if os.path.exists(path):
                with open(path) as f:
                    for line in f:
                        parts = line.split()
                        if len(parts) >= 3 and abs(float(parts[0])) >= VSOP_THRESHOLD:
                            rows.append(tuple(float(x) for x in parts[:3]))
            cells.append(rows)
    return cells


def vsop_rectangular(cells, jd):
    """Heliocentric rectangular J2000 ecliptic coordinates (AU) at jd (TT)."""
    tau = (jd - J2000) / 365250.0
    lbr = []
    for coord in range(3):
        total, p = 0.0, 1.0
        for power in range(6):
            total += p * sum(a * math.cos(b + c * tau) for a, b, c in cells[6 * coord + power])
            p *= tau
        lbr.append(total)
    l, b, r = lbr
    return (r * math.cos(b) * math.cos(l), r * math.cos(b) * math.sin(l), r * math.sin(b))


class Grid:
    """A planet's heliocentric vectors every GRID_DAYS, with four-point
    Lagrange interpolation between them."""

    def __init__(self, cells, first, last):
        self.first = first - 2 * GRID_DAYS
        count = int((last - first) / GRID_DAYS) + 5
        self.points = [vsop_rectangular(cells, self.first + GRID_DAYS * k) for k in range(count)]

    def at(self, jd):
        u = (jd - self.first) / GRID_DAYS
        k = min(max(int(math.floor(u)) - 1, 0), len(self.points) - 4)
        x = u - k
        weights = [-(x - 1) * (x - 2) * (x - 3) / 6.0, x * (x - 2) * (x - 3) / 2.0,
                   -x * (x - 1) * (x - 3) / 2.0, x * (x - 1) * (x - 2) / 6.0]
        return tuple(sum(w * self.points[k + i][c] for i, w in enumerate(weights))
                     for c in range(3))


def kepler(m, e):
    big_e = m
    for _ in range(50):
        step = (big_e - e * math.sin(big_e) - m) / (1.0 - e * math.cos(big_e))
        big_e -= step
        if abs(step) < 1e-12:
            break
    return big_e


def orbit_vector(a, e, i, node, peri_arg, m):
    """Planetocentric rectangular ecliptic vector from elements (rad)."""
    big_e = kepler(m, e)
    x = a * (math.cos(big_e) - e)
    y = a * math.sqrt(1.0 - e * e) * math.sin(big_e)
    cw, sw = math.cos(peri_arg), math.sin(peri_arg)
    cn, sn = math.cos(node), math.sin(node)
    ci, si = math.cos(i), math.sin(i)
    return ((cw * cn - sw * sn * ci) * x + (-sw * cn - cw * sn * ci) * y,
            (cw * sn + sw * cn * ci) * x + (-sw * sn + cw * cn * ci) * y,
            (sw * si) * x + (cw * si) * y)


def phoebe_vector(jd):
    d = jd - FIRST_JD
    y = d / 365.25
    # Ecliptic and equinox of 1950 to J2000: the general precession in
    # longitude over the 50 years (the tilt of the ecliptic is neglected).
    p = math.radians(0.6984)
    lam = math.radians(277.872 - 0.6541068 * d - 90.0) + p
    peri = math.radians(280.165 - 0.19586 * y) + p
    incl = math.radians(173.949 - 0.02 * y)
    node = math.radians(245.998 - 0.41353 * y) + p
    # A retrograde orbit: perisaturnium = node - argument, longitude =
    # perisaturnium - mean anomaly.
    return orbit_vector(0.0865752, 0.16326, incl, node, node - peri,
                        math.fmod(peri - lam, 2 * math.pi))


def himalia_vector(jd):
    n = 2.0 * math.pi / 248.29
    m = math.radians(94.30785) + n * (jd - 2458600.5)
    return orbit_vector(0.0761287, 0.1537860, math.radians(29.90917), math.radians(44.99935),
                        math.radians(21.60643), math.fmod(m, 2 * math.pi))


def to_equatorial(v):
    c, s = math.cos(OBLIQUITY_J2000), math.sin(OBLIQUITY_J2000)
    return (v[0], c * v[1] - s * v[2], s * v[1] + c * v[2])


def ra_dec(v):
    return math.atan2(v[1], v[0]), math.atan2(v[2], math.hypot(v[0], v[1]))


def offsets(planet, earth, satellite, jd):
    """The satellite's offset (X east, Y north; arcseconds) at jd."""
    e = earth.at(jd)
    p = planet.at(jd)
    distance = math.sqrt(sum((p[i] - e[i]) ** 2 for i in range(3)))
    retarded = jd - distance * LIGHT_DAYS_PER_AU
    p = planet.at(retarded)
    geo = to_equatorial(tuple(p[i] - e[i] for i in range(3)))
    offset = to_equatorial(satellite(retarded))
    sat = tuple(geo[i] + offset[i] for i in range(3))
    ra_p, dec_p = ra_dec(geo)
    ra_s, dec_s = ra_dec(sat)
    dra = math.fmod(ra_s - ra_p + 3 * math.pi, 2 * math.pi) - math.pi
    arcsec = 180.0 * 3600.0 / math.pi
    return dra * math.cos(dec_p) * arcsec, (dec_s - dec_p) * arcsec


def write_day_table(path, planet, earth, satellite, step, last):
    largest = 0.0
    data = bytearray()
    for k in range(last + 1):
        x, y = offsets(planet, earth, satellite, FIRST_JD + step * k)
        largest = max(largest, math.hypot(x, y))
        data += struct.pack("<ff", x, y)
    with open(path, "wb") as f:
        f.write(data)
    return largest


def write_day_tables(out, source):
    earth_cells = read_vsop(source, "earth")
    saturn_cells = read_vsop(source, "saturn")
    jupiter_cells = read_vsop(source, "jupiter")
    if not (earth_cells[0] and saturn_cells[0] and jupiter_cells[0]):
        sys.exit("gen_satellite_tables: no VSOP87 series in %s" % source)
    first, last = FIRST_JD - 10.0, FIRST_JD + HIMALIA_LAST * 0.5 + 10.0
    earth = Grid(earth_cells, first, last)
    a = write_day_table(os.path.join(out, "Phoebe.bin"), Grid(saturn_cells, first, last), earth,
                        phoebe_vector, 1.0, PHOEBE_LAST)
    b = write_day_table(os.path.join(out, "Himalia.bin"), Grid(jupiter_cells, first, last),
                        earth, himalia_vector, 0.5, HIMALIA_LAST)
    print("Phoebe.bin: %d records, largest offset %.0f\"" % (PHOEBE_LAST + 1, a))
    print("Himalia.bin: %d records, largest offset %.0f\"" % (HIMALIA_LAST + 1, b))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--source", default="/usr/share/kstars")
    parser.add_argument("--only", choices=["usats", "daytables"])
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.only in (None, "usats"):
        write_usats(args.out)
        print("usats.bin: 253 values")
    if args.only in (None, "daytables"):
        write_day_tables(args.out, args.source)


if __name__ == "__main__":
    main()
