#!/usr/bin/env bash
# Builds the benchmark programs (every bench/*.cpp) in the optimised build
# (build/release: Release, no sanitizers, the project's warning flags; only
# the bench targets and the library they link) and runs each with --short:
# the quick run that prints its figures beside their tolerances or peers and
# exits nonzero on a wrong result only (a figure beyond its tolerance, a
# missing section), never on a time. The packaged ephemeris tables are
# generated once here for all of them (GLEANER_BENCH_TABLES), and so is a
# demo installation (GLEANER_BENCH_DEMO).
#
# Each bench is one case of a JUnit report, REPORTS/benches.xml (REPORTS:
# the first argument, default build/release/test-reports), so that the test
# command counts it; its output is kept in build/release/bench-logs. Ends
# with a line per bench and exits 1 when any failed to build or run.
#
# usage: tools/run_benches.sh [REPORTS]
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
build=build/release
reports=${1:-$build/test-reports}
jobs=${BENCH_JOBS:-$(nproc)}
logs=$build/bench-logs

benches=()
for source in bench/*.cpp; do
  benches+=("$(basename "$source" .cpp)")
done
mkdir -p "$reports" "$logs"
rm -f "$reports/benches.xml" "$logs"/*.txt "$logs"/*.result

# One JUnit case per bench: name, failure text or "" (from $logs/NAME.result).
write_report() {
  python3 - "$reports/benches.xml" "$logs" "${benches[@]}" <<'EOF'
import os
import sys
sys.path.insert(0, os.path.join(os.getcwd(), "tools"))
from junitreport import write_junit
path, logs, names = sys.argv[1], sys.argv[2], sys.argv[3:]
cases = []
for name in names:
    result = os.path.join(logs, name + ".result")
    text = open(result).read().strip() if os.path.exists(result) else "not run"
    cases.append(("bench " + name, None if text == "ok" else text))
write_junit(path, "benches", cases)
EOF
}

if ! cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLEANER_SANITIZE=OFF >/dev/null ||
   ! ninja -C "$build" -j "$jobs" "${benches[@]}" > "$logs/build.txt" 2>&1; then
  tail -40 "$logs/build.txt" 2>/dev/null
  for name in "${benches[@]}"; do
    [ -x "$build/$name" ] || echo "the optimised build failed (see $logs/build.txt)" > "$logs/$name.result"
  done
fi

tables=$(mktemp -d /tmp/gleaner_bench_tables_XXXXXX)
trap 'rm -rf "$tables"' EXIT
if python3 tools/gen_ephemeris_tables.py --out "$tables" >/dev/null 2>&1 &&
   python3 tools/gen_nutcon.py --out "$tables" >/dev/null 2>&1; then
  export GLEANER_BENCH_TABLES=$tables
fi
# One demo installation (data, data disc and user folders) for the benches
# that recognise or import over it.
if python3 tools/make_demo.py --build "$tables" >/dev/null 2>&1; then
  export GLEANER_BENCH_DEMO=$tables/demo
fi

status=0
for name in "${benches[@]}"; do
  if [ -e "$logs/$name.result" ]; then  # not built
    status=1
    echo "bench $name: not built"
    continue
  fi
  start=$(date +%s)
  if "$build/$name" --short > "$logs/$name.txt" 2>&1 < /dev/null; then
    echo ok > "$logs/$name.result"
    verdict=passed
  else
    { echo "exit status $? (output in $logs/$name.txt):"; tail -30 "$logs/$name.txt"; } > "$logs/$name.result"
    verdict=FAILED
    status=1
  fi
  echo "bench $name: $verdict in $(( $(date +%s) - start )) s"
done
write_report
exit $status
