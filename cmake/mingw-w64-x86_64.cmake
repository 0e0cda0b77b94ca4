# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# variant with POSIX threads, which std::thread and std::mutex need). The programs run under Wine
# on the building machine (the tests, through CTest's emulator).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_ziel x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_ziel}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_ziel}-g++-posix)
set(CMAKE_RC_COMPILER ${_ziel}-windres)

# Libraries and headers of the target only; programs (the build's own tools) of the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_ziel})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the programs; CTest puts it before every test program.
find_program(ZENTRIX_WINE NAMES wine wine64)
if(ZENTRIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZENTRIX_WINE})
endif()
