#!/usr/bin/env bash
# Runs the GPS dialog's serial tests under Wine against real serial devices:
# two socat pseudo-terminal pairs mapped to COM ports of the Wine prefix
# (dosdevices/comN), one fed with recorded NMEA sentences by
# tools/nmea_feeder.py, one left silent.
# usage: gps_serial_test.sh path/to/dialogs_tests.exe [gtest args...]
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=$1
shift
fed_com=9
silent_com=8
command -v socat >/dev/null || { echo "gps_serial_test: socat is not installed"; exit 1; }

if "$top/tools/can_run_32bit.sh"; then
  prefix=${GLEANER_WINEPREFIX:-$top/build/wineprefix}
else
  prefix=${GLEANER_WINEPREFIX:-$top/build/wineprefix64}
fi
# Make sure the prefix exists (wine_run.sh creates it on first use).
[ -d "$prefix/dosdevices" ] || "$top/tools/wine_run.sh" "$exe" --gtest_list_tests >/dev/null 2>&1
[ -d "$prefix/dosdevices" ] || { echo "gps_serial_test: no Wine prefix at $prefix"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -f "$prefix/dosdevices/com$fed_com" "$prefix/dosdevices/com$silent_com"
  rm -rf "$work"
}
trap cleanup EXIT

socat pty,raw,echo=0,link="$work/fed" pty,raw,echo=0,link="$work/feed" & pids+=($!)
socat pty,raw,echo=0,link="$work/silent" pty,raw,echo=0,link="$work/mute" & pids+=($!)
for _ in $(seq 100); do
  [ -e "$work/fed" ] && [ -e "$work/feed" ] && [ -e "$work/silent" ] && [ -e "$work/mute" ] && break
  sleep 0.1
done
[ -e "$work/fed" ] && [ -e "$work/silent" ] || { echo "gps_serial_test: socat made no devices"; exit 1; }
ln -sfn "$(readlink -f "$work/fed")" "$prefix/dosdevices/com$fed_com"
ln -sfn "$(readlink -f "$work/silent")" "$prefix/dosdevices/com$silent_com"

python3 "$top/tools/nmea_feeder.py" "$work/feed" "$top/dialogs/tests/data/gps_recording.nmea" \
  --seconds 240 & pids+=($!)

GLEANER_GPS_COM=$fed_com GLEANER_GPS_SILENT_COM=$silent_com \
  "$top/tools/wine_run.sh" "$exe" --gtest_filter='GpsDialog.*' "$@"
