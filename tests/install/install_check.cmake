# Installs the build into a scratch DESTDIR and checks what lands where: the
# two programs, the icon in each size, the desktop entry, the AppStream data
# and the manual, and nothing else; the installed drennix-cli runs and names
# the version.
#
#   cmake -DBUILD_DIR=... -DWORK=... -DVERSION=... -DUI=ON|OFF -P install_check.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${WORK}" ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(expected usr/bin/drennix-cli)
if(UI)
  list(APPEND expected
    usr/bin/drennix
    usr/share/applications/drennix.desktop
    usr/share/mime/packages/drennix-nc-program.xml
    usr/share/metainfo/org.drennix.Drennix.metainfo.xml
    usr/share/doc/drennix/help/index.html)
  foreach(size 16 32 48 256)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/drennix.png)
  endforeach()
endif()
list(SORT expected)
file(GLOB_RECURSE installed RELATIVE "${WORK}" "${WORK}/*")
list(SORT installed)
if(NOT installed STREQUAL expected)
  list(JOIN installed "\n  " shown)
  list(JOIN expected "\n  " wanted)
  message(FATAL_ERROR "installed:\n  ${shown}\nexpected:\n  ${wanted}")
endif()

execute_process(COMMAND "${WORK}/usr/bin/drennix-cli" --version
  RESULT_VARIABLE status OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0 OR NOT version STREQUAL "drennix-cli ${VERSION}")
  message(FATAL_ERROR "installed drennix-cli --version gave ${status}: '${version}'")
endif()

if(UI)
  # The desktop entry starts the installed program with the installed icon;
  # the AppStream data names the entry and this version.
  file(READ "${WORK}/usr/share/applications/drennix.desktop" entry)
  # It takes the files it is given, NC programs among them.
  foreach(line "Exec=drennix %F" "Icon=drennix" "MimeType=text/x-nc-program;")
    if(NOT entry MATCHES "\n${line}\n")
      message(FATAL_ERROR "the desktop entry has no line ${line}")
    endif()
  endforeach()
  file(READ "${WORK}/usr/share/mime/packages/drennix-nc-program.xml" mime)
  foreach(part "<mime-type type=\"text/x-nc-program\">" "<glob pattern=\"*.nc\"/>" "<glob pattern=\"*.ngc\"/>"
               "<glob pattern=\"*.tap\"/>" "<glob pattern=\"*.gcode\"/>" "<glob pattern=\"*.cnc\"/>")
    string(FIND "${mime}" "${part}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the type of NC programs has no ${part}")
    endif()
  endforeach()
  file(READ "${WORK}/usr/share/metainfo/org.drennix.Drennix.metainfo.xml" metainfo)
  foreach(part "<launchable type=\"desktop-id\">drennix.desktop</launchable>" "<release version=\"${VERSION}\"")
    if(NOT metainfo MATCHES "${part}")
      message(FATAL_ERROR "the AppStream data has no ${part}")
    endif()
  endforeach()
endif()
file(REMOVE_RECURSE "${WORK}")
