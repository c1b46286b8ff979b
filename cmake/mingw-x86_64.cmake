# Cross toolchain: 64-bit Windows through mingw-w64 with the posix thread model.
# Gleaner itself is a 32-bit program (mingw-i686.cmake). This build exists to
# run the same tests under Wine on machines whose kernel cannot execute 32-bit
# programs (and so cannot run 32-bit Wine): Windows keeps `long` at 32 bits in
# both, and text mode, paths, the 1 MB stack and the Win32 calls are the same.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Executables run under Wine; the wrapper owns the prefix and the environment.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine_run.sh)
