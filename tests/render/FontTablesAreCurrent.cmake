# Fails when render/FontTables.cpp is not what the generator writes from the
# fonts in FONTS.
#   cmake -DGENERATOR=... -DFONTS=... -DTABLES=... -P FontTablesAreCurrent.cmake
execute_process(COMMAND ${GENERATOR} ${FONTS} OUTPUT_VARIABLE written RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed (${status}) on ${FONTS}")
endif()
file(READ ${TABLES} committed)
if(NOT written STREQUAL committed)
  message(FATAL_ERROR "${TABLES} differs from what the generator writes from ${FONTS}: "
                      "cmake --build build --target font-tables")
endif()
