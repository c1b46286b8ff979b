#!/usr/bin/env python3
"""Writes the packaged minor-planet and comet database from public element
sets.

Sources (Debian package kstars-data, /usr/share/kstars): asteroids.dat and
comets.dat, JSON exports of the JPL Small-Body Database (osculating elements
referred to the ecliptic and equinox J2000: epoch as MJD, e, a or q, i, node,
argument of perihelion, mean anomaly or time of perihelion, H and G or the
comet's total magnitude M1); the Earth's VSOP87 series (earth.*.vsop) for
the coarse tracks.

Folder 1 (--out):
  limits.bin    int32 first, int32 last element-file number.
  mp_data.bin   24 bytes per number N at (N - 1) x 24: 8 zero bytes, float H,
                float G, float q, float Q (AU); Q = 0 marks an unused number.
  mp_names.bin  17 characters per number at (N - 1) x 17, zero-padded.
  mp_alpha.bin  27 letter groups of 7 bytes (char letter, int32 offset of the
                group's first entry, int16 count): a blank (empty here), then
                A..Z; from byte 189 the 19-byte entries (char[17] name,
                uint16 number) sorted by name within each group. Names that do
                not begin with a letter have no group.
  comets.bin    135-byte comet records back to back: numbered comets first
                (by number), then the others by time of perihelion, latest
                first; at most 1017 comets (one element set each): of the
                others, those that get brightest (M1 + 10 log q) are kept.
  cnames.bin    51-byte entries: the first 49 bytes of the comet's record and
                int16 index of its first set in comets.bin.
Folder 2 (--elements-out, default the same): elements/<n>.bin for each
  element-file number n, the epoch JD 40 n + 0.5: 135 bytes per number N at
  (N - 1) x 135: double T (Julian centuries TT from J2000), double a,
  double e, float i, float argument of perihelion, float node (degrees), and
  eleven 9-byte track samples (int32 RA and Dec as turns x 2147483647, uint8
  magnitude code (m - 4) / 23 x 255 kept within 1..255) at 4-day steps from
  20 days before the epoch. A track whose motion departs from a straight line
  by more than 58" at the half steps after samples 1, 5 and 10, or that comes
  within 0.21 AU of the Earth, gets code 0 in sample 0 (unusable).

Two-body orbits do not change T, a, e or the angles from one epoch to the
next, so every element file carries the same elements; only the tracks
differ. Numbers above --max-number (default 10000, at most 65535 for the
uint16 of mp_alpha.bin) are left out.

Usage: gen_minor_bodies.py --out FOLDER [--elements-out FOLDER2]
       [--source /usr/share/kstars] [--max-number N] [--files K]
"""
import argparse
import json
import math
import os
import struct
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_ephemeris_tables as vsop  # noqa: E402

K = 0.01720209895
J2000 = 2451545.0
COS_EPS, SIN_EPS = 0.91748206, 0.39777716
LIGHT_DAYS_PER_AU = 1.5812507323750856e-7 * 36525.0
TURN = 2147483647.0
ARCSEC = math.pi / 648000.0
MAX_COMETS = 1017
COMET_FORMAT = "<Hc29s17shddfffffffhB4s33s"
assert struct.calcsize(COMET_FORMAT) == 135
ELEMENT_FORMAT = "<dddfff"


def ascii_text(text, size):
    plain = unicodedata.normalize("NFKD", text).encode("ascii", "ignore").decode("ascii")
    return plain.encode("ascii")[:size]


def number_or(x, default=0.0):
    try:
        return float(x) if x not in (None, "") else default
    except ValueError:
        return default


def load(path):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    return [dict(zip(data["fields"], row)) for row in data["data"]]


# ---- places ------------------------------------------------------------------

class Sun:
    """The Sun's geocentric rectangular FK5 J2000 place from VSOP87 (as the
    program's ComputeSunRectangularJ2000), cached per date."""

    def __init__(self, source):
        self.earth = vsop.read_planet(source, "earth")
        if not self.earth[0]:
            sys.exit("gen_minor_bodies: no VSOP87 series of the Earth in " + source)
        self.cache = {}

    def at(self, jd_tt):
        if jd_tt not in self.cache:
            L, B, R = vsop.evaluate(self.earth, (jd_tt - J2000) / 365250.0)
            lon, lat = L + math.pi, -B
            xe = R * math.cos(lat) * math.cos(lon)
            ye = R * math.cos(lat) * math.sin(lon)
            ze = R * math.sin(lat)
            self.cache[jd_tt] = (xe + 0.00000044036 * ye - 0.000000190919 * ze,
                                 -0.000000479966 * xe + 0.917482137087 * ye - 0.397776982902 * ze,
                                 0.397776982902 * ye + 0.917482137087 * ze)
        return self.cache[jd_tt]


def heliocentric(el, jd_tt):
    """Heliocentric equatorial J2000 place of an elliptic orbit (Meeus ch. 33)."""
    tp, a, e, inc, peri, node = el
    n = K / (a * math.sqrt(a))
    M = math.remainder((jd_tt - tp) * n, 2 * math.pi)
    E = M + 0.85 * e * (1 if M >= 0 else -1)
    for _ in range(100):
        step = (E - e * math.sin(E) - M) / (1 - e * math.cos(E))
        E -= step
        if abs(step) < 1e-14:
            break
    v = 2 * math.atan(math.sqrt((1 + e) / (1 - e)) * math.tan(E / 2))
    r = a * (1 - e * math.cos(E))
    u = peri + v
    cN, sN, ci, si = math.cos(node), math.sin(node), math.cos(inc), math.sin(inc)
    x = r * (cN * math.cos(u) - sN * math.sin(u) * ci)
    y = r * (sN * math.cos(u) + cN * math.sin(u) * ci)
    z = r * math.sin(u) * si
    return (x, y * COS_EPS - z * SIN_EPS, y * SIN_EPS + z * COS_EPS)


def place(el, H, G, sun, jd_tt):
    S = sun.at(jd_tt)
    P = heliocentric(el, jd_tt)
    d = math.dist(P, (-S[0], -S[1], -S[2]))
    P = heliocentric(el, jd_tt - d * LIGHT_DAYS_PER_AU)
    g = (P[0] + S[0], P[1] + S[1], P[2] + S[2])
    delta = math.sqrt(g[0] ** 2 + g[1] ** 2 + g[2] ** 2)
    ra = math.atan2(g[1], g[0]) % (2 * math.pi)
    dec = math.asin(g[2] / delta)
    r = math.sqrt(P[0] ** 2 + P[1] ** 2 + P[2] ** 2)
    R = math.sqrt(S[0] ** 2 + S[1] ** 2 + S[2] ** 2)
    cb = (r * r + delta * delta - R * R) / (2 * r * delta)
    beta = min(math.acos(max(-1.0, min(1.0, cb))), 2.0943951023931953)
    t = math.tan(beta / 2)
    blend = (1 - G) * math.exp(-3.33 * t ** 0.63) + G * math.exp(-1.87 * t ** 1.22)
    mag = H + 5 * math.log10(r * delta) - 2.5 * math.log10(blend) if blend > 0 else 99.9
    return ra, dec, delta, mag


def turns(x):
    v = x / (2 * math.pi) * TURN
    return int(math.floor(v + 0.5)) if v >= 0 else int(math.ceil(v - 0.5))


def magnitude_code(m):
    c = (m - 4.0) / 23.0 * 255.0
    if not c >= 1.0:
        return 1
    return 255 if c >= 255.0 else int(math.floor(c + 0.5))


def separation(ra1, d1, ra2, d2):
    h = math.sin((d2 - d1) / 2) ** 2 + math.cos(d1) * math.cos(d2) * math.sin((ra2 - ra1) / 2) ** 2
    return 2 * math.asin(min(1.0, math.sqrt(h)))


def track(el, H, G, sun, epoch, delta_t_days):
    samples = [(0, 0, 0)] * 11
    jd = epoch - 20.0
    prev = None
    unusable = False
    for k in range(11):
        ra, dec, delta, m = place(el, H, G, sun, jd + delta_t_days)
        samples[k] = (turns(ra), turns(dec), magnitude_code(m))
        if delta < 0.21:
            unusable = True
        if k in (1, 5, 10):
            hra, hdec, hdelta, _ = place(el, H, G, sun, jd - 2.0 + delta_t_days)
            a, b = prev[0], ra
            if abs(a - b) > math.pi:
                a += 2 * math.pi if a < math.pi else 0
                b += 2 * math.pi if b < math.pi else 0
            mra = ((a + b) / 2) % (2 * math.pi)
            mdec = (prev[1] + dec) / 2
            if separation(hra, hdec, mra, mdec) > 58 * ARCSEC or hdelta < 0.21:
                unusable = True
        if unusable:
            break
        prev = (ra, dec)
        jd += 4.0
    if unusable:
        samples[0] = (samples[0][0], samples[0][1], 0)
    return b"".join(struct.pack("<iiB", *s) for s in samples)


def delta_t_days(jd):
    """TT - UT (days) near 2000-2050 (Espenak & Meeus polynomial, 2005-2050)."""
    y = 2000.0 + (jd - J2000) / 365.25
    t = y - 2000.0
    return (62.92 + 0.32217 * t + 0.005589 * t * t) / 86400.0


# ---- minor planets ---------------------------------------------------------------

def minor_planets(source, max_number):
    out = {}
    for row in load(os.path.join(source, "asteroids.dat")):
        full = row["full_name"].strip()
        head = full.split(" ")[0]
        if not head.isdigit():
            continue
        number = int(head)
        if number < 1 or number > max_number:
            continue
        rest = full[len(head):].strip()
        name = rest.split(" (")[0].strip() if not rest.startswith("(") else rest.strip("()")
        a, e = float(row["a"]), float(row["e"])
        if not (0.0 <= e < 1.0 and a > 0.0):
            continue
        epoch = float(row["epoch_mjd"]) + 2400000.5
        n = K / (a * math.sqrt(a))
        tp = epoch - math.radians(float(row["ma"])) / n
        out[number] = {
            "name": name,
            "el": (tp, a, e, math.radians(float(row["i"])), math.radians(float(row["w"])),
                   math.radians(float(row["om"]))),
            "deg": (float(row["i"]), float(row["w"]), float(row["om"])),
            "H": number_or(row["H"], 20.0),
            "G": number_or(row["G"], 0.15),
            "epoch": epoch,
        }
    return out


def write_minor_planets(out, elements_out, planets, files, sun):
    top = max(planets) if planets else 0
    epochs = [p["epoch"] for p in planets.values()]
    centre = int(round((max(set(epochs), key=epochs.count) - 0.5) / 40.0)) if epochs else 0
    numbers = list(range(centre - files // 2, centre - files // 2 + files))
    with open(os.path.join(out, "limits.bin"), "wb") as f:
        f.write(struct.pack("<ii", numbers[0], numbers[-1]))
    data = bytearray(24 * top)
    names = bytearray(17 * top)
    for n, p in planets.items():
        a, e = p["el"][1], p["el"][2]
        struct.pack_into("<8xffff", data, 24 * (n - 1), p["H"], p["G"], a * (1 - e), a * (1 + e))
        names[17 * (n - 1):17 * (n - 1) + 17] = ascii_text(p["name"], 17).ljust(17, b"\0")
    with open(os.path.join(out, "mp_data.bin"), "wb") as f:
        f.write(data)
    with open(os.path.join(out, "mp_names.bin"), "wb") as f:
        f.write(names)

    groups = {chr(c): [] for c in range(ord("A"), ord("Z") + 1)}
    for n, p in planets.items():
        text = ascii_text(p["name"], 17)
        if text and chr(text[0]).upper() in groups:
            groups[chr(text[0]).upper()].append((text.upper(), text, n))
    directory, entries = bytearray(), bytearray()
    offset = 189
    directory += struct.pack("<cih", b" ", offset, 0)
    for letter in sorted(groups):
        group = sorted(groups[letter])
        directory += struct.pack("<cih", letter.encode(), offset, len(group))
        for _, text, n in group:
            entries += text.ljust(17, b"\0") + struct.pack("<H", n)
        offset += 19 * len(group)
    assert len(directory) == 189
    with open(os.path.join(out, "mp_alpha.bin"), "wb") as f:
        f.write(directory + entries)

    folder = os.path.join(elements_out, "elements")
    os.makedirs(folder, exist_ok=True)
    for fn in numbers:
        epoch = 40.0 * fn + 0.5
        body = bytearray(135 * top)
        dt = delta_t_days(epoch)
        for n, p in planets.items():
            tp, a, e = p["el"][:3]
            i, w, node = p["deg"]
            struct.pack_into(ELEMENT_FORMAT, body, 135 * (n - 1), (tp - J2000) / 36525.0, a, e,
                             i, w, node)
            body[135 * (n - 1) + 36:135 * n] = track(p["el"], p["H"], p["G"], sun, epoch, dt)
        with open(os.path.join(folder, "%d.bin" % fn), "wb") as f:
            f.write(body)
    return numbers


# ---- comets ------------------------------------------------------------------------

def parse_comet(full):
    """(number, letter, name, designation) of a JPL comet name: "1P/Halley",
    "C/2020 F3 (NEOWISE)", "P/2021 A5 (PANSTARRS)", "73P-B/Schwassmann-Wachmann 3"."""
    full = full.strip()
    head, slash, rest = full.partition("/")
    if not slash or (not rest and not head[:-1].isdigit()):
        return None   # a numbered comet without a name ("432P/") is kept
    fragment = ""
    if "-" in head:
        head, _, fragment = head.partition("-")
    letter = head[-1:]
    digits = head[:-1]
    if not letter.isalpha():
        return None
    if digits:
        if not digits.isdigit():
            return None
        name = rest + ("-" + fragment if fragment else "")
        return int(digits), letter, name, ""
    if " (" in rest:
        designation, _, name = rest.partition(" (")
        name = name.rstrip(")")
    else:
        designation, name = rest, ""
    return 0, letter, name + ("-" + fragment if fragment else ""), designation


def comets(source):
    rows = []
    for row in load(os.path.join(source, "comets.dat")):
        parsed = parse_comet(row["full_name"])
        if not parsed:
            continue
        number, letter, name, designation = parsed
        try:
            q, e, tp = float(row["q"]), float(row["e"]), float(row["tp"])
            inc, w, node = float(row["i"]), float(row["w"]), float(row["om"])
        except (TypeError, ValueError):
            continue
        if number > 0x7FFF or q <= 0.0 or e < 0.0:
            continue
        epoch = number_or(row.get("epoch.mjd"))
        epoch = (epoch + 2400000.5 - J2000) / 36525.0 if epoch else 0.0
        H = number_or(row.get("M1"))
        # The set gives no activity slope: the usual 2.5 x 4 log r with a
        # known total magnitude; H = K = 0 (the defaults) without one.
        slope = 4.0 if H else 0.0
        source_text = ("JPL SBDB " + str(row.get("orbit_id") or "")).strip()
        record = struct.pack(COMET_FORMAT, number, letter.encode(),
                             ascii_text(name, 28), ascii_text(designation, 16), 0,
                             (tp - J2000) / 36525.0, epoch, q, e, math.radians(w),
                             math.radians(node), math.radians(inc), H, slope, 0, 0, b"\0" * 4,
                             ascii_text(source_text, 32))
        # How bright the comet gets: its total magnitude at perihelion seen
        # from 1 AU (M1 + 10 log q); None without a total magnitude.
        peak = H + 10.0 * math.log10(q) if H else None
        rows.append((number, tp, record, peak))
    numbered = sorted((r for r in rows if r[0] > 0), key=lambda r: r[0])
    # The other comets that fit: the brightest first (Hale-Bopp, Hyakutake,
    # Ikeya-Seki are well known for it), then those without a magnitude,
    # latest first; the file keeps them by time of perihelion.
    others = sorted((r for r in rows if r[0] == 0),
                    key=lambda r: (r[3] is None, r[3] if r[3] is not None else 0.0, -r[1]))
    others = sorted(others[:max(0, MAX_COMETS - len(numbered))], key=lambda r: -r[1])
    chosen = (numbered + others)[:MAX_COMETS]
    return [r[2] for r in chosen]


def write_comets(out, records):
    with open(os.path.join(out, "comets.bin"), "wb") as f:
        f.write(b"".join(records))
    with open(os.path.join(out, "cnames.bin"), "wb") as f:
        for index, record in enumerate(records):
            f.write(record[:49] + struct.pack("<h", index))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    ap.add_argument("--elements-out")
    ap.add_argument("--source", default="/usr/share/kstars")
    ap.add_argument("--max-number", type=int, default=10000)
    ap.add_argument("--files", type=int, default=3)
    args = ap.parse_args()
    if not 1 <= args.max_number <= 65535:
        sys.exit("gen_minor_bodies: --max-number must lie in 1..65535 (mp_alpha.bin holds uint16)")
    elements_out = args.elements_out or args.out
    os.makedirs(args.out, exist_ok=True)
    os.makedirs(elements_out, exist_ok=True)
    sun = Sun(args.source)
    planets = minor_planets(args.source, args.max_number)
    numbers = write_minor_planets(args.out, elements_out, planets, max(1, args.files), sun)
    records = comets(args.source)
    write_comets(args.out, records)
    print("gen_minor_bodies: %d minor planets, element files %d..%d, %d comets written to %s" % (
        len(planets), numbers[0], numbers[-1], len(records), args.out))


if __name__ == "__main__":
    main()
