# The MinGW-w64 cross compiler for the desktop program and the Qt it is built
# with (scripts/build-qt-windows). Unlike the command line's static programs,
# these share one C++ runtime across drennix.exe and the Qt DLLs: the runtime's
# DLLs (libstdc++, libgcc_s, libwinpthread) are shipped beside them.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")

# The cached Qt for Windows is one more root to find packages in.
if(DEFINED ENV{DRENNIX_QT_WINDOWS})
  list(APPEND CMAKE_FIND_ROOT_PATH $ENV{DRENNIX_QT_WINDOWS})
endif()
