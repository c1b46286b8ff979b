#!/usr/bin/env python3
"""The peer loops of bench/search in PyEphem, timed: lunar eclipses (the
Moon within the Earth's penumbra at each full Moon), solar eclipses (the
Sun and the Moon overlapping at each new Moon, at the Earth's centre), and
the conjunctions in longitude of the planets Mercury to Neptune over a year
(a daily scan of each pair, each sign change refined by bisection to a
second). Prints one line per search: name, count, seconds.

usage: search_reference.py FIRST_YEAR YEARS CONJUNCTION_YEAR
"""
import math
import sys
import time

import ephem

SUN_RADIUS_KM = 696000.0
EARTH_RADIUS_KM = 6378.14
MOON_RADIUS_KM = 1737.4
AU_KM = 149597870.7


def count_syzygies(first, last, next_phase, is_eclipse):
    """Walks the full or new Moons from first to last and counts those for
    which is_eclipse(moon, sun), computed at that instant, holds."""
    count = 0
    moon, sun = ephem.Moon(), ephem.Sun()
    d = ephem.Date(first)
    while True:
        d = next_phase(d)
        if d > last:
            return count
        moon.compute(d)
        sun.compute(d)
        if is_eclipse(moon, sun):
            count += 1
        d = ephem.Date(d + 1)


def lunar_eclipse_at(moon, sun):
    # The Earth's penumbra at the Moon's distance (radians), from the
    # Sun's and the Moon's parallaxes and the Sun's radius.
    moon_km = moon.earth_distance * AU_KM
    sun_km = sun.earth_distance * AU_KM
    parallax_moon = math.asin(EARTH_RADIUS_KM / moon_km)
    parallax_sun = math.asin(EARTH_RADIUS_KM / sun_km)
    sun_radius = math.asin(SUN_RADIUS_KM / sun_km)
    penumbra = 1.02 * (parallax_moon + parallax_sun + sun_radius)
    anti_ra = (float(sun.g_ra) + math.pi) % (2 * math.pi)
    anti_dec = -float(sun.g_dec)
    sep = float(ephem.separation((moon.g_ra, moon.g_dec), (anti_ra, anti_dec)))
    return sep < penumbra + float(moon.radius)


def solar_eclipse_at(moon, sun):
    # Seen from anywhere on the Earth: the Moon's parallax widens the
    # geocentric limit.
    parallax_moon = math.asin(EARTH_RADIUS_KM / (moon.earth_distance * AU_KM))
    sep = float(ephem.separation((moon.g_ra, moon.g_dec), (sun.g_ra, sun.g_dec)))
    return sep < float(moon.radius) + float(sun.radius) + parallax_moon


def lunar_eclipses(first, last):
    return count_syzygies(first, last, ephem.next_full_moon, lunar_eclipse_at)


def solar_eclipses(first, last):
    return count_syzygies(first, last, ephem.next_new_moon, solar_eclipse_at)


def conjunctions(year):
    bodies = [ephem.Mercury(), ephem.Venus(), ephem.Mars(), ephem.Jupiter(), ephem.Saturn(),
              ephem.Uranus(), ephem.Neptune()]
    first = ephem.Date("%d/1/1" % year)
    days = int(ephem.Date("%d/1/1" % (year + 1)) - first)

    def difference(a, b, t):
        a.compute(t)
        b.compute(t)
        la = float(ephem.Ecliptic(a).lon)
        lb = float(ephem.Ecliptic(b).lon)
        return (la - lb + math.pi) % (2 * math.pi) - math.pi

    count = 0
    for i in range(len(bodies)):
        for j in range(i + 1, len(bodies)):
            a, b = bodies[i], bodies[j]
            previous = difference(a, b, first)
            for k in range(1, days + 1):
                t = first + k
                now = difference(a, b, t)
                if previous * now < 0 and abs(previous - now) < math.pi:
                    lo, hi = t - 1.0, t
                    while hi - lo > 1.0 / 86400.0:
                        mid = 0.5 * (lo + hi)
                        if difference(a, b, mid) * previous < 0:
                            hi = mid
                        else:
                            lo = mid
                    count += 1
                previous = now
    return count


def main():
    first_year, years, conj_year = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
    first = ephem.Date("%d/1/1" % first_year)
    last = ephem.Date("%d/1/1" % (first_year + years))
    for name, run in (("lunar", lambda: lunar_eclipses(first, last)),
                      ("solar", lambda: solar_eclipses(first, last)),
                      ("conjunctions", lambda: conjunctions(conj_year))):
        start = time.perf_counter()
        count = run()
        print("%s %d %.6f" % (name, count, time.perf_counter() - start))
        sys.stdout.flush()


if __name__ == "__main__":
    main()
