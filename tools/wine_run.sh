#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, creating the
# prefix on first use. CTest uses this as the cross-compiling emulator.
#
# 32-bit programs run in a 32-bit prefix (build/wineprefix) with 32-bit Wine.
# A machine whose kernel cannot execute 32-bit programs cannot run 32-bit Wine
# at all; there 64-bit programs run in a 64-bit prefix (build/wineprefix64).
# GLEANER_WINEPREFIX names another prefix.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:-}

is_pe64() {
  # The PE header's machine field: 0x8664 for x86-64.
  python3 - "$1" <<'PY'
import struct, sys
try:
    with open(sys.argv[1], "rb") as f:
        d = f.read(4096)
    off = struct.unpack_from("<I", d, 0x3C)[0]
    sys.exit(0 if struct.unpack_from("<H", d, off + 4)[0] == 0x8664 else 1)
except Exception:
    sys.exit(1)
PY
}

use64=0
if [ -n "$exe" ] && [ -f "$exe" ]; then
  is_pe64 "$exe" && use64=1
elif ! "$top/tools/can_run_32bit.sh"; then
  use64=1  # a built-in command such as "reg": the Wine that can run here
fi
if [ $use64 -eq 1 ]; then
  loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
  export WINEARCH=win64
  export WINEPREFIX=${GLEANER_WINEPREFIX:-$top/build/wineprefix64}
else
  loader=$(command -v wine)
  export WINEARCH=win32
  export WINEPREFIX=${GLEANER_WINEPREFIX:-$top/build/wineprefix}
  if ! "$top/tools/can_run_32bit.sh"; then
    echo "wine_run.sh: this machine cannot execute 32-bit programs, so 32-bit Wine cannot run $exe;" \
         "use the 64-bit test build (cmake/mingw-x86_64.cmake)." >&2
    exit 126
  fi
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers, no desktop menu entries.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$(dirname "$loader")/wineboot" -i >/dev/null 2>&1 || "$loader" wineboot -i >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# The test programs' windows are not handed to a window manager. The test
# display (Xvfb) has none, and Wine waits 2 s at every window it hides for a
# manager to confirm it ("wait_for_withdrawn_state ... timed out"): most of
# the dialog tests' time. Only the test programs get this (Wine's per-program
# defaults); gleaner.exe keeps the normal behaviour for a user's desktop.
base=$(basename "${exe//\\//}")
key='AppDefaults\\'"$base"'\\X11 Driver]'
case "$base" in
  *_tests.exe|*_guitest.exe)
    if ! grep -qF "$key" "$WINEPREFIX/user.reg" 2>/dev/null; then
      (
        flock 9
        "$loader" reg add "HKCU\\Software\\Wine\\AppDefaults\\$base\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
      ) 9>"$WINEPREFIX.lock"
    fi ;;
esac
# Drive W: of the prefix is a scratch drive for tests of the data-disc rule
# (Wine finds drives through the links in dosdevices/, which a Windows
# program cannot make): its folder is named to the tests by the environment.
scratch="$WINEPREFIX-drive-w"
mkdir -p "$scratch"
[ -L "$WINEPREFIX/dosdevices/w:" ] || ln -sfn "$scratch" "$WINEPREFIX/dosdevices/w:"
export GLEANER_SCRATCH_DRIVE=W
export GLEANER_SCRATCH_DRIVE_DIR="$scratch"
exec "$loader" "$@"
