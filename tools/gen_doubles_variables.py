#!/usr/bin/env python3
"""Writes the suite's double-star and variable-star catalogue files from public
data in the Debian package stellarium-data
(/usr/share/stellarium/stars/default/):

  wds_hip_part.dat   WDS designation, year, position angle and separation of
                     the Hipparcos stars that are doubles
  extra_name.fab     discoverer designations by HIP number ("β_860" = BU 860)
  gcvs_hip_part.dat  GCVS name, variability type, magnitude range, epoch and
                     period of the Hipparcos stars that are variables

and from tools/visual_binary_orbits.tsv, the published orbital elements of a
few well-known visual binaries (alpha Cen, Sirius, 70 Oph, eta CrB).

Stars are tied to the suite's own star catalogue through their HIP numbers:
stars.bin (written by gen_star_catalogue.py) must already be in --stars.

Files written in --stars (reference slot 1):
  ccdm.bin, ccdm_i.bin  31-byte systems in identifier order (RA part
                        ascending, signed Dec part descending), 37-byte
                        component entries (A, then B measured from A)
  lp_ref.bin, lp_sup.bin 39-byte orbital elements and 68-byte supplements
                        (the system's J2000 place); the companion B of each
                        orbit's system names its orbit, takes its magnitude
                        and its position angle and separation at 2000.0
  did_cross.bin         23-byte discoverer records sorted by the normalised
                        name ("STF 2272": blanks squeezed, a blank before the
                        first digit), the order the lookup compares in
  vindex_f.bin          8-byte entries per constellation
  vref_f.bin            74-byte records; a constellation's numbered stars
                        first (number n in its record n - 1; numbers the
                        package lacks are filler records of number 0), then
                        its Greek-letter names
  vnames.bin            6-byte entries per constellation (offset, count),
                        then 5-byte names (number, superscript, vref_f.bin
                        record) in the catalogue's numbering order

No public catalogue in a Debian package gives the GCVS remarks
(gcvs_remarks.bin), the suspected variables (nsvref_f.bin), the ADS numbers
(ads_ccdm.bin), the full discoverer index (did_cross_full.bin), the
double-star notes (wds_notes.bin) or the photometric catalogues (Landolt,
DDO, Geneva, UBVRI, uvby): the demo installation has none of them, and the
program answers as it does for any missing catalogue file.

stars.bin is then linked to them: a primary star's record gets its system's
number in bits 15-31 of the word at byte 61 (beside its magnitude), a
variable's record its vref_f.bin record number in the 16 bits at byte 33.

usage: gen_doubles_variables.py --stars DIR
"""
import argparse
import math
import os
import re
import struct
import sys

STELLARIUM = "/usr/share/stellarium/stars/default"

ABBREVIATIONS = (
    "And Ant Aps Aqr Aql Ara Ari Aur Boo Cae Cam Cnc CVn CMa CMi Cap Car Cas Cen Cep Cet Cha "
    "Cir Col Com CrA CrB Crv Crt Cru Cyg Del Dor Dra Equ Eri For Gem Gru Her Hor Hya Hyi Ind "
    "Lac Leo LMi Lep Lib Lup Lyn Lyr Men Mic Mon Mus Nor Oct Oph Ori Pav Peg Per Phe Pic Psc "
    "PsA Pup Pyx Ret Sge Sgr Sco Scl Sct Ser Sex Tau Tel Tri TrA Tuc UMa UMi Vel Vir Vol Vul"
).split()
GREEK = "αβγδεζηθικλμνξοπρστυφχψω"
ROWS = dict(zip("RSTUVWXYZABCDEFGHIKLMNOPQ",
                (10, 19, 27, 34, 40, 45, 49, 52, 54, 55, 80, 104, 127, 149, 170, 190, 209,
                 227, 244, 260, 275, 289, 302, 314, 325)))

# Variability types: codes by class and subtype, suffixes by class.
TYPE_CODES = [
    "FU GCAS I RCB RS SDOR UV WR BE".split(),
    "ACYG BCEP BLBOO CEP CW DCEP DSCT GDOR L M PVTEL RPHS RR RV SR SXPHE ZZ".split(),
    "ACV BY ELL FKCOM PSR SXARI".split(),
    "AM N SN UG ZAND".split(),
    "E GS PN WD AR D K SD R".split(),
    ["X"],
    "BLLAC CST GAL L: QSO S: *".split(),
]
SUFFIX_CODES = [
    "NA NB N SA SB S A B T (YY) UVN".split(),
    "S (B) AB A BV PB C D B O".split(),
    ["O"],
    "A B C L R II I SS SU Z".split(),
    "A B W M S E P".split(),
    "ND NG N B F I J P R M".split(),
    [],
]
# Discoverer symbols of the package -> the letters of the WDS codes.
DISCOVERERS = {"Σ": "STF", "ΟΣ": "STT", "ΣΣ": "STFA", "β": "BU", "OΣ": "STT"}

STAR_RECORD = 80
PRIMARY_MARGIN = 2.0  # magnitudes by which a later star must outshine the first
FIRST_ZONE_BYTES = 1121815 * 80


def turn(radians):
    return int(round(radians * 2147483647.0 / (2.0 * math.pi)))


def read_stars(folder):
    """HIP -> (star number, RA turn, Dec turn, magnitude) from stars.bin's first zone."""
    stars = {}
    with open(os.path.join(folder, "stars.bin"), "rb") as f:
        data = f.read(FIRST_ZONE_BYTES)
    for n in range(len(data) // STAR_RECORD):
        rec = data[n * STAR_RECORD:(n + 1) * STAR_RECORD]
        if not any(rec):
            break
        ra, dec = struct.unpack_from("<ii", rec, 0)
        hip = struct.unpack_from("<I", rec, 29)[0] >> 15
        vm = struct.unpack_from("<I", rec, 61)[0] & 0x7FFF
        mag = None if vm == 32767 else vm * 0.01 - 1.6
        if hip and hip not in stars:
            stars[hip] = (n + 1, ra, dec, mag)
    return stars


def squeeze(text):
    return " ".join(text.split())


def normalise(name):
    name = squeeze(name)
    if " " not in name:
        m = re.search(r"\d", name)
        if m and m.start() > 0:
            name = name[:m.start()] + " " + name[m.start():]
    return name


def discoverer_names():
    """HIP -> discoverer designation ("BU 860") from extra_name.fab."""
    names = {}
    with open(os.path.join(STELLARIUM, "extra_name.fab"), encoding="utf-8") as f:
        for line in f:
            if "|" not in line:
                continue
            hip, name = line.strip().split("|", 1)
            code, _, number = name.partition("_")
            code = DISCOVERERS.get(code, code)
            if not re.match(r"\d+[A-Za-z]?$", number) or not code.isascii() or \
                    not code.isalpha() or len(code) > 4:
                continue
            text = normalise(code + " " + number)
            if len(text) <= 9 and int(hip) not in names:
                names[int(hip)] = text
    return names


ORBITS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "visual_binary_orbits.tsv")


def read_orbits():
    """WDS id -> (orbit number, elements dict) from the orbit table."""
    orbits = {}
    with open(ORBITS, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            c = line.rstrip("\n").split("\t")
            orbits[c[0]] = (len(orbits) + 1, {
                "P": float(c[2]), "T": float(c[3]), "e": float(c[4]), "a": float(c[5]),
                "i": float(c[6]), "node": float(c[7]), "omega": float(c[8]),
                "grade": int(c[9]), "mag_b": float(c[10])})
    return orbits


def orbit_position(el, t):
    """Position angle (deg) and separation (arcsec) at decimal year t (Meeus ch. 57)."""
    e = el["e"]
    m = 2 * math.pi / el["P"] * (t - el["T"])
    ecc = m
    for _ in range(60):
        ecc -= (ecc - e * math.sin(ecc) - m) / (1 - e * math.cos(ecc))
    r = el["a"] * (1 - e * math.cos(ecc))
    v = 2 * math.atan(math.sqrt((1 + e) / (1 - e)) * math.tan(ecc / 2))
    i, node, w = (math.radians(el[k]) for k in ("i", "node", "omega"))
    theta = math.atan2(math.sin(v + w) * math.cos(i), math.cos(v + w)) + node
    rho = r * math.cos(v + w) / math.cos(theta - node)
    return math.degrees(theta) % 360.0, rho


def write_orbit_files(folder, placed):
    """lp_ref.bin and lp_sup.bin, one record per orbit in table order; placed:
    orbit number -> (RA turn, Dec turn) of its system."""
    orbits = read_orbits()
    ref, sup = bytearray(), bytearray()
    for wds, (number, el) in sorted(orbits.items(), key=lambda kv: kv[1][0]):
        ref += struct.pack("<7f2fhB", el["P"], math.radians(el["i"]), el["a"], el["e"],
                           math.radians(el["omega"]), math.radians(el["node"]), el["T"],
                           0.0, 0.0, 2000, el["grade"])
        s = bytearray(68)
        struct.pack_into("<ii", s, 0, *placed.get(number, (0, 0)))
        sup += s
    write(os.path.join(folder, "lp_ref.bin"), bytes(ref))
    write(os.path.join(folder, "lp_sup.bin"), bytes(sup))
    return len(orbits)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def write_doubles(folder, stars):
    discoverers = discoverer_names()
    systems = {}
    with open(os.path.join(STELLARIUM, "wds_hip_part.dat"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cols = line.rstrip("\n").split("\t")
            hip, wds = int(cols[0]), cols[1]
            m = re.match(r"(\d{5})([+-])(\d{4})$", wds)
            if not m or hip not in stars:
                continue
            key = (int(m.group(1)), m.group(2), int(m.group(3)))
            mag = stars[hip][3]
            if key in systems:
                # Several stars of one system: the first listed is the
                # primary, unless a later one outshines it by far (alpha
                # Cen's list begins with Proxima).
                old = stars[systems[key][0]][3]
                if mag is None or (old is not None and old <= mag + PRIMARY_MARGIN):
                    continue
            # -1 marks a value the package lacks.
            year = int(cols[2]) if cols[2].strip().isdigit() else 0
            pa = float(cols[3]) if cols[3].strip() else None
            sep = float(cols[4]) if len(cols) > 4 and cols[4].strip() else None
            pa = pa if pa is not None and pa >= 0 else None
            sep = sep if sep is not None and sep >= 0 else None
            systems[key] = (hip, year, pa, sep)

    def order(key):
        first, sign, second = key
        return (first, -(second if sign == "+" else -second))

    orbits = read_orbits()
    records, components, links, placed = bytearray(), bytearray(), {}, {}
    for key in sorted(systems, key=order):
        hip, year, pa, sep = systems[key]
        number, ra, dec, mag = stars[hip]
        wds = "%05d%s%04d" % key
        orbit_number, el = orbits.get(wds, (0, None))
        mag_b = None
        if el:
            # The orbit's companion: its measure at 2000.0 and its magnitude.
            pa, sep = orbit_position(el, 2000.0)
            year, mag_b = 2000, el["mag_b"]
            placed[orbit_number] = (ra, dec)
        links.setdefault(number, len(records) // 31 + 1)
        ident = discoverers.get(hip, "").replace(" ", "")[:7].encode("ascii")
        offset = len(components)
        for letter, reference in (("A", " "), ("B", "A")):
            c = bytearray(37)
            c[0:len(ident)] = ident
            struct.pack_into("<I", c, 9, number if letter == "A" else 0)
            if letter == "B" and pa is not None:
                struct.pack_into("<H", c, 17, int(round(pa % 361 * 65535 / 361.0)))
            c[19], c[20] = ord(reference), ord(letter)
            if letter == "B" and sep is not None:
                c[21:24] = struct.pack("<I", int(round(sep * 1000)) & 0xFFFFFF)[0:3]
            mag_c = mag_b if letter == "B" else mag
            mag16 = 32767 if mag_c is None else int(round(mag_c * 100))
            struct.pack_into("<h", c, 24, mag16)
            struct.pack_into("<H", c, 28, year if 0 <= year <= 65535 else 0)
            if letter == "B" and orbit_number:
                struct.pack_into("<h", c, 31, orbit_number)
            components += c
        r = bytearray(31)
        struct.pack_into("<I", r, 0, offset | (3 << 24))
        r[4:7] = struct.pack("<I", number)[0:3]
        struct.pack_into("<ii", r, 11, ra, dec)
        r[19:22] = struct.pack("<I", 750000)[0:3]
        r[22:25] = struct.pack("<I", 750000)[0:3]
        first, sign, second = key
        struct.pack_into("<H", r, 25, first)
        struct.pack_into("<H", r, 27, second | (0x8000 if sign == "+" else 0))
        struct.pack_into("<h", r, 29, 32767 if mag is None else int(round(mag * 100)))
        records += r
    write(os.path.join(folder, "ccdm.bin"), bytes(records))
    write(os.path.join(folder, "ccdm_i.bin"), bytes(components))

    entries = sorted({(name, stars[hip][0]) for hip, name in discoverers.items() if hip in stars})
    seen, did = set(), bytearray()
    for name, number in entries:
        if name in seen:
            continue
        seen.add(name)
        r = bytearray(23)
        raw = name.replace(" ", "") if len(name) > 9 else name
        r[0:len(raw)] = raw.encode("ascii")
        struct.pack_into("<i", r, 10, number)
        did += r
    write(os.path.join(folder, "did_cross.bin"), bytes(did))
    write_orbit_files(folder, placed)
    return len(records) // 31, len(seen), links


def variable_number(name, con):
    """The catalogue's number of a GCVS name within its constellation; (n, superscript)."""
    if name[0] in GREEK:
        sup = int(name[1:]) if name[1:].isdigit() else 0
        return 9000 + GREEK.index(name[0]) + 1, sup
    if re.match(r"V\d+$", name):
        n = int(name[1:])
        return (n, 0) if 335 <= n < 9000 else (0, 0)
    if len(name) == 1 and "R" <= name <= "Z":
        return ord(name) - ord("Q"), 0
    if len(name) == 2 and name[0] in ROWS and name[1] >= name[0] and name[1] != "J":
        n = ROWS[name[0]] + ord(name[1]) - ord(name[0])
        if name[0] < "J" and name[1] > "I":
            n -= 1
        return n, 0
    return 0, 0


def variability_type(text):
    """The first type of a GCVS type text as a 4-byte type word, or None."""
    uncertain = text.endswith(":")
    code = text.split("/")[0].split("+")[0].rstrip(":")
    best = None
    for cls, codes in enumerate(TYPE_CODES):
        for sub, c in enumerate(codes):
            if code.startswith(c) and (best is None or len(c) > len(best[2])):
                best = (cls, sub, c)
    if best is None:
        return None
    cls, sub, c = best
    rest, suffixes = code[len(c):], []
    while rest and len(suffixes) < 4:
        match = None
        for i, s in enumerate(SUFFIX_CODES[cls]):
            if rest.startswith(s) and (match is None or len(s) > len(SUFFIX_CODES[cls][match])):
                match = i
        if match is None:
            break
        suffixes.append(match)
        rest = rest[len(SUFFIX_CODES[cls][match]):]
    word = 0
    for i in range(4):
        word |= (suffixes[i] if i < len(suffixes) else 15) << (4 * i)
    head = cls | (sub << 3) | (0x100 if uncertain else 0)
    return struct.pack("<HH", head, word)


def magnitude(text):
    text = text.strip().lstrip("<>(").rstrip(")")
    try:
        return float(text)
    except ValueError:
        return None


def variable_record(con, number, sup, star, cols):
    r = bytearray(74)
    number_code = (number - 9000) | 0x2000 if number >= 9000 else number
    star_number, ra, dec, _ = star
    struct.pack_into("<ii", r, 0, ra, dec)
    r[8:11] = struct.pack("<I", 750000)[0:3]
    r[11:14] = struct.pack("<I", 750000)[0:3]
    r[16] = con
    bright, faint = magnitude(cols[3]), magnitude(cols[5])
    amplitude = cols[5].strip().startswith("(")
    if amplitude and bright is not None and faint is not None:
        faint = bright + faint
    max_code = 0x3FFFF if bright is None else int(round((bright + 6) * 1000))
    min_code = 0x3FFFF if faint is None else int(round((faint + 1) * 1000))
    struct.pack_into("<I", r, 17, number_code | (max_code << 14))
    struct.pack_into("<I", r, 22, min_code << 14)
    epoch = magnitude(cols[8]) if len(cols) > 8 else None
    period = magnitude(cols[9]) if len(cols) > 9 else None
    if epoch:
        jd = epoch + 2400000.0
        struct.pack_into("<I", r, 26, int(jd) | (0xFF << 24))
        struct.pack_into("<f", r, 30, jd - int(jd))
    else:
        struct.pack_into("<I", r, 26, 0xFFFFFFFF)
    struct.pack_into("<f", r, 34, period or 0.0)
    r[38] = sup << 4
    struct.pack_into("<H", r, 43, 0xFFFF)
    struct.pack_into("<I", r, 45, star_number)
    words = [variability_type(t) for t in cols[2].split("+")[:4]]
    words = [w for w in words if w]
    for i in range(4):
        r[53 + 4 * i:57 + 4 * i] = words[i] if i < len(words) else b"\xff\xff\xff\xff"
    struct.pack_into("<H", r, 69, 0xFFFF if bright is None else int(round((bright + 8) * 1000)))
    struct.pack_into("<H", r, 71, 0xFFFF if faint is None else int(round((faint + 8) * 1000)))
    return bytes(r)


def write_variables(folder, stars):
    low, high = {}, {}
    with open(os.path.join(STELLARIUM, "gcvs_hip_part.dat"), encoding="utf-8") as f:
        for line in f:
            cols = line.rstrip("\n").split("\t")
            if len(cols) < 6 or not cols[0].strip().isdigit():
                continue
            hip = int(cols[0])
            parts = cols[1].split()
            if hip not in stars or len(parts) != 2 or parts[1] not in ABBREVIATIONS:
                continue
            con = ABBREVIATIONS.index(parts[1]) + 1
            number, sup = variable_number(parts[0], con)
            if not number:
                continue
            table = high if number >= 9000 else low
            table.setdefault(con, {}).setdefault((number, sup), variable_record(
                con, number, sup, stars[hip], cols))
    index, records = bytearray(88 * 8), bytearray()
    filler = bytearray(74)
    struct.pack_into("<I", filler, 17, 0x3FFFF << 14)
    struct.pack_into("<I", filler, 22, 0x3FFFF << 14)
    struct.pack_into("<I", filler, 26, 0xFFFFFFFF)
    struct.pack_into("<H", filler, 43, 0xFFFF)
    struct.pack_into("<IHH", filler, 53, 0xFFFFFFFF, 0xFFFF, 0xFFFF)
    struct.pack_into("<HH", filler, 69, 0xFFFF, 0xFFFF)
    count, links = 0, {}

    def star_of(rec):
        return struct.unpack_from("<I", rec, 45)[0] & 0xFFFFFF

    names = {}
    for con in range(1, 89):
        numbered = {n: rec for (n, _), rec in low.get(con, {}).items()}
        top = max(numbered) if numbered else 0
        greek_keys = sorted(high.get(con, {}))
        struct.pack_into("<IHH", index, (con - 1) * 8, len(records), top, len(greek_keys))
        listed = names.setdefault(con, [])
        for n in range(1, top + 1):
            if n in numbered:
                listed.append((n, 0, len(records) // 74 + 1))
                links.setdefault(star_of(numbered[n]), len(records) // 74 + 1)
                records += numbered[n]
                count += 1
            else:
                f = bytearray(filler)
                f[16] = con
                records += f
        for key in greek_keys:
            rec = high[con][key]
            listed.append((key[0], key[1], len(records) // 74 + 1))
            links.setdefault(star_of(rec), len(records) // 74 + 1)
            records += rec
            count += 1
    write(os.path.join(folder, "vindex_f.bin"), bytes(index))
    write(os.path.join(folder, "vref_f.bin"), bytes(records))
    name_index, name_entries = bytearray(88 * 6), bytearray()
    for con in range(1, 89):
        listed = [e for e in names.get(con, []) if e[2] <= 0xFFFF]
        struct.pack_into("<Ih", name_index, (con - 1) * 6, 88 * 6 + len(name_entries), len(listed))
        for number, sup, record in listed:
            name_entries += struct.pack("<HBH", number, sup, record)
    write(os.path.join(folder, "vnames.bin"), bytes(name_index + name_entries))
    return count, len(records) // 74, links


def link_stars(folder, ccdm_links, variable_links):
    """Writes the system and variable record numbers into stars.bin's records."""
    with open(os.path.join(folder, "stars.bin"), "r+b") as f:
        for number, record in ccdm_links.items():
            f.seek((number - 1) * STAR_RECORD + 61)
            word = struct.unpack("<I", f.read(4))[0]
            f.seek((number - 1) * STAR_RECORD + 61)
            f.write(struct.pack("<I", (word & 0x7FFF) | (record << 15)))
        for number, record in variable_links.items():
            if record <= 0xFFFF:
                f.seek((number - 1) * STAR_RECORD + 33)
                f.write(struct.pack("<H", record))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--stars", required=True, help="reference slot 1 folder holding stars.bin")
    args = ap.parse_args()
    stars = read_stars(args.stars)
    systems, names, ccdm_links = write_doubles(args.stars, stars)
    variables, records, variable_links = write_variables(args.stars, stars)
    link_stars(args.stars, ccdm_links, variable_links)
    print("%d double-star systems, %d discoverer names, %d variables in %d records" %
          (systems, names, variables, records))


if __name__ == "__main__":
    sys.exit(main())
