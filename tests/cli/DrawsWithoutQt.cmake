# Has PROGRAM (the small karvello), alone in a folder of its own, draw ARGS
# (separated by "|") into an .emf and an .svg file while the dynamic loader
# reports every library it loads, and has FULL (karvello-qt) draw the same.
# Fails unless both succeed with the same bytes and, unless HANDED_OVER is
# set, PROGRAM loaded no Qt library; with HANDED_OVER (a drawing the small
# program leaves to the full one, which is then beside it), unless it did.
string(REPLACE "|" ";" arguments "${ARGS}")
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}/small" "${FOLDER}/full")
get_filename_component(name "${PROGRAM}" NAME)
set(small "${FOLDER}/small/${name}")
file(COPY "${PROGRAM}" DESTINATION "${FOLDER}/small")
if(HANDED_OVER)
  file(COPY "${FULL}" DESTINATION "${FOLDER}/small")
endif()

foreach(extension emf svg)
  # The same file name in both folders: the SVG image's title is its name.
  set(drawn "${FOLDER}/small/maps.${extension}")
  set(expected "${FOLDER}/full/maps.${extension}")
  file(REMOVE_RECURSE "${FOLDER}/loader")
  file(MAKE_DIRECTORY "${FOLDER}/loader")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LD_DEBUG=libs "LD_DEBUG_OUTPUT=${FOLDER}/loader/log"
            "${small}" draw ${arguments} -o "${drawn}"
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "karvello draw ... -o maps.${extension} ended with ${status}: ${err}")
  endif()
  file(GLOB logs "${FOLDER}/loader/log*")
  set(loaded "")
  foreach(log IN LISTS logs)
    file(READ "${log}" text)
    string(APPEND loaded "${text}")
  endforeach()
  # The loader's report names the C library that every program loads: a
  # report without it was not written, and would hide a Qt library too.
  if(NOT loaded MATCHES "libc\\.so")
    message(FATAL_ERROR "the dynamic loader reported no library: ${loaded}")
  endif()
  if(HANDED_OVER AND NOT loaded MATCHES "libQt6")
    message(FATAL_ERROR "maps.${extension} was not left to the full program")
  elseif(NOT HANDED_OVER AND loaded MATCHES "[^\n]*libQt6[^\n]*")
    message(FATAL_ERROR "maps.${extension} loaded Qt: ${CMAKE_MATCH_0}")
  endif()

  execute_process(COMMAND "${FULL}" draw ${arguments} -o "${expected}"
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "karvello-qt draw ... -o maps.${extension} ended with ${status}: ${err}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${drawn}" "${expected}"
    RESULT_VARIABLE differ)
  if(NOT differ STREQUAL "0")
    message(FATAL_ERROR "maps.${extension} differs from karvello-qt's (both kept in ${FOLDER})")
  endif()
endforeach()
file(REMOVE_RECURSE "${FOLDER}")
