#!/usr/bin/env bash
# Builds everything and runs every test: the native tests (with
# AddressSanitizer and UBSan), then the Windows unit and GUI tests under Wine
# (in an Xvfb display when there is none). Ends with the line
# "N passed, N failed" over all test cases.
#
# The Windows tests run in the 32-bit build, the program's own. A machine whose
# kernel cannot execute 32-bit programs cannot run 32-bit Wine: there the
# 32-bit build is still built in full, and the tests run in the 64-bit build.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash tools/install_deps.sh || exit 1
jobs=$(nproc)
# The time of each phase, printed with the results (for planning the run
# within CI's limit on a machine of few cores).
phase_times=()
phase_start=$SECONDS
phase_done() {
  phase_times+=("$(printf '%-28s %5d s' "$1" $((SECONDS - phase_start)))")
  phase_start=$SECONDS
}

configure_and_build() {  # folder toolchain-or-"" [targets...]
  local dir=$1 toolchain=$2
  shift 2
  local args=(-S . -B "$dir" -G Ninja)
  [ -n "$toolchain" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/$toolchain")
  cmake "${args[@]}" >/dev/null && ninja -C "$dir" -j "$jobs" "$@"
}

configure_and_build build/native "" || exit 1
phase_done "native build"
wintests=build/windows
if tools/can_run_32bit.sh; then
  configure_and_build build/windows mingw-i686.cmake || exit 1
  phase_done "windows build"
else
  # The program itself is always built for 32-bit Windows; its tests then run
  # in the 64-bit build.
  echo "This machine cannot execute 32-bit programs: the Windows tests run in the 64-bit build."
  configure_and_build build/windows mingw-i686.cmake gleaner || exit 1
  phase_done "windows 32-bit program build"
  configure_and_build build/windows64 mingw-x86_64.cmake || exit 1
  phase_done "windows 64-bit build"
  wintests=build/windows64
fi

source tools/xdisplay.sh
# Reports of an earlier run must not be counted again (nor those that older
# builds left in a copy of their Linux path below the build folder).
rm -rf "$wintests"/work
rm -f build/native/test-reports/*.xml "$wintests"/test-reports/*.xml \
      build/native/Testing/Temporary/LastTestsFailed*.log \
      "$wintests"/Testing/Temporary/LastTestsFailed*.log

status=0
(cd build/native && ctest --output-on-failure -j "$jobs") || status=1
phase_done "native tests"
# The benchmark programs, built optimised, each in its quick run (a figure
# beyond its tolerance fails it, never a time); counted with the native
# build's reports.
bash tools/run_benches.sh build/native/test-reports || status=1
phase_done "benches (build and run)"
# The GUI tests drive the program from another process and capture its
# windows from the screen, so they run alone, after the others.
(cd "$wintests" && ctest --output-on-failure -j "$jobs" --timeout 600 -LE gui) || status=1
phase_done "windows unit tests"
# They reuse the demo installation the run above laid out (-FS: its set-up
# test is not run again).
(cd "$wintests" && ctest --output-on-failure --timeout 600 -L gui -FS demo) || status=1
phase_done "windows GUI tests"
# A short run of every fuzz target over its seeds and the inputs of the
# faults found before (the long runs are made by hand: tools/fuzz.sh).
# The targets run side by side, one a core, each for its full time.
FUZZ_JOBS=$jobs FUZZ_PARALLEL=$jobs bash tools/fuzz.sh all 6 || status=1
phase_done "fuzz (build and run)"

shots="$wintests/screenshots"
# A few charts that the chart rendering tool draws from the demo data
# (Orion, the Pleiades with Jupiter nearby and its track, Jupiter and its
# satellites close up, the north polar cap, the whole sky), kept with the
# screenshots for looking at; Jupiter and its satellites are checked against
# PyEphem on the way.
python3 tools/render_charts.py --build build/native --data "$wintests/demo/data" \
  --out "$shots/charts" >/dev/null || status=1
if ls "$shots"/*.bmp >/dev/null 2>&1; then
  for f in "$shots"/*.bmp; do convert "$f" "${f%.bmp}.png" 2>/dev/null && rm -f "$f"; done
fi
phase_done "charts"
echo "Screenshots kept in $shots:"
ls "$shots" 2>/dev/null | sed 's/^/  /'
echo "Time of each phase ($jobs cores):"
printf '  %s\n' "${phase_times[@]}"
python3 tools/count_results.py build/native "$wintests" || status=1
exit $status
