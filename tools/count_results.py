#!/usr/bin/env python3
"""Counts the test cases of the JUnit reports that the test programs wrote
(BUILD/test-reports/*.xml) and prints "N passed, N failed". A test program
that CTest ran and that failed without a report (a crash before the report
was written) counts as one failed case. Exit status 1 when anything failed.

usage: count_results.py BUILD [BUILD ...]
"""
import glob
import os
import sys
import xml.etree.ElementTree as ET


def main():
    passed = failed = 0
    for build in sys.argv[1:]:
        reported = set()
        for path in glob.glob(os.path.join(build, "test-reports", "*.xml")):
            reported.add(os.path.splitext(os.path.basename(path))[0])
            try:
                root = ET.parse(path).getroot()
            except ET.ParseError:
                failed += 1
                continue
            for case in root.iter("testcase"):
                if case.get("status") == "notrun" or case.find("skipped") is not None:
                    continue
                if case.find("failure") is not None or case.find("error") is not None:
                    failed += 1
                else:
                    passed += 1
        log = os.path.join(build, "Testing", "Temporary", "LastTestsFailed.log")
        if os.path.exists(log):
            for line in open(log):
                name = line.strip().split(":", 1)[-1]
                if name and name not in reported:
                    failed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
