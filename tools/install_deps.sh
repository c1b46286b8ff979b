#!/usr/bin/env bash
# Installs what building, running and testing Gleaner needs on Debian 12, and
# nothing when all of it is already there. Run as root or with sudo rights.
set -euo pipefail

packages=(cmake ninja-build g++ googletest python3 python3-numpy
          g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick fp-utils
          liberfa-dev libnova-dev libbenchmark-dev stellarium-data kstars-data tzdata python3-astropy
          python3-skyfield python3-ephem python3-sgp4 socat
          clang libclang-rt-14-dev
          cups printer-driver-cups-pdf poppler-utils libcups2:i386)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
