#!/usr/bin/env python3
"""Reference places of minor planets and comets from PyEphem (python3-ephem)
for the minor-body accuracy benchmark, and (--split) of the whole comets and
the fragments of every split numbered comet for the ephemeris accuracy
benchmark.

Takes a dozen numbered minor planets and periodic comets (and two open
orbits) from kstars-data's element sets (asteroids.dat, comets.dat), and
writes for each:
  "E name kind T epoch M a q e peri node incl H G"   (kind A or C; T and epoch
      as Julian dates, angles in degrees, 0 where a value is not given)
then for each date
  "P jd_ut deltaT_s ra_deg dec_deg delta_au"
PyEphem's astrometric geocentric place (a_ra, a_dec) for the same elements.
With --split the objects are the numbered comets that have fragments
("73P/Schwassmann-Wachmann 3" and "73P/Schwassmann-Wachmann 3-B", ...), each
from its own elements, at dates about its own perihelion passage; their names
keep the blanks as underscores.
"""
import argparse
import json
import sys

try:
    import ephem
except ImportError:
    sys.exit("minorbody_reference: python3-ephem is not installed")

DUBLIN_JD = 2415020.0
MINOR_PLANETS = [1, 2, 3, 4, 6, 7, 10, 15, 16, 52, 433, 1036]
COMETS = ["1P/", "2P/", "29P/", "67P/", "9P/", "C/2021 A1 ", "C/2020 F3 "]


def number(x):
    return float(x) if x not in (None, "") else 0.0


def load(path):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    fields = data["fields"]
    return [dict(zip(fields, row)) for row in data["data"]]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--data", default="/usr/share/kstars")
    ap.add_argument("--first", type=float, default=2459800.5)
    ap.add_argument("--days", type=int, default=400)
    ap.add_argument("--step", type=int, default=5)
    ap.add_argument("--out", required=True)
    ap.add_argument("--split", action="store_true")
    args = ap.parse_args()

    out = []
    dates = [args.first + d for d in range(0, args.days, args.step)]
    if args.split:
        write_split_comets(args, out)
        with open(args.out, "w") as f:
            f.write("\n".join(out) + "\n")
        return
    for row in load(args.data + "/asteroids.dat"):
        head = row["full_name"].strip().split(" ")[0]
        if not head.isdigit() or int(head) not in MINOR_PLANETS:
            continue
        name = row["full_name"].strip().split(" (")[0].replace(" ", "_")
        epoch = float(row["epoch_mjd"]) + 2400000.5
        b = ephem.EllipticalBody()
        b._inc, b._Om, b._om = float(row["i"]), float(row["om"]), float(row["w"])
        b._a, b._e, b._M = float(row["a"]), float(row["e"]), float(row["ma"])
        b._epoch_M = ephem.Date(epoch - DUBLIN_JD)
        b._epoch = ephem.J2000
        H, G = number(row["H"]), number(row["G"]) or 0.15
        # PyEphem keeps elements in single precision: the benchmark takes
        # them back from it, so both sides place the same orbit.
        out.append("E %s A 0 %.6f %.12f %.15f 0 %.15f %.12f %.12f %.12f %.3f %.3f" % (
            name, float(b._epoch_M) + DUBLIN_JD, deg(b._M), b._a, b._e, deg(b._om), deg(b._Om),
            deg(b._inc), H, G))
        out += places(b, dates)
    for row in load(args.data + "/comets.dat"):
        full = row["full_name"].strip() + " "
        if not any(full.startswith(c) for c in COMETS):
            continue
        out += comet(row, range(-200, 200, args.step))
    with open(args.out, "w") as f:
        f.write("\n".join(out) + "\n")


def fragment_of(full):
    """The fragment letters of a numbered comet's name ("73P/Schwassmann-
    Wachmann 3-B": "B"), "" for a whole comet, None for an unnumbered one."""
    head, _, name = full.partition("/")
    if not head[:-1].isdigit():
        return None
    tail = name.rpartition("-")[2]
    return tail if 1 <= len(tail) <= 2 and tail.isupper() and tail.isalpha() else ""


def write_split_comets(args, out):
    rows = [r for r in load(args.data + "/comets.dat")]
    split = set()
    for row in rows:
        full = row["full_name"].strip()
        if fragment_of(full):
            split.add(full.partition("/")[0])
    for row in rows:
        full = row["full_name"].strip()
        if fragment_of(full) is not None and full.partition("/")[0] in split:
            out += comet(row, range(-100, 101, args.step))


def comet(row, offsets):
    """The E line of a comet and its places at perihelion + offsets (days)."""
    full = row["full_name"].strip()
    name = full.replace(" ", "_")
    q, e = float(row["q"]), float(row["e"])
    tp = float(row["tp"])
    inc, Om, om = float(row["i"]), float(row["om"]), float(row["w"])
    if e < 1.0:
        b = ephem.EllipticalBody()
        b._a, b._e, b._M = q / (1.0 - e), e, 0.0
        b._epoch_M = ephem.Date(tp - DUBLIN_JD)
    elif e > 1.0:
        b = ephem.HyperbolicBody()
        b._e, b._q, b._epoch_p = e, q, ephem.Date(tp - DUBLIN_JD)
    else:
        b = ephem.ParabolicBody()
        b._q, b._epoch_p = q, ephem.Date(tp - DUBLIN_JD)
    b._inc, b._Om, b._om = inc, Om, om
    b._epoch = ephem.J2000
    if e < 1.0:
        q, e, tp = b._a * (1.0 - b._e), b._e, float(b._epoch_M) + DUBLIN_JD
    else:
        q, tp = b._q, float(b._epoch_p) + DUBLIN_JD
        e = b._e if e > 1.0 else 1.0
    lines = ["E %s C %.9f 0 0 0 %.15f %.15f %.12f %.12f %.12f 0 0" % (
        name, tp, q, e, deg(b._om), deg(b._Om), deg(b._inc))]
    # Comets near their perihelion passage.
    return lines + places(b, [tp + d for d in offsets])


def deg(x):
    return float(x) * 57.29577951308232


def places(body, dates):
    lines = []
    for jd in dates:
        d = ephem.Date(jd - DUBLIN_JD)
        body.compute(d)
        lines.append("P %.6f %.4f %.10f %.10f %.9f" % (
            jd, ephem.delta_t(d), float(body.a_ra) * 57.29577951308232,
            float(body.a_dec) * 57.29577951308232, body.earth_distance))
    return lines


if __name__ == "__main__":
    main()
