#!/usr/bin/env python3
"""Lays out a demo installation of the suite in BUILD/demo, for running
gleaner.exe and for the tests:

  install/   gleaner.exe, Gleaner.chm and the pictures under bin/
  data/      the suite's data folder: nightjar.ini and the ref, map, ss folders
  disc/      a data disc: nightjar3.id and its own ref, map, ss folders
  user/      the user data folder
  logs/      two sample observing logs to import, one per preset format, and
             the importer's format file that starts the wizard on them

The default nightjar.ini names folders both in the data folder ("$") and on
the data disc ("#"): the disc folder is mapped to a drive letter by whoever
runs the program (--wineprefix here, or the GUI tests themselves).

Each data generator is one step in STEPS; a later generator is added there.
With --wineprefix PREFIX the registry values of the suite are written into
that Wine prefix and the data disc is mapped as drive --drive (default N).
With --steps NAME,... only those steps run (their names without "step_",
e.g. folders,deepsky), for a program that needs a part of the demo quickly.

usage: make_demo.py --build BUILD [--wineprefix PREFIX [--drive N]] [--steps NAME,...]
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys

TOOLS = os.path.dirname(os.path.abspath(__file__))

DEFAULT_INI = ["$/ref", "#:/ref", "#:/ref", "$/map", "#:/map", "#:/map",
               "$/ss", "#:/ss", "ILEVEL 0"]


def run_tool(script, *args):
    # The tools report on stdout; keep this script's own stdout for the demo path.
    subprocess.check_call([sys.executable, os.path.join(TOOLS, script)] + list(args), stdout=sys.stderr)


def step_folders(demo, build):
    for sub in ("install", "install/bin", "user"):
        os.makedirs(os.path.join(demo, sub), exist_ok=True)
    for root in ("data", "disc"):
        for sub in ("ref", "map", "ss"):
            os.makedirs(os.path.join(demo, root, sub), exist_ok=True)
    with open(os.path.join(demo, "disc", "nightjar3.id"), "w") as f:
        f.write("Nightjar 3 data disc\n")
    # Windows line ends, as the suite's installer writes the file.
    with open(os.path.join(demo, "data", "nightjar.ini"), "w", newline="\r\n") as f:
        f.write("\n".join(DEFAULT_INI) + "\n")


def step_program(demo, build):
    for name in ("gleaner.exe", "Gleaner.chm"):
        src = os.path.join(build, name)
        if os.path.exists(src):
            shutil.copy2(src, os.path.join(demo, "install", name))


def step_class_pictures(demo, build):
    run_tool("gen_class_bitmaps.py", "--out", os.path.join(demo, "install"))


def step_toolkit_pictures(demo, build):
    if os.path.exists(os.path.join(TOOLS, "gen_toolkit_bitmaps.py")):
        run_tool("gen_toolkit_bitmaps.py", "--out", os.path.join(demo, "install"))


def step_nutation(demo, build):
    if os.path.exists(os.path.join(TOOLS, "gen_nutcon.py")):
        run_tool("gen_nutcon.py", "--out", os.path.join(demo, "data", "ss"))


def step_ephemeris(demo, build):
    if os.path.exists(os.path.join(TOOLS, "gen_ephemeris_tables.py")):
        run_tool("gen_ephemeris_tables.py", "--out", os.path.join(demo, "data", "ss"))


def step_satellite_tables(demo, build):
    # After step_ephemeris: the Uranian satellite series replace its minimal
    # usats.bin; beside them the day tables of Phoebe and Himalia.
    run_tool("gen_satellite_tables.py", "--out", os.path.join(demo, "data", "ss"))


def step_minor_bodies(demo, build):
    # The packaged minor-planet and comet database: its files in the first
    # solar-system folder, the element files under the data disc's.
    run_tool("gen_minor_bodies.py", "--out", os.path.join(demo, "data", "ss"),
             "--elements-out", os.path.join(demo, "disc", "ss"))


def step_instruments(demo, build):
    if os.path.exists(os.path.join(TOOLS, "gen_demo_instruments.py")):
        run_tool("gen_demo_instruments.py", "--user", os.path.join(demo, "user"))


def step_sites(demo, build):
    if os.path.exists(os.path.join(TOOLS, "gen_demo_sites.py")):
        run_tool("gen_demo_sites.py", "--user", os.path.join(demo, "user"))


def step_places(demo, build):
    # The places gazetteer in reference slot 0 (data/ref).
    run_tool("gen_places.py", "--out", os.path.join(demo, "data", "ref"))


def step_star_catalogue(demo, build):
    # Constellation files and the alphabetical star names in reference slot 0
    # (data/ref), the star catalogue and its indexes in slot 1 (the disc).
    if os.path.exists(os.path.join(TOOLS, "gen_star_catalogue.py")):
        run_tool("gen_star_catalogue.py", "--ref", os.path.join(demo, "data", "ref"),
                 "--stars", os.path.join(demo, "disc", "ref"))
    # Double and variable stars, tied to the star catalogue by HIP number.
    if os.path.exists(os.path.join(TOOLS, "gen_doubles_variables.py")):
        run_tool("gen_doubles_variables.py", "--stars", os.path.join(demo, "disc", "ref"))


def step_star_databases(demo, build):
    # The chart star databases: mag7 in map slot 0 (data/map), mag10 and magx
    # in map slots 1 and 2 (the disc); the guide-star band files in reference
    # slot 2 (the disc).
    run_tool("gen_star_databases.py", "--mag7", os.path.join(demo, "data", "map"),
             "--mag10", os.path.join(demo, "disc", "map"),
             "--magx", os.path.join(demo, "disc", "map"),
             "--gsc", os.path.join(demo, "disc", "ref"))


def step_showers(demo, build):
    # The meteor-shower table in reference slot 0 (data/ref).
    run_tool("gen_showers.py", "--out", os.path.join(demo, "data", "ref"))


def step_deepsky(demo, build):
    # Deep-sky object catalogues in reference slot 0 (data/ref), their cross
    # indexes and designation indexes in slot 1 (the disc).
    if os.path.exists(os.path.join(TOOLS, "gen_deepsky.py")):
        run_tool("gen_deepsky.py", "--ref", os.path.join(demo, "data", "ref"),
                 "--cat", os.path.join(demo, "disc", "ref"))


def step_chart_outlines(demo, build):
    # The chart's outline layers: constellation boundaries (added to the
    # headers of conbound.bin that step_star_catalogue wrote) and figures in
    # reference slot 0, the Milky Way and visible nebula outlines in map
    # slot 0; after step_deepsky, whose neb.bin numbers the nebulae.
    if os.path.exists(os.path.join(TOOLS, "gen_chart_outlines.py")):
        run_tool("gen_chart_outlines.py", "--ref", os.path.join(demo, "data", "ref"),
                 "--map", os.path.join(demo, "data", "map"),
                 "--neb", os.path.join(demo, "data", "ref", "neb.bin"))


def step_chart_deepsky(demo, build):
    # The chart's galaxy files (gal.bin for mag7 charts and the mag10 region
    # files, map slot 1: the disc) and its quasar file (map slot 0), from the
    # galaxy catalogue step_deepsky wrote.
    if os.path.exists(os.path.join(TOOLS, "gen_chart_deepsky.py")):
        run_tool("gen_chart_deepsky.py", "--cat", os.path.join(demo, "disc", "ref"),
                 "--map0", os.path.join(demo, "data", "map"),
                 "--map1", os.path.join(demo, "disc", "map"))


def step_surface_features(demo, build):
    # The named features of Mars and the Moon in reference slot 0 (data/ref).
    run_tool("gen_surface_features.py", "--out", os.path.join(demo, "data", "ref"))


# ---- sample observing logs and the importer's settings ------------------------

FORMAT_SIZE = 331515
SETTINGS_SIZE = 516
NO_COLUMN = -2
TAG_SIZE = 65
TAG_OFFSETS = dict(entry=330540, site=330605, observer=330670, instrument=330735, date=330800,
                   time=330865, target=330930, condition1=330995, condition2=331060,
                   description=331125, extra1=331190, extra2=331255, extra3=331320,
                   extra4=331385, extra5=331450)

# The delimited sample is laid out for the "SkyMap Pro CSV" preset: one header
# line, the columns below (from 0), dates day/month/year with the time.
CSV_COLUMNS = 29
CSV_TARGET, CSV_OBSERVER, CSV_DATE, CSV_SITE, CSV_CONDITIONS, CSV_INSTRUMENT = 0, 7, 8, 10, 14, 16
CSV_EXTRAS = (19, 23, 27)
CSV_NOTES = 28
CSV_HEADER = ["Object", "Type", "RA", "Dec", "Mag", "Size", "Constellation", "Observer",
              "Date", "Time", "Site", "Latitude", "Longitude", "Elevation", "Conditions",
              "Seeing", "Instrument", "Eyepiece", "Filter", "Magnification", "Field",
              "Altitude", "Azimuth", "Rating", "Moon", "Sky", "Limit", "Weather", "Notes"]

# Known to the demo stores: site "Cherry Springs", observer "Demo Observer",
# instruments "Newtonian 8in f/6" and "Binoculars 10x50". Unknown: site
# "Backyard", observer "J. Smith", instrument "Binoculars 15x70". "M31" is
# recognised once a blank is put before its digits; "Andromeda Gxy" and
# "Mystery Blob 7" are not recognised.
CSV_ENTRIES = [
    # target, observer, date, site, conditions, instrument, (extras), notes
    ("M31", "Demo Observer", "20/07/2009 22:30", "Cherry Springs", "Transparent",
     "Newtonian 8in f/6", ("Rating 4", "", "Dark sky"), "Core bright, dust lane hinted."),
    ("M 42", "J. Smith", "21/07/2009 04:10", "Backyard", "Hazy",
     "Binoculars 15x70", ("Rating 5", "", ""), "Wide and bright, wings to the south."),
    ("Andromeda Gxy", "Demo Observer", "22/07/2009 23:05", "Cherry Springs", "Steady",
     "Binoculars 10x50", ("", "", ""), "Long oval glow, \"easy\", naked eye too."),
    ("Mystery Blob 7", "J. Smith", "22/07/2009 23:40", "Backyard", "",
     "Binoculars 15x70", ("", "", ""), "Could not find it again."),
    ("Vega", "Demo Observer", "23/07/2009 21:15", "Cherry Springs", "Windy",
     "Binoculars 10x50", ("", "", ""), "Blue-white."),
]

XML_ENTRIES = [
    # target, site, observer, instrument, date, time, transparency, seeing, rating, text
    ("M13", "Cherry Springs", "Demo Observer", "Newtonian 8in f/6", "8/14/2009", "22:45",
     "Good", "3", "4", "Resolved to the core at 150x."),
    ("NGC7000", "Backyard", "J. Smith", "Binoculars 15x70", "8/15/2009", "23:30",
     "Excellent", "4", "3", "The Gulf of Mexico stands out with a nebula filter."),
    ("Andromeda Gxy", "Backyard", "Demo Observer", "Newtonian 8in f/6", "8/16/2009", "01:15",
     "Fair", "2", "5", "Two companions in the field."),
    ("Stephans Quintet", "Cherry Springs", "J. Smith", "Binoculars 15x70", "8/16/2009", "02:00",
     "Good", "3", "2", "Only two members seen."),
]


def csv_quote(text):
    if any(c in text for c in ',"'):
        return '"' + text.replace('"', '""') + '"'
    return text


def sample_csv():
    lines = [",".join(CSV_HEADER)]
    for target, observer, date, site, conditions, instrument, extras, notes in CSV_ENTRIES:
        fields = [""] * CSV_COLUMNS
        fields[CSV_TARGET], fields[CSV_OBSERVER], fields[CSV_DATE] = target, observer, date
        fields[CSV_SITE], fields[CSV_CONDITIONS] = site, conditions
        fields[CSV_INSTRUMENT], fields[CSV_NOTES] = instrument, notes
        for column, value in zip(CSV_EXTRAS, extras):
            fields[column] = value
        lines.append(",".join(csv_quote(f) for f in fields))
    return "\n".join(lines) + "\n"


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def sample_xml():
    out = ['<?xml version="1.0" encoding="windows-1252"?>', "<DEEPSKY2000>"]
    for target, site, observer, instrument, date, time, transparency, seeing, rating, text in XML_ENTRIES:
        out.append("<LOG>")
        for tag, value in (("ObjectId", target), ("LocationObserved", site), ("Observer", observer),
                           ("EquipmentUsed", instrument), ("DateObserved", date),
                           ("TimeObserved", time), ("Transparency", transparency),
                           ("Seeing", seeing), ("Rating", rating), ("ObservationText", text)):
            out.append("  <%s>%s</%s>" % (tag, xml_text(value), tag))
        out.append("</LOG>")
    out.append("</DEEPSKY2000>")
    return "\n".join(out) + "\n"


def put_text(buf, offset, size, text):
    data = text.encode("ascii")
    assert len(data) < size
    buf[offset:offset + size] = data.ljust(size, b"\0")


def import_format(kind, name, delimiter, comment, skip, layout, columns, tags):
    """One stored import format; the fixed site, observer and instrument
    records stay zero with their flags clear."""
    buf = bytearray(FORMAT_SIZE)
    struct.pack_into("<i", buf, 0, kind)
    put_text(buf, 4, 65, name)
    struct.pack_into("<ccii", buf, 69, delimiter.encode(), comment.encode(), skip, layout)
    c = columns
    struct.pack_into("<iBiBiBiiiiii", buf, 79, c["site"], 0, c["observer"], 0,
                     c["instrument"], 0, c["date"], c["time"], c["target"],
                     c["conditions"][0], c["conditions"][1], c["description"])
    struct.pack_into("<5i", buf, 118, *c["extras"])
    for key, offset in TAG_OFFSETS.items():
        put_text(buf, offset, TAG_SIZE, tags.get(key, ""))
    return bytes(buf)


def csv_preset():
    """The "SkyMap Pro CSV" preset as stored."""
    extras = list(CSV_EXTRAS) + [NO_COLUMN] * (5 - len(CSV_EXTRAS))
    columns = dict(site=CSV_SITE, observer=CSV_OBSERVER, instrument=CSV_INSTRUMENT,
                   date=CSV_DATE, time=NO_COLUMN, target=CSV_TARGET,
                   conditions=(CSV_CONDITIONS, NO_COLUMN), description=CSV_NOTES, extras=extras)
    return import_format(0, "SkyMap Pro CSV", ",", " ", 1, 4, columns, {})


def deepsky_preset():
    """The "DeepSky" preset as stored, with the observer read from the
    element "Observer" (the preset names no observer tag, and an entry
    needs an observer)."""
    columns = dict(site=NO_COLUMN, observer=NO_COLUMN, instrument=NO_COLUMN, date=NO_COLUMN,
                   time=NO_COLUMN, target=NO_COLUMN, conditions=(NO_COLUMN, NO_COLUMN),
                   description=NO_COLUMN, extras=[NO_COLUMN] * 5)
    tags = dict(entry="LOG", site="LocationObserved", observer="Observer",
                instrument="EquipmentUsed", date="DateObserved", time="TimeObserved",
                target="ObjectId", condition1="Transparency", condition2="Seeing",
                description="ObservationText", extra1="OtherEquipment",
                extra2="ShortDescription", extra3="Rating")
    return import_format(1, "DeepSky", ",", "\0", 0, 3, columns, tags)


def format_file(import_path, selected, formats):
    """gleaner.cfg: int32 count, the 516-byte settings (import path, 512
    bytes; selected format, int32), then the formats."""
    path = import_path.encode("ascii")
    if len(path) > 254:  # the program keeps at most 254 characters
        path = b""
    settings = path.ljust(512, b"\0") + struct.pack("<i", selected)
    assert len(settings) == SETTINGS_SIZE
    return struct.pack("<i", len(formats)) + settings + b"".join(formats)


def step_sample_logs(demo, build):
    # The two sample logs, written with Windows line ends as the programs
    # that keep such logs write them; the importer's settings point at the
    # delimited one with its format selected, so the wizard opens ready to
    # import it. The importer's links and the log store start empty.
    logs = os.path.join(demo, "logs")
    os.makedirs(logs, exist_ok=True)
    csv_path = os.path.join(logs, "skymap-log.csv")
    with open(csv_path, "w", newline="\r\n") as f:
        f.write(sample_csv())
    with open(os.path.join(logs, "deepsky-log.xml"), "w", newline="\r\n") as f:
        f.write(sample_xml())
    # The format file is kept beside the samples as well, so that a test that
    # starts from a copy of the user folder can begin from it whatever an
    # earlier test made of the user folder's own.
    user = os.path.join(demo, "user")
    settings = format_file(windows_path(csv_path), 0, [csv_preset(), deepsky_preset()])
    for folder in (logs, user):
        with open(os.path.join(folder, "gleaner.cfg"), "wb") as f:
            f.write(settings)
    for name in ("gleaner_des_links.dat", "gleaner_links.dat", "loc_links.bin",
                 "observer_links.bin", "inst_links.bin", "gleaner.bin"):
        if os.path.exists(os.path.join(user, name)):
            os.remove(os.path.join(user, name))
    shutil.rmtree(os.path.join(user, "log"), ignore_errors=True)


STEPS = [step_folders, step_program, step_class_pictures, step_toolkit_pictures,
         step_nutation, step_star_catalogue, step_star_databases,
         step_ephemeris, step_satellite_tables, step_minor_bodies,
         step_instruments,
         step_sites, step_places,
         step_deepsky,
         step_chart_outlines,
         step_chart_deepsky,
         step_showers,
         step_surface_features,
         step_sample_logs]


def windows_path(path):
    """The Wine view of a Unix path: drive Z: is the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def write_registry(prefix, demo, drive):
    env = dict(os.environ, WINEPREFIX=prefix)
    wine_run = os.path.join(TOOLS, "wine_run.sh")
    env["GLEANER_WINEPREFIX"] = prefix
    key = r"HKCU\SOFTWARE\Tarnwick\Nightjar\3"
    for name, sub in (("DataPath", "data"), ("UserPath", "user"), ("InstallPath", "install")):
        subprocess.check_call([wine_run, "reg", "add", key, "/v", name, "/t", "REG_SZ",
                               "/d", windows_path(os.path.join(demo, sub)), "/f"],
                              env=env, stdout=subprocess.DEVNULL)
    link = os.path.join(prefix, "dosdevices", drive.lower() + ":")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.path.abspath(os.path.join(demo, "disc")), link)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--wineprefix")
    ap.add_argument("--drive", default="N")
    ap.add_argument("--steps", help="comma-separated step names (default: all)")
    args = ap.parse_args()
    build = os.path.abspath(args.build)
    demo = os.path.join(build, "demo")
    steps = STEPS
    if args.steps:
        by_name = {step.__name__[len("step_"):]: step for step in STEPS}
        wanted = args.steps.split(",")
        unknown = [name for name in wanted if name not in by_name]
        if unknown:
            ap.error("unknown steps: " + ", ".join(unknown))
        steps = [step for step in STEPS if step.__name__[len("step_"):] in wanted]
    for step in steps:
        step(demo, build)
    if args.wineprefix:
        write_registry(os.path.abspath(args.wineprefix), demo, args.drive)
    print(demo)


if __name__ == "__main__":
    main()
