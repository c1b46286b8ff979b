#!/usr/bin/env python3
"""Writes the chart's outline layer files from public data in Debian packages:

  kstars-data      /usr/share/kstars/cbounds.dat (the IAU constellation
                   boundaries as closed polygons, J2000, right ascension in
                   hours), clines.dat (stick figures of the western sky
                   culture as moves and draws between HIP stars),
                   milkyway.dat (outlines of the Milky Way, J2000)
  stellarium-data  /usr/share/stellarium/nebulae/default/outlines.dat
                   (outlines of large nebulae: "start NAME", "vertex", "end"
                   lines with right ascension in hours and declination)

The places of the figures' stars come from stars.dat through the star
catalogue generator's matching of its stars to HD numbers
(gen_star_catalogue.match_hd_numbers).

Reference slot 0 (--ref): conbound.bin (the 89 headers of 22 bytes and the
9-byte boundary points after them; an existing conbound.bin of headers only
keeps its boxes), conlines.bin (headers and 16-byte segments).
Map slot 0 (--map): milkyway.bin (at most 15 outlines of 4-byte points),
visneb.bin (73-byte records, then each outline as its points and a closing
point). --neb names neb.bin (the bright-nebula catalogue) whose record
numbers, names and magnitudes the visible nebulae take.

usage: gen_chart_outlines.py --ref DIR --map DIR [--neb FILE]
"""
import argparse
import math
import os
import re
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_star_catalogue as stars_gen  # noqa: E402

KSTARS = "/usr/share/kstars"
OUTLINES = "/usr/share/stellarium/nebulae/default/outlines.dat"
TURN = 2147483647.0
CONSTELLATIONS = 89
HEADER = 22
MILKY_WAY_OUTLINES = 15
NEBULA_RECORD = 73
NEBULA_LIMIT = 120
SERPENS_CAPUT, SERPENS_CAUDA = 75, 76


def turn(radians):
    return int(round(radians / (2 * math.pi) * TURN))


def constellation_index():
    """Name (lower case, no blanks) -> index 0-88 in the catalogue's order."""
    names = stars_gen.constellation_names()
    out = {}
    for i in range(CONSTELLATIONS):
        name, _ = stars_gen.index_name(i, names)
        out[name.lower().replace(" ", "")] = i
    return out


# KStars' spellings where the constellation name table spells otherwise.
ALIASES = {"chamaeleon": "chamaleon", "ophiuchus": "ophiucus", "piscisaustrinus": "piscesaustrinus"}


def key(name):
    k = name.strip().lower().replace(" ", "").replace("\u00f6", "o")
    return ALIASES.get(k, k)


def box_of(points):
    """J2000 box (dec1, dec2, ra1, ra2 radians) of places; the RA range is the
    complement of the widest empty gap, and a polygon winding round a pole
    holds every right ascension up to that pole."""
    decs = [p[1] for p in points]
    ras = sorted(p[0] % (2 * math.pi) for p in points)
    winding = 0.0
    for a, b in zip(points, points[1:]):
        winding += (b[0] - a[0] + math.pi) % (2 * math.pi) - math.pi
    lo, hi = min(decs), max(decs)
    if abs(winding) > math.pi:
        if sum(decs) > 0:
            hi = math.pi / 2
        else:
            lo = -math.pi / 2
        return lo, hi, 0.0, 2 * math.pi - 1e-9
    gap, start = -1.0, 0
    for k in range(len(ras)):
        g = (ras[(k + 1) % len(ras)] - ras[k]) % (2 * math.pi)
        if g > gap:
            gap, start = g, k
    east = ras[start]
    west = ras[(start + 1) % len(ras)]
    return lo, hi, west, east


def read_boundaries(index):
    polygons = [[] for _ in range(CONSTELLATIONS)]
    current = None
    with open(os.path.join(KSTARS, "cbounds.dat"), encoding="latin-1") as f:
        for line in f:
            if line.startswith(":"):
                current = index[key(line[1:])]
                continue
            fields = line.split()
            if current is None or len(fields) < 2:
                continue
            ra = math.radians(float(fields[0]) * 15) % (2 * math.pi)
            polygons[current].append((ra, math.radians(float(fields[1]))))
    return polygons


def hd_places():
    """J2000 places of the stars of stars.dat by HD number (matched by place
    to KStars' binary star files, as the star catalogue generator does)."""
    rows = stars_gen.read_kstars_stars(None)
    stars_gen.match_hd_numbers(rows)
    return {s["hd"]: (s["ra"], s["dec"]) for s in rows if s.get("hd")}


def read_figures(index, places):
    segments = [[] for _ in range(CONSTELLATIONS)]
    current, last, western = None, None, False
    with open(os.path.join(KSTARS, "clines.dat"), encoding="latin-1") as f:
        for line in f:
            if line.startswith("C "):
                western = line.strip() == "C Western"
                continue
            if not western:
                continue
            if line.startswith("#"):
                name = key(line[1:])
                if name in index:
                    current = index[name]
                    last = None
                continue
            fields = line.split()
            if current is None or len(fields) != 2 or fields[0] not in ("M", "D"):
                continue
            place = places.get(int(fields[1]))
            if fields[0] == "D" and last is not None and place is not None:
                segments[current].append((last, place))
            last = place
    return segments


def existing_boxes(path):
    if not os.path.exists(path) or os.path.getsize(path) < CONSTELLATIONS * HEADER:
        return None
    data = open(path, "rb").read()
    boxes = []
    for i in range(CONSTELLATIONS):
        _, lo, hi, ra1, ra2, _ = struct.unpack_from("<IiiiiH", data, i * HEADER)
        boxes.append((lo, hi, ra1, ra2))
    return boxes


def write_headed(path, items, item_bytes, boxes):
    body = bytearray()
    head = bytearray()
    base = CONSTELLATIONS * HEADER
    for i in range(CONSTELLATIONS):
        lo, hi, ra1, ra2 = boxes[i]
        head += struct.pack("<IiiiiH", base + len(body), lo, hi, ra1, ra2, len(items[i]))
        for item in items[i]:
            body += item_bytes(item)
    with open(path, "wb") as f:
        f.write(head + body)


def write_constellations(ref):
    index = constellation_index()
    polygons = read_boundaries(index)
    missing = [i for i in range(CONSTELLATIONS) if not polygons[i]]
    if missing:
        sys.exit("gen_chart_outlines: no boundary for constellations %s" % missing)
    path = os.path.join(ref, "conbound.bin")
    boxes = existing_boxes(path)
    if boxes is None:
        boxes = []
        for poly in polygons:
            lo, hi, west, east = box_of(poly)
            boxes.append((turn(lo), turn(hi), turn(west), turn(east)))
    points = []
    for poly in polygons:
        points.append([(ra, dec, 1 if k == 0 else 0) for k, (ra, dec) in enumerate(poly)])
    write_headed(path, points, lambda p: struct.pack("<iiB", turn(p[0]), turn(p[1]), p[2]), boxes)

    figures = read_figures(index, hd_places())
    figure_boxes = []
    for i in range(CONSTELLATIONS):
        ends = [e for s in figures[i] for e in s]
        lo, hi, west, east = box_of(polygons[i] + ends if ends else polygons[i])
        # the figure's stars may lie a little outside the boundary's box
        figure_boxes.append((turn(lo), turn(hi), turn(west), turn(east)))
    write_headed(os.path.join(ref, "conlines.bin"), figures,
                 lambda s: struct.pack("<iiii", turn(s[0][0]), turn(s[0][1]), turn(s[1][0]),
                                       turn(s[1][1])), figure_boxes)
    return sum(len(p) for p in points), sum(len(f) for f in figures)


def read_milky_way():
    pieces = []
    with open(os.path.join(KSTARS, "milkyway.dat"), encoding="latin-1") as f:
        for line in f:
            fields = line.split()
            if len(fields) != 3 or fields[0] not in ("M", "D"):
                continue
            p = (math.radians(float(fields[1]) * 15) % (2 * math.pi), math.radians(float(fields[2])))
            if fields[0] == "M" or not pieces:
                pieces.append([p])
            else:
                pieces[-1].append(p)
    return pieces


def join_milky_way(pieces):
    """Joins pieces whose start continues the previous piece's end, then the
    nearest ends, until at most 15 outlines remain. A joint becomes a jump
    the chart breaks (more than 10 degrees) or a short seam."""
    def dist(a, b):
        return math.acos(max(-1.0, min(1.0, math.sin(a[1]) * math.sin(b[1]) +
                                       math.cos(a[1]) * math.cos(b[1]) * math.cos(a[0] - b[0]))))
    outlines = []
    for p in pieces:
        if outlines and dist(outlines[-1][-1], p[0]) < math.radians(0.05):
            outlines[-1].extend(p[1:])
        else:
            outlines.append(list(p))
    while len(outlines) > MILKY_WAY_OUTLINES:
        best = None
        for i in range(len(outlines) - 1):
            d = dist(outlines[i][-1], outlines[i + 1][0])
            if best is None or d < best[0]:
                best = (d, i)
        i = best[1]
        outlines[i].extend(outlines.pop(i + 1))
    return outlines


def write_milky_way(folder):
    outlines = join_milky_way(read_milky_way())
    out = bytearray()
    for o in outlines:
        if len(o) > 65535:
            sys.exit("gen_chart_outlines: a Milky Way outline has too many points")
        out += struct.pack("<H", len(o))
        for ra, dec in o:
            out += struct.pack("<Hh", int(round(ra / (2 * math.pi) * 65535)) % 65536,
                               int(round(dec / math.pi * 32767)))
    with open(os.path.join(folder, "milkyway.bin"), "wb") as f:
        f.write(out)
    return outlines


def read_nebula_outlines():
    outlines = []
    with open(OUTLINES, encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if len(fields) < 3 or line.startswith("#"):
                continue
            p = (math.radians(float(fields[0]) * 15), math.radians(float(fields[1])))
            if fields[2] == "start":
                outlines.append((" ".join(fields[3:]), [p]))
            elif outlines:
                outlines[-1][1].append(p)
    return outlines


def read_neb(path):
    """neb.bin records (47 bytes): designations, magnitude, sizes."""
    out = []
    if not path or not os.path.exists(path):
        return out
    data = open(path, "rb").read()
    for k in range(len(data) // 47):
        (ra, dec, flags, cn, m, ngc1, ngc2, ic1, ic2, vdb, gum, rcw, sh, lbn, mag, a, other, b,
         aperture) = struct.unpack_from("<iiBBBHHHHBBBHHBH15sHB", data, 47 * k)
        out.append(dict(cn=cn, m=m, ngc=ngc1, ic=ic1, vdb=vdb, gum=gum, rcw=rcw, sh=sh, lbn=lbn,
                        mag=mag, aperture=aperture))
    return out


def parse_designation(name):
    m = re.match(r"^(M|NGC|IC|LBN|VDB|SH 2-|SH2-)\s*(\d+)", name.strip().upper())
    if not m:
        return None
    kind = {"M": "m", "NGC": "ngc", "IC": "ic", "LBN": "lbn", "VDB": "vdb", "SH 2-": "sh",
            "SH2-": "sh"}[m.group(1)]
    return kind, int(m.group(2))


def write_visible_nebulae(folder, neb_path):
    neb = read_neb(neb_path)
    records = []
    for name, points in read_nebula_outlines():
        d = parse_designation(name)
        if d is None or len(points) < 3:
            continue
        kind, number = d
        number_in_neb = -1
        fields = dict(cn=255, m=0, ngc=0, ic=0, vdb=0, gum=0, rcw=0, sh=0, lbn=0, mag=255, aperture=0)
        for k, r in enumerate(neb):
            if r.get(kind) == number:
                number_in_neb = k
                fields.update({x: r[x] for x in fields})
                break
        fields[kind] = number
        records.append((name, points, number_in_neb, fields))
        if len(records) == NEBULA_LIMIT:
            break
    offset = NEBULA_RECORD * len(records)
    head, body = bytearray(), bytearray()
    for name, points, number, fx in records:
        ras = [p[0] for p in points]
        decs = [p[1] for p in points]
        lo, hi, west, east = box_of(points + [points[0]])
        cra = math.atan2(sum(math.sin(a) for a in ras), sum(math.cos(a) for a in ras)) % (2 * math.pi)
        cdec = sum(decs) / len(decs)
        size = max(max(decs) - min(decs),
                   max((((a - cra + math.pi) % (2 * math.pi)) - math.pi) for a in ras) * math.cos(cdec) -
                   min((((a - cra + math.pi) % (2 * math.pi)) - math.pi) for a in ras) * math.cos(cdec))
        mag = fx["mag"] / 10.0 if fx["mag"] != 255 else 99.9
        aperture = fx["aperture"] if fx["aperture"] != 255 else 0
        other = name.encode("ascii", "replace")[:14].ljust(15, b"\0")
        head += struct.pack("<HhIBBhHhHBBBHH15sffffffffB", len(points), number, offset + len(body),
                            fx["cn"], fx["m"], fx["ngc"], 0, fx["ic"], 0, fx["vdb"], fx["gum"],
                            fx["rcw"], fx["sh"], fx["lbn"], other, mag, size, cra, cdec, west,
                            east, lo, hi, aperture)
        for ra, dec in points + [points[0]]:
            body += struct.pack("<ff", ra % (2 * math.pi), dec)
    assert len(head) == offset
    with open(os.path.join(folder, "visneb.bin"), "wb") as f:
        f.write(head + body)
    return len(records)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--ref", required=True)
    ap.add_argument("--map", required=True)
    ap.add_argument("--neb")
    args = ap.parse_args()
    os.makedirs(args.ref, exist_ok=True)
    os.makedirs(args.map, exist_ok=True)
    points, segments = write_constellations(args.ref)
    outlines = write_milky_way(args.map)
    nebulae = write_visible_nebulae(args.map, args.neb)
    print("gen_chart_outlines: %d boundary points, %d figure segments, %d Milky Way outlines, "
          "%d visible nebulae" % (points, segments, len(outlines), nebulae))


if __name__ == "__main__":
    main()
