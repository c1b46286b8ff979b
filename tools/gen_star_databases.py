#!/usr/bin/env python3
"""Writes the three star databases of the sky charts (mag7, mag10, magx) and
the guide-star band files from public data in Debian packages.

  kstars-data  /usr/share/kstars/stars.dat: about 126,000 Hipparcos and Tycho
               stars (J2000 place, proper motion, V, B-V); they are numbered
               as the star catalogue numbers them (gen_star_catalogue.py), and
               those numbers go into the catalogue-star records.

  stellarium-data  /usr/share/stellarium/stars/default/gcvs_hip_part.dat: the
               GCVS range, type, epoch and period of the Hipparcos stars that
               are variables; a catalogue star with a V (or Hipparcos-band)
               range there is written as a variable (code bit 0) with its
               variable-star block: eclipsing types with an epoch and a
               period get the eclipse light curve (model 3, the eclipse's
               duration as its width), Miras, Cepheids, RR Lyrae, delta Scuti
               and the other regular pulsators the pulsating curve (model 4,
               the rise time as its rise fraction), every other the mean of
               the range (model 0).

No public deep catalogue (Tycho-2 in full, the Guide Star Catalogue) is in the
packages available offline, so magx gets a synthetic faint layer drawn from a
fixed seed: guide-star records (magnitudes 10.5 to 15) with identifiers of a
synthetic guide-star region layout (each declination band of the 24 band files
cut into equal steps of right ascension, the band's region numbers in order),
and faint-star records (magnitudes 13 to 20) spread evenly over the sphere.
The band files hold the region limits of that same layout.

Layout (directories are the map-catalogue slots, each ending the path):
  --mag7 DIR   DIR/mag7/starsZZ.bin           zone files, entries by region
  --mag10 DIR  DIR/mag10/dbZZ/stars.bin       zone files, entries by region
  --magx DIR   DIR/magx/dbZZ/starsRR.bin      region files, entries by
                                              sub-region (column + row x d)
  --gsc DIR    DIR/gsc/N0000.bin ... S8230.bin  16-byte region records
Every file starts with 8-byte offset-table entries (offset, count); each
region's records stand after one code byte, brightest first, each record's end
byte holding the next record's code. An empty region still gets its code byte.

usage: gen_star_databases.py [--mag7 DIR] [--mag10 DIR] [--magx DIR] [--gsc DIR]
                             [--guide-per-region N] [--faint N] [--seed S]
"""
import argparse
import math
import os
import random
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_star_catalogue  # noqa: E402

TWO_PI = 2 * math.pi
ARCSEC = math.pi / 648000

MAG7_ZONES = [(-90, 30, 4), (-60, 30, 6), (-30, 30, 6), (0, 30, 6), (30, 30, 6), (60, 30, 4)]
MAG10_ZONES = [(-90, 5, 1), (-85, 10, 3), (-75, 15, 9), (-60, 15, 15), (-45, 15, 20),
               (-30, 15, 24), (-15, 15, 24), (0, 15, 24), (15, 15, 24), (30, 15, 20),
               (45, 15, 15), (60, 15, 9), (75, 10, 3), (85, 5, 1)]


def magx_zones():
    zones = [(-90, 1.5, 1), (-88.5, 12, 30), (-76.5, 9, 40)]
    zones += [(-67.5 + 7.5 * i, 7.5, 48) for i in range(18)]
    zones += [(67.5, 9, 40), (76.5, 12, 30), (88.5, 1.5, 1)]
    return zones


MAGX_ZONES = magx_zones()


def magx_d(zone):
    if 6 <= zone <= 17:
        return 3
    if 1 <= zone <= 5 or 18 <= zone <= 22:
        return 2
    return 1


DATABASES = {"mag7": (MAG7_ZONES, False), "mag10": (MAG10_ZONES, True), "magx": (MAGX_ZONES, True)}

# Guide-star band files: name, first region, last region (north bands from the
# equator up, then the south bands from the equator down, 7.5 degrees each).
BANDS = [("N0000", 1, 593), ("N0730", 594, 1177), ("N1500", 1178, 1728),
         ("N2230", 1729, 2258), ("N3000", 2259, 2780), ("N3730", 2781, 3245),
         ("N4500", 3246, 3651), ("N5230", 3652, 4013), ("N6000", 4014, 4293),
         ("N6730", 4294, 4491), ("N7500", 4492, 4614), ("N8230", 4615, 4662),
         ("S0000", 4663, 5259), ("S0730", 5260, 5837), ("S1500", 5838, 6411),
         ("S2230", 6412, 6988), ("S3000", 6989, 7522), ("S3730", 7523, 8021),
         ("S4500", 8022, 8463), ("S5230", 8464, 8839), ("S6000", 8840, 9133),
         ("S6730", 9134, 9345), ("S7500", 9346, 9489), ("S8230", 9490, 9537)]


def gsc_regions():
    """(region, RA from, RA to (hours), Dec low, Dec high (degrees))."""
    out = []
    for i, (name, first, last) in enumerate(BANDS):
        k = i % 12
        low, high = (7.5 * k, 7.5 * (k + 1)) if name[0] == "N" else (-7.5 * (k + 1), -7.5 * k)
        n = last - first + 1
        for j in range(n):
            out.append((first + j, 24.0 * j / n, 24.0 * (j + 1) / n, low, high))
    return out


def colour_class(bv):
    if bv > 90:
        return 0
    for i, limit in enumerate((-1, -0.5, -0.28, 0, 0.3, 0.68, 0.84, 1.0, 1.5, 1.7, 2, 3, 4)):
        if bv < limit:
            return i + 1
    return 14


def polar(db, zone):
    zones, caps = DATABASES[db]
    return caps and (zone == 0 or zone == len(zones) - 1)


def locate(db, ra, dec):
    """(zone, region, column, row) of a position, as the reader locates it."""
    zones = DATABASES[db][0]
    ra %= TWO_PI
    dec = max(-math.pi / 2, min(math.pi / 2, dec))
    zone = 0
    for z in range(len(zones) - 1, 0, -1):
        if math.radians(zones[z][0]) <= dec:
            zone = z
            break
    lower, height, regions = zones[zone]
    region = 0 if polar(db, zone) else min(int(ra / (TWO_PI / regions)), regions - 1)
    column = row = 0
    if db == "magx":
        d = magx_d(zone)
        size = math.radians(height / d)
        if not polar(db, zone):
            column = max(0, min(d - 1, int((ra - region * TWO_PI / regions) / size)))
        row = max(0, min(d - 1, int((dec - math.radians(lower)) / size)))
    return zone, region, column, row


def bounds(db, zone, region, column, row):
    """(RA start, Dec start, width, height, polar) in radians."""
    lower, height, regions = DATABASES[db][0][zone]
    if polar(db, zone):
        return 0.0, math.radians(lower), TWO_PI, math.radians(height), True
    width = TWO_PI / regions
    ra0, dec0, h = region * width, math.radians(lower), math.radians(height)
    if db == "magx":
        size = h / magx_d(zone)
        return ra0 + column * size, dec0 + row * size, size, size, False
    return ra0, dec0, width, h, False


def fraction(value, span, top):
    return max(0, min(top, int(round(value / span * top))))


def position_bytes(b, ra, dec):
    ra0, dec0, width, height, cap = b
    if cap:
        r = int(round((ra % TWO_PI) / TWO_PI * 2147483647.0))
        h = fraction(dec - dec0, height, 16777215)
        return struct.pack("<i", min(r, 2147483647)) + h.to_bytes(3, "little")
    f = fraction(ra - ra0, width, 1048575)
    g = fraction(dec - dec0, height, 1048575)
    return struct.pack("<IB", f | (g & 0xFFF) << 20, g >> 12)


def motion_bytes(pmra_mas, pmdec_mas):
    """Two 24-bit fields: v = motion / 0.00001 arcsec + 750,000 (21 bits)."""
    out = b""
    for mas in (pmra_mas, pmdec_mas):
        v = int(round(mas / 1000 / 0.00001 + 750000))
        out += max(0, min(0x1FFFFF, v)).to_bytes(3, "little")
    return out


def mag_code(m):
    return max(0, min(4094, int(round((m + 1.6) * 100))))


def stored(m):
    """The magnitude a 12-bit code keeps (records are sorted by it)."""
    return mag_code(m) * 0.01 - 1.6


def two_mags(v, b):
    bcode = 4095 if b is None else mag_code(b)
    return (mag_code(v) | bcode << 12).to_bytes(3, "little")


GCVS = "/usr/share/stellarium/stars/default/gcvs_hip_part.dat"
# GCVS bands whose range is a visual one (V, or Hipparcos' Hp close to it).
VISUAL_BANDS = ("V", "Hp")
# Regular pulsators: the pulsating light curve fits them.
PULSATING = ("M", "CEP", "DCEP", "DCEPS", "CW", "CWA", "CWB", "RR", "RRAB", "RRC", "DSCT",
             "DSCTC", "RV", "RVA", "RVB", "BCEP", "BCEPS", "SXPHE", "ACYG")
MODEL_MEAN, MODEL_ECLIPSING, MODEL_PULSATING = 0, 3, 4
JD_OFFSET = 2400000.0  # GCVS epochs are JD - 2,400,000


def gcvs_value(text):
    text = text.strip().lstrip("<>(").rstrip(")").rstrip(":")
    try:
        return float(text)
    except ValueError:
        return None


def read_variables(path=GCVS):
    """{HIP: variable-star block bytes} of the stars with a visual range."""
    out = {}
    if not os.path.exists(path):
        return out
    with open(path, encoding="utf-8") as f:
        for line in f:
            cols = line.rstrip("\n").split("\t")
            if len(cols) < 8 or not cols[0].strip().isdigit() or cols[7].strip() not in VISUAL_BANDS:
                continue
            bright, faint = gcvs_value(cols[3]), gcvs_value(cols[5])
            if bright is None or faint is None:
                continue
            if cols[5].strip().startswith("("):  # an amplitude, not a minimum
                faint = bright + faint
            second = gcvs_value(cols[6])
            epoch = gcvs_value(cols[8]) if len(cols) > 8 else None
            period = gcvs_value(cols[9]) if len(cols) > 9 else None
            share = gcvs_value(cols[10]) if len(cols) > 10 else None
            out[int(cols[0])] = variable_block(cols[2], bright, faint, second, epoch, period, share)
    return out


def variable_block(types, bright, faint, second, epoch, period, share):
    """6 bytes (range and model), then the model's epoch, period and shapes."""
    first = types.split("+")[0].split("/")[0].rstrip(":")
    timed = bool(epoch) and bool(period) and period > 0
    model = MODEL_MEAN
    if timed and first.startswith("E"):
        model = MODEL_ECLIPSING
    elif timed and first in PULSATING:
        model = MODEL_PULSATING
    n = max(0, min(0xFFE, int(round((bright + 6) * 100))))
    f = max(0, min(0xFFE, int(round((faint + 1) * 100))))
    out = struct.pack("<IH", n << 20, f | model << 12)
    if model == MODEL_MEAN:
        return out
    jd = epoch + JD_OFFSET
    shape = 0xFF if share is None else max(0, min(100, int(round(share))))
    out += struct.pack("<Iff", int(jd) | shape << 24, jd - int(jd), period) + b"\0"
    if model == MODEL_ECLIPSING:
        # depth of the secondary eclipse, as a share of the primary's
        depth = 0
        if second is not None and faint > bright:
            depth = max(0, min(100, int(round((second - bright) / (faint - bright) * 100))))
        out += bytes([depth])
    return out


# A star to write: (V, code, bytes before the end byte (given the bounds),
# end-byte high bits, RA, Dec, bytes after the end byte).
def catalogue_star(s, number, variables):
    letter = s.get("component")
    code = 8 if letter else 0
    word = mag_code(s["mag"]) | colour_class(s["bv"]) << 12
    block = variables.get(s.get("hip", 0), b"")
    if block:
        code |= 1

    def body(b):
        out = position_bytes(b, s["ra"], s["dec"]) + motion_bytes(s["pmra"], s["pmdec"])
        out += number.to_bytes(3, "little")
        if letter:
            out += b"\0\0\0" + letter.encode("ascii")
        return out + struct.pack("<H", word)
    return (stored(s["mag"]), code, body, 0, s["ra"], s["dec"], block)


def guide_star(ra, dec, v, b, region, number):
    def body(bd):
        return (position_bytes(bd, ra, dec) + motion_bytes(0, 0) +
                struct.pack("<HH", region, number) + two_mags(v, b))
    return (stored(v), 5, body, 0, ra, dec, b"")


def faint_star(ra, dec, v, bv):
    code = max(0, min(255, int(round((v - 13) * 255 / 7))))

    def body(bd):
        return position_bytes(bd, ra, dec) + bytes([code, 0])
    # sorted by the magnitude the byte keeps, so the file stays in order
    return (code * 7 / 255 + 13, 6, body, colour_class(bv) << 4, ra, dec, b"")


def region_bytes(stars, b):
    """The code byte and the records of one region, brightest first."""
    stars = sorted(stars, key=lambda s: s[0])
    out = bytearray([stars[0][1] if stars else 0])
    for i, (v, code, body, high, ra, dec, after) in enumerate(stars):
        nxt = stars[i + 1][1] if i + 1 < len(stars) else 0
        out += body(b) + bytes([high | nxt]) + after
    return out


def table_file(entries):
    """entries: list of (stars, bounds); the offset table, then the regions."""
    head = bytearray(8 * len(entries))
    body = bytearray()
    for n, (stars, b) in enumerate(entries):
        struct.pack_into("<II", head, 8 * n, len(head) + len(body), len(stars))
        body += region_bytes(stars, b)
    return bytes(head + body)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_database(db, folder, stars):
    zones = DATABASES[db][0]
    cells = {}
    for s in stars:
        cells.setdefault(locate(db, s[4], s[5]), []).append(s)
    files = 0
    for zone, (lower, height, regions) in enumerate(zones):
        if db == "magx":
            d = magx_d(zone)
            for region in range(regions):
                entries = []
                for row in range(d):
                    for column in range(d):
                        entries.append((cells.get((zone, region, column, row), []),
                                        bounds(db, zone, region, column, row)))
                # entry n = column + row x d: rows outer, columns inner
                write(os.path.join(folder, "magx", "db%02d" % zone, "stars%02d.bin" % region),
                      table_file(entries))
                files += 1
        else:
            entries = [(cells.get((zone, r, 0, 0), []), bounds(db, zone, r, 0, 0))
                       for r in range(regions)]
            path = (os.path.join(folder, "mag7", "stars%02d.bin" % zone) if db == "mag7" else
                    os.path.join(folder, "mag10", "db%02d" % zone, "stars.bin"))
            write(path, table_file(entries))
            files += 1
    return files


def write_bands(folder, regions):
    by_band = {}
    for band, first, last in BANDS:
        by_band[band] = bytearray()
        for r in regions[first - 1:last]:
            by_band[band] += struct.pack("<ffff", r[1], r[2], r[3], r[4])
        write(os.path.join(folder, "gsc", band + ".bin"), by_band[band])


def synthetic_layer(seed, per_region, faint_count, regions):
    rng = random.Random(seed)
    guide, faint = [], []
    for region, ra1, ra2, dec1, dec2 in regions:
        for number in range(1, per_region + 1):
            ra = math.radians(rng.uniform(ra1, ra2) * 15)
            # even on the sphere within the band
            s1, s2 = math.sin(math.radians(dec1)), math.sin(math.radians(dec2))
            dec = math.asin(rng.uniform(s1, s2))
            v = round(rng.uniform(10.5, 15), 2)
            b = round(v + rng.uniform(-0.2, 1.8), 2)
            guide.append(guide_star(ra, dec, v, b, region, number))
    for _ in range(faint_count):
        ra = rng.uniform(0, TWO_PI)
        dec = math.asin(rng.uniform(-1, 1))
        faint.append(faint_star(ra, dec, rng.uniform(13, 20), rng.uniform(-0.3, 2.0)))
    return guide, faint


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--mag7")
    ap.add_argument("--mag10")
    ap.add_argument("--magx")
    ap.add_argument("--gsc")
    ap.add_argument("--guide-per-region", type=int, default=3)
    ap.add_argument("--faint", type=int, default=60000)
    ap.add_argument("--seed", type=int, default=1750)
    args = ap.parse_args()

    zone1, _ = gen_star_catalogue.build_stars(None, 16, 9537)
    variables = read_variables()
    catalogue = [catalogue_star(s, n, variables) for n, s in enumerate(zone1, 1)]
    regions = gsc_regions()
    written = []
    if args.mag7:
        written.append(write_database("mag7", args.mag7, [s for s in catalogue if s[0] <= 7.1 + 1e-9]))
    if args.mag10:
        written.append(write_database("mag10", args.mag10, [s for s in catalogue if s[0] <= 10 + 1e-9]))
    if args.magx:
        guide, faint = synthetic_layer(args.seed, args.guide_per_region, args.faint, regions)
        written.append(write_database("magx", args.magx, catalogue + guide + faint))
    if args.gsc:
        write_bands(args.gsc, regions)
    print("%d catalogue stars (%d variables); star files written: %s" %
          (len(catalogue), sum(1 for s in catalogue if s[1] & 1), written))


if __name__ == "__main__":
    sys.exit(main())
