#!/usr/bin/env python3
"""Lays out a demo installation of the suite in BUILD/demo, for running
gleaner.exe and for the tests:

  install/   gleaner.exe, Gleaner.chm and the pictures under bin/
  data/      the suite's data folder: nightjar.ini and the ref, map, ss folders
  disc/      a data disc: nightjar3.id and its own ref, map, ss folders
  user/      the user data folder

The default nightjar.ini names folders both in the data folder ("$") and on
the data disc ("#"): the disc folder is mapped to a drive letter by whoever
runs the program (--wineprefix here, or the GUI tests themselves).

Each data generator is one step in STEPS; a later generator is added there.
With --wineprefix PREFIX the registry values of the suite are written into
that Wine prefix and the data disc is mapped as drive --drive (default N).

usage: make_demo.py --build BUILD [--wineprefix PREFIX [--drive N]]
"""
import argparse
import os
import shutil
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


def step_instruments(demo, build):
    if os.path.exists(os.path.join(TOOLS, "gen_demo_instruments.py")):
        run_tool("gen_demo_instruments.py", "--user", os.path.join(demo, "user"))


def step_sites(demo, build):
    if os.path.exists(os.path.join(TOOLS, "gen_demo_sites.py")):
        run_tool("gen_demo_sites.py", "--user", os.path.join(demo, "user"))


def step_star_catalogue(demo, build):
    # Constellation files and the alphabetical star names in reference slot 0
    # (data/ref), the star catalogue and its indexes in slot 1 (the disc).
    if os.path.exists(os.path.join(TOOLS, "gen_star_catalogue.py")):
        run_tool("gen_star_catalogue.py", "--ref", os.path.join(demo, "data", "ref"),
                 "--stars", os.path.join(demo, "disc", "ref"))


def step_deepsky(demo, build):
    # Deep-sky object catalogues in reference slot 0 (data/ref), their cross
    # indexes and designation indexes in slot 1 (the disc).
    if os.path.exists(os.path.join(TOOLS, "gen_deepsky.py")):
        run_tool("gen_deepsky.py", "--ref", os.path.join(demo, "data", "ref"),
                 "--cat", os.path.join(demo, "disc", "ref"))


STEPS = [step_folders, step_program, step_class_pictures, step_toolkit_pictures,
         step_nutation, step_star_catalogue,
         step_ephemeris,
         step_instruments,
         step_sites,
         step_deepsky]


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
    args = ap.parse_args()
    build = os.path.abspath(args.build)
    demo = os.path.join(build, "demo")
    for step in STEPS:
        step(demo, build)
    if args.wineprefix:
        write_registry(os.path.abspath(args.wineprefix), demo, args.drive)
    print(demo)


if __name__ == "__main__":
    main()
