#!/usr/bin/env python3
"""Reference offsets of the planets' satellites from PyEphem (python3-ephem:
Phobos and Deimos, the Galilean satellites, Saturn's Mimas to Iapetus, Ariel
to Oberon) for the satellite accuracy benchmark.

Reads lines "JD(UT)" from --dates and writes, per date and satellite,
"JD body slot east north": the satellite's offset from its planet in
arcseconds, from PyEphem's offsets in planet radii (x east, y south) times
the planet's apparent radius. (Its satellites' right ascensions are offset
without the 1 / cos(declination) factor, so their differences are not used.)
Body numbers and slots are the ephemeris' (4 Mars .. 7 Uranus).
"""
import argparse
import math
import sys

try:
    import ephem
except ImportError:
    sys.exit("satellite_reference: python3-ephem is not installed")

MOONS = {
    4: ("Mars", ["Phobos", "Deimos"]),
    5: ("Jupiter", ["Io", "Europa", "Ganymede", "Callisto"]),
    6: ("Saturn", ["Mimas", "Enceladus", "Tethys", "Dione", "Rhea", "Titan", "Hyperion",
                   "Iapetus"]),
    7: ("Uranus", ["Ariel", "Umbriel", "Titania", "Oberon"]),
}
ARCSEC = 180.0 * 3600.0 / math.pi
DUBLIN_JD = 2415020.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dates", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    with open(args.dates) as f:
        dates = [float(line) for line in f if line.strip()]
    with open(args.out, "w") as out:
        for jd in dates:
            when = ephem.Date(jd - DUBLIN_JD)
            for body, (planet_name, moons) in MOONS.items():
                planet = getattr(ephem, planet_name)(when)
                for slot, name in enumerate(moons):
                    moon = getattr(ephem, name)(when)
                    radius = float(planet.radius) * ARCSEC
                    east = moon.x * radius
                    north = -moon.y * radius
                    out.write("%.5f %d %d %.4f %.4f\n" % (jd, body, slot, east, north))


if __name__ == "__main__":
    main()
