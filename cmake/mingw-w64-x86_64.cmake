# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compiler (the
# POSIX threads variant, g++-mingw-w64-x86-64-posix). Programs are linked
# statically, so that a .exe needs nothing but the system's own DLLs; the
# tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRENNIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DRENNIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRENNIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DRENNIX_MINGW_TRIPLE}-windres)

# Libraries and headers for the target only come from the MinGW tree; the
# header-only packages of the build machine are brought in one by one
# (cmake/HostHeaderOnly.cmake), never its /usr/include as a whole.
set(CMAKE_FIND_ROOT_PATH /usr/${DRENNIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The tests (and GoogleTest's discovery of them) run through Wine, in a
# prefix of the build's own, without Wine's debug output. Wine spells the
# names of files on the build machine in the encoding of its locale: under
# LC_ALL=C it cannot create a file named in Japanese, so it gets UTF-8.
find_program(DRENNIX_WINE NAMES wine wine64)
set(DRENNIX_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH "The Wine prefix the tests run in")
if(DRENNIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env LC_ALL=C.UTF-8 WINEDEBUG=-all WINEPREFIX=${DRENNIX_WINEPREFIX} ${DRENNIX_WINE})
endif()
