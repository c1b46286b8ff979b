#!/usr/bin/env python3
"""Writes the suite's star catalogue files and constellation files from public
data in Debian packages:

  kstars-data      /usr/share/kstars/stars.dat: about 126,000 Hipparcos and
                   Tycho stars (J2000 place, proper motion, parallax, V, B-V,
                   spectral class, Bayer or Flamsteed name), cnames.dat
                   (constellation label positions), namedstars.dat and
                   unnamedstars.dat (HD numbers of the stars to magnitude 8)
  stellarium-data  /usr/share/stellarium/stars/default/: name.fab (Bayer and
                   Flamsteed designations by HIP number), cross-id.dat (HIP ->
                   SAO, HD, HR); the western
                   sky culture's star_names.fab (proper names by HIP number)
  python3-astropy  constellation_data_roman87.dat: the IAU constellation
                   boundaries at B1875.0 (Roman 1987, PASP 99, 695) and
                   constellation_names.dat

Reference slot 1 (--stars): stars.bin, hc.bin, sao.bin, hd.bin, hrbs.bin,
flamstd.bin, bayer.bin, csn.bin, tycho.bin.
Reference slot 0 (--ref): connames.bin, conbound.bin, conrect.bin,
con_info.dat, csn_alp.bin.

A star of stars.dat gets its HIP number through its Bayer or Flamsteed name
(name.fab), or else through its HD number: the HD number of the star at the
same place in KStars' binary star files (namedstars.dat, unnamedstars.dat),
looked up in cross-id.dat. Stars are numbered in the order of stars.dat (by magnitude) in the
first zone of 80-byte records. A few faint stars without names go to the
compact zone (stars 1,121,816 on) as 22-byte records; the packages hold no
Tycho-2 numbers, so these sample stars carry identifiers of the reserved
sample region --sample-region (TYC2 counting from 1, TYC3 1), which tycho.bin
indexes. The records between the last first-zone star and the compact zone
are left as a hole of zeros (a sparse file on most file systems).

usage: gen_star_catalogue.py --ref DIR [--stars DIR] [--limit-mag M]
                             [--compact N] [--sample-region R]
"""
import argparse
import math
import os
import re
import struct
import sys
import unicodedata

KSTARS = "/usr/share/kstars"
STELLARIUM = "/usr/share/stellarium"
ROMAN = "/usr/lib/python3/dist-packages/astropy/coordinates/data"

ABBREVIATIONS = (
    "And Ant Aps Aqr Aql Ara Ari Aur Boo Cae Cam Cnc CVn CMa CMi Cap Car Cas Cen Cep Cet Cha "
    "Cir Col Com CrA CrB Crv Crt Cru Cyg Del Dor Dra Equ Eri For Gem Gru Her Hor Hya Hyi Ind "
    "Lac Leo LMi Lep Lib Lup Lyn Lyr Men Mic Mon Mus Nor Oct Oph Ori Pav Peg Per Phe Pic Psc "
    "PsA Pup Pyx Ret Sge Sgr Sco Scl Sct Ser Sex Tau Tel Tri TrA Tuc UMa UMi Vel Vir Vol Vul"
).split()
GENITIVES = [
    "Andromedae", "Antliae", "Apodis", "Aquarii", "Aquilae", "Arae", "Arietis", "Aurigae",
    "Bootis", "Caeli", "Camelopardalis", "Cancri", "Canum Venaticorum", "Canis Majoris",
    "Canis Minoris", "Capricorni", "Carinae", "Cassiopeiae", "Centauri", "Cephei", "Ceti",
    "Chamaeleontis", "Circini", "Columbae", "Comae Berenices", "Coronae Australis",
    "Coronae Borealis", "Corvi", "Crateris", "Crucis", "Cygni", "Delphini", "Doradus",
    "Draconis", "Equulei", "Eridani", "Fornacis", "Geminorum", "Gruis", "Herculis",
    "Horologii", "Hydrae", "Hydri", "Indi", "Lacertae", "Leonis", "Leonis Minoris",
    "Leporis", "Librae", "Lupi", "Lyncis", "Lyrae", "Mensae", "Microscopii", "Monocerotis",
    "Muscae", "Normae", "Octantis", "Ophiuchi", "Orionis", "Pavonis", "Pegasi", "Persei",
    "Phoenicis", "Pictoris", "Piscium", "Piscis Austrini", "Puppis", "Pyxidis", "Reticuli",
    "Sagittae", "Sagittarii", "Scorpii", "Sculptoris", "Scuti", "Serpentis", "Sextantis",
    "Tauri", "Telescopii", "Trianguli", "Trianguli Australis", "Tucanae", "Ursae Majoris",
    "Ursae Minoris", "Velorum", "Virginis", "Volantis", "Vulpeculae"]
GREEK_ABBREV = ("alp bet gam del eps zet eta the iot kap lam mu nu xi omi pi rho sig tau "
                "ups phi chi psi ome").split()
GREEK_UNICODE = "αβγδεζηθικλμνξοπρστυφχψω"
GREEK_NAMES = ("Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota Kappa Lambda Mu Nu Xi "
               "Omicron Pi Rho Sigma Tau Upsilon Phi Chi Psi Omega").split()
SPECTRAL_LETTERS = "OBAFGKMRNSCPI"

FIRST_COMPACT = 1121816
TURN = 2147483647.0


def turn(radians):
    return int(round(radians * TURN / (2 * math.pi)))


def index_of_con(abbrev):
    return ABBREVIATIONS.index(abbrev) if abbrev in ABBREVIATIONS else -1


# ---- sources ------------------------------------------------------------------------

def read_kstars_stars(limit_mag):
    """Rows of stars.dat: dict with ra, dec (radians), pmra, pmdec (mas/yr,
    RA as mu alpha cos delta), plx (mas), mag, bv, spt, name."""
    stars = []
    with open(os.path.join(KSTARS, "stars.dat"), encoding="latin-1") as f:
        for line in f:
            if line.startswith("#") or len(line) < 58:
                continue
            ra_t, dec_t = line[0:9], line[10:19]
            ra = (int(ra_t[0:2]) + int(ra_t[2:4]) / 60 + float(ra_t[4:9]) / 3600) * 15
            sign = -1 if dec_t[0] == "-" else 1
            dec = sign * (int(dec_t[1:3]) + int(dec_t[3:5]) / 60 + float(dec_t[5:9]) / 3600)
            mag = float(line[46:51])
            if limit_mag is not None and mag > limit_mag:
                break  # the file is sorted by magnitude
            name, proper = "", ""
            if "," in line:
                name = line.split(",")[1].rstrip("\n")[1:] if len(line.split(",")) > 1 else ""
                proper = line.split(",")[2].strip() if len(line.split(",")) > 2 else ""
            stars.append(dict(ra=math.radians(ra), dec=math.radians(dec),
                              pmra=float(line[20:29]), pmdec=float(line[29:38]),
                              plx=float(line[38:45]), mag=mag, bv=float(line[51:56]),
                              spt=line[56:58], name=name.strip(), proper=proper))
    return stars


def parse_kstars_name(name):
    """("bayer", letter 1-24, superscript, con) or ("flamsteed", number, 0, con)."""
    if len(name) < 7:
        return None
    head, sup, con = name[0:3].strip(), name[3:4].strip(), name[4:7].strip()
    c = index_of_con(con)
    if c < 0:
        return None
    if head in GREEK_ABBREV:
        return ("bayer", GREEK_ABBREV.index(head) + 1, int(sup) if sup.isdigit() else 0, c)
    number = name[0:4].strip()
    if number.isdigit():
        return ("flamsteed", int(number), 0, c)
    return None


def read_name_fab():
    """HIP -> list of designations parsed as in parse_kstars_name, the key ->
    HIP, and HIP -> the component letter its designation carries."""
    by_hip, by_key, components = {}, {}, {}
    path = os.path.join(STELLARIUM, "stars/default/name.fab")
    with open(path, encoding="utf-8") as f:
        for line in f:
            if "|" not in line or line.startswith("#"):
                continue
            hip_t, des = line.strip().split("|", 1)
            parts = des.split("_")
            # "61_Cyg_A": a designation with the component letter of a double.
            component = parts[2] if len(parts) == 3 and re.fullmatch(r"[A-Z]", parts[2]) else None
            if len(parts) == 3 and component and hip_t.strip().isdigit():
                parts = parts[:2]
                components[int(hip_t)] = component
            if len(parts) != 2 or not hip_t.strip().isdigit():
                continue
            hip = int(hip_t)
            c = index_of_con(parts[1])
            if c < 0:
                continue
            m = re.fullmatch(r"([%s])(\d?)" % GREEK_UNICODE, parts[0])
            if m:
                key = ("bayer", GREEK_UNICODE.index(m.group(1)) + 1,
                       int(m.group(2)) if m.group(2) else 0, c)
            elif parts[0].isdigit():
                key = ("flamsteed", int(parts[0]), 0, c)
            else:
                continue
            by_hip.setdefault(hip, []).append(key)
            by_key.setdefault(key, hip)
    return by_hip, by_key, components


def read_cross_ids():
    ids = {}
    with open(os.path.join(STELLARIUM, "stars/default/cross-id.dat")) as f:
        for line in f:
            if line.startswith("#"):
                continue
            p = line.rstrip("\n").split("\t")
            if len(p) < 5 or not p[0].isdigit():
                continue
            hip = int(p[0])
            if hip in ids and p[1] not in ("", "A"):
                continue  # keep the primary's numbers
            num = [int(x) if x.strip().isdigit() else 0 for x in p[2:5]]
            ids[hip] = dict(sao=num[0], hd=num[1], hr=num[2])
    return ids


def read_kstars_hd_numbers():
    """(RA hours, Dec degrees, HD) of the stars in KStars' binary star files
    (records of 32 bytes: int32 RA x 1e6 hours, Dec x 1e5 degrees, motions,
    parallax, HD; int16 magnitude, B-V; spectral class; flags), located
    through the file's trixel index."""
    out = []
    for name in ("namedstars.dat", "unnamedstars.dat"):
        with open(os.path.join(KSTARS, name), "rb") as f:
            d = f.read()
        fields = struct.unpack_from("<H", d, 127)[0]
        p = 129 + 16 * fields
        trixels = struct.unpack_from("<I", d, p)[0]
        p += 4
        for t in range(trixels):
            _, offset, count = struct.unpack_from("<III", d, p + 12 * t)
            for k in range(count):
                ra, dec, _, _, _, hd = struct.unpack_from("<iiiiii", d, offset + 32 * k)
                if hd > 0:
                    out.append((ra / 1e6, dec / 1e5, hd))
    return out


def match_hd_numbers(stars):
    """Gives each star of stars.dat the HD number of the binary-file star at
    the same place (the nearest within 3 arcseconds: the two files round
    places differently, by up to 2 arcseconds for Cor Caroli). The binary
    files hold some places at the Hipparcos epoch 1991.25, so a star is also
    looked for where its proper motion puts it then (61 Cyg A and B moved
    45 arcseconds)."""
    back = 2000.0 - 1991.25
    cells = {}
    for s in stars:
        cosd = max(math.cos(s["dec"]), 1e-6)
        places = [(s["ra"], s["dec"]),
                  (s["ra"] - math.radians(s["pmra"] / 3.6e6 * back) / cosd,
                   s["dec"] - math.radians(s["pmdec"] / 3.6e6 * back))]
        for ra, dec in places:
            key = (int(math.degrees(ra) * 100), int(math.degrees(dec) * 100))
            cells.setdefault(key, []).append((s, ra, dec))
    tol = math.radians(3.0 / 3600)
    for ra_h, dec_d, hd in read_kstars_hd_numbers():
        ra, dec = math.radians(ra_h * 15), math.radians(dec_d)
        kx, ky = int(ra_h * 1500), int(dec_d * 100)
        best, best_d = None, tol
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                for s, sra, sdec in cells.get((kx + dx, ky + dy), []):
                    dist = math.hypot((sra - ra) * math.cos(dec), sdec - dec)
                    if dist <= best_d:
                        best, best_d = s, dist
        if best is not None and "hd" not in best:
            best["hd"] = hd


def read_proper_names():
    """(HIP, name, preferred) in file order; the first name of a star is
    preferred. A name the file gives two stars stays with one: the star whose
    first name it is ("Mirzam" is beta CMa's, not also Betelgeuse's; "Alcor"
    is 80 UMa's, not also Mizar's), else the first star it is given to."""
    path = os.path.join(STELLARIUM, "skycultures/western/star_names.fab")
    names, seen = [], set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r'\s*(\d+)\|_\("([^"]+)"\)', line)
            if not m:
                continue
            hip, name = int(m.group(1)), m.group(2)
            try:
                name.encode("ascii")
            except UnicodeEncodeError:
                continue
            names.append((hip, name, hip not in seen))
            seen.add(hip)
    owner = {}
    for hip, name, preferred in names:
        if name not in owner or (preferred and not owner[name][1]):
            owner[name] = (hip, preferred)
    out, listed = [], set()
    for hip, name, preferred in names:
        if owner[name][0] == hip and (hip, name.upper()) not in listed:
            listed.add((hip, name.upper()))
            out.append((hip, name, preferred))
    return out


# ---- stars.bin ---------------------------------------------------------------------

def pm_code(mas):
    code = int(round((mas / 1000.0 + 7.5) / 0.00001))
    return min(max(code, 0), 0x1FFFFF)


def spectral_code(spt):
    letter = SPECTRAL_LETTERS.find(spt[0:1]) + 1 if spt[0:1] else 0
    if letter <= 0:
        return 0
    sub = 0
    if spt[1:2].isdigit():
        sub = (int(spt[1]) + 1) * 10
    return letter | (sub << 4)


def dm_word(sign, zone, number, suffix_code):
    code = 89 - zone if sign == "+" else (zone + 90 if sign == "-" else 180)
    return number | (code << 15) | (suffix_code << 23)


def star_record(s):
    """The 80-byte record of one star (dict with the fields below)."""
    rec = bytearray(80)
    struct.pack_into("<ii", rec, 0, turn(s["ra"]), turn(s["dec"]))
    struct.pack_into("<I", rec, 8, pm_code(s["pmra"]) | (s.get("csn", 0) << 21))
    struct.pack_into("<I", rec, 12, pm_code(s["pmdec"]))
    rec[16] = s.get("source", 0)
    struct.pack_into("<H", rec, 17, spectral_code(s["spt"]))
    plx = min(max(int(round((s["plx"] + 920.0) * 100)), 0), 0x3FFFF)
    struct.pack_into("<I", rec, 19, plx | (s.get("hr", 0) << 18))
    bv = s["bv"]
    struct.pack_into("<h", rec, 27, 32767 if bv is None else int(round(bv * 1000)))
    struct.pack_into("<I", rec, 29, s.get("hip", 0) << 15)
    ppm = s.get("ppm", 0)
    ppm_word = ppm
    if ppm > 700000:
        ppm_word = (ppm - 700000) | (1 << 20)
    struct.pack_into("<I", rec, 35, ppm_word)
    struct.pack_into("<I", rec, 39, s.get("hd", 0))
    struct.pack_into("<I", rec, 43, s.get("sao", 0))
    vm = 32767 if s["mag"] is None else int(round((s["mag"] + 1.6) * 100))
    struct.pack_into("<I", rec, 61, vm)
    code = s.get("flamsteed", 0) | (s.get("con", 0) << 8) | (s.get("greek", 0) << 15) | \
        (s.get("super", 0) << 20)
    rec[69:72] = struct.pack("<I", code)[0:3]
    rec[79] = ord(s.get("component", " "))
    return bytes(rec)


def compact_record(s, tycho):
    rec = bytearray(22)
    struct.pack_into("<ii", rec, 0, turn(s["ra"]), turn(s["dec"]))
    vm = int(round((s["mag"] + 1.6) * 100))
    struct.pack_into("<I", rec, 8, pm_code(s["pmra"]) | (min(vm, 0x7FE) << 21))
    struct.pack_into("<I", rec, 12, pm_code(s["pmdec"]))
    struct.pack_into("<h", rec, 16, int(round(s["bv"] * 1000)))
    tyc1, tyc2, tyc3 = tycho
    struct.pack_into("<I", rec, 18, tyc2 | (tyc1 << 14) | (tyc3 << 28))
    return bytes(rec)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def build_stars(limit_mag, compact_count, sample_region):
    stars = read_kstars_stars(None)
    name_by_hip, hip_by_key, component_of_hip = read_name_fab()
    cross = read_cross_ids()

    # HIP numbers: through the HD number of the star at the same place in
    # KStars' binary files first (a match by place), then by Bayer or
    # Flamsteed name for the stars still without one. The names of
    # stars.dat number some superscripts otherwise than the HIP names do
    # (Cor Caroli is "alp1 CVn" there, alpha-2 CVn by HIP), so a match by
    # name alone gave such a star its companion's numbers.
    match_hd_numbers(stars)
    hip_of_hd = {}
    for hip, ids in cross.items():
        if ids["hd"]:
            hip_of_hd.setdefault(ids["hd"], hip)
    used = set()
    for s in stars:
        hip = hip_of_hd.get(s.get("hd", 0))
        if hip and hip not in used:
            s["hip"] = hip
            used.add(hip)
    for s in stars:
        key = parse_kstars_name(s["name"]) if s["name"] else None
        hip = hip_by_key.get(key) if key else None
        if "hip" not in s and hip and hip in used and key[0] == "bayer" and s.get("hd"):
            # stars.dat numbers some pairs the other way round (Albireo A is
            # "bet2Cyg" there, beta-1 by HIP): the name's HIP is taken by a
            # star of another HD, so the star is the sibling superscript whose
            # HIP has no HD of its own to contradict it.
            own_hd = cross.get(hip, {}).get("hd")
            if own_hd and own_hd != s["hd"]:
                for sup in range(1, 10):
                    other = hip_by_key.get(("bayer", key[1], sup, key[3]))
                    if other and other not in used and not cross.get(other, {}).get("hd"):
                        hip = other
                        break
        if "hip" not in s and hip and hip not in used:
            s["hip"] = hip
            used.add(hip)

    # Compact sample: the faintest stars without HIP number or name.
    compact = []
    if compact_count > 0:
        for s in reversed(stars):
            if "hip" not in s and not s["name"]:
                compact.append(s)
                if len(compact) == compact_count:
                    break
        compact.reverse()
    compact_ids = {id(s) for s in compact}
    zone1 = [s for s in stars if id(s) not in compact_ids and
             (limit_mag is None or s["mag"] <= limit_mag)]

    for s in zone1:
        hip = s.get("hip", 0)
        if hip in component_of_hip:
            s["component"] = component_of_hip[hip]
        ids = cross.get(hip, {}) if hip else {}
        s.update({k: v for k, v in ids.items() if v and not (k == "hd" and "hd" in s)})
        keys = name_by_hip.get(hip, []) if hip else []
        if not keys and s["name"]:
            k = parse_kstars_name(s["name"])
            keys = [k] if k else []
        for kind, a, b, c in keys:
            if kind == "bayer" and "greek" not in s and s.get("con", c) == c:
                s.update(greek=a, super=b, con=c)
            elif kind == "flamsteed" and "flamsteed" not in s and a <= 255 and \
                    s.get("con", c) == c:
                s.update(flamsteed=a, con=c)
    return zone1, compact


def write_star_files(folder, zone1, compact, sample_region, names):
    os.makedirs(folder, exist_ok=True)
    number_of_hip = {}
    for n, s in enumerate(zone1, 1):
        if s.get("hip"):
            number_of_hip[s["hip"]] = n

    # Common names: csn.bin holds the preferred name of each star (record
    # numbers fit in 10 bits); csn_alp.bin lists every name alphabetically.
    csn_records, alp = [], []
    for hip, name, preferred in names:
        n = number_of_hip.get(hip)
        if not n:
            continue
        s = zone1[n - 1]
        if preferred and "csn" not in s and len(csn_records) < 1023:
            csn_records.append(name)
            s["csn"] = len(csn_records)
        alp.append((name, n, 1 if preferred else 0))
    # KStars' star list names some stars in other spellings ("Alnath" for
    # Elnath): each name it gives its own star that is not yet a name joins
    # the list, as a further name of that star.
    # (Not a name the sky culture gives a star this catalogue lacks: "Men".)
    listed = {a[0].upper() for a in alp} | {name.upper() for _, name, _ in names}
    for n, s in enumerate(zone1, 1):
        proper = s.get("proper", "")
        if proper and proper.upper() not in listed and re.fullmatch(r"[A-Za-z' .-]+", proper):
            alp.append((proper, n, 0))
            listed.add(proper.upper())

    with open(os.path.join(folder, "stars.bin"), "wb") as f:
        for s in zone1:
            f.write(star_record(s))
        if compact:
            f.seek(22 * FIRST_COMPACT + 65065248)
            for i, s in enumerate(compact):
                f.write(compact_record(s, (sample_region, i + 1, 1)))

    def index_file(name, key, width=1):
        top = max([s.get(key, 0) for s in zone1] + [0])
        data = bytearray(3 * width * top)
        for n, s in enumerate(zone1, 1):
            v = s.get(key, 0)
            if not v:
                continue
            at = 3 * width * (v - 1)
            for slot in range(width):
                if data[at + 3 * slot: at + 3 * slot + 3] == b"\0\0\0":
                    data[at + 3 * slot: at + 3 * slot + 3] = struct.pack("<I", n)[0:3]
                    break
        write(os.path.join(folder, name), data)

    index_file("hc.bin", "hip")
    index_file("sao.bin", "sao")
    index_file("hrbs.bin", "hr")
    index_file("hd.bin", "hd", width=2)

    flam = bytearray(88 * 834)
    bayer = bytearray(88 * 1296)
    for n, s in enumerate(zone1, 1):
        ref = struct.pack("<I", n)[0:3]
        if s.get("flamsteed") and s["flamsteed"] <= 139:
            at = s["con"] * 834 + (s["flamsteed"] - 1) * 6
            slot = 0 if flam[at:at + 3] == b"\0\0\0" else 3
            if slot == 0 or flam[at + 3:at + 6] == b"\0\0\0":
                flam[at + slot:at + slot + 3] = ref
        if s.get("greek") and s.get("super", 0) <= 8:
            at = s["con"] * 1296 + (s["greek"] - 1) * 54 + s.get("super", 0) * 6
            slot = 0 if bayer[at:at + 3] == b"\0\0\0" else 3
            if slot == 0 or bayer[at + 3:at + 6] == b"\0\0\0":
                bayer[at + slot:at + slot + 3] = ref
    write(os.path.join(folder, "flamstd.bin"), flam)
    write(os.path.join(folder, "bayer.bin"), bayer)

    csn = bytearray()
    for name in csn_records:
        rec = bytearray(454)
        rec[0:len(name)] = name.encode("ascii")[:452]
        rec[453] = 1
        csn += rec
    write(os.path.join(folder, "csn.bin"), csn)

    # tycho.bin: the region table and the sample region's entries, sorted by
    # TYC2 then TYC3.
    table = bytearray(9537 * 8)
    entries = bytearray()
    if compact:
        struct.pack_into("<Ii", table, (sample_region - 1) * 8, len(table), len(compact))
        for i in range(len(compact)):
            entries += struct.pack("<I", FIRST_COMPACT + i)[0:3]
            entries += struct.pack("<H", i | (0 << 14))
    write(os.path.join(folder, "tycho.bin"), table + entries)
    return alp


def write_star_name_list(folder, alp):
    os.makedirs(folder, exist_ok=True)
    data = bytearray()
    for name, n, preferred in sorted(alp, key=lambda t: (t[0].upper(), t[1])):
        data += struct.pack("<i", n) + name.encode("ascii")[:31].ljust(32, b"\0") + \
            bytes([preferred])
    write(os.path.join(folder, "csn_alp.bin"), data)


# ---- constellations ----------------------------------------------------------------

def roman_rectangles():
    """Per constellation index 0-88, rectangles (ra1, ra2, dec_lo, dec_hi) in
    hours and degrees at B1875.0. Roman's table gives each band's lower
    declination; a band owns its RA range from there up to the lowest band of
    an earlier line covering the same RA (earlier lines win)."""
    lines = []
    with open(os.path.join(ROMAN, "constellation_data_roman87.dat")) as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            lo, hi, dec, con = line.split()
            lines.append((float(lo), float(hi), float(dec), con))
    rects = [[] for _ in range(89)]
    earlier = []
    for lo, hi, dec, con in lines:
        cuts = sorted({lo, hi} | {x for e in earlier for x in (e[0], e[1]) if lo < x < hi})
        pieces = []
        for a, b in zip(cuts, cuts[1:]):
            mid = (a + b) / 2
            top = min([e[2] for e in earlier if e[0] <= mid < e[1]] + [90.0])
            if top > dec:
                if pieces and pieces[-1][1] == a and pieces[-1][3] == top:
                    pieces[-1] = (pieces[-1][0], b, dec, top)
                else:
                    pieces.append((a, b, dec, top))
        c = index_of_con(con)
        if con == "Ser":
            index = 75 if lo < 17.0 else 76
        else:
            index = c if c <= 75 else c + 1
        for p in pieces:
            if p[1] - p[0] >= 12.0:
                # A band all round the pole: three parts of 8 hours, so that
                # no stored rectangle comes near 12 hours (wider ones are
                # read as wrapping through 0h).
                step = (p[1] - p[0]) / 3
                for k in range(3):
                    rects[index].append((p[0] + k * step, p[0] + (k + 1) * step, p[2], p[3]))
            else:
                rects[index].append(p)
        earlier.append((lo, hi, dec))
    return rects


def precess_b1875_to_j2000(ra_hours, dec_degrees):
    """Mean place of B1875.0 -> J2000.0 with the IAU 1976 angles (Lieske et
    al. 1977; Meeus, Astronomical Algorithms, ch. 21), without the FK4 to
    FK5 change (about an arcsecond): good for the extents of constellations."""
    t0 = -1.2499794661190966
    t = -t0
    arcsec = math.pi / 648000
    zeta = ((2306.2181 + 1.39656 * t0 - 0.000139 * t0 * t0) * t +
            (0.30188 - 0.000344 * t0) * t * t + 0.017998 * t ** 3) * arcsec
    z = ((2306.2181 + 1.39656 * t0 - 0.000139 * t0 * t0) * t +
         (1.09468 + 0.000066 * t0) * t * t + 0.018203 * t ** 3) * arcsec
    theta = ((2004.3109 - 0.85330 * t0 - 0.000217 * t0 * t0) * t -
             (0.42665 + 0.000217 * t0) * t * t - 0.041833 * t ** 3) * arcsec
    a0, d0 = math.radians(ra_hours * 15), math.radians(dec_degrees)
    A = math.cos(d0) * math.sin(a0 + zeta)
    B = math.cos(theta) * math.cos(d0) * math.cos(a0 + zeta) - math.sin(theta) * math.sin(d0)
    C = math.sin(theta) * math.cos(d0) * math.cos(a0 + zeta) + math.cos(theta) * math.sin(d0)
    ra = (math.degrees(math.atan2(A, B) + z) / 15.0) % 24.0
    return ra, math.degrees(math.asin(max(-1.0, min(1.0, C))))


def constellation_names():
    names = {}
    with open(os.path.join(ROMAN, "constellation_names.dat")) as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            abbr, name = line.strip().split(" ", 1)
            # "Boötes" -> "Bootes": the files hold ASCII names
            names[abbr] = unicodedata.normalize("NFKD", name).encode("ascii", "ignore").decode()
    return names


def label_positions():
    pos = {}
    with open(os.path.join(KSTARS, "cnames.dat"), encoding="latin-1") as f:
        western = False
        for line in f:
            if line.startswith("C "):
                western = line.strip() == "C Western"
                continue
            if not western or len(line) < 16:
                continue
            ra = int(line[0:2]) + int(line[2:4]) / 60 + int(line[4:6]) / 3600
            sign = -1 if line[6] == "-" else 1
            dec = sign * (int(line[7:9]) + int(line[9:11]) / 60 + int(line[11:13]) / 3600)
            pos[line[13:16]] = (ra, dec)
    return pos


def index_name(i, names):
    if i == 75:
        return "Serpens Caput", "SCp"
    if i == 76:
        return "Serpens Cauda", "SCd"
    abbr = ABBREVIATIONS[i if i <= 75 else i - 1]
    return names[abbr], abbr


def write_constellation_files(folder, stars):
    os.makedirs(folder, exist_ok=True)
    rects = roman_rectangles()
    names = constellation_names()
    labels = label_positions()

    connames = bytearray()
    for i in range(89):
        name, key = index_name(i, names)
        ra, dec = labels.get(key, (0.0, 0.0))
        connames += name.encode("ascii")[:19].ljust(20, b"\0")
        connames += struct.pack("<ii", turn(math.radians(ra * 15)), turn(math.radians(dec)))
    write(os.path.join(folder, "connames.bin"), connames)

    # conrect.bin: 89 index entries, then the rectangles.
    head = bytearray()
    body = bytearray()
    base = 89 * 5
    for i in range(89):
        head += struct.pack("<IB", base + len(body), len(rects[i]))
        for ra1, ra2, lo, hi in rects[i]:
            body += struct.pack("<iiii", turn(math.radians(ra1 * 15)), turn(math.radians(ra2 * 15)),
                                turn(math.radians(lo)), turn(math.radians(hi)))
    write(os.path.join(folder, "conrect.bin"), head + body)

    # conbound.bin: the extent of each constellation in J2000 (the RA span
    # from its west to its east limit, wrapping through 0h when shorter): the
    # edges of its B1875 rectangles precessed, sampled every 1/8 of an edge.
    bounds = bytearray()
    for i in range(89):
        lo, hi = 90.0, -90.0
        covered = [False] * 1440
        polar = False
        for r in rects[i]:
            # a constellation around a pole holds that pole in any equinox
            if r[3] >= 90.0:
                polar, hi = True, 90.0
            if r[2] <= -90.0:
                polar, lo = True, -90.0
            ras = []
            for k in range(9):
                for ra_h, dec in ((r[0] + (r[1] - r[0]) * k / 8, r[2]),
                                  (r[0] + (r[1] - r[0]) * k / 8, r[3]),
                                  (r[0], r[2] + (r[3] - r[2]) * k / 8),
                                  (r[1], r[2] + (r[3] - r[2]) * k / 8)):
                    a2, d2 = precess_b1875_to_j2000(ra_h, dec)
                    lo, hi = min(lo, d2), max(hi, d2)
                    ras.append(a2)
            centre = precess_b1875_to_j2000((r[0] + r[1]) / 2, (r[2] + r[3]) / 2)[0]
            offsets = [((x - centre + 12.0) % 24.0) - 12.0 for x in ras]
            for m in range(int(math.floor((centre + min(offsets)) * 60)),
                           int(math.ceil((centre + max(offsets)) * 60))):
                covered[m % 1440] = True
        if polar or all(covered):
            west, east = 0.0, 24.0
        else:
            # the longest uncovered run marks the outside of the span
            best, best_start, run, start = 0, 0, 0, 0
            for m in range(2880):
                if not covered[m % 1440]:
                    if run == 0:
                        start = m
                    run += 1
                    if run > best:
                        best, best_start = run, start
                else:
                    run = 0
            east = (best_start % 1440) / 60.0
            west = ((best_start + best) % 1440) / 60.0
        bounds += struct.pack("<iiiiiH", 0, turn(math.radians(lo)), turn(math.radians(hi)),
                              turn(math.radians(west * 15)), turn(math.radians(east * 15)), 0)
    write(os.path.join(folder, "conbound.bin"), bounds)

    # con_info.dat: a header line, then one line per constellation index.
    brightest = {}
    for s in stars:
        if s.get("con") is not None and (s.get("greek") or s.get("flamsteed")):
            brightest.setdefault(s["con"], s)
    lines = ["Name, Abbreviation, Genitive, Description"]
    for i in range(89):
        name, _ = index_name(i, names)
        t = i if i <= 75 else i - 1
        abbr = ABBREVIATIONS[t]
        hemisphere = "northern" if sum(r[2] + r[3] for r in rects[i]) > 0 else "southern"
        text = "%s is a constellation of the %s sky." % (name, hemisphere)
        s = brightest.get(t)
        if s is not None:
            if s.get("greek"):
                des = "%s %s" % (GREEK_NAMES[s["greek"] - 1], GENITIVES[t])
            else:
                des = "%d %s" % (s["flamsteed"], GENITIVES[t])
            text += " Its brightest named star is %s, of magnitude %.2f." % (des, s["mag"])
        lines.append("%s, %s, %s, %s" % (name, abbr, GENITIVES[t], text))
    with open(os.path.join(folder, "con_info.dat"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--ref", required=True, help="reference slot 0 folder")
    ap.add_argument("--stars", help="reference slot 1 folder (default: --ref)")
    ap.add_argument("--limit-mag", type=float, help="first-zone stars up to this magnitude")
    ap.add_argument("--compact", type=int, default=16, help="compact sample stars")
    ap.add_argument("--sample-region", type=int, default=9537)
    args = ap.parse_args()
    star_folder = args.stars or args.ref
    zone1, compact = build_stars(args.limit_mag, args.compact, args.sample_region)
    names = read_proper_names()
    alp = write_star_files(star_folder, zone1, compact, args.sample_region, names)
    write_star_name_list(args.ref, alp)
    write_constellation_files(args.ref, zone1)
    print("%d stars, %d compact; %d with HIP numbers" %
          (len(zone1), len(compact), sum(1 for s in zone1 if s.get("hip"))))


if __name__ == "__main__":
    sys.exit(main())
