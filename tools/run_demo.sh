#!/usr/bin/env bash
# Sets everything up on a Debian 12 machine, builds gleaner.exe, lays out the
# demo installation of the suite (with its own Wine prefix, registry values
# and data disc drive N:) and starts the program under Wine. Without an X
# display it runs under Xvfb, saves a screenshot of the main window, prints
# its path and closes the program.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash tools/install_deps.sh
# Gleaner is a 32-bit program; a machine whose kernel cannot execute 32-bit
# programs cannot run 32-bit Wine, and runs the 64-bit build instead.
build=build/windows
toolchain=mingw-i686.cmake
if ! tools/can_run_32bit.sh; then
  echo "This machine cannot execute 32-bit programs: running the 64-bit build of Gleaner."
  build=build/windows64
  toolchain=mingw-x86_64.cmake
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$toolchain" >/dev/null
ninja -C "$build" gleaner
bash tools/build_help.sh "$build"
prefix="$top/$build/demo-prefix"
demo=$(python3 tools/make_demo.py --build "$build" --wineprefix "$prefix")

headless=0
[ -z "${DISPLAY:-}" ] && headless=1
source tools/xdisplay.sh
export GLEANER_WINEPREFIX="$prefix"

cd "$demo/install"
"$top/tools/wine_run.sh" gleaner.exe &
program=$!
if [ $headless -eq 0 ]; then
  wait $program
  exit 0
fi
window=""
for _ in $(seq 1 120); do
  window=$(xdotool search --name "Nightjar 3 Log Importer" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
mkdir -p "$top/build/screenshots"
shot="$top/build/screenshots/gleaner-main-window.png"
if [ -z "$window" ]; then
  echo "The main window did not appear." >&2
  import -window root "$shot" || true
  echo "Screenshot of the screen: $shot"
  exit 1
fi
sleep 1
import -window root "$shot"
echo "Screenshot of the main window: $shot"
xdotool windowclose "$window" 2>/dev/null || true
sleep 1
kill $program 2>/dev/null || true
wait $program 2>/dev/null || true
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
