# Copies PROGRAM (the small karvello) alone into FOLDER and runs it there:
# "maps" and "draw" into a metafile must work without the whole program
# beside it (they need no Qt); "draw" into a PDF, or in a face the built-in
# tables lack, must fail with a message naming the program it could not
# start, and for the face, the faces there are.
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
file(COPY "${PROGRAM}" DESTINATION "${FOLDER}")
get_filename_component(name "${PROGRAM}" NAME)
set(alone "${FOLDER}/${name}")

execute_process(COMMAND "${alone}" maps "${INPUT}" "${OUTPUT}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL "0" OR NOT out MATCHES "^1\t9\t6\t48.6\n")
  message(FATAL_ERROR "maps alone: status ${status}, output \"${out}\", error \"${err}\"")
endif()

execute_process(COMMAND "${alone}" draw "${INPUT}" "${OUTPUT}" -o "${FOLDER}/maps.emf"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL "0" OR NOT EXISTS "${FOLDER}/maps.emf")
  message(FATAL_ERROR "draw alone: status ${status}, error \"${err}\"")
endif()

execute_process(COMMAND "${alone}" draw "${INPUT}" "${OUTPUT}" -o "${FOLDER}/maps.pdf"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL "1" OR NOT err MATCHES "cannot start the program \".*karvello-qt\"")
  message(FATAL_ERROR "draw alone: status ${status}, error \"${err}\"")
endif()

execute_process(COMMAND "${alone}" draw "${INPUT}" "${OUTPUT}" --font "DejaVu Sans"
                        -o "${FOLDER}/maps.svg"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL "1" OR NOT err MATCHES "cannot start the program \".*karvello-qt\""
   OR NOT err MATCHES "\"DejaVu Sans\".*\"Liberation Sans\", \"Arial\""
   OR EXISTS "${FOLDER}/maps.svg")
  message(FATAL_ERROR "draw in another face alone: status ${status}, error \"${err}\"")
endif()
file(REMOVE_RECURSE "${FOLDER}")
