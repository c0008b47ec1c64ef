# Runs PROGRAM with ARGS (separated by "|") and fails unless it ends with exit
# status STATUS, writes nothing to standard output, and its standard error
# matches ERROR_MATCHES. A crash gives no status number and fails too, which
# a plain "expected to fail" test would count as a pass.
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND "${PROGRAM}" ${arguments}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL "${STATUS}")
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}; standard error: ${err}")
endif()
if(NOT out STREQUAL "")
  message(FATAL_ERROR "standard output should be empty, holds: ${out}")
endif()
if(NOT err MATCHES "${ERROR_MATCHES}")
  message(FATAL_ERROR "standard error does not match \"${ERROR_MATCHES}\": ${err}")
endif()
