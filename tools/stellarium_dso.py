#!/usr/bin/env python3
"""Reader of the deep-sky catalogue of the stellarium-data package
(nebulae/default/catalog.dat and names.dat), for the demo generators, the
table of observers' designations and the catalogue-fidelity test.

catalog.dat is a gzip-compressed Qt data stream (big-endian): two strings
(format version, edition), then one record per object: id (int32), RA and
Dec (double, radians, J2000), B and V magnitudes (double; 99 = none), object
type (int32), morphological type (string), major and minor axis (double,
degrees), orientation (int32, degrees), redshift and its error, parallax and
its error (mas), distance and its error (kpc; Mpc for galaxies) (doubles),
then the catalogue numbers NGC, IC, M, C, B, Sh 2, vdB, RCW, LDN, LBN, Cr,
Mel, PGC, UGC (int32), Ced (string), Arp, VV (int32), PK, PN G, SNR G, ACO,
HCG, ESO, vdBH (strings), DWB, Tr, St, Ru, vdB-Ha (int32); 0 or an empty
string is none. A string is a uint32 byte length (0xFFFFFFFF for a null
string) and UTF-16BE text.

names.dat lines: columns 1-5 the catalogue prefix ("NGC", "M", "B", "SH2",
"LDN", "CR" ...), 6-20 the number, then _("name"); "#" lines are comments.
"""
import gzip
import os
import re
import struct

FOLDER = "/usr/share/stellarium/nebulae/default"
CATALOG = os.path.join(FOLDER, "catalog.dat")
NAMES = os.path.join(FOLDER, "names.dat")

INT_FIELDS_1 = ["ngc", "ic", "m", "c", "b", "sh2", "vdb", "rcw", "ldn", "lbn", "cr", "mel",
                "pgc", "ugc"]
STR_FIELDS = ["pk", "png", "snrg", "aco", "hcg", "eso", "vdbh"]
INT_FIELDS_2 = ["dwb", "tr", "st", "ru", "vdbha"]

# names.dat prefixes -> record field
PREFIX_FIELD = {"NGC": "ngc", "IC": "ic", "M": "m", "C": "c", "B": "b", "SH2": "sh2",
                "VDB": "vdb", "RCW": "rcw", "LDN": "ldn", "LBN": "lbn", "CR": "cr", "MEL": "mel",
                "PGC": "pgc", "UGC": "ugc", "CED": "ced", "ARP": "arp", "VV": "vv", "PK": "pk",
                "PNG": "png", "SNRG": "snrg", "ACO": "aco", "HCG": "hcg", "ESO": "eso",
                "VDBH": "vdbh", "DWB": "dwb", "TR": "tr", "ST": "st", "RU": "ru",
                "VDBHA": "vdbha"}


def available():
    return os.path.exists(CATALOG) and os.path.exists(NAMES)


def read_catalog(path=CATALOG):
    data = gzip.open(path).read()
    pos = 0

    def i32():
        nonlocal pos
        v = struct.unpack_from(">i", data, pos)[0]
        pos += 4
        return v

    def f64():
        nonlocal pos
        v = struct.unpack_from(">d", data, pos)[0]
        pos += 8
        return v

    def qstring():
        nonlocal pos
        n = struct.unpack_from(">I", data, pos)[0]
        pos += 4
        if n == 0xFFFFFFFF:
            return ""
        s = data[pos:pos + n].decode("utf-16-be")
        pos += n
        return s

    qstring()
    qstring()
    objects = []
    while pos < len(data):
        d = {"id": i32(), "ra": f64(), "dec": f64(), "bmag": f64(), "vmag": f64(),
             "otype": i32(), "mtype": qstring(), "major": f64(), "minor": f64(),
             "orient": i32(), "z": f64(), "zerr": f64(), "plx": f64(), "plxerr": f64(),
             "dist": f64(), "disterr": f64()}
        for k in INT_FIELDS_1:
            d[k] = i32()
        d["ced"] = qstring()
        d["arp"] = i32()
        d["vv"] = i32()
        for k in STR_FIELDS:
            d[k] = qstring()
        for k in INT_FIELDS_2:
            d[k] = i32()
        objects.append(d)
    return objects


NAME_LINE = re.compile(r'_\("(.*?)"\)')


def read_names(path=NAMES):
    """(field, value) -> list of names in file order; value an int for the
    numbered catalogues, a string otherwise."""
    names = {}
    for line in open(path, encoding="utf-8"):
        if line.startswith("#") or len(line) < 21:
            continue
        m = NAME_LINE.search(line[20:])
        if not m:
            continue
        prefix, ident = line[0:5].strip(), line[5:20].strip()
        field = PREFIX_FIELD.get(prefix)
        if not field:
            continue
        key = (field, int(ident) if ident.isdigit() else ident)
        names.setdefault(key, []).append(m.group(1))
    return names


def read_name_sources(path=NAMES):
    """(field, value, name in upper case) -> the set of source tags the names
    file's comment gives that name of that object ("WK", "DSW", "PSA" ...)."""
    sources = {}
    for line in open(path, encoding="utf-8"):
        if line.startswith("#") or len(line) < 21:
            continue
        m = NAME_LINE.search(line[20:])
        field = PREFIX_FIELD.get(line[0:5].strip())
        if not m or not field:
            continue
        ident = line[5:20].strip()
        key = (field, int(ident) if ident.isdigit() else ident, m.group(1).upper())
        tags = line[20:][m.end():].partition("#")[2]
        sources.setdefault(key, set()).update(t.strip() for t in tags.split(",") if t.strip())
    return sources


def names_of(obj, names, fields=None):
    """The names the names file gives an object, over its designations in
    the given field order (default: every field), without repeats."""
    out = []
    for field in fields or PREFIX_FIELD.values():
        v = obj.get(field)
        if not v:
            continue
        # The string fields hold numbers too ("1656" of ACO 1656).
        if isinstance(v, str) and v.isdigit():
            v = int(v)
        for n in names.get((field, v), []):
            if n not in out:
                out.append(n)
    return out
