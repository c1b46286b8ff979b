#!/usr/bin/env python3
"""Checks the generated chart outline files against their public sources:
gen_chart_outlines.py is run into a scratch folder and every file is read
with the byte offsets of its layout (not with the generator's code):

  conbound.bin  every point of every constellation polygon of cbounds.dat is
                present, in order, in place (to the turn-fraction rounding),
                the first of each constellation marked as a jump, and every
                point lies in its constellation's header box
  conlines.bin  every draw of clines.dat (western figures) whose two stars
                stars.dat places by HD number is present in place, and no
                other segment
  milkyway.bin  the outlines hold every point of milkyway.dat in order (to
                the 16-bit rounding), at most 15 outlines
  visneb.bin    each record's outline is the source outline of its name, in
                place, closed by its first point; records end where the
                first outline begins

usage: test_chart_outlines.py [--junit FILE]
"""
import math
import os
import struct
import subprocess
import sys
import tempfile

TOOLS = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS)
from junitreport import write_junit  # noqa: E402

KSTARS = "/usr/share/kstars"
OUTLINES = "/usr/share/stellarium/nebulae/default/outlines.dat"
TURN = 2 * math.pi / 2147483647
TURN_TOLERANCE = 2 * TURN
MW_RA = 2 * math.pi / 65535
MW_DEC = math.pi / 32767


def sep(a1, d1, a2, d2):
    """Haversine separation: exact at the nanoradians of the turn rounding."""
    h = math.sin((d2 - d1) / 2) ** 2 + math.cos(d1) * math.cos(d2) * math.sin((a2 - a1) / 2) ** 2
    return 2 * math.asin(min(1.0, math.sqrt(h)))


def source_boundaries():
    """Polygons in file order (name, [(ra, dec)])."""
    out = []
    with open(os.path.join(KSTARS, "cbounds.dat"), encoding="latin-1") as f:
        for line in f:
            if line.startswith(":"):
                out.append((line[1:].strip(), []))
                continue
            v = line.split()
            if out and len(v) >= 2:
                out[-1][1].append((math.radians(float(v[0]) * 15) % (2 * math.pi),
                                   math.radians(float(v[1]))))
    return out


def headers(data):
    return [struct.unpack_from("<IiiiiH", data, 22 * k) for k in range(89)]


def check_boundaries(ref):
    data = open(os.path.join(ref, "conbound.bin"), "rb").read()
    stored = []
    for off, lo, hi, ra1, ra2, n in headers(data):
        pts = [struct.unpack_from("<iiB", data, off + 9 * i) for i in range(n)]
        stored.append(([(a * TURN % (2 * math.pi), d * TURN, j) for a, d, j in pts],
                       (lo * TURN, hi * TURN, ra1 * TURN, ra2 * TURN)))
    problems = []
    source = source_boundaries()
    unmatched = list(range(89))
    for name, poly in source:
        # the stored polygon with the same points (the constellation order is
        # the catalogue's, not the file's)
        match = None
        for k in unmatched:
            pts = stored[k][0]
            if len(pts) == len(poly) and all(
                    sep(p[0], p[1], q[0], q[1]) <= TURN_TOLERANCE * 2 for p, q in zip(pts, poly)):
                match = k
                break
        if match is None:
            problems.append("%s: its polygon is missing or moved" % name)
            continue
        unmatched.remove(match)
        pts, (lo, hi, ra1, ra2) = stored[match]
        if pts[0][2] != 1 or any(p[2] for p in pts[1:]):
            problems.append("%s: jump flags" % name)
        if ra2 < ra1:
            ra2 += 2 * math.pi
        for a, d, _ in pts:
            a2 = a if a >= ra1 - 1e-6 else a + 2 * math.pi
            inside = lo - 1e-4 <= d <= hi + 1e-4 and (ra2 - ra1 > 6.28 or ra1 - 1e-4 <= a2 <= ra2 + 1e-4)
            if not inside:
                problems.append("%s: point %.4f %.4f outside its box" % (name, a, d))
                break
    if unmatched:
        problems.append("constellations without a source polygon: %s" % unmatched)
    return len(source), problems


def hd_places():
    sys.path.insert(0, TOOLS)
    import gen_star_catalogue as g
    rows = g.read_kstars_stars(None)
    g.match_hd_numbers(rows)
    return {s["hd"]: (s["ra"], s["dec"]) for s in rows if s.get("hd")}


def check_figures(ref):
    places = hd_places()
    expected = []
    western, last = False, None
    with open(os.path.join(KSTARS, "clines.dat"), encoding="latin-1") as f:
        for line in f:
            if line.startswith("C "):
                western = line.strip() == "C Western"
                continue
            v = line.split()
            if not western or len(v) != 2 or v[0] not in ("M", "D"):
                if line.startswith("#"):
                    last = None
                continue
            p = places.get(int(v[1]))
            if v[0] == "D" and last and p:
                expected.append((last, p))
            last = p
    data = open(os.path.join(ref, "conlines.bin"), "rb").read()
    stored = []
    for off, lo, hi, ra1, ra2, n in headers(data):
        for i in range(n):
            a1, d1, a2, d2 = struct.unpack_from("<iiii", data, off + 16 * i)
            stored.append(((a1 * TURN, d1 * TURN), (a2 * TURN, d2 * TURN)))
    problems = []
    if len(stored) != len(expected):
        problems.append("%d segments stored, %d in the source" % (len(stored), len(expected)))
    pool = {}
    for s in stored:
        pool.setdefault((round(s[0][0], 4), round(s[0][1], 4)), []).append(s)
    for a, b in expected:
        found = any(sep(a[0], a[1], s[0][0], s[0][1]) <= TURN_TOLERANCE * 2 and
                    sep(b[0], b[1], s[1][0], s[1][1]) <= TURN_TOLERANCE * 2
                    for s in pool.get((round(a[0], 4), round(a[1], 4)), []))
        if not found:
            problems.append("segment %.4f %.4f - %.4f %.4f missing" % (a[0], a[1], b[0], b[1]))
    return len(expected), problems


def check_milky_way(map_dir):
    points = []
    with open(os.path.join(KSTARS, "milkyway.dat"), encoding="latin-1") as f:
        for line in f:
            v = line.split()
            if len(v) == 3 and v[0] in ("M", "D"):
                points.append((math.radians(float(v[1]) * 15) % (2 * math.pi), math.radians(float(v[2]))))
    data = open(os.path.join(map_dir, "milkyway.bin"), "rb").read()
    stored, at, outlines = [], 0, 0
    while at < len(data):
        (n,) = struct.unpack_from("<H", data, at)
        at += 2
        outlines += 1
        for i in range(n):
            a, d = struct.unpack_from("<Hh", data, at)
            at += 4
            stored.append((a * MW_RA, d * MW_DEC))
    problems = []
    if outlines > 15:
        problems.append("%d outlines" % outlines)
    # joined pieces drop a continuation's repeated first point
    k = 0
    for p in points:
        if k < len(stored) and sep(p[0], p[1], stored[k][0], stored[k][1]) <= 2 * MW_RA:
            k += 1
        elif k == 0 or sep(p[0], p[1], stored[k - 1][0], stored[k - 1][1]) > math.radians(0.05):
            problems.append("point %.4f %.4f missing or out of order" % p)
            break
    if k != len(stored):
        problems.append("%d of %d stored points matched" % (k, len(stored)))
    return len(points), problems


def check_visible_nebulae(map_dir):
    source = {}
    with open(OUTLINES, encoding="utf-8") as f:
        for line in f:
            v = line.split()
            if len(v) < 3 or line.startswith("#"):
                continue
            p = (math.radians(float(v[0]) * 15) % (2 * math.pi), math.radians(float(v[1])))
            if v[2] == "start":
                current = " ".join(v[3:])
                source.setdefault(current, [])
                source[current].append([p])
            elif v[2] in ("vertex", "end"):
                source[current][-1].append(p)
    data = open(os.path.join(map_dir, "visneb.bin"), "rb").read()
    problems = []
    first_outline = min(struct.unpack_from("<I", data, 73 * i + 4)[0]
                        for i in range(min(120, len(data) // 73))
                        if 73 * (i + 1) <= struct.unpack_from("<I", data, 4)[0])
    count = first_outline // 73
    if first_outline % 73:
        problems.append("the first outline does not begin at a record boundary")
    for i in range(count):
        n, number, off = struct.unpack_from("<HhI", data, 73 * i)
        name = data[73 * i + 25:73 * i + 40].split(b"\0")[0].decode("ascii")
        pts = [struct.unpack_from("<ff", data, off + 8 * k) for k in range(n + 1)]
        candidates = [o for key, outs in source.items() if key.startswith(name.strip()) for o in outs]
        ok = any(len(o) == n and all(sep(p[0] % (2 * math.pi), p[1], q[0], q[1]) < 1e-6
                                     for p, q in zip(pts, o)) for o in candidates)
        if not ok:
            problems.append("%s: outline not the source's" % name)
        if sep(pts[0][0], pts[0][1], pts[n][0], pts[n][1]) > 1e-9:
            problems.append("%s: not closed" % name)
    return count, problems


def main():
    junit = sys.argv[sys.argv.index("--junit") + 1] if "--junit" in sys.argv else None
    cases = []
    with tempfile.TemporaryDirectory() as tmp:
        ref, map_dir = os.path.join(tmp, "ref"), os.path.join(tmp, "map")
        subprocess.check_call([sys.executable, os.path.join(TOOLS, "gen_deepsky.py"), "--ref", ref,
                               "--cat", os.path.join(tmp, "cat")], stdout=subprocess.DEVNULL)
        subprocess.check_call([sys.executable, os.path.join(TOOLS, "gen_chart_outlines.py"), "--ref",
                               ref, "--map", map_dir, "--neb", os.path.join(ref, "neb.bin")],
                              stdout=subprocess.DEVNULL)
        for name, check, folder in (("constellation boundaries", check_boundaries, ref),
                                    ("constellation figures", check_figures, ref),
                                    ("Milky Way", check_milky_way, map_dir),
                                    ("visible nebulae", check_visible_nebulae, map_dir)):
            n, problems = check(folder)
            print("%-26s %6d source items, %d problems" % (name, n, len(problems)))
            for p in problems[:20]:
                print("  FAIL", p)
            cases.append((name, "\n".join(problems[:50]) if problems else None))
    if junit:
        write_junit(junit, "chart_outlines", cases)
    return 1 if any(text for _, text in cases) else 0


if __name__ == "__main__":
    sys.exit(main())
