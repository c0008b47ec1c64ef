# Runs "PROGRAM maps INPUT LINES" with its address space limited to 500 MB,
# LINES being 60 million empty lines, and expects the error that says the
# memory ran out while loading, with exit status 1 and nothing on standard
# output.
if(NOT EXISTS "${LINES}")
  string(REPEAT "\n" 60000000 lines)
  file(WRITE "${LINES}" "${lines}")
  unset(lines)
endif()
execute_process(COMMAND sh -c "ulimit -v 500000 && exec \"$0\" maps \"$1\" \"$2\""
                        "${PROGRAM}" "${INPUT}" "${LINES}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(REMOVE "${LINES}")
set(expected "karvello: Not enough memory to load the Mapmaker files \"${INPUT}\" and \"${LINES}\".\n")
if(NOT status STREQUAL "1" OR NOT out STREQUAL "" OR NOT err STREQUAL expected)
  message(FATAL_ERROR "status ${status}, standard output \"${out}\", standard error \"${err}\"; "
                      "expected status 1 and \"${expected}\"")
endif()
