#!/usr/bin/env python3
"""Checks every project include against the floor plan of ARCHITECTURE.md.

A folder may include its own headers and those of the folders listed before
it in the plan's table (lower floors). resources/ may be included by anyone;
testutil/ only by tests, benchmarks and fuzz targets; a test may also include
the test fixtures of its own folder or of a folder below. bench/, fuzz/ and
tools/ stand on top. Prints one line per include that goes upward or sideways
and exits 1 when there is any.

    check_floors.py [tree]       check the tree (default: this repository)
    check_floors.py --self-test  check the rules on a table of cases
    --junit FILE                 also write the two checks as a JUnit report
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from junitreport import write_junit  # noqa: E402

INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/([^"]+)"')
ANYONE = {"resources"}
TOP = {"bench", "fuzz", "tools"}
SOURCE_ENDINGS = (".cpp", ".h", ".rc")


def read_floors(root):
    """Folders of the plan's table, lowest first."""
    floors = []
    with open(os.path.join(root, "ARCHITECTURE.md"), encoding="utf-8") as f:
        for line in f:
            m = re.match(r"^\|\s*\d+\s*\|\s*`([a-z0-9_]+)/`", line)
            if m:
                floors.append(m.group(1))
    if not floors:
        raise SystemExit("check_floors: no floor table in ARCHITECTURE.md")
    return floors


def verdict(floors, from_path, target_folder, target_rest):
    """None when the include is allowed, else the reason."""
    parts = from_path.split("/")
    folder = parts[0]
    in_tests = len(parts) > 2 and parts[1] == "tests"
    rank = {name: i for i, name in enumerate(floors)}
    if target_folder in ANYONE:
        return None
    if folder in TOP:
        return None
    if target_folder == "testutil":
        return None if (in_tests or folder == "testutil") else "testutil is for tests only"
    if folder == "testutil":
        # The shared test helpers may lean on any floor, as the tests do.
        return None if target_folder in rank else "unknown folder " + target_folder
    if folder not in rank:
        return None  # not a floor of the plan (e.g. cmake/)
    if target_folder not in rank:
        return "unknown folder " + target_folder
    if target_rest.startswith("tests/") and not in_tests:
        return "test fixtures are for tests only"
    if target_folder == folder:
        return None
    if rank[target_folder] < rank[folder]:
        return None
    return "%s is on floor %d, above or beside %s (floor %d)" % (
        target_folder, rank[target_folder], folder, rank[folder])


def scan(root):
    floors = read_floors(root)
    faults = []
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root)
        top = rel_dir.split(os.sep)[0]
        if top in ("build", ".git") or top.startswith("build"):
            dirnames[:] = []
            continue
        dirnames.sort()
        for name in sorted(filenames):
            if not name.endswith(SOURCE_ENDINGS):
                continue
            rel = os.path.normpath(os.path.join(rel_dir, name)).replace(os.sep, "/")
            if "/" not in rel:
                continue
            with open(os.path.join(dirpath, name), encoding="latin-1") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    why = verdict(floors, rel, m.group(1), m.group(2))
                    if why:
                        faults.append("%s:%d: includes %s/%s: %s" % (
                            rel, number, m.group(1), m.group(2), why))
    return floors, faults


def self_test():
    floors = ["core", "astro", "ephem", "objects", "app"]
    cases = [
        ("astro/frames.cpp", "core", "mathutil.h", True),
        ("astro/frames.cpp", "astro", "frames.h", True),
        ("astro/frames.cpp", "ephem", "moon.h", False),       # upward
        ("ephem/moon.cpp", "objects", "recognize.h", False),  # upward
        ("core/paths.cpp", "app", "host.h", False),           # upward from the ground
        ("objects/a.cpp", "resources", "ids.h", True),
        ("objects/a.cpp", "testutil", "testutil.h", False),
        ("objects/tests/a_test.cpp", "testutil", "testutil.h", True),
        ("objects/tests/a_test.cpp", "ephem", "tests/fixture.h", True),
        ("ephem/tests/a_test.cpp", "objects", "tests/fixture.h", False),
        ("objects/a.cpp", "ephem", "tests/fixture.h", False),
        ("bench/b.cpp", "app", "x.h", True),
        ("objects/a.cpp", "nowhere", "x.h", False),
    ]
    bad = 0
    for path, folder, rest, allowed in cases:
        got = verdict(floors, path, folder, rest) is None
        if got != allowed:
            bad += 1
            print("self-test: %s including %s/%s: expected %s" % (
                path, folder, rest, "allowed" if allowed else "refused"))
    print("self-test: %d of %d cases right" % (len(cases) - bad, len(cases)))
    return 1 if bad else 0


def main(argv):
    args = argv[1:]
    junit = None
    if "--junit" in args:
        i = args.index("--junit")
        junit = args[i + 1]
        del args[i:i + 2]
    if args and args[0] == "--self-test":
        return self_test()
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    floors, faults = scan(root)
    for line in faults:
        print(line)
    if junit:
        rules_ok = self_test() == 0
        write_junit(junit, "Floors", [("RulesOnATableOfCases", None if rules_ok else "self-test failed"),
                            ("EveryIncludeKeepsThePlan", "\n".join(faults) or None)])
        if not rules_ok:
            return 1
    if faults:
        print("check_floors: %d include(s) break the floor plan" % len(faults))
        return 1
    print("check_floors: every include keeps the floor plan (%d floors)" % len(floors))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
