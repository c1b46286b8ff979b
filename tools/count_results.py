#!/usr/bin/env python3
"""Counts the test cases of the JUnit reports that the test programs wrote
(BUILD/test-reports/*.xml), per build and over all builds, and ends with the
line "N passed, N failed".

Every test CTest knows in a build (`ctest -N`) that is a test program of the
project (a name ending in _tests or _guitest, or the floor and resource-id
checks) must have left its report: a program that ran and left none (a crash
before the report was written, or a report written somewhere else) counts as
one failed case and is named, so that a missing report can never pass
silently. Exit status 1 when anything failed.

usage: count_results.py BUILD [BUILD ...]
"""
import glob
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET


def reporting_tests(build):
    """Names of the tests of a build that must leave a report."""
    try:
        out = subprocess.run(["ctest", "-N"], cwd=build, capture_output=True, text=True,
                             check=False).stdout
    except OSError:
        return None
    names = re.findall(r"Test\s+#\d+:\s+(\S+)", out)
    return [n for n in names if n.endswith("_tests") or n.endswith("_guitest") or n in ("floors", "rcids")]


def count_build(build):
    passed = failed = 0
    reported = set()
    for path in sorted(glob.glob(os.path.join(build, "test-reports", "*.xml"))):
        name = os.path.splitext(os.path.basename(path))[0]
        reported.add(name)
        try:
            root = ET.parse(path).getroot()
        except ET.ParseError:
            print("  %s: report %s cannot be read" % (build, path))
            failed += 1
            continue
        for case in root.iter("testcase"):
            if case.get("status") == "notrun" or case.find("skipped") is not None:
                continue
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1
            else:
                passed += 1
    expected = reporting_tests(build)
    if expected is None:
        print("  %s: ctest cannot list the tests" % build)
        failed += 1
    else:
        for name in expected:
            if name not in reported:
                print("  %s: %s left no report (counted as one failed case)" % (build, name))
                failed += 1
    return passed, failed


def main():
    total_passed = total_failed = 0
    for build in sys.argv[1:]:
        passed, failed = count_build(build)
        print("%s: %d passed, %d failed" % (build, passed, failed))
        total_passed += passed
        total_failed += failed
    print("%d passed, %d failed" % (total_passed, total_failed))
    return 1 if total_failed else 0


if __name__ == "__main__":
    sys.exit(main())
