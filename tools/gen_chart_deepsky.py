#!/usr/bin/env python3
"""Writes the chart's own deep-sky files from the generated galaxy catalogue
(gal.bin of the catalogue folder, written by gen_deepsky.py from kstars-data's
OpenNGC) and gen_deepsky.py's quasar table:

  --map1 DIR  DIR/gal.bin                    the galaxies to magnitude 12
                                             for the mag7 charts, 19-byte
                                             records, brightest first
              DIR/mag10/dbZZ/galRR.bin       every galaxy by its mag10
                                             region, 29-byte records,
                                             brightest first; a file for
                                             every region (empty where the
                                             region holds no galaxy)
  --map0 DIR  DIR/qso.bin                    the quasars, 37-byte records

usage: gen_chart_deepsky.py --cat DIR --map0 DIR --map1 DIR
"""
import argparse
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_deepsky  # noqa: E402
import gen_star_databases  # noqa: E402

GALAXY_RECORD = "<iIHBHHHBHBBiiHHBBiHBBHH"  # the galaxy catalogue's 48-byte record
MAG7_GALAXY_LIMIT = 12.0
TURN = 2147483647.0


def read_galaxies(cat):
    data = open(os.path.join(cat, "gal.bin"), "rb").read()
    size = struct.calcsize(GALAXY_RECORD)
    out = []
    for i in range(len(data) // size):
        (pgc, _, _, _, ngc, ic, _, messier, _, _, name, ra, dec, _, _, _, mag, _, pa, _, _, a,
         b) = struct.unpack_from(GALAXY_RECORD, data, i * size)
        out.append(dict(number=i + 1, pgc=pgc, ngc=ngc, ic=ic, messier=messier, name=name, ra=ra,
                        dec=dec, mag=mag, pa=pa, a=a, b=b))
    return out


def brightest_first(galaxies):
    # no magnitude (255) sorts last
    return sorted(galaxies, key=lambda g: (g["mag"], g["number"]))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--cat", required=True)
    ap.add_argument("--map0", required=True)
    ap.add_argument("--map1", required=True)
    args = ap.parse_args()
    galaxies = [g for g in read_galaxies(args.cat) if g["ra"] or g["dec"]]

    mag7 = [g for g in brightest_first(galaxies) if g["mag"] != 255 and g["mag"] <= MAG7_GALAXY_LIMIT * 10]
    write(os.path.join(args.map1, "gal.bin"),
          b"".join(struct.pack("<iiiBHHH", g["number"], g["ra"], g["dec"], g["mag"], g["pa"], g["a"],
                               g["b"]) for g in mag7))

    regions = {}
    for g in galaxies:
        ra = g["ra"] / TURN * 2 * math.pi
        dec = g["dec"] / TURN * 2 * math.pi
        zone, region, _, _ = gen_star_databases.locate("mag10", ra, dec)
        regions.setdefault((zone, region), []).append(g)
    files = 0
    for zone, (_, _, count) in enumerate(gen_star_databases.MAG10_ZONES):
        for region in range(count):
            body = b"".join(struct.pack("<iHHBBiiiBHHH", g["pgc"], g["ngc"], g["ic"], g["messier"], g["name"],
                                        g["number"], g["ra"], g["dec"], g["mag"], g["pa"], g["a"], g["b"])
                            for g in brightest_first(regions.get((zone, region), [])))
            write(os.path.join(args.map1, "mag10", "db%02d" % zone, "gal%02d.bin" % region), body)
            files += 1

    quasars = bytearray()
    for k, (ra, dec, name, q1, q2, suffix, v, bv, z) in enumerate(gen_deepsky.QUASARS):
        quasars += struct.pack("<iiiBHhcB18s", gen_deepsky.turns(ra), gen_deepsky.turns(dec), k + 1,
                               gen_deepsky.mag10(v), q1, q2, suffix.encode("ascii"), 255,
                               gen_deepsky.cstr(name, 18))
    write(os.path.join(args.map0, "qso.bin"), bytes(quasars))
    print("gen_chart_deepsky: %d mag7 galaxies, %d galaxies in %d mag10 region files, %d quasars" %
          (len(mag7), len(galaxies), files, len(gen_deepsky.QUASARS)))


if __name__ == "__main__":
    main()
