#!/usr/bin/env bash
# Exit 0 when this machine can execute 32-bit x86 programs (and so 32-bit
# Wine): some kernels are built without IA-32 emulation.
[ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
