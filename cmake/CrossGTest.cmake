# GoogleTest for a cross build, compiled from the sources Debian ships in
# /usr/src/googletest (package googletest) with the target compiler; gives
# the same GTest::gtest and GTest::gtest_main targets as find_package(GTest).
set(DRENNIX_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for a cross build")
if(NOT TARGET GTest::gtest)
  if(NOT EXISTS ${DRENNIX_GTEST_SOURCE_DIR}/googletest/CMakeLists.txt)
    message(FATAL_ERROR "no GoogleTest sources in ${DRENNIX_GTEST_SOURCE_DIR} (scripts/install-deps installs them)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${DRENNIX_GTEST_SOURCE_DIR}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Its own warnings are not ours to fail on.
  foreach(library gtest gtest_main)
    target_compile_options(${library} PRIVATE -w)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
endif()
