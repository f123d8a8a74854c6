# The Windows package of a cross build (the windows-desktop preset): one
# folder with drennix.exe and drennix-cli.exe, the Qt libraries and plugins
# they load, the MinGW runtime, Qt's Japanese texts and the manual, zipped by
# CPack as drennix-VERSION-windows-x64.zip. `cmake --install` gathers the same
# folder (what windeployqt does on Windows).

install(TARGETS drennix drennix-cli RUNTIME DESTINATION .)

# Qt's imported targets are the ui folder's; this folder finds its own.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

# Qt's libraries and the two plugins the program loads: the windows platform
# and the native style.
foreach(module Core Gui Widgets)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
if(TARGET Qt6::QWindowsVistaStylePlugin)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
endif()

# The compiler's runtime, shared by the programs and Qt.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
  OUTPUT_VARIABLE drennix_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
  OUTPUT_VARIABLE drennix_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(drennix_winpthread libwinpthread-1.dll
  PATHS /usr/${DRENNIX_MINGW_TRIPLE}/lib /usr/${DRENNIX_MINGW_TRIPLE}/bin NO_DEFAULT_PATH REQUIRED)
foreach(dll ${drennix_libstdcxx} ${drennix_libgcc})
  if(NOT IS_ABSOLUTE ${dll} OR NOT EXISTS ${dll})
    message(FATAL_ERROR "The MinGW runtime DLL ${dll} is not where the compiler says")
  endif()
endforeach()
install(FILES ${drennix_libstdcxx} ${drennix_libgcc} ${drennix_winpthread} DESTINATION .)

# A stripped install (the zip, `cmake --install --strip`) strips the copied
# libraries as well as the programs: they come with their symbols.
install(CODE "set(drennix_strip \"${CMAKE_STRIP}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB_RECURSE drennix_dlls "${CMAKE_INSTALL_PREFIX}/*.dll")
    foreach(dll IN LISTS drennix_dlls)
      execute_process(COMMAND "${drennix_strip}" --strip-unneeded "${dll}" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
]])

# Qt's own dialogs in Japanese, found through qt.conf beside the programs.
install(FILES ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}/qtbase_ja.qm DESTINATION translations)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/qt.conf DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/help/ DESTINATION help)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME drennix)
set(CPACK_PACKAGE_FILE_NAME drennix-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
