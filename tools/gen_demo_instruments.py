#!/usr/bin/env python3
"""Writes the demo installation's instruments and pools into a user data folder:

  eyep.bin     a small eyepiece pool (six common eyepieces)
  camera.bin   an empty camera pool (stamped 3.1f)
  filters.bin  an empty filter pool
  lenses.bin   an empty lens pool
  instr.bin    two instruments: an 8-inch f/6 Newtonian on an alt-azimuth
               mount with three eyepieces from the pool, and 10x50 binoculars

Every file is written in the stores' exact little-endian layouts; the derived
optics values (focal length, magnification limit 55 per inch, Dawes limit
4.56"/inch, the typical limiting magnitude after Schaefer, PASP 102, 212, 1990,
the default eyepiece, the current magnification and true field) are computed
as the program computes them, so that the records read back unchanged.

usage: gen_demo_instruments.py --user FOLDER
"""
import argparse
import math
import os
import struct

STAMP = struct.pack("<HBBc", 55555, 3, 1, b"f")

RECORD_SIZE = 330152
BLOCK_SIZE = 164980
MAIN_BLOCK = 31
INCHES_PER_MM = 0.03937
DEGREE = math.pi / 180.0

# name, focal length mm, apparent field degrees; ids 1.. in this order.
EYEPIECES = [
    ("Plossl 32mm", 32.0, 52.0),
    ("Plossl 25mm", 25.0, 52.0),
    ("Plossl 17mm", 17.0, 52.0),
    ("Orthoscopic 9mm", 9.0, 43.0),
    ("Wide Angle 15mm", 15.0, 66.0),
    ("Ultra Wide Angle 6mm", 6.0, 82.0),
]


# ---- the visual model (Schaefer 1990), as the program evaluates it --------------

def sky_from_limit(limit):
    limit = min(limit, 8.0)
    return 21.58 - 5.0 * math.log10(10.0 ** (1.586 - 0.2 * (limit - 0.53)) - 1.0)


def nanolamberts(sky):
    return 34.08 * math.exp((22.5 - sky) * 0.92103081769116)


def limiting_magnitude(optics_type, aperture, magnification, eyepieces, condition,
                       extinction, sky, seeing):
    """Telescopic limit for the default observer (pupil 6 mm, experience 0.85),
    colour index 0, at the zenith."""
    pupil, experience = 6.0, 0.85
    obstruction, transmission = {1: (0.0, 0.99 ** 4), 2: (0.15 * aperture, 0.7 ** 2),
                                 3: (0.35 * aperture, 0.693 ** 2),
                                 10: (0.0, 0.99 ** 6)}[optics_type]
    air_mass = 1.0
    condition = min(max(condition, 0.0), 1.0)
    fb = math.sqrt(2.0)
    fe = 10.0 ** (0.4 * extinction * air_mass)
    ft = 1.0 / (transmission * (1.0 - (obstruction / aperture) ** 2) * 0.99 ** 4
                - 0.08 * condition)
    fp = (aperture / (magnification * pupil)) ** 2 if pupil < aperture / magnification else 1.0
    fa = (6.5 / aperture) ** 2
    fm = magnification ** 2
    fr = (math.sqrt(2.0 * seeing * magnification / 900.0)
          if 2.0 * seeing * magnification > 900.0 else 1.0)
    fc = 10.0 ** (0.4 * (0.5 * 0.0 - 1.0))
    b = nanolamberts(sky) / (fb * ft * fp * fa * fm * fc)
    threshold = 1.58e-10 * (1.0 + math.sqrt(0.0126 * b)) ** 2
    star = threshold * fb * fe * ft * fp * fa * fr * fc
    m = -16.57 - 2.5 * math.log10(star) + 1.28 * experience - 0.8
    if optics_type == 10:
        m -= 0.75
    elif eyepieces == 0:
        m -= 0.5
    return m


# ---- records ------------------------------------------------------------------------

def put(buf, offset, fmt, *values):
    struct.pack_into("<" + fmt, buf, offset, *values)


def put_text(buf, offset, size, text):
    data = text.encode("cp1252")[:size - 1]
    buf[offset:offset + size] = data + b"\0" * (size - len(data))


def eyepiece_record(pool_id, name, focal_length, field):
    buf = bytearray(43)
    put_text(buf, 0, 33, name)
    put(buf, 33, "ffH", focal_length, field, pool_id)
    return bytes(buf)


def optics_block(buf, base, optics_type, name, aperture, focal_length, ratio, condition,
                 eyepieces, magnification=0.0, barlow=2.0):
    """Fills one optics block at base; eyepieces are (pool id, name, mm, degrees)."""
    put(buf, base + 0, "B", optics_type)
    put(buf, base + 1, "ddd", aperture, focal_length, ratio)
    put(buf, base + 25, "BB", 1, 1)
    put(buf, base + 27, "d", condition)
    put_text(buf, base + 35, 65, name)
    put(buf, base + 100, "B", len(eyepieces))
    for i, (pool_id, ep_name, ep_fl, ep_field) in enumerate(eyepieces):
        entry = base + 101 + 51 * i
        put(buf, entry, "dd", ep_fl, ep_field * DEGREE)
        put(buf, entry + 17, "h", pool_id)
        put_text(buf, entry + 19, 32, ep_name)
    put(buf, base + 3671, "i", 0)
    # The optics limits at 25x per inch, naked-eye limit 7.0 sky, k 0.1, 1.5".
    inches = aperture * INCHES_PER_MM
    typical = limiting_magnitude(optics_type, aperture, 25.0 * inches, len(eyepieces),
                                 condition, 0.1, sky_from_limit(7.0), 1.5)
    put(buf, base + 164595, "ddd", typical, 55.0 * inches, 4.56 / inches)
    put(buf, base + 164619, "B", 255)
    put(buf, base + 164620, "d", magnification)
    put(buf, base + 164654, "f", barlow)
    put(buf, base + 164791, "B", 255)  # no extender or reducer


def telescope():
    buf = bytearray(RECORD_SIZE)
    put(buf, 0, "HBBBB", 1, 1, 0, 0, 0)  # id 1, one optical system, inches, telescope
    aperture = 8.0 * 25.4
    ratio = 6.0
    focal_length = aperture * ratio
    chosen = [(i + 1,) + EYEPIECES[i] for i in (0, 1, 3)]
    eyepieces = [(pid, name[:31], fl, field) for pid, name, fl, field in chosen]
    optics_block(buf, MAIN_BLOCK, 2, "Main Scope", aperture, focal_length, ratio, 0.2,
                 eyepieces)
    # Default eyepiece: the faintest limit under a naked-eye limit 6.8 sky.
    best, best_index = -99.0, 0
    for i, (_, _, fl, _) in enumerate(eyepieces):
        m = limiting_magnitude(2, aperture, focal_length / fl, len(eyepieces), 0.2, 0.1,
                               sky_from_limit(6.8), 1.5)
        if m > best:
            best, best_index = m, i
    put(buf, 30, "B", best_index)
    # The default eyepiece is the one in use.
    _, _, fl, field = eyepieces[best_index]
    magnification = focal_length / fl
    put(buf, MAIN_BLOCK + 164619, "B", best_index)
    put(buf, MAIN_BLOCK + 164620, "dd", magnification, field * DEGREE / magnification)
    put(buf, 329991, "B", 0)  # alt/azimuth
    put_text(buf, 329992, 32, "Newtonian 8in f/6")
    return bytes(buf)


def binoculars():
    buf = bytearray(RECORD_SIZE)
    put(buf, 0, "HBBBB", 2, 1, 3, 1, 0)  # id 2, one optical system, mm, binoculars
    magnification, aperture = 10.0, 50.0
    optics_block(buf, MAIN_BLOCK, 10, "Binoculars 10x50", aperture, aperture * 1.0, 1.0, 1.0,
                 [], magnification, barlow=0.0)
    put(buf, MAIN_BLOCK + 164628, "d", 59.0 * DEGREE / magnification)  # default 59 degrees
    put_text(buf, 329992, 32, "Binoculars 10x50")
    return bytes(buf)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--user", required=True)
    args = ap.parse_args()
    os.makedirs(args.user, exist_ok=True)

    pool = struct.pack("<HH", len(EYEPIECES), len(EYEPIECES))
    for i, (name, fl, field) in enumerate(EYEPIECES):
        pool += eyepiece_record(i + 1, name, fl, field)
    write(os.path.join(args.user, "eyep.bin"), pool)
    write(os.path.join(args.user, "camera.bin"), STAMP + struct.pack("<HH", 0, 0))
    write(os.path.join(args.user, "filters.bin"), struct.pack("<HH", 0, 0))
    write(os.path.join(args.user, "lenses.bin"), struct.pack("<HH", 0, 0))
    write(os.path.join(args.user, "instr.bin"),
          STAMP + struct.pack("<HH", 2, 2) + telescope() + binoculars())


if __name__ == "__main__":
    main()
