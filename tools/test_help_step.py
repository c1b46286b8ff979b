#!/usr/bin/env python3
"""Runs the demo script's help step (tools/build_help.sh) twenty times and
checks that it builds the help file every time.

The step runs on a scratch ninja folder shaped like the program's build: a
gleaner_help target that compiles resources/help with chmcmd into
Gleaner.chm, listed first among some thousands of other targets, so that the
target list is far larger than a pipe holds and any reader that stops early
would kill ninja with SIGPIPE. The help file is removed before each run.

usage: test_help_step.py [--junit FILE]
"""
import os
import shutil
import subprocess
import sys
import tempfile

TOOLS = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(TOOLS)
sys.path.insert(0, TOOLS)
from junitreport import write_junit  # noqa: E402

RUNS = 20
OTHER_TARGETS = 4000


def write_build(folder):
    help_src = os.path.join(SOURCE, "resources", "help")
    lines = [
        "rule help",
        "  command = rm -rf help && cp -r %s help && cd help && chmcmd --no-html-scan gleaner.hhp"
        " >/dev/null && cp Gleaner.chm ../Gleaner.chm" % help_src,
        "rule touch",
        "  command = touch $out",
        "build Gleaner.chm: help",
        "build gleaner_help: phony Gleaner.chm",
    ]
    for i in range(OTHER_TARGETS):
        lines.append("build objects/some_long_object_file_name_%05d.obj: touch" % i)
    with open(os.path.join(folder, "build.ninja"), "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    junit = sys.argv[sys.argv.index("--junit") + 1] if "--junit" in sys.argv else None
    cases = []
    if not shutil.which("chmcmd") or not shutil.which("ninja"):
        print("chmcmd or ninja is missing: the help step cannot be run")
        cases.append(("help_step_tools", "chmcmd or ninja is missing"))
    else:
        with tempfile.TemporaryDirectory() as folder:
            write_build(folder)
            chm = os.path.join(folder, "Gleaner.chm")
            for run in range(1, RUNS + 1):
                if os.path.exists(chm):
                    os.remove(chm)
                p = subprocess.run(["bash", os.path.join(TOOLS, "build_help.sh"), folder],
                                   capture_output=True, text=True)
                fault = None
                if p.returncode != 0:
                    fault = "exit %d: %s" % (p.returncode, p.stderr.strip())
                elif not os.path.exists(chm):
                    fault = "no help file after the step: %s %s" % (p.stdout.strip(), p.stderr.strip())
                else:
                    with open(chm, "rb") as f:
                        if f.read(4) != b"ITSF":
                            fault = "the help file is no compiled help file"
                cases.append(("help_step_run_%02d" % run, fault))
    failed = [c for c in cases if c[1]]
    for name, text in failed:
        print("%s: %s" % (name, text))
    print("%d of %d runs built the help file" % (len(cases) - len(failed), len(cases)))
    if junit:
        write_junit(junit, "help_step", cases)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
