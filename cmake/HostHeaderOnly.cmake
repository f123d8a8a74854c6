# The header-only libraries of the build machine (CLI11, nlohmann-json) for a
# cross build: each package's own folder under /usr/include is linked into
# the build tree and given an imported target of the usual name, so that the
# target compiler sees these headers and none of the build machine's C
# library.
function(drennix_host_header_only target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "FOLDERS")
  if(TARGET ${target})
    return()
  endif()
  set(root ${CMAKE_BINARY_DIR}/host-header-only)
  foreach(folder IN LISTS ARG_FOLDERS)
    if(NOT EXISTS /usr/include/${folder})
      message(FATAL_ERROR "${target}: /usr/include/${folder} is missing (scripts/install-deps installs it)")
    endif()
    if(NOT EXISTS ${root}/${folder})
      file(MAKE_DIRECTORY ${root})
      file(CREATE_LINK /usr/include/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
endfunction()

drennix_host_header_only(CLI11::CLI11 FOLDERS CLI)
drennix_host_header_only(nlohmann_json::nlohmann_json FOLDERS nlohmann)
