# Cross toolchain: 32-bit Windows through mingw-w64 with the posix thread model.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Executables run under Wine; the wrapper owns the prefix and the environment.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine_run.sh)
# Floating point in SSE2 registers, as in the 64-bit and native builds: the
# x87 unit's 80-bit intermediates round differently (0.995 * 100 + 0.5 is
# just below 100 there), so the same date or angle would come out apart on
# the two platforms. The stack is realigned where Windows calls into the
# program (window procedures, timer and enumeration callbacks keep only
# 4-byte alignment), so spilled SSE values stay aligned.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
