#!/usr/bin/env python3
"""Checks the places tables that gen_places.py writes against their source,
the city database of kstars-data: the generator is run into a scratch folder
and the four files are read with the byte offsets of their layout (not with
the generator's code).

  structure  nine level-0 regions; every child range lies inside its file;
             every place is reached from exactly one region
  cities     every city of citydb.sqlite is a place, under its country and
             province (or its country's own region), with longitude, latitude
             (hundredths of a degree, west positive) and zone (tenths of an
             hour) within half a step of the source
  rules      the daylight-saving qualifier matches the city's rule in
             TZrules.dat (months, weeks, weekdays, hours; EU hours at 01:00
             UT), and cities without a usable rule carry none
  names      names fit their fields, hold no "%" and at most the one comma
             that starts the qualifier

usage: test_places_tables.py [--junit FILE]
"""
import collections
import os
import re
import sqlite3
import struct
import subprocess
import sys
import tempfile
import unicodedata

TOOLS = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS)
from junitreport import write_junit  # noqa: E402

CITYDB = "/usr/share/kstars/citydb.sqlite"
TZRULES = "/usr/share/kstars/TZrules.dat"
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
DAYS = ["Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"]

failures = collections.defaultdict(list)


def check(ok, case, what):
    failures[case]
    if not ok:
        failures[case].append(what)


def regions(data):
    return [struct.unpack_from("<Bhh33s", data, i) for i in range(0, len(data) - 37, 38)]


def cstr(raw):
    return raw.split(b"\0", 1)[0].decode("cp1252")


def plain(text):
    """The source text as the tables may hold it: accents outside
    Windows-1252 gone, commas and runs of blanks one blank."""
    out = ""
    for ch in text:
        try:
            ch.encode("cp1252")
            out += ch
        except UnicodeEncodeError:
            out += "".join(c for c in unicodedata.normalize("NFKD", ch) if not unicodedata.combining(c))
    return re.sub(r"\s+", " ", out.replace(",", " ")).strip()


def dms(text):
    text = text.strip()
    nums = [float(x) for x in re.findall(r"\d+(?:\.\d+)?", text)] + [0.0, 0.0]
    value = nums[0] + nums[1] / 60.0 + nums[2] / 3600.0
    return -value if text.startswith("-") else value


def expected_rule(rules, code, zone):
    """(month, week, weekday, hour) twice, or None."""
    if code not in rules:
        return None
    out = []
    for month, spec, clock in rules[code]:
        m = re.fullmatch(r"([1-3]?)(\w{3})", spec)
        if not m or m.group(2) not in DAYS:
            return None
        hh, mm = clock.split(":")
        hour = int(hh) + int(mm) / 60.0 + (zone if code == "EU" else 0.0)
        out.append((MONTHS.index(month) + 1, int(m.group(1)) - 1 if m.group(1) else 3,
                    DAYS.index(m.group(2)), hour % 24.0))
    return out


def decoded_rule(qualifier):
    out = []
    for k in (0, 4):
        q = qualifier[k:k + 4]
        out.append((int(q[0], 16), int(q[1]), int(q[2]), (ord(q[3]) - ord("a")) / 4.0))
    return out


def run_checks(folder):
    files = [open(os.path.join(folder, "places%02d.bin" % k), "rb").read() for k in range(4)]
    levels = [regions(files[k]) for k in range(3)]
    check(len(files[0]) == 9 * 38, "structure", "places00.bin holds %d bytes" % len(files[0]))
    check(all(len(files[k]) % 38 == 0 for k in range(3)) and len(files[3]) % 40 == 0,
          "structure", "a file is not whole records")
    counts = [len(levels[0]), len(levels[1]), len(levels[2]), len(files[3]) // 40]
    owner = {}
    # (place index) -> [country, province-or-country]
    def walk(level, index, path):
        child, first, end, raw = levels[level][index]
        name = cstr(raw)
        check(0 <= first <= end <= counts[child], "structure",
              "%s: children %d..%d outside file %d" % (name, first, end, child))
        for i in range(first, min(end, counts[child])):
            if child == 3:
                check(i not in owner, "structure", "place %d reached twice" % i)
                owner[i] = path + [name]
            else:
                check(child == level + 1, "structure", "%s: children in file %d" % (name, child))
                walk(child, i, path + [name])
    for i in range(len(levels[0])):
        walk(0, i, [])
    check(len(owner) == counts[3], "structure", "%d of %d places reached" % (len(owner), counts[3]))

    rules = {}
    for line in open(TZRULES, encoding="latin-1"):
        p = line.split()
        if len(p) == 7 and not p[0].startswith("#") and p[1] in MONTHS:
            rules[p[0]] = ((p[1], p[2], p[3]), (p[4], p[5], p[6]))

    places = collections.defaultdict(list)
    for i in range(counts[3]):
        lon, lat, zone, named, raw = struct.unpack_from("<hhhB33s", files[3], i * 40)
        text = cstr(raw)
        name, _, qualifier = text.partition(",")
        check("%" not in text and "," not in qualifier and len(raw.split(b"\0")[0]) <= 32,
              "names", "place %d: %r" % (i, text))
        path = owner.get(i, ["?", "?", "?"])
        places[(path[1], path[-1])].append((name, lon, lat, zone, named, qualifier))

    con = sqlite3.connect(CITYDB)
    for name, province, country, lat, lon, tz, code in con.execute(
            "select Name, Province, Country, Latitude, Longitude, TZ, TZRule from city"):
        province = (province or "").strip() or country
        key = (plain(country)[:32], plain(province)[:32])
        candidates = [p for p in places.get(key, []) if plain(name).startswith(p[0]) and p[0]]
        want_lon, want_lat = -dms(lon), dms(lat)
        candidates = [p for p in candidates
                      if abs(p[1] / 100.0 - want_lon) <= 0.005 + 1e-9
                      and abs(p[2] / 100.0 - want_lat) <= 0.005 + 1e-9
                      and abs(p[3] / 10.0 - tz) <= 0.05 + 1e-9]
        check(len(candidates) >= 1, "cities", "%s, %s, %s: no place with its name and position"
              % (name, province, country))
        if not candidates:
            continue
        p = candidates[0]
        want = expected_rule(rules, (code or "").strip(), tz)
        if want is None or any(not (0 <= r[3] <= 6.25) for r in want):
            check(p[5] == "", "rules", "%s: qualifier %r for rule %s" % (name, p[5], code))
        else:
            got = decoded_rule(p[5]) if len(p[5]) == 8 else None
            check(got == want, "rules", "%s: rule %s gives %r, want %r" % (name, code, got, want))
            check(len(p[0]) <= 23, "names", "%s: name too long beside its qualifier" % name)
        named_want = {-5.0: 1, -6.0: 2, -7.0: 3, -8.0: 4}.get(tz, 0) \
            if country in ("USA", "Canada") and code == "US" else 0
        check(p[4] == named_want, "cities", "%s: named zone %d, want %d" % (name, p[4], named_want))
    n = con.execute("select count(*) from city").fetchone()[0]
    check(n == counts[3], "cities", "%d cities, %d places" % (n, counts[3]))


def main():
    junit = sys.argv[sys.argv.index("--junit") + 1] if "--junit" in sys.argv else None
    if not os.path.exists(CITYDB):
        print("places tables: kstars-data is not installed")
        return 1
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.check_call([sys.executable, os.path.join(TOOLS, "gen_places.py"), "--out", tmp],
                              stdout=subprocess.DEVNULL)
        run_checks(tmp)
    for case in sorted(failures):
        for what in failures[case][:50]:
            print("FAIL", case, what)
    print("places tables: %d cases, %d failed" % (len(failures), sum(1 for v in failures.values() if v)))
    if junit:
        write_junit(junit, "places_tables",
                    [(c, "\n".join(failures[c][:50]) or None) for c in sorted(failures)])
    return 1 if any(failures.values()) else 0


if __name__ == "__main__":
    sys.exit(main())
