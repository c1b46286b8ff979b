#!/usr/bin/env bash
# Prints the failure table of the store operations: each store test that goes
# through the I/O failure seam (testutil/failurepoints.h) runs with every
# file step failed in turn, and each run leaves a row: the operation, the
# failed step, whether the data read back whole, whether the failure was
# reported. Prints one line per operation (its steps, and how many runs kept
# the data and reported the failure), then, with --all, every row.
#
#   tools/failure_table.sh [BUILD_FOLDER] [--all]     (default build/native)
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$top/build/native}
[ "${1:-}" = --all ] && build=$top/build/native
all=0
for a in "$@"; do [ "$a" = --all ] && all=1; done
table=$(mktemp)
export GLEANER_FAILURE_TABLE=$table GLEANER_SOURCE_DIR=$top GLEANER_BUILD_DIR=$build
run() {  # program filter
  "$build/$1" --gtest_filter="$2" >/dev/null 2>&1 || echo "failure_table: $1 $2 had failing tests" >&2
}
run core_tests '*FailurePoint*'
run sites_tests 'StoreFailure.*Operations*'
run instruments_tests 'InstrumentStoreFailure.Every*'
run logstore_tests 'AddLogEntry.EveryFailurePoint*'
run app_tests 'FormatFile.WritesThroughEveryFailurePoint:NameLinks.*FailurePoint*'
python3 - "$table" "$all" <<'PY'
import sys, collections
rows = [l.rstrip("\n").split("\t") for l in open(sys.argv[1]) if l.strip()]
ops = collections.OrderedDict()
for op, step, kind, intact, reported in rows:
    ops.setdefault(op, []).append((int(step), kind, intact, reported))
print("| operation | failure steps (kind of each) | data intact | error reported |")
print("|---|---|---|---|")
for op, runs in ops.items():
    kinds = collections.Counter(k for _, k, _, _ in runs)
    steps = ", ".join(f"{k} x{n}" for k, n in kinds.items())
    intact = sum(1 for r in runs if r[2] == "yes")
    reported = sum(1 for r in runs if r[3] == "yes")
    print(f"| {op} | 1-{len(runs)}: {steps} | {intact}/{len(runs)} | {reported}/{len(runs)} |")
if sys.argv[2] == "1":
    print()
    print("| operation | failed step | data intact | error reported |")
    print("|---|---|---|---|")
    for op, step, kind, intact, reported in rows:
        print(f"| {op} | {step} ({kind}) | {intact} | {reported} |")
PY
rm -f "$table"
