#!/usr/bin/env python3
"""Writes ephem/plutodata.cpp, the static description of Pluto's heliocentric
series that ephem/pluto.cpp evaluates.

Source: the periodic terms of Pluto's heliocentric longitude, latitude and
radius vector of Meeus, Astronomical Algorithms, 2nd ed., ch. 37 (table 37.A,
after Chapront's fit to DE200; 43 terms in the mean longitudes J, S, P of
Jupiter, Saturn and Pluto; referred to the ecliptic and equinox of J2000;
valid 1885-2099):
    l = 238.958116 + 144.96 t + sum  (deg, sum in 1e-6 deg)
    b = -3.908239 + sum              (deg, sum in 1e-6 deg)
    r = 40.7241346 + sum             (AU,  sum in 1e-7 AU)
each term A sin(a) + B cos(a), a = jJ + sS + pP, J = 34.35 + 3034.9057 t,
S = 50.08 + 1222.1138 t, P = 238.96 + 144.96 t degrees, t Julian centuries.

The evaluator takes its arguments as harmonics of the planets' mean
longitudes of its own table (arcseconds, per 10,000 Julian years T). Meeus'
J, S, P differ from those by a + bT (small, linear), so every term is
rewritten exactly as
    sin a' (A cos d - B sin d) + cos a' (A sin d + B cos d),  d = a + bT,
with cos d and sin d as their Taylor polynomials in T (to the power where the
next one adds less than 1e-5 arcsecond over 1800-2200).

Encoding (one signed byte each): per term n, then n pairs (harmonic, planet
1..9) and the highest power p; n = 0 is a polynomial term with p; n < 0 ends
the table. Coefficients (longitude and latitude in arcseconds; radius in
units r = 39.54 (1 + x sin 1")): polynomial terms p + 1 values, T^p first;
periodic terms p + 1 pairs (cosine, sine), T^p first.

Usage: gen_pluto_series.py --out ephem/plutodata.cpp
"""
import argparse
import math

ARCSEC = 4.84813681109536e-6
SCALE = 39.54

# Mean longitudes of the evaluator (arcseconds): frequency per 10,000 Julian
# years and value at J2000, planets 1..9.
MEAN_LONGITUDES = [
    (53810162868.8982, 908103.259872), (21066413643.3548, 655127.28306),
    (12959774228.3429, 361679.244588), (6890507749.3988, 1279558.798488),
    (1092566037.7991, 123665.467464), (439960985.5372, 180278.79948),
    (154248119.3933, 1130598.018396), (78655032.0744, 1095655.195728),
    (52272245.1795, 860492.1546),
]

# Meeus, table 37.A: J, S, P multiples; longitude A, B (1e-6 deg); latitude
# A, B (1e-6 deg); radius A, B (1e-7 AU).
TERMS = [
    (0, 0, 1, -19799805, 19850055, -5452852, -14974862, 66865439, 68951812),
    (0, 0, 2, 897144, -4954829, 3527812, 1672790, -11827535, -332538),
    (0, 0, 3, 611149, 1211027, -1050748, 327647, 1593179, -1438890),
    (0, 0, 4, -341243, -189585, 178690, -292153, -18444, 483220),
    (0, 0, 5, 129287, -34992, 18650, 100340, -65977, -85431),
    (0, 0, 6, -38164, 30893, -30697, -25823, 31174, -6032),
    (0, 1, -1, 20442, -9987, 4878, 11248, -5794, 22161),
    (0, 1, 0, -4063, -5071, 226, -64, 4601, 4032),
    (0, 1, 1, -6016, -3336, 2030, -836, -1729, 234),
    (0, 1, 2, -3956, 3039, 69, -604, -415, 702),
    (0, 1, 3, -667, 3572, -247, -567, 239, 723),
    (0, 2, -2, 1276, 501, -57, 1, 67, -67),
    (0, 2, -1, 1152, -917, -122, 175, 1034, -451),
    (0, 2, 0, 630, -1277, -49, -164, -129, 504),
    (1, -1, 0, 2571, -459, -197, 199, 480, -231),
    (1, -1, 1, 899, -1449, -25, 217, 2, -441),
    (1, 0, -3, -1016, 1043, 589, -248, -3359, 265),
    (1, 0, -2, -2343, -1012, -269, 711, 7856, -7832),
    (1, 0, -1, 7042, 788, 185, 193, 36, 45763),
    (1, 0, 0, 1199, -338, 315, 807, 8663, 8547),
    (1, 0, 1, 418, -67, -130, -43, -809, -769),
    (1, 0, 2, 120, -274, 5, 3, 263, -144),
    (1, 0, 3, -60, -159, 2, 17, -126, 32),
    (1, 0, 4, -82, -29, 2, 5, -35, -16),
    (1, 1, -3, -36, -20, 2, 3, -19, -4),
    (1, 1, -2, -40, 7, 3, 1, -15, 8),
    (1, 1, -1, -14, 22, 2, -1, -4, 12),
    (1, 1, 0, 4, 13, 1, -1, 5, 6),
    (1, 1, 1, 5, 2, 0, -1, 3, 1),
    (1, 1, 3, -1, 0, 0, 0, 6, -2),
    (2, 0, -6, 2, 0, 0, -2, 2, 2),
    (2, 0, -5, -4, 5, 2, 2, -2, -2),
    (2, 0, -4, 4, -7, -7, 0, 14, 13),
    (2, 0, -3, 14, 24, 10, -8, -63, 13),
    (2, 0, -2, -49, -34, -3, 20, 136, -236),
    (2, 0, -1, 163, -48, 6, 5, 273, 1065),
    (2, 0, 0, 9, 24, 14, 17, 251, 149),
    (2, 0, 1, -4, 1, -2, 0, -25, -9),
    (2, 0, 2, -3, 1, 0, 0, 9, -2),
    (2, 0, 3, 1, 3, 0, 0, -8, 7),
    (3, 0, -2, -3, -1, 0, 1, 2, -10),
    (3, 0, -1, 5, -3, 0, 0, 19, 35),
    (3, 0, 0, 0, 0, 1, 0, 10, 2),
]

# Meeus' mean longitudes (degrees and degrees per Julian century) of
# Jupiter (5), Saturn (6) and Pluto (9).
MEEUS = {5: (34.35, 3034.9057), 6: (50.08, 1222.1138), 9: (238.96, 144.96)}
T_LIMIT = 0.012  # |T| over 1800..2200, units of 10,000 years


def offset(planet):
    """d(T) = a + bT in radians: Meeus' argument minus the evaluator's."""
    deg0, rate = MEEUS[planet]
    freq, phase = MEAN_LONGITUDES[planet - 1]
    a = (deg0 * 3600.0 - phase) * ARCSEC
    b = (rate * 3600.0 * 100.0 - freq) * ARCSEC
    a = math.remainder(a, 2.0 * math.pi)
    return a, b


def taylor(a, b, degree):
    cos_c = [b ** k / math.factorial(k) * math.cos(a + k * math.pi / 2) for k in range(degree + 1)]
    sin_c = [b ** k / math.factorial(k) * math.sin(a + k * math.pi / 2) for k in range(degree + 1)]
    return cos_c, sin_c


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    offsets = {p: offset(p) for p in MEEUS}
    arg_bytes = []
    coeffs = [[], [], []]
    # Polynomial term: l, b, r of degree 1 (T^1 first).
    arg_bytes += [0, 1]
    r0 = (40.7241346 / SCALE - 1.0) / ARCSEC
    for c, values in enumerate(((144.96 * 3600.0 * 100.0, 238.958116 * 3600.0),
                                (0.0, -3.908239 * 3600.0), (0.0, r0))):
        coeffs[c] += list(values)
    max_power = 1
    for j, s, p, la, lb, ba, bb, ra, rb in TERMS:
        pairs = [(h, planet) for h, planet in ((j, 5), (s, 6), (p, 9)) if h != 0]
        a = sum(h * offsets[planet][0] for h, planet in pairs)
        b = sum(h * offsets[planet][1] for h, planet in pairs)
        amps = [(la * 0.0036, lb * 0.0036), (ba * 0.0036, bb * 0.0036),
                (ra * 1e-7 / SCALE / ARCSEC, rb * 1e-7 / SCALE / ARCSEC)]
        biggest = max(max(abs(x), abs(y)) for x, y in amps)
        degree = 0
        while degree < 7 and biggest * (abs(b) * T_LIMIT) ** (degree + 1) / math.factorial(degree + 1) > 1e-5:
            degree += 1
        max_power = max(max_power, degree)
        arg_bytes.append(len(pairs))
        for h, planet in pairs:
            arg_bytes += [h, planet]
        arg_bytes.append(degree)
        cos_c, sin_c = taylor(a, b, degree)
        for c, (A, B) in enumerate(amps):
            # sin a' (A cos d - B sin d) + cos a' (A sin d + B cos d)
            for k in range(degree, -1, -1):
                coeffs[c].append(A * sin_c[k] + B * cos_c[k])  # cosine polynomial
                coeffs[c].append(A * cos_c[k] - B * sin_c[k])  # sine polynomial
    arg_bytes.append(-1)
    harmonics = [0, 0, 0, 0, 3, 2, 0, 0, 6]

    def doubles(values):
        lines = []
        for i in range(0, len(values), 3):
            lines.append("    " + " ".join("%.17g," % v for v in values[i:i + 3]))
        return "\n".join(lines)

    def chars(values):
        lines = []
        for i in range(0, len(values), 16):
            lines.append("    " + " ".join("%d," % v for v in values[i:i + 16]))
        return "\n".join(lines)

    with open(args.out, "w", newline="\n") as f:
        f.write("""// Pluto's heliocentric series (J2000 ecliptic), written by
// tools/gen_pluto_series.py from Meeus, Astronomical Algorithms, 2nd ed.,
// table 37.A, re-expressed in the mean longitudes of ephem/pluto.cpp.
// Valid 1885-2099. Do not edit: run the generator.
#include "ephem/pluto.h"

namespace {

const signed char kArguments[%d] = {
%s
};

const double kLongitude[%d] = {
%s
};

const double kLatitude[%d] = {
%s
};

const double kRadius[%d] = {
%s
};

}  // namespace

const PlutoSeries kPlutoSeries = {
    {%s},
    %d,
    kArguments,
    kLongitude,
    kLatitude,
    kRadius,
    39.54,
    %d,
    %d,
};
""" % (len(arg_bytes), chars(arg_bytes), len(coeffs[0]), doubles(coeffs[0]), len(coeffs[1]),
       doubles(coeffs[1]), len(coeffs[2]), doubles(coeffs[2]),
       ", ".join(str(h) for h in harmonics), max_power, len(arg_bytes), len(coeffs[0])))
    print("%d argument bytes, %d coefficients per coordinate" % (len(arg_bytes), len(coeffs[0])))


if __name__ == "__main__":
    main()
