#!/usr/bin/python3
"""Writes the reference tables of the satellite place and pass tests, from an
independent computation: python3-sgp4 for the satellite (TEME, WGS-72),
numpy geometry for the site (IAU 1976 ellipsoid, geodetic zenith), the
Greenwich sidereal angle of python3-sgp4 (gstime, IAU 1982), PyEphem for the
Sun, and the Earth's umbra from the apparent radii of the Earth and the Sun
seen from the satellite (Montenbruck and Gill, Satellite Orbits, 3.4).

  ephem/tests/satview_reference.inc  places at a few instants
  ephem/tests/satpass_reference.inc  passes over a week: the intervals in
      which the satellite stands at least 10 degrees high and outside the
      umbra, each with its start, end and the moment of least range in it.

Run: /usr/bin/python3 tools/gen_satpass_reference.py ephem/tests
"""
import math
import sys

import ephem
import numpy as np
from sgp4.api import Satrec, WGS72
from sgp4.propagation import gstime

# Element sets (also typed in ephem/tests/satpass_test.cpp).
SATELLITES = [
    # ISS (ZARYA), 2008 September 20.
    ("ISS", "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927",
            "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537"),
    # SGP4-VER.TLE (Vallado et al. 2006): sun-synchronous, and Vanguard 1 (e = 0.186).
    ("VER 28057", "1 28057U 03049A   06177.78615833  .00000060  00000-0  35940-4 0  1836",
                  "2 28057  98.4283 247.6961 0000884  88.1964 271.9322 14.35478080140550"),
    ("VER 00005", "1 00005U 58002B   00179.78495062  .00000023  00000-0  28098-4 0  4753",
                  "2 00005  34.2682 348.7242 1859667 331.7664  19.3264 10.82419157413667"),
]

# (name, east longitude deg, latitude deg, elevation m)
SITES = [
    ("Greenwich", -0.0015, 51.4778, 46.0),
    ("Sydney", 151.2093, -33.8688, 58.0),
    ("Tromso", 18.9553, 69.6492, 10.0),
]

A_KM = 6378.140
FLATTENING = 1.0 / 298.257
SUN_RADIUS = 696000.0
EARTH_RADIUS = 6378.135
AU = 149597870.0
MIN_ALTITUDE = math.radians(10.0)


def site_vector(lon, lat, h, theta):
    """Geocentric site vector (km) in the frame of date rotated by theta."""
    phi = math.radians(lat)
    e2 = FLATTENING * (2 - FLATTENING)
    n = A_KM / math.sqrt(1 - e2 * math.sin(phi) ** 2)
    rxy = (n + h / 1000.0) * math.cos(phi)
    z = (n * (1 - e2) + h / 1000.0) * math.sin(phi)
    ang = theta + math.radians(lon)
    return np.array([rxy * math.cos(ang), rxy * math.sin(ang), z])


def sun_vector(jd):
    s = ephem.Sun(ephem.Date(jd - 2415020.0))
    r = s.earth_distance * AU
    return r * np.array([math.cos(s.g_dec) * math.cos(s.g_ra),
                         math.cos(s.g_dec) * math.sin(s.g_ra), math.sin(s.g_dec)])


def in_umbra(sat, sun):
    to_sun = sun - sat
    rs = np.linalg.norm(sat)
    ds = np.linalg.norm(to_sun)
    theta_e = math.asin(EARTH_RADIUS / rs)
    theta_s = math.asin(SUN_RADIUS / ds)
    cosang = np.dot(-sat, to_sun) / (rs * ds)
    angle = math.acos(max(-1.0, min(1.0, cosang)))
    return theta_e > theta_s and angle < theta_e - theta_s


class View:
    def __init__(self, sat, site):
        self.sat = sat
        _, self.lon, self.lat, self.h = site

    def at(self, jd):
        e, r, _ = self.sat.sgp4(math.floor(jd), jd - math.floor(jd))
        if e != 0:
            return None
        r = np.array(r)
        theta = gstime(jd)
        obs = site_vector(self.lon, self.lat, self.h, theta)
        d = r - obs
        rng = np.linalg.norm(d)
        ra = math.atan2(d[1], d[0]) % (2 * math.pi)
        dec = math.asin(d[2] / rng)
        # Local east, north, up at the geodetic latitude.
        phi = math.radians(self.lat)
        lam = theta + math.radians(self.lon)
        east = np.array([-math.sin(lam), math.cos(lam), 0.0])
        north = np.array([-math.sin(phi) * math.cos(lam), -math.sin(phi) * math.sin(lam),
                          math.cos(phi)])
        up = np.array([math.cos(phi) * math.cos(lam), math.cos(phi) * math.sin(lam),
                       math.sin(phi)])
        alt = math.asin(np.dot(d, up) / rng)
        az_north = math.atan2(np.dot(d, east), np.dot(d, north))
        az_south = (az_north - math.pi) % (2 * math.pi)
        shadow = in_umbra(r, sun_vector(jd))
        return dict(ra=ra, dec=dec, alt=alt, az=az_south, range=rng, shadow=shadow)

    def visible(self, jd):
        v = self.at(jd)
        return v is not None and v["alt"] >= MIN_ALTITUDE and not v["shadow"]


def bisect(view, a, b, va):
    """The change of visibility between a and b (days), to 0.05 s."""
    while (b - a) * 86400.0 > 0.05:
        m = 0.5 * (a + b)
        if view.visible(m) == va:
            a = m
        else:
            b = m
    return 0.5 * (a + b)


def least_range(view, a, b):
    g = (math.sqrt(5) - 1) / 2
    for _ in range(60):
        c = b - g * (b - a)
        d = a + g * (b - a)
        if view.at(c)["range"] < view.at(d)["range"]:
            b = d
        else:
            a = c
    return 0.5 * (a + b)


def passes(view, start, days):
    step = 10.0 / 86400.0
    out = []
    t = start
    prev = view.visible(t)
    rise = None
    while t < start + days:
        t2 = t + step
        cur = view.visible(t2)
        if cur != prev:
            edge = bisect(view, t, t2, prev)
            if cur:
                rise = edge
            elif rise is not None:
                out.append((rise, least_range(view, rise, edge), edge))
                rise = None
        t, prev = t2, cur
    return out


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "ephem/tests"
    with open(folder + "/satview_reference.inc", "w") as f:
        f.write("// Generated by tools/gen_satpass_reference.py (python3-sgp4, numpy,\n"
                "// PyEphem): {satellite, site, JD (UT), RA, Dec, altitude, azimuth (rad,\n"
                "// from the south toward the west), range (km), in umbra}.\n")
        for name, l1, l2 in SATELLITES:
            sat = Satrec.twoline2rv(l1, l2, WGS72)
            epoch = sat.jdsatepoch + sat.jdsatepochF
            for site in SITES:
                view = View(sat, site)
                for k in range(6):
                    jd = epoch + 0.1 + 0.37 * k
                    v = view.at(jd)
                    f.write('{"%s", "%s", %.10f, %.12f, %.12f, %.12f, %.12f, %.6f, %d},\n'
                            % (name, site[0], jd, v["ra"], v["dec"], v["alt"], v["az"],
                               v["range"], 1 if v["shadow"] else 0))
    with open(folder + "/satpass_reference.inc", "w") as f:
        f.write("// Generated by tools/gen_satpass_reference.py (python3-sgp4, numpy,\n"
                "// PyEphem): {satellite, site, start JD, culmination JD, end JD} of every\n"
                "// pass at least 10 degrees high and outside the umbra, over the 7 days\n"
                "// from the element epoch + 0.5 day.\n")
        for name, l1, l2 in SATELLITES:
            sat = Satrec.twoline2rv(l1, l2, WGS72)
            epoch = sat.jdsatepoch + sat.jdsatepochF
            for site in SITES:
                view = View(sat, site)
                for a, c, b in passes(view, epoch + 0.5, 7.0):
                    f.write('{"%s", "%s", %.10f, %.10f, %.10f},\n' % (name, site[0], a, c, b))


if __name__ == "__main__":
    main()
