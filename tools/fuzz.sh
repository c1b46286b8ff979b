#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer + UBSan)
# and runs one of them, or each in turn, for a number of seconds.
#
#   tools/fuzz.sh <target|all> <seconds> [libFuzzer options...]
#   tools/fuzz.sh build                 (build only)
#
# <target> is the name of fuzz/<target>_fuzz.cpp (formatfile, delimited,
# xmlreader, delimitedpass, xmlpass, sitestores, instrumentstore, logstore,
# tables, packagefiles, stardb, starreader, catalogues, places, chartstore,
# eventfiles, tle, listtransfer, logexchange, horizon, nmea: one per
# fuzz/*_fuzz.cpp). Seeds come from fuzz/corpus/<target>/
# and the inputs of faults found before from fuzz/crashes/<target>/ (both
# read only, replayed first); the inputs found on the way go to
# build/fuzz-clang/corpus/<target>/ and crashing inputs to
# build/fuzz-clang/artifacts/<target>/. Options after <seconds> go to
# libFuzzer. The targets that run the import passes recognise designations in
# the catalogues of a demo installation made in the build folder
# (tools/make_demo.py). Exits non-zero when a target finds a fault.
#
# Environment: FUZZ_BUILD build folder; FUZZ_JOBS build jobs (3);
# FUZZ_PARALLEL targets fuzzed at once (1); GLEANER_FUZZ_VERBOSE=1
# prints each pass's result, message and rows (to replay one input:
# build/fuzz-clang/<target>_fuzz FILE). Needs clang and libclang-rt-14-dev.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD:-$top/build/fuzz-clang}
jobs=${FUZZ_JOBS:-3}

usage() { echo "usage: $0 <target|all|build> [seconds] [libFuzzer options...]" >&2; exit 2; }
[ $# -ge 1 ] || usage
what=$1
shift
seconds=${1:-60}
[ $# -ge 1 ] && shift

command -v "${FUZZ_CXX:-clang++}" >/dev/null ||
  { echo "fuzz.sh: ${FUZZ_CXX:-clang++} not found (Debian: clang libclang-rt-14-dev)" >&2; exit 1; }
mkdir -p "$build"
# One build at a time in the folder: several runs may start together.
exec 9>"$build/.build.lock"
flock 9
if [ ! -f "$build/build.ninja" ]; then
  CC=${FUZZ_CC:-clang} CXX=${FUZZ_CXX:-clang++} \
    cmake -S "$top/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None >/dev/null || exit 1
fi
if [ "$what" = all ] || [ "$what" = build ]; then
  targets=$(cd "$top/fuzz" && ls *_fuzz.cpp | sed 's/_fuzz\.cpp$//')
else
  [ -f "$top/fuzz/${what}_fuzz.cpp" ] || { echo "fuzz.sh: no target $what" >&2; usage; }
  targets=$what
fi
build_targets=$(for t in $targets; do echo "${t}_fuzz"; done)
# shellcheck disable=SC2086
ninja -C "$build" -j "$jobs" $build_targets >/dev/null ||
  { ninja -C "$build" -j 1 $build_targets | grep -B2 -A12 -m3 'error' | head -60; exit 1; }
[ "$what" = build ] && exit 0
flock -u 9

if [ ! -d "$build/demo/data/ref" ]; then
  python3 "$top/tools/make_demo.py" --build "$build" >/dev/null 2>&1 ||
    echo "fuzz.sh: no demo installation; designations stay unrecognised" >&2
fi
[ -d "$build/demo/data/ref" ] && export GLEANER_FUZZ_DEMO="$build/demo"

# Longest input of each target (see the layout at the top of each file).
max_len() {
  case $1 in
    formatfile) echo 6000 ;;
    *) echo 8192 ;;
  esac
}

# One target's run: its summary line (and the fault's report) goes to
# $build/<target>.summary, its status to $build/<target>.status.
run_target() {
  local t=$1
  shift
  local corpus="$build/corpus/$t" artifacts="$build/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  local seeds=() dict=()
  [ -d "$top/fuzz/corpus/$t" ] && seeds+=("$top/fuzz/corpus/$t")
  [ -d "$top/fuzz/crashes/$t" ] && seeds+=("$top/fuzz/crashes/$t")
  [ -f "$top/fuzz/$t.dict" ] && dict=(-dict="$top/fuzz/$t.dict")
  local log="$build/$t.log" summary="$build/$t.summary"
  local start rc runs
  start=$(date +%s)
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    "$build/${t}_fuzz" "$corpus" "${seeds[@]}" "${dict[@]}" \
      -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=20 -rss_limit_mb=3072 \
      -artifact_prefix="$artifacts/" -print_final_stats=1 "$@" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'Done [0-9]* runs' "$log" | grep -o '[0-9]*' | tail -1)
  echo "fuzz $t: exit $rc, ${runs:-?} runs in $(( $(date +%s) - start )) s (log $log)" > "$summary"
  [ $rc -ne 0 ] &&
    grep -m1 -A30 'ERROR\|runtime error\|check failed\|unterminated' "$log" | head -40 >> "$summary"
  echo "$rc" > "$build/$t.status"
}

# FUZZ_PARALLEL targets run at once (default 1), each single-threaded for
# its full time: on a machine with that many cores each gets as many runs as
# alone. The summaries are printed in the targets' order.
parallel=${FUZZ_PARALLEL:-1}
for t in $targets; do
  rm -f "$build/$t.summary" "$build/$t.status"
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n; done
  run_target "$t" "$@" &
done
wait
status=0
for t in $targets; do
  cat "$build/$t.summary" 2>/dev/null || echo "fuzz $t: no result"
  [ "$(cat "$build/$t.status" 2>/dev/null)" = 0 ] || status=1
done
exit $status
