#!/usr/bin/env python3
"""Reference states of the whole SGP4 verification set for the ephemeris
accuracy benchmark, from python3-sgp4 (an independent implementation of
"Revisiting Spacetrack Report #3", Vallado et al. 2006, WGS-72).

Reads the verification file SGP4-VER.TLE that python3-sgp4 ships and walks
every satellite as its verification program does: the epoch, then every
step from the start to the stop time of the satellite's line 2, one
propagator state per satellite called in that order. Writes
  "S line1"  and  "L line2"        (the element lines, 69 characters)
then per time
  "T minutes error x y z vx vy vz" (km, km/s; error the model's code, 0 good)
The walk of a satellite ends at its first error, as the reference's does.
"""
import argparse
import pkgutil
import sys

try:
    from sgp4.api import Satrec, WGS72
except ImportError:
    sys.exit("sgp4_reference: python3-sgp4 is not installed")


def times(line2):
    start, stop, step = (float(x) for x in line2[69:].split())
    out = [0.0]
    t = start
    while t <= stop:
        if not (t == start == 0.0):
            out.append(t)
        t += step
    if t - stop < step - 1e-6:
        out.append(stop)
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    data = pkgutil.get_data("sgp4", "SGP4-VER.TLE")
    if data is None:
        sys.exit("sgp4_reference: SGP4-VER.TLE not found in python3-sgp4")
    lines = iter(data.decode("ascii").splitlines())
    out = []
    for line1 in lines:
        if not line1.startswith("1"):
            continue
        line2 = next(lines)
        sat = Satrec.twoline2rv(line1[:69], line2[:69], WGS72)
        out.append("S " + line1[:69])
        out.append("L " + line2[:69])
        for t in times(line2):
            e, r, v = sat.sgp4_tsince(t)
            out.append("T %.8f %d %.9f %.9f %.9f %.12f %.12f %.12f" % ((t, e) + tuple(r) + tuple(v)))
            if e != 0:
                break
    with open(args.out, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
