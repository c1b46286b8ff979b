#!/usr/bin/env python3
"""Writes the demo installation's observing sites and observer into a user
data folder: "loc.bin" (three well-known dark-sky sites, the first being the
default site) and "observer.bin" (one observer).

Layouts (the readers are sites/sitestore.cpp and sites/observerstore.cpp), all
little-endian, no version stamp:

loc.bin: int16 count, then 169-byte slots: the 166-byte site record, then its
3-byte trailer.
  site record offsets: 0 longitude (double, radians, west positive), 8 latitude,
  16 elevation (m), 24 sin(latitude), 32 cos(latitude), 40 horizon dip (rad,
  <= 0), 48 naked-eye limit, 56 sky brightness (mag/arcsec^2), 64 temperature
  (C), 72 flags byte, 73 humidity (%), 81 seeing rating byte (0..4, 255 when
  the seeing is given), 82 seeing (arcsec), 90 rho sin phi', 98 rho cos phi',
  106 time zone (h, east positive), 114 daylight-saving rule (floats start
  hour, end hour, shift; bytes start weekday, end weekday, start week, end
  week, start month, end month), 132 rule mode (0 none, 1 always, 2 by rule),
  133 name (33 bytes, NUL-filled).
  trailer: named zone (0 none, 1 Eastern .. 4 Pacific), elevation shown in
  feet (1) or metres (0), 0.
observer.bin: int16 count, then 84-byte records: 64-byte name, int32 age,
  double pupil diameter (mm), double experience (0..1).

The derived fields are computed as the suite's site initialiser computes them:
geocentric terms rho sin phi', rho cos phi' from the reduced latitude of the
IAU 1976 spheroid (a = 6378140 m, b/a = 0.996647...; Meeus, Astronomical
Algorithms, ch. 11), dip of the sea horizon -0.00061668 rad x sqrt(h in m),
sky brightness from the naked-eye limit by Schaefer's relation (PASP 102, 212,
1990) 21.58 - 5 log10(10^(1.586 - 0.2 (m - 0.53)) - 1), typical seeing per
rating 0.3, 0.75, 1.5, 3.0, 5.0 arcsec, and a new site's daylight-saving rule
chosen by hemisphere. A pupil diameter of 0 is taken from the age,
7 exp(-0.5 (age/100)^2) mm.

Sites (coordinates from the observatories' and park's published positions):
  Cherry Springs State Park, Pennsylvania: 41.6628 N, 77.8233 W, 701 m,
    US Eastern time with the US daylight-saving rule;
  Kitt Peak National Observatory, Arizona: 31.9583 N, 111.5967 W, 2096 m,
    Mountain standard time all year (Arizona keeps no daylight saving);
  Siding Spring Observatory, New South Wales: 31.2733 S, 149.0661 E, 1165 m,
    UT+10 with the New South Wales rule (first Sunday of October to first
    Sunday of April).

Usage: gen_demo_sites.py --user FOLDER
"""
import argparse
import math
import os
import struct

EARTH_RADIUS_M = 6378140.0
EARTH_AXIS_RATIO = 0.9966471868221031
DIP_PER_ROOT_METRE = -0.00061668
SEEING_FOR_RATING = [0.3, 0.75, 1.5, 3.0, 5.0]

# Rule blocks: (start week, start weekday, start month, start hour,
#               end week, end weekday, end month, end hour, shift).
# Weeks 0 first .. 3 last; weekdays 0 Sunday.
NORTHERN_PRESET = (1, 0, 3, 2.0, 0, 0, 11, 2.0, 1.0)   # 2nd Sun Mar - 1st Sun Nov
SOUTHERN_PRESET = (0, 0, 10, 2.0, 0, 0, 4, 2.0, 1.0)   # 1st Sun Oct - 1st Sun Apr

SITES = [
    # name, longitude deg (west +), latitude deg, elevation m, naked-eye limit,
    # temperature C, humidity %, seeing rating, seeing arcsec (0: from the
    # rating), zone h, rule (None: the hemisphere preset), mode, flags,
    # trailer (named zone, feet, 0)
    dict(name="Cherry Springs", lon=77.8233, lat=41.6628, elev=701.0, limit=7.0,
         temp=15.0, humidity=70.0, rating=2, seeing=0.0, zone=-5.0,
         rule=NORTHERN_PRESET, mode=2, flags=1, trailer=(1, 1, 0)),
    dict(name="Kitt Peak", lon=111.5967, lat=31.9583, elev=2096.0, limit=6.8,
         temp=14.0, humidity=30.0, rating=1, seeing=0.0, zone=-7.0,
         rule=None, mode=0, flags=0, trailer=(3, 0, 0)),
    dict(name="Siding Spring", lon=-149.0661, lat=-31.2733, elev=1165.0, limit=7.2,
         temp=12.0, humidity=55.0, rating=0, seeing=1.2, zone=10.0,
         rule=SOUTHERN_PRESET, mode=2, flags=0, trailer=(0, 0, 0)),
]

OBSERVER = dict(name="Demo Observer", age=45, pupil=0.0, experience=0.75)


def sky_brightness_from_limit(limit):
    n = min(limit, 8.0)
    return 21.58 - 5.0 * math.log10(math.pow(10.0, 1.586 - 0.2 * (n - 0.53)) - 1.0)


def rule_bytes(rule):
    sw, swd, sm, sh, ew, ewd, em, eh, shift = rule
    # floats start hour, end hour, shift; then start weekday, end weekday,
    # start week, end week, start month, end month
    return struct.pack("<fffBBBBBB", sh, eh, shift, swd, ewd, sw, ew, sm, em)


def site_record(s):
    lon = math.radians(s["lon"])
    lat = math.radians(s["lat"])
    elev = s["elev"]
    sin_lat, cos_lat = math.sin(lat), math.cos(lat)
    u = 0.0 if cos_lat == 0.0 else math.atan(EARTH_AXIS_RATIO * math.tan(lat))
    h = elev / EARTH_RADIUS_M
    rho_sin = EARTH_AXIS_RATIO * math.sin(u) + h * sin_lat
    rho_cos = math.cos(u) + h * cos_lat
    dip = 0.0 if elev < 0.0 else DIP_PER_ROOT_METRE * math.sqrt(elev)
    if s["seeing"] != 0.0:
        rating, seeing = 255, s["seeing"]
    else:
        rating, seeing = s["rating"], SEEING_FOR_RATING[s["rating"]]
    rule = s["rule"] or (NORTHERN_PRESET if lat >= 0.0 else SOUTHERN_PRESET)
    name = s["name"].encode("ascii")
    assert len(name) <= 32
    rec = struct.pack("<dddddddddB", lon, lat, elev, sin_lat, cos_lat, dip, s["limit"],
                      sky_brightness_from_limit(s["limit"]), s["temp"], s["flags"])
    rec += struct.pack("<dBdddd", s["humidity"], rating, seeing, rho_sin, rho_cos, s["zone"])
    rec += rule_bytes(rule)
    rec += struct.pack("<B", s["mode"])
    rec += name.ljust(33, b"\0")
    assert len(rec) == 166, len(rec)
    return rec + bytes(s["trailer"])


def observer_record(o):
    pupil = o["pupil"]
    if pupil == 0.0:
        pupil = 7.0 * math.exp(-0.5 * (o["age"] * 0.01) ** 2)
    name = o["name"].encode("ascii")
    assert len(name) <= 63
    rec = name.ljust(64, b"\0") + struct.pack("<idd", o["age"], pupil, o["experience"])
    assert len(rec) == 84
    return rec


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--user", required=True, help="the user data folder")
    args = ap.parse_args()
    os.makedirs(args.user, exist_ok=True)
    with open(os.path.join(args.user, "loc.bin"), "wb") as f:
        f.write(struct.pack("<h", len(SITES)))
        for s in SITES:
            f.write(site_record(s))
    with open(os.path.join(args.user, "observer.bin"), "wb") as f:
        f.write(struct.pack("<h", 1))
        f.write(observer_record(OBSERVER))


if __name__ == "__main__":
    main()
