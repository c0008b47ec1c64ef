# Runs "PROGRAM draw INPUT OUTPUT -o TARGET" with no other option and fails
# unless it exits 0 and the file it wrote has the SHA-256 that PINS gives for
# NAME. On a mismatch the file is kept beside the build for a look.
execute_process(COMMAND "${PROGRAM}" draw "${INPUT}" "${OUTPUT}" -o "${TARGET}"
  RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "karvello draw ended with ${status}: ${err}")
endif()
file(STRINGS "${PINS}" lines REGEX "^${NAME} ")
if(NOT lines MATCHES "^${NAME} ([0-9a-f]+)$")
  message(FATAL_ERROR "${PINS} pins no metafile for ${NAME}")
endif()
set(expected "${CMAKE_MATCH_1}")
file(SHA256 "${TARGET}" actual)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "${NAME}: the metafile's SHA-256 is ${actual}, pinned ${expected}; "
          "the default drawing changed (file kept as ${TARGET})")
endif()
file(REMOVE "${TARGET}")
