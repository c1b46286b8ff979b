#!/usr/bin/env python3
"""Writes the places gazetteer, "places00.bin" to "places03.bin", into a
reference-catalogue folder, from the city database of kstars-data
("citydb.sqlite": name, province, country, latitude, longitude, time zone and
daylight-saving rule code of 3428 cities) and its daylight-saving rules
("TZrules.dat").

Layouts (the reader is sites/places.cpp), little-endian, no header:

places00.bin, places01.bin, places02.bin: 38-byte region records
  0  uint8  file that holds the children: 0, 1, 2 a region file, 3 the places
  1  int16  index of the first child in that file
  3  int16  index one past the last child
  5  char[33] region name, NUL-filled (Windows-1252)
places03.bin: 40-byte place records
  0  int16  longitude, hundredths of a degree, west positive
  2  int16  latitude, hundredths of a degree, north positive
  4  int16  time zone, tenths of an hour, east positive
  6  uint8  named zone: 0 none, 1 Eastern, 2 Central, 3 Mountain, 4 Pacific
  7  char[33] place name, NUL-filled (Windows-1252)

The tree: level 0 holds the nine regions of the world that the time-zone
database names its zones by (Africa, America, Antarctica, Asia, Atlantic,
Australia, Europe, Indian, Pacific); each country goes to the region of the
zone.tab location (tzdata) nearest to most of its cities. Level 1 holds the
countries, sorted by name within their region. A country whose cities name
provinces has level-2 children: its provinces, sorted, and for its cities
without a province one region bearing the country's name; the places of a
country without provinces hang from it directly. Places are sorted by name
within their region.

Names: characters outside Windows-1252 lose their accents (NFKD), commas
become blanks (a comma starts the qualifier), and the name is cut to the room
the field leaves.

Daylight saving: a place whose rule the site record's rule block can hold
(nth or last weekday of a month) carries it as a qualifier after a comma,
which the places list does not show: ",MWDHMWDH", start then end, each a
month in hex (1-C), a week digit (0 first .. 2 third, 3 last), a weekday
digit (0 Sunday .. 6 Saturday) and the local standard hour as a letter, "a"
+ quarter hours. The European Union changes its clocks at 01:00 UTC
(Directive 2000/84/EC), so its local hour is 1 + the zone. Rules on fixed
dates of the month ("IR") and codes the rules file does not define ("RU")
carry no qualifier; such places get no daylight saving. The name is then cut
to 23 characters. The named zone is set for the US and Canadian cities that
keep the US rule at zone -5 to -8.

usage: gen_places.py --out FOLDER [--citydb PATH] [--rules PATH] [--zones PATH]
"""
import argparse
import collections
import math
import os
import re
import sqlite3
import struct
import sys
import unicodedata

CITYDB = "/usr/share/kstars/citydb.sqlite"
TZRULES = "/usr/share/kstars/TZrules.dat"
ZONETAB = "/usr/share/zoneinfo/zone.tab"

AREAS = ["Africa", "America", "Antarctica", "Asia", "Atlantic", "Australia", "Europe",
         "Indian", "Pacific"]
REGION_SIZE, PLACE_SIZE, NAME_SIZE = 38, 40, 33
PLACES_FILE = 3
QUALIFIER_CHARS = 9          # "," and eight rule characters
MONTHS = {m: i + 1 for i, m in enumerate(
    ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"])}
WEEKDAYS = {d: i for i, d in enumerate(["Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"])}
NAMED_ZONES = {-5.0: 1, -6.0: 2, -7.0: 3, -8.0: 4}


def to_cp1252(text):
    out = []
    for ch in text:
        try:
            ch.encode("cp1252")
            out.append(ch)
        except UnicodeEncodeError:
            plain = "".join(c for c in unicodedata.normalize("NFKD", ch)
                            if not unicodedata.combining(c))
            try:
                plain.encode("cp1252")
                out.append(plain)
            except UnicodeEncodeError:
                out.append("?")
    return "".join(out)


def place_name(name, room):
    """The stored form of a city's name (without qualifier), at most room characters."""
    text = to_cp1252(name).replace(",", " ").replace("%", " ")
    text = re.sub(r"\s+", " ", text).strip()
    return text[:room].rstrip()


def region_name(name):
    return place_name(name, NAME_SIZE - 1)


def dms(text):
    """' 51\u00b0 39' 00\"' or '-121\u00b0 17' 00\"' -> signed degrees."""
    text = text.strip()
    sign = -1.0 if text.startswith("-") else 1.0
    nums = [float(x) for x in re.findall(r"\d+(?:\.\d+)?", text)]
    nums += [0.0] * (3 - len(nums))
    return sign * (nums[0] + nums[1] / 60.0 + nums[2] / 3600.0)


def read_rules(path):
    """code -> ((month, spec, hh:mm), (month, spec, hh:mm))."""
    rules = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            parts = line.split()
            if len(parts) != 7 or parts[0].startswith("#"):
                continue
            code, m1, s1, t1, m2, s2, t2 = parts
            if m1 in MONTHS and m2 in MONTHS:
                rules[code] = ((m1, s1, t1), (m2, s2, t2))
    return rules


def transition(month, spec, clock, hour_shift):
    """Four rule characters, or None when the block cannot hold the rule."""
    m = re.fullmatch(r"([1-3]?)([A-Z][a-z]{2})", spec)
    if not m or m.group(2) not in WEEKDAYS:
        return None  # a fixed day of the month
    week = int(m.group(1)) - 1 if m.group(1) else 3
    hh, mm = clock.split(":")
    hour = (int(hh) + int(mm) / 60.0 + hour_shift) % 24.0
    quarters = hour * 4.0
    if abs(quarters - round(quarters)) > 1e-9 or not 0 <= round(quarters) <= 25:
        return None
    return "%X%d%d%s" % (MONTHS[month], week, WEEKDAYS[m.group(2)], chr(ord("a") + int(round(quarters))))


def rule_qualifier(rules, code, zone):
    if code not in rules:
        return ""
    # The rules file gives the EU change as 01:00, which is UT there.
    shift = zone if code == "EU" else 0.0
    parts = [transition(*t, shift) for t in rules[code]]
    if None in parts:
        return ""
    return "," + "".join(parts)


def read_zone_locations(path):
    out = []
    with open(path) as f:
        for line in f:
            if line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) < 3:
                continue
            area = fields[2].split("/")[0]
            m = re.fullmatch(r"([+-])(\d{2})(\d{2})(\d{2})?([+-])(\d{3})(\d{2})(\d{2})?", fields[1])
            if area not in AREAS or not m:
                continue
            lat = (int(m.group(2)) + int(m.group(3)) / 60.0 + int(m.group(4) or 0) / 3600.0)
            lon = (int(m.group(6)) + int(m.group(7)) / 60.0 + int(m.group(8) or 0) / 3600.0)
            lat = -lat if m.group(1) == "-" else lat
            lon = -lon if m.group(5) == "-" else lon
            out.append((area, unit_vector(lat, lon)))
    return out


def unit_vector(lat, lon):
    la, lo = math.radians(lat), math.radians(lon)
    return (math.cos(la) * math.cos(lo), math.cos(la) * math.sin(lo), math.sin(la))


def nearest_area(zones, lat, lon):
    v = unit_vector(lat, lon)
    return max(zones, key=lambda z: sum(a * b for a, b in zip(v, z[1])))[0]


def read_cities(path):
    con = sqlite3.connect(path)
    rows = con.execute("select id, Name, Province, Country, Latitude, Longitude, TZ, TZRule "
                       "from city order by id").fetchall()
    con.close()
    cities = []
    for cid, name, province, country, lat, lon, tz, rule in rows:
        cities.append(dict(id=cid, name=name or "", province=(province or "").strip(),
                           country=(country or "").strip(), lat=dms(lat), lon=dms(lon),
                           tz=float(tz or 0.0), rule=(rule or "--").strip()))
    return cities


def place_record(city, rules):
    qualifier = rule_qualifier(rules, city["rule"], city["tz"])
    name = place_name(city["name"], NAME_SIZE - 1 - len(qualifier)) + qualifier
    named = 0
    if city["country"] in ("USA", "Canada") and city["rule"] == "US":
        named = NAMED_ZONES.get(city["tz"], 0)
    lon = int(round(-city["lon"] * 100.0))   # west positive
    lat = int(round(city["lat"] * 100.0))
    zone = int(round(city["tz"] * 10.0))
    return struct.pack("<hhhB33s", lon, lat, zone, named, name.encode("cp1252"))


def region_record(child_file, first, end, name):
    return struct.pack("<Bhh33s", child_file, first, end, region_name(name).encode("cp1252"))


def build(cities, rules, zones):
    """The four files' bytes."""
    votes = collections.defaultdict(collections.Counter)
    for c in cities:
        votes[c["country"]][nearest_area(zones, c["lat"], c["lon"])] += 1
    area_of = {country: sorted(v.items(), key=lambda kv: (-kv[1], kv[0]))[0][0]
               for country, v in votes.items()}

    key = lambda s: (s.casefold(), s)
    level0, level1, level2, places = [], [], [], []

    def add_places(group):
        first = len(places)
        for c in sorted(group, key=lambda c: key(c["name"]) + (c["id"],)):
            places.append(place_record(c, rules))
        return first, len(places)

    for area in AREAS:
        countries = sorted({c["country"] for c in cities if area_of[c["country"]] == area}, key=key)
        first1 = len(level1)
        for country in countries:
            group = [c for c in cities if c["country"] == country]
            provinces = sorted({c["province"] for c in group if c["province"]}, key=key)
            if not provinces:
                first, end = add_places(group)
                level1.append(region_record(PLACES_FILE, first, end, country))
                continue
            regions = [(p, [c for c in group if c["province"] == p]) for p in provinces]
            bare = [c for c in group if not c["province"]]
            if bare:
                regions.append((country, bare))
                regions.sort(key=lambda r: key(r[0]))
            first2 = len(level2)
            for name, members in regions:
                first, end = add_places(members)
                level2.append(region_record(PLACES_FILE, first, end, name))
            level1.append(region_record(2, first2, len(level2), country))
        level0.append(region_record(1, first1, len(level1), area))
    for table in (level1, level2, places):
        assert len(table) < 32768, "indexes are signed 16-bit"
    return [b"".join(t) for t in (level0, level1, level2, places)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    ap.add_argument("--citydb", default=CITYDB)
    ap.add_argument("--rules", default=TZRULES)
    ap.add_argument("--zones", default=ZONETAB)
    args = ap.parse_args()
    cities = read_cities(args.citydb)
    files = build(cities, read_rules(args.rules), read_zone_locations(args.zones))
    os.makedirs(args.out, exist_ok=True)
    for number, data in enumerate(files):
        with open(os.path.join(args.out, "places%02d.bin" % number), "wb") as f:
            f.write(data)
    print("places: %d regions, %d countries, %d provinces, %d places" % (
        len(files[0]) // REGION_SIZE, len(files[1]) // REGION_SIZE,
        len(files[2]) // REGION_SIZE, len(files[3]) // PLACE_SIZE))
    return 0


if __name__ == "__main__":
    sys.exit(main())
