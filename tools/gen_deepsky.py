#!/usr/bin/env python3
"""Writes the deep-sky catalogue files and their cross indexes in the suite's
byte layouts: NGC/IC/Messier cross indexes, common names, galaxies with their
designation indexes, galaxy groups, quasars, planetary nebulae, open and
globular clusters, bright and dark nebulae.

Sources:
  kstars-data      the OpenNGC database (/usr/share/kstars/OpenNGC.kscat):
                   NGC and IC objects with positions, types, magnitudes,
                   sizes, PGC/UGC identifiers and common names;
  stellarium-data  the deep-sky catalogue nebulae/default/catalog.dat with
                   names.dat (read by stellarium_dso.py): Barnard and LDN
                   dark clouds, Sharpless, vdB, RCW, LBN and Ced nebulae,
                   Collinder, Melotte, Trumpler, Stock, Ruprecht and
                   van den Bergh-Hagen clusters, ACO clusters and Hickson
                   groups (their members), Arp numbers, PN G and PK
                   designations of planetary nebulae, all with positions and
                   sizes, and the common names of all of them; it also gives
                   the class of the NGC objects OpenNGC leaves untyped and M 45.
Objects that neither source designates as the suite does (Palomar and
Terzan globulars, a few quasars) are listed below by their cross
identification in the sources (UGC, ESO numbers) so that their places still
come from the sources; only the four quasars, which no package on the
machine holds, keep published places.

Slot 0 files (object catalogues) go to --ref, slot 1 files (indexes) to --cat.
--small writes a fixture of the Messier objects of OpenNGC and the objects of
the other catalogues only.

usage: gen_deepsky.py --ref DIR --cat DIR [--small]
"""
import argparse
import math
import os
import re
import sqlite3
import struct

import stellarium_dso

OPENNGC = "/usr/share/kstars/OpenNGC.kscat"
TURN = 2147483647


def turns(deg):
    return int(round(math.radians(deg) * TURN / (2 * math.pi)))


def mag10(m, none=255):
    return none if m is None else max(0, min(254, int(round(m * 10))))


def cstr(text, n):
    b = text.encode("latin-1", "replace")[:n - 1]
    return b + b"\0" * (n - len(b))


# Cross identifications: designations of the suite that the sources give
# under another catalogue's number. Places, sizes and magnitudes come from
# the source object.
DC_CLOUDS = [  # source key, DC longitude, latitude (the DC designation), name
    (("c", 99), 301.0, -1.0, "Coalsack"),
]
PALOMAR_TERZAN = [  # source key, Palomar number, Terzan number, distance kpc
    (("ugc", 9792), 5, 0, 23.2),
    (("eso", "520-27"), 0, 5, 6.9),
]
GAL_EXTRA = {  # NGC number: mcg (zone, second, third), arp, eso (field, number), markarian
    5194: ((8, 25, 12), 85, None, None),
    4038: ((-3, 31, 14), 244, (572, 47), None),
    5128: (None, 153, (270, 9), None),
    4151: ((7, 25, 44), 0, None, 0),
}
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


# A star's Bayer designation ("gam Cyg", which OpenNGC gives IC 1318): the
# star's, never a deep-sky common name. ("47 Tuc" is the cluster's name.)
STAR_DESIGNATION = re.compile(r"(alf|alp|bet|gam|del|eps|zet|eta|the|tet|iot|kap|lam|mu|nu|xi|ksi|omi|"
                              r"pi|rho|sig|tau|ups|phi|chi|psi|ome)\d? ?[A-Z][A-Za-z]{2}$")


def interesting_objects():
    """("NGC"|"IC"|"M", number) of the deep-sky objects KStars' list of
    interesting objects (Interesting.dat of kstars-data) holds."""
    out = set()
    path = "/usr/share/kstars/Interesting.dat"
    if os.path.exists(path):
        for line in open(path, encoding="latin-1"):
            m = re.match(r"(NGC|IC|M) (\d+)\s*$", line)
            if m:
                out.add((m.group(1), int(m.group(2))))
    return out


def encodable(name):
    """False for a name with a Greek letter: not in the file's code page."""
    try:
        name.encode("latin-1")
    except UnicodeEncodeError:
        return False
    return True


def source_keys(obj):
    """(field, value) pairs under which the names file may name the object:
    its NGC, IC and Messier numbers, every number of its stellarium record,
    its Barnard, LDN and ACO numbers, and those of a group's members."""
    keys = set()
    if obj.get("cat") in ("NGC", "IC") and obj.get("num"):
        keys.add((obj["cat"].lower(), obj["num"]))
    if obj.get("messier"):
        keys.add(("m", obj["messier"]))
    for d in ([obj["stel"]] if obj.get("stel") else []) + obj.get("members", []):
        for field in stellarium_dso.PREFIX_FIELD.values():
            v = d.get(field)
            if v:
                keys.add((field, int(v) if isinstance(v, str) and v.isdigit() else v))
    for field in ("b", "ldn", "aco"):
        if obj.get(field):
            keys.add((field, obj[field]))
    return keys


def designations_of(obj):
    keys = set()
    if obj.get("cat") in ("NGC", "IC") and not obj.get("suffix"):
        keys.add((obj["cat"], obj["num"]))
    if obj.get("messier"):
        keys.add(("M", obj["messier"]))
    return keys


class Cross:
    def __init__(self, sources=None, openngc=None):
        self.ngc = {}  # number -> list of (suffix, code, record)
        self.ic = {}
        self.messier = {}
        self.candidates = []  # (rank, order, name, code, record)
        self.names = []  # (name, code, record), chosen by write_cross
        self.sources = sources or {}
        self.openngc = openngc or {}
        self.interesting = interesting_objects()

    def add(self, obj, code, record):
        if obj.get("cat") in ("NGC", "IC"):
            table = self.ngc if obj["cat"] == "NGC" else self.ic
            table.setdefault(obj["num"], []).append((obj["suffix"], code, record))
        if obj.get("messier"):
            self.messier.setdefault(obj["messier"], (code, record))
        # The common-name file holds 228 names: those observers use most,
        # measured by how many public sources give the name (the source tags
        # of stellarium's names file, and OpenNGC; KStars' list of
        # interesting objects counts as one more for each of their names),
        # then an object's first name before its further names, then the
        # brighter object first.
        mag = obj.get("mag")
        mag = mag if mag is not None and mag < 90 else 99.0
        interesting = 1 if self.interesting & designations_of(obj) else 0
        keys = source_keys(obj)

        def weight(name):
            # The sources that give this object the name; the names file
            # marks a name well known without further source ("WK"): it
            # counts twice.
            tags = set()
            for field, value in keys:
                tags |= self.sources.get((field, value, name.upper()), set())
            if name.upper() in self.openngc.get(("ngc" if obj.get("cat") == "NGC" else "ic",
                                                 obj.get("num")), ()):
                tags.add("OpenNGC")
            return len(tags) + (1 if "WK" in tags else 0)

        # A name the sources spell with a Greek letter ("ω Cen Cluster") cannot
        # go into the file; its sources count for the object's first name
        # that can ("Omega Centauri").
        greek, first = 0, True
        for n in obj.get("names", []):
            if not encodable(n):
                greek = max(greek, weight(n))
        for k, n in enumerate(obj.get("names", [])):
            if not encodable(n):
                continue
            sources = weight(n) + interesting
            if first:
                sources, first = max(sources, greek + interesting), False
            self.candidates.append((-sources, 0 if k == 0 else 1, mag, len(self.candidates), n, code,
                                    record))

    def choose(self, star_names=()):
        # A star's proper name is not a deep-sky common name: "Alnilam" is
        # the star, not the nebula around it that OpenNGC also calls so.
        seen = {n.upper() for n in star_names}
        for _, _, _, _, n, code, record in sorted(self.candidates):
            if len(self.names) >= 228:
                break
            if len(n) >= 32 or n.upper() in seen or STAR_DESIGNATION.match(n):
                continue
            seen.add(n.upper())
            self.names.append((n, code, record))


def keep_named_groups(cross, groups, named):
    """A named group whose name did not make the common-name file would be
    a record no designation reaches: only those whose name did are kept,
    renumbered in order after the Hickson groups (the name entries follow).
    The groups kept, in order."""
    chosen = {record for _, code, record in cross.names if code == 6}
    kept = [g for g in named if g["number"] in chosen]
    renumber = {g["number"]: FIRST_NAMED_GROUP + i for i, g in enumerate(kept)}
    for g in named:
        del groups[g["number"]]
    for g in kept:
        g["number"] = renumber[g["number"]]
        groups[g["number"]] = g
    cross.names = [(n, code, renumber.get(record, record) if code == 6 else record)
                   for n, code, record in cross.names]
    return kept


def write_cross(cross, cat, star_names=()):
    if not cross.names:
        cross.choose(star_names)
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
    # The object's first name that made it into the common-name file.
    for n in obj.get("names", []):
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
        extra = list(GAL_EXTRA.get(ngcn, (None, 0, None, None)))
        extra[1] = g.get("arp") or extra[1]
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


def write_groups_and_quasars(groups, names, ref, cat):
    # gg.bin: the catalogue header, then one 27-byte record per group number;
    # a number the source does not hold keeps an empty slot (no numbers, no
    # place), which the reader treats as no group.
    top = max(groups, default=0)
    records = [bytearray(b"\0\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\xff\0\0\0\0\0\0\0\xff\0\0\0\0")
               for _ in range(top)]
    for number, g in groups.items():
        records[number - 1] = bytearray(struct.pack(
            "<iiHBBBBBBHHBBBHH", turns(g["ra"]), turns(g["dec"]), g["aco"], g["hickson"],
            name_number(names, g), 255, mag10(g["mag"]), 255, 0,
            min(0xFFFF, int(round(g["z"] * 10000))), min(0xFFFF, int(round(g["size"] * 10))), 0, 0,
            mag10(g.get("member_mag")), 0, 0))
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


# ---- the stellarium catalogue -------------------------------------------------------

# Object types of the stellarium catalogue -> the suite's deep-sky class:
# 0 open cluster, 1 globular, 2 bright nebula, 3 planetary, 4 galaxy, 7 dark.
STEL_CLASS = {5: 0, 6: 0, 8: 0, 16: 0, 7: 1, 10: 2, 13: 2, 14: 2, 15: 2, 17: 2, 18: 2, 19: 2,
              11: 3, 26: 3, 27: 3, 0: 4, 1: 4, 2: 4, 3: 4, 12: 7, 23: 7}
# Open-cluster catalogue rows (the catalogue code of oc.bin and oc_cross.bin):
# the discoverer catalogues in the suite's order from row 3.
OC_CATALOGUES = ["Alessi", "Alessi-Teutsch", "Antalova", "Barkhatova", "Basel", "Berkeley", "Bica",
                 "Biurakan", "Bochum", "Chereul", "Chupina", "Collinder", "Czernik", "Danks", "Dias",
                 "Dol-Dzim", "Dolidze", "Dutra-Bica", "Ferrero", "Haffner", "Harvard", "Hogg",
                 "Ivanov", "Kharchenko", "King", "Kronberger", "Latysev", "Loden", "Lynga",
                 "Markarian", "Mayer", "Melotte", "Moffat", "Pfleiderer", "Pismis", "Platais", "Raab",
                 "Riddle", "Roslund", "Ruprecht", "Saurer", "Stephenson", "Stock", "Teutsch",
                 "Tombaugh", "Trumpler", "Turner", "Waterloo", "Westerlund", "vandenBergh",
                 "vandenBergh-Hagen"]
OC_ROW = {name: i + 3 for i, name in enumerate(OC_CATALOGUES)}
# stellarium field -> open-cluster row
STEL_OC_ROWS = [("cr", OC_ROW["Collinder"]), ("mel", OC_ROW["Melotte"]), ("tr", OC_ROW["Trumpler"]),
                ("st", OC_ROW["Stock"]), ("ru", OC_ROW["Ruprecht"]),
                ("vdbha", OC_ROW["vandenBergh-Hagen"])]


def add_names(row, more):
    have = {n.upper() for n in row["names"]}
    for n in more:
        if n.upper() not in have:
            row["names"].append(n)
            have.add(n.upper())


def stel_row(d, names, fields):
    """A row in open_ngc's shape for an object the stellarium catalogue holds."""
    num, cat = (d["ngc"], "NGC") if d["ngc"] else ((d["ic"], "IC") if d["ic"] else (0, None))
    return dict(type=None, ra=math.degrees(d["ra"]) % 360.0, dec=math.degrees(d["dec"]),
                mag=d["vmag"] if d["vmag"] < 90 else None, cat=cat, num=num, suffix=0,
                messier=d["m"], names=stellarium_dso.names_of(d, names, fields), pgc=d["pgc"],
                ugc=d["ugc"], a=d["major"] * 60.0, b=d["minor"] * 60.0, stel=d)


class Stellarium:
    def __init__(self):
        self.objects = stellarium_dso.read_catalog()
        self.names = stellarium_dso.read_names()
        self.by = {}
        for d in self.objects:
            for f in ("ngc", "ic", "m", "c", "ugc", "eso", "pgc"):
                if d[f]:
                    self.by.setdefault((f, d[f]), d)

    def find(self, field, value):
        return self.by.get((field, value))


def drop_held_numbers(row, held, names, own_fields):
    """A record made from the stellarium catalogue keeps no Messier, NGC or IC
    number that an OpenNGC object of another class holds (M 16 is the
    nebula; the cluster in it is reached by its Collinder number), nor the
    names given under those numbers."""
    dropped = False
    if row.get("messier") and ("M", row["messier"]) in held:
        row["messier"], dropped = 0, True
    if row.get("cat") and (row["cat"], row["num"]) in held:
        row["cat"], row["num"], dropped = None, 0, True
    if dropped:
        row["names"] = stellarium_dso.names_of(row["stel"], names, own_fields)


def attach(targets, d):
    """The row of `targets` (keyed by ("NGC"|"IC"|"M", number)) that is the
    stellarium object d, or None."""
    for key in (("M", d["m"]), ("NGC", d["ngc"]), ("IC", d["ic"])):
        if key[1] and key in targets:
            return targets[key]
    return None


def keyed(rows):
    out = {}
    for r in rows:
        if r.get("cat") and not r.get("suffix"):
            out.setdefault((r["cat"], r["num"]), r)
        if r.get("messier"):
            out.setdefault(("M", r["messier"]), r)
    return out


def merge_open_clusters(oc, stel, held):
    targets = keyed(oc)
    taken = set()
    for d in stel.objects:
        if STEL_CLASS.get(d["otype"]) != 0:
            continue
        rows = [(row, d[f]) for f, row in STEL_OC_ROWS if d[f] and (row, d[f]) not in taken]
        if not rows and d["m"] != 45:
            continue
        taken.update(rows)
        row = attach(targets, d)
        if row is None:
            row = stel_row(d, stel.names, ["m", "ngc", "ic", "cr", "mel", "tr", "st", "ru", "c"])
            drop_held_numbers(row, held, stel.names, ["cr", "mel", "tr", "st", "ru"])
            oc.append(row)
            for key in (("M", d["m"]), ("NGC", d["ngc"]), ("IC", d["ic"])):
                if key[1]:
                    targets.setdefault(key, row)
        else:
            add_names(row, stellarium_dso.names_of(d, stel.names, ["cr", "mel", "tr", "st", "ru"]))
        row.setdefault("rows", [])
        row["rows"] += rows


def merge_bright_nebulae(neb, stel, held):
    targets = keyed(neb)
    seen = set()
    for d in stel.objects:
        if STEL_CLASS.get(d["otype"]) != 2:
            continue
        ids = {}
        for f, top in (("sh2", 312), ("vdb", 158), ("rcw", 158), ("lbn", 1627)):
            if 0 < d[f] <= top and (f, d[f]) not in seen:
                ids[f] = d[f]
                seen.add((f, d[f]))
        ced = "Ced " + d["ced"] if d["ced"] and ("ced", d["ced"]) not in seen else ""
        if ced:
            seen.add(("ced", d["ced"]))
        if not ids and not ced:
            continue
        row = attach(targets, d)
        if row is None:
            row = stel_row(d, stel.names, ["m", "ngc", "ic", "sh2", "vdb", "rcw", "lbn", "ced", "c"])
            drop_held_numbers(row, held, stel.names, ["sh2", "vdb", "rcw", "lbn", "ced"])
            neb.append(row)
            for key in (("M", d["m"]), ("NGC", d["ngc"]), ("IC", d["ic"])):
                if key[1]:
                    targets.setdefault(key, row)
        else:
            add_names(row, stellarium_dso.names_of(d, stel.names, ["sh2", "vdb", "rcw", "lbn", "ced"]))
        row.update({("sh" if k == "sh2" else k): v for k, v in ids.items() if not row.get(k)})
        if ced and not row.get("other"):
            row["other"] = ced


def dark_nebulae(stel):
    out, seen = [], set()
    for d in stel.objects:
        b = d["b"] if 0 < d["b"] <= 370 and ("b", d["b"]) not in seen else 0
        ldn = d["ldn"] if 0 < d["ldn"] <= 1802 and ("ldn", d["ldn"]) not in seen else 0
        if not b and not ldn:
            continue
        seen.update({("b", b), ("ldn", ldn)})
        opacity = int(round(d["vmag"])) if 1 <= d["vmag"] <= 6 else 6
        out.append(dict(ra=math.degrees(d["ra"]) % 360.0, dec=math.degrees(d["dec"]), b=b, ldn=ldn,
                        cls=opacity, size=d["major"] * 60.0, stel=d,
                        names=stellarium_dso.names_of(d, stel.names, ["b", "ldn", "c"])))
    for key, lon, lat in [(x[0], x[1], x[2]) for x in DC_CLOUDS]:
        d = stel.find(*key)
        if d:
            out.append(dict(ra=math.degrees(d["ra"]) % 360.0, dec=math.degrees(d["dec"]), b=0, ldn=0,
                            cls=6, size=d["major"] * 60.0, dc=(lon, lat), stel=d,
                            names=stellarium_dso.names_of(d, stel.names, ["c"])))
    return out


def mean_place(members):
    x = y = z = 0.0
    for d in members:
        x += math.cos(d["dec"]) * math.cos(d["ra"])
        y += math.cos(d["dec"]) * math.sin(d["ra"])
        z += math.sin(d["dec"])
    ra = math.degrees(math.atan2(y, x)) % 360.0
    dec = math.degrees(math.atan2(z, math.hypot(x, y)))
    return ra, dec


def separation(ra1, dec1, ra2, dec2):
    a1, d1, a2, d2 = map(math.radians, (ra1, dec1, ra2, dec2))
    c = math.sin(d1) * math.sin(d2) + math.cos(d1) * math.cos(d2) * math.cos(a1 - a2)
    return math.degrees(math.acos(max(-1.0, min(1.0, c))))


def galaxy_groups(stel):
    """ACO clusters (numbers 1-4076) and Hickson groups (4077 on): dicts
    with number, place, magnitude, size (arcmin), redshift, names."""
    groups = {}
    for d in stel.objects:
        if d["aco"].isdigit() and 1 <= int(d["aco"]) <= 4076 and int(d["aco"]) not in groups:
            groups[int(d["aco"])] = dict(
                number=int(d["aco"]), aco=int(d["aco"]), hickson=0, ra=math.degrees(d["ra"]) % 360.0,
                dec=math.degrees(d["dec"]), mag=d["vmag"] if d["vmag"] < 90 else None,
                size=d["major"] * 60.0, z=d["z"] if 0 < d["z"] < 6 else 0.0,
                names=stellarium_dso.names_of(d, stel.names, ["aco"]))
    members = {}
    for d in stel.objects:
        m = re.match(r"(\d+)", d["hcg"])
        if m and 1 <= int(m.group(1)) <= 100:
            members.setdefault(int(m.group(1)), []).append(d)
    for h, ms in members.items():
        ra, dec = mean_place(ms)
        radius = max(separation(ra, dec, math.degrees(x["ra"]), math.degrees(x["dec"])) for x in ms)
        mags = [x["vmag"] for x in ms if x["vmag"] < 90]
        total = -2.5 * math.log10(sum(10 ** (-0.4 * m) for m in mags)) if mags else None
        zs = sorted(x["z"] for x in ms if 0 < x["z"] < 6)
        # A name the names file gives two members or more is the group's.
        counts = {}
        for x in ms:
            for n in stellarium_dso.names_of(x, stel.names, ["ngc", "ic"]):
                counts[n] = counts.get(n, 0) + 1
        groups[4076 + h] = dict(number=4076 + h, aco=0, hickson=h, ra=ra, dec=dec, mag=total,
                                size=2 * radius * 60.0 + 1.0, z=zs[len(zs) // 2] if zs else 0.0,
                                names=[n for n, c in counts.items() if c >= 2],
                                member_mag=min(mags) if mags else None, members=ms)
    return groups


# The last word of a name that calls several galaxies together: the name
# is the group's, not any member's ("Leo Triplet" is not M 65).
GROUP_WORD = re.compile(r"\b(Triplet|Trio|Quartet|Quintet|Sextet|Septet|Nonet|Group|Chain|"
                        r"Galaxies|System)$")
FIRST_NAMED_GROUP = 4076 + 100 + 1


def named_galaxy_groups(stel, groups):
    """Groups that no ACO or Hickson number holds but that the names file
    names through two galaxies or more ("Leo Triplet", "Markarian's Chain"),
    numbered after the Hickson groups: dicts in galaxy_groups' shape. A name
    the file gives to galaxies in two parts of the sky (Zwicky's Triplet)
    keeps the largest set of members within a degree of each other."""
    held = {n.upper() for g in groups.values() for n in g["names"]}
    members = {}
    for d in stel.objects:
        if STEL_CLASS.get(d["otype"]) != 4:
            continue
        for n in stellarium_dso.names_of(d, stel.names):
            if GROUP_WORD.search(n) and n.upper() not in held:
                members.setdefault(n, []).append(d)
    out, number = [], FIRST_NAMED_GROUP
    for name in sorted(members):
        ms = members[name]
        best = []
        for centre in ms:
            near = [x for x in ms if separation(math.degrees(centre["ra"]), math.degrees(centre["dec"]),
                                                math.degrees(x["ra"]), math.degrees(x["dec"])) <= 1.0]
            if len(near) > len(best):
                best = near
        places = {(round(x["ra"], 6), round(x["dec"], 6)) for x in best}
        if len(places) < 2:
            continue   # one galaxy under two numbers, not a group
        same = next((g for g in out if {id(x) for x in g["members"]} == {id(x) for x in best}), None)
        if same:
            same["names"].append(name)   # two names of one group (Taffy Galaxies, Taffy System)
            continue
        ra, dec = mean_place(best)
        radius = max(separation(ra, dec, math.degrees(x["ra"]), math.degrees(x["dec"])) for x in best)
        mags = [x["vmag"] for x in best if x["vmag"] < 90]
        total = -2.5 * math.log10(sum(10 ** (-0.4 * m) for m in mags)) if mags else None
        zs = sorted(x["z"] for x in best if 0 < x["z"] < 6)
        out.append(dict(number=number, aco=0, hickson=0, ra=ra, dec=dec, mag=total,
                        size=2 * radius * 60.0 + 1.0, z=zs[len(zs) // 2] if zs else 0.0,
                        names=[name], member_mag=min(mags) if mags else None,
                        members=best))
        number += 1
    return out


# The word of a name that tells which part of a cluster-and-nebula complex
# it names: the cluster of NGC 2264 is the Christmas Tree Cluster, the
# nebula of M 16 the Eagle Nebula.
CLUSTER_WORD = re.compile(r"\bCluster$")
NEBULA_WORD = re.compile(r"\bNebula$")


def give_names_to_their_parts(oc, neb):
    """Moves a name that says "Cluster" from a bright nebula to the open
    cluster of the same NGC, IC or Messier number, and one that says
    "Nebula" from the cluster to the nebula; the moves as (name, from, to)."""
    def numbers(row):
        keys = set()
        if row.get("cat") and not row.get("suffix"):
            keys.add((row["cat"], row["num"]))
        if row.get("messier"):
            keys.add(("M", row["messier"]))
        d = row.get("stel")
        if d:
            keys.update(k for k in (("NGC", d["ngc"]), ("IC", d["ic"]), ("M", d["m"])) if k[1])
        return keys

    clusters, nebulae = {}, {}
    for row in oc:
        for k in numbers(row):
            clusters.setdefault(k, row)
    for row in neb:
        for k in numbers(row):
            nebulae.setdefault(k, row)
    moves = []
    for rows, word, others, label in ((neb, CLUSTER_WORD, clusters, ("nebula", "cluster")),
                                      (oc, NEBULA_WORD, nebulae, ("cluster", "nebula"))):
        for row in rows:
            for n in [x for x in row["names"] if word.search(x)]:
                target = next((others[k] for k in sorted(numbers(row)) if k in others), None)
                if target is None or target is row:
                    continue
                row["names"].remove(n)
                target["names"][:0] = [n] if n.upper() not in {x.upper() for x in target["names"]} else []
                moves.append((n, label[0], label[1]))
    return moves


def pn_designations(d):
    """(PN G longitude, latitude, PK longitude, PK second number in tenths
    signed, distance in parsecs or 0xFFFF) of a stellarium object, or None
    when it has no PN G and PK designations."""
    if not d:
        return None
    g = re.match(r"(\d+(?:\.\d+)?)([+-]\d+(?:\.\d+)?)$", d["png"])
    k = re.match(r"(\d+)([+-])(\d+(?:\.\d+)?)$", d["pk"])
    if not g or not k:
        return None
    second = int(round(float(k.group(3)) * 10)) * (-1 if k.group(2) == "-" else 1)
    dist = int(round(d["dist"] * 1000)) if 0 < d["dist"] < 60 else 0xFFFF
    return float(g.group(1)), float(g.group(2)), int(k.group(1)) % 360, second, dist


def star_proper_names():
    """Proper names of stars: stellarium's western sky culture and the names
    of KStars' star list."""
    names = set()
    path = "/usr/share/stellarium/skycultures/western/star_names.fab"
    if os.path.exists(path):
        for line in open(path, encoding="utf-8"):
            m = re.match(r'\s*\d+\|_\("([^"]+)"\)', line)
            if m:
                names.add(m.group(1))
    path = "/usr/share/kstars/stars.dat"
    if os.path.exists(path):
        for line in open(path, encoding="latin-1"):
            parts = line.rstrip("\n").split(",")
            if not line.startswith("#") and len(parts) > 2 and parts[2].strip():
                names.add(parts[2].strip())
    return names


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
    if not stellarium_dso.available():
        raise SystemExit("gen_deepsky: the stellarium-data package's deep-sky catalogue is missing")
    stel = Stellarium()
    rows = open_ngc(args.small)
    openngc_names = {(r["cat"].lower(), r["num"]): {n.upper() for n in r["names"]} for r in rows
                     if not r["suffix"]}
    cross = Cross(stellarium_dso.read_name_sources(), openngc_names)
    by_class = {c: [] for c in range(5)}
    placed = []
    for r in rows:
        d = stel.find("ngc" if r["cat"] == "NGC" else "ic", r["num"]) if not r["suffix"] else None
        if r["ra"] == 0 and r["dec"] == 0:
            # OpenNGC has no place for a few objects: take stellarium's, or
            # leave the object out rather than put it at RA 0, Dec 0.
            if d is None or (d["ra"] == 0 and d["dec"] == 0):
                continue
            r["ra"], r["dec"] = math.degrees(d["ra"]) % 360.0, math.degrees(d["dec"])
        placed.append(r)
    rows = placed
    for r in rows:
        d = stel.find("ngc" if r["cat"] == "NGC" else "ic", r["num"]) if not r["suffix"] else None
        if d:
            add_names(r, stellarium_dso.names_of(d, stel.names, ["m", "ngc", "ic", "c"]))
            if not r["messier"] and d["m"]:
                r["messier"] = d["m"]
        c = CLASS_OF_TYPE.get(r["type"])
        if c is None and d is not None:
            c = STEL_CLASS.get(d["otype"])   # OpenNGC leaves some objects untyped (NGC 2244)
        if c is not None and c in by_class:
            by_class[c].append(r)
    held = keyed([r for c in by_class.values() for r in c])
    # Record numbers: from 0 for clusters and nebulae, from 1 for globulars and galaxies.
    oc = by_class[0]
    merge_open_clusters(oc, stel, held)
    globs = by_class[1]
    for key, pal, ter, dist in PALOMAR_TERZAN:
        d = stel.find(*key)
        if d:
            g = stel_row(d, stel.names, ["ugc", "eso"])
            g.update(cat=None, num=0, pal=pal, ter=ter, dist=dist)
            globs.append(g)
    for i, g in enumerate(globs):
        cross.add(g, 1, i + 1)
    n7822 = [r for r in by_class[2] if r["cat"] == "NGC" and r["num"] == 7822]
    neb = n7822 + [r for r in by_class[2] if r not in n7822]
    merge_bright_nebulae(neb, stel, held)
    moves = give_names_to_their_parts(oc, neb)
    for i, o in enumerate(oc):
        cross.add(o, 0, i)
    for i, n in enumerate(neb):
        cross.add(n, 2, i)
    pln = by_class[3]
    for i, p in enumerate(pln):
        cross.add(p, 3, i)
    gals = by_class[4]
    for g in gals:
        d = stel.find("pgc", g["pgc"]) if g["pgc"] else None
        g["arp"] = d["arp"] if d and 0 < d["arp"] <= 338 else 0
    # A group's name is taken off its members.
    numbered_groups = galaxy_groups(stel)
    named_groups = named_galaxy_groups(stel, numbered_groups)
    group_names = {n.upper() for g in named_groups + list(numbered_groups.values()) for n in g["names"]}
    for g in gals:
        g["names"] = [n for n in g["names"] if n.upper() not in group_names]
    for i, g in enumerate(gals):
        cross.add(g, 4, i + 1)
    dark = dark_nebulae(stel)
    for i, d in enumerate(dark):
        cross.add(d, 7, i)
    groups = galaxy_groups(stel)
    for g in named_groups:
        groups[g["number"]] = g
    for number, g in sorted(groups.items()):
        cross.add(g, 6, number)
    quasars = [dict(names=[x[2]] if x[2] == "3C 273" else []) for x in QUASARS]
    for i, q in enumerate(quasars):
        cross.add(q, 5, i)
    cross.choose(star_proper_names())
    named_groups = keep_named_groups(cross, groups, named_groups)
    names = write_cross(cross, args.cat)
    write_groups_and_quasars(groups, names, args.ref, args.cat)
    write_galaxies(gals, names, args.cat)

    # Planetary nebulae and their PN G / PK indexes.
    out, png, pk = bytearray(), {}, {}
    for i, p in enumerate(pln):
        ex = pn_designations(stel.find("ngc" if p["cat"] == "NGC" else "ic", p["num"])
                             if p.get("cat") and not p["suffix"] else None)
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
                           n["num"] if n.get("cat") == "IC" else 0, 0, n.get("vdb", 0), 0,
                           n.get("rcw", 0), n.get("sh", 0),
                           n.get("lbn", 0), mag10(n["mag"]), int(round((n.get("a") or 0) * 10)),
                           cstr(n.get("other", ""), 15),
                           int(round((n.get("b") or 0) * 10)), 255)
    open(os.path.join(args.ref, "neb.bin"), "wb").write(out)
    write_slots(os.path.join(args.cat, "sh.bin"), 312, sh, "<h", -1)
    write_slots(os.path.join(args.cat, "LBN.bin"), 1627, lbn, "<h", -1)
    vdb = {n["vdb"] - 1: i for i, n in enumerate(neb) if n.get("vdb")}
    rcw = {n["rcw"] - 1: i for i, n in enumerate(neb) if n.get("rcw")}
    write_slots(os.path.join(args.cat, "gum.bin"), 83, {}, "<h", -1)
    write_slots(os.path.join(args.cat, "RCW.bin"), 158, rcw, "<h", -1)
    write_slots(os.path.join(args.cat, "vdB.bin"), 158, vdb, "<h", -1)

    # Other designations in the reader's order: catalogue word, then number.
    def other_key(e):
        word, _, rest = e[0].partition(" ")
        m = re.match(r"\d+", rest)
        return (word, int(m.group(0)) if m else 0, e[0])
    others = sorted(((n["other"], i) for i, n in enumerate(neb) if n.get("other")), key=other_key)
    open(os.path.join(args.cat, "nebother.bin"), "wb").write(
        b"".join(struct.pack("<h", i) + cstr(o, 15) for o, i in others))

    # Dark nebulae: the catalogued clouds from record 0, padding up to the
    # globules at record 3114.
    records = [bytearray(25) for _ in range(3114)]
    barnard, ldn, dc = {}, {}, []
    for i, x in enumerate(dark):
        lt, bt = (int(round(x["dc"][0] * 10)), int(round(x["dc"][1] * 10))) if x.get("dc") else (0, 0)
        records[i] = bytearray(struct.pack("<iiBHBHHHh5s", turns(x["ra"]), turns(x["dec"]), x["cls"],
                                           min(0xFFFF, int(round(x["size"] * 100))),
                                           name_number(names, x), x["ldn"], x["b"], lt, bt, b""))
        if x["b"]:
            barnard[x["b"] - 1] = i + 1
        if x["ldn"]:
            ldn[x["ldn"] - 1] = i + 1
        if x.get("dc"):
            dc.append((lt, bt, 0, i))
    for r in records[len(dark):]:
        r[8] = 9   # unused catalogued record: class 9, no designation
    # No package on the machine holds the cometary globules: none are written.
    open(os.path.join(args.ref, "dn.bin"), "wb").write(b"".join(records))
    write_slots(os.path.join(args.cat, "Barnard.bin"), 370, barnard, "<H", 0)
    write_slots(os.path.join(args.cat, "ldn.bin"), 1802, ldn, "<H", 0)
    open(os.path.join(args.cat, "dc.bin"), "wb").write(
        b"".join(struct.pack("<HhH", lt | (sf << 13), bt, r) for lt, bt, sf, r in sorted(dc)))
    open(os.path.join(args.cat, "gbc.bin"), "wb").write(b"")
    print("deep sky: %d galaxies, %d planetary, %d open, %d globular, %d nebulae, %d names"
          % (len(gals), len(pln), len(oc), len(globs), len(neb), len(cross.names)))
    print("named groups: %d (%s)" % (len(named_groups), ", ".join("/".join(g["names"]) for g in named_groups)))
    for name, old_part, new_part in moves:
        print("name of a part: %s from the %s to the %s" % (name, old_part, new_part))


if __name__ == "__main__":
    main()
