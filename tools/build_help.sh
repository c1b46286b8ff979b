#!/usr/bin/env bash
# Builds the help file "Gleaner.chm" in the given build folder where the build
# has a help target (it has one where chmcmd was found at configure time).
# The target list is read whole before it is searched: a reader that stops at
# the first match would close the pipe under ninja, and under pipefail the
# SIGPIPE ninja dies of would read as "no help target".
set -euo pipefail
build=${1:?usage: build_help.sh BUILD_FOLDER}
targets=$(ninja -C "$build" -t targets all)
if grep -q '^gleaner_help:' <<<"$targets"; then
  ninja -C "$build" gleaner_help >/dev/null
  echo "Help file: $build/Gleaner.chm"
else
  echo "No help compiler (chmcmd) was found for $build: the program runs without its help file." >&2
fi
