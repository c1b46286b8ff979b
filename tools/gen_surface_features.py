#!/usr/bin/env python3
"""Writes the named surface features of Mars and the Moon that the chart
draws on their discs ("marsf.bin", "moonf.bin").

Source: the IAU planetary nomenclature as exported by the USGS Gazetteer of
Planetary Nomenclature, shipped in the Debian package stellarium-data
(/usr/share/stellarium/data/nomenclature.dat, gzip-compressed text: body,
feature id, name, type code, latitude, east longitude (deg), size (km)).

Layout: 29-byte records back to back, no header:
  int16 longitude in tenths of a degree, int16 latitude in tenths of a
  degree, char[25] name (NUL-terminated, cut at 24 characters).
Longitudes follow the chart's disc orientation: selenographic east
longitudes for the Moon (the sense of its libration in longitude), west
longitudes for Mars (the sense of its central-meridian longitude).
The largest --count features of each body are written, largest first.
"""
import argparse
import gzip
import os
import re
import struct

RECORD = struct.Struct("<hh25s")
assert RECORD.size == 29
NAME_RE = re.compile(r'_\("([^"]*)"')


def read_features(source, body):
    opener = gzip.open if source.endswith(".dat") else open
    rows = []
    with opener(source, "rt", encoding="utf-8", errors="replace") as f:
        for line in f:
            if not line.startswith(body + "\t"):
                continue
            parts = line.rstrip("\n").split("\t")
            if len(parts) < 7:
                continue
            m = NAME_RE.search(parts[2])
            name = m.group(1) if m else parts[2]
            try:
                lat = float(parts[4])
                lon = float(parts[5])
                size = float(parts[6])
            except ValueError:
                continue
            rows.append((size, name, lat, lon))
    rows.sort(key=lambda r: (-r[0], r[1]))
    return rows


def tenths(x):
    v = int(round(x * 10.0))
    return max(-32768, min(32767, v))


def write(path, rows, west):
    with open(path, "wb") as out:
        for size, name, lat, lon in rows:
            lon = lon % 360.0
            if west:
                lon = (360.0 - lon) % 360.0
            encoded = name.encode("cp1252", errors="replace")[:24]
            out.write(RECORD.pack(tenths(lon) % 3600, tenths(lat), encoded))


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--out", required=True, help="reference-catalogue folder")
    ap.add_argument("--source", default="/usr/share/stellarium/data/nomenclature.dat")
    ap.add_argument("--count", type=int, default=400)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for body, name, west in (("Mars", "marsf.bin", True), ("Moon", "moonf.bin", False)):
        rows = read_features(args.source, body)[: args.count]
        if not rows:
            raise SystemExit("no %s features in %s" % (body, args.source))
        write(os.path.join(args.out, name), rows, west)


if __name__ == "__main__":
    main()
