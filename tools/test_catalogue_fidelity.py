#!/usr/bin/env python3
"""Checks that the generated demo catalogues are faithful to their public
sources: the generators are run into a scratch folder, every catalogue file
is read with the byte offsets of its format (not with the generators' own
code), and for a sample of at least a hundred records of each catalogue (all
records where there are fewer) the designations, the common name and the
place are compared with the source files: OpenNGC and stars.dat of
kstars-data, the deep-sky catalogue, star names and cross identifications of
stellarium-data. No record that carries a designation lies at RA 0, Dec 0.

usage: test_catalogue_fidelity.py [--junit FILE]
Exit status 0 when every check passes; the failures are listed.
"""
import math
import os
import re
import sqlite3
import struct
import subprocess
import sys
import tempfile

TOOLS = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS)
import stellarium_dso  # noqa: E402

OPENNGC = "/usr/share/kstars/OpenNGC.kscat"
STARS_DAT = "/usr/share/kstars/stars.dat"
STAR_NAMES = "/usr/share/stellarium/skycultures/western/star_names.fab"
CROSS_ID = "/usr/share/stellarium/stars/default/cross-id.dat"
TURN = 2147483647
SAMPLE = 100

failures = []
counts = {}
fidelity_counts = {}   # figures of what the catalogues hold, printed at the end


def check(ok, catalogue, what):
    counts[catalogue] = counts.get(catalogue, 0) + 1
    if not ok:
        failures.append("%s: %s" % (catalogue, what))


def sample(items, n=SAMPLE):
    items = list(items)
    if len(items) <= n:
        return items
    step = len(items) / float(n)
    return [items[int(i * step)] for i in range(n)]


def from_turns(v):
    return math.degrees(v * 2 * math.pi / TURN)


def sep_arcsec(ra1, dec1, ra2, dec2):
    a1, d1, a2, d2 = map(math.radians, (ra1, dec1, ra2, dec2))
    c = math.sin(d1) * math.sin(d2) + math.cos(d1) * math.cos(d2) * math.cos(a1 - a2)
    return math.degrees(math.acos(max(-1.0, min(1.0, c)))) * 3600


def records(path, size, start=0):
    data = open(path, "rb").read()[start:]
    return [data[i:i + size] for i in range(0, len(data) - size + 1, size)]


def openngc(stel):
    """(cat, number, suffix) -> (ra, dec, names, name); a few objects OpenNGC
    gives no place (RA 0, Dec 0) have stellarium's place."""
    places = {}
    for d in stel:
        for f, word in (("ngc", "NGC"), ("ic", "IC")):
            if d[f]:
                places.setdefault((word, d[f], ""), (math.degrees(d["ra"]) % 360, math.degrees(d["dec"])))
    out = {}
    db = sqlite3.connect(OPENNGC)
    for ra, dec, name, long_name, ident in db.execute(
            "select ra, dec, name, long_name, catalog_identifier from cat"):
        m = re.match(r"(NGC|IC)(\d{4})([A-Z]?)$", ident or "")
        if m and ra == 0 and dec == 0:
            ra, dec = places.get((m.group(1), int(m.group(2)), m.group(3)), (0.0, 0.0))
        if m:
            names = [t.strip() for t in (long_name or "").split(",") if t.strip()]
            out[(m.group(1), int(m.group(2)), m.group(3))] = (ra, dec, names, name or "")
    return out


def main():
    junit = sys.argv[sys.argv.index("--junit") + 1] if "--junit" in sys.argv else None
    with tempfile.TemporaryDirectory() as tmp:
        ref, cat = os.path.join(tmp, "ref"), os.path.join(tmp, "cat")
        for script, args in (("gen_deepsky.py", ["--ref", ref, "--cat", cat]),
                             ("gen_star_catalogue.py", ["--ref", ref, "--stars", cat])):
            subprocess.check_call([sys.executable, os.path.join(TOOLS, script)] + args,
                                  stdout=subprocess.DEVNULL)
        run_checks(ref, cat)
        check_comets(tmp)
    total = sum(counts.values())
    for f in failures[:200]:
        print("FAIL", f)
    print("catalogue fidelity: %d checks over %d catalogues, %d failed" %
          (total, len(counts), len(failures)))
    for c in sorted(counts):
        print("  %-22s %6d checks" % (c, counts[c]))
    for c in sorted(fidelity_counts):
        print("  %s: %d" % (c, fidelity_counts[c]))
    if junit:
        with open(junit, "w") as f:
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n<testsuites><testsuite name="catalogue_fidelity" '
                    'tests="%d" failures="%d">\n' % (len(counts), sum(1 for c in counts if any(
                        x.startswith(c + ":") for x in failures))))
            for c in sorted(counts):
                bad = [x for x in failures if x.startswith(c + ":")]
                f.write('<testcase classname="catalogue_fidelity" name="%s">' % c)
                if bad:
                    f.write('<failure message="%d failed">%s</failure>' % (
                        len(bad), "\n".join(bad[:20]).replace("&", "&amp;").replace("<", "&lt;")))
                f.write("</testcase>\n")
            f.write("</testsuite></testsuites>\n")
    return 1 if failures else 0


def check_comets(tmp):
    """The packaged comets (comets.bin, 135-byte records: int16 number at 0,
    29-byte name at 3, 17-byte designation at 32) hold every numbered comet
    of comets.dat and the unnumbered comets that get brightest there."""
    import json
    import gen_minor_bodies
    out = os.path.join(tmp, "ss")
    os.makedirs(out, exist_ok=True)
    gen_minor_bodies.write_comets(out, gen_minor_bodies.comets("/usr/share/kstars"))
    held_numbers, held_designations = set(), set()
    for r in records(os.path.join(out, "comets.bin"), 135):
        number = struct.unpack_from("<H", r, 0)[0]
        if number:
            held_numbers.add(number)
        held_designations.add(r[32:49].split(b"\0")[0].decode("latin-1").strip())
    source = json.load(open("/usr/share/kstars/comets.dat"))
    rows = [dict(zip(source["fields"], row)) for row in source["data"]]
    numbered, bright = set(), []
    for row in rows:
        m = re.match(r"\s*(\d+)[PDI]/", row["full_name"])
        if m:
            numbered.add(int(m.group(1)))
            continue
        m = re.match(r"\s*[CPDXA]/(\d{4} [A-Z]+\d*(?:-[A-Z]+)?)", row["full_name"])
        try:
            peak = float(row["M1"]) + 10 * math.log10(float(row["q"]))
        except (TypeError, ValueError):
            continue
        if m:
            bright.append((peak, m.group(1)))
    for n in sorted(numbered):
        check(n in held_numbers, "comets", "numbered comet %d is not held" % n)
    bright.sort()
    for peak, designation in bright[:50]:
        check(designation in held_designations, "comets",
              "%s (magnitude %.1f at perihelion) is not held" % (designation, peak))
    fidelity_counts["comets held"] = len(held_designations | {str(n) for n in held_numbers})
    fidelity_counts["numbered comets held"] = len(held_numbers & numbered)


def run_checks(ref, cat):
    stel = stellarium_dso.read_catalog()
    ngc = openngc(stel)
    stel_names = stellarium_dso.read_names()
    by = {}
    for d in stel:
        for f in ("b", "ldn", "sh2", "vdb", "rcw", "lbn", "cr", "mel", "tr", "st", "ru", "vdbha",
                  "aco", "ugc", "eso", "ngc", "ic", "m", "c", "ced"):
            if d[f]:
                by.setdefault((f, d[f] if not (isinstance(d[f], str) and d[f].isdigit()) else int(d[f])), []).append(d)
    cnames = [r.split(b"\0")[0].decode("latin-1") for r in records(os.path.join(cat, "cnames.bin"), 32)]

    def names_of_source(keys):
        out = set()
        for key in keys:
            if key[0] in ("NGC", "IC") and (key[0], key[1], "") in ngc:
                out.update(n.upper() for n in ngc[(key[0], key[1], "")][2])
            field = {"NGC": "ngc", "IC": "ic", "M": "m"}.get(key[0], key[0])
            for d in by.get((field, key[1]), []):
                out.update(n.upper() for n in stellarium_dso.names_of(d, stel_names))
            out.update(n.upper() for n in stel_names.get((field, key[1]), []))
        return out

    def check_name(catalogue, number, keys, label):
        if number in (255, None) or number >= len(cnames):
            return
        check(cnames[number].upper() in names_of_source(keys), catalogue,
              "%s is named %r, a name the sources do not give it" % (label, cnames[number]))

    def stel_place(field, value):
        ds = by.get((field, value))
        return (math.degrees(ds[0]["ra"]) % 360, math.degrees(ds[0]["dec"])) if ds else None

    def check_place(catalogue, label, ra, dec, source, tol):
        if source is None:
            check(False, catalogue, "%s has no object in the source" % label)
            return
        s = sep_arcsec(ra, dec, source[0], source[1])
        check(s <= tol, catalogue, '%s lies %.1f" from its source place' % (label, s))

    def check_not_origin(catalogue, label, ra_raw, dec_raw, designated):
        if designated:
            check(not (ra_raw == 0 and dec_raw == 0), catalogue, "%s lies at RA 0, Dec 0" % label)

    # Galaxies (gal.bin, 48 bytes): NGC at 11 (low 13 bits, suffix above), IC
    # at 13, Messier at 17, name number at 21, RA and Dec at 22 and 26.
    gals = records(os.path.join(cat, "gal.bin"), 48)
    for i, r in enumerate(gals):
        n, ic = struct.unpack_from("<HH", r, 11)
        ra, dec = struct.unpack_from("<ii", r, 22)
        check_not_origin("galaxies", "galaxy %d" % (i + 1), ra, dec, n or ic or r[17])
    for i, r in sample(enumerate(gals)):
        n, ic = struct.unpack_from("<HH", r, 11)
        ra, dec = struct.unpack_from("<ii", r, 22)
        num, suffix = (n & 0x1FFF, n >> 13) if n else (ic & 0x1FFF, ic >> 13)
        key = ("NGC" if n else "IC", num, chr(64 + suffix) if suffix else "")
        label = "%s %d%s" % key
        src = ngc.get(key)
        check_place("galaxies", label, from_turns(ra), from_turns(dec), src and src[:2], 0.5)
        if src and src[3].startswith("M "):
            check(r[17] == int(src[3][2:]), "galaxies", "%s has Messier %d, the source M %s" % (label, r[17], src[3][2:]))
        check_name("galaxies", r[21], [key[:2]], label)

    # Open clusters (oc.bin, 57 bytes): catalogue codes 0-4, numbers at 5,
    # name number at 15, RA and Dec (float32 radians) at 16 and 20.
    rows_field = {14: "cr", 34: "mel", 48: "tr", 45: "st", 42: "ru", 53: "vdbha"}
    ocs = records(os.path.join(ref, "oc.bin"), 57)
    for i, r in enumerate(ocs):
        codes, nums = r[0:5], struct.unpack_from("<5H", r, 5)
        ra, dec = struct.unpack_from("<ff", r, 16)
        check_not_origin("open clusters", "cluster %d" % i, ra, dec, any(nums))
    for i, r in sample(enumerate(ocs)):
        codes, nums = r[0:5], struct.unpack_from("<5H", r, 5)
        ra, dec = (math.degrees(v) % 360 if k == 0 else math.degrees(v)
                   for k, v in enumerate(struct.unpack_from("<ff", r, 16)))
        keys = []
        for c, n in zip(codes, nums):
            if n and c in (1, 2):
                keys.append(("NGC" if c == 1 else "IC", n))
            elif n and c in rows_field:
                keys.append((rows_field[c], n))
            elif n and c == 0:
                keys.append(("M", n))
        label = "open cluster %d %s" % (i, keys)
        src = None
        for k in keys:
            if k[0] in ("NGC", "IC"):
                src = ngc.get((k[0], k[1], ""))
                src = src and src[:2]
            elif k[0] != "M":
                src = stel_place(*k)
            elif k[1] == 45:
                src = stel_place("mel", 22)
            if src:
                break
        # float32 radians hold about 0.05"; the source's own rounding is finer
        check_place("open clusters", label, ra, dec, src, 1.0)
        check_name("open clusters", r[15], keys, label)

    # Globular clusters (glob.bin, 43 bytes): NGC 0, IC 2, Messier 4, name 5,
    # Palomar 6, Terzan 8, RA 10, Dec 14.
    import gen_deepsky
    cross_ids = {(pal, ter): key for key, pal, ter, _ in gen_deepsky.PALOMAR_TERZAN}
    globs = records(os.path.join(ref, "glob.bin"), 43)
    for i, r in enumerate(globs):
        n, ic, m, name, pal, ter, ra, dec = struct.unpack_from("<HHBBHHii", r, 0)
        check_not_origin("globular clusters", "globular %d" % (i + 1), ra, dec, n or ic or pal or ter)
        if n or ic:
            src = ngc.get(("NGC" if n else "IC", n or ic, ""))
            src = src and src[:2]
            keys = [("NGC" if n else "IC", n or ic)]
        else:
            key = cross_ids.get((pal, ter))
            src = stel_place(*key) if key else None
            keys = [key] if key else []
        label = "globular %s" % (("NGC %d" % n) if n else ("IC %d" % ic) if ic else
                                  ("Palomar %d" % pal) if pal else ("Terzan %d" % ter))
        check_place("globular clusters", label, from_turns(ra), from_turns(dec), src, 0.5)
        check_name("globular clusters", name, keys, label)

    # Bright nebulae (neb.bin, 47 bytes): name 9, Messier 10, NGC 11, IC 15,
    # vdB 19, RCW 21, Sh 2 22, LBN 24, other designation 29.
    nebs = records(os.path.join(ref, "neb.bin"), 47)
    for i, r in enumerate(nebs):
        ra, dec = struct.unpack_from("<ii", r, 0)
        n, ic, sh, lbn = (struct.unpack_from("<H", r, o)[0] for o in (11, 15, 22, 24))
        check_not_origin("bright nebulae", "nebula %d" % i, ra, dec, n or ic or sh or lbn or r[19] or r[21])
    for i, r in sample(enumerate(nebs)):
        ra, dec = struct.unpack_from("<ii", r, 0)
        n, ic, sh, lbn = (struct.unpack_from("<H", r, o)[0] for o in (11, 15, 22, 24))
        keys = ([("NGC", n)] if n else []) + ([("IC", ic)] if ic else []) + \
            ([("sh2", sh)] if sh else []) + ([("vdb", r[19])] if r[19] else []) + \
            ([("rcw", r[21])] if r[21] else []) + ([("lbn", lbn)] if lbn else [])
        other = r[29:44].split(b"\0")[0].decode("latin-1")
        if other.startswith("Ced "):
            keys.append(("ced", int(other[4:]) if other[4:].isdigit() else other[4:]))
        label = "nebula %d %s" % (i, keys)
        src = None
        if keys and keys[0][0] in ("NGC", "IC"):
            src = ngc.get((keys[0][0], keys[0][1], ""))
            src = src and src[:2]
        elif keys:
            src = stel_place(*keys[0])
        check_place("bright nebulae", label, from_turns(ra), from_turns(dec), src, 0.5)
        check_name("bright nebulae", r[9], keys, label)

    # Planetary nebulae (pln.bin, 73 bytes): PN G longitude and latitude
    # (tenths) at 0 and 2, RA 4, Dec 8, NGC 34, IC 36, Messier 38.
    for i, r in enumerate(records(os.path.join(ref, "pln.bin"), 73)):
        glon, glat, ra, dec = struct.unpack_from("<hhii", r, 0)
        n, ic = struct.unpack_from("<HH", r, 34)
        check_not_origin("planetary nebulae", "planetary %d" % i, ra, dec, n or ic)
        key = ("NGC" if n else "IC", n or ic, "")
        label = "planetary %s %d" % key[:2]
        src = ngc.get(key)
        check_place("planetary nebulae", label, from_turns(ra), from_turns(dec), src and src[:2], 0.5)
        ds = by.get((key[0].lower(), key[1]), [])
        if glon or glat:
            png = ds[0]["png"] if ds else ""
            check(png == "%05.1f%+05.1f" % (glon / 10.0, glat / 10.0), "planetary nebulae",
                  "%s has PN G %d %+d, the source %r" % (label, glon, glat, png))

    # Dark nebulae (dn.bin, 25 bytes): RA 0, Dec 4, class 8, name 11, LDN 12,
    # Barnard 14 (low 15 bits).
    darks = records(os.path.join(ref, "dn.bin"), 25)
    designated = []
    for i, r in enumerate(darks):
        ra, dec = struct.unpack_from("<ii", r, 0)
        ldn, b = struct.unpack_from("<HH", r, 12)
        check_not_origin("dark nebulae", "dark cloud %d" % i, ra, dec, ldn or b or r[8] < 9)
        if ldn or b:
            designated.append((i, r))
    for i, r in sample(designated):
        ra, dec = struct.unpack_from("<ii", r, 0)
        ldn, b = struct.unpack_from("<HH", r, 12)
        b &= 0x7FFF
        key = ("b", b) if b else ("ldn", ldn)
        label = "%s %d" % ("B" if b else "LDN", key[1])
        check_place("dark nebulae", label, from_turns(ra), from_turns(dec), stel_place(*key), 0.5)
        check_name("dark nebulae", r[11], [("b", b), ("ldn", ldn), ("c", 99)], label)

    # Galaxy groups (gg.bin, a 4-byte header, 27-byte records from group 1):
    # RA 0, Dec 4, ACO 8, Hickson 10, name 11. An empty slot of the numbering
    # holds no numbers and no place.
    groups = records(os.path.join(ref, "gg.bin"), 27, 4)
    aco_records = []
    for i, r in enumerate(groups[:4176]):
        ra, dec, aco, hcg = struct.unpack_from("<iiHB", r, 0)
        check_not_origin("galaxy groups", "group %d" % (i + 1), ra, dec, aco or hcg)
        if not aco and not hcg:
            check(ra == 0 and dec == 0, "galaxy groups", "empty slot %d has a place" % (i + 1))
        check(aco == 0 or aco == i + 1, "galaxy groups", "group %d holds ACO %d" % (i + 1, aco))
        check(hcg == 0 or hcg == i + 1 - 4076, "galaxy groups", "group %d holds HCG %d" % (i + 1, hcg))
        if aco:
            aco_records.append((aco, r))
    for aco, r in sample(aco_records):
        ra, dec = struct.unpack_from("<ii", r, 0)
        check_place("galaxy groups", "ACO %d" % aco, from_turns(ra), from_turns(dec),
                    stel_place("aco", aco), 0.5)
        check_name("galaxy groups", r[11], [("aco", aco)], "ACO %d" % aco)

    # Named groups (after the Hickson groups): a name the names file gives
    # two galaxies or more, at a place within the group's size of each of
    # them; no galaxy record carries the name.
    galaxy_types = {0, 1, 2, 3}
    named = 0
    for i, r in enumerate(groups[4176:], 4177):
        ra, dec, aco, hcg, name = struct.unpack_from("<iiHBB", r, 0)
        size = struct.unpack_from("<H", r, 18)[0] / 10.0
        label = "named group %d" % i
        check(aco == 0 and hcg == 0 and name != 255, "named groups", "%s has numbers or no name" % label)
        if name == 255 or name >= len(cnames):
            continue
        named += 1
        members = [d for d in stel if d["otype"] in galaxy_types and cnames[name].upper() in
                   {n.upper() for n in stellarium_dso.names_of(d, stel_names)}]
        near = [d for d in members if sep_arcsec(from_turns(ra), from_turns(dec), math.degrees(d["ra"]) % 360,
                                                 math.degrees(d["dec"])) <= size * 30 + 1]
        check(len(near) >= 2, "named groups", "%s (%s) has %d of its %d galaxies within its size" %
              (label, cnames[name], len(near), len(members)))
    for i, r in enumerate(gals):
        if r[21] < len(cnames) and r[21] != 255:
            check(r[21] not in {struct.unpack_from("<B", g, 11)[0] for g in groups[4176:]}, "named groups",
                  "galaxy %d carries a group's name" % (i + 1))
    check(named >= 2, "named groups", "only %d named groups" % named)
    fidelity_counts["named groups"] = named

    # The common-name file: exactly 228 entries, each name once, none a
    # star's Bayer designation, each given by a public source; those more
    # than one source gives are counted.
    check(len(cnames) == 228, "common names", "%d entries" % len(cnames))
    check(len({n.upper() for n in cnames}) == len(cnames), "common names", "a name is listed twice")
    sources = stellarium_dso.read_name_sources()
    given = {}
    for (field, value, n), tags in sources.items():
        given.setdefault(n, set()).update(tags)
    for n in ngc.values():
        for x in n[2]:
            given.setdefault(x.upper(), set()).add("OpenNGC")
    bayer = re.compile(r"(alf|alp|bet|gam|del|eps|zet|eta|the|tet|iot|kap|lam|mu|nu|xi|ksi|omi|pi|rho|"
                       r"sig|tau|ups|phi|chi|psi|ome)\d? ?[A-Z][A-Za-z]{2}$")
    for n in cnames:
        check(not bayer.match(n), "common names", "%r is a star's designation" % n)
        check(n.upper() in given, "common names", "%r is given by no source" % n)
    fidelity_counts["common names"] = len(cnames)
    fidelity_counts["common names more than one source gives"] = sum(
        1 for n in cnames if len(given.get(n.upper(), ())) >= 2)

    # The deep-sky places of the two sources side by side: an NGC or IC
    # object both hold agrees when they lie within its size (1' at least).
    agree = disagree = 0
    for d in stel:
        for word, field in (("NGC", "ngc"), ("IC", "ic")):
            src = ngc.get((word, d[field], "")) if d[field] else None
            if src and (src[0] or src[1]):
                size = max(d["major"] * 60, 1.0)
                s = sep_arcsec(src[0], src[1], math.degrees(d["ra"]) % 360, math.degrees(d["dec"]))
                agree, disagree = (agree + 1, disagree) if s <= size * 60 else (agree, disagree + 1)
    fidelity_counts["deep-sky places the two sources agree on"] = agree
    fidelity_counts["deep-sky places the two sources disagree on"] = disagree

    # Stars (stars.bin, 80-byte records from star 1 in the order of stars.dat):
    # RA 0, Dec 4, HR from bit 18 at 19, HIP from bit 15 at 29, HD 39, SAO 43.
    kstars = []
    for line in open(STARS_DAT, encoding="latin-1"):
        if line.startswith("#") or len(line) < 58:
            continue
        ra_t, dec_t = line[0:9], line[10:19]
        ra = (int(ra_t[0:2]) + int(ra_t[2:4]) / 60 + float(ra_t[4:9]) / 3600) * 15
        dec = (-1 if dec_t[0] == "-" else 1) * (int(dec_t[1:3]) + int(dec_t[3:5]) / 60 +
                                                  float(dec_t[5:9]) / 3600)
        kstars.append((ra, dec))
    cross = {}
    for line in open(CROSS_ID):
        p = line.rstrip("\n").split("\t")
        if len(p) >= 5 and p[0].isdigit() and (int(p[0]) not in cross or p[1] in ("", "A")):
            cross[int(p[0])] = [int(x) if x.strip().isdigit() else 0 for x in p[2:5]]
    stars = records(os.path.join(cat, "stars.bin"), 80)
    zone1 = [r for r in stars if r != bytes(80)]
    hip_of_star = {}
    for n, r in enumerate(zone1[:len(kstars)], 1):
        hip_of_star[n] = struct.unpack_from("<I", r, 29)[0] >> 15
    for n, r in sample(list(enumerate(zone1, 1))[:len(kstars) - 16]):
        ra, dec = struct.unpack_from("<ii", r, 0)
        label = "star %d" % n
        check_place("stars", label, from_turns(ra), from_turns(dec), kstars[n - 1], 0.1)
        hip = hip_of_star[n]
        hr = struct.unpack_from("<I", r, 19)[0] >> 18
        hd, sao = struct.unpack_from("<II", r, 39)
        if hip and hip in cross:
            want_sao, want_hd, want_hr = cross[hip]
            check(not want_hr or hr == want_hr, "stars", "%s (HIP %d) has HR %d, the source %d" % (label, hip, hr, want_hr))
            check(not want_sao or sao == want_sao, "stars", "%s (HIP %d) has SAO %d, the source %d" % (label, hip, sao, want_sao))
    # Star names (csn_alp.bin, 37-byte entries: star, name): a name the
    # western sky culture gives is on the star of its HIP number.
    owner = {}
    for line in open(STAR_NAMES, encoding="utf-8"):
        m = re.match(r'\s*(\d+)\|_\("([^"]+)"\)', line)
        if m:
            owner.setdefault(m.group(2).upper(), set()).add(int(m.group(1)))
    entries = records(os.path.join(ref, "csn_alp.bin"), 37)
    named = [(struct.unpack_from("<i", e, 0)[0], e[4:36].split(b"\0")[0].decode("ascii")) for e in entries]
    check(len(named) == len({n.upper() for _, n in named}), "star names",
          "a name is on two stars")
    for star, name in sample([x for x in named if x[1].upper() in owner], 150):
        check(hip_of_star.get(star) in owner[name.upper()], "star names",
              "%r is on star %d (HIP %s), the source gives it to HIP %s" %
              (name, star, hip_of_star.get(star), sorted(owner[name.upper()])))


if __name__ == "__main__":
    sys.exit(main())
