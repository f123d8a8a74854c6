# Runs drennix-screenshots over a copy of the example in a fresh folder (the
# converting runs write next to their source) and checks that the tour ends
# well with every picture saved.
#
#   cmake -DPROGRAM=... -DSOURCE=... -DWORK=... -P screenshot_tour_check.cmake
set(pictures
  absolute-display desktop-absolute-display desktop-file-dialog help main-absolute-display main-convert-arcs
  main-convert-helical main-machining-time message-calculated message-created settings settings-dialects
  toolpath-converted toolpath-iso toolpath-xy)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/pictures")
file(COPY "${SOURCE}" DESTINATION "${WORK}")
get_filename_component(source_name "${SOURCE}" NAME)

execute_process(COMMAND "${PROGRAM}" "${WORK}/pictures" "${WORK}/${source_name}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "drennix-screenshots ended with ${status}")
endif()
foreach(picture IN LISTS pictures)
  if(NOT EXISTS "${WORK}/pictures/${picture}.png")
    message(FATAL_ERROR "no picture ${picture}.png")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
