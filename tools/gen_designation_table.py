#!/usr/bin/env python3
"""Writes the table of designations as observers write them, each with the
object it must give, for the recognition test over the demo catalogues
(objects/tests/data/observer_designations.tsv).

The objects and their places come from the public catalogues the demo
catalogues are made from, read here on their own:
  kstars-data      stars.dat (J2000 places of the bright stars with their
                   Bayer or Flamsteed names and proper names) and the OpenNGC
                   database (Messier, NGC and IC objects, their types and
                   common names);
  stellarium-data  the deep-sky catalogue (Barnard, LDN, Sharpless, vdB, LBN,
                   Collinder, Melotte, Trumpler, ACO and Hickson objects).
Each object is written in the ways observers' logs write it: catalogue
prefixes with and without a blank, lower case, the long catalogue word,
Greek letters whole and abbreviated, genitives and abbreviations of the
constellations, proper names.

Columns (tab-separated): text, class code (5 star, 6 galaxy, 8 planetary
nebula, 9 bright nebula, 10 open cluster, 11 globular cluster, 16 galaxy
group, 17 dark nebula), right ascension and declination (J2000, degrees),
tolerance (arcseconds), the source of the place.

usage: gen_designation_table.py [OUTPUT]
"""
import math
import os
import re
import sqlite3
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import stellarium_dso  # noqa: E402

KSTARS = "/usr/share/kstars"
OPENNGC = os.path.join(KSTARS, "OpenNGC.kscat")
DEFAULT_OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "objects", "tests",
                           "data", "observer_designations.tsv")

GREEK = ["alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta", "iota", "kappa",
         "lambda", "mu", "nu", "xi", "omicron", "pi", "rho", "sigma", "tau", "upsilon", "phi",
         "chi", "psi", "omega"]
ABBREV = ["alp", "bet", "gam", "del", "eps", "zet", "eta", "the", "iot", "kap", "lam", "mu", "nu",
          "xi", "omi", "pi", "rho", "sig", "tau", "ups", "phi", "chi", "psi", "ome"]
# The IAU's three-letter forms where they are not the start of the name.
IAU = {"alp": "alf", "the": "tet", "xi": "ksi"}
GENITIVES = {
    "And": "Andromedae", "Aql": "Aquilae", "Aqr": "Aquarii", "Ari": "Arietis", "Aur": "Aurigae",
    "Boo": "Bootis", "CMa": "Canis Majoris", "CMi": "Canis Minoris", "CVn": "Canum Venaticorum",
    "Cap": "Capricorni", "Car": "Carinae", "Cas": "Cassiopeiae", "Cen": "Centauri",
    "Cep": "Cephei", "Cet": "Ceti", "Cyg": "Cygni", "Dra": "Draconis", "Eri": "Eridani",
    "Gem": "Geminorum", "Gru": "Gruis", "Her": "Herculis", "Hya": "Hydrae", "Leo": "Leonis",
    "Lep": "Leporis", "Lyr": "Lyrae", "Oph": "Ophiuchi", "Ori": "Orionis", "Peg": "Pegasi",
    "Per": "Persei", "PsA": "Piscis Austrini", "Pup": "Puppis", "Sco": "Scorpii",
    "Sgr": "Sagittarii", "Tau": "Tauri", "UMa": "Ursae Majoris", "UMi": "Ursae Minoris",
    "Vel": "Velorum", "Vir": "Virginis", "Cru": "Crucis", "Col": "Columbae", "Crv": "Corvi",
    "Pav": "Pavonis", "Phe": "Phoenicis", "Tri": "Trianguli", "CrB": "Coronae Borealis",
    "Lib": "Librae", "Ser": "Serpentis", "Psc": "Piscium", "Mon": "Monocerotis", "Cnc": "Cancri",
}
CLASS_OF_OPENNGC_TYPE = {3: 10, 4: 11, 5: 9, 7: 9, 6: 8, 8: 6}


def kstars_named_stars():
    """(ra deg, dec deg, V, Bayer/Flamsteed name, proper name) of stars.dat lines with names."""
    out = []
    for line in open(os.path.join(KSTARS, "stars.dat"), encoding="latin-1"):
        if line.startswith("#") or len(line) < 58 or "," not in line:
            continue
        parts = [p.strip() for p in line.rstrip("\n").split(",")]
        ra_t, dec_t = line[0:9], line[10:19]
        ra = (int(ra_t[0:2]) + int(ra_t[2:4]) / 60 + float(ra_t[4:9]) / 3600) * 15
        sign = -1 if dec_t[0] == "-" else 1
        dec = sign * (int(dec_t[1:3]) + int(dec_t[3:5]) / 60 + float(dec_t[5:9]) / 3600)
        out.append((ra, dec, float(line[46:51]), parts[1] if len(parts) > 1 else "",
                    parts[2] if len(parts) > 2 else ""))
    return out


def names_given_elsewhere():
    """Proper names that stellarium's western sky culture gives another star
    than KStars' list does ("Gienah" is gamma Crv in one, epsilon Cyg in the
    other): which star such a name means is a matter of the log's source,
    so the table leaves them out. Stars are told apart by HD number: KStars'
    binary star files give it by place, stellarium's cross-id.dat by HIP."""
    import gen_star_catalogue as stars_gen
    stars = stars_gen.read_kstars_stars(None)
    stars_gen.match_hd_numbers(stars)
    cross = stars_gen.read_cross_ids()
    hd_of_name = {}
    for hip, name, preferred in stars_gen.read_proper_names():
        hd = cross.get(hip, {}).get("hd", 0)
        hd_of_name.setdefault(name.upper(), set()).add(hd)
    out = set()
    for s in stars:
        if s.get("proper") and s["proper"].upper() in hd_of_name:
            if s.get("hd", 0) not in hd_of_name[s["proper"].upper()]:
                out.add(s["proper"].upper())
    return out


def star_rows():
    rows, used_names = [], set()
    stars = kstars_named_stars()
    elsewhere = names_given_elsewhere()
    constellation_words = {w.upper() for w in list(GENITIVES) + list(GENITIVES.values())}
    # Proper names of the named stars to magnitude 4, as written and in lower
    # case; not those that name another star elsewhere or a constellation.
    named = [s for s in stars if s[4] and re.fullmatch(r"[A-Za-z' ]+", s[4]) and
             s[4].upper() not in elsewhere and s[4].upper() not in constellation_words and
             # a name ending in a genitive ("Gienah Corvi") is read as a
             # designation in that constellation, not as a name
             s[4].split()[-1].upper() not in constellation_words]
    named.sort(key=lambda s: s[2])
    for k, (ra, dec, mag, bayer, proper) in enumerate(s for s in named if s[2] <= 4.0):
        text = proper if k % 3 else proper.lower()
        used_names.add(proper.upper())
        rows.append((text, 5, ra, dec, 5, "kstars stars.dat"))
    # Bayer designations in every spelling, over the first 24 letters found.
    seen_letters = {}
    for ra, dec, mag, bayer, proper in sorted(stars, key=lambda s: s[2]):
        m = re.fullmatch(r"([a-z]{2,3}) ?(\d?) ?([A-Z][A-Za-z]{2})", bayer.replace("  ", " "))
        if not m or m.group(1) not in ABBREV or m.group(3) not in GENITIVES or m.group(2):
            continue
        g = ABBREV.index(m.group(1))
        if seen_letters.get(g, 0) >= 2:
            continue
        seen_letters[g] = seen_letters.get(g, 0) + 1
        con = m.group(3)
        forms = [
            "%s %s" % (GREEK[g], con),
            "%s %s" % (GREEK[g].capitalize(), GENITIVES[con]),
            "%s %s" % (ABBREV[g], con),
            "%s %s" % (ABBREV[g].capitalize(), con),
        ]
        if ABBREV[g] == "the":
            forms = forms[:2]   # "the Sco" reads as the article and a constellation
        forms = forms[:4 if seen_letters[g] == 1 else 2]
        if ABBREV[g] in IAU:
            forms.append("%s %s" % (IAU[ABBREV[g]], con))   # the IAU's "alf Cyg"
        for f in forms:
            rows.append((f, 5, ra, dec, 5, "kstars stars.dat"))
    # Flamsteed designations.
    flam = [s for s in stars if re.fullmatch(r"\d+ ?[A-Z][A-Za-z]{2}", s[3].strip())]
    flam.sort(key=lambda s: s[2])
    for ra, dec, mag, bayer, proper in flam[:12]:
        number, con = re.fullmatch(r"(\d+) ?([A-Z][A-Za-z]{2})", bayer.strip()).groups()
        rows.append(("%s %s" % (number, con), 5, ra, dec, 5, "kstars stars.dat"))
        if con in GENITIVES:
            rows.append(("%s %s" % (number, GENITIVES[con]), 5, ra, dec, 5, "kstars stars.dat"))
    return rows


def openngc_rows():
    db = sqlite3.connect(OPENNGC)
    rows = []
    objects = []
    for typ, ra, dec, name, long_name, ident in db.execute(
            "select type, ra, dec, name, long_name, catalog_identifier from cat"):
        m = re.match(r"(NGC|IC)(\d{4})$", ident or "")
        cls = CLASS_OF_OPENNGC_TYPE.get(typ)
        if not m or cls is None:
            continue
        mm = re.match(r"M (\d+)$", name or "")
        names = [t.strip() for t in (long_name or "").split(",")
                 if t.strip() and not re.match(r"(NGC|IC|M|PGC|UGC) ", t.strip())]
        objects.append(dict(cat=m.group(1), num=int(m.group(2)), messier=int(mm.group(1)) if mm else 0,
                            cls=cls, ra=ra, dec=dec, names=names))
    objects.sort(key=lambda o: (o["cat"], o["num"]))
    messier_forms = ["M%d", "M %d", "m%d", "Messier %d", "m %d"]
    sources = stellarium_dso.read_name_sources()
    for o in [o for o in objects if o["messier"]]:
        n = o["messier"]
        for k, f in enumerate(messier_forms):
            if (n + k) % 2 == 0 or k == 0:
                rows.append((f % n, o["cls"], o["ra"], o["dec"], 60, "OpenNGC"))
        if o["names"]:
            # The name most public sources give the object, where more than
            # one source of stellarium's names file gives it: the common-name
            # file holds the names observers use most, not every alias.
            def tags(x):
                return len(sources.get((o["cat"].lower(), o["num"], x.upper()), ())) + \
                    len(sources.get(("m", n, x.upper()), ()))
            name = max(o["names"], key=lambda x: (tags(x), -o["names"].index(x)))
            if tags(name) >= 2 and re.fullmatch(r"[A-Za-z' ]+", name) and not name.lower().startswith("the "):
                rows.append((name, o["cls"], o["ra"], o["dec"], 60, "OpenNGC"))
    plain = [o for o in objects if not o["messier"]]
    ngc = [o for o in plain if o["cat"] == "NGC"]
    ic = [o for o in plain if o["cat"] == "IC"]
    ngc_forms = ["NGC %d", "NGC%d", "ngc %d", "N%d", "NGC %04d"]
    for k, o in enumerate(ngc[::max(1, len(ngc) // 60)][:60]):
        rows.append((ngc_forms[k % len(ngc_forms)] % o["num"], o["cls"], o["ra"], o["dec"], 60,
                     "OpenNGC"))
    ic_forms = ["IC %d", "IC%d", "ic %d"]
    for k, o in enumerate(ic[::max(1, len(ic) // 25)][:25]):
        rows.append((ic_forms[k % len(ic_forms)] % o["num"], o["cls"], o["ra"], o["dec"], 60,
                     "OpenNGC"))
    return rows


def stellarium_rows():
    objs = stellarium_dso.read_catalog()
    rows = []

    def place(d):
        return math.degrees(d["ra"]) % 360.0, math.degrees(d["dec"])

    def sample(field, count, test=lambda d: True):
        seen, out = set(), []
        for d in objs:
            v = d[field]
            if v and v not in seen and test(d):
                seen.add(v)
                out.append(d)
        out.sort(key=lambda d: d[field] if isinstance(d[field], int) else int(re.match(r"\d+", d[field]).group(0)))
        step = max(1, len(out) // count)
        return out[::step][:count]

    # Objects that the NGC or IC also number are written by those numbers here.
    def alone(d):
        return not d["ngc"] and not d["ic"] and not d["m"]

    for k, d in enumerate(sample("b", 20, lambda d: alone(d) and d["b"] <= 370)):
        form = ["B %d", "B%d", "Barnard %d", "b %d"][k % 4]
        rows.append((form % d["b"], 17, *place(d), 60, "stellarium catalog.dat"))
    for k, d in enumerate(sample("ldn", 10, lambda d: alone(d) and not d["b"])):
        form = ["LDN %d", "ldn %d"][k % 2]
        rows.append((form % d["ldn"], 17, *place(d), 60, "stellarium catalog.dat"))
    bright = {10, 13, 14, 15, 17, 18, 19}
    for k, d in enumerate(sample("sh2", 12, lambda d: alone(d) and d["otype"] in bright and d["sh2"] <= 312)):
        form = ["Sh 2-%d", "Sharpless %d", "sh 2-%d"][k % 3]
        rows.append((form % d["sh2"], 9, *place(d), 60, "stellarium catalog.dat"))
    for d in sample("vdb", 6, lambda d: alone(d) and d["otype"] in bright and not d["sh2"]):
        rows.append(("vdB %d" % d["vdb"], 9, *place(d), 60, "stellarium catalog.dat"))
    clusters = {5, 6, 8, 16}
    for k, d in enumerate(sample("cr", 10, lambda d: alone(d) and d["otype"] in clusters)):
        form = ["Collinder %d", "collinder %d"][k % 2]
        rows.append((form % d["cr"], 10, *place(d), 60, "stellarium catalog.dat"))
    for d in sample("mel", 5, lambda d: alone(d) and d["otype"] in clusters and not d["cr"]):
        rows.append(("Melotte %d" % d["mel"], 10, *place(d), 60, "stellarium catalog.dat"))
    for d in sample("tr", 5, lambda d: alone(d) and d["otype"] in clusters and not d["cr"] and not d["mel"]):
        rows.append(("Trumpler %d" % d["tr"], 10, *place(d), 60, "stellarium catalog.dat"))
    for k, d in enumerate(sample("aco", 8, lambda d: d["aco"].isdigit() and d["otype"] == 33)):
        form = ["ACO %s", "aco %s"][k % 2]
        rows.append((form % d["aco"], 16, *place(d), 60, "stellarium catalog.dat"))
    return rows


# Names of galaxy groups that no ACO or Hickson number holds.
GROUP_NAMES = ["Leo Triplet", "Markarian's Chain"]


def named_object_rows():
    """Texts where a reading of the cascade once gave the wrong object: a
    star's Bayer form that OpenNGC also gives a nebula ("gam Cyg" is IC
    1318's name there), star names that are also minor planets' (Merope,
    Asterope, Albireo), Flamsteed numbers in Capricornus, named galaxy
    groups (the group at the mean place of the galaxies the names file
    gives the name, not a member) and the cluster of a cluster-and-nebula
    complex (the Christmas Tree Cluster is NGC 2264's cluster)."""
    rows = []
    stars = kstars_named_stars()
    by_bayer = {s[3].replace(" ", ""): s for s in stars if s[3]}
    by_proper = {s[4].upper(): s for s in stars if s[4]}
    # stars.dat calls Albireo beta-2; the HIP names call it beta-1.
    for text, key in (("gam Cyg", "gamCyg"), ("gamma Cygni", "gamCyg"), ("alf Cyg", "alpCyg"),
                      ("alpha Cygni", "alpCyg"), ("bet Cyg", "bet2Cyg"), ("alf Tau", "alpTau")):
        s = by_bayer.get(key)
        if s:
            rows.append((text, 5, s[0], s[1], 5, "kstars stars.dat"))
    for name in ("Merope", "Asterope", "Albireo", "Electra", "Maia", "Sadr"):
        s = by_proper.get(name.upper())
        if s:
            rows.append((name, 5, s[0], s[1], 5, "kstars stars.dat"))
    cap = sorted((s for s in stars if re.fullmatch(r"\d+ *Cap", s[3].strip())), key=lambda s: s[2])
    for s in cap[:4]:
        number = re.match(r"\d+", s[3].strip()).group(0)
        rows.append(("%s Cap" % number, 5, s[0], s[1], 5, "kstars stars.dat"))
    objs = stellarium_dso.read_catalog()
    names = stellarium_dso.read_names()
    for group in GROUP_NAMES:
        members = [d for d in objs if group in stellarium_dso.names_of(d, names)]
        if len(members) >= 2:
            x = sum(math.cos(d["dec"]) * math.cos(d["ra"]) for d in members)
            y = sum(math.cos(d["dec"]) * math.sin(d["ra"]) for d in members)
            z = sum(math.sin(d["dec"]) for d in members)
            rows.append((group, 16, math.degrees(math.atan2(y, x)) % 360.0,
                         math.degrees(math.atan2(z, math.hypot(x, y))), 60, "stellarium names.dat"))
    for d in objs:
        if d["ngc"] == 2264 and d["cr"]:
            rows.append(("Christmas Tree Cluster", 10, math.degrees(d["ra"]) % 360.0,
                         math.degrees(d["dec"]), 60, "stellarium catalog.dat"))
    db = sqlite3.connect(OPENNGC)
    for text, ident, cls in (("Omega Centauri", "NGC5139", 11), ("Carina Nebula", "NGC3372", 9),
                             ("47 Tuc", "NGC0104", 11)):
        for ra, dec in db.execute("select ra, dec from cat where catalog_identifier = ?", (ident,)):
            rows.append((text, cls, ra, dec, 60, "OpenNGC"))
    return rows


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_OUT
    rows = named_object_rows() + star_rows() + openngc_rows() + stellarium_rows()
    seen, unique = set(), []
    for r in rows:
        if r[0].upper() not in seen:
            seen.add(r[0].upper())
            unique.append(r)
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with open(out, "w", encoding="ascii") as f:
        f.write("# Designations as observers write them and the object each must give;\n"
                "# written by tools/gen_designation_table.py from kstars-data and stellarium-data.\n"
                "# text\tclass\tra_deg\tdec_deg\ttolerance_arcsec\tsource\n")
        for text, cls, ra, dec, tol, src in unique:
            f.write("%s\t%d\t%.6f\t%.6f\t%d\t%s\n" % (text, cls, ra, dec, tol, src))
    print("%d designations written to %s" % (len(unique), out))


if __name__ == "__main__":
    main()
