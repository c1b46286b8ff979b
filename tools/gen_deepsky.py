#!/usr/bin/env python3
"""Writes the deep-sky catalogue files and their cross indexes in the suite's
byte layouts: NGC/IC/Messier cross indexes, common names, galaxies with their
designation indexes, planetary nebulae, open and globular clusters, bright and
dark nebulae.

Sources: the OpenNGC database of the kstars-data package (positions, types,
magnitudes, sizes, PGC/UGC identifiers, common names) and, for catalogues
without a public source on this machine (Barnard, LDN, Sharpless, Collinder,
Palomar, PN G/PK ...), small tables of well-known objects from published
coordinates.

Slot 0 files (object catalogues) go to --ref, slot 1 files (indexes) to --cat.
--small writes a fixture of the Messier objects and the hand tables only.

usage: gen_deepsky.py --ref DIR --cat DIR [--small]
"""
import argparse
import math
import os
import re
import sqlite3
import struct

OPENNGC = "/usr/share/kstars/OpenNGC.kscat"
TURN = 2147483647


def turns(deg):
    return int(round(math.radians(deg) * TURN / (2 * math.pi)))


def mag10(m, none=255):
    return none if m is None else max(0, min(254, int(round(m * 10))))


def cstr(text, n):
    b = text.encode("latin-1", "replace")[:n - 1]
    return b + b"\0" * (n - len(b))


# Hand tables: (ra deg, dec deg, designations, extra) from published positions.
DARK = [  # Barnard / LDN clouds: ra, dec, barnard, suffixA, ldn, class, size', name
    (85.245, -2.458, 33, 0, 1630, 6, 6.0, "Horsehead Nebula"),
    (255.75, -23.63, 72, 0, 66, 6, 4.0, "Snake Nebula"),
    (260.67, -23.82, 68, 0, 57, 6, 3.0, None),
    (271.00, -27.88, 86, 0, 93, 6, 4.0, "Ink Spot"),
    (273.92, -18.22, 92, 0, 323, 6, 12.0, None),
    (88.70, 1.83, 0, 0, 1622, 5, 10.0, None),
    (290.0, 10.9, 142, 0, 0, 6, 40.0, None),
    (298.6, 34.9, 168, 0, 1055, 6, 100.0, None),
]
DC_CLOUDS = [  # ra, dec, DC longitude, latitude (degrees, from the cloud's galactic place), class, size', name
    (192.75, -62.5, 301.0, -1.0, 6, 420.0, "Coalsack"),
]
OTHER_NEB = [  # ra, dec, other designation (at most 14 characters)
    (333.3, 70.25, "Ced 201"),
    (84.75, 28.0, "Simeis 147"),
]
SHARPLESS = [  # ra, dec, Sh 2 number, LBN, name
    (344.0, 62.6, 155, 529, "Cave Nebula"),
    (300.0, 35.3, 101, 0, "Tulip Nebula"),
]
OTHER_OC = [  # ra, dec, [(row, number)], mag, size', name
    (291.35, 20.18, [(14, 399)], 3.6, 60.0, "Brocchi's Cluster"),
    (186.0, 26.0, [(34, 111)], 1.8, 275.0, "Coma Star Cluster"),
    (324.5, 57.5, [(48, 37)], 3.5, 50.0, None),
    (62.0, 44.7, [(8, 11)], 11.4, 5.0, None),
]
OTHER_GLOB = [  # ra, dec, palomar, terzan, mag, size, distance kpc
    (229.02, -0.11, 5, 0, 11.8, 8.0, 23.2),
    (267.02, -24.78, 0, 5, 13.9, 2.4, 6.9),
]
PN_EXTRA = {  # NGC number: (PN G lon, lat, PK lon, lat tenths signed, distance pc)
    6720: (63.1, 13.9, 63, 131, 790),
    6853: (60.8, -3.6, 60, -31, 380),
    7293: (36.1, -57.1, 36, -571, 200),
    3587: (148.4, 57.0, 148, 571, 620),
}
GAL_EXTRA = {  # NGC number: mcg (zone, second, third), arp, eso (field, number), markarian
    5194: ((8, 25, 12), 85, None, None),
    4038: ((-3, 31, 14), 244, (572, 47), None),
    5128: (None, 153, (270, 9), None),
    4151: ((7, 25, 44), 0, None, 0),
}
GROUPS = [  # ra, dec, ACO or 0, Hickson or 0, magnitude, size', redshift, name
    (194.95, 27.98, 1656, 0, 10.7, 100.0, 0.0231, "Coma Cluster"),
    (187.7, 12.3, 0, 0, 8.6, 480.0, 0.0036, "Virgo Cluster"),
    (339.0, 33.96, 0, 92, 13.0, 3.5, 0.0215, "Stephan's Quintet"),
    (49.95, 41.51, 426, 0, 11.6, 100.0, 0.0179, "Perseus Cluster"),
]
QUASARS = [  # ra, dec, discoverer designation, HB ra part, dec part, suffix, V, B-V, z
    (187.2779, 2.0524, "3C 273", 1226, 23, " ", 12.9, 0.21, 0.158),
    (24.4221, 33.1597, "3C 48", 134, 329, " ", 16.2, 0.42, 0.367),
    (329.7167, -30.2256, "PKS 2155-304", 2155, -304, " ", 13.1, 0.0, 0.116),
    (166.1138, 38.2088, "Mkn 421", 1101, 384, " ", 13.3, 0.5, 0.030),
]
GAL_DISTANCE = {224: 2.5, 598: 2.7, 5194: 23.0, 3031: 11.8, 5457: 20.9}
ONE_NGC_TWO = {}  # NGC numbers with two objects of different classes (filled from data)


def open_ngc(small):
    db = sqlite3.connect(OPENNGC)
    rows = []
    for (typ, ra, dec, mag, name, long_name, ident, a, b) in db.execute(
            "select type, ra, dec, magnitude, name, long_name, catalog_identifier, "
            "major_axis, minor_axis from cat"):
        m = re.match(r"(NGC|IC)(\d{4})([A-Z]?)$", ident or "")
        if not m:
            continue
        messier = 0
        mm = re.match(r"M (\d+)$", name or "")
        if mm:
            messier = int(mm.group(1))
        if small and not messier:
            continue
        names, pgc, ugc = [], 0, 0
        for token in (long_name or "").split(","):
            token = token.strip()
            if not token:
                continue
            if token.startswith("PGC "):
                pgc = int(token[4:]) if token[4:].isdigit() else 0
            elif token.startswith("UGC "):
                ugc = int(token[4:]) if token[4:].isdigit() else 0
            elif re.match(r"(NGC|IC|M) \d", token):
                continue
            else:
                names.append(token)
        rows.append(dict(type=typ, ra=ra, dec=dec, mag=mag, cat=m.group(1), num=int(m.group(2)),
                         suffix=(ord(m.group(3)) - 64) if m.group(3) else 0, messier=messier,
                         names=names, pgc=pgc, ugc=ugc, a=a or 0.0, b=b or 0.0))
    rows.sort(key=lambda r: (r["ra"], r["dec"]))
    return rows


CLASS_OF_TYPE = {3: 0, 4: 1, 5: 2, 7: 2, 6: 3, 8: 4}


class Cross:
    def __init__(self):
        self.ngc = {}  # number -> list of (suffix, code, record)
        self.ic = {}
        self.messier = {}
        self.names = []  # (name, code, record)

    def add(self, obj, code, record):
        if obj.get("cat") in ("NGC", "IC"):
            table = self.ngc if obj["cat"] == "NGC" else self.ic
            table.setdefault(obj["num"], []).append((obj["suffix"], code, record))
        if obj.get("messier"):
            self.messier.setdefault(obj["messier"], (code, record))
        for n in obj.get("names", [])[:1]:
            if len(self.names) < 228 and all(n.upper() != x[0].upper() for x in self.names) and len(n) < 32:
                self.names.append((n, code, record))


def write_cross(cross, cat):
    out = bytearray()
    for n in range(1, 7841):
        entries = sorted(cross.ngc.get(n, []))
        codes, recs = 0, [-1] * 7
        plain = [e for e in entries if e[0] == 0]
        lettered = [e for e in entries if 0 < e[0] <= 6]
        count = max([e[0] for e in lettered], default=0)
        for s, code, rec in lettered:
            codes |= code << (3 * s)
            recs[s] = rec
        if plain:
            codes |= plain[0][1]
            recs[0] = plain[0][2]
            if count == 0 and len(plain) > 1:   # a second object of the plain number
                codes |= plain[1][1] << 3
                recs[1] = plain[1][2]
        out += struct.pack("<BI7i", count, codes, *recs)
    open(os.path.join(cat, "ngc.bin"), "wb").write(out)
    out = bytearray()
    for n in range(1, 5387):
        codes, recs = 0, [-1] * 3
        for s, code, rec in cross.ic.get(n, []):
            if s <= 2 and recs[s] == -1:
                codes |= code << (3 * s)
                recs[s] = rec
        out += struct.pack("<H3i", codes, *recs)
    open(os.path.join(cat, "ic.bin"), "wb").write(out)
    out = bytearray()
    for n in range(1, 111):
        code, rec = cross.messier.get(n, (255, 0))
        out += struct.pack("<BH", code, rec & 0xFFFF)
    open(os.path.join(cat, "m.bin"), "wb").write(out)
    names, xref = bytearray(), bytearray()
    for i in range(228):
        if i < len(cross.names):
            n, code, rec = cross.names[i]
            names += cstr(n, 32)
            xref += struct.pack("<Bi", code, rec)
        else:
            names += b"\0" * 32
            xref += struct.pack("<Bi", 255, -1)
    open(os.path.join(cat, "cnames.bin"), "wb").write(names)
    open(os.path.join(cat, "cn_cross.bin"), "wb").write(xref)
    return {n.upper(): i for i, (n, _, _) in enumerate(cross.names)}


def name_number(names, obj):
    for n in obj.get("names", [])[:1]:
        if n.upper() in names:
            return names[n.upper()]
    return 255


def axis62(arcmin):
    return 0xFFFF if not arcmin else min(0xFFFE, int(round(arcmin * 62)))


def write_galaxies(gals, names, cat):
    out = bytearray()
    pgc, ugc, mcg, eso, arp, mkn = {}, {}, {}, {}, {}, {}
    ngd = []
    for i, g in enumerate(gals):
        number = i + 1
        ngcn = g["num"] if g["cat"] == "NGC" else 0
        icn = g["num"] if g["cat"] == "IC" else 0
        extra = GAL_EXTRA.get(ngcn, (None, 0, None, None))
        zone, second, third = extra[0] if extra[0] else (0, 0, 0)
        w4 = (((zone + 7) & 31) << 17 | (second & 63) << 11 | (third & 255) << 3) if extra[0] else 0
        w4 |= (extra[1] & 511) << 22
        field, esonum = extra[2] if extra[2] else (0, 0)
        dist = GAL_DISTANCE.get(ngcn)
        morph = 30 | (0x80 if dist else 0)
        out += struct.pack("<iIHBHHHBHBBiiHHBBiHBBHH", g["pgc"], w4, field << 4, esonum,
                           ngcn | (min(g["suffix"], 7) << 13 if ngcn else 0),
                           icn | (min(g["suffix"], 7) << 13 if icn else 0), 0, g["messier"], g["ugc"],
                           32 if g["ugc"] else 0, name_number(names, g), turns(g["ra"]),
                           turns(g["dec"]), 0, 0, morph, mag10(g["mag"]), -1, 0xFFFF, 255, 255,
                           axis62(g["a"]), axis62(g["b"]))
        if g["pgc"]:
            pgc[g["pgc"]] = number
        if g["ugc"]:
            ugc.setdefault(g["ugc"], []).append(number)
        if extra[0]:
            mcg[(zone, second, third)] = number
        if extra[1]:
            arp[extra[1]] = number
        if extra[2]:
            eso[(field, esonum)] = number
        if dist:
            ngd.append((number, dist))
    open(os.path.join(cat, "gal.bin"), "wb").write(out)
    top = max(pgc, default=0)
    top = top if top < 1000000 else 1000000
    b = bytearray(b"\xff" * (3 * top))
    for p, n in pgc.items():
        if p <= top:
            b[3 * (p - 1):3 * p] = struct.pack("<I", n)[:3]
    open(os.path.join(cat, "pgc.bin"), "wb").write(b)
    b = bytearray(12 * 12922)
    for u, ns in ugc.items():
        for k, n in enumerate(ns[:3]):
            b[12 * (u - 1) + 3 * k:12 * (u - 1) + 3 * k + 3] = struct.pack("<I", n)[:3]
            b[12 * (u - 1) + 9 + k] = 32 if k == 0 else 65 + k - 1
    open(os.path.join(cat, "ugc.bin"), "wb").write(b)
    b = bytearray(b"\xff" * (3 * 338))
    for a, n in arp.items():
        b[3 * (a - 1):3 * a] = struct.pack("<I", n)[:3]
    open(os.path.join(cat, "arp.bin"), "wb").write(b)
    # MCG: directory of 32 zones x 61 second numbers, then the third-number slots.
    directory = bytearray(32 * 61 * 5)
    body = bytearray()
    for (z, s, t), n in sorted(mcg.items()):
        at = len(directory) + len(body)
        slots = bytearray(b"\xff" * (9 * (t + 1)))
        slots[9 * t:9 * t + 3] = struct.pack("<I", n - 1)[:3]
        body += slots
        directory[((z + 7) * 61 + s) * 5:((z + 7) * 61 + s) * 5 + 5] = struct.pack("<IB", at, t)
    open(os.path.join(cat, "mcg.bin"), "wb").write(directory + body)
    directory = bytearray(1000 * 6)
    body = bytearray()
    for (f, e), n in sorted(eso.items()):
        at = len(directory) + len(body)
        slots = bytearray(b"\xff" * (6 * e))
        slots[6 * (e - 1):6 * (e - 1) + 3] = struct.pack("<I", n)[:3]
        body += slots
        directory[(f - 1) * 6:(f - 1) * 6 + 6] = struct.pack("<IH", at, e - 1)
    open(os.path.join(cat, "esob.bin"), "wb").write(directory + body)
    open(os.path.join(cat, "mkn.bin"), "wb").write(b"\xff" * (6 * 1500))
    open(os.path.join(cat, "ngd.bin"), "wb").write(
        b"".join(struct.pack("<if", n, d) for n, d in sorted(ngd)))


def write_groups_and_quasars(names, ref, cat):
    # gg.bin: the catalogue header, then one 27-byte record per group number.
    top = max(x[2] if x[2] else 4076 + x[3] for x in GROUPS if x[2] or x[3])
    records = [bytearray(b"\0\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\xff\0\0\0\0\0\0\0\xff\0\0\0\0")
               for _ in range(top)]
    for x in GROUPS:
        number = x[2] if x[2] else (4076 + x[3] if x[3] else 0)
        if not number:
            continue
        records[number - 1] = bytearray(struct.pack(
            "<iiHBBBBBBHHBBBHH", turns(x[0]), turns(x[1]), x[2], x[3],
            name_number(names, dict(names=[x[7]])), 255, mag10(x[4]), 255, 0,
            int(round(x[6] * 10000)), int(round(x[5] * 10)), 0, 0, 255, 0, 0))
    open(os.path.join(ref, "gg.bin"), "wb").write(struct.pack("<HBB", 55555, 0, 3) + b"".join(records))
    out, hb = bytearray(), {}
    for i, x in enumerate(QUASARS):
        ra, dec, des, hra, hdec, sfx, v, bv, z = x
        out += struct.pack("<iiHhc17sBBBhhHBB5sB", turns(ra), turns(dec), hra, hdec, sfx.encode(),
                           des.ljust(17).encode(), name_number(names, dict(names=[des])), 1,
                           mag10(v), int(round(bv * 100)), 0x7FFF, int(round(z * 1000)), 0, 0, b"", 0)
        hb.setdefault(hra % 100 + (hra // 100) * 60, []).append((hdec, sfx, i))
    open(os.path.join(cat, "qso.bin"), "wb").write(out)
    # The discoverer designations in the order the reader's comparison keeps
    # (catalogue word, then the numbers).
    def key(d):
        word, _, rest = d.partition(" ")
        m = re.match(r"(\d+)", rest)
        return (word, int(m.group(1)) if m else 0, rest)
    des = sorted(((x[2], i) for i, x in enumerate(QUASARS)), key=lambda e: key(e[0]))
    open(os.path.join(cat, "qso_des.bin"), "wb").write(
        b"".join(cstr(d, 18) + struct.pack("<H", i) for d, i in des))
    directory, body = bytearray(1440 * 5), bytearray()
    for minute, entries in sorted(hb.items()):
        directory[minute * 5:minute * 5 + 5] = struct.pack("<IB", 1440 * 5 + len(body), len(entries))
        body += b"".join(struct.pack("<hcH", d, s.encode(), r) for d, s, r in entries)
    open(os.path.join(cat, "q.bin"), "wb").write(directory + body)


def write_slots(path, count, values, fmt="<H", empty=0xFFFF):
    b = bytearray()
    for i in range(count):
        b += struct.pack(fmt, values.get(i, empty))
    open(path, "wb").write(b)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--ref", required=True)
    ap.add_argument("--cat", required=True)
    ap.add_argument("--small", action="store_true")
    args = ap.parse_args()
    os.makedirs(args.ref, exist_ok=True)
    os.makedirs(args.cat, exist_ok=True)
    rows = open_ngc(args.small)
    cross = Cross()
    by_class = {c: [] for c in range(5)}
    for r in rows:
        c = CLASS_OF_TYPE.get(r["type"])
        if c is not None:
            by_class[c].append(r)
    # Record numbers: from 0 for clusters and nebulae, from 1 for globulars and galaxies.
    oc = [dict(ra=x[0], dec=x[1], rows=x[2], mag=x[3], a=x[4], names=[x[5]] if x[5] else [])
          for x in OTHER_OC] + by_class[0]   # record 0 holds no M/NGC/IC number
    for i, o in enumerate(oc):
        cross.add(o, 0, i)
    globs = by_class[1] + [dict(ra=x[0], dec=x[1], pal=x[2], ter=x[3], mag=x[4], a=x[5], dist=x[6])
                           for x in OTHER_GLOB]
    for i, g in enumerate(globs):
        cross.add(g, 1, i + 1)
    n7822 = [r for r in by_class[2] if r["cat"] == "NGC" and r["num"] == 7822]
    neb = n7822 + [r for r in by_class[2] if r not in n7822] + [
        dict(ra=x[0], dec=x[1], sh=x[2], lbn=x[3], names=[x[4]], mag=None, a=0, b=0) for x in SHARPLESS] + [
        dict(ra=x[0], dec=x[1], other=x[2], names=[], mag=None, a=0, b=0) for x in OTHER_NEB]
    for i, n in enumerate(neb):
        cross.add(n, 2, i)
    pln = by_class[3]
    for i, p in enumerate(pln):
        cross.add(p, 3, i)
    gals = by_class[4]
    for i, g in enumerate(gals):
        cross.add(g, 4, i + 1)
    dark = [dict(names=[x[7]] if x[7] else []) for x in DARK] + [dict(names=[x[6]]) for x in DC_CLOUDS]
    for i, d in enumerate(dark):
        cross.add(d, 7, i)
    groups = [dict(names=[x[7]]) for x in GROUPS]
    for g, x in zip(groups, GROUPS):
        number = x[2] if x[2] else (4076 + x[3] if x[3] else 0)
        if number:
            cross.add(g, 6, number)
    quasars = [dict(names=[x[2]] if x[2] == "3C 273" else []) for x in QUASARS]
    for i, q in enumerate(quasars):
        cross.add(q, 5, i)
    names = write_cross(cross, args.cat)
    write_groups_and_quasars(names, args.ref, args.cat)
    write_galaxies(gals, names, args.cat)

    # Planetary nebulae and their PN G / PK indexes.
    out, png, pk = bytearray(), {}, {}
    for i, p in enumerate(pln):
        ex = PN_EXTRA.get(p["num"] if p["cat"] == "NGC" else -1)
        glon, glat = (int(round(ex[0] * 10)), int(round(ex[1] * 10))) if ex else (0, 0)
        pkw = 0
        if ex:
            pkw = ex[2] | ((1 if ex[3] >= 0 else 0) << 9) | (abs(ex[3]) << 10)
            pk.setdefault(ex[2], {})[ex[3] + 741] = i
            png.setdefault(int(ex[0]), []).append((glon - 10 * int(ex[0]), glat, 0, i))
        out += struct.pack("<hhiiB17sIHHBBHHIHBIHhBBBHHHHBH", glon, glat, turns(p["ra"]), turns(p["dec"]),
                           0, b"\0" * 17, pkw, p["num"] if p["cat"] == "NGC" else 0,
                           p["num"] if p["cat"] == "IC" else 0, p["messier"],
                           (name_number(names, p) + 1) & 255 if name_number(names, p) != 255 else 0,
                           0, 0, 0, 0, 0, 0, 0, 0x7FFF, mag10(p["mag"]), 255, 255,
                           int(round(p["a"] * 600)) if p["a"] else 0xFFFF, ex[4] if ex else 0xFFFF,
                           0, 0, 0, 0)
    open(os.path.join(args.ref, "pln.bin"), "wb").write(out)
    directory, body = bytearray(360 * 6), bytearray()
    for lon, slots in sorted(pk.items()):
        high = max(slots)
        at = 360 * 6 + len(body)
        body += b"".join(struct.pack("<H", slots.get(s, 0xFFFF)) for s in range(high + 1))
        directory[lon * 6:lon * 6 + 6] = struct.pack("<IH", at, high)
    open(os.path.join(args.cat, "pk.bin"), "wb").write(directory + body)
    directory, body = bytearray(361 * 6), bytearray()
    for deg in range(361):
        entries = sorted(png.get(deg, []))
        directory[deg * 6:deg * 6 + 6] = struct.pack("<IH", 361 * 6 + len(body), len(entries))
        body += b"".join(struct.pack("<BhcH", t, la, bytes([s]), r) for t, la, s, r in entries)
    open(os.path.join(args.cat, "PNG.bin"), "wb").write(directory + body)
    for name, count in (("abell_pn.bin", 86), ("Minkowski.bin", 93 * 4), ("haro.bin", 76 * 2),
                        ("kohoutek.bin", 95 * 4), ("Henize.bin", 1821), ("aro.bin", 30)):
        write_slots(os.path.join(args.cat, name), count, {})
    open(os.path.join(args.cat, "pn_des.bin"), "wb").write(b"")

    # Open clusters and their indexes.
    out, cross_rows = bytearray(), {}
    for i, o in enumerate(oc):
        rows_ = list(o.get("rows", []))
        if o.get("cat") in ("NGC", "IC"):
            rows_.insert(0, (1 if o["cat"] == "NGC" else 2, o["num"]))
        if o.get("messier"):
            rows_.insert(0, (0, o["messier"]))
        rows_ = rows_[:5] + [(0, 0)] * (5 - len(rows_[:5]))
        for row, num in rows_:
            if 3 <= row <= 53 and num:
                cross_rows.setdefault(row, {})[num] = i
        out += struct.pack("<5B5HBffHBbbBHHH18sBH", *[r for r, _ in rows_], *[n for _, n in rows_],
                           name_number(names, o), math.radians(o["ra"]), math.radians(o["dec"]), 0,
                           mag10(o["mag"]), -1, -1, 255, 0, 0, int(round((o.get("a") or 0) * 10)),
                           b"", 0, 0)
    open(os.path.join(args.ref, "oc.bin"), "wb").write(out)
    directory, body = bytearray(55 * 6), bytearray()
    for row, nums in sorted(cross_rows.items()):
        high = max(nums)
        directory[row * 6:row * 6 + 6] = struct.pack("<IH", 55 * 6 + len(body), high)
        body += b"".join(struct.pack("<H", nums.get(n, 0xFFFF)) for n in range(1, high + 1))
    open(os.path.join(args.cat, "oc_cross.bin"), "wb").write(directory + body)
    write_slots(os.path.join(args.cat, "ocl.bin"), 9 * 10, {})
    open(os.path.join(args.cat, "oc_other.bin"), "wb").write(b"")

    # Globular clusters.
    out, pal, ter = bytearray(), {}, {}
    for i, g in enumerate(globs):
        if g.get("pal"):
            pal[g["pal"] - 1] = i + 1
        if g.get("ter"):
            ter[g["ter"] - 1] = i + 1
        out += struct.pack("<HHBBHHiiHHhB18s", g["num"] if g.get("cat") == "NGC" else 0,
                           g["num"] if g.get("cat") == "IC" else 0, g.get("messier", 0),
                           name_number(names, g), g.get("pal", 0), g.get("ter", 0), turns(g["ra"]),
                           turns(g["dec"]), int(round((g.get("a") or 0) * 10)),
                           int(round(g.get("dist", 0) * 10)), 0, mag10(g["mag"], 0), b"")
    open(os.path.join(args.ref, "glob.bin"), "wb").write(out)
    write_slots(os.path.join(args.cat, "palomar.bin"), 15, pal, "<B", 0)
    write_slots(os.path.join(args.cat, "terzan.bin"), 11, ter, "<B", 0)
    open(os.path.join(args.cat, "GDes.bin"), "wb").write(b"")

    # Bright nebulae: record 0 is NGC 7822.
    out, sh, lbn = bytearray(), {}, {}
    for i, n in enumerate(neb):
        if n.get("sh"):
            sh[n["sh"] - 1] = i
        if n.get("lbn"):
            lbn[n["lbn"] - 1] = i
        out += struct.pack("<iiBBBHHHHBBBHHBH15sHB", turns(n["ra"]), turns(n["dec"]), 0,
                           name_number(names, n), n.get("messier", 0),
                           n["num"] if n.get("cat") == "NGC" else 0, 0,
                           n["num"] if n.get("cat") == "IC" else 0, 0, 0, 0, 0, n.get("sh", 0),
                           n.get("lbn", 0), mag10(n["mag"]), int(round((n.get("a") or 0) * 10)),
                           cstr(n.get("other", ""), 15),
                           int(round((n.get("b") or 0) * 10)), 255)
    open(os.path.join(args.ref, "neb.bin"), "wb").write(out)
    write_slots(os.path.join(args.cat, "sh.bin"), 312, sh, "<h", -1)
    write_slots(os.path.join(args.cat, "LBN.bin"), 1627, lbn, "<h", -1)
    for name, count in (("gum.bin", 83), ("RCW.bin", 158), ("vdB.bin", 158)):
        write_slots(os.path.join(args.cat, name), count, {}, "<h", -1)
    # Other designations in the reader's order: catalogue word, then number.
    others = sorted(((n["other"], i) for i, n in enumerate(neb) if n.get("other")),
                    key=lambda e: (e[0].split(" ")[0], int(e[0].split(" ")[1].rstrip("abcdefgh")), e[0]))
    open(os.path.join(args.cat, "nebother.bin"), "wb").write(
        b"".join(struct.pack("<h", i) + cstr(o, 15) for o, i in others))

    # Dark nebulae: the catalogued clouds from record 0, padding up to the
    # globules at record 3114.
    records = [bytearray(25) for _ in range(3114)]
    barnard, ldn = {}, {}
    for i, x in enumerate(DARK):
        ra, dec, b, sfx, l, cls, size, name = x
        records[i] = bytearray(struct.pack("<iiBHBHHHh5s", turns(ra), turns(dec), cls,
                                           int(round(size * 100)), name_number(names, dark[i]), l,
                                           b | (0x8000 if sfx else 0), 0, 0, b""))
        if b:
            barnard[b - 1] = i + 1
        if l:
            ldn[l - 1] = i + 1
    dc = []
    for k, x in enumerate(DC_CLOUDS):
        i = len(DARK) + k
        ra, dec, lon, lat, cls, size, name = x
        lt, bt = int(round(lon * 10)), int(round(lat * 10))
        records[i] = bytearray(struct.pack("<iiBHBHHHh5s", turns(ra), turns(dec), cls,
                                           int(round(size * 100)), name_number(names, dark[i]), 0, 0,
                                           lt, bt, b""))
        dc.append((lt, bt, 0, i))
    for r in records[len(DARK) + len(DC_CLOUDS):]:
        r[8] = 9   # unused catalogued record: class 9, no designation
    records.append(bytearray(struct.pack("<iiBBB14s", turns(265.0), turns(-23.0), 10, 30, 20,
                                         cstr("CG 4-2", 14))))
    open(os.path.join(args.ref, "dn.bin"), "wb").write(b"".join(records))
    write_slots(os.path.join(args.cat, "Barnard.bin"), 370, barnard, "<H", 0)
    write_slots(os.path.join(args.cat, "ldn.bin"), 1802, ldn, "<H", 0)
    open(os.path.join(args.cat, "dc.bin"), "wb").write(
        b"".join(struct.pack("<HhH", lt | (sf << 13), bt, r) for lt, bt, sf, r in sorted(dc)))
    open(os.path.join(args.cat, "gbc.bin"), "wb").write(cstr("CG 4-2", 14) + struct.pack("<H", 3114))
    print("deep sky: %d galaxies, %d planetary, %d open, %d globular, %d nebulae, %d names"
          % (len(gals), len(pln), len(oc), len(globs), len(neb), len(cross.names)))


if __name__ == "__main__":
    main()
