#!/usr/bin/env python3
"""Draws a few charts of the demo data with the chart rendering tool
(build/native/chartrender) and keeps them as PNG files for looking at:
Orion, the Pleiades with Jupiter nearby and its track over four months,
Jupiter close up with its satellites, the north polar cap and the whole sky.

Jupiter and its four large satellites are checked against PyEphem: each must
land within a few pixels of where PyEphem's astrometric place (the planet)
or its offsets from the planet (the satellites) put it. A miss fails the run.

usage: render_charts.py --build BUILD_DIR --data DEMO_DATA_FOLDER --out DIR
"""
import argparse
import math
import os
import struct
import subprocess
import sys
import zlib

try:
    import ephem
except ImportError:
    # python3-ephem is a Debian package: the system interpreter has it where
    # another one found first on the PATH may not.
    if os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("render_charts.py: python3-ephem is needed (tools/install_deps.sh)")

# The chart rendering tool's window (pixels) and the pixel its centre falls
# on; a J2000 chart has north up and east to the left.
WIDTH, HEIGHT = 900, 700
CENTRE_X, CENTRE_Y = (WIDTH - 1) // 2, (HEIGHT - 1) // 2

# Jupiter near the Pleiades: found once with PyEphem by stepping 2000-2030 in
# 5-day steps for nights with Jupiter within 7 deg of Alcyone and more than
# 50 deg from the Sun. The one such passage is the winter of 2000/2001:
# closest on 2001-01-30 (4.9 deg south-east of Alcyone, 111 deg from the
# Sun), while Jupiter turns from retrograde to direct motion.
JUPITER_DATE = "2001/01/30"
JUPITER_JD = 2451939.5  # the same instant (0h UT)
JUPITER_TRACK_DAYS = 120

CHARTS = [
    # name, RA deg, Dec deg, field deg, frame, projection kind (0: chosen),
    # Julian date (None: the tool's own), extra arguments
    ("orion", 83.8, 2.0, 40, 1, 0, None, []),
    ("pleiades", 58.0, 22.0, 14, 1, 0, JUPITER_JD, ["--track", "Jupiter", str(JUPITER_TRACK_DAYS)]),
    ("jupiter", None, None, 0.3, 1, 0, JUPITER_JD, []),
    ("polar", 0.0, 90.0, 70, 1, 0, None, []),
    ("allsky", 0.0, 0.0, 360, 1, 5, None, []),
]

# Pixels a drawn place may lie from PyEphem's: the chart's projection is not
# the tangent plane used here (0.3% at 5 deg from the centre: under a pixel
# on the Pleiades chart), the chart's site adds Jupiter's parallax (up to 2"
# at 4.4 AU: under 2 pixels on the close-up) and pixels are rounded.
PLANET_TOLERANCE = 3.0
SATELLITE_TOLERANCE = 2.0


def bmp_to_png(src, dst):
    d = open(src, "rb").read()
    (offset,) = struct.unpack_from("<I", d, 10)
    w, h = struct.unpack_from("<ii", d, 18)
    stride = (w * 3 + 3) & ~3
    raw = bytearray()
    for y in range(h):
        row = d[offset + (h - 1 - y) * stride:offset + (h - 1 - y) * stride + 3 * w]
        raw.append(0)
        for x in range(w):
            raw += bytes((row[3 * x + 2], row[3 * x + 1], row[3 * x]))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))
    with open(dst, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 6)) + chunk(b"IEND", b""))


def placed(output, kind):
    """{name: (x, y)} of the tool's "body" or "satellite" lines."""
    found = {}
    for line in output.splitlines():
        parts = line.split()
        if len(parts) >= 4 and parts[0] == kind:
            found[" ".join(parts[1:-3])] = (int(parts[-3]), int(parts[-2]))
    return found


def tangent_pixel(ra, dec, ra0, dec0, field_deg):
    """The pixel of a place (rad) on a north-up, east-left chart centred on
    (ra0, dec0) with the field across the window's width (gnomonic)."""
    cos_c = math.sin(dec) * math.sin(dec0) + math.cos(dec) * math.cos(dec0) * math.cos(ra - ra0)
    xi = math.cos(dec) * math.sin(ra - ra0) / cos_c
    eta = (math.sin(dec) * math.cos(dec0) - math.cos(dec) * math.sin(dec0) * math.cos(ra - ra0)) / cos_c
    scale = WIDTH / math.radians(field_deg)
    return CENTRE_X - xi * scale, CENTRE_Y - eta * scale


def check_jupiter(name, output, ra0, dec0, field):
    """Problems found with Jupiter (and on a close-up its four large
    satellites) on a chart drawn at JUPITER_DATE."""
    problems = []
    jupiter = ephem.Jupiter(JUPITER_DATE)
    bodies = placed(output, "body")
    if "Jupiter" not in bodies:
        return ["%s: Jupiter is not drawn" % name]
    x, y = bodies["Jupiter"]
    ex, ey = tangent_pixel(float(jupiter.a_ra), float(jupiter.a_dec), math.radians(ra0),
                           math.radians(dec0), field)
    miss = math.hypot(x - ex, y - ey)
    print("%s: Jupiter at (%d, %d), PyEphem (%.1f, %.1f): %.1f px" % (name, x, y, ex, ey, miss))
    if miss > PLANET_TOLERANCE:
        problems.append("%s: Jupiter %.1f px from PyEphem's place" % (name, miss))
    if field > 1:
        return problems
    # PyEphem's satellite offsets are in Jupiter's equatorial radii, x to the
    # east and y to the south of the planet.
    scale = WIDTH / math.radians(field) * float(jupiter.radius)
    satellites = placed(output, "satellite")
    for body in (ephem.Io, ephem.Europa, ephem.Ganymede, ephem.Callisto):
        moon = body(JUPITER_DATE)
        if not moon.earth_visible:  # behind the disc or in the shadow
            if moon.name in satellites:
                problems.append("%s: %s is drawn though hidden" % (name, moon.name))
            continue
        if moon.name not in satellites:
            problems.append("%s: %s is not drawn" % (name, moon.name))
            continue
        sx, sy = satellites[moon.name]
        miss = math.hypot(sx - x - (-moon.x * scale), sy - y - moon.y * scale)
        print("%s: %s %.1f px from PyEphem's place" % (name, moon.name, miss))
        if miss > SATELLITE_TOLERANCE:
            problems.append("%s: %s %.1f px from PyEphem's place" % (name, moon.name, miss))
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    tool = os.path.join(args.build, "chartrender")
    problems = []
    jupiter = ephem.Jupiter(JUPITER_DATE)
    for name, ra, dec, field, frame, kind, jd, extra in CHARTS:
        if ra is None:  # centred on Jupiter's astrometric place
            ra, dec = math.degrees(jupiter.a_ra), math.degrees(jupiter.a_dec)
        bmp = os.path.join(args.out, name + ".bmp")
        command = [tool, args.data, bmp, repr(ra), repr(dec), str(field), str(frame), str(kind)]
        if jd is not None:
            command.append(repr(jd))
        output = subprocess.run(command + extra, check=True, stdout=subprocess.PIPE,
                                universal_newlines=True).stdout
        if jd == JUPITER_JD:
            problems += check_jupiter(name, output, ra, dec, field)
        bmp_to_png(bmp, os.path.join(args.out, name + ".png"))
        os.remove(bmp)
        print(os.path.join(args.out, name + ".png"))
    for problem in problems:
        print("render_charts.py: " + problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
