#!/usr/bin/env python3
"""Writes the packaged meteor-shower table "showers.bin" of the first
reference-catalogue folder.

Source: the working list of visual meteor showers of the International Meteor
Organization's Meteor Shower Calendar (2024 edition, table 5): for each shower
its activity period, the solar longitude of its maximum (J2000.0), the radiant
at the maximum (J2000.0, degrees) and the zenithal hourly rate (showers whose
rate varies from year to year are given the rate the calendar lists for a
normal return, or 5 when it lists none). Only these facts are taken.

Layout (little-endian): int32 number of showers, then 69-byte records:
  name (25 bytes, NUL-padded), int32 start month, start day, end month,
  end day, double peak solar longitude (rad), double radiant right ascension
  (rad, J2000), double radiant declination (rad), int32 ZHR.

Usage: gen_showers.py --out FOLDER
"""
import argparse
import math
import os
import struct

# name, activity start (month, day), end (month, day), maximum solar longitude
# (degrees, J2000.0), radiant RA and Dec (degrees), ZHR.
SHOWERS = [
    ("Quadrantids", (12, 28), (1, 12), 283.15, 230, 49, 80),
    ("gamma Ursae Minorids", (1, 10), (1, 22), 298.0, 228, 67, 3),
    ("alpha Centaurids", (1, 31), (2, 20), 319.2, 210, -59, 6),
    ("gamma Normids", (2, 25), (3, 28), 354.0, 239, -50, 6),
    ("Lyrids", (4, 14), (4, 30), 32.32, 271, 34, 18),
    ("pi Puppids", (4, 15), (4, 28), 33.5, 110, -45, 5),
    ("eta Aquariids", (4, 19), (5, 28), 45.5, 338, -1, 50),
    ("eta Lyrids", (5, 3), (5, 14), 50.0, 287, 44, 3),
    ("Daytime Arietids", (5, 14), (6, 24), 76.5, 44, 24, 30),
    ("June Bootids", (6, 22), (7, 2), 95.7, 224, 48, 5),
    ("alpha Capricornids", (7, 3), (8, 15), 127.0, 307, -10, 5),
    ("Southern delta Aquariids", (7, 12), (8, 23), 127.0, 340, -16, 25),
    ("Perseids", (7, 17), (8, 24), 140.0, 48, 58, 100),
    ("kappa Cygnids", (8, 3), (8, 25), 145.0, 286, 59, 3),
    ("Aurigids", (8, 28), (9, 5), 158.6, 91, 39, 6),
    ("September eps Perseids", (9, 5), (9, 21), 166.7, 48, 40, 5),
    ("Daytime Sextantids", (9, 9), (10, 9), 186.0, 152, 0, 5),
    ("Southern Taurids", (9, 10), (11, 20), 197.0, 32, 9, 5),
    ("October Camelopardalids", (10, 5), (10, 6), 192.58, 164, 79, 5),
    ("Draconids", (10, 6), (10, 10), 195.4, 262, 54, 10),
    ("delta Aurigids", (10, 10), (10, 18), 198.0, 88, 44, 2),
    ("eps Geminids", (10, 14), (10, 27), 205.0, 102, 27, 3),
    ("Orionids", (10, 2), (11, 7), 208.0, 95, 16, 20),
    ("Leonis Minorids", (10, 19), (10, 27), 209.0, 162, 37, 2),
    ("Northern Taurids", (10, 20), (12, 10), 230.0, 58, 22, 5),
    ("Leonids", (11, 6), (11, 30), 235.27, 152, 22, 15),
    ("alpha Monocerotids", (11, 15), (11, 25), 239.32, 117, 1, 5),
    ("November Orionids", (11, 13), (12, 6), 248.0, 91, 16, 3),
    ("Phoenicids", (11, 28), (12, 9), 250.0, 18, -53, 5),
    ("Puppid-Velids", (12, 1), (12, 15), 255.0, 123, -45, 10),
    ("Monocerotids", (12, 5), (12, 20), 257.0, 100, 8, 2),
    ("sigma Hydrids", (12, 3), (12, 20), 265.5, 125, 0, 7),
    ("Geminids", (12, 4), (12, 20), 262.2, 112, 33, 150),
    ("Comae Berenicids", (12, 12), (12, 23), 268.0, 175, 18, 3),
    ("Dec. Leonis Minorids", (12, 5), (2, 4), 268.0, 161, 30, 5),
    ("Ursids", (12, 17), (12, 26), 270.7, 217, 76, 10),
]

NAME_SIZE = 25
RECORD = struct.Struct("<25s4i3di")
assert RECORD.size == 69


def record(shower):
    name, (sm, sd), (em, ed), peak, ra, dec, zhr = shower
    encoded = name.encode("ascii")
    assert len(encoded) < NAME_SIZE, name
    return RECORD.pack(encoded, sm, sd, em, ed, math.radians(peak), math.radians(ra), math.radians(dec), zhr)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    data = struct.pack("<i", len(SHOWERS)) + b"".join(record(s) for s in SHOWERS)
    path = os.path.join(args.out, "showers.bin")
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)
    print("showers.bin: %d showers" % len(SHOWERS))


if __name__ == "__main__":
    main()
